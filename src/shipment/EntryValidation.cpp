#include "EntryValidation.h"

#include "EntryFormats.h"
#include "EntryLimits.h"

#include "core/CommonRoutines.h"
#include "core/text/Cp932.h"
#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <stdexcept>

namespace plx {
namespace {

// Which window a step belongs to.
enum class Formats { Eiaj = 1, Korvan = 2, Both = 3 };

using Box = EntryBox;

// What a step checks.
enum class Check {
    Storable,        // every box the mode writes as typed fits its field (EntryBoxes, EntryLimits)
    NotEmpty,        // the trimmed text (or code) is not empty
    SingleByte,      // isSingleByteText
    NoBlankAsterisk, // holdsBlankOrAsterisk refuses, only when CheckSpec is 0
    CompanyExists,   // orderer + supplier name an ordering company of the window's format
    NoDuplicateKey,  // no live record of the window's kind with the three keys
    KanjiText,       // the kanji-allowed text rules, `width` characters
    KanjiPadOnly,    // padded to `width` characters, nothing checked
    UnitCharacters,  // KORVAN unit: blanks and 0x23-0x5C but "[", else a question
    OptionChosen,    // one of the bar-code output options
    Number,          // numeric within the step's limits
    Date,            // a calendar date
    CurrencyLength,  // at most `width` characters when not empty
    ComboSelected,   // a code-table entry of kind "0n" is chosen
    TagQuantities,   // grid column 1 within 0 ... 999999999.999
    TagCounts,       // grid column 2 not negative
    TagPairs,        // quantity and count both zero or both non-zero
    TagSum,          // sum of quantity x count equals the shipped quantity
    Code39,          // only Code 39 characters, else a question
};

enum StepFlag : unsigned {
    NewOnly = 1,      // key checks of a typed-in record (mode 2)
    WhenNotEmpty = 2, // an empty box passes
    EmptyIsZero = 4,  // an empty box becomes "0" and is checked as such
    KeysDone = 8,     // the key checks are complete once this step passes
};

// The upper limits of the number checks, yen and foreign currency.
struct Limit
{
    const char* yen;
    const char* foreign;
};
constexpr Limit kNoLimit{nullptr, nullptr};
constexpr Limit kQuantity{"999999999.999", "999999999.999"};
constexpr Limit kUnitPrice{"9999999999.999", "99999999999.99999"};
constexpr Limit kAmount{"9999999999", "999999999999.999"};

struct Step
{
    const char* label; // the step's number, for reading the table
    Formats formats;
    Check check;
    EntryBox box;
    short message;      // the message, or the question
    short message2 = 0; // kanji texts: the double-byte refusal
    int width = 0;      // kanji texts: characters; currency: the longest code
    unsigned flags = 0;
    Limit limit = kNoLimit;
};

constexpr Formats E = Formats::Eiaj;
constexpr Formats K = Formats::Korvan;
constexpr Formats B = Formats::Both;

// The registration checks of both entry windows, in the order they run. A
// KORVAN-only or EIAJ-only row stands where that window makes its check.
// clang-format off
constexpr Step kSteps[] = {
    {"0",   B, Check::Storable,        Box::OrdererCode,          0},
    {"1",   B, Check::NotEmpty,        Box::OrdererCode,          15,  0,   0,  NewOnly},
    {"2",   B, Check::NotEmpty,        Box::SupplierCode,         16,  0,   0,  NewOnly},
    {"3",   B, Check::CompanyExists,   Box::OrdererCode,          2,   0,   0,  NewOnly},
    {"4",   B, Check::NotEmpty,        Box::DeliveryKeyNo,        17,  0,   0,  NewOnly},
    {"5",   B, Check::NotEmpty,        Box::OrderNo,              18,  0,   0,  NewOnly},
    {"6",   B, Check::SingleByte,      Box::OrderNo,              19,  0,   0,  NewOnly},
    {"7",   B, Check::NoDuplicateKey,  Box::OrdererCode,          585, 0,   0,  NewOnly | KeysDone},
    {"8",   B, Check::SingleByte,      Box::DeliveryKeyNo,        21},
    {"9",   B, Check::NoBlankAsterisk, Box::DeliveryKeyNo,        113},
    {"10",  B, Check::NotEmpty,        Box::ItemCode,             51},
    {"11",  B, Check::SingleByte,      Box::ItemCode,             52},
    {"12",  B, Check::NoBlankAsterisk, Box::ItemCode,             114},
    {"13",  E, Check::KanjiText,       Box::ItemName,             55,  57,  30},
    {"13",  K, Check::KanjiText,       Box::ItemName,             55,  56,  30},
    {"14",  B, Check::SingleByte,      Box::Unit,                 59},
    {"14",  K, Check::UnitCharacters,  Box::Unit,                 135},
    {"15",  E, Check::KanjiText,       Box::BuyerName,            65,  67,  7},
    {"15",  K, Check::KanjiText,       Box::BuyerName,            65,  66,  7},
    {"16",  E, Check::KanjiText,       Box::DeliveryPlace,        70,  72,  20},
    {"16",  K, Check::KanjiText,       Box::DeliveryPlace,        70,  71,  20},
    {"17",  E, Check::SingleByte,      Box::OrdererBarcodeInfo,   73},
    {"17",  E, Check::NoBlankAsterisk, Box::OrdererBarcodeInfo,   115},
    {"18",  E, Check::KanjiText,       Box::OrdererRemarks,       75,  77,  50},
    {"18",  K, Check::KanjiText,       Box::OrdererRemarks,       75,  76,  50},
    {"18a", K, Check::OptionChosen,    Box::BcOutputClass,        615},
    {"18b", K, Check::SingleByte,      Box::OrdererUse1,          622},
    {"18b", K, Check::NoBlankAsterisk, Box::OrdererUse1,          620},
    {"18b", K, Check::Code39,          Box::OrdererUse1,          134},
    {"18c", K, Check::SingleByte,      Box::OrdererUse2,          623},
    {"18d", K, Check::KanjiPadOnly,    Box::OrdererUse3,          0,   0,   20},
    {"19",  B, Check::Number,          Box::OrderQty,             80,  0,   0,  WhenNotEmpty, kQuantity},
    {"20",  B, Check::Number,          Box::InstructedQty,        83,  0,   0,  WhenNotEmpty, kQuantity},
    {"21",  B, Check::NotEmpty,        Box::InspectionClass,      84},
    {"22",  B, Check::Date,            Box::DueDate,              86,  0,   0,  WhenNotEmpty},
    {"23",  E, Check::SingleByte,      Box::Currency,             61},
    {"23",  E, Check::CurrencyLength,  Box::Currency,             62,  0,   3},
    {"24",  E, Check::Number,          Box::UnitPrice,            106, 0,   0,  EmptyIsZero, kUnitPrice},
    {"25",  E, Check::ComboSelected,   Box::ConsumptionTaxClass,  103},
    {"25",  E, Check::ComboSelected,   Box::TaxationClass,        104},
    {"25",  E, Check::ComboSelected,   Box::PriceDisplayClass,    105},
    {"26",  B, Check::Number,          Box::ShipQty,              100, 0,   0,  0,            kQuantity},
    {"27",  B, Check::Date,            Box::ShipDate,             101},
    {"28",  B, Check::Date,            Box::PlannedDeliveryDate,  102},
    {"29",  E, Check::Number,          Box::TaxAmount,            107, 0,   0,  EmptyIsZero, kAmount},
    {"30",  E, Check::Number,          Box::AmountExclTax,        108, 0,   0,  EmptyIsZero, kAmount},
    {"31",  E, Check::Number,          Box::AmountInclTax,        109, 0,   0,  EmptyIsZero, kAmount},
    {"32",  B, Check::SingleByte,      Box::SupplierBarcodeInfo,  119},
    {"32",  B, Check::NoBlankAsterisk, Box::SupplierBarcodeInfo,  116},
    {"33",  E, Check::KanjiText,       Box::SupplierRemarks,      110, 123, 25},
    {"33",  K, Check::KanjiText,       Box::SupplierRemarks,      110, 111, 25},
    {"34",  B, Check::TagQuantities,   Box::TagLines,             121},
    {"35",  B, Check::TagCounts,       Box::TagLines,             122},
    {"36",  B, Check::TagPairs,        Box::TagLines,             112},
    {"37",  B, Check::TagSum,          Box::TagLines,             120},
    {"38",  B, Check::Code39,          Box::DeliveryKeyNo,        130},
    {"39",  B, Check::Code39,          Box::ItemCode,             131},
    {"40",  E, Check::Code39,          Box::OrdererBarcodeInfo,   132},
    {"41",  B, Check::Code39,          Box::SupplierBarcodeInfo,  133},
};
// clang-format on

// Whether a step is one of `format`'s window.
bool appliesTo(const Step& step, Protocol format)
{
    const Formats mine = format == Protocol::Eiaj ? Formats::Eiaj : Formats::Korvan;
    return (static_cast<int>(step.formats) & static_cast<int>(mine)) != 0;
}

const QChar kBlank(u' ');
const QChar kFullWidthSpace(u'\u3000');
const QString kCode39 = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%");

// Half-width blanks only, as everywhere in the program.
QString trimmed(const QString& t)
{
    return NormalizeBlanks(t, 2);
}
QString trimmedRight(const QString& t)
{
    return NormalizeBlanks(t, 4);
}

// The CP932 code of each character, a surrogate pair taken as one.
template <typename Pred> bool anyCode(const QString& t, Pred pred)
{
    for (qsizetype i = 0; i < t.size();) {
        const qsizetype len = (t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) ? 2 : 1;
        if (pred(cp932::sjisCode(QStringView(t).mid(i, len))))
            return true;
        i += len;
    }
    return false;
}

bool hasDoubleByte(const QString& t)
{
    return anyCode(t, [](short c) { return c < 0 || c > 255; });
}

// Trimmed, padded with full-width spaces and cut to `width` characters.
QString paddedKanji(const QString& t, int width)
{
    return (trimmed(t) + QString(width, kFullWidthSpace)).left(width);
}

bool isCode39(const QString& t)
{
    for (QChar c : t)
        if (!kCode39.contains(c))
            return false;
    return true;
}

// The KORVAN unit may hold blanks and the codes "#" (0x23) to "\" (0x5C) but "[".
bool isKorvanUnit(const QString& t)
{
    return !anyCode(t, [](short c) { return c != 0x20 && (c < 0x23 || c > 0x5C || c == 0x5B); });
}

Decimal limitValue(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

// Where the focus goes after a failure on `box`: the box itself, or for one
// the mode does not let the operator type in the correction button (the
// delivery key: the return button, since correction never unlocks it).
EntryPlace focusOn(EntryBox box, EntryMode mode)
{
    if (entryBox(box).enterableIn(mode))
        return EntryPlace::of(box);
    if (box == Box::DeliveryKeyNo)
        return EntryPlace::of(EntryButton::Return);
    return EntryPlace::of(EntryButton::CorrectOrderData);
}

struct Failure
{
    short message = 0;  // 0: a question was answered No, or `text`
    short question = 0; // the question answered No
    std::optional<EntryPlace> cell = std::nullopt;
    QString text = QString();                   // a refusal in the program's own words
    QStringList lead = QStringList();           // facts shown above the message
    std::optional<EntryBox> box = std::nullopt; // the box in error when it is not the step's
};

// One run of the checks over a form.
class Validator
{
public:
    Validator(EntryForm& form, const ValidationContext& ctx) : m_form(form), m_ctx(ctx)
    {
        if (ctx.mode != EntryMode::New)
            m_company = ctx.company;
    }

    ValidationResult run();

private:
    std::optional<Failure> check(const Step& step);
    std::optional<Failure> checkKanji(const Step& step);
    std::optional<Failure> checkNumber(const Step& step);
    std::optional<Failure> checkTags(const Step& step);
    std::optional<Failure> checkStorable();
    std::optional<Failure> ask(short question) const;

    // The step's box as the check sees it, written back normalised: blanks
    // trimmed (only at the right of the keys and bar-code texts, as the boxes
    // themselves trim on focus).
    QString& box(EntryBox b);

    bool kanjiAllowed() const;
    bool slipsOnly() const;
    bool foreignCurrency() const;

    EntryForm& m_form;
    const ValidationContext& m_ctx;
    std::optional<CustRecord> m_company;
    bool m_keysPassed = false;
};

QString& Validator::box(EntryBox b)
{
    QString& t = m_form[b];
    t = entryBox(b).trim == BoxTrim::End ? trimmedRight(t) : trimmed(t);
    return t;
}

// A company without a record has a blank KanjiUse, which is not "0".
bool Validator::kanjiAllowed() const
{
    return !m_company || trimmed(m_company->text(CustField::KanjiUse)) != QLatin1String("0");
}

bool Validator::slipsOnly() const
{
    return m_company && hasOutputKind(trimmed(m_company->text(CustField::OutputKind)), OutputKind::Slips);
}

bool Validator::foreignCurrency() const
{
    const QString currency = trimmed(m_form[Box::Currency]).toUpper();
    return !currency.isEmpty() && currency != QLatin1String("JPY");
}

std::optional<Failure> Validator::ask(short question) const
{
    // Without anyone to answer, the answer is No: nothing is registered unasked.
    if (m_ctx.ask && m_ctx.ask(question))
        return std::nullopt;
    return Failure{.question = question};
}

ValidationResult Validator::run()
{
    ValidationResult result;
    for (const Step& step : kSteps) {
        if (!appliesTo(step, m_ctx.format))
            continue;
        if ((step.flags & NewOnly) && m_ctx.mode != EntryMode::New)
            continue;
        if (const std::optional<Failure> failure = check(step)) {
            const EntryBox box = failure->box.value_or(step.box);
            result.message = failure->message;
            result.question = failure->question;
            result.text = failure->text;
            result.lead = failure->lead;
            result.box = box;
            result.focus = failure->cell ? *failure->cell : focusOn(box, m_ctx.mode);
            result.keysPassed = m_keysPassed;
            result.company = m_company;
            return result;
        }
        if (step.flags & KeysDone)
            m_keysPassed = true;
    }
    result.passed = true;
    result.keysPassed = m_keysPassed;
    result.company = m_company;
    return result;
}

std::optional<Failure> Validator::check(const Step& step)
{
    const Failure refused{.message = step.message};
    switch (step.check) {
    case Check::Storable:
        return checkStorable();
    case Check::NotEmpty:
        return box(step.box).isEmpty() ? std::optional(refused) : std::nullopt;
    case Check::SingleByte:
        return !isSingleByteText(box(step.box)) ? std::optional(refused) : std::nullopt;
    case Check::NoBlankAsterisk:
        if (m_ctx.checkSpec != 0)
            return std::nullopt;
        return holdsBlankOrAsterisk(box(step.box)) ? std::optional(refused) : std::nullopt;
    case Check::CompanyExists: {
        const int n =
            m_ctx.companies ? m_ctx.companies->lookup(m_ctx.format, box(Box::OrdererCode), box(Box::SupplierCode)) : 0;
        if (n == 0)
            return refused;
        m_company = m_ctx.companies->read(n);
        return std::nullopt;
    }
    case Check::NoDuplicateKey: {
        if (!m_ctx.store)
            return std::nullopt;
        QString status;
        const int n = FindDelivery(*m_ctx.store, m_ctx.format, box(Box::OrdererCode), box(Box::SupplierCode),
                                   box(Box::DeliveryKeyNo), status);
        return n != 0 ? std::optional(refused) : std::nullopt;
    }
    case Check::KanjiText:
        return checkKanji(step);
    case Check::KanjiPadOnly: {
        // Nothing else refuses a control character here.
        QString& t = box(step.box);
        for (const QChar c : t) {
            if (c.category() == QChar::Other_Control)
                return Failure{.text = controlCharacterText(entryBox(step.box), QStringView(&c, 1))};
        }
        t = paddedKanji(t, step.width);
        return std::nullopt;
    }
    case Check::UnitCharacters:
        return isKorvanUnit(box(step.box)) ? std::nullopt : ask(step.message);
    case Check::OptionChosen:
        return m_form.bcOption == 0 ? std::optional(refused) : std::nullopt;
    case Check::Number:
        return checkNumber(step);
    case Check::Date: {
        const QString& t = box(step.box);
        if ((step.flags & WhenNotEmpty) && t.isEmpty())
            return std::nullopt;
        return boxDate(t) ? std::nullopt : std::optional(refused);
    }
    case Check::CurrencyLength:
        return box(step.box).size() > step.width ? std::optional(refused) : std::nullopt;
    case Check::ComboSelected: {
        const QString& code = box(step.box);
        if (code.isEmpty())
            return refused;
        // A code that names no entry of the list is no selection either.
        const QString kind = entryBox(step.box).kind();
        if (m_ctx.codes && !m_ctx.codes->find(m_ctx.format, kind, code))
            return refused;
        return std::nullopt;
    }
    case Check::TagQuantities:
    case Check::TagCounts:
    case Check::TagPairs:
    case Check::TagSum:
        return slipsOnly() ? std::nullopt : checkTags(step);
    case Check::Code39:
        return isCode39(box(step.box)) ? std::nullopt : ask(step.message);
    }
    return std::nullopt;
}

// Kanji-allowed texts. EIAJ keeps a text of single-byte characters as it is
// (it goes to the single-byte field) and pads one with double-byte characters
// for the double-byte field; KORVAN, with kanji allowed, has the double-byte
// field only.
std::optional<Failure> Validator::checkKanji(const Step& step)
{
    QString& t = box(step.box);
    const Failure first{.message = step.message};
    const Failure second{.message = step.message2};
    if (!kanjiAllowed())
        return !isSingleByteText(t) ? std::optional(first) : std::nullopt;
    if (m_ctx.format == Protocol::Korvan || hasDoubleByte(t)) {
        t = paddedKanji(t, step.width);
        return !isDoubleByteText(t) ? std::optional(second) : std::nullopt;
    }
    return !isSingleByteText(t) ? std::optional(first) : std::nullopt;
}

std::optional<Failure> Validator::checkNumber(const Step& step)
{
    QString& t = box(step.box);
    if (t.isEmpty()) {
        if (step.flags & WhenNotEmpty)
            return std::nullopt;
        if (step.flags & EmptyIsZero)
            t = QStringLiteral("0");
    }
    const std::optional<Decimal> value = boxNumber(t);
    const char* max = foreignCurrency() ? step.limit.foreign : step.limit.yen;
    if (!value || value->isNegative() || (max && *value > limitValue(max)))
        return Failure{.message = step.message};
    return std::nullopt;
}

// A quantity as the clerk reads it: no trailing zeros after the point.
QString quantityText(const Decimal& value)
{
    QString text = value.toString();
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

// The tag grid: empty cells are zero; a cell that is not a number is refused
// like one out of range, since it could not be written as a tag line.
std::optional<Failure> Validator::checkTags(const Step& step)
{
    auto cell = [](const QString& t) { return trimmed(t).isEmpty() ? std::optional(Decimal(0)) : boxNumber(t); };
    auto at = [&](int row, int column) {
        return Failure{.message = step.message, .cell = EntryPlace::cell(row, column)};
    };
    const QList<TagRow>& rows = m_form.tags;
    const Decimal maxQty = limitValue(kQuantity.yen);

    switch (step.check) {
    case Check::TagQuantities:
        for (int r = 0; r < rows.size(); ++r) {
            const std::optional<Decimal> q = cell(rows[r].qty);
            if (!q || q->isNegative() || *q > maxQty)
                return at(r, 1);
        }
        return std::nullopt;
    case Check::TagCounts:
        for (int r = 0; r < rows.size(); ++r) {
            const std::optional<Decimal> c = cell(rows[r].count);
            if (!c || c->isNegative())
                return at(r, 2);
        }
        return std::nullopt;
    case Check::TagPairs:
        for (int r = 0; r < rows.size(); ++r) {
            if (cell(rows[r].qty)->isZero() != cell(rows[r].count)->isZero())
                return at(r, 1);
        }
        return std::nullopt;
    case Check::TagSum: {
        // Exact decimals; a product beyond their capacity cannot equal a
        // shipped quantity.
        const std::optional<Decimal> shipped = boxNumber(m_form[Box::ShipQty]);
        QString sumText = QStringLiteral("(桁あふれ)");
        try {
            Decimal sum;
            for (const TagRow& row : rows)
                sum = sum + *cell(row.qty) * *cell(row.count);
            if (shipped && sum == *shipped)
                return std::nullopt;
            sumText = quantityText(sum);
        } catch (const std::overflow_error&) {
        }
        // The clerk sees both sides of the difference.
        Failure failure = at(0, 1);
        failure.lead = {QStringLiteral("荷札の合計(入数×枚数): %1").arg(sumText),
                        QStringLiteral("納入数量: %1").arg(shipped ? quantityText(*shipped) : QString())};
        return failure;
    }
    default:
        return std::nullopt;
    }
}

// The boxes the mode writes as typed, in the order of the box table: the keys
// of a new record, the order data once it can be entered, the supplier's bar
// code and remarks. A value the field cannot keep exactly is refused before
// any other check, so that nothing is ever cut or replaced on writing.
std::optional<Failure> Validator::checkStorable()
{
    for (const EntryBoxInfo& b : entryBoxes()) {
        if (b.tab(m_ctx.format) == 0 || !b.enterableIn(m_ctx.mode) || !b.writtenAsTyped())
            continue;
        const BoxField field{*b.field, b.kanjiField};
        const QString& t = box(b.box);
        // The currency has its own messages: not single-byte (step 23) and
        // too long.
        if (b.value == BoxValue::Currency && firstUnwritable(t).isEmpty()) {
            if (isSingleByteText(t) && exceededWidth(field, t))
                return Failure{.message = 62, .box = b.box};
            continue;
        }
        if (const std::optional<QString> why = unstorableText(b, t))
            return Failure{.text = *why, .box = b.box};
    }
    return std::nullopt;
}

} // namespace

ValidationResult validateEntry(EntryForm& form, const ValidationContext& ctx)
{
    return Validator(form, ctx).run();
}

short rangeMessageOf(EntryBox box, Protocol format)
{
    for (const Step& step : kSteps) {
        if (step.check == Check::Number && step.box == box && appliesTo(step, format))
            return step.message;
    }
    return 0;
}

} // namespace plx
