#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "shipment/EntrySession.h"
#include "store/CodeTable.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// An EIAJ record the checks accept once its shipment is typed in.
DeliveryRecord complete(const QString& key)
{
    DeliveryRecord r = entryReady(QStringLiteral("A001"), QStringLiteral("S01"), key);
    r.setText(DeliveryField::UnitPrice, u"00000000003.000");
    r.setText(DeliveryField::InstructedQty, u"000000010.000");
    r.setText(DeliveryField::ShipQty, u"000000000.000");
    r.setText(DeliveryField::ShipDate, u"20261207");
    r.setText(DeliveryField::PlannedDeliveryDate, u"20261208");
    return r;
}

struct SessionFixture : ::testing::Test
{
    TestInstall inst;
    SessionFixture()
    {
        inst.writeSettings();
        inst.buildPaths();
        inst.env.nifuda = 3;
        QByteArray codes;
        for (const CodeEntry& e : QList<CodeEntry>{{"1", "01", "1", "無検査", ""},
                                                   {"1", "02", "1", "内税", ""},
                                                   {"1", "02", "2", "外税", ""},
                                                   {"1", "03", "1", "課税１０％", "10"},
                                                   {"1", "04", "2", "すべて表示", ""},
                                                   {"1", "05", "JPY", "JPY", ""},
                                                   {"1", "05", "USD", "USD", ""}})
            codes += CodeTable::makeRecord(e);
        inst.writeFile(QStringLiteral("Prg/Code.DAT"), codes);
        CustRecord c = company('1', "A001", "S01", "北斗星電機");
        c.setText(CustField::KanjiUse, u"0");
        c.setText(CustField::OutputKind, u"1");
        c.setText(CustField::AmountRounding, u"3");
        c.setText(CustField::TaxRounding, u"2");
        c.setText(CustField::ConsumptionTaxKind, u"2");
        c.setText(CustField::TaxationKind, u"1");
        c.setText(CustField::PriceDisplayKind, u"2");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), c.bytes());
    }
    void records(const QList<DeliveryRecord>& list) { inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(list)); }
    QList<DeliveryRecord> stored() const { return recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat"))); }
    static bool no(short) { return false; }
};

QString key(const EntrySession& s)
{
    return s.shownRecord()->text(DeliveryField::DeliveryKeyNo).trimmed();
}

} // namespace

TEST_F(SessionFixture, PagesCountLiveRecordsAndDeletingTheLastPageMovesBack)
{
    DeliveryRecord gone = complete("GONE");
    gone.setKind(' ');
    records({complete("R1"), gone, complete("R2"), complete("R3")});
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::Existing, 1, 3, false});
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.pageText(), QStringLiteral("(1/3)"));
    EXPECT_FALSE(s.canGoBack());
    s.nextPage();
    EXPECT_EQ(key(s), QStringLiteral("R2"));
    EXPECT_EQ(s.recordNumber(), 3); // page 2 is the second live record, not record 2
    s.nextPage();
    EXPECT_FALSE(s.canGoForward());

    // Deleting the last page shows the page before it.
    EntryOutcome out = s.deleteShown();
    EXPECT_TRUE(out.written);
    EXPECT_EQ(s.pageText(), QStringLiteral("(2/2)"));
    EXPECT_EQ(key(s), QStringLiteral("R2"));
    EXPECT_EQ(stored().at(3).kind(), ' ');
    EXPECT_EQ(stored().at(3).text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    s.deleteShown();
    EXPECT_EQ(key(s), QStringLiteral("R1"));
    out = s.deleteShown();
    EXPECT_TRUE(out.closeWindow);
    EXPECT_TRUE(s.changed());
}

TEST_F(SessionFixture, RegistrationWritesTheShownRecordAndMovesOn)
{
    records({complete("R1"), complete("R2")});
    // A range of two rows handed over.
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::Existing, 1, 2, true});
    ASSERT_TRUE(s.open());
    s.enterValue(EntryBox::ShipQty, QStringLiteral("7"));
    // Quantity 7 x 3 yen, 10 %, rounded: 21 + 2 = 23.
    EXPECT_EQ(s.form()[EntryBox::AmountExclTax], QStringLiteral("21"));
    EXPECT_EQ(s.form()[EntryBox::TaxAmount], QStringLiteral("2"));
    EXPECT_EQ(s.form()[EntryBox::AmountInclTax], QStringLiteral("23"));
    EntryOutcome out = s.registerShown(true, no);
    ASSERT_TRUE(out.written) << out.message;
    EXPECT_EQ(out.focus, EntryPlace::of(EntryBox::ShipQty));
    EXPECT_EQ(s.pageText(), QStringLiteral("(2/2)"));
    EXPECT_EQ(key(s), QStringLiteral("R2"));
    const DeliveryRecord first = stored().at(0);
    EXPECT_EQ(first.text(DeliveryField::Status), QStringLiteral("8"));
    EXPECT_EQ(first.text(DeliveryField::ShipQty), QStringLiteral("000000007.000"));
    EXPECT_EQ(first.text(DeliveryField::AmountInclTax), QStringLiteral("0000000023"));
    EXPECT_EQ(first.text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));

    // On the last page the page stays; a failed check writes nothing.
    s.enterValue(EntryBox::ShipDate, QStringLiteral("2026/13/01"));
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    out = s.registerShown(false, no);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(out.message, 101);
    EXPECT_EQ(out.focus, EntryPlace::of(EntryBox::ShipDate));
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    s.enterValue(EntryBox::ShipDate, QStringLiteral("20261209"));
    EXPECT_EQ(s.form()[EntryBox::ShipDate], QStringLiteral("2026/12/09"));
    out = s.registerShown(false, no);
    ASSERT_TRUE(out.written) << out.message;
    EXPECT_EQ(s.pageText(), QStringLiteral("(2/2)"));
    EXPECT_EQ(stored().at(1).text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(stored().at(1).text(DeliveryField::ShipDate), QStringLiteral("20261209"));
}

TEST_F(SessionFixture, AnotherProgramsRewriteIsNeverOverwritten)
{
    records({complete("R1"), complete("R2")});
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::Existing, 2, 2, false});
    ASSERT_TRUE(s.open());
    ASSERT_EQ(key(s), QStringLiteral("R2"));
    // An import rebuilt the file meanwhile: R2 moved to record 1.
    records({complete("R2"), complete("NEW")});
    const QByteArray rebuilt = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    EntryOutcome out = s.registerShown(false, no);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(out.message, 10);
    out = s.deleteShown();
    EXPECT_EQ(out.message, 10);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), rebuilt);

    // A program holding the data file: the registration is refused, nothing written.
    records({complete("R1"), complete("R2")});
    qputenv("PLX90_LOCK_WAIT_MS", "50");
    {
        const FileLock other(inst.env.paths.eDelivPath, DeliveryStore::label());
        EXPECT_THROW(s.registerShown(false, no), Refusal);
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
    EXPECT_EQ(stored().at(1).text(DeliveryField::Status), QStringLiteral("0"));
}

TEST_F(SessionFixture, NewRecordsAreCheckedForDuplicatesAndRememberTheOrderer)
{
    records({complete("R1")});
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::New, 1, 1, false});
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.pageText(), QStringLiteral("(1/1)"));
    using B = EntryBox;
    const auto type = [&](EntryBox box, const char* value) { s.enterValue(box, QString::fromUtf8(value)); };
    type(B::OrdererCode, "A001");
    type(B::SupplierCode, "S01");
    EXPECT_EQ(s.form()[EntryBox::OrdererName], QStringLiteral("北斗星電機"));
    EXPECT_EQ(s.form()[EntryBox::ConsumptionTaxClass], QStringLiteral("2")); // the company's default classes
    EXPECT_EQ(s.form()[EntryBox::PriceDisplayClass], QStringLiteral("2"));
    type(B::DeliveryKeyNo, "R1");
    type(B::OrderNo, "PO-9");
    type(B::ItemCode, "IC-9");
    type(B::InspectionClass, "1");
    type(B::UnitPrice, "100");
    type(B::ShipQty, "2");
    EntryOutcome out = s.registerShown(false, no);
    EXPECT_EQ(out.message, 585);
    EXPECT_EQ(out.focus, EntryPlace::of(EntryBox::OrdererCode));
    type(B::DeliveryKeyNo, "R9");
    out = s.registerShown(false, no);
    ASSERT_TRUE(out.written) << out.message << int(out.focus.box.value_or(EntryBox::OrdererName));
    ASSERT_EQ(stored().size(), 2);
    const DeliveryRecord added = stored().at(1);
    EXPECT_EQ(added.kind(), '1');
    EXPECT_EQ(added.text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(added.text(DeliveryField::OrderNo).trimmed(), QStringLiteral("PO-9"));
    EXPECT_EQ(added.text(DeliveryField::AmountExclTax), QStringLiteral("0000000200"));
    EXPECT_EQ(added.text(DeliveryField::MessageKind), QStringLiteral("    "));
    // A fresh screen with the orderer remembered.
    EXPECT_EQ(out.focus, EntryPlace::of(EntryBox::OrdererCode));
    EXPECT_EQ(s.form()[EntryBox::OrdererCode], QStringLiteral("A001"));
    EXPECT_EQ(s.form()[EntryBox::OrdererName], QStringLiteral("北斗星電機"));
    EXPECT_TRUE(s.form()[EntryBox::DeliveryKeyNo].isEmpty());
}

TEST_F(SessionFixture, AForeignCurrencyRoundTrip)
{
    DeliveryRecord r = complete("R1");
    r.setText(DeliveryField::Currency, u"USD");
    r.setText(DeliveryField::UnitPrice, DeliveryRecord::kZeroPrice);
    r.setText(DeliveryField::UnitPriceX, u"000000000001.23450");
    records({r});
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::Existing, 1, 1, false});
    ASSERT_TRUE(s.open());
    EXPECT_TRUE(s.view().foreign);
    EXPECT_EQ(s.form()[EntryBox::UnitPrice], QStringLiteral("1.23450"));
    s.enterValue(EntryBox::ShipQty, QStringLiteral("3"));
    // 3 x 1.2345 = 3.7035, rounded half up to 3.704; tax 10 % cut: 0.370.
    EXPECT_EQ(s.form()[EntryBox::AmountExclTax], QStringLiteral("3.704"));
    EXPECT_EQ(s.form()[EntryBox::TaxAmount], QStringLiteral("0.370"));
    EXPECT_EQ(s.form()[EntryBox::AmountInclTax], QStringLiteral("4.074"));
    ASSERT_TRUE(s.registerShown(false, no).written);
    const DeliveryRecord after = stored().at(0);
    EXPECT_EQ(after.text(DeliveryField::AmountExclTaxX), QStringLiteral("000000000003.704"));
    EXPECT_EQ(after.text(DeliveryField::AmountInclTaxX), QStringLiteral("000000000004.074"));
    EXPECT_EQ(after.text(DeliveryField::AmountExclTax), DeliveryRecord::kZeroAmount);
    EXPECT_EQ(after.text(DeliveryField::UnitPriceX), QStringLiteral("000000000001.23450")); // mode 0: not rewritten

    // Switching the currency back to yen reformats the boxes.
    s.startCorrection();
    s.enterValue(EntryBox::Currency, QStringLiteral("jpy"));
    EXPECT_FALSE(s.view().foreign);
    EXPECT_EQ(s.form()[EntryBox::Currency], QStringLiteral("JPY"));
    EXPECT_EQ(s.form()[EntryBox::AmountExclTax], QStringLiteral("4"));
}

TEST_F(SessionFixture, AKorvanRecordCopiedFromARowStartsFromThatRowOnly)
{
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), CodeTable::makeRecord({"2", "01", "PC", "個", ""}));
    CustRecord k = company('2', "K1", "S1", "湘洋");
    k.setText(CustField::KanjiUse, u"1");
    k.setText(CustField::OutputKind, u"3");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), k.bytes());
    DeliveryRecord other = delivery('2', "K1", "S1", "OTHER", "2");
    other.setText(DeliveryField::SourceNo, u"99999");
    DeliveryRecord row = delivery('2', "K1", "S1", "ROW", "0");
    row.setText(DeliveryField::MessageKind, u"D10");
    row.setText(DeliveryField::SourceNo, u"00042");
    row.setText(DeliveryField::OrderNo, u"PO-ROW");
    row.setText(DeliveryField::ItemCode, u"IC-ROW");
    row.setText(DeliveryField::ItemNameKanji, u"部品");
    row.setText(DeliveryField::InspectionClass, u"PC");
    row.setText(DeliveryField::BcOutputClass, u"1");
    row.setText(DeliveryField::OrdererUse1, u"USE1");
    row.setText(DeliveryField::ShipDate, u"20261207");
    row.setText(DeliveryField::PlannedDeliveryDate, u"20261208");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{other, row}));

    // The second listed row handed over to copy from.
    EntrySession s(inst.env, Protocol::Korvan, {EntryMode::New, 2, 2, true});
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.view().kindAndStatus, QStringLiteral("新規（画面入力）"));
    EXPECT_EQ(s.form()[EntryBox::DeliveryKeyNo], QStringLiteral("ROW"));
    // ASCII in a kanji box is refused in KORVAN.
    s.enterValue(EntryBox::DeliveryKeyNo, QStringLiteral("COPY-1"));
    s.enterValue(EntryBox::ItemName, QStringLiteral("PART"));
    s.enterValue(EntryBox::ShipQty, QStringLiteral("0"));
    EntryOutcome out = s.registerShown(false, no);
    EXPECT_EQ(out.message, 56);
    EXPECT_EQ(out.focus, EntryPlace::of(EntryBox::ItemName));
    s.enterValue(EntryBox::ItemName, QStringLiteral("部品"));
    out = s.registerShown(false, no);
    ASSERT_TRUE(out.written) << out.message << int(out.focus.box.value_or(EntryBox::OrdererName));
    const QByteArray bytes = inst.readFile(QStringLiteral("Prg/K_Deliv.dat"));
    ASSERT_EQ(bytes.size(), 3 * DeliveryRecord::kLength);
    const DeliveryRecord added(bytes.right(DeliveryRecord::kLength));
    EXPECT_EQ(added.kind(), '2');
    EXPECT_EQ(added.text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("COPY-1"));
    EXPECT_EQ(added.text(DeliveryField::SourceNo), QStringLiteral("00042")); // from the copied row, not the other
    EXPECT_EQ(added.text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(added.text(DeliveryField::OrdererUse1).trimmed(), QStringLiteral("USE1"));
}

// The classes of a new record are its own company's: the defaults an orderer
// display set go when the orderer changes, a class the operator chose stays,
// and amounts calculated for the earlier classes go with them.
TEST_F(SessionFixture, ANewRecordTakesItsOwnOrderersClassesAndAmounts)
{
    QByteArray codes = inst.readFile(QStringLiteral("Prg/Code.DAT"));
    codes += CodeTable::makeRecord({"1", "03", "2", "軽減税率８％", "8"});
    codes += CodeTable::makeRecord({"1", "04", "1", "価格表示なし", ""});
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), codes);
    CustRecord b = company('1', "B002", "S02", "南十字電子");
    b.setText(CustField::ConsumptionTaxKind, u"1");
    b.setText(CustField::TaxationKind, u"2");
    b.setText(CustField::PriceDisplayKind, u"2");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), inst.readFile(QStringLiteral("Usr/Cust.DAT")) + b.bytes());
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::New, 1, 1, false});
    ASSERT_TRUE(s.open());
    struct Step
    {
        EntryBox box;
        const char* value;
        const char* classes; // consumption tax, taxation, price display
        const char* amounts; // before tax, tax, with tax
    };
    const Step steps[] = {
        {EntryBox::OrdererCode, "A001", "  ", "  "},
        {EntryBox::SupplierCode, "S01", "2 1 2", "  "}, // A001's defaults
        {EntryBox::PriceDisplayClass, "1", "2 1 1", "  "},
        {EntryBox::UnitPrice, "100", "2 1 1", "  "},
        {EntryBox::ShipQty, "3", "2 1 1", "300 30 330"},
        {EntryBox::OrdererCode, "B002", "  1", "0 0 0"},   // no such company: A001's defaults and amounts go
        {EntryBox::SupplierCode, "S02", "1 2 1", "0 0 0"}, // tax-inclusive: nothing calculated
        {EntryBox::AmountExclTax, "500", "1 2 1", "500 0 0"},
        {EntryBox::OrdererCode, "A001", "  1", "500 0 0"}, // typed amounts stay
        {EntryBox::SupplierCode, "S01", "2 1 1", "300 30 330"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << int(step.box) << " " << step.value);
        s.enterValue(step.box, QLatin1String(step.value));
        const EntryForm& f = s.form();
        EXPECT_EQ(
            QStringList({f[EntryBox::ConsumptionTaxClass], f[EntryBox::TaxationClass], f[EntryBox::PriceDisplayClass]})
                .join(u' '),
            QLatin1String(step.classes));
        EXPECT_EQ(
            QStringList({f[EntryBox::AmountExclTax], f[EntryBox::TaxAmount], f[EntryBox::AmountInclTax]}).join(u' '),
            QLatin1String(step.amounts));
    }
}

// A row without a window is typed as the window types it: the record its keys
// name (order data given makes it a correction) or a new one, the values in
// the window's tab order, then the registration; what the window would not
// let through is refused, and a refused row writes nothing.
TEST_F(SessionFixture, ARowIsTypedIntoTheRecordItsKeysName)
{
    records({complete("R1")});
    EntrySession s(inst.env, Protocol::Eiaj, {EntryMode::New, 1, 1, false});
    s.holdFiles();
    ASSERT_TRUE(s.loadCodes());
    using B = EntryBox;
    const QList<TagRow> fourRows{{"1", "1"}, {"1", "1"}, {"1", "1"}, {"1", "1"}};
    struct Case
    {
        const char* label;
        std::map<EntryBox, QString> values;
        std::optional<QList<TagRow>> tags;
        bool unreadableTags;
        RowRefusal refusal;
        EntryPlace inError;
    };
    const std::map<EntryBox, QString> r1{{B::OrdererCode, "A001"}, {B::SupplierCode, "S01"}, {B::DeliveryKeyNo, "R1"}};
    const auto with = [&](std::map<EntryBox, QString> extra) {
        extra.insert(r1.begin(), r1.end());
        return extra;
    };
    const Case cases[] = {
        {"another order number",
         with({{B::OrderNo, "PO-X"}}),
         {},
         false,
         RowRefusal::ListedOrder,
         EntryPlace::of(B::OrderNo)},
        {"more tag rows than the grid", r1, fourRows, false, RowRefusal::TagRows, EntryPlace::of(B::TagLines)},
        {"unreadable tag rows", r1, {}, true, RowRefusal::TagRows, EntryPlace::of(B::TagLines)},
        {"a quantity the box would round",
         with({{B::ShipQty, "1.0005"}}),
         {},
         false,
         RowRefusal::Window,
         EntryPlace::of(B::ShipQty)},
        {"a new record without its order number",
         with({{B::DeliveryKeyNo, "N1"}}),
         {},
         false,
         RowRefusal::Window,
         EntryPlace::of(B::OrderNo)}};
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const EntryRowOutcome out = s.registerRow({c.values, c.tags, c.unreadableTags}, false, no);
        EXPECT_FALSE(out.written);
        EXPECT_EQ(out.refusal, c.refusal);
        EXPECT_EQ(out.inError, c.inError);
    }
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);

    // The listed record's own order number and other order data: a correction.
    const EntryRowOutcome out = s.registerRow(
        {with({{B::OrderNo, " PO-R1"}, {B::ItemName, "RESISTOR"}, {B::ShipQty, "4"}}), QList<TagRow>{}, false}, false,
        no);
    ASSERT_TRUE(out.written) << out.message << int(out.inError.box.value_or(EntryBox::OrdererName));
    EXPECT_EQ(s.mode(), EntryMode::Correction);
    EXPECT_EQ(out.status, QStringLiteral("1"));
    const DeliveryRecord after = stored().at(0);
    EXPECT_EQ(after.text(DeliveryField::ItemName).trimmed(), QStringLiteral("RESISTOR"));
    EXPECT_EQ(after.text(DeliveryField::ShipQty), QStringLiteral("000000004.000"));
    // 4 x 3 yen and 10 % tax, as the window calculates when the quantity is left.
    EXPECT_EQ(after.text(DeliveryField::AmountInclTax), QStringLiteral("0000000013"));
}

// The KORVAN window has the orderer's own three fields where the EIAJ window
// has the price and two amounts.
TEST_F(SessionFixture, AKorvanRowFillsTheOrderersOwnFields)
{
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), CodeTable::makeRecord({"2", "01", "PC", "個", ""}));
    CustRecord k = company('2', "K1", "S1", "湘洋");
    k.setText(CustField::KanjiUse, u"1");
    k.setText(CustField::OutputKind, u"1");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), k.bytes());
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{delivery('2', "K1", "S1", "OTHER", "0")}));
    EntrySession s(inst.env, Protocol::Korvan, {EntryMode::New, 1, 1, false});
    s.holdFiles();
    ASSERT_TRUE(s.loadCodes());
    using B = EntryBox;
    const EntryRowOutcome out = s.registerRow({{{B::OrdererCode, "K1"},
                                                {B::SupplierCode, "S1"},
                                                {B::DeliveryKeyNo, "N-1"},
                                                {B::OrderNo, "PO-1"},
                                                {B::ItemCode, "IC-1"},
                                                {B::ItemName, "部品"},
                                                {B::InspectionClass, "PC"},
                                                {B::BcOutputClass, "1"},
                                                {B::OrdererUse1, "USE1"},
                                                {B::OrdererUse2, "U2"},
                                                {B::OrdererUse3, "備考"},
                                                {B::ShipQty, "0"}},
                                               {},
                                               false},
                                              false, no);
    ASSERT_TRUE(out.written) << out.message << out.text.toStdString()
                             << int(out.inError.box.value_or(EntryBox::OrdererName));
    const QList<DeliveryRecord> after = recordsOf(inst.readFile(QStringLiteral("Prg/K_Deliv.dat")));
    ASSERT_EQ(after.size(), 2);
    const DeliveryRecord& r = after[1];
    EXPECT_EQ(r.text(DeliveryField::BcOutputClass), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::OrdererUse1).trimmed(), QStringLiteral("USE1"));
    EXPECT_EQ(r.text(DeliveryField::OrdererUse2).trimmed(), QStringLiteral("U2"));
    EXPECT_TRUE(r.text(DeliveryField::OrdererUse3).startsWith(QStringLiteral("備考")));
    EXPECT_EQ(r.text(DeliveryField::UnitPrice), DeliveryRecord::kZeroPrice);
    EXPECT_EQ(r.text(DeliveryField::ItemNameKanji).trimmed(), QStringLiteral("部品"));
}
