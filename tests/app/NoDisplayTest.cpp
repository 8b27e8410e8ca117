#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Started where no window can be shown (over SSH), the program says so in a
// few words and points to plx90-cli, instead of Qt's abort.
TEST(NoDisplay, ThePlx90WindowSaysADisplayIsNeededAndNamesPlx90Cli)
{
    struct Case
    {
        const char* platform; // QT_QPA_PLATFORM, nullptr for none
        bool refused;
    };
    const Case cases[] = {{nullptr, true}, {"xcb", true}, {"wayland;xcb", true}, {"offscreen", false}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.platform ? c.platform : "(unset)");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        if (c.platform)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(c.platform));
        env.insert(QStringLiteral("PLX90_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PLX90_APP_PATH), QStringList());
        if (c.refused) {
            ASSERT_TRUE(p.waitForFinished(30000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << err.toStdString();
            EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
            EXPECT_TRUE(err.contains(QStringLiteral("ディスプレイが必要です"))) << err.toStdString();
            EXPECT_TRUE(err.contains(QStringLiteral("plx90-cli"))) << err.toStdString();
            EXPECT_EQ(err.count(QLatin1Char('\n')), 2) << err.toStdString();
            EXPECT_EQ(p.readAllStandardOutput(), QByteArray());
        } else {
            // A platform that needs no display starts as before (here it asks
            // whether to create an installation, and waits).
            const bool ended = p.waitForFinished(3000);
            EXPECT_FALSE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("ディスプレイ")));
            if (!ended) {
                p.kill();
                p.waitForFinished(10000);
            }
        }
    }
}
