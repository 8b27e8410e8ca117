#include "XSession.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plx::test {

namespace {

// Starts `argv` with its output thrown away; the child dies with this process.
pid_t spawn(const char* const argv[], int keepFd = -1)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid < 0 ? 0 : pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    for (int fd = 3; fd < 256; ++fd) {
        if (fd != keepFd)
            close(fd);
    }
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
}

// Runs `argv` to its end (at most `timeoutMs`); true when it exited with 0.
bool runQuietly(const char* const argv[], int timeoutMs)
{
    const pid_t pid = spawn(argv);
    if (pid == 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (clock.elapsed() > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        usleep(20000);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void end(pid_t& pid)
{
    if (pid == 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(20000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    pid = 0;
}

} // namespace

XSession::~XSession()
{
    stop();
}

bool XSession::start()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        m_whyNot = QStringLiteral("xdotool is not installed (scripts/install-deps installs it): no real input to send");
        return false;
    }
    if (startServer()) {
        startWindowManager();
        m_up = true;
        return true;
    }
    // No server of our own: the display this program was started on, if any.
    const QByteArray display = qgetenv("DISPLAY");
    const char* probe[] = {"xdotool", "getdisplaygeometry", nullptr};
    if (!display.isEmpty() && runQuietly(probe, 5000)) {
        m_up = true;
        return true;
    }
    m_whyNot = QStringLiteral("no X server: Xvfb could not start and DISPLAY names no display that answers");
    return false;
}

bool XSession::startServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    // Xvfb writes the display number it chose to this pipe once it accepts
    // connections.
    const QByteArray fd = QByteArray::number(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.constData(), "-screen", "0",    "1280x1024x24",
                          "-dpi", "96",         "-nolisten",    "tcp",     nullptr};
    m_server = spawn(argv, fds[1]);
    close(fds[1]);
    QByteArray number;
    pollfd ready{fds[0], POLLIN, 0};
    while (m_server != 0 && !number.endsWith('\n') && poll(&ready, 1, 10000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1)
            break;
        number.append(c);
    }
    close(fds[0]);
    bool ok = false;
    number.trimmed().toInt(&ok);
    if (!ok) {
        end(m_server);
        return false;
    }
    qputenv("DISPLAY", ":" + number.trimmed());
    return true;
}

void XSession::startWindowManager()
{
    // A window manager places, decorates and activates the windows as on a
    // clerk's desktop. Without one the X server still delivers the input.
    const char* argv[] = {"openbox", "--sm-disable", nullptr};
    m_windowManager = spawn(argv);
    if (m_windowManager == 0)
        return;
    // Once it manages the screen, the window manager says on the root window
    // what it supports (_NET_SUPPORTED) and sets up its desktops, which
    // xdotool can then read; before that xdotool refuses.
    const char* probe[] = {"xdotool", "get_num_desktops", nullptr};
    for (int i = 0; i < 50 && !runQuietly(probe, 2000); ++i)
        usleep(50000);
}

void XSession::stop()
{
    end(m_windowManager);
    end(m_server);
}

bool XSession::keys(const QStringList& names)
{
    return xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80")} + names);
}

QString XSession::focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

bool XSession::xdotool(const QStringList& args, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForStarted(5000))
        return false;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QPoint XSession::screenPoint(const QWidget* widget, QPoint point)
{
    const QPoint global = widget->mapToGlobal(point);
    const qreal ratio = widget->window()->windowHandle() ? widget->window()->windowHandle()->devicePixelRatio() : 1.0;
    return QPoint(qRound(global.x() * ratio), qRound(global.y() * ratio));
}

} // namespace plx::test
