#pragma once

// Helpers of the window tests: a window the list window opens modally is
// driven from a timer, because exec() does not return until it is closed.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace plx::test {

// Runs `act` on the modal window of type Window once it is shown (within ten
// seconds); otherwise the test fails and whatever modal window is open closes.
template <typename Window> void whenModalShows(const char* what, std::function<void(Window&)> act)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act, what] {
        if (auto* w = qobject_cast<Window*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            poll->stop();
            poll->deleteLater();
            act(*w);
        } else if (++*tries > 1000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no " << what;
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    poll->start(10);
}

// Whether the list window finished loading (its busy panel hidden) within five seconds.
inline bool listLoaded(QWidget& listWindow)
{
    return QTest::qWaitFor([&] { return !listWindow.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); },
                           5000);
}

} // namespace plx::test
