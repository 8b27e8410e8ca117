#include "support/ListFixtures.h"
#include "support/OutputFixtures.h"

#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/SearchWindow.h"
#include "ui/customers/CustomerWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStyle>
#include <QTableWidget>

#include "TextShown.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

// The windows that show an ordering company show its whole codes and names,
// in their boxes and in the list they choose it from, at their opening size
// and at the smallest they allow.
TEST(NamesShown, TheWindowsThatShowACompanyShowItsWholeCodesAndNames)
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
    // Chooses the company with the long names in a combo box.
    const auto inCombo = [&](QWidget& w) {
        auto* combo = w.findChild<QComboBox*>(QStringLiteral("Combo1"));
        combo->setCurrentIndex(combo->count() - 1);
        EXPECT_EQ(combo->currentText(), name);
        EXPECT_TRUE(showsWhole(combo));
    };
    const struct
    {
        const char* window;
        std::function<std::unique_ptr<QWidget>()> open;
        std::function<void(QWidget&)> choose;
        // Whether the window itself shows its texts from their start (the
        // others' read-only boxes are put there by the test).
        bool fromStart;
    } cases[] = {
        {"company", [&] { return std::make_unique<CustomerWindow>(inst.env); },
         [&](QWidget& w) {
             auto* grid = w.findChild<QTableWidget*>(QStringLiteral("CustGrid"));
             grid->setCurrentCell(1, 1);
             const QModelIndex cell = grid->model()->index(1, 1);
             EXPECT_EQ(cell.data().toString().trimmed(), name);
             const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
             EXPECT_GE(grid->columnWidth(1), grid->fontMetrics().horizontalAdvance(name) + 2 * margin);
             EXPECT_LE(grid->columnViewportPosition(1) + grid->columnWidth(1), grid->viewport()->width());
         },
         true},
        {"deletion", [&] { return std::make_unique<DeletionWindow>(inst.env, Protocol::Eiaj); }, inCombo, false},
        {"search", [&] { return std::make_unique<SearchWindow>(inst.env, Protocol::Eiaj, 0); }, inCombo, false},
        {"print selection", [&] { return std::make_unique<PrintSelectionWindow>(inst.env, Protocol::Eiaj, report); },
         inCombo, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        std::unique_ptr<QWidget> w = c.open();
        // As the list window opens them.
        w->adjustSize();
        w->show();
        for (const QSize size : {w->size(), w->minimumSizeHint()}) {
            SCOPED_TRACE(size.width());
            w->resize(size);
            QCoreApplication::processEvents();
            c.choose(*w);
            QCoreApplication::processEvents();
            for (const char* box : {"Text1", "Text2", "Text3", "Text4"}) {
                auto* edit = w->findChild<QLineEdit*>(QLatin1String(box));
                ASSERT_NE(edit, nullptr) << box;
                if (!c.fromStart)
                    edit->setCursorPosition(0);
                EXPECT_TRUE(showsWhole(edit)) << box << " " << edit->text().toStdString();
            }
            EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("Text2"))->text().trimmed(), name);
        }
    }
}
