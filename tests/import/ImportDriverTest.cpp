#include "support/ImportFixtures.h"

#include "core/ErrorReport.h"

#include <gtest/gtest.h>

#include <array>

using namespace plx;
using namespace plx::test;

namespace {

QString pairOrder(const QString& infoClass, const QString& key)
{
    return QStringLiteral("REIAJC14,%1,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,%2").arg(infoClass, key);
}

// Files taken and refused, records taken and refused, as the end of the
// import tells them.
std::array<int, 4> countsOf(const ImportDriver& driver)
{
    const ImportDriver::Counts c = driver.counts();
    return {c.filesTaken, c.filesRefused, c.recordsTaken, c.recordsRefused};
}

} // namespace

TEST(ImportDriver, PrecheckRefusalsAndLineLengths)
{
    ImportInstall imp;
    imp.order("OK.CSV", {pairOrder("0502", "K1")});
    imp.order("NOCLASS.CSV", {QStringLiteral("A,1,B,2")});
    imp.order("C0701.CSV", {pairOrder("0701", "K1")});
    imp.order("EMPTY.CSV", {});
    imp.order("LONG.CSV", {QStringLiteral("REIAJC14,") + QString(32001 - 9, QLatin1Char('x')), pairOrder("0502", "K")});
    imp.order("EXACT.CSV", {QStringLiteral("REIAJC14,0502,REIAJ004,") + QString(32000 - 23, QLatin1Char('x'))});
    {
        QFile binary(imp.inPath("BIN.DAT"));
        binary.open(QIODevice::WriteOnly);
        binary.write(QByteArray("\x00\xff\x81\x00\x13garbage\x82", 13));
    }
    ImportDriver driver(imp.inst.env, Protocol::Eiaj);
    const PrecheckResult r = driver.precheck(imp.folder(), {"OK.CSV", "GONE.CSV", "NOCLASS.CSV", "C0701.CSV",
                                                            "EMPTY.CSV", "LONG.CSV", "EXACT.CSV", "BIN.DAT"});
    EXPECT_EQ(r.selected, 8);
    EXPECT_EQ(r.accepted, 2);
    EXPECT_EQ(r.errors, 6);
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("GONE.CSV [    ]:指定ファイルがありません。(001)"));
    EXPECT_EQ(lines[1], QStringLiteral("NOCLASS.CSV [    ]:対象外のビジネスプロトコルです。(002)"));
    EXPECT_EQ(lines[2], QStringLiteral("C0701.CSV [0701]:未サポートの情報区分ファイルです。(003)"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("EMPTY.CSV [    ]:")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("LONG.CSV [    ]:")));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("BIN.DAT [    ]:")));
    EXPECT_EQ(imp.inst.dialogs.shown.size(), 6); // a box for each file-level refusal
    EXPECT_EQ(driver.errorCount(), 6);
}

TEST(ImportDriver, SortsByClassThenDateAndMovesProcessedFiles)
{
    ImportInstall imp;
    imp.order("LATE0703.CSV", {pairOrder("0703", "K1")});
    imp.order("EARLY0502.CSV", {pairOrder("0502", "K1")});
    QFile::remove(imp.inst.env.paths.dustFolder + QStringLiteral("EARLY0502.CSV"));
    imp.inst.writeFile(QStringLiteral("Dust/EARLY0502.CSV"), "an older file of the same name");
    auto driver = imp.import(Protocol::Eiaj, {"LATE0703.CSV", "EARLY0502.CSV"});
    ASSERT_EQ(driver->accepted().size(), 2);
    EXPECT_EQ(driver->accepted()[0].name, QStringLiteral("EARLY0502.CSV"));
    // 0502 appended K1 first, then 0703 (processing class absent) updated it.
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::MessageKind).trimmed(), QString());
    EXPECT_TRUE(imp.errorLines().isEmpty()) << imp.errorLines().join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(imp.inPath("LATE0703.CSV")));
    EXPECT_TRUE(QFile::exists(imp.inst.env.paths.dustFolder + QStringLiteral("LATE0703.CSV")));
    EXPECT_TRUE(imp.inst.readFile(QStringLiteral("Dust/EARLY0502.CSV")).startsWith("REIAJC14"));
    EXPECT_FALSE(QFile::exists(imp.inst.env.paths.backupDelivPath));
    EXPECT_FALSE(QFile::exists(imp.inst.env.paths.workDelivPath));

    imp.order("STAY.CSV", {pairOrder("0502", "K2")});
    imp.import(Protocol::Eiaj, {"STAY.CSV"}, RebuildMode::Add, false);
    EXPECT_TRUE(QFile::exists(imp.inPath("STAY.CSV")));
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 2);
}

TEST(ImportDriver, ModesRebuildTheDataFileFirst)
{
    for (RebuildMode mode : {RebuildMode::Add, RebuildMode::DropIssued, RebuildMode::StartAnew}) {
        ImportInstall imp;
        DeliveryRecord gone = delivery('1', "A001", "S01", "DEL", "0");
        gone.setKind(' ');
        imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                           fileOf(QList{delivery('1', "A001", "S01", "ISSUED", "2"), gone,
                                        delivery('1', "A001", "S01", "MARKED", "8")}));
        imp.order("N.CSV", {pairOrder("0502", "NEW")});
        imp.inst.dialogs.setNextAnswer(kAnswerYes); // mode 3: remove MARKED too
        imp.import(Protocol::Eiaj, {"N.CSV"}, mode);
        QStringList keys;
        for (const DeliveryRecord& r : imp.records(Protocol::Eiaj))
            keys << r.text(DeliveryField::DeliveryKeyNo).trimmed();
        if (mode == RebuildMode::Add)
            EXPECT_EQ(keys, (QStringList{"ISSUED", "MARKED", "NEW"}));
        else if (mode == RebuildMode::DropIssued)
            EXPECT_EQ(keys, (QStringList{"MARKED", "NEW"}));
        else
            EXPECT_EQ(keys, QStringList{"NEW"});
    }
}

// Processing mode 3 removes records still waiting for their slip only when the
// clerk said Yes to their count, and never more of them than that count: the
// run counts again under the data file's lock.
TEST(ImportDriver, StartingAnewRemovesWaitingRecordsOnlyAsConfirmed)
{
    const struct
    {
        const char* name;
        QStringList statuses; // the data file's records, keys R1, R2, ...
        RebuildMode mode;
        bool asked;               // confirmMode() is called before the pre-check
        Answer answer;            // the clerk's answer to a question
        bool registeredMeanwhile; // another program registers one more waiting record after the answer
        int question;             // the waiting records the question counts; 0: no question
        QStringList keysAfter;    // empty: the data file is as it was, the order file where it was
        const char* refusal;      // the run's refusal, or nullptr
    } cases[] = {
        {"mode 3, No", {"1", "8", "2", "0"}, RebuildMode::StartAnew, true, kAnswerNo, false, 2, {}, nullptr},
        {"mode 3, Yes", {"1", "8", "2", "0"}, RebuildMode::StartAnew, true, kAnswerYes, false, 2, {"NEW"}, nullptr},
        {"mode 3, nothing waits", {"2", "0"}, RebuildMode::StartAnew, true, kAnswerNo, false, 0, {"NEW"}, nullptr},
        {"mode 1 removes none", {"1", "2"}, RebuildMode::Add, true, kAnswerNo, false, 0, {"R1", "R2", "NEW"}, nullptr},
        {"mode 3, one more after the Yes",
         {"1", "8", "2"},
         RebuildMode::StartAnew,
         true,
         kAnswerYes,
         true,
         2,
         {},
         "確認の後に発行待ちの納品書ﾃﾞｰﾀが増えました。(2件→3件)"},
        {"mode 3, never asked", {"1", "8"}, RebuildMode::StartAnew, false, kAnswerYes, false, 0, {}, "(0件→2件)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImportInstall imp;
        QList<DeliveryRecord> records;
        for (const QString& status : c.statuses)
            records << delivery('1', "A001", "S01", QStringLiteral("R%1").arg(records.size() + 1), status);
        imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
        imp.order("N.CSV", {pairOrder("0502", "NEW")});

        ImportDriver driver(imp.inst.env, Protocol::Eiaj);
        imp.inst.dialogs.setNextAnswer(c.answer);
        const bool goesOn = !c.asked || driver.confirmMode(c.mode);
        if (c.question == 0) {
            EXPECT_TRUE(imp.inst.dialogs.shown.isEmpty());
        } else {
            ASSERT_EQ(imp.inst.dialogs.shown.size(), 1);
            const auto& question = imp.inst.dialogs.shown[0];
            EXPECT_EQ(question.text, ImportDriver::startAnewQuestion(c.question));
            EXPECT_TRUE(
                question.text.startsWith(QStringLiteral("発行待ちの納品書ﾃﾞｰﾀが%1件あります。").arg(c.question)));
            EXPECT_EQ(question.buttons, MessageButtons::YesNo);
            EXPECT_EQ(question.defaultButton, DefaultButton::No);
        }
        if (c.registeredMeanwhile) {
            records << delivery('1', "A001", "S01", QStringLiteral("LATE"), QStringLiteral("1"));
            imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
        }
        const QByteArray before = imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
        QString refusal;
        if (goesOn) {
            ASSERT_EQ(driver.precheck(imp.folder(), {"N.CSV"}).accepted, 1);
            try {
                driver.run(c.mode, true);
            } catch (const Refusal& e) {
                refusal = e.message();
            }
        }
        if (c.refusal)
            EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.refusal))) << refusal.toStdString();
        else
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        if (c.keysAfter.isEmpty()) {
            EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
            EXPECT_TRUE(QFile::exists(imp.inPath("N.CSV")));
            EXPECT_FALSE(QFile::exists(imp.inst.env.paths.backupDelivPath));
        } else {
            QStringList keys;
            for (const DeliveryRecord& r : imp.records(Protocol::Eiaj))
                keys << r.text(DeliveryField::DeliveryKeyNo).trimmed();
            EXPECT_EQ(keys, c.keysAfter);
        }
    }
}

TEST(ImportDriver, AFailureHalfWayChangesNothing)
{
    ImportInstall imp;
    imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "A001", "S01", "OLD", "0")}));
    const QByteArray before = imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    imp.order("A.CSV", {pairOrder("0502", "K1")});
    imp.order("B.CSV", {pairOrder("0502", "K2")});
    imp.order("C.CSV", {pairOrder("0502", "K3")});
    ImportDriver driver(imp.inst.env, Protocol::Eiaj);
    ASSERT_EQ(driver.precheck(imp.folder(), {"A.CSV", "B.CSV", "C.CSV"}).accepted, 3);
    // The disk fails as the third file begins.
    const auto failing = [](int progress, int) {
        if (progress == 3)
            throw RuntimeFailure(QStringLiteral("ディスクに書き込めません。"));
    };
    try {
        driver.run(RebuildMode::StartAnew, true, failing);
        ADD_FAILURE() << "the run went through";
    } catch (const RuntimeFailure& e) {
        EXPECT_EQ(e.label(), QStringLiteral("EIAJﾃﾞｰﾀ処理/"));
    }
    EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    for (const char* name : {"A.CSV", "B.CSV", "C.CSV"})
        EXPECT_TRUE(QFile::exists(imp.inPath(QLatin1String(name)))) << name;
    EXPECT_FALSE(QFile::exists(imp.inst.env.paths.workDelivPath));
    EXPECT_FALSE(driver.finished());
}

TEST(ImportDriver, VanishedFileStopsTheRunKeepingWhatCameBefore)
{
    ImportInstall imp;
    imp.order("A.CSV", {pairOrder("0502", "K1")});
    imp.order("B.CSV", {pairOrder("0503", "K2")});
    imp.order("C.CSV", {pairOrder("0504", "K3")});
    ImportDriver driver(imp.inst.env, Protocol::Eiaj);
    ASSERT_EQ(driver.precheck(imp.folder(), {"A.CSV", "B.CSV", "C.CSV"}).accepted, 3);
    QFile::remove(imp.inPath("B.CSV"));
    driver.run(RebuildMode::Add, true);
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_EQ(imp.errorLines()[0], QStringLiteral("B.CSV [    ]:指定ファイルがありません。(001)"));
    // C.CSV was never reached: neither taken nor refused.
    EXPECT_EQ(countsOf(driver), (std::array{1, 1, 1, 0}));
    EXPECT_FALSE(QFile::exists(imp.inPath("A.CSV")));
    EXPECT_TRUE(QFile::exists(imp.inPath("C.CSV")));
}

TEST(ImportDriver, BadOrderFilesNeverChangeTheDataFile)
{
    ImportInstall imp;
    imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "A001", "S01", "OLD", "0")}));
    const QByteArray before = imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    {
        QFile big(imp.inPath("BIG.CSV"));
        big.open(QIODevice::WriteOnly);
        big.write(QByteArray(10 * 1024 * 1024, 'A'));
    }
    // Invalid CP932 in a value: the record is refused naming the item, never
    // stored with the bad bytes as "?".
    {
        QFile bad(imp.inPath("BADSJIS.CSV"));
        bad.open(QIODevice::WriteOnly);
        bad.write("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ022,REIAJ159NO01\r\n"
                  "0502,A001,S01,2,\x81\x20\xff,KX\r\n"
                  "0502,A001,S01,2,GOOD,KY\r\n");
    }
    imp.order("DUP.CSV", {QStringLiteral("REIAJC14,REIAJ004,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01"),
                          QStringLiteral("0502,NOPE,A001,S01,2,KD")});
    auto driver = imp.import(Protocol::Eiaj, {"BIG.CSV", "BADSJIS.CSV", "DUP.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 3) << imp.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).left(before.size()), before);
    EXPECT_EQ(countsOf(*driver), (std::array{2, 1, 2, 1}));
    EXPECT_EQ(ImportDriver::countsText(driver->counts()),
              (QStringList{QStringLiteral("取込：ﾌｧｲﾙ 2件、ﾚｺｰﾄﾞ 2件"), QStringLiteral("拒否：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 1件")}));
    // The last of two same-named items counts.
    EXPECT_EQ(records[2].text(DeliveryField::OrdererCode).trimmed(), QStringLiteral("A001"));
    EXPECT_EQ(imp.errorLines(),
              (QStringList{QStringLiteral("BIG.CSV [    ]:対象外のビジネスプロトコルです。(002)"),
                           QStringLiteral("BADSJIS.CSV [0502]:REIAJ022に誤りがあります。(011):ﾚｺｰﾄﾞNo.[1],"
                                          "発注者ｺｰﾄﾞ[A001],受注者ｺｰﾄﾞ[S01],納品ｷｰ番号[]")}));
}

TEST(ImportDriver, ADamagedDataFileIsRefusedAndNeverRewritten)
{
    ImportInstall imp;
    const QByteArray whole = fileOf(QList{delivery('1', "A001", "S01", "OLD1"), delivery('1', "A001", "S01", "OLD2")});
    QByteArray noLineEnd = whole;
    noLineEnd[DeliveryRecord::kLength - 2] = 'x';
    for (const QByteArray& damaged : {"junk" + whole, whole + "torn", noLineEnd}) {
        imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), damaged);
        imp.inst.writeFile(QStringLiteral("Prg/BUP_Deliv.dat"), "an earlier backup");
        imp.order("A.CSV", {pairOrder("0502", "K1")});
        ImportDriver driver(imp.inst.env, Protocol::Eiaj);
        ASSERT_EQ(driver.precheck(imp.folder(), {"A.CSV"}).accepted, 1);
        try {
            driver.run(RebuildMode::Add, true);
            ADD_FAILURE() << "a damaged data file was imported into";
        } catch (const Refusal& refusal) {
            EXPECT_TRUE(refusal.message().contains(QStringLiteral("E_Deliv.dat")));
            EXPECT_TRUE(refusal.message().contains(QStringLiteral("件目")));
        }
        EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), damaged);
        EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/BUP_Deliv.dat")), QByteArray("an earlier backup"));
        EXPECT_TRUE(QFile::exists(imp.inPath(QStringLiteral("A.CSV"))));
        EXPECT_FALSE(driver.finished());
    }
    // The run released its locks: a second driver gets them at once.
    imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), whole);
    ImportDriver driver(imp.inst.env, Protocol::Eiaj);
    ASSERT_EQ(driver.precheck(imp.folder(), {"A.CSV"}).accepted, 1);
    driver.run(RebuildMode::Add, false);
    EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).size(), 3 * DeliveryRecord::kLength);
}

TEST(ImportDriver, AnotherImportHoldingTheFilesRefusesThePrecheck)
{
    ImportInstall imp;
    imp.order("A.CSV", {pairOrder("0502", "K1")});
    ImportDriver first(imp.inst.env, Protocol::Eiaj);
    ASSERT_EQ(first.precheck(imp.folder(), {"A.CSV"}).accepted, 1);
    qputenv("PLX90_LOCK_WAIT_MS", "50");
    ImportDriver second(imp.inst.env, Protocol::Korvan); // even the other format: the work file is shared
    EXPECT_THROW(second.precheck(imp.folder(), {"A.CSV"}), Refusal);
    qunsetenv("PLX90_LOCK_WAIT_MS");
    first.run(RebuildMode::Add, false);
    EXPECT_EQ(imp.inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).size(), DeliveryRecord::kLength);
}

TEST(ImportDriver, FileMoveMovesOnlyForOneOrBlank)
{
    ImportInstall imp;
    EXPECT_TRUE(ImportDriver::readSettings(imp.inst.env, Protocol::Eiaj).moveFiles); // not set
    const std::pair<const char*, bool> cases[] = {{"", true},   {"  ", true}, {"1", true},
                                                  {"0", false}, {"2", false}, {"Y", false}};
    for (const auto& [value, moves] : cases) {
        imp.inst.setSetting(QStringLiteral("FileMove"), QLatin1String(value));
        EXPECT_EQ(ImportDriver::readSettings(imp.inst.env, Protocol::Eiaj).moveFiles, moves)
            << "FileMove=\"" << value << '"';
    }
}

TEST(ImportDriver, PrecheckRefusesAHeaderOfMoreThan548Items)
{
    ImportInstall imp;
    for (int n : {548, 549}) {
        QStringList names{"REIAJC14"}, values{"0502"};
        for (int i = 2; i <= n; ++i) {
            names << QStringLiteral("X%1").arg(i);
            values << QStringLiteral("v");
        }
        imp.order(QStringLiteral("H%1.CSV").arg(n), {names.join(u','), values.join(u',')});
    }
    ImportDriver driver(imp.inst.env, Protocol::Eiaj);
    EXPECT_EQ(driver.precheck(imp.folder(), {"H548.CSV", "H549.CSV"}).accepted, 1);
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_EQ(imp.errorLines()[0], QStringLiteral("H549.CSV [    ]:対象外のビジネスプロトコルです。(002)"));
}
