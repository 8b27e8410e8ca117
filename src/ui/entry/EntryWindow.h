#pragma once

#include "core/LogLabelScope.h"

#include "shipment/EntrySession.h"

#include <QDialog>
#include <QMap>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QGridLayout;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace plx {

class ReportControl;
class TagGrid;
struct Environment;

// What an entry window tells the list window when it has closed.
struct EntryResult
{
    bool changed = false;    // records were written or documents issued: reload the list
    bool endProgram = false; // closed other than by the return button: the program ends
};

// EIAJ出荷入力 / Korvan出荷入力: the shipment-entry window of one format, a view
// over an EntrySession. The boxes mirror the session's form: before every
// operation of the session the window writes what the operator typed into the
// form, and afterwards shows the form and the view again. Closing it prints
// the documents marked for issue.
class EntryWindow : public QDialog
{
    Q_OBJECT
public:
    // `report` may be null: nothing is printed on closing then.
    EntryWindow(Environment& env, Protocol format, const EntryOpening& opening, ReportControl* report,
                QWidget* parent = nullptr);
    ~EntryWindow() override;

    // False when the window could not show anything (an empty code table).
    bool opened() const { return m_opened; }
    const EntryResult& entryResult() const { return m_result; }
    EntrySession& session() { return *m_session; }
    // How the help menu shows the help page (the list window's viewer).
    void setHelpNavigator(std::function<void(const QString&)> navigate) { m_navigate = std::move(navigate); }

    // Copies the boxes into the session's form, and the form and view back.
    void pullForm();
    void refreshAll();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void buildMenus(QVBoxLayout* layout);
    void buildForm(QVBoxLayout* layout);
    void buildButtons(QVBoxLayout* layout);
    QLineEdit* addText(QGridLayout* grid, int n, int row, int column, int width = 1);
    void setTabOrderOfForm();
    void pushForm();
    void applyView();
    void focusTarget(const FocusTarget& target);
    void afterPaging();
    // Shows the session's record anew: every control, and the tag grid from
    // its first row.
    void showRecord();
    // The status line: what the last registration did; cleared by the next action.
    void setStatus(const QString& text);
    bool ask(short message);

    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void registerShown(bool issue);
    void Command6_Click();
    void Command7_Click();
    void MnuMaru_Click();
    void MnuVer_Click();
    void boxFocused(const QString& name, Qt::FocusReason reason);
    void boxLeft(const QString& name);
    void comboChosen(int n);

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    Protocol m_format;
    ReportControl* m_report;
    std::unique_ptr<EntrySession> m_session;
    std::function<void(const QString&)> m_navigate;
    bool m_opened = false;
    bool m_returnFlag = false;
    bool m_closing = false;
    EntryResult m_result;

    QMap<int, QLineEdit*> m_texts;
    std::array<QComboBox*, 6> m_combos{};
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    TagGrid* m_grid = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QList<QLabel*> m_kanjiLabels;
    QLabel* m_status = nullptr;
    // The form's controls in the order the form shows them.
    QStringList m_formOrder;
    std::array<QPushButton*, 8> m_command{};
    QGroupBox* m_frame3 = nullptr;
};

} // namespace plx
