#include "CustomerSession.h"
#include "CompanyFields.h"
#include "store/RecordCodes.h"

#include "core/ApUse.h"
#include "core/CommonRoutines.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"
#include "core/text/FieldLimit.h"
#include "core/text/FixedField.h"
#include "core/text/NumericText.h"
#include "store/DeliveryStore.h"
#include "store/StoreLock.h"

#include <QDir>
#include <QFileInfo>

namespace plx {

namespace {

QString rtrim(const QString& text)
{
    return fixed::trimmedRight(text);
}

// The company window's code boxes list the EIAJ entries of the code table,
// whichever protocol the company follows.
constexpr Protocol kCodeFormat = Protocol::Eiaj;

bool blank(const QString& text)
{
    return text.trimmed().isEmpty();
}

// A barcode digit count as typed: nothing, or a whole number 0 ... 99.
std::optional<int> digitCount(const QString& text)
{
    const QString t = text.trimmed();
    if (!isNumericText(t) || t.contains(QLatin1Char('.')) || t.startsWith(QLatin1Char('-')))
        return std::nullopt;
    const int value = t.toInt();
    if (value < 0 || value > 99)
        return std::nullopt;
    return value;
}

bool sameCompany(const CustRecord& a, const CustRecord& b)
{
    return a.raw(CustField::Protocol) == b.raw(CustField::Protocol) &&
           a.raw(CustField::OrdererCode) == b.raw(CustField::OrdererCode) &&
           a.raw(CustField::SupplierCode) == b.raw(CustField::SupplierCode);
}

// Whether a typed field takes full-width characters: the limit a refusal
// names then counts them too.
bool takesFullWidth(const CompanyField& row)
{
    return row.text == CompanyText::Name || row.text == CompanyText::FileName;
}

// What a record field shows as the form's value: a text without its trailing
// blanks (a code, a name) or without blanks at either end, a choice's value,
// the code-table entry a code stands for ("" when the table has none).
QString shownValue(const CompanyField& row, const CustRecord& record, const CodeTable& codes)
{
    const QString text = record.text(row.field);
    switch (row.input) {
    case CompanyInput::Text:
        return row.text == CompanyText::Code || row.text == CompanyText::Name ? rtrim(text) : text.trimmed();
    case CompanyInput::Choice:
        return text.trimmed();
    case CompanyInput::Code: {
        const CodeEntry* e = codes.find(kCodeFormat, QLatin1String(row.codeKind), text.trimmed());
        return e ? e->code : QString();
    }
    }
    return QString();
}

// What the record keeps of a form's value: a typed text trimmed (a code cut to
// its protocol's width, a digit count as two digits), a choice's value, a
// code's first character.
QString writtenValue(const CompanyField& row, const QString& value, Protocol protocol)
{
    switch (row.input) {
    case CompanyInput::Text:
        switch (row.text) {
        case CompanyText::Code:
            return rtrim(value.trimmed()).left(companyFieldBytes(row, protocol));
        case CompanyText::Digits: {
            const auto d = digitCount(value);
            return QStringLiteral("%1").arg(d ? *d : 0, 2, 10, QLatin1Char('0'));
        }
        case CompanyText::Name:
        case CompanyText::FileName:
        case CompanyText::None:
            break;
        }
        return value.trimmed(); // the checks keep it within the field
    case CompanyInput::Choice:
        return value;
    case CompanyInput::Code:
        return value.left(1);
    }
    return value;
}

} // namespace

CustomerSession::CustomerSession(Environment& env) : m_env(env), m_store(env.paths.custPath) {}

QString modeCaption(CustomerMode mode)
{
    switch (mode) {
    case CustomerMode::New:
        return QStringLiteral("新規");
    case CustomerMode::Change:
        return QStringLiteral("変更");
    case CustomerMode::Delete:
        return QStringLiteral("削除");
    case CustomerMode::Browse:
        break;
    }
    return QString();
}

bool CustomerSession::offers(const QString& apUse, Protocol protocol)
{
    return servesFormat(apUseOf(apUse).value_or(ApUse::All), protocol);
}

Protocol CustomerSession::initialProtocol(const QString& apUse)
{
    return offers(apUse, Protocol::Eiaj) ? Protocol::Eiaj : Protocol::Korvan;
}

bool CustomerSession::protocolChoosable(Protocol protocol) const
{
    return browsing() && offers(m_env.apUse, protocol);
}

CustField CustomerSession::editFocus() const
{
    return codesEditable() ? CustField::OrdererCode : CustField::OrdererName;
}

int CustomerSession::codeMaxLength() const
{
    return companyFieldBytes(companyField(CustField::OrdererCode), m_protocol);
}

bool CustomerSession::open()
{
    m_protocol = initialProtocol(m_env.apUse);
    fileutil::makeFolder(QFileInfo(m_env.paths.sampleCustPath).absolutePath());
    m_codes = CodeTable::load(m_env.paths.codePath);
    m_store.open();
    relist();
    return !m_codes.isEmpty();
}

void CustomerSession::setProtocol(Protocol protocol)
{
    m_protocol = protocol;
    m_mode = CustomerMode::Browse;
    m_store.open();
    relist();
}

void CustomerSession::relist()
{
    m_rows.clear();
    for (const CompanyEntry& c : m_store.entries(m_protocol))
        m_rows.append({c.recordNumber, c.ordererName});
    m_selected = -1;
    m_form = CustomerForm();
    if (!m_rows.isEmpty())
        selectRow(0);
}

void CustomerSession::selectRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_selected = row;
    showSelected();
}

void CustomerSession::showSelected()
{
    m_form = CustomerForm();
    if (m_selected < 0)
        return;
    const CustRecord r = m_store.read(m_rows[m_selected].recordNumber);
    for (const CompanyField& row : companyFields()) {
        if (!row.eiajOnly || m_protocol == Protocol::Eiaj)
            m_form[row.field] = shownValue(row, r, m_codes);
    }
}

QList<CodeEntry> CustomerSession::codeList(const char* kind) const
{
    return m_codes.list(kCodeFormat, QLatin1String(kind));
}

void CustomerSession::startNew()
{
    m_mode = CustomerMode::New;
    m_form = CustomerForm();
    const bool eiaj = m_protocol == Protocol::Eiaj;
    const auto sample = CustStore::sampleDefaults(m_env.paths.sampleCustPath, m_protocol);
    for (const CompanyField& row : companyFields()) {
        if (row.eiajOnly && !eiaj)
            continue;
        QString& value = m_form[row.field];
        if (sample && row.fromSample)
            value = shownValue(row, *sample, m_codes);
        // A choice the sample leaves open takes its first value.
        if (row.input == CompanyInput::Choice && (value.isEmpty() || !choiceValues(row).contains(value)))
            value = QLatin1Char(row.choices[0].value);
    }
}

CustomerOutcome CustomerSession::startChange()
{
    if (m_selected < 0)
        return CustomerOutcome::refusal(505);
    m_mode = CustomerMode::Change;
    m_outputKindBefore = m_store.read(m_rows[m_selected].recordNumber).text(CustField::OutputKind).trimmed();
    return {};
}

CustomerOutcome CustomerSession::startDelete()
{
    if (m_selected < 0)
        return CustomerOutcome::refusal(500);
    m_mode = CustomerMode::Delete;
    return {};
}

QStringList CustomerSession::deletionLead() const
{
    if (m_selected < 0)
        return {};
    const CustRecord r = m_store.read(m_rows[m_selected].recordNumber);
    // Each line as the window labels the codes.
    const auto line = [&](CustField code, CustField name) {
        return QStringLiteral("%1%2  %3")
            .arg(QString::fromUtf16(companyField(code).label), r.text(code).trimmed(), r.text(name).trimmed());
    };
    return {line(CustField::OrdererCode, CustField::OrdererName),
            line(CustField::SupplierCode, CustField::SupplierName)};
}

CustomerOutcome CustomerSession::confirmDelete(bool yes)
{
    CustomerOutcome outcome;
    if (!yes || m_selected < 0) {
        m_mode = CustomerMode::Browse;
        showSelected();
        return outcome;
    }
    const CustRecord listed = m_store.read(m_rows[m_selected].recordNumber);
    // The data file is locked first (always in this order: data file, then
    // company file) and stays locked until the company is gone, so that no
    // import or registration adds a record of it between the check and the
    // deletion.
    const FileLock dataLock(m_env.paths.delivPathFor(m_protocol), DeliveryStore::label());
    const StoreLock lock(m_store);
    m_store.open();
    const int n = m_rows[m_selected].recordNumber;
    if (n > m_store.count() || !sameCompany(m_store.read(n), listed)) {
        // The company is no longer where it was listed: browse the file as
        // it stands now.
        outcome.message = 10;
        m_mode = CustomerMode::Browse;
        relist();
        return outcome;
    }
    if (heldByRecords(true)) {
        outcome.message = 590;
        m_mode = CustomerMode::Browse;
        return outcome;
    }
    m_store.remove(n);
    m_changed = true;
    m_mode = CustomerMode::Browse;
    relist();
    outcome.written = true;
    return outcome;
}

bool CustomerSession::formFileExists(const QString& name) const
{
    // A layout is a file of the user folder named by its name alone.
    const QString t = name.trimmed();
    if (!isPlainFileName(t))
        return false;
    return QFileInfo(QDir(m_env.paths.usrFolder).filePath(t)).isFile();
}

bool CustomerSession::heldByRecords(bool deleting) const
{
    const QString path = m_env.paths.delivPathFor(m_protocol);
    DeliveryStore data(path, *m_env.clock);
    data.open();
    const QString orderer = rtrim(m_form[CustField::OrdererCode]);
    const QString supplier = rtrim(m_form[CustField::SupplierCode]);
    for (int n = 1; n <= data.count(); ++n) {
        const DeliveryRecord r = data.read(n);
        if (!r.isLiveOf(m_protocol) || rtrim(r.text(DeliveryField::OrdererCode)) != orderer ||
            rtrim(r.text(DeliveryField::SupplierCode)) != supplier)
            continue;
        if (deleting || hasStatus(r.text(DeliveryField::Status), RecordStatus::Waiting))
            return true;
    }
    return false;
}

bool CustomerSession::fits(CustField field, QStringView text) const
{
    return cp932::byteLength(text.trimmed()) <= companyFieldBytes(companyField(field), m_protocol);
}

std::optional<QString> CustomerSession::unstorable(CustField field) const
{
    const CompanyField& row = companyField(field);
    const QString& typed = m_form[row.field];
    const QString name = QString::fromUtf16(row.name);
    if (const QStringView c = firstUnstorable(typed); !c.isEmpty())
        return unstorableCharacterText(name, c, QStringLiteral("発注企業ファイル"));
    const int width = companyFieldBytes(row, m_protocol);
    if (cp932::byteLength(QStringView(typed).trimmed()) > width)
        return overLimitText(name, TextLimit{width, takesFullWidth(row) ? width / 2 : 0});
    return std::nullopt;
}

CustomerOutcome CustomerSession::check()
{
    CustomerForm& f = m_form;
    const bool eiaj = m_protocol == Protocol::Eiaj;
    const bool slips = outputsSlips(f[CustField::OutputKind]);
    const bool tags = outputsTags(f[CustField::OutputKind]);
    // A step refuses with its message, or, with none, in the program's words
    // for a typed text its field cannot hold; the field takes the focus.
    struct Step
    {
        std::function<bool()> fails;
        short message;
        CustField field;
    };
    using F = CustField;
    const auto storable = [](CustField field) { return Step{{}, 0, field}; };
    const Step steps[] = {
        {[&] { return blank(f[F::OrdererCode]); }, 510, F::OrdererCode},
        {[&] { return !isSingleByteText(rtrim(f[F::OrdererCode])); }, 512, F::OrdererCode},
        storable(F::OrdererCode),
        {[&] { return blank(f[F::OrdererName]); }, 515, F::OrdererName},
        storable(F::OrdererName),
        {[&] { return blank(f[F::SupplierCode]); }, 520, F::SupplierCode},
        {[&] { return !isSingleByteText(rtrim(f[F::SupplierCode])); }, 522, F::SupplierCode},
        storable(F::SupplierCode),
        {[&] { return blank(f[F::SupplierName]); }, 525, F::SupplierName},
        storable(F::SupplierName),
        {[&] { return eiaj && f[F::KanjiUse].isEmpty(); }, 545, F::KanjiUse},
        {[&] { return eiaj && f[F::AmountRounding].isEmpty(); }, 555, F::AmountRounding},
        {[&] { return eiaj && f[F::TaxRounding].isEmpty(); }, 560, F::TaxRounding},
        {[&] { return eiaj && f[F::ConsumptionTaxKind].isEmpty(); }, 530, F::ConsumptionTaxKind},
        {[&] { return eiaj && f[F::TaxationKind].isEmpty(); }, 535, F::TaxationKind},
        {[&] { return eiaj && f[F::PriceDisplayKind].isEmpty(); }, 540, F::PriceDisplayKind},
        {[&] { return f[F::OutputKind].isEmpty(); }, 550, F::OutputKind},
        {[&] {
             return m_mode == CustomerMode::Change && f[F::OutputKind] != m_outputKindBefore && heldByRecords(false);
         },
         595, F::OutputKind},
        {[&] { return slips && blank(f[F::SlipFormFile]); }, 565, F::SlipFormFile},
        storable(F::SlipFormFile),
        {[&] { return !blank(f[F::SlipFormFile]) && !formFileExists(f[F::SlipFormFile]); }, 567, F::SlipFormFile},
        {[&] { return slips && blank(f[F::SlipBarcodeDigits]); }, 570, F::SlipBarcodeDigits},
        storable(F::SlipBarcodeDigits),
        {[&] {
             const auto d = digitCount(f[F::SlipBarcodeDigits]);
             return (slips && d && *d == 0) || (!blank(f[F::SlipBarcodeDigits]) && !d);
         },
         572, F::SlipBarcodeDigits},
        {[&] { return tags && blank(f[F::TagFormFile]); }, 575, F::TagFormFile},
        storable(F::TagFormFile),
        {[&] { return !blank(f[F::TagFormFile]) && !formFileExists(f[F::TagFormFile]); }, 577, F::TagFormFile},
        {[&] { return tags && blank(f[F::TagBarcodeDigits]); }, 580, F::TagBarcodeDigits},
        storable(F::TagBarcodeDigits),
        {[&] {
             const auto d = digitCount(f[F::TagBarcodeDigits]);
             return (tags && d && *d == 0) || (!blank(f[F::TagBarcodeDigits]) && !d);
         },
         582, F::TagBarcodeDigits},
        // The comment's own message names what it holds.
        {[&] { return unstorable(F::Comment).has_value(); }, kMsgCommentNotStorable, F::Comment},
        {[&] {
             return m_mode == CustomerMode::New &&
                    m_store.lookup(m_protocol, f[F::OrdererCode].trimmed(), f[F::SupplierCode].trimmed()) != 0;
         },
         585, F::OrdererCode},
    };
    for (const Step& step : steps) {
        if (step.message == 0) {
            if (std::optional<QString> why = unstorable(step.field))
                return {false, 0, *why, CustomerFocus::on(step.field)};
        } else if (step.fails()) {
            return {false, step.message, {}, CustomerFocus::on(step.field)};
        }
    }
    return {};
}

CustRecord CustomerSession::buildRecord() const
{
    CustRecord r;
    r.setProtocol(m_protocol);
    for (const CompanyField& row : companyFields()) {
        // A KORVAN company has no kanji, rounding or tax settings of its own.
        if (row.eiajOnly && m_protocol != Protocol::Eiaj)
            r.setText(row.field, row.korvanValue);
        else
            r.setText(row.field, writtenValue(row, m_form[row.field], m_protocol));
    }
    return r;
}

CustomerOutcome CustomerSession::save()
{
    if (!editing())
        return {};
    // The file stays locked from the duplicate check to the write, and is
    // read anew: another program may have changed it since it was listed.
    std::optional<CustRecord> listed;
    if (m_mode == CustomerMode::Change && m_selected >= 0)
        listed = m_store.read(m_rows[m_selected].recordNumber);
    // A change of the output kind is checked against the data file's records
    // under its lock (taken before the company file's), so that none of them
    // becomes due between the check and the write.
    std::optional<FileLock> dataLock;
    if (m_mode == CustomerMode::Change && m_form[CustField::OutputKind] != m_outputKindBefore)
        dataLock.emplace(m_env.paths.delivPathFor(m_protocol), DeliveryStore::label());
    const StoreLock lock(m_store);
    m_store.open();
    CustomerOutcome outcome = check();
    if (outcome.refused())
        return outcome;
    const CustRecord record = buildRecord();
    int n = 0;
    if (m_mode == CustomerMode::New) {
        n = m_store.add(record);
    } else {
        n = listed ? m_rows[m_selected].recordNumber : 0;
        if (!listed || n > m_store.count() || !sameCompany(m_store.read(n), *listed))
            return {false, 10, {}, CustomerFocus::companyList()};
        // The codes cannot change: the record keeps its own.
        CustRecord changed = record;
        changed.setText(CustField::OrdererCode, listed->text(CustField::OrdererCode));
        changed.setText(CustField::SupplierCode, listed->text(CustField::SupplierCode));
        m_store.change(n, changed);
    }
    m_changed = true;
    m_mode = CustomerMode::Browse;
    relist();
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].recordNumber == n)
            selectRow(row);
    }
    outcome.written = true;
    outcome.focus = CustomerFocus::companyList();
    return outcome;
}

CustomerOutcome CustomerSession::cancel()
{
    const bool wasNew = m_mode == CustomerMode::New;
    m_mode = CustomerMode::Browse;
    showSelected();
    CustomerOutcome outcome;
    outcome.focus = wasNew ? CustomerFocus::on(CustField::Protocol) : CustomerFocus::companyList();
    return outcome;
}

void CustomerSession::close()
{
    m_store.compact(m_env.paths.workCustPath);
}

} // namespace plx
