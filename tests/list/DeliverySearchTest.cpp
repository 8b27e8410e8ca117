#include "support/ListFixtures.h"

#include "core/ErrorReport.h"
#include "list/DeliverySearch.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// A live EIAJ record of ORD1/SUP with key `key` (order number "PO-" + key, item
// code "IC-" + key) and the due date given.
DeliveryRecord slip(const QString& key, const QString& due = QStringLiteral("20000531"), char kind = '1')
{
    DeliveryRecord r = listed(kind, QStringLiteral("ORD1"), key, QStringLiteral("0"), QStringLiteral("I"), QString());
    r.setText(DeliveryField::DueDate, due);
    return r;
}

DeliveryRecord deleted(DeliveryRecord r)
{
    r.setKind(' ');
    return r;
}

SearchConditions byOrderNo(const QString& orderNo)
{
    SearchConditions c;
    c.orderNo = orderNo;
    return c;
}

SearchConditions byDue(const QString& due)
{
    SearchConditions c;
    c.dueDate = due;
    return c;
}

int findIn(const QList<DeliveryRecord>& records, const SearchConditions& c, int startRow = 0,
           Protocol protocol = Protocol::Eiaj)
{
    return DeliverySearch::findIn(fileOf(records), protocol, c, startRow);
}

struct SearchFixture : ::testing::Test
{
    TestInstall inst;
    SearchFixture() { writeListInstallation(inst); }
};

} // namespace

// --- Where the search starts and stops --------------------------------------------

TEST(DeliverySearchRows, DoesNotWrapAroundToRowsBeforeTheStart)
{
    const QList<DeliveryRecord> file{slip("K1"), slip("K2"), slip("K3"), slip("K4"), slip("K5"), slip("K6")};
    EXPECT_EQ(findIn(file, byOrderNo("PO-K3"), 5), 0);
    EXPECT_EQ(findIn(file, byOrderNo("PO-K3"), 0), 3);
    EXPECT_EQ(findIn(file, byOrderNo("PO-K3"), 2), 3);
    // The start row itself is not searched.
    EXPECT_EQ(findIn(file, byOrderNo("PO-K3"), 3), 0);
}

TEST(DeliverySearchRows, NoConditionFindsTheRowAfterTheStart)
{
    const QList<DeliveryRecord> file{slip("K1"), slip("K2"), slip("K3")};
    EXPECT_EQ(findIn(file, {}, 0), 1);
    EXPECT_EQ(findIn(file, {}, 2), 3);
    EXPECT_EQ(findIn(file, {}, 3), 0);
    EXPECT_EQ(findIn(file, {}, 99), 0);
    EXPECT_EQ(findIn({}, {}, 0), 0);
    // Blank texts are no conditions.
    EXPECT_EQ(findIn(file, byOrderNo("   "), 1), 2);
}

TEST(DeliverySearchRows, DeletedAndOtherFormatRecordsNeitherMatchNorCount)
{
    const QList<DeliveryRecord> file{slip("K1"), deleted(slip("K2")), slip("K9", "20000531", '2'), slip("K3"),
                                     slip("K2")};
    EXPECT_EQ(findIn(file, byOrderNo("PO-K3")), 2);
    // Only the live K2 (row 3) is found; the deleted one before it is skipped.
    EXPECT_EQ(findIn(file, byOrderNo("PO-K2")), 3);
    EXPECT_EQ(findIn(file, byOrderNo("PO-K9")), 0);
    // Row 2 is K3: starting after it skips the deleted record's place too.
    EXPECT_EQ(findIn(file, {}, 2), 3);
    // The KORVAN list has one row.
    EXPECT_EQ(findIn(file, byOrderNo("PO-K9"), 0, Protocol::Korvan), 1);
    EXPECT_EQ(findIn(file, {}, 1, Protocol::Korvan), 0);
}

// --- The text conditions -------------------------------------------------------

TEST(DeliverySearchTexts, AnOrderNumberMatchesOnlyAsAWhole)
{
    const QList<DeliveryRecord> file{slip("1"), slip("12"), slip("123")};
    EXPECT_EQ(findIn(file, byOrderNo("PO-12")), 2);
    EXPECT_EQ(findIn(file, byOrderNo("PO-12"), 2), 0);
    EXPECT_EQ(findIn(file, byOrderNo("PO-1")), 1);
    EXPECT_EQ(findIn(file, byOrderNo("PO-1"), 1), 0);
    EXPECT_EQ(findIn(file, byOrderNo("PO")), 0);
    EXPECT_EQ(findIn(file, byOrderNo("O-12")), 0);
    // Trailing blanks of the text do not count; leading ones do.
    EXPECT_EQ(findIn(file, byOrderNo("PO-12  ")), 2);
    EXPECT_EQ(findIn(file, byOrderNo(" PO-12")), 0);
    // Case counts.
    EXPECT_EQ(findIn(file, byOrderNo("po-12")), 0);
}

TEST(DeliverySearchTexts, KeyAndItemCodeAreWholeValuesAndEveryConditionMustHold)
{
    const QList<DeliveryRecord> file{slip("A1"), slip("A10"), slip("B1")};
    SearchConditions key;
    key.deliveryKeyNo = QStringLiteral("A1");
    EXPECT_EQ(findIn(file, key), 1);
    EXPECT_EQ(findIn(file, key, 1), 0);
    SearchConditions item;
    item.itemCode = QStringLiteral("IC-A10");
    EXPECT_EQ(findIn(file, item), 2);
    // Order number of row 1 with the item code of row 2: no record has both.
    SearchConditions both = item;
    both.orderNo = QStringLiteral("PO-A1");
    EXPECT_EQ(findIn(file, both), 0);
    both.orderNo = QStringLiteral("PO-A10");
    EXPECT_EQ(findIn(file, both), 2);
}

TEST(DeliverySearchTexts, DoubleByteTextsAndOnesCp932CannotHold)
{
    DeliveryRecord kanji = slip("K1");
    kanji.setText(DeliveryField::ItemCode, u"部品Ａ");
    DeliveryRecord question = slip("K2");
    question.setText(DeliveryField::ItemCode, u"?");
    const QList<DeliveryRecord> file{kanji, question};
    SearchConditions c;
    c.itemCode = QStringLiteral("部品Ａ");
    EXPECT_EQ(findIn(file, c), 1);
    // An emoji would be written as "?" in CP932; it must not find the "?" record.
    c.itemCode = QStringLiteral("\U0001F600");
    EXPECT_EQ(findIn(file, c), 0);
}

// --- The due date ----------------------------------------------------------------

TEST(DeliverySearchDueDate, ADateFormAndTheEightDigitsFindTheSameRecord)
{
    const QList<DeliveryRecord> file{slip("K1", "20261206"), slip("K2", "20261207"), slip("K3", "未定")};
    for (const char* typed : {"2026/12/07", "2026-12-7", "2026/12/7", "2026.12.07", " 2026/12/07", "26/12/07",
                              "2026年12月7日", "20261207"}) {
        EXPECT_EQ(findIn(file, byDue(QString::fromUtf8(typed))), 2) << typed;
    }
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("２０２６／１２／０７"))), 2);
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("2026/12/08"))), 0);
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("2026/12/07")), 2), 0);
    // Not a date: compared as typed.
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("未定"))), 3);
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("2026/13/07"))), 0);
    EXPECT_EQ(findIn(file, byDue(QStringLiteral("261207"))), 0);
}

TEST(DeliverySearchDueDate, WhatReadsAsADate)
{
    EXPECT_EQ(DeliverySearch::readDate(QStringLiteral("2026/12/07")), QStringLiteral("20261207"));
    EXPECT_EQ(DeliverySearch::readDate(QStringLiteral("2024-2-29")), QStringLiteral("20240229"));
    EXPECT_EQ(DeliverySearch::readDate(QStringLiteral("29/1/1")), QStringLiteral("20290101"));
    EXPECT_EQ(DeliverySearch::readDate(QStringLiteral("30/1/1")), QStringLiteral("19300101"));
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("20261207")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("2025/2/29")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("2026/0/10")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("2026/12")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("202/12/07")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QStringLiteral("2026/12/07x")).has_value());
    EXPECT_FALSE(DeliverySearch::readDate(QString()).has_value());
}

// --- The company -------------------------------------------------------------------

TEST_F(SearchFixture, CompaniesOfTheFormatInFileOrder)
{
    CustRecord a = company('1', "ORD1", "SUP", "北斗星電機");
    a.setText(CustField::SupplierName, u"当社");
    CustRecord gone = company('1', "ORD3", "SUP", "削除済");
    gone.setProtocolByte(' ');
    // Thirty double-byte characters: the name is cut at 50 bytes.
    const QString longName(30, QChar(u'長'));
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('2', "ORD9", "SUP", "KORVAN社"), a, gone,
                                                                company('1', "ORD2", "SUP2", longName)}));
    DeliverySearch eiaj(inst.env, Protocol::Eiaj);
    eiaj.loadCompanies();
    ASSERT_EQ(eiaj.companyNames(), (QStringList{QStringLiteral("北斗星電機"), QString(25, QChar(u'長'))}));
    const SearchCompany first = eiaj.companyAt(1);
    EXPECT_EQ(first.ordererCode, QStringLiteral("ORD1"));
    EXPECT_EQ(first.ordererName, QStringLiteral("北斗星電機"));
    EXPECT_EQ(first.supplierCode, QStringLiteral("SUP"));
    EXPECT_EQ(first.supplierName, QStringLiteral("当社"));
    EXPECT_TRUE(eiaj.companyAt(0).ordererCode.isEmpty());
    EXPECT_TRUE(eiaj.companyAt(3).ordererCode.isEmpty());
    EXPECT_EQ(eiaj.indexOf(QStringLiteral("ORD2"), QStringLiteral("SUP2  ")), 2);
    EXPECT_EQ(eiaj.indexOf(QStringLiteral("ORD2"), QStringLiteral("SUP")), 0);
    EXPECT_EQ(eiaj.indexOf(QStringLiteral("ORD3"), QStringLiteral("SUP")), 0); // deleted
    EXPECT_EQ(eiaj.indexOf(QStringLiteral("ORD9"), QStringLiteral("SUP")), 0); // other format

    DeliverySearch korvan(inst.env, Protocol::Korvan);
    korvan.loadCompanies();
    EXPECT_EQ(korvan.companyNames(), QStringList{QStringLiteral("KORVAN社")});
    EXPECT_EQ(korvan.indexOf(QStringLiteral("ORD9"), QStringLiteral("SUP")), 1);
}

TEST(DeliverySearchCompany, ACompanyFiltersByBothCodes)
{
    const auto of = [](const char* orderer, const char* supplier, const char* key) {
        return delivery('1', QString::fromLatin1(orderer), QString::fromLatin1(supplier), QString::fromLatin1(key));
    };
    const QList<DeliveryRecord> file{of("ORD1", "SUP", "K1"), of("ORD2", "SUP", "K2"), of("ORD2", "SUP2", "K3"),
                                     of("ORD2", "SUP2", "K4")};
    SearchConditions c;
    c.ordererIndex = 2;
    c.company = {0, QStringLiteral("ORD2"), QStringLiteral("名"), QStringLiteral("SUP2"), QString()};
    EXPECT_EQ(findIn(file, c), 3);
    EXPECT_EQ(findIn(file, c, 3), 4);
    EXPECT_EQ(findIn(file, c, 4), 0);
    c.deliveryKeyNo = QStringLiteral("K2");
    EXPECT_EQ(findIn(file, c), 0);
    // "すべて": company fields that are still filled do not filter.
    c.ordererIndex = 0;
    EXPECT_EQ(findIn(file, c), 2);
}

// --- Remembered conditions and the data file ---------------------------------------------

TEST_F(SearchFixture, ConditionsAreRememberedWithoutTrailingBlanks)
{
    DeliverySearch search(inst.env, Protocol::Eiaj);
    EXPECT_EQ(search.remembered().ordererIndex, 0);
    EXPECT_TRUE(search.remembered().orderNo.isEmpty());

    SearchConditions c;
    c.ordererIndex = 2;
    c.company = {0, QStringLiteral("ORD2 "), QStringLiteral("名称　 "), QStringLiteral("SUP2"), QString()};
    c.orderNo = QStringLiteral("PO-1  ");
    c.deliveryKeyNo = QStringLiteral(" K1");
    c.itemCode = QStringLiteral("IC");
    c.dueDate = QStringLiteral("2026/12/07 ");
    search.remember(c);
    EXPECT_EQ(inst.env.searchOrdererIndex, 2);
    const std::array<QString, 8> expected{
        QStringLiteral("ORD2"), QStringLiteral("名称　"), QStringLiteral("SUP2"), QString(),
        QStringLiteral("PO-1"), QStringLiteral(" K1"),    QStringLiteral("IC"),   QStringLiteral("2026/12/07")};
    EXPECT_EQ(inst.env.searchTerms, expected);
    // Another search of the same run (another window) starts from them.
    const SearchConditions again = DeliverySearch(inst.env, Protocol::Korvan).remembered();
    EXPECT_EQ(again.ordererIndex, 2);
    EXPECT_EQ(again.terms(), expected);
}

TEST_F(SearchFixture, SearchesTheDataFileOfItsFormat)
{
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{slip("E1"), slip("E2")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{slip("X", "20000531", '2'), slip("E2", "", '2')}));
    EXPECT_EQ(DeliverySearch(inst.env, Protocol::Eiaj).find(byOrderNo("PO-E2"), 0), 2);
    EXPECT_EQ(DeliverySearch(inst.env, Protocol::Korvan).find(byOrderNo("PO-E2"), 0), 2);
    EXPECT_EQ(DeliverySearch(inst.env, Protocol::Korvan).find(byOrderNo("PO-E1"), 0), 0);
}

TEST_F(SearchFixture, ADamagedDataFileIsRefused)
{
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), slip("E1").bytes() + "torn");
    EXPECT_THROW(DeliverySearch(inst.env, Protocol::Eiaj).find({}, 0), Refusal);
}
