#include "Installer.h"

#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/Registry.h"
#include "core/text/Cp932.h"
#include "store/CodeTable.h"
#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plx {
namespace {

QByteArray sourceBytes(const QString& name)
{
    QFile file(Installer::sourceFolder() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(QStringLiteral("インストール用データがありません。(%1)").arg(file.fileName()));
    return file.readAll();
}

QString resourceText(const QString& name)
{
    return QString::fromUtf8(sourceBytes(name));
}

// The lines of a source text, without line ends and without empty lines.
QStringList sourceLines(const QString& text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

// Text for CP932 files: CR LF line ends, and every character representable.
QByteArray toCp932Text(const QString& text, const QString& source)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray bytes = cp932::encode(crlf);
    if (cp932::decode(bytes) != crlf)
        throw RuntimeFailure(
            QStringLiteral("インストール用データにシフトJISで表せない文字があります。(%1)").arg(source));
    return bytes;
}

} // namespace

QString Installer::sourceFolder()
{
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                                  QStringLiteral(PLX90_DATA_DIR_FROM_PROGRAMS));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return QStringLiteral(":/data");
}

Installer::Installer(Registry& registry, Options options) : m_registry(registry), m_options(std::move(options)) {}

QByteArray Installer::messageCatalogBytes()
{
    return toCp932Text(resourceText(QStringLiteral("messages.csv")), QStringLiteral("messages.csv"));
}

QByteArray Installer::codeTableBytes()
{
    const QStringList lines = sourceLines(resourceText(QStringLiteral("codes.tsv")));
    QByteArray out;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        if (cells.size() < 4)
            throw RuntimeFailure(QStringLiteral("コード情報の行が正しくありません。(codes.tsv %1行目)").arg(i + 1));
        const CodeEntry entry{cells[0], cells[1], cells[2], cells[3], cells.value(4)};
        out += CodeTable::makeRecord(entry);
    }
    return out;
}

QByteArray Installer::custFileBytes(const QString& resource)
{
    const QStringList lines = sourceLines(resourceText(resource));
    if (lines.isEmpty())
        return {};
    const QStringList header = lines.first().split(QLatin1Char('\t'));
    QList<std::optional<CustField>> columns;
    for (const QString& name : header) {
        const auto field = CustRecord::fieldByName(name.trimmed());
        if (!field)
            throw RuntimeFailure(
                QStringLiteral("発注企業データの項目名が正しくありません。(%1: %2)").arg(resource, name));
        columns.append(field);
    }
    QByteArray out;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        CustRecord record;
        for (qsizetype c = 0; c < columns.size() && c < cells.size(); ++c)
            record.setText(*columns[c], cells[c]);
        if (!record.protocol())
            throw RuntimeFailure(
                QStringLiteral("発注企業データのﾌﾟﾛﾄｺﾙが正しくありません。(%1 %2行目)").arg(resource).arg(i + 1));
        for (CustField digits : {CustField::SlipBarcodeDigits, CustField::TagBarcodeDigits}) {
            if (record.text(digits).trimmed().isEmpty())
                record.setText(digits, QStringLiteral("00"));
        }
        out += record.bytes();
    }
    return out;
}

QByteArray Installer::demoDeliveryBytes(Protocol protocol, const QDateTime& stamp)
{
    const QString source = QStringLiteral("demo/deliveries.tsv");
    const QStringList lines = sourceLines(resourceText(source));
    if (lines.isEmpty())
        return {};
    // The first column names the data file ("E" or "K"), the others are fields;
    // a column "Tags" lists the tag lines as "quantity:count;quantity:count".
    QList<DeliveryField> columns;
    const QStringList header = lines.first().split(QLatin1Char('\t'));
    const qsizetype tagsColumn = header.indexOf(QStringLiteral("Tags")) - 1;
    for (const QString& name : header.mid(1)) {
        if (name == QLatin1String("Tags")) {
            columns.append(DeliveryField::TagLines); // placeholder, filled below
            continue;
        }
        const auto field = DeliveryRecord::fieldByName(name.trimmed());
        if (!field)
            throw RuntimeFailure(QStringLiteral("納品書データの項目名が正しくありません。(%1: %2)").arg(source, name));
        columns.append(*field);
    }
    QByteArray out;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList cells = lines[i].split(QLatin1Char('\t'));
        const bool eiajFile = cells.takeFirst() == QLatin1String("E");
        if (eiajFile != (protocol == Protocol::Eiaj))
            continue;
        // What an imported record holds where the source says nothing: the
        // zero texts of the numbers, no dates of shipment, and the fields the
        // format's import fills on its own.
        const bool eiaj = protocol == Protocol::Eiaj;
        DeliveryRecord r;
        r.setText(DeliveryField::MessageKind, eiaj ? u"0502" : u"D10");
        r.setText(DeliveryField::SourceNo, eiaj ? u"00001" : u"");
        r.setText(DeliveryField::SlipIssued, u"0");
        r.setText(DeliveryField::TagIssued, u"0");
        r.setText(DeliveryField::SourceFlag, u"00");
        if (eiaj) {
            r.setText(DeliveryField::Currency, u"JPY");
            r.setText(DeliveryField::UnitPriceX, DeliveryRecord::kZeroPriceX);
        } else {
            r.setText(DeliveryField::BcOutputClass, u"1");
            r.setText(DeliveryField::PriceDisplayClass, u"1");
        }
        r.setText(DeliveryField::UnitPrice, DeliveryRecord::kZeroPrice);
        for (DeliveryField f : {DeliveryField::OrderQty, DeliveryField::InstructedQty, DeliveryField::ShipQty})
            r.setText(f, DeliveryRecord::kZeroQty);
        for (DeliveryField f : {DeliveryField::AmountExclTax, DeliveryField::TaxAmount, DeliveryField::AmountInclTax})
            r.setText(f, DeliveryRecord::kZeroAmount);
        for (DeliveryField f :
             {DeliveryField::AmountExclTaxX, DeliveryField::TaxAmountX, DeliveryField::AmountInclTaxX})
            r.setText(f, DeliveryRecord::kZeroAmountX);
        r.clearTagLines();
        for (qsizetype c = 0; c < columns.size() && c < cells.size(); ++c) {
            if (c == tagsColumn)
                continue;
            // A value is never cut or changed on its way into the record.
            const QByteArray bytes = cp932::encode(cells[c]);
            if (cp932::decode(bytes) != cells[c] || bytes.size() > DeliveryRecord::field(columns[c]).width)
                throw RuntimeFailure(QStringLiteral("納品書データの値が項目に収まりません。(%1 %2行目 %3)")
                                         .arg(source)
                                         .arg(i + 1)
                                         .arg(header.value(c + 1)));
            r.setText(columns[c], cells[c]);
        }
        if (tagsColumn >= 0 && tagsColumn < cells.size()) {
            int line = 0;
            for (const QString& tag : cells[tagsColumn].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const QStringList parts = tag.split(QLatin1Char(':'));
                if (parts.size() == 2 && ++line <= DeliveryRecord::kTagLineCount)
                    r.setTagLine(line, QStringLiteral("%1.000").arg(parts[0].toInt(), 9, 10, QLatin1Char('0')),
                                 QStringLiteral("%1").arg(parts[1].toInt(), 2, 10, QLatin1Char('0')));
            }
        }
        r.stamp(stamp);
        out += r.bytes();
    }
    return out;
}

QByteArray Installer::helpPageBytes()
{
    return toCp932Text(resourceText(QStringLiteral("help/H7120001.htm")), QStringLiteral("H7120001.htm"));
}

void Installer::writeDataFile(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo::exists(path) && !m_options.force) {
        m_report << QStringLiteral("そのまま: %1").arg(path);
        return;
    }
    fileutil::writeAtomically(path, bytes);
    m_report << QStringLiteral("作成: %1").arg(path);
}

void Installer::writeSetting(const QString& name, const QString& value, bool always)
{
    QString current;
    const qint32 readRc = m_registry.regGetValue(kRegistryKey, name, current);
    if (readRc != RegOk)
        throw RuntimeFailure(name + QLatin1Char('/') + Registry::regErrorText(readRc));
    // An empty value reads like an absent one: both get the default.
    if (!always && !m_options.force && !current.isEmpty())
        return;
    const qint32 rc = m_registry.regPutValue(kRegistryKey, name, value);
    if (rc != RegOk)
        throw RuntimeFailure(name + QLatin1Char('/') + Registry::regErrorText(rc));
}

void Installer::refuseToRepoint(const QString& base)
{
    QString current;
    const qint32 rc = m_registry.regGetValue(kRegistryKey, QStringLiteral("InstallBasePath"), current);
    if (rc != RegOk)
        throw RuntimeFailure(QStringLiteral("InstallBasePath/") + Registry::regErrorText(rc));
    // The stored base may end in a separator, as start-up allows.
    QString stored = current;
    while (stored.size() > 1 && (stored.endsWith(QLatin1Char('/')) || stored.endsWith(QLatin1Char('\\'))))
        stored.chop(1);
    if (m_options.force || stored.isEmpty() || QDir::cleanPath(QDir(stored).absolutePath()) == QDir::cleanPath(base))
        return;
    // The settings name another installation, whose data the clerks work on:
    // turning them to a new one is a choice the caller makes with --force.
    throw RuntimeFailure(QStringLiteral("設定は既に別のインストール先を指しています: %1\n"
                                        "（設定ファイル %2）\n"
                                        "%3 に切り替えるには --force を付けてください"
                                        "（既存のファイルと設定は上書きされます）。")
                             .arg(current, m_registry.filePath(), base));
}

bool Installer::run()
{
    try {
        if (m_options.base.isEmpty())
            throw RuntimeFailure(QStringLiteral("インストール先のフォルダを指定してください。"));
        const QString base = QDir(m_options.base).absolutePath();
        refuseToRepoint(base);
        const QString root = base + QStringLiteral("/Plx90We");
        for (const char* folder : {"Prg", "Usr", "Log", "Dust", "Sample", "Help"}) {
            const QString path = root + QLatin1Char('/') + QLatin1String(folder);
            // Below a folder the accounts of a desk share, shared as it is.
            if (!fileutil::makeFolder(path))
                throw RuntimeFailure(QStringLiteral("フォルダを作成できません。(%1)").arg(path));
        }

        writeDataFile(root + QStringLiteral("/Prg/Msg.DAT"), messageCatalogBytes());
        writeDataFile(root + QStringLiteral("/Prg/Code.DAT"), codeTableBytes());
        writeDataFile(root + QStringLiteral("/Sample/Cust.DAT"), custFileBytes(QStringLiteral("customers-sample.tsv")));
        writeDataFile(root + QStringLiteral("/Help/H7120001.htm"), helpPageBytes());
        // The sample report layouts the companies name.
        const QDir layouts(sourceFolder() + QStringLiteral("/layouts"));
        for (const QString& name : layouts.entryList({QStringLiteral("*.agr")}, QDir::Files))
            writeDataFile(root + QStringLiteral("/Usr/") + name, sourceBytes(QStringLiteral("layouts/") + name));
        if (m_options.demo) {
            const QDateTime now = QDateTime::currentDateTime();
            writeDataFile(root + QStringLiteral("/Usr/Cust.DAT"), custFileBytes(QStringLiteral("demo/customers.tsv")));
            writeDataFile(root + QStringLiteral("/Prg/E_Deliv.dat"), demoDeliveryBytes(Protocol::Eiaj, now));
            writeDataFile(root + QStringLiteral("/Prg/K_Deliv.dat"), demoDeliveryBytes(Protocol::Korvan, now));
        }
        // The settings last: a store never names an installation whose files
        // could not all be written.
        writeSetting(QStringLiteral("ApUse"), m_options.apUse, m_options.apUseGiven);
        writeSetting(QStringLiteral("LogPointer"), QStringLiteral("0"));
        writeSetting(QStringLiteral("LogCount"), QStringLiteral("1000"));
        writeSetting(QStringLiteral("Nifuda"), QStringLiteral("10"));
        writeSetting(QStringLiteral("BaseYear"), QStringLiteral("50"));
        writeSetting(QStringLiteral("InstallBasePath"), base, true);
        writeSetting(QStringLiteral("CheckSpec"), QStringLiteral("0"));
        writeSetting(QStringLiteral("ExcurrentVersion"), QStringLiteral("1.00"));
        writeSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.*"));
        writeSetting(QStringLiteral("KoRFileName"), QStringLiteral("*.*"));
        writeSetting(QStringLiteral("FileMove"), QStringLiteral("1"));
        writeSetting(QStringLiteral("MakeMode"), QStringLiteral("1"));
        return true;
    } catch (const RuntimeFailure& e) {
        m_error = e.description();
        return false;
    }
}

} // namespace plx
