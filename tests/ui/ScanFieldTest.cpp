#include "support/EntryFixtures.h"

#include "ModalWindows.h"

#include "ui/entry/EntryWindow.h"
#include "ui/list/ListWindow.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

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
}
