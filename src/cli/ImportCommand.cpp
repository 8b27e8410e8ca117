#include "ImportCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"
#include "TerminalProgress.h"

#include "core/ErrorReport.h"
#include "core/FsName.h"
#include "core/LogLabelScope.h"
#include "import/ImportDriver.h"

#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

namespace plx::cli {

bool ImportCommand::accepts(const QCommandLineParser& parser, QString&)
{
    const QString mode = parser.value(m_mode);
    return !parser.positionalArguments().isEmpty() && !(parser.isSet(m_move) && parser.isSet(m_noMove)) &&
           (!parser.isSet(m_mode) || mode == QLatin1String("1") || mode == QLatin1String("2") ||
            mode == QLatin1String("3"));
}

int ImportCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    const ImportSettings settings = ImportDriver::readSettings(env, format);
    const int makeMode = parser.isSet(m_mode) ? parser.value(m_mode).toInt() : settings.makeMode;
    const bool moveFiles = parser.isSet(m_move) ? true : parser.isSet(m_noMove) ? false : settings.moveFiles;

    QStringList paths;
    for (const QString& file : parser.positionalArguments())
        paths.append(QDir::current().absoluteFilePath(file)); // the name kept byte for byte

    ImportDriver driver(env, format);
    LogLabelScope logLabels(env, QStringLiteral("入力ファイル選択"));
    logLabels.setOperation(QStringLiteral("実行ボタン"));
    const auto mode = static_cast<RebuildMode>(makeMode);
    // Mode 3 asks before it deletes records waiting for issue; without --yes
    // the answer is No and nothing is read, imported or moved.
    if (!driver.confirmMode(mode)) {
        std::fprintf(stderr, "取り込みませんでした。\n");
        return kExitFailed;
    }
    PrecheckResult checked;
    if (!runTrapped(env, QStringLiteral("取り込みｿ-ﾄ/"), [&] { checked = driver.precheckPaths(paths); }))
        return kExitFailed; // the data file is locked or damaged: nothing was done
    bool ran = false;
    if (checked.accepted > 0) {
        TerminalProgress progress;
        ran = runTrapped(env, QStringLiteral("取り込みﾒｲﾝ/"), [&] {
            driver.run(mode, moveFiles, [&](int done, int selected) {
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
        std::printf("%s\t%s\n", fsname::display(outcome.path).toUtf8().constData(), text.toUtf8().constData());
    }
    // A run that was refused took nothing and refused nothing: its files
    // are 未処理 above.
    if (ran || checked.accepted == 0) {
        for (const QString& line : ImportDriver::countsText(driver.counts()))
            std::printf("%s\n", line.toUtf8().constData());
    }
    if (driver.errorCount() > 0)
        std::printf("ｴﾗｰﾘｽﾄ: %s\n", env.paths.errListPath.toUtf8().constData());
    return ran ? kExitOk : kExitFailed;
}

} // namespace plx::cli
