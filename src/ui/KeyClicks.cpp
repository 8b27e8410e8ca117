#include "KeyClicks.h"

#include <QAbstractButton>
#include <QApplication>

namespace plx {

namespace {

// Takes the focus to `button` as a mouse press on it would: the box that had
// it is left (its focus-out rules run now, before the button acts).
void focusAsClick(QAbstractButton& button)
{
    if (!button.isEnabled() || !button.isVisible() || !(button.focusPolicy() & Qt::ClickFocus))
        return;
    if (QApplication::focusWidget() != &button)
        button.setFocus(Qt::ShortcutFocusReason);
}

// Every button takes the focus when it is pressed, however it is pressed: a
// mouse press has moved the focus already; a mnemonic, Enter on a dialog's
// default button, the space bar or a window's own key (which all press the
// button through click() or animateClick()) have not.
class KeyClickFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish) {
            if (auto* button = qobject_cast<QAbstractButton*>(watched))
                connect(button, &QAbstractButton::pressed, button, [button] { focusAsClick(*button); });
        }
        return false;
    }
};

} // namespace

void installKeyClicks(QCoreApplication& app)
{
    static const char* const kInstalled = "plx90KeyClicks";
    if (app.property(kInstalled).toBool())
        return;
    app.installEventFilter(new KeyClickFilter(&app));
    app.setProperty(kInstalled, true);
}

void clickByKey(QAbstractButton& button)
{
    if (!button.isEnabled() || !button.isVisible())
        return;
    focusAsClick(button);
    // The box left may have disabled the button (a refusal on leaving).
    if (button.isEnabled())
        button.click();
}

} // namespace plx
