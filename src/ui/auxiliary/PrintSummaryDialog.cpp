#include "PrintSummaryDialog.h"

#include "DesktopOpener.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace plx {

namespace {

constexpr int kPdfColumn = 6;

} // namespace

PrintSummaryDialog::PrintSummaryDialog(const PrintRunResult& result, QWidget* parent, UrlOpener opener)
    : QDialog(parent), m_opener(std::move(opener))
{
    setObjectName(QStringLiteral("印刷結果"));
    setWindowTitle(QStringLiteral("印刷結果"));
    if (!m_opener)
        m_opener = openOnDesktop;

    m_groups = new QTreeWidget(this);
    m_groups->setObjectName(QStringLiteral("Groups"));
    m_groups->setRootIsDecorated(false);
    m_groups->setHeaderLabels({QStringLiteral("帳票"), QStringLiteral("発注者ｺｰﾄﾞ"), QStringLiteral("発注者名称"),
                               QStringLiteral("件数"), QStringLiteral("用紙"), QStringLiteral("結果"),
                               QStringLiteral("PDF")});
    for (const PrintedGroup& g : result.groups) {
        auto* item = new QTreeWidgetItem(m_groups);
        item->setText(0, documentName(g.document));
        item->setText(1, g.ordererCode);
        item->setText(2, g.ordererName);
        item->setText(3, QString::number(g.items));
        item->setText(4, QString::number(g.sheets));
        item->setText(5, outcomeName(g.outcome));
        item->setText(kPdfColumn, QFileInfo(g.pdfPath).fileName());
        item->setData(kPdfColumn, Qt::UserRole, g.pdfPath);
        item->setToolTip(kPdfColumn, QDir::toNativeSeparators(g.pdfPath));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_groups->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_groups->setMinimumWidth(640);
    // At its smallest the dialog still shows the first groups whole (the
    // others scroll).
    const int rows = std::clamp(int(result.groups.size()), 1, 4);
    const int rowHeight = m_groups->topLevelItemCount() > 0 ? m_groups->sizeHintForRow(0) : fontMetrics().height();
    m_groups->setMinimumHeight(m_groups->header()->sizeHint().height() + rows * rowHeight +
                               m_groups->horizontalScrollBar()->sizeHint().height() + 2 * m_groups->frameWidth());

    // The per-company totals and where the documents went: the summary lines
    // after the group lines.
    QStringList totals = result.summaryLines();
    totals.erase(totals.begin(), totals.begin() + result.groups.size());
    m_totals = new QLabel(totals.join(QLatin1Char('\n')), this);
    m_totals->setObjectName(QStringLiteral("Totals"));
    m_totals->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_openPdf = new QPushButton(QStringLiteral("PDFを開く"), this);
    m_openPdf->setObjectName(QStringLiteral("OpenPdf"));
    m_openFolder = new QPushButton(QStringLiteral("フォルダを開く"), this);
    m_openFolder->setObjectName(QStringLiteral("OpenFolder"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_openPdf);
    buttons->addWidget(m_openFolder);
    buttons->addStretch(1);
    buttons->addWidget(close);

    // Where the desktop could not open a document: what failed and the path,
    // selected in a read-only box for copying.
    m_failure = new QWidget(this);
    m_failure->setObjectName(QStringLiteral("Failure"));
    m_failureText = new QLabel(m_failure);
    m_failureText->setObjectName(QStringLiteral("OpenFailure"));
    m_failureText->setWordWrap(true);
    m_failedPath = new QLineEdit(m_failure);
    m_failedPath->setObjectName(QStringLiteral("FailedPath"));
    m_failedPath->setReadOnly(true);
    auto* copy = new QPushButton(QStringLiteral("コピー"), m_failure);
    copy->setObjectName(QStringLiteral("CopyPath"));
    copy->setAutoDefault(false);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_failedPath, 1);
    pathRow->addWidget(copy);
    auto* failureLayout = new QVBoxLayout(m_failure);
    failureLayout->setContentsMargins(0, 0, 0, 0);
    failureLayout->addWidget(m_failureText);
    failureLayout->addLayout(pathRow);
    m_failure->hide();
    connect(copy, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(m_failedPath->text());
        m_failedPath->setFocus();
        m_failedPath->selectAll();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_groups, 1);
    layout->addWidget(m_totals);
    layout->addWidget(m_failure);
    layout->addLayout(buttons);

    connect(m_groups, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
    connect(m_openPdf, &QPushButton::clicked, this, &PrintSummaryDialog::openPdf);
    connect(m_openFolder, &QPushButton::clicked, this, &PrintSummaryDialog::openFolder);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    // The first group with a PDF is the one the buttons open.
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i) {
        if (!m_groups->topLevelItem(i)->data(kPdfColumn, Qt::UserRole).toString().isEmpty()) {
            m_groups->setCurrentItem(m_groups->topLevelItem(i));
            break;
        }
    }
    updateButtons();
}

PrintSummaryDialog* PrintSummaryDialog::showFor(const PrintRunResult& result, QWidget* parent)
{
    if (result.groups.isEmpty())
        return nullptr;
    auto* dialog = new PrintSummaryDialog(result, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

QString PrintSummaryDialog::chosenPdf() const
{
    const QTreeWidgetItem* item = m_groups->currentItem();
    return item ? item->data(kPdfColumn, Qt::UserRole).toString() : QString();
}

void PrintSummaryDialog::updateButtons()
{
    const bool pdf = !chosenPdf().isEmpty();
    m_openPdf->setEnabled(pdf);
    m_openFolder->setEnabled(pdf);
}

void PrintSummaryDialog::openPdf()
{
    if (!chosenPdf().isEmpty())
        open(chosenPdf(), QStringLiteral("PDF"));
}

void PrintSummaryDialog::openFolder()
{
    if (!chosenPdf().isEmpty())
        open(QFileInfo(chosenPdf()).absolutePath(), QStringLiteral("フォルダ"));
}

void PrintSummaryDialog::open(const QString& path, const QString& what)
{
    m_failure->hide();
    // The answer may come after this dialog has gone.
    const QPointer<PrintSummaryDialog> self(this);
    m_opener(QUrl::fromLocalFile(path), [self, path, what](bool opened) {
        if (self && !opened)
            self->showFailure(path, what);
    });
}

void PrintSummaryDialog::showFailure(const QString& path, const QString& what)
{
    m_failureText->setText(what + QStringLiteral("を開けませんでした（開くアプリケーションがないか、見つかりません）。"
                                                 "次の場所をコピーして開いてください。"));
    m_failedPath->setText(QDir::toNativeSeparators(path));
    m_failure->show();
    m_failedPath->setFocus(Qt::OtherFocusReason);
    m_failedPath->selectAll();
}

} // namespace plx
