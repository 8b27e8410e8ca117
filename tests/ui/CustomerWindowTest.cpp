#include "support/ListFixtures.h"

#include "ui/customers/CustomerWindow.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "ModalWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

namespace {

QByteArray code(const char* kind, const char* code, const char16_t* name)
{
    return CodeTable::makeRecord(CodeEntry{
        QStringLiteral("1"), QString::fromLatin1(kind), QString::fromLatin1(code), QString::fromUtf16(name), {}});
}

// A complete EIAJ company whose layout files exist.
CustRecord eiajCompany(const QString& orderer, const QString& supplier, const QString& name,
                       const QString& outputKind = QStringLiteral("1"))
{
    CustRecord c = company('1', orderer, supplier, name);
    c.setText(CustField::SupplierName, u"受注側");
    c.setText(CustField::KanjiUse, u"0");
    c.setText(CustField::OutputKind, outputKind);
    c.setText(CustField::ConsumptionTaxKind, u"2");
    c.setText(CustField::TaxationKind, u"1");
    c.setText(CustField::PriceDisplayKind, u"3");
    c.setText(CustField::AmountRounding, u"2");
    c.setText(CustField::TaxRounding, u"3");
    c.setText(CustField::SlipFormFile, u"E_Slip.agr");
    c.setText(CustField::TagFormFile, u"E_Tag.agr");
    c.setText(CustField::SlipBarcodeDigits, u"12");
    c.setText(CustField::TagBarcodeDigits, u"10");
    c.setText(CustField::Comment, u"既存");
    return c;
}

// A KORVAN company issuing tags only.
CustRecord korvanCompany(const QString& orderer, const QString& supplier, const QString& name)
{
    CustRecord c = company('2', orderer, supplier, name);
    c.setText(CustField::SupplierName, u"受注側");
    c.setText(CustField::OutputKind, u"2");
    c.setText(CustField::TagFormFile, u"E_Tag.agr");
    c.setText(CustField::TagBarcodeDigits, u"10");
    c.setText(CustField::SlipBarcodeDigits, u"00");
    return c;
}

struct CustomerFixture : ::testing::Test
{
    TestInstall inst;
    std::unique_ptr<CustomerWindow> window;

    CustomerFixture()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                       cp932::encode(u"002,3,\"発注企業情報が登録されていません。\"\r\n"
                                     u"003,1,\"コード情報が確認できません。\"\r\n"
                                     u"010,3,\"対象が見つかりません。\"\r\n"
                                     u"030,3,\"ヘルプファイルが見つかりません。\"\r\n"
                                     u"500,3,\"削除する発注企業を選択してください。\"\r\n"
                                     u"503,2,\"選択された発注企業情報を削除しますか？\"\r\n"
                                     u"505,3,\"変更する発注企業を選択してください。\"\r\n"
                                     u"515,3,\"発注者名称を入力してください。\"\r\n"
                                     u"572,3,\"納品書のバーコード桁数が正しくありません。\"\r\n"
                                     u"585,3,\"既に登録されているため、追加できません。\"\r\n"
                                     u"590,3,\"納品書データが存在するため、削除できません。\"\r\n"));
        inst.writeFile(QStringLiteral("Prg/Code.DAT"), code("02", "1", u"内税") + code("02", "2", u"外税") +
                                                           code("03", "1", u"課税１０％") + code("03", "3", u"非課税") +
                                                           code("04", "2", u"すべて表示") +
                                                           code("04", "3", u"単価＋税抜額"));
        CustRecord sample = company('1', QString(), QString(), QStringLiteral("見本"));
        sample.setText(CustField::KanjiUse, u"0");
        sample.setText(CustField::OutputKind, u"3");
        sample.setText(CustField::ConsumptionTaxKind, u"2");
        sample.setText(CustField::TaxationKind, u"3");
        sample.setText(CustField::PriceDisplayKind, u"2");
        sample.setText(CustField::AmountRounding, u"3");
        sample.setText(CustField::TaxRounding, u"2");
        sample.setText(CustField::SlipFormFile, u"E_Slip.agr");
        sample.setText(CustField::TagFormFile, u"E_Tag.agr");
        sample.setText(CustField::SlipBarcodeDigits, u"20");
        sample.setText(CustField::TagBarcodeDigits, u"15");
        sample.setText(CustField::Comment, u"EIAJ既定値");
        inst.writeFile(QStringLiteral("Sample/Cust.DAT"), sample.bytes());
        inst.writeFile(QStringLiteral("Usr/E_Slip.agr"), "{}");
        inst.writeFile(QStringLiteral("Usr/E_Tag.agr"), "{}");
    }
    ~CustomerFixture() override
    {
        if (window)
            window->hide();
    }

    void companies(const QList<CustRecord>& list) const
    {
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(list));
    }
    QList<CustRecord> stored() const
    {
        QList<CustRecord> out;
        const QByteArray bytes = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
        for (qsizetype at = 0; at + CustRecord::kLength <= bytes.size(); at += CustRecord::kLength)
            out.append(CustRecord(bytes.mid(at, CustRecord::kLength)));
        return out;
    }

    // Opens the window, shown and active so that it gets focus events.
    CustomerWindow& open()
    {
        window = std::make_unique<CustomerWindow>(inst.env);
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
    void type(const char* name, const QString& value) const
    {
        QLineEdit* edit = child<QLineEdit>(name);
        edit->clear();
        // Key clicks know only ASCII; Japanese text arrives as input would.
        bool ascii = true;
        for (QChar c : value)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(edit, value);
        else
            edit->insert(value);
    }
    void press(const char* name) const { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void menu(const char* name) const { child<QAction>(name)->trigger(); }
    bool checked(const char* name) const { return child<QRadioButton>(name)->isChecked(); }
    QTableWidget* grid() const { return child<QTableWidget>("CustGrid"); }
    void clickRow(int row) const
    {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

} // namespace

TEST_F(CustomerFixture, OpensOnTheFirstCompanyOfEiajWithEverythingLocked)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), korvanCompany("K1", "KS", "湘洋"),
               eiajCompany("ORD2", "SUP2", "南十字")});
    CustomerWindow& w = open();
    EXPECT_TRUE(w.opened());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("発注企業情報"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("発注企業情報"));
    EXPECT_TRUE(checked("Option1"));
    EXPECT_TRUE(child("Option2")->isEnabled());

    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("No."));
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), QStringLiteral("発注者名称"));
    EXPECT_EQ(grid()->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("南十字"));
    EXPECT_EQ(grid()->currentRow(), 0);
    EXPECT_TRUE(grid()->selectionModel()->isRowSelected(0, {}));

    EXPECT_EQ(text("Text1"), QStringLiteral("ORD1"));
    EXPECT_EQ(text("Text5"), QStringLiteral("E_Slip.agr"));
    EXPECT_EQ(text("Text7"), QStringLiteral("12"));
    EXPECT_TRUE(checked("Option4"));
    EXPECT_TRUE(checked("Option9"));
    EXPECT_TRUE(checked("Option13"));
    EXPECT_TRUE(checked("Option5"));
    EXPECT_EQ(child<QComboBox>("Combo3")->currentText(), QStringLiteral("外税"));
    EXPECT_EQ(child<QComboBox>("Combo4")->currentText(), QStringLiteral("課税１０％"));
    EXPECT_EQ(child<QComboBox>("Combo5")->currentText(), QStringLiteral("単価＋税抜額"));
    EXPECT_EQ(child<QComboBox>("Combo3")->count(), 2);

    // Browsing: nothing can be edited, every command but ＯＫ/ｷｬﾝｾﾙ is on.
    for (const char* name :
         {"Text1", "Text2", "Text5", "Text9", "Option5", "Option3", "Combo3", "Command1", "Command2", "Command3"})
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QAction>("MnuCustRmk")->isEnabled());
    EXPECT_TRUE(child<QAction>("MnuCustDel")->isEnabled());
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());

    // Choosing another row shows that company.
    clickRow(1);
    EXPECT_EQ(text("Text1"), QStringLiteral("ORD2"));
    EXPECT_EQ(text("Text2"), QStringLiteral("南十字"));
}

TEST_F(CustomerFixture, TheKeyboardStartsInTheListWhoseArrowsChooseAndWhoseTabLeavesAtOnce)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), eiajCompany("ORD2", "SUP2", "南十字"),
               eiajCompany("ORD3", "SUP3", "東雲")});
    open();
    EXPECT_EQ(focused(), QStringLiteral("CustGrid"));
    // Each step: the key, then the focused control and the company shown.
    struct Step
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* focus;
        const char* shown;
    };
    const Step steps[] = {
        {Qt::Key_Down, Qt::NoModifier, "CustGrid", "ORD2"},
        {Qt::Key_Down, Qt::NoModifier, "CustGrid", "ORD3"},
        {Qt::Key_Up, Qt::NoModifier, "CustGrid", "ORD2"},
        // One Tab leaves the list; the company stays.
        {Qt::Key_Tab, Qt::NoModifier, nullptr, "ORD2"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "CustGrid", "ORD2"},
    };
    for (const Step& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        if (step.focus)
            EXPECT_EQ(focused(), QLatin1String(step.focus)) << step.key;
        else
            EXPECT_NE(focused(), QStringLiteral("CustGrid")) << step.key;
        EXPECT_EQ(text("Text1"), QLatin1String(step.shown)) << step.key;
    }
}

TEST_F(CustomerFixture, InstallationsOfOneProtocolOfferOnlyThatOne)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), korvanCompany("K1", "KS", "湘洋")});
    inst.env.apUse = QStringLiteral("KORVAN");
    open();
    EXPECT_FALSE(child("Option1")->isEnabled());
    EXPECT_TRUE(checked("Option2"));
    ASSERT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(grid()->item(0, 1)->text(), QStringLiteral("湘洋"));

    window.reset();
    inst.env.apUse = QStringLiteral("EIAJ");
    open();
    EXPECT_FALSE(child("Option2")->isEnabled());
    EXPECT_TRUE(checked("Option1"));
}

TEST_F(CustomerFixture, AnEmptyCodeTableRefusesToOpen)
{
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    CustomerWindow w(inst.env);
    EXPECT_FALSE(w.opened());
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("コード情報が確認できません。")});
}

TEST_F(CustomerFixture, NewCompanyStartsFromTheSampleAndIsListedSelectedAfterOk)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機")});
    CustomerWindow& w = open();
    menu("MnuCustNew");
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("新規"));
    EXPECT_EQ(focused(), QStringLiteral("Text1"));
    EXPECT_TRUE(child("Text3")->isEnabled());
    // The code takes 12 bytes, the name 50: typing stops there, whatever the characters.
    QTest::keyClicks(child<QLineEdit>("Text1"), QString(13, QLatin1Char('7')));
    EXPECT_EQ(text("Text1"), QString(12, QLatin1Char('7')));
    child<QLineEdit>("Text2")->clear();
    for (int i = 0; i < 26; ++i)
        child<QLineEdit>("Text2")->insert(QStringLiteral("名")); // as an input method types it
    EXPECT_EQ(text("Text2"), QString(25, QChar(u'名')));
    child<QLineEdit>("Text1")->clear();
    child<QLineEdit>("Text2")->clear();
    EXPECT_FALSE(grid()->isEnabled());
    EXPECT_FALSE(child<QAction>("MnuCustNew")->isEnabled());
    EXPECT_FALSE(child("Option2")->isEnabled());
    // The sample's settings, its comment left out.
    EXPECT_EQ(text("Text1"), QString());
    EXPECT_EQ(text("Text6"), QStringLiteral("E_Tag.agr"));
    EXPECT_EQ(text("Text8"), QStringLiteral("15"));
    EXPECT_EQ(text("Text9"), QString());
    EXPECT_TRUE(checked("Option7"));
    EXPECT_TRUE(checked("Option4"));
    EXPECT_TRUE(checked("Option10"));
    EXPECT_TRUE(checked("Option12"));
    EXPECT_EQ(child<QComboBox>("Combo4")->currentText(), QStringLiteral("非課税"));

    type("Text1", QStringLiteral("ORD9"));
    type("Text2", QStringLiteral("新規商事"));
    type("Text3", QStringLiteral("SUP9"));
    type("Text4", QStringLiteral("受注者"));
    // On its round button: the option may be wider than its caption.
    QTest::mouseClick(child<QRadioButton>("Option3"), Qt::LeftButton, {}, QPoint(8, child("Option3")->height() / 2));
    child<QComboBox>("Combo5")->setCurrentIndex(1);
    type("Text9", QStringLiteral("メモ"));
    press("Command1");

    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    EXPECT_TRUE(w.changed());
    const QList<CustRecord> file = stored();
    ASSERT_EQ(file.size(), 2);
    const CustRecord& added = file[1];
    EXPECT_EQ(added.protocolByte(), '1');
    EXPECT_EQ(added.text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD9"));
    EXPECT_EQ(added.text(CustField::KanjiUse), QStringLiteral("1"));
    EXPECT_EQ(added.text(CustField::OutputKind), QStringLiteral("3"));
    EXPECT_EQ(added.text(CustField::PriceDisplayKind), QStringLiteral("3"));
    EXPECT_EQ(added.text(CustField::TaxationKind), QStringLiteral("3"));
    EXPECT_EQ(added.text(CustField::TagBarcodeDigits), QStringLiteral("15"));
    EXPECT_EQ(added.text(CustField::Comment).trimmed(), QStringLiteral("メモ"));

    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->currentRow(), 1);
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("新規商事"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());
    EXPECT_FALSE(child("Text2")->isEnabled());
    EXPECT_TRUE(grid()->isEnabled());
}

TEST_F(CustomerFixture, AFailedCheckShowsItsMessageAndFocusesItsControlKeepingTheEntry)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機")});
    open();
    menu("MnuCustNew");
    type("Text1", QStringLiteral("ORD9"));
    type("Text3", QStringLiteral("SUP9"));
    type("Text4", QStringLiteral("受注者"));
    press("Command1");
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("発注者名称を入力してください。")});
    EXPECT_EQ(focused(), QStringLiteral("Text2"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("新規"));
    EXPECT_EQ(text("Text1"), QStringLiteral("ORD9"));

    // A slip company with zero barcode digits.
    type("Text2", QStringLiteral("名称"));
    type("Text7", QStringLiteral("0"));
    press("Command1");
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("納品書のバーコード桁数が正しくありません。"));
    EXPECT_EQ(focused(), QStringLiteral("Text7"));

    // The same codes as a listed company.
    type("Text7", QStringLiteral("20"));
    type("Text1", QStringLiteral("ORD1"));
    type("Text3", QStringLiteral("SUP1"));
    press("Command1");
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("既に登録されているため、追加できません。"));
    EXPECT_EQ(focused(), QStringLiteral("Text1"));
    EXPECT_EQ(stored().size(), 1);
    EXPECT_FALSE(window->changed());
}

TEST_F(CustomerFixture, ChangeKeepsTheCodesAndRewritesTheSelectedCompany)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), eiajCompany("ORD2", "SUP2", "南十字")});
    open();
    clickRow(1);
    menu("MnuCustRmk");
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("変更"));
    EXPECT_FALSE(child("Text1")->isEnabled());
    EXPECT_FALSE(child("Text3")->isEnabled());
    EXPECT_TRUE(child("Text2")->isEnabled());
    EXPECT_TRUE(child("Combo3")->isEnabled());
    EXPECT_EQ(focused(), QStringLiteral("Text2"));
    type("Text2", QStringLiteral("南十字電子"));
    child<QComboBox>("Combo3")->setCurrentIndex(0);
    press("Command1");

    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
    const QList<CustRecord> file = stored();
    ASSERT_EQ(file.size(), 2);
    EXPECT_EQ(file[1].text(CustField::OrdererName).trimmed(), QStringLiteral("南十字電子"));
    EXPECT_EQ(file[1].text(CustField::ConsumptionTaxKind), QStringLiteral("1"));
    EXPECT_EQ(file[1].text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD2"));
    EXPECT_EQ(file[0].bytes(), eiajCompany("ORD1", "SUP1", "北斗星電機").bytes());
    EXPECT_EQ(grid()->currentRow(), 1);
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("南十字電子"));
    EXPECT_EQ(focused(), QStringLiteral("CustGrid"));
}

TEST_F(CustomerFixture, CancelReturnsToBrowsingWithoutWriting)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機")});
    const QByteArray before = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
    open();
    menu("MnuCustNew");
    type("Text1", QStringLiteral("ORD9"));
    press("Command2");
    EXPECT_EQ(focused(), QStringLiteral("Option1"));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());
    EXPECT_EQ(text("Text1"), QStringLiteral("ORD1")); // the selected company again
    EXPECT_TRUE(child<QAction>("MnuCustDel")->isEnabled());

    menu("MnuCustRmk");
    type("Text2", QStringLiteral("別名"));
    press("Command2");
    EXPECT_EQ(focused(), QStringLiteral("CustGrid"));
    EXPECT_EQ(text("Text2"), QStringLiteral("北斗星電機"));
    EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")), before);
    EXPECT_FALSE(window->changed());
}

TEST_F(CustomerFixture, DeleteIsRefusedWhileSlipsReferToTheCompany)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), eiajCompany("ORD2", "SUP2", "南十字")});
    // A slip of company 2 that is already issued still refers to it.
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "ORD2", "SUP2", "K1", "2")}));
    const QByteArray before = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
    open();
    clickRow(1);
    inst.dialogs.setNextAnswer(kAnswerYes);
    menu("MnuCustDel");
    // The question names the company: its codes and both names.
    EXPECT_EQ(inst.dialogs.texts(), (QStringList{QStringLiteral("発注者 ：ORD2  南十字\r\n受注者 ：SUP2  受注側\r\n\r\n"
                                                                "選択された発注企業情報を削除しますか？"),
                                                 QStringLiteral("納品書データが存在するため、削除できません。")}));
    EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")), before);
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_TRUE(child<QAction>("MnuCustNew")->isEnabled());
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());
}

TEST_F(CustomerFixture, DeleteAskedAndAnsweredYesRemovesTheCompany)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), eiajCompany("ORD2", "SUP2", "南十字")});
    // Slips of another company and of the same codes under KORVAN do not count.
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "ORD1", "SUP1", "K1")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{delivery('2', "ORD2", "SUP2", "K2")}));
    CustomerWindow& w = open();
    clickRow(1);
    // No keeps it.
    menu("MnuCustDel");
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
    EXPECT_EQ(stored()[1].protocolByte(), '1');
    EXPECT_EQ(text("Text1"), QStringLiteral("ORD2"));
    EXPECT_FALSE(w.changed());

    inst.dialogs.setNextAnswer(kAnswerYes);
    menu("MnuCustDel");
    EXPECT_EQ(inst.dialogs.shown.size(), 2);
    EXPECT_EQ(stored()[1].protocolByte(), ' ');
    EXPECT_TRUE(w.changed());
    ASSERT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(text("Text1"), QStringLiteral("ORD1"));

    // Closing leaves the file without the deleted company.
    menu("MnuCustCls");
    EXPECT_FALSE(w.isVisible());
    const QList<CustRecord> file = stored();
    ASSERT_EQ(file.size(), 1);
    EXPECT_EQ(file[0].text(CustField::OrdererCode).trimmed(), QStringLiteral("ORD1"));
}

TEST_F(CustomerFixture, WithoutCompaniesOnlyNewIsOffered)
{
    companies({korvanCompany("K1", "KS", "湘洋")});
    open();
    EXPECT_EQ(grid()->rowCount(), 0);
    EXPECT_EQ(text("Text1"), QString());
    EXPECT_TRUE(child<QAction>("MnuCustNew")->isEnabled());
    EXPECT_FALSE(child<QAction>("MnuCustRmk")->isEnabled());
    EXPECT_FALSE(child<QAction>("MnuCustDel")->isEnabled());
    // The KORVAN list has one: switching there offers change and delete.
    child<QRadioButton>("Option2")->click();
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_TRUE(child<QAction>("MnuCustRmk")->isEnabled());
    child<QRadioButton>("Option1")->click();
    EXPECT_FALSE(child<QAction>("MnuCustDel")->isEnabled());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(CustomerFixture, DeletingACompanyThatMovedInTheFileRelistsIt)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), eiajCompany("ORD2", "SUP2", "南十字")});
    open();
    clickRow(1);
    // Another program has rewritten the file since it was listed.
    companies({eiajCompany("ORD2", "SUP2", "南十字"), eiajCompany("ORD3", "SUP3", "東雲")});
    inst.dialogs.setNextAnswer(kAnswerYes);
    menu("MnuCustDel");
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("対象が見つかりません。"));
    EXPECT_EQ(stored()[1].protocolByte(), '1');
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());
    EXPECT_TRUE(child<QAction>("MnuCustDel")->isEnabled());
    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("東雲"));
}

TEST_F(CustomerFixture, KorvanListsItsCompaniesAndLocksTheEiajSettings)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機"), korvanCompany("K1", "KS", "湘洋")});
    open();
    QTest::mouseClick(child<QRadioButton>("Option2"), Qt::LeftButton, {}, QPoint(8, child("Option2")->height() / 2));
    ASSERT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(text("Text1"), QStringLiteral("K1"));
    EXPECT_EQ(child<QComboBox>("Combo3")->currentIndex(), -1);
    menu("MnuCustNew");
    for (const char* name : {"Option3", "Option8", "Option13", "Combo3", "Combo5"})
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    EXPECT_TRUE(child("Option6")->isEnabled());
    QTest::keyClicks(child("Text1"), QStringLiteral("ABCDEFGHIJKL"));
    EXPECT_EQ(text("Text1"), QStringLiteral("ABCDEFGHI"));
    press("Command2");
    EXPECT_EQ(focused(), QStringLiteral("Option2"));
}

TEST_F(CustomerFixture, BrowseFillsTheLayoutBoxOnlyWithAChosenFile)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機")});
    open();
    menu("MnuCustRmk");
    QString answer = QStringLiteral("Other.agr");
    QWidget* askedBy = nullptr;
    window->setFormFileBrowser([&](QWidget* parent) {
        askedBy = parent;
        return answer;
    });
    press("Command3");
    EXPECT_EQ(askedBy, window.get());
    EXPECT_EQ(text("Text5"), QStringLiteral("Other.agr"));
    EXPECT_EQ(text("Text6"), QStringLiteral("E_Tag.agr"));
    answer.clear();
    press("Command4");
    EXPECT_EQ(text("Text6"), QStringLiteral("E_Tag.agr"));
    // The chosen file must exist in the user folder.
    press("Command1");
    EXPECT_EQ(inst.dialogs.texts().size(), 1);
    EXPECT_EQ(focused(), QStringLiteral("Text5"));
}

TEST_F(CustomerFixture, EnteringABoxTrimsAndSelectsItAndEnterIsIgnoredInTheDigitBoxes)
{
    companies({eiajCompany("ORD1", "SUP1", "北斗星電機")});
    open();
    menu("MnuCustRmk");
    child<QLineEdit>("Text4")->setText(QStringLiteral("  受注側  "));
    child("Text4")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(text("Text4"), QStringLiteral("受注側"));
    EXPECT_EQ(child<QLineEdit>("Text4")->selectedText(), QStringLiteral("受注側"));

    QSignalSpy digits(child<QLineEdit>("Text7"), &QLineEdit::returnPressed);
    QSignalSpy name(child<QLineEdit>("Text2"), &QLineEdit::returnPressed);
    QTest::keyClick(child("Text7"), Qt::Key_Return);
    QTest::keyClick(child("Text8"), Qt::Key_Enter);
    QTest::keyClick(child("Text2"), Qt::Key_Return);
    EXPECT_EQ(digits.count(), 0);
    EXPECT_EQ(name.count(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CustomerFixture, HelpWithoutItsPageShowsMessage30AndWithItNavigates)
{
    open();
    QStringList pages;
    window->setHelpNavigator([&](const QString& path) { pages.append(path); });
    menu("MnuMaru");
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral("ヘルプファイルが見つかりません。")});
    inst.writeFile(QStringLiteral("Help/H7120001.htm"), "<html></html>");
    menu("MnuMaru");
    EXPECT_EQ(pages, QStringList{inst.env.paths.helpPagePath});
}

// --- From the list window ---------------------------------------------------------

namespace {

bool loaded(ListWindow& w)
{
    return listLoaded(w);
}

void whenCustomersOpen(std::function<void(CustomerWindow&)> act)
{
    whenModalShows<CustomerWindow>("ordering-company window", std::move(act));
}

} // namespace

TEST_F(CustomerFixture, TheListOpensTheWindowAndReloadsBothListsAfterAChange)
{
    companies({eiajCompany("ORD1", "SUP", "北斗星電機"), korvanCompany("ORD1", "SUP", "湘洋")});
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{listed('1', "ORD1", "E1", "0", "A", "")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{listed('2', "ORD1", "K1", "0", "B", "")}));
    ListWindow list(inst.env);
    list.show();
    ASSERT_TRUE(loaded(list));
    auto* eiaj = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_0"));
    auto* korvan = list.findChild<ListGrid*>(QStringLiteral("MSFlexGrid1_1"));
    ASSERT_EQ(eiaj->model()->index(0, 2).data().toString().trimmed(), QStringLiteral("北斗星電機"));
    auto* mnuCust = list.findChild<QAction*>(QStringLiteral("MnuCust"));
    ASSERT_TRUE(mnuCust->isEnabled());

    // Closed without a change: no reload, even though the file changed meanwhile.
    bool seen = false;
    whenCustomersOpen([&](CustomerWindow& w) {
        seen = true;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("発注企業情報"));
        companies({eiajCompany("ORD1", "SUP", "外から"), korvanCompany("ORD1", "SUP", "湘洋")});
        w.findChild<QAction*>(QStringLiteral("MnuCustCls"))->trigger();
    });
    mnuCust->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("発注企業情報ﾒﾆｭｰ"));
    EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧"));
    EXPECT_FALSE(list.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible());
    EXPECT_EQ(eiaj->model()->index(0, 2).data().toString().trimmed(), QStringLiteral("北斗星電機"));

    // A change of the KORVAN company: both lists are read again.
    seen = false;
    whenCustomersOpen([&](CustomerWindow& w) {
        seen = true;
        w.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
        w.findChild<QAction*>(QStringLiteral("MnuCustRmk"))->trigger();
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("湘洋電機"));
        w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        EXPECT_TRUE(w.changed());
        w.close();
    });
    mnuCust->trigger();
    ASSERT_TRUE(seen);
    ASSERT_TRUE(loaded(list));
    EXPECT_EQ(korvan->model()->index(0, 2).data().toString().trimmed(), QStringLiteral("湘洋電機"));
    EXPECT_EQ(eiaj->model()->index(0, 2).data().toString().trimmed(), QStringLiteral("外から"));
}
