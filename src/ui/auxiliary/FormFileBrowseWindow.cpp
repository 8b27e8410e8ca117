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

    auto* folderCaption = new QLabel(QStringLiteral("ﾌｧｲﾙの場所："), this);
    folderCaption->setObjectName(QStringLiteral("Label1"));
    m_folder = new QLabel(this);
    m_folder->setObjectName(QStringLiteral("Label2"));
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("File1"));
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);

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
    layout->addWidget(folderCaption, 0, 0);
    layout->addWidget(m_folder, 0, 1, 1, 2);
    layout->addWidget(m_files, 1, 0, 1, 2);
    layout->addLayout(buttons, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    // A click and a selection moved with the arrow keys both choose the file;
    // the list taking the focus only sets its current row, which chooses nothing.
    connect(m_files, &QListWidget::itemSelectionChanged, this, [this] { fileChosen(); });
    connect(m_files, &QListWidget::itemClicked, this, [this] { fileChosen(); });
    connect(m_files, &QListWidget::itemDoubleClicked, this, [this] {
        fileChosen();
        accept();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FormFileBrowseWindow::reject);

    setFixedSize(twipsToPixels(5520), twipsToPixels(2970));
    runTrapped(m_env, QString(), [this] { load(); });
}

void FormFileBrowseWindow::load()
{
    m_chosen.clear();
    const QString folder = m_env.paths.usrFolder;
    m_folder->setText(shortenedFolderLabel(QDir::toNativeSeparators(folder)));
    m_folder->setToolTip(QDir::toNativeSeparators(folder));
    m_files->addItems(formFiles(folder));
}

void FormFileBrowseWindow::fileChosen()
{
    const QList<QListWidgetItem*> selected = m_files->selectedItems();
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
