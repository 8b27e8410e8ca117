#pragma once

#include "core/text/Cp932.h"
#include "output/DocumentColumns.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace plx::test {

// A value blank-padded to `width` bytes of CP932, as the data files keep fixed-width values.
inline QString fixed(const QString& text, int width)
{
    return text + QString(std::max<qsizetype>(0, width - cp932::byteLength(text)), u' ');
}

// One line of a print data file: quoted values (quotes doubled), commas, CR LF, CP932.
inline QByteArray dataLine(const QStringList& values)
{
    QStringList quoted;
    for (QString value : values)
        quoted.append(u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"');
    return cp932::encode(quoted.join(u',')) + "\r\n";
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The values of one document, addressed by 1-based column like the layouts.
struct DataLine
{
    QStringList values;

    DataLine& set(int column, const QString& value)
    {
        values.resize(std::max<qsizetype>(values.size(), column));
        values[column - 1] = value;
        return *this;
    }
    const QString& at(int column) const { return values[column - 1]; }
    DataLine& set(SlipColumn column, const QString& value) { return set(columnNumber(column), value); }
    DataLine& set(TagColumn column, const QString& value) { return set(columnNumber(column), value); }
    const QString& at(SlipColumn column) const { return at(columnNumber(column)); }
    const QString& at(TagColumn column) const { return at(columnNumber(column)); }

    // Readable lines and data of the "Z", "3N3", "3N4" and "3N5" symbols from
    // column `first` (the key's readable text) on.
    DataLine& barcodes(int first, const QString& key, const QString& line1, const QString& line2, const QString& line3)
    {
        set(first, QStringLiteral("(Z)") + key).set(first + 1, QStringLiteral("Z") + key);
        const QString lines[] = {line1, line2, line3};
        for (int n = 0; n < 3; ++n) {
            set(first + 2 + 2 * n, QStringLiteral("(3N)%1").arg(n + 3) + lines[n]);
            set(first + 3 + 2 * n, QStringLiteral("3N%1").arg(n + 3) + lines[n]);
        }
        return *this;
    }
};

// A delivery slip as the slip output writes it (kSlipColumnCount columns); `n`
// varies key, item and quantities.
inline DataLine slipLine(int n = 1)
{
    const QString key = QStringLiteral("10285126120700%1").arg(n, 2, 10, QLatin1Char('0'));
    const QString item = QStringLiteral("RC0603FR-07%1KL").arg(n * 10);
    const QString qty = QString::number(n * 2500);
    const QString lot = QStringLiteral("LOT2612A%1").arg(n);
    const QStringList values =
        QStringLiteral("102851|株式会社東和電機製作所　横浜事業所|S00421|株式会社メリディア電子|%1|PO-2612-003%2|"
                       "第二工場　資材受入|山田|%3|チップ抵抗器　０６０３　１０ｋΩ　±１％　テーピング品|"
                       "梱包は防湿袋でお願いします。納入時に検査成績書を添付のこと。|A12|26/12/10|%4|%4|受入|PCS|"
                       "26/12/07|26/12/08|%4|分納 1/2 残数は12/20納入予定|%5|0|000/000|0 |1.25|%6|%7|%8|      ")
            .arg(key, QString::number(n).rightJustified(2, u'0'), item, qty, lot, QString::number(n * 3125),
                 QString::number(n * 312), QString::number(n * 3437))
            .split(u'|');
    // Columns 1 to 30 (SlipColumn::Blanks) in order, then the byte widths of the
    // fixed-width ones; 0 for values written as they are.
    const int widths[] = {12, 50, 12, 50, 23, 23, 40, 14, 25, 60, 100, 23, 0, 0, 0,
                          4,  3,  0,  0,  0,  50, 23, 0,  0,  0,  0,   0,  0, 0, 0};
    DataLine line;
    for (int i = 0; i < values.size(); ++i)
        line.values.append(widths[i] > 0 ? fixed(values[i], widths[i]) : values[i]);
    static_assert(std::size(widths) == columnNumber(SlipColumn::Blanks));
    return line
        .barcodes(columnNumber(SlipColumn::KeyBarcodeText), key, key + u' ' + qty + u' ', item + QStringLiteral("  "),
                  QStringLiteral("A12 ") + lot)
        .set(SlipColumn::CurrencyNote, QString());
}

// A shipping tag (kTagColumnCount columns), tag `number` of `total`, with the record data of
// slipLine(number) so that no two tags carry the same barcodes.
inline DataLine tagLine(int number, int total)
{
    const DataLine slip = slipLine(number);
    const QString pack = QString::number(100 * number);
    DataLine line{slip.values.mid(0, columnNumber(SlipColumn::ItemCode))}; // the first nine are the same
    line.set(TagColumn::ItemCodeAgain, slip.at(SlipColumn::ItemCode))
        .set(TagColumn::ItemName, slip.at(SlipColumn::ItemName))
        .set(TagColumn::OrdererRemarks, slip.at(SlipColumn::OrdererRemarks))
        .set(TagColumn::OrdererRemarksSingleByte, QStringLiteral(" "));
    // Barcode information to supplier remarks run alike on both.
    for (int i = 0; i <= columnNumber(SlipColumn::SupplierRemarks) - columnNumber(SlipColumn::OrdererBarcodeInfo); ++i)
        line.set(columnNumber(TagColumn::OrdererBarcodeInfo) + i,
                 slip.at(columnNumber(SlipColumn::OrdererBarcodeInfo) + i));
    line.set(TagColumn::SupplierBarcodeInfo, slip.at(SlipColumn::SupplierBarcodeInfo))
        .set(TagColumn::PackageQty, pack)
        .set(TagColumn::TagNumber, fixed(QStringLiteral("%1/%2").arg(number).arg(total), 7));
    line.set(TagColumn::TagCount, QString::number(total)).set(TagColumn::Blanks, QStringLiteral("      "));
    const QString key = slip.at(SlipColumn::DeliveryKeyNo).trimmed();
    return line.barcodes(columnNumber(TagColumn::KeyBarcodeText), key, key + u' ' + slip.at(SlipColumn::ShipQty) + u' ',
                         slip.at(SlipColumn::ItemCode).trimmed() + u' ' + pack + u' ',
                         QStringLiteral("A12 ") + slip.at(SlipColumn::SupplierBarcodeInfo).trimmed());
}

inline QByteArray linesOf(const QList<DataLine>& lines)
{
    QByteArray bytes;
    for (const DataLine& line : lines)
        bytes += dataLine(line.values);
    return bytes;
}

inline QString layoutPath(const QString& fileName)
{
    return QStringLiteral(PLX90_LAYOUTS_DIR "/") + fileName;
}

inline bool haveTools(const QStringList& programs)
{
    return std::all_of(programs.begin(), programs.end(),
                       [](const QString& p) { return !QStandardPaths::findExecutable(p).isEmpty(); });
}

// Runs a tool and returns its standard output (empty when it is missing or fails).
inline QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pdfPageCount(const QString& pdfPath)
{
    const QStringList info =
        runTool(QStringLiteral("pdfinfo"), {pdfPath}).split(u'\n').filter(QStringLiteral("Pages:"));
    return info.isEmpty() ? -1 : info[0].mid(6).trimmed().toInt();
}

// Rasterises every page of a PDF to `prefix`-N.png; returns the images' paths in page order.
inline QStringList rasterise(const QString& pdfPath, const QString& prefix, int dpi)
{
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), pdfPath, prefix});
    const QFileInfo base(prefix);
    QStringList pages;
    for (const QFileInfo& file :
         QDir(base.absolutePath()).entryInfoList({base.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name))
        pages.append(file.absoluteFilePath());
    return pages;
}

// The data of every Code 39 symbol zbarimg finds in an image, sorted.
inline QStringList scanBarcodes(const QString& imagePath)
{
    QString out =
        runTool(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"),
                                            QStringLiteral("-Scode39.enable"), imagePath});
    out.chop(out.endsWith(u'\n') ? 1 : 0);
    QStringList found = out.isEmpty() ? QStringList() : out.split(u'\n');
    found.sort();
    return found;
}

} // namespace plx::test
