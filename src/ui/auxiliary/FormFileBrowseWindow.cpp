#include "FormFileBrowseWindow.h"

#include "ui/CenterWindow.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "customers/FormFileBrowse.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace plx {

FormFileBrowseWindow::FormFileBrowseWindow(Environment& env, QWidget* parent) : QDialog(parent), m_env(env)
{
    setObjectName(QStringLiteral("QRD参照"));
    setWindowTitle(QStringLiteral("QRD定義ﾌｧｲﾙ参照"));
    setModal(true);

    auto* label1 = new QLabel(QStringLiteral("ﾌｧｲﾙの場所："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_file1 = new QListWidget(this);
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label1, 0, 0);
    layout->addWidget(m_label2, 0, 1, 1, 2);
    layout->addWidget(m_file1, 1, 0, 1, 2);
    layout->addLayout(buttons, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    // A click and a selection moved with the arrow keys both choose the file;
    // the list taking the focus only sets its current row, which chooses nothing.
    connect(m_file1, &QListWidget::itemSelectionChanged, this, [this] { File1_Click(); });
    connect(m_file1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(m_file1, &QListWidget::itemDoubleClicked, this, [this] {
        File1_Click();
        accept();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FormFileBrowseWindow::reject);

    setFixedSize(twipsToPixels(5520), twipsToPixels(2970));
    runTrapped(m_env, QString(), [this] { Form_Load(); });
}

void FormFileBrowseWindow::Form_Load()
{
    m_chosen.clear();
    const QString folder = m_env.paths.usrFolder;
    m_label2->setText(shortenedFolderLabel(QDir::toNativeSeparators(folder)));
    m_label2->setToolTip(QDir::toNativeSeparators(folder));
    m_file1->addItems(formFiles(folder));
}

void FormFileBrowseWindow::File1_Click()
{
    const QList<QListWidgetItem*> selected = m_file1->selectedItems();
    if (!selected.isEmpty())
        m_chosen = chosenFormFile(selected.first()->text());
}

void FormFileBrowseWindow::reject()
{
    // ｷｬﾝｾﾙ, Esc and the close box all leave nothing chosen.
    m_chosen.clear();
    QDialog::reject();
}

} // namespace plx
