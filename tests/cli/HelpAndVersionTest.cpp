#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char* program; // PLX90_APP_PATH or PLX90_CLI_PATH
    QStringList args;
    int exitCode;
    bool onStdout;  // the text is on standard output (else on standard error, stdout empty)
    QString starts; // what the text begins with
};

} // namespace

// What administrators expect of a command line: help and the version on
// standard output with exit 0, a usage error on standard error with exit 2.
TEST(HelpAndVersion, OnStandardOutputWithExitZeroAndUsageErrorsOnStandardErrorWithTwo)
{
    const QString version = QStringLiteral("plx90 " PLX90_VERSION "\n");
    const QString overview = QStringLiteral("usage: plx90-cli COMMAND [OPTIONS]\n");
    QList<Case> cases = {
        {PLX90_APP_PATH, {"--version"}, 0, true, version},
        {PLX90_APP_PATH, {"--help"}, 0, true, "usage: plx90 "},
        {PLX90_CLI_PATH, {"--version"}, 0, true, version},
        {PLX90_CLI_PATH, {"--help"}, 0, true, overview},
        {PLX90_CLI_PATH, {"-h"}, 0, true, overview},
        {PLX90_CLI_PATH, {"help"}, 0, true, overview},
        {PLX90_CLI_PATH, {}, 2, false, "no command given\n" + overview},
        {PLX90_CLI_PATH, {"nonesuch"}, 2, false, "unknown command: nonesuch\n" + overview},
        {PLX90_CLI_PATH, {"help", "nonesuch"}, 2, false, "unknown command: nonesuch\n" + overview},
    };
    for (const char* command :
         {"install", "settings", "list", "import", "print", "ship", "company", "delete", "search", "watch"}) {
        const QString usage = QStringLiteral("usage: plx90-cli ") + QLatin1String(command);
        cases.append({PLX90_CLI_PATH, {command, "--help"}, 0, true, usage});
        cases.append({PLX90_CLI_PATH, {command, "--eiaj", "-h"}, 0, true, usage});
        cases.append({PLX90_CLI_PATH, {"help", command}, 0, true, usage});
        cases.append({PLX90_CLI_PATH, {command, "--no-such-option"}, 2, false, QString()});
    }

    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE((QString::fromUtf8(c.program).section(QLatin1Char('/'), -1) + QLatin1Char(' ') +
                      c.args.join(QLatin1Char(' ')))
                         .toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Help never reads the settings: a store that is not there stays so.
        env.insert(QStringLiteral("PLX90_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
        p.setProcessEnvironment(env);
        p.start(QString::fromUtf8(c.program), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), c.exitCode) << out.toStdString() << err.toStdString();
        if (c.onStdout) {
            EXPECT_TRUE(out.startsWith(c.starts)) << out.toStdString();
            EXPECT_EQ(err, QString());
            if (c.starts == version) {
                EXPECT_EQ(out, version);
            }
        } else {
            EXPECT_EQ(out, QString());
            EXPECT_TRUE(err.startsWith(c.starts)) << err.toStdString();
            EXPECT_TRUE(err.contains(QStringLiteral("usage: plx90-cli "))) << err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("registry.ini"))));
}
