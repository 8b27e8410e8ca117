#include "support/ListFixtures.h"

#include "ui/auxiliary/SearchWindow.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "ModalWindows.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

const QString kNotFound = QStringLiteral("該当するデータがありません。");

struct SearchWindowFixture : ::testing::Test
{
    TestInstall inst;
    SearchWindowFixture()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.env.logCount = 10;
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(u"002,3,\"発注企業情報が登録されていません。\"\r\n"
                                                                    u"003,1,\"コード情報が確認できません。\"\r\n"
                                                                    u"630,4,\"該当するデータがありません。\"\r\n"));
        CustRecord hokuto = company('1', "ORD1", "SUP", "北斗星電機");
        hokuto.setText(CustField::SupplierName, u"当社一課");
        CustRecord shoyo = company('1', "ORD2", "SUP2", "湘洋");
        shoyo.setText(CustField::SupplierName, u"当社二課");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       fileOf(QList{hokuto, company('2', "ORD9", "SUP", "KORVAN社"), shoyo}));
        // Rows 1..5 of the EIAJ list; the deleted record is not a row.
        DeliveryRecord gone = listed('1', "ORD2", "K9", "0", "I", "");
        gone.setKind(' ');
        DeliveryRecord due = listed('1', "ORD2", "K4", "0", "I", "");
        due.setText(DeliveryField::DueDate, u"20261207");
        inst.writeFile(
            QStringLiteral("Prg/E_Deliv.dat"),
            fileOf(QList{listed('1', "ORD1", "K1", "0", "I", ""), listed('1', "ORD1", "K2", "0", "I", ""), gone,
                         listed('1', "ORD2", "K3", "0", "I", ""), due, listed('1', "ORD1", "K5", "0", "I", "")}));
        inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{listed('2', "ORD9", "X1", "0", "I", "")}));
    }

    template <typename T = QLineEdit> static T* child(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString text(QWidget& w, const char* name) { return child(w, name)->text(); }
    static void type(QWidget& w, const char* name, const QString& value)
    {
        QLineEdit* edit = child(w, name);
        edit->clear();
        QTest::keyClicks(edit, value);
    }
    static void press(QWidget& w, const char* name) { QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton); }
};

void whenSearchOpens(std::function<void(SearchWindow&)> act)
{
    whenModalShows<SearchWindow>("search window", std::move(act));
}

} // namespace

// --- The window alone --------------------------------------------------------------

TEST_F(SearchWindowFixture, OpensWithTheCompaniesOfTheFormatAndFillsTheChosenOne)
{
    SearchWindow w(inst.env, Protocol::Eiaj, 0);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀの検索 （ＥＩＡＪ）"));
    EXPECT_TRUE(w.isModal());
    // 7665 x 4095 twips, wider only as far as whole 50-byte names need in its font.
    EXPECT_EQ(w.height(), 273);
    EXPECT_GE(w.width(), 511);
    EXPECT_EQ(w.width(), std::max(511, w.minimumSizeHint().width()));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("検索"));
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("Form_Load"));
    auto* combo = child<QComboBox>(w, "Combo1");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("すべて"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("北斗星電機"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("湘洋"));
    EXPECT_EQ(combo->currentIndex(), 0);
    for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
        EXPECT_TRUE(child(w, name)->isReadOnly()) << name;
        EXPECT_TRUE(text(w, name).isEmpty()) << name;
    }

    combo->setCurrentIndex(2);
    EXPECT_EQ(text(w, "Text1"), QStringLiteral("ORD2"));
    EXPECT_EQ(text(w, "Text2"), QStringLiteral("湘洋"));
    EXPECT_EQ(text(w, "Text3"), QStringLiteral("SUP2"));
    EXPECT_EQ(text(w, "Text4"), QStringLiteral("当社二課"));
    combo->setCurrentIndex(0);
    EXPECT_TRUE(text(w, "Text1").isEmpty());
    EXPECT_TRUE(text(w, "Text4").isEmpty());

    SearchWindow korvan(inst.env, Protocol::Korvan, 0);
    EXPECT_EQ(korvan.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀの検索 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(child<QComboBox>(korvan, "Combo1")->count(), 2);
}

TEST_F(SearchWindowFixture, OkFindsTheNextRowAndClosesWithIt)
{
    SearchWindow w(inst.env, Protocol::Eiaj, 1);
    w.show();
    child<QComboBox>(w, "Combo1")->setCurrentIndex(1);
    type(w, "Text5", QStringLiteral("PO-K5"));
    press(w, "Command1");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.foundRow(), 5);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("OKﾎﾞﾀﾝ"));
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    EXPECT_EQ(inst.env.searchOrdererIndex, 1);
    EXPECT_EQ(inst.env.searchTerms[0], QStringLiteral("ORD1"));
    EXPECT_EQ(inst.env.searchTerms[4], QStringLiteral("PO-K5"));
}

TEST_F(SearchWindowFixture, DueDateTypedAsADate)
{
    SearchWindow w(inst.env, Protocol::Eiaj, 0);
    w.show();
    type(w, "Text8", QStringLiteral("2026/12/07"));
    press(w, "Command1");
    EXPECT_EQ(w.foundRow(), 4);
}

TEST_F(SearchWindowFixture, NoMatchAfterTheStartShowsTheMessageAndStays)
{
    // Row 3 alone matches; the search starts after row 5.
    SearchWindow w(inst.env, Protocol::Eiaj, 5);
    w.show();
    type(w, "Text6", QStringLiteral("K3"));
    press(w, "Command1");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.foundRow(), 0);
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kNotFound});
    // Conditions are remembered even without a match.
    EXPECT_EQ(inst.env.searchTerms[5], QStringLiteral("K3"));

    press(w, "Command2");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(w.foundRow(), 0);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ"));
}

TEST_F(SearchWindowFixture, ReopeningShowsThePreviousConditionsAndCompany)
{
    {
        SearchWindow first(inst.env, Protocol::Eiaj, 0);
        first.show();
        child<QComboBox>(first, "Combo1")->setCurrentIndex(1);
        type(first, "Text5", QStringLiteral("PO-K2   "));
        type(first, "Text6", QStringLiteral("K2"));
        type(first, "Text7", QStringLiteral("IC-K2"));
        type(first, "Text8", QStringLiteral("20000531"));
        press(first, "Command1");
        EXPECT_EQ(first.foundRow(), 2);
    }
    SearchWindow again(inst.env, Protocol::Eiaj, 0);
    again.show();
    EXPECT_EQ(child<QComboBox>(again, "Combo1")->currentIndex(), 1);
    EXPECT_EQ(text(again, "Text1"), QStringLiteral("ORD1"));
    EXPECT_EQ(text(again, "Text2"), QStringLiteral("北斗星電機"));
    EXPECT_EQ(text(again, "Text3"), QStringLiteral("SUP"));
    EXPECT_EQ(text(again, "Text4"), QStringLiteral("当社一課"));
    EXPECT_EQ(text(again, "Text5"), QStringLiteral("PO-K2")); // trailing blanks gone
    EXPECT_EQ(text(again, "Text6"), QStringLiteral("K2"));
    EXPECT_EQ(text(again, "Text7"), QStringLiteral("IC-K2"));
    EXPECT_EQ(text(again, "Text8"), QStringLiteral("20000531"));
    // ｷｬﾝｾﾙ keeps what was remembered.
    type(again, "Text5", QStringLiteral("OTHER"));
    press(again, "Command2");
    EXPECT_EQ(inst.env.searchTerms[4], QStringLiteral("PO-K2"));
}

TEST_F(SearchWindowFixture, EnteringAConditionSelectsItsText)
{
    inst.env.searchTerms[5] = QStringLiteral("K3");
    SearchWindow w(inst.env, Protocol::Eiaj, 0);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QLineEdit* key = child(w, "Text6");
    EXPECT_TRUE(key->selectedText().isEmpty());
    key->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(key->selectedText(), QStringLiteral("K3"));
    // The company fields take no focus.
    EXPECT_EQ(child(w, "Text1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(SearchWindowFixture, ARememberedCompanyThatIsGoneLeavesAll)
{
    inst.env.searchOrdererIndex = 7;
    inst.env.searchTerms[0] = QStringLiteral("OLD");
    SearchWindow w(inst.env, Protocol::Eiaj, 0);
    EXPECT_EQ(child<QComboBox>(w, "Combo1")->currentIndex(), 0);
    EXPECT_TRUE(text(w, "Text1").isEmpty());
}

// --- From the list window ------------------------------------------------------------

TEST_F(SearchWindowFixture, TheListSearchSelectsTheFoundRow)
{
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); }, 5000));
    auto* grid = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    auto* command7 = child<QPushButton>(list, "Command7");
    ASSERT_TRUE(command7->isEnabled());
    ASSERT_TRUE(child<QAction>(list, "MnuFind")->isEnabled());

    // No row selection: from the top; the first ORD1 row of the company is row 1.
    int opened = 0;
    whenSearchOpens([&](SearchWindow& w) {
        ++opened;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀの検索 （ＥＩＡＪ）"));
        child<QComboBox>(w, "Combo1")->setCurrentIndex(1);
        press(w, "Command1");
    });
    QTest::mouseClick(command7, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    GridSelection s = grid->selectionRect();
    ASSERT_TRUE(s.valid);
    EXPECT_EQ(s.firstRow, 1);
    EXPECT_EQ(s.lastRow, 1);
    EXPECT_EQ(s.firstColumn, 1);
    EXPECT_EQ(s.lastColumn, 12);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));

    // The found row is a row selection: the menu searches on after it (rows 2, 5).
    whenSearchOpens([&](SearchWindow& w) {
        ++opened;
        EXPECT_EQ(child<QComboBox>(w, "Combo1")->currentIndex(), 1);
        press(w, "Command1");
    });
    child<QAction>(list, "MnuFind")->trigger();
    s = grid->selectionRect();
    EXPECT_EQ(s.firstRow, 2);
    whenSearchOpens([&](SearchWindow& w) { press(w, "Command1"); });
    QTest::mouseClick(command7, Qt::LeftButton);
    s = grid->selectionRect();
    EXPECT_EQ(s.firstRow, 5);
    EXPECT_EQ(grid->currentIndex().row(), 4);

    // After row 5 nothing: the message, then ｷｬﾝｾﾙ leaves the selection.
    whenSearchOpens([&](SearchWindow& w) {
        press(w, "Command1");
        EXPECT_TRUE(w.isVisible());
        press(w, "Command2");
    });
    QTest::mouseClick(command7, Qt::LeftButton);
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(inst.dialogs.texts().contains(kNotFound));
    s = grid->selectionRect();
    EXPECT_EQ(s.firstRow, 5);
    EXPECT_EQ(s.lastRow, 5);
}

TEST_F(SearchWindowFixture, TheKorvanListSearchesItsOwnRows)
{
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); }, 5000));
    list.findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(1);
    QString caption;
    whenSearchOpens([&](SearchWindow& w) {
        caption = w.windowTitle();
        type(w, "Text6", QStringLiteral("X1"));
        press(w, "Command1");
    });
    QTest::mouseClick(child<QPushButton>(list, "Command7"), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("納品書ﾃﾞｰﾀの検索 （ＫＯＲＶＡＮ）"));
    const GridSelection s = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_1"))->selectionRect();
    ASSERT_TRUE(s.valid);
    EXPECT_EQ(s.firstRow, 1);
}

TEST_F(SearchWindowFixture, AFoundRowFarDownIsScrolledIntoView)
{
    QList<DeliveryRecord> many;
    for (int i = 1; i <= 300; ++i)
        many.append(listed('1', "ORD1", QStringLiteral("M%1").arg(i), "0", "I", ""));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(many));
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); }, 5000));
    auto* grid = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    const QModelIndex target = grid->model()->index(289, 1);
    ASSERT_FALSE(grid->viewport()->rect().intersects(grid->visualRect(target)));
    whenSearchOpens([&](SearchWindow& w) {
        type(w, "Text6", QStringLiteral("M290"));
        press(w, "Command1");
    });
    QTest::mouseClick(child<QPushButton>(list, "Command7"), Qt::LeftButton);
    EXPECT_EQ(grid->selectionRect().firstRow, 290);
    EXPECT_TRUE(grid->viewport()->rect().intersects(grid->visualRect(target)));
}
