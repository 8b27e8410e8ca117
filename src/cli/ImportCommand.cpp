#include "ImportCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"
#include "TerminalProgress.h"

#include "core/ErrorReport.h"
#include "import/ImportDriver.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace plx::cli {

int ImportCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const ProtocolOption protocol(QStringLiteral("order files"));
    const QCommandLineOption mode(QStringLiteral("mode"), QStringLiteral("processing mode 1, 2 or 3"),
                                  QStringLiteral("MODE"));
    const QCommandLineOption move(QStringLiteral("move"), QStringLiteral("move processed files to Dust"));
    const QCommandLineOption noMove(QStringLiteral("no-move"), QStringLiteral("leave processed files in place"));
    protocol.addTo(parser);
    parser.addOptions({mode, move, noMove});
    const QString usage =
        QStringLiteral("usage: plx90-cli import --eiaj|--korvan [--mode 1|2|3] [--move|--no-move] FILE...\n");
    const QString modeText = parser.parse(arguments) ? parser.value(mode) : QString();
    if (!protocol.given(parser) || parser.positionalArguments().isEmpty() ||
        (parser.isSet(move) && parser.isSet(noMove)) ||
        (parser.isSet(mode) && modeText != QLatin1String("1") && modeText != QLatin1String("2") &&
         modeText != QLatin1String("3"))) {
        std::fputs(usage.toUtf8().constData(), stderr);
        return kExitUsage;
    }
    const int kind = protocol.kind(parser);

    CliSession session;
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    const ImportSettings settings = ImportDriver::readSettings(env, kind);
    const int makeMode = parser.isSet(mode) ? modeText.toInt() : settings.makeMode;
    const bool moveFiles = parser.isSet(move) ? true : parser.isSet(noMove) ? false : settings.moveFiles;

    QStringList paths;
    for (const QString& file : parser.positionalArguments())
        paths.append(QFileInfo(file).absoluteFilePath());

    ImportDriver driver(env, kind);
    env.logModule = QStringLiteral("入力ファイル選択");
    env.logOperation = QStringLiteral("実行ボタン");
    PrecheckResult checked;
    if (!runTrapped(env, QStringLiteral("取り込みｿ-ﾄ/"), [&] { checked = driver.precheckPaths(paths); }))
        return kExitFailed; // the data file is locked or damaged: nothing was done
    bool ran = false;
    if (checked.accepted > 0) {
        TerminalProgress progress;
        ran = runTrapped(env, QStringLiteral("取り込みﾒｲﾝ/"), [&] {
            driver.run(static_cast<RebuildMode>(makeMode), moveFiles, [&](int done, int selected) {
                progress.show(QStringLiteral("取り込み中 %1/%2").arg(done).arg(selected));
            });
        });
        progress.clear();
    }
    for (const auto& outcome : driver.outcomes()) {
        // A refused run imported nothing: its accepted files stay untouched.
        const int refusal = outcome.refusal == 0 && !ran ? -1 : outcome.refusal;
        const QString text = refusal == 0  ? QStringLiteral("取り込み済")
                             : refusal < 0 ? QStringLiteral("未処理")
                                           : ImportDriver::refusalText(refusal);
        std::printf("%s\t%s\n", outcome.path.toUtf8().constData(), text.toUtf8().constData());
    }
    if (driver.errorCount() > 0)
        std::printf("ｴﾗｰﾘｽﾄ: %s\n", env.paths.errListPath.toUtf8().constData());
    return ran ? kExitOk : kExitFailed;
}

} // namespace plx::cli
