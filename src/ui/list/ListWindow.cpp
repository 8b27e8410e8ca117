#include "ListWindow.h"

#include "HelpViewer.h"
#include "ListFollower.h"
#include "ListGrid.h"
#include "ScanField.h"

#include "ui/BusyPanel.h"
#include "ui/CenterWindow.h"
#include "ui/CursorGuard.h"
#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/FormFileBrowseWindow.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/SearchWindow.h"
#include "ui/auxiliary/SettingsWindow.h"
#include "ui/auxiliary/TextViewer.h"
#include "ui/auxiliary/VersionWindow.h"
#include "ui/customers/CustomerWindow.h"
#include "ui/entry/EntryWindow.h"
#include "ui/import/InputFileWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/ListCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace plx {

namespace {

const QString kTabEiaj = QStringLiteral(" ＥＩＡＪ ");
const QString kTabKorvan = QStringLiteral("ＫＯＲＶＡＮ");

} // namespace

ListWindow::ListWindow(Environment& env, QWidget* parent) : QMainWindow(parent), m_env(env), m_list(env)
{
    setObjectName(QStringLiteral("ListWindow"));
    setWindowTitle(QStringLiteral("PLX-90 納品書出力ｻｰﾋﾞｽ"));
    m_env.closeAllFiles = [this] { m_list.closeFiles(); };
    m_env.closeHelpViewer = [this] { ieQuit(); };
    // 参照 of the company window: the layout files of the user folder.
    m_formFileBrowser = [this](QWidget* parent) {
        FormFileBrowseWindow browse(m_env, parent);
        moveToCentre(m_env, browse);
        browse.exec();
        return browse.chosenFile();
    };
    buildMenus();
    buildClientArea();
    runTrapped(m_env, QStringLiteral("ﾒｲﾝ/"), [this] { Form_Load(); });
}

ListWindow::~ListWindow()
{
    m_env.closeAllFiles = nullptr;
    m_env.closeHelpViewer = nullptr;
    if (m_help)
        delete m_help.data();
}

void ListWindow::buildMenus()
{
    const auto action = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("MnuFile"));
    m_mnuNew = action(file, "MnuNew", QStringLiteral("新規作成(&N)"), [this] {
        m_env.logOperation = QStringLiteral("新規登録ﾒﾆｭｰ");
        openEntry(true, rowSelection(false));
    });
    m_mnuOpen = action(file, "MnuOpen", QStringLiteral("開く(&O)..."), [this] {
        m_env.logOperation = QStringLiteral("開くﾒﾆｭｰ");
        Command3_Click();
    });
    file->addSeparator();
    m_mnuPrint = action(file, "MnuPrint", QStringLiteral("印刷(&P)..."), [this] {
        m_env.logOperation = QStringLiteral("印刷ﾒﾆｭｰ");
        Command4_Click();
    });
    file->addSeparator();
    m_mnuDelete = action(file, "MnuDelete", QStringLiteral("削除(&D)..."), [this] {
        m_env.logOperation = QStringLiteral("削除ﾒﾆｭｰ");
        Command5_Click();
    });
    file->addSeparator();
    m_mnuEnd = action(file, "MnuEnd", QStringLiteral("終了(&X)"), [this] { close(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    tools->setObjectName(QStringLiteral("MnuTool"));
    m_mnuCust = action(tools, "MnuCust", QStringLiteral("発注者情報設定(&C)..."), [this] { MnuCust_Click(); });
    m_mnuEnv = action(tools, "MnuEnv", QStringLiteral("ﾌｧｲﾙ入力設定(&E)..."), [this] {
        SettingsWindow window(m_env, this);
        moveToCentre(m_env, window);
        window.exec();
    });
    tools->addSeparator();
    m_mnuDust =
        action(tools, "MnuDust", QStringLiteral("\"処理済ﾌｧｲﾙ\"ﾌｫﾙﾀﾞを空にする。(&Y)"), [this] { MnuDust_Click(); });
    tools->addSeparator();
    m_mnuFind = action(tools, "MnuFind", QStringLiteral("検索(&F)..."), [this] { m_command[7]->click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("MnuHelpMenu"));
    m_mnuHelp = action(help, "MnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"), [this] { MnuHelp_Click(); });
    help->addSeparator();
    m_mnuVer = action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), [this] { MnuVer_Click(); });
}

void ListWindow::buildClientArea()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);

    auto* title = new QLabel(QStringLiteral("納品書データ一覧"), central);
    title->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    // The title's row also holds the scan field: a scanned key opens its
    // record (出荷登録) at once.
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    m_scan = new ScanField(
        m_env, [this]() -> const DeliveryListModel& { return m_list.model(m_current); }, central);
    titleRow->addWidget(m_scan);
    layout->addLayout(titleRow);

    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    layout->addWidget(m_tabs);

    auto* area = new QWidget(central);
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    m_stack = new QStackedWidget(area);
    areaLayout->addWidget(m_stack);
    for (Protocol protocol : kProtocols) {
        auto* grid = new ListGrid(m_stack);
        grid->setObjectName(QStringLiteral("MSFlexGrid1_%1").arg(protocol == Protocol::Eiaj ? 0 : 1));
        grid->setModel(&m_list.model(protocol));
        grid->applyLayout();
        connect(grid, &ListGrid::touched, this, [this, protocol] { markClicked(protocol); });
        connect(grid, &ListGrid::openRequested, this,
                [this, protocol](int row, bool byEnter) { openRequested(protocol, row, byEnter); });
        connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { applyEnabling(); });
        m_stack->addWidget(grid);
        m_grids[protocol] = grid;
    }
    layout->addWidget(area, 1);

    // Busy panel over the grids while the list loads.
    m_busy = new BusyPanel(area, QSize(360, 80));

    m_marker = new QLineEdit(m_grids[Protocol::Eiaj]->viewport());
    m_marker->setObjectName(QStringLiteral("Text1"));
    m_marker->setReadOnly(true);
    m_marker->hide();

    connect(m_scan, &ScanField::rowChosen, this, [this](int row) {
        if (!m_command[2]->isEnabled())
            return;
        markClicked(m_current);
        ListGrid* grid = m_grids[m_current];
        grid->selectRows(row, row);
        grid->scrollTo(grid->model()->index(row - 1, 1));
        m_env.logOperation = QStringLiteral("出荷登録ﾎﾞﾀﾝ");
        openEntry(false, rowSelection(false));
        // The next scan can follow at once.
        m_scan->ready();
    });
    auto* buttons = new QHBoxLayout;
    const struct
    {
        int number;
        const char16_t* caption;
    } captions[] = {{3, u"ﾌｧｲﾙ入力"}, {2, u"出荷登録"}, {6, u"新規登録"}, {4, u"印刷"},
                    {5, u"削除"},     {7, u"検索"},     {1, u"終了"}};
    for (const auto& c : captions) {
        auto* b = new QPushButton(QString::fromUtf16(c.caption), central);
        b->setObjectName(QStringLiteral("Command%1").arg(c.number));
        b->setMinimumSize(96, 30);
        m_command[c.number] = b;
        if (c.number == 1)
            buttons->addStretch(1);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_command[1], &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_command[2], &QPushButton::clicked, this, [this] {
        m_env.logOperation = QStringLiteral("出荷登録ﾎﾞﾀﾝ");
        openEntry(false, rowSelection(false));
    });
    connect(m_command[6], &QPushButton::clicked, this, [this] {
        m_env.logOperation = QStringLiteral("新規登録ﾎﾞﾀﾝ");
        openEntry(true, rowSelection(false));
    });
    connect(m_command[4], &QPushButton::clicked, this, [this] {
        m_env.logOperation = QStringLiteral("発行操作ﾎﾞﾀﾝ");
        Command4_Click();
    });
    connect(m_command[3], &QPushButton::clicked, this, [this] {
        m_env.logOperation = QStringLiteral("入力ﾎﾞﾀﾝ");
        Command3_Click();
    });
    connect(m_command[5], &QPushButton::clicked, this, [this] {
        m_env.logOperation = QStringLiteral("削除ﾎﾞﾀﾝ");
        Command5_Click();
    });
    // 検索: after the first selected row (from the top without a row
    // selection); a match becomes the selected row of the current grid.
    connect(m_command[7], &QPushButton::clicked, this, [this] {
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
                const QModelIndex cell = grid->model()->index(found - 1, 1);
                grid->scrollTo(cell);
                // The marker sits on the found row's first cell.
                if (m_marker->parentWidget() != grid->viewport())
                    m_marker->setParent(grid->viewport());
                m_marker->setGeometry(grid->visualRect(cell));
                markClicked(protocol);
            }
            grid->setFocus();
        });
    });
    setCentralWidget(central);

    // When the lists were read, and whose change that was.
    auto* readAt = new QLabel(this);
    readAt->setObjectName(QStringLiteral("ListReadAt"));
    statusBar()->addWidget(readAt);
    m_follower = new ListFollower(
        m_list, m_grids, readAt, m_env.paths,
        [this] {
            return QApplication::activeModalWidget() != nullptr || !isEnabled() || m_timer1->isActive() ||
                   m_timer2->isActive() || m_busy->isVisible();
        },
        this);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(500);
    connect(m_timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setSingleShot(true);
    m_timer2->setInterval(500);
    connect(m_timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (m_tabs->property("loading").toBool())
            return;
        runTrapped(m_env, QString(), [&] { TabStrip1_Click(index); });
    });
}

void ListWindow::Form_Load()
{
    m_env.logModule = QStringLiteral("納品書一覧");
    m_env.logOperation = QStringLiteral("FORM_LOAD");
    resize(twipsToPixels(12000), twipsToPixels(9000));

    m_tabs->setProperty("loading", true);
    if (m_env.apUse == QLatin1String("EIAJ")) {
        m_tabs->addTab(kTabEiaj);
        m_current = Protocol::Eiaj;
    } else if (m_env.apUse == QLatin1String("KORVAN")) {
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
    (both ? m_timer2 : m_timer1)->start();
}

void ListWindow::Timer1_Timer()
{
    runTrapped(m_env, QStringLiteral("画面編集Timer1/"), [this] {
        {
            CursorGuard busy;
            m_timer1->stop();
            Iti_Gamen(m_current);
        }
        const bool reportImport = std::exchange(m_importFinished, false);
        if (reportImport) {
            if (m_importErrors) {
                const short answer =
                    m_env.dialogs->show(MessageIcon::Exclamation,
                                        QStringLiteral("ﾌｧｲﾙ入力が終了しました。\r\nｴﾗｰの詳細（") +
                                            m_env.paths.errListPath + QStringLiteral("）を参照しますか？"),
                                        MessageButtons::YesNo, DefaultButton::First);
                if (answer == kAnswerYes) {
                    auto* viewer = new TextViewer(m_env.paths.errListPath, this);
                    viewer->show();
                }
            } else {
                m_env.dialogs->show(MessageIcon::Information, QStringLiteral("ﾌｧｲﾙ入力が終了しました。"),
                                    MessageButtons::Ok, DefaultButton::First);
            }
        }
    });
}

void ListWindow::Timer2_Timer()
{
    CursorGuard busy;
    m_timer2->stop();
    Iti_Gamen(std::nullopt);
    m_importFinished = false;
}

void ListWindow::Iti_Gamen(std::optional<Protocol> only)
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
    m_grids[protocol]->selectCell(m_list.model(protocol).listedCount() > 0 ? 1 : 0, 1);
}

void ListWindow::markClicked(Protocol protocol)
{
    for (Protocol p : kProtocols)
        m_clicked[p] = p == protocol;
}

void ListWindow::TabStrip1_Click(int index)
{
    m_env.logOperation = QStringLiteral("ﾀﾌﾞｸﾘｯｸ");
    m_current = m_tabs->tabText(index) == kTabEiaj ? Protocol::Eiaj : Protocol::Korvan;
    selectCurrent(m_current);
    m_stack->setCurrentWidget(m_grids[m_current]);
    applyEnabling();
}

void ListWindow::applyEnabling()
{
    const bool rows = m_list.model(m_current).listedCount() > 0;
    // Deletion deletes the selected rows, or opens the deletion window.
    const bool deletable = rows;
    m_command[2]->setEnabled(rows);
    // Printing needs the report engine the program hands the window.
    const bool printAvailable = m_report != nullptr;
    m_command[4]->setEnabled(rows && printAvailable);
    m_command[5]->setEnabled(deletable);
    m_command[7]->setEnabled(rows);
    m_mnuPrint->setEnabled(rows && printAvailable);
    m_mnuDelete->setEnabled(deletable);
    m_mnuFind->setEnabled(rows);
    m_command[3]->setEnabled(true);
    m_command[6]->setEnabled(true);
    m_mnuNew->setEnabled(true);
    m_mnuOpen->setEnabled(true);
}

GridSelection ListWindow::rowSelection(bool forDeletion) const
{
    return rowSelectionOf(m_grids[m_current]->selectionRect(), m_clicked[m_current], forDeletion);
}

void ListWindow::Command5_Click()
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
        if (ShowMessage(m_env, 12) == kAnswerNo)
            return;
        deleteListedRows(m_list.store(protocol), m_list.model(protocol), selection.firstRow, selection.lastRow);
        requestReload(false);
    });
    if (!done)
        requestReload(false); // refused: show the list as the file now stands
}

void ListWindow::openRequested(Protocol protocol, int row, bool byEnter)
{
    if (protocol != m_current || !m_command[2]->isEnabled() || !isEnabled())
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
        m_env.logOperation = QStringLiteral("出荷登録ﾎﾞﾀﾝ");
        openEntry(false, selection);
    });
}

void ListWindow::openEntry(bool newRecord, const GridSelection& selection)
{
    runTrapped(m_env, newRecord ? QStringLiteral("新規登録移動/") : QStringLiteral("出荷登録移動/"), [&] {
        const Protocol protocol = m_current;
        m_env.closeFiles();
        const EntryOpening opening = entryOpeningFor(selection, m_list.model(protocol).listedCount(), newRecord);
        EntryResult result;
        {
            EntryWindow window(m_env, protocol, opening, m_report, this);
            window.setHelpNavigator([this](const QString& path) { IENavigate(path); });
            if (window.opened()) {
                window.adjustSize();
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

void ListWindow::Command3_Click()
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
            requestReload(false);
        }
    });
}

void ListWindow::Command4_Click()
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

void ListWindow::MnuCust_Click()
{
    m_env.logOperation = QStringLiteral("発注企業情報ﾒﾆｭｰ");
    runTrapped(m_env, QStringLiteral("発注企業情報移動/"), [this] {
        m_env.closeFiles();
        bool changed = false;
        {
            CustomerWindow window(m_env, this);
            window.setHelpNavigator([this](const QString& path) { IENavigate(path); });
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

void ListWindow::setReportControl(ReportControl* report)
{
    m_report = report;
    applyEnabling();
}

void ListWindow::Command1_Click()
{
    m_env.logOperation = QStringLiteral("終了ﾎﾞﾀﾝ");
    runTrapped(m_env, QStringLiteral("終了処理/"), [this] {
        close();
        deleteOutputLists(m_env);
    });
}

void ListWindow::MnuDust_Click()
{
    runTrapped(m_env, QString(), [this] {
        if (ShowMessage(m_env, 640) == kAnswerNo)
            return;
        const EmptiedFolder emptied = emptyProcessedFolder(m_env);
        if (!emptied.complete())
            throw RuntimeFailure(QStringLiteral("ファイルを削除できません。(%1)").arg(emptied.failed));
    });
}

void ListWindow::MnuHelp_Click()
{
    m_env.logOperation = QStringLiteral("Helpﾒﾆｭｰ");
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath)) {
            ShowMessage(m_env, 30);
            return;
        }
        IENavigate(m_env.paths.helpPagePath);
    });
}

void ListWindow::IENavigate(const QString& path)
{
    runTrapped(m_env, QStringLiteral("IEﾅﾋﾞｹﾞｰﾄ/"), [&] {
        if (!m_help) {
            if (!QFileInfo::exists(path)) {
                ShowMessage(m_env, 30);
                return;
            }
            m_help = new HelpViewer(this);
            m_help->setGeometry(geometry());
            m_help->show();
            if (!m_help->navigate(path))
                throw RuntimeFailure(QStringLiteral("ヘルプを開けません。(%1)").arg(path));
            return;
        }
        if (!m_help->navigate(path))
            throw RuntimeFailure(QStringLiteral("ヘルプを開けません。(%1)").arg(path));
        m_help->raise();
        m_help->activateWindow();
    });
}

void ListWindow::ieQuit()
{
    if (m_help)
        m_help->close();
}

void ListWindow::MnuVer_Click()
{
    VersionWindow window(m_env, this);
    window.adjustSize();
    window.setFixedSize(twipsToPixels(5385), twipsToPixels(3465));
    moveToCentre(m_env, window);
    window.exec();
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    ieQuit();
    QMainWindow::closeEvent(event);
}

} // namespace plx
