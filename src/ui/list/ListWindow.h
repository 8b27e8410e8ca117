#pragma once

#include "HelpViewer.h"
#include "ListGrid.h"

#include "core/LogLabelScope.h"
#include "import/ImportDriver.h"
#include "list/DeliveryList.h"

#include <QMainWindow>
#include <QPointer>

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
    void reloadLists(std::optional<Protocol> only);
    // Shows a page in the help viewer, opening it over this window the first
    // time and bringing it to the front afterwards.
    void showHelp(const QString& path);
    // Closes the help viewer.
    void closeHelp();
    // The report engine the print commands hand their documents to; printing
    // stays off without one.
    void setReportControl(ReportControl* report);

    // How the ordering-company window's 参照 chooses a layout file.
    void setFormFileBrowser(std::function<QString(QWidget*)> browse) { m_formFileBrowser = std::move(browse); }

    // Asks for a reload of the current list or of both, shortly, behind the
    // busy panel.
    void requestReload(bool both);

    DeliveryList& list() { return m_list; }
    // The protocol of the tab shown (EIAJ before the first load of a window
    // that shows both).
    Protocol currentProtocol() const { return m_current; }
    ListGrid* grid(Protocol protocol) const { return m_grids[protocol]; }
    HelpViewer* helpViewer() const { return m_help; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildClientArea();
    // The tabs of the formats the installation serves, the focus in the
    // list, and the first load of every list shown.
    void setUpTabsAndLoad();
    // The reload timers' work: the current list, then how an import that
    // ended in the input-file window went; or both lists.
    void reloadCurrentList();
    void reloadBothLists();
    void tabClicked(int index);
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
    // 検索: after the first selected row (from the top without a row
    // selection); a match becomes the selected row of the current grid.
    void searchRows();

    // 出荷登録 (the listed records) and 新規登録 (a new record): the entry
    // window of the current format on `selection` (the row selection or none),
    // modal; the list reloads when it changed data.
    void openEntry(bool newRecord, const GridSelection& selection);
    // A double-click on a row of `protocol`'s grid, or Enter there: the row (or the
    // selection holding it) becomes the row selection, and 出荷登録 starts on
    // it once the grid has finished with the click or key.
    void openRequested(Protocol protocol, int row, bool byEnter);
    // 終了: closes the window (which ends the program) and deletes the output lists.
    void endClicked();
    // ﾌｧｲﾙ入力: the input-file window of the current format.
    void openImport();
    // 印刷: the print selection window of the current format.
    void openPrint();
    // 削除: the selected rows after a question, or the deletion window.
    void deleteRows();
    // 発注者情報設定: the ordering-company window; both lists reload when it changed data.
    void openCompanies();
    // Empties the "処理済ﾌｧｲﾙ" folder after a question.
    void emptyProcessedFiles();
    // ﾍﾙﾌﾟ: the help page, or message 30 when it is missing.
    void openHelpPage();
    void showVersion();

    Environment& m_env;
    // The window's log labels while it lives.
    LogLabelScope m_logLabels;
    DeliveryList m_list;
    PerProtocol<ListGrid*> m_grids;
    PerProtocol<bool> m_clicked;
    Protocol m_current = Protocol::Eiaj;
    QTabBar* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    BusyPanel* m_busy = nullptr;
    // Marks the row a search found.
    QLineEdit* m_foundMarker = nullptr;
    QTimer* m_reloadCurrentTimer = nullptr;
    QTimer* m_reloadBothTimer = nullptr;
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

    QPushButton* m_endButton = nullptr;
    QPushButton* m_entryButton = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_searchButton = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_findAction = nullptr;
};

} // namespace plx
