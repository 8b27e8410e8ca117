#pragma once

#include "core/Protocol.h"
#include "store/CustRecord.h"

#include <QString>

#include <array>
#include <span>

namespace plx {

// How a company field is given in the window: typed into a box, one of a set
// of option buttons, or an entry of a code-kind list (the record keeps the
// code's first character).
enum class CompanyInput { Text, Choice, Code };

// What the characters of a typed field may be and how its text goes between
// the record and the box.
enum class CompanyText {
    None,     // not typed (a choice or a code)
    Code,     // a key of the company: single-byte, shown and written without its
              // trailing blanks, cut to the protocol's width
    Name,     // full-width characters allowed; shown without its trailing blanks
    FileName, // full-width characters allowed; shown without blanks at its ends
    Digits,   // a barcode digit count 0 ... 99, written as two digits
};

// One option button of a choice: the value it stands for, its object name and
// its caption.
struct CompanyChoice
{
    char value = 0;
    const char* objectName = nullptr;
    const char16_t* caption = nullptr;
};

// One field of the ordering-company window, the `company` command and the
// record they write. Everything that shows, types, checks, defaults or writes
// a company field reads its row here.
struct CompanyField
{
    CustField field;                         // the record field, the form's key; its name is the command's FIELD
    CompanyInput input = CompanyInput::Text; // how it is given
    CompanyText text = CompanyText::None;    // Text: its character rule
    int korvanBytes = 0;                     // Text: the bytes a KORVAN company's value may take when
                                             // fewer than the field's (the codes: 12 : 9); 0 = the field's
    std::array<CompanyChoice, 3> choices{};  // Choice: the buttons in their order, the first the default
    const char* codeKind = nullptr;          // Code: the code-table kind it lists ("02" ...)
    bool eiajOnly = false;                   // only an EIAJ company has it
    const char16_t* korvanValue = nullptr;   // eiajOnly: what a KORVAN company's record holds
    bool key = false;                        // a key of the company, fixed once written
    bool fromSample = false;                 // a new company takes it from the sample file
    const char16_t* name = nullptr;          // Text: what refusals call it ("発注者名称")
    const char16_t* label = nullptr;         // the window's caption beside it, or its frame's title
    const char* objectName = nullptr;        // the widget's object name (a choice: its frame's)
};

// The fields in the order the command lists them.
std::span<const CompanyField> companyFields();
// The row of a record field; nothing for a field the window does not show.
const CompanyField* findCompanyField(CustField field);
// The row of a field the window shows.
const CompanyField& companyField(CustField field);

// The record field's name as the command gives it ("OrdererName").
QString companyFieldName(const CompanyField& row);
// The values a choice allows, in the order of its buttons ("123").
QString choiceValues(const CompanyField& row);
// The bytes the field's value may take for a company of the protocol.
int companyFieldBytes(const CompanyField& row, Protocol protocol);

} // namespace plx
