#include "CustomerSession.h"
#include "store/RecordCodes.h"

#include "core/ApUse.h"
#include "core/CommonRoutines.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"
#include "core/text/FieldLimit.h"
#include "core/text/FixedField.h"
#include "core/text/NumericText.h"
#include "store/DeliveryStore.h"

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

int widthOf(CustField field)
{
    return CustRecord::field(field).width;
}

// A text box of the window: the form's text, the name messages give it, and
// the field it is written to (none for the codes, whose length the protocol
// sets). A box that takes kanji holds half as many full-width characters.
struct TextBox
{
    QString CustomerForm::*member;
    const char* control;
    const char16_t* name;
    std::optional<CustField> field;
    bool kanji;
};

const TextBox kTextBoxes[] = {
    {&CustomerForm::ordererCode, "Text1", u"発注者コード", std::nullopt, false},
    {&CustomerForm::ordererName, "Text2", u"発注者名称", CustField::OrdererName, true},
    {&CustomerForm::supplierCode, "Text3", u"受注者コード", std::nullopt, false},
    {&CustomerForm::supplierName, "Text4", u"受注者名称", CustField::SupplierName, true},
    {&CustomerForm::slipFormFile, "Text5", u"納品書QRD定義ファイル名称", CustField::SlipFormFile, true},
    {&CustomerForm::tagFormFile, "Text6", u"荷札QRD定義ファイル名称", CustField::TagFormFile, true},
    {&CustomerForm::slipDigits, "Text7", u"納品書のバーコード桁数", CustField::SlipBarcodeDigits, false},
    {&CustomerForm::tagDigits, "Text8", u"荷札のバーコード桁数", CustField::TagBarcodeDigits, false},
    {&CustomerForm::comment, "Text9", u"コメント", CustField::Comment, true},
};

const TextBox& textBox(const char* control)
{
    for (const TextBox& box : kTextBoxes) {
        if (qstrcmp(box.control, control) == 0)
            return box;
    }
    Q_UNREACHABLE();
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

// The lock of the company file for one operation, given to the store for its
// writes and taken back afterwards.
class CustLock
{
public:
    explicit CustLock(CustStore& store) : m_store(store), m_lock(store.path(), CustStore::label())
    {
        store.setLock(&m_lock);
    }
    ~CustLock() { m_store.setLock(nullptr); }
    CustLock(const CustLock&) = delete;
    CustLock& operator=(const CustLock&) = delete;

private:
    CustStore& m_store;
    FileLock m_lock;
};

bool sameCompany(const CustRecord& a, const CustRecord& b)
{
    return a.raw(CustField::Protocol) == b.raw(CustField::Protocol) &&
           a.raw(CustField::OrdererCode) == b.raw(CustField::OrdererCode) &&
           a.raw(CustField::SupplierCode) == b.raw(CustField::SupplierCode);
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

QString CustomerSession::editFocus() const
{
    return codesEditable() ? QStringLiteral("Text1") : QStringLiteral("Text2");
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
    CustomerForm& f = m_form;
    f.ordererCode = rtrim(r.text(CustField::OrdererCode));
    f.ordererName = rtrim(r.text(CustField::OrdererName));
    f.supplierCode = rtrim(r.text(CustField::SupplierCode));
    f.supplierName = rtrim(r.text(CustField::SupplierName));
    f.outputKind = r.text(CustField::OutputKind).trimmed();
    f.slipFormFile = r.text(CustField::SlipFormFile).trimmed();
    f.tagFormFile = r.text(CustField::TagFormFile).trimmed();
    f.slipDigits = r.text(CustField::SlipBarcodeDigits).trimmed();
    f.tagDigits = r.text(CustField::TagBarcodeDigits).trimmed();
    f.comment = rtrim(r.text(CustField::Comment));
    if (m_protocol == Protocol::Eiaj) {
        f.kanjiUse = r.text(CustField::KanjiUse).trimmed();
        f.amountRounding = r.text(CustField::AmountRounding).trimmed();
        f.taxRounding = r.text(CustField::TaxRounding).trimmed();
        const auto code = [&](const char* kind, CustField field) {
            const CodeEntry* e = m_codes.find(kCodeFormat, QLatin1String(kind), r.text(field).trimmed());
            return e ? e->code : QString();
        };
        f.consumptionTaxKind = code("02", CustField::ConsumptionTaxKind);
        f.taxationKind = code("03", CustField::TaxationKind);
        f.priceDisplayKind = code("04", CustField::PriceDisplayKind);
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
    CustomerForm& f = m_form;
    if (const auto sample = CustStore::sampleDefaults(m_env.paths.sampleCustPath, m_protocol)) {
        const CustRecord& s = *sample;
        f.outputKind = s.text(CustField::OutputKind).trimmed();
        f.slipFormFile = s.text(CustField::SlipFormFile).trimmed();
        f.tagFormFile = s.text(CustField::TagFormFile).trimmed();
        f.slipDigits = s.text(CustField::SlipBarcodeDigits).trimmed();
        f.tagDigits = s.text(CustField::TagBarcodeDigits).trimmed();
        if (m_protocol == Protocol::Eiaj) {
            f.kanjiUse = s.text(CustField::KanjiUse).trimmed();
            f.amountRounding = s.text(CustField::AmountRounding).trimmed();
            f.taxRounding = s.text(CustField::TaxRounding).trimmed();
            const auto code = [&](const char* kind, CustField field) {
                const CodeEntry* e = m_codes.find(kCodeFormat, QLatin1String(kind), s.text(field).trimmed());
                return e ? e->code : QString();
            };
            f.consumptionTaxKind = code("02", CustField::ConsumptionTaxKind);
            f.taxationKind = code("03", CustField::TaxationKind);
            f.priceDisplayKind = code("04", CustField::PriceDisplayKind);
        }
    }
    // Choices the sample leaves open.
    const auto valid = [](const QString& v, const char* allowed) {
        return !v.isEmpty() && QByteArray(allowed).contains(v.toLatin1());
    };
    if (!valid(f.outputKind, "123"))
        f.outputKind = QStringLiteral("1");
    if (m_protocol == Protocol::Eiaj) {
        if (!valid(f.kanjiUse, "01"))
            f.kanjiUse = QStringLiteral("1");
        if (!valid(f.amountRounding, "123"))
            f.amountRounding = QStringLiteral("1");
        if (!valid(f.taxRounding, "123"))
            f.taxRounding = QStringLiteral("1");
    }
}

short CustomerSession::startChange()
{
    if (m_selected < 0)
        return 505;
    m_mode = CustomerMode::Change;
    m_outputKindBefore = m_store.read(m_rows[m_selected].recordNumber).text(CustField::OutputKind).trimmed();
    return 0;
}

short CustomerSession::startDelete()
{
    if (m_selected < 0)
        return 500;
    m_mode = CustomerMode::Delete;
    return 0;
}

QStringList CustomerSession::deletionLead() const
{
    if (m_selected < 0)
        return {};
    const CustRecord r = m_store.read(m_rows[m_selected].recordNumber);
    const auto line = [&](const QString& caption, CustField code, CustField name) {
        return QStringLiteral("%1%2  %3").arg(caption, r.text(code).trimmed(), r.text(name).trimmed());
    };
    return {line(QStringLiteral("発注者 ："), CustField::OrdererCode, CustField::OrdererName),
            line(QStringLiteral("受注者 ："), CustField::SupplierCode, CustField::SupplierName)};
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
    const CustLock lock(m_store);
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
    if (const short refused = referenceCheck(true)) {
        outcome.message = refused;
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

short CustomerSession::referenceCheck(bool deleting) const
{
    const QString path = m_env.paths.delivPathFor(m_protocol);
    DeliveryStore data(path, *m_env.clock);
    data.open();
    const QString orderer = rtrim(m_form.ordererCode);
    const QString supplier = rtrim(m_form.supplierCode);
    for (int n = 1; n <= data.count(); ++n) {
        const DeliveryRecord r = data.read(n);
        if (!r.isLiveOf(m_protocol) || rtrim(r.text(DeliveryField::OrdererCode)) != orderer ||
            rtrim(r.text(DeliveryField::SupplierCode)) != supplier)
            continue;
        if (deleting)
            return 590;
        if (hasStatus(r.text(DeliveryField::Status), RecordStatus::Waiting))
            return 595;
    }
    return 0;
}

int CustomerSession::widthOfBox(const char* control) const
{
    const TextBox& box = textBox(control);
    return box.field ? widthOf(*box.field) : codeMaxLength();
}

bool CustomerSession::fits(const QString& control, QStringView text) const
{
    return cp932::byteLength(text.trimmed()) <= widthOfBox(control.toLatin1().constData());
}

std::optional<QString> CustomerSession::unstorable(const char* control) const
{
    const TextBox& box = textBox(control);
    const QString& typed = m_form.*box.member;
    const QString name = QString::fromUtf16(box.name);
    if (const QStringView c = firstUnstorable(typed); !c.isEmpty())
        return unstorableCharacterText(name, c, QStringLiteral("発注企業ファイル"));
    const int width = widthOfBox(control);
    if (cp932::byteLength(QStringView(typed).trimmed()) > width)
        return overLimitText(name, TextLimit{width, box.kanji ? width / 2 : 0});
    return std::nullopt;
}

CustomerOutcome CustomerSession::check()
{
    CustomerForm& f = m_form;
    const bool eiaj = m_protocol == Protocol::Eiaj;
    const bool slips = outputsSlips(f.outputKind);
    const bool tags = outputsTags(f.outputKind);
    // A step refuses with its message, or, with none, in the program's words
    // for a text its box's field cannot hold.
    struct Step
    {
        std::function<bool()> fails;
        short message;
        const char* focus;
    };
    const auto storable = [](const char* control) { return Step{{}, 0, control}; };
    const Step steps[] = {
        {[&] { return blank(f.ordererCode); }, 510, "Text1"},
        {[&] { return CheckSingleByte(rtrim(f.ordererCode)) != 0; }, 512, "Text1"},
        storable("Text1"),
        {[&] { return blank(f.ordererName); }, 515, "Text2"},
        storable("Text2"),
        {[&] { return blank(f.supplierCode); }, 520, "Text3"},
        {[&] { return CheckSingleByte(rtrim(f.supplierCode)) != 0; }, 522, "Text3"},
        storable("Text3"),
        {[&] { return blank(f.supplierName); }, 525, "Text4"},
        storable("Text4"),
        {[&] { return eiaj && f.kanjiUse.isEmpty(); }, 545, "Option3"},
        {[&] { return eiaj && f.amountRounding.isEmpty(); }, 555, "Option8"},
        {[&] { return eiaj && f.taxRounding.isEmpty(); }, 560, "Option11"},
        {[&] { return eiaj && f.consumptionTaxKind.isEmpty(); }, 530, "Combo3"},
        {[&] { return eiaj && f.taxationKind.isEmpty(); }, 535, "Combo4"},
        {[&] { return eiaj && f.priceDisplayKind.isEmpty(); }, 540, "Combo5"},
        {[&] { return f.outputKind.isEmpty(); }, 550, "Option5"},
        {[&] { return m_mode == CustomerMode::Change && f.outputKind != m_outputKindBefore && referenceCheck(false); },
         595, "Option5"},
        {[&] { return slips && blank(f.slipFormFile); }, 565, "Text5"},
        storable("Text5"),
        {[&] { return !blank(f.slipFormFile) && !formFileExists(f.slipFormFile); }, 567, "Text5"},
        {[&] { return slips && blank(f.slipDigits); }, 570, "Text7"},
        storable("Text7"),
        {[&] {
             const auto d = digitCount(f.slipDigits);
             return (slips && d && *d == 0) || (!blank(f.slipDigits) && !d);
         },
         572, "Text7"},
        {[&] { return tags && blank(f.tagFormFile); }, 575, "Text6"},
        storable("Text6"),
        {[&] { return !blank(f.tagFormFile) && !formFileExists(f.tagFormFile); }, 577, "Text6"},
        {[&] { return tags && blank(f.tagDigits); }, 580, "Text8"},
        storable("Text8"),
        {[&] {
             const auto d = digitCount(f.tagDigits);
             return (tags && d && *d == 0) || (!blank(f.tagDigits) && !d);
         },
         582, "Text8"},
        // The comment's own message names what it holds.
        {[&] { return unstorable("Text9").has_value(); }, kMsgCommentNotStorable, "Text9"},
        {[&] {
             return m_mode == CustomerMode::New &&
                    m_store.lookup(m_protocol, f.ordererCode.trimmed(), f.supplierCode.trimmed()) != 0;
         },
         585, "Text1"},
    };
    for (const Step& step : steps) {
        if (step.message == 0) {
            if (std::optional<QString> why = unstorable(step.focus))
                return {false, 0, *why, QLatin1String(step.focus)};
        } else if (step.fails()) {
            return {false, step.message, {}, QLatin1String(step.focus)};
        }
    }
    return {};
}

CustRecord CustomerSession::buildRecord() const
{
    const CustomerForm& f = m_form;
    const bool eiaj = m_protocol == Protocol::Eiaj;
    CustRecord r;
    r.setProtocol(m_protocol);
    r.setText(CustField::OrdererCode, rtrim(f.ordererCode.trimmed()).left(codeMaxLength()));
    r.setText(CustField::SupplierCode, rtrim(f.supplierCode.trimmed()).left(codeMaxLength()));
    r.setText(CustField::OrdererName, f.ordererName.trimmed()); // the checks keep it within 50 bytes
    r.setText(CustField::SupplierName, f.supplierName.trimmed());
    r.setText(CustField::OutputKind, f.outputKind);
    r.setText(CustField::SlipFormFile, f.slipFormFile.trimmed());
    r.setText(CustField::TagFormFile, f.tagFormFile.trimmed());
    const auto digits = [](const QString& text) {
        const auto d = digitCount(text);
        return QStringLiteral("%1").arg(d ? *d : 0, 2, 10, QLatin1Char('0'));
    };
    r.setText(CustField::SlipBarcodeDigits, digits(f.slipDigits));
    r.setText(CustField::TagBarcodeDigits, digits(f.tagDigits));
    r.setText(CustField::Comment, f.comment.trimmed());
    if (eiaj) {
        r.setText(CustField::KanjiUse, f.kanjiUse);
        r.setText(CustField::AmountRounding, f.amountRounding);
        r.setText(CustField::TaxRounding, f.taxRounding);
        r.setText(CustField::ConsumptionTaxKind, f.consumptionTaxKind.left(1));
        r.setText(CustField::TaxationKind, f.taxationKind.left(1));
        r.setText(CustField::PriceDisplayKind, f.priceDisplayKind.left(1));
    } else {
        // A KORVAN company has no kanji, rounding or tax settings of its own.
        r.setText(CustField::KanjiUse, u"0");
        r.setText(CustField::PriceDisplayKind, u"1");
        r.setText(CustField::ConsumptionTaxKind, u" ");
        r.setText(CustField::TaxationKind, u" ");
        r.setText(CustField::AmountRounding, u" ");
        r.setText(CustField::TaxRounding, u" ");
    }
    return r;
}

CustomerOutcome CustomerSession::ok()
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
    if (m_mode == CustomerMode::Change && m_form.outputKind != m_outputKindBefore)
        dataLock.emplace(m_env.paths.delivPathFor(m_protocol), DeliveryStore::label());
    const CustLock lock(m_store);
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
            return {false, 10, {}, QStringLiteral("CustGrid")};
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
    outcome.focus = QStringLiteral("CustGrid");
    return outcome;
}

CustomerOutcome CustomerSession::cancel()
{
    const bool wasNew = m_mode == CustomerMode::New;
    m_mode = CustomerMode::Browse;
    showSelected();
    CustomerOutcome outcome;
    if (!wasNew)
        outcome.focus = QStringLiteral("CustGrid");
    else
        outcome.focus = m_protocol == Protocol::Eiaj ? QStringLiteral("Option1") : QStringLiteral("Option2");
    return outcome;
}

void CustomerSession::close()
{
    m_store.compact(m_env.paths.workCustPath);
}

} // namespace plx
