#include "XSession.h"

#include "support/EntryFixtures.h"

#include "ui/entry/EntryWindow.h"
#include "ui/entry/TagGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

} // namespace

TEST(EntryWindowUnderX, TheWindowWorksByRealKeysAlone)
{
    PLX90_REQUIRE_X();
    TestInstall inst;
    writeEntryInstallation(inst);
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{shippable("K1"), shippable("K2"), shippable("K3")}));
    RecordingReport report;
    EntryWindow w(inst.env, Protocol::Eiaj, EntryOpening{EntryMode::Existing, 1, 3, false}, &report);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(
        XSession::xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.winId())}));
    ASSERT_TRUE(QTest::qWaitFor([] { return XSession::focusName() == QLatin1String("Text19"); }, 3000));
    const auto shown = [&](const char* key) {
        return QTest::qWaitFor(
            [&] { return w.findChild<QLineEdit*>(QStringLiteral("Text7"))->text().trimmed() == QLatin1String(key); },
            3000);
    };
    auto* grid = w.findChild<TagGrid*>(QStringLiteral("MSFlexGrid1"));

    // PageDown and PageUp page; each record starts its tag grid at the top.
    grid->setCurrentCell(2, 1);
    ASSERT_TRUE(XSession::keys({QStringLiteral("Next")}));
    EXPECT_TRUE(shown("K2"));
    EXPECT_EQ(grid->currentRow(), 0);
    ASSERT_TRUE(XSession::keys({QStringLiteral("Prior")}));
    EXPECT_TRUE(shown("K1"));

    // Alt+R registers what is on screen and says so until the next action.
    ASSERT_TRUE(XSession::keys({QStringLiteral("alt+r")}));
    EXPECT_TRUE(shown("K2"));
    EXPECT_EQ(recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")))[0].text(DeliveryField::Status),
              QStringLiteral("1"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("StatusLine"))->text(),
              QStringLiteral("登録しました。 納品ｷｰ番号 K1  状態 発行待"));

    // Alt+E opens the order data; Tab then walks the form from the top down.
    ASSERT_TRUE(XSession::keys({QStringLiteral("alt+e")}));
    ASSERT_TRUE(QTest::qWaitFor([] { return XSession::focusName() == QLatin1String("Text9"); }, 3000));
    EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("StatusLine"))->text().isEmpty());
    QStringList walked;
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(XSession::keys({QStringLiteral("Tab")}));
        QTest::qWait(30);
        walked << XSession::focusName();
    }
    EXPECT_EQ(walked, QStringList({"Combo1", "Text10", "Text11", "Text14", "Text12", "Text13", "Text15", "Text16",
                                   "Text17", "Text18", "Combo2", "Combo3", "Combo4", "Combo5", "Text22"}));
    w.hide();
}
