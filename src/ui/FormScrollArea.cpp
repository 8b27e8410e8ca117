#include "FormScrollArea.h"

#include <QApplication>

namespace plx {

FormScrollArea::FormScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // The boxes take the focus, never the area round them.
    setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusMoved(now); });
}

QSize FormScrollArea::sizeHint() const
{
    // QScrollArea's own hint stops at a few dozen lines of text.
    if (!widget())
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(frame, frame);
}

bool FormScrollArea::eventFilter(QObject* object, QEvent* event)
{
    // The form's layout changed (its style polished it, a box was shown):
    // the window's layout asks for the area's size anew.
    if (object == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(object, event);
}

void FormScrollArea::focusMoved(QWidget* now)
{
    if (!now || !widget() || !widget()->isAncestorOf(now))
        return;
    // The whole box with a little room round it (ensureWidgetVisible would
    // show only a text box's cursor, leaving the box half cut).
    constexpr int kRoom = 12;
    const QRect box(now->mapTo(widget(), QPoint(0, 0)), now->size());
    ensureVisible(box.center().x(), box.center().y(), box.width() / 2 + kRoom, box.height() / 2 + kRoom);
}

} // namespace plx
