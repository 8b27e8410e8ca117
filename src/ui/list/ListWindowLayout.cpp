// The list window's menus, title row with the scan field, tab strip, the two
// grids, the buttons and timers, and the signals that tie them to the window.
#include "ListWindow.h"

#include "HelpViewer.h"
#include "ListFollower.h"
#include "ListGrid.h"
#include "ScanField.h"

#include "ui/BusyPanel.h"
#include "ui/CenterWindow.h"
#include "ui/auxiliary/SettingsWindow.h"
#include "ui/history/HistoryWindow.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"

#include <QAction>
#include <QApplication>
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

namespace plx {

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
    m_newAction = action(file, "MnuNew", QStringLiteral("新規作成(&N)"), [this] {
        m_logLabels.setOperation(QStringLiteral("新規登録ﾒﾆｭｰ"));
        openEntry(true, rowSelection(false));
    });
    m_openAction = action(file, "MnuOpen", QStringLiteral("開く(&O)..."), [this] {
        m_logLabels.setOperation(QStringLiteral("開くﾒﾆｭｰ"));
        openImport();
    });
    file->addSeparator();
    m_printAction = action(file, "MnuPrint", QStringLiteral("印刷(&P)..."), [this] {
        m_logLabels.setOperation(QStringLiteral("印刷ﾒﾆｭｰ"));
        openPrint();
    });
    file->addSeparator();
    m_deleteAction = action(file, "MnuDelete", QStringLiteral("削除(&D)..."), [this] {
        m_logLabels.setOperation(QStringLiteral("削除ﾒﾆｭｰ"));
        deleteRows();
    });
    file->addSeparator();
    action(file, "MnuEnd", QStringLiteral("終了(&X)"), [this] { close(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    tools->setObjectName(QStringLiteral("MnuTool"));
    action(tools, "MnuCust", QStringLiteral("発注者情報設定(&C)..."), [this] { openCompanies(); });
    action(tools, "MnuEnv", QStringLiteral("ﾌｧｲﾙ入力設定(&E)..."), [this] {
        SettingsWindow window(m_env, this);
        moveToCentre(m_env, window);
        window.exec();
    });
    tools->addSeparator();
    action(tools, "MnuDust", QStringLiteral("\"処理済ﾌｧｲﾙ\"ﾌｫﾙﾀﾞを空にする。(&Y)"), [this] { emptyProcessedFiles(); });
    tools->addSeparator();
    m_findAction = action(tools, "MnuFind", QStringLiteral("検索(&F)..."), [this] { m_searchButton->click(); });
    // The documents issued before, their copies and the month's billing.
    tools->addSeparator();
    action(tools, "MnuHistory", QStringLiteral("発行履歴(&R)..."), [this] {
        m_logLabels.setOperation(QStringLiteral("発行履歴ﾒﾆｭｰ"));
        HistoryWindow window(m_env, m_report, m_current, this);
        moveToCentre(m_env, window);
        window.exec();
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("MnuHelpMenu"));
    action(help, "MnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"), [this] { openHelpPage(); });
    help->addSeparator();
    action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), [this] { showVersion(); });
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
        m_env, [this]() -> const DeliveryListModel& { return m_list.model(m_current); },
        [this]() -> const DeliveryListModel* {
            if (m_tabs->count() < 2)
                return nullptr;
            return &m_list.model(m_current == Protocol::Eiaj ? Protocol::Korvan : Protocol::Eiaj);
        },
        central);
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

    m_foundMarker = new QLineEdit(m_grids[Protocol::Eiaj]->viewport());
    m_foundMarker->setObjectName(QStringLiteral("Text1"));
    m_foundMarker->setReadOnly(true);
    m_foundMarker->hide();

    connect(m_scan, &ScanField::rowChosen, this, [this](Protocol protocol, int row) {
        if (protocol != m_current) {
            // The clerk chose to switch to the tab that holds the key.
            if (!showTab(protocol))
                return;
        }
        if (!m_entryButton->isEnabled())
            return;
        markClicked(m_current);
        ListGrid* grid = m_grids[m_current];
        grid->selectRows(row, row);
        grid->scrollTo(grid->model()->index(row - 1, kRowFirstColumn));
        m_logLabels.setOperation(QStringLiteral("出荷登録ﾎﾞﾀﾝ"));
        openEntry(false, rowSelection(false));
        // The next scan can follow at once.
        m_scan->ready();
    });
    // The buttons in their row, each under its object name.
    auto* buttons = new QHBoxLayout;
    const struct
    {
        QPushButton** button;
        const char* name;
        const char16_t* caption;
    } row[] = {{&m_importButton, "Command3", u"ﾌｧｲﾙ入力"}, {&m_entryButton, "Command2", u"出荷登録"},
               {&m_newButton, "Command6", u"新規登録"},    {&m_printButton, "Command4", u"印刷"},
               {&m_deleteButton, "Command5", u"削除"},     {&m_searchButton, "Command7", u"検索"},
               {&m_endButton, "Command1", u"終了"}};
    for (const auto& r : row) {
        auto* b = new QPushButton(QString::fromUtf16(r.caption), central);
        b->setObjectName(QLatin1String(r.name));
        b->setMinimumSize(96, 30);
        // Enter on a button that has the focus presses it, as Space does.
        b->setAutoDefault(true);
        *r.button = b;
        if (b == m_endButton)
            buttons->addStretch(1);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_endButton, &QPushButton::clicked, this, [this] { endClicked(); });
    connect(m_entryButton, &QPushButton::clicked, this, [this] {
        m_logLabels.setOperation(QStringLiteral("出荷登録ﾎﾞﾀﾝ"));
        openEntry(false, rowSelection(false));
    });
    connect(m_newButton, &QPushButton::clicked, this, [this] {
        m_logLabels.setOperation(QStringLiteral("新規登録ﾎﾞﾀﾝ"));
        openEntry(true, rowSelection(false));
    });
    connect(m_printButton, &QPushButton::clicked, this, [this] {
        m_logLabels.setOperation(QStringLiteral("発行操作ﾎﾞﾀﾝ"));
        openPrint();
    });
    connect(m_importButton, &QPushButton::clicked, this, [this] {
        m_logLabels.setOperation(QStringLiteral("入力ﾎﾞﾀﾝ"));
        openImport();
    });
    connect(m_deleteButton, &QPushButton::clicked, this, [this] {
        m_logLabels.setOperation(QStringLiteral("削除ﾎﾞﾀﾝ"));
        deleteRows();
    });
    connect(m_searchButton, &QPushButton::clicked, this, [this] { searchRows(); });
    setCentralWidget(central);

    // When the lists were read, and whose change that was.
    auto* readAt = new QLabel(this);
    readAt->setObjectName(QStringLiteral("ListReadAt"));
    statusBar()->addWidget(readAt);
    m_follower = new ListFollower(
        m_list, m_grids, readAt, m_env.paths,
        [this] {
            return QApplication::activeModalWidget() != nullptr || !isEnabled() || m_reloadCurrentTimer->isActive() ||
                   m_reloadBothTimer->isActive() || m_busy->isVisible();
        },
        this);

    m_reloadCurrentTimer = new QTimer(this);
    m_reloadCurrentTimer->setObjectName(QStringLiteral("Timer1"));
    m_reloadCurrentTimer->setSingleShot(true);
    m_reloadCurrentTimer->setInterval(500);
    connect(m_reloadCurrentTimer, &QTimer::timeout, this, [this] { reloadCurrentList(); });
    m_reloadBothTimer = new QTimer(this);
    m_reloadBothTimer->setObjectName(QStringLiteral("Timer2"));
    m_reloadBothTimer->setSingleShot(true);
    m_reloadBothTimer->setInterval(500);
    connect(m_reloadBothTimer, &QTimer::timeout, this, [this] { reloadBothLists(); });

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (m_tabs->property("loading").toBool())
            return;
        runTrapped(m_env, QString(), [&] { tabClicked(index); });
    });
}

} // namespace plx
