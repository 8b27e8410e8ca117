#include "XSession.h"

#include "support/OutputFixtures.h"

#include "ui/MessageBoxDialogs.h"
#include "ui/PrintProgressDialog.h"

#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(PrintRunUnderX, TheQuestionsStayClearOfTheProgressAndTheirStopEndsTheRun)
{
    PLX90_REQUIRE_X();
    TestInstall inst;
    writeOutputInstallation(inst);
    writeDueCompanies(inst, 5);
    QWidget window;
    window.resize(640, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MessageBoxDialogs boxes(&window);
    inst.env.dialogs = &boxes;

    // The clerk answers: the first question はい by Enter, the second いいえ
    // by Esc, the third by a click on its 中止.
    int questions = 0;
    bool busy = false;
    QStringList faults; // a question that overlapped the progress or stayed open
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (busy || !box || !QTest::qWaitForWindowActive(box, 0))
            return;
        busy = true;
        ++questions;
        // Let the window manager place both windows before they are compared.
        QTest::qWait(300);
        const QWidget* progress = PrintProgressDialog::shownDialog();
        if (!progress || progress->frameGeometry().intersects(box->frameGeometry())) {
            QString where;
            QDebug(&where) << (progress ? progress->frameGeometry() : QRect()) << box->frameGeometry();
            faults.append(QStringLiteral("question %1 (progress, question: %2)").arg(questions).arg(where));
        }
        if (questions == 1) {
            XSession::keys({QStringLiteral("Return")});
        } else if (questions == 2) {
            XSession::keys({QStringLiteral("Escape")});
        } else {
            auto* stop = box->findChild<QPushButton*>(QStringLiteral("MessageStop"));
            const QPoint at = stop ? XSession::screenPoint(stop, stop->rect().center()) : QPoint();
            if (!stop || !XSession::xdotool({QStringLiteral("mousemove"), QString::number(at.x()),
                                             QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")}))
                box->reject();
        }
        if (!QTest::qWaitFor([box] { return !box->isVisible(); }, 3000))
            faults.append(QStringLiteral("question %1 stayed open").arg(questions));
        busy = false;
    });
    answer.start(50);
    RecordingReport report;
    PrintProgressDialog progress(&window, 0);
    const PrintRunResult result = runNormalPrint(inst.env, Protocol::Eiaj, report, {}, {}, &progress);
    answer.stop();

    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(questions, 3);
    EXPECT_TRUE(result.interrupted);
    EXPECT_EQ(report.printed.size(), 1);
    ASSERT_EQ(result.groups.size(), 5);
    const QList<PrintedGroup::Outcome> expected = {
        PrintedGroup::Outcome::Issued, PrintedGroup::Outcome::Declined, PrintedGroup::Outcome::Interrupted,
        PrintedGroup::Outcome::Interrupted, PrintedGroup::Outcome::Interrupted};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(result.groups[i].outcome, expected[i]) << i;
    const QList<DeliveryRecord> after = recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(after[i].text(DeliveryField::Status), i == 0 ? QStringLiteral("2") : QStringLiteral("1")) << i;
}
