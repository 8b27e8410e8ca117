#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "customers/CustomerSession.h"
#include "store/CodeTable.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace plx;
using namespace plx::test;
// The form's fields.
using F = CustField;

namespace {

const QString kCust = QStringLiteral("Usr/Cust.DAT");

// A company whose record passes every check of ＯＫ.
CustRecord complete(char protocol, const QString& orderer, const QString& supplier, const QString& name)
{
    CustRecord r = company(protocol, orderer, supplier, name);
    r.setText(CustField::SupplierName, u"自社");
    r.setText(CustField::OutputKind, u"1");
    r.setText(CustField::SlipFormFile, u"E_Slip.agr");
    r.setText(CustField::SlipBarcodeDigits, u"20");
    r.setText(CustField::TagBarcodeDigits, u"00");
    if (protocol == '1') {
        r.setText(CustField::KanjiUse, u"1");
        r.setText(CustField::AmountRounding, u"1");
        r.setText(CustField::TaxRounding, u"1");
        r.setText(CustField::ConsumptionTaxKind, u"2");
        r.setText(CustField::TaxationKind, u"1");
        r.setText(CustField::PriceDisplayKind, u"2");
    } else {
        r.setText(CustField::KanjiUse, u"0");
        r.setText(CustField::PriceDisplayKind, u"1");
    }
    return r;
}

CustRecord sample(char protocol, const QString& slip, const QString& tag)
{
    CustRecord r = company(protocol, QString(), QString(), QStringLiteral("見本"));
    r.setText(CustField::KanjiUse, u"0");
    r.setText(CustField::OutputKind, u"3");
    r.setText(CustField::SlipFormFile, slip);
    r.setText(CustField::TagFormFile, tag);
    r.setText(CustField::SlipBarcodeDigits, u"20");
    r.setText(CustField::TagBarcodeDigits, u"15");
    r.setText(CustField::Comment, u"見本の注記");
    if (protocol == '1') {
        r.setText(CustField::AmountRounding, u"3");
        r.setText(CustField::TaxRounding, u"2");
        r.setText(CustField::ConsumptionTaxKind, u"2");
        r.setText(CustField::TaxationKind, u"3");
        r.setText(CustField::PriceDisplayKind, u"9"); // no such code: the combo stays empty
    }
    return r;
}

struct CustomerFixture : ::testing::Test
{
    TestInstall inst;

    CustomerFixture()
    {
        inst.writeSettings();
        QByteArray codes;
        for (const char* format : {"1", "2"}) {
            for (const CodeEntry& e : QList<CodeEntry>{{"", "02", "1", "内税", ""},
                                                       {"", "02", "2", "外税", ""},
                                                       {"", "03", "1", "課税", "10"},
                                                       {"", "03", "3", "非課税", "0"},
                                                       {"", "04", "1", "表示なし", ""},
                                                       {"", "04", "2", "すべて", ""}}) {
                CodeEntry entry = e;
                entry.format = QLatin1String(format);
                codes += CodeTable::makeRecord(entry);
            }
        }
        inst.writeFile(QStringLiteral("Prg/Code.DAT"), codes);
        for (const char* layout : {"E_Slip.agr", "E_Tag.agr", "K_Slip.agr", "K_Tag.agr"})
            inst.writeFile(QStringLiteral("Usr/") + QLatin1String(layout), "{}");
        inst.writeFile(QStringLiteral("Sample/Cust.DAT"),
                       fileOf(QList{sample('1', QStringLiteral("E_Slip.agr"), QStringLiteral("E_Tag.agr")),
                                    sample('2', QStringLiteral("K_Slip.agr"), QStringLiteral("K_Tag.agr"))}));
        inst.buildPaths();
    }

    void seed(const QList<CustRecord>& records) { inst.writeFile(kCust, fileOf(records)); }
    QList<CustRecord> stored() const
    {
        const QByteArray bytes = inst.readFile(kCust);
        QList<CustRecord> out;
        for (qsizetype at = 0; at + CustRecord::kLength <= bytes.size(); at += CustRecord::kLength)
            out.append(CustRecord(bytes.mid(at, CustRecord::kLength)));
        return out;
    }
    // An opened session on the protocol.
    std::unique_ptr<CustomerSession> session(Protocol protocol)
    {
        auto s = std::make_unique<CustomerSession>(inst.env);
        EXPECT_TRUE(s->open());
        s->setProtocol(protocol);
        return s;
    }
    static int rowOf(const CustomerSession& s, const QString& name)
    {
        for (int row = 0; row < s.rows().size(); ++row) {
            if (s.rows()[row].name == name)
                return row;
        }
        return -1;
    }
};

} // namespace

// ---- The checks of ＯＫ: fixing each failure in turn meets the next one, in
// the window's order; the EIAJ-only checks are skipped for KORVAN.

struct CheckStep
{
    short message;
    CustField focus;
    bool eiajOnly;
    std::function<void(CustomerForm&)> fix;
};

class CheckOrder : public CustomerFixture, public ::testing::WithParamInterface<Protocol>
{
};

TEST_P(CheckOrder, EachFixMeetsTheNextCheck)
{
    const Protocol protocol = GetParam();
    const char digit = protocol == Protocol::Eiaj ? '1' : '2';
    seed({complete(digit, QStringLiteral("A1"), QStringLiteral("S1"), QStringLiteral("既存"))});
    const QByteArray before = inst.readFile(kCust);
    auto s = session(protocol);
    s->startNew();
    s->form() = CustomerForm(); // nothing entered, nothing chosen

    const std::vector<CheckStep> steps = {
        {510, CustField::OrdererCode, false, [](CustomerForm& f) { f[F::OrdererCode] = QStringLiteral("Ａ1"); }},
        {512, CustField::OrdererCode, false, [](CustomerForm& f) { f[F::OrdererCode] = QStringLiteral("A1  "); }},
        {515, CustField::OrdererName, false, [](CustomerForm& f) { f[F::OrdererName] = QStringLiteral("北斗電機"); }},
        {520, CustField::SupplierCode, false, [](CustomerForm& f) { f[F::SupplierCode] = QStringLiteral("Ｓ1"); }},
        {522, CustField::SupplierCode, false, [](CustomerForm& f) { f[F::SupplierCode] = QStringLiteral("S1"); }},
        {525, CustField::SupplierName, false, [](CustomerForm& f) { f[F::SupplierName] = QStringLiteral("自社"); }},
        {545, CustField::KanjiUse, true, [](CustomerForm& f) { f[F::KanjiUse] = QStringLiteral("0"); }},
        {555, CustField::AmountRounding, true, [](CustomerForm& f) { f[F::AmountRounding] = QStringLiteral("2"); }},
        {560, CustField::TaxRounding, true, [](CustomerForm& f) { f[F::TaxRounding] = QStringLiteral("3"); }},
        {530, CustField::ConsumptionTaxKind, true,
         [](CustomerForm& f) { f[F::ConsumptionTaxKind] = QStringLiteral("2"); }},
        {535, CustField::TaxationKind, true, [](CustomerForm& f) { f[F::TaxationKind] = QStringLiteral("3"); }},
        {540, CustField::PriceDisplayKind, true, [](CustomerForm& f) { f[F::PriceDisplayKind] = QStringLiteral("1"); }},
        {550, CustField::OutputKind, false, [](CustomerForm& f) { f[F::OutputKind] = QStringLiteral("3"); }},
        {565, CustField::SlipFormFile, false,
         [](CustomerForm& f) { f[F::SlipFormFile] = QStringLiteral("NoSuch.agr"); }},
        {567, CustField::SlipFormFile, false,
         [](CustomerForm& f) { f[F::SlipFormFile] = QStringLiteral("E_Slip.agr"); }},
        {570, CustField::SlipBarcodeDigits, false,
         [](CustomerForm& f) { f[F::SlipBarcodeDigits] = QStringLiteral("0"); }},
        {572, CustField::SlipBarcodeDigits, false,
         [](CustomerForm& f) { f[F::SlipBarcodeDigits] = QStringLiteral("1x"); }},
        {572, CustField::SlipBarcodeDigits, false,
         [](CustomerForm& f) { f[F::SlipBarcodeDigits] = QStringLiteral("20"); }},
        {575, CustField::TagFormFile, false,
         [](CustomerForm& f) { f[F::TagFormFile] = QStringLiteral("../Usr/E_Tag.agr"); }},
        {577, CustField::TagFormFile, false, [](CustomerForm& f) { f[F::TagFormFile] = QStringLiteral("E_Tag.agr"); }},
        {580, CustField::TagBarcodeDigits, false,
         [](CustomerForm& f) { f[F::TagBarcodeDigits] = QStringLiteral("-1"); }},
        {582, CustField::TagBarcodeDigits, false,
         [](CustomerForm& f) { f[F::TagBarcodeDigits] = QStringLiteral("00"); }},
        {582, CustField::TagBarcodeDigits, false,
         [](CustomerForm& f) { f[F::TagBarcodeDigits] = QStringLiteral("15"); }},
        // The same codes as a listed company, with trailing blanks.
        {585, CustField::OrdererCode, false, [](CustomerForm& f) { f[F::SupplierCode] = QStringLiteral("S2"); }},
    };
    for (const CheckStep& step : steps) {
        if (step.eiajOnly && protocol == Protocol::Korvan) {
            step.fix(s->form());
            continue;
        }
        const CustomerOutcome outcome = s->save();
        EXPECT_FALSE(outcome.written) << step.message;
        EXPECT_EQ(outcome.message, step.message);
        EXPECT_EQ(outcome.focus, CustomerFocus::on(step.focus)) << step.message;
        // A refusal leaves the window in its mode with what was entered.
        EXPECT_EQ(s->mode(), CustomerMode::New);
        step.fix(s->form());
    }
    EXPECT_EQ(inst.readFile(kCust), before);

    const CustomerOutcome written = s->save();
    EXPECT_TRUE(written.written);
    EXPECT_EQ(written.message, 0);
    EXPECT_EQ(s->mode(), CustomerMode::Browse);
    const QList<CustRecord> after = stored();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[1].text(CustField::OrdererCode).trimmed(), QStringLiteral("A1"));
    EXPECT_EQ(after[1].text(CustField::SupplierCode).trimmed(), QStringLiteral("S2"));
    EXPECT_EQ(s->rows().size(), 2);
    EXPECT_EQ(s->selectedRow(), 1); // the written company is selected
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, CheckOrder, ::testing::Values(Protocol::Eiaj, Protocol::Korvan),
                         [](const auto& info) { return info.param == Protocol::Eiaj ? "Eiaj" : "Korvan"; });

// A company shown and built again is its record, byte for byte: every field
// of the record is shown in the form and written back from it (a field the
// company field table has no row for would come back blank), codes of full
// width for the protocol included.
TEST_F(CustomerFixture, AShownCompanyIsBuiltBackIntoItsRecord)
{
    for (const char protocol : {'1', '2'}) {
        const bool eiaj = protocol == '1';
        CustRecord r = complete(protocol, eiaj ? QStringLiteral("A23456789012") : QStringLiteral("K23456789"),
                                QStringLiteral("S1"), QStringLiteral("北斗電機"));
        r.setText(CustField::OutputKind, u"3");
        r.setText(CustField::TagFormFile, u"E_Tag.agr");
        r.setText(CustField::TagBarcodeDigits, u"15");
        r.setText(CustField::Comment, u"月末締め");
        if (eiaj) {
            r.setText(CustField::KanjiUse, u"0");
            r.setText(CustField::AmountRounding, u"2");
            r.setText(CustField::TaxRounding, u"3");
            r.setText(CustField::TaxationKind, u"3");
        }
        seed({r});
        auto s = session(eiaj ? Protocol::Eiaj : Protocol::Korvan);
        ASSERT_EQ(s->rows().size(), 1);
        EXPECT_EQ(s->buildRecord().bytes(), r.bytes()) << protocol;
    }
}

TEST_F(CustomerFixture, DuplicateCheckSeesTheCodesAsTheyWouldBeStored)
{
    seed({complete('1', QStringLiteral("A1"), QStringLiteral("S1"), QStringLiteral("既存")),
          complete('2', QStringLiteral("B1"), QStringLiteral("S1"), QStringLiteral("KORVAN社"))});
    auto s = session(Protocol::Eiaj);
    struct Case
    {
        const char* orderer;
        const char* supplier;
        short message;
    };
    // The record keeps codes without their blanks, so " A1" would be a second A1.
    for (const Case& c : {Case{"A1", "S1", 585}, Case{" A1", "S1 ", 585}, Case{"A1", "S1X", 0}, Case{"B1", "S1", 0}}) {
        s->startNew();
        s->form()[F::OrdererCode] = QLatin1String(c.orderer);
        s->form()[F::SupplierCode] = QLatin1String(c.supplier);
        s->form()[F::OrdererName] = s->form()[F::SupplierName] = QStringLiteral("名");
        s->form()[F::PriceDisplayKind] = QStringLiteral("1");
        const CustomerOutcome outcome = s->save();
        EXPECT_EQ(outcome.message, c.message) << c.orderer << "/" << c.supplier;
        EXPECT_EQ(outcome.written, c.message == 0);
        s->cancel();
    }
    EXPECT_EQ(stored().size(), 4);
}

// ---- Modes without a selection.

TEST_F(CustomerFixture, ChangeAndDeleteNeedASelectedCompany)
{
    seed({complete('2', QStringLiteral("K1"), QStringLiteral("S1"), QStringLiteral("KORVAN社"))});
    auto s = session(Protocol::Eiaj);
    EXPECT_TRUE(s->rows().isEmpty());
    EXPECT_EQ(s->startChange().message, 505);
    EXPECT_EQ(s->startDelete().message, 500);
    EXPECT_EQ(s->mode(), CustomerMode::Browse);
    s->setProtocol(Protocol::Korvan);
    ASSERT_EQ(s->rows().size(), 1);
    EXPECT_FALSE(s->startChange().refused());
    EXPECT_EQ(s->mode(), CustomerMode::Change);
}

// ---- The reference check against the delivery-slip data.

TEST_F(CustomerFixture, DeleteIsRefusedWhileAnyRecordOfTheCompanyIsKept)
{
    seed({complete('1', QStringLiteral("A1"), QStringLiteral("S1"), QStringLiteral("参照あり")),
          complete('1', QStringLiteral("B1"), QStringLiteral("S1"), QStringLiteral("参照なし"))});
    // Records of B1 only under other codes or in the other protocol's file.
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{delivery('1', "A1", "S1", "K1", "2"), delivery('1', "B1", "S9", "K2", "1")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{delivery('2', "B1", "S1", "K3", "1")}));
    const QByteArray before = inst.readFile(kCust);
    auto s = session(Protocol::Eiaj);

    s->selectRow(rowOf(*s, QStringLiteral("参照あり")));
    ASSERT_FALSE(s->startDelete().refused());
    const CustomerOutcome refused = s->confirmDelete(true);
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.message, 590);
    EXPECT_EQ(inst.readFile(kCust), before);

    // A No changes nothing either.
    s->selectRow(rowOf(*s, QStringLiteral("参照なし")));
    ASSERT_FALSE(s->startDelete().refused());
    EXPECT_FALSE(s->confirmDelete(false).written);
    EXPECT_EQ(inst.readFile(kCust), before);

    ASSERT_FALSE(s->startDelete().refused());
    EXPECT_TRUE(s->confirmDelete(true).written);
    EXPECT_EQ(s->rows().size(), 1);
    EXPECT_EQ(stored()[1].protocolByte(), ' ');
    EXPECT_TRUE(s->changed());
}

TEST_F(CustomerFixture, OutputKindChangeIsRefusedWhileSlipsWaitForIssue)
{
    seed({complete('1', QStringLiteral("A1"), QStringLiteral("S1"), QStringLiteral("発行待ち")),
          complete('1', QStringLiteral("B1"), QStringLiteral("S1"), QStringLiteral("発行済"))});
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{delivery('1', "A1", "S1", "K1", "1"), delivery('1', "B1", "S1", "K2", "2"),
                                delivery('1', "B1", "S1", "K3", "0")}));
    auto s = session(Protocol::Eiaj);
    struct Case
    {
        const char* company;
        bool changeOutputKind;
        short message;
    };
    for (const Case& c : {Case{"発行待ち", true, 595}, Case{"発行待ち", false, 0}, Case{"発行済", true, 0}}) {
        s->selectRow(rowOf(*s, QString::fromUtf8(c.company)));
        ASSERT_FALSE(s->startChange().refused());
        s->form()[F::SupplierName] = QStringLiteral("新しい自社名");
        if (c.changeOutputKind) {
            s->form()[F::OutputKind] = QStringLiteral("3");
            s->form()[F::TagFormFile] = QStringLiteral("E_Tag.agr");
            s->form()[F::TagBarcodeDigits] = QStringLiteral("12");
        }
        const QByteArray before = inst.readFile(kCust);
        const CustomerOutcome outcome = s->save();
        EXPECT_EQ(outcome.message, c.message) << c.company;
        if (c.message) {
            EXPECT_EQ(outcome.focus, CustomerFocus::on(CustField::OutputKind));
            EXPECT_EQ(inst.readFile(kCust), before);
            s->cancel();
        } else {
            EXPECT_TRUE(outcome.written) << c.company;
        }
    }
    const QList<CustRecord> after = stored();
    EXPECT_EQ(after[0].text(CustField::OutputKind), QStringLiteral("1"));
    EXPECT_EQ(after[0].text(CustField::SupplierName).trimmed(), QStringLiteral("新しい自社名"));
    EXPECT_EQ(after[1].text(CustField::OutputKind), QStringLiteral("3"));
    EXPECT_EQ(after[1].text(CustField::TagBarcodeDigits), QStringLiteral("12"));
}

// ---- The defaults of a new company.

TEST_F(CustomerFixture, NewCompanyTakesTheSamplesSettingsOfItsProtocol)
{
    auto s = session(Protocol::Eiaj);
    s->startNew();
    CustomerForm eiaj;
    eiaj[F::OutputKind] = QStringLiteral("3");
    eiaj[F::SlipFormFile] = QStringLiteral("E_Slip.agr");
    eiaj[F::TagFormFile] = QStringLiteral("E_Tag.agr");
    eiaj[F::SlipBarcodeDigits] = QStringLiteral("20");
    eiaj[F::TagBarcodeDigits] = QStringLiteral("15");
    eiaj[F::KanjiUse] = QStringLiteral("0");
    eiaj[F::AmountRounding] = QStringLiteral("3");
    eiaj[F::TaxRounding] = QStringLiteral("2");
    eiaj[F::ConsumptionTaxKind] = QStringLiteral("2");
    eiaj[F::TaxationKind] = QStringLiteral("3");
    // The sample's price-display code is not in the table: nothing chosen.
    EXPECT_EQ(s->form(), eiaj);
    EXPECT_TRUE(s->codesEditable());

    s->setProtocol(Protocol::Korvan);
    s->startNew();
    CustomerForm korvan;
    korvan[F::OutputKind] = QStringLiteral("3");
    korvan[F::SlipFormFile] = QStringLiteral("K_Slip.agr");
    korvan[F::TagFormFile] = QStringLiteral("K_Tag.agr");
    korvan[F::SlipBarcodeDigits] = QStringLiteral("20");
    korvan[F::TagBarcodeDigits] = QStringLiteral("15");
    EXPECT_EQ(s->form(), korvan);
}

TEST_F(CustomerFixture, WithoutASampleOfTheProtocolTheDefaultChoicesAreMade)
{
    inst.writeFile(QStringLiteral("Sample/Cust.DAT"), fileOf(QList{sample('2', "K_Slip.agr", "K_Tag.agr")}));
    auto s = session(Protocol::Eiaj);
    s->startNew();
    CustomerForm defaults;
    defaults[F::OutputKind] = QStringLiteral("1");
    defaults[F::KanjiUse] = QStringLiteral("1");
    defaults[F::AmountRounding] = QStringLiteral("1");
    defaults[F::TaxRounding] = QStringLiteral("1");
    EXPECT_EQ(s->form(), defaults);
}

// ---- The record as written.

TEST_F(CustomerFixture, KorvanRecordHoldsFixedSettingsAndNineCharacterCodes)
{
    seed({});
    auto s = session(Protocol::Korvan);
    EXPECT_EQ(s->codeMaxLength(), 9);
    EXPECT_FALSE(s->eiajSettingsEnabled());
    s->startNew();
    CustomerForm& f = s->form();
    f[F::OrdererCode] = QStringLiteral("123456789");
    f[F::SupplierCode] = QStringLiteral("SUP");
    f[F::OrdererName] = f[F::SupplierName] = QStringLiteral("コルバン");
    // Left over from an EIAJ company: a KORVAN record keeps none of it.
    f[F::KanjiUse] = f[F::AmountRounding] = f[F::TaxRounding] = QStringLiteral("2");
    f[F::ConsumptionTaxKind] = f[F::TaxationKind] = f[F::PriceDisplayKind] = QStringLiteral("3");
    ASSERT_TRUE(s->save().written);
    const CustRecord r = stored().at(0);
    EXPECT_EQ(r.protocolByte(), '2');
    EXPECT_EQ(r.text(CustField::OrdererCode), QStringLiteral("123456789   "));
    EXPECT_EQ(r.text(CustField::KanjiUse), QStringLiteral("0"));
    EXPECT_EQ(r.text(CustField::PriceDisplayKind), QStringLiteral("1"));
    for (CustField blankField :
         {CustField::ConsumptionTaxKind, CustField::TaxationKind, CustField::AmountRounding, CustField::TaxRounding})
        EXPECT_EQ(r.text(blankField), QStringLiteral(" "));
    EXPECT_EQ(r.text(CustField::Reserved1), QString(10, QLatin1Char(' ')));
    EXPECT_EQ(r.text(CustField::Reserved2), QString(22, QLatin1Char(' ')));
    EXPECT_EQ(r.text(CustField::Comment).trimmed(), QString()); // the sample's comment is not taken

    s->setProtocol(Protocol::Eiaj);
    EXPECT_EQ(s->codeMaxLength(), 12);
    EXPECT_TRUE(s->eiajSettingsEnabled());
}

TEST_F(CustomerFixture, DigitCountsOfTheDocumentsIssued)
{
    seed({});
    auto s = session(Protocol::Eiaj);
    struct Case
    {
        const char* outputKind;
        const char* slip;
        const char* tag;
        short message;
        const char* slipStored;
        const char* tagStored;
    };
    const Case cases[] = {
        {"1", "0", "", 572, nullptr, nullptr},  // a slip company needs a count of 1 or more
        {"1", "7", "", 0, "07", "00"},          // a slips-only company: no tag count, stored "00"
        {"2", "", "0", 582, nullptr, nullptr},  // the same for tags
        {"2", "", "99", 0, "00", "99"},         // a tags-only company: no slip count
        {"1", "5", "ab", 582, nullptr, nullptr} // a count given must be a number even when unused
    };
    int n = 0;
    for (const Case& c : cases) {
        s->startNew();
        CustomerForm& f = s->form();
        f[F::OrdererCode] = QStringLiteral("C%1").arg(++n);
        f[F::SupplierCode] = QStringLiteral("S");
        f[F::OrdererName] = f[F::SupplierName] = QStringLiteral("桁数");
        f[F::ConsumptionTaxKind] = f[F::TaxationKind] = f[F::PriceDisplayKind] = QStringLiteral("1");
        f[F::OutputKind] = QLatin1String(c.outputKind);
        f[F::SlipFormFile] = QStringLiteral("E_Slip.agr");
        f[F::TagFormFile] = QStringLiteral("E_Tag.agr");
        f[F::SlipBarcodeDigits] = QLatin1String(c.slip);
        f[F::TagBarcodeDigits] = QLatin1String(c.tag);
        const CustomerOutcome outcome = s->save();
        EXPECT_EQ(outcome.message, c.message) << n;
        if (c.message == 0) {
            const CustRecord r = stored().last();
            EXPECT_EQ(r.text(CustField::SlipBarcodeDigits), QLatin1String(c.slipStored)) << n;
            EXPECT_EQ(r.text(CustField::TagBarcodeDigits), QLatin1String(c.tagStored)) << n;
        } else {
            s->cancel();
        }
    }
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(CustomerFixture, ABoxItsFieldCannotHoldAsTypedIsRefusedNamingTheBoxAndWhatItHolds)
{
    // Control characters anywhere (the file is read by lines too), characters
    // outside CP932 and more bytes than the field holds are refused, never cut
    // or replaced, and never with a message that says the box is empty or the
    // layout missing; blanks at the ends are trimmed as before.
    const QString longLayout = QString(16, QChar(u'Ｌ')) + QStringLiteral("L.agr"); // 37 bytes
    inst.writeFile(QStringLiteral("Usr/") + longLayout, "{}");
    seed({});
    struct Case
    {
        Protocol protocol;
        CustField box;
        QString typed;
        short message;       // a catalogue message, or
        const char16_t* why; // the program's own words; neither: written
        CustField focus;
        CustField field;
        QString stored; // when written
    };
    const auto name = CustField::OrdererName;
    const auto supplier = CustField::SupplierName;
    const auto comment = CustField::Comment;
    const auto code = CustField::OrdererCode;
    const Protocol e = Protocol::Eiaj;
    const QString kanji25 = QString(25, QChar(u'電'));
    const char16_t* nameTooLong = u"発注者名称は全角25文字（半角50文字）以内で入力してください。";
    const Case cases[] = {
        {e,
         name,
         QStringLiteral("北斗\r\n電機"),
         0,
         u"発注者名称の制御文字 (U+000D) は発注企業ファイルに書けない文字です。",
         CustField::OrdererName,
         {},
         {}},
        {e,
         name,
         QStringLiteral("北斗\t電機"),
         0,
         u"発注者名称の制御文字 (U+0009) は発注企業ファイルに書けない文字です。",
         CustField::OrdererName,
         {},
         {}},
        {e, name, kanji25 + QChar(u'電'), 0, nameTooLong, CustField::OrdererName, {}, {}},
        {e, name, QString(49, QLatin1Char('n')) + QChar(u'電'), 0, nameTooLong, CustField::OrdererName, {}, {}},
        {e,
         name,
         QStringLiteral("北斗") + QChar(0xD83D) + QChar(0xDE00),
         0,
         u"発注者名称の「\U0001F600」(U+1F600) は発注企業ファイルに書けない文字です。",
         CustField::OrdererName,
         {},
         {}},
        // U+301C: CP932 keeps only U+FF5E
        {e,
         name,
         QStringLiteral("北斗〜電機"),
         0,
         u"発注者名称の「〜」(U+301C) は発注企業ファイルに書けない文字です。",
         CustField::OrdererName,
         {},
         {}},
        {e, name, kanji25, 0, nullptr, {}, CustField::OrdererName, kanji25},
        {e, name, QString(50, QLatin1Char('n')), 0, nullptr, {}, CustField::OrdererName, QString(50, QLatin1Char('n'))},
        {e, name, QStringLiteral("  北斗～ｶﾌﾞ  "), 0, nullptr, {}, CustField::OrdererName, QStringLiteral("北斗～ｶﾌﾞ")},
        {e,
         supplier,
         QStringLiteral("自社") + QChar(0x1F),
         0,
         u"受注者名称の制御文字 (U+001F) は発注企業ファイルに書けない文字です。",
         CustField::SupplierName,
         {},
         {}},
        {e,
         supplier,
         QString(26, QChar(u'電')),
         0,
         u"受注者名称は全角25文字（半角50文字）以内で入力してください。",
         CustField::SupplierName,
         {},
         {}},
        {e, comment, QStringLiteral("取引先\tA"), kMsgCommentNotStorable, nullptr, CustField::Comment, {}, {}},
        {e, comment, QString(9, QChar(u'注')), kMsgCommentNotStorable, nullptr, CustField::Comment, {}, {}},
        {e, comment, QString(8, QChar(u'注')), 0, nullptr, {}, CustField::Comment, QString(8, QChar(u'注'))},
        {e, code, QStringLiteral("ＡＢ"), 512, nullptr, CustField::OrdererCode, {}, {}},
        {e,
         code,
         QString(13, QLatin1Char('1')),
         0,
         u"発注者コードは半角12文字以内で入力してください。",
         CustField::OrdererCode,
         {},
         {}},
        {Protocol::Korvan,
         code,
         QStringLiteral("1234567890"),
         0,
         u"発注者コードは半角9文字以内で入力してください。",
         CustField::OrdererCode,
         {},
         {}},
        {e,
         CustField::SlipFormFile,
         QStringLiteral("E_Slip.agr\n"),
         0,
         u"納品書QRD定義ファイル名称の制御文字 (U+000A) は発注企業ファイルに書けない文字です。",
         CustField::SlipFormFile,
         {},
         {}},
        {e,
         CustField::TagFormFile,
         longLayout,
         0,
         u"荷札QRD定義ファイル名称は全角18文字（半角36文字）以内で入力してください。",
         CustField::TagFormFile,
         {},
         {}},
        {e,
         CustField::SlipBarcodeDigits,
         QStringLiteral("123"),
         0,
         u"納品書のバーコード桁数は半角2文字以内で入力してください。",
         CustField::SlipBarcodeDigits,
         {},
         {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QByteArray before = inst.readFile(kCust);
        auto s = session(c.protocol);
        s->startNew();
        s->form()[F::OrdererCode] = QStringLiteral("N%1").arg(++n);
        s->form()[F::SupplierCode] = QStringLiteral("S");
        s->form()[F::OrdererName] = s->form()[F::SupplierName] = QStringLiteral("名");
        s->form()[F::PriceDisplayKind] = QStringLiteral("2");
        s->form()[c.box] = c.typed;
        const CustomerOutcome outcome = s->save();
        const bool refused = c.message || c.why;
        EXPECT_EQ(outcome.message, c.message) << n;
        EXPECT_EQ(outcome.text.toStdString(), c.why ? QString::fromUtf16(c.why).toStdString() : std::string()) << n;
        EXPECT_EQ(outcome.written, !refused) << n;
        if (refused) {
            EXPECT_EQ(outcome.focus, CustomerFocus::on(c.focus)) << n;
            EXPECT_EQ(inst.readFile(kCust), before) << n;
        } else {
            EXPECT_EQ(stored().last().text(c.field).trimmed(), c.stored) << n;
        }
        // The window's boxes stop the typing where ＯＫ refuses a longer text.
        if (c.why && QString::fromUtf16(c.why).contains(QStringLiteral("以内"))) {
            EXPECT_FALSE(s->fits(c.focus, c.typed)) << n;
            EXPECT_TRUE(s->fits(c.focus, c.typed.chopped(1))) << n;
        }
    }
}

// ---- Deletion, compaction and other programs.

TEST_F(CustomerFixture, CompactionDropsDeletedRecordsAndKeepsFileOrder)
{
    seed({complete('1', "A", "S", "一"), complete('2', "B", "S", "二"), complete('1', "C", "S", "三"),
          complete('1', "D", "S", "四")});
    auto s = session(Protocol::Eiaj);
    s->selectRow(rowOf(*s, QStringLiteral("三")));
    ASSERT_FALSE(s->startDelete().refused());
    ASSERT_TRUE(s->confirmDelete(true).written);
    ASSERT_EQ(s->rows().size(), 2);
    EXPECT_EQ(s->rows()[0].name, QStringLiteral("一"));
    EXPECT_EQ(s->rows()[1].name, QStringLiteral("四"));
    EXPECT_EQ(s->rows()[1].recordNumber, 4); // numbers do not move until the window closes
    EXPECT_EQ(stored().size(), 4);

    s->close();
    const QList<CustRecord> after = stored();
    ASSERT_EQ(after.size(), 3);
    QStringList names;
    for (const CustRecord& r : after)
        names << r.text(CustField::OrdererName).trimmed();
    EXPECT_EQ(names, (QStringList{"一", "二", "四"}));
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("Usr/W_Cust.DAT"))));
}

TEST_F(CustomerFixture, AWriteIsRefusedWhenAnotherProgramRewroteTheFile)
{
    seed({complete('1', "A", "S", "一"), complete('1', "B", "S", "二")});
    auto s = session(Protocol::Eiaj);

    // A change: the listed record was replaced by another company.
    s->selectRow(rowOf(*s, QStringLiteral("一")));
    ASSERT_FALSE(s->startChange().refused());
    s->form()[F::OrdererName] = QStringLiteral("変更後");
    const QByteArray rewritten = fileOf(QList{complete('1', "X", "S", "別社"), complete('1', "B", "S", "二")});
    inst.writeFile(kCust, rewritten);
    const CustomerOutcome change = s->save();
    EXPECT_FALSE(change.written);
    EXPECT_EQ(change.message, 10);
    EXPECT_EQ(inst.readFile(kCust), rewritten);

    // A deletion: the file was compacted and the listed record is gone.
    s->cancel();
    s->selectRow(rowOf(*s, QStringLiteral("二")));
    ASSERT_FALSE(s->startDelete().refused());
    const QByteArray shorter = fileOf(QList{complete('1', "B", "S", "二")});
    inst.writeFile(kCust, shorter);
    const CustomerOutcome removal = s->confirmDelete(true);
    EXPECT_FALSE(removal.written);
    EXPECT_EQ(removal.message, 10);
    EXPECT_EQ(inst.readFile(kCust), shorter);
    EXPECT_FALSE(s->changed());
}
