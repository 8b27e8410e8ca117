// The list window's menus, title row with the scan field, tab strip, the two
// grids, the buttons and timers, and the signals that tie them to the window.
#include "ListWindow.h"

#include "HelpViewer.h"
#include "ListFollower.h"
#include "ListGrid.h"
#include "ScanField.h"

#include "ui/BusyPanel.h"
#include "ui/CenterWindow.h"
#include "ui/auxiliary/SearchWindow.h"
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
    // The documents issued before, their copies and the month's billing.
    tools->addSeparator();
    action(tools, "MnuHistory", QStringLiteral("発行履歴(&R)..."), [this] {
        m_env.logOperation = QStringLiteral("発行履歴ﾒﾆｭｰ");
        HistoryWindow window(m_env, m_report, m_current, this);
        moveToCentre(m_env, window);
        window.exec();
    });

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

    m_marker = new QLineEdit(m_grids[Protocol::Eiaj]->viewport());
    m_marker->setObjectName(QStringLiteral("Text1"));
    m_marker->setReadOnly(true);
    m_marker->hide();

    connect(m_scan, &ScanField::rowChosen, this, [this](Protocol protocol, int row) {
        if (protocol != m_current) {
            // The clerk chose to switch to the tab that holds the key.
            if (!showTab(protocol))
                return;
        }
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
        // Enter on a button that has the focus presses it, as Space does.
        b->setAutoDefault(true);
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

} // namespace plx
