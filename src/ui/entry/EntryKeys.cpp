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
QString leaveLabel(const EntryBoxInfo* box)
{
    switch (box ? box->box : EntryBox::OrdererName) {
    case EntryBox::OrdererCode:
    case EntryBox::SupplierCode:
        return QStringLiteral("発注企業情報初期表示/");
    case EntryBox::ShipQty:
        return QStringLiteral("出荷数量ﾌｫｰｶｽ移動/");
    case EntryBox::UnitPrice:
        return QStringLiteral("単価ﾌｫｰｶｽ移動/");
    case EntryBox::ConsumptionTaxClass:
        return QStringLiteral("消費税区分ﾌｫｰｶｽ移動/");
    case EntryBox::TaxationClass:
        return QStringLiteral("課税区分ﾌｫｰｶｽ移動/");
    default:
        return QString();
    }
}

bool isText(const QString& name)
{
    return name.startsWith(QLatin1String("Text"));
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
    for (QPushButton* button : m_widgets.command) {
        if (button)
            button->installEventFilter(this);
    }
    // PageUp / PageDown page as 前頁 / 次頁 do, from any box of the window.
    const auto pageKey = [this](QKeySequence key, int command) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, command] { clickByKey(*m_widgets.command[size_t(command)]); });
    };
    pageKey(QKeySequence(Qt::Key_PageUp), 2);
    pageKey(QKeySequence(Qt::Key_PageDown), 3);
}

bool EntryWindow::eventFilter(QObject* object, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || m_closing)
        return QDialog::eventFilter(object, event);
    // The line edit of the currency box stands for the box.
    QString name = widget->objectName();
    if (name.isEmpty() && widget->parentWidget() == m_widgets.combos.value(EntryBox::Currency))
        name = entryBox(EntryBox::Currency).name();
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
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Enter leaves no number box.
        const int key = static_cast<QKeyEvent*>(event)->key();
        const EntryBoxInfo* box = boxNamed(name, m_format);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && box && box->isNumber())
            return true;
        break;
    }
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            boxFocused(name, reason);
        break;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (isText(name))
                boxLeft(name);
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

void EntryWindow::boxFocused(const QString& name, Qt::FocusReason reason)
{
    runTrapped(m_env, QString(), [&] {
        pullForm();
        m_session->focusBox(name);
        pushForm();
    });
    const EntryBoxInfo* box = boxNamed(name, m_format);
    if (QLineEdit* edit = box ? m_widgets.texts.value(box->box) : nullptr) {
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
    if (box && box->box == EntryBox::ShipQty && m_session->takeCompanyNotice()) {
        QTimer::singleShot(0, this, [this] {
            ShowMessage(m_env, 2);
            m_widgets.command[1]->setFocus(Qt::OtherFocusReason);
        });
    }
}

void EntryWindow::boxLeft(const QString& name)
{
    runTrapped(m_env, leaveLabel(boxNamed(name, m_format)), [&] {
        pullForm();
        m_session->leaveBox(name);
        refreshAll();
    });
}

void EntryWindow::comboChosen(EntryBox box)
{
    // The classes of the tax calculation and the currency; the other lists
    // change nothing else when chosen.
    if (m_closing ||
        (box != EntryBox::ConsumptionTaxClass && box != EntryBox::TaxationClass && box != EntryBox::Currency))
        return;
    const EntryBoxInfo& info = entryBox(box);
    runTrapped(m_env, leaveLabel(&info), [&] {
        pullForm();
        m_session->leaveBox(info.name());
        refreshAll();
        // A further change compares with the value chosen now.
        m_session->focusBox(info.name());
    });
}

} // namespace plx
