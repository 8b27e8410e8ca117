#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/text/Cp932.h"
#include "store/DeliveryStore.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(DeliveryRecord, FieldsAreContiguousAndFillTheRecord)
{
    int next = 0;
    for (const auto& info : DeliveryRecord::fields()) {
        EXPECT_EQ(info.field.offset, next) << info.name;
        next += info.field.width;
    }
    EXPECT_EQ(next, DeliveryRecord::kLength);
    EXPECT_EQ(DeliveryRecord::field(DeliveryField::Currency).offset, 2239);
    EXPECT_EQ(DeliveryRecord::field(DeliveryField::TagLines).width, 99 * 15);
    EXPECT_EQ(DeliveryRecord::fieldByName(u"AmountInclTaxX"), DeliveryField::AmountInclTaxX);
    EXPECT_FALSE(DeliveryRecord::fieldByName(u"NoSuchField"));
}

TEST(DeliveryRecord, TextsCutInBytesAndTagLines)
{
    DeliveryRecord r;
    EXPECT_EQ(r.bytes().right(2), QByteArray("\r\n"));
    // A 60-byte field holds at most 30 full-width characters.
    r.setText(DeliveryField::ItemNameKanji, QString(31, QChar(u'品')));
    EXPECT_EQ(r.text(DeliveryField::ItemNameKanji), QString(30, QChar(u'品')));
    // 7 bytes: three kanji and a blank, never half of the fourth.
    r.setText(DeliveryField::BuyerName, QStringLiteral("山田太郎"));
    EXPECT_EQ(r.raw(DeliveryField::BuyerName), cp932::encode(u"山田太") + ' ');
    r.clearTagLines();
    r.setTagLine(3, QStringLiteral("000000012.500"), QStringLiteral("07"));
    EXPECT_EQ(r.tagQty(3), QStringLiteral("000000012.500"));
    EXPECT_EQ(r.tagCount(3), QStringLiteral("07"));
    EXPECT_EQ(r.tagQty(99), QStringLiteral("000000000.000"));
    EXPECT_EQ(r.raw(DeliveryField::TagLines).mid(2 * 15, 15), QByteArray("000000012.50007"));
    EXPECT_EQ(r.bytes().size(), DeliveryRecord::kLength);

    // Tags per line: the zero texts are a line of no tags; a blank quantity or
    // count (an ideographic space too) ends the lines.
    EXPECT_EQ(r.tagLineTags(3), 7);
    EXPECT_EQ(r.tagLineTags(99), 0);
    r.setTagLine(4, QStringLiteral("12"), QStringLiteral(" 3"));
    EXPECT_EQ(r.tagLineTags(4), 3);
    r.setTagLine(5, QStringLiteral("12"), QStringLiteral("  "));
    EXPECT_EQ(r.tagLineTags(5), std::nullopt);
    r.setTagLine(6, QStringLiteral("　"), QStringLiteral("01"));
    EXPECT_EQ(r.tagLineTags(6), std::nullopt);
    r.setTagLine(7, QStringLiteral("１"), QStringLiteral("02"));
    EXPECT_EQ(r.tagLineTags(7), 2);
}

namespace {

struct StoreFixture : ::testing::Test
{
    TestInstall inst;
    QString path() const { return inst.path(QStringLiteral("Prg/E_Deliv.dat")); }
    void seed(const QList<DeliveryRecord>& records)
    {
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
    }
    QByteArray onDisk() const { return inst.readFile(QStringLiteral("Prg/E_Deliv.dat")); }
};

} // namespace

TEST_F(StoreFixture, OpenCreatesAMissingFileAndRefusesADamagedOne)
{
    DeliveryStore store(path(), inst.clock);
    EXPECT_EQ(store.open(), 0);
    EXPECT_TRUE(QFile::exists(path()));

    const QByteArray whole = fileOf(QList{delivery('1', "A", "S", "K1"), delivery('1', "A", "S", "K2")});
    QByteArray noLineEnd = whole;
    noLineEnd[2 * DeliveryRecord::kLength - 1] = ' ';
    const struct
    {
        QByteArray bytes;
        const char* where; // what the message says of the damage
    } damaged[] = {
        {whole + "partial", "3件目、4621ﾊﾞｲﾄ目から)が途中で切れています"}, // a torn last record
        {"junk" + whole, "1件目のﾚｺｰﾄﾞ(1ﾊﾞｲﾄ目)"},                         // bytes in front shift every record
        {noLineEnd, "2件目のﾚｺｰﾄﾞ(2311ﾊﾞｲﾄ目)"},                           // a record without CR LF
        {QByteArray(DeliveryRecord::kLength - 2, 'x') + "\r\n", "1件目"},  // no kind digit
    };
    for (const auto& d : damaged) {
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), d.bytes);
        try {
            store.open();
            ADD_FAILURE() << "accepted: " << d.where;
        } catch (const Refusal& refusal) {
            EXPECT_TRUE(refusal.message().contains(QString::fromUtf8(d.where))) << refusal.message().toStdString();
            EXPECT_TRUE(refusal.message().contains(QStringLiteral("E_Deliv.dat")));
        }
        EXPECT_EQ(onDisk(), d.bytes);
    }
}

TEST_F(StoreFixture, AWriteGoesOnlyOverTheRecordThatWasRead)
{
    seed({delivery('1', "A", "S", "K1"), delivery('1', "A", "S", "K2")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    const auto refusedWith10 = [](auto&& write) {
        try {
            write();
        } catch (const Refusal& refusal) {
            return refusal.number() == 10;
        }
        return false;
    };
    // Another program rebuilt the file: K1 is gone and K2 moved to record 1.
    const QByteArray rebuilt = fileOf(QList{delivery('1', "A", "S", "K2"), delivery('1', "A", "S", "K3")});
    seed({delivery('1', "A", "S", "K2"), delivery('1', "A", "S", "K3")});
    EXPECT_TRUE(refusedWith10([&] { store.markDeleted(1); }));
    EXPECT_TRUE(refusedWith10([&] { store.write(2, store.read(2)); }));
    EXPECT_EQ(onDisk(), rebuilt);

    // Another program appended a record: an append here would overwrite it.
    store.open();
    seed({delivery('1', "A", "S", "K2"), delivery('1', "A", "S", "K3"), delivery('1', "A", "S", "K4")});
    EXPECT_TRUE(refusedWith10([&] { store.write(3, delivery('1', "A", "S", "MINE")); }));
    EXPECT_EQ(onDisk().size(), 3 * DeliveryRecord::kLength);

    // Other fields may have changed; kind and keys decide.
    store.open();
    DeliveryRecord changed = store.read(1);
    changed.setText(DeliveryField::Status, u"2");
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), onDisk().replace(0, DeliveryRecord::kLength, changed.bytes()));
    store.markDeleted(1);
    EXPECT_EQ(onDisk().at(0), ' ');
}

TEST_F(StoreFixture, AGroupIsWrittenWholeOrNotAtAll)
{
    seed({delivery('1', "A", "S", "K1"), delivery('1', "A", "S", "K2"), delivery('1', "A", "S", "K3")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    const auto issued = [&](int n) {
        DeliveryRecord r = store.read(n);
        r.setText(DeliveryField::Status, u"2");
        return std::pair<int, DeliveryRecord>(n, r);
    };
    // Another program replaced the last record of the group: none of the three is written.
    const QByteArray other =
        fileOf(QList{delivery('1', "A", "S", "K1"), delivery('1', "A", "S", "K2"), delivery('1', "A", "S", "K9")});
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), other);
    try {
        store.overwrite({issued(1), issued(2), issued(3)});
        ADD_FAILURE() << "a changed record was written over";
    } catch (const Refusal& refusal) {
        EXPECT_EQ(refusal.number(), 10);
    }
    EXPECT_EQ(onDisk(), other);
    EXPECT_EQ(store.read(1).text(DeliveryField::Status), QStringLiteral("0")) << "memory unchanged as well";

    // Unchanged records go in together, stamped, and the file and memory agree.
    store.open();
    store.overwrite({issued(1), issued(3)});
    store.open();
    EXPECT_EQ(store.read(1).text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(store.read(2).text(DeliveryField::Status), QStringLiteral("0"));
    EXPECT_EQ(store.read(3).text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(store.read(3).text(DeliveryField::UpdatedAt), inst.clock.now().toString(QStringLiteral("yyyyMMddHHmm")));
}

TEST_F(StoreFixture, AWriteWaitsForTheLockAndGivesUp)
{
    qputenv("PLX90_LOCK_WAIT_MS", "100");
    seed({delivery('1', "A", "S", "K1")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    {
        const FileLock other(path(), DeliveryStore::label());
        try {
            store.markDeleted(1);
            ADD_FAILURE() << "written without the lock";
        } catch (const Refusal& refusal) {
            EXPECT_TRUE(refusal.message().contains(QStringLiteral("使用中")));
        }
        EXPECT_EQ(onDisk().at(0), '1');
        // The lock the operation holds is the write's lock.
        store.setLock(&other);
        store.markDeleted(1);
        store.setLock(nullptr);
    }
    EXPECT_EQ(onDisk().at(0), ' ');
    qunsetenv("PLX90_LOCK_WAIT_MS");
}

TEST_F(StoreFixture, ALockFileLeftByAProgramThatEndedNeverBlocks)
{
    // What a killed program may leave: its id after it ended, an empty file
    // (killed before it wrote its id), anything at all, or the id of a process
    // that runs but is not its holder (an id used again).
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QList<QByteArray> leftovers = {QByteArray::number(pid) + "\nplx90-cli\n" + host + "\n", QByteArray(),
                                         QByteArray("\x00\x01garbage"), "1\nplx90-cli\n" + host + "\n"};
    qputenv("PLX90_LOCK_WAIT_MS", "100");
    for (const QByteArray& leftover : leftovers) {
        QFile stale(FileLock::lockPathOf(path()));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
        stale.write(leftover);
        stale.close();

        seed({delivery('1', "A", "S", "K1")});
        DeliveryStore store(path(), inst.clock);
        store.open();
        store.markDeleted(1);
        EXPECT_EQ(onDisk().at(0), ' ') << leftover.toStdString();
        EXPECT_FALSE(QFile::exists(FileLock::lockPathOf(path())));
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
}

TEST_F(StoreFixture, WritesStampAndGoStraightToTheFile)
{
    seed({delivery('1', "A", "S", "K1")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    DeliveryRecord r = store.read(1);
    r.setText(DeliveryField::ShipQty, u"000000010.000");
    store.write(1, r);
    store.write(2, delivery('1', "A", "S", "K2"));
    const QByteArray disk = onDisk();
    ASSERT_EQ(disk.size(), 2 * DeliveryRecord::kLength);
    const DeliveryRecord back(disk.left(DeliveryRecord::kLength));
    EXPECT_EQ(back.text(DeliveryField::ShipQty), QStringLiteral("000000010.000"));
    EXPECT_EQ(back.text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    // Unstamped writes keep the record as given.
    store.writeUnstamped(2, delivery('1', "A", "S", "K2"));
    EXPECT_EQ(store.read(2).text(DeliveryField::UpdatedAt), QString(12, QLatin1Char(' ')));
    EXPECT_THROW(store.read(3), RuntimeFailure);
    EXPECT_THROW(store.write(4, DeliveryRecord()), RuntimeFailure);
    EXPECT_THROW(store.read(0), RuntimeFailure);
}

TEST_F(StoreFixture, LiveRecordsSkipDeletedOnesAndOtherKinds)
{
    DeliveryRecord deleted = delivery('1', "A", "S", "K2");
    deleted.setKind(' ');
    seed({delivery('1', "A", "S", "K1"), deleted, delivery('2', "A", "S", "K"), delivery('1', "A", "S", "K3")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    EXPECT_EQ(store.findLive(1, Protocol::Eiaj), 1);
    EXPECT_EQ(store.findLive(2, Protocol::Eiaj), 4); // page 2 is record 4, not record 2
    EXPECT_EQ(store.findLive(3, Protocol::Eiaj), 0);
    EXPECT_EQ(store.findLive(1, Protocol::Korvan), 3);
    EXPECT_EQ(store.countLive(Protocol::Eiaj), 2);
    EXPECT_EQ(store.liveRecords(Protocol::Eiaj), (QList<int>{1, 4}));
    EXPECT_THROW(store.requireLive(3, Protocol::Eiaj), RuntimeFailure);

    inst.clock.set(QDateTime(QDate(2027, 1, 2), QTime(3, 4)));
    store.markDeleted(1);
    EXPECT_EQ(store.countLive(Protocol::Eiaj), 1);
    const DeliveryRecord r(onDisk().left(DeliveryRecord::kLength));
    EXPECT_EQ(r.kind(), ' ');
    EXPECT_EQ(r.text(DeliveryField::UpdatedAt), QStringLiteral("202701020304"));
    EXPECT_EQ(store.count(), 4); // keeps its record number until the next rebuild
}

TEST_F(StoreFixture, FindDeliveryReturnsTheFirstMatchAndFollowsWrites)
{
    DeliveryStore store(path(), inst.clock);
    store.open();
    QString status = QStringLiteral("junk");
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, "A", "S", "K", status), 0);
    EXPECT_EQ(status, QString());

    seed({delivery('2', "A", "S", "K", "1"), delivery('1', "A", "S", "K", "8"), delivery('1', "A", "S", "K", "2"),
          delivery('1', "漢", "S", "K2", "0")});
    store.open();
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, "A  ", "S", "K ", status), 2);
    EXPECT_EQ(status, QStringLiteral("8"));
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, " A", "S", "K", status), 0); // leading blanks count
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, "漢", "S", "K2", status), 4);

    // The index follows every write: a deleted record no longer matches, the
    // next one does; a changed key moves; an appended record is found.
    store.markDeleted(2);
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, "A", "S", "K", status), 3);
    EXPECT_EQ(status, QStringLiteral("2"));
    store.write(1, delivery('1', "A", "S", "K", "0"));
    EXPECT_EQ(FindDelivery(store, Protocol::Eiaj, "A", "S", "K", status), 1);
    EXPECT_EQ(FindDelivery(store, Protocol::Korvan, "A", "S", "K", status), 0);
    store.write(5, delivery('2', "A", "S", "K", "1"));
    EXPECT_EQ(FindDelivery(store, Protocol::Korvan, "A", "S", "K", status), 5);
}

TEST_F(StoreFixture, MarkDeletedWhereRewritesTheFileInOneStep)
{
    seed({delivery('1', "A", "S", "K1", "2"), delivery('2', "A", "S", "K2", "2"), delivery('1', "A", "S", "K3", "0"),
          delivery('1', "B", "S", "K4", "2")});
    DeliveryStore store(path(), inst.clock);
    store.open();
    // The file changed since this store read it: the step reads it anew.
    seed({delivery('1', "A", "S", "K1", "2"), delivery('2', "A", "S", "K2", "2"), delivery('1', "A", "S", "K3", "0"),
          delivery('1', "B", "S", "K4", "2"), delivery('1', "C", "S", "K5", "2")});
    const auto issued = [](const DeliveryRecord& r) { return r.text(DeliveryField::Status) == QStringLiteral("2"); };
    EXPECT_EQ(store.markDeletedWhere(Protocol::Eiaj, issued), 3);
    QString kinds;
    for (const DeliveryRecord& r : recordsOf(onDisk()))
        kinds += QLatin1Char(r.kind());
    EXPECT_EQ(kinds, QStringLiteral(" 21  ")); // the KORVAN record is no live EIAJ record
    EXPECT_EQ(recordsOf(onDisk())[4].text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    EXPECT_EQ(recordsOf(onDisk())[1].text(DeliveryField::UpdatedAt).trimmed(), QString());
    // The store stands on the new file.
    EXPECT_EQ(store.count(), 5);
    EXPECT_EQ(store.countLive(Protocol::Eiaj), 1);
    EXPECT_FALSE(QFile::exists(store.workPath()));

    // Nothing matches: nothing is written.
    const QByteArray before = onDisk();
    EXPECT_EQ(store.markDeletedWhere(Protocol::Eiaj, [](const DeliveryRecord&) { return false; }), 0);
    EXPECT_EQ(store.markDeletedWhere(Protocol::Korvan, [](const DeliveryRecord& r) { return r.kind() == '1'; }), 0);
    EXPECT_EQ(onDisk(), before);
}

TEST_F(StoreFixture, MarkDeletedWhereUsesTheLockTheOperationHolds)
{
    qputenv("PLX90_LOCK_WAIT_MS", "50");
    seed({delivery('1', "A", "S", "K1")});
    DeliveryStore store(path(), inst.clock);
    const auto any = [](const DeliveryRecord&) { return true; };
    {
        const FileLock held(path(), DeliveryStore::label());
        store.setLock(&held);
        EXPECT_EQ(store.markDeletedWhere(Protocol::Eiaj, any), 1);
        store.setLock(nullptr);
        // Without it, the lock another holder keeps refuses the step.
        seed({delivery('1', "A", "S", "K1")});
        EXPECT_THROW(store.markDeletedWhere(Protocol::Eiaj, any), Refusal);
        EXPECT_EQ(onDisk().at(0), '1');
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
}
