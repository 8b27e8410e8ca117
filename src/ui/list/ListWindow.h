#pragma once

#include "HelpViewer.h"
#include "ListGrid.h"

#include "import/ImportDriver.h"
#include "list/DeliveryList.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;

namespace plx {

class BusyPanel;
class ListFollower;
class ScanField;
class HelpViewer;
class ReportControl;
class ListGrid;
struct Environment;

// 納品書一覧, the main window: the delivery-slip lists of both formats under a
// tab strip, the buttons and menus that start every other activity, and the
// help viewer. Closing it ends the program.
class ListWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ListWindow(Environment& env, QWidget* parent = nullptr);
    ~ListWindow() override;

    // 12000 x 9000 twips, centred on the screen, shown.
    void showCentred();

    // Reloads the list of `only`, or both lists.
    void Iti_Gamen(std::optional<Protocol> only);
    // Shows a page in the help viewer, opening it over this window the first
    // time and bringing it to the front afterwards.
    void IENavigate(const QString& path);
    // Closes the help viewer.
    void ieQuit();
    // The report engine the print commands hand their documents to; printing
    // stays off without one.
    void setReportControl(ReportControl* report);

    // How the ordering-company window's 参照 chooses a layout file.
    void setFormFileBrowser(std::function<QString(QWidget*)> browse) { m_formFileBrowser = std::move(browse); }

    // Asks for a reload of the current list (Timer1) or of both (Timer2).
    void requestReload(bool both);

    DeliveryList& list() { return m_list; }
    // The protocol of the tab shown (EIAJ before the first load of a window
    // that shows both).
    Protocol currentProtocol() const { return m_current; }
    ListGrid* grid(Protocol protocol) const { return m_grids[protocol]; }
    HelpViewer* helpViewer() const { return m_help; }
    ListFollower* follower() const { return m_follower; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildClientArea();
    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void TabStrip1_Click(int index);
    // Brings the tab of `protocol` to the front as a click on it does; false
    // when the window has no such tab.
    bool showTab(Protocol protocol);
    void applyEnabling();
    void showBusy(bool shown);
    void selectCurrent(Protocol protocol);
    // The grid of `protocol` was clicked (the other one no longer counts as such).
    void markClicked(Protocol protocol);
    // The row selection of the current grid: none unless the grid was clicked
    // and the selection spans whole rows.
    GridSelection rowSelection(bool forDeletion) const;

    // 出荷登録 (the listed records) and 新規登録 (a new record): the entry
    // window of the current format on `selection` (the row selection or none),
    // modal; the list reloads when it changed data.
    void openEntry(bool newRecord, const GridSelection& selection);
    // A double-click on a row of `protocol`'s grid, or Enter there: the row (or the
    // selection holding it) becomes the row selection, and 出荷登録 starts on
    // it once the grid has finished with the click or key.
    void openRequested(Protocol protocol, int row, bool byEnter);
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void MnuCust_Click();
    void MnuDust_Click();
    void MnuHelp_Click();
    void MnuVer_Click();

    Environment& m_env;
    DeliveryList m_list;
    PerProtocol<ListGrid*> m_grids;
    PerProtocol<bool> m_clicked;
    Protocol m_current = Protocol::Eiaj;
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    BusyPanel* m_busy = nullptr;
    QLineEdit* m_marker = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    // An import that ended in the input-file window: reported once the list
    // has been read again.
    bool m_importFinished = false;
    bool m_importErrors = false;
    ImportDriver::Counts m_importCounts;
    QPointer<HelpViewer> m_help;
    ListFollower* m_follower = nullptr;
    ScanField* m_scan = nullptr;
    ReportControl* m_report = nullptr;
    std::function<QString(QWidget*)> m_formFileBrowser;

    QPushButton* m_command[8] = {};
    QAction* m_mnuNew = nullptr;
    QAction* m_mnuOpen = nullptr;
    QAction* m_mnuPrint = nullptr;
    QAction* m_mnuDelete = nullptr;
    QAction* m_mnuEnd = nullptr;
    QAction* m_mnuCust = nullptr;
    QAction* m_mnuEnv = nullptr;
    QAction* m_mnuDust = nullptr;
    QAction* m_mnuFind = nullptr;
    QAction* m_mnuHelp = nullptr;
    QAction* m_mnuVer = nullptr;
};

} // namespace plx
