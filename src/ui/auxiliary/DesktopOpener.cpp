#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <memory>
#include <utility>

namespace plx {

void openOnDesktop(const QUrl& url, std::function<void(bool opened)> done)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        done(QDesktopServices::openUrl(url));
        return;
    }
    // The process belongs to no window: closing the window that asked must
    // not end the viewer it starts. It deletes itself when it ends.
    auto* process = new QProcess;
    auto answer = std::make_shared<std::function<void(bool)>>(std::move(done));
    const auto finish = [process, answer](bool opened) {
        if (*answer)
            std::exchange(*answer, nullptr)(opened);
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process, [finish](int exitCode, QProcess::ExitStatus status) {
        finish(status == QProcess::NormalExit && exitCode == 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(false);
    });
    // Nobody reads what the viewer writes: it must never fill a pipe and stop.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(xdgOpen, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
}

} // namespace plx
