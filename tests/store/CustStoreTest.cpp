#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/text/Cp932.h"
#include "store/CustStore.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(CustRecord, FieldsAreContiguousAndNamesAreCutInBytes)
{
    int next = 0;
    for (const auto& info : CustRecord::fields()) {
        EXPECT_EQ(info.field.offset, next) << info.name;
        next += info.field.width;
    }
    EXPECT_EQ(next, CustRecord::kLength);

    CustRecord r;
    r.setText(CustField::OrdererName, QString(26, QChar(u'電')));
    EXPECT_EQ(r.text(CustField::OrdererName), QString(25, QChar(u'電')));
    r.setText(CustField::OrdererName, QString(50, QLatin1Char('n')));
    EXPECT_EQ(r.text(CustField::OrdererName), QString(50, QLatin1Char('n')));
    EXPECT_EQ(r.bytes().right(2), QByteArray("\r\n"));
}

namespace {

struct CustFixture : ::testing::Test
{
    TestInstall inst;
    CustStore store{inst.path(QStringLiteral("Usr/Cust.DAT"))};
    void seed(const QList<CustRecord>& records)
    {
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(records));
        store.open();
    }
};

} // namespace

TEST_F(CustFixture, LookupComparesTrimmedCodesWithinAProtocol)
{
    CustRecord deleted = company('1', "100", "S1", "削除済");
    deleted.setProtocolByte(' ');
    seed({deleted, company('2', "100", "S1", "KORVAN社"), company('1', "100", "S1", "EIAJ社"),
          company('1', "100", "S1", "二件目")});
    EXPECT_EQ(store.lookup(Protocol::Eiaj, "100", "S1"), 3);
    EXPECT_EQ(store.lookup(Protocol::Eiaj, "100   ", "S1  "), 3);
    EXPECT_EQ(store.lookup(Protocol::Eiaj, " 100", "S1"), 0);
    EXPECT_EQ(store.lookup(Protocol::Korvan, "100", "S1"), 2);
    EXPECT_EQ(store.lookupRaw(Protocol::Eiaj, cp932::encode(u"100         "), cp932::encode(u"S1          ")), 3);
    EXPECT_EQ(store.list(Protocol::Eiaj), (QList<int>{3, 4}));
}

TEST_F(CustFixture, DeleteKeepsNumbersUntilCompaction)
{
    seed({company('1', "A", "S", "一"), company('1', "B", "S", "二"), company('1', "C", "S", "三")});
    store.remove(2);
    EXPECT_EQ(store.list(Protocol::Eiaj), (QList<int>{1, 3}));
    EXPECT_EQ(store.count(), 3);
    EXPECT_EQ(store.lookup(Protocol::Eiaj, "B", "S"), 0);
    EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")).size(), 3 * CustRecord::kLength);

    store.compact(inst.path(QStringLiteral("Usr/W_Cust.DAT")));
    EXPECT_EQ(store.count(), 2);
    EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")).size(), 2 * CustRecord::kLength);
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("Usr/W_Cust.DAT"))));
    EXPECT_EQ(store.lookup(Protocol::Eiaj, "C", "S"), 2);
}

TEST_F(CustFixture, AddChangeAndADamagedFile)
{
    seed({});
    EXPECT_EQ(store.add(company('1', "A", "S", "一")), 1);
    CustRecord changed = store.read(1);
    changed.setText(CustField::OutputKind, u"3");
    store.change(1, changed);
    CustStore again(store.path());
    EXPECT_EQ(again.open(), 1);
    EXPECT_EQ(again.read(1).text(CustField::OutputKind), QStringLiteral("3"));

    // A company file that is not whole records is refused and left as it is.
    const QByteArray torn = fileOf(QList{company('1', "A", "S", "一")}) + QByteArray(42, ' ');
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), torn);
    inst.buildPaths();
    try {
        OpenCustFile(inst.env);
        ADD_FAILURE() << "a torn company file was opened";
    } catch (const Refusal& refusal) {
        EXPECT_TRUE(refusal.message().contains(QStringLiteral("Cust.DAT")));
        EXPECT_TRUE(refusal.message().contains(QStringLiteral("2件目")));
    }
    EXPECT_EQ(inst.readFile(QStringLiteral("Usr/Cust.DAT")), torn);
}

TEST_F(CustFixture, SampleDefaultsTakeTheFirstRecordOfTheProtocol)
{
    const QString sample = inst.path(QStringLiteral("Sample/Cust.DAT"));
    EXPECT_FALSE(CustStore::sampleDefaults(sample, Protocol::Eiaj)); // missing file: no defaults, no file made
    EXPECT_FALSE(QFile::exists(sample));
    inst.writeFile(QStringLiteral("Sample/Cust.DAT"),
                   fileOf(QList{company('2', "", "", "K"), company('1', "", "", "E1"), company('1', "", "", "E2")}));
    const auto defaults = CustStore::sampleDefaults(sample, Protocol::Eiaj);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->text(CustField::OrdererName).trimmed(), QStringLiteral("E1"));
}
