#pragma once

#include "BillingExport.h"

#include "history/HistoryStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx {

class ReportControl;
struct Environment;

// What the desk asks of the history, for the 発行履歴 window and `plx90-cli
// history`: the look-up, a past document printed again, and the month's
// billing. Each opens the installation's history for the moment it needs it.
class HistoryDesk
{
public:
    explicit HistoryDesk(Environment& env) : m_env(env) {}

    // The committed documents `query` finds, newest first. Throws Refusal when
    // the history cannot be read.
    QList<HistoryDocument> find(const HistoryQuery& query);

    // The documents of `ids` in that order, each with the layout it was
    // printed with; `missing` receives the IDs the history does not hold (and
    // nothing is returned then). Throws Refusal.
    QList<HistoryDocument> documents(const QList<qint64>& ids, QStringList& missing);

    // Prints the documents again as copies (see reprintDocuments). Returns the
    // PDFs written; `error` tells a print that failed. Throws Refusal.
    QStringList reprint(ReportControl& report, const QList<qint64>& ids, bool toPrinter, QStringList& missing,
                        QString& error);

    // What an export wrote.
    struct Exported
    {
        int companies = 0;
        int lines = 0;
    };
    // The billing of `month` ("YYYY-MM", the slips by their ship date) of one
    // format, of one company when both codes are given, to `path`. Nothing
    // with `why` set when it could not be written. Throws Refusal when the
    // history cannot be read.
    std::optional<Exported> exportMonth(Protocol protocol, const QString& month, const QString& ordererCode,
                                        const QString& supplierCode, BillingFormat format, BillingEncoding encoding,
                                        const QString& path, QString& why);

    // The first and last day of "YYYY-MM" (or "YYYYMM") as YYYYMMDD; nothing
    // when it is no month.
    static std::optional<std::pair<QString, QString>> monthDays(const QString& text);
    // A date as YYYYMMDD from "YYYY-MM-DD" or "YYYYMMDD"; empty when it is
    // neither or no such day.
    static QString parseDate(const QString& text);

private:
    Environment& m_env;
};

} // namespace plx
