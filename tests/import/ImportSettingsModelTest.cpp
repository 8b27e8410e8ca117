#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/text/Cp932.h"
#include "import/ImportSettingsModel.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct ImportSettingsFixture : ::testing::Test
{
    TestInstall inst;

    ImportSettingsFixture()
    {
        inst.writeSettings();
        inst.buildPaths();
        inst.env.logCount = 10;
        inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("A.DAT;ORD*;b.csv;"));
        inst.setSetting(QStringLiteral("KoRFileName"), QStringLiteral("K1.TXT"));
        inst.setSetting(QStringLiteral("FileMove"), QStringLiteral("2"));
        inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("3"));
    }

    QByteArray settingsBytes() const
    {
        QFile f(inst.registry.filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

// --- splitting and joining the ";"-lists ---

TEST(ImportSettingsNames, SplitKeepsPiecesBeforeEachSemicolonAndANonBlankRemainder)
{
    EXPECT_EQ(ImportSettingsModel::splitNames(QStringLiteral("a.dat;ORD*;b.csv;")),
              (QStringList{"a.dat", "ORD*", "b.csv"}));
    EXPECT_EQ(ImportSettingsModel::splitNames(QStringLiteral("a;b;  ")), (QStringList{"a", "b"}));
    EXPECT_EQ(ImportSettingsModel::splitNames(QStringLiteral("a;b")), (QStringList{"a", "b"}));
    // A blank piece before a ";" is an entry of its own.
    EXPECT_EQ(ImportSettingsModel::splitNames(QStringLiteral("a;;b")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(ImportSettingsModel::splitNames(QStringLiteral(";")), (QStringList{""}));
    EXPECT_TRUE(ImportSettingsModel::splitNames(QString()).isEmpty());
    EXPECT_TRUE(ImportSettingsModel::splitNames(QStringLiteral("   ")).isEmpty());
}

TEST(ImportSettingsNames, JoinLeavesBlankEntriesOut)
{
    EXPECT_EQ(ImportSettingsModel::joinNames({"a", " ", "", "b"}), QStringLiteral("a;b"));
    EXPECT_EQ(ImportSettingsModel::joinNames({}), QString());
    EXPECT_EQ(ImportSettingsModel::joinNames({"  "}), QString());
    EXPECT_EQ(ImportSettingsModel::joinNames({"only"}), QStringLiteral("only"));
}

// --- the checks of 追加 ---

TEST(ImportSettingsNames, AddRefusesWithTheWindowsMessages)
{
    const QStringList list{"A.DAT", "ORD*"};
    EXPECT_EQ(ImportSettingsModel::refusalForName(QString(), list), kMsgNoName);
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("   "), list), kMsgNoName);
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("a.dat"), list), kMsgNameTaken);
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("  ord* "), list), kMsgNameTaken);
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("setup.ini"), list), kMsgSystemExtension);
    for (const char* name : {"X.SYS", "x.dll", "x.Vxd", "x.386", "x.drv", "RUN.EXE"})
        EXPECT_EQ(ImportSettingsModel::refusalForName(QLatin1String(name), list), kMsgSystemExtension) << name;
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("a,b"), list), kMsgBadCharacter);
    for (const char* name : {"a?", "<a", "a>", "a|b", "a\\b", "a/b", "c:a", "a;b", "\"a\""})
        EXPECT_EQ(ImportSettingsModel::refusalForName(QLatin1String(name), list), kMsgBadCharacter) << name;
    // The checks come in order: a system extension before a bad character.
    EXPECT_EQ(ImportSettingsModel::refusalForName(QStringLiteral("a,b.ini"), list), kMsgSystemExtension);
    // Only the last four characters count as the extension.
    EXPECT_FALSE(ImportSettingsModel::refusalForName(QStringLiteral("x.ini.bak"), list));
    EXPECT_FALSE(ImportSettingsModel::refusalForName(QStringLiteral("*.dat"), list));
}

TEST(ImportSettingsNames, AJoinedListIsCheckedNameByNameDuplicatesIncluded)
{
    EXPECT_FALSE(ImportSettingsModel::refusalForNames(QStringLiteral("a.dat;ORD*;")));
    EXPECT_FALSE(ImportSettingsModel::refusalForNames(QString()));
    EXPECT_EQ(ImportSettingsModel::refusalForNames(QStringLiteral("a.dat;A.DAT")), kMsgNameTaken);
    EXPECT_EQ(ImportSettingsModel::refusalForNames(QStringLiteral("a;;b")), kMsgNoName);
    EXPECT_EQ(ImportSettingsModel::refusalForNames(QStringLiteral("a;boot.ini")), kMsgSystemExtension);
    EXPECT_EQ(ImportSettingsModel::refusalForNames(QStringLiteral("a,b;c")), kMsgBadCharacter);
}

TEST(ImportSettingsNames, OnlyTheKeptCodesAreValidValues)
{
    EXPECT_TRUE(ImportSettingsModel::isValidFileMove(QStringLiteral("1")));
    EXPECT_TRUE(ImportSettingsModel::isValidFileMove(QStringLiteral("2")));
    for (const char* v : {"", "0", "3", " 1", "1 ", "yes"})
        EXPECT_FALSE(ImportSettingsModel::isValidFileMove(QLatin1String(v))) << v;
    for (const char* v : {"1", "2", "3"})
        EXPECT_TRUE(ImportSettingsModel::isValidMakeMode(QLatin1String(v))) << v;
    for (const char* v : {"", "0", "4", "03", "3 "})
        EXPECT_FALSE(ImportSettingsModel::isValidMakeMode(QLatin1String(v))) << v;
}

// --- opening ---

TEST_F(ImportSettingsFixture, OpensOnTheEiajListWithTheStoredChoices)
{
    ImportSettingsModel m(inst.env);
    m.load();
    EXPECT_TRUE(m.eiajUsable());
    EXPECT_TRUE(m.korvanUsable());
    EXPECT_EQ(m.protocol(), Protocol::Eiaj);
    EXPECT_EQ(m.entries(), (QStringList{"A.DAT", "ORD*", "b.csv"}));
    EXPECT_FALSE(m.movesFiles());
    EXPECT_EQ(m.makeModeChoice(), 3);
}

TEST_F(ImportSettingsFixture, ApUseDecidesWhichProtocolsCanBeChosen)
{
    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("EIAJ"));
    ImportSettingsModel eiaj(inst.env);
    eiaj.load();
    EXPECT_TRUE(eiaj.eiajUsable());
    EXPECT_FALSE(eiaj.korvanUsable());
    EXPECT_EQ(eiaj.protocol(), Protocol::Eiaj);

    for (const char* apUse : {"KORVAN", "", "all"}) {
        inst.setSetting(QStringLiteral("ApUse"), QLatin1String(apUse));
        ImportSettingsModel korvan(inst.env);
        korvan.load();
        EXPECT_FALSE(korvan.eiajUsable()) << apUse;
        EXPECT_TRUE(korvan.korvanUsable()) << apUse;
        EXPECT_EQ(korvan.protocol(), Protocol::Korvan) << apUse;
        EXPECT_EQ(korvan.entries(), QStringList{"K1.TXT"}) << apUse;
    }
}

TEST_F(ImportSettingsFixture, MissingOrOddValuesChooseTheFirstOptions)
{
    inst.setSetting(QStringLiteral("EiajFileName"), QString());
    inst.setSetting(QStringLiteral("FileMove"), QStringLiteral("x"));
    inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("7"));
    ImportSettingsModel m(inst.env);
    m.load();
    EXPECT_TRUE(m.entries().isEmpty());
    EXPECT_TRUE(m.movesFiles());
    EXPECT_EQ(m.makeModeChoice(), 1);
    inst.setSetting(QStringLiteral("MakeMode"), QStringLiteral("2"));
    m.load();
    EXPECT_EQ(m.makeModeChoice(), 2);
}

TEST_F(ImportSettingsFixture, AnUnreadableStoreCountsAsEmpty)
{
    const QString path = inst.registry.filePath();
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));
    ImportSettingsModel m(inst.env);
    m.load();
    // ApUse empty: the KORVAN side, nothing listed.
    EXPECT_EQ(m.protocol(), Protocol::Korvan);
    EXPECT_TRUE(m.entries().isEmpty());
    EXPECT_TRUE(m.movesFiles());
    EXPECT_EQ(m.makeModeChoice(), 1);
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

// --- editing ---

TEST_F(ImportSettingsFixture, AddAppendsTheTrimmedNameAndRefusalsLeaveTheListAlone)
{
    ImportSettingsModel m(inst.env);
    m.load();
    EXPECT_EQ(m.add(QStringLiteral("a.DAT")), kMsgNameTaken);
    EXPECT_EQ(m.add(QStringLiteral("my.ini")), kMsgSystemExtension);
    EXPECT_EQ(m.add(QStringLiteral("a,b")), kMsgBadCharacter);
    EXPECT_EQ(m.add(QStringLiteral("  ")), kMsgNoName);
    EXPECT_EQ(m.entries().size(), 3);
    EXPECT_FALSE(m.add(QStringLiteral("  new.txt ")));
    EXPECT_EQ(m.entries(), (QStringList{"A.DAT", "ORD*", "b.csv", "new.txt"}));
    EXPECT_EQ(m.add(QStringLiteral("NEW.TXT")), kMsgNameTaken);
}

// A mask is one line of the settings: a line break or any other control
// character is refused as a bad character, by 追加 and in a stored list alike.
TEST_F(ImportSettingsFixture, AMaskWithALineBreakOrControlCharacterIsRefused)
{
    const QString names[] = {QStringLiteral("*.txt\n*.dat"), QStringLiteral("NEW*\r"),  QStringLiteral("\nNEW*"),
                             QStringLiteral("a\tb"),         QStringLiteral("x\x01y"),  QStringLiteral("x\x7f"),
                             QStringLiteral("a\u0085b"),     QStringLiteral("a\u2028b")};
    ImportSettingsModel m(inst.env);
    m.load();
    const QStringList before = m.entries();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(m.add(name), kMsgBadCharacter);
        EXPECT_EQ(m.entries(), before);
        EXPECT_EQ(ImportSettingsModel::refusalForNames(QStringLiteral("A.DAT;") + name), kMsgBadCharacter);
    }
}

TEST_F(ImportSettingsFixture, DeleteRemovesTheSelectedEntriesOr600WhenNone)
{
    ImportSettingsModel m(inst.env);
    m.load();
    EXPECT_EQ(m.remove({}), kMsgNoName);
    EXPECT_EQ(m.remove({7, -1}), kMsgNoName);
    EXPECT_EQ(m.entries().size(), 3);
    EXPECT_FALSE(m.remove({0, 2, 2}));
    EXPECT_EQ(m.entries(), QStringList{"ORD*"});
}

TEST_F(ImportSettingsFixture, SwitchingKeepsTheEditedListOfEachProtocol)
{
    ImportSettingsModel m(inst.env);
    m.load();
    ASSERT_FALSE(m.add(QStringLiteral("E2.DAT")));
    m.switchTo(Protocol::Korvan);
    EXPECT_EQ(m.entries(), QStringList{"K1.TXT"});
    ASSERT_FALSE(m.remove({0}));
    ASSERT_FALSE(m.add(QStringLiteral("K2.TXT")));
    m.switchTo(Protocol::Eiaj);
    EXPECT_EQ(m.entries(), (QStringList{"A.DAT", "ORD*", "b.csv", "E2.DAT"}));
    m.switchTo(Protocol::Eiaj); // the list shown: nothing changes
    EXPECT_EQ(m.entries().size(), 4);
    EXPECT_EQ(m.korvanNames(), QStringLiteral("K2.TXT"));
}

// --- ＯＫ and ｷｬﾝｾﾙ ---

TEST_F(ImportSettingsFixture, OkSavesBothEditedListsAndTheOptions)
{
    ImportSettingsModel m(inst.env);
    m.load();
    ASSERT_FALSE(m.add(QStringLiteral("E2.DAT")));
    m.switchTo(Protocol::Korvan);
    ASSERT_FALSE(m.add(QStringLiteral("K2.TXT")));
    m.setMovesFiles(true);
    m.setMakeModeChoice(2);
    ASSERT_TRUE(m.save());
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT;ORD*;b.csv;E2.DAT"));
    EXPECT_EQ(inst.setting(QStringLiteral("KoRFileName")), QStringLiteral("K1.TXT;K2.TXT"));
    EXPECT_EQ(inst.setting(QStringLiteral("FileMove")), QStringLiteral("1"));
    EXPECT_EQ(inst.setting(QStringLiteral("MakeMode")), QStringLiteral("2"));
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(ImportSettingsFixture, WithApUseKorvanOkWritesTheEiajListBackUnchanged)
{
    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("KORVAN"));
    ImportSettingsModel m(inst.env);
    m.load();
    ASSERT_FALSE(m.add(QStringLiteral("K2.TXT")));
    ASSERT_TRUE(m.save());
    // As stored, trailing ";" included: the list that was not shown is not rejoined.
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT;ORD*;b.csv;"));
    EXPECT_EQ(inst.setting(QStringLiteral("KoRFileName")), QStringLiteral("K1.TXT;K2.TXT"));
    EXPECT_EQ(inst.setting(QStringLiteral("FileMove")), QStringLiteral("2"));
    EXPECT_EQ(inst.setting(QStringLiteral("MakeMode")), QStringLiteral("3"));
}

TEST_F(ImportSettingsFixture, EditsWithoutOkWriteNothing)
{
    const QByteArray before = settingsBytes();
    {
        ImportSettingsModel m(inst.env);
        m.load();
        ASSERT_FALSE(m.add(QStringLiteral("E2.DAT")));
        ASSERT_FALSE(m.remove({0}));
        m.switchTo(Protocol::Korvan);
        m.setMovesFiles(true);
        m.setMakeModeChoice(1);
    }
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(ImportSettingsFixture, AFailedWriteIsReportedAndNotASuccess)
{
    ImportSettingsModel m(inst.env);
    m.load();
    ASSERT_FALSE(m.add(QStringLiteral("E2.DAT")));
    // A folder where the settings file should be: it can be neither read nor replaced.
    const QString path = inst.registry.filePath();
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));

    bool saved = true;
    EXPECT_FALSE(endsProgram([&] { saved = m.save(); }));
    EXPECT_FALSE(saved);
    const qint32 rc = inst.registry.regPutValue(kRegistryKey, QStringLiteral("EiajFileName"), QString());
    ASSERT_NE(rc, RegOk);
    ASSERT_FALSE(Registry::regErrorText(rc).isEmpty());
    const QString cause = QStringLiteral("ﾚｼﾞｽﾄﾘ書き込み編集/EiajFileName/") + Registry::regErrorText(rc);
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_EQ(inst.dialogs.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(inst.dialogs.shown[0].text, kErrorReportText + QStringLiteral("\r\n") + cause);
    EXPECT_TRUE(cp932::decode(inst.readFile(QStringLiteral("Log/Deliv.log"))).contains(cause));

    // The edits are still there: once the store can be written, ＯＫ succeeds.
    EXPECT_EQ(m.entries().last(), QStringLiteral("E2.DAT"));
    ASSERT_TRUE(QDir(path).removeRecursively());
    inst.writeSettings();
    EXPECT_TRUE(m.save());
    EXPECT_EQ(inst.setting(QStringLiteral("EiajFileName")), QStringLiteral("A.DAT;ORD*;b.csv;E2.DAT"));
}
