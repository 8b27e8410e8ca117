#include "cli/Installer.h"
#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

using namespace plx;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out; // with standard error, unless asked apart
    QString err;
};

Outcome run(const QString& program, const QStringList& args, const QString& registry = {}, bool errApart = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!registry.isEmpty())
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
    p.setProcessEnvironment(env);
    if (!errApart)
        p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(300000))
        return {-1, program + QStringLiteral(": ") + p.errorString(), {}};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            errApart ? QString::fromUtf8(p.readAllStandardError()) : QString()};
}

bool have(const char* tool)
{
    if (!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
        return true;
    std::printf("%s is not installed (scripts/install-deps installs it): its check is left out\n", tool);
    return false;
}

// What bash completion offers for a command line whose last word is being typed.
QStringList completions(const QString& script, const QStringList& words)
{
    const QString line = words.join(QLatin1Char(' '));
    const Outcome bash =
        run(QStringLiteral("bash"),
            QStringList{"-c",
                        "source /usr/share/bash-completion/bash_completion && source \"$1\" && shift && "
                        "COMP_WORDS=(\"$@\") && COMP_CWORD=$(($# - 1)) && COMP_LINE=\"$*\" && "
                        "COMP_POINT=${#COMP_LINE} && _plx90_cli plx90-cli \"${COMP_WORDS[COMP_CWORD]}\" "
                        "\"${COMP_WORDS[COMP_CWORD-1]}\"; printf '%s\\n' \"${COMPREPLY[@]}\"",
                        "bash", script} +
                words,
            {}, true);
    EXPECT_EQ(bash.exitCode, 0) << line.toStdString() << bash.err.toStdString();
    QStringList offered = bash.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    offered.sort();
    return offered;
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
    const QByteArray unit = readFile(usr + QStringLiteral("/lib/systemd/user/plx90-watch@.service"));
    EXPECT_TRUE(unit.contains("\nExecStart=/usr/bin/plx90-cli watch --%i\n")) << unit.toStdString();
    // The settings file is the one plx90-cli finds for the user, not a fixed one.
    EXPECT_FALSE(unit.contains("\nEnvironment=PLX90_REGISTRY")) << unit.toStdString();
    const Outcome recommends = run(QStringLiteral("dpkg-deb"), {"--field", deb, "Recommends"});
    EXPECT_EQ(recommends.out.trimmed(), QStringLiteral("xdg-utils"));

    // What Debian expects beside the programs: the licence, the changelog of a
    // native package, the manual pages, the user's README.
    const QString doc = usr + QStringLiteral("/share/doc/plx90");
    const QByteArray copyright = readFile(doc + QStringLiteral("/copyright"));
    EXPECT_TRUE(copyright.startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"));
    EXPECT_TRUE(copyright.contains("\nLicense: MIT\n Permission is hereby granted")) << copyright.toStdString();
    const Outcome changelog = run(QStringLiteral("gzip"), {"-dc", doc + QStringLiteral("/changelog.gz")});
    EXPECT_TRUE(changelog.out.startsWith(QStringLiteral("plx90 (1.0.0) unstable; urgency=medium\n")))
        << changelog.out.toStdString();
    EXPECT_TRUE(readFile(doc + QStringLiteral("/README.md")).contains("systemctl --user enable --now plx90-watch@"));
    for (const char* page : {"plx90.1.gz", "plx90-cli.1.gz"}) {
        SCOPED_TRACE(page);
        const QString path = usr + QStringLiteral("/share/man/man1/") + QLatin1String(page);
        if (!have("man")) {
            EXPECT_TRUE(QFile::exists(path));
            continue;
        }
        const Outcome man = run(QStringLiteral("man"), {"--warnings", "-P", "cat", "-l", path}, {}, true);
        EXPECT_EQ(man.exitCode, 0) << man.err.toStdString();
        EXPECT_EQ(man.err, QString());
        for (const char* section : {"NAME", "SYNOPSIS", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLES"})
            EXPECT_TRUE(man.out.contains(QLatin1String("\n") + QLatin1String(section) + QLatin1String("\n")))
                << section;
        for (const char* variable : {"PLX90_REGISTRY", "XDG_CONFIG_HOME"})
            EXPECT_TRUE(man.out.contains(QLatin1String(variable))) << variable;
    }

    // The desktop entry and the software centres' metadata validate.
    if (have("desktop-file-validate")) {
        const Outcome valid =
            run(QStringLiteral("desktop-file-validate"), {usr + QStringLiteral("/share/applications/plx90.desktop")});
        EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString();
        EXPECT_EQ(valid.out, QString());
    }
    const QStringList metainfo =
        QDir(usr + QStringLiteral("/share/metainfo")).entryList({QStringLiteral("*.metainfo.xml")}, QDir::Files);
    ASSERT_EQ(metainfo.size(), 1);
    EXPECT_TRUE(readFile(usr + QStringLiteral("/share/metainfo/") + metainfo.first())
                    .contains("<launchable type=\"desktop-id\">plx90.desktop</launchable>"));
    if (have("appstreamcli")) {
        const Outcome valid =
            run(QStringLiteral("appstreamcli"),
                {"validate", "--no-net", usr + QStringLiteral("/share/metainfo/") + metainfo.first()});
        EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString();
    }

    // The completion offers the commands, a command's options and --eiaj|--korvan.
    const QString completion = usr + QStringLiteral("/share/bash-completion/completions/plx90-cli");
    if (QFile::exists(QStringLiteral("/usr/share/bash-completion/bash_completion"))) {
        // Every command the program's own overview lists, and help.
        QStringList commands{"--help", "--version", "help"};
        const QString overview = run(usr + QStringLiteral("/bin/plx90-cli"), {"--help"}).out;
        const qsizetype from = overview.indexOf(QStringLiteral("commands:\n"));
        for (const QString& line : overview.mid(from).split(u'\n').mid(1)) {
            if (!line.startsWith(QStringLiteral("  ")))
                break;
            commands << line.trimmed().section(u' ', 0, 0);
        }
        commands.sort();
        EXPECT_GT(commands.size(), 10);
        EXPECT_EQ(completions(completion, {"plx90-cli", ""}), commands);
        EXPECT_EQ(completions(completion, {"plx90-cli", "history", ""}), QStringList({"export", "reprint"}));
        EXPECT_EQ(completions(completion, {"plx90-cli", "watch", "--"}),
                  QStringList({"--eiaj", "--help", "--interval", "--korvan", "--mode"}));
        EXPECT_EQ(completions(completion, {"plx90-cli", "install", "--ap-use", ""}),
                  QStringList({"ALL", "EIAJ", "KORVAN"}));
    } else {
        std::printf("bash-completion is not installed: the completion's check is left out\n");
        EXPECT_TRUE(QFile::exists(completion));
    }

    // lintian finds no error and no warning in the package.
    if (have("lintian")) {
        const Outcome lintian = run(QStringLiteral("lintian"), {"--fail-on", "error,warning", deb}, {}, true);
        EXPECT_EQ(lintian.exitCode, 0) << lintian.out.toStdString() << lintian.err.toStdString();
        for (const QString& line : lintian.out.split(QLatin1Char('\n')))
            EXPECT_FALSE(line.startsWith(QStringLiteral("E: ")) || line.startsWith(QStringLiteral("W: ")))
                << line.toStdString();
    }

#if PLX90_OPTIMISED_BUILD
    // An optimised build carries the hardening: stack canaries, checked
    // functions, a read-only relocation table bound at start.
    if (have("readelf")) {
        for (const char* program : {"plx90", "plx90-cli"}) {
            SCOPED_TRACE(program);
            const QString path = usr + QStringLiteral("/bin/") + QLatin1String(program);
            const Outcome dynamic = run(QStringLiteral("readelf"), {"-dW", path});
            EXPECT_TRUE(dynamic.out.contains(QStringLiteral("BIND_NOW"))) << dynamic.out.toStdString();
            EXPECT_TRUE(run(QStringLiteral("readelf"), {"-lW", path}).out.contains(QStringLiteral("GNU_RELRO")));
            const Outcome symbols = run(QStringLiteral("readelf"), {"--dyn-syms", "-W", path});
            EXPECT_TRUE(symbols.out.contains(QStringLiteral("__stack_chk_fail")));
            EXPECT_TRUE(symbols.out.contains(QRegularExpression(QStringLiteral("__\\w+_chk\\b"))));
        }
    }
#endif

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
