#include "ui/auxiliary/PrintSummaryDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

using namespace plx;

namespace {

PrintedGroup group(OutputDocument document, const QString& code, int items, int sheets, PrintedGroup::Outcome outcome,
                   const QString& pdf = QString())
{
    PrintedGroup g;
    g.document = document;
    g.ordererCode = code;
    g.ordererName = QStringLiteral("北斗星電機");
    g.items = items;
    g.sheets = sheets;
    g.outcome = outcome;
    g.pdfPath = pdf;
    return g;
}

} // namespace

TEST(PrintSummaryDialog, ListsTheGroupsAndTotalsAndOpensThePdfAndItsFolder)
{
    PrintRunResult result;
    result.groups = {group(OutputDocument::Slip, "A", 3, 2, PrintedGroup::Outcome::Declined),
                     group(OutputDocument::Slip, "B", 2, 1, PrintedGroup::Outcome::Issued, "/u/Print/納品書_B.pdf"),
                     group(OutputDocument::Tag, "B", 6, 1, PrintedGroup::Outcome::Issued, "/u/Print/荷札_B.pdf")};
    result.printer = QStringLiteral("PLX90PDF");
    QList<QUrl> opened;
    PrintSummaryDialog dialog(result, nullptr, [&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    auto* groups = dialog.findChild<QTreeWidget*>(QStringLiteral("Groups"));
    ASSERT_EQ(groups->topLevelItemCount(), 3);
    EXPECT_EQ(groups->topLevelItem(0)->text(0), QStringLiteral("納品書"));
    EXPECT_EQ(groups->topLevelItem(0)->text(1), QStringLiteral("A"));
    EXPECT_EQ(groups->topLevelItem(0)->text(5), QStringLiteral("取消"));
    EXPECT_EQ(groups->topLevelItem(2)->text(0), QStringLiteral("荷札"));
    EXPECT_EQ(groups->topLevelItem(2)->text(3), QStringLiteral("6"));
    EXPECT_EQ(groups->topLevelItem(2)->text(6), QStringLiteral("荷札_B.pdf"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Totals"))->text(),
              QStringLiteral("計 B 北斗星電機 納品書2件 荷札6件 用紙2枚 PDF2件\nプリンタ: PLX90PDF"));

    // The first group with a PDF is chosen; the buttons open it and its folder.
    EXPECT_EQ(groups->currentItem(), groups->topLevelItem(1));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OpenPdf")), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OpenFolder")), Qt::LeftButton);
    groups->setCurrentItem(groups->topLevelItem(2));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OpenPdf")), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QStringLiteral("/u/Print/納品書_B.pdf")));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(QStringLiteral("/u/Print")));
    EXPECT_EQ(opened[2], QUrl::fromLocalFile(QStringLiteral("/u/Print/荷札_B.pdf")));

    // A declined group has no PDF to open.
    groups->setCurrentItem(groups->topLevelItem(0));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OpenPdf"))->isEnabled());
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OpenFolder"))->isEnabled());
}

TEST(PrintSummaryDialog, ARunThatIssuedNothingSaysSoAndARunThatAskedNothingShowsNoDialog)
{
    PrintRunResult result;
    result.groups = {group(OutputDocument::Slip, "A", 1, 1, PrintedGroup::Outcome::Failed)};
    int opened = 0;
    PrintSummaryDialog dialog(result, nullptr, [&](const QUrl&) { return ++opened > 0; });
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Totals"))->text(),
              QStringLiteral("発行した帳票はありません。"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OpenPdf"))->isEnabled());
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OpenPdf")), Qt::LeftButton);
    EXPECT_EQ(opened, 0);

    EXPECT_EQ(PrintSummaryDialog::showFor(PrintRunResult(), nullptr), nullptr);
    QPointer<PrintSummaryDialog> shown = PrintSummaryDialog::showFor(result, nullptr);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(shown->isModal());
    QTest::mouseClick(shown->findChild<QPushButton*>(QStringLiteral("Close")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.isNull(); }, 5000)); // deleted when closed
}
