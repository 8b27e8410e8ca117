#include "support/ListFixtures.h"
#include "support/OutputFixtures.h"

#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/SearchWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

#include "TextShown.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

// The windows that choose an ordering company show its whole codes and names,
// at their opening size and at the smallest they allow.
TEST(NamesShown, TheWindowsThatChooseACompanyShowItsWholeCodesAndNames)
{
    const ProgramFont font;
    TestInstall inst;
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    const QString name = QStringLiteral("東和精密電子工業株式会社第二製造本部関東営業所北部");
    ASSERT_EQ(cp932::encode(name).size(), 50);
    CustRecord longest = company('1', QStringLiteral("ABCDEFGHIJKL"), QStringLiteral("SUPPLIER0001"), name);
    longest.setText(CustField::SupplierName, name);
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機"), longest}));
    RecordingReport report;
    const struct
    {
        const char* window;
        std::function<std::unique_ptr<QWidget>()> open;
        // The boxes of the codes and the names, in that order.
        const char* boxes[4];
    } cases[] = {
        {"deletion",
         [&] { return std::make_unique<DeletionWindow>(inst.env, 0); },
         {"Text1", "Text2", "Text3", "Text4"}},
        {"search",
         [&] { return std::make_unique<SearchWindow>(inst.env, 0, 0); },
         {"Text1", "Text2", "Text3", "Text4"}},
        {"print selection",
         [&] { return std::make_unique<PrintSelectionWindow>(inst.env, 0, report); },
         {"Text1", "Text2", "Text3", "Text4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        std::unique_ptr<QWidget> w = c.open();
        w->adjustSize();
        w->show();
        auto* combo = w->findChild<QComboBox*>(QStringLiteral("Combo1"));
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(combo->count() - 1);
        for (const QSize size : {w->size(), w->minimumSizeHint()}) {
            SCOPED_TRACE(size.width());
            w->resize(size);
            QCoreApplication::processEvents();
            EXPECT_EQ(combo->currentText(), name);
            EXPECT_TRUE(showsWhole(combo));
            for (const char* box : c.boxes) {
                auto* edit = w->findChild<QLineEdit*>(QLatin1String(box));
                ASSERT_NE(edit, nullptr) << box;
                edit->setCursorPosition(0);
                EXPECT_TRUE(showsWhole(edit)) << box << " " << edit->text().toStdString();
            }
        }
        EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("Text2"))->text().trimmed(), name);
    }
}
