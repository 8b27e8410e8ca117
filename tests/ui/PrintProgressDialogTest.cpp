#include "support/OutputFixtures.h"

#include "ui/MessageBoxDialogs.h"
#include "ui/PrintProgressDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// A report engine whose operator presses 中止 while the second group prints.
class CancellingReport : public RecordingReport
{
public:
    QString shownText; // the progress text when 中止 was pressed
    bool print(const PrintJob& job, QString& error) override
    {
        const bool done = RecordingReport::print(job, error);
        if (printed.size() == 2) {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible()) {
                    shownText = dialog->labelText();
                    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("PrintProgressCancel")),
                                      Qt::LeftButton);
                }
            }
        }
        return done;
    }
};

} // namespace

TEST(PrintProgressDialog, ACancelInTheMiddleIssuesWhatWasPrintedAndLeavesTheRestWaiting)
{
    TestInstall inst;
    writeOutputInstallation(inst);
    QList<CustRecord> companies;
    QList<DeliveryRecord> records;
    for (int c = 1; c <= 8; ++c) {
        companies.append(outputCompany('1', QStringLiteral("C%1").arg(c), "1"));
        records.append(due('1', QStringLiteral("C%1").arg(c), QStringLiteral("K%1").arg(c)));
    }
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(companies));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    for (int i = 0; i < 8; ++i)
        inst.dialogs.setNextAnswer(kAnswerYes);

    QWidget window;
    window.show();
    CancellingReport report;
    PrintProgressDialog progress(&window, 0);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report, {}, {}, &progress);

    EXPECT_EQ(report.shownText, QStringLiteral("納品書を印刷しています。(2/8)\nC2  北斗星電機"));
    EXPECT_TRUE(result.interrupted);
    EXPECT_EQ(report.printed.size(), 2);
    const QList<DeliveryRecord> after = recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(after[i].text(DeliveryField::Status), i < 2 ? QStringLiteral("2") : QStringLiteral("1")) << i;
    EXPECT_EQ(result.groups.size(), 8);
    EXPECT_EQ(result.groups.last().outcome, PrintedGroup::Outcome::Interrupted);
    // The questions of the groups after the cancel were never asked.
    EXPECT_EQ(inst.dialogs.shown.size(), 2);
    const auto* dialog = window.findChild<QProgressDialog*>(QStringLiteral("PrintProgress"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(PrintProgressDialog, AQuestionStaysClearOfTheProgressAndItsStopEndsTheRun)
{
    // Eight slip companies; the second question is answered by key: Esc
    // declines that company only, Alt+C (中止) stops the run there.
    struct Case
    {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int printed;          // groups handed to the engine
        const char* outcomes; // per group: I issued, D declined, S 中止
    };
    const QList<Case> cases = {
        {"Esc", Qt::Key_Escape, Qt::NoModifier, 7, "IDIIIIII"},
        {"Alt+C", Qt::Key_C, Qt::AltModifier, 1, "ISSSSSSS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestInstall inst;
        writeOutputInstallation(inst);
        writeDueCompanies(inst, 8);
        QWidget window;
        window.resize(640, 480);
        window.show();
        MessageBoxDialogs boxes(&window);
        inst.env.dialogs = &boxes;

        // Answers each question as it shows: はい by Enter, the second by the case's key.
        int questions = 0;
        bool clear = true;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            ++questions;
            if (const QWidget* progress = PrintProgressDialog::shownDialog())
                clear = clear && !progress->frameGeometry().intersects(box->frameGeometry());
            else
                clear = false;
            if (questions == 2)
                QTest::keyClick(box, c.key, c.modifiers);
            else
                QTest::keyClick(box, Qt::Key_Return);
        });
        answer.start(20);
        RecordingReport report;
        PrintProgressDialog progress(&window, 0);
        const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report, {}, {}, &progress);
        answer.stop();

        EXPECT_TRUE(clear);
        EXPECT_EQ(report.printed.size(), c.printed);
        EXPECT_EQ(outcomeLetters(result), QLatin1String(c.outcomes));
        const QList<DeliveryRecord> after = recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(after[i].text(DeliveryField::Status),
                      c.outcomes[i] == 'I' ? QStringLiteral("2") : QStringLiteral("1"))
                << i;
    }
}

TEST(PrintProgressDialog, AShortRunShowsNoDialog)
{
    PrintProgressDialog progress(nullptr, 60000);
    EXPECT_TRUE(progress.proceed({OutputDocument::Tag, 1, 3, QStringLiteral("A"), QStringLiteral("湘洋")}));
    progress.finished();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QProgressDialog*>(w), nullptr);
    EXPECT_EQ(PrintProgressDialog::stepText({OutputDocument::Tag, 1, 3, QStringLiteral("A"), QStringLiteral("湘洋")}),
              QStringLiteral("荷札を印刷しています。(1/3)\nA  湘洋"));
}
