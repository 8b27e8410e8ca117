#include "support/CliRunner.h"
#include "support/ImportFixtures.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

CliResult runImport(ImportInstall& imp, const QStringList& args)
{
    return runCli(imp.inst.registry.filePath(), QStringList{QStringLiteral("import")} + args);
}

} // namespace

TEST(ImportCommand, ImportsReportsEachFileAndTheErrorList)
{
    ImportInstall imp;
    imp.order("GOOD.CSV", {QStringLiteral("REIAJC14,0502,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,K1")});
    imp.order("BAD.CSV", {QStringLiteral("nothing here")});
    const CliResult run = runImport(imp, {"--eiaj", "--no-move", imp.inPath("GOOD.CSV"), imp.inPath("BAD.CSV")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_EQ(lines[0], imp.inPath("GOOD.CSV") + QStringLiteral("\t取り込み済"));
    EXPECT_EQ(lines[1], imp.inPath("BAD.CSV") + QStringLiteral("\t拒否 (002 対象外のビジネスプロトコルです。)"));
    EXPECT_EQ(lines[2], QStringLiteral("取込：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 1件"));
    EXPECT_EQ(lines[3], QStringLiteral("拒否：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 0件"));
    EXPECT_EQ(lines[4], QStringLiteral("ｴﾗｰﾘｽﾄ: ") + imp.inst.env.paths.errListPath);
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    EXPECT_TRUE(QFile::exists(imp.inPath("GOOD.CSV")));

    // Mode 3 with the move: the data file starts anew and the file goes to Dust.
    imp.order("NEXT.CSV", {QStringLiteral("REIAJC14,0502,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,K2")});
    const CliResult again = runImport(imp, {"--eiaj", "--mode", "3", "--move", imp.inPath("NEXT.CSV")});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    ASSERT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    EXPECT_EQ(imp.records(Protocol::Eiaj)[0].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K2"));
    EXPECT_TRUE(QFile::exists(imp.inst.env.paths.dustFolder + QStringLiteral("NEXT.CSV")));
}

TEST(ImportCommand, AnEmptyCodeTableImportsNothingChangesNothingAndFails)
{
    // Mode 3 with the move: a run that went ahead would empty the data file
    // and take the order file away.
    ImportInstall imp;
    imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "A001", "S01", "OLD", "1")}));
    imp.inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    const QByteArray before = imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    imp.order("GOOD.CSV", {QStringLiteral("REIAJC14,0502,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,K1")});
    const CliResult run = runImport(imp, {"--eiaj", "--mode", "3", "--move", "--yes", imp.inPath("GOOD.CSV")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, imp.inPath("GOOD.CSV") + QStringLiteral("\t未処理\n"));
    EXPECT_TRUE(run.err.contains(QStringLiteral("コード情報が確認できません。"))) << run.err.toStdString();
    EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    EXPECT_TRUE(QFile::exists(imp.inPath("GOOD.CSV")));
    EXPECT_FALSE(QFile::exists(imp.inst.env.paths.backupDelivPath));
}

// Mode 3 asks before it deletes records waiting for issue, as the window does;
// without --yes the answer is No and nothing changes.
TEST(ImportCommand, StartingAnewAsksBeforeDeletingWaitingRecords)
{
    const struct
    {
        QStringList statuses;
        bool yes;
        int exitCode;
        const char* question;  // the answered question on stderr, or nullptr: no question at all
        QStringList keysAfter; // empty: the data file is byte for byte as it was
    } cases[] = {
        {{"1", "8", "2"}, false, 1, "発行待ちの納品書ﾃﾞｰﾀが2件あります。", {}},
        {{"1", "8", "2"}, true, 0, "発行待ちの納品書ﾃﾞｰﾀが2件あります。", {"N1"}},
        {{"2", "0"}, false, 0, nullptr, {"N1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statuses.join(u',').toStdString() + (c.yes ? " --yes" : ""));
        ImportInstall imp;
        QList<DeliveryRecord> records;
        for (const QString& status : c.statuses)
            records << delivery('1', "A001", "S01", QStringLiteral("R%1").arg(records.size() + 1), status);
        imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
        const QByteArray before = imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
        imp.order("N.CSV", {QStringLiteral("REIAJC14,0502,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,N1")});
        QStringList args{"--eiaj", "--mode", "3", "--move", imp.inPath("N.CSV")};
        if (c.yes)
            args.prepend(QStringLiteral("--yes"));

        const CliResult run = runImport(imp, args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        if (c.question) {
            const QString asked = QString::fromUtf8(c.question);
            EXPECT_TRUE(run.err.contains(asked)) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(c.yes ? QStringLiteral("-> はい") : QStringLiteral("-> いいえ")));
        } else {
            EXPECT_FALSE(run.err.contains(QStringLiteral("発行待ち"))) << run.err.toStdString();
        }
        if (c.keysAfter.isEmpty()) {
            EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
            EXPECT_TRUE(QFile::exists(imp.inPath("N.CSV")));
            EXPECT_FALSE(run.out.contains(QStringLiteral("取り込み済"))) << run.out.toStdString();
        } else {
            QStringList keys;
            for (const DeliveryRecord& r : imp.records(Protocol::Eiaj))
                keys << r.text(DeliveryField::DeliveryKeyNo).trimmed();
            EXPECT_EQ(keys, c.keysAfter);
            EXPECT_TRUE(QFile::exists(imp.inst.env.paths.dustFolder + QStringLiteral("N.CSV")));
        }
    }
}

TEST(ImportCommand, NothingAcceptedOrBadUsage)
{
    ImportInstall imp;
    const CliResult none = runImport(imp, {"--korvan", imp.inPath("MISSING.CSV")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.contains(QStringLiteral("拒否 (001")));
    EXPECT_EQ(runImport(imp, {"--eiaj"}).exitCode, 2);
    EXPECT_EQ(runImport(imp, {"--eiaj", "--mode", "4", "x"}).exitCode, 2);
    EXPECT_EQ(runImport(imp, {"--eiaj", "--move", "--no-move", "x"}).exitCode, 2);
}

TEST(ImportCommand, BytesThatAreNotCp932AndANonNumericInstructedQuantityAreRefusedWith011)
{
    const QByteArray eiajHeader = "REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ022,REIAJ159NO01,REIAJ032NO01,"
                                  "REIAJ159NO02,REIAJ032NO02";
    const QByteArray korvanHeader = "RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,RD10Key,"
                                    "RD10SNum,RD10Name";
    const auto eiajTail = [](const char* key) {
        return QStringLiteral(":ﾚｺｰﾄﾞNo.[1],発注者ｺｰﾄﾞ[A001],受注者ｺｰﾄﾞ[S01],納品ｷｰ番号[") + QLatin1String(key) +
               QLatin1Char(']');
    };
    const auto korvanTail = [](const char* key) {
        return QStringLiteral(":ﾚｺｰﾄﾞNo.[1],発注者ｺｰﾄﾞ[4172AB],受注者ｺｰﾄﾞ[0588XY],納品ｷｰ番号[") + QLatin1String(key) +
               QLatin1Char(']');
    };
    struct Case
    {
        const char* format;
        QByteArray line;
        QString error;                               // the line's entry in the error list, empty for none
        QList<std::pair<QString, QString>> imported; // keys with their instructed quantities
    };
    const Case cases[] = {
        // The controls: an empty quantity is zero, a numeric one is stored.
        {"--eiaj", "0502,A001,S01,2,NAME,K1,10,K2,", {}, {{"K1", "000000010.000"}, {"K2", "000000000.000"}}},
        {"--korvan", "D10,4172AB,,0588XY,,X1,5,SENSOR", {}, {{"X1", "000000005.000"}}},
        // A byte no CP932 character starts with, in an item of the record.
        {"--eiaj",
         "0502,A001,S01,2,N\xFFME,K1,1,,",
         QStringLiteral("REIAJ022に誤りがあります。(011)") + eiajTail(""),
         {}},
        {"--korvan",
         "D10,4172AB,,0588XY,,X1,5,SEN\xFFSOR",
         QStringLiteral("RD10Nameに誤りがあります。(011)") + korvanTail("X1"),
         {}},
        // A lead byte whose second byte cannot follow it, in the orderer code.
        {"--eiaj",
         "0502,A0\x82\x31,S01,2,NAME,K1,1,,",
         QStringLiteral("REIAJ004に誤りがあります。(011)") +
             QStringLiteral(":ﾚｺｰﾄﾞNo.[1],発注者ｺｰﾄﾞ[A0?1],受注者ｺｰﾄﾞ[S01],納品ｷｰ番号[]"),
         {}},
        // In a delivery key: that occurrence alone is refused.
        {"--eiaj",
         "0502,A001,S01,2,NAME,K\xFF"
         "1,1,K2,3",
         QStringLiteral("REIAJ159NO01に誤りがあります。(011)") + eiajTail("K?1"),
         {{"K2", "000000003.000"}}},
        // A delivery instruction's quantity that is no number.
        {"--eiaj",
         "0502,A001,S01,2,NAME,K1,1O,K2,3",
         QStringLiteral("REIAJ032NO01に誤りがあります。(011)") + eiajTail("K1"),
         {{"K2", "000000003.000"}}},
        {"--eiaj",
         "0502,A001,S01,2,NAME,K1,,K2,abc",
         QStringLiteral("REIAJ032NO02に誤りがあります。(011)") + eiajTail("K2"),
         {{"K1", "000000000.000"}}},
    };
    for (const Case& c : cases) {
        ImportInstall imp;
        const bool eiaj = QByteArray(c.format) == "--eiaj";
        QFile f(imp.inPath("O.CSV"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((eiaj ? eiajHeader : korvanHeader) + "\r\n" + c.line + "\r\n");
        f.close();
        const CliResult run = runImport(imp, {c.format, "--no-move", imp.inPath("O.CSV")});
        ASSERT_EQ(run.exitCode, 0) << c.line.toStdString() << run.err.toStdString();
        const QString cls = eiaj ? QStringLiteral("0502") : QStringLiteral("D10 ");
        EXPECT_EQ(imp.errorLines().join(u'\n').toStdString(),
                  (c.error.isEmpty() ? QString() : QStringLiteral("O.CSV [%1]:").arg(cls) + c.error).toStdString())
            << c.line.toStdString();
        QList<std::pair<QString, QString>> stored;
        for (const DeliveryRecord& r : imp.records(eiaj ? Protocol::Eiaj : Protocol::Korvan))
            stored.append({r.text(DeliveryField::DeliveryKeyNo).trimmed(), r.text(DeliveryField::InstructedQty)});
        EXPECT_EQ(stored, c.imported) << c.line.toStdString();
    }
}
