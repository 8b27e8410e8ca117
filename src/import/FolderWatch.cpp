#include "FolderWatch.h"

#include "ErrorList.h"
#include "ImportDriver.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace plx {

namespace {

constexpr int kHeadingLines = 5;

} // namespace

FolderWatch::FolderWatch(Environment& env, Protocol protocol, WatchSettings settings)
    : m_env(env), m_protocol(protocol), m_settings(std::move(settings)), m_files(m_settings.masks),
      m_tracker(m_settings.settleMs), m_journal(env.paths, protocol)
{
}

QStringList FolderWatch::look(const QSet<QString>& renamedIn, qint64 nowMs)
{
    m_journal.forgetChanged(m_settings.folder);
    QHash<QString, FileIdentity> present;
    // Normal files the masks let through; hidden ones (a writer's ".name.tmp")
    // are not order files yet.
    const QFileInfoList entries = QDir(m_settings.folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : entries) {
        if (!m_files.accepts(info.fileName()))
            continue;
        const std::optional<FileIdentity> identity = FileIdentity::of(info.absoluteFilePath());
        if (identity && !m_journal.handled(info.absoluteFilePath(), *identity))
            present.insert(info.fileName(), *identity);
    }
    return m_tracker.look(present, renamedIn, nowMs);
}

std::pair<QStringList, QHash<QString, QStringList>> FolderWatch::readErrorList() const
{
    QStringList lines = cp932::decode(fileutil::readAll(m_env.paths.errListPath)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() < kHeadingLines)
        return {};
    QHash<QString, QStringList> byFile;
    for (const QString& line : lines.mid(kHeadingLines)) {
        const qsizetype end = line.indexOf(QStringLiteral(" ["));
        if (end > 0)
            byFile[line.left(end)].append(line);
    }
    return {lines.mid(0, kHeadingLines), byFile};
}

BatchReport FolderWatch::runBatch(const QStringList& names)
{
    BatchReport report;
    report.at = m_env.clock->now();
    QStringList paths;
    QHash<QString, FileIdentity> identities;
    for (const QString& name : names) {
        const QString path = QDir(m_settings.folder).filePath(name);
        paths.append(path);
        identities.insert(path, FileIdentity::of(path).value_or(FileIdentity{}));
    }

    ImportDriver driver(m_env, m_protocol);
    QList<BatchEntry> entries;
    QStringList heading;
    // Where each file goes, from what the driver made of it.
    const auto decide = [&](bool committed) {
        const auto [listHeading, errorLines] = readErrorList();
        heading = listHeading;
        entries.clear();
        for (const ImportDriver::FileOutcome& outcome : driver.outcomes()) {
            BatchEntry entry;
            entry.path = outcome.path;
            entry.identity = identities.value(outcome.path);
            entry.outcome = committed || outcome.refusal > 0 ? outcome.refusal : -1;
            entry.errorLines = errorLines.value(QFileInfo(outcome.path).fileName());
            if (entry.outcome == 0)
                entry.to = m_settings.moveFiles ? BatchEntry::Destination::Dust : BatchEntry::Destination::Keep;
            else if (entry.outcome == 2 || entry.outcome == 3 || entry.outcome == kFileTooLarge)
                entry.to = BatchEntry::Destination::Rejected;
            entries.append(entry);
        }
    };
    driver.setCommitSteps({m_journal.workPath(),
                           [&] {
                               decide(true);
                               m_journal.write(entries, heading);
                               crashPoint("prepared");
                           },
                           [&] { m_journal.discard(); }});

    // A refusal is the batch's answer, not the operator's: nothing is shown.
    std::optional<Refusal> refused;
    const auto step = [&](const QString& label, const auto& operation) {
        runTrapped(m_env, label, [&] {
            try {
                operation();
            } catch (const Refusal& r) {
                refused = r;
            }
        });
    };
    m_env.logOperation = QStringLiteral("取り込み");
    PrecheckResult checked;
    step(QStringLiteral("取り込みｿ-ﾄ/"), [&] { checked = driver.precheckPaths(paths); });
    if (refused) {
        // Not even the pre-check ran: every file waits.
        for (const QString& path : paths) {
            BatchEntry entry;
            entry.path = path;
            entry.identity = identities.value(path);
            report.entries.append(entry);
        }
        report.refusal = refused->message();
        return report;
    }
    if (checked.accepted > 0)
        step(QStringLiteral("取り込みﾒｲﾝ/"), [&] { driver.run(m_settings.mode, false); });
    report.committed = driver.finished();
    if (report.committed)
        crashPoint("committed");
    else
        decide(false);
    if (refused)
        report.refusal = refused->message();
    m_journal.complete(entries, heading);
    report.entries = entries;
    report.errorLines = driver.errorCount();
    return report;
}

QString FolderWatch::fileLine(const BatchEntry& entry)
{
    QString result;
    if (entry.outcome == 0) {
        result = QStringLiteral("取り込み済");
        if (!entry.errorLines.isEmpty())
            result += QStringLiteral(" (ｴﾗｰ %1件)").arg(entry.errorLines.size());
    } else if (entry.outcome > 0) {
        result = ImportDriver::refusalText(entry.outcome);
    } else {
        result = QStringLiteral("未処理");
    }
    QString line = entry.path + QLatin1Char('\t') + result;
    if (!entry.movedTo.isEmpty())
        line += QStringLiteral("\t→ ") + entry.movedTo;
    else if (entry.moveFailed)
        line += QStringLiteral("\t移動できませんでした (再度取り込みません)");
    return line;
}

QString FolderWatch::summary(const BatchReport& report)
{
    int imported = 0;
    int refused = 0;
    int waiting = 0;
    for (const BatchEntry& e : report.entries)
        (e.outcome == 0 ? imported : e.outcome > 0 ? refused : waiting)++;
    QString text = QStringLiteral("ﾌｧｲﾙ %1件: 取り込み済 %2件, 拒否 %3件, 未処理 %4件, ｴﾗｰ %5件")
                       .arg(report.entries.size())
                       .arg(imported)
                       .arg(refused)
                       .arg(waiting)
                       .arg(report.errorLines);
    if (!report.refusal.isEmpty())
        text += QStringLiteral(" -- ") + QString(report.refusal).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return text;
}

QString FolderWatch::runLogPath() const
{
    return QFileInfo(m_env.paths.logPath).absolutePath() + QStringLiteral("/Watch.log");
}

void FolderWatch::log(const QString& text) const
{
    const QString line = m_env.clock->now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
                         (m_protocol == Protocol::Eiaj ? QStringLiteral(" [EIAJ] ") : QStringLiteral(" [KORVAN] ")) +
                         text;
    // One write per line in append mode: the watches of both formats share the log.
    QFile file(runLogPath());
    const QByteArray bytes = cp932::encode(line) + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(
            stderr, "%s\n",
            QStringLiteral("ﾛｸﾞに書き込めません。(%1: %2)").arg(runLogPath(), file.errorString()).toUtf8().constData());
    }
}

} // namespace plx
