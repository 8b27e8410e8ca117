#include "XSession.h"

#include "support/ListFixtures.h"
#include "ui/ModalWindows.h"

#include "ui/entry/EntryWindow.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace plx;
using namespace plx::test;

namespace {

// How the clerk opens a row, sent as real input, and the record it must open.
struct RealOpen
{
    const char* how;
    std::function<bool(ListWindow&, ListGrid*)> send;
    const char* key;
    const char* page;
};

bool doubleClickAt(QPoint at)
{
    return XSession::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                              QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                              QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
}

QPoint cellOnScreen(ListGrid* grid, int row, int column)
{
    return XSession::screenPoint(grid->viewport(), grid->visualRect(grid->model()->index(row - 1, column)).center());
}

} // namespace

TEST(ListWindowUnderX, ARealDoubleClickOnAnyCellOfARowAndEnterOpenTheEntryOnThatRow)
{
    PLX90_REQUIRE_X();
    TestInstall inst;
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    inst.env.logCount = 10;
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機")}));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "K1", "0", "A", ""), listed('1', "ORD1", "K2", "0", "B", ""),
                                listed('1', "ORD1", "K3", "0", "C", ""), listed('1', "ORD1", "K4", "0", "D", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(listLoaded(w));
    auto* grid = w.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));

    const QList<RealOpen> cases = {
        {"double-click on a data cell", [](ListWindow&, ListGrid* g) { return doubleClickAt(cellOnScreen(g, 2, 4)); },
         "K2", "(2/4)"},
        {"double-click on the No. cell",
         [](ListWindow&, ListGrid* g) {
             QTableView* fixed = g->fixedColumnView();
             const QRect cell = fixed->visualRect(fixed->model()->index(2, 0));
             return doubleClickAt(XSession::screenPoint(fixed->viewport(), cell.center()));
         },
         "K3", "(3/4)"},
        {"double-click on a cell of a row already selected",
         [](ListWindow&, ListGrid* g) {
             g->selectRows(4, 4);
             return doubleClickAt(cellOnScreen(g, 4, 3));
         },
         "K4", "(4/4)"},
        {"Enter on the grid after the arrow keys",
         [](ListWindow& list, ListGrid* g) {
             // The focus is in the grid from the start: Down moves to row 2.
             g->selectCell(1, 1);
             return XSession::xdotool(
                        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(list.winId())}) &&
                    XSession::xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"),
                                       QStringLiteral("Down"), QStringLiteral("Return")});
         },
         "K2", "(2/4)"},
    };
    for (const RealOpen& c : cases) {
        SCOPED_TRACE(c.how);
        QString key, page;
        bool opened = false;
        whenModalShows<EntryWindow>("entry window", [&](EntryWindow& entry) {
            opened = true;
            key = entry.findChild<QLineEdit*>(QStringLiteral("Text7"))->text().trimmed();
            page = entry.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            entry.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        ASSERT_TRUE(c.send(w, grid)) << "xdotool failed";
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 5000));
        EXPECT_EQ(key, QLatin1String(c.key));
        EXPECT_EQ(page, QLatin1String(c.page));
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 5000));
        // Back in the list, the focus is in the grid again.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == grid; }, 3000));
    }
}
