#pragma once

#include "output/PrintRun.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
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
// When the desktop cannot open the PDF or its folder, OpenFailure says so and
// FailedPath shows the path, selected, for copying (CopyPath copies it).
class PrintSummaryDialog : public QDialog
{
    Q_OBJECT
public:
    // Opens a file or folder URL and tells `done` whether the desktop opened
    // it, at once or later; openOnDesktop unless a test hands in its own.
    using UrlOpener = std::function<void(const QUrl&, std::function<void(bool opened)> done)>;

    explicit PrintSummaryDialog(const PrintRunResult& result, QWidget* parent = nullptr, UrlOpener opener = {});

    // Shows the summary of `result` beside `parent` without blocking, and
    // deletes it when it closes. Nothing is shown for a run that asked nothing.
    static PrintSummaryDialog* showFor(const PrintRunResult& result, QWidget* parent);

private:
    QString chosenPdf() const;
    void updateButtons();
    void openPdf();
    void openFolder();
    // Hands `path` to the opener; `what` names it in the message when it fails.
    void open(const QString& path, const QString& what);
    void showFailure(const QString& path, const QString& what);

    UrlOpener m_opener;
    QTreeWidget* m_groups;
    QLabel* m_totals;
    QPushButton* m_openPdf;
    QPushButton* m_openFolder;
    QWidget* m_failure;
    QLabel* m_failureText;
    QLineEdit* m_failedPath;
};

} // namespace plx
