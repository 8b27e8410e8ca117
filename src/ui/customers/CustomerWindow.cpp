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
    Form_Load();
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
    connect(m_ui.mnuNew, &QAction::triggered, this, [this] { MnuCustNew_Click(); });
    connect(m_ui.mnuRmk, &QAction::triggered, this, [this] { MnuCustRmk_Click(); });
    connect(m_ui.mnuDel, &QAction::triggered, this, [this] { MnuCustDel_Click(); });
    connect(m_ui.mnuCls, &QAction::triggered, this, [this] { close(); });
    connect(m_ui.mnuMaru, &QAction::triggered, this, [this] { MnuMaru_Click(); });
    connect(m_ui.mnuVer, &QAction::triggered, this, [this] { MnuVer_Click(); });

    connect(m_ui.option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Eiaj);
    });
    connect(m_ui.option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Korvan);
    });
    connect(m_ui.grid, &QTableWidget::currentCellChanged, this, [this](int current, int, int previous, int) {
        if (!m_updating && current >= 0 && current != previous)
            CustGrid_RowChange(current);
    });

    // Every box trims and selects its text when entered (see eventFilter), and
    // takes no more than its field holds in bytes.
    for (int n = 1; n <= 9; ++n) {
        m_ui.text[n]->installEventFilter(this);
        ByteLimit::limit(*m_ui.text[n], [this, control = QStringLiteral("Text%1").arg(n)](QStringView text) {
            return m_session->fits(control, text);
        });
    }
    connect(m_ui.command3, &QPushButton::clicked, this, [this] { browseFormFile(m_ui.text[5]); });
    connect(m_ui.command4, &QPushButton::clicked, this, [this] { browseFormFile(m_ui.text[6]); });
    connect(m_ui.command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_ui.command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    // Enter in a box goes on to the next one and is ＯＫ on the last; the
    // digit boxes ignore Enter (see eventFilter). Ctrl+Enter is ＯＫ from
    // anywhere. Both press the button, so the box being left runs its rules
    // first; while browsing ＯＫ is off and they do nothing.
    for (int n = 1; n <= 9; ++n) {
        QLineEdit* edit = m_ui.text[n];
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { enterPressed(edit); });
    }
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Return),
                                     QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] { clickByKey(*m_ui.command1); });
    }
}

void CustomerWindow::enterPressed(QLineEdit* edit)
{
    if (!m_session->editing() || m_closing)
        return;
    // The boxes in the window's tab order.
    QList<QLineEdit*> boxes;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (auto* box = qobject_cast<QLineEdit*>(w);
            box && std::find(m_ui.text.begin(), m_ui.text.end(), box) != m_ui.text.end())
            boxes.append(box);
    }
    for (qsizetype at = boxes.indexOf(edit) + 1; at > 0 && at < boxes.size(); ++at) {
        if (boxes[at]->isEnabled() && boxes[at]->isVisible()) {
            boxes[at]->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    clickByKey(*m_ui.command1);
}

// --- Between the boxes and the session ---------------------------------------

void CustomerWindow::pullForm()
{
    CustomerForm& f = m_session->form();
    f.ordererCode = m_ui.text[1]->text();
    f.ordererName = m_ui.text[2]->text();
    f.supplierCode = m_ui.text[3]->text();
    f.supplierName = m_ui.text[4]->text();
    f.slipFormFile = m_ui.text[5]->text();
    f.tagFormFile = m_ui.text[6]->text();
    f.slipDigits = m_ui.text[7]->text();
    f.tagDigits = m_ui.text[8]->text();
    f.comment = m_ui.text[9]->text();
    f.outputKind = checkedValue(*m_ui.outputKind);
    f.kanjiUse = checkedValue(*m_ui.kanjiUse);
    f.amountRounding = checkedValue(*m_ui.amountRounding);
    f.taxRounding = checkedValue(*m_ui.taxRounding);
    const auto code = [](const QComboBox* combo) {
        return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
    };
    f.consumptionTaxKind = code(m_ui.combo[0]);
    f.taxationKind = code(m_ui.combo[1]);
    f.priceDisplayKind = code(m_ui.combo[2]);
}

void CustomerWindow::pushForm()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerForm& f = m_session->form();
    const QString* texts[10] = {nullptr,         &f.ordererCode, &f.ordererName, &f.supplierCode, &f.supplierName,
                                &f.slipFormFile, &f.tagFormFile, &f.slipDigits,  &f.tagDigits,    &f.comment};
    // Each text from its start, not scrolled to its end.
    for (int n = 1; n <= 9; ++n) {
        m_ui.text[n]->setText(*texts[n]);
        m_ui.text[n]->setCursorPosition(0);
    }
    checkValue(*m_ui.outputKind, f.outputKind);
    checkValue(*m_ui.kanjiUse, f.kanjiUse);
    checkValue(*m_ui.amountRounding, f.amountRounding);
    checkValue(*m_ui.taxRounding, f.taxRounding);
    const QString* codes[3] = {&f.consumptionTaxKind, &f.taxationKind, &f.priceDisplayKind};
    for (int i = 0; i < 3; ++i)
        m_ui.combo[i]->setCurrentIndex(codes[i]->isEmpty() ? -1 : m_ui.combo[i]->findData(*codes[i]));
    m_updating = updating;
}

void CustomerWindow::pushRows()
{
    const bool updating = std::exchange(m_updating, true);
    const QList<CustomerRow>& rows = m_session->rows();
    m_ui.grid->clearContents();
    m_ui.grid->setRowCount(int(rows.size()));
    for (int k = 0; k < rows.size(); ++k) {
        auto* number = new QTableWidgetItem(QString::number(k + 1));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_ui.grid->setItem(k, 0, number);
        m_ui.grid->setItem(k, 1, new QTableWidgetItem(rows[k].name));
    }
    const int selected = m_session->selectedRow();
    if (selected >= 0) {
        m_ui.grid->setCurrentCell(selected, 0);
        m_ui.grid->selectRow(selected);
    } else {
        m_ui.grid->setCurrentCell(-1, -1);
    }
    m_updating = updating;
}

void CustomerWindow::applyView()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerSession& s = *m_session;
    const bool editing = s.editing();
    m_ui.option1->setChecked(s.protocol() == Protocol::Eiaj);
    m_ui.option2->setChecked(s.protocol() == Protocol::Korvan);
    m_ui.option1->setEnabled(s.protocolChoosable(Protocol::Eiaj));
    m_ui.option2->setEnabled(s.protocolChoosable(Protocol::Korvan));
    m_ui.grid->setEnabled(!editing);
    m_ui.label3->setText(modeCaption(s.mode()));

    m_ui.companyFrame->setEnabled(editing);
    m_ui.text[1]->setEnabled(s.codesEditable());
    m_ui.text[3]->setEnabled(s.codesEditable());
    m_ui.documentFrame->setEnabled(editing);
    m_ui.eiajFrame->setEnabled(editing && s.eiajSettingsEnabled());
    m_ui.command1->setEnabled(editing);
    m_ui.command2->setEnabled(editing);

    m_ui.mnuNew->setEnabled(s.newOffered());
    m_ui.mnuRmk->setEnabled(s.changeOrDeleteOffered());
    m_ui.mnuDel->setEnabled(s.changeOrDeleteOffered());
    m_updating = updating;
}

void CustomerWindow::showOutcome(const CustomerOutcome& outcome)
{
    if (outcome.message)
        ShowMessage(m_env, outcome.message);
    else if (!outcome.text.isEmpty())
        m_env.dialogs->show(MessageIcon::Exclamation, outcome.text, MessageButtons::Ok, DefaultButton::First);
    if (!outcome.focus.isEmpty())
        focusControl(outcome.focus);
}

void CustomerWindow::focusControl(const QString& name)
{
    if (auto* w = findChild<QWidget*>(name); w && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

// --- Handlers -------------------------------------------------------------------

void CustomerWindow::Form_Load()
{
    m_env.logModule = kModule;
    bool codes = false;
    const bool loaded = runTrapped(m_env, QStringLiteral("初期処理/"), [&] {
        codes = m_session->open();
        for (int i = 0; i < 3; ++i) {
            for (const CodeEntry& e : m_session->codeList(kCustomerCodeKinds[i]))
                m_ui.combo[i]->addItem(e.name, e.code);
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
    m_ui.grid->setFocus(Qt::OtherFocusReason);
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

void CustomerWindow::CustGrid_RowChange(int row)
{
    runTrapped(m_env, QStringLiteral("発注企業表示1/"), [&] {
        m_session->selectRow(row);
        pushForm();
    });
}

void CustomerWindow::MnuCustNew_Click()
{
    runTrapped(m_env, QStringLiteral("新規ﾒﾆｭｰ/"), [this] {
        m_session->startNew();
        applyView();
        pushForm();
        focusControl(m_session->editFocus());
    });
}

void CustomerWindow::MnuCustRmk_Click()
{
    runTrapped(m_env, QStringLiteral("変更ﾒﾆｭｰ/"), [this] {
        if (const short refused = m_session->startChange()) {
            ShowMessage(m_env, refused);
            return;
        }
        applyView();
        focusControl(m_session->editFocus());
    });
}

void CustomerWindow::MnuCustDel_Click()
{
    bool asking = false;
    runTrapped(m_env, QStringLiteral("削除ﾒﾆｭｰ/"), [&] {
        if (const short refused = m_session->startDelete()) {
            ShowMessage(m_env, refused);
            return;
        }
        applyView();
        m_ui.grid->setFocus(Qt::OtherFocusReason);
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

void CustomerWindow::Command1_Click()
{
    runTrapped(m_env, QStringLiteral("ﾌｧｲﾙ更新OK/"), [this] {
        pullForm();
        const CustomerOutcome outcome = m_session->ok();
        if (outcome.written) {
            pushRows();
            applyView();
            pushForm();
        }
        showOutcome(outcome);
    });
}

void CustomerWindow::Command2_Click()
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
        m_env.logModule = kModule;
        if (!chosen.trimmed().isEmpty())
            target->setText(chosen);
        target->setFocus(Qt::OtherFocusReason);
    });
}

void CustomerWindow::MnuMaru_Click()
{
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath) || !m_navigate) {
            ShowMessage(m_env, 30);
            return;
        }
        m_navigate(m_env.paths.helpPagePath);
    });
}

void CustomerWindow::MnuVer_Click()
{
    VersionWindow::showOver(m_env, this);
}

void CustomerWindow::Form_Unload()
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
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (edit == m_ui.text[7] || edit == m_ui.text[8]))
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
        Form_Unload();
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
        clickByKey(*m_ui.command2);
}

} // namespace plx
