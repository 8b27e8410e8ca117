#include "PrintHistory.h"

#include "store/TaxRate.h"

#include "DocumentData.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/ProcessLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace plx {

namespace {

QString currentUser()
{
    if (const passwd* pw = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// The records of `protocol` a data file holds, as settle() compares them.
QSet<QByteArray> liveRecords(const QString& dataPath, Protocol protocol)
{
    QFile file(dataPath);
    QSet<QByteArray> out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray data = file.readAll();
    for (qsizetype at = 0; at + DeliveryRecord::kLength <= data.size(); at += DeliveryRecord::kLength) {
        if (DeliveryRecord::isLiveOf(data.constData() + at, protocol))
            out.insert(HistoryStore::comparable(data.mid(at, DeliveryRecord::kLength)));
    }
    return out;
}

// A damaged history set aside: the message names its whole path, the log
// (whose lines are short) its new name first, beside the history.
void tellSetAside(Environment& env, const HistoryStore& store)
{
    reportAndGoOn(
        env,
        QStringLiteral("発行履歴が壊れているため、%1 に退避して新しい履歴を作成しました。")
            .arg(QDir::toNativeSeparators(store.asidePath())),
        QStringLiteral("発行履歴/%1 に退避しました。%2").arg(QFileInfo(store.asidePath()).fileName(), store.damage()));
}

bool servesProtocol(const Environment& env, Protocol protocol)
{
    return !((protocol == Protocol::Eiaj && env.apUse == QLatin1String("KORVAN")) ||
             (protocol == Protocol::Korvan && env.apUse == QLatin1String("EIAJ")));
}

} // namespace

QString historyUnwritableText(const QString& path, const QString& why)
{
    return QStringLiteral("発行履歴に記録できないため、印刷を中止します。この帳票は発行済にしていません。(%1: %2)")
        .arg(QDir::toNativeSeparators(path), why);
}

std::unique_ptr<HistoryStore> openHistory(Environment& env)
{
    auto store = std::make_unique<HistoryStore>(env.paths.historyPath);
    HistoryStore::Opening how;
    try {
        how = store->open();
    } catch (const HistoryError& e) {
        throw Refusal(QStringLiteral("発行履歴を開けません。(%1: %2)")
                          .arg(QDir::toNativeSeparators(env.paths.historyPath), e.description()));
    }
    // The accounts that share an installation share its history, and SQLite's
    // companion files beside it while it is open.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        if (QFileInfo::exists(env.paths.historyPath + QLatin1String(suffix)))
            fileutil::shareWithFolder(env.paths.historyPath + QLatin1String(suffix));
    }
    if (how == HistoryStore::Opening::Created) {
        logAndGoOn(env, QStringLiteral("発行履歴/履歴ﾌｧｲﾙがないため新しく作成しました。(%1)")
                            .arg(QDir::toNativeSeparators(env.paths.historyPath)));
    } else if (how == HistoryStore::Opening::SetAside) {
        tellSetAside(env, *store);
    }
    return store;
}

void settleHistory(Environment& env, HistoryStore& history, Protocol protocol)
{
    try {
        if (!history.hasPending(protocol))
            return;
        const QSet<QByteArray> live = liveRecords(env.paths.delivPathFor(protocol), protocol);
        const int removed =
            history.settle(protocol, [&](const QByteArray& expected) { return live.contains(expected); });
        logAndGoOn(env, QStringLiteral("発行履歴/中断した印刷の履歴を納品書ﾌｧｲﾙに合わせました。(%1 取消%2件)")
                            .arg(protocolName(protocol))
                            .arg(removed));
    } catch (const HistoryError& e) {
        throw Refusal(historyUnwritableText(history.path(), e.description()));
    }
}

void settleHistoryAtStart(Environment& env)
{
    // No history yet: nothing is pending. The first print run begins it.
    if (!QFileInfo::exists(env.paths.historyPath))
        return;
    std::unique_ptr<HistoryStore> history;
    for (Protocol protocol : kProtocols) {
        if (!servesProtocol(env, protocol))
            continue;
        ProcessLock lock(FileLock::lockPathOf(env.paths.delivPathFor(protocol)));
        if (lock.tryLock(0) != ProcessLock::Result::Locked)
            continue;
        try {
            if (!history)
                history = openHistory(env);
            settleHistory(env, *history, protocol);
        } catch (const Refusal&) {
            return; // told by the next print run, which cannot go on without it
        }
    }
}

RunHistory::RunHistory(Environment& env, Protocol protocol, const QDateTime& started) : m_env(env), m_protocol(protocol)
{
    m_run.startedAt = started;
    m_run.protocol = protocol;
    m_run.user = currentUser();
    m_run.host = QSysInfo::machineHostName();
}

RunHistory::~RunHistory() = default;

void RunHistory::open()
{
    m_store = openHistory(m_env);
    // Found before anything is printed, not at the first group's record.
    if (m_store->isReadOnly())
        throw Refusal(historyUnwritableText(m_store->path(), QStringLiteral("書き込みが許可されていません。")));
    settleHistory(m_env, *m_store, m_protocol);
    m_codes = CodeTable::load(m_env.paths.codePath);
}

QList<qint64> RunHistory::addPending(const GroupPrint& printed, OutputDocument document,
                                     const QList<std::pair<int, DeliveryRecord>>& plan, const QString& printer)
{
    QHash<int, const PrintedRecord*> byNumber;
    for (const PrintedRecord& r : printed.records)
        byNumber.insert(r.number, &r);
    QByteArray layout;
    QFile layoutFile(printed.layoutPath);
    if (layoutFile.open(QIODevice::ReadOnly))
        layout = layoutFile.readAll();
    const QString pdf = printed.group ? printed.group->pdfPath : QString();

    QList<HistoryDocument> documents;
    for (const auto& [number, record] : plan) {
        const PrintedRecord* lines = byNumber.value(number);
        if (!lines)
            continue; // marked, but it printed nothing (a record without tags)
        HistoryDocument d;
        d.kind = document;
        d.layoutName = QFileInfo(printed.layoutPath).fileName();
        d.layout = layout;
        d.pdfPath = pdf;
        d.page = printed.documentsPerSheet > 0 ? lines->firstLine / printed.documentsPerSheet + 1 : 0;
        d.dataLines = lines->lines;
        d.expected = HistoryStore::comparable(record.bytes());
        d.protocol = m_protocol;
        const auto text = [&](DeliveryField f) { return record.text(f).trimmed(); };
        d.ordererCode = text(DeliveryField::OrdererCode);
        d.supplierCode = text(DeliveryField::SupplierCode);
        d.ordererName = printed.ordererName;
        d.supplierName = printed.supplierName;
        d.deliveryKey = text(DeliveryField::DeliveryKeyNo);
        d.orderNo = text(DeliveryField::OrderNo);
        d.itemCode = text(DeliveryField::ItemCode);
        d.itemName = text(DeliveryField::ItemNameKanji).isEmpty() ? text(DeliveryField::ItemName)
                                                                  : text(DeliveryField::ItemNameKanji);
        d.currency = text(DeliveryField::Currency);
        // The amounts of the record's currency: a blank one is yen.
        const bool yen = !isForeignCurrency(d.currency);
        const auto number_ = [&](DeliveryField yenField, DeliveryField other) {
            return plainNumber(record.text(yen ? yenField : other));
        };
        d.shipQty = plainNumber(record.text(DeliveryField::ShipQty));
        d.unitPrice = number_(DeliveryField::UnitPrice, DeliveryField::UnitPriceX);
        d.amount = number_(DeliveryField::AmountExclTax, DeliveryField::AmountExclTaxX);
        d.tax = number_(DeliveryField::TaxAmount, DeliveryField::TaxAmountX);
        d.amountWithTax = number_(DeliveryField::AmountInclTax, DeliveryField::AmountInclTaxX);
        d.shipDate = text(DeliveryField::ShipDate);
        d.deliveryDate = text(DeliveryField::PlannedDeliveryDate);
        d.taxClass = text(DeliveryField::ConsumptionTaxClass);
        d.taxationClass = text(DeliveryField::TaxationClass);
        // Names and rate as the code table has them now: a rate changed later
        // does not change what was billed.
        d.taxClassName = m_codes.nameOf(m_protocol, QStringLiteral("02"), d.taxClass).trimmed();
        d.taxationClassName = m_codes.nameOf(m_protocol, QStringLiteral("03"), d.taxationClass).trimmed();
        d.taxRate =
            taxRateOfCode(m_codes, m_protocol, d.taxationClass).rounded(3, Rounding::HalfAwayFromZero).toString();
        documents.append(std::move(d));
    }
    if (documents.isEmpty())
        return {};
    m_run.printer = printer;
    try {
        m_store->addPending(m_run, documents);
    } catch (const HistoryError& e) {
        throw Refusal(historyUnwritableText(m_store->path(), e.description()));
    }
    if (!m_store->asidePath().isEmpty()) {
        // The file was found damaged while writing: set aside and begun anew.
        tellSetAside(m_env, *m_store);
        m_store->open(); // clears the notice; the new file is sound
    }
    QList<qint64> ids;
    for (const HistoryDocument& d : documents)
        ids.append(d.id);
    return ids;
}

void RunHistory::commit(const QList<qint64>& ids)
{
    if (ids.isEmpty())
        return;
    try {
        m_store->commit(m_run.id, ids);
    } catch (const HistoryError& e) {
        logAndGoOn(m_env,
                   QStringLiteral("発行履歴/確定できません。次の起動で納品書ﾌｧｲﾙに合わせます。") + e.description());
    }
}

void RunHistory::discard(const QList<qint64>& ids)
{
    if (ids.isEmpty())
        return;
    try {
        m_store->discard(m_run.id, ids);
    } catch (const HistoryError& e) {
        logAndGoOn(m_env,
                   QStringLiteral("発行履歴/取消できません。次の起動で納品書ﾌｧｲﾙに合わせます。") + e.description());
    }
}

} // namespace plx
