#include "shipment/EntryValidation.h"

#include "support/RecordBuilders.h"

#include "core/Clock.h"
#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace plx;

namespace {

const QChar kIdeoSpace(u'\u3000');

CustRecord companyWith(char protocol, const QString& orderer, const QString& kanjiUse, const QString& outputKind)
{
    CustRecord r = test::company(protocol, orderer, QStringLiteral("SUP1"), QStringLiteral("発注企業"));
    r.setText(CustField::KanjiUse, kanjiUse);
    r.setText(CustField::OutputKind, outputKind);
    return r;
}

QByteArray codeRecord(const char* format, const char* kind, const char* code, const char* name)
{
    return CodeTable::makeRecord(CodeEntry{QString::fromLatin1(format), QString::fromLatin1(kind),
                                           QString::fromLatin1(code), QString::fromUtf8(name), QString()});
}

using B = EntryBox;

EntryPlace focus(EntryBox box)
{
    return EntryPlace::of(box);
}
EntryPlace focus(EntryButton button)
{
    return EntryPlace::of(button);
}
EntryPlace focus(const EntryPlace& place)
{
    return place;
}
EntryPlace cell(int row, int column)
{
    return EntryPlace::cell(row, column);
}

// A complete EIAJ new record that passes every check (company ORD1, kanji allowed).
EntryForm eiajForm()
{
    EntryForm f;
    const std::pair<EntryBox, const char*> texts[] = {
        {B::OrdererCode, "ORD1"},
        {B::SupplierCode, "SUP1"},
        {B::DeliveryKeyNo, "KEY001"},
        {B::OrderNo, "PO-1"},
        {B::ItemCode, "ITEM-1"},
        {B::ItemName, "WIDGET"},
        {B::Unit, "PCS"},
        {B::BuyerName, "BUYER"},
        {B::DeliveryPlace, "DOCK 3"},
        {B::OrdererBarcodeInfo, "BC-1"},
        {B::OrdererRemarks, "REMARK"},
        {B::OrderQty, "1,000.000"},
        {B::InstructedQty, "40.000"},
        {B::DueDate, "2026/12/07"},
        {B::UnitPrice, "12.500"},
        {B::ShipQty, "40.000"},
        {B::ShipDate, "2026/12/01"},
        {B::PlannedDeliveryDate, "2026/12/07"},
        {B::TaxAmount, "50"},
        {B::AmountExclTax, "500"},
        {B::AmountInclTax, "550"},
        {B::SupplierBarcodeInfo, "SBC-1"},
        {B::SupplierRemarks, "NOTE"},
    };
    for (const auto& [box, t] : texts)
        f[box] = QString::fromLatin1(t);
    f[B::InspectionClass] = QStringLiteral("001");
    f[B::ConsumptionTaxClass] = QStringLiteral("1");
    f[B::TaxationClass] = QStringLiteral("1");
    f[B::PriceDisplayClass] = QStringLiteral("1");
    f[B::Currency] = QStringLiteral("JPY");
    f.tags = {{QStringLiteral("10.000"), QStringLiteral("3")},
              {QStringLiteral("5"), QStringLiteral("2")},
              {QStringLiteral("0.000"), QStringLiteral("0")}};
    return f;
}

// A complete KORVAN new record (company KOR0, kanji not allowed).
EntryForm korvanForm()
{
    EntryForm f = eiajForm();
    f[B::OrdererCode] = QStringLiteral("KOR0");
    f[B::OrdererBarcodeInfo].clear();
    f[B::AmountInclTax].clear();
    for (EntryBox box : {B::ConsumptionTaxClass, B::TaxationClass, B::PriceDisplayClass, B::Currency})
        f[box].clear();
    f.bcOption = 1;
    f[B::OrdererUse1] = QStringLiteral("OU-1");
    f[B::OrdererUse2] = QStringLiteral("ou two");
    f[B::OrdererUse3].clear();
    return f;
}

// The kanji texts of a KORVAN record for a company that allows kanji.
void kanjiTexts(EntryForm& f)
{
    f[B::OrdererCode] = QStringLiteral("KOR1");
    for (EntryBox box : {B::ItemName, B::BuyerName, B::DeliveryPlace, B::OrdererRemarks, B::SupplierRemarks})
        f[box] = QStringLiteral("品名");
}

class EntryValidation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile file(m_dir.filePath(QStringLiteral("Cust.DAT")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(test::fileOf(QList<CustRecord>{
            companyWith('1', QStringLiteral("ORD1"), QStringLiteral("1"), QStringLiteral("3")),
            companyWith('1', QStringLiteral("ORD0"), QStringLiteral("0"), QStringLiteral("3")),
            companyWith('1', QStringLiteral("SLIP"), QStringLiteral("1"), QStringLiteral("1")),
            companyWith('2', QStringLiteral("KOR0"), QStringLiteral("0"), QStringLiteral("3")),
            companyWith('2', QStringLiteral("KOR1"), QStringLiteral("1"), QStringLiteral("3")),
        }));
        file.close();
        m_companies.openReadOnly();

        m_store.openInMemory(test::fileOf(QList<DeliveryRecord>{
            test::delivery('1', QStringLiteral("ORD1"), QStringLiteral("SUP1"), QStringLiteral("DUPKEY")),
            test::delivery('2', QStringLiteral("KOR0"), QStringLiteral("SUP1"), QStringLiteral("DUPKEY")),
            test::delivery('1', QStringLiteral("KOR0"), QStringLiteral("SUP1"), QStringLiteral("EIAJKEY")),
            test::delivery(' ', QStringLiteral("ORD1"), QStringLiteral("SUP1"), QStringLiteral("GONE")),
        }));

        m_codes = CodeTable::fromBytes(codeRecord("1", "01", "001", "検査") + codeRecord("1", "02", "1", "外税") +
                                       codeRecord("1", "03", "1", "課税") + codeRecord("1", "04", "1", "単価") +
                                       codeRecord("1", "04", "2", "総額") + codeRecord("2", "01", "001", "検査"));
    }

    ValidationContext context(Protocol format, EntryMode mode = EntryMode::New)
    {
        ValidationContext ctx;
        ctx.format = format;
        ctx.mode = mode;
        ctx.codes = &m_codes;
        ctx.companies = &m_companies;
        ctx.store = &m_store;
        ctx.ask = [this](short question) {
            m_asked.push_back(question);
            return m_answer;
        };
        return ctx;
    }

    // The context of a shown record (modes 0 and 1) whose company is `orderer`.
    ValidationContext shown(Protocol format, EntryMode mode, const QString& orderer)
    {
        ValidationContext ctx = context(format, mode);
        const int n = m_companies.lookup(format, orderer, QStringLiteral("SUP1"));
        if (n != 0)
            ctx.company = m_companies.read(n);
        return ctx;
    }

    QTemporaryDir m_dir;
    CustStore m_companies{m_dir.filePath(QStringLiteral("Cust.DAT"))};
    FixedClock m_clock{QDateTime(QDate(2026, 12, 1), QTime(9, 0))};
    DeliveryStore m_store{m_dir.filePath(QStringLiteral("E_Deliv.dat")), m_clock};
    CodeTable m_codes;
    std::vector<short> m_asked;
    bool m_answer = false;
};

struct FailureCase
{
    const char* name;
    std::function<void(EntryForm&)> breakIt;
    short message;
    EntryPlace focus;
};

void setText(EntryForm& f, EntryBox box, const char* t)
{
    f[box] = QString::fromUtf8(t);
}

#define TEXT(box, t) [](EntryForm& f) { setText(f, box, t); }

TEST_F(EntryValidation, BaseFormsPass)
{
    EntryForm eiaj = eiajForm();
    const ValidationResult e = validateEntry(eiaj, context(Protocol::Eiaj));
    EXPECT_TRUE(e.passed);
    EXPECT_EQ(e.message, 0);
    EXPECT_TRUE(e.keysPassed);
    ASSERT_TRUE(e.company);
    EXPECT_EQ(e.company->text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD1"));

    EntryForm korvan = korvanForm();
    const ValidationResult k = validateEntry(korvan, context(Protocol::Korvan));
    EXPECT_TRUE(k.passed) << k.message;
    EXPECT_TRUE(k.keysPassed);
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(EntryValidation, EiajStepsRefuseWithTheirMessageAndFocus)
{
    const FailureCase cases[] = {
        {"1 orderer blank", TEXT(B::OrdererCode, "   "), 15, focus(B::OrdererCode)},
        {"2 supplier empty", TEXT(B::SupplierCode, ""), 16, focus(B::SupplierCode)},
        {"3 unknown supplier", TEXT(B::SupplierCode, "SUPX"), 2, focus(B::OrdererCode)},
        {"3 KORVAN company", TEXT(B::OrdererCode, "KOR0"), 2, focus(B::OrdererCode)},
        {"4 key empty", TEXT(B::DeliveryKeyNo, ""), 17, focus(B::DeliveryKeyNo)},
        {"5 order empty", TEXT(B::OrderNo, ""), 18, focus(B::OrderNo)},
        {"6 order full-width", TEXT(B::OrderNo, "ＰＯ１"), 19, focus(B::OrderNo)},
        {"7 duplicate key", TEXT(B::DeliveryKeyNo, "DUPKEY"), 585, focus(B::OrdererCode)},
        {"8 key full-width", TEXT(B::DeliveryKeyNo, "KEY１"), 21, focus(B::DeliveryKeyNo)},
        {"9 key blank", TEXT(B::DeliveryKeyNo, "KEY 1"), 113, focus(B::DeliveryKeyNo)},
        {"9 key asterisk", TEXT(B::DeliveryKeyNo, "KEY*1"), 113, focus(B::DeliveryKeyNo)},
        {"10 item code empty", TEXT(B::ItemCode, ""), 51, focus(B::ItemCode)},
        {"11 item code kanji", TEXT(B::ItemCode, "品番"), 52, focus(B::ItemCode)},
        {"12 item code asterisk", TEXT(B::ItemCode, "A*B"), 114, focus(B::ItemCode)},
        {"13 item name mixed", TEXT(B::ItemName, "ＡBC"), 57, focus(B::ItemName)},
        {"13 item name tab", TEXT(B::ItemName, "A\tB"), 55, focus(B::ItemName)},
        {"14 unit kanji", TEXT(B::Unit, "個"), 59, focus(B::Unit)},
        {"15 buyer mixed", TEXT(B::BuyerName, "担当x"), 67, focus(B::BuyerName)},
        {"16 place mixed", TEXT(B::DeliveryPlace, "場所x"), 72, focus(B::DeliveryPlace)},
        {"17 orderer bar code kanji", TEXT(B::OrdererBarcodeInfo, "ＢＣ"), 73, focus(B::OrdererBarcodeInfo)},
        {"17 orderer bar code blank", TEXT(B::OrdererBarcodeInfo, "B C"), 115, focus(B::OrdererBarcodeInfo)},
        {"18 remarks mixed", TEXT(B::OrdererRemarks, "備考x"), 77, focus(B::OrdererRemarks)},
        {"19 order qty negative", TEXT(B::OrderQty, "-1"), 80, focus(B::OrderQty)},
        {"19 order qty too large", TEXT(B::OrderQty, "1,000,000,000"), 80, focus(B::OrderQty)},
        {"19 order qty text", TEXT(B::OrderQty, "abc"), 80, focus(B::OrderQty)},
        {"20 instructed qty past limit", TEXT(B::InstructedQty, "999999999.9991"), 83, focus(B::InstructedQty)},
        {"21 no inspection class", TEXT(B::InspectionClass, ""), 84, focus(B::InspectionClass)},
        {"22 due date not a date", TEXT(B::DueDate, "2023/02/29"), 86, focus(B::DueDate)},
        {"23 currency full-width", TEXT(B::Currency, "ＵＳ"), 61, focus(B::Currency)},
        {"23 currency four letters", TEXT(B::Currency, "USDX"), 62, focus(B::Currency)},
        {"24 unit price negative", TEXT(B::UnitPrice, "-0.001"), 106, focus(B::UnitPrice)},
        {"24 unit price past yen limit", TEXT(B::UnitPrice, "10000000000"), 106, focus(B::UnitPrice)},
        {"25 no consumption-tax class", TEXT(B::ConsumptionTaxClass, ""), 103, focus(B::ConsumptionTaxClass)},
        {"25 taxation class not listed", TEXT(B::TaxationClass, "9"), 104, focus(B::TaxationClass)},
        {"25 no price-display class", TEXT(B::PriceDisplayClass, " "), 105, focus(B::PriceDisplayClass)},
        {"26 shipped qty empty", TEXT(B::ShipQty, ""), 100, focus(B::ShipQty)},
        {"26 shipped qty too large", TEXT(B::ShipQty, "1000000000"), 100, focus(B::ShipQty)},
        {"27 ship date zero", TEXT(B::ShipDate, "0000/00/00"), 101, focus(B::ShipDate)},
        {"28 delivery date month 13", TEXT(B::PlannedDeliveryDate, "2026/13/01"), 102, focus(B::PlannedDeliveryDate)},
        {"29 tax past yen limit", TEXT(B::TaxAmount, "10000000000"), 107, focus(B::TaxAmount)},
        {"30 amount negative", TEXT(B::AmountExclTax, "-1"), 108, focus(B::AmountExclTax)},
        {"31 total text", TEXT(B::AmountInclTax, "x"), 109, focus(B::AmountInclTax)},
        {"32 supplier bar code kanji", TEXT(B::SupplierBarcodeInfo, "ＳＢＣ"), 119, focus(B::SupplierBarcodeInfo)},
        {"32 supplier bar code asterisk", TEXT(B::SupplierBarcodeInfo, "S*B"), 116, focus(B::SupplierBarcodeInfo)},
        {"33 supplier remarks mixed", TEXT(B::SupplierRemarks, "備考x"), 123, focus(B::SupplierRemarks)},
        {"33 supplier remarks tab", TEXT(B::SupplierRemarks, "A\tB"), 110, focus(B::SupplierRemarks)},
        {"34 quantity negative", [](EntryForm& f) { f.tags[0].qty = QStringLiteral("-1"); }, 121, cell(0, 1)},
        {"34 quantity too large", [](EntryForm& f) { f.tags[1].qty = QStringLiteral("1000000000"); }, 121, cell(1, 1)},
        {"34 quantity text", [](EntryForm& f) { f.tags[2].qty = QStringLiteral("x"); }, 121, cell(2, 1)},
        {"35 count negative", [](EntryForm& f) { f.tags[1].count = QStringLiteral("-1"); }, 122, cell(1, 2)},
        {"36 quantity without count",
         [](EntryForm& f) {
             f.tags[2] = {QStringLiteral("10"), QStringLiteral("0")};
         },
         112, cell(2, 1)},
        {"36 count without quantity",
         [](EntryForm& f) {
             f.tags[2] = {QString(), QStringLiteral("3")};
         },
         112, cell(2, 1)},
        {"37 sum short of shipped qty", TEXT(B::ShipQty, "41"), 120, cell(0, 1)},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        EntryForm form = eiajForm();
        c.breakIt(form);
        const ValidationResult r = validateEntry(form, context(Protocol::Eiaj));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, c.focus) << int(r.focus.box.value_or(B::OrdererName)) << " " << r.focus.row << ","
                                    << r.focus.column;
    }
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(EntryValidation, KorvanStepsRefuseWithTheirMessageAndFocus)
{
    const FailureCase cases[] = {
        {"3 EIAJ company", TEXT(B::OrdererCode, "ORD1"), 2, focus(B::OrdererCode)},
        {"7 duplicate KORVAN key", TEXT(B::DeliveryKeyNo, "DUPKEY  "), 585, focus(B::OrdererCode)},
        {"10 item code empty", TEXT(B::ItemCode, ""), 51, focus(B::ItemCode)},
        {"13 item name tab", TEXT(B::ItemName, "A\tB"), 55, focus(B::ItemName)},
        {"13 kanji item name, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, B::ItemName, "ITEM");
         },
         56, focus(B::ItemName)},
        {"14 unit kanji", TEXT(B::Unit, "個"), 59, focus(B::Unit)},
        {"15 kanji buyer, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, B::BuyerName, "BUYER");
         },
         66, focus(B::BuyerName)},
        {"16 kanji place, mixed",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, B::DeliveryPlace, "場所x");
         },
         71, focus(B::DeliveryPlace)},
        {"18 kanji remarks, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, B::OrdererRemarks, "R");
         },
         76, focus(B::OrdererRemarks)},
        {"18a no bar-code option", [](EntryForm& f) { f.bcOption = 0; }, 615, focus(B::BcOutputClass)},
        {"18b orderer use 1 kanji", TEXT(B::OrdererUse1, "ＯＵ"), 622, focus(B::OrdererUse1)},
        {"18b orderer use 1 blank", TEXT(B::OrdererUse1, "O U"), 620, focus(B::OrdererUse1)},
        {"18c orderer use 2 kanji", TEXT(B::OrdererUse2, "ＯＵ２"), 623, focus(B::OrdererUse2)},
        {"19 order qty text", TEXT(B::OrderQty, "abc"), 80, focus(B::OrderQty)},
        {"21 no inspection class", TEXT(B::InspectionClass, ""), 84, focus(B::InspectionClass)},
        {"26 shipped qty empty", TEXT(B::ShipQty, ""), 100, focus(B::ShipQty)},
        {"28 delivery date", TEXT(B::PlannedDeliveryDate, "x"), 102, focus(B::PlannedDeliveryDate)},
        {"32 supplier bar code asterisk", TEXT(B::SupplierBarcodeInfo, "S*B"), 116, focus(B::SupplierBarcodeInfo)},
        {"33 kanji supplier remarks, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, B::SupplierRemarks, "NOTE");
         },
         111, focus(B::SupplierRemarks)},
        {"36 quantity without count",
         [](EntryForm& f) {
             f.tags[2] = {QStringLiteral("1"), QString()};
         },
         112, cell(2, 1)},
        {"37 sum over shipped qty", TEXT(B::ShipQty, "39.999"), 120, cell(0, 1)},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        EntryForm form = korvanForm();
        c.breakIt(form);
        const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, c.focus) << int(r.focus.box.value_or(B::OrdererName));
    }
}

TEST_F(EntryValidation, KorvanHasNoneOfTheEiajOnlyBoxes)
{
    EntryForm form = korvanForm();
    form[B::OrdererBarcodeInfo] = QStringLiteral("ＢＣ"); // no orderer bar code box
    form[B::AmountInclTax] = QStringLiteral("x");         // no total
    form[B::Currency] = QStringLiteral("ＵＳＤＸ");       // no currency
    form[B::OrdererCode] = QStringLiteral("KOR0");
    form[B::DeliveryKeyNo] = QStringLiteral("EIAJKEY"); // the key of an EIAJ record only
    const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
    EXPECT_TRUE(r.passed) << r.message;
    EXPECT_EQ(form[B::AmountInclTax], QStringLiteral("x"));
}

TEST_F(EntryValidation, KorvanKanjiTextsArePaddedAndUse3IsOnlyPadded)
{
    EntryForm form = korvanForm();
    kanjiTexts(form);
    form[B::OrdererUse3] = QStringLiteral(" 発注者使用欄の三番 ");
    const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
    ASSERT_TRUE(r.passed) << r.message;
    EXPECT_EQ(form[B::ItemName], QStringLiteral("品名") + QString(28, kIdeoSpace));
    EXPECT_EQ(form[B::BuyerName], QStringLiteral("品名") + QString(5, kIdeoSpace));
    EXPECT_EQ(form[B::SupplierRemarks].size(), 25);
    // Padded to 20 characters; writing it keeps its first 20 bytes, the text.
    EXPECT_EQ(form[B::OrdererUse3], QStringLiteral("発注者使用欄の三番") + QString(11, kIdeoSpace));

    // Empty, the third orderer use field becomes twenty full-width spaces.
    EntryForm plain = korvanForm();
    ASSERT_TRUE(validateEntry(plain, context(Protocol::Korvan)).passed);
    EXPECT_EQ(plain[B::OrdererUse3], QString(20, kIdeoSpace));
}

TEST_F(EntryValidation, KorvanUnitCharactersAskQuestion135)
{
    struct Unit
    {
        const char* text;
        bool asks;
    };
    const Unit units[] = {{"PCS", false}, {"# \\", false}, {"[X]", true}, {"pcs", true}, {"!", true}, {"ｺ", true}};
    for (const Unit& u : units) {
        SCOPED_TRACE(u.text);
        m_asked.clear();
        EntryForm form = korvanForm();
        form[B::Unit] = QString::fromUtf8(u.text);
        const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
        EXPECT_EQ(r.passed, !u.asks);
        EXPECT_EQ(m_asked, u.asks ? std::vector<short>{135} : std::vector<short>{});
        if (u.asks) {
            EXPECT_EQ(r.message, 0);
            EXPECT_EQ(r.focus, focus(B::Unit));
        }
    }
}

TEST_F(EntryValidation, Code39QuestionsAnsweredNoCancel)
{
    struct Question
    {
        Protocol format;
        EntryBox box;
        const char* text;
        short question;
    };
    const Question questions[] = {
        {Protocol::Eiaj, B::DeliveryKeyNo, "key1", 130},         {Protocol::Eiaj, B::ItemCode, "item#1", 131},
        {Protocol::Eiaj, B::OrdererBarcodeInfo, "bc1", 132},     {Protocol::Eiaj, B::SupplierBarcodeInfo, "s_b", 133},
        {Protocol::Korvan, B::OrdererUse1, "ou1", 134},          {Protocol::Korvan, B::DeliveryKeyNo, "k", 130},
        {Protocol::Korvan, B::SupplierBarcodeInfo, "ABC&", 133},
    };
    for (const Question& q : questions) {
        SCOPED_TRACE(q.question);
        for (const bool yes : {false, true}) {
            m_asked.clear();
            m_answer = yes;
            EntryForm form = q.format == Protocol::Eiaj ? eiajForm() : korvanForm();
            form[q.box] = QString::fromUtf8(q.text);
            const ValidationResult r = validateEntry(form, context(q.format));
            EXPECT_EQ(m_asked, std::vector<short>{q.question});
            EXPECT_EQ(r.passed, yes);
            EXPECT_EQ(r.message, 0);
            if (!yes) {
                EXPECT_EQ(r.focus, focus(q.box));
            }
        }
    }
    // Every Code 39 character passes without a question.
    m_asked.clear();
    EntryForm form = eiajForm();
    form[B::SupplierBarcodeInfo] = QStringLiteral("0123456789ABCDEFGHIJKLM");
    form[B::DeliveryKeyNo] = QStringLiteral("NOPQRSTUVWXYZ-.$/+%");
    EXPECT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(EntryValidation, WithoutAnAnswererAQuestionCancels)
{
    EntryForm form = eiajForm();
    form[B::ItemCode] = QStringLiteral("item");
    ValidationContext ctx = context(Protocol::Eiaj);
    ctx.ask = nullptr;
    const ValidationResult r = validateEntry(form, ctx);
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(r.message, 0);
    EXPECT_EQ(r.focus, focus(B::ItemCode));
}

TEST_F(EntryValidation, LockedBoxesSendTheFocusToCorrectionOrReturn)
{
    struct Locked
    {
        Protocol format;
        EntryMode mode;
        std::function<void(EntryForm&)> breakIt;
        short message;
        EntryPlace focus;
    };
    const EntryMode existing = EntryMode::Existing;
    const EntryMode correction = EntryMode::Correction;
    const Locked cases[] = {
        {Protocol::Eiaj, existing, TEXT(B::ItemCode, ""), 51, EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Eiaj, existing, TEXT(B::DeliveryKeyNo, "KEY 1"), 113, EntryPlace::of(EntryButton::Return)},
        {Protocol::Eiaj, existing, TEXT(B::DeliveryKeyNo, "KEY１"), 21, EntryPlace::of(EntryButton::Return)},
        {Protocol::Eiaj, existing, TEXT(B::DueDate, "x"), 86, EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Eiaj, existing, TEXT(B::ConsumptionTaxClass, ""), 103,
         EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Eiaj, existing, TEXT(B::Currency, "USDX"), 62, EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Eiaj, existing, TEXT(B::UnitPrice, "x"), 106, EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Eiaj, existing, TEXT(B::ShipQty, ""), 100, EntryPlace::of(B::ShipQty)},
        {Protocol::Eiaj, existing, TEXT(B::TaxAmount, "x"), 107, EntryPlace::of(B::TaxAmount)},
        {Protocol::Eiaj, existing, TEXT(B::SupplierRemarks, "A\tB"), 110, EntryPlace::of(B::SupplierRemarks)},
        {Protocol::Eiaj, correction, TEXT(B::ItemCode, ""), 51, EntryPlace::of(B::ItemCode)},
        {Protocol::Eiaj, correction, TEXT(B::ConsumptionTaxClass, ""), 103, EntryPlace::of(B::ConsumptionTaxClass)},
        {Protocol::Eiaj, correction, TEXT(B::DeliveryKeyNo, "KEY 1"), 113, EntryPlace::of(EntryButton::Return)},
        {Protocol::Korvan, existing, [](EntryForm& f) { f.bcOption = 0; }, 615,
         EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Korvan, existing, TEXT(B::OrdererUse2, "ＯＵ２"), 623,
         EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Korvan, existing, TEXT(B::OrdererUse1, "O*U"), 620, EntryPlace::of(EntryButton::CorrectOrderData)},
        {Protocol::Korvan, correction, TEXT(B::OrdererUse2, "ＯＵ２"), 623, EntryPlace::of(B::OrdererUse2)},
        {Protocol::Korvan, existing, TEXT(B::SupplierBarcodeInfo, "ＳＢ"), 119, EntryPlace::of(B::SupplierBarcodeInfo)},
    };
    for (const Locked& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.message);
        EntryForm form = c.format == Protocol::Eiaj ? eiajForm() : korvanForm();
        c.breakIt(form);
        const QString orderer = c.format == Protocol::Eiaj ? QStringLiteral("ORD1") : QStringLiteral("KOR0");
        const ValidationResult r = validateEntry(form, shown(c.format, c.mode, orderer));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, focus(c.focus)) << int(r.focus.box.value_or(B::OrdererName));
    }

    // A question on the locked delivery key: No sends the focus to the return button.
    EntryForm form = eiajForm();
    form[B::DeliveryKeyNo] = QStringLiteral("key1");
    const ValidationResult r = validateEntry(form, shown(Protocol::Eiaj, existing, QStringLiteral("ORD1")));
    EXPECT_EQ(r.message, 0);
    EXPECT_EQ(r.focus, focus(EntryButton::Return));
}

TEST_F(EntryValidation, KeyChecksRunForNewRecordsOnly)
{
    // Shown records skip steps 1-7: no orderer, a duplicate key, no company look-up.
    EntryForm form = eiajForm();
    form[B::OrdererCode].clear();
    form[B::DeliveryKeyNo] = QStringLiteral("DUPKEY");
    const ValidationResult shownResult =
        validateEntry(form, shown(Protocol::Eiaj, EntryMode::Correction, QStringLiteral("ORD1")));
    EXPECT_TRUE(shownResult.passed) << shownResult.message;
    EXPECT_FALSE(shownResult.keysPassed);
    ASSERT_TRUE(shownResult.company);
    EXPECT_EQ(shownResult.company->text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD1"));

    // keysPassed follows step 7, whatever fails later.
    EntryForm late = eiajForm();
    late[B::ItemCode].clear();
    const ValidationResult lateResult = validateEntry(late, context(Protocol::Eiaj));
    EXPECT_EQ(lateResult.message, 51);
    EXPECT_TRUE(lateResult.keysPassed);

    EntryForm early = eiajForm();
    early[B::DeliveryKeyNo] = QStringLiteral("DUPKEY");
    const ValidationResult earlyResult = validateEntry(early, context(Protocol::Eiaj));
    EXPECT_EQ(earlyResult.message, 585);
    EXPECT_FALSE(earlyResult.keysPassed);

    // A deleted record is no duplicate, nor is a record of the other format.
    EntryForm deleted = eiajForm();
    deleted[B::DeliveryKeyNo] = QStringLiteral("GONE");
    EXPECT_TRUE(validateEntry(deleted, context(Protocol::Eiaj)).passed);
    EntryForm otherFormat = korvanForm();
    otherFormat[B::DeliveryKeyNo] = QStringLiteral("EIAJKEY");
    EXPECT_TRUE(validateEntry(otherFormat, context(Protocol::Korvan)).passed);
}

TEST_F(EntryValidation, EiajKanjiTexts)
{
    struct Kanji
    {
        const char* orderer; // the company: ORD1 allows kanji, ORD0 does not
        const char* typed;
        short message;
        QString kept;
    };
    const QString pad27(27, kIdeoSpace);
    const Kanji cases[] = {
        {"ORD1", "ABC", 0, QStringLiteral("ABC")},
        {"ORD1", " ABC ", 0, QStringLiteral("ABC")},
        {"ORD1", "ＡＢＣ", 0, QStringLiteral("ＡＢＣ") + pad27},
        {"ORD1", "  ＡＢＣ ", 0, QStringLiteral("ＡＢＣ") + pad27},
        {"ORD1", "ＡBC", 57, {}},
        {"ORD1", "ｱｲｳ", 0, QStringLiteral("ｱｲｳ")},
        {"ORD1", "", 0, QString()},
        {"ORD0", "ABC", 0, QStringLiteral("ABC")},
        {"ORD0", "ＡＢＣ", 55, {}},
    };
    for (const Kanji& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orderer << " [" << c.typed << "]");
        EntryForm form = eiajForm();
        form[B::OrdererCode] = QString::fromLatin1(c.orderer);
        form[B::ItemName] = QString::fromUtf8(c.typed);
        const ValidationResult r = validateEntry(form, context(Protocol::Eiaj));
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.passed, c.message == 0);
        if (c.message == 0) {
            EXPECT_EQ(form[B::ItemName], c.kept);
        }
    }
}

// A value the record cannot keep exactly is refused before every other check
// of the boxes the mode writes, in the program's words, never cut or replaced.
TEST_F(EntryValidation, ValuesTheRecordCannotKeepAreRefused)
{
    struct Unstorable
    {
        Protocol format;
        EntryMode mode;
        EntryBox box;
        QString typed;
        short message;
        QString text; // empty: the value is kept
    };
    const Protocol E = Protocol::Eiaj;
    const Protocol K = Protocol::Korvan;
    const EntryMode newRecord = EntryMode::New;
    const QString kanji30 = QString(30, QChar(u'部'));
    const Unstorable cases[] = {
        {E, newRecord, B::DeliveryKeyNo, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"), 0,
         QStringLiteral("納品ｷｰ番号は半角23文字以内で入力してください。")},
        {E, EntryMode::Correction, B::ItemName, kanji30 + u'品', 0,
         QStringLiteral("品名は全角30文字（半角30文字）以内で入力してください。")},
        {E, EntryMode::Correction, B::ItemName, kanji30, 0, {}},
        {E, EntryMode::Correction, B::ItemName, QString(31, u'A'), 0,
         QStringLiteral("品名は全角30文字（半角30文字）以内で入力してください。")},
        {E, newRecord, B::ItemName, QStringLiteral("Café"), 0,
         QStringLiteral("品名の「é」(U+00E9) は納品書ファイルに書けない文字です。")},
        {E, EntryMode::Existing, B::SupplierRemarks, QStringLiteral("OK \U0001F600"), 0,
         QStringLiteral("受注者用備考の「\U0001F600」(U+1F600) は納品書ファイルに書けない文字です。")},
        {E, newRecord, B::Currency, QStringLiteral("USDX"), 62, {}},
        {E, newRecord, B::Currency, QStringLiteral("ＵＳ"), 61, {}},
        {K, newRecord, B::OrdererUse3, QString(11, QChar(u'欄')), 0,
         QStringLiteral("発注者使用欄３は全角10文字（半角20文字）以内で入力してください。")},
        {K, newRecord, B::OrdererUse3, QStringLiteral("A\tB"), 0,
         QStringLiteral("発注者使用欄３の制御文字 (U+0009) は納品書ファイルに書けない文字です。")},
        {K, newRecord, B::OrdererUse2, QString(16, u'X'), 0,
         QStringLiteral("発注者使用欄２は半角15文字以内で入力してください。")},
        // Boxes the mode does not write are not judged.
        {E, EntryMode::Existing, B::ItemName, QStringLiteral("Café"), 0, {}},
    };
    for (const Unstorable& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.format) << " " << int(c.mode) << " " << int(c.box) << " "
                                        << c.typed.toStdString());
        EntryForm form = c.format == E ? eiajForm() : korvanForm();
        form[c.box] = c.typed;
        const QString orderer = c.format == E ? QStringLiteral("ORD1") : QStringLiteral("KOR0");
        const ValidationResult r =
            validateEntry(form, c.mode == newRecord ? context(c.format) : shown(c.format, c.mode, orderer));
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.text.toStdString(), c.text.toStdString());
        EXPECT_EQ(r.passed, c.message == 0 && c.text.isEmpty());
        if (!r.passed) {
            EXPECT_EQ(r.box, c.box);
        }
    }
}

TEST_F(EntryValidation, AShownRecordWithoutCompanyAllowsKanjiAndTags)
{
    // No company: a blank KanjiUse is not "0", and nothing says slips only.
    EntryForm form = eiajForm();
    form[B::OrdererRemarks] = QStringLiteral("備考");
    ValidationContext ctx = context(Protocol::Eiaj, EntryMode::Existing);
    ASSERT_FALSE(ctx.company);
    const ValidationResult r = validateEntry(form, ctx);
    EXPECT_TRUE(r.passed) << r.message;
    EXPECT_FALSE(r.company);
    EXPECT_EQ(form[B::OrdererRemarks].size(), 50);

    form[B::ShipQty] = QStringLiteral("41");
    EXPECT_EQ(validateEntry(form, ctx).message, 120);
}

TEST_F(EntryValidation, TagRows)
{
    struct Tags
    {
        const char* name;
        QList<TagRow> rows;
        const char* shipped;
        short message;
        const char* facts = ""; // the lead lines of 120: the tag sum | the shipped quantity
    };
    auto row = [](const char* q, const char* c) { return TagRow{QString::fromLatin1(q), QString::fromLatin1(c)}; };
    const Tags cases[] = {
        {"10x3 + 5x2 = 40", {row("10", "3"), row("5", "2")}, "40", 0},
        {"10x3 + 5x2 is not 41", {row("10", "3"), row("5", "2")}, "41", 120, "40|41"},
        {"10x0", {row("10", "0"), row("5", "2")}, "10", 112},
        {"formatted cells", {row("1,000.500", "2"), row("", "")}, "2,001", 0},
        {"exact decimals", {row("0.001", "3"), row("0.002", "1")}, "0.005", 0},
        {"not exact", {row("0.001", "3")}, "0.004", 120, "0.003|0.004"},
        {"empty cells are zero", {row("", ""), row(" ", "0")}, "0", 0},
        {"no rows, nothing shipped", {}, "0", 0},
        {"no rows, something shipped", {}, "1.500", 120, "0|1.5"},
        {"count text", {row("10", "x")}, "10", 122},
        {"huge product", {row("999999999.999", "99999999999999999999999999999")}, "1", 120, "(桁あふれ)|1"},
    };
    for (const Tags& c : cases) {
        SCOPED_TRACE(c.name);
        EntryForm form = eiajForm();
        form.tags = c.rows;
        form[B::ShipQty] = QString::fromLatin1(c.shipped);
        const ValidationResult r = validateEntry(form, context(Protocol::Eiaj));
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.passed, c.message == 0);
        const QStringList facts = QString::fromUtf8(c.facts).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        QStringList lead;
        if (!facts.isEmpty())
            lead = {QStringLiteral("荷札の合計(入数×枚数): ") + facts[0], QStringLiteral("納入数量: ") + facts[1]};
        EXPECT_EQ(r.lead, lead);
    }
}

TEST_F(EntryValidation, SlipsOnlyCompaniesSkipTheGrid)
{
    for (const EntryMode mode : {EntryMode::New, EntryMode::Existing}) {
        SCOPED_TRACE(int(mode));
        EntryForm form = eiajForm();
        form[B::OrdererCode] = QStringLiteral("SLIP");
        form.tags = {{QStringLiteral("-5"), QStringLiteral("0")}, {QStringLiteral("x"), QStringLiteral("-1")}};
        form[B::ShipQty] = QStringLiteral("7");
        const ValidationContext ctx =
            mode == EntryMode::New ? context(Protocol::Eiaj) : shown(Protocol::Eiaj, mode, QStringLiteral("SLIP"));
        const ValidationResult r = validateEntry(form, ctx);
        EXPECT_TRUE(r.passed) << r.message;
    }
}

TEST_F(EntryValidation, AmountsAndCurrency)
{
    struct Amount
    {
        const char* currency;
        EntryBox box;
        const char* typed;
        short message;
    };
    const Amount cases[] = {
        {"JPY", B::UnitPrice, "9,999,999,999.999", 0},    {"JPY", B::UnitPrice, "10000000000", 106},
        {"usd", B::UnitPrice, "10000000000.5", 0},        {"USD", B::UnitPrice, "99999999999.99999", 0},
        {"USD", B::UnitPrice, "100000000000", 106},       {" jpy ", B::UnitPrice, "10000000000", 106},
        {"", B::UnitPrice, "10000000000", 106},           {"JPY", B::TaxAmount, "9999999999", 0},
        {"JPY", B::TaxAmount, "10000000000", 107},        {"EUR", B::TaxAmount, "10000000000.5", 0},
        {"EUR", B::AmountExclTax, "999999999999.999", 0}, {"EUR", B::AmountInclTax, "1000000000000", 109},
        {"JPY", B::OrderQty, "999,999,999.999", 0},       {"JPY", B::InstructedQty, "", 0},
    };
    for (const Amount& c : cases) {
        SCOPED_TRACE(testing::Message() << c.currency << " " << int(c.box) << " " << c.typed);
        EntryForm form = eiajForm();
        form[B::Currency] = QString::fromLatin1(c.currency);
        form[c.box] = QString::fromLatin1(c.typed);
        EXPECT_EQ(validateEntry(form, context(Protocol::Eiaj)).message, c.message);
    }

    // Empty price and amounts become "0"; the shipped quantity may not be empty.
    EntryForm form = eiajForm();
    const EntryBox zeroed[] = {B::UnitPrice, B::TaxAmount, B::AmountExclTax, B::AmountInclTax};
    for (EntryBox box : zeroed)
        form[box] = QStringLiteral("  ");
    ASSERT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    for (EntryBox box : zeroed)
        EXPECT_EQ(form[box], QStringLiteral("0")) << int(box);
    EXPECT_EQ(form[B::Currency], QStringLiteral("JPY"));
}

TEST_F(EntryValidation, BlankAndAsteriskChecksFollowCheckSpec)
{
    struct Blank
    {
        Protocol format;
        EntryBox box;
        const char* typed;
        short message;  // with CheckSpec 0
        short question; // with CheckSpec 1 the Code 39 question comes instead (0: none)
    };
    const Blank cases[] = {
        {Protocol::Eiaj, B::DeliveryKeyNo, "K*1", 113, 130},
        {Protocol::Eiaj, B::ItemCode, "I 1", 114, 131},
        {Protocol::Eiaj, B::OrdererBarcodeInfo, "B*C", 115, 132},
        {Protocol::Eiaj, B::SupplierBarcodeInfo, "S B", 116, 133},
        {Protocol::Korvan, B::OrdererUse1, "O*U", 620, 134},
    };
    for (const Blank& c : cases) {
        SCOPED_TRACE(c.message);
        EntryForm strict = c.format == Protocol::Eiaj ? eiajForm() : korvanForm();
        strict[c.box] = QString::fromLatin1(c.typed);
        EntryForm loose = strict;

        EXPECT_EQ(validateEntry(strict, context(c.format)).message, c.message);

        m_asked.clear();
        m_answer = true;
        ValidationContext ctx = context(c.format);
        ctx.checkSpec = 1;
        EXPECT_TRUE(validateEntry(loose, ctx).passed);
        EXPECT_EQ(m_asked, std::vector<short>{c.question});
        m_answer = false;
    }
}

TEST_F(EntryValidation, TextsAreTrimmedAsTheBoxesTrimThem)
{
    EntryForm form = eiajForm();
    form[B::OrdererCode] = QStringLiteral(" ORD1 ");
    form[B::OrderNo] = QStringLiteral(" PO-1 ");
    form[B::PlannedDeliveryDate] = QStringLiteral(" 2026/12/07 ");
    form[B::Currency] = QStringLiteral(" JPY ");
    ASSERT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    EXPECT_EQ(form[B::OrdererCode], QStringLiteral("ORD1"));
    EXPECT_EQ(form[B::OrderNo], QStringLiteral("PO-1"));
    EXPECT_EQ(form[B::PlannedDeliveryDate], QStringLiteral("2026/12/07"));
    EXPECT_EQ(form[B::Currency], QStringLiteral("JPY"));

    // The delivery key only loses blanks at its end: a leading blank is refused.
    EntryForm key = eiajForm();
    key[B::DeliveryKeyNo] = QStringLiteral(" KEY1");
    EXPECT_EQ(validateEntry(key, context(Protocol::Eiaj)).message, 113);
    key[B::DeliveryKeyNo] = QStringLiteral("KEY1  ");
    EXPECT_TRUE(validateEntry(key, context(Protocol::Eiaj)).passed);
    EXPECT_EQ(key[B::DeliveryKeyNo], QStringLiteral("KEY1"));
}

} // namespace
