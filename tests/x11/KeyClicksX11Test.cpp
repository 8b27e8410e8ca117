#include "XSession.h"

#include "support/EntryFixtures.h"

#include "ui/entry/EntryWindow.h"
#include "ui/entry/TagGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace plx;
using namespace plx::test;

namespace {

bool typed(const QString& text)
{
    return XSession::xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
}

bool clickAt(QPoint at)
{
    return XSession::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                              QStringLiteral("click"), QStringLiteral("1")});
}

bool clickOn(QWidget* widget)
{
    return widget && clickAt(XSession::screenPoint(widget, widget->rect().center()));
}

bool focusReaches(const char* name)
{
    return QTest::qWaitFor([name] { return XSession::focusName() == QLatin1String(name); }, 3000);
}

// Types into a tag-grid cell (row from 0, column 1 quantity, 2 count) as the
// clerk does: a click on the cell, then the characters, which open its edit box.
bool typeInCell(TagGrid* grid, int row, int column, const QString& text)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column - 1));
    return clickAt(XSession::screenPoint(grid->viewport(), cell.center())) && typed(text);
}

// How the edit ends: the button's key, or a click on the button.
enum class Press { ByKey, ByMouse };

struct Case
{
    const char* name;
    Protocol format;
    const char* orderer; // A: slips only; B and K: slips and tags
    // Edits the shown record and leaves the last box being edited.
    std::function<bool(EntryWindow&)> edit;
    const char* button;   // the button that ends it: "Command4" 登録, "Command5" 登録印刷
    const char* key;      // its key
    DeliveryField field;  // a field the finished box decides…
    const char* expected; // …and its stored value
};

// What one run stored and printed.
struct Outcome
{
    QByteArray data;
    QByteArray printed;
    QStringList messages;
};

Outcome runCase(const Case& c, Press press)
{
    Outcome out;
    TestInstall inst;
    writeEntryInstallation(inst);
    // A issues slips only, so that a quantity needs no tag lines; B and K
    // issue both; K without kanji, so that its record passes every check.
    const auto eiajCompany = [](const char* code, const char* outputKind) {
        CustRecord c = outputCompany('1', code, outputKind);
        c.setText(CustField::ConsumptionTaxKind, u"2");
        c.setText(CustField::TaxationKind, u"1");
        c.setText(CustField::PriceDisplayKind, u"1");
        return c;
    };
    CustRecord k = outputCompany('2', "K", "3", QStringLiteral("湘洋"));
    k.setText(CustField::KanjiUse, u"0");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{eiajCompany("A", "1"), eiajCompany("B", "3"), k}));
    const bool eiaj = c.format == Protocol::Eiaj;
    DeliveryRecord r = shippable(QStringLiteral("K1"), QStringLiteral("0"), QLatin1String(c.orderer));
    r.clearTagLines();
    if (!eiaj) {
        r.setText(DeliveryField::Kind, u"2");
        r.setText(DeliveryField::MessageKind, u"D10");
        r.setText(DeliveryField::OrdererUse1, u"U1");
        r.setText(DeliveryField::BcOutputClass, u"1");
    }
    r.setText(DeliveryField::UnitPrice, u"00000000003.500");
    const QString file = eiaj ? QStringLiteral("Prg/E_Deliv.dat") : QStringLiteral("Prg/K_Deliv.dat");
    inst.writeFile(file, fileOf(QList{r}));
    inst.dialogs.setNextAnswer(kAnswerYes); // the slips
    inst.dialogs.setNextAnswer(kAnswerYes); // the tags
    RecordingReport report;
    {
        EntryWindow w(inst.env, c.format, EntryOpening{EntryMode::Existing, 1, 1, false}, &report);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w) ||
            !XSession::xdotool(
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.winId())}) ||
            !focusReaches("Text19")) {
            ADD_FAILURE() << c.name << ": the window did not open with the focus in the quantity";
            return out;
        }
        const QByteArray before = inst.readFile(file);
        EXPECT_TRUE(c.edit(w)) << c.name;
        auto* button = w.findChild<QPushButton*>(QLatin1String(c.button));
        EXPECT_TRUE(press == Press::ByKey ? XSession::keys({QLatin1String(c.key)}) : clickOn(button)) << c.name;
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return inst.readFile(file) != before || !inst.dialogs.shown.isEmpty(); }, 3000))
            << c.name;
        out.data = inst.readFile(file);
        for (const auto& shown : inst.dialogs.shown)
            out.messages << shown.text;
        w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    }
    for (const auto& printed : report.printed)
        out.printed += printed.data;
    return out;
}

} // namespace

// Every window family's buttons, pressed by their key while a box is still
// being edited, store and print exactly what a click on them does: the box is
// left first, so its rules (reformatting, the amount calculation, a grid
// cell's edit) have run.
TEST(KeyClicksUnderX, AKeyThatPressesAButtonFinishesTheEditedBoxAsAClickDoes)
{
    PLX90_REQUIRE_X();
    const auto retype = [](const QString& text) { return XSession::keys({QStringLiteral("ctrl+a")}) && typed(text); };
    const Case cases[] = {
        {"a shipped quantity, then 登録", Protocol::Eiaj, "A", [&](EntryWindow&) { return retype("100"); }, "Command4",
         "alt+r", DeliveryField::AmountExclTax, "0000000350"},
        {"a shipped quantity, then 登録印刷", Protocol::Eiaj, "A", [&](EntryWindow&) { return retype("100"); },
         "Command5", "alt+p", DeliveryField::AmountInclTax, "0000000385"},
        {"a unit price of the order data, then 登録", Protocol::Eiaj, "A",
         [&](EntryWindow& w) {
             return XSession::keys({QStringLiteral("alt+e")}) && focusReaches("Text9") &&
                    clickOn(w.findChild<QLineEdit*>(QStringLiteral("Text22"))) && focusReaches("Text22") && retype("4");
         },
         "Command4", "alt+r", DeliveryField::AmountExclTax, "0000000020"},
        {"a tag count typed without Enter, then 登録", Protocol::Eiaj, "B",
         [&](EntryWindow& w) {
             auto* grid = w.findChild<TagGrid*>(QStringLiteral("MSFlexGrid1"));
             return typeInCell(grid, 0, 1, "5") && XSession::keys({QStringLiteral("Return")}) && typed("1");
         },
         "Command4", "alt+r", DeliveryField::Status, "1"},
        {"a KORVAN tag count typed without Enter, then 登録印刷", Protocol::Korvan, "K",
         [&](EntryWindow& w) {
             auto* grid = w.findChild<TagGrid*>(QStringLiteral("MSFlexGrid1"));
             return typeInCell(grid, 0, 1, "1") && XSession::keys({QStringLiteral("Return")}) && typed("5");
         },
         "Command5", "alt+p", DeliveryField::Status, "8"},
    };
    for (const Case& c : cases) {
        const Outcome byKey = runCase(c, Press::ByKey);
        const Outcome byMouse = runCase(c, Press::ByMouse);
        EXPECT_TRUE(byKey.messages.isEmpty()) << c.name << ": " << byKey.messages.join(" / ").toStdString();
        ASSERT_FALSE(byKey.data.isEmpty()) << c.name;
        EXPECT_EQ(recordsOf(byKey.data)[0].text(c.field), QLatin1String(c.expected)) << c.name;
        // Byte for byte (the clock is fixed), without dumping 2,310 bytes.
        EXPECT_TRUE(byKey.data == byMouse.data) << c.name << ": the key stored other bytes than the click";
        EXPECT_TRUE(byKey.printed == byMouse.printed) << c.name << ": the key printed other data than the click";
        if (QLatin1String(c.key) == QLatin1String("alt+p")) {
            EXPECT_FALSE(byKey.printed.isEmpty()) << c.name;
        }
    }
}
