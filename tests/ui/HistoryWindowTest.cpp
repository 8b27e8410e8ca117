#include "support/OutputFixtures.h"

#include "core/text/Cp932.h"
#include "history/HistoryStore.h"
#include "ui/history/HistoryWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

HistoryDocument issued(const char* key, const char* shipDate, const char* orderer, const char* withTax,
                       OutputDocument kind = OutputDocument::Slip, const char* currency = "")
{
    HistoryDocument d;
    d.kind = kind;
    d.layoutName = QStringLiteral("E_Slip.agr");
    d.layout = "{\"version\": 1}";
    d.pdfPath = QStringLiteral("/tmp/old.pdf");
    d.page = 1;
    d.dataLines = QByteArray("\"") + key + "\",\"line\"\r\n";
    d.expected = key;
    d.ordererCode = QString::fromLatin1(orderer);
    d.supplierCode = QStringLiteral("S01");
    d.ordererName = QStringLiteral("東和精密");
    d.deliveryKey = QString::fromLatin1(key);
    d.orderNo = QStringLiteral("PO-") + QString::fromLatin1(key);
    d.itemCode = QStringLiteral("IC-1");
    d.shipQty = QStringLiteral("5");
    d.unitPrice = QStringLiteral("200");
    d.amount = QStringLiteral("1000");
    d.tax = QStringLiteral("100");
    d.amountWithTax = QString::fromLatin1(withTax);
    d.currency = QString::fromLatin1(currency);
    d.shipDate = QString::fromLatin1(shipDate);
    d.taxClassName = QStringLiteral("外税");
    d.taxationClassName = QStringLiteral("課税");
    d.taxRate = QStringLiteral("10");
    return d;
}

class HistoryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        inst.writeSettings();
        inst.buildPaths();
        inst.env.apUse = QStringLiteral("ALL");
        inst.clock.set(QDateTime(QDate(2026, 12, 20), QTime(10, 0)));
        QDir().mkpath(inst.env.paths.usrFolder);
        HistoryStore store(inst.env.paths.historyPath);
        store.open();
        HistoryRun run;
        run.startedAt = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
        // Documents of December and one of November; a tag, and dollars.
        QList<HistoryDocument> documents{issued("K1", "20261201", "A001", "1100"),
                                         issued("K2", "20261205", "A001", "2200"),
                                         issued("K2", "20261205", "A001", "2200", OutputDocument::Tag),
                                         issued("K3", "20261215", "B002", "12.5", OutputDocument::Slip, "USD"),
                                         issued("K0", "20261130", "A001", "500")};
        store.addPending(run, documents);
        QList<qint64> ids;
        for (const HistoryDocument& d : documents)
            ids.append(d.id);
        store.commit(run.id, ids);
    }

    template <typename T> T* child(HistoryWindow& w, const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QStringList keysShown(const HistoryWindow& w)
    {
        QStringList keys;
        for (int row = 0; row < w.model().count(); ++row)
            keys << w.model().document(row).deliveryKey;
        return keys;
    }

    TestInstall inst;
    RecordingReport report;
};

} // namespace

// The window opens on this month's documents, newest first; each condition
// narrows them, and a date that is none is refused naming the box.
TEST_F(HistoryWindowTest, LooksUpByEachConditionWithTheTotalsOfWhatIsShown)
{
    HistoryWindow w(inst.env, &report, Protocol::Eiaj);
    w.show();
    EXPECT_EQ(keysShown(w), (QStringList{"K3", "K2", "K2", "K1"}));
    EXPECT_EQ(child<QLabel>(w, "LabelTotals")->text(),
              QStringLiteral("納品書 3件　荷札 1件　税込額合計 JPY 3,300  USD 12.5"));

    struct Case
    {
        const char* box;
        const char* typed;
        QStringList keys;
    };
    const Case cases[] = {
        {"TextKey", "K2", {"K2", "K2"}},      {"TextOrderNo", "PO-K1", {"K1"}},
        {"TextOrderer", "B002", {"K3"}},      {"TextFrom", "", {"K0", "K3", "K2", "K2", "K1"}},
        {"TextTo", "20261201", {"K0", "K1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        QLineEdit* edit = child<QLineEdit>(w, c.box);
        const QString before = edit->text();
        edit->setFocus();
        edit->setText(QString::fromLatin1(c.typed));
        QTest::keyClick(edit, Qt::Key_Return); // Enter looks up
        EXPECT_EQ(keysShown(w), c.keys);
        if (QLatin1String(c.box) != QLatin1String("TextFrom"))
            edit->setText(before);
    }

    // A ship date that is no date: told, and the list stays as it was.
    const QStringList shown = keysShown(w);
    child<QLineEdit>(w, "TextTo")->setText(QStringLiteral("2026-02-30"));
    child<QPushButton>(w, "CommandFind")->click();
    EXPECT_EQ(inst.dialogs.texts().value(0),
              QStringLiteral("出荷日は YYYY-MM-DD の日付で入力してください。(2026-02-30)"));
    EXPECT_EQ(keysShown(w), shown);

    // The other format holds none of them.
    child<QLineEdit>(w, "TextTo")->clear();
    child<QComboBox>(w, "ComboFormat")->setCurrentIndex(1);
    EXPECT_EQ(w.model().count(), 0);
}

// 再発行 prints the selected documents again, oldest first, as copies; Excel出力
// writes the month's billing where the clerk says.
TEST_F(HistoryWindowTest, ReprintsTheSelectedDocumentsAndExportsTheMonth)
{
    HistoryWindow w(inst.env, &report, Protocol::Eiaj);
    w.show();
    auto* grid = child<QTableView>(w, "HistoryGrid");
    auto* reprint = child<QPushButton>(w, "CommandReprint");
    EXPECT_FALSE(reprint->isEnabled());
    // By keyboard: the first row is current, Shift+Down selects it and the next.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(reprint->isEnabled());
    grid->clearSelection();
    // Rows 1 and 3: the tag of K2 and the slip of K1.
    grid->selectionModel()->select(grid->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(grid->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(reprint->isEnabled());
    inst.dialogs.setNextAnswer(kAnswerYes);
    reprint->click();
    ASSERT_EQ(report.printed.size(), 2);
    EXPECT_TRUE(report.printed[0].job.reprint);
    EXPECT_EQ(report.printed[0].data, QByteArray("\"K1\",\"line\"\r\n"));
    EXPECT_EQ(report.printed[0].job.document, PrintJob::Document::Slip);
    EXPECT_EQ(report.printed[1].job.document, PrintJob::Document::Tag);
    EXPECT_EQ(inst.dialogs.texts().value(0), QStringLiteral("選択した帳票2件を再発行します。よろしいですか？"));
    EXPECT_TRUE(inst.dialogs.texts().value(1).startsWith(QStringLiteral("2件を再発行しました。")));

    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("december.csv"));
    QString asked;
    w.setChooseFile([&](QWidget*, const QString& title, const QString&) {
        asked = title;
        return path;
    });
    child<QPushButton>(w, "CommandExport")->click();
    EXPECT_EQ(asked, QStringLiteral("請求明細（2026年12月）の保存先"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = cp932::decode(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // The heading, K1 and K2 with A001's total, K3 with B002's: November's K0
    // and the tag bill nothing.
    EXPECT_EQ(lines.size(), 1 + 2 + 1 + 1 + 1) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(inst.dialogs.texts().last().startsWith(QStringLiteral("請求明細（2026-12）を出力しました。2社 3件")));

    // A name without an extension is a workbook's.
    w.setChooseFile([&](QWidget*, const QString&, const QString&) { return out.filePath(QStringLiteral("book")); });
    child<QPushButton>(w, "CommandExport")->click();
    QFile book(out.filePath(QStringLiteral("book.xlsx")));
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_TRUE(book.read(2) == "PK"); // a zip container, as every workbook is
}
