#include "history/HistoryStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using namespace plx;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs SQL on a database file through its own connection.
void runSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

QString scalar(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt* st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

HistoryDocument document(const QString& key, const QString& shipDate, const QString& orderer = QStringLiteral("102851"),
                         const QString& orderNo = QStringLiteral("PO-1"), const QString& item = QStringLiteral("IT-1"))
{
    HistoryDocument d;
    d.layoutName = QStringLiteral("E_Slip.agr");
    d.layout = "{\"layout\": 1}";
    d.pdfPath = QStringLiteral("/tmp/x.pdf");
    d.page = 1;
    d.dataLines = "\"a\",\"b\"\r\n";
    d.expected = key.toLatin1();
    d.ordererCode = orderer;
    d.supplierCode = QStringLiteral("M40217");
    d.deliveryKey = key;
    d.orderNo = orderNo;
    d.itemCode = item;
    d.shipDate = shipDate;
    d.amount = QStringLiteral("1000");
    return d;
}

// Adds and commits documents in one run; returns their ids.
QList<qint64> issue(HistoryStore& store, QList<HistoryDocument> documents, Protocol protocol = Protocol::Eiaj)
{
    HistoryRun run;
    run.startedAt = QDateTime::currentDateTime();
    run.protocol = protocol;
    for (HistoryDocument& d : documents)
        d.protocol = protocol;
    store.addPending(run, documents);
    QList<qint64> ids;
    for (const HistoryDocument& d : documents)
        ids.append(d.id);
    store.commit(run.id, ids);
    return ids;
}

QList<qint64> idsOf(const QList<HistoryDocument>& documents)
{
    QList<qint64> out;
    for (const HistoryDocument& d : documents)
        out.append(d.id);
    return out;
}

} // namespace

// How the store opens what it finds at its path: nothing, its own file, an
// empty file, a file that is no database, a database of another schema. A
// damaged file is kept beside under a name that says so, never written over.
TEST(HistoryStoreTest, OpensWhatItFindsAndSetsDamageAside)
{
    struct Case
    {
        const char* name;
        std::function<void(const QString&)> prepare;
        HistoryStore::Opening expected;
        int documentsAfter; // in the file opened
    };
    const QList<Case> cases = {
        {"missing", [](const QString&) {}, HistoryStore::Opening::Created, 0},
        {"its own, reopened",
         [](const QString& path) {
             HistoryStore first(path);
             first.open();
             issue(first, {document(QStringLiteral("K1"), QStringLiteral("20261201"))});
         },
         HistoryStore::Opening::Opened, 1},
        {"empty file", [](const QString& path) { writeFile(path, QByteArray()); }, HistoryStore::Opening::Opened, 0},
        {"not a database", [](const QString& path) { writeFile(path, QByteArray(8192, 'x').prepend("garbage ")); },
         HistoryStore::Opening::SetAside, 0},
        {"damaged header",
         [](const QString& path) {
             {
                 HistoryStore first(path);
                 first.open();
                 issue(first, {document(QStringLiteral("K1"), QStringLiteral("20261201"))});
             }
             QByteArray bytes = readAll(path);
             bytes.replace(0, 16, QByteArray(16, '\0'));
             writeFile(path, bytes);
         },
         HistoryStore::Opening::SetAside, 0},
        {"another schema", [](const QString& path) { runSql(path, "CREATE TABLE t (a); PRAGMA user_version = 7;"); },
         HistoryStore::Opening::SetAside, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.db"));
        c.prepare(path);
        const QByteArray before = readAll(path);
        HistoryStore store(path);
        ASSERT_EQ(store.open(), c.expected);
        EXPECT_EQ(store.documentCount(false), c.documentsAfter);
        EXPECT_EQ(scalar(path, "PRAGMA journal_mode"), QStringLiteral("wal"));
        EXPECT_EQ(scalar(path, "PRAGMA user_version"), QString::number(HistoryStore::kSchemaVersion));
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("History.db.damaged-*")}, QDir::Files);
        if (c.expected == HistoryStore::Opening::SetAside) {
            ASSERT_EQ(aside.size(), 1) << aside.join(u' ').toStdString();
            EXPECT_EQ(store.asidePath(), dir.filePath(aside.first()));
            EXPECT_TRUE(
                QRegularExpression(QStringLiteral("^History\\.db\\.damaged-\\d{14}$")).match(aside.first()).hasMatch());
            EXPECT_EQ(readAll(store.asidePath()), before); // kept as it was
            EXPECT_FALSE(store.damage().isEmpty());
        } else {
            EXPECT_TRUE(aside.isEmpty());
        }
        // The file opened takes documents whatever it was.
        issue(store, {document(QStringLiteral("K2"), QStringLiteral("20261202"))});
        EXPECT_EQ(store.documentCount(false), c.documentsAfter + 1);
    }
}

// A path the store cannot create a file at is an error, not damage: nothing
// is set aside.
TEST(HistoryStoreTest, UnopenableIsAnErrorNotDamage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("History.db"));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the file should be
    HistoryStore store(path);
    EXPECT_THROW(store.open(), HistoryError);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("History.db.damaged-*")}, QDir::AllEntries).isEmpty());
}

// The look-ups: each condition alone and together, newest first, committed
// documents of the protocol only.
TEST(HistoryStoreTest, LooksUpByConditionsNewestFirst)
{
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("History.db")));
    store.open();
    const QList<qint64> a =
        issue(store, {document(QStringLiteral("K1"), QStringLiteral("20261130"), "102851", "PO-1", "IT-1"),
                      document(QStringLiteral("K2"), QStringLiteral("20261201"), "102851", "PO-2", "IT-2")});
    const QList<qint64> b =
        issue(store, {document(QStringLiteral("K3"), QStringLiteral("20261215"), "207733", "PO-3", "IT-1"),
                      document(QStringLiteral("K4"), QStringLiteral("20261231"), "207733", "PO-2", "IT-3")});
    issue(store, {document(QStringLiteral("K5"), QStringLiteral("20261210"))}, Protocol::Korvan);
    // A run that never committed shows nothing.
    HistoryRun open;
    open.protocol = Protocol::Eiaj;
    QList<HistoryDocument> pending = {document(QStringLiteral("K6"), QStringLiteral("20261210"))};
    store.addPending(open, pending);

    struct Case
    {
        const char* name;
        HistoryQuery query;
        QList<qint64> expected;
    };
    const auto q = [](std::function<void(HistoryQuery&)> set) {
        HistoryQuery query;
        set(query);
        return query;
    };
    const QList<Case> cases = {
        {"all", q([](HistoryQuery&) {}), {b[1], b[0], a[1], a[0]}},
        {"from", q([](HistoryQuery& x) { x.fromShipDate = "20261201"; }), {b[1], b[0], a[1]}},
        {"to", q([](HistoryQuery& x) { x.toShipDate = "20261215"; }), {b[0], a[1], a[0]}},
        {"from to", q([](HistoryQuery& x) { x.fromShipDate = "20261201", x.toShipDate = "20261215"; }), {b[0], a[1]}},
        {"company", q([](HistoryQuery& x) { x.ordererCode = "207733", x.supplierCode = "M40217"; }), {b[1], b[0]}},
        {"other supplier", q([](HistoryQuery& x) { x.ordererCode = "207733", x.supplierCode = "X"; }), {}},
        {"key", q([](HistoryQuery& x) { x.deliveryKey = "K2"; }), {a[1]}},
        {"order no", q([](HistoryQuery& x) { x.orderNo = "PO-2"; }), {b[1], a[1]}},
        {"item", q([](HistoryQuery& x) { x.itemCode = "IT-1"; }), {b[0], a[0]}},
        {"item and to", q([](HistoryQuery& x) { x.itemCode = "IT-1", x.toShipDate = "20261201"; }), {a[0]}},
        {"korvan", q([](HistoryQuery& x) { x.protocol = Protocol::Korvan; }), {a.last() + 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(idsOf(store.find(c.query)), c.expected);
    }
    // What a reprint needs comes back byte for byte when asked for.
    EXPECT_TRUE(store.find({}).first().dataLines.isEmpty());
    HistoryQuery withContent;
    withContent.withContent = true;
    const HistoryDocument back = store.find(withContent).first();
    EXPECT_EQ(back.dataLines, document(QStringLiteral("K4"), QString()).dataLines);
    EXPECT_EQ(back.expected, QByteArray("K4"));
    EXPECT_EQ(store.layout(back.layoutHash), document(QStringLiteral("K4"), QString()).layout);
    EXPECT_EQ(back.layoutHash,
              QCryptographicHash::hash(store.layout(back.layoutHash), QCryptographicHash::Sha256).toHex());
}

// Settling: a pending document whose record the data file shows is kept and
// committed, any other removed; committed documents are not judged again.
TEST(HistoryStoreTest, SettlesPendingDocumentsByTheDataFile)
{
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("History.db")));
    store.open();
    const QList<qint64> committed = issue(store, {document(QStringLiteral("C1"), QStringLiteral("20261201"))});
    HistoryRun run;
    run.protocol = Protocol::Eiaj;
    QList<HistoryDocument> pending = {document(QStringLiteral("P1"), QStringLiteral("20261201")),
                                      document(QStringLiteral("P2"), QStringLiteral("20261201"))};
    store.addPending(run, pending);
    ASSERT_TRUE(store.hasPending(Protocol::Eiaj));
    EXPECT_FALSE(store.hasPending(Protocol::Korvan));

    QStringList judged;
    const int removed = store.settle(Protocol::Eiaj, [&](const QByteArray& expected) {
        judged.append(QString::fromLatin1(expected));
        return expected == "P1";
    });
    EXPECT_EQ(removed, 1);
    judged.sort();
    EXPECT_EQ(judged, (QStringList{"P1", "P2"}));
    EXPECT_FALSE(store.hasPending(Protocol::Eiaj));
    EXPECT_EQ(idsOf(store.find({})), (QList<qint64>{pending[0].id, committed[0]}));
    EXPECT_EQ(scalar(store.path(), "SELECT group_concat(state) FROM runs"), QStringLiteral("committed,committed"));
}

// Programs that begin a missing history at the same moment (two formats'
// print runs started together) each open it; none is told it is busy.
TEST(HistoryStoreTest, ManyOpeningAMissingFileAtOnceAllOpenIt)
{
    for (int trial = 0; trial < 10; ++trial) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.db"));
        std::atomic<int> ready{0};
        std::atomic<int> failed{0};
        std::mutex said;
        QStringList why;
        std::vector<std::thread> openers;
        constexpr int kOpeners = 6;
        for (int i = 0; i < kOpeners; ++i) {
            openers.emplace_back([&] {
                HistoryStore store(path);
                ++ready;
                while (ready < kOpeners) {
                }
                try {
                    store.open();
                } catch (const HistoryError& e) {
                    ++failed;
                    const std::lock_guard lock(said);
                    why << e.description();
                }
            });
        }
        for (std::thread& t : openers)
            t.join();
        EXPECT_EQ(failed, 0) << "trial " << trial << ": " << why.join(u'\n').toStdString();
    }
}
