#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>

namespace plx::test {

// What a run of plx90-cli gave back.
struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs plx90-cli (PLX90_CLI_PATH, set for the command-line tests) against the
// settings file `registry`.
inline CliResult runCli(const QString& registry, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PLX90_CLI_PATH), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// What an ended plx90-cli process gave back (-1 for the exit of one that crashed).
inline CliResult finished(QProcess& p)
{
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Waits until `condition` holds, looking every few milliseconds; false when it
// did not within `ms`.
inline bool waitFor(const std::function<bool()>& condition, int ms = 15000)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// The lines of a print's standard output that are not its summary: the paths of
// the PDFs written, each alone on its line.
inline QStringList pdfLines(const QString& out)
{
    QStringList paths;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QStringLiteral("# ")))
            paths.append(line);
    }
    return paths;
}

// The summary lines of a print's standard output, without their "# ".
inline QStringList summaryLines(const QString& out)
{
    QStringList lines;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QStringLiteral("# ")))
            lines.append(line.mid(2));
    }
    return lines;
}

} // namespace plx::test
