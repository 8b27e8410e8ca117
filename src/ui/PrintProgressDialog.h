#pragma once

#include "output/PrintRun.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

namespace plx {

// Follows a print run in a window: once the run has taken longer than about
// a second, a progress dialog shows the group in hand (document, n of m,
// company) with a 中止 button. A press stops the run before the next group;
// the groups not printed then keep their records waiting for issue.
//
// Widgets (objectName): PrintProgress, its button PrintProgressCancel.
class PrintProgressDialog : public PrintProgress
{
public:
    explicit PrintProgressDialog(QWidget* parent, int showAfterMilliseconds = 1000);
    ~PrintProgressDialog() override;
    PrintProgressDialog(const PrintProgressDialog&) = delete;
    PrintProgressDialog& operator=(const PrintProgressDialog&) = delete;

    bool proceed(const PrintStep& step) override;
    void finished() override;

    // The progress dialog of the run in hand while it is on screen, else null:
    // message boxes keep clear of it.
    static QWidget* shownDialog();

    // The text shown for a step: "納品書を印刷しています。(3/20)" and the company.
    static QString stepText(const PrintStep& step);

private:
    QWidget* m_parent;
    int m_showAfter;
    QElapsedTimer m_started;
    QPointer<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace plx
