#include "support/EntryFixtures.h"

#include "ModalWindows.h"

#include "ui/entry/EntryWindow.h"
#include "ui/list/ListWindow.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(ScanField, AScannedKeyOrSymbolOpensItsRecordAndTheFieldIsReadyForTheNext)
{
    TestInstall inst;
    writeEntryInstallation(inst);
    inst.writeFile(QStringLiteral("Prg/Msg.DAT"), inst.readFile(QStringLiteral("Prg/Msg.DAT")) +
                                                      cp932::encode(u"630,4,\"該当するデータがありません。\"\r\n"));
    // K2 stands for company A and for company B.
    CustRecord b = outputCompany('1', "B", "1", QStringLiteral("湘洋"));
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), inst.readFile(QStringLiteral("Usr/Cust.DAT")) + b.bytes());
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{shippable("K1"), shippable("K2"), shippable("K3"), shippable("K2", "0", "B")}));
    DeliveryRecord korvan = delivery('2', "K", "SUP", "KV1", "0");
    korvan.setText(DeliveryField::MessageKind, u"D10");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{korvan}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(listLoaded(w));
    auto* scan = w.findChild<QLineEdit*>(QStringLiteral("ScanKey"));
    ASSERT_NE(scan, nullptr);

    struct Case
    {
        const char* typed;
        const char* key;  // the record the entry window opens on
        const char* page; // its page among the rows from it to the end
        int choose = -1;  // the line of the choice, when asked
    };
    const Case cases[] = {{"K3", "K3", "(3/4)"},       // the key from the customer's sheet
                          {"ZK1", "K1", "(1/4)"},      // our key symbol
                          {"3N3K3 5 ", "K3", "(3/4)"}, // our 3N3 symbol
                          {"K2", "K2", "(4/4)", 1}};   // two companies: the clerk picks B's
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (c.choose >= 0) {
            whenModalShows<QInputDialog>("choice", [&](QInputDialog& choice) {
                EXPECT_EQ(choice.comboBoxItems().size(), 2);
                choice.setTextValue(choice.comboBoxItems().at(c.choose));
                choice.accept();
            });
        }
        QString key, page;
        whenModalShows<EntryWindow>("entry window", [&](EntryWindow& entry) {
            key = entry.findChild<QLineEdit*>(QStringLiteral("Text7"))->text().trimmed();
            page = entry.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            entry.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        scan->setFocus();
        QTest::keyClicks(scan, QString::fromLatin1(c.typed));
        QTest::keyClick(scan, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !key.isEmpty(); }, 5000));
        EXPECT_EQ(key, QLatin1String(c.key));
        EXPECT_EQ(page, QLatin1String(c.page));
        // Back in the list: the field is empty and is the window's focus
        // (the one it gets again when the entry window has gone).
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.focusWidget() == scan; }, 3000));
        EXPECT_TRUE(scan->text().isEmpty());
    }

    // A key the list does not hold: message 630, nothing opens.
    inst.dialogs.shown.clear();
    QTest::keyClicks(scan, "NOKEY");
    QTest::keyClick(scan, Qt::Key_Return);
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("該当するデータがありません。")});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A key of the other tab: the clerk is told where it is and may switch
    // there. No keeps the tab and opens nothing; Yes switches and opens it.
    auto* tabs = w.findChild<QTabBar*>(QStringLiteral("TabStrip1"));
    for (const Answer answer : {kAnswerNo, kAnswerYes}) {
        SCOPED_TRACE(answer);
        inst.dialogs.shown.clear();
        inst.dialogs.setNextAnswer(answer);
        QString caption;
        if (answer == kAnswerYes) {
            whenModalShows<EntryWindow>("KORVAN entry window", [&](EntryWindow& entry) {
                caption = entry.findChild<QLabel*>(QStringLiteral("Label3"))->text();
                entry.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            });
        }
        scan->selectAll();
        QTest::keyClicks(scan, "KV1");
        QTest::keyClick(scan, Qt::Key_Return);
        ASSERT_EQ(inst.dialogs.texts().size(), 1);
        EXPECT_EQ(inst.dialogs.texts().first(),
                  QStringLiteral("納品ｷｰ番号 KV1 はこのﾀﾌﾞにはなく、ＫＯＲＶＡＮのﾀﾌﾞにあります。"
                                 "\r\nＫＯＲＶＡＮのﾀﾌﾞに切り替えて出荷登録しますか？"));
        if (answer == kAnswerNo) {
            EXPECT_EQ(tabs->currentIndex(), 0);
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !caption.isEmpty(); }, 5000));
            EXPECT_EQ(caption, QStringLiteral("出荷登録（ＫＯＲＶＡＮ）"));
            EXPECT_EQ(tabs->currentIndex(), 1);
        }
    }
}
