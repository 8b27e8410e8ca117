#include "InputFileWindow.h"

#include "ui/BusyPanel.h"
#include "ui/CenterWindow.h"
#include "ui/CursorGuard.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "import/DataFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace plx {

namespace {

const QString kCaptionEiaj = QStringLiteral("入力ﾌｧｲﾙ選択 （ＥＩＡＪ）");
const QString kCaptionKorvan = QStringLiteral("入力ﾌｧｲﾙ選択 （ＫＯＲＶＡＮ）");

// The file list's columns.
enum Column { NameColumn, TypeColumn, SizeColumn, DateColumn, ColumnCount };

// A row of the file list; the rows sort by the text of a column, ignoring case.
class FileItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

QPushButton* pictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(pixmap));
    button->setAutoDefault(false);
    button->setFixedSize(28, 26);
    return button;
}

} // namespace

InputFileWindow::InputFileWindow(Environment& env, Protocol protocol, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_protocol(protocol)
{
    setObjectName(QStringLiteral("入力ファイル選択"));
    setModal(true);
    buildControls();
    runTrapped(m_env, QStringLiteral("ﾌｫｰﾑ初期設定/"), [this] { loadSettings(); });
}

InputFileWindow::~InputFileWindow() = default;

void InputFileWindow::buildControls()
{
    resize(twipsToPixels(10800), twipsToPixels(7200));

    m_body = new QWidget(this);
    auto* grid = new QGridLayout(m_body);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* placeLabel = new QLabel(QStringLiteral("ﾌｧｲﾙの場所 ："), m_body);
    placeLabel->setObjectName(QStringLiteral("Label1"));
    m_driveBox = new QComboBox(m_body);
    m_driveBox->setObjectName(QStringLiteral("Drive1"));
    m_driveBox->setMinimumWidth(twipsToPixels(2700));
    auto* up = pictureButton(m_body, "Command1", QStyle::SP_FileDialogToParent);
    auto* listView = pictureButton(m_body, "Command3", QStyle::SP_FileDialogListView);
    auto* reportView = pictureButton(m_body, "Command4", QStyle::SP_FileDialogDetailedView);
    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(placeLabel);
    placeRow->addWidget(m_driveBox);
    placeRow->addStretch(1);
    placeRow->addWidget(up);
    placeRow->addWidget(listView);
    placeRow->addWidget(reportView);
    grid->addLayout(placeRow, 0, 0, 1, 2);

    // The folder shown; a path typed here and ended with Enter goes there.
    m_folderPath = new QLineEdit(m_body);
    m_folderPath->setObjectName(QStringLiteral("DirPath"));
    grid->addWidget(m_folderPath, 1, 0, 1, 2);

    m_folderList = new QListWidget(m_body);
    m_folderList->setObjectName(QStringLiteral("Dir1"));
    m_folderList->setFixedWidth(twipsToPixels(2700));
    grid->addWidget(m_folderList, 2, 0);

    m_fileList = new QTreeWidget(m_body);
    m_fileList->setObjectName(QStringLiteral("ListView1"));
    m_fileList->setColumnCount(ColumnCount);
    m_fileList->setRootIsDecorated(false);
    m_fileList->setUniformRowHeights(true);
    m_fileList->setAllColumnsShowFocus(true);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* header = new QTreeWidgetItem;
    header->setText(NameColumn, QStringLiteral("名前"));
    header->setText(TypeColumn, QStringLiteral("種類"));
    header->setText(SizeColumn, QStringLiteral("サイズ"));
    header->setText(DateColumn, QStringLiteral("更新日時"));
    header->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    m_fileList->setHeaderItem(header);
    m_fileList->header()->setStretchLastSection(false);
    m_fileList->header()->setSectionsClickable(true);
    m_fileList->header()->setSortIndicatorShown(true);
    m_fileList->setColumnWidth(NameColumn, twipsToPixels(2400));
    m_fileList->setColumnWidth(TypeColumn, twipsToPixels(500));
    m_fileList->setColumnWidth(SizeColumn, twipsToPixels(800));
    m_fileList->setColumnWidth(DateColumn, twipsToPixels(3700));
    grid->addWidget(m_fileList, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    auto* modeLabel = new QLabel(QStringLiteral("処理ﾓｰﾄﾞ   ："), m_body);
    modeLabel->setObjectName(QStringLiteral("Label2"));
    auto* modes = new QVBoxLayout;
    const char16_t* captions[] = {u"追加作成する。", u"発行済の納品書ﾃﾞｰﾀを削除して追加作成する。",
                                  u"すべての納品書ﾃﾞｰﾀを削除して新規作成する。"};
    for (int i = 0; i < 3; ++i) {
        m_modeOptions[i] = new QRadioButton(QString::fromUtf16(captions[i]), m_body);
        m_modeOptions[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        modes->addWidget(m_modeOptions[i]);
    }
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(modeLabel, 0, Qt::AlignTop);
    modeRow->addLayout(modes, 1);
    grid->addLayout(modeRow, 3, 0, 1, 2);

    auto* ok = m_ok = new QPushButton(QStringLiteral("ＯＫ"), m_body);
    ok->setObjectName(QStringLiteral("Command5"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), m_body);
    cancel->setObjectName(QStringLiteral("Command6"));
    for (QPushButton* b : {ok, cancel}) {
        // Enter is dispatched by keyPressEvent: no button takes it over on focus.
        b->setAutoDefault(false);
        b->setMinimumSize(96, 30);
    }
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_body);

    // The busy panel floats over the window while an import runs.
    m_busyPanel = new BusyPanel(this, QSize(twipsToPixels(5400), twipsToPixels(1500)), BusyPanel::Progress::With);

    m_importTimer = new QTimer(this);
    m_importTimer->setObjectName(QStringLiteral("Timer1"));
    m_importTimer->setSingleShot(true);
    m_importTimer->setInterval(500);

    connect(m_driveBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_updatingDrive)
            driveChosen();
    });
    connect(m_folderList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item->data(Qt::UserRole).toBool()) {
            goUp();
            return;
        }
        const QString folder = QDir(m_folder).filePath(item->text());
        runTrapped(m_env, QStringLiteral("ﾌｫﾙﾀﾞ移動/"), [&] { setFolder(folder); });
    });
    connect(m_folderPath, &QLineEdit::returnPressed, this, [this] { goToTypedFolder(); });
    connect(m_fileList->header(), &QHeaderView::sectionClicked, this, [this](int column) { sortBy(column); });
    connect(up, &QPushButton::clicked, this, [this] { goUp(); });
    connect(listView, &QPushButton::clicked, this, [this] { showListView(); });
    connect(reportView, &QPushButton::clicked, this, [this] { showReportView(); });
    connect(ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    connect(m_importTimer, &QTimer::timeout, this, [this] { runImport(); });
}

void InputFileWindow::loadSettings()
{
    m_logLabels.setModule(QStringLiteral("入力ファイル選択"));
    showBusy(false);
    setWindowTitle(m_protocol == Protocol::Korvan ? kCaptionKorvan : kCaptionEiaj);

    m_settings = ImportDriver::readSettings(m_env, m_protocol);
    m_files = InputFileList(m_settings.masks);
    const int mode = m_settings.makeMode >= 1 && m_settings.makeMode <= 3 ? m_settings.makeMode : 1;
    m_modeOptions[mode - 1]->setChecked(true);

    m_drives = InputFileList::driveRoots();
    fillDrives();

    if (m_settings.dataFolderResult != RegOk) {
        // Reported and logged; the window stays open on the base folder, with
        // nothing listed until the operator moves.
        ShowMessage(m_env, 20);
        ReportError(m_env, QStringLiteral("DataPath/") + Registry::regErrorText(m_settings.dataFolderResult));
        setFolder(m_env.programBasePath.isEmpty() ? QDir::rootPath() : m_env.programBasePath, false);
        return;
    }
    m_view = View::Report;
    setFolder(startFolder(m_settings, m_env.programBasePath));
}

void InputFileWindow::setDriveRoots(const QStringList& roots)
{
    m_drives = roots;
    fillDrives();
    const QString drive = InputFileList::driveOf(m_folder, m_drives);
    if (!drive.isEmpty())
        m_driveFolders.insert(drive, m_folder);
}

void InputFileWindow::fillDrives()
{
    m_updatingDrive = true;
    m_driveBox->clear();
    m_driveBox->addItems(m_drives);
    m_driveBox->setCurrentIndex(int(m_drives.indexOf(InputFileList::driveOf(m_folder, m_drives))));
    m_updatingDrive = false;
}

void InputFileWindow::setFolder(const QString& folder, bool listFiles)
{
    m_folder = folder;
    m_folderPath->setText(QDir::toNativeSeparators(folder));
    const QString drive = InputFileList::driveOf(folder, m_drives);
    if (!drive.isEmpty())
        m_driveFolders.insert(drive, folder);
    m_updatingDrive = true;
    m_driveBox->setCurrentIndex(int(m_drives.indexOf(drive)));
    m_updatingDrive = false;
    fillFolders();
    if (listFiles)
        fillFiles();
}

void InputFileWindow::fillFolders()
{
    m_folderList->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : InputFileList::folderEntries(m_folder)) {
        const bool up = name == InputFileList::parentEntry();
        auto* item =
            new QListWidgetItem(up ? style()->standardIcon(QStyle::SP_FileDialogToParent) : icon, name, m_folderList);
        item->setData(Qt::UserRole, up);
        if (up)
            item->setToolTip(QStringLiteral("上のﾌｫﾙﾀﾞへ"));
    }
}

void InputFileWindow::goToTypedFolder()
{
    const QString typed = m_folderPath->text();
    const QString folder = InputFileList::typedFolder(typed, m_folder);
    if (folder.isEmpty()) {
        m_env.dialogs->show(MessageIcon::Exclamation,
                            QStringLiteral("ﾌｫﾙﾀﾞが見つかりません。\r\n（%1）").arg(typed.trimmed()),
                            MessageButtons::Ok, DefaultButton::First);
        m_folderPath->setText(QDir::toNativeSeparators(m_folder));
        return;
    }
    m_logLabels.setOperation(QStringLiteral("ﾌｫﾙﾀﾞ入力"));
    runTrapped(m_env, QStringLiteral("ﾌｫﾙﾀﾞ移動/"), [&] { setFolder(folder); });
}

void InputFileWindow::fillFiles()
{
    m_fileList->clear();
    const bool report = m_view == View::Report;
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    const QList<InputFileRow> rows = m_files.scan(m_folder);
    QList<QTreeWidgetItem*> items;
    for (const InputFileRow& row : rows) {
        auto* item = new FileItem;
        item->setIcon(NameColumn, icon);
        item->setText(NameColumn, row.name);
        if (report) {
            item->setText(TypeColumn, row.typeText);
            item->setText(SizeColumn, row.sizeText);
            item->setText(DateColumn, row.dateText);
        }
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    m_fileList->addTopLevelItems(items);
    m_rowCount = int(items.size());

    // The rows come oldest first: that is the ascending sort by 更新日時, from
    // which the first header click switches to descending.
    m_sortAscending = true;
    m_fileList->header()->setSortIndicator(DateColumn, Qt::AscendingOrder);
    if (m_rowCount >= 2) {
        m_fileList->scrollToItem(items.first());
        m_fileList->clearSelection();
    } else if (m_rowCount == 1) {
        // A lone file stands selected, ready for ＯＫ.
        m_fileList->setCurrentItem(items.first());
    }
}

void InputFileWindow::sortBy(int column)
{
    m_sortAscending = !m_sortAscending;
    const Qt::SortOrder order = m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_fileList->sortItems(column, order);
    m_fileList->header()->setSortIndicator(column, order);
}

void InputFileWindow::driveChosen()
{
    const QString root = m_driveBox->currentText();
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable()) {
        ShowMessage(m_env, 23);
        m_updatingDrive = true;
        m_driveBox->setCurrentIndex(int(m_drives.indexOf(InputFileList::driveOf(m_folder, m_drives))));
        m_updatingDrive = false;
        return;
    }
    QString folder = m_driveFolders.value(root);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = root;
    setFolder(folder);
}

void InputFileWindow::goUp()
{
    m_logLabels.setOperation(QStringLiteral("上位ボタン"));
    runTrapped(m_env, QStringLiteral("ﾌｫﾙﾀﾞ移動/"), [this] { setFolder(InputFileList::parentFolder(m_folder)); });
}

void InputFileWindow::showListView()
{
    m_view = View::List;
    m_fileList->header()->hide();
    for (int column = TypeColumn; column < ColumnCount; ++column)
        m_fileList->setColumnHidden(column, true);
    fillFiles();
}

void InputFileWindow::showReportView()
{
    m_view = View::Report;
    m_fileList->header()->show();
    for (int column = TypeColumn; column < ColumnCount; ++column)
        m_fileList->setColumnHidden(column, false);
    fillFiles();
}

int InputFileWindow::selectedMode() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_modeOptions[i]->isChecked())
            return i + 1;
    }
    return 1;
}

void InputFileWindow::okClicked()
{
    m_logLabels.setOperation(QStringLiteral("実行ボタン"));
    runTrapped(m_env, QStringLiteral("取り込みｿ-ﾄ/"), [this] {
        QStringList names;
        for (int row = 0; row < m_fileList->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = m_fileList->topLevelItem(row);
            if (item->isSelected())
                names.append(item->text(NameColumn));
        }
        m_driver = std::make_unique<ImportDriver>(m_env, m_protocol);
        if (!names.isEmpty() && !m_driver->confirmMode(static_cast<RebuildMode>(selectedMode()))) {
            m_driver.reset();
            return;
        }
        const PrecheckResult result = m_driver->precheck(m_folder, names);
        if (result.accepted > 0) {
            saveDataFolder(m_env, m_folder);
            m_progress = result.errors;
            m_selected = result.selected;
            showBusy(true);
            m_importTimer->start();
            return;
        }
        showBusy(false);
        const ImportDriver::Counts counts = m_driver->counts();
        m_driver.reset(); // closes the error list
        if (result.errors > 0) {
            // Every selected file was refused: the run is over, and the main
            // window reports it with the error list.
            saveDataFolder(m_env, m_folder);
            m_result = {true, true, counts};
            accept();
            return;
        }
        ShowMessage(m_env, 9);
    });
}

void InputFileWindow::cancelClicked()
{
    m_logLabels.setOperation(QStringLiteral("ｷｬﾝｾﾙﾎﾞﾀﾝ"));
    reject();
}

void InputFileWindow::runImport()
{
    const bool ran = runTrapped(m_env, QStringLiteral("取り込みﾒｲﾝ/"), [this] {
        m_importTimer->stop();
        if (!m_driver)
            return;
        m_busyPanel->showProgress(m_progress, m_selected);
        CursorGuard busy;
        m_driver->run(static_cast<RebuildMode>(selectedMode()), m_settings.moveFiles,
                      [this](int progress, int selected) { m_busyPanel->showProgress(progress, selected); });
        m_result = {m_driver->finished(), m_driver->errorCount() > 0, m_driver->counts()};
        m_driver.reset();
    });
    if (!ran) {
        // Refused (a damaged or busy data file): nothing was imported, and the
        // operator may choose again.
        m_driver.reset();
        showBusy(false);
        return;
    }
    m_busy = false;
    accept();
}

void InputFileWindow::showBusy(bool shown)
{
    m_busy = shown;
    m_body->setEnabled(!shown);
    if (!shown) {
        m_busyPanel->hide();
        return;
    }
    m_busyPanel->showCentred();
}

void InputFileWindow::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void InputFileWindow::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || m_busy) {
        QDialog::keyPressEvent(event);
        return;
    }
    QWidget* focus = focusWidget();
    if (focus == m_folderList || focus == m_folderPath) {
        event->accept(); // the control has done what Enter means there
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(focus); button && button != m_ok) {
        button->click();
        return;
    }
    if (m_ok->isEnabled())
        m_ok->click();
}

void InputFileWindow::closeEvent(QCloseEvent* event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace plx
