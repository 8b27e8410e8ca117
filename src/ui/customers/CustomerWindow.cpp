// Wires the ordering-company window's controls to its CustomerSession: each
// handler copies the boxes into the session's form, runs the session's
// operation, and shows the form, the list and what is switched on again,
// with the session's messages and focus.
#include "CustomerWindow.h"

#include "ui/ButtonGroupChoice.h"
#include "ui/ByteLimit.h"
#include "ui/CenterWindow.h"
#include "ui/KeyClicks.h"
#include "ui/auxiliary/VersionWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include "customers/CompanyFields.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace plx {

namespace {

const QString kModule = QStringLiteral("発注企業情報");

// The typed fields, in the order of their boxes.
QList<CustField> typedFields()
{
    QList<CustField> fields;
    for (const CompanyField& row : companyFields()) {
        if (row.input == CompanyInput::Text)
            fields.append(row.field);
    }
    return fields;
}

} // namespace

CustomerWindow::CustomerWindow(Environment& env, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_session(std::make_unique<CustomerSession>(env)),
      m_browse([](QWidget*) { return QString(); })
{
    setObjectName(kModule);
    setWindowTitle(kModule);
    setModal(true);

    m_ui.build(*this);
    connectControls();
    load();
}

CustomerWindow::~CustomerWindow() = default;

bool CustomerWindow::changed() const
{
    return m_session->changed();
}

void CustomerWindow::setFormFileBrowser(std::function<QString(QWidget*)> browse)
{
    if (browse)
        m_browse = std::move(browse);
    else
        m_browse = [](QWidget*) { return QString(); };
}

void CustomerWindow::connectControls()
{
    connect(m_ui.newAction, &QAction::triggered, this, [this] { newCompany(); });
    connect(m_ui.changeAction, &QAction::triggered, this, [this] { changeCompany(); });
    connect(m_ui.deleteAction, &QAction::triggered, this, [this] { deleteCompany(); });
    connect(m_ui.closeAction, &QAction::triggered, this, [this] { close(); });
    connect(m_ui.helpAction, &QAction::triggered, this, [this] { showHelp(); });
    connect(m_ui.versionAction, &QAction::triggered, this, [this] { showVersion(); });

    connect(m_ui.eiajOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Eiaj);
    });
    connect(m_ui.korvanOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Korvan);
    });
    connect(m_ui.companyList, &QTableWidget::currentCellChanged, this, [this](int current, int, int previous, int) {
        if (!m_updating && current >= 0 && current != previous)
            companySelected(current);
    });

    // Every box trims and selects its text when entered (see eventFilter), and
    // takes no more than its field holds in bytes.
    const QList<CustField> typed = typedFields();
    for (CustField field : typed) {
        m_ui.box(field)->installEventFilter(this);
        ByteLimit::limit(*m_ui.box(field), [this, field](QStringView text) { return m_session->fits(field, text); });
    }
    connect(m_ui.browseSlipForm, &QPushButton::clicked, this,
            [this] { browseFormFile(m_ui.box(CustField::SlipFormFile)); });
    connect(m_ui.browseTagForm, &QPushButton::clicked, this,
            [this] { browseFormFile(m_ui.box(CustField::TagFormFile)); });
    connect(m_ui.okButton, &QPushButton::clicked, this, [this] { saveClicked(); });
    connect(m_ui.cancelButton, &QPushButton::clicked, this, [this] { cancelClicked(); });

    // Enter in a box goes on to the next one and is ＯＫ on the last; the
    // digit boxes ignore Enter (see eventFilter). Ctrl+Enter is ＯＫ from
    // anywhere. Both press the button, so the box being left runs its rules
    // first; while browsing ＯＫ is off and they do nothing.
    for (CustField field : typed) {
        QLineEdit* edit = m_ui.box(field);
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { enterPressed(edit); });
    }
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Return),
                                     QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] { clickByKey(*m_ui.okButton); });
    }
}

std::optional<CustField> CustomerWindow::fieldOfBox(const QObject* object) const
{
    for (CustField field : typedFields()) {
        if (m_ui.box(field) == object)
            return field;
    }
    return std::nullopt;
}

void CustomerWindow::enterPressed(QLineEdit* edit)
{
    if (!m_session->editing() || m_closing)
        return;
    // The boxes in the window's tab order.
    QList<QLineEdit*> boxes;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (auto* box = qobject_cast<QLineEdit*>(w); box && fieldOfBox(box))
            boxes.append(box);
    }
    for (qsizetype at = boxes.indexOf(edit) + 1; at > 0 && at < boxes.size(); ++at) {
        if (boxes[at]->isEnabled() && boxes[at]->isVisible()) {
            boxes[at]->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    clickByKey(*m_ui.okButton);
}

// --- Between the boxes and the session ---------------------------------------

void CustomerWindow::pullForm()
{
    CustomerForm& f = m_session->form();
    for (const CompanyField& row : companyFields()) {
        QString& value = f[row.field];
        switch (row.input) {
        case CompanyInput::Text:
            value = m_ui.box(row.field)->text();
            break;
        case CompanyInput::Choice:
            value = checkedValue(*m_ui.choice(row.field));
            break;
        case CompanyInput::Code: {
            const QComboBox* list = m_ui.codeList(row.field);
            value = list->currentIndex() < 0 ? QString() : list->currentData().toString();
            break;
        }
        }
    }
}

void CustomerWindow::pushForm()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerForm& f = m_session->form();
    // The boxes first, then the choices, then the code lists.
    for (CompanyInput input : {CompanyInput::Text, CompanyInput::Choice, CompanyInput::Code}) {
        for (const CompanyField& row : companyFields()) {
            if (row.input != input)
                continue;
            const QString& value = f[row.field];
            if (input == CompanyInput::Text) {
                // Each text from its start, not scrolled to its end.
                m_ui.box(row.field)->setText(value);
                m_ui.box(row.field)->setCursorPosition(0);
            } else if (input == CompanyInput::Choice) {
                checkValue(*m_ui.choice(row.field), value);
            } else {
                QComboBox* list = m_ui.codeList(row.field);
                list->setCurrentIndex(value.isEmpty() ? -1 : list->findData(value));
            }
        }
    }
    m_updating = updating;
}

void CustomerWindow::pushRows()
{
    const bool updating = std::exchange(m_updating, true);
    const QList<CustomerRow>& rows = m_session->rows();
    m_ui.companyList->clearContents();
    m_ui.companyList->setRowCount(int(rows.size()));
    for (int k = 0; k < rows.size(); ++k) {
        auto* number = new QTableWidgetItem(QString::number(k + 1));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_ui.companyList->setItem(k, 0, number);
        m_ui.companyList->setItem(k, 1, new QTableWidgetItem(rows[k].name));
    }
    const int selected = m_session->selectedRow();
    if (selected >= 0) {
        m_ui.companyList->setCurrentCell(selected, 0);
        m_ui.companyList->selectRow(selected);
    } else {
        m_ui.companyList->setCurrentCell(-1, -1);
    }
    m_updating = updating;
}

void CustomerWindow::applyView()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerSession& s = *m_session;
    const bool editing = s.editing();
    m_ui.eiajOption->setChecked(s.protocol() == Protocol::Eiaj);
    m_ui.korvanOption->setChecked(s.protocol() == Protocol::Korvan);
    m_ui.eiajOption->setEnabled(s.protocolChoosable(Protocol::Eiaj));
    m_ui.korvanOption->setEnabled(s.protocolChoosable(Protocol::Korvan));
    m_ui.companyList->setEnabled(!editing);
    m_ui.modeLabel->setText(modeCaption(s.mode()));

    m_ui.companyFrame->setEnabled(editing);
    for (const CompanyField& row : companyFields()) {
        if (row.key)
            m_ui.box(row.field)->setEnabled(s.codesEditable());
    }
    m_ui.documentFrame->setEnabled(editing);
    m_ui.eiajFrame->setEnabled(editing && s.eiajSettingsEnabled());
    m_ui.okButton->setEnabled(editing);
    m_ui.cancelButton->setEnabled(editing);

    m_ui.newAction->setEnabled(s.newOffered());
    m_ui.changeAction->setEnabled(s.changeOrDeleteOffered());
    m_ui.deleteAction->setEnabled(s.changeOrDeleteOffered());
    m_updating = updating;
}

void CustomerWindow::showOutcome(const CustomerOutcome& outcome)
{
    if (outcome.message)
        ShowMessage(m_env, outcome.message);
    else if (!outcome.text.isEmpty())
        m_env.dialogs->show(MessageIcon::Exclamation, outcome.text, MessageButtons::Ok, DefaultButton::First);
    moveFocus(outcome.focus);
}

void CustomerWindow::moveFocus(const CustomerFocus& focus)
{
    QWidget* target = nullptr;
    if (focus.place == CustomerFocus::Place::CompanyList)
        target = m_ui.companyList;
    else if (focus.place == CustomerFocus::Place::Field && focus.field == CustField::Protocol)
        target = m_session->protocol() == Protocol::Eiaj ? m_ui.eiajOption : m_ui.korvanOption;
    else if (const CompanyField* row = focus.fieldTaken() ? findCompanyField(focus.field) : nullptr)
        target = m_ui.focusTarget(*row);
    if (target && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

// --- Handlers -------------------------------------------------------------------

void CustomerWindow::load()
{
    m_logLabels.setModule(kModule);
    bool codes = false;
    const bool loaded = runTrapped(m_env, QStringLiteral("初期処理/"), [&] {
        codes = m_session->open();
        for (const CompanyField& row : companyFields()) {
            if (row.input != CompanyInput::Code)
                continue;
            for (const CodeEntry& e : m_session->codeList(row.codeKind))
                m_ui.codeList(row.field)->addItem(e.name, e.code);
        }
    });
    if (!loaded)
        return; // refused (the file held elsewhere): shown already
    if (!codes) {
        ShowMessage(m_env, 3);
        return;
    }
    m_opened = true;
    runTrapped(m_env, QStringLiteral("画面初期表示/"), [this] {
        pushRows();
        applyView();
        pushForm();
    });
    // The arrow keys move through the companies from the start.
    m_ui.companyList->setFocus(Qt::OtherFocusReason);
}

void CustomerWindow::protocolChosen(Protocol protocol)
{
    runTrapped(m_env, QStringLiteral("ｵﾌﾟｼｮﾝ切替え/"), [&] {
        m_session->setProtocol(protocol);
        pushRows();
        applyView();
        pushForm();
    });
}

void CustomerWindow::companySelected(int row)
{
    runTrapped(m_env, QStringLiteral("発注企業表示1/"), [&] {
        m_session->selectRow(row);
        pushForm();
    });
}

void CustomerWindow::newCompany()
{
    runTrapped(m_env, QStringLiteral("新規ﾒﾆｭｰ/"), [this] {
        m_session->startNew();
        applyView();
        pushForm();
        moveFocus(CustomerFocus::on(m_session->editFocus()));
    });
}

void CustomerWindow::changeCompany()
{
    runTrapped(m_env, QStringLiteral("変更ﾒﾆｭｰ/"), [this] {
        if (const CustomerOutcome started = m_session->startChange(); started.refused()) {
            showOutcome(started);
            return;
        }
        applyView();
        moveFocus(CustomerFocus::on(m_session->editFocus()));
    });
}

void CustomerWindow::deleteCompany()
{
    bool asking = false;
    runTrapped(m_env, QStringLiteral("削除ﾒﾆｭｰ/"), [&] {
        if (const CustomerOutcome started = m_session->startDelete(); started.refused()) {
            showOutcome(started);
            return;
        }
        applyView();
        m_ui.companyList->setFocus(Qt::OtherFocusReason);
        asking = true;
    });
    if (!asking)
        return;
    const bool done = runTrapped(m_env, QStringLiteral("更新確認/"), [this] {
        const CustomerOutcome outcome =
            m_session->confirmDelete(ShowMessage(m_env, 503, m_session->deletionLead()) == kAnswerYes);
        pushRows();
        applyView();
        pushForm();
        showOutcome(outcome);
    });
    if (!done) {
        // Refused on the way (the file held by another program): browse again.
        m_session->cancel();
        applyView();
        pushForm();
    }
}

void CustomerWindow::saveClicked()
{
    runTrapped(m_env, QStringLiteral("ﾌｧｲﾙ更新OK/"), [this] {
        pullForm();
        const CustomerOutcome outcome = m_session->save();
        if (outcome.written) {
            pushRows();
            applyView();
            pushForm();
        }
        showOutcome(outcome);
    });
}

void CustomerWindow::cancelClicked()
{
    runTrapped(m_env, QStringLiteral("ﾌｧｲﾙ更新NG/"), [this] {
        const CustomerOutcome outcome = m_session->cancel();
        applyView();
        pushForm();
        showOutcome(outcome);
    });
}

void CustomerWindow::browseFormFile(QLineEdit* target)
{
    runTrapped(m_env, QStringLiteral("画面切替え/"), [&] {
        const QString chosen = m_browse(this);
        m_logLabels.setModule(kModule);
        if (!chosen.trimmed().isEmpty())
            target->setText(chosen);
        target->setFocus(Qt::OtherFocusReason);
    });
}

void CustomerWindow::showHelp()
{
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath) || !m_navigate) {
            ShowMessage(m_env, 30);
            return;
        }
        m_navigate(m_env.paths.helpPagePath);
    });
}

void CustomerWindow::showVersion()
{
    VersionWindow::showOver(m_env, this);
}

void CustomerWindow::compactOnClose()
{
    // The company file without its deleted records.
    runTrapped(m_env, QStringLiteral("更新/"), [this] { m_session->close(); });
}

bool CustomerWindow::eventFilter(QObject* object, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (!edit || m_closing)
        return QDialog::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The digit counts ignore Enter.
        const std::optional<CustField> field = fieldOfBox(edit);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && field &&
            companyField(*field).text == CompanyText::Digits)
            return true;
    } else if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            const QString trimmed = edit->text().trimmed();
            if (trimmed != edit->text())
                edit->setText(trimmed);
            edit->selectAll();
            // A click places the cursor after the focus arrives.
            if (reason == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(object, event);
}

void CustomerWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        compactOnClose();
    }
    QDialog::closeEvent(event);
}

void CustomerWindow::reject()
{
    // Esc does not leave the window (closing it goes through closeEvent);
    // while a company is being added or changed it is ｷｬﾝｾﾙ.
    if (m_closing)
        QDialog::reject();
    else if (m_session->editing())
        clickByKey(*m_ui.cancelButton);
}

} // namespace plx
