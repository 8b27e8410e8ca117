#pragma once

#include "core/Protocol.h"
#include "store/CustStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx {

struct Environment;

// An ordering company as the deletion offers it: codes without trailing
// blanks, names as the file holds them.
using DeletionCompany = CompanyEntry;

// What a bulk deletion deletes: every live record of the format, or those of
// one ordering company (codes compared without trailing blanks); all of them,
// or the issued ones only (Status read as a number is 2).
struct DeletionScope
{
    bool allCompanies = true;
    QString ordererCode;
    QString supplierCode;
    bool issuedOnly = false;
};

// What a deletion would delete, named for the clerk before the question: the
// ordering company (its code and name, or すべて), the condition (発行済のみ or
// すべて) and the number of records it would mark deleted now.
struct DeletionPreview
{
    QString company;
    QString condition;
    int records = 0;

    // The lines that stand above the question, e.g.
    // "発注者　：102851  北斗星電機" (a full-width blank, so that the colons line up), "削除条件：発行済のみ",
    // "削除件数：3件".
    QStringList lines() const;
};

// The data behind the deletion window 納品書削除 and `plx90-cli delete`: the
// ordering companies of one format and the deletion of that format's records
// in bulk. QtCore only.
class BulkDeletion
{
public:
    // The first entry of the company choice.
    static inline const QString kAllCompanies = QStringLiteral("すべて");
    // Bytes of a company name in the choice.
    static constexpr int kNameBytes = 50;

    BulkDeletion(Environment& env, Protocol protocol);

    Protocol protocol() const { return m_protocol; }
    // The window's caption with the format's suffix.
    QString caption() const;

    // "すべて" followed by the name of every ordering company of the format, in
    // file order, each cut to 50 bytes in CP932 (never half a character) and
    // without trailing blanks. Reads the company file. Throws RuntimeFailure or
    // Refusal.
    QStringList companyChoice() const;
    // The company at position `position` of companyChoice() (1 = the first
    // company of the format), read anew from the file; nothing for position 0
    // or past the last company.
    std::optional<DeletionCompany> companyAt(int position) const;
    // The company of the format with these codes (trailing blanks ignored).
    std::optional<DeletionCompany> findCompany(const QString& ordererCode, const QString& supplierCode) const;

    // What run(scope) would delete if it ran now, read from the files.
    // Throws Refusal (a damaged file) or RuntimeFailure.
    DeletionPreview preview(const DeletionScope& scope) const;

    // Marks deleted, in one atomic replacement of the data file, every live
    // record of the format in `scope`, each stamped with the clock's now.
    // Returns how many; 0 leaves the file untouched. Throws Refusal (a locked
    // or damaged file) or RuntimeFailure.
    int run(const DeletionScope& scope) const;

    // A name cut to 50 bytes as the choice lists it.
    static QString cutName(const QString& name);

private:
    Environment& m_env;
    Protocol m_protocol;
};

} // namespace plx
