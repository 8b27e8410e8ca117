#include "OrderImport.h"

#include "ErrorList.h"

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

namespace {

// The lines of a text: CR LF, CR or LF end a line; a line end at the very end
// does not start another line.
QStringList textLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

} // namespace

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
    m_ctx.errors.ERR_OUT(code, m_fileName, item, m_record, orderer, supplier, key, m_class);
}

void OrderImport::importFile(const AcceptedFile& file)
{
    m_ctx.errors.resetFileLevel();
    m_record = 0;
    m_fileName = file.name;
    m_class = file.infoClass;
    const QString path = file.path;
    if (!fsname::isFile(path)) {
        m_ctx.errors.ERR_OUT(1, m_fileName, QString(), 0, QString(), QString(), QString(), QString());
        m_taken.append({path, 1});
        m_stoppedEarly = true;
        return;
    }
    const QStringList lines = textLines(cp932::decode(fileutil::readAll(path)));
    ItemTable table;
    QStringList header;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ++m_record;
        bool malformed = false;
        const bool first = i == 0;
        if (first) {
            header = splitCsvLine(lines[0]);
            if (lines.size() == 1) {
                malformed = table.loadPairs(lines[0]);
            } else {
                ++i;
                malformed = header.size() > ItemTable::kCapacity || table.loadHeader(header, lines[i]);
            }
        } else {
            if (lines[i].isEmpty())
                continue;
            malformed = table.loadHeader(header, lines[i]);
        }
        if (malformed) {
            m_ctx.errors.ERR_OUT(2, m_fileName, QString(), 0, QString(), QString(), QString(), QString());
            break;
        }
        if (first && !findItems(table)) {
            m_ctx.errors.ERR_OUT(2, m_fileName, QString(), 0, QString(), QString(), QString(), QString());
            break;
        }
        processRecord(table);
    }
    m_taken.append({path, m_ctx.errors.fileCode()});
    if (m_ctx.errors.fileLevel() != -1)
        m_movable.append(path);
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
