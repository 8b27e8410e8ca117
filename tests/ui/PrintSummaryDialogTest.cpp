#include "ui/auxiliary/PrintSummaryDialog.h"
#include "ui/auxiliary/DesktopOpener.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
    PrintSummaryDialog dialog(result, nullptr, [&](const QUrl& url, std::function<void(bool)> done) {
        opened.append(url);
        done(true);
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
    EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("Failure"))->isVisibleTo(&dialog));

    // At its smallest the dialog still shows every group of a short run whole.
    dialog.show();
    dialog.resize(dialog.minimumSizeHint());
    QCoreApplication::processEvents();
    EXPECT_TRUE(groups->viewport()->rect().contains(groups->visualItemRect(groups->topLevelItem(2))));

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
    PrintSummaryDialog dialog(result, nullptr,
                              [&](const QUrl&, std::function<void(bool)> done) { done(++opened > 0); });
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

TEST(PrintSummaryDialog, WhatTheDesktopCannotOpenIsSaidWithItsPathSelectedForCopying)
{
    PrintRunResult result;
    result.groups = {group(OutputDocument::Slip, "B", 2, 1, PrintedGroup::Outcome::Issued, "/u/Print/納品書_B.pdf")};
    // The desktop answers later, as xdg-open does: once with success, then not.
    QList<bool> answers{true, false, false};
    PrintSummaryDialog dialog(result, nullptr, [&](const QUrl&, std::function<void(bool)> done) {
        QTimer::singleShot(10, [done, ok = answers.takeFirst()] { done(ok); });
    });
    dialog.show();
    auto* failure = dialog.findChild<QWidget*>(QStringLiteral("Failure"));
    auto* text = dialog.findChild<QLabel*>(QStringLiteral("OpenFailure"));
    auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("FailedPath"));
    const struct
    {
        const char* button;
        const char* what;
        QString path;
    } cases[] = {
        {"OpenPdf", nullptr, QString()},
        {"OpenPdf", "PDFを開けませんでした", QStringLiteral("/u/Print/納品書_B.pdf")},
        {"OpenFolder", "フォルダを開けませんでした", QStringLiteral("/u/Print")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(c.button)), Qt::LeftButton);
        QTest::qWait(50);
        if (!c.what) {
            EXPECT_FALSE(failure->isVisible());
            continue;
        }
        ASSERT_TRUE(failure->isVisible());
        EXPECT_TRUE(text->text().startsWith(QString::fromUtf8(c.what)));
        EXPECT_EQ(path->text(), c.path);
        EXPECT_TRUE(path->isReadOnly());
        EXPECT_EQ(path->selectedText(), c.path);
    }
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CopyPath")), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/u/Print"));

    // An answer that comes after the dialog has gone is dropped.
    std::function<void(bool)> late;
    {
        PrintSummaryDialog gone(result, nullptr, [&](const QUrl&, std::function<void(bool)> done) { late = done; });
        QTest::mouseClick(gone.findChild<QPushButton*>(QStringLiteral("OpenPdf")), Qt::LeftButton);
    }
    ASSERT_TRUE(late);
    late(false);
}

TEST(DesktopOpener, ReportsWhatXdgOpenReports)
{
    // A stand-in xdg-open that ends as the real one does: 0 when opened, 3
    // when no program can show the file, 2 when the file is missing.
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray path = qgetenv("PATH");
    const auto withXdgOpen = [&](int exitCode) {
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        EXPECT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/opened\"\nexit " + QByteArray::number(exitCode) +
                     "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);
    };
    for (const int exitCode : {0, 3, 2}) {
        SCOPED_TRACE(exitCode);
        withXdgOpen(exitCode);
        int answers = 0;
        bool opened = false;
        openOnDesktop(QUrl::fromLocalFile(QStringLiteral("/u/Print/納品書 B.pdf")), [&](bool ok) {
            ++answers;
            opened = ok;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return answers > 0; }, 5000));
        QTest::qWait(20);
        EXPECT_EQ(answers, 1);
        EXPECT_EQ(opened, exitCode == 0);
        QFile handed(bin.filePath(QStringLiteral("opened")));
        ASSERT_TRUE(handed.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(handed.readAll()).trimmed(), QStringLiteral("/u/Print/納品書 B.pdf"));
    }
    qputenv("PATH", path);
}
