#pragma once

#include "CustomerWidgets.h"

#include "core/LogLabelScope.h"

#include "customers/CustomerSession.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;

namespace plx {

struct Environment;

// 発注企業情報: the ordering-company window, a view over a CustomerSession.
// The left side lists the companies of one protocol; the right side shows the
// selected one and, in the new and change modes, edits it. CustomerWidgets
// builds the controls; the window connects them to the session. Before every
// operation of the session the window copies the boxes into the session's
// form, and afterwards shows the form and the state of the session again.
class CustomerWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerWindow(Environment& env, QWidget* parent = nullptr);
    ~CustomerWindow() override;

    // False when the window could not open (an empty code table, message 3).
    bool opened() const { return m_opened; }
    // Whether the company file was written while the window was open.
    bool changed() const;
    CustomerSession& session() { return *m_session; }

    // How 参照 chooses a layout file: returns the chosen name, empty when the
    // operator chose none. Without one, 参照 chooses nothing.
    void setFormFileBrowser(std::function<QString(QWidget*)> browse);
    // How the help menu shows the help page (the list window's viewer).
    void setHelpNavigator(std::function<void(const QString&)> navigate) { m_navigate = std::move(navigate); }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void connectControls();

    // Boxes -> form, form -> boxes, the session's state -> what is switched on.
    void pullForm();
    void pushForm();
    void pushRows();
    void applyView();
    void showOutcome(const CustomerOutcome& outcome);
    // The focus on the widget of the session's focus, when it is enabled.
    void moveFocus(const CustomerFocus& focus);
    // Enter in text box `edit` while editing: the next enabled box in the tab
    // order, or ＯＫ on the last one.
    void enterPressed(QLineEdit* edit);
    // The typed field whose box `object` is.
    std::optional<CustField> fieldOfBox(const QObject* object) const;

    // Opening: the session, the code lists, the list of companies.
    void load();
    // Closing: the company file compacted.
    void compactOnClose();
    void protocolChosen(Protocol protocol);
    void companySelected(int row);
    void newCompany();
    void changeCompany();
    void deleteCompany();
    void saveClicked();
    void cancelClicked();
    void browseFormFile(QLineEdit* target);
    void showHelp();
    void showVersion();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    std::unique_ptr<CustomerSession> m_session;
    std::function<QString(QWidget*)> m_browse;
    std::function<void(const QString&)> m_navigate;
    bool m_opened = false;
    bool m_closing = false;
    bool m_updating = false; // the window itself is filling the controls

    CustomerWidgets m_ui;
};

} // namespace plx
