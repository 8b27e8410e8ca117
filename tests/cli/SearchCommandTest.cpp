#include "support/CliRunner.h"
#include "support/ListFixtures.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kNotFound = QStringLiteral("該当するデータがありません。");

struct SearchCommandFixture : ::testing::Test
{
    TestInstall inst;
    SearchCommandFixture()
    {
        writeListInstallation(inst);
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(u"003,1,\"コード情報が確認できません。\"\r\n"
                                                                    u"630,4,\"該当するデータがありません。\"\r\n"));
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機"), company('1', "ORD2", "SUP2", "湘洋"),
                                    company('2', "ORD9", "SUP", "KORVAN社")}));
        DeliveryRecord gone = listed('1', "ORD1", "K9", "0", "I", "");
        gone.setKind(' ');
        DeliveryRecord due = listed('1', "ORD2", "K4", "0", "I", "");
        due.setText(DeliveryField::DueDate, u"20261207");
        DeliveryRecord other = listed('1', "ORD2", "K5", "0", "I", "");
        other.setText(DeliveryField::SupplierCode, u"SUP2");
        // EIAJ rows: 1 K1, 2 K2, 3 K3, 4 K4, 5 K5 (ORD2/SUP2); the deleted K9 is none.
        inst.writeFile(
            QStringLiteral("Prg/E_Deliv.dat"),
            fileOf(QList{listed('1', "ORD1", "K1", "0", "I", ""), gone, listed('1', "ORD1", "K2", "0", "I", ""),
                         listed('1', "ORD2", "K3", "0", "I", ""), due, other}));
        inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{listed('2', "ORD9", "X1", "0", "I", "")}));
    }
    CliResult search(const QStringList& args)
    {
        return runCli(inst.registry.filePath(), QStringList{QStringLiteral("search")} + args);
    }
};

} // namespace

TEST_F(SearchCommandFixture, PrintsTheListRowOfTheFirstMatch)
{
    const CliResult noCondition = search({"--eiaj"});
    ASSERT_EQ(noCondition.exitCode, 0) << noCondition.err.toStdString();
    EXPECT_EQ(noCondition.out, QStringLiteral("1\n"));

    // The deleted record between K1 and K2 is not a row.
    EXPECT_EQ(search({"--eiaj", "--key", "K2"}).out, QStringLiteral("2\n"));
    EXPECT_EQ(search({"--eiaj", "--order-no", "PO-K3"}).out, QStringLiteral("3\n"));
    EXPECT_EQ(search({"--eiaj", "--item", "IC-K3"}).out, QStringLiteral("3\n"));
    EXPECT_EQ(search({"--eiaj", "--due", "2026/12/07"}).out, QStringLiteral("4\n"));
    EXPECT_EQ(search({"--eiaj", "--due", "20261207"}).out, QStringLiteral("4\n"));
    EXPECT_EQ(search({"--eiaj", "--after", "2"}).out, QStringLiteral("3\n"));
    EXPECT_EQ(search({"--korvan", "--key", "X1"}).out, QStringLiteral("1\n"));
}

TEST_F(SearchCommandFixture, TheCompanyFiltersByOrdererAndSupplier)
{
    EXPECT_EQ(search({"--eiaj", "--orderer", "ORD2", "--supplier", "SUP2"}).out, QStringLiteral("5\n"));
    EXPECT_EQ(search({"--eiaj", "--orderer", "ORD1", "--supplier", "SUP", "--after", "1"}).out, QStringLiteral("2\n"));
    // ORD2 with SUP (rows 3 and 4) is not a company of the file.
    const CliResult unknown = search({"--eiaj", "--orderer", "ORD2", "--supplier", "SUP"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.contains(kNotFound));
    // A KORVAN company is not one of the EIAJ list.
    EXPECT_EQ(search({"--eiaj", "--orderer", "ORD9", "--supplier", "SUP"}).exitCode, 1);
}

TEST_F(SearchCommandFixture, NothingAfterTheRowIsMessage630)
{
    // Row 3 alone matches; after row 4 the search does not wrap around.
    const CliResult none = search({"--eiaj", "--order-no", "PO-K3", "--after", "4"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.contains(kNotFound)) << none.err.toStdString();
    // Part of an order number is no match.
    EXPECT_EQ(search({"--eiaj", "--order-no", "PO-K"}).exitCode, 1);
    EXPECT_EQ(search({"--eiaj", "--after", "5"}).exitCode, 1);
}

TEST_F(SearchCommandFixture, UsageErrors)
{
    EXPECT_EQ(search({}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--korvan"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--orderer", "ORD1"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--supplier", "SUP"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--after", "two"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--after", "-1"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--after"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "K1"}).exitCode, 2);
    EXPECT_EQ(search({"--eiaj", "--colour", "red"}).exitCode, 2);
}

TEST_F(SearchCommandFixture, StartUpChecksAndDamagedFilesFailCleanly)
{
    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("EIAJ"));
    EXPECT_EQ(search({"--korvan"}).exitCode, 1);
    inst.setSetting(QStringLiteral("ApUse"), QStringLiteral("ALL"));

    const QByteArray torn = listed('1', "ORD1", "K1", "0", "I", "").bytes() + "torn";
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), torn);
    const CliResult damaged = search({"--eiaj"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.out.isEmpty());
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("E_Deliv.dat"))) << damaged.err.toStdString();
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), torn);

    ASSERT_TRUE(QFile::remove(inst.path(QStringLiteral("Prg/Code.DAT"))));
    const CliResult noCodes = search({"--eiaj"});
    EXPECT_EQ(noCodes.exitCode, 1);
    EXPECT_TRUE(noCodes.out.isEmpty());
    EXPECT_FALSE(noCodes.err.isEmpty());
}

TEST_F(SearchCommandFixture, AScannedKeyOrSymbolFindsItsRowsInEveryCompany)
{
    // K4 of ORD2 also stands under ORD1 (a key is unique per company only).
    const QByteArray data = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), data + listed('1', "ORD1", "K4", "0", "I", "").bytes());
    struct Case
    {
        const char* scanned;
        QString out;
    };
    const Case cases[] = {
        {"K2", QStringLiteral("2\tORD1\tSUP\t北斗星電機\n")},        // the key as the customer's sheet carries it
        {"ZK2", QStringLiteral("2\tORD1\tSUP\t北斗星電機\n")},       // our key symbol
        {"3N3K2 10 ", QStringLiteral("2\tORD1\tSUP\t北斗星電機\n")}, // our 3N3 symbol: key and quantity
        // Two companies' records (ORD2/SUP has no company: no name).
        {"K4\r", QStringLiteral("4\tORD2\tSUP\t\n6\tORD1\tSUP\t北斗星電機\n")},
    };
    for (const Case& c : cases) {
        const CliResult run = search({"--eiaj", "--scan", QString::fromLatin1(c.scanned)});
        EXPECT_EQ(run.exitCode, 0) << c.scanned << run.err.toStdString();
        EXPECT_EQ(run.out, c.out) << c.scanned;
    }
    for (const char* none : {"K9", "3N3K2", "Z", "X1"}) { // deleted, cut symbol, bare Z, the other format's
        const CliResult run = search({"--eiaj", "--scan", QString::fromLatin1(none)});
        EXPECT_EQ(run.exitCode, 1) << none;
        EXPECT_TRUE(run.err.contains(kNotFound)) << none << run.err.toStdString();
    }
    EXPECT_EQ(search({"--eiaj", "--scan", "K2", "--key", "K2"}).exitCode, 2);
}

TEST_F(SearchCommandFixture, ATextCp932CannotHoldMatchesNoStoredKey)
{
    // "é" is not in CP932: written to the file it would be "?", the key of A?1.
    const QByteArray data = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), data + listed('1', "ORD1", "A?1", "0", "I", "").bytes());
    struct Case
    {
        QStringList args;
        QString out; // empty: message 630, exit 1
    };
    const Case cases[] = {
        {{"--scan", QStringLiteral("A?1")}, QStringLiteral("6\tORD1\tSUP\t北斗星電機\n")}, // the stored key itself
        {{"--scan", QStringLiteral("Aé1")}, {}},
        {{"--scan", QStringLiteral("ZAé1")}, {}},     // as our key symbol
        {{"--scan", QStringLiteral("3N3Aé1 5")}, {}}, // as our 3N3 symbol
        {{"--scan", QStringLiteral("A\U0001F600"
                                   "1")},
         {}},                                   // a character outside the BMP
        {{"--key", QStringLiteral("Aé1")}, {}}, // the search window's key condition
        {{"--key", QStringLiteral("A?1")}, QStringLiteral("6\n")},
    };
    for (const Case& c : cases) {
        const CliResult run = search(QStringList{"--eiaj"} + c.args);
        const std::string name = c.args.join(' ').toStdString();
        if (c.out.isEmpty()) {
            EXPECT_EQ(run.exitCode, 1) << name;
            EXPECT_TRUE(run.out.isEmpty()) << name << run.out.toStdString();
            EXPECT_TRUE(run.err.contains(kNotFound)) << name << run.err.toStdString();
        } else {
            EXPECT_EQ(run.exitCode, 0) << name << run.err.toStdString();
            EXPECT_EQ(run.out, c.out) << name;
        }
    }
}
