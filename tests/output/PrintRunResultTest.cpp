// The print run's result, its printer and its history.

#include "RunFixture.h"

#include "support/OutputFixtures.h"

#include "core/FileLock.h"
#include "history/HistoryStore.h"
#include "output/DocumentData.h"
#include "output/PrintRun.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST_F(RunFixture, TheResultListsEveryGroupWithItsCountsOutcomeAndPdf)
{
    companies({outputCompany('1', "A", "3"), outputCompany('1', "B", "1", QStringLiteral("湘洋"))});
    records({due('1', "A", "K1"), due('1', "A", "K2"), due('1', "B", "K3")});
    report.perSheet.insert(QStringLiteral("E_Slip.agr"), 2);
    inst.dialogs.setNextAnswer(kAnswerYes); // slips of A
    inst.dialogs.setNextAnswer(kAnswerNo);  // slips of B
    inst.dialogs.setNextAnswer(kAnswerYes); // tags of A
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);

    ASSERT_EQ(result.groups.size(), 3);
    const PrintedGroup& slipsA = result.groups[0];
    EXPECT_EQ(slipsA.document, OutputDocument::Slip);
    EXPECT_EQ(slipsA.ordererCode, QStringLiteral("A"));
    EXPECT_EQ(slipsA.ordererName, QStringLiteral("北斗星電機"));
    EXPECT_EQ(slipsA.items, 2);
    EXPECT_EQ(slipsA.sheets, 1);
    EXPECT_EQ(slipsA.outcome, PrintedGroup::Outcome::Issued);
    EXPECT_EQ(slipsA.pdfPath, report.pdfPath(QStringLiteral("納品書_A_1.pdf")));
    EXPECT_EQ(result.groups[1].ordererCode, QStringLiteral("B"));
    EXPECT_EQ(result.groups[1].outcome, PrintedGroup::Outcome::Declined);
    EXPECT_TRUE(result.groups[1].pdfPath.isEmpty());
    EXPECT_EQ(result.groups[2].document, OutputDocument::Tag);
    EXPECT_EQ(result.groups[2].items, 2); // one tag per record
    EXPECT_EQ(result.groups[2].sheets, 1);
    EXPECT_EQ(result.groups[2].pdfPath, report.pdfPath(QStringLiteral("荷札_A_2.pdf")));

    const QList<CompanyIssue> issued = result.companies();
    ASSERT_EQ(issued.size(), 1);
    EXPECT_EQ(issued[0].slips, 2);
    EXPECT_EQ(issued[0].tags, 2);
    EXPECT_EQ(issued[0].sheets, 2);
    EXPECT_EQ(result.pdfPaths(), QStringList({report.pdfPath(QStringLiteral("納品書_A_1.pdf")),
                                              report.pdfPath(QStringLiteral("荷札_A_2.pdf"))}));
    EXPECT_EQ(result.summaryLines(),
              QStringList({"納品書 A 北斗星電機 2件 用紙1枚 発行", "納品書 B 湘洋 1件 用紙1枚 取消",
                           "荷札 A 北斗星電機 2件 用紙1枚 発行", "計 A 北斗星電機 納品書2件 荷札2件 用紙2枚 PDF2件",
                           "プリンタ: PDFのみ"}));
}

TEST_F(RunFixture, ARunThatIssuedNothingSaysSo)
{
    companies({outputCompany('1', "A", "1")});
    records({due('1', "A", "K1")});
    report.failWith = QStringLiteral("印刷できません。");
    answerYes(1);
    const PrintRunResult failed = runNormalPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_EQ(failed.groups.size(), 1);
    EXPECT_EQ(failed.groups[0].outcome, PrintedGroup::Outcome::Failed);
    EXPECT_TRUE(failed.pdfPaths().isEmpty());
    EXPECT_TRUE(failed.companies().isEmpty());
    EXPECT_EQ(failed.summaryLines().last(), QStringLiteral("発行した帳票はありません。"));

    // Nothing due at all: no group, and the same last line.
    records({});
    const PrintRunResult none = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_TRUE(none.groups.isEmpty());
    EXPECT_EQ(none.summaryLines(), QStringList{QStringLiteral("発行した帳票はありません。")});
}

TEST_F(RunFixture, TheQuestionsNameTheCompany)
{
    companies({outputCompany('1', "A", "1"), outputCompany('1', "B", "1", QStringLiteral("湘洋"))});
    records({due('1', "A", "K1"), due('1', "B", "K2")});
    runNormalPrint(inst.env, Protocol::Eiaj, report); // both declined
    ASSERT_EQ(inst.dialogs.shown.size(), 2);
    // Same counts, told apart by the company line.
    EXPECT_TRUE(inst.dialogs.shown[0].text.contains(QStringLiteral("発注者  A  北斗星電機\r\n")))
        << inst.dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(inst.dialogs.shown[1].text.contains(QStringLiteral("発注者  B  湘洋\r\n")))
        << inst.dialogs.shown[1].text.toStdString();
}

TEST_F(RunFixture, AMissingPrinterIsFoundOnceBeforeTheFirstQuestionAndTheRunWritesPdfsOnly)
{
    companies({outputCompany('1', "A", "3")});
    records({due('1', "A", "K1")});
    report.printer = QStringLiteral("GONE");
    report.printers = {QStringLiteral("OTHER")};
    answerYes(2);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_EQ(inst.dialogs.shown.size(), 3);
    EXPECT_EQ(inst.dialogs.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(inst.dialogs.shown[0].text.startsWith(QStringLiteral("プリンタ「GONE」が見つかりません。")));
    EXPECT_TRUE(inst.dialogs.shown[1].text.startsWith(QStringLiteral("納品書を印刷しますか？")));
    EXPECT_EQ(inst.dialogs.texts().filter(QStringLiteral("GONE")).size(), 1);
    ASSERT_EQ(report.printed.size(), 2);
    EXPECT_TRUE(report.printed[0].job.pdfOnly);
    EXPECT_TRUE(report.printed[1].job.pdfOnly);
    EXPECT_TRUE(result.issued);
    EXPECT_EQ(result.missingPrinter, QStringLiteral("GONE"));
    EXPECT_TRUE(result.printer.isEmpty());
    EXPECT_EQ(result.summaryLines().last(),
              QStringLiteral("プリンタ「GONE」が見つからないため、PDFファイルだけに出力しました。"));
}

TEST_F(RunFixture, APrinterThatIsThereIsUsedAndNothingDueAsksNothing)
{
    companies({outputCompany('1', "A", "1")});
    records({due('1', "A", "K1")});
    report.printer = QStringLiteral("PLX90PDF");
    report.printers = {QStringLiteral("PLX90PDF")};
    answerYes(1);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_EQ(report.printed.size(), 1);
    EXPECT_FALSE(report.printed[0].job.pdfOnly);
    EXPECT_EQ(result.printer, QStringLiteral("PLX90PDF"));
    EXPECT_EQ(result.summaryLines().last(), QStringLiteral("プリンタ: PLX90PDF"));

    // The check belongs to the first question: a run with nothing due says nothing of the printer.
    report.printer = QStringLiteral("GONE");
    inst.dialogs.shown.clear();
    runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(RunFixture, MarkedRunDeclinedIsReportedAsDeclined)
{
    companies({outputCompany('1', "A", "1")});
    records({due('1', "A", "K1", "8")});
    const PrintRunResult result = runMarkedPrint(inst.env, Protocol::Eiaj, report);
    ASSERT_EQ(result.groups.size(), 1);
    EXPECT_EQ(result.groups[0].outcome, PrintedGroup::Outcome::Declined);
    EXPECT_FALSE(result.issued);
}

// The records of a group are marked issued only when the PDF the engine names is
// there whole; otherwise the group failed and its records keep waiting.
TEST_F(RunFixture, AGroupWhosePdfIsNotThereWholeFailsAndKeepsWaiting)
{
    const struct
    {
        const char* name;
        bool written;
        QByteArray bytes;
        bool issued;
    } cases[] = {
        {"whole", true, "%PDF-1.4\n1 0 obj\n%%EOF\n", true},
        {"whole, blanks after the mark", true, "%PDF-1.4\n%%EOF\r\n  ", true},
        {"missing", false, {}, false},
        {"empty", true, "", false},
        {"cut short", true, "%PDF-1.4\n1 0 obj\n<< /Type /Page", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        companies({outputCompany('1', "A", "1")});
        records({due('1', "A", "K1")});
        const QString before = marks(0);
        report.writesPdf = c.written;
        report.pdfBytes = c.bytes;
        inst.dialogs.shown.clear();
        answerYes(1);
        const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
        ASSERT_EQ(result.groups.size(), 1);
        EXPECT_EQ(result.groups[0].outcome, c.issued ? PrintedGroup::Outcome::Issued : PrintedGroup::Outcome::Failed);
        EXPECT_EQ(result.issued, c.issued);
        EXPECT_EQ(marks(0), c.issued ? QStringLiteral("210") : before);
        EXPECT_EQ(result.pdfPaths().size(), c.issued ? 1 : 0);
        EXPECT_EQ(inst.dialogs.texts().join(u'\n').contains(QStringLiteral("印刷ファイルがないか、途中で切れています")),
                  !c.issued);
    }
}

// The history holds the documents of the groups whose records were marked,
// each naming the PDF the engine wrote, and nothing of the others; nothing is
// left pending when the run ends.
TEST_F(RunFixture, TheHistoryKeepsExactlyTheMarkedGroupsUnderTheirPdf)
{
    companies({outputCompany('1', "A", "1"), outputCompany('1', "B", "1"), outputCompany('1', "C", "1"),
               outputCompany('1', "D", "1")});
    records({due('1', "A", "K1"), due('1', "A", "K2"), due('1', "B", "K3"), due('1', "C", "K4"), due('1', "D", "K5")});
    report.failFor = {QStringLiteral("C")};  // the engine fails
    report.takenFor = {QStringLiteral("D")}; // printed under another name than planned
    report.perSheet.insert(QStringLiteral("E_Slip.agr"), 1);
    inst.dialogs.setNextAnswer(kAnswerYes);
    inst.dialogs.setNextAnswer(kAnswerNo); // B declined
    inst.dialogs.setNextAnswer(kAnswerYes);
    inst.dialogs.setNextAnswer(kAnswerYes);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(QStringList({marks(0), marks(1), marks(2), marks(3), marks(4)}),
              QStringList({"210", "210", "100", "100", "210"}));

    HistoryStore history(inst.env.paths.historyPath);
    history.open();
    EXPECT_EQ(history.documentCount(true), 0);
    QStringList found;
    for (const HistoryDocument& d : history.find({})) {
        const QString pdf = QFileInfo(d.pdfPath).fileName();
        found.prepend(d.deliveryKey + u' ' + pdf + u' ' + QString::number(d.page));
    }
    EXPECT_EQ(found, QStringList({"K1 納品書_A_1.pdf 1", "K2 納品書_A_1.pdf 2", "K5 納品書_D_3.pdf 1"}));
    EXPECT_EQ(result.pdfPaths(), QStringList({report.pdfPath(QStringLiteral("納品書_A_1.pdf")),
                                              report.pdfPath(QStringLiteral("納品書_D_3.pdf"))}));
}
