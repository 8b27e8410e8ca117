#include "support/CliRunner.h"
#include "support/ListFixtures.h"

#include "list/DeliveryList.h"

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
