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
    // Replaces the drives offered in Drive1 (the mounted volume roots by default).
    void setDriveRoots(const QStringList& roots);
    // Whether an import is under way (the busy panel is up).
    bool isBusy() const { return m_busy; }

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
    void Form_Load();
    // Shows `folder` in the drive and folder lists and, unless told not to, lists its files.
    void setFolder(const QString& folder, bool listFiles = true);
    void fillFolders();
    // Goes to the folder typed in the path field, or says it cannot.
    void goToTypedFolder();
    void fillDrives();
    void ListInputFiles();
    void sortBy(int column);
    void showBusy(bool shown);
    int selectedMode() const;

    void Drive1_Change();
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer1_Timer();

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
    QComboBox* m_drive1 = nullptr;
    QLineEdit* m_folderPath = nullptr;
    QPushButton* m_ok = nullptr;
    QListWidget* m_dir1 = nullptr;
    QTreeWidget* m_listView1 = nullptr;
    std::array<QRadioButton*, 3> m_options{};
    BusyPanel* m_picture1 = nullptr;
    QTimer* m_timer1 = nullptr;
};

} // namespace plx
