// The entry window's keys and focus: Enter, PageUp and PageDown, and what
// the session does as the focus enters and leaves a box.

#include "EntryWindow.h"

#include "ui/KeyClicks.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace plx {

namespace {

// The labels the lost-focus handlers report a run-time failure with.
QString leaveLabel(EntryBox box)
{
    const char16_t* operation = entryBox(box).leaveOperation;
    return operation ? QString::fromUtf16(operation) : QString();
}

} // namespace

void EntryWindow::installKeys()
{
    for (QLineEdit* edit : std::as_const(m_widgets.texts))
        edit->installEventFilter(this);
    for (QComboBox* combo : std::as_const(m_widgets.combos)) {
        combo->installEventFilter(this);
        if (combo->isEditable())
            combo->lineEdit()->installEventFilter(this);
    }
    for (QPushButton* button : m_widgets.buttons)
        button->installEventFilter(this);
    // PageUp / PageDown page as 前頁 / 次頁 do, from any box of the window.
    const auto pageKey = [this](QKeySequence key, EntryButton button) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, button] { clickByKey(*m_widgets.button(button)); });
    };
    pageKey(QKeySequence(Qt::Key_PageUp), EntryButton::PreviousPage);
    pageKey(QKeySequence(Qt::Key_PageDown), EntryButton::NextPage);
}

std::optional<EntryBox> EntryWindow::boxOf(const QObject* widget) const
{
    for (auto it = m_widgets.texts.cbegin(); it != m_widgets.texts.cend(); ++it) {
        if (it.value() == widget)
            return it.key();
    }
    for (auto it = m_widgets.combos.cbegin(); it != m_widgets.combos.cend(); ++it) {
        if (it.value() == widget || (it.value()->isEditable() && it.value()->lineEdit() == widget))
            return it.key();
    }
    return std::nullopt;
}

bool EntryWindow::eventFilter(QObject* object, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || m_closing)
        return QDialog::eventFilter(object, event);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->click();
                return true;
            }
        }
        return QDialog::eventFilter(object, event);
    }
    const std::optional<EntryBox> box = boxOf(widget);
    if (!box)
        return QDialog::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Enter leaves no number box.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && entryBox(*box).isNumber())
            return true;
        break;
    }
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            boxFocused(*box, reason);
        break;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            // The lists have no lost focus of their own: choosing in one is.
            if (entryBox(*box).widget == EntryWidget::Line)
                boxLeft(*box);
            // The box left shows its text from the start again, not the end
            // its selection scrolled to.
            if (auto* edit = qobject_cast<QLineEdit*>(widget))
                edit->setCursorPosition(0);
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(object, event);
}

void EntryWindow::boxFocused(EntryBox box, Qt::FocusReason reason)
{
    runTrapped(m_env, QString(), [&] {
        pullForm();
        m_session->focusBox(box);
        pushForm();
    });
    if (QLineEdit* edit = m_widgets.texts.value(box)) {
        // The whole text selected from its end back to its start, so that the
        // box shows the start of a text longer than itself (not the blanks
        // that pad a kanji text).
        const auto selectFromStart = [edit] {
            edit->setSelection(int(edit->text().size()), -int(edit->text().size()));
        };
        selectFromStart();
        if (reason == Qt::MouseFocusReason)
            QTimer::singleShot(0, edit, selectFromStart);
    }
    // The shipped quantity of a record without its ordering company: message
    // 2, once per opening, and on to the return button.
    if (box == EntryBox::ShipQty && m_session->takeCompanyNotice()) {
        QTimer::singleShot(0, this, [this] {
            ShowMessage(m_env, 2);
            m_widgets.button(EntryButton::Return)->setFocus(Qt::OtherFocusReason);
        });
    }
}

void EntryWindow::boxLeft(EntryBox box)
{
    runTrapped(m_env, leaveLabel(box), [&] {
        pullForm();
        m_session->leaveBox(box);
        refreshAll();
    });
}

void EntryWindow::comboChosen(EntryBox box)
{
    // The classes of the tax calculation and the currency; the other lists
    // change nothing else when chosen.
    const EntryBoxInfo& info = entryBox(box);
    if (m_closing || (!info.calculates && info.value != BoxValue::Currency))
        return;
    runTrapped(m_env, leaveLabel(box), [&] {
        pullForm();
        m_session->leaveBox(box);
        refreshAll();
        // A further change compares with the value chosen now.
        m_session->focusBox(box);
    });
}

} // namespace plx
