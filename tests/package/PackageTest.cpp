#include "cli/Installer.h"
#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using namespace plx;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
};

Outcome run(const QString& program, const QStringList& args, const QString& registry = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!registry.isEmpty())
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(300000))
        return {-1, program + QStringLiteral(": ") + p.errorString()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// One test, as the package is built once: what apt installs is what
// `cmake --install` puts in place, and the programs work from wherever it lies.
TEST(Package, UnpackedIntoAScratchRootItInstallsFromItsOwnData)
{
    for (const auto& [tool, package] : {std::pair{"dpkg-deb", "dpkg"}, std::pair{"dpkg-shlibdeps", "dpkg-dev"}}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            GTEST_SKIP() << tool << " (Debian package " << package << ") is missing: no package can be built here";
    }
    if (!QFileInfo(QStringLiteral(PLX90_CPACK_COMMAND)).isExecutable())
        GTEST_SKIP() << "cpack is missing: no package can be built here";

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const Outcome cpack = run(QStringLiteral(PLX90_CPACK_COMMAND),
                              {"-G", "DEB", "--config", QStringLiteral(PLX90_CPACK_CONFIG), "-B", out});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.out.toStdString();
    const QStringList debs = QDir(out).entryList({QStringLiteral("plx90_*.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << cpack.out.toStdString();
    const QString deb = out + QLatin1Char('/') + debs.first();

    // Depends: what the programs link and what they draw with.
    const Outcome depends = run(QStringLiteral("dpkg-deb"), {"--field", deb, "Depends"});
    ASSERT_EQ(depends.exitCode, 0) << depends.out.toStdString();
    for (const char* package : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6printsupport6", "libzint",
                                "libsqlite3-0", "fonts-ipafont-gothic", "qt6-translations-l10n"})
        EXPECT_TRUE(depends.out.contains(QLatin1String(package))) << package << " not in " << depends.out.toStdString();

    const QString root = dir.filePath(QStringLiteral("root"));
    const Outcome unpack = run(QStringLiteral("dpkg-deb"), {"-x", deb, root});
    ASSERT_EQ(unpack.exitCode, 0) << unpack.out.toStdString();
    const QString usr = root + QStringLiteral("/usr");
    const QByteArray desktop = readFile(usr + QStringLiteral("/share/applications/plx90.desktop"));
    EXPECT_TRUE(desktop.contains("\nExec=plx90\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("\nIcon=plx90\n")) << desktop.toStdString();
    EXPECT_EQ(QImage(usr + QStringLiteral("/share/icons/hicolor/256x256/apps/plx90.png")).size(), QSize(256, 256));
    EXPECT_TRUE(readFile(usr + QStringLiteral("/lib/systemd/user/plx90-watch@.service"))
                    .contains("ExecStart=/usr/bin/plx90-cli watch --%i"));

    // The installer takes its sources from the package's data folder: a line
    // added there reaches the installation.
    const QString help = usr + QStringLiteral("/share/plx90/help/H7120001.htm");
    {
        QFile f(help);
        ASSERT_TRUE(f.open(QIODevice::Append)) << help.toStdString();
        f.write("<!-- 当社の手順 -->\n");
    }
    const QString registry = dir.filePath(QStringLiteral("registry.ini"));
    const QString cli = usr + QStringLiteral("/bin/plx90-cli");
    const QString base = dir.filePath(QStringLiteral("base"));
    const Outcome install = run(cli, {"install", "--base", base}, registry);
    ASSERT_EQ(install.exitCode, 0) << install.out.toStdString();
    EXPECT_EQ(readFile(base + QStringLiteral("/Plx90We/Prg/Msg.DAT")), Installer::messageCatalogBytes());
    EXPECT_TRUE(readFile(base + QStringLiteral("/Plx90We/Help/H7120001.htm")).contains(cp932::encode(u"当社の手順")));
    EXPECT_TRUE(QFile::exists(base + QStringLiteral("/Plx90We/Usr/E_Slip.agr")));

    // The packaged program starts on the installation it made.
    const Outcome get = run(cli, {"settings", "get", "InstallBasePath"}, registry);
    EXPECT_EQ(get.exitCode, 0) << get.out.toStdString();
    EXPECT_EQ(get.out, base + QLatin1Char('\n'));
}
