#include "support/CliRunner.h"
#include "support/ListFixtures.h"

#include "list/DeliveryList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

CliResult runList(TestInstall& inst, const QStringList& args)
{
    return runCli(inst.registry.filePath(), QStringList{QStringLiteral("list")} + args);
}

} // namespace

TEST(ListCommand, PrintsTheListWindowsColumnsAsTsv)
{
    TestInstall inst;
    writeListInstallation(inst);
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機")}));
    DeliveryRecord gap = listed('1', "ORD1", "GAP", "0", "G", "");
    gap.setKind(' ');
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "R1", "2", "A", "品名"), gap,
                                                                   listed('1', "ORD9", "R2", "0", "B", "")}));

    const CliResult p = runList(inst, {"--eiaj"});
    ASSERT_EQ(p.exitCode, 0) << p.err.toStdString();
    const QStringList lines = p.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QStringLiteral("No.\t状態\t発注者名称\t注文番号\t納品キー番号\t品名\t品名コード\t注文数量\t単位\t納期\t"
                             "納入指示数量\t出荷日\t納入数量"));
    // The same texts the window's model shows, cell for cell.
    DeliveryList list(inst.env);
    ASSERT_TRUE(list.reload(Protocol::Eiaj));
    for (int row = 0; row < 2; ++row) {
        QStringList cells;
        for (int c = 0; c < DeliveryListModel::kColumnCount; ++c)
            cells << list.model(Protocol::Eiaj).cellText(row, c);
        EXPECT_EQ(lines[row + 1], cells.join(QLatin1Char('\t')));
    }
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1\t済\t北斗星電機")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2\t\t\t")));
}

TEST(ListCommand, RefusesBadUsageAndFailedStartUp)
{
    TestInstall inst;
    writeListInstallation(inst);
    const CliResult both = runList(inst, {"--eiaj", "--korvan"});
    EXPECT_EQ(both.exitCode, 2);
    const CliResult none = runList(inst, {});
    EXPECT_EQ(none.exitCode, 2);

    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("EIAJ"));
    const CliResult wrongFormat = runList(inst, {"--korvan"});
    EXPECT_EQ(wrongFormat.exitCode, 1);

    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("eiaj"));
    const CliResult badSetting = runList(inst, {"--eiaj"});
    EXPECT_EQ(badSetting.exitCode, 1);
    EXPECT_TRUE(badSetting.err.contains(QStringLiteral("レジストリの情報に誤りがあります。")));

    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("ALL"));
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    const CliResult noCodes = runList(inst, {"--eiaj"});
    EXPECT_EQ(noCodes.exitCode, 1);
    EXPECT_TRUE(noCodes.err.contains(QStringLiteral("コード情報が確認できません。")));
}

TEST(ListCommand, AFileThatCannotBeOpenedFailsTheListItMakesIncomplete)
{
    struct Case
    {
        const char* what;
        QString file; // made a folder, so that it cannot be opened
        const char* format;
        int exitCode;
        int rows;     // rows printed under the header
        QString told; // the start of what standard error says
    };
    const QString eiajTold = QStringLiteral("EIAJの一覧を表示できません。\n納品書ﾌｧｲﾙを開けません。");
    const QList<Case> cases = {
        {"the EIAJ data file, listing EIAJ", "Prg/E_Deliv.dat", "--eiaj", 1, -1, eiajTold},
        {"the EIAJ data file, listing KORVAN", "Prg/E_Deliv.dat", "--korvan", 0, 2, eiajTold},
        {"the KORVAN data file", "Prg/K_Deliv.dat", "--korvan", 1, -1,
         QStringLiteral("KORVANの一覧を表示できません。\n納品書ﾌｧｲﾙを開けません。")},
        {"the company file", "Usr/Cust.DAT", "--eiaj", 1, -1,
         QStringLiteral("発注者名称を表示できません。\n発注企業ﾌｧｲﾙを開けません。")},
        {"the code table", "Prg/Code.DAT", "--korvan", 1, -1,
         QStringLiteral("一覧を表示できません。\nコードファイルを開けません。")},
        {"the work file of the EIAJ conversion", "Prg/E_Deliv_w.dat", "--eiaj", 1, -1,
         QStringLiteral("EIAJの納品書ﾌｧｲﾙを今の形式に変換できません。\nファイルに書き込めません。")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestInstall inst;
        writeListInstallation(inst);
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機")}));
        const DeliveryRecord eiaj = listed('1', "ORD1", "E1", "0", "A", "");
        // The conversion case starts from a record of the layout before the currency fields.
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), c.file.endsWith(QStringLiteral("_w.dat"))
                                                              ? eiaj.bytes().left(2239) + "\r\n"
                                                              : fileOf(QList{eiaj}));
        inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"),
                       fileOf(QList{listed('2', "ORD1", "K1", "0", "B", ""), listed('2', "ORD1", "K2", "0", "C", "")}));
        QFile::remove(inst.path(c.file));
        ASSERT_TRUE(QDir().mkpath(inst.path(c.file)));

        const CliResult run = runList(inst, {QLatin1String(c.format)});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("PLX-90ﾒｯｾｰｼﾞ [注意] ") + c.told)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QFileInfo(inst.path(c.file)).fileName() + QStringLiteral(": ")))
            << run.err.toStdString();
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), c.rows < 0 ? 0 : c.rows + 1) << run.out.toStdString();
        // The error log keeps it too.
        const QString logged = cp932::decode(inst.readFile(QStringLiteral("Log/Deliv.log")));
        EXPECT_TRUE(logged.contains(QStringLiteral("ﾌｧｲﾙｵｰﾌﾟﾝ/") + c.told.section(QLatin1Char('\n'), 1)))
            << logged.toStdString();
    }
}
