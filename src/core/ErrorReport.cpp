#include "ErrorReport.h"

#include "Clock.h"
#include "Dialogs.h"
#include "Environment.h"
#include "FileUtil.h"
#include "MessageCatalog.h"
#include "Registry.h"
#include "text/FixedField.h"

#include <QDateTime>
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

// The fixed text of a box and, below it, the failure itself, so that the
// operator (and the command line's standard error) learns what went wrong
// even when the log cannot keep it.
QString withFailure(const QString& fixedText, const QString& message)
{
    return message.isEmpty() ? fixedText : fixedText + QStringLiteral("\r\n") + message;
}

[[noreturn]] void logFailed(Environment& env, const QString& message)
{
    env.dialogs->show(MessageIcon::Critical, withFailure(kLogFailureText, message), MessageButtons::Ok,
                      DefaultButton::First);
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

static QString logLineText(const QDateTime& stamp, const QString& module, const QString& operation,
                           const QString& message)
{
    // A description that carries a full path can be far longer than a record;
    // the label comes first, so cutting the end keeps it and the start of the
    // cause.
    const QString line = stamp.toString(QStringLiteral("yyyy/MM/dd hh:mm")) + QLatin1Char('[') + module +
                         QStringLiteral("][") + operation + QLatin1Char(']') + message;
    return line.left(kLogLineMaxChars);
}

short appendLogRecord(Environment& env, const QString& logPath, short pointer, short count, const QString& message)
{
    const bool existed = QFileInfo::exists(logPath);
    if (!existed)
        pointer = 0;

    QFile file(logPath);
    if (logPath.isEmpty() || !file.open(QIODevice::ReadWrite))
        return 0;
    if (!existed)
        fileutil::shareWithFolder(file.handle(), QFileInfo(logPath).absolutePath());

    env.startStamp = env.clock->now();
    const QString line = logLineText(env.startStamp, env.logModule, env.logOperation, message);
    QByteArray record = fixed::fit(line.leftJustified(kLogLineMaxChars, QLatin1Char(' ')), kLogRecordLength - 2);
    record += "\r\n";

    // The ring: the record after the last one written, back to 1 past the
    // record count (and past the 16-bit range).
    int next = pointer + 1;
    if (next > count || next > 32767)
        next = 1;

    const qint64 offset = qint64(next - 1) * kLogRecordLength;
    if (!padLog(file, next - 1) || !file.seek(offset) || file.write(record) != record.size() || !file.flush()) {
        file.close();
        // A log this call created and could not write is not left behind empty.
        if (!existed && QFileInfo(logPath).size() == 0)
            QFile::remove(logPath);
        return 0;
    }
    file.close();
    return static_cast<short>(next);
}

void ReportError(Environment& env, const QString& message)
{
    env.dialogs->show(MessageIcon::Critical, withFailure(kErrorReportText, message), MessageButtons::Ok,
                      DefaultButton::First);
    const short written = appendLogRecord(env, env.paths.logPath, env.logPointer, env.logCount, message);
    if (written == 0)
        logFailed(env, message);
    env.logPointer = written;

    env.registry->regPutValue(kRegistryKey, QStringLiteral("LogPointer"), QString::number(env.logPointer));
    env.closeFiles();
    if (env.errorReported)
        env.errorReported();
}

bool logAndGoOn(Environment& env, const QString& logMessage)
{
    const short written = appendLogRecord(env, env.paths.logPath, env.logPointer, env.logCount, logMessage);
    if (written > 0) {
        env.logPointer = written;
        env.registry->regPutValue(kRegistryKey, QStringLiteral("LogPointer"), QString::number(env.logPointer));
    }
    return written > 0;
}

void reportAndGoOn(Environment& env, const QString& text, const QString& logMessage)
{
    const bool written = logAndGoOn(env, logMessage);
    const QString shown = written ? text : text + QStringLiteral("\r\n（ログファイルに記録できませんでした。）");
    env.dialogs->show(MessageIcon::Exclamation, shown, MessageButtons::Ok, DefaultButton::First);
}

void reportAndEnd(Environment& env, const QString& message)
{
    ReportError(env, message);
    endProgram(env, 1);
}

} // namespace plx
