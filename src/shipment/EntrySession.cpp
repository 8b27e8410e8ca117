#include "EntrySession.h"

#include "AmountCalculation.h"
#include "EntryFormats.h"
#include "EntryLimits.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/MessageCatalog.h"
#include "core/text/VbFormat.h"

#include <QHash>

#include <algorithm>

namespace plx {

namespace {

QString dataPathOf(const Environment& env, Protocol format)
{
    return env.paths.delivPathFor(format);
}

// The tag grid has as many rows as the tag-line setting, within the 99 lines a
// record holds.
int tagRowsOf(const Environment& env)
{
    return std::clamp(int(env.nifuda), 1, DeliveryRecord::kTagLineCount);
}

// The data file's lock for one write operation, unless the session holds the
// files for its whole run; the store writes under it and forgets it after.
class OperationLock
{
public:
    OperationLock(DeliveryStore& store, bool held) : m_store(store)
    {
        if (held)
            return;
        m_lock = std::make_unique<FileLock>(store.path(), DeliveryStore::label());
        store.setLock(m_lock.get());
    }
    ~OperationLock()
    {
        if (m_lock)
            m_store.setLock(nullptr);
    }
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

private:
    DeliveryStore& m_store;
    std::unique_ptr<FileLock> m_lock;
};

} // namespace

EntrySession::EntrySession(Environment& env, Protocol format, EntryOpening opening)
    : m_env(env), m_format(format), m_mode(opening.mode), m_opening(opening),
      m_store(dataPathOf(env, format), *env.clock), m_companies(env.paths.custPath)
{
    m_ordinal = opening.firstOrdinal;
    if (opening.rangeFlag && opening.mode != EntryMode::New) {
        m_page = 1;
        m_pageCount = opening.lastOrdinal - opening.firstOrdinal + 1;
    } else {
        m_page = opening.firstOrdinal;
        m_pageCount = opening.lastOrdinal;
    }
    if (m_mode == EntryMode::New) {
        m_page = 1;
        m_pageCount = 1;
    }
    m_tagRows = tagRowsOf(env);
}

EntrySession::~EntrySession()
{
    m_store.setLock(nullptr);
}

QString EntrySession::pageText() const
{
    return QStringLiteral("(%1/%2)").arg(vbFormat(Decimal(m_page), u"###0"), vbFormat(Decimal(m_pageCount), u"###0"));
}

void EntrySession::holdFiles()
{
    m_heldLock = std::make_unique<FileLock>(m_store.path(), DeliveryStore::label());
    m_store.setLock(m_heldLock.get());
    m_store.open();
    m_companies.open();
    m_held = true;
}

DeliveryStore& EntrySession::store()
{
    if (!m_held)
        m_store.open();
    return m_store;
}

const CustStore& EntrySession::companies()
{
    if (!m_held)
        m_companies.open();
    return m_companies;
}

bool EntrySession::loadCodes()
{
    m_codes = CodeTable::load(m_env.paths.codePath);
    return !m_codes.isEmpty();
}

int EntrySession::findRecord(const QString& orderer, const QString& supplier, const QString& key)
{
    QString status;
    return store().findDelivery(m_format, orderer, supplier, key, status);
}

void EntrySession::switchMode(EntryMode mode)
{
    m_mode = mode;
    m_copied.reset();
    m_page = 1;
    m_pageCount = 1;
}

bool EntrySession::open()
{
    const int count = store().count();
    if (count == 0 && m_mode != EntryMode::New)
        throw RuntimeFailure::labelled(QStringLiteral("Open_File/"), QStringLiteral("納品書ﾌｧｲﾙにﾃﾞｰﾀが有りません。"));
    if (!loadCodes()) {
        ShowMessage(m_env, 3);
        return false;
    }
    if (m_mode != EntryMode::New) {
        showOrdinal(m_ordinal);
        return true;
    }
    showNewScreen();
    if (m_opening.rangeFlag) {
        // The handed-over row is the starting point of the new record.
        DeliveryStore& s = store();
        const int n = s.requireLive(m_opening.firstOrdinal, m_format);
        m_copied = s.read(n);
        display(*m_copied, n);
        m_view.label1 = QStringLiteral("新規（画面入力）");
        m_view.registerEnabled = true;
        m_shown.reset();
    }
    m_recordNumber = store().countLive(m_format);
    return true;
}

std::optional<CustRecord> EntrySession::companyOf(const QString& orderer, const QString& supplier)
{
    const CustStore& c = companies();
    const int n = c.lookup(m_format, orderer, supplier);
    if (n == 0)
        return std::nullopt;
    return c.read(n);
}

void EntrySession::display(const DeliveryRecord& record, int n)
{
    m_company = companyOf(record.text(DeliveryField::OrdererCode), record.text(DeliveryField::SupplierCode));
    m_view = displayRecord(record, m_format, m_company, m_codes, m_tagRows);
    m_defaultClasses = {};
    m_calculatedAmounts.clear();
    m_shown = record;
    m_recordNumber = n;
}

void EntrySession::showOrdinal(int ordinal)
{
    DeliveryStore& s = store();
    const int n = s.requireLive(ordinal, m_format);
    display(s.read(n), n);
}

void EntrySession::showRecordNumber(int n)
{
    display(store().read(n), n);
}

void EntrySession::showNewScreen()
{
    // Every class list starts unselected; the remembered orderer's display
    // sets its defaults.
    m_view = newRecordScreen(m_format, m_remembered, m_env.clock->now().date(), m_tagRows);
    m_defaultClasses = {};
    m_calculatedAmounts.clear();
    m_shown.reset();
    m_company.reset();
    if (!m_remembered.ordererCode.isEmpty())
        ordererDisplay();
}

void EntrySession::previousPage()
{
    if (!canGoBack())
        return;
    --m_ordinal;
    --m_page;
    showOrdinal(m_ordinal);
}

void EntrySession::nextPage()
{
    if (!canGoForward())
        return;
    ++m_ordinal;
    ++m_page;
    showOrdinal(m_ordinal);
}

void EntrySession::startCorrection()
{
    if (m_mode == EntryMode::Existing)
        m_mode = EntryMode::Correction;
}

void EntrySession::ordererDisplay()
{
    EntryForm& f = form();
    const bool eiaj = m_format == Protocol::Eiaj;
    const auto state = [&] {
        return QStringList{f.combo(2), f.combo(3), m_company ? QString::fromLatin1(m_company->bytes()) : QString()}
            .join(QLatin1Char('|'));
    };
    const QString before = state();
    m_company = companyOf(f.text(3), f.text(6));
    if (eiaj) {
        // The defaults an earlier display set, and that nobody chose otherwise
        // since, were that company's: they go with it.
        for (int box = 2; box <= 4; ++box) {
            if (!m_defaultClasses[box].isEmpty() && f.combo(box) == m_defaultClasses[box])
                f.combo(box).clear();
            m_defaultClasses[box].clear();
        }
    }
    if (!m_company) {
        f.text(4).clear();
    } else {
        f.text(4) = fixed::trimmedRight(m_company->text(CustField::OrdererName));
        if (eiaj) {
            // Classes not chosen yet take the company's defaults.
            const std::pair<int, std::pair<const char*, CustField>> defaults[] = {
                {2, {"02", CustField::ConsumptionTaxKind}},
                {3, {"03", CustField::TaxationKind}},
                {4, {"04", CustField::PriceDisplayKind}}};
            for (const auto& [box, source] : defaults) {
                if (!f.combo(box).isEmpty())
                    continue;
                const CodeEntry* e =
                    m_codes.find(m_format, QLatin1String(source.first), m_company->text(source.second).trimmed());
                if (e) {
                    f.combo(box) = e->code;
                    m_defaultClasses[box] = e->code;
                }
            }
        }
        m_view.gridEnabled = !slipsOnly(m_company);
        m_view.kanjiLabels = kanjiAllowed(m_company);
        m_view.companyFound = true;
    }
    // Amounts calculated for the classes and rounding of the company before
    // go with them (amounts typed over them stay); then the amounts follow the
    // new classes as when the class lists are left.
    if (eiaj && state() != before) {
        if (!m_calculatedAmounts.isEmpty() && m_calculatedAmounts == QStringList{f.text(23), f.text(24), f.text(25)}) {
            for (int box : {23, 24, 25})
                f.text(box).clear();
        }
        recalculateAmounts(before, state());
    }
}

bool EntrySession::takeCompanyNotice()
{
    if (m_noticeShown || m_view.companyFound || m_mode == EntryMode::New)
        return false;
    m_noticeShown = true;
    return true;
}

EntryOutcome EntrySession::refuse(short message)
{
    EntryOutcome outcome;
    outcome.message = message;
    return outcome;
}

EntryOutcome EntrySession::registerShown(bool issue, const std::function<bool(short)>& ask)
{
    // The data file stays locked from the checks (the duplicate-key check
    // reads it) to the write.
    const OperationLock lock(m_store, m_held);
    DeliveryStore& s = store();

    ValidationContext ctx;
    ctx.format = m_format;
    ctx.mode = m_mode;
    ctx.codes = &m_codes;
    ctx.companies = &companies();
    ctx.store = &s;
    ctx.company = m_company;
    ctx.checkSpec = m_env.checkSpec;
    ctx.ask = ask;
    const ValidationResult checked = validateEntry(form(), ctx);
    if (checked.keysPassed) {
        m_remembered = {fixed::trimmedRight(form().text(3).trimmed()), form().text(4),
                        fixed::trimmedRight(form().text(6).trimmed())};
    }
    if (!checked.passed) {
        EntryOutcome outcome;
        outcome.message = checked.message;
        outcome.question = checked.question;
        outcome.text = checked.text;
        outcome.box = checked.box;
        outcome.focus = checked.focus;
        return outcome;
    }

    DeliveryRecord record;
    int n = 0;
    if (m_mode == EntryMode::New) {
        record = newRecordBase(m_format, m_copied);
        record.setText(DeliveryField::Status, statusText(RecordStatus::Unprocessed));
        n = s.count() + 1;
    } else {
        // The record shown must still stand at its number: another program may
        // have rewritten the file since it was read.
        n = m_recordNumber;
        if (!m_shown || n < 1 || n > s.count() || !s.sameRecord(n, m_shown->bytes().constData()))
            return refuse(10);
        record = s.read(n);
    }
    applyRegistrationStatus(record, issue);
    writeEntry(record, form(), m_format, m_mode, checked.company);
    s.write(n, record);
    m_changed = true;
    m_lastStatus = record.text(DeliveryField::Status);

    EntryOutcome outcome;
    outcome.written = true;
    if (m_page < m_pageCount) {
        ++m_ordinal;
        ++m_page;
    }
    if (m_mode == EntryMode::New) {
        showNewScreen();
        outcome.focus = {textBox(3)};
    } else {
        showOrdinal(m_ordinal);
        outcome.focus = {textBox(19)};
    }
    return outcome;
}

EntryOutcome EntrySession::deleteShown()
{
    if (m_mode == EntryMode::New || !m_shown)
        return {};
    {
        const OperationLock lock(m_store, m_held);
        DeliveryStore& s = store();
        const int n = m_recordNumber;
        if (n < 1 || n > s.count() || !s.sameRecord(n, m_shown->bytes().constData()))
            return refuse(10);
        s.markDeleted(n);
    }
    m_changed = true;
    EntryOutcome outcome;
    outcome.written = true;
    --m_opening.lastOrdinal;
    --m_pageCount;
    if (m_pageCount <= 0) {
        outcome.closeWindow = true;
        m_shown.reset();
        return outcome;
    }
    if (m_page > m_pageCount) {
        m_ordinal = std::max(1, m_ordinal - 1);
        m_page = std::max(1, m_page - 1);
    }
    showOrdinal(m_ordinal);
    outcome.focus = {textBox(19)};
    return outcome;
}

namespace {

// The box number of "TextN", 0 for any other control.
int boxNumberOf(const QString& control)
{
    return control.startsWith(QLatin1String("Text")) ? control.mid(4).toInt() : 0;
}
int comboNumberOf(const QString& control)
{
    return control.startsWith(QLatin1String("Combo")) ? control.mid(5).toInt() : 0;
}

// The position of a code in its list (file order), -1 when not listed.
int positionOf(const CodeTable& codes, Protocol format, const char* kind, const QString& code)
{
    if (code.isEmpty())
        return -1;
    const QList<CodeEntry> list = codes.list(format, QLatin1String(kind));
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].code == code)
            return i;
    }
    return -1;
}

} // namespace

void EntrySession::focusBox(const QString& control)
{
    if (const int n = boxNumberOf(control)) {
        form().text(n) = focusedBoxText(n, form().text(n));
        m_valueAtFocus = form().text(n);
    } else if (const int c = comboNumberOf(control)) {
        m_valueAtFocus = form().combo(c);
    }
}

void EntrySession::leaveBox(const QString& control)
{
    EntryForm& f = form();
    const bool eiaj = m_format == Protocol::Eiaj;
    const int n = boxNumberOf(control);
    const int c = comboNumberOf(control);
    QString valueNow;
    switch (n) {
    case 3:
    case 6:
        if (m_mode == EntryMode::New)
            ordererDisplay();
        return;
    case 16:
    case 17:
        f.text(n) = quantityBoxText(f.text(n));
        return;
    case 18:
    case 20:
    case 21:
        f.text(n) = dateBoxText(f.text(n));
        return;
    case 19:
        f.text(n) = quantityBoxText(f.text(n));
        valueNow = f.text(n);
        break;
    case 22:
        if (!eiaj)
            return;
        f.text(n) = unitPriceBoxText(f.text(n), m_view.foreign);
        valueNow = f.text(n);
        break;
    case 23:
    case 24:
    case 25:
        if (eiaj)
            f.text(n) = amountBoxText(f.text(n), m_view.foreign);
        return;
    default:
        // The other text boxes take no part in the calculation.
        if (n != 0)
            return;
        break;
    }
    if (n == 0) {
        if (!eiaj)
            return;
        if (c == 5) {
            f.combo(5) = f.combo(5).trimmed().toUpper();
            const bool foreign = isForeignCurrency(f.combo(5));
            if (foreign != m_view.foreign) {
                const PriceAmountTexts switched =
                    switchedCurrencyTexts({f.text(22), f.text(24), f.text(23), f.text(25)}, foreign);
                f.text(22) = switched.unitPrice;
                f.text(24) = switched.amountExclTax;
                f.text(23) = switched.taxAmount;
                f.text(25) = switched.amountInclTax;
                m_view.foreign = foreign;
            }
            return;
        }
        if (c != 2 && c != 3)
            return;
        valueNow = f.combo(c);
    }
    if (eiaj)
        recalculateAmounts(m_valueAtFocus, valueNow);
}

void EntrySession::recalculateAmounts(const QString& valueAtFocus, const QString& valueNow)
{
    // The amounts follow the quantity, the price and the two tax classes.
    EntryForm& f = form();
    const RecordStatus status = m_shown && m_mode != EntryMode::New ? statusOf(m_shown->text(DeliveryField::Status))
                                                                    : RecordStatus::Unprocessed;
    const TaxTrigger trigger = taxTrigger(f.text(19), f.text(22), valueAtFocus, valueNow, status,
                                          positionOf(m_codes, m_format, "02", f.combo(2)));
    if (trigger.fillEmptyAmounts)
        fillEmptyAmounts(f.text(24), f.text(23), f.text(25));
    if (!trigger.calculate)
        return;
    TaxInputs in;
    in.quantity = f.text(19);
    in.unitPrice = f.text(22);
    in.foreign = m_view.foreign;
    in.taxationPosition = positionOf(m_codes, m_format, "03", f.combo(3));
    in.taxationName = m_codes.nameOf(m_format, QStringLiteral("03"), f.combo(3));
    in.amountRounding = m_company ? m_company->text(CustField::AmountRounding) : QString();
    in.taxRounding = m_company ? m_company->text(CustField::TaxRounding) : QString();
    in.format = m_format;
    if (const auto result = CalculateTax(in, m_codes)) {
        f.text(23) = result->tax;
        f.text(24) = result->amount;
        f.text(25) = result->total;
        m_calculatedAmounts = {f.text(23), f.text(24), f.text(25)};
    }
}

void EntrySession::enterValue(const QString& control, const QString& value)
{
    EntryForm& f = form();
    if (control == QLatin1String("Option1") || control == QLatin1String("Option2")) {
        f.bcOption = value.trimmed() == QLatin1String("1") ? 1 : value.trimmed() == QLatin1String("0") ? 2 : 0;
        return;
    }
    focusBox(control);
    if (const int c = comboNumberOf(control)) {
        if (c == 5) {
            f.combo(5) = value;
        } else {
            static const char* kinds[] = {"", "01", "02", "03", "04"};
            // Only a code of the list can be chosen.
            f.combo(c) = positionOf(m_codes, m_format, kinds[c], value.trimmed()) >= 0 ? value.trimmed() : QString();
        }
    } else if (const int n = boxNumberOf(control)) {
        f.text(n) = value;
    }
    leaveBox(control);
}

void EntrySession::enterTagRows(const QList<TagRow>& rows)
{
    EntryForm& f = form();
    for (int i = 0; i < f.tags.size(); ++i) {
        if (i < rows.size())
            f.tags[i] = {tagQuantityCellText(rows[i].qty), tagCountCellText(rows[i].count)};
        else
            f.tags[i] = {QStringLiteral("0.000"), QStringLiteral("0")};
    }
}

void EntrySession::passQuantityBox()
{
    focusBox(textBox(19));
    leaveBox(textBox(19));
}

std::optional<EntryRefusal> EntrySession::refusalOf(const QString& control, const QString& value) const
{
    const int places = decimalsOf(control, m_format, m_view.foreign);
    if (places < 0 || !hasMoreDecimals(value, places))
        return std::nullopt;
    // The box would round the number when it is left: refused with the
    // message of its range check.
    static const QHash<int, short> messages = {{16, 80},  {17, 83},  {19, 100}, {22, 106},
                                               {23, 107}, {24, 108}, {25, 109}};
    return EntryRefusal{messages.value(boxNumberOf(control)), QString(), control};
}

std::optional<EntryRefusal> EntrySession::refusalOfTagRows(const QList<TagRow>& rows) const
{
    for (const TagRow& row : rows) {
        if (hasMoreDecimals(row.qty, 3))
            return EntryRefusal{121, QString(), kTagGrid};
        if (hasMoreDecimals(row.count, 0))
            return EntryRefusal{122, QString(), kTagGrid};
        const auto count = boxNumber(row.count);
        const QString cell = vbFormat(count ? *count : Decimal(0), u"#0");
        if (count && !count->isNegative() && cell.size() > kTagCountCellLength)
            return EntryRefusal{0, tagCountTooLongText(kTagCountCellLength, cell.size()), kTagGrid};
    }
    return std::nullopt;
}

} // namespace plx
