#include "HistoryCommand.h"

#include "CliSession.h"

#include "billing/HistoryDesk.h"
#include "core/ErrorReport.h"
#include "core/LogLabelScope.h"

#include <QCommandLineParser>
#include <QDate>

#include <cstdio>

namespace plx::cli {

namespace {

// A stored YYYYMMDD as YYYY-MM-DD; anything else as it is.
QString isoDate(const QString& stored)
{
    const QDate date = QDate::fromString(stored, QStringLiteral("yyyyMMdd"));
    return date.isValid() ? date.toString(Qt::ISODate) : stored;
}

// A value on one TSV line: tabs and line breaks would split it.
QString cell(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

QString HistoryLookupCommand::usage() const
{
    return QStringLiteral("history --eiaj|--korvan [--from DATE] [--to DATE] [--orderer CODE --supplier CODE] "
                          "[--key K] [--order-no X] [--item I]");
}

void HistoryLookupCommand::addOptions(QCommandLineParser& parser)
{
    m_company.addTo(parser);
    parser.addOptions({m_from, m_to, m_key, m_orderNo, m_item});
}

bool HistoryLookupCommand::accepts(const QCommandLineParser& parser, QString& why)
{
    for (const QCommandLineOption* option : {&m_from, &m_to}) {
        if (parser.isSet(*option) && HistoryDesk::parseDate(parser.value(*option)).isEmpty()) {
            why = QStringLiteral("--%1: not a date (YYYY-MM-DD or YYYYMMDD): %2")
                      .arg(option->names().first(), parser.value(*option));
            return false;
        }
    }
    return FormatCommand::accepts(parser, why) && m_company.valid(parser);
}

int HistoryLookupCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("発行履歴"));
    logLabels.setOperation(QStringLiteral("検索"));

    HistoryQuery query;
    query.protocol = format;
    query.fromShipDate = parser.isSet(m_from) ? HistoryDesk::parseDate(parser.value(m_from)) : QString();
    query.toShipDate = parser.isSet(m_to) ? HistoryDesk::parseDate(parser.value(m_to)) : QString();
    query.ordererCode = m_company.ordererCode(parser).trimmed();
    query.supplierCode = m_company.supplierCode(parser).trimmed();
    query.deliveryKey = parser.value(m_key).trimmed();
    query.orderNo = parser.value(m_orderNo).trimmed();
    query.itemCode = parser.value(m_item).trimmed();

    QList<HistoryDocument> found;
    const bool ran = runTrapped(env, QStringLiteral("発行履歴/"), [&] { found = HistoryDesk(env).find(query); });
    if (!ran)
        return kExitFailed;

    const QStringList header = {QStringLiteral("ID"),         QStringLiteral("発行日時"),   QStringLiteral("帳票"),
                                QStringLiteral("発注者ｺｰﾄﾞ"), QStringLiteral("受注者ｺｰﾄﾞ"), QStringLiteral("納入ｷｰ"),
                                QStringLiteral("注文番号"),   QStringLiteral("品番"),       QStringLiteral("出荷数量"),
                                QStringLiteral("単価"),       QStringLiteral("金額"),       QStringLiteral("消費税額"),
                                QStringLiteral("税込金額"),   QStringLiteral("通貨"),       QStringLiteral("出荷日"),
                                QStringLiteral("PDF"),        QStringLiteral("ﾍﾟｰｼﾞ")};
    QByteArray out = header.join(QLatin1Char('\t')).toUtf8() + '\n';
    for (const HistoryDocument& d : found) {
        const QStringList row = {QString::number(d.id),
                                 d.issuedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 d.kind == OutputDocument::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書"),
                                 d.ordererCode,
                                 d.supplierCode,
                                 d.deliveryKey,
                                 d.orderNo,
                                 d.itemCode,
                                 d.shipQty,
                                 d.unitPrice,
                                 d.amount,
                                 d.tax,
                                 d.amountWithTax,
                                 d.currency,
                                 isoDate(d.shipDate),
                                 d.pdfPath,
                                 d.page > 0 ? QString::number(d.page) : QString()};
        QStringList cells;
        for (const QString& value : row)
            cells.append(cell(value));
        out += cells.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return kExitOk;
}

} // namespace plx::cli
