#pragma once

#include "output/PrintRun.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QUrl;

namespace plx {

// The result of a print run for the clerk: every company group with its
// document, counts and outcome, the documents issued per company, where the
// documents went, and buttons that open the chosen group's PDF or its folder.
//
// Widgets (objectName): Groups the table of groups (帳票, 発注者ｺｰﾄﾞ,
// 発注者名称, 件数, 用紙, 結果, PDF); Totals the per-company lines and the
// printer line, or "発行した帳票はありません。"; OpenPdf, OpenFolder, Close.
class PrintSummaryDialog : public QDialog
{
    Q_OBJECT
public:
    // Opens a file or folder URL; QDesktopServices::openUrl unless a test hands
    // in its own.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit PrintSummaryDialog(const PrintRunResult& result, QWidget* parent = nullptr, UrlOpener opener = {});

    // Shows the summary of `result` beside `parent` without blocking, and
    // deletes it when it closes. Nothing is shown for a run that asked nothing.
    static PrintSummaryDialog* showFor(const PrintRunResult& result, QWidget* parent);

private:
    QString chosenPdf() const;
    void updateButtons();
    void openPdf();
    void openFolder();

    UrlOpener m_opener;
    QTreeWidget* m_groups;
    QLabel* m_totals;
    QPushButton* m_openPdf;
    QPushButton* m_openFolder;
};

} // namespace plx
