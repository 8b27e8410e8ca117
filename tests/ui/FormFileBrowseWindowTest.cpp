#include "support/TestInstall.h"

#include "ui/auxiliary/FormFileBrowseWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kForms = QStringLiteral("Usr/Forms_for_the_delivery_slips/");

struct BrowseWindowFixture : ::testing::Test
{
    TestInstall inst;
    const QString longName = QString(40, QLatin1Char('L')) + QStringLiteral(".agr");
    BrowseWindowFixture()
    {
        inst.buildPaths();
        // A user folder deep enough for the shortened label.
        inst.env.paths.usrFolder = inst.path(kForms);
        inst.writeFile(kForms + QStringLiteral("K_Tag.agr"), "{}");
        inst.writeFile(kForms + QStringLiteral("E_Slip.agr"), "{}");
        inst.writeFile(kForms + QStringLiteral("Cust.DAT"), "");
        inst.writeFile(kForms + QStringLiteral("readme.txt"), "");
        inst.writeFile(kForms + longName, "{}");
        inst.writeFile(QStringLiteral("Usr/Other.agr"), "{}");
    }

    static QListWidget* list(QDialog& w) { return w.findChild<QListWidget*>(QStringLiteral("File1")); }
    static QPushButton* button(QDialog& w, const char* name) { return w.findChild<QPushButton*>(QLatin1String(name)); }
    // Clicks the row showing `name`; the window must be shown for the geometry.
    static void clickFile(QDialog& w, const QString& name, bool twice = false)
    {
        QListWidget* files = list(w);
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QPoint at = files->visualItemRect(found.first()).center();
        // A double click is a click and then the double-click event, as the system sends it.
        QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        if (twice)
            QTest::mouseDClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
};

} // namespace

TEST_F(BrowseWindowFixture, OpensOnTheUserFolderWithOnlyTheFormFiles)
{
    FormFileBrowseWindow w(inst.env);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QRD定義ﾌｧｲﾙ参照"));
    EXPECT_TRUE(w.isModal());
    EXPECT_EQ(w.size(), QSize(368, 198));
    QListWidget* files = list(w);
    ASSERT_NE(files, nullptr);
    QStringList shown;
    for (int i = 0; i < files->count(); ++i)
        shown << files->item(i)->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("E_Slip.agr"), QStringLiteral("K_Tag.agr"), longName}));
    EXPECT_EQ(files->selectedItems().size(), 0);
    // ".../Plx90We/Usr/Forms_for_the_delivery_slips/": the tail from "/Plx90We" is
    // 42 characters, the one from "/Usr" 34, so the label keeps the latter.
    const QString folder = inst.env.paths.usrFolder;
    ASSERT_GE(folder.size(), 44);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              folder.left(2) + QStringLiteral("･･･/Usr/Forms_for_the_delivery_slips/"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("ﾌｧｲﾙの場所："));
    EXPECT_TRUE(w.chosenFile().isEmpty());
}

TEST_F(BrowseWindowFixture, ClickAndOkReturnsTheName)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    clickFile(w, QStringLiteral("K_Tag.agr"));
    EXPECT_EQ(w.chosenFile(), QStringLiteral("K_Tag.agr"));
    EXPECT_TRUE(w.isVisible()); // a single click does not close
    QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.chosenFile(), QStringLiteral("K_Tag.agr"));
}

TEST_F(BrowseWindowFixture, TheLastClickCounts)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    clickFile(w, QStringLiteral("K_Tag.agr"));
    clickFile(w, QStringLiteral("E_Slip.agr"));
    QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
    EXPECT_EQ(w.chosenFile(), QStringLiteral("E_Slip.agr"));
}

TEST_F(BrowseWindowFixture, OkWithoutAClickReturnsNothing)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    list(w)->setFocus(); // the focus makes a row current but chooses nothing
    QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.chosenFile().isEmpty());
}

TEST_F(BrowseWindowFixture, ClickAndCancelReturnsNothing)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    clickFile(w, QStringLiteral("E_Slip.agr"));
    ASSERT_EQ(w.chosenFile(), QStringLiteral("E_Slip.agr"));
    QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_TRUE(w.chosenFile().isEmpty());
}

TEST_F(BrowseWindowFixture, DoubleClickClosesWithTheNameCutTo36)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    clickFile(w, longName, true);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.chosenFile(), longName.left(36));
}

TEST_F(BrowseWindowFixture, ArrowsSelectEnterIsOkEscapeIsCancel)
{
    FormFileBrowseWindow w(inst.env);
    w.show();
    QListWidget* files = list(w);
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Down);
    QTest::keyClick(files, Qt::Key_Down);
    ASSERT_FALSE(w.chosenFile().isEmpty());
    const QString expected = files->currentItem()->text();
    QTest::keyClick(files, Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.chosenFile(), expected);

    FormFileBrowseWindow again(inst.env);
    again.show();
    list(again)->setFocus();
    QTest::keyClick(list(again), Qt::Key_Down);
    ASSERT_FALSE(again.chosenFile().isEmpty());
    QTest::keyClick(list(again), Qt::Key_Escape);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_TRUE(again.chosenFile().isEmpty());
}

TEST_F(BrowseWindowFixture, AnAbsentUserFolderListsNothing)
{
    inst.env.paths.usrFolder = inst.path(QStringLiteral("Nowhere/"));
    FormFileBrowseWindow w(inst.env);
    EXPECT_EQ(list(w)->count(), 0);
    QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
    EXPECT_TRUE(w.chosenFile().isEmpty());
}
