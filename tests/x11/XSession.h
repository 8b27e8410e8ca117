#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class QWidget;

namespace plx::test {

// The X display of a test program that sends real input: its own virtual X
// server (Xvfb, on a display number it picks itself) with a window manager
// (openbox) when those can start, stopped again when the program ends; else
// the display the program was started on. Real clicks and keys are sent with
// xdotool, as a person's would arrive.
class XSession
{
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Finds or starts a display and points DISPLAY at it. Call before the
    // QApplication exists. Returns whether the tests can run.
    bool start();
    bool up() const { return m_up; }
    // Why the tests cannot run (empty when they can).
    QString whyNot() const { return m_whyNot; }

    // Runs xdotool with `args` while the Qt event loop goes on, so that the
    // windows see the events as they come. True when it exited with 0.
    static bool xdotool(const QStringList& args, int timeoutMs = 10000);
    // Presses keys ("alt+r", "Next", "Return") one after another, as typed.
    static bool keys(const QStringList& names);
    // The name of the widget that has the keyboard focus (empty: none).
    static QString focusName();
    // The screen position, in the server's pixels, of `point` of `widget`.
    static QPoint screenPoint(const QWidget* widget, QPoint point);

private:
    bool startServer();
    void startWindowManager();
    void stop();

    bool m_up = false;
    QString m_whyNot;
    pid_t m_server = 0;
    pid_t m_windowManager = 0;
};

// The session of this test program (set up by its main()).
XSession& xSession();

} // namespace plx::test

// Skips the current test, saying why, when no X display could be had.
#define PLX90_REQUIRE_X()                                                                                              \
    do {                                                                                                               \
        if (!::plx::test::xSession().up())                                                                             \
            GTEST_SKIP() << ::plx::test::xSession().whyNot().toStdString();                                            \
    } while (false)
