#include "EntryWindow.h"

#include "TagGrid.h"

#include "ui/CenterWindow.h"
#include "ui/auxiliary/VersionWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace plx {

namespace {

using B = EntryBox;

// The status line after a registration: the key and the status written.
QString registeredText(const QString& key, const QString& status)
{
    QString shown;
    switch (statusOf(status)) {
    case RecordStatus::Unprocessed:
        shown = QStringLiteral("未処理");
        break;
    case RecordStatus::Marked:
        shown = QStringLiteral("発行待（印刷指定）");
        break;
    case RecordStatus::Issued:
        shown = QStringLiteral("発行済");
        break;
    default:
        shown = QStringLiteral("発行待");
        break;
    }
    return QStringLiteral("登録しました。 納品ｷｰ番号 %1  状態 %2").arg(key, shown);
}

const QString kModuleEiaj = QStringLiteral("EIAJ出荷入力");
const QString kModuleKorvan = QStringLiteral("KORVAN出荷入力");

} // namespace

EntryWindow::EntryWindow(Environment& env, Protocol format, const EntryOpening& opening, ReportControl* report,
                         QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_format(format), m_report(report),
      m_session(std::make_unique<EntrySession>(env, format, opening))
{
    const bool eiaj = format == Protocol::Eiaj;
    setObjectName(eiaj ? QStringLiteral("EIAJ出荷入力") : QStringLiteral("Korvan出荷入力"));
    setWindowTitle(eiaj ? QStringLiteral("出荷登録（ＥＩＡＪ）") : QStringLiteral("出荷登録（ＫＯＲＶＡＮ）"));
    setModal(true);

    m_widgets = buildEntryWindow(*this, format);
    connectWidgets();
    installKeys();
    openForm();
    // The whole form where the screen has room for it, else as much as it
    // has: the form scrolls.
    fitToScreen(*this);
}

EntryWindow::~EntryWindow() = default;

void EntryWindow::connectWidgets()
{
    connect(m_widgets.exitAction, &QAction::triggered, this, [this] { close(); });
    connect(m_widgets.helpAction, &QAction::triggered, this, [this] { showHelp(); });
    connect(m_widgets.versionAction, &QAction::triggered, this, [this] { showVersion(); });
    for (QLineEdit* edit : std::as_const(m_widgets.texts))
        connect(edit, &QLineEdit::textEdited, this, [this] { setStatus(QString()); });
    for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it) {
        const EntryBox box = it.key();
        connect(it.value(), &QComboBox::activated, this, [this, box] { comboChosen(box); });
        if (it.value()->isEditable())
            connect(it.value()->lineEdit(), &QLineEdit::editingFinished, this, [this, box] { comboChosen(box); });
    }
    const auto clicked = [this](EntryButton button, void (EntryWindow::*handler)()) {
        connect(m_widgets.button(button), &QPushButton::clicked, this, handler);
    };
    clicked(EntryButton::Return, &EntryWindow::returnClicked);
    clicked(EntryButton::PreviousPage, &EntryWindow::previousPageClicked);
    clicked(EntryButton::NextPage, &EntryWindow::nextPageClicked);
    clicked(EntryButton::Register, &EntryWindow::registerClicked);
    clicked(EntryButton::RegisterAndIssue, &EntryWindow::registerAndIssueClicked);
    clicked(EntryButton::Delete, &EntryWindow::deleteClicked);
    clicked(EntryButton::CorrectOrderData, &EntryWindow::correctOrderDataClicked);
}

void EntryWindow::openForm()
{
    const bool eiaj = m_format == Protocol::Eiaj;
    m_logLabels.setModule(eiaj ? kModuleEiaj : kModuleKorvan);
    runTrapped(m_env, eiaj ? QStringLiteral("EIAJﾒｲﾝ/") : QStringLiteral("KORVANﾒｲﾝ/"), [this] {
        m_widgets.grid->setRowTotal(m_session->tagRows());
        m_opened = m_session->open();
        if (!m_opened)
            return;
        // The code lists: names of the class lists with their codes, the
        // currency codes alone.
        for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it) {
            const EntryBoxInfo& box = entryBox(it.key());
            QComboBox* combo = it.value();
            combo->clear();
            for (const CodeEntry& e : m_session->codes().list(m_format, box.kind())) {
                if (box.value == BoxValue::Code)
                    combo->addItem(e.name, e.code);
                else
                    combo->addItem(e.code, e.code);
            }
        }
        showRecord();
        focusPlace(EntryPlace::of(m_session->mode() == EntryMode::New ? B::OrdererCode : B::ShipQty));
    });
}

void EntryWindow::showRecord()
{
    refreshAll();
    m_widgets.grid->toFirstRow();
}

void EntryWindow::setStatus(const QString& text)
{
    m_widgets.status->setText(text);
}

void EntryWindow::pullForm()
{
    EntryForm& f = m_session->form();
    for (auto it = m_widgets.texts.cbegin(); it != m_widgets.texts.cend(); ++it)
        f[it.key()] = it.value()->text();
    for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it) {
        const QComboBox* combo = it.value();
        if (combo->isEditable())
            f[it.key()] = combo->currentText();
        else
            f[it.key()] = combo->currentIndex() >= 0 ? combo->currentData().toString() : QString();
    }
    if (m_widgets.bcOutput)
        f.bcOption = m_widgets.bcOutput->isChecked() ? 1 : m_widgets.bcNoOutput->isChecked() ? 2 : 0;
    f.tags = m_widgets.grid->tagRows();
}

void EntryWindow::pushForm()
{
    const EntryForm& f = m_session->form();
    for (auto it = m_widgets.texts.cbegin(); it != m_widgets.texts.cend(); ++it) {
        if (it.value()->text() != f[it.key()]) {
            it.value()->setText(f[it.key()]);
            // A box shows its text from the start unless the clerk is in it.
            if (!it.value()->hasFocus())
                it.value()->setCursorPosition(0);
        }
    }
    for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it) {
        QComboBox* combo = it.value();
        const QString& value = f[it.key()];
        if (combo->isEditable()) {
            if (combo->currentText() != value)
                combo->setCurrentText(value);
        } else {
            combo->setCurrentIndex(value.isEmpty() ? -1 : combo->findData(value));
        }
    }
    if (QRadioButton* output = m_widgets.bcOutput) {
        // Neither option may be selected: exclusivity off while setting them.
        QRadioButton* noOutput = m_widgets.bcNoOutput;
        output->setAutoExclusive(false);
        noOutput->setAutoExclusive(false);
        output->setChecked(f.bcOption == 1);
        noOutput->setChecked(f.bcOption == 2);
        output->setAutoExclusive(true);
        noOutput->setAutoExclusive(true);
    }
    m_widgets.grid->setTagRows(f.tags);
}

void EntryWindow::refreshAll()
{
    pushForm();
    applyView();
}

void EntryWindow::applyView()
{
    const EntryView& v = m_session->view();
    const EntryMode mode = m_session->mode();
    const bool isNew = mode == EntryMode::New;
    m_widgets.recordLabel->setText(v.kindAndStatus);
    m_widgets.pageLabel->setText(m_session->pageText());
    m_widgets.button(EntryButton::PreviousPage)->setEnabled(m_session->canGoBack());
    m_widgets.button(EntryButton::NextPage)->setEnabled(m_session->canGoForward());
    m_widgets.button(EntryButton::Register)->setEnabled(v.registerEnabled || isNew);
    m_widgets.button(EntryButton::Delete)->setEnabled(!isNew);
    m_widgets.button(EntryButton::CorrectOrderData)->setEnabled(!isNew);

    // Boxes the mode does not let the operator type in show the window's
    // background and take no focus.
    const QColor base = QApplication::palette().color(QPalette::Base);
    const QColor locked = QApplication::palette().color(QPalette::Window);
    for (auto it = m_widgets.texts.cbegin(); it != m_widgets.texts.cend(); ++it) {
        QLineEdit* edit = it.value();
        const bool editable = entryBox(it.key()).enterableIn(mode);
        edit->setReadOnly(!editable);
        edit->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, editable ? base : locked);
        edit->setPalette(p);
    }
    for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it)
        it.value()->setEnabled(entryBox(it.key()).enterableIn(mode));
    if (m_widgets.bcOutput) {
        const bool enabled = entryBox(B::BcOutputClass).enterableIn(mode);
        m_widgets.bcOutput->setEnabled(enabled);
        m_widgets.bcNoOutput->setEnabled(enabled);
    }
    for (QLabel* label : std::as_const(m_widgets.kanjiLabels))
        label->setVisible(v.kanjiLabels);
    m_widgets.grid->setEnabled(v.gridEnabled);
}

void EntryWindow::focusPlace(const EntryPlace& place)
{
    QWidget* w = nullptr;
    if (place.button) {
        w = m_widgets.button(*place.button);
    } else if (place.box) {
        switch (entryBox(*place.box).widget) {
        case EntryWidget::Grid:
            m_widgets.grid->focusCell(std::max(place.row, 0), place.column);
            return;
        case EntryWidget::Options:
            w = m_widgets.bcOutput;
            break;
        case EntryWidget::List:
            w = m_widgets.combos.value(*place.box);
            break;
        case EntryWidget::Line:
            w = m_widgets.texts.value(*place.box);
            break;
        }
    }
    if (w && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

bool EntryWindow::ask(short message)
{
    return ShowMessage(m_env, message) == kAnswerYes;
}

void EntryWindow::afterPaging()
{
    setStatus(QString());
    showRecord();
    if (m_session->takeCompanyNotice()) {
        ShowMessage(m_env, 2);
        m_widgets.button(EntryButton::Return)->setFocus(Qt::OtherFocusReason);
    } else {
        focusPlace(EntryPlace::of(B::ShipQty));
    }
}

void EntryWindow::returnClicked()
{
    m_logLabels.setOperation(QStringLiteral("戻りﾎﾞﾀﾝ"));
    m_backToList = true;
    close();
}

void EntryWindow::previousPageClicked()
{
    m_logLabels.setOperation(QStringLiteral("前頁ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("前頁ﾎﾞﾀﾝﾒｲﾝ"), [this] {
        m_session->previousPage();
        afterPaging();
    });
}

void EntryWindow::nextPageClicked()
{
    m_logLabels.setOperation(QStringLiteral("次頁ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("次頁ﾎﾞﾀﾝﾒｲﾝ/"), [this] {
        m_session->nextPage();
        afterPaging();
    });
}

void EntryWindow::registerClicked()
{
    m_logLabels.setOperation(QStringLiteral("登録ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("登録ﾎﾞﾀﾝﾒｲﾝ/"), [this] { registerShown(false); });
}

void EntryWindow::registerAndIssueClicked()
{
    m_logLabels.setOperation(QStringLiteral("登録発行ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("登録発行ﾎﾞﾀﾝﾒｲﾝ/"), [this] { registerShown(true); });
}

void EntryWindow::registerShown(bool issue)
{
    setStatus(QString());
    pullForm();
    const QString key = m_session->form()[B::DeliveryKeyNo].trimmed();
    const EntryOutcome outcome = m_session->registerShown(issue, [this](short n) { return ask(n); });
    if (outcome.written) {
        showRecord();
        setStatus(registeredText(key, m_session->lastWrittenStatus()));
    } else {
        refreshAll();
    }
    if (outcome.message)
        ShowMessage(m_env, outcome.message, outcome.lead);
    else if (!outcome.text.isEmpty())
        m_env.dialogs->show(MessageIcon::Exclamation, outcome.text, MessageButtons::Ok, DefaultButton::First);
    focusPlace(outcome.focus);
}

void EntryWindow::deleteClicked()
{
    m_logLabels.setOperation(QStringLiteral("削除ﾎﾞﾀﾝ"));
    runTrapped(m_env, QStringLiteral("削除ﾎﾞﾀﾝﾒｲﾝ/"), [this] {
        if (ShowMessage(m_env, 6) == kAnswerNo)
            return;
        setStatus(QString());
        const EntryOutcome outcome = m_session->deleteShown();
        if (outcome.closeWindow) {
            m_backToList = true;
            close();
            return;
        }
        showRecord();
        if (outcome.message)
            ShowMessage(m_env, outcome.message);
        focusPlace(outcome.focus);
    });
}

void EntryWindow::correctOrderDataClicked()
{
    setStatus(QString());
    runTrapped(m_env, QString(), [this] {
        pullForm();
        m_session->startCorrection();
        refreshAll();
        focusPlace(EntryPlace::of(B::ItemCode));
    });
}

void EntryWindow::showHelp()
{
    m_logLabels.setOperation(QStringLiteral("Helpﾒﾆｭｰ"));
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath) || !m_navigate) {
            ShowMessage(m_env, 30);
            return;
        }
        m_navigate(m_env.paths.helpPagePath);
    });
}

void EntryWindow::showVersion()
{
    VersionWindow::showOver(m_env, this);
}

} // namespace plx
