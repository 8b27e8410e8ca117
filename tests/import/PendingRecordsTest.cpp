#include "support/RecordBuilders.h"

#include "import/PendingRecords.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(PendingRecords, WaitingAndMarkedLiveRecordsOnly)
{
    DeliveryRecord deletedWaiting = delivery('1', "A", "S", "D1", "1");
    deletedWaiting.setKind(' ');
    const QByteArray bytes =
        fileOf(QList{delivery('1', "A", "S", "K1", "1"), delivery('1', "A", "S", "K2", "2"),
                     delivery('1', "A", "S", "K3", "8"), delivery('2', "A", "S", "K4", "0"), deletedWaiting,
                     delivery('2', "A", "S", "K5", "1"), delivery('1', "A", "S", "K6", "9")});
    EXPECT_EQ(PendingRecords::count(bytes), 3);
    EXPECT_EQ(PendingRecords::count(QByteArray()), 0);
    EXPECT_EQ(PendingRecords::count(fileOf(QList{delivery('1', "A", "S", "K2", "2")})), 0);
}

TEST(PendingRecords, AnIncompleteLastRecordIsNotCounted)
{
    QByteArray bytes = fileOf(QList{delivery('1', "A", "S", "K1", "8")});
    const QByteArray second = fileOf(QList{delivery('1', "A", "S", "K2", "1")});
    bytes += second.left(DeliveryRecord::kLength - 1);
    EXPECT_EQ(PendingRecords::count(bytes), 1);
}

TEST(PendingRecords, CountedInTheDataFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("E_Deliv.dat"));
    EXPECT_EQ(PendingRecords::countInFile(path), 0); // missing
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(fileOf(QList{delivery('1', "A", "S", "K1", "1"), delivery('1', "A", "S", "K2", "1")}));
    f.close();
    EXPECT_EQ(PendingRecords::countInFile(path), 2);
}
