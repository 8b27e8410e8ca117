#include "support/ListFixtures.h"

#include "ui/auxiliary/DeletionWindow.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "ModalWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

const QString kQuestion = QStringLiteral("選択した納品書データを削除しますか？");
const QString kNothing = QStringLiteral("該当するデータがありません。");

// Message 12 as the window asks it: what will go, then the question.
QString question(const QString& company, const QString& condition, int records)
{
    return QStringLiteral("発注者　：%1\r\n削除条件：%2\r\n削除件数：%3件\r\n\r\n")
               .arg(company, condition)
               .arg(records) +
           kQuestion;
}

struct DeletionWindowFixture : ::testing::Test
{
    TestInstall inst;
    DeletionWindowFixture()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.env.logCount = 10;
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                       cp932::encode(u"012,2,\"選択した納品書データを削除しますか？\"\r\n"
                                     u"630,4,\"該当するデータがありません。\"\r\n"));
        CustRecord second = company('1', "ORD2", "SUP", QString(30, QChar(u'長')));
        second.setText(CustField::SupplierName, u"当社");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機"),
                                                                    company('2', "KOR", "SUP", "湘洋"), second}));
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                       fileOf(QList{listed('1', "ORD1", "A", "2", "A", ""), listed('1', "ORD2", "B", "0", "B", ""),
                                    listed('1', "ORD2", "C", "2", "C", "")}));
    }
    QString kinds() const
    {
        QString out;
        for (const DeliveryRecord& r : recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat"))))
            out += QLatin1Char(r.kind());
        return out;
    }
    template <typename T> static T* child(QWidget& w, const char* name) { return w.findChild<T*>(QLatin1String(name)); }
    static void press(QWidget& w, const char* name) { QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton); }
};

void whenDeletionWindowShows(std::function<void(DeletionWindow&)> act)
{
    whenModalShows<DeletionWindow>("deletion window", std::move(act));
}

bool loaded(ListWindow& w)
{
    return listLoaded(w);
}

} // namespace

TEST_F(DeletionWindowFixture, OpensWithTheFormatsCompaniesAndShowsTheChosenOne)
{
    DeletionWindow w(inst.env, Protocol::Eiaj);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀ削除 （ＥＩＡＪ）"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書削除"));
    auto* combo = child<QComboBox>(w, "Combo1");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("すべて"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("北斗星電機"));
    EXPECT_EQ(combo->itemText(2), QString(25, QChar(u'長'))); // cut to 50 bytes
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(child<QGroupBox>(w, "Frame1")->title(), QStringLiteral("削除する条件"));
    EXPECT_EQ(child<QLabel>(w, "Label1")->text(), QStringLiteral("処理ﾓｰﾄﾞ："));
    EXPECT_EQ(child<QRadioButton>(w, "Option1")->text(), QStringLiteral("発行済のﾃﾞｰﾀを削除する。"));
    EXPECT_EQ(child<QRadioButton>(w, "Option2")->text(), QStringLiteral("すべてのﾃﾞｰﾀを削除する。"));
    EXPECT_TRUE(child<QRadioButton>(w, "Option1")->isChecked());
    EXPECT_EQ(child<QPushButton>(w, "Command2")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
        EXPECT_TRUE(child<QLineEdit>(w, name)->text().isEmpty()) << name;
        EXPECT_TRUE(child<QLineEdit>(w, name)->isReadOnly()) << name;
    }

    combo->setCurrentIndex(2);
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), QStringLiteral("ORD2"));
    EXPECT_EQ(child<QLineEdit>(w, "Text2")->text().trimmed(), QString(25, QChar(u'長')));
    EXPECT_EQ(child<QLineEdit>(w, "Text3")->text(), QStringLiteral("SUP"));
    EXPECT_EQ(child<QLineEdit>(w, "Text4")->text().trimmed(), QStringLiteral("当社"));
    combo->setCurrentIndex(0);
    EXPECT_TRUE(child<QLineEdit>(w, "Text1")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(w, "Text4")->text().isEmpty());
    combo->setCurrentIndex(2); // back to the same company after すべて
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), QStringLiteral("ORD2"));

    DeletionWindow korvan(inst.env, Protocol::Korvan);
    EXPECT_EQ(korvan.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀ削除 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(child<QComboBox>(korvan, "Combo1")->count(), 2);
}

TEST_F(DeletionWindowFixture, DeletesTheChosenCompanysRecordsAndCloses)
{
    DeletionWindow w(inst.env, Protocol::Eiaj);
    w.show();
    child<QComboBox>(w, "Combo1")->setCurrentIndex(2);
    child<QRadioButton>(w, "Option2")->setChecked(true);
    inst.dialogs.setNextAnswer(kAnswerYes);
    press(w, "Command1");
    EXPECT_EQ(inst.dialogs.texts(),
              (QStringList{question(QStringLiteral("ORD2  ") + QString(25, QChar(u'長')), QStringLiteral("すべて"), 2),
                           QStringLiteral("納品書ﾃﾞｰﾀを2件削除しました。")}));
    EXPECT_EQ(inst.dialogs.shown.first().defaultButton, DefaultButton::No);
    EXPECT_EQ(kinds(), QStringLiteral("1  "));
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(DeletionWindowFixture, AnsweredNoChangesNothingAndStays)
{
    DeletionWindow w(inst.env, Protocol::Eiaj);
    w.show();
    child<QRadioButton>(w, "Option2")->setChecked(true);
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    inst.dialogs.setNextAnswer(kAnswerNo);
    press(w, "Command1");
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    // Every company, every record: all three; no message 630 after the No.
    EXPECT_EQ(inst.dialogs.texts(), QStringList{question(QStringLiteral("すべて"), QStringLiteral("すべて"), 3)});
    EXPECT_FALSE(w.changed());
    EXPECT_TRUE(w.isVisible());

    press(w, "Command2");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.changed());
}

TEST_F(DeletionWindowFixture, NothingMatchedShows630AndStaysOpen)
{
    DeletionWindow w(inst.env, Protocol::Eiaj);
    w.show();
    // ORD2's issued record is C; the company ORD1 has only A. Choose ORD1, then
    // delete issued records twice: the second time nothing matches.
    child<QComboBox>(w, "Combo1")->setCurrentIndex(1);
    inst.dialogs.setNextAnswer(kAnswerYes);
    press(w, "Command1");
    EXPECT_EQ(inst.dialogs.texts(),
              (QStringList{question(QStringLiteral("ORD1  北斗星電機"), QStringLiteral("発行済のみ"), 1),
                           QStringLiteral("納品書ﾃﾞｰﾀを1件削除しました。")}));
    EXPECT_EQ(kinds(), QStringLiteral(" 11"));

    DeletionWindow again(inst.env, Protocol::Eiaj);
    again.show();
    child<QComboBox>(again, "Combo1")->setCurrentIndex(1);
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    press(again, "Command1");
    // Nothing to delete: message 630 at once, no question before it.
    EXPECT_EQ(inst.dialogs.texts().size(), 3);
    EXPECT_EQ(inst.dialogs.texts().last(), kNothing);
    EXPECT_TRUE(again.isVisible());
    EXPECT_FALSE(again.changed());
    EXPECT_NE(again.result(), QDialog::Accepted);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
}

TEST_F(DeletionWindowFixture, ADamagedFileIsShownAndTheWindowStays)
{
    DeletionWindow w(inst.env, Protocol::Eiaj);
    w.show();
    const QByteArray torn = inst.readFile(QStringLiteral("Prg/E_Deliv.dat")) + "torn";
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), torn);
    inst.dialogs.setNextAnswer(kAnswerYes);
    press(w, "Command1");
    // Refused while counting, before any question.
    ASSERT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_TRUE(inst.dialogs.texts().last().contains(QStringLiteral("E_Deliv.dat")));
    EXPECT_NE(inst.dialogs.texts().last(), kNothing);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), torn);
}

TEST_F(DeletionWindowFixture, TheListsDeleteWithoutASelectionOpensItAndReloads)
{
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(loaded(w));
    auto* grid = w.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    ASSERT_EQ(grid->model()->rowCount(), 3);
    // A single cell is no row selection.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 3)).center());
    auto* deleteButton = child<QPushButton>(w, "Command5");
    ASSERT_TRUE(deleteButton->isEnabled());

    bool opened = false;
    whenDeletionWindowShows([&](DeletionWindow& d) {
        opened = true;
        // Opened for the current tab, with no question asked before it.
        EXPECT_EQ(d.windowTitle(), QStringLiteral("納品書ﾃﾞｰﾀ削除 （ＥＩＡＪ）"));
        EXPECT_TRUE(inst.dialogs.shown.isEmpty());
        child<QRadioButton>(d, "Option2")->setChecked(true);
        inst.dialogs.setNextAnswer(kAnswerYes);
        press(d, "Command1");
    });
    QTest::mouseClick(deleteButton, Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_EQ(kinds(), QStringLiteral("   "));
    ASSERT_TRUE(loaded(w));
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));

    // Cancelled from the menu: nothing is reloaded or changed.
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "A", "2", "A", "")}));
    w.requestReload(false);
    ASSERT_TRUE(loaded(w));
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    opened = false;
    whenDeletionWindowShows([&](DeletionWindow& d) {
        opened = true;
        press(d, "Command2");
    });
    w.findChild<QAction*>(QStringLiteral("MnuDelete"))->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("削除ﾒﾆｭｰ"));
}
