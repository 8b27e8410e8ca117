#include "WatchCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/ApUse.h"
#include "core/ErrorReport.h"
#include "core/FolderEvents.h"
#include "core/FsName.h"
#include "core/LogLabelScope.h"
#include "core/ProcessLock.h"
#include "core/Registry.h"
#include "import/DataFolder.h"
#include "import/FolderWatch.h"
#include "import/ImportDriver.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plx::cli {

namespace {

// SIGTERM and SIGINT ask the watch to stop once the batch in hand is done; the
// pipe wakes it when it is waiting for files.
volatile std::sig_atomic_t g_stopRequested = 0;
int g_wakePipe[2] = {-1, -1};

extern "C" void requestStop(int)
{
    g_stopRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakePipe[1], &byte, 1);
}

void installStopSignals()
{
    if (g_wakePipe[0] < 0 && ::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wakePipe[0] = g_wakePipe[1] = -1;
    struct sigaction action
    {
    };
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void out(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    // Whoever reads the lines (a log, a pipe) sees each batch when it ends.
    std::fflush(stdout);
}

void err(const QString& line)
{
    std::fprintf(stderr, "%s\n",
                 QString(line).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData());
}

void printBatch(const BatchReport& report)
{
    const QString at = report.at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    for (const BatchEntry& entry : report.entries)
        out(at + QLatin1Char('\t') + FolderWatch::fileLine(entry));
}

} // namespace

double WatchCommand::seconds(const QCommandLineParser& parser) const
{
    bool ok = true;
    const double value = parser.isSet(m_interval) ? parser.value(m_interval).toDouble(&ok) : 2.0;
    return ok ? value : 0;
}

bool WatchCommand::accepts(const QCommandLineParser& parser, QString& why)
{
    const QString mode = parser.value(m_mode);
    const double settle = seconds(parser);
    if (parser.positionalArguments().size() > 1 || !(settle > 0 && settle <= 3600) ||
        (parser.isSet(m_mode) && mode != QLatin1String("1") && mode != QLatin1String("2") &&
         mode != QLatin1String("3")))
        return false;
    if (mode == QLatin1String("3")) {
        why = QStringLiteral("処理ﾓｰﾄﾞ 3（すべての納品書ﾃﾞｰﾀを削除して新規作成する。）では監視できません。");
        return false;
    }
    return true;
}

int WatchCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    const qint64 settleMs = std::max<qint64>(1, qint64(seconds(parser) * 1000));
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("ﾌｧｲﾙ監視"));
    const ImportSettings settings = ImportDriver::readSettings(env, format);
    const int makeMode = parser.isSet(m_mode) ? parser.value(m_mode).toInt() : settings.makeMode;
    if (makeMode == 3) {
        err(QStringLiteral(
            "処理ﾓｰﾄﾞ (MakeMode) が 3（すべての納品書ﾃﾞｰﾀを削除して新規作成する。）のため監視できません。"
            "--mode 1 または --mode 2 を指定してください。"));
        return kExitFailed;
    }

    // The folder the input-file window starts in, unless one is given.
    QString folder = parser.positionalArguments().value(0);
    if (folder.isEmpty())
        folder = settings.dataFolderResult == RegOk ? startFolder(settings, env.programBasePath) : env.programBasePath;
    folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder)); // the name kept byte for byte
    struct stat st
    {
    };
    if (!fsname::statPath(folder, st) || !S_ISDIR(st.st_mode)) {
        err(QStringLiteral("監視するﾌｫﾙﾀﾞがありません。(%1)").arg(fsname::display(folder)));
        return kExitFailed;
    }
    const QString dust = QDir::cleanPath(QDir(env.paths.dustFolder).absolutePath());
    if (folder.compare(dust, Qt::CaseInsensitive) == 0 ||
        folder.compare(WatchJournal::rejectedFolderOf(env.paths), Qt::CaseInsensitive) == 0) {
        err(QStringLiteral("処理済ﾌｧｲﾙの置き場は監視できません。(%1)").arg(fsname::display(folder)));
        return kExitFailed;
    }

    // A file of a format the installation serves is that format's watch's;
    // only a file of none is refused here.
    QList<Protocol> served;
    for (const Protocol protocol : kProtocols) {
        if (servesFormat(env, protocol))
            served.append(protocol);
    }
    FolderWatch watch(
        env, format,
        {folder, settings.masks, static_cast<RebuildMode>(makeMode), settings.moveFiles, settleMs, served});
    // The installation's own folders (Prg, Usr, Log, ...) hold its files:
    // taking them as order files would break it.
    if (watch.journal().isInstallationFolder(folder)) {
        err(QStringLiteral("PLX-90のﾌｫﾙﾀﾞは監視できません。注文ﾌｧｲﾙの届くﾌｫﾙﾀﾞを指定してください。(%1)")
                .arg(fsname::display(folder)));
        return kExitFailed;
    }
    watch.journal().setWatchedFolder(folder);
    // One watch per format: a second one would share the batch's journal.
    ProcessLock instance(watch.journal().instanceLockPath());
    switch (instance.tryLock(0)) {
    case ProcessLock::Result::Locked:
        break;
    case ProcessLock::Result::Held:
        err(QStringLiteral("%1の監視は既に動いています。(%2)").arg(protocolName(format), instance.path()));
        return kExitFailed;
    case ProcessLock::Result::CannotCreate:
        err(QStringLiteral("監視のﾛｯｸﾌｧｲﾙを作成できません。(%1: %2)").arg(instance.path(), instance.errorText()));
        return kExitFailed;
    }
    installStopSignals();
    // Watching from before the first look: no file arrives unseen.
    FolderEvents events(folder);

    // A batch that a killed watch left in the middle is settled first.
    WatchJournal::Recovery recovery;
    runTrapped(env, QStringLiteral("監視開始/"), [&] { recovery = watch.journal().recover(); });
    const auto started = [&](const QString& shownFolder) {
        return QStringLiteral("監視開始 %1 (処理ﾓｰﾄﾞ %2, 待ち時間 %3秒, 処理済ﾌｧｲﾙ %4)")
            .arg(shownFolder)
            .arg(makeMode)
            .arg(seconds(parser))
            .arg(settings.moveFiles ? QStringLiteral("Dustへ移動") : QStringLiteral("移動しない"));
    };
    watch.log(started(fsname::displayCp932(folder)));
    // The same on standard output, with the format and the settings file: a
    // watch run by systemd shows in the journal that it is alive, and on what.
    out(env.clock->now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QLatin1Char('\t') +
        started(fsname::display(folder)) +
        QStringLiteral(" [%1] 設定 %2").arg(protocolName(format), env.registry->filePath()));
    if (recovery.state == WatchJournal::Recovery::State::Completed) {
        BatchReport report;
        report.at = env.clock->now();
        report.committed = true;
        report.entries = recovery.entries;
        printBatch(report);
        watch.log(QStringLiteral("中断された取り込みの後処理をしました。") + FolderWatch::summary(report));
    } else if (recovery.state == WatchJournal::Recovery::State::Damaged) {
        watch.log(recovery.damage);
        reportAndGoOn(env, recovery.damage, QStringLiteral("監視開始/") + recovery.damage);
    } else if (recovery.state == WatchJournal::Recovery::State::RolledBack) {
        watch.log(QStringLiteral("中断された取り込みは反映されていません。ﾌｧｲﾙを取り込み直します。"));
    }

    const int intervalMs = int(settleMs);
    QElapsedTimer clock;
    clock.start();
    QString lastRefusal;
    while (!g_stopRequested) {
        events.wait(0, -1); // what happened during a batch, renames included
        const QStringList ready = watch.look(events.takeRenamedIn(), clock.elapsed());
        if (!ready.isEmpty()) {
            const BatchReport report = watch.runBatch(ready);
            // A refusal that goes on (a data file held for minutes) is told once.
            // A pass that took nothing and has nothing new to tell (files left
            // for the other format's watch, an unreadable file told before)
            // leaves no trace.
            const bool quiet = report.entries.isEmpty() && report.refusal.isEmpty();
            if (!quiet && (report.refusal.isEmpty() || report.refusal != lastRefusal)) {
                printBatch(report);
                watch.log(FolderWatch::summary(report));
                if (!report.refusal.isEmpty())
                    err(report.refusal);
            }
            lastRefusal = report.refusal;
            // Nothing taken (a refusal, or only files that cannot be read):
            // the next try is a settle time away.
            const bool tookAny = std::any_of(report.entries.cbegin(), report.entries.cend(),
                                             [](const BatchEntry& e) { return e.unreadable.isEmpty(); });
            if (!report.refusal.isEmpty() || !tookAny)
                events.wait(intervalMs, g_wakePipe[0]);
            continue;
        }
        int timeout = intervalMs;
        if (const std::optional<qint64> due = watch.nextDueMs())
            timeout = int(std::clamp<qint64>(*due - clock.elapsed() + 1, 0, intervalMs));
        events.wait(timeout, g_wakePipe[0]);
    }
    watch.log(QStringLiteral("監視終了"));
    return kExitOk;
}

} // namespace plx::cli
