#include "cli/InstallOffer.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/ProcessSettings.h"
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

int main(int argc, char* argv[])
{
    plx::applyProcessSettings();
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
