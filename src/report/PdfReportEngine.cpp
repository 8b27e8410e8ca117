#include "PdfReportEngine.h"

#include "LayoutJson.h"
#include "LayoutReader.h"
#include "LayoutSlots.h"
#include "PdfCompression.h"
#include "ReportDataFile.h"
#include "ReportLayout.h"
#include "ReportPainter.h"

#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <unistd.h>

namespace plx {

namespace {

// Device resolution of the PDF: bars are whole dots of 1/600 inch, which a 300,
// 600 or 1200 dpi printer reproduces without uneven bars.
constexpr int kPdfResolution = 600;

QString documentWord(PrintJob::Document document)
{
    return document == PrintJob::Document::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書");
}

// A company code as it may appear in a file name.
QString fileNamePart(const QString& text)
{
    QString part = text.trimmed();
    for (QChar& c : part) {
        if (c.isSpace() || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = u'_';
    }
    return part;
}

// The refusal of a print whose barcode cannot fit its area; `problem` names the item.
QString unfitBarcodeMessage(const QString& layoutPath, const QString& problem)
{
    return QStringLiteral("バーコードが帳票定義ファイルの枠に収まりません。(%1: %2)")
        .arg(QFileInfo(layoutPath).fileName(), problem);
}

// Paints every document onto `device`, sheet after sheet. Returns false when the
// painter cannot start on the device, or when a barcode does not fit its area (then
// `problem` names it).
bool paintDocuments(QPagedPaintDevice& device, const ReportLayout& layout, const QList<QStringList>& documents,
                    LineShaper& shaper, QString& problem)
{
    // Pages are deflated as they end and fonts when the painter ends: all inside.
    const FastPdfCompression fastCompression;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    ReportPainter report(painter, layout, &shaper);
    const int perSheet = layout.documentsPerSheet();
    for (qsizetype i = 0; i < documents.size(); ++i) {
        const int slot = int(i % perSheet);
        if (slot == 0 && i > 0)
            device.newPage();
        if (!report.paintDocument(slot, documents[i])) {
            problem = QStringLiteral("%1 件目のデータ、%2").arg(i + 1).arg(report.problem());
            painter.end();
            return false;
        }
    }
    return painter.end();
}

} // namespace

PdfReportEngine::PdfReportEngine(const Clock& clock, QString printerName)
    : m_clock(clock), m_printerName(printerName.trimmed())
{
}

QString PdfReportEngine::printFolder(const QString& dataPath)
{
    return QFileInfo(dataPath).absoluteDir().filePath(QStringLiteral("Print"));
}

QString PdfReportEngine::pdfStemFor(const PrintJob& job) const
{
    QString stem = documentWord(job.document);
    for (const QString& part : {fileNamePart(job.format), fileNamePart(job.ordererCode)}) {
        if (!part.isEmpty())
            stem += u'_' + part;
    }
    const QDateTime at = job.runStarted.isValid() && !job.reprint ? job.runStarted : m_clock.now();
    stem += u'_' + at.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (job.group > 0)
        stem += u'_' + QString::number(job.group);
    return job.reprint ? QStringLiteral("再発行_") + stem : stem;
}

QString PdfReportEngine::plannedPdfPath(const PrintJob& job) const
{
    // The first name print() tries; a taken one makes it try others.
    return QDir(printFolder(job.dataPath)).filePath(pdfStemFor(job) + QStringLiteral(".pdf"));
}

int PdfReportEngine::documentsPerSheet(const QString& layoutPath) const
{
    QString error;
    return slotsPerSheet(layoutPath, error);
}

QStringList PdfReportEngine::availablePrinters() const
{
    return QPrinterInfo::availablePrinterNames();
}

bool PdfReportEngine::hasPrinter(const QString& name) const
{
    return !name.trimmed().isEmpty() && !QPrinterInfo::printerInfo(name.trimmed()).isNull();
}

bool PdfReportEngine::readLayout(const QString& path, ReportLayout& layout, QString& error)
{
    QByteArray bytes;
    if (!LayoutJson::load(path, bytes, error))
        return false;
    for (const ParsedLayout& parsed : std::as_const(m_parsedLayouts)) {
        if (parsed.path == path && parsed.bytes == bytes) {
            layout = *parsed.layout;
            return true;
        }
    }
    if (!LayoutReader::parse(bytes, QFileInfo(path).fileName(), layout, error))
        return false;
    // A slip and a tag layout, or a few of each: the oldest goes first.
    constexpr qsizetype kKept = 8;
    if (m_parsedLayouts.size() >= kKept)
        m_parsedLayouts.removeFirst();
    m_parsedLayouts.append({path, bytes, std::make_shared<const ReportLayout>(layout)});
    return true;
}

bool PdfReportEngine::print(const PrintJob& job, QString& error)
{
    const bool toPrinter = !m_printerName.isEmpty() && !job.pdfOnly;
    ReportLayout layout;
    if (!readLayout(job.layoutPath, layout, error))
        return false;
    QList<QStringList> documents;
    if (!ReportDataFile::read(job.dataPath, documents, error))
        return false;
    if (documents.isEmpty()) {
        error = QStringLiteral("印刷するデータがありません。(%1)").arg(QFileInfo(job.dataPath).fileName());
        return false;
    }
    // A named printer that is not there: refuse before anything is written, so the
    // records are not taken as printed.
    if (toPrinter && QPrinterInfo::printerInfo(m_printerName).isNull()) {
        error = QStringLiteral("プリンタ「%1」が見つかりません。環境設定のプリンタ名を確認してください。")
                    .arg(m_printerName);
        return false;
    }

    // A barcode that cannot fit its area is never printed cut: the print is refused
    // before anything is written, at the PDF's resolution and at the printer's.
    QString problem = ReportPainter::findUnfitBarcode(layout, documents, kPdfResolution / 25.4);
    if (problem.isEmpty() && toPrinter) {
        const QPrinter printer(QPrinterInfo::printerInfo(m_printerName), QPrinter::HighResolution);
        problem = ReportPainter::findUnfitBarcode(layout, documents, printer.resolution() / 25.4);
    }
    if (!problem.isEmpty()) {
        error = unfitBarcodeMessage(job.layoutPath, problem);
        return false;
    }

    const QString folder = printFolder(job.dataPath);
    if (!fileutil::makeFolder(folder)) {
        error = QStringLiteral("印刷ファイルのフォルダを作成できません。(%1)").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // Written whole under a work name first; named only when complete.
    const QString stem = pdfStemFor(job);
    QString workPath;
    QString why;
    const int fd = fileutil::createUniqueFile(folder, u'.' + stem + u'.', workPath, why);
    if (fd < 0) {
        error = QStringLiteral("印刷ファイルを作成できません。(%1: %2)")
                    .arg(QDir::toNativeSeparators(QDir(folder).filePath(stem + QStringLiteral(".pdf"))), why);
        return false;
    }
    QFile file;
    const auto discard = [&] {
        file.close();
        QFile::remove(workPath);
    };
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        QFile::remove(workPath);
        error = QStringLiteral("印刷ファイルを作成できません。(%1: %2)")
                    .arg(QDir::toNativeSeparators(workPath), file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout.pageLayout());
        QStringList title{documentWord(job.document), job.format.trimmed(), job.ordererCode.trimmed(),
                          job.ordererName.trimmed()};
        title.removeAll(QString());
        if (job.reprint)
            title.prepend(QStringLiteral("再発行 ") + m_clock.now().toString(QStringLiteral("yyyy/MM/dd")));
        writer.setTitle(title.join(u' '));
        writer.setCreator(QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"));
        if (!paintDocuments(writer, layout, documents, m_shaper, problem)) {
            discard();
            error = problem.isEmpty()
                        ? QStringLiteral("印刷ファイルに書き込めません。(%1)").arg(QDir::toNativeSeparators(workPath))
                        : unfitBarcodeMessage(job.layoutPath, problem);
            return false;
        }
    }
    if (!file.flush() || ::fsync(int(file.handle())) != 0) {
        error = QStringLiteral("印刷ファイルを保存できません。(%1: %2)")
                    .arg(QDir::toNativeSeparators(workPath), file.errorString());
        discard();
        return false;
    }
    file.close();
    QString pdfPath;
    try {
        pdfPath = fileutil::publishExclusively(workPath, folder, stem, QStringLiteral(".pdf"));
    } catch (const RuntimeFailure& failure) {
        error = QStringLiteral("印刷ファイルを保存できません。") + failure.description();
        return false;
    }
    m_lastPdfPath = pdfPath;
    m_lastDocumentCount = int(documents.size());
    m_lastSheetCount = int((documents.size() + layout.documentsPerSheet() - 1) / layout.documentsPerSheet());

    if (toPrinter)
        return printToPrinter(job, layout, documents, error);
    return true;
}

bool PdfReportEngine::printToPrinter(const PrintJob& job, const ReportLayout& layout,
                                     const QList<QStringList>& documents, QString& error) const
{
    QPrinter printer(QPrinterInfo::printerInfo(m_printerName), QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(layout.pageLayout());
    printer.setDocName(documentWord(job.document) + u' ' + job.ordererCode.trimmed());
    QString problem;
    if (!printer.isValid() || !paintDocuments(printer, layout, documents, m_shaper, problem)) {
        error = QStringLiteral("プリンタ「%1」に印刷できませんでした。印刷ファイルは %2 にあります。")
                    .arg(m_printerName, QDir::toNativeSeparators(m_lastPdfPath));
        return false;
    }
    return true;
}

} // namespace plx
