#include "support/ListFixtures.h"

#include "core/ErrorReport.h"
#include "ui/auxiliary/VersionWindow.h"
#include "ui/entry/EntryWindow.h"
#include "ui/list/HelpViewer.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "ModalWindows.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct WindowFixture : ::testing::Test
{
    TestInstall inst;
    WindowFixture()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.env.logCount = 10;
    }
    void companies()
    {
        CustRecord c = company('1', "ORD1", "SUP", "北斗星電機");
        c.setText(CustField::KanjiUse, u"1");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{c, company('2', "ORD1", "SUP", "湘洋")}));
    }
    // Waits until the busy panel has gone (the list has loaded).
    static bool loaded(ListWindow& w)
    {
        return QTest::qWaitFor([&] { return !w.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); }, 5000);
    }
    template <typename T> static T* child(ListWindow& w, const char* name)
    {
        return w.findChild<T*>(QLatin1String(name));
    }
    // Presses the fixed cell of row `row` (1-based), with Shift to extend.
    static void pressRow(ListGrid* grid, int row, bool shift = false)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier, cell.center());
    }
};

} // namespace

TEST_F(WindowFixture, LoadsBothListsAndKeepsEiajCurrent)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "E1", "0", "A", "漢字")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"),
                   fileOf(QList{listed('2', "ORD1", "K1", "2", "B", ""), listed('2', "ORD1", "K2", "1", "C", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"));
    EXPECT_EQ(w.size(), QSize(800, 600));
    ASSERT_TRUE(loaded(w));

    auto* tabs = child<QTabBar>(w, "TabStrip1");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" ＥＩＡＪ "));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("ＫＯＲＶＡＮ"));
    EXPECT_EQ(w.currentProtocol(), Protocol::Eiaj);
    EXPECT_EQ(inst.env.paths.delivPathFor(w.currentProtocol()), inst.env.paths.eDelivPath);

    auto* eiaj = child<ListGrid>(w, "MSFlexGrid1_0");
    auto* korvan = child<ListGrid>(w, "MSFlexGrid1_1");
    ASSERT_EQ(eiaj->model()->rowCount(), 1);
    ASSERT_EQ(korvan->model()->rowCount(), 2);
    EXPECT_EQ(eiaj->model()->index(0, 5).data().toString().trimmed(), QStringLiteral("漢字"));
    EXPECT_EQ(korvan->model()->index(0, 1).data().toString(), QStringLiteral("済"));
    EXPECT_EQ(korvan->model()->index(1, 2).data().toString().trimmed(), QStringLiteral("湘洋"));
    EXPECT_EQ(eiaj->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));
    EXPECT_EQ(eiaj->columnWidth(2), 2100 / 15);
    EXPECT_TRUE(eiaj->isVisible());
    EXPECT_FALSE(korvan->isVisible());
    EXPECT_EQ(eiaj->currentIndex(), eiaj->model()->index(0, 1));
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());

    // Switching tabs does not read the files again.
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), QByteArray());
    tabs->setCurrentIndex(1);
    EXPECT_EQ(w.currentProtocol(), Protocol::Korvan);
    EXPECT_EQ(inst.env.paths.delivPathFor(w.currentProtocol()), inst.env.paths.kDelivPath);
    EXPECT_TRUE(korvan->isVisible());
    EXPECT_EQ(korvan->model()->rowCount(), 2);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(w.currentProtocol(), Protocol::Eiaj);
}

TEST_F(WindowFixture, SingleFormatInstallationsHaveOneTab)
{
    inst.env.apUse = QStringLiteral("KORVAN");
    companies();
    ListWindow w(inst.env);
    ASSERT_TRUE(loaded(w));
    auto* tabs = child<QTabBar>(w, "TabStrip1");
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("ＫＯＲＶＡＮ"));
    EXPECT_EQ(w.currentProtocol(), Protocol::Korvan);
}

TEST_F(WindowFixture, EmptyListsAndMissingCompaniesReportedOnceAcrossReloads)
{
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(loaded(w));
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("発注企業情報が登録されていません。")});
    // An empty list: the commands that need rows are off, the others on.
    EXPECT_FALSE(child<QPushButton>(w, "Command2")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "Command4")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "Command5")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "Command7")->isEnabled());
    EXPECT_FALSE(child<QAction>(w, "MnuPrint")->isEnabled());
    EXPECT_FALSE(child<QAction>(w, "MnuDelete")->isEnabled());
    EXPECT_FALSE(child<QAction>(w, "MnuFind")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "Command1")->isEnabled());
    EXPECT_FALSE(child<ListGrid>(w, "MSFlexGrid1_0")->currentIndex().isValid());

    w.requestReload(true);
    ASSERT_TRUE(loaded(w));
    w.requestReload(false);
    ASSERT_TRUE(loaded(w));
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
}

TEST_F(WindowFixture, ADataFileThatCannotBeOpenedIsToldAndTheWindowGoesOn)
{
    companies();
    // A folder where the EIAJ data file should be: it cannot be opened.
    ASSERT_TRUE(QDir().mkpath(inst.path(QStringLiteral("Prg/E_Deliv.dat"))));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{listed('2', "ORD1", "K1", "0", "B", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_TRUE(inst.dialogs.shown[0].text.startsWith(
        QStringLiteral("EIAJの一覧を表示できません。\r\n納品書ﾌｧｲﾙを開けません。(") + inst.env.paths.eDelivPath))
        << inst.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(inst.env.logPointer, 1);

    // The window goes on: the KORVAN list is there, the EIAJ one offers only
    // what needs no rows.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(child<ListGrid>(w, "MSFlexGrid1_0")->model()->rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>(w, "Command2")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "Command3")->isEnabled());
    child<QTabBar>(w, "TabStrip1")->setCurrentIndex(1);
    EXPECT_EQ(child<ListGrid>(w, "MSFlexGrid1_1")->model()->rowCount(), 1);
    EXPECT_TRUE(child<QPushButton>(w, "Command2")->isEnabled());

    // Once the file can be opened, the next reload lists it.
    ASSERT_TRUE(QDir(inst.path(QStringLiteral("Prg/E_Deliv.dat"))).removeRecursively());
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "E1", "0", "A", "")}));
    w.requestReload(true);
    ASSERT_TRUE(loaded(w));
    EXPECT_EQ(child<ListGrid>(w, "MSFlexGrid1_0")->model()->rowCount(), 1);
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
}

TEST_F(WindowFixture, MenusAreInOrderWithTheirSeparators)
{
    companies();
    ListWindow w(inst.env);
    ASSERT_TRUE(loaded(w));
    QStringList menus;
    for (QAction* menu : w.menuBar()->actions()) {
        QStringList entries;
        for (QAction* a : menu->menu()->actions())
            entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menus << menu->text() + QLatin1Char(':') + entries.join(u'|');
    }
    EXPECT_EQ(menus,
              QStringList({QStringLiteral("ﾌｧｲﾙ(&F):新規作成(&N)|開く(&O)...|-|印刷(&P)...|-|削除(&D)...|-|終了(&X)"),
                           QStringLiteral("ﾂｰﾙ(&T):発注者情報設定(&C)...|ﾌｧｲﾙ入力設定(&E)...|-|"
                                          "\"処理済ﾌｧｲﾙ\"ﾌｫﾙﾀﾞを空にする。(&Y)|-|検索(&F)...|-|発行履歴(&R)..."),
                           QStringLiteral("ﾍﾙﾌﾟ(&H):ﾍﾙﾌﾟ(&H)|-|ﾊﾞｰｼﾞｮﾝ情報(&A)")}));
}

TEST_F(WindowFixture, DeletesSelectedListedRowsSkippingDeletedRecordsAfterNamingThem)
{
    companies();
    DeliveryRecord gap = listed('1', "ORD1", "GAP", "0", "G", "");
    gap.setKind(' ');
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "R1", "0", "A", ""), listed('1', "ORD1", "R2", "0", "B", ""), gap,
                                listed('1', "ORD1", "R3", "0", "C", ""), listed('1', "ORD1", "R4", "0", "D", "")}));
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(loaded(w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    auto* deleteButton = child<QPushButton>(w, "Command5");
    EXPECT_TRUE(deleteButton->isEnabled()); // without selected rows it opens the deletion window

    pressRow(grid, 2);
    pressRow(grid, 3, true);
    const GridSelection s = grid->selectionRect();
    EXPECT_EQ(s.firstRow, 2);
    EXPECT_EQ(s.lastRow, 3);
    EXPECT_EQ(s.firstColumn, 1);
    EXPECT_EQ(s.lastColumn, 12);
    ASSERT_TRUE(deleteButton->isEnabled());

    // Answered No: nothing happens.
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    inst.dialogs.setNextAnswer(kAnswerNo);
    QTest::mouseClick(deleteButton, Qt::LeftButton);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);

    // The question names what goes: the count, and the first and the last
    // listed record (the deleted record between them is not counted).
    inst.dialogs.setNextAnswer(kAnswerYes);
    QTest::mouseClick(deleteButton, Qt::LeftButton);
    EXPECT_EQ(inst.dialogs.shown.last().text, QStringLiteral("削除する納品書  2件\r\n"
                                                             "最初  No.2  納品キー番号 R2\r\n"
                                                             "最後  No.3  納品キー番号 R3\r\n\r\n"
                                                             "選択した納品書データを削除しますか？"));
    EXPECT_EQ(inst.dialogs.shown.last().defaultButton, DefaultButton::No);
    ASSERT_TRUE(loaded(w));
    const QByteArray after = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    QString kinds;
    for (int n = 0; n < 5; ++n)
        kinds += QLatin1Char(after.at(n * DeliveryRecord::kLength));
    EXPECT_EQ(kinds, QStringLiteral("1   1"));
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(1, 4).data().toString().trimmed(), QStringLiteral("R4"));
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), QStringLiteral("2"));
}

TEST_F(WindowFixture, TheCurrentRowIsTintedAcrossTheGrid)
{
    companies();
    QList<DeliveryRecord> records;
    for (const char* key : {"K1", "K2", "K3", "K4"})
        records.append(listed('1', "ORD1", key, "0", "A", ""));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    grid->selectCell(3, 4);
    // A blank corner of a cell away from the selected one, on rows 2 and 3.
    const auto colourAt = [grid](int row, int column) {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
        return grid->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.top() + 2);
    };
    EXPECT_NE(colourAt(3, 3), colourAt(2, 3));
    EXPECT_EQ(colourAt(3, 3), colourAt(3, 2));
    EXPECT_EQ(colourAt(2, 3), colourAt(4, 3));
    // Moving the current row moves the tint.
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(colourAt(3, 3), colourAt(2, 3));
    EXPECT_NE(colourAt(4, 3), colourAt(2, 3));
}

TEST_F(WindowFixture, SelectionOfSingleCellsIsNoRowSelection)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "R1", "0", "A", ""), listed('1', "ORD1", "R2", "0", "B", "")}));
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(loaded(w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 3)).center());
    EXPECT_FALSE(grid->selectionRect().firstColumn == 1 && grid->selectionRect().lastColumn == 12);
    // 削除 then opens the deletion window instead of asking (DeletionWindowTest).
    EXPECT_TRUE(child<QPushButton>(w, "Command5")->isEnabled());
}

TEST_F(WindowFixture, EmptiesTheProcessedFilesFolderUnlessAnsweredNo)
{
    companies();
    inst.writeFile(QStringLiteral("Dust/a.txt"), "a");
    inst.writeFile(QStringLiteral("Dust/b.dat"), "b");
    ListWindow w(inst.env);
    ASSERT_TRUE(loaded(w));
    QAction* dust = child<QAction>(w, "MnuDust");
    inst.dialogs.setNextAnswer(kAnswerNo);
    dust->trigger();
    EXPECT_EQ(inst.dialogs.shown.last().text,
              QStringLiteral("\"処理済ﾌｧｲﾙ\"フォルダ内のファイルをすべて削除しますか？"));
    EXPECT_EQ(QDir(inst.env.paths.dustFolder).entryList(QDir::Files).size(), 2);
    inst.dialogs.setNextAnswer(kAnswerYes);
    dust->trigger();
    EXPECT_TRUE(QDir(inst.env.paths.dustFolder).entryList(QDir::Files).isEmpty());
    const int shown = int(inst.dialogs.shown.size());
    inst.dialogs.setNextAnswer(kAnswerYes);
    dust->trigger(); // already empty: only the question
    EXPECT_EQ(inst.dialogs.shown.size(), shown + 1);
}

TEST_F(WindowFixture, HelpOpensOverTheWindowOnceAndIsClosedWithIt)
{
    companies();
    auto w = std::make_unique<ListWindow>(inst.env);
    w->showCentred();
    ASSERT_TRUE(loaded(*w));
    QAction* help = child<QAction>(*w, "MnuHelp");
    help->trigger();
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("ヘルプファイルがありません。"));
    EXPECT_EQ(w->helpViewer(), nullptr);

    inst.writeFile(QStringLiteral("Help/H7120001.htm"),
                   cp932::encode(u"<html><head><title>ヘルプ</title></head><body><h1>納品書</h1></body></html>"));
    help->trigger();
    HelpViewer* viewer = w->helpViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->geometry(), w->geometry());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("ヘルプ"));
    help->trigger();
    EXPECT_EQ(w->helpViewer(), viewer); // the same viewer, brought to the front

    QPointer<HelpViewer> watch(viewer);
    w->close();
    QTest::qWait(10);
    EXPECT_TRUE(watch.isNull() || !watch->isVisible());
}

TEST_F(WindowFixture, AFailureTheErrorReportTellsClosesTheHelpViewer)
{
    companies();
    inst.writeFile(QStringLiteral("Help/H7120001.htm"), cp932::encode(u"<html><body>ヘルプ</body></html>"));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    child<QAction>(w, "MnuHelp")->trigger();
    QPointer<HelpViewer> viewer(w.helpViewer());
    ASSERT_TRUE(viewer && viewer->isVisible());
    // Told without ending the program (a setting that cannot be read).
    ReportError(inst.env, QStringLiteral("DataPath/読めません。"));
    QTest::qWait(10);
    EXPECT_TRUE(viewer.isNull() || !viewer->isVisible());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(WindowFixture, EndRemovesOutputListsUpToTheFirstGap)
{
    companies();
    for (const char* name : {"1NoOutFile.txt", "2NoOutFile.txt", "4NoOutFile.txt", "1NiOutFile.txt"})
        inst.writeFile(QStringLiteral("Usr/") + QLatin1String(name), "x");
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(loaded(w));
    QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(QFile::exists(inst.env.paths.slipListPath(1)));
    EXPECT_FALSE(QFile::exists(inst.env.paths.slipListPath(2)));
    EXPECT_TRUE(QFile::exists(inst.env.paths.slipListPath(4)));
    EXPECT_FALSE(QFile::exists(inst.env.paths.tagListPath(1)));
}

TEST_F(WindowFixture, TheNumberColumnStaysAtTheLeftOnBothTabsAndSelectsRows)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "E1", "0", "A", ""), listed('1', "ORD1", "E2", "0", "B", "")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"),
                   fileOf(QList{listed('2', "ORD1", "K1", "0", "C", ""), listed('2', "ORD1", "K2", "0", "D", ""),
                                listed('2', "ORD1", "K3", "0", "E", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    auto* tabs = child<QTabBar>(w, "TabStrip1");
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind);
        tabs->setCurrentIndex(kind);
        auto* grid = child<ListGrid>(w, kind == 0 ? "MSFlexGrid1_0" : "MSFlexGrid1_1");
        QTableView* fixed = grid->fixedColumnView();
        ASSERT_NE(fixed, nullptr);
        // Over the left edge of the grid, as wide as column 0, showing it alone.
        EXPECT_TRUE(fixed->isVisible());
        EXPECT_EQ(fixed->geometry().topLeft(), QPoint(grid->frameWidth(), grid->frameWidth()));
        EXPECT_EQ(fixed->width(), grid->columnWidth(0));
        EXPECT_EQ(fixed->horizontalHeader()->height(), grid->horizontalHeader()->height());
        EXPECT_FALSE(fixed->isColumnHidden(0));
        EXPECT_TRUE(fixed->isColumnHidden(1) && fixed->isColumnHidden(12));
        EXPECT_EQ(fixed->model(), grid->model());

        // Scrolled to the right end: column 0 of the grid has gone, the fixed
        // column has not, and pressing it selects the row.
        QScrollBar* across = grid->horizontalScrollBar();
        ASSERT_GT(across->maximum(), 0);
        across->setValue(across->maximum());
        EXPECT_LT(grid->columnViewportPosition(0) + grid->columnWidth(0), 0);
        EXPECT_EQ(fixed->geometry().topLeft(), QPoint(grid->frameWidth(), grid->frameWidth()));
        EXPECT_EQ(fixed->columnViewportPosition(0), 0);
        const QRect second = fixed->visualRect(fixed->model()->index(1, 0));
        ASSERT_TRUE(fixed->viewport()->rect().contains(second.center()));
        // Through the window, as a real click comes: the fixed column lets it
        // through to the grid, which takes it for column 0.
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          fixed->viewport()->mapTo(&w, second.center()));
        const GridSelection s = grid->selectionRect();
        EXPECT_EQ(QList({s.firstRow, s.lastRow, s.firstColumn, s.lastColumn}), QList({2, 2, 1, 12}));
        // Shift extends it, as on the grid itself.
        const QRect first = fixed->visualRect(fixed->model()->index(0, 0));
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                          fixed->viewport()->mapTo(&w, first.center()));
        EXPECT_EQ(QList({grid->selectionRect().firstRow, grid->selectionRect().lastRow}), QList({1, 2}));
        EXPECT_TRUE(child<QPushButton>(w, "Command5")->isEnabled());

        // A cell brought into view is not left under the fixed column.
        grid->scrollTo(grid->model()->index(0, 1));
        EXPECT_GE(grid->visualRect(grid->model()->index(0, 1)).left(), grid->columnWidth(0));
    }
}

TEST_F(WindowFixture, TabLeavesTheGridForTheButtons)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "E1", "0", "A", ""), listed('1', "ORD1", "E2", "0", "B", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }, 2000));
    const QModelIndex current = grid->currentIndex();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus());
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->objectName().startsWith(QStringLiteral("Command")));
    EXPECT_EQ(grid->currentIndex(), current); // the grid's cell did not move
    // The fixed column never takes the focus.
    EXPECT_EQ(grid->fixedColumnView()->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowFixture, TheBusyPanelIsCentredOnceTheWindowHasItsSize)
{
    companies();
    ListWindow w(inst.env);
    w.showCentred();
    auto* busy = child<QWidget>(w, "Picture1");
    // Still loading: the panel is up, in the middle of the list area.
    ASSERT_TRUE(busy->isVisible());
    const QRect area = busy->parentWidget()->rect();
    ASSERT_GT(area.width(), busy->width());
    EXPECT_LE(std::abs(busy->geometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(busy->geometry().center().y() - area.center().y()), 1);
    EXPECT_TRUE(area.contains(busy->geometry()));
    // And it stays there when the window changes size.
    w.resize(w.width() + 200, w.height() + 100);
    QTest::qWait(1);
    const QRect wider = busy->parentWidget()->rect();
    if (busy->isVisible()) {
        EXPECT_LE(std::abs(busy->geometry().center().x() - wider.center().x()), 1);
    }
    ASSERT_TRUE(loaded(w));
    w.requestReload(false);
    EXPECT_LE(std::abs(busy->geometry().center().x() - wider.center().x()), 1);
    ASSERT_TRUE(loaded(w));
}

TEST_F(WindowFixture, ACutCellShowsItsWholeTextAsTooltip)
{
    companies();
    const QString longName = QStringLiteral("北斗星電機株式会社納品書出力サービス用品");
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "E1", "0", "A", longName)}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    const QModelIndex name = grid->model()->index(0, 5);
    ASSERT_EQ(name.data().toString().trimmed(), longName);
    EXPECT_EQ(grid->cutText(name), longName);
    EXPECT_TRUE(grid->cutText(grid->model()->index(0, 4)).isEmpty()); // "E1" fits
    EXPECT_TRUE(grid->cutText(grid->model()->index(0, 0)).isEmpty());
    EXPECT_TRUE(grid->cutText(QModelIndex()).isEmpty());

    const QPoint at = grid->visualRect(name).center();
    QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), longName);
    QToolTip::hideText();
}

namespace {

// One way of opening rows of the list, and what it must open.
struct OpenCase
{
    const char* how;
    std::function<void(ListWindow&, ListGrid*)> act;
    int first, last;  // the row selection it leaves
    const char* key;  // the record the entry window shows
    const char* page; // and its page caption
};

QPoint cellCentre(ListGrid* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row - 1, column)).center();
}

} // namespace

TEST_F(WindowFixture, ADoubleClickAnywhereOnARowOrEnterOpensTheEntryOnThatRow)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "K1", "0", "A", ""), listed('1', "ORD1", "K2", "0", "B", ""),
                                listed('1', "ORD1", "K3", "0", "C", ""), listed('1', "ORD1", "K4", "0", "D", "")}));
    const auto dclick = [](ListGrid* grid, int row, int column) {
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, row, column));
    };
    const QList<OpenCase> cases = {
        {"double-click on a data cell", [&](ListWindow&, ListGrid* g) { dclick(g, 2, 4); }, 2, 2, "K2", "(2/4)"},
        {"double-click on the No. cell, through the window",
         [&](ListWindow& w, ListGrid* g) {
             QTableView* fixed = g->fixedColumnView();
             const QPoint at = fixed->visualRect(fixed->model()->index(2, 0)).center();
             QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, fixed->viewport()->mapTo(&w, at));
         },
         3, 3, "K3", "(3/4)"},
        {"double-click in a selection of rows 1 to 3",
         [&](ListWindow&, ListGrid* g) {
             pressRow(g, 1);
             pressRow(g, 3, true);
             dclick(g, 2, 6);
         },
         2, 2, "K2", "(2/4)"},
        {"Enter on a single cell",
         [&](ListWindow&, ListGrid* g) {
             g->selectCell(4, 3);
             QTest::keyClick(g, Qt::Key_Return);
         },
         4, 4, "K4", "(4/4)"},
        {"Enter in a selection of rows 2 to 3",
         [&](ListWindow&, ListGrid* g) {
             pressRow(g, 2);
             pressRow(g, 3, true);
             QTest::keyClick(g, Qt::Key_Enter, Qt::KeypadModifier);
         },
         2, 3, "K2", "(1/2)"},
    };
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.how);
        grid->selectCell(1, 1);
        QString key, page, operation;
        GridSelection selected;
        bool opened = false;
        whenModalShows<EntryWindow>("entry window", [&](EntryWindow& entry) {
            opened = true;
            operation = inst.env.logOperation;
            selected = grid->selectionRect();
            key = entry.findChild<QLineEdit*>(QStringLiteral("Text7"))->text().trimmed();
            page = entry.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            entry.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        c.act(w, grid);
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 3000));
        EXPECT_EQ(QList({selected.firstRow, selected.lastRow, selected.firstColumn, selected.lastColumn}),
                  QList({c.first, c.last, 1, 12}));
        EXPECT_EQ(key, QLatin1String(c.key));
        EXPECT_EQ(page, QLatin1String(c.page));
        EXPECT_EQ(operation, QStringLiteral("出荷登録ﾎﾞﾀﾝ"));
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 3000));
    }

    // The header row opens nothing.
    QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(grid->columnViewportPosition(4) + 10, 10));
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WindowFixture, TheListStartsWithTheFocusInTheGridAndTheArrowsMoveOverItsRows)
{
    companies();
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD1", "E1", "0", "A", ""), listed('1', "ORD1", "E2", "0", "B", "")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{listed('2', "ORD1", "K1", "0", "C", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(loaded(w));
    auto* eiaj = child<ListGrid>(w, "MSFlexGrid1_0");
    EXPECT_EQ(QApplication::focusWidget(), eiaj);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(eiaj->currentIndex().row(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(child<QTabBar>(w, "TabStrip1")->currentIndex(), 0); // still EIAJ
    // The other format's grid takes the focus with its tab.
    child<QTabBar>(w, "TabStrip1")->setCurrentIndex(1);
    EXPECT_EQ(QApplication::focusWidget(), child<ListGrid>(w, "MSFlexGrid1_1"));
}

TEST_F(WindowFixture, AtItsSmallestTheWindowStillShowsFiveWholeRows)
{
    companies();
    QList<DeliveryRecord> records;
    for (int i = 1; i <= 8; ++i)
        records << listed('1', "ORD1", QStringLiteral("E%1").arg(i), "0", "A", "");
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(loaded(w));
    w.resize(w.minimumSizeHint());
    QCoreApplication::processEvents();
    auto* grid = child<ListGrid>(w, "MSFlexGrid1_0");
    const QRect fifth = grid->visualRect(grid->model()->index(4, 1));
    EXPECT_TRUE(grid->viewport()->rect().contains(fifth)) << fifth.bottom() << " > " << grid->viewport()->height();
}

TEST(VersionWindow, ShowsTheStoredVersionOrNothing)
{
    TestInstall inst;
    writeListInstallation(inst);
    {
        VersionWindow w(inst.env);
        EXPECT_EQ(w.versionText(), QStringLiteral("Ver. "));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 （PLX-90 納品書出力ｻｰﾋﾞｽ） "));
        EXPECT_EQ(inst.env.logModule, QStringLiteral("Ver情報"));
    }
    inst.setSetting(QStringLiteral("ExcurrentVersion"), QStringLiteral("1.00"));
    VersionWindow w(inst.env);
    EXPECT_EQ(w.versionText(), QStringLiteral("Ver. 1.00"));
    // Beside it, the version of the build, as --version prints it.
    EXPECT_EQ(w.programVersionText(), QStringLiteral("(plx90 " PLX90_VERSION ")"));
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}
