#include "OrderImport.h"

#include "ErrorList.h"
#include "OrderFileReader.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/Protocol.h"
#include "core/text/Cp932.h"
#include "core/text/Dates.h"
#include "core/text/Decimal.h"
#include "core/text/NumericText.h"
#include "core/text/VbFormat.h"

#include "core/FsName.h"
#include <QDir>

#include <QFileInfo>

namespace plx {

OrderImport::OrderImport(Context context, Protocol protocol) : m_ctx(context), m_protocol(protocol) {}

OrderImport::~OrderImport() = default;

void OrderImport::run(const QList<AcceptedFile>& files, int progressStart, int selected,
                      const ImportDriver::Progress& progress)
{
    int counter = progressStart;
    try {
        for (const AcceptedFile& file : files) {
            ++counter;
            if (progress)
                progress(counter, selected);
            importFile(file);
            if (m_stoppedEarly)
                return;
        }
    } catch (const RuntimeFailure& e) {
        if (e.hasLabel())
            throw;
        // A failure inside the import names the import.
        throw RuntimeFailure::labelled(m_protocol == Protocol::Eiaj ? QStringLiteral("EIAJﾃﾞｰﾀ処理/")
                                                                    : QStringLiteral("KORVANﾃﾞｰﾀ処理/"),
                                       e.description());
    }
}

void OrderImport::refuse(short code, const QString& item, const QString& orderer, const QString& supplier,
                         const QString& key)
{
    m_ctx.errors.writeEntry(code, m_fileName, item, m_record, orderer, supplier, key, m_class);
    if (m_record != m_lastRefused) {
        m_lastRefused = m_record;
        ++m_recordsRefused;
    }
}

void OrderImport::importFile(const AcceptedFile& file)
{
    m_ctx.errors.resetFileLevel();
    m_record = 0;
    m_lastRefused = 0;
    m_fileName = file.name;
    m_class = file.infoClass;
    const QString path = file.path;
    if (!fsname::isFile(path)) {
        m_ctx.errors.writeEntry(1, m_fileName, QString(), 0, QString(), QString(), QString(), QString());
        m_taken.append({path, 1});
        m_stoppedEarly = true;
        return;
    }
    const qint64 size = QFileInfo(path).size();
    if (size > ImportDriver::kMaxOrderFileBytes) {
        // Grown past the limit since the pre-check.
        m_ctx.errors.writeEntry(kFileTooLarge, m_fileName, ImportDriver::sizeText(size), 0, QString(), QString(),
                                QString(), QString());
    } else {
        readRecords(path);
    }
    m_taken.append({path, m_ctx.errors.fileCode()});
    if (m_ctx.errors.fileLevel() != ErrorList::FileLevel::FileRefused)
        m_movable.append(path);
}

void OrderImport::readRecords(const QString& path)
{
    // A line at a time: the file is never held whole.
    OrderFileReader reader;
    if (!reader.open(path))
        throw RuntimeFailure(QStringLiteral("受注ﾌｧｲﾙを読めません。(%1: %2)").arg(path, reader.errorString()));
    const auto malformed = [&] {
        m_ctx.errors.writeEntry(2, m_fileName, QString(), 0, QString(), QString(), QString(), QString());
    };
    // Reads the next line; false at the end of the file, or when a line too
    // long for an order record breaks the file there (refusal 002).
    QString line;
    bool broken = false;
    const auto read = [&] {
        switch (reader.next(line)) {
        case OrderFileReader::Result::Line:
            return true;
        case OrderFileReader::Result::End:
            return false;
        case OrderFileReader::Result::TooLong:
            broken = true;
            return false;
        case OrderFileReader::Result::Failed:
            break;
        }
        throw RuntimeFailure(QStringLiteral("受注ﾌｧｲﾙを読めません。(%1: %2)").arg(path, reader.errorString()));
    };

    ItemTable table;
    QStringList header;
    if (!read()) {
        if (broken)
            malformed();
        return;
    }
    // The first record: the header and the line after it, or one line in
    // the pair form.
    ++m_record;
    QString headerLine = line;
    bool bad = false;
    if (!read()) {
        if (broken) {
            malformed();
            return;
        }
        bad = table.loadPairs(headerLine);
    } else {
        header = splitCsvLine(headerLine);
        bad = header.size() > ItemTable::kCapacity || table.loadHeader(header, line);
    }
    headerLine.clear();
    if (bad || !findItems(table)) {
        malformed();
        return;
    }
    ++m_recordsRead;
    processRecord(table);
    while (read()) {
        ++m_record;
        if (line.isEmpty())
            continue;
        if (table.loadHeader(header, line)) {
            malformed();
            return;
        }
        ++m_recordsRead;
        processRecord(table);
    }
    if (broken)
        malformed();
}

std::optional<QString> OrderImport::dateItem(const QString& text) const
{
    static const QStringList absent = {"", "0", "00", "000", "0000", "00000", "000000"};
    if (absent.contains(text))
        return QString();
    // Up to six digits read as YYMMDD ("10315" is 01/03/15).
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const QString six = text.rightJustified(6, QLatin1Char('0'));
    const int yy = six.left(2).toInt();
    const int year = expandTwoDigitYear(yy, m_ctx.env.baseYear);
    if (!isValidDate(year, six.mid(2, 2).toInt(), six.mid(4, 2).toInt()))
        return std::nullopt;
    return QString::number(year / 100) + six;
}

std::optional<QString> OrderImport::quantityItem(const QString& text, const QString& pattern)
{
    if (!isNumericText(text))
        return std::nullopt;
    const auto value = Decimal::parse(text);
    if (!value || value->isNegative())
        return std::nullopt;
    const QString formatted = vbFormat(*value, pattern);
    // A value with more integer digits than the field holds would be cut.
    if (formatted.size() != pattern.size())
        return std::nullopt;
    return formatted;
}

bool OrderImport::fitsField(QStringView text, DeliveryField field)
{
    return cp932::byteLength(text) <= DeliveryRecord::field(field).width;
}

void OrderImport::takeOrderUpdate(DeliveryRecord& stored, const DeliveryRecord& order)
{
    static const DeliveryField taken[] = {DeliveryField::Kind,
                                          DeliveryField::OrdererCode,
                                          DeliveryField::SupplierCode,
                                          DeliveryField::DeliveryKeyNo,
                                          DeliveryField::Status,
                                          DeliveryField::UpdatedAt,
                                          DeliveryField::MessageKind,
                                          DeliveryField::SourceNo,
                                          DeliveryField::SourceDate,
                                          DeliveryField::SlipIssued,
                                          DeliveryField::TagIssued,
                                          DeliveryField::OrderNo,
                                          DeliveryField::InspectionClass,
                                          DeliveryField::BuyerName,
                                          DeliveryField::BuyerNameKanji,
                                          DeliveryField::ItemName,
                                          DeliveryField::ItemNameKanji,
                                          DeliveryField::ItemCode,
                                          DeliveryField::DueDate,
                                          DeliveryField::InstructedQty,
                                          DeliveryField::DeliveryPlace,
                                          DeliveryField::DeliveryPlaceKanji,
                                          DeliveryField::OrdererBarcodeInfo,
                                          DeliveryField::OrdererRemarks,
                                          DeliveryField::OrdererRemarksKanji};
    for (DeliveryField f : taken)
        stored.copyField(order, f);
}

bool OrderImport::inspectionCodeKnown(const QString& code) const
{
    // The table's look-up trims what it is given; the codes it holds are
    // trimmed, so only a value without surrounding white space can match.
    if (code != code.trimmed())
        return false;
    const CodeEntry* e = m_ctx.codes.find(m_protocol, QStringLiteral("01"), code);
    return e && !e->name.trimmed().isEmpty();
}

} // namespace plx
