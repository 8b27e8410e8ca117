#include "support/EntryFixtures.h"

#include "ui/CenterWindow.h"
#include "ui/auxiliary/PrintSummaryDialog.h"
#include "ui/entry/EntryWindow.h"
#include "ui/entry/TagGrid.h"
#include "ui/list/HelpViewer.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ModalWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

DeliveryRecord deletedRecord()
{
    DeliveryRecord r = shippable(QStringLiteral("GONE"));
    r.setKind(' ');
    return r;
}

struct EntryFixture : ::testing::Test
{
    TestInstall inst;
    RecordingReport report;
    std::unique_ptr<EntryWindow> window;

    EntryFixture()
    {
        writeEntryInstallation(inst);
        companies(QStringLiteral("3"));
    }
    ~EntryFixture() override
    {
        if (window)
            window->hide();
    }

    void companies(const QString& outputKind) { writeEntryCompanies(inst, outputKind); }
    void records(const QList<DeliveryRecord>& list) { inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(list)); }
    QList<DeliveryRecord> stored() const { return recordsOf(inst.readFile(QStringLiteral("Prg/E_Deliv.dat"))); }

    // Opens the window, shown and active so that it gets focus events.
    EntryWindow& open(const EntryOpening& opening, Protocol format = Protocol::Eiaj)
    {
        window = std::make_unique<EntryWindow>(inst.env, format, opening, &report);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QCoreApplication::processEvents();
        return *window;
    }
    template <typename T = QWidget> T* child(const char* name) const
    {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) const { return child<QLineEdit>(name)->text(); }
    void press(const char* name) const { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

EntryOpening listed(int first, int last, bool range = false)
{
    return EntryOpening{EntryMode::Existing, first, last, range};
}

} // namespace

// --- Paging ---------------------------------------------------------------

TEST_F(EntryFixture, PagesThroughTheListedRecordsPastADeletedOne)
{
    records({shippable("K1"), deletedRecord(), shippable("K2"), shippable("K3", "2")});
    EntryWindow& w = open(listed(1, 3));
    EXPECT_EQ(w.objectName(), QStringLiteral("EIAJ出荷入力"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("出荷登録（ＥＩＡＪ）"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("EIAJ出荷入力"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(1/3)"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("(確定注文)未処理"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K1"));
    EXPECT_EQ(text("Text4"), QStringLiteral("北斗星電機"));
    EXPECT_EQ(text("Text5"), QStringLiteral("2026/11/30"));
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), QStringLiteral("無検査"));
    EXPECT_EQ(child<QComboBox>("Combo2")->currentText(), QStringLiteral("外税"));
    EXPECT_EQ(child<QComboBox>("Combo5")->currentText(), QStringLiteral("JPY"));
    EXPECT_EQ(child<QComboBox>("Combo5")->count(), 2);
    EXPECT_EQ(child<TagGrid>("MSFlexGrid1")->rowCount(), 3);
    EXPECT_EQ(child<TagGrid>("MSFlexGrid1")->item(0, 0)->text(), QStringLiteral("5.000"));
    EXPECT_EQ(child<TagGrid>("MSFlexGrid1")->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_FALSE(child<QPushButton>("Command2")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command3")->isEnabled());
    EXPECT_EQ(focused(), QStringLiteral("Text19"));

    press("Command3");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("次頁ﾎﾞﾀﾝ"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K2")); // the deleted record is not a page
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(2/3)"));
    EXPECT_TRUE(child<QPushButton>("Command2")->isEnabled());
    EXPECT_EQ(focused(), QStringLiteral("Text19"));

    press("Command3");
    EXPECT_EQ(text("Text7"), QStringLiteral("K3"));
    EXPECT_FALSE(child<QPushButton>("Command3")->isEnabled());
    // An issued record cannot be registered again with 登録.
    EXPECT_FALSE(child<QPushButton>("Command4")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command5")->isEnabled());
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("(確定注文)発行済"));

    press("Command2");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("前頁ﾎﾞﾀﾝ"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K2"));
    EXPECT_TRUE(child<QPushButton>("Command4")->isEnabled());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(EntryFixture, ASelectedRangePagesFromOne)
{
    records({shippable("K1"), shippable("K2"), shippable("K3"), shippable("K4")});
    open(listed(2, 3, true));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(1/2)"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K2"));
    press("Command3");
    EXPECT_EQ(text("Text7"), QStringLiteral("K3"));
    EXPECT_FALSE(child<QPushButton>("Command3")->isEnabled());
}

TEST_F(EntryFixture, AMissingCompanyIsToldOnceAndTheFocusGoesToReturn)
{
    records({shippable("K1", "0", "Z"), shippable("K2", "0", "Z")});
    open(listed(1, 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !inst.dialogs.shown.isEmpty(); }, 2000));
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("発注企業情報が登録されていません。")});
    EXPECT_EQ(focused(), QStringLiteral("Command1"));
    EXPECT_TRUE(text("Text4").isEmpty());

    press("Command3");
    child<QLineEdit>("Text19")->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(inst.dialogs.shown.size(), 1); // once per opening
}

// --- Boxes ----------------------------------------------------------------

TEST_F(EntryFixture, OrderDataIsLockedUntilCorrection)
{
    records({shippable("K1")});
    open(listed(1, 1));
    for (const char* name : {"Text3", "Text6", "Text7", "Text8", "Text9", "Text16", "Text18", "Text22"})
        EXPECT_TRUE(child<QLineEdit>(name)->isReadOnly()) << name;
    for (const char* name : {"Text19", "Text20", "Text27", "Text28"})
        EXPECT_FALSE(child<QLineEdit>(name)->isReadOnly()) << name;
    EXPECT_FALSE(child<QComboBox>("Combo1")->isEnabled());
    EXPECT_FALSE(child<QComboBox>("Combo5")->isEnabled());

    press("Command7");
    EXPECT_EQ(window->session().mode(), EntryMode::Correction);
    EXPECT_FALSE(child<QLineEdit>("Text9")->isReadOnly());
    EXPECT_TRUE(child<QComboBox>("Combo1")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("Text7")->isReadOnly()); // keys only for a new record
    EXPECT_TRUE(child<QLineEdit>("Text4")->isReadOnly());
    EXPECT_EQ(focused(), QStringLiteral("Text9"));
}

TEST_F(EntryFixture, LeavingTheQuantityReformatsAndRecalculates)
{
    records({shippable("K1")});
    open(listed(1, 1));
    ASSERT_EQ(focused(), QStringLiteral("Text19"));
    auto* qty = child<QLineEdit>("Text19");
    EXPECT_EQ(qty->selectedText(), qty->text()); // selected whole on focus
    qty->selectAll();
    QTest::keyClicks(qty, "1000");
    QTest::keyClick(qty, Qt::Key_Return); // swallowed: nothing leaves the box
    EXPECT_EQ(focused(), QStringLiteral("Text19"));
    QTest::keyClick(qty, Qt::Key_Tab);
    EXPECT_EQ(qty->text(), QStringLiteral("1,000.000"));
    EXPECT_EQ(text("Text24"), QStringLiteral("12,500"));
    EXPECT_EQ(text("Text23"), QStringLiteral("1,250"));
    EXPECT_EQ(text("Text25"), QStringLiteral("13,750"));
    EXPECT_EQ(focused(), QStringLiteral("Text20"));
}

TEST_F(EntryFixture, EnterInABoxPressesNoButtonButAFocusedButtonTakesIt)
{
    records({shippable("K1"), shippable("K2")});
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    open(listed(1, 2));
    child<QLineEdit>("Text27")->setFocus();
    QTest::keyClick(child<QLineEdit>("Text27"), Qt::Key_Return);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(1/2)"));
    child<QPushButton>("Command3")->setFocus();
    QTest::keyClick(child<QPushButton>("Command3"), Qt::Key_Return);
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(2/2)"));
}

TEST_F(EntryFixture, AGridOfASlipsOnlyCompanyIsSwitchedOff)
{
    companies(QStringLiteral("1"));
    records({shippable("K1")});
    open(listed(1, 1));
    EXPECT_FALSE(child<TagGrid>("MSFlexGrid1")->isEnabled());
    EXPECT_FALSE(child<QLabel>("Label_Kanji10")->isHidden()); // the company allows kanji
}

// --- Registration -----------------------------------------------------------

TEST_F(EntryFixture, RegisterAndRegisterWithIssueWriteTheStatusAndMoveOn)
{
    records({shippable("K1"), shippable("K2"), shippable("K3", "2")});
    open(listed(1, 3));
    press("Command4");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("登録ﾎﾞﾀﾝ"));
    EXPECT_EQ(stored()[0].text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K2"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(2/3)"));
    EXPECT_EQ(focused(), QStringLiteral("Text19"));

    press("Command5");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("登録発行ﾎﾞﾀﾝ"));
    EXPECT_EQ(stored()[1].text(DeliveryField::Status), QStringLiteral("8"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K3"));

    // The issued record of the last page: marked again, both marks set, and
    // the last page stays shown.
    press("Command5");
    const DeliveryRecord k3 = stored()[2];
    EXPECT_EQ(k3.text(DeliveryField::Status), QStringLiteral("8"));
    EXPECT_EQ(k3.text(DeliveryField::SlipIssued), QStringLiteral("1"));
    EXPECT_EQ(k3.text(DeliveryField::TagIssued), QStringLiteral("1"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(3/3)"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("(確定注文)発行待"));
    EXPECT_TRUE(window->session().changed());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(EntryFixture, PagingRegisteringAndTheirFeedbackByKeys)
{
    records({shippable("K1"), shippable("K2"), shippable("K3")});
    open(listed(1, 3));
    auto* grid = child<TagGrid>("MSFlexGrid1");
    ASSERT_EQ(focused(), QStringLiteral("Text19"));
    grid->setCurrentCell(2, 1);

    // PageDown / PageUp page; every record shown starts its tag grid at the top.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(2/3)"));
    EXPECT_EQ(grid->currentRow(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_EQ(text("Text7"), QStringLiteral("K1"));

    // The buttons carry their keys; Alt+R registers as 登録 does and the status
    // line says what was written until the next action.
    for (const auto& [name, key] : {std::pair{"Command4", "(&R)"},
                                    {"Command5", "(&P)"},
                                    {"Command6", "(&D)"},
                                    {"Command1", "(&B)"},
                                    {"Command2", "(PgUp)"},
                                    {"Command3", "(PgDn)"}})
        EXPECT_TRUE(child<QPushButton>(name)->text().endsWith(QLatin1String(key))) << name;
    grid->setCurrentCell(1, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    // A mnemonic presses its button as a click would, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("Text7") == QLatin1String("K2"); }));
    EXPECT_EQ(stored()[0].text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(child<QLabel>("StatusLine")->text(), QStringLiteral("登録しました。 納品ｷｰ番号 K1  状態 発行待"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K2"));
    EXPECT_EQ(grid->currentRow(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_TRUE(child<QLabel>("StatusLine")->text().isEmpty());
}

TEST_F(EntryFixture, ARefusedKanjiTextShowsFromItsStartAndTheNewWindowKeepsItsWidth)
{
    records({shippable("K1")});
    open(listed(1, 1));
    // Mixed half- and full-width text: refused, the box shows the text from
    // its start (not scrolled to the blanks that pad it), all of it selected.
    auto* remarks = child<QLineEdit>("Text28");
    remarks->setText(QStringLiteral("aＡ"));
    press("Command4");
    ASSERT_EQ(focused(), QStringLiteral("Text28"));
    EXPECT_EQ(remarks->cursorPosition(), 0);
    EXPECT_EQ(remarks->selectedText(), remarks->text());

    // A new record: typing an orderer whose kanji notes appear keeps the width.
    window.reset();
    open(EntryOpening{EntryMode::New, 1, 1, false});
    const int width = window->width();
    QTest::keyClicks(QApplication::focusWidget(), "A");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "SUP");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(text("Text4"), QStringLiteral("北斗星電機"));
    EXPECT_TRUE(child<QLabel>("Label_Kanji10")->isVisible());
    EXPECT_EQ(window->width(), width);
}

TEST_F(EntryFixture, ARefusedRegistrationShowsTheMessageAndWritesNothing)
{
    records({shippable("K1")});
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    open(listed(1, 1));
    auto* qty = child<QLineEdit>("Text19");
    qty->selectAll();
    QTest::keyClicks(qty, "6");
    press("Command4");
    // The message names both sides: the tag sum and the quantity typed.
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("荷札の合計(入数×枚数): 5\r\n納入数量: 6\r\n\r\n"
                                                               "荷札の合計が納入数量と一致しません。")});
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
    EXPECT_EQ(qty->text(), QStringLiteral("6.000")); // what was typed stays
    EXPECT_FALSE(window->session().changed());
}

// The boxes take no more than their fields hold, and a text the record cannot
// keep (pasted, say) is refused in the program's words, not written as "?".
// A box shows its text from the start when the clerk is not in it: after the
// record is shown, and after the clerk has left it.
TEST_F(EntryFixture, ABoxShowsItsTextFromTheStartWhenNotBeingEdited)
{
    DeliveryRecord r = shippable("K1");
    r.setText(DeliveryField::SupplierBarcodeInfo, u"ABCDEFGHIJKLMNOPQRSTUVW");
    r.setText(DeliveryField::OrdererBarcodeInfo, u"BARCODE-OF-THE-ORDERER1");
    records({r});
    open(listed(1, 1));
    EXPECT_EQ(child<QLineEdit>("Text14")->cursorPosition(), 0); // locked: never entered
    auto* barcode = child<QLineEdit>("Text27");
    EXPECT_EQ(barcode->cursorPosition(), 0);
    barcode->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return barcode->hasFocus(); }, 1000));
    child<QLineEdit>("Text19")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !barcode->hasFocus(); }, 1000));
    EXPECT_EQ(barcode->cursorPosition(), 0);
}

TEST_F(EntryFixture, TheBoxesKeepToTheirFieldsAndUnwritableTextIsRefused)
{
    records({shippable("K1")});
    const QByteArray before = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
    open(listed(1, 1));
    // Every box stops the typing at its field's bytes, whatever the characters.
    struct Typed
    {
        const char* box;
        QString typed;
        QString kept;
    };
    const Typed typed[] = {
        {"Text27", QString(30, u'A'), QString(23, u'A')},
        {"Text28", QString(30, u'A'), QString(25, u'A')},
        {"Text28", QString(30, u'備'), QString(25, u'備')},
        {"Text28", QStringLiteral("ｱｲｳ") + QString(30, u'B'), QStringLiteral("ｱｲｳ") + QString(22, u'B')},
    };
    for (const Typed& t : typed) {
        auto* edit = child<QLineEdit>(t.box);
        edit->clear();
        // One character at a time, as typed (kanji through the input method).
        for (const QChar c : t.typed)
            edit->insert(QString(c));
        EXPECT_EQ(edit->text(), t.kept) << t.box;
    }
    child<QLineEdit>("Text27")->setText(QStringLiteral("SBC1"));
    child<QLineEdit>("Text28")->setText(QStringLiteral("Café"));
    press("Command4");
    EXPECT_EQ(inst.dialogs.texts(),
              QStringList{QStringLiteral("受注者用備考の「é」(U+00E9) は納品書ファイルに書けない文字です。")});
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), before);
}

TEST_F(EntryFixture, ANewRecordTypedWithTheKeyboardOnly)
{
    records({shippable("K1")});
    open(EntryOpening{EntryMode::New, 1, 1, false});
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("新規（画面入力）"));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(1/1)"));
    EXPECT_FALSE(child<QPushButton>("Command2")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("Command6")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("Command7")->isEnabled());
    ASSERT_EQ(focused(), QStringLiteral("Text3"));

    const auto type = [&](const char* keys) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        if (*keys)
            QTest::keyClicks(w, QString::fromUtf8(keys));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    };
    type("A");
    type("SUP");
    EXPECT_EQ(text("Text4"), QStringLiteral("北斗星電機")); // the orderer display
    EXPECT_EQ(child<QComboBox>("Combo2")->currentText(), QStringLiteral("外税"));
    // Tab follows the form from the top down, left to right within a row.
    for (const char* keys : {"N1", "PO-9", "ITEM-9"})
        type(keys);
    ASSERT_EQ(focused(), QStringLiteral("Combo1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), QStringLiteral("無検査"));
    type("");
    for (const char* keys : {"WIDGET", "PCS", "BC9", "", "", "", "", "", ""}) // Text10, 11, 14, 12, 13, 15 ... 18
        type(keys);
    ASSERT_EQ(focused(), QStringLiteral("Combo2"));
    for (int i = 0; i < 3; ++i) // Combo2 ... Combo4 as chosen
        type("");
    ASSERT_EQ(focused(), QStringLiteral("Combo5"));
    child<QComboBox>("Combo5")->lineEdit()->selectAll();
    type("jpy");
    EXPECT_EQ(child<QComboBox>("Combo5")->currentText(), QStringLiteral("JPY"));
    type("10");
    EXPECT_EQ(text("Text22"), QStringLiteral("10.000"));
    type("5");
    EXPECT_EQ(text("Text24"), QStringLiteral("50"));
    for (int i = 0; i < 5; ++i) // dates of today, amounts
        type("");
    type("SBC9");
    type("");
    ASSERT_EQ(focused(), QStringLiteral("MSFlexGrid1"));
    auto* grid = child<TagGrid>("MSFlexGrid1");
    grid->setCurrentCell(0, 0);
    QTest::keyClicks(grid, "2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("2.000"));
    EXPECT_EQ(grid->currentColumn(), 1);
    QTest::keyClicks(grid, "2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::keyClicks(grid, "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // dropped
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("0.000"));
    QTest::keyClicks(grid, "1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(grid, "1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("1"));
    QTest::keyClick(grid, Qt::Key_Tab);
    ASSERT_EQ(focused(), QStringLiteral("Command4"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

    EXPECT_TRUE(inst.dialogs.shown.isEmpty()) << inst.dialogs.texts().join(u'|').toStdString();
    const QList<DeliveryRecord> after = stored();
    ASSERT_EQ(after.size(), 2);
    const DeliveryRecord& r = after[1];
    EXPECT_EQ(r.text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("N1"));
    EXPECT_EQ(r.text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::ShipQty), QStringLiteral("000000005.000"));
    EXPECT_EQ(r.tagQty(1), QStringLiteral("000000002.000"));
    EXPECT_EQ(r.tagCount(1), QStringLiteral("02"));
    EXPECT_EQ(r.tagQty(2), QStringLiteral("000000001.000"));
    // A fresh new-record screen with the orderer remembered.
    EXPECT_EQ(text("Text3"), QStringLiteral("A"));
    EXPECT_TRUE(text("Text7").isEmpty());
    EXPECT_EQ(focused(), QStringLiteral("Text3"));
}

// --- Deleting and closing ------------------------------------------------------

TEST_F(EntryFixture, DeletingAPageAsksAndNoKeepsTheRecord)
{
    records({shippable("K1"), shippable("K2")});
    open(listed(1, 2));
    press("Command3");
    press("Command6"); // the script answers No
    EXPECT_EQ(inst.dialogs.shown.last().defaultButton, DefaultButton::No);
    EXPECT_EQ(stored()[1].kind(), '1');
    inst.dialogs.setNextAnswer(kAnswerYes);
    press("Command6");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("削除ﾎﾞﾀﾝ"));
    EXPECT_EQ(stored()[1].kind(), ' ');
    // The page beyond the end: back to the one before.
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("(1/1)"));
    EXPECT_EQ(text("Text7"), QStringLiteral("K1"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EntryFixture, DeletingTheLastPageClosesAndIssuesTheMarkedRecords)
{
    records({shippable("K1", "8"), shippable("K2")});
    open(listed(2, 2, true));
    inst.dialogs.setNextAnswer(kAnswerYes); // delete
    inst.dialogs.setNextAnswer(kAnswerYes); // slips
    inst.dialogs.setNextAnswer(kAnswerYes); // tags
    press("Command6");
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(report.printed.size(), 2);
    EXPECT_EQ(report.printed[0].job.document, PrintJob::Document::Slip);
    EXPECT_EQ(report.printed[1].job.document, PrintJob::Document::Tag);
    const QList<DeliveryRecord> after = stored();
    EXPECT_EQ(after[0].text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(after[0].text(DeliveryField::SlipIssued), QStringLiteral("1"));
    EXPECT_EQ(after[0].text(DeliveryField::TagIssued), QStringLiteral("1"));
    EXPECT_EQ(after[1].kind(), ' ');
    EXPECT_TRUE(window->entryResult().changed);
    EXPECT_FALSE(window->entryResult().endProgram);
    // The result dialog tells what the close issued.
    PrintSummaryDialog* summary = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<PrintSummaryDialog*>(w); d && d->isVisible())
            summary = d;
    }
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->findChild<QTreeWidget*>(QStringLiteral("Groups"))->topLevelItemCount(), 2);
    EXPECT_TRUE(
        summary->findChild<QLabel*>(QStringLiteral("Totals"))->text().contains(QStringLiteral("納品書1件 荷札")));
    summary->close();
    EXPECT_FALSE(QFile::exists(inst.env.paths.slipListPath(1)));
    EXPECT_FALSE(QFile::exists(inst.env.paths.tagListPath(1)));
}

TEST_F(EntryFixture, DecliningTheTagsLeavesThemDueAndPrintsOnlyOnce)
{
    records({shippable("K1", "8")});
    open(listed(1, 1));
    inst.dialogs.setNextAnswer(kAnswerYes); // slips
    inst.dialogs.setNextAnswer(kAnswerNo);  // tags
    press("Command1");
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("戻りﾎﾞﾀﾝ"));
    EXPECT_EQ(report.printed.size(), 1);
    const DeliveryRecord r = stored()[0];
    EXPECT_EQ(r.text(DeliveryField::SlipIssued), QStringLiteral("1"));
    EXPECT_NE(r.text(DeliveryField::TagIssued), QStringLiteral("1"));
    EXPECT_NE(r.text(DeliveryField::Status), QStringLiteral("2"));
    // Closing again does not print again.
    window->close();
    EXPECT_EQ(report.printed.size(), 1);
    EXPECT_FALSE(window->entryResult().endProgram);
}

TEST_F(EntryFixture, TheEndMenuAndTheCloseBoxEndTheProgram)
{
    records({shippable("K1")});
    open(listed(1, 1));
    child<QAction>("MnuEnd")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->entryResult().endProgram);
    EXPECT_FALSE(window->entryResult().changed);
    EXPECT_TRUE(report.printed.isEmpty());

    open(listed(1, 1));
    QTest::keyClick(window.get(), Qt::Key_Escape); // Esc does not leave
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_TRUE(window->entryResult().endProgram);
}

TEST_F(EntryFixture, HelpWithoutItsFileShowsMessage30)
{
    records({shippable("K1")});
    open(listed(1, 1));
    QString navigated;
    window->setHelpNavigator([&](const QString& path) { navigated = path; });
    child<QAction>("MnuMaru")->trigger();
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("Helpﾒﾆｭｰ"));
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("ヘルプファイルがありません。")});
    EXPECT_TRUE(navigated.isEmpty());
    inst.writeFile(QStringLiteral("Help/H7120001.htm"), "<html></html>");
    child<QAction>("MnuMaru")->trigger();
    EXPECT_EQ(navigated, inst.env.paths.helpPagePath);
}

TEST_F(EntryFixture, TheKorvanWindowHasItsOwnControls)
{
    DeliveryRecord k = delivery('2', "K", "SUP", "KK1", "0");
    k.setText(DeliveryField::MessageKind, u"D10");
    k.setText(DeliveryField::BcOutputClass, u"1");
    k.setText(DeliveryField::OrdererUse1, u"U1");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{k}));
    EntryWindow& w = open(listed(1, 1), Protocol::Korvan);
    EXPECT_EQ(w.objectName(), QStringLiteral("Korvan出荷入力"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("KORVAN出荷入力"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("出荷登録（ＫＯＲＶＡＮ）"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("(納品書)未処理"));
    EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("Combo2")), nullptr);
    EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("Text14")), nullptr);
    EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("Text25")), nullptr);
    EXPECT_TRUE(child<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("Option1")->isEnabled());
    EXPECT_EQ(text("Text22"), QStringLiteral("U1"));
    EXPECT_TRUE(child<QLineEdit>("Text23")->isReadOnly());
}

// --- Screens and looks -----------------------------------------------------------

namespace {

// Whether all of `w` lies in the part of the form the scroll area shows now.
bool inView(const QScrollArea& area, const QWidget& w)
{
    const QRect shown(w.mapTo(area.viewport(), QPoint(0, 0)), w.size());
    return area.viewport()->rect().contains(shown);
}

} // namespace

TEST_F(EntryFixture, OnASmallScreenTheFormScrollsToEveryBoxAndTheButtonsStayInSight)
{
    records({shippable("K1"), shippable("K2")});
    DeliveryRecord k = delivery('2', "K", "SUP", "KK1", "0");
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{k}));
    // As the window opens on the test screen (800×600); sized before it is
    // shown to the room of a 1366×768 screen at 125 % and of a 1920×1080 one
    // at 150 % and 100 %, each less a taskbar; and made smaller still.
    const struct
    {
        const char* what;
        Protocol format;
        QRect room;
        QSize resized;
        bool whole; // the room holds the whole form
    } cases[] = {
        {"opening", Protocol::Eiaj, {}, {}, false},
        {"opening", Protocol::Korvan, {}, {}, false},
        {"1366x768 at 125 %", Protocol::Eiaj, {0, 0, 1093, 582}, {}, false},
        {"1920x1080 at 150 %", Protocol::Korvan, {0, 0, 1280, 688}, {}, true},
        {"1920x1080", Protocol::Eiaj, {0, 0, 1920, 1040}, {}, true},
        {"smaller", Protocol::Eiaj, {}, {760, 360}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        window = std::make_unique<EntryWindow>(inst.env, c.format, listed(1, 1), &report);
        EntryWindow& w = *window;
        if (c.room.isValid())
            fitToArea(w, c.room);
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        const QRect screen = c.room.isValid() ? c.room : w.screen()->availableGeometry();
        EXPECT_LE(w.frameGeometry().width(), screen.width());
        EXPECT_LE(w.frameGeometry().height(), screen.height());
        if (c.resized.isValid()) {
            w.resize(c.resized);
            QCoreApplication::processEvents();
            EXPECT_EQ(w.size(), c.resized);
        }
        auto* area = child<QScrollArea>("FormScroll");
        ASSERT_NE(area, nullptr);
        // Where the window has the room of the whole form, no part is cut and
        // no scroll bar shows.
        const bool room = w.width() >= w.sizeHint().width() && w.height() >= w.sizeHint().height();
        EXPECT_EQ(room, c.whole);
        if (room) {
            EXPECT_FALSE(area->verticalScrollBar()->isVisible());
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
            EXPECT_TRUE(inView(*area, *child<QWidget>("Frame1")));
            EXPECT_TRUE(inView(*area, *child<QWidget>("Frame2")));
            EXPECT_TRUE(inView(*area, *child<QWidget>("Frame3")));
        }
        // The buttons stay in the window, outside the scrolled form.
        for (int n = 1; n <= 7; ++n) {
            auto* button = w.findChild<QPushButton*>(QStringLiteral("Command%1").arg(n));
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(w.rect().contains(QRect(button->mapTo(&w, QPoint(0, 0)), button->size()))) << n;
            EXPECT_FALSE(area->isAncestorOf(button)) << n;
        }
        // Every box the clerk can enter comes into view when it takes the
        // focus, the order data too.
        press("Command7");
        int reached = 0;
        for (QWidget* box : w.findChildren<QWidget*>()) {
            const QString name = box->objectName();
            const bool control = name.startsWith(QLatin1String("Text")) || name.startsWith(QLatin1String("Combo")) ||
                                 name.startsWith(QLatin1String("Option")) || name == QLatin1String("MSFlexGrid1");
            if (!control || !box->isEnabled() || !(box->focusPolicy() & Qt::TabFocus))
                continue;
            box->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            EXPECT_TRUE(inView(*area, *box)) << name.toStdString();
            ++reached;
        }
        EXPECT_GE(reached, 15);
        window->hide();
        window.reset();
    }
}

TEST_F(EntryFixture, TheTagGridLooksFocusedOnlyWhileItHasTheFocus)
{
    records({shippable("K1")});
    open(listed(1, 1));
    auto* grid = child<TagGrid>("MSFlexGrid1");
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    // The style shades a selected cell a little.
    const auto near = [&](const QColor& c) {
        return std::abs(c.red() - highlight.red()) + std::abs(c.green() - highlight.green()) +
                   std::abs(c.blue() - highlight.blue()) <
               16;
    };
    // The grid's left edge, and the current cell left of its right-aligned text.
    const auto looks = [&] {
        const QImage image = grid->grab().toImage();
        const QRect cell = grid->visualRect(grid->currentIndex()).translated(grid->viewport()->pos());
        return std::pair{image.pixelColor(0, image.height() / 2), image.pixelColor(cell.left() + 3, cell.center().y())};
    };
    const struct
    {
        const char* focus;
        bool focused;
    } cases[] = {{"MSFlexGrid1", true}, {"Text19", false}, {"MSFlexGrid1", true}, {"Text20", false}};
    for (const auto& c : cases) {
        child<QWidget>(c.focus)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const auto [edge, cell] = looks();
        EXPECT_EQ(near(edge), c.focused) << c.focus << " edge " << edge.name().toStdString();
        EXPECT_EQ(near(cell), c.focused) << c.focus << " cell " << cell.name().toStdString();
    }
}

// --- From the list window -------------------------------------------------------

namespace {

bool loaded(ListWindow& w)
{
    return listLoaded(w);
}

void whenEntryOpens(std::function<void(EntryWindow&)> act)
{
    whenModalShows<EntryWindow>("entry window", std::move(act));
}

} // namespace

TEST_F(EntryFixture, HelpAskedForInTheEntryWindowOpensOverItAndEscClosesIt)
{
    records({shippable("K1")});
    inst.writeFile(QStringLiteral("Help/H7120001.htm"),
                   cp932::encode(u"<html><head><title>ヘルプ</title></head><body>出荷登録</body></html>"));
    ListWindow list(inst.env);
    list.setReportControl(&report);
    list.show();
    ASSERT_TRUE(loaded(list));
    auto* grid = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->model()->index(0, 0)).center());

    QRect entryAt;
    QRect helpAt;
    bool active = false;
    bool closedByEsc = false;
    whenEntryOpens([&](EntryWindow& w) {
        entryAt = w.geometry();
        w.findChild<QAction*>(QStringLiteral("MnuMaru"))->trigger();
        if (HelpViewer* viewer = list.helpViewer()) {
            helpAt = viewer->geometry();
            active = QTest::qWaitForWindowActive(viewer);
            QPointer<HelpViewer> watch(viewer);
            QTest::keyClick(viewer->focusWidget() ? viewer->focusWidget() : viewer, Qt::Key_Escape);
            QTest::qWait(10);
            closedByEsc = watch.isNull() || !watch->isVisible();
        }
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_FALSE(entryAt.isEmpty());
    EXPECT_EQ(helpAt, entryAt); // over the window that asked, not the list behind it
    EXPECT_TRUE(active);
    EXPECT_TRUE(closedByEsc);
}

TEST_F(EntryFixture, TheListOpensTheEntryOfTheSelectedRowsAndReloadsAfter)
{
    records({shippable("K1"), shippable("K2"), shippable("K3")});
    ListWindow list(inst.env);
    list.setReportControl(&report);
    list.show();
    ASSERT_TRUE(loaded(list));
    auto* grid = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    const auto rowCentre = [&](int row) { return grid->visualRect(grid->model()->index(row - 1, 0)).center(); };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(3));

    QString shownKey;
    QString pages;
    whenEntryOpens([&](EntryWindow& w) {
        shownKey = w.findChild<QLineEdit*>(QStringLiteral("Text7"))->text();
        pages = w.findChild<QLabel*>(QStringLiteral("Label2"))->text();
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(shownKey, QStringLiteral("K2"));
    EXPECT_EQ(pages, QStringLiteral("(1/2)"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));
    EXPECT_EQ(stored()[1].text(DeliveryField::Status), QStringLiteral("1"));
    // The list is read again.
    EXPECT_TRUE(list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible());
    ASSERT_TRUE(loaded(list));
    EXPECT_TRUE(list.isVisible());
}

TEST_F(EntryFixture, NewRecordFromTheListAndTheEndMenuClosesTheList)
{
    records({shippable("K1")});
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(loaded(list));
    EntryMode mode = EntryMode::Existing;
    whenEntryOpens([&](EntryWindow& w) {
        mode = w.session().mode();
        w.findChild<QAction*>(QStringLiteral("MnuEnd"))->trigger();
    });
    list.findChild<QAction*>(QStringLiteral("MnuNew"))->trigger();
    EXPECT_EQ(mode, EntryMode::New);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("新規登録ﾒﾆｭｰ"));
    EXPECT_FALSE(list.isVisible()); // the program ends with the list window
}

TEST_F(EntryFixture, NothingChangedNoReload)
{
    records({shippable("K1")});
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(loaded(list));
    bool opened = false;
    whenEntryOpens([&](EntryWindow& w) {
        opened = true;
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command6")), Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible());
    EXPECT_TRUE(list.isVisible());
}
