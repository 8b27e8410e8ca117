#include "HistoryWindow.h"

#include "billing/HistoryDesk.h"
#include "core/ApUse.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/ReportControl.h"
#include "ui/CenterWindow.h"
#include "ui/CursorGuard.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <set>

namespace plx {

namespace {

// The program's clock may be a test's: the month shown first is its month.
QDate today(const Environment& env)
{
    return env.clock ? env.clock->now().date() : QDate::currentDate();
}

} // namespace

HistoryWindow::HistoryWindow(Environment& env, ReportControl* report, Protocol protocol, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env, QStringLiteral("発行履歴")), m_report(report)
{
    setObjectName(QStringLiteral("発行履歴"));
    setWindowTitle(QStringLiteral("発行履歴"));
    m_chooseFile = [](QWidget* owner, const QString& title, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, title, suggested,
                                            QStringLiteral("Excel ブック (*.xlsx);;CSV (*.csv)"));
    };

    auto* layout = new QVBoxLayout(this);
    auto* conditions = new QGridLayout;
    const auto box = [&](const char* name, int row, int column, const QString& caption, int characters) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * characters);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        conditions->addWidget(label, row, column * 2);
        conditions->addWidget(edit, row, column * 2 + 1);
        // Enter in a condition looks up, as 検索 does.
        connect(edit, &QLineEdit::returnPressed, this, [this] { find(); });
        return edit;
    };
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("ComboFormat"));
    if (servesFormat(env, Protocol::Eiaj))
        m_format->addItem(QStringLiteral("ＥＩＡＪ"), int(Protocol::Eiaj));
    if (servesFormat(env, Protocol::Korvan))
        m_format->addItem(QStringLiteral("ＫＯＲＶＡＮ"), int(Protocol::Korvan));
    m_format->setCurrentIndex(std::max(0, m_format->findData(int(protocol))));
    auto* formatLabel = new QLabel(QStringLiteral("形式(&F)："), this);
    formatLabel->setBuddy(m_format);
    conditions->addWidget(formatLabel, 0, 0);
    conditions->addWidget(m_format, 0, 1);
    m_from = box("TextFrom", 0, 1, QStringLiteral("出荷日(&D)："), 11);
    m_to = box("TextTo", 0, 2, QStringLiteral("～"), 11);
    m_orderer = box("TextOrderer", 1, 0, QStringLiteral("発注者ｺｰﾄﾞ(&O)："), 12);
    m_supplier = box("TextSupplier", 1, 1, QStringLiteral("受注者ｺｰﾄﾞ(&U)："), 12);
    m_key = box("TextKey", 2, 0, QStringLiteral("納品ｷｰ番号(&K)："), 23);
    m_orderNo = box("TextOrderNo", 2, 1, QStringLiteral("注文番号(&N)："), 20);
    m_item = box("TextItem", 2, 2, QStringLiteral("品名ｺｰﾄﾞ(&I)："), 20);
    auto* findButton = new QPushButton(QStringLiteral("検索(&S)"), this);
    findButton->setObjectName(QStringLiteral("CommandFind"));
    findButton->setAutoDefault(false);
    conditions->addWidget(findButton, 2, 6);
    layout->addLayout(conditions);

    // The month shown first: this month's documents.
    const QDate now = today(env);
    m_from->setText(QDate(now.year(), now.month(), 1).toString(QStringLiteral("yyyy-MM-dd")));
    m_to->setText(QDate(now.year(), now.month(), 1).addMonths(1).addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("HistoryGrid"));
    m_grid->setModel(&m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    // Rows of one height: the view lays out only the rows it shows.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_grid, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("LabelTotals"));
    layout->addWidget(m_totals);

    auto* buttons = new QHBoxLayout;
    m_reprint = new QPushButton(QStringLiteral("再発行(&R)"), this);
    m_reprint->setObjectName(QStringLiteral("CommandReprint"));
    auto* exportButton = new QPushButton(QStringLiteral("Excel出力(&E)"), this);
    exportButton->setObjectName(QStringLiteral("CommandExport"));
    auto* close = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    close->setObjectName(QStringLiteral("CommandClose"));
    for (QPushButton* b : {m_reprint, exportButton, close}) {
        b->setAutoDefault(false);
        b->setMinimumSize(96, 30);
    }
    buttons->addWidget(m_reprint);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(findButton, &QPushButton::clicked, this, [this] { find(); });
    connect(m_reprint, &QPushButton::clicked, this, [this] { reprintSelected(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportMonth(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_format, &QComboBox::currentIndexChanged, this, [this] { find(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_reprint->setEnabled(m_report && m_grid->selectionModel()->hasSelection()); });
    m_reprint->setEnabled(false);

    // Room for the columns that matter, within the screen (a laptop at 125 %
    // has about 1090 x 600 to give), less the frame the window manager adds.
    const QRect area = availableArea(*this);
    resize(area.isValid() ? QSize(1100, 600).boundedTo(area.size() - QSize(24, 64)) : QSize(1100, 600));
    find();
    m_grid->setFocus(Qt::OtherFocusReason);
}

Protocol HistoryWindow::protocol() const
{
    return static_cast<Protocol>(m_format->currentData().toInt());
}

void HistoryWindow::tell(const QString& text, bool problem)
{
    m_env.dialogs->show(problem ? MessageIcon::Exclamation : MessageIcon::Information, text, MessageButtons::Ok,
                        DefaultButton::First);
}

std::optional<HistoryQuery> HistoryWindow::query()
{
    HistoryQuery q;
    q.protocol = protocol();
    const std::pair<QLineEdit*, QString*> dates[] = {{m_from, &q.fromShipDate}, {m_to, &q.toShipDate}};
    for (const auto& [edit, value] : dates) {
        if (edit->text().trimmed().isEmpty())
            continue;
        *value = HistoryDesk::parseDate(edit->text());
        if (value->isEmpty()) {
            tell(QStringLiteral("出荷日は YYYY-MM-DD の日付で入力してください。(%1)").arg(edit->text()), true);
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
            return std::nullopt;
        }
    }
    q.ordererCode = m_orderer->text().trimmed();
    q.supplierCode = m_supplier->text().trimmed();
    q.deliveryKey = m_key->text().trimmed();
    q.orderNo = m_orderNo->text().trimmed();
    q.itemCode = m_item->text().trimmed();
    return q;
}

void HistoryWindow::find()
{
    m_logLabels.setOperation(QStringLiteral("検索"));
    const std::optional<HistoryQuery> q = query();
    if (!q)
        return;
    QList<HistoryDocument> found;
    {
        CursorGuard busy;
        if (!runTrapped(m_env, QStringLiteral("発行履歴/"), [&] { found = HistoryDesk(m_env).find(*q); }))
            return;
    }
    m_model.setDocuments(std::move(found));
    // The first row is the current one, unselected: Shift with the arrows
    // selects from it, as in the list window.
    if (m_model.count() > 0)
        m_grid->selectionModel()->setCurrentIndex(m_model.index(0, 0), QItemSelectionModel::NoUpdate);
    m_totals->setText(m_model.totalsText());
    m_grid->resizeColumnsToContents();
    m_reprint->setEnabled(false);
}

void HistoryWindow::reprintSelected()
{
    if (!m_report)
        return;
    m_logLabels.setOperation(QStringLiteral("再発行"));
    // In the order shown, oldest first: as they were printed.
    std::set<int> rows;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
        rows.insert(index.row());
    QList<qint64> ids;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        ids.append(m_model.document(*row).id);
    if (ids.isEmpty())
        return;
    const Answer answer = m_env.dialogs->show(
        MessageIcon::Question, QStringLiteral("選択した帳票%1件を再発行します。よろしいですか？").arg(ids.size()),
        MessageButtons::YesNo, DefaultButton::First);
    if (answer != kAnswerYes)
        return;
    QStringList pdfs;
    QStringList missing;
    QString error;
    {
        CursorGuard busy;
        if (!runTrapped(m_env, QStringLiteral("再発行/"),
                        [&] { pdfs = HistoryDesk(m_env).reprint(*m_report, ids, true, missing, error); }))
            return;
    }
    if (!missing.isEmpty()) {
        tell(QStringLiteral("発行履歴にない帳票IDです: ") + missing.join(QStringLiteral(", ")), true);
        return;
    }
    QStringList shown;
    for (const QString& pdf : pdfs)
        shown << QDir::toNativeSeparators(pdf);
    if (!error.isEmpty()) {
        tell(error + (shown.isEmpty() ? QString() : QStringLiteral("\r\n") + shown.join(QStringLiteral("\r\n"))), true);
        return;
    }
    tell(QStringLiteral("%1件を再発行しました。\r\n").arg(ids.size()) + shown.join(QStringLiteral("\r\n")), false);
}

void HistoryWindow::exportMonth()
{
    m_logLabels.setOperation(QStringLiteral("Excel出力"));
    const std::optional<HistoryQuery> q = query();
    if (!q)
        return;
    // The month of the first ship date (this month's when none is given).
    const QDate first =
        q->fromShipDate.isEmpty() ? today(m_env) : QDate::fromString(q->fromShipDate, QStringLiteral("yyyyMMdd"));
    const QString month = first.toString(QStringLiteral("yyyy-MM"));
    const QString title = QStringLiteral("請求明細（%1年%2月）の保存先").arg(first.year()).arg(first.month());
    const QString suggested =
        QDir(m_env.paths.usrFolder)
            .filePath(QStringLiteral("請求明細_%1_%2.xlsx").arg(protocolName(q->protocol), month));
    QString path = m_chooseFile(this, title, suggested);
    if (path.isEmpty())
        return;
    // A name typed without its extension is a workbook's.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    QString why;
    std::optional<HistoryDesk::Exported> exported;
    {
        CursorGuard busy;
        if (!runTrapped(m_env, QStringLiteral("発行履歴/"), [&] {
                exported = HistoryDesk(m_env).exportMonth(q->protocol, month, q->ordererCode, q->supplierCode,
                                                          csv ? BillingFormat::Csv : BillingFormat::Xlsx,
                                                          BillingEncoding::Cp932, path, why);
            }))
            return;
    }
    if (!exported) {
        tell(QStringLiteral("請求明細を書き込めません。(%1: %2)").arg(QDir::toNativeSeparators(path), why), true);
        return;
    }
    tell(QStringLiteral("請求明細（%1）を出力しました。%2社 %3件\r\n%4")
             .arg(month)
             .arg(exported->companies)
             .arg(exported->lines)
             .arg(QDir::toNativeSeparators(path)),
         false);
}

} // namespace plx
