#include "EntrySession.h"

#include "AmountCalculation.h"
#include "EntryFormats.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/MessageCatalog.h"
#include "core/text/VbFormat.h"
#include "store/StoreLock.h"

#include <algorithm>

namespace plx {

namespace {

using B = EntryBox;

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
        m_view.kindAndStatus = QStringLiteral("新規（画面入力）");
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
    m_defaultClasses.clear();
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
    m_defaultClasses.clear();
    m_calculatedAmounts.clear();
    m_shown.reset();
    m_company.reset();
    if (!m_remembered.ordererCode.isEmpty())
        showOrdererCompany();
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

void EntrySession::showOrdererCompany()
{
    EntryForm& f = form();
    const bool eiaj = m_format == Protocol::Eiaj;
    const auto state = [&] {
        return QStringList{f[B::ConsumptionTaxClass], f[B::TaxationClass],
                           m_company ? QString::fromLatin1(m_company->bytes()) : QString()}
            .join(QLatin1Char('|'));
    };
    const QString before = state();
    m_company = companyOf(f[B::OrdererCode], f[B::SupplierCode]);
    // The defaults an earlier display set, and that nobody chose otherwise
    // since, were that company's: they go with it.
    for (const auto& [box, code] : m_defaultClasses) {
        if (!code.isEmpty() && f[box] == code)
            f[box].clear();
    }
    m_defaultClasses.clear();
    if (!m_company) {
        f[B::OrdererName].clear();
    } else {
        f[B::OrdererName] = fixed::trimmedRight(m_company->text(CustField::OrdererName));
        if (eiaj) {
            // Classes not chosen yet take the company's defaults.
            const std::pair<EntryBox, CustField> defaults[] = {{B::ConsumptionTaxClass, CustField::ConsumptionTaxKind},
                                                               {B::TaxationClass, CustField::TaxationKind},
                                                               {B::PriceDisplayClass, CustField::PriceDisplayKind}};
            for (const auto& [box, source] : defaults) {
                if (!f[box].isEmpty())
                    continue;
                const CodeEntry* e = m_codes.find(m_format, entryBox(box).kind(), m_company->text(source).trimmed());
                if (e) {
                    f[box] = e->code;
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
        if (!m_calculatedAmounts.isEmpty() && m_calculatedAmounts == calculatedAmounts()) {
            for (EntryBox box : {B::TaxAmount, B::AmountExclTax, B::AmountInclTax})
                f[box].clear();
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
    const StoreLock lock(m_store, m_held);
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
        m_remembered = {fixed::trimmedRight(form()[B::OrdererCode].trimmed()), form()[B::OrdererName],
                        fixed::trimmedRight(form()[B::SupplierCode].trimmed())};
    }
    if (!checked.passed) {
        EntryOutcome outcome;
        outcome.message = checked.message;
        outcome.question = checked.question;
        outcome.text = checked.text;
        outcome.lead = checked.lead;
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
        outcome.focus = EntryPlace::of(B::OrdererCode);
    } else {
        showOrdinal(m_ordinal);
        outcome.focus = EntryPlace::of(B::ShipQty);
    }
    return outcome;
}

EntryOutcome EntrySession::deleteShown()
{
    if (m_mode == EntryMode::New || !m_shown)
        return {};
    {
        const StoreLock lock(m_store, m_held);
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
    outcome.focus = EntryPlace::of(B::ShipQty);
    return outcome;
}

int EntrySession::codePosition(EntryBox list, const QString& code) const
{
    if (code.isEmpty())
        return -1;
    const QList<CodeEntry> entries = m_codes.list(m_format, entryBox(list).kind());
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].code == code)
            return i;
    }
    return -1;
}

void EntrySession::focusBox(EntryBox box)
{
    if (!hasBox(box, m_format))
        return;
    const EntryBoxInfo& b = entryBox(box);
    if (b.widget == EntryWidget::Line) {
        form()[box] = focusedBoxText(box, form()[box]);
        m_valueAtFocus = form()[box];
    } else if (b.widget == EntryWidget::List) {
        m_valueAtFocus = form()[box];
    }
}

void EntrySession::leaveBox(EntryBox box)
{
    // The bar-code output options and the grid have no lost focus of their own.
    const EntryBoxInfo& b = entryBox(box);
    if (!hasBox(box, m_format) || b.widget == EntryWidget::Options || b.widget == EntryWidget::Grid)
        return;
    if (box == B::OrdererCode || box == B::SupplierCode) {
        if (m_mode == EntryMode::New)
            showOrdererCompany();
        return;
    }
    QString& text = form()[box];
    switch (b.value) {
    case BoxValue::Quantity:
        text = quantityBoxText(text);
        break;
    case BoxValue::UnitPrice:
        text = unitPriceBoxText(text, m_view.foreign);
        break;
    case BoxValue::Amount:
        text = amountBoxText(text, m_view.foreign);
        break;
    case BoxValue::Date:
        text = dateBoxText(text);
        break;
    case BoxValue::Currency:
        leaveCurrencyBox();
        return;
    default:
        break;
    }
    // The KORVAN window has no amounts.
    if (b.calculates && m_format == Protocol::Eiaj)
        recalculateAmounts(m_valueAtFocus, text);
}

void EntrySession::leaveCurrencyBox()
{
    EntryForm& f = form();
    QString& text = f[B::Currency];
    text = text.trimmed().toUpper();
    const bool foreign = isForeignCurrency(text);
    if (foreign == m_view.foreign)
        return;
    const PriceAmountTexts switched =
        switchedCurrencyTexts({f[B::UnitPrice], f[B::AmountExclTax], f[B::TaxAmount], f[B::AmountInclTax]}, foreign);
    f[B::UnitPrice] = switched.unitPrice;
    f[B::AmountExclTax] = switched.amountExclTax;
    f[B::TaxAmount] = switched.taxAmount;
    f[B::AmountInclTax] = switched.amountInclTax;
    m_view.foreign = foreign;
}

QStringList EntrySession::calculatedAmounts() const
{
    const EntryForm& f = m_view.form;
    return {f[B::TaxAmount], f[B::AmountExclTax], f[B::AmountInclTax]};
}

void EntrySession::recalculateAmounts(const QString& valueAtFocus, const QString& valueNow)
{
    // The amounts follow the quantity, the price and the two tax classes.
    EntryForm& f = form();
    const RecordStatus status = m_shown && m_mode != EntryMode::New ? statusOf(m_shown->text(DeliveryField::Status))
                                                                    : RecordStatus::Unprocessed;
    const TaxTrigger trigger = taxTrigger(f[B::ShipQty], f[B::UnitPrice], valueAtFocus, valueNow, status,
                                          codePosition(B::ConsumptionTaxClass, f[B::ConsumptionTaxClass]));
    if (trigger.fillEmptyAmounts)
        fillEmptyAmounts(f[B::AmountExclTax], f[B::TaxAmount], f[B::AmountInclTax]);
    if (!trigger.calculate)
        return;
    TaxInputs in;
    in.quantity = f[B::ShipQty];
    in.unitPrice = f[B::UnitPrice];
    in.foreign = m_view.foreign;
    in.taxationPosition = codePosition(B::TaxationClass, f[B::TaxationClass]);
    in.taxationName = m_codes.nameOf(m_format, entryBox(B::TaxationClass).kind(), f[B::TaxationClass]);
    if (m_company) {
        in.amountRounding = roundingSettingOf(m_company->text(CustField::AmountRounding));
        in.taxRounding = roundingSettingOf(m_company->text(CustField::TaxRounding));
    }
    in.format = m_format;
    if (const auto result = CalculateTax(in, m_codes)) {
        f[B::TaxAmount] = result->tax;
        f[B::AmountExclTax] = result->amount;
        f[B::AmountInclTax] = result->total;
        m_calculatedAmounts = calculatedAmounts();
    }
}

} // namespace plx
