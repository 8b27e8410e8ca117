#include "cli/InstallOffer.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ProcessSettings.h"
#include "core/ProgramVersion.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "output/PrintHistory.h"
#include "output/PrinterChoice.h"
#include "report/PdfReportEngine.h"
#include "ui/KeyClicks.h"
#include "ui/MessageBoxDialogs.h"
#include "ui/QtJapanese.h"
#include "ui/list/ListWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Whether the window system the program would start on can be reached. Qt
// ends a program that finds no display with an abort that advises
// reinstalling it; over SSH the clerk is better told what to use instead.
// The platforms that draw without a display server (the tests' offscreen,
// minimal, a VNC or frame-buffer console) need none; every other one needs
// an X or Wayland display.
bool displayReachable(int argc, char* argv[])
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            platform = argv[i + 1];
    }
    // "name:options", or a list of names to try "a;b": the first decides.
    platform = platform.split(';').first().split(':').first();
    for (const char* needsNone : {"offscreen", "minimal", "minimalegl", "vnc", "linuxfb", "eglfs", "vkkhrdisplay"}) {
        if (platform == needsNone)
            return true;
    }
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

} // namespace

int main(int argc, char* argv[])
{
    plx::applyProcessSettings();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", plx::programVersionLine().toUtf8().constData());
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: plx90 [--help] [--version]\n\n"
                        "Opens the PLX-90 window on the installation the settings name "
                        "($PLX90_REGISTRY, else $XDG_CONFIG_HOME/plx90/registry.ini);\n"
                        "the first start offers to create one. Without a display use plx90-cli. "
                        "See plx90(1).\n");
            return EXIT_SUCCESS;
        }
    }
    if (!displayReachable(argc, argv)) {
        std::fputs("plx90: 画面を表示するにはディスプレイが必要です（DISPLAY も WAYLAND_DISPLAY も"
                   "設定されていません）。\n"
                   "ディスプレイのない端末（SSH など）では plx90-cli を使ってください（plx90-cli --help）。\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    plx::installKeyClicks(app);
    plx::installQtJapanese(app);
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/plx90-256.png")));
    app.setDesktopFileName(QStringLiteral("plx90"));
    // IPA Gothic stands in for the MS Gothic of the forms.
    QFont font(QStringLiteral("IPAGothic"), 10);
    font.setStyleHint(QFont::TypeWriter);
    app.setFont(font);
    plx::MessageBoxDialogs dialogs;
    plx::SystemClock clock;
    plx::Registry registry(plx::Registry::defaultFilePath());
    plx::Environment env(dialogs, clock, registry);
    try {
        // The first start without an installation offers to create one.
        plx::StartUpOptions options;
        options.createInstallation = [&] {
            return plx::offerInstallation(registry, dialogs, [] {
                return QFileDialog::getExistingDirectory(
                    nullptr, QStringLiteral("インストール先のフォルダ（この下にPlx90Weを作成します）"),
                    QDir::homePath());
            });
        };
        plx::StartUp(env, options);
        // What a print run ended by a crash left pending is settled first.
        plx::settleHistoryAtStart(env);
        plx::PdfReportEngine report(clock, plx::printerChoice::stored(env));
        plx::ListWindow window(env);
        window.setReportControl(&report);
        dialogs.setParent(&window);
        window.showCentred();
        return app.exec();
    } catch (const plx::ProgramEnded& ended) {
        return ended.exitCode;
    }
}
