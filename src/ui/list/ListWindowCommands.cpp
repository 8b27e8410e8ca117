// What the list window's buttons and menus open and do: deletion, the entry
// window, the import, the print, the search, the ordering companies, the help
// viewer, the version window, emptying the processed-file folder and ending
// the program.
#include "ListWindow.h"

#include "HelpViewer.h"
#include "ListGrid.h"

#include "ui/CenterWindow.h"
#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/SearchWindow.h"
#include "ui/auxiliary/VersionWindow.h"
#include "ui/customers/CustomerWindow.h"
#include "ui/entry/EntryWindow.h"
#include "ui/import/InputFileWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/ListCommands.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace plx {

void ListWindow::deleteRows()
{
    const bool done = runTrapped(m_env, QStringLiteral("納品書ﾃﾞｰﾀ削除/"), [this] {
        const Protocol protocol = m_current;
        const GridSelection selection = rowSelection(true);
        if (!selection.valid) {
            // Without a row selection the deletion window chooses what goes.
            bool changed = false;
            {
                DeletionWindow window(m_env, protocol, this);
                window.adjustSize();
                moveToCentre(m_env, window);
                window.exec();
                changed = window.changed();
            }
            if (changed)
                requestReload(false);
            else
                m_env.closeFiles();
            return;
        }
        // The question names what goes: how many records, the first and the last.
        if (ShowMessage(m_env, 12, deletionLead(m_list.model(protocol), selection.firstRow, selection.lastRow)) ==
            kAnswerNo)
            return;
        deleteListedRows(m_list.store(protocol), m_list.model(protocol), selection.firstRow, selection.lastRow);
        requestReload(false);
    });
    if (!done)
        requestReload(false); // refused: show the list as the file now stands
}

void ListWindow::openRequested(Protocol protocol, int row, bool byEnter)
{
    if (protocol != m_current || !m_entryButton->isEnabled() || !isEnabled())
        return;
    markClicked(protocol);
    const GridSelection rows = rowsToOpen(rowSelection(false), row, byEnter);
    m_grids[protocol]->selectRows(rows.firstRow, rows.lastRow);
    const GridSelection selection = rowSelection(false);
    if (!selection.valid)
        return;
    // The entry window is modal: it opens after the double-click or the key
    // has been handled, not inside it.
    QTimer::singleShot(0, this, [this, selection] {
        m_logLabels.setOperation(QStringLiteral("出荷登録ﾎﾞﾀﾝ"));
        openEntry(false, selection);
    });
}

void ListWindow::openEntry(bool newRecord, const GridSelection& selection)
{
    runTrapped(m_env, newRecord ? QStringLiteral("新規登録移動/") : QStringLiteral("出荷登録移動/"), [&] {
        const Protocol protocol = m_current;
        m_env.closeFiles();
        const QModelIndex current = m_grids[protocol]->currentIndex();
        const EntryOpening opening = entryOpeningFor(selection, current.isValid() ? current.row() + 1 : 0,
                                                     m_list.model(protocol).listedCount(), newRecord);
        EntryResult result;
        {
            EntryWindow window(m_env, protocol, opening, m_report, this);
            window.setHelpNavigator([this](const QString& path) { showHelp(path); });
            if (window.opened()) {
                // The window has sized itself to its screen.
                moveToCentre(m_env, window);
                window.exec();
            }
            result = window.entryResult();
        }
        if (result.endProgram) {
            close();
            return;
        }
        if (result.changed)
            requestReload(false);
    });
}

void ListWindow::openImport()
{
    runTrapped(m_env, QString(), [this] {
        m_env.closeFiles();
        InputFileWindow::Result result;
        {
            InputFileWindow window(m_env, m_current, this);
            moveToCentre(m_env, window);
            window.exec();
            result = window.importResult();
        }
        if (result.finished) {
            m_importFinished = true;
            m_importErrors = result.errors;
            m_importCounts = result.counts;
            requestReload(false);
        }
    });
}

void ListWindow::openPrint()
{
    if (!m_report)
        return;
    runTrapped(m_env, QStringLiteral("帳票発行処理/"), [this] {
        m_env.closeFiles();
        bool issued = false;
        {
            PrintSelectionWindow window(m_env, m_current, *m_report, this);
            window.adjustSize();
            moveToCentre(m_env, window);
            window.exec();
            issued = window.issued();
        }
        if (issued)
            requestReload(false);
    });
}

void ListWindow::openCompanies()
{
    m_logLabels.setOperation(QStringLiteral("発注企業情報ﾒﾆｭｰ"));
    runTrapped(m_env, QStringLiteral("発注企業情報移動/"), [this] {
        m_env.closeFiles();
        bool changed = false;
        {
            CustomerWindow window(m_env, this);
            window.setHelpNavigator([this](const QString& path) { showHelp(path); });
            if (m_formFileBrowser)
                window.setFormFileBrowser(m_formFileBrowser);
            if (window.opened()) {
                window.adjustSize();
                moveToCentre(m_env, window);
                window.exec();
            }
            changed = window.changed();
        }
        if (changed)
            requestReload(true);
    });
}

void ListWindow::endClicked()
{
    m_logLabels.setOperation(QStringLiteral("終了ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("終了処理/"), [this] {
        close();
        deleteOutputLists(m_env);
    });
}

void ListWindow::emptyProcessedFiles()
{
    runTrapped(m_env, QString(), [this] {
        if (ShowMessage(m_env, 640) == kAnswerNo)
            return;
        const EmptiedFolder emptied = emptyProcessedFolder(m_env);
        if (!emptied.complete())
            throw RuntimeFailure(QStringLiteral("ファイルを削除できません。(%1)").arg(emptied.failed));
    });
}

void ListWindow::openHelpPage()
{
    m_logLabels.setOperation(QStringLiteral("Helpﾒﾆｭｰ"));
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath)) {
            ShowMessage(m_env, 30);
            return;
        }
        showHelp(m_env.paths.helpPagePath);
    });
}

void ListWindow::showHelp(const QString& path)
{
    runTrapped(m_env, QStringLiteral("IEﾅﾋﾞｹﾞｰﾄ/"), [&] {
        // The viewer belongs to the window that asked for it: over a modal
        // window (an entry window, the company window) it is that window's,
        // so that it is shown over it and takes keys and clicks while the
        // window waits.
        QWidget* asker = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
        if (!m_help && !QFileInfo::exists(path)) {
            ShowMessage(m_env, 30);
            return;
        }
        if (!m_help || m_help->parentWidget() != asker) {
            if (!m_help)
                m_help = new HelpViewer(asker);
            else
                m_help->setParent(asker, m_help->windowFlags());
            m_help->setGeometry(asker->geometry());
        }
        if (!m_help->navigate(path))
            throw RuntimeFailure(QStringLiteral("ヘルプを開けません。(%1)").arg(path));
        m_help->show();
        m_help->raise();
        m_help->activateWindow();
    });
}

void ListWindow::closeHelp()
{
    if (m_help)
        m_help->close();
}

void ListWindow::showVersion()
{
    VersionWindow::showOver(m_env, this);
}

void ListWindow::searchRows()
{
    runTrapped(m_env, QString(), [this] {
        const Protocol protocol = m_current;
        const GridSelection selection = rowSelection(false);
        int found = 0;
        {
            SearchWindow window(m_env, protocol, selection.valid ? selection.firstRow : 0, this);
            moveToCentre(m_env, window);
            window.exec();
            found = window.foundRow();
        }
        ListGrid* grid = m_grids[protocol];
        if (found > 0 && found <= m_list.model(protocol).listedCount()) {
            grid->selectRows(found, found);
            const QModelIndex cell = grid->model()->index(found - 1, kRowFirstColumn);
            grid->scrollTo(cell);
            // The marker sits on the found row's first cell.
            if (m_foundMarker->parentWidget() != grid->viewport())
                m_foundMarker->setParent(grid->viewport());
            m_foundMarker->setGeometry(grid->visualRect(cell));
            markClicked(protocol);
        }
        grid->setFocus();
    });
}

} // namespace plx
