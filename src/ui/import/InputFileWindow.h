#pragma once

#include "core/LogLabelScope.h"

#include "import/ImportDriver.h"
#include "import/InputFileList.h"

#include <QDialog>
#include <QHash>

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeWidget;

namespace plx {

class BusyPanel;
struct Environment;

// 入力ファイル選択: the operator picks order files of one format (0 EIAJ,
// 1 KORVAN) from a folder, chooses how the existing delivery-slip data is
// treated and starts the import. The window closes itself once the import has
// run (or when every selected file was refused); importResult() tells the main
// window which of the two happened, as opposed to a cancel.
class InputFileWindow : public QDialog
{
    Q_OBJECT
public:
    InputFileWindow(Environment& env, Protocol protocol, QWidget* parent = nullptr);
    ~InputFileWindow() override;

    // The folder whose files are listed ("/" for the root).
    const QString& currentFolder() const { return m_folder; }
    // Replaces the drives offered (the mounted volume roots by default).
    void setDriveRoots(const QStringList& roots);
    // What the window did, read after it has closed.
    struct Result
    {
        // The import ran to its end, or every selected file was refused: the
        // list may have changed and the operator is told the run is over.
        bool finished = false;
        // The error list holds entries of this run.
        bool errors = false;
        // What was taken and refused.
        ImportDriver::Counts counts;
    };
    const Result& importResult() const { return m_result; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter presses ＯＫ, except where it has a meaning of its own: a focused
    // button presses that button, the folder list enters the folder, the path
    // field goes to the typed folder.
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class View { List, Report };

    void buildControls();
    // The window's caption, the format's settings and masks, the mode they
    // choose, the drives, and the start folder's files.
    void loadSettings();
    // Shows `folder` in the drive and folder lists and, unless told not to, lists its files.
    void setFolder(const QString& folder, bool listFiles = true);
    void fillFolders();
    // Goes to the folder typed in the path field, or says it cannot.
    void goToTypedFolder();
    void fillDrives();
    // Lists the files of the folder shown that the masks let through.
    void fillFiles();
    void sortBy(int column);
    void showBusy(bool shown);
    int selectedMode() const;

    // Another drive was chosen: its last folder shown, or its root.
    void driveChosen();
    // 上位: the folder above.
    void goUp();
    // The file list by names only, or with type, size and date.
    void showListView();
    void showReportView();
    // ＯＫ: the pre-check of the selected files, then the import behind the
    // busy panel (runImport), or the end when every file was refused.
    void okClicked();
    void cancelClicked();
    // The import itself, started by the import timer once the busy panel shows.
    void runImport();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    const Protocol m_protocol;
    ImportSettings m_settings;
    InputFileList m_files;
    std::unique_ptr<ImportDriver> m_driver;
    Result m_result;

    QString m_folder;
    QStringList m_drives;
    QHash<QString, QString> m_driveFolders; // last folder shown per drive
    View m_view = View::Report;
    bool m_sortAscending = true;
    bool m_busy = false;
    bool m_updatingDrive = false;
    int m_rowCount = 0;
    int m_progress = 0; // error lines so far, then files begun
    int m_selected = 0;

    QWidget* m_body = nullptr;
    QComboBox* m_driveBox = nullptr;
    QLineEdit* m_folderPath = nullptr;
    QPushButton* m_ok = nullptr;
    QListWidget* m_folderList = nullptr;
    QTreeWidget* m_fileList = nullptr;
    // The processing modes 1 to 3.
    std::array<QRadioButton*, 3> m_modeOptions{};
    BusyPanel* m_busyPanel = nullptr;
    QTimer* m_importTimer = nullptr;
};

} // namespace plx
