#include "CenterWindow.h"

#include "core/Environment.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace plx {

namespace {

// The window frame a window manager adds: known once the window is on
// screen, a guess before (a title bar and thin borders).
QSize frameExtra(const QWidget& window)
{
    const QSize known = window.frameGeometry().size() - window.size();
    if (window.isVisible() && known.height() > 0)
        return known;
    constexpr int kTitleBarGuess = 32;
    constexpr int kBorderGuess = 4;
    return {2 * kBorderGuess, kTitleBarGuess + kBorderGuess};
}

} // namespace

void CenterWindow(Environment& env, const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    const double top = (double(area.height()) - window.height()) * kTwipsPerPixel / 2.0;
    const double left = (double(area.width()) - window.width()) * kTwipsPerPixel / 2.0;
    env.centerTop = static_cast<short>(std::nearbyint(top));
    env.centerLeft = static_cast<short>(std::nearbyint(left));
}

void moveToCentre(Environment& env, QWidget& window)
{
    CenterWindow(env, window);
    QPoint at(env.centerLeft / kTwipsPerPixel, env.centerTop / kTwipsPerPixel);
    const QRect area = availableArea(window);
    if (area.isValid()) {
        const QSize frame = window.size() + frameExtra(window);
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    window.move(at);
}

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void fitToArea(QWidget& window, const QRect& area)
{
    // The style's fonts and margins make the size: polished first, and the
    // layouts settled that polishing changed.
    window.ensurePolished();
    const QList<QWidget*> children = window.findChildren<QWidget*>();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if ((*it)->layout())
            (*it)->layout()->activate();
    }
    const QSize natural = window.sizeHint().expandedTo(window.minimumSizeHint());
    const QSize room = area.size() - frameExtra(window);
    QSize size = natural.boundedTo(room);
    if (size.height() < natural.height())
        size.rwidth() =
            std::min(natural.width() + window.style()->pixelMetric(QStyle::PM_ScrollBarExtent), room.width());
    window.resize(size.expandedTo(window.minimumSize()));
}

void fitToScreen(QWidget& window)
{
    const QRect area = availableArea(window);
    if (area.isValid())
        fitToArea(window, area);
    else
        window.adjustSize();
}

} // namespace plx
