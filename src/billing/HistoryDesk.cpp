#include "HistoryDesk.h"

#include "core/ErrorReport.h"
#include "output/PrintHistory.h"
#include "output/Reprint.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

namespace plx {

namespace {

Refusal unreadable(const HistoryError& e)
{
    return Refusal(QStringLiteral("発行履歴を読めません。(%1)").arg(e.description()));
}

} // namespace

QList<HistoryDocument> HistoryDesk::find(const HistoryQuery& query)
{
    std::unique_ptr<HistoryStore> history = openHistory(m_env);
    try {
        return history->find(query);
    } catch (const HistoryError& e) {
        throw unreadable(e);
    }
}

QList<HistoryDocument> HistoryDesk::documents(const QList<qint64>& ids, QStringList& missing)
{
    std::unique_ptr<HistoryStore> history = openHistory(m_env);
    HistoryQuery query;
    query.ids = ids;
    query.anyProtocol = true;
    query.withContent = true;
    try {
        const QList<HistoryDocument> found = history->find(query);
        QHash<qint64, const HistoryDocument*> byId;
        for (const HistoryDocument& d : found)
            byId.insert(d.id, &d);
        QList<HistoryDocument> ordered;
        QHash<QByteArray, QByteArray> layouts;
        for (const qint64 id : ids) {
            const HistoryDocument* d = byId.value(id);
            if (!d) {
                missing.append(QString::number(id));
                continue;
            }
            if (!layouts.contains(d->layoutHash))
                layouts.insert(d->layoutHash, history->layout(d->layoutHash));
            ordered.append(*d);
            ordered.last().layout = layouts.value(d->layoutHash);
        }
        return missing.isEmpty() ? ordered : QList<HistoryDocument>();
    } catch (const HistoryError& e) {
        throw unreadable(e);
    }
}

QStringList HistoryDesk::reprint(ReportControl& report, const QList<qint64>& ids, bool toPrinter, QStringList& missing,
                                 QString& error)
{
    QList<ReprintDocument> copies;
    for (const HistoryDocument& d : documents(ids, missing))
        copies.append({d.protocol, d.kind, d.layoutName, d.layout, d.dataLines, d.ordererCode, d.ordererName});
    if (!missing.isEmpty())
        return {};
    return reprintDocuments(m_env, report, copies, toPrinter, error);
}

std::optional<HistoryDesk::Exported> HistoryDesk::exportMonth(Protocol protocol, const QString& month,
                                                              const QString& ordererCode, const QString& supplierCode,
                                                              BillingFormat format, BillingEncoding encoding,
                                                              const QString& path, QString& why)
{
    const std::optional<std::pair<QString, QString>> days = monthDays(month);
    if (!days) {
        why = QStringLiteral("月の指定が正しくありません。(%1)").arg(month);
        return std::nullopt;
    }
    HistoryQuery query;
    query.protocol = protocol;
    query.fromShipDate = days->first;
    query.toShipDate = days->second;
    query.ordererCode = ordererCode.trimmed();
    query.supplierCode = supplierCode.trimmed();
    const QList<CompanyBilling> companies = groupBilling(billingLinesOf(find(query)));
    const QString shown =
        QDate::fromString(days->first, QStringLiteral("yyyyMMdd")).toString(QStringLiteral("yyyy-MM"));
    if (!writeBilling(companies, shown, format, encoding, path, why))
        return std::nullopt;
    Exported exported;
    exported.companies = int(companies.size());
    for (const CompanyBilling& company : companies)
        exported.lines += int(company.lines.size());
    return exported;
}

std::optional<std::pair<QString, QString>> HistoryDesk::monthDays(const QString& text)
{
    const QString t = text.trimmed();
    QDate first;
    if (t.size() == 7)
        first = QDate::fromString(t + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    else if (t.size() == 6)
        first = QDate::fromString(t + QStringLiteral("01"), QStringLiteral("yyyyMMdd"));
    if (!first.isValid())
        return std::nullopt;
    const QDate last = first.addMonths(1).addDays(-1);
    return std::pair{first.toString(QStringLiteral("yyyyMMdd")), last.toString(QStringLiteral("yyyyMMdd"))};
}

QString HistoryDesk::parseDate(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})$"));
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = shape.match(t);
    // Both dashes or neither.
    if (!m.hasMatch() || t.count(QLatin1Char('-')) == 1)
        return QString();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

} // namespace plx
