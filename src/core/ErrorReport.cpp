#include "ErrorReport.h"

#include "Clock.h"
#include "Dialogs.h"
#include "Environment.h"
#include "MessageCatalog.h"
#include "Registry.h"
#include "text/FixedField.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace plx {

RuntimeFailure::RuntimeFailure(QString description)
    : std::runtime_error(description.toStdString()), m_description(std::move(description))
{
}

RuntimeFailure RuntimeFailure::labelled(QString label, QString description)
{
    RuntimeFailure failure(std::move(description));
    failure.m_label = label.isNull() ? QStringLiteral("") : std::move(label);
    return failure;
}

Refusal::Refusal(QString message) : std::runtime_error(message.toStdString()), m_message(std::move(message)) {}

Refusal Refusal::byNumber(short number)
{
    Refusal refusal(QStringLiteral("(%1)").arg(number, 3, 10, QLatin1Char('0')));
    refusal.m_number = number;
    return refusal;
}

void showRefusal(Environment& env, const Refusal& refusal)
{
    if (refusal.number() > 0) {
        ShowMessage(env, refusal.number());
        return;
    }
    env.dialogs->show(MessageIcon::Exclamation, refusal.message(), MessageButtons::Ok, DefaultButton::First);
}

QString describeException(const std::exception& e)
{
    if (const auto* failure = dynamic_cast<const RuntimeFailure*>(&e))
        return failure->description();
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("メモリが不足しています。");
    return QString::fromLocal8Bit(e.what());
}

namespace {

[[noreturn]] void logFailed(Environment& env)
{
    env.dialogs->show(MessageIcon::Critical, kLogFailureText, MessageButtons::Ok, DefaultButton::First);
    endProgram(env, 1);
}

// Makes sure the log has at least `records` records, filling a gap left by a
// shorter file with blank lines so that it stays readable as text.
bool padLog(QFile& file, qint64 records)
{
    const qint64 have = file.size() / kLogRecordLength;
    if (have >= records)
        return true;
    QByteArray blank(kLogRecordLength - 2, ' ');
    blank += "\r\n";
    if (!file.seek(have * kLogRecordLength))
        return false;
    for (qint64 n = have; n < records; ++n) {
        if (file.write(blank) != blank.size())
            return false;
    }
    return true;
}

} // namespace

void ReportError(Environment& env, const QString& message)
{
    env.dialogs->show(MessageIcon::Critical, kErrorReportText, MessageButtons::Ok, DefaultButton::First);
    const QString& logPath = env.paths.logPath;
    if (!QFileInfo::exists(logPath))
        env.logPointer = 0;

    QFile file(logPath);
    if (logPath.isEmpty() || !file.open(QIODevice::ReadWrite))
        logFailed(env);

    env.startStamp = env.clock->now();
    const QString line = env.startStamp.toString(QStringLiteral("yyyy/MM/dd hh:mm")) + QLatin1Char('[') +
                         env.logModule + QStringLiteral("][") + env.logOperation + QLatin1Char(']') + message;
    if (line.size() > kLogLineMaxChars) {
        file.close();
        logFailed(env);
    }
    QByteArray record = fixed::fit(line.leftJustified(kLogLineMaxChars, QLatin1Char(' ')), kLogRecordLength - 2);
    record += "\r\n";

    // The ring: the record after the last one written, back to 1 past LogCount
    // (and past the 16-bit range).
    int next = env.logPointer + 1;
    if (next > env.logCount || next > 32767)
        next = 1;
    env.logPointer = static_cast<short>(next);

    const qint64 offset = qint64(next - 1) * kLogRecordLength;
    if (!padLog(file, next - 1) || !file.seek(offset) || file.write(record) != record.size() || !file.flush()) {
        file.close();
        logFailed(env);
    }
    file.close();

    env.registry->regPutValue(kRegistryKey, QStringLiteral("LogPointer"), QString::number(env.logPointer));
    if (env.closeAllFiles)
        env.closeAllFiles();
    if (env.closeHelpViewer)
        env.closeHelpViewer();
}

void reportAndEnd(Environment& env, const QString& message)
{
    ReportError(env, message);
    endProgram(env, 1);
}

} // namespace plx
