#include "RunFixture.h"

#include "support/OutputFixtures.h"

#include "core/FileLock.h"
#include "history/HistoryStore.h"
#include "output/DocumentData.h"
#include "output/PrintRun.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST_F(RunFixture, NormalRunByOutputKind)
{
    companies({outputCompany('1', "SLIP", "1"), outputCompany('1', "TAG", "2"), outputCompany('1', "BOTH", "3")});
    records({due('1', "SLIP", "K1"), due('1', "TAG", "K2"), due('1', "BOTH", "K3"), due('1', "BOTH", "K4", "0")});
    answerYes(4);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(result.slipGroups, 2);
    EXPECT_EQ(result.tagGroups, 2);
    EXPECT_TRUE(result.issued);
    ASSERT_EQ(report.printed.size(), 4);
    EXPECT_EQ(report.printed[0].job.document, PrintJob::Document::Slip);
    EXPECT_EQ(report.printed[0].job.ordererCode, QStringLiteral("SLIP"));
    EXPECT_EQ(report.printed[0].job.layoutPath, inst.env.paths.usrFolder + QStringLiteral("E_Slip.agr"));
    EXPECT_EQ(report.printed[2].job.document, PrintJob::Document::Tag);
    EXPECT_EQ(marks(0), QStringLiteral("210"));
    EXPECT_EQ(marks(1), QStringLiteral("201"));
    EXPECT_EQ(marks(2), QStringLiteral("211"));
    EXPECT_EQ(marks(3), QStringLiteral("000")); // unprocessed records are never selected
    EXPECT_EQ(stored().at(0).text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    EXPECT_FALSE(QFile::exists(inst.env.paths.slipListPath(1)));
    EXPECT_FALSE(QFile::exists(inst.env.paths.tagListPath(1)));

    // A second run finds nothing left to print.
    report.printed.clear();
    const PrintRunResult again = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(again.slipGroups + again.tagGroups, 0);
    EXPECT_TRUE(report.printed.isEmpty());
}

TEST_F(RunFixture, BothDocumentsWaitForEachOther)
{
    companies({outputCompany('1', "BOTH", "3")});
    records({due('1', "BOTH", "K1")});
    inst.dialogs.setNextAnswer(kAnswerYes); // the slip
    inst.dialogs.setNextAnswer(kAnswerNo);  // the tag is declined
    runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(marks(0), QStringLiteral("110"));
    // The next run prints only the missing tag.
    report.printed.clear();
    answerYes(1);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(result.slipGroups, 0);
    EXPECT_EQ(result.tagGroups, 1);
    EXPECT_EQ(marks(0), QStringLiteral("211"));
}

TEST_F(RunFixture, MarkedRunsPrintedAndCancelled)
{
    companies({outputCompany('1', "SLIP", "1"), outputCompany('1', "TAG", "2"), outputCompany('1', "BOTH", "3")});
    DeliveryRecord reissue = due('1', "BOTH", "K4", "8");
    reissue.setText(DeliveryField::SlipIssued, u"1");
    reissue.setText(DeliveryField::TagIssued, u"1");
    records({due('1', "SLIP", "K1", "8"), due('1', "TAG", "K2", "8"), due('1', "BOTH", "K3", "8"), reissue,
             due('1', "SLIP", "K5", "1")});
    answerYes(4);
    runMarkedPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(marks(0), QStringLiteral("210"));
    EXPECT_EQ(marks(1), QStringLiteral("201"));
    EXPECT_EQ(marks(2), QStringLiteral("211"));
    EXPECT_EQ(marks(3), QStringLiteral("211"));
    EXPECT_EQ(marks(4), QStringLiteral("100")); // not marked: not part of the run

    // Declined: never-issued documents fall back to waiting, issued ones stay issued.
    records({due('1', "SLIP", "K1", "8"), due('1', "TAG", "K2", "8"), due('1', "BOTH", "K3", "8"), reissue});
    report.printed.clear();
    runMarkedPrint(inst.env, Protocol::Eiaj, report); // every question answered No
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_EQ(marks(0), QStringLiteral("100"));
    EXPECT_EQ(marks(1), QStringLiteral("100"));
    EXPECT_EQ(marks(2), QStringLiteral("100"));
    EXPECT_EQ(marks(3), QStringLiteral("211"));
}

TEST_F(RunFixture, MissingLayoutOrFailingEngineKeepsTheStatus)
{
    CustRecord c = outputCompany('1', "SLIP", "1");
    c.setText(CustField::SlipFormFile, u"NONE.agr");
    companies({c, outputCompany('1', "FAIL", "1")});
    records({due('1', "SLIP", "K1"), due('1', "FAIL", "K2")});
    report.failWith = QStringLiteral("帳票定義ファイルの形式が正しくありません。");
    answerYes(2);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_FALSE(result.issued);
    EXPECT_EQ(marks(0), QStringLiteral("100"));
    EXPECT_EQ(marks(1), QStringLiteral("100"));
    EXPECT_TRUE(inst.dialogs.texts().contains(QStringLiteral("帳票定義ファイルがありません。")));
    EXPECT_TRUE(inst.dialogs.texts().contains(QStringLiteral("帳票定義ファイルの形式が正しくありません。")));
}

TEST_F(RunFixture, GroupsFollowTheFileOrderAndTheFilterAndTheLimits)
{
    companies({outputCompany('1', "B", "1"), outputCompany('1', "A", "1"), outputCompany('1', "C", "1")});
    records({due('1', "C", "K1"), due('1', "A", "K2"), due('1', "C", "K3"), due('1', "B", "K4")});
    OutputSelection selection(inst.env, Protocol::Eiaj, OutputDocument::Slip);
    selection.select(false);
    ASSERT_EQ(selection.groups().size(), 3);
    EXPECT_EQ(selection.groups()[0].ordererCode.trimmed(), QByteArray("C"));
    EXPECT_EQ(selection.groups()[0].records, (QList<int>{1, 3}));
    EXPECT_EQ(selection.groups()[1].ordererCode.trimmed(), QByteArray("A"));
    // The extract is the run's own, in memory: no file another program could remove.
    EXPECT_EQ(selection.groups()[0].extractCount(), 2);
    EXPECT_EQ(selection.groups()[0].extract.mid(DeliveryRecord::kLength), stored().at(2).bytes());
    EXPECT_FALSE(QFile::exists(inst.env.paths.slipListPath(1)));
    selection.select(false, QStringLiteral("A  "), QStringLiteral("SUP"));
    ASSERT_EQ(selection.groups().size(), 1);
    EXPECT_EQ(selection.groups()[0].records, QList<int>{2});

    // 200 records of one company: the selection stops with message 230.
    QList<DeliveryRecord> many;
    for (int i = 0; i < 201; ++i)
        many.append(due('1', "A", QStringLiteral("K%1").arg(i)));
    records(many);
    selection.select(false);
    EXPECT_EQ(selection.groups()[0].records.size(), 200);
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("納品書200件"));

    // A 51st company stops the selection; fifty groups remain.
    QList<CustRecord> fiftyOne;
    QList<DeliveryRecord> one;
    for (int i = 0; i < 51; ++i) {
        fiftyOne.append(outputCompany('1', QStringLiteral("C%1").arg(i), "1"));
        one.append(due('1', QStringLiteral("C%1").arg(i), QStringLiteral("K%1").arg(i)));
    }
    companies(fiftyOne);
    records(one);
    selection.select(false);
    EXPECT_EQ(selection.groups().size(), 50);
    EXPECT_TRUE(inst.dialogs.texts().last().contains(QStringLiteral("50社")));
}

TEST_F(RunFixture, ACompanyOfAnUnknownOutputKindIsRefusedOnceAndItsRecordsStayAsTheyAre)
{
    // A hand-edited company file: output kind "9" is neither slips, tags nor both.
    companies({outputCompany('1', "BAD", "9"), outputCompany('1', "A", "3")});
    for (const bool marked : {false, true}) {
        const char* status = marked ? "8" : "1";
        records({due('1', "BAD", "K1", status), due('1', "A", "K2", status), due('1', "BAD", "K3", status)});
        const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).left(DeliveryRecord::kLength);
        inst.dialogs.shown.clear();
        report.printed.clear();
        answerYes(2);
        const PrintRunResult result = marked ? runMarkedPrint(inst.env, Protocol::Eiaj, report)
                                             : runNormalPrint(inst.env, Protocol::Eiaj, report);
        EXPECT_EQ(result.slipGroups, 1);
        EXPECT_EQ(result.tagGroups, 1);
        EXPECT_EQ(report.printed.size(), 2); // A's slip and tag only
        EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).left(DeliveryRecord::kLength), before);
        EXPECT_EQ(marks(2), QString::fromLatin1(status) + QStringLiteral("00"));
        EXPECT_EQ(marks(1), QStringLiteral("211"));
        // One message for the run, naming the company and the field.
        const QStringList texts = inst.dialogs.texts().filter(QStringLiteral("出力区分「9」"));
        ASSERT_EQ(texts.size(), 1);
        EXPECT_TRUE(texts[0].contains(QStringLiteral("BAD 北斗星電機")));
        ASSERT_EQ(result.refused.size(), 1);
        EXPECT_TRUE(result.summaryLines().contains(texts[0]));
    }
}

TEST_F(RunFixture, AProgressStoppedBetweenGroupsLeavesTheRestWaiting)
{
    // Five slip-and-tag companies; the progress stops the run before the
    // third slip group. What was printed is issued, the rest waits.
    struct StopAt : PrintProgress
    {
        int stopBefore = 3;
        QList<PrintStep> steps;
        bool finishedCalled = false;
        bool proceed(const PrintStep& step) override
        {
            steps.append(step);
            return !(step.document == OutputDocument::Slip && step.group == stopBefore);
        }
        void finished() override { finishedCalled = true; }
    };
    QList<CustRecord> list;
    for (int c = 1; c <= 5; ++c)
        list.append(outputCompany('1', QStringLiteral("C%1").arg(c), "3"));
    companies(list);
    for (const bool marked : {false, true}) {
        QList<DeliveryRecord> dueRecords;
        for (int c = 1; c <= 5; ++c)
            dueRecords.append(due('1', QStringLiteral("C%1").arg(c), QStringLiteral("K%1").arg(c), marked ? "8" : "1"));
        records(dueRecords);
        report.printed.clear();
        answerYes(2);
        StopAt progress;
        const PrintRunResult result = marked ? runMarkedPrint(inst.env, Protocol::Eiaj, report, &progress)
                                             : runNormalPrint(inst.env, Protocol::Eiaj, report, {}, {}, &progress);
        EXPECT_TRUE(result.interrupted);
        EXPECT_TRUE(progress.finishedCalled);
        ASSERT_EQ(progress.steps.size(), 3); // asked before groups 1, 2 and 3 only
        EXPECT_EQ(progress.steps[2].groups, 5);
        EXPECT_EQ(progress.steps[2].ordererCode, QStringLiteral("C3"));
        EXPECT_EQ(progress.steps[2].ordererName, QStringLiteral("北斗星電機"));
        EXPECT_EQ(report.printed.size(), 2);
        EXPECT_EQ(marks(0), QStringLiteral("110"));
        EXPECT_EQ(marks(1), QStringLiteral("110"));
        for (int i = 2; i < 5; ++i)
            EXPECT_EQ(marks(i), QStringLiteral("100")) << i;
        ASSERT_EQ(result.groups.size(), 10);
        EXPECT_EQ(result.groups[2].outcome, PrintedGroup::Outcome::Interrupted);
        EXPECT_EQ(result.groups[9].outcome, PrintedGroup::Outcome::Interrupted);
        EXPECT_EQ(result.summaryLines()[2], QStringLiteral("納品書 C3 北斗星電機 1件 用紙0枚 中止"));
    }
}

TEST_F(RunFixture, StopOnAQuestionDeclinesTheRestButNoDeclinesOneGroup)
{
    // Five slip-and-tag companies; the third slip question is answered 中止
    // (the rest of the run counts as declined) or いいえ (that group only).
    struct Case
    {
        Answer third;         // the answer to the third question
        bool marked;          // the marked run of the entry windows
        int printed;          // groups handed to the engine
        const char* outcomes; // per group: I issued, D declined, S 中止
        int questions;        // questions asked
    };
    const QList<Case> cases = {
        {kAnswerStop, false, 2, "IISSSSSSSS", 3},
        {kAnswerStop, true, 2, "IISSSSSSSS", 3},
        {kAnswerNo, false, 9, "IIDIIIIIII", 10},
    };
    QList<CustRecord> list;
    for (int c = 1; c <= 5; ++c)
        list.append(outputCompany('1', QStringLiteral("C%1").arg(c), "3"));
    companies(list);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.third << " marked " << c.marked);
        QList<DeliveryRecord> dueRecords;
        for (int r = 1; r <= 5; ++r)
            dueRecords.append(
                due('1', QStringLiteral("C%1").arg(r), QStringLiteral("K%1").arg(r), c.marked ? "8" : "1"));
        records(dueRecords);
        report.printed.clear();
        inst.dialogs.shown.clear();
        answerYes(2);
        inst.dialogs.setNextAnswer(c.third);
        answerYes(c.questions - 3);
        const PrintRunResult result = c.marked ? runMarkedPrint(inst.env, Protocol::Eiaj, report)
                                               : runNormalPrint(inst.env, Protocol::Eiaj, report);
        EXPECT_EQ(result.interrupted, c.third == kAnswerStop);
        EXPECT_EQ(report.printed.size(), c.printed);
        EXPECT_EQ(inst.dialogs.shown.size(), c.questions);
        EXPECT_EQ(inst.dialogs.shown[2].buttons, MessageButtons::YesNoStop);
        ASSERT_EQ(result.groups.size(), 10);
        EXPECT_EQ(outcomeLetters(result), QLatin1String(c.outcomes));
        // Printed slips are issued; a stopped or declined group keeps waiting.
        EXPECT_EQ(marks(1), c.third == kAnswerStop ? QStringLiteral("110") : QStringLiteral("211"));
        EXPECT_EQ(marks(2), c.third == kAnswerStop ? QStringLiteral("100") : QStringLiteral("101"));
        EXPECT_EQ(marks(4), c.third == kAnswerStop ? QStringLiteral("100") : QStringLiteral("211"));
        if (c.third == kAnswerStop) {
            EXPECT_EQ(result.summaryLines()[2], QStringLiteral("納品書 C3 北斗星電機 1件 用紙1枚 中止"));
        }
    }
}

TEST_F(RunFixture, ConfirmationCountsItemsAndSheets)
{
    DeliveryRecord twoLines = due('1', "A", "K1");
    twoLines.setTagLine(1, u"000000010.000", u"02");
    twoLines.setTagLine(2, u"000000005.000", u"05");
    companies({outputCompany('1', "A", "3")});
    records({twoLines, due('1', "A", "K2"), due('1', "A", "K3")});
    answerYes(2);
    runNormalPrint(inst.env, Protocol::Eiaj, report);
    const auto shown = inst.dialogs.shown;
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("出力対象  3件(用紙  2枚)"))) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("(E_Slip.agr)")));
    EXPECT_TRUE(shown[1].text.contains(QStringLiteral("出力対象  9件(用紙  2枚)"))) << shown[1].text.toStdString();
    EXPECT_TRUE(shown[1].text.contains(QStringLiteral("(E_Tag.agr)")));

    // A layout of four tags to a sheet needs three sheets for nine tags.
    records({twoLines, due('1', "A", "K2"), due('1', "A", "K3")});
    report.perSheet.insert(QStringLiteral("E_Tag.agr"), 4);
    inst.dialogs.shown.clear();
    answerYes(2);
    runNormalPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_GE(inst.dialogs.shown.size(), 2);
    EXPECT_TRUE(inst.dialogs.shown[1].text.contains(QStringLiteral("出力対象  9件(用紙  3枚)")))
        << inst.dialogs.shown[1].text.toStdString();
}

TEST_F(RunFixture, TagNumbersRunAcrossTheLinesOfARecord)
{
    DeliveryRecord r = due('1', "A", "K1");
    r.setTagLine(1, u"000000010.000", u"02");
    r.setTagLine(2, u"000000005.000", u"01");
    DeliveryRecord none = due('1', "A", "K2");
    none.setTagLine(1, u"000000005.000", u"00");
    companies({outputCompany('1', "A", "2")});
    records({r, none});
    answerYes(1);
    runNormalPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_EQ(report.printed.size(), 1);
    const QStringList lines = cp932::decode(report.printed[0].data).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("\"10\",\"1/3    \",\"2\"")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\"10\",\"2/3    \",\"2\"")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\"5\",\"3/3    \",\"1\"")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\"3N4 5 \"")) || lines[2].contains(QStringLiteral("3N4")));
}

TEST_F(RunFixture, ATagGroupWithoutTagsIsIssuedWithoutAPrint)
{
    // Both companies' records hold no tag: nothing to print, which is no failure.
    DeliveryRecord noTags = due('1', "TAG", "K1");
    noTags.clearTagLines();
    DeliveryRecord zeroTags = due('1', "BOTH", "K2");
    zeroTags.clearTagLines();
    zeroTags.setTagLine(1, u"000000005.000", u"00");
    companies({outputCompany('1', "TAG", "2"), outputCompany('1', "BOTH", "3")});
    records({noTags, zeroTags});
    answerYes(1); // the slip of BOTH; no tag question follows
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(result.tagGroups, 2);
    EXPECT_FALSE(result.stopped);
    ASSERT_EQ(report.printed.size(), 1);
    EXPECT_EQ(report.printed[0].job.document, PrintJob::Document::Slip);
    EXPECT_EQ(marks(0), QStringLiteral("201"));
    EXPECT_EQ(marks(1), QStringLiteral("211"));
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
}

TEST_F(RunFixture, ALayoutNameThatLeavesTheUserFolderIsRefused)
{
    // A layout beside Usr/ that a company's name reaches with "..".
    inst.writeFile(QStringLiteral("outside.agr"), "{}");
    inst.writeFile(QStringLiteral("Usr/sub/inner.agr"), "{}");
    QList<CustRecord> list;
    QList<DeliveryRecord> dueRecords;
    const QStringList names = {QStringLiteral("../outside.agr"), QStringLiteral("sub/inner.agr"),
                               QStringLiteral("..\\outside.agr"), inst.path(QStringLiteral("outside.agr"))};
    for (int i = 0; i < names.size(); ++i) {
        const QString code = QStringLiteral("C%1").arg(i);
        CustRecord c = outputCompany('1', code, "1");
        c.setText(CustField::SlipFormFile, names[i]);
        list.append(c);
        dueRecords.append(due('1', code, QStringLiteral("K%1").arg(i)));
    }
    companies(list);
    records(dueRecords);
    answerYes(names.size());
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_FALSE(result.issued);
    EXPECT_EQ(inst.dialogs.texts().count(QStringLiteral("帳票定義ファイルがありません。")), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(marks(i), QStringLiteral("100")) << names[i].toStdString();
}

TEST_F(RunFixture, AnErrorStatusOrARefusalStopsTheRun)
{
    companies({outputCompany('1', "SLIP", "1")});
    records({due('1', "SLIP", "K1")});
    // An empty code file: message 3, and the run stops there.
    const QByteArray codes = inst.readFile(QStringLiteral("Prg/Code.DAT"));
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.slipGroups, 1);
    EXPECT_EQ(marks(0), QStringLiteral("100"));
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), codes);

    // Another program holds the data file: refused before anything is selected.
    qputenv("PLX90_LOCK_WAIT_MS", "50");
    {
        const FileLock other(inst.env.paths.eDelivPath, DeliveryStore::label());
        inst.dialogs.shown.clear();
        result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.slipGroups, 0);
    ASSERT_EQ(inst.dialogs.texts().size(), 1);
    EXPECT_TRUE(inst.dialogs.texts()[0].contains(QStringLiteral("使用中")));
    EXPECT_FALSE(QFile::exists(FileLock::lockPathOf(inst.env.paths.eDelivPath)));

    // A damaged data file is refused and left as it is.
    const QByteArray damaged = inst.readFile(QStringLiteral("Prg/E_Deliv.dat")) + "torn";
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), damaged);
    inst.dialogs.shown.clear();
    result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), damaged);
    ASSERT_EQ(inst.dialogs.texts().size(), 1);
    EXPECT_TRUE(inst.dialogs.texts()[0].contains(QStringLiteral("途中で切れています")));
}
