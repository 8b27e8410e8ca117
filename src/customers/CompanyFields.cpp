#include "CompanyFields.h"

#include "core/RoundingSetting.h"

namespace plx {

namespace {

using F = CustField;
using I = CompanyInput;
using T = CompanyText;

// A KORVAN company's codes take 9 of the field's 12 bytes.
constexpr int kKorvanCodeBytes = 9;

constexpr std::array<CompanyChoice, 3> roundingChoices(const char* up, const char* down, const char* nearest)
{
    return {{{storedCharacter(RoundingSetting::Up), up, u"切上げ"},
             {storedCharacter(RoundingSetting::Down), down, u"切捨て"},
             {storedCharacter(RoundingSetting::HalfUp), nearest, u"四捨五入"}}};
}

// The window's own checks of a field (blank, single-byte, whether a layout
// file exists...) are the steps of CustomerSession::check, in the window's order.
const CompanyField kFields[] = {
    {.field = F::OrdererCode,
     .text = T::Code,
     .korvanBytes = kKorvanCodeBytes,
     .key = true,
     .name = u"発注者コード",
     .label = u"発注者 ：",
     .objectName = "Text1"},
    {.field = F::OrdererName, .text = T::Name, .name = u"発注者名称", .objectName = "Text2"},
    {.field = F::SupplierCode,
     .text = T::Code,
     .korvanBytes = kKorvanCodeBytes,
     .key = true,
     .name = u"受注者コード",
     .label = u"受注者 ：",
     .objectName = "Text3"},
    {.field = F::SupplierName, .text = T::Name, .name = u"受注者名称", .objectName = "Text4"},
    {.field = F::OutputKind,
     .input = I::Choice,
     .choices = {{{'1', "Option5", u"納品書"}, {'2', "Option6", u"荷札"}, {'3', "Option7", u"両方"}}},
     .fromSample = true,
     .label = u"出力区分",
     .objectName = "Frame5"},
    {.field = F::SlipFormFile,
     .text = T::FileName,
     .fromSample = true,
     .name = u"納品書QRD定義ファイル名称",
     .label = u"納品書QRD定義ﾌｧｲﾙ名称",
     .objectName = "Text5"},
    {.field = F::TagFormFile,
     .text = T::FileName,
     .fromSample = true,
     .name = u"荷札QRD定義ファイル名称",
     .label = u"荷札QRD定義ﾌｧｲﾙ名称",
     .objectName = "Text6"},
    {.field = F::SlipBarcodeDigits,
     .text = T::Digits,
     .fromSample = true,
     .name = u"納品書のバーコード桁数",
     .label = u"ﾊﾞｰｺｰﾄﾞ桁数",
     .objectName = "Text7"},
    {.field = F::TagBarcodeDigits,
     .text = T::Digits,
     .fromSample = true,
     .name = u"荷札のバーコード桁数",
     .label = u"ﾊﾞｰｺｰﾄﾞ桁数",
     .objectName = "Text8"},
    {.field = F::KanjiUse,
     .input = I::Choice,
     .choices = {{{'1', "Option3", u"漢字優先"}, {'0', "Option4", u"漢字不可"}}},
     .eiajOnly = true,
     .korvanValue = u"0",
     .fromSample = true,
     .label = u"漢字使用",
     .objectName = "Frame6"},
    {.field = F::AmountRounding,
     .input = I::Choice,
     .choices = roundingChoices("Option8", "Option9", "Option10"),
     .eiajOnly = true,
     .korvanValue = u" ",
     .fromSample = true,
     .label = u"金額計算",
     .objectName = "Frame7"},
    {.field = F::TaxRounding,
     .input = I::Choice,
     .choices = roundingChoices("Option11", "Option12", "Option13"),
     .eiajOnly = true,
     .korvanValue = u" ",
     .fromSample = true,
     .label = u"税額計算",
     .objectName = "Frame8"},
    {.field = F::ConsumptionTaxKind,
     .input = I::Code,
     .codeKind = "02",
     .eiajOnly = true,
     .korvanValue = u" ",
     .fromSample = true,
     .label = u"消費税区分：",
     .objectName = "Combo3"},
    {.field = F::TaxationKind,
     .input = I::Code,
     .codeKind = "03",
     .eiajOnly = true,
     .korvanValue = u" ",
     .fromSample = true,
     .label = u"課税区分：",
     .objectName = "Combo4"},
    {.field = F::PriceDisplayKind,
     .input = I::Code,
     .codeKind = "04",
     .eiajOnly = true,
     .korvanValue = u"1",
     .fromSample = true,
     .label = u"価格表示区分：",
     .objectName = "Combo5"},
    {.field = F::Comment, .text = T::Name, .name = u"コメント", .label = u"ｺﾒﾝﾄ：", .objectName = "Text9"},
};

} // namespace

std::span<const CompanyField> companyFields()
{
    return kFields;
}

const CompanyField* findCompanyField(CustField field)
{
    for (const CompanyField& row : kFields) {
        if (row.field == field)
            return &row;
    }
    return nullptr;
}

const CompanyField& companyField(CustField field)
{
    const CompanyField* row = findCompanyField(field);
    Q_ASSERT(row);
    return *row;
}

QString companyFieldName(const CompanyField& row)
{
    return QLatin1String(CustRecord::fields()[static_cast<int>(row.field)].name);
}

QString choiceValues(const CompanyField& row)
{
    QString values;
    for (const CompanyChoice& choice : row.choices) {
        if (choice.value)
            values += QLatin1Char(choice.value);
    }
    return values;
}

int companyFieldBytes(const CompanyField& row, Protocol protocol)
{
    if (protocol == Protocol::Korvan && row.korvanBytes > 0)
        return row.korvanBytes;
    return CustRecord::field(row.field).width;
}

} // namespace plx
