#include "ui/BusyPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <gtest/gtest.h>

using namespace plx;

namespace {

TEST(BusyPanelTest, ShowsCentredOverItsParentAndFollowsItsResize)
{
    QWidget parent;
    parent.resize(600, 400);
    auto* panel = new BusyPanel(&parent, QSize(200, 100));
    parent.show();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->objectName(), QStringLiteral("Picture1"));

    panel->showCentred();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), QRect(200, 150, 200, 100));

    parent.resize(800, 300);
    EXPECT_EQ(panel->geometry(), QRect(300, 100, 200, 100));

    // Never further up or left than the parent's corner.
    parent.resize(100, 50);
    EXPECT_EQ(panel->pos(), QPoint(0, 0));
}

TEST(BusyPanelTest, WithoutProgressItHasOnlyItsText)
{
    QWidget parent;
    BusyPanel panel(&parent, QSize(200, 100));
    auto* text = panel.findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("処理中です。しばらくお待ち下さい。"));
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("Label4")), nullptr);
    EXPECT_EQ(panel.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")), nullptr);
    panel.showProgress(1, 2); // nothing to show it on
}

TEST(BusyPanelTest, ProgressShowsTheCounterAndTheBarAndShowingAgainClearsThem)
{
    QWidget parent;
    parent.resize(600, 400);
    auto* panel = new BusyPanel(&parent, QSize(200, 100), BusyPanel::Progress::With);
    auto* counter = panel->findChild<QLabel*>(QStringLiteral("Label4"));
    auto* bar = panel->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(counter, nullptr);
    ASSERT_NE(bar, nullptr);

    panel->showCentred();
    panel->showProgress(2, 5);
    EXPECT_EQ(counter->text(), QStringLiteral("(2/5)"));
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->value(), 2);

    panel->showProgress(7, 0); // kept within the bar
    EXPECT_EQ(bar->maximum(), 1);
    EXPECT_EQ(bar->value(), 1);

    panel->showCentred();
    EXPECT_TRUE(counter->text().isEmpty());
    EXPECT_EQ(bar->value(), bar->minimum() - 1);
}

} // namespace
