#pragma once

// What the watch tests share: an installation with a folder that order files
// arrive in, and a running plx90-cli watch.

#include "support/CliRunner.h"
#include "support/ImportFixtures.h"

#include "core/FileLock.h"
#include "core/ProcessLock.h"
#include "import/ArrivalTracker.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace plx::test::watch {

inline constexpr const char* kBusy = "他のﾌﾟﾛｸﾞﾗﾑが使用中です";

// An installation with an "in" folder that order files arrive in.
struct Desk
{
    ImportInstall imp;

    QString registry() const { return imp.inst.registry.filePath(); }
    QString in() const { return imp.folder(); }
    QString dust() const { return imp.inst.path(QStringLiteral("Dust")); }
    QString rejected() const { return imp.inst.path(QStringLiteral("Rejected")); }

    static QByteArray order(const QStringList& keys)
    {
        QByteArray bytes = "REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01\r\n";
        for (const QString& key : keys)
            bytes += "0502,A001,S01,2," + key.toLatin1() + "\r\n";
        return bytes;
    }
    // Written in place at once.
    void drop(const QString& name, const QByteArray& bytes) const
    {
        QFile f(imp.inPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Written under a hidden name, then renamed into place.
    void dropRenamed(const QString& name, const QByteArray& bytes) const
    {
        drop(QLatin1Char('.') + name + QStringLiteral(".part"), bytes);
        ASSERT_TRUE(QFile::rename(imp.inPath(QLatin1Char('.') + name + QStringLiteral(".part")), imp.inPath(name)));
    }
    QStringList waiting() const { return QDir(in()).entryList(QDir::Files, QDir::Name); }
    // The delivery keys of the live records, a key twice when it is there twice.
    QStringList keys() const { return liveKeys(imp); }
    QString runLog() const { return cp932::decode(imp.inst.readFile(QStringLiteral("Log/Watch.log"))); }
};

inline QStringList keysOf(const QString& prefix, int count)
{
    QStringList keys;
    for (int i = 1; i <= count; ++i)
        keys << QStringLiteral("%1-%2").arg(prefix).arg(i);
    return keys;
}

// plx90-cli watch running.
class Watch
{
public:
    // `runAs` starts it through that command (setpriv as another user). With
    // PLX90_WATCH_CRASH_AT among `vars` it is the test build that has the
    // watch's crash points.
    Watch(const Desk& desk, const QStringList& args, const QHash<QString, QString>& vars = {},
          const QStringList& runAs = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), desk.registry());
        env.insert(QStringLiteral("PLX90_LOCK_WAIT_MS"), QStringLiteral("300"));
        for (auto it = vars.begin(); it != vars.end(); ++it)
            env.insert(it.key(), it.value());
        m_process.setProcessEnvironment(env);
        const qsizetype before = desk.runLog().count(QStringLiteral("監視開始"));
        const QString program = vars.contains(QStringLiteral("PLX90_WATCH_CRASH_AT"))
                                    ? QStringLiteral(PLX90_CLI_CRASHPOINTS_PATH)
                                    : QStringLiteral(PLX90_CLI_PATH);
        const QStringList command = QStringList{program, QStringLiteral("watch")} + args;
        if (runAs.isEmpty())
            m_process.start(command.first(), command.mid(1));
        else
            m_process.start(runAs.first(), runAs.mid(1) + command);
        EXPECT_TRUE(waitFor([&] {
            return desk.runLog().count(QStringLiteral("監視開始")) > before ||
                   m_process.state() == QProcess::NotRunning || m_process.waitForFinished(1);
        }));
    }
    ~Watch()
    {
        if (m_process.state() != QProcess::NotRunning)
            kill();
    }
    void terminate() { ::kill(pid_t(m_process.processId()), SIGTERM); }
    // SIGTERM, and what it printed once it ended.
    CliResult stop(int ms = 20000)
    {
        terminate();
        EXPECT_TRUE(m_process.waitForFinished(ms)) << "still running after SIGTERM";
        return finish();
    }
    // kill -9.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    bool waitForEnd(int ms) { return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms); }
    bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    CliResult finish()
    {
        return {m_process.exitCode(), QString::fromUtf8(m_process.readAllStandardOutput()),
                QString::fromUtf8(m_process.readAllStandardError())};
    }

private:
    QProcess m_process;
};

// The standard-output lines of one file.
inline QStringList linesOf(const CliResult& run, const QString& path)
{
    return run.out.split(QLatin1Char('\n')).filter(QLatin1Char('\t') + path + QLatin1Char('\t'));
}

} // namespace plx::test::watch
