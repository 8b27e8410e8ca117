#pragma once

#include "EntryFormBuilder.h"

#include "core/LogLabelScope.h"
#include "shipment/EntrySession.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace plx {

class ReportControl;
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
    // Wiring the widgets to the window (EntryWindow.cpp).
    void connectWidgets();
    void pushForm();
    void applyView();
    // Puts the focus where the session says: a box's widget, a button, or a
    // cell of the tag grid.
    void focusPlace(const EntryPlace& place);
    void afterPaging();
    // Shows the session's record anew: every control, and the tag grid from
    // its first row.
    void showRecord();
    // The status line: what the last registration did; cleared by the next action.
    void setStatus(const QString& text);
    bool ask(short message);

    // Opening: the session's first record (or the new-record screen) and the
    // code lists.
    void openForm();
    // The buttons and the help menu.
    void returnClicked();
    void previousPageClicked();
    void nextPageClicked();
    void registerClicked();
    void registerAndIssueClicked();
    void registerShown(bool issue);
    void deleteClicked();
    void correctOrderDataClicked();
    void showHelp();
    void showVersion();

    // The keys and the focus moving between the boxes (EntryKeys.cpp).
    void installKeys();
    void boxFocused(EntryBox box, Qt::FocusReason reason);
    void boxLeft(EntryBox box);
    void comboChosen(EntryBox box);
    // The box a widget stands for (the currency list's line edit stands for
    // the list); nothing for another widget.
    std::optional<EntryBox> boxOf(const QObject* widget) const;

    // Closing: the print run of the documents marked for issue (EntryClosePrint.cpp).
    void printMarkedOnClosing();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    Protocol m_format;
    ReportControl* m_report;
    std::unique_ptr<EntrySession> m_session;
    std::function<void(const QString&)> m_navigate;
    bool m_opened = false;
    // Closed back to the list (the return button, or the last page deleted);
    // closed otherwise, the program ends.
    bool m_backToList = false;
    bool m_closing = false;
    EntryResult m_result;
    EntryWidgets m_widgets;
};

} // namespace plx
