#pragma once

#include "store/CustStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plx {

struct Environment;

// The four fields of an ordering company that the search shows and compares.
using SearchCompany = CompanyEntry;

// What the operator asked for: the company chosen in the drop-down list (0 for
// "すべて") with its four shown fields, and the four texts. An empty text is
// no condition.
struct SearchConditions
{
    int ordererIndex = 0;
    SearchCompany company;
    QString orderNo;
    QString deliveryKeyNo;
    QString itemCode;
    QString dueDate;

    // The eight texts in field order: the company's four fields, then order
    // number, delivery key, item code and due date.
    std::array<QString, 8> terms() const;
    static SearchConditions fromTerms(int ordererIndex, const std::array<QString, 8>& terms);
};

// 検索 without its window: the ordering companies of the format for the
// drop-down list, the conditions the program remembers for the whole run, and
// the search for the next listed record after a row.
class DeliverySearch
{
public:
    // `protocol` is the protocol of the current list.
    DeliverySearch(Environment& env, Protocol protocol);

    Protocol protocol() const { return m_protocol; }

    // Reads the companies of the format from the ordering-company file, in
    // file order. Throws RuntimeFailure.
    void loadCompanies();
    const QList<SearchCompany>& companies() const { return m_companies; }
    // The drop-down list's entries after "すべて": each company's name, cut at
    // 50 bytes, trailing blanks removed.
    QStringList companyNames() const;
    // The company of drop-down entry `index` (from 1); empty fields for 0
    // ("すべて") or an index the list does not have.
    SearchCompany companyAt(int index) const;
    // The drop-down index of the company with these codes (trailing blanks
    // ignored), or 0 when the format has none.
    int indexOf(const QString& ordererCode, const QString& supplierCode) const;

    // The conditions remembered in the Environment.
    SearchConditions remembered() const;
    // Remembers the drop-down index and the eight texts, trailing blanks removed.
    void remember(const SearchConditions& conditions);

    // The list row (from 1) of the first record after `startRow` that meets
    // every condition, or 0. Reads the data file of the format. Throws Refusal
    // for a damaged data file and RuntimeFailure when it cannot be read.
    int find(const SearchConditions& conditions, int startRow) const;

    // The same over a data file's whole records, as DeliveryStore holds them.
    static int findIn(const QByteArray& records, Protocol protocol, const SearchConditions& conditions, int startRow);

    // The text as a date in "YYYYMMDD" form when it reads as one: year, month
    // and day separated by "/", "-" or "." (or 年, 月, 日), four-digit years or
    // two-digit ones (00-29 this century, 30-99 the last). Nothing otherwise,
    // so eight digits typed in a row stay text.
    static std::optional<QString> readDate(const QString& text);

private:
    Environment& m_env;
    Protocol m_protocol;
    QList<SearchCompany> m_companies;
};

} // namespace plx
