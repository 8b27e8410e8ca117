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
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 12000));
        EXPECT_EQ(key, QLatin1String(c.key));
        EXPECT_EQ(page, QLatin1String(c.page));
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 5000));
        // Back in the list, the focus is in the grid again.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == grid; }, 3000));
    }
}

TEST(ListWindowUnderX, TheEntryButtonByKeyboardOpensTheCurrentRowOrTheRowsSelectedWithShiftAndTheArrows)
{
    PLX90_REQUIRE_X();
    TestInstall inst;
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    inst.env.logCount = 10;
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機")}));
    QList<DeliveryRecord> records;
    for (int k = 1; k <= 9; ++k)
        records.append(listed('1', "ORD1", QStringLiteral("K%1").arg(k), "0", "A", ""));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(listLoaded(w));
    auto* grid = w.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));

    const auto repeated = [](const char* key, int times) {
        QStringList keys;
        for (int i = 0; i < times; ++i)
            keys << QLatin1String(key);
        return keys;
    };
    const struct
    {
        const char* how;
        QStringList keys; // from row 1 of the grid
        const char* key;  // the record the entry window shows
        const char* page; // and its page caption
    } cases[] = {
        {"Down to row 7: a single cell, the current row", repeated("Down", 6), "K7", "(7/9)"},
        {"Down to row 3, Shift+Down twice: rows 3 to 5", repeated("Down", 2) + repeated("shift+Down", 2), "K3",
         "(1/3)"},
        {"Down to row 6, Shift+Up twice and back once: rows 5 to 6",
         repeated("Down", 5) + repeated("shift+Up", 2) + repeated("shift+Down", 1), "K5", "(1/2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        grid->selectCell(1, 1);
        grid->setFocus();
        ASSERT_TRUE(XSession::xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.winId())}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == grid; }, 3000));
        ASSERT_TRUE(XSession::keys(c.keys));
        // Tab on to 出荷登録 and press it with Enter.
        for (int tabs = 0; tabs < 10 && XSession::focusName() != QLatin1String("Command2"); ++tabs)
            ASSERT_TRUE(XSession::keys({QStringLiteral("Tab")}));
        ASSERT_EQ(XSession::focusName(), QStringLiteral("Command2"));
        QString key, page;
        bool opened = false;
        whenModalShows<EntryWindow>("entry window", [&](EntryWindow& entry) {
            opened = true;
            key = entry.findChild<QLineEdit*>(QStringLiteral("Text7"))->text().trimmed();
            page = entry.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            entry.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        ASSERT_TRUE(XSession::keys({QStringLiteral("Return")}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 12000));
        EXPECT_EQ(key, QLatin1String(c.key));
        EXPECT_EQ(page, QLatin1String(c.page));
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 5000));
    }
}
