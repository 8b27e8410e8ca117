// Closing an entry window: the documents marked for issue while it was open
// are printed, and the list learns what changed.

#include "EntryWindow.h"

#include "ui/PrintProgressDialog.h"
#include "ui/auxiliary/PrintSummaryDialog.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "output/PrintRun.h"

#include <QCloseEvent>

namespace plx {

void EntryWindow::printMarkedOnClosing()
{
    PrintRunResult printed;
    runTrapped(m_env, QStringLiteral("戻り発行/"), [&] {
        m_env.closeFiles();
        // The documents marked for issue while the window was open.
        if (m_report) {
            PrintProgressDialog progress(parentWidget());
            printed = runMarkedPrint(m_env, m_format, *m_report, &progress);
        }
    });
    // What was issued, beside the window that opened this one.
    PrintSummaryDialog::showFor(printed, parentWidget());
    const bool issued = printed.issued;
    m_result.changed = m_session->changed() || issued;
    m_result.endProgram = !m_backToList;
}

void EntryWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        printMarkedOnClosing();
    }
    QDialog::closeEvent(event);
}

void EntryWindow::reject()
{
    // Esc does not leave the window; closing it goes through closeEvent.
    if (m_closing)
        QDialog::reject();
}

} // namespace plx
