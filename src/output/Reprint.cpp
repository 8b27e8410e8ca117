#include "Reprint.h"

#include "core/Environment.h"
#include "core/FileUtil.h"
#include "core/ReportControl.h"

#include <QFile>

#include <unistd.h>

namespace plx {

namespace {

// A work file of this reprint in `folder`, holding `bytes`; removed when it
// goes out of scope. The report engine writes its PDF to "Print" beside the
// data file, so the data's work file lies in the user folder as the run's
// own data files do.
class WorkFile
{
public:
    WorkFile(const QString& folder, const QString& prefix, const QByteArray& bytes, QString& error)
    {
        const int fd = fileutil::createUniqueFile(folder, prefix, m_path, error);
        if (fd < 0)
            return;
        qsizetype written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
            if (n <= 0) {
                error = QStringLiteral("再発行の作業ﾌｧｲﾙを書き込めません。(%1)").arg(m_path);
                break;
            }
            written += n;
        }
        ::close(fd);
        m_ok = written == bytes.size();
    }
    ~WorkFile()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool ok() const { return m_ok; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_ok = false;
};

bool sameJob(const ReprintDocument& a, const ReprintDocument& b)
{
    return a.protocol == b.protocol && a.document == b.document && a.layout == b.layout &&
           a.ordererCode == b.ordererCode;
}

} // namespace

QStringList reprintDocuments(Environment& env, ReportControl& report, const QList<ReprintDocument>& documents,
                             bool toPrinter, QString& error)
{
    QStringList pdfs;
    for (qsizetype first = 0; first < documents.size();) {
        qsizetype end = first + 1;
        while (end < documents.size() && sameJob(documents.at(first), documents.at(end)))
            ++end;
        const ReprintDocument& d = documents.at(first);
        QByteArray data;
        for (qsizetype i = first; i < end; ++i)
            data += documents.at(i).dataLines;
        const WorkFile layout(env.paths.usrFolder, QStringLiteral(".reprint-layout."), d.layout, error);
        if (!layout.ok())
            return pdfs;
        const WorkFile lines(env.paths.usrFolder, QStringLiteral(".reprint-data."), data, error);
        if (!lines.ok())
            return pdfs;
        PrintJob job{layout.path(),
                     lines.path(),
                     d.document == OutputDocument::Slip ? PrintJob::Document::Slip : PrintJob::Document::Tag,
                     d.ordererCode.trimmed(),
                     d.ordererName.trimmed(),
                     !toPrinter,
                     protocolName(d.protocol),
                     {},
                     0,
                     true};
        if (!report.print(job, error))
            return pdfs;
        const QString pdf = report.writtenPdfPath();
        if (!pdf.isEmpty())
            pdfs.append(pdf);
        first = end;
    }
    return pdfs;
}

} // namespace plx
