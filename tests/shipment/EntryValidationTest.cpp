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

FocusTarget focus(const QString& control)
{
    return FocusTarget{control};
}
FocusTarget cell(int row, int column)
{
    return FocusTarget{kTagGrid, row, column};
}

// A complete EIAJ new record that passes every check (company ORD1, kanji allowed).
EntryForm eiajForm()
{
    EntryForm f;
    const std::pair<int, const char*> texts[] = {
        {3, "ORD1"},    {6, "SUP1"},        {7, "KEY001"},  {8, "PO-1"},    {9, "ITEM-1"},      {10, "WIDGET"},
        {11, "PCS"},    {12, "BUYER"},      {13, "DOCK 3"}, {14, "BC-1"},   {15, "REMARK"},     {16, "1,000.000"},
        {17, "40.000"}, {18, "2026/12/07"}, {22, "12.500"}, {19, "40.000"}, {20, "2026/12/01"}, {21, "2026/12/07"},
        {23, "50"},     {24, "500"},        {25, "550"},    {27, "SBC-1"},  {28, "NOTE"},
    };
    for (const auto& [n, t] : texts)
        f.text(n) = QString::fromLatin1(t);
    f.combo(1) = QStringLiteral("001");
    f.combo(2) = QStringLiteral("1");
    f.combo(3) = QStringLiteral("1");
    f.combo(4) = QStringLiteral("1");
    f.combo(5) = QStringLiteral("JPY");
    f.tags = {{QStringLiteral("10.000"), QStringLiteral("3")},
              {QStringLiteral("5"), QStringLiteral("2")},
              {QStringLiteral("0.000"), QStringLiteral("0")}};
    return f;
}

// A complete KORVAN new record (company KOR0, kanji not allowed).
EntryForm korvanForm()
{
    EntryForm f = eiajForm();
    f.text(3) = QStringLiteral("KOR0");
    f.text(14).clear();
    f.text(25).clear();
    for (int n = 2; n <= 5; ++n)
        f.combo(n).clear();
    f.bcOption = 1;
    f.text(22) = QStringLiteral("OU-1");
    f.text(23) = QStringLiteral("ou two");
    f.text(24).clear();
    return f;
}

// The kanji texts of a KORVAN record for a company that allows kanji.
void kanjiTexts(EntryForm& f)
{
    f.text(3) = QStringLiteral("KOR1");
    for (int n : {10, 12, 13, 15, 28})
        f.text(n) = QStringLiteral("品名");
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
    FocusTarget focus;
};

void setText(EntryForm& f, int n, const char* t)
{
    f.text(n) = QString::fromUtf8(t);
}

#define TEXT(n, t) [](EntryForm& f) { setText(f, n, t); }
#define COMBO(n, t) [](EntryForm& f) { f.combo(n) = QString::fromUtf8(t); }

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
        {"1 orderer blank", TEXT(3, "   "), 15, focus("Text3")},
        {"2 supplier empty", TEXT(6, ""), 16, focus("Text6")},
        {"3 unknown supplier", TEXT(6, "SUPX"), 2, focus("Text3")},
        {"3 KORVAN company", TEXT(3, "KOR0"), 2, focus("Text3")},
        {"4 key empty", TEXT(7, ""), 17, focus("Text7")},
        {"5 order empty", TEXT(8, ""), 18, focus("Text8")},
        {"6 order full-width", TEXT(8, "ＰＯ１"), 19, focus("Text8")},
        {"7 duplicate key", TEXT(7, "DUPKEY"), 585, focus("Text3")},
        {"8 key full-width", TEXT(7, "KEY１"), 21, focus("Text7")},
        {"9 key blank", TEXT(7, "KEY 1"), 113, focus("Text7")},
        {"9 key asterisk", TEXT(7, "KEY*1"), 113, focus("Text7")},
        {"10 item code empty", TEXT(9, ""), 51, focus("Text9")},
        {"11 item code kanji", TEXT(9, "品番"), 52, focus("Text9")},
        {"12 item code asterisk", TEXT(9, "A*B"), 114, focus("Text9")},
        {"13 item name mixed", TEXT(10, "ＡBC"), 57, focus("Text10")},
        {"13 item name tab", TEXT(10, "A\tB"), 55, focus("Text10")},
        {"14 unit kanji", TEXT(11, "個"), 59, focus("Text11")},
        {"15 buyer mixed", TEXT(12, "担当x"), 67, focus("Text12")},
        {"16 place mixed", TEXT(13, "場所x"), 72, focus("Text13")},
        {"17 orderer bar code kanji", TEXT(14, "ＢＣ"), 73, focus("Text14")},
        {"17 orderer bar code blank", TEXT(14, "B C"), 115, focus("Text14")},
        {"18 remarks mixed", TEXT(15, "備考x"), 77, focus("Text15")},
        {"19 order qty negative", TEXT(16, "-1"), 80, focus("Text16")},
        {"19 order qty too large", TEXT(16, "1,000,000,000"), 80, focus("Text16")},
        {"19 order qty text", TEXT(16, "abc"), 80, focus("Text16")},
        {"20 instructed qty past limit", TEXT(17, "999999999.9991"), 83, focus("Text17")},
        {"21 no inspection class", COMBO(1, ""), 84, focus("Combo1")},
        {"22 due date not a date", TEXT(18, "2023/02/29"), 86, focus("Text18")},
        {"23 currency full-width", COMBO(5, "ＵＳ"), 61, focus("Combo5")},
        {"23 currency four letters", COMBO(5, "USDX"), 62, focus("Combo5")},
        {"24 unit price negative", TEXT(22, "-0.001"), 106, focus("Text22")},
        {"24 unit price past yen limit", TEXT(22, "10000000000"), 106, focus("Text22")},
        {"25 no consumption-tax class", COMBO(2, ""), 103, focus("Combo2")},
        {"25 taxation class not listed", COMBO(3, "9"), 104, focus("Combo3")},
        {"25 no price-display class", COMBO(4, " "), 105, focus("Combo4")},
        {"26 shipped qty empty", TEXT(19, ""), 100, focus("Text19")},
        {"26 shipped qty too large", TEXT(19, "1000000000"), 100, focus("Text19")},
        {"27 ship date zero", TEXT(20, "0000/00/00"), 101, focus("Text20")},
        {"28 delivery date month 13", TEXT(21, "2026/13/01"), 102, focus("Text21")},
        {"29 tax past yen limit", TEXT(23, "10000000000"), 107, focus("Text23")},
        {"30 amount negative", TEXT(24, "-1"), 108, focus("Text24")},
        {"31 total text", TEXT(25, "x"), 109, focus("Text25")},
        {"32 supplier bar code kanji", TEXT(27, "ＳＢＣ"), 119, focus("Text27")},
        {"32 supplier bar code asterisk", TEXT(27, "S*B"), 116, focus("Text27")},
        {"33 supplier remarks mixed", TEXT(28, "備考x"), 123, focus("Text28")},
        {"33 supplier remarks tab", TEXT(28, "A\tB"), 110, focus("Text28")},
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
        {"37 sum short of shipped qty", TEXT(19, "41"), 120, cell(0, 1)},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        EntryForm form = eiajForm();
        c.breakIt(form);
        const ValidationResult r = validateEntry(form, context(Protocol::Eiaj));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, c.focus) << r.focus.control.toStdString() << " " << r.focus.row << "," << r.focus.column;
    }
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(EntryValidation, KorvanStepsRefuseWithTheirMessageAndFocus)
{
    const FailureCase cases[] = {
        {"3 EIAJ company", TEXT(3, "ORD1"), 2, focus("Text3")},
        {"7 duplicate KORVAN key", TEXT(7, "DUPKEY  "), 585, focus("Text3")},
        {"10 item code empty", TEXT(9, ""), 51, focus("Text9")},
        {"13 item name tab", TEXT(10, "A\tB"), 55, focus("Text10")},
        {"13 kanji item name, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, 10, "ITEM");
         },
         56, focus("Text10")},
        {"14 unit kanji", TEXT(11, "個"), 59, focus("Text11")},
        {"15 kanji buyer, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, 12, "BUYER");
         },
         66, focus("Text12")},
        {"16 kanji place, mixed",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, 13, "場所x");
         },
         71, focus("Text13")},
        {"18 kanji remarks, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, 15, "R");
         },
         76, focus("Text15")},
        {"18a no bar-code option", [](EntryForm& f) { f.bcOption = 0; }, 615, focus("Option1")},
        {"18b orderer use 1 kanji", TEXT(22, "ＯＵ"), 622, focus("Text22")},
        {"18b orderer use 1 blank", TEXT(22, "O U"), 620, focus("Text22")},
        {"18c orderer use 2 kanji", TEXT(23, "ＯＵ２"), 623, focus("Text23")},
        {"19 order qty text", TEXT(16, "abc"), 80, focus("Text16")},
        {"21 no inspection class", COMBO(1, ""), 84, focus("Combo1")},
        {"26 shipped qty empty", TEXT(19, ""), 100, focus("Text19")},
        {"28 delivery date", TEXT(21, "x"), 102, focus("Text21")},
        {"32 supplier bar code asterisk", TEXT(27, "S*B"), 116, focus("Text27")},
        {"33 kanji supplier remarks, ASCII",
         [](EntryForm& f) {
             kanjiTexts(f);
             setText(f, 28, "NOTE");
         },
         111, focus("Text28")},
        {"36 quantity without count",
         [](EntryForm& f) {
             f.tags[2] = {QStringLiteral("1"), QString()};
         },
         112, cell(2, 1)},
        {"37 sum over shipped qty", TEXT(19, "39.999"), 120, cell(0, 1)},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        EntryForm form = korvanForm();
        c.breakIt(form);
        const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, c.focus) << r.focus.control.toStdString();
    }
}

TEST_F(EntryValidation, KorvanHasNoneOfTheEiajOnlyBoxes)
{
    EntryForm form = korvanForm();
    form.text(14) = QStringLiteral("ＢＣ");     // no orderer bar code box
    form.text(25) = QStringLiteral("x");        // no total
    form.combo(5) = QStringLiteral("ＵＳＤＸ"); // no currency
    form.text(3) = QStringLiteral("KOR0");
    form.text(7) = QStringLiteral("EIAJKEY"); // the key of an EIAJ record only
    const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
    EXPECT_TRUE(r.passed) << r.message;
    EXPECT_EQ(form.text(25), QStringLiteral("x"));
}

TEST_F(EntryValidation, KorvanKanjiTextsArePaddedAndUse3IsOnlyPadded)
{
    EntryForm form = korvanForm();
    kanjiTexts(form);
    form.text(24) = QStringLiteral(" 発注者使用欄の三番 ");
    const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
    ASSERT_TRUE(r.passed) << r.message;
    EXPECT_EQ(form.text(10), QStringLiteral("品名") + QString(28, kIdeoSpace));
    EXPECT_EQ(form.text(12), QStringLiteral("品名") + QString(5, kIdeoSpace));
    EXPECT_EQ(form.text(28).size(), 25);
    // Padded to 20 characters; writing it keeps its first 20 bytes, the text.
    EXPECT_EQ(form.text(24), QStringLiteral("発注者使用欄の三番") + QString(11, kIdeoSpace));

    // Empty, Text24 becomes twenty full-width spaces.
    EntryForm plain = korvanForm();
    ASSERT_TRUE(validateEntry(plain, context(Protocol::Korvan)).passed);
    EXPECT_EQ(plain.text(24), QString(20, kIdeoSpace));
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
        form.text(11) = QString::fromUtf8(u.text);
        const ValidationResult r = validateEntry(form, context(Protocol::Korvan));
        EXPECT_EQ(r.passed, !u.asks);
        EXPECT_EQ(m_asked, u.asks ? std::vector<short>{135} : std::vector<short>{});
        if (u.asks) {
            EXPECT_EQ(r.message, 0);
            EXPECT_EQ(r.focus, focus(QStringLiteral("Text11")));
        }
    }
}

TEST_F(EntryValidation, Code39QuestionsAnsweredNoCancel)
{
    struct Question
    {
        Protocol format;
        int box;
        const char* text;
        short question;
    };
    const Question questions[] = {
        {Protocol::Eiaj, 7, "key1", 130},    {Protocol::Eiaj, 9, "item#1", 131}, {Protocol::Eiaj, 14, "bc1", 132},
        {Protocol::Eiaj, 27, "s_b", 133},    {Protocol::Korvan, 22, "ou1", 134}, {Protocol::Korvan, 7, "k", 130},
        {Protocol::Korvan, 27, "ABC&", 133},
    };
    for (const Question& q : questions) {
        SCOPED_TRACE(q.question);
        for (const bool yes : {false, true}) {
            m_asked.clear();
            m_answer = yes;
            EntryForm form = q.format == Protocol::Eiaj ? eiajForm() : korvanForm();
            form.text(q.box) = QString::fromUtf8(q.text);
            const ValidationResult r = validateEntry(form, context(q.format));
            EXPECT_EQ(m_asked, std::vector<short>{q.question});
            EXPECT_EQ(r.passed, yes);
            EXPECT_EQ(r.message, 0);
            if (!yes) {
                EXPECT_EQ(r.focus, focus(textBox(q.box)));
            }
        }
    }
    // Every Code 39 character passes without a question.
    m_asked.clear();
    EntryForm form = eiajForm();
    form.text(27) = QStringLiteral("0123456789ABCDEFGHIJKLM");
    form.text(7) = QStringLiteral("NOPQRSTUVWXYZ-.$/+%");
    EXPECT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(EntryValidation, WithoutAnAnswererAQuestionCancels)
{
    EntryForm form = eiajForm();
    form.text(9) = QStringLiteral("item");
    ValidationContext ctx = context(Protocol::Eiaj);
    ctx.ask = nullptr;
    const ValidationResult r = validateEntry(form, ctx);
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(r.message, 0);
    EXPECT_EQ(r.focus, focus(QStringLiteral("Text9")));
}

TEST_F(EntryValidation, LockedBoxesSendTheFocusToCorrectionOrReturn)
{
    struct Locked
    {
        Protocol format;
        EntryMode mode;
        std::function<void(EntryForm&)> breakIt;
        short message;
        QString focus;
    };
    const EntryMode existing = EntryMode::Existing;
    const EntryMode correction = EntryMode::Correction;
    const Locked cases[] = {
        {Protocol::Eiaj, existing, TEXT(9, ""), 51, QStringLiteral("Command7")},
        {Protocol::Eiaj, existing, TEXT(7, "KEY 1"), 113, QStringLiteral("Command1")},
        {Protocol::Eiaj, existing, TEXT(7, "KEY１"), 21, QStringLiteral("Command1")},
        {Protocol::Eiaj, existing, TEXT(18, "x"), 86, QStringLiteral("Command7")},
        {Protocol::Eiaj, existing, COMBO(2, ""), 103, QStringLiteral("Command7")},
        {Protocol::Eiaj, existing, COMBO(5, "USDX"), 62, QStringLiteral("Command7")},
        {Protocol::Eiaj, existing, TEXT(22, "x"), 106, QStringLiteral("Command7")},
        {Protocol::Eiaj, existing, TEXT(19, ""), 100, QStringLiteral("Text19")},
        {Protocol::Eiaj, existing, TEXT(23, "x"), 107, QStringLiteral("Text23")},
        {Protocol::Eiaj, existing, TEXT(28, "A\tB"), 110, QStringLiteral("Text28")},
        {Protocol::Eiaj, correction, TEXT(9, ""), 51, QStringLiteral("Text9")},
        {Protocol::Eiaj, correction, COMBO(2, ""), 103, QStringLiteral("Combo2")},
        {Protocol::Eiaj, correction, TEXT(7, "KEY 1"), 113, QStringLiteral("Command1")},
        {Protocol::Korvan, existing, [](EntryForm& f) { f.bcOption = 0; }, 615, QStringLiteral("Command7")},
        {Protocol::Korvan, existing, TEXT(23, "ＯＵ２"), 623, QStringLiteral("Command7")},
        {Protocol::Korvan, existing, TEXT(22, "O*U"), 620, QStringLiteral("Command7")},
        {Protocol::Korvan, correction, TEXT(23, "ＯＵ２"), 623, QStringLiteral("Text23")},
        {Protocol::Korvan, existing, TEXT(27, "ＳＢ"), 119, QStringLiteral("Text27")},
    };
    for (const Locked& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.message);
        EntryForm form = c.format == Protocol::Eiaj ? eiajForm() : korvanForm();
        c.breakIt(form);
        const QString orderer = c.format == Protocol::Eiaj ? QStringLiteral("ORD1") : QStringLiteral("KOR0");
        const ValidationResult r = validateEntry(form, shown(c.format, c.mode, orderer));
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, focus(c.focus)) << r.focus.control.toStdString();
    }

    // A question on the locked delivery key: No sends the focus to the return button.
    EntryForm form = eiajForm();
    form.text(7) = QStringLiteral("key1");
    const ValidationResult r = validateEntry(form, shown(Protocol::Eiaj, existing, QStringLiteral("ORD1")));
    EXPECT_EQ(r.message, 0);
    EXPECT_EQ(r.focus, focus(QStringLiteral("Command1")));
}

TEST_F(EntryValidation, KeyChecksRunForNewRecordsOnly)
{
    // Shown records skip steps 1-7: no orderer, a duplicate key, no company look-up.
    EntryForm form = eiajForm();
    form.text(3).clear();
    form.text(7) = QStringLiteral("DUPKEY");
    const ValidationResult shownResult =
        validateEntry(form, shown(Protocol::Eiaj, EntryMode::Correction, QStringLiteral("ORD1")));
    EXPECT_TRUE(shownResult.passed) << shownResult.message;
    EXPECT_FALSE(shownResult.keysPassed);
    ASSERT_TRUE(shownResult.company);
    EXPECT_EQ(shownResult.company->text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD1"));

    // keysPassed follows step 7, whatever fails later.
    EntryForm late = eiajForm();
    late.text(9).clear();
    const ValidationResult lateResult = validateEntry(late, context(Protocol::Eiaj));
    EXPECT_EQ(lateResult.message, 51);
    EXPECT_TRUE(lateResult.keysPassed);

    EntryForm early = eiajForm();
    early.text(7) = QStringLiteral("DUPKEY");
    const ValidationResult earlyResult = validateEntry(early, context(Protocol::Eiaj));
    EXPECT_EQ(earlyResult.message, 585);
    EXPECT_FALSE(earlyResult.keysPassed);

    // A deleted record is no duplicate, nor is a record of the other format.
    EntryForm deleted = eiajForm();
    deleted.text(7) = QStringLiteral("GONE");
    EXPECT_TRUE(validateEntry(deleted, context(Protocol::Eiaj)).passed);
    EntryForm otherFormat = korvanForm();
    otherFormat.text(7) = QStringLiteral("EIAJKEY");
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
        form.text(3) = QString::fromLatin1(c.orderer);
        form.text(10) = QString::fromUtf8(c.typed);
        const ValidationResult r = validateEntry(form, context(Protocol::Eiaj));
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.passed, c.message == 0);
        if (c.message == 0) {
            EXPECT_EQ(form.text(10), c.kept);
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
        int box; // 0: the currency
        QString typed;
        short message;
        QString text; // empty: the value is kept
    };
    const Protocol E = Protocol::Eiaj;
    const Protocol K = Protocol::Korvan;
    const EntryMode newRecord = EntryMode::New;
    const QString kanji30 = QString(30, QChar(u'部'));
    const Unstorable cases[] = {
        {E, newRecord, 7, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"), 0,
         QStringLiteral("納品ｷｰ番号は半角23文字以内で入力してください。")},
        {E, EntryMode::Correction, 10, kanji30 + u'品', 0,
         QStringLiteral("品名は全角30文字（半角30文字）以内で入力してください。")},
        {E, EntryMode::Correction, 10, kanji30, 0, {}},
        {E, EntryMode::Correction, 10, QString(31, u'A'), 0,
         QStringLiteral("品名は全角30文字（半角30文字）以内で入力してください。")},
        {E, newRecord, 10, QStringLiteral("Café"), 0,
         QStringLiteral("品名の「é」(U+00E9) は納品書ファイルに書けない文字です。")},
        {E, EntryMode::Existing, 28, QStringLiteral("OK \U0001F600"), 0,
         QStringLiteral("受注者用備考の「\U0001F600」(U+1F600) は納品書ファイルに書けない文字です。")},
        {E, newRecord, 0, QStringLiteral("USDX"), 62, {}},
        {E, newRecord, 0, QStringLiteral("ＵＳ"), 61, {}},
        {K, newRecord, 24, QString(11, QChar(u'欄')), 0,
         QStringLiteral("発注者使用欄３は全角10文字（半角20文字）以内で入力してください。")},
        {K, newRecord, 24, QStringLiteral("A\tB"), 0,
         QStringLiteral("発注者使用欄３の制御文字 (U+0009) は納品書ファイルに書けない文字です。")},
        {K, newRecord, 23, QString(16, u'X'), 0, QStringLiteral("発注者使用欄２は半角15文字以内で入力してください。")},
        // Boxes the mode does not write are not judged.
        {E, EntryMode::Existing, 10, QStringLiteral("Café"), 0, {}},
    };
    for (const Unstorable& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.format) << " " << int(c.mode) << " " << c.box << " "
                                        << c.typed.toStdString());
        EntryForm form = c.format == E ? eiajForm() : korvanForm();
        if (c.box == 0)
            form.combo(5) = c.typed;
        else
            form.text(c.box) = c.typed;
        const QString orderer = c.format == E ? QStringLiteral("ORD1") : QStringLiteral("KOR0");
        const ValidationResult r =
            validateEntry(form, c.mode == newRecord ? context(c.format) : shown(c.format, c.mode, orderer));
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.text.toStdString(), c.text.toStdString());
        EXPECT_EQ(r.passed, c.message == 0 && c.text.isEmpty());
        if (!r.passed) {
            EXPECT_EQ(r.box, c.box == 0 ? QStringLiteral("Combo5") : textBox(c.box));
        }
    }
}

TEST_F(EntryValidation, AShownRecordWithoutCompanyAllowsKanjiAndTags)
{
    // No company: a blank KanjiUse is not "0", and nothing says slips only.
    EntryForm form = eiajForm();
    form.text(15) = QStringLiteral("備考");
    ValidationContext ctx = context(Protocol::Eiaj, EntryMode::Existing);
    ASSERT_FALSE(ctx.company);
    const ValidationResult r = validateEntry(form, ctx);
    EXPECT_TRUE(r.passed) << r.message;
    EXPECT_FALSE(r.company);
    EXPECT_EQ(form.text(15).size(), 50);

    form.text(19) = QStringLiteral("41");
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
        form.text(19) = QString::fromLatin1(c.shipped);
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
        form.text(3) = QStringLiteral("SLIP");
        form.tags = {{QStringLiteral("-5"), QStringLiteral("0")}, {QStringLiteral("x"), QStringLiteral("-1")}};
        form.text(19) = QStringLiteral("7");
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
        int box;
        const char* typed;
        short message;
    };
    const Amount cases[] = {
        {"JPY", 22, "9,999,999,999.999", 0}, {"JPY", 22, "10000000000", 106},
        {"usd", 22, "10000000000.5", 0},     {"USD", 22, "99999999999.99999", 0},
        {"USD", 22, "100000000000", 106},    {" jpy ", 22, "10000000000", 106},
        {"", 22, "10000000000", 106},        {"JPY", 23, "9999999999", 0},
        {"JPY", 23, "10000000000", 107},     {"EUR", 23, "10000000000.5", 0},
        {"EUR", 24, "999999999999.999", 0},  {"EUR", 25, "1000000000000", 109},
        {"JPY", 16, "999,999,999.999", 0},   {"JPY", 17, "", 0},
    };
    for (const Amount& c : cases) {
        SCOPED_TRACE(testing::Message() << c.currency << " Text" << c.box << " " << c.typed);
        EntryForm form = eiajForm();
        form.combo(5) = QString::fromLatin1(c.currency);
        form.text(c.box) = QString::fromLatin1(c.typed);
        EXPECT_EQ(validateEntry(form, context(Protocol::Eiaj)).message, c.message);
    }

    // Empty price and amounts become "0"; the shipped quantity may not be empty.
    EntryForm form = eiajForm();
    for (int n : {22, 23, 24, 25})
        form.text(n) = QStringLiteral("  ");
    ASSERT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    for (int n : {22, 23, 24, 25})
        EXPECT_EQ(form.text(n), QStringLiteral("0")) << n;
    EXPECT_EQ(form.combo(5), QStringLiteral("JPY"));
}

TEST_F(EntryValidation, BlankAndAsteriskChecksFollowCheckSpec)
{
    struct Blank
    {
        Protocol format;
        int box;
        const char* typed;
        short message;  // with CheckSpec 0
        short question; // with CheckSpec 1 the Code 39 question comes instead (0: none)
    };
    const Blank cases[] = {
        {Protocol::Eiaj, 7, "K*1", 113, 130},    {Protocol::Eiaj, 9, "I 1", 114, 131},
        {Protocol::Eiaj, 14, "B*C", 115, 132},   {Protocol::Eiaj, 27, "S B", 116, 133},
        {Protocol::Korvan, 22, "O*U", 620, 134},
    };
    for (const Blank& c : cases) {
        SCOPED_TRACE(c.message);
        EntryForm strict = c.format == Protocol::Eiaj ? eiajForm() : korvanForm();
        strict.text(c.box) = QString::fromLatin1(c.typed);
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
    form.text(3) = QStringLiteral(" ORD1 ");
    form.text(8) = QStringLiteral(" PO-1 ");
    form.text(21) = QStringLiteral(" 2026/12/07 ");
    form.combo(5) = QStringLiteral(" JPY ");
    ASSERT_TRUE(validateEntry(form, context(Protocol::Eiaj)).passed);
    EXPECT_EQ(form.text(3), QStringLiteral("ORD1"));
    EXPECT_EQ(form.text(8), QStringLiteral("PO-1"));
    EXPECT_EQ(form.text(21), QStringLiteral("2026/12/07"));
    EXPECT_EQ(form.combo(5), QStringLiteral("JPY"));

    // The delivery key only loses blanks at its end: a leading blank is refused.
    EntryForm key = eiajForm();
    key.text(7) = QStringLiteral(" KEY1");
    EXPECT_EQ(validateEntry(key, context(Protocol::Eiaj)).message, 113);
    key.text(7) = QStringLiteral("KEY1  ");
    EXPECT_TRUE(validateEntry(key, context(Protocol::Eiaj)).passed);
    EXPECT_EQ(key.text(7), QStringLiteral("KEY1"));
}

} // namespace
