#include "XSession.h"

#include "support/EntryFixtures.h"

#include "ui/customers/CustomerWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// A complete EIAJ company whose layout files exist.
CustRecord eiajCompany(const char* orderer, const char* supplier, const char* name)
{
    CustRecord c = company('1', QLatin1String(orderer), QLatin1String(supplier), QLatin1String(name));
    c.setText(CustField::SupplierName, u"SUPNAME");
    c.setText(CustField::KanjiUse, u"0");
    c.setText(CustField::OutputKind, u"1");
    c.setText(CustField::ConsumptionTaxKind, u"2");
    c.setText(CustField::TaxationKind, u"1");
    c.setText(CustField::PriceDisplayKind, u"3");
    c.setText(CustField::AmountRounding, u"2");
    c.setText(CustField::TaxRounding, u"3");
    c.setText(CustField::SlipFormFile, u"E_Slip.agr");
    c.setText(CustField::SlipBarcodeDigits, u"12");
    c.setText(CustField::TagBarcodeDigits, u"00");
    return c;
}

// An installation with three EIAJ companies and a sample a new company starts from.
void writeCompanyInstallation(TestInstall& inst)
{
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), code("1", "02", "2", u"外税") + code("1", "03", "1", u"課税") +
                                                       code("1", "04", "3", u"単価＋税抜額"));
    CustRecord sample = eiajCompany("", "", "");
    sample.setText(CustField::OutputKind, u"1");
    inst.writeFile(QStringLiteral("Sample/Cust.DAT"), sample.bytes());
    inst.writeFile(QStringLiteral("Usr/E_Slip.agr"), "{}");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                   fileOf(QList{eiajCompany("ORD1", "SUP1", "FIRST"), eiajCompany("ORD2", "SUP2", "SECOND"),
                                eiajCompany("ORD3", "SUP3", "THIRD")}));
}

// The company of `orderer` in the file, or none.
std::optional<CustRecord> storedCompany(const TestInstall& inst, const char* orderer)
{
    const QByteArray bytes = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
    for (qsizetype at = 0; at + CustRecord::kLength <= bytes.size(); at += CustRecord::kLength) {
        const CustRecord r(bytes.mid(at, CustRecord::kLength));
        if (r.protocolByte() == '1' && r.text(CustField::OrdererCode).trimmed() == QLatin1String(orderer))
            return r;
    }
    return std::nullopt;
}

} // namespace

TEST(CustomerWindowUnderX, CompaniesAreAddedChangedAndAbandonedByRealKeysAlone)
{
    PLX90_REQUIRE_X();
    // Steps: "key:NAMES" presses keys, "type:TEXT" types text, "focus:NAME"
    // waits for the focus there, "shown:CODE" waits for the company shown.
    struct Case
    {
        const char* name;
        QStringList steps;
        // The company written (code, name, supplier code, supplier name,
        // comment); none: the file stays as it was.
        QStringList written;
    };
    const QList<Case> cases = {
        {"the arrows choose, new by its menu key, Enter between the boxes, Ctrl+Enter is OK",
         {"focus:CustGrid", "key:Down",     "shown:ORD2",     "key:Down",    "shown:ORD3", "key:Up",
          "shown:ORD2",     "key:alt+f",    "key:n",          "focus:Text1", "type:ORD9",  "key:Return",
          "focus:Text2",    "type:NEWCO",   "key:Return",     "focus:Text3", "type:SUP9",  "key:Return",
          "focus:Text4",    "type:SUPNINE", "key:ctrl+Return"},
         {"ORD9", "NEWCO", "SUP9", "SUPNINE", ""}},
        {"Enter on the last box is OK; the digit boxes keep Enter ignored",
         {"focus:CustGrid", "key:alt+f",   "key:n",       "focus:Text1",   "type:ORD8",   "key:Return",  "type:EIGHT",
          "key:Return",     "type:SUP8",   "key:Return",  "type:SUPEIGHT", "key:Return",  "focus:Text5", "key:Return",
          "focus:Text6",    "key:Return",  "focus:Text7", "key:Return",    "focus:Text7", "key:Tab",     "focus:Text8",
          "key:Tab",        "focus:Text9", "type:MEMO",   "key:Return"},
         {"ORD8", "EIGHT", "SUP8", "SUPEIGHT", "MEMO"}},
        {"Esc during a change discards it",
         {"focus:CustGrid", "key:Down", "shown:ORD2", "key:alt+f", "key:r", "focus:Text2", "type:CHANGED", "key:Return",
          "focus:Text4", "key:Escape"},
         {}},
        {"Alt+C during a change is ｷｬﾝｾﾙ",
         {"focus:CustGrid", "key:alt+f", "key:r", "focus:Text2", "type:X", "key:alt+c"},
         {}},
        {"Alt+O during a change is ＯＫ",
         {"focus:CustGrid", "key:Down", "key:Down", "shown:ORD3", "key:alt+f", "key:r", "focus:Text2", "type:RENAMED",
          "key:alt+o"},
         {"ORD3", "RENAMED", "SUP3", "SUPNAME", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestInstall inst;
        writeCompanyInstallation(inst);
        const QByteArray before = inst.readFile(QStringLiteral("Usr/Cust.DAT"));
        CustomerWindow w(inst.env);
        ASSERT_TRUE(w.opened());
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(XSession::xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.winId())}));
        auto* mode = w.findChild<QLabel*>(QStringLiteral("Label3"));
        for (const QString& step : c.steps) {
            const QString arg = step.section(QLatin1Char(':'), 1);
            if (step.startsWith(QLatin1String("key:"))) {
                ASSERT_TRUE(XSession::keys({arg})) << step.toStdString();
            } else if (step.startsWith(QLatin1String("type:"))) {
                ASSERT_TRUE(
                    XSession::xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), arg}));
            } else if (step.startsWith(QLatin1String("focus:"))) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return XSession::focusName() == arg; }, 3000))
                    << step.toStdString() << " focus: " << XSession::focusName().toStdString();
            } else {
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] { return w.findChild<QLineEdit*>(QStringLiteral("Text1"))->text().trimmed() == arg; }, 3000))
                    << step.toStdString();
            }
        }
        // Back to browsing, whatever the end.
        ASSERT_TRUE(QTest::qWaitFor([&] { return mode->text().isEmpty(); }, 3000)) << mode->text().toStdString();
        if (c.written.isEmpty()) {
            EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")), before);
            EXPECT_FALSE(w.changed());
        } else {
            const std::optional<CustRecord> r = storedCompany(inst, c.written[0].toLatin1().constData());
            ASSERT_TRUE(r.has_value());
            EXPECT_EQ(r->text(CustField::OrdererName).trimmed(), c.written[1]);
            EXPECT_EQ(r->text(CustField::SupplierCode).trimmed(), c.written[2]);
            EXPECT_EQ(r->text(CustField::SupplierName).trimmed(), c.written[3]);
            EXPECT_EQ(r->text(CustField::Comment).trimmed(), c.written[4]);
        }
        w.hide();
    }
}
