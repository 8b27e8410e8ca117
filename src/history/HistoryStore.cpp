#include "HistoryStore.h"

#include "Sqlite.h"

#include "core/ProcessLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <zlib.h>

namespace plx {

namespace {

const char* const kSchema = R"sql(
CREATE TABLE runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started_at TEXT NOT NULL,           -- ISO 8601, local time with offset
    protocol TEXT NOT NULL,             -- EIAJ or KORVAN
    user TEXT NOT NULL,
    host TEXT NOT NULL,
    printer TEXT NOT NULL DEFAULT '',   -- empty: PDF only
    state TEXT NOT NULL CHECK (state IN ('pending', 'committed'))
);
CREATE TABLE layouts (
    hash TEXT PRIMARY KEY,              -- SHA-256 of content, hex
    file_name TEXT NOT NULL,            -- the name it was first printed under
    content BLOB NOT NULL
) WITHOUT ROWID;
CREATE TABLE documents (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    run_id INTEGER NOT NULL REFERENCES runs (id),
    state TEXT NOT NULL CHECK (state IN ('pending', 'committed')),
    kind TEXT NOT NULL CHECK (kind IN ('slip', 'tag')),
    layout_name TEXT NOT NULL,
    layout_hash TEXT NOT NULL REFERENCES layouts (hash),
    pdf_path TEXT NOT NULL,
    page INTEGER NOT NULL,              -- first page of the document; 0 unknown
    data_lines BLOB NOT NULL,           -- the report's data lines, CP932 (qCompress)
    expected BLOB NOT NULL,             -- the record once marked, time stamp blank (qCompress)
    protocol TEXT NOT NULL,
    orderer_code TEXT NOT NULL,
    supplier_code TEXT NOT NULL,
    orderer_name TEXT NOT NULL,
    supplier_name TEXT NOT NULL,
    delivery_key TEXT NOT NULL,
    order_no TEXT NOT NULL,
    item_code TEXT NOT NULL,
    item_name TEXT NOT NULL,
    ship_qty TEXT NOT NULL,             -- decimal texts, exact
    unit_price TEXT NOT NULL,
    amount TEXT NOT NULL,
    tax TEXT NOT NULL,
    amount_with_tax TEXT NOT NULL,
    currency TEXT NOT NULL,
    ship_date TEXT NOT NULL,            -- YYYYMMDD
    delivery_date TEXT NOT NULL,        -- YYYYMMDD
    tax_class TEXT NOT NULL,
    taxation_class TEXT NOT NULL,
    tax_class_name TEXT NOT NULL,       -- the code table's names and rate when printed
    taxation_class_name TEXT NOT NULL,
    tax_rate TEXT NOT NULL              -- percent, a decimal text
);
CREATE INDEX documents_by_ship_date ON documents (protocol, ship_date);
CREATE INDEX documents_by_key ON documents (delivery_key);
CREATE INDEX documents_by_order_no ON documents (order_no);
CREATE INDEX documents_by_item ON documents (item_code);
CREATE INDEX documents_by_company ON documents (orderer_code, supplier_code);
CREATE INDEX documents_pending ON documents (run_id) WHERE state = 'pending';
)sql";

QString kindName(OutputDocument kind)
{
    return kind == OutputDocument::Tag ? QStringLiteral("tag") : QStringLiteral("slip");
}

// Bytes as qCompress keeps them (their length, big-endian, then a zlib
// stream), at zlib's fastest level through one stream kept for the thread: the
// blobs are small and alike, and a new stream for each costs more than the
// compression itself. qUncompress reads them back.
QByteArray compact(const QByteArray& in)
{
    struct Stream
    {
        z_stream z{};
        bool ok = deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        ~Stream()
        {
            if (ok)
                deflateEnd(&z);
        }
    };
    thread_local Stream stream;
    if (!stream.ok || deflateReset(&stream.z) != Z_OK)
        return qCompress(in, 1);
    const auto size = uLong(in.size());
    QByteArray out(qsizetype(4 + deflateBound(&stream.z, size)), Qt::Uninitialized);
    out[0] = char((size >> 24) & 0xff);
    out[1] = char((size >> 16) & 0xff);
    out[2] = char((size >> 8) & 0xff);
    out[3] = char(size & 0xff);
    stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    stream.z.avail_in = uInt(size);
    stream.z.next_out = reinterpret_cast<Bytef*>(out.data() + 4);
    stream.z.avail_out = uInt(out.size() - 4);
    if (deflate(&stream.z, Z_FINISH) != Z_STREAM_END)
        return qCompress(in, 1);
    out.resize(qsizetype(4 + stream.z.total_out));
    return out;
}

HistoryError failure(const sqlite::Error& e)
{
    return HistoryError(e.message());
}

// Runs `sql` with each document's id as its one parameter, then `finish`, in
// one transaction.
template <typename Finish>
void forEachDocument(sqlite::Database& db, const char* sql, const QList<qint64>& documentIds, Finish finish)
{
    sqlite::Transaction transaction(db);
    sqlite::Statement statement(db, sql);
    for (qint64 id : documentIds)
        statement.bind(1, id).run();
    finish();
    transaction.commit();
}

} // namespace

HistoryStore::HistoryStore(QString path) : m_path(std::move(path)), m_db(std::make_unique<sqlite::Database>()) {}

HistoryStore::~HistoryStore() = default;

QByteArray HistoryStore::comparable(QByteArray recordBytes)
{
    const FixedField stamp = DeliveryRecord::field(DeliveryField::UpdatedAt);
    if (recordBytes.size() >= stamp.offset + stamp.width)
        recordBytes.replace(stamp.offset, stamp.width, QByteArray(stamp.width, ' '));
    return recordBytes;
}

HistoryStore::Opening HistoryStore::open()
{
    m_asidePath.clear();
    m_damage.clear();
    // Opening is done by one program at a time: beginning a missing file,
    // turning it to WAL and setting a damaged one aside race with another
    // program doing the same (SQLite then reports the journal it cannot find
    // as an I/O error). The lock is the operating system's, gone with a
    // killed holder; where it cannot be made (a folder this account may only
    // read) the open goes on without it.
    ProcessLock opening(m_path + QStringLiteral(".lock"));
    if (opening.tryLock(kBusyMilliseconds) == ProcessLock::Result::Held)
        throw HistoryError(QStringLiteral("他のﾌﾟﾛｸﾞﾗﾑが発行履歴を開いています。"));
    const bool existed = QFileInfo::exists(m_path);
    try {
        m_db->open(m_path, true);
        m_db->setBusyTimeout(kBusyMilliseconds);
        // A file that is not a database fails here, on its first page; one
        // found damaged or of another schema is judged before anything
        // (the journal mode included) is written to it.
        if (existed)
            checkSchema();
        setModes();
        if (!existed)
            createSchema();
        return existed ? Opening::Opened : Opening::Created;
    } catch (const sqlite::Error& e) {
        if (!e.isDamage() || !existed)
            throw failure(e);
        setAside(e.message());
    } catch (const HistoryError& e) {
        if (!existed)
            throw;
        setAside(e.description());
    }
    beginNew();
    return Opening::SetAside;
}

void HistoryStore::beginNew()
{
    try {
        m_db->open(m_path, true);
        m_db->setBusyTimeout(kBusyMilliseconds);
        setModes();
        createSchema();
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

void HistoryStore::setModes()
{
    // Turning a new file to WAL takes it whole for a moment, and SQLite
    // answers "busy" at once instead of waiting while another program (a
    // print run of the other format, say) does the same or reads it: asked
    // again for as long as a write would wait.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            m_db->exec("PRAGMA journal_mode = WAL");
            break;
        } catch (const sqlite::Error& e) {
            if (!e.isBusy() || waited.elapsed() >= kBusyMilliseconds)
                throw;
            QThread::msleep(20);
        }
    }
    m_db->exec("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON");
}

bool HistoryStore::isReadOnly() const
{
    return m_db->isOpen() && m_db->isReadOnly();
}

void HistoryStore::createSchema()
{
    sqlite::Transaction transaction(*m_db);
    // Another program may have begun the same new file a moment before.
    if (m_db->scalar("PRAGMA user_version").toInt() == 0) {
        m_db->exec(kSchema);
        m_db->exec(QByteArray("PRAGMA user_version = " + QByteArray::number(kSchemaVersion)).constData());
    }
    transaction.commit();
    checkSchema();
}

void HistoryStore::checkSchema()
{
    const int version = m_db->scalar("PRAGMA user_version").toInt();
    if (version == 0 && m_db->scalar("SELECT count(*) FROM sqlite_master").toInt() == 0) {
        // An empty file (a program stopped while beginning it): begin it now.
        createSchema();
        return;
    }
    if (version != kSchemaVersion)
        throw HistoryError(QStringLiteral("履歴ﾌｧｲﾙの版(%1)が違います。").arg(version));
    const QSet<QString> wanted = {QStringLiteral("runs"), QStringLiteral("layouts"), QStringLiteral("documents")};
    QSet<QString> found;
    sqlite::Statement tables(*m_db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (tables.step())
        found.insert(tables.text(0));
    if (!found.contains(wanted))
        throw HistoryError(QStringLiteral("履歴ﾌｧｲﾙの表がありません。"));
    // The pages are not all read here (a history of years would take long);
    // damage met later by a write sets the file aside then (addPending).
}

void HistoryStore::setAside(const QString& why)
{
    m_db->close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString aside = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, aside))
        throw HistoryError(
            QStringLiteral("壊れた履歴ﾌｧｲﾙを退避できません。(%1)").arg(QDir::toNativeSeparators(m_path)));
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString companion = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(companion))
            QFile::rename(companion, aside + QLatin1String(suffix));
    }
    m_asidePath = aside;
    m_damage = why;
}

void HistoryStore::addPending(HistoryRun& run, QList<HistoryDocument>& documents)
{
    try {
        writePending(run, documents);
    } catch (const sqlite::Error& e) {
        if (!e.isDamage())
            throw failure(e);
        // Pages found damaged: the file is kept aside and the run goes on in
        // a new one (its earlier documents stay in the one set aside).
        setAside(e.message());
        beginNew();
        run.id = 0;
        try {
            writePending(run, documents);
        } catch (const sqlite::Error& again) {
            throw failure(again);
        }
    }
}

void HistoryStore::writePending(HistoryRun& run, QList<HistoryDocument>& documents)
{
    const qint64 givenRun = run.id;
    try {
        // The pending documents must be on the disk before the data file is
        // marked: this commit waits for it.
        m_db->exec("PRAGMA synchronous = FULL");
        sqlite::Transaction transaction(*m_db);
        if (run.id == 0) {
            sqlite::Statement insertRun(*m_db, "INSERT INTO runs (started_at, protocol, user, host, printer, state) "
                                               "VALUES (?, ?, ?, ?, ?, 'pending')");
            insertRun.bind(1, run.startedAt.toOffsetFromUtc(run.startedAt.offsetFromUtc()).toString(Qt::ISODate))
                .bind(2, protocolName(run.protocol))
                .bind(3, run.user)
                .bind(4, run.host)
                .bind(5, run.printer)
                .run();
            run.id = m_db->lastInsertId();
        } else {
            sqlite::Statement pending(*m_db, "UPDATE runs SET state = 'pending' WHERE id = ?");
            pending.bind(1, run.id).run();
        }
        sqlite::Statement insertLayout(*m_db,
                                       "INSERT OR IGNORE INTO layouts (hash, file_name, content) VALUES (?, ?, ?)");
        sqlite::Statement insertDocument(
            *m_db,
            "INSERT INTO documents (run_id, state, kind, layout_name, layout_hash, pdf_path, page, data_lines, "
            "expected, protocol, orderer_code, supplier_code, orderer_name, supplier_name, delivery_key, "
            "order_no, item_code, item_name, ship_qty, unit_price, amount, tax, amount_with_tax, currency, "
            "ship_date, delivery_date, tax_class, taxation_class, tax_class_name, taxation_class_name, tax_rate) "
            "VALUES (?, 'pending', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?)");
        QSet<QByteArray> layoutsWritten;
        QByteArray lastLayout; // the documents of a group share their layout's bytes
        QByteArray lastHash;
        for (HistoryDocument& d : documents) {
            if (lastHash.isEmpty() || !d.layout.isSharedWith(lastLayout)) {
                lastLayout = d.layout;
                lastHash = QCryptographicHash::hash(d.layout, QCryptographicHash::Sha256).toHex();
            }
            d.layoutHash = lastHash;
            if (!layoutsWritten.contains(d.layoutHash)) {
                layoutsWritten.insert(d.layoutHash);
                insertLayout.bind(1, QString::fromLatin1(d.layoutHash)).bind(2, d.layoutName).bindBlob(3, d.layout);
                insertLayout.run();
            }
            insertDocument.bind(1, run.id)
                .bind(2, kindName(d.kind))
                .bind(3, d.layoutName)
                .bind(4, QString::fromLatin1(d.layoutHash))
                .bind(5, d.pdfPath)
                .bind(6, qint64(d.page))
                .bindBlob(7, compact(d.dataLines))
                .bindBlob(8, compact(d.expected))
                .bind(9, protocolName(d.protocol));
            int i = 9;
            for (const QString* text :
                 {&d.ordererCode,  &d.supplierCode, &d.ordererName,   &d.supplierName, &d.deliveryKey,
                  &d.orderNo,      &d.itemCode,     &d.itemName,      &d.shipQty,      &d.unitPrice,
                  &d.amount,       &d.tax,          &d.amountWithTax, &d.currency,     &d.shipDate,
                  &d.deliveryDate, &d.taxClass,     &d.taxationClass, &d.taxClassName, &d.taxationClassName,
                  &d.taxRate})
                insertDocument.bind(++i, *text);
            insertDocument.run();
            d.id = m_db->lastInsertId();
            d.runId = run.id;
        }
        transaction.commit();
    } catch (const sqlite::Error&) {
        run.id = givenRun;
        throw;
    }
}

void HistoryStore::finishRun(qint64 runId)
{
    sqlite::Statement finish(*m_db, "UPDATE runs SET state = 'committed' WHERE id = ? AND NOT EXISTS "
                                    "(SELECT 1 FROM documents WHERE run_id = runs.id AND state = 'pending')");
    finish.bind(1, runId).run();
}

void HistoryStore::namePdf(const QList<qint64>& documentIds, const QString& pdfPath)
{
    try {
        // Settled by the data file like the pending documents themselves, a
        // name lost with the power costs only the name: no wait for the disk.
        m_db->exec("PRAGMA synchronous = NORMAL");
        sqlite::Transaction transaction(*m_db);
        sqlite::Statement named(*m_db, "UPDATE documents SET pdf_path = ? WHERE id = ? AND state = 'pending'");
        for (qint64 id : documentIds)
            named.bind(1, pdfPath).bind(2, id).run();
        transaction.commit();
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

void HistoryStore::commit(qint64 runId, const QList<qint64>& documentIds)
{
    try {
        // A commit lost with the power is settled by the data file at the next
        // start, as after a kill: it need not wait for the disk.
        m_db->exec("PRAGMA synchronous = NORMAL");
        forEachDocument(*m_db, "UPDATE documents SET state = 'committed' WHERE id = ?", documentIds,
                        [&] { finishRun(runId); });
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

void HistoryStore::discard(qint64 runId, const QList<qint64>& documentIds)
{
    try {
        forEachDocument(*m_db, "DELETE FROM documents WHERE id = ? AND state = 'pending'", documentIds,
                        [&] { finishRun(runId); });
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

bool HistoryStore::hasPending(Protocol protocol)
{
    try {
        sqlite::Statement pending(*m_db, "SELECT 1 FROM documents WHERE state = 'pending' AND protocol = ? LIMIT 1");
        pending.bind(1, protocolName(protocol));
        return pending.step();
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

int HistoryStore::settle(Protocol protocol, const std::function<bool(const QByteArray& expected)>& issued)
{
    int removed = 0;
    try {
        sqlite::Transaction transaction(*m_db);
        QList<std::pair<qint64, bool>> judged;
        QSet<qint64> runs;
        {
            sqlite::Statement pending(
                *m_db, "SELECT id, run_id, expected FROM documents WHERE state = 'pending' AND protocol = ?");
            pending.bind(1, protocolName(protocol));
            while (pending.step()) {
                judged.append({pending.integer(0), issued(comparable(qUncompress(pending.blob(2))))});
                runs.insert(pending.integer(1));
            }
        }
        sqlite::Statement keep(*m_db, "UPDATE documents SET state = 'committed' WHERE id = ?");
        sqlite::Statement drop(*m_db, "DELETE FROM documents WHERE id = ?");
        for (const auto& [id, shown] : judged) {
            (shown ? keep : drop).bind(1, id).run();
            removed += shown ? 0 : 1;
        }
        for (qint64 run : runs)
            finishRun(run);
        transaction.commit();
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
    return removed;
}

QList<HistoryDocument> HistoryStore::find(const HistoryQuery& query)
{
    // The data lines and the marked record only when asked for: a month's
    // look-up need not unpack them.
    QByteArray sql = QByteArray("SELECT d.id, d.run_id, d.kind, d.layout_name, d.layout_hash, d.pdf_path, d.page, ") +
                     (query.withContent ? "d.data_lines, d.expected, " : "x'', x'', ") +
                     "d.orderer_code, d.supplier_code, d.orderer_name, d.supplier_name, d.delivery_key, "
                     "d.order_no, d.item_code, d.item_name, d.ship_qty, d.unit_price, d.amount, d.tax, "
                     "d.amount_with_tax, d.currency, d.ship_date, d.delivery_date, d.tax_class, d.taxation_class, "
                     "d.tax_class_name, d.taxation_class_name, d.tax_rate, d.protocol, "
                     "r.started_at FROM documents d JOIN runs r ON r.id = d.run_id "
                     "WHERE d.state = 'committed'";
    if (!query.anyProtocol)
        sql += " AND d.protocol = ?1";
    if (!query.ids.isEmpty()) {
        // Numbers only: written into the statement as they are.
        QByteArrayList ids;
        for (const qint64 id : query.ids)
            ids.append(QByteArray::number(id));
        sql += " AND d.id IN (" + ids.join(',') + ')';
    }
    const std::pair<const QString*, const char*> conditions[] = {
        {&query.fromShipDate, " AND d.ship_date >= ?2"},  {&query.toShipDate, " AND d.ship_date <= ?3"},
        {&query.ordererCode, " AND d.orderer_code = ?4"}, {&query.supplierCode, " AND d.supplier_code = ?5"},
        {&query.deliveryKey, " AND d.delivery_key = ?6"}, {&query.orderNo, " AND d.order_no = ?7"},
        {&query.itemCode, " AND d.item_code = ?8"}};
    for (const auto& [value, condition] : conditions) {
        if (!value->isEmpty())
            sql += condition;
    }
    sql += " ORDER BY d.id DESC";
    QList<HistoryDocument> out;
    try {
        sqlite::Statement select(*m_db, sql.constData());
        if (!query.anyProtocol)
            select.bind(1, protocolName(query.protocol));
        int n = 2;
        for (const auto& [value, condition] : conditions) {
            if (!value->isEmpty())
                select.bind(n, *value);
            ++n;
        }
        while (select.step()) {
            HistoryDocument d;
            int c = 0;
            d.id = select.integer(c++);
            d.runId = select.integer(c++);
            d.kind = select.text(c++) == QLatin1String("tag") ? OutputDocument::Tag : OutputDocument::Slip;
            d.layoutName = select.text(c++);
            d.layoutHash = select.text(c++).toLatin1();
            d.pdfPath = select.text(c++);
            d.page = int(select.integer(c++));
            for (QByteArray* blob : {&d.dataLines, &d.expected}) {
                const QByteArray packed = select.blob(c++);
                if (!packed.isEmpty())
                    *blob = qUncompress(packed);
            }
            for (QString* text :
                 {&d.ordererCode,  &d.supplierCode, &d.ordererName,   &d.supplierName, &d.deliveryKey,
                  &d.orderNo,      &d.itemCode,     &d.itemName,      &d.shipQty,      &d.unitPrice,
                  &d.amount,       &d.tax,          &d.amountWithTax, &d.currency,     &d.shipDate,
                  &d.deliveryDate, &d.taxClass,     &d.taxationClass, &d.taxClassName, &d.taxationClassName,
                  &d.taxRate})
                *text = select.text(c++);
            d.protocol = select.text(c++) == protocolName(Protocol::Korvan) ? Protocol::Korvan : Protocol::Eiaj;
            d.issuedAt = QDateTime::fromString(select.text(c++), Qt::ISODate);
            out.append(std::move(d));
        }
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
    return out;
}

QByteArray HistoryStore::layout(const QByteArray& hash)
{
    try {
        sqlite::Statement select(*m_db, "SELECT content FROM layouts WHERE hash = ?");
        select.bind(1, QString::fromLatin1(hash));
        return select.step() ? select.blob(0) : QByteArray();
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

int HistoryStore::documentCount(bool pending)
{
    try {
        sqlite::Statement count(*m_db, "SELECT count(*) FROM documents WHERE state = ?");
        count.bind(1, pending ? QStringLiteral("pending") : QStringLiteral("committed"));
        return count.step() ? int(count.integer(0)) : 0;
    } catch (const sqlite::Error& e) {
        throw failure(e);
    }
}

} // namespace plx
