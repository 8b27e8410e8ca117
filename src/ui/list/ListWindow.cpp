// The list window: loading and reloading the two lists, the tab shown, the
// row selection the buttons work on and which of them are enabled. Its
// controls are built in ListWindowLayout.cpp; what its buttons and menus open
// is in ListWindowCommands.cpp.
#include "ListWindow.h"

#include "HelpViewer.h"
#include "ListFollower.h"
#include "ListGrid.h"

#include "ui/BusyPanel.h"
#include "ui/CenterWindow.h"
#include "ui/CursorGuard.h"
#include "ui/auxiliary/FormFileBrowseWindow.h"
#include "ui/auxiliary/TextViewer.h"

#include "core/ApUse.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

#include <utility>

namespace plx {

namespace {

const QString kTabEiaj = QStringLiteral(" ＥＩＡＪ ");
const QString kTabKorvan = QStringLiteral("ＫＯＲＶＡＮ");

} // namespace

ListWindow::ListWindow(Environment& env, QWidget* parent)
    : QMainWindow(parent), m_env(env), m_logLabels(env), m_list(env)
{
    setObjectName(QStringLiteral("ListWindow"));
    setWindowTitle(QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"));
    m_env.closeAllFiles = [this] { m_list.closeFiles(); };
    // What the error report has told is not left behind the help page.
    m_env.errorReported = [this] { closeHelp(); };
    // 参照 of the company window: the layout files of the user folder.
    m_formFileBrowser = [this](QWidget* parent) {
        FormFileBrowseWindow browse(m_env, parent);
        moveToCentre(m_env, browse);
        browse.exec();
        return browse.chosenFile();
    };
    buildMenus();
    buildClientArea();
    runTrapped(m_env, QStringLiteral("ﾒｲﾝ/"), [this] { setUpTabsAndLoad(); });
}

ListWindow::~ListWindow()
{
    m_env.closeAllFiles = nullptr;
    m_env.errorReported = nullptr;
    if (m_help)
        delete m_help.data();
}

void ListWindow::setUpTabsAndLoad()
{
    m_logLabels.setModule(QStringLiteral("納品書一覧"));
    m_logLabels.setOperation(QStringLiteral("FORM_LOAD"));
    resize(twipsToPixels(12000), twipsToPixels(9000));

    m_tabs->setProperty("loading", true);
    if (!servesFormat(m_env, Protocol::Korvan)) {
        m_tabs->addTab(kTabEiaj);
        m_current = Protocol::Eiaj;
    } else if (!servesFormat(m_env, Protocol::Eiaj)) {
        m_tabs->addTab(kTabKorvan);
        m_current = Protocol::Korvan;
    } else {
        m_tabs->addTab(kTabEiaj);
        m_tabs->addTab(kTabKorvan);
        m_current = Protocol::Eiaj;
    }
    m_tabs->setProperty("loading", false);
    m_stack->setCurrentWidget(m_grids[m_current]);
    // The clerk works in the list: the arrow keys move over its rows (on the
    // tab strip they would switch the format).
    m_grids[m_current]->setFocus(Qt::OtherFocusReason);
    applyEnabling();
    // The first load reads every list the window shows.
    requestReload(m_tabs->count() > 1);
}

void ListWindow::showCentred()
{
    resize(twipsToPixels(12000), twipsToPixels(9000));
    moveToCentre(m_env, *this);
    show();
}

void ListWindow::showBusy(bool shown)
{
    if (shown)
        m_busy->showCentred();
    else
        m_busy->hide();
}

void ListWindow::requestReload(bool both)
{
    showBusy(true);
    (both ? m_reloadBothTimer : m_reloadCurrentTimer)->start();
}

void ListWindow::reloadCurrentList()
{
    runTrapped(m_env, QStringLiteral("画面編集Timer1/"), [this] {
        {
            CursorGuard busy;
            m_reloadCurrentTimer->stop();
            reloadLists(m_current);
        }
        const bool reportImport = std::exchange(m_importFinished, false);
        if (reportImport) {
            // The end names what was taken and refused.
            const QString ended = QStringLiteral("ﾌｧｲﾙ入力が終了しました。\r\n") +
                                  ImportDriver::countsText(m_importCounts).join(QStringLiteral("\r\n"));
            if (m_importErrors) {
                const Answer answer =
                    m_env.dialogs->show(MessageIcon::Exclamation,
                                        ended + QStringLiteral("\r\nｴﾗｰの詳細（") + m_env.paths.errListPath +
                                            QStringLiteral("）を参照しますか？"),
                                        MessageButtons::YesNo, DefaultButton::First);
                if (answer == kAnswerYes) {
                    auto* viewer = new TextViewer(m_env.paths.errListPath, this);
                    viewer->show();
                }
            } else {
                m_env.dialogs->show(MessageIcon::Information, ended, MessageButtons::Ok, DefaultButton::First);
            }
        }
    });
}

void ListWindow::reloadBothLists()
{
    CursorGuard busy;
    m_reloadBothTimer->stop();
    reloadLists(std::nullopt);
    m_importFinished = false;
}

void ListWindow::reloadLists(std::optional<Protocol> only)
{
    runTrapped(m_env, QStringLiteral("納品書ﾌｧｲﾙ読込み編集/"), [&] {
        m_follower->readingOwn(only);
        const bool loaded = m_list.reload(only);
        m_follower->readOwn();
        if (!loaded) {
            applyEnabling();
            showBusy(false);
            return;
        }
        m_stack->setCurrentWidget(m_grids[m_current]);
        for (Protocol protocol : kProtocols) {
            if (!only || *only == protocol)
                selectCurrent(protocol);
        }
        applyEnabling();
        showBusy(false);
    });
}

void ListWindow::selectCurrent(Protocol protocol)
{
    // Row 1, column 1 when the list has rows; nothing (the header) when empty.
    m_grids[protocol]->selectCell(m_list.model(protocol).listedCount() > 0 ? 1 : 0, kRowFirstColumn);
}

void ListWindow::markClicked(Protocol protocol)
{
    for (Protocol p : kProtocols)
        m_clicked[p] = p == protocol;
}

void ListWindow::tabClicked(int index)
{
    m_logLabels.setOperation(QStringLiteral("ﾀﾌﾞｸﾘｯｸ"));
    m_current = m_tabs->tabText(index) == kTabEiaj ? Protocol::Eiaj : Protocol::Korvan;
    selectCurrent(m_current);
    m_stack->setCurrentWidget(m_grids[m_current]);
    applyEnabling();
}

bool ListWindow::showTab(Protocol protocol)
{
    const QString text = protocol == Protocol::Eiaj ? kTabEiaj : kTabKorvan;
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->tabText(i) == text)
            m_tabs->setCurrentIndex(i); // the tab's click follows
    }
    return m_current == protocol;
}

void ListWindow::applyEnabling()
{
    const bool rows = m_list.model(m_current).listedCount() > 0;
    // Deletion deletes the selected rows, or opens the deletion window.
    const bool deletable = rows;
    m_entryButton->setEnabled(rows);
    // Printing needs the report engine the program hands the window.
    const bool printAvailable = m_report != nullptr;
    m_printButton->setEnabled(rows && printAvailable);
    m_deleteButton->setEnabled(deletable);
    m_searchButton->setEnabled(rows);
    m_printAction->setEnabled(rows && printAvailable);
    m_deleteAction->setEnabled(deletable);
    m_findAction->setEnabled(rows);
    m_importButton->setEnabled(true);
    m_newButton->setEnabled(true);
    m_newAction->setEnabled(true);
    m_openAction->setEnabled(true);
}

GridSelection ListWindow::rowSelection(bool forDeletion) const
{
    return rowSelectionOf(m_grids[m_current]->selectionRect(), m_clicked[m_current], forDeletion);
}

void ListWindow::setReportControl(ReportControl* report)
{
    m_report = report;
    applyEnabling();
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    closeHelp();
    QMainWindow::closeEvent(event);
}

} // namespace plx
