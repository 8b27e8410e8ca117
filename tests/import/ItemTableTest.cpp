#include "support/TestInstall.h"

#include "import/ErrorList.h"
#include "import/ItemTable.h"

#include "core/text/Cp932.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(SplitCsvLine, QuotesCommasAndEnds)
{
    EXPECT_EQ(splitCsvLine(u"a,\"b,c\",\"say \"\"hi\"\"\""), (QStringList{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(splitCsvLine(u"a,b,"), (QStringList{"a", "b"}));
    EXPECT_EQ(splitCsvLine(u"a,,b"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitCsvLine(u"\"A\"x,y"), (QStringList{"Ax", "y"}));
    EXPECT_EQ(splitCsvLine(u" a , b "), (QStringList{" a ", " b "}));
    EXPECT_EQ(splitCsvLine(u""), QStringList());
}

TEST(ItemTable, PairAndHeaderForms)
{
    ItemTable t;
    EXPECT_FALSE(t.loadPairs(u"A,1,B"));
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.name(1), QStringLiteral("A"));
    EXPECT_EQ(t.value(1), QStringLiteral("1"));
    EXPECT_EQ(t.name(2), QString());
    EXPECT_EQ(t.value(2), QStringLiteral("B"));
    EXPECT_EQ(t.value(0), QString());
    EXPECT_EQ(t.value(9), QString());

    EXPECT_FALSE(t.loadHeader(u"A,B,C", u"1,2"));
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.value(3), QString());
    EXPECT_TRUE(t.loadHeader(u"A,B,C", u"1,2,3,4"));
    EXPECT_FALSE(t.loadHeader(u"A,B,A", u"1,2,3"));
    EXPECT_EQ(t.findLast(u"A"), 3);
    EXPECT_EQ(t.findLast(u"Z"), 0);
}

TEST(ItemTable, At548Rows)
{
    QStringList names, values, pairs;
    for (int i = 1; i <= 549; ++i) {
        names << QStringLiteral("N%1").arg(i);
        values << QString::number(i);
        pairs << names.last() << values.last();
    }
    ItemTable t;
    EXPECT_FALSE(t.loadHeader(names.mid(0, 548).join(u','), values.mid(0, 548).join(u',')));
    EXPECT_EQ(t.value(548), QStringLiteral("548"));
    EXPECT_TRUE(t.loadHeader(names.join(u','), values.join(u',')));
    EXPECT_FALSE(t.loadPairs(pairs.mid(0, 1096).join(u',')));
    EXPECT_TRUE(t.loadPairs(pairs.join(u',')));
}

TEST(ErrorList, HeadingOnceAndTheLineFormats)
{
    TestInstall inst;
    inst.buildPaths();
    {
        ErrorList list(inst.env, Protocol::Eiaj);
        list.writeEntry(11, "ORDER1.CSV", "REIAJ013", 3, "A001", "S01", "K123", "0502");
        inst.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
        list.writeEntry(4, "ORDER1.CSV", "", 4, "A002", "S02", "", "0502");
        list.writeEntry(3, "X.CSV", "", 0, "", "", "", "0701");
        list.writeEntry(11, "ORDER1.CSV", "", 5, "A", "S", "K", "07031");
        EXPECT_EQ(list.count(), 4);
        EXPECT_EQ(list.fileLevel(), ErrorList::FileLevel::EntryRefused);
    }
    const QStringList lines = cp932::decode(inst.readFile(QStringLiteral("Log/Err.dat"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("*** 納品書ﾃﾞｰﾀ作成ｴﾗｰﾘｽﾄ ***"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("ｴﾗｰ発生日時  [2026/12/07 09:41:30]"));
    EXPECT_EQ(lines[3], QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ [EIAJ] "));
    EXPECT_EQ(lines[5], QStringLiteral("ORDER1.CSV [0502]:REIAJ013に誤りがあります。(011):ﾚｺｰﾄﾞNo.[3],発注者ｺｰﾄﾞ[A001],"
                                       "受注者ｺｰﾄﾞ[S01],納品ｷｰ番号[K123]"));
    EXPECT_EQ(lines[6], QStringLiteral("ORDER1.CSV [0502]:発注者情報が登録されていません。(004):ﾚｺｰﾄﾞNo.[4],"
                                       "発注者ｺｰﾄﾞ[A002],受注者ｺｰﾄﾞ[S02]"));
    EXPECT_EQ(lines[7], QStringLiteral("X.CSV [0701]:未サポートの情報区分ファイルです。(003)"));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("ORDER1.CSV [0703]:に誤りがあります。(011)")));
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_EQ(inst.dialogs.shown[0].text, QStringLiteral("未サポートの情報区分ファイルです。(X.CSV)"));
    EXPECT_EQ(inst.dialogs.shown[0].icon, MessageIcon::Exclamation);
}
