#include "PrintHistory.h"

#include "store/TaxRate.h"

#include "DocumentData.h"

#include "core/ApUse.h"
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
        if (!servesFormat(env, protocol))
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
    // Fixed to its offset here: turning a local time into text asks the C
    // library's time zone, which the writer thread must not do beside the
    // engine's own calls.
    m_run.startedAt = started.toOffsetFromUtc(started.offsetFromUtc());
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
    m_writer = std::make_unique<TaskThread>();
}

QList<HistoryDocument> RunHistory::documentsOf(const GroupPrint& ready, OutputDocument document,
                                               const QList<std::pair<int, DeliveryRecord>>& plan) const
{
    QHash<int, const PrintedRecord*> byNumber;
    for (const PrintedRecord& r : ready.records)
        byNumber.insert(r.number, &r);
    QByteArray layout;
    QFile layoutFile(ready.layoutPath);
    if (layoutFile.open(QIODevice::ReadOnly))
        layout = layoutFile.readAll();

    QList<HistoryDocument> documents;
    for (const auto& [number, record] : plan) {
        const PrintedRecord* lines = byNumber.value(number);
        if (!lines)
            continue; // marked, but it printed nothing (a record without tags)
        HistoryDocument d;
        d.kind = document;
        d.layoutName = QFileInfo(ready.layoutPath).fileName();
        d.layout = layout;
        d.pdfPath = ready.plannedPdfPath;
        d.page = ready.documentsPerSheet > 0 ? lines->firstLine / ready.documentsPerSheet + 1 : 0;
        d.dataLines = lines->lines;
        d.expected = HistoryStore::comparable(record.bytes());
        d.protocol = m_protocol;
        const auto text = [&](DeliveryField f) { return record.text(f).trimmed(); };
        d.ordererCode = text(DeliveryField::OrdererCode);
        d.supplierCode = text(DeliveryField::SupplierCode);
        d.ordererName = ready.ordererName;
        d.supplierName = ready.supplierName;
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
    return documents;
}

void RunHistory::beginGroup(const GroupPrint& ready, OutputDocument document,
                            const QList<std::pair<int, DeliveryRecord>>& plan, const QString& printer)
{
    m_group = std::make_shared<Group>();
    m_group->pdfPath = ready.plannedPdfPath;
    // The documents are made and written as pending while the engine prints:
    // a run ended before its records are marked leaves them for the
    // settlement, which drops them. The writer takes its own copies of what
    // it reads.
    m_writer->post([this, group = m_group, ready, document, plan, printer] {
        QList<HistoryDocument> documents = documentsOf(ready, document, plan);
        if (documents.isEmpty())
            return;
        m_run.printer = printer;
        try {
            m_store->addPending(m_run, documents);
            for (const HistoryDocument& d : std::as_const(documents))
                group->ids.append(d.id);
            group->setAside = !m_store->asidePath().isEmpty();
        } catch (const HistoryError& e) {
            group->failure = e.description();
        }
    });
}

void RunHistory::awaitGroup(const QString& pdfPath)
{
    if (!m_group)
        return;
    // The documents were written under the PDF the engine was to write; it
    // wrote another when that name was taken meanwhile.
    if (pdfPath != m_group->pdfPath) {
        m_writer->post([this, group = m_group, pdfPath] {
            if (!group->failure.isEmpty() || group->ids.isEmpty())
                return;
            try {
                m_store->namePdf(group->ids, pdfPath);
            } catch (const HistoryError& e) {
                group->failure = e.description();
            }
        });
    }
    m_writer->wait();
    logWriterNotes();
    if (!m_group->failure.isEmpty()) {
        const QString why = m_group->failure;
        discardGroup(); // what was written of it, if anything
        throw Refusal(historyUnwritableText(m_store->path(), why));
    }
    if (m_group->setAside) {
        // The file was found damaged while writing: set aside and begun anew.
        tellSetAside(m_env, *m_store);
        m_store->open(); // clears the notice; the new file is sound
    }
}

void RunHistory::commitGroup()
{
    settleGroup(true);
}

void RunHistory::discardGroup()
{
    settleGroup(false);
}

void RunHistory::settleGroup(bool issued)
{
    if (!m_group)
        return;
    m_writer->post([this, issued, group = std::exchange(m_group, nullptr)] {
        if (group->ids.isEmpty())
            return;
        try {
            if (issued)
                m_store->commit(m_run.id, group->ids);
            else
                m_store->discard(m_run.id, group->ids);
        } catch (const HistoryError& e) {
            m_writerNotes.append(
                (issued ? QStringLiteral("発行履歴/確定できません。") : QStringLiteral("発行履歴/取消できません。")) +
                QStringLiteral("次の起動で納品書ﾌｧｲﾙに合わせます。") + e.description());
        }
    });
}

void RunHistory::finish()
{
    if (!m_writer)
        return;
    m_writer->wait();
    logWriterNotes();
}

void RunHistory::logWriterNotes()
{
    for (const QString& note : std::as_const(m_writerNotes))
        logAndGoOn(m_env, note);
    m_writerNotes.clear();
}

} // namespace plx
