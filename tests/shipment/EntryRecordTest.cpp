#include "support/RecordBuilders.h"

#include "core/text/Cp932.h"
#include "shipment/EntryRecord.h"
#include "store/CodeTable.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

using B = EntryBox;

CodeTable codes()
{
    QByteArray bytes;
    for (const CodeEntry& e : QList<CodeEntry>{{"1", "01", "2", "受入検査", ""},
                                               {"1", "02", "1", "内税", ""},
                                               {"1", "02", "2", "外税", ""},
                                               {"1", "03", "1", "課税１０％", "10"},
                                               {"1", "04", "3", "単価＋税抜額", ""},
                                               {"2", "01", "PC", "個", ""}})
        bytes += CodeTable::makeRecord(e);
    return CodeTable::fromBytes(bytes);
}

CustRecord withKanji(char protocol, const char* kanjiUse, const char* outputKind = "3")
{
    CustRecord c = company(protocol, "A001", "S01", "北斗星電機");
    c.setText(CustField::KanjiUse, QString::fromLatin1(kanjiUse));
    c.setText(CustField::OutputKind, QString::fromLatin1(outputKind));
    return c;
}

DeliveryRecord imported()
{
    DeliveryRecord r = delivery('1', "A001", "S01", "KEY-1", "0");
    r.setText(DeliveryField::MessageKind, u"0502");
    r.setText(DeliveryField::ItemName, u"CHIP");
    r.setText(DeliveryField::ItemNameKanji, u"チップ抵抗");
    r.setText(DeliveryField::InstructedQty, u"000001234.500");
    r.setText(DeliveryField::ShipQty, u"000000000.000");
    r.setText(DeliveryField::UnitPrice, u"00000000012.500");
    r.setText(DeliveryField::InspectionClass, u"2");
    r.setText(DeliveryField::ConsumptionTaxClass, u"2");
    r.setText(DeliveryField::TaxationClass, u"1");
    r.setText(DeliveryField::PriceDisplayClass, u"3");
    r.setText(DeliveryField::UpdatedAt, u"202612011030");
    r.clearTagLines();
    r.setTagLine(1, u"000000010.000", u"03");
    return r;
}

} // namespace

TEST(EntryRecord, DisplayFollowsTheRecordAndItsCompany)
{
    const DeliveryRecord r = imported();
    EntryView v = displayRecord(r, Protocol::Eiaj, withKanji('1', "1"), codes(), 3);
    EXPECT_EQ(v.kindAndStatus, QStringLiteral("(確定注文)未処理"));
    EXPECT_EQ(v.form[B::DeliveryKeyNo], QStringLiteral("KEY-1")); // without its trailing blanks
    EXPECT_EQ(v.form[B::UpdatedOn], QStringLiteral("2026/12/01"));
    EXPECT_EQ(v.form[B::ItemName], QStringLiteral("チップ抵抗"));
    EXPECT_TRUE(v.kanjiLabels);
    // No quantity shipped yet: the instructed quantity stands in.
    EXPECT_EQ(v.form[B::ShipQty], QStringLiteral("1,234.500"));
    EXPECT_EQ(v.form[B::UnitPrice], QStringLiteral("12.500"));
    EXPECT_EQ(v.form[B::ShipDate], QStringLiteral("0000/00/00"));
    EXPECT_EQ(v.form[B::InspectionClass], QStringLiteral("2"));
    EXPECT_EQ(v.form[B::PriceDisplayClass], QStringLiteral("3"));
    EXPECT_EQ(v.form[B::Currency], QStringLiteral("JPY"));
    ASSERT_EQ(v.form.tags.size(), 3);
    EXPECT_EQ(v.form.tags[0], (TagRow{QStringLiteral("10.000"), QStringLiteral("3")}));
    EXPECT_EQ(v.form.tags[1], (TagRow{QStringLiteral("0.000"), QStringLiteral("0")}));
    EXPECT_TRUE(v.registerEnabled);
    EXPECT_TRUE(v.gridEnabled);

    // Kanji not used: the single-byte field; a slips-only company greys the grid.
    v = displayRecord(r, Protocol::Eiaj, withKanji('1', "0", "1"), codes(), 3);
    EXPECT_EQ(v.form[B::ItemName], QStringLiteral("CHIP"));
    EXPECT_FALSE(v.kanjiLabels);
    EXPECT_FALSE(v.gridEnabled);

    // An issued record cannot be registered, nor a re-marked one with both marks.
    DeliveryRecord issued = r;
    issued.setText(DeliveryField::Status, u"2");
    EXPECT_FALSE(displayRecord(issued, Protocol::Eiaj, std::nullopt, codes(), 3).registerEnabled);
    issued.setText(DeliveryField::Status, u"8");
    issued.setText(DeliveryField::SlipIssued, u"1");
    issued.setText(DeliveryField::TagIssued, u"1");
    v = displayRecord(issued, Protocol::Eiaj, std::nullopt, codes(), 3);
    EXPECT_FALSE(v.registerEnabled);
    EXPECT_EQ(v.kindAndStatus, QStringLiteral("(確定注文)発行待"));
    EXPECT_FALSE(v.companyFound);

    // A foreign currency shows the decimal fields.
    DeliveryRecord usd = r;
    usd.setText(DeliveryField::Currency, u"USD");
    usd.setText(DeliveryField::UnitPriceX, u"000000000001.25000");
    usd.setText(DeliveryField::AmountInclTaxX, u"000000001234.500");
    v = displayRecord(usd, Protocol::Eiaj, std::nullopt, codes(), 3);
    EXPECT_TRUE(v.foreign);
    EXPECT_EQ(v.form[B::UnitPrice], QStringLiteral("1.25000"));
    EXPECT_EQ(v.form[B::AmountInclTax], QStringLiteral("1,234.500"));

    // KORVAN: its kind text and the orderer's use fields.
    DeliveryRecord k = delivery('2', "K1", "S1", "KK");
    k.setText(DeliveryField::MessageKind, u"D10");
    k.setText(DeliveryField::BcOutputClass, u"1");
    k.setText(DeliveryField::OrdererUse3, u"倉庫");
    v = displayRecord(k, Protocol::Korvan, std::nullopt, codes(), 1);
    EXPECT_EQ(v.kindAndStatus, QStringLiteral("(納品書)未処理"));
    EXPECT_EQ(v.form.bcOption, 1);
    EXPECT_EQ(v.form[B::OrdererUse3], QStringLiteral("倉庫"));
}

TEST(EntryRecord, StatusRulesOfRegistration)
{
    // From, issue flag -> status and marks.
    const struct
    {
        const char* from;
        const char* marks;
        bool issue;
        const char* to;
        const char* marksAfter;
    } cases[] = {
        {"0", "00", false, "1", "00"}, {"0", "00", true, "8", "00"},  {"1", "11", false, "1", "00"},
        {"1", "00", true, "8", "00"},  {"2", "10", false, "8", "11"}, {"2", "00", true, "8", "11"},
        {"8", "10", false, "1", "10"}, {"8", "11", true, "8", "11"},
    };
    for (const auto& c : cases) {
        DeliveryRecord r = delivery('1', "A", "S", "K", QLatin1String(c.from));
        r.setText(DeliveryField::SlipIssued, QString(QLatin1Char(c.marks[0])));
        r.setText(DeliveryField::TagIssued, QString(QLatin1Char(c.marks[1])));
        applyRegistrationStatus(r, c.issue);
        EXPECT_EQ(r.text(DeliveryField::Status), QLatin1String(c.to)) << c.from << c.issue;
        EXPECT_EQ(r.text(DeliveryField::SlipIssued) + r.text(DeliveryField::TagIssued), QLatin1String(c.marksAfter))
            << c.from << c.issue;
    }
}

TEST(EntryRecord, WritingTheBoxes)
{
    const CustRecord kanji = withKanji('1', "1");
    DeliveryRecord r = imported();
    EntryView v = displayRecord(r, Protocol::Eiaj, kanji, codes(), 4);
    EntryForm& f = v.form;
    f[B::ShipQty] = QStringLiteral("40.000");
    f[B::ShipDate] = QStringLiteral("2026/12/08");
    f[B::PlannedDeliveryDate] = QStringLiteral("2026/12/09");
    f[B::AmountExclTax] = QStringLiteral("500");
    f[B::TaxAmount] = QStringLiteral("50");
    f[B::AmountInclTax] = QStringLiteral("550");
    f[B::SupplierRemarks] = QStringLiteral("至急"); // double-byte only: the kanji field
    f.tags = {{QStringLiteral("0.000"), QStringLiteral("0")},
              {QStringLiteral("10.000"), QStringLiteral("3")},
              {QStringLiteral("5.000"), QStringLiteral("2")},
              {QStringLiteral("7.000"), QStringLiteral("0")}};
    f[B::ItemCode] = QStringLiteral("CHANGED"); // order data: not written in mode 0
    writeEntry(r, f, Protocol::Eiaj, EntryMode::Existing, kanji);
    EXPECT_EQ(r.text(DeliveryField::ShipQty), QStringLiteral("000000040.000"));
    EXPECT_EQ(r.text(DeliveryField::ShipDate), QStringLiteral("20261208"));
    EXPECT_EQ(r.text(DeliveryField::AmountInclTax), QStringLiteral("0000000550"));
    EXPECT_EQ(r.text(DeliveryField::AmountInclTaxX), DeliveryRecord::kZeroAmountX);
    EXPECT_EQ(r.text(DeliveryField::SupplierRemarksKanji).trimmed(), QStringLiteral("至急"));
    // Tag rows packed from the first line; the rest zero.
    EXPECT_EQ(r.tagQty(1) + r.tagCount(1), QStringLiteral("000000010.00003"));
    EXPECT_EQ(r.tagQty(2) + r.tagCount(2), QStringLiteral("000000005.00002"));
    EXPECT_EQ(r.tagQty(3) + r.tagCount(3), QStringLiteral("000000000.00000"));
    EXPECT_EQ(r.text(DeliveryField::ItemCode).trimmed(), QString());

    // Order-data correction in a foreign currency: ASCII goes to the single-byte
    // field (and clears the double-byte one), prices and amounts to the decimal fields.
    f[B::Currency] = QStringLiteral("USD");
    f[B::UnitPrice] = QStringLiteral("1.25000");
    f[B::ItemName] = QStringLiteral("ABC");
    writeEntry(r, f, Protocol::Eiaj, EntryMode::Correction, kanji);
    EXPECT_EQ(r.text(DeliveryField::ItemCode).trimmed(), QStringLiteral("CHANGED"));
    EXPECT_EQ(r.text(DeliveryField::ItemName).trimmed(), QStringLiteral("ABC"));
    EXPECT_EQ(r.text(DeliveryField::ItemNameKanji).trimmed(), QString());
    EXPECT_EQ(r.text(DeliveryField::Currency), QStringLiteral("USD"));
    EXPECT_EQ(r.text(DeliveryField::UnitPrice), DeliveryRecord::kZeroPrice);
    EXPECT_EQ(r.text(DeliveryField::UnitPriceX), QStringLiteral("000000000001.25000"));
    EXPECT_EQ(r.text(DeliveryField::AmountInclTaxX), QStringLiteral("000000000550.000"));
    EXPECT_EQ(r.text(DeliveryField::AmountInclTax), DeliveryRecord::kZeroAmount);

    // A slips-only company keeps only zero tag lines.
    writeEntry(r, f, Protocol::Eiaj, EntryMode::Existing, withKanji('1', "1", "1"));
    EXPECT_EQ(r.tagQty(1) + r.tagCount(1), QStringLiteral("000000000.00000"));
}

TEST(EntryRecord, NewKorvanRecordsStartBlankOrFromTheCopiedRow)
{
    DeliveryRecord shownBefore = delivery('2', "OLD", "S", "OLD-KEY", "2");
    shownBefore.setText(DeliveryField::SourceNo, u"12345");
    EXPECT_EQ(newRecordBase(Protocol::Korvan, std::nullopt).bytes(), DeliveryRecord().bytes());
    EXPECT_EQ(newRecordBase(Protocol::Korvan, shownBefore).text(DeliveryField::SourceNo), QStringLiteral("12345"));
    EXPECT_EQ(newRecordBase(Protocol::Eiaj, shownBefore).bytes(), DeliveryRecord().bytes());

    EntryView v = newRecordScreen(
        Protocol::Korvan, {QStringLiteral("K1"), QStringLiteral("湘洋"), QStringLiteral("S1")}, QDate(2026, 12, 7), 2);
    EXPECT_EQ(v.kindAndStatus, QStringLiteral("新規（画面入力）"));
    EXPECT_EQ(v.form[B::OrdererCode], QStringLiteral("K1"));
    EXPECT_EQ(v.form[B::ShipDate], QStringLiteral("2026/12/07"));
    EntryForm& f = v.form;
    f[B::DeliveryKeyNo] = QStringLiteral("NEW-1");
    f[B::OrderNo] = QStringLiteral("PO-1");
    f[B::ItemName] = QStringLiteral("部品");
    f[B::OrdererUse3] = QString(12, QChar(u'庫')); // 24 bytes: cut to 20
    f.bcOption = 2;
    f[B::InspectionClass] = QStringLiteral("PC");
    DeliveryRecord r = newRecordBase(Protocol::Korvan, std::nullopt);
    writeEntry(r, f, Protocol::Korvan, EntryMode::New, withKanji('2', "1"));
    EXPECT_EQ(r.kind(), '2');
    EXPECT_EQ(r.text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("NEW-1"));
    EXPECT_EQ(r.text(DeliveryField::MessageKind), QStringLiteral("    "));
    EXPECT_EQ(r.text(DeliveryField::ItemNameKanji).trimmed(), QStringLiteral("部品"));
    EXPECT_EQ(r.text(DeliveryField::OrdererUse3), QString(10, QChar(u'庫')));
    EXPECT_EQ(r.text(DeliveryField::BcOutputClass), QStringLiteral("0"));
    EXPECT_EQ(r.text(DeliveryField::PriceDisplayClass), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::InspectionClass).trimmed(), QStringLiteral("PC"));
    EXPECT_EQ(r.text(DeliveryField::Currency).trimmed(), QString()); // not touched
}
