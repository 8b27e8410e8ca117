// Progress lines go to standard error while it is a terminal, never into
// standard output or a file.

#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(TerminalProgress, PrintAndImportShowTheirProgressOnATerminalOnly)
{
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        GTEST_SKIP() << "no 'script' to give the command a terminal";
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path(), "--demo"}).exitCode, 0);
    const QString order = dir.path() + QStringLiteral("/ORDER.CSV");
    QFile f(order);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01\r\n0502,102851,M40217,2,NEWKEY1\r\n");
    f.close();

    struct Case
    {
        QStringList args;
        QString progress;
    };
    const Case cases[] = {{{"print", "--eiaj"}, QStringLiteral("納品書 1/")}, // declined: both runs see the groups
                          {{"import", "--eiaj", "--no-move", order}, QStringLiteral("取り込み中 1/1")}};
    for (const Case& c : cases) {
        // Through pipes: the output scripts read, and no progress anywhere.
        const CliResult piped = runCli(registry, c.args);
        EXPECT_FALSE(piped.out.contains(c.progress)) << piped.out.toStdString();
        EXPECT_FALSE(piped.err.contains(c.progress)) << piped.err.toStdString();

        // On a terminal (script gives the command one; stdout goes there too).
        QString command = QStringLiteral(PLX90_CLI_PATH);
        for (const QString& arg : c.args)
            command += QStringLiteral(" '") + arg + QLatin1Char('\'');
        QProcess terminal;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
        terminal.setProcessEnvironment(env);
        terminal.start(QStringLiteral("script"), {"-q", "-e", "-c", command, "/dev/null"});
        terminal.closeWriteChannel();
        ASSERT_TRUE(terminal.waitForFinished(60000));
        const QString screen = QString::fromUtf8(terminal.readAllStandardOutput());
        EXPECT_TRUE(screen.contains(c.progress)) << screen.toStdString();
        // The line is erased before the command's own output follows.
        EXPECT_TRUE(screen.contains(QStringLiteral("\r\x1b[K"))) << screen.toStdString();
    }
}
