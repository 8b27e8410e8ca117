#include "support/CliRunner.h"
#include "support/TestInstall.h"

#include "core/text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

CliResult settings(const QString& registry, const QStringList& args)
{
    return runCli(registry, QStringList{QStringLiteral("settings")} + args);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct SettingsCommandFixture : ::testing::Test
{
    TestInstall inst;
    QString registry;

    SettingsCommandFixture()
    {
        inst.writeSettings();
        inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("A.DAT"));
        inst.setSetting(QStringLiteral("FileMove"), QStringLiteral("1"));
        inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("1"));
        registry = inst.registry.filePath();
    }
};

} // namespace

TEST_F(SettingsCommandFixture, AcceptsWhatTheSettingsWindowWouldKeep)
{
    EXPECT_EQ(settings(registry, {"set", "FileMove", "2"}).exitCode, 0);
    EXPECT_EQ(settings(registry, {"set", "MakeMode", "3"}).exitCode, 0);
    EXPECT_EQ(settings(registry, {"set", "EiajFileName", "a.dat;ORD*;"}).exitCode, 0);
    EXPECT_EQ(settings(registry, {"set", "KoRFileName", ""}).exitCode, 0);
    EXPECT_EQ(inst.setting(QStringLiteral("FileMove")), QStringLiteral("2"));
    EXPECT_EQ(inst.setting(QStringLiteral("MakeMode")), QStringLiteral("3"));
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("a.dat;ORD*;"));
    EXPECT_EQ(settings(registry, {"get", "EiajFileName"}).out, QStringLiteral("a.dat;ORD*;\n"));
    // Settings the window does not edit are not checked.
    EXPECT_EQ(settings(registry, {"set", "DataFilePath", "/x,y"}).exitCode, 0);
}

TEST_F(SettingsCommandFixture, RefusesOtherFileMoveAndMakeModeValuesWithoutWriting)
{
    const QByteArray before = bytesOf(registry);
    for (const char* v : {"0", "3", "", " 1"}) {
        const CliResult r = settings(registry, {"set", "FileMove", v});
        EXPECT_EQ(r.exitCode, 1) << v;
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("FileMove: "))) << r.err.toStdString();
    }
    for (const char* v : {"0", "4", "x"})
        EXPECT_EQ(settings(registry, {"set", "MakeMode", v}).exitCode, 1) << v;
    // The store does not tell names apart by letter case; neither does the check.
    EXPECT_EQ(settings(registry, {"set", "makemode", "9"}).exitCode, 1);
    EXPECT_EQ(bytesOf(registry), before);
}

TEST_F(SettingsCommandFixture, RefusedNamesPrintTheCataloguesMessage)
{
    inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(u"585,3,\"同じ名前があります。\"\r\n"
                                                                u"600,3,\"名前がありません。\"\r\n"
                                                                u"645,3,\"システムファイルです。\"\r\n"
                                                                u"650,3,\"使えない文字: , ; \"\r\n"));
    const QByteArray before = bytesOf(registry);
    const CliResult duplicate = settings(registry, {"set", "EiajFileName", "a.dat;A.DAT"});
    EXPECT_EQ(duplicate.exitCode, 1);
    EXPECT_EQ(duplicate.err, QStringLiteral("(585) 同じ名前があります。\n"));
    EXPECT_EQ(settings(registry, {"set", "KoRFileName", "boot.INI"}).err,
              QStringLiteral("(645) システムファイルです。\n"));
    EXPECT_EQ(settings(registry, {"set", "korfilename", "a,b"}).err, QStringLiteral("(650) 使えない文字: , ; \"\n"));
    EXPECT_EQ(settings(registry, {"set", "EiajFileName", "a;;b"}).err, QStringLiteral("(600) 名前がありません。\n"));
    EXPECT_EQ(bytesOf(registry), before);
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT"));
}

// A mask holding a line break or another control character is refused with the
// window's message for a bad name, and nothing is written.
TEST_F(SettingsCommandFixture, AMaskWithALineBreakOrControlCharacterIsRefused)
{
    const struct
    {
        const char* name;
        const char* value;
    } cases[] = {
        {"EiajFileName", "*.txt\n*.dat"}, {"EiajFileName", "A.DAT;ORD*\r\n"}, {"KoRFileName", "\nK*.DAT"},
        {"KoRFileName", "K\t*.DAT"},      {"eiajfilename", "a\x1b.dat"},
    };
    const QByteArray before = bytesOf(registry);
    for (const auto& c : cases) {
        SCOPED_TRACE(QByteArray(c.value).toPercentEncoding().toStdString());
        const CliResult r = settings(registry, {"set", QString::fromLatin1(c.name), QString::fromLatin1(c.value)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("(650) "))) << r.err.toStdString();
        EXPECT_EQ(bytesOf(registry), before);
    }
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT"));
}

TEST(SettingsCommand, WithoutACatalogueTheInstalledTextIsPrinted)
{
    // Settings written before any installation: no base folder, no catalogue.
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    const CliResult r = settings(registry, {"set", "EiajFileName", "x.sys"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral(
                         "(645) システムファイルの拡張子（SYS・DLL・VXD・386・DRV・EXE・INI）は指定できません。\n"));
    EXPECT_FALSE(QFileInfo::exists(registry));
    EXPECT_EQ(settings(registry, {"set", "EiajFileName", "x.dat"}).exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(registry));
}

TEST(SettingsCommand, StartUpSettingsTakeOnlyWhatStartUpTakes)
{
    // Each value either is refused, leaving the store as it was, or is stored
    // and every command still starts.
    struct Case
    {
        const char* name;
        QString value;
        bool taken;
    };
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
    const Case cases[] = {
        {"Nifuda", QStringLiteral("99999"), false},
        {"nifuda", QStringLiteral(" 7.5 "), true},
        {"ApUse", QStringLiteral("eiaj"), false},
        {"ApUse", QStringLiteral("KORVAN"), true},
        {"LogPointer", QStringLiteral("-32769"), false},
        {"LogCount", QString(), false},
        {"BaseYear", QStringLiteral("12a"), false},
        {"CheckSpec", QStringLiteral("-1"), true},
        {"InstallBasePath", dir.path() + QStringLiteral("/elsewhere"), false},
        {"InstallBasePath", dir.path() + QStringLiteral("/"), true},
    };
    for (const Case& c : cases) {
        const QByteArray before = bytesOf(registry);
        const CliResult r = settings(registry, {"set", c.name, c.value});
        EXPECT_EQ(r.exitCode, c.taken ? 0 : 1) << c.name << "=" << c.value.toStdString();
        if (c.taken) {
            EXPECT_EQ(settings(registry, {"get", c.name}).out, c.value + QLatin1Char('\n')) << c.name;
        } else {
            EXPECT_TRUE(r.err.startsWith(QLatin1String(c.name) + QStringLiteral(": "))) << r.err.toStdString();
            EXPECT_EQ(bytesOf(registry), before) << c.name;
        }
        const CliResult list = runCli(registry, {"list", "--korvan"});
        EXPECT_EQ(list.exitCode, 0) << c.name << "=" << c.value.toStdString() << ": " << list.err.toStdString();
    }

    // A value that reached the store another way is named by every command
    // under the fixed text, and in the error log.
    Registry(registry).regPutValue(kRegistryKey, QStringLiteral("Nifuda"), QStringLiteral("99999"));
    const CliResult r = runCli(registry, {"list", "--korvan"});
    EXPECT_EQ(r.exitCode, 1);
    const QString named = QStringLiteral("Nifuda/-32768～32767 の数値を指定してください。（値「99999」）");
    EXPECT_TRUE(r.err.contains(QStringLiteral("レジストリの情報に誤りがあります。\n") + named)) << r.err.toStdString();
    EXPECT_TRUE(bytesOf(dir.path() + QStringLiteral("/Plx90We/Log/Deliv.log")).contains(cp932::encode(named)));
}
