#include "FolderWatch.h"

#include "ErrorList.h"
#include "ImportDriver.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/FsName.h"
#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace plx {

FolderWatch::FolderWatch(Environment& env, Protocol protocol, WatchSettings settings)
    : m_env(env), m_logLabels(env), m_protocol(protocol), m_settings(std::move(settings)), m_files(m_settings.masks),
      m_tracker(m_settings.settleMs), m_journal(env.paths, protocol)
{
}

QStringList FolderWatch::look(const QSet<QString>& renamedIn, qint64 nowMs)
{
    m_journal.forgetChanged(m_settings.folder);
    QHash<QString, FileIdentity> present;
    // Normal files the masks let through, by their exact names; hidden ones
    // (a writer's ".name.tmp") are not order files yet. The installation's
    // own files are never taken, whatever folder is watched.
    if (m_journal.isInstallationFolder(m_settings.folder))
        return {};
    for (const QString& name : fsname::list(m_settings.folder)) {
        if (name.startsWith(QLatin1Char('.')) || !m_files.accepts(name))
            continue;
        const QString path = QDir(m_settings.folder).filePath(name);
        const std::optional<FileIdentity> identity = FileIdentity::of(path);
        if (!identity || m_journal.handled(path, *identity))
            continue;
        if (const auto left = m_leftAlone.constFind(path); left != m_leftAlone.cend() && *left == *identity)
            continue;
        present.insert(name, *identity);
    }
    for (auto it = m_leftAlone.begin(); it != m_leftAlone.end();) {
        if (present.contains(it.key().section(QLatin1Char('/'), -1)) || !FileIdentity::of(it.key()))
            it = m_leftAlone.erase(it);
        else
            ++it;
    }
    return m_tracker.look(present, renamedIn, nowMs);
}

bool FolderWatch::belongsToOtherWatch(const QString& path) const
{
    const std::optional<Protocol> protocol = ImportDriver::fileProtocol(path);
    if (!protocol) {
        // No format's file: one watch sets it aside (the first served
        // format's), so that two watches of the folder do not both refuse it.
        return !m_settings.served.isEmpty() && m_settings.served.first() != m_protocol &&
               m_settings.served.contains(m_protocol);
    }
    return *protocol != m_protocol && m_settings.served.contains(*protocol);
}

BatchReport FolderWatch::runBatch(const QStringList& names)
{
    BatchReport report;
    report.at = m_env.clock->now();
    QStringList paths;
    QHash<QString, FileIdentity> identities;
    QList<BatchEntry> unreadable;
    for (const QString& name : names) {
        const QString path = QDir(m_settings.folder).filePath(name);
        const FileIdentity identity = FileIdentity::of(path).value_or(FileIdentity{});
        // A file that cannot be read is no order of the wrong format: it
        // stays, and is tried again on the next pass.
        QString why;
        const int fd = fsname::openRead(path, why);
        if (fd < 0) {
            if (m_toldUnreadable.value(path) != identity) {
                BatchEntry entry;
                entry.path = path;
                entry.identity = identity;
                entry.unreadable = why;
                unreadable.append(entry);
                m_toldUnreadable.insert(path, identity);
            }
            continue;
        }
        ::close(fd);
        m_toldUnreadable.remove(path);
        if (belongsToOtherWatch(path)) {
            m_leftAlone.insert(path, identity);
            continue;
        }
        paths.append(path);
        identities.insert(path, identity);
    }
    if (paths.isEmpty()) {
        report.entries = unreadable;
        return report;
    }

    ImportDriver driver(m_env, m_protocol);
    QList<BatchEntry> entries;
    QStringList heading;
    // Where each file goes, from what the driver made of it.
    // The error list as this batch wrote it, taken from memory: once the
    // locks are let go another import may rewrite Err.dat.
    const auto decide = [&](bool committed) {
        QHash<QString, QStringList> errorLines;
        heading.clear();
        if (const ErrorList* list = driver.errorList()) {
            heading = list->heading();
            for (const auto& [name, line] : list->entries())
                errorLines[name].append(line);
        }
        entries.clear();
        for (const ImportDriver::FileOutcome& outcome : driver.outcomes()) {
            BatchEntry entry;
            entry.path = outcome.path;
            entry.identity = identities.value(outcome.path);
            entry.outcome = committed || outcome.refusal > 0 ? outcome.refusal : -1;
            // A file that became unreadable after the watch looked at it waits
            // for the next pass, as one it found unreadable does.
            if (entry.outcome == kFileUnreadable)
                entry.outcome = -1;
            entry.errorLines = errorLines.value(outcome.path.section(QLatin1Char('/'), -1));
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
                               watchStepReached("prepared");
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
    m_logLabels.setOperation(QStringLiteral("取り込み"));
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
        report.entries += unreadable;
        report.refusal = refused->message();
        return report;
    }
    if (checked.accepted > 0)
        step(QStringLiteral("取り込みﾒｲﾝ/"), [&] { driver.run(m_settings.mode, false); });
    report.committed = driver.finished();
    if (report.committed)
        watchStepReached("committed");
    else
        decide(false);
    if (refused)
        report.refusal = refused->message();
    m_journal.complete(entries, heading);
    report.entries = entries + unreadable;
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
    } else if (!entry.unreadable.isEmpty()) {
        result = QStringLiteral("未処理 (読み込めません: %1)").arg(entry.unreadable);
    } else {
        result = QStringLiteral("未処理");
    }
    QString line = fsname::display(entry.path) + QLatin1Char('\t') + result;
    if (!entry.movedTo.isEmpty())
        line += QStringLiteral("\t→ ") + fsname::display(entry.movedTo);
    else if (entry.moveFailed && !entry.moveError.isEmpty())
        line += QStringLiteral("\t移動できませんでした: %1 (再度取り込みません)").arg(entry.moveError);
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
    const bool created = !QFileInfo::exists(runLogPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(
            stderr, "%s\n",
            QStringLiteral("ﾛｸﾞに書き込めません。(%1: %2)").arg(runLogPath(), file.errorString()).toUtf8().constData());
    } else if (created) {
        // Both formats' watches, run by any clerk of a shared installation, append to it.
        fileutil::shareWithFolder(runLogPath());
    }
}

} // namespace plx
