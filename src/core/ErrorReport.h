#pragma once

#include <QString>

#include <stdexcept>
#include <utility>

namespace plx {

struct Environment;

// A run-time failure: a file that cannot be read or written, a broken invariant.
// The description is the Japanese text that ends up in the error log after the
// operation's label.
class RuntimeFailure : public std::runtime_error
{
public:
    explicit RuntimeFailure(QString description);
    // A failure that names its own operation: a trap reports it with this
    // label instead of its own (the inner operation knows better what failed).
    static RuntimeFailure labelled(QString label, QString description);

    const QString& description() const { return m_description; }
    const QString& label() const { return m_label; }
    bool hasLabel() const { return !m_label.isNull(); }

private:
    QString m_description;
    QString m_label;
};

// A refusal met deep inside an operation: a data file another program holds,
// a damaged data file, a record that changed since it was read. The operation
// stops before it writes (more); the trap shows the message and the program
// goes on. Not a RuntimeFailure: nothing is logged and nothing ends.
class Refusal : public std::runtime_error
{
public:
    explicit Refusal(QString message);
    // A refusal told by the catalogue message `number`.
    static Refusal byNumber(short number);

    const QString& message() const { return m_message; }
    short number() const { return m_number; }

private:
    QString m_message;
    short m_number = 0;
};

// The fixed texts of the error report.
inline const QString kErrorReportText = QStringLiteral("アプリケーションでエラーが発生しました。");
inline const QString kLogFailureText = QStringLiteral("ログファイルでエラーが発生しました。処理を終了します。");

// Length of a log record: 127 bytes of text and CR LF.
constexpr int kLogRecordLength = 129;
// Longest line text (before padding) a log record holds.
constexpr int kLogLineMaxChars = 111;

// Tells the operator (the fixed text and the failure itself), appends a line to
// the ring log Deliv.log, stores the ring position in the settings, closes
// every open file and then tells Environment::errorReported (the main window
// closes its help viewer). A line longer than a record holds is cut to it.
// When the log itself fails it shows the log-failure text with the failure and
// ends the program at once.
void ReportError(Environment& env, const QString& message);

// A failure the program goes on after (a file the list cannot open): shows
// `text` (exclamation, OK) and appends `logMessage` (a label and the failure's
// description) to the ring log, storing the ring position in the settings as
// ReportError does; closes nothing and does not end. When the log cannot be
// written the text shown says so.
void reportAndGoOn(Environment& env, const QString& text, const QString& logMessage);

// Appends `logMessage` to the ring log as reportAndGoOn does, showing nothing;
// false when the log could not be written.
bool logAndGoOn(Environment& env, const QString& logMessage);

// Writes the log line of `message` (time, LogModule, LogOperation, message)
// into the ring log at `logPath` as the record after `pointer` in a ring of
// `count` records (record 1 when the log does not exist yet). Returns the
// record number written, or 0 when the log could not be written; shows
// nothing and stores nothing in the settings.
short appendLogRecord(Environment& env, const QString& logPath, short pointer, short count, const QString& message);

// The description of any exception caught by a trap.
QString describeException(const std::exception& e);

// Runs `operation`; a run-time failure is reported with `label` before its
// description and ends the program. A program end requested inside passes through.
// A Refusal is shown to the operator and the result is false; true when the
// operation ran to its end.
template <typename F> bool runTrapped(Environment& env, const QString& label, F&& operation);

// Shows a refusal's message (exclamation, OK).
void showRefusal(Environment& env, const Refusal& refusal);

[[noreturn]] void reportAndEnd(Environment& env, const QString& message);

template <typename F> bool runTrapped(Environment& env, const QString& label, F&& operation)
{
    try {
        std::forward<F>(operation)();
        return true;
    } catch (const Refusal& e) {
        showRefusal(env, e);
        return false;
    } catch (const RuntimeFailure& e) {
        reportAndEnd(env, (e.hasLabel() ? e.label() : label) + e.description());
    } catch (const std::exception& e) {
        reportAndEnd(env, label + describeException(e));
    }
}

} // namespace plx
