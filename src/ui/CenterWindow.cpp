#include "CenterWindow.h"

#include "core/Environment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace plx {

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
    window.move(env.centerLeft / kTwipsPerPixel, env.centerTop / kTwipsPerPixel);
}

} // namespace plx
