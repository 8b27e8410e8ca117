#include "import/ArrivalTracker.h"

#include <gtest/gtest.h>

using namespace plx;

namespace {

FileIdentity version(qint64 size, qint64 modified, qint64 inode = 7)
{
    return FileIdentity{1, inode, size, modified};
}

} // namespace

TEST(ArrivalTracker, AFileIsCompleteOnceItStaysTheSameForTheSettleTimeOrWasRenamedIn)
{
    struct Look
    {
        qint64 atMs;
        QHash<QString, FileIdentity> present;
        QSet<QString> renamedIn;
        QStringList ready;
    };
    const QList<Look> looks = {
        // A.CSV is being written; B.CSV arrives by a rename and is taken at once.
        {0, {{"A.CSV", version(10, 1)}, {"B.CSV", version(50, 1, 8)}}, {"B.CSV"}, {"B.CSV"}},
        // A.CSV grew: its settle time starts again.
        {600, {{"A.CSV", version(20, 2)}}, {}, {}},
        {1500, {{"A.CSV", version(20, 2)}}, {}, {}},
        // A second after the last change it is complete.
        {1600, {{"A.CSV", version(20, 2)}}, {}, {"A.CSV"}},
        // Only its time changed (written again with the same length): not complete.
        {1700, {{"A.CSV", version(20, 3)}}, {}, {}},
        // Replaced by another file of the same name and length: a new arrival.
        {2700, {{"A.CSV", version(20, 3, 9)}}, {}, {}},
        {3700, {{"A.CSV", version(20, 3, 9)}}, {}, {"A.CSV"}},
        // Gone, then back: a new arrival again.
        {3800, {}, {}, {}},
        {3900, {{"A.CSV", version(20, 3, 9)}}, {}, {}},
    };
    ArrivalTracker tracker(1000);
    for (const Look& look : looks)
        EXPECT_EQ(tracker.look(look.present, look.renamedIn, look.atMs), look.ready) << "at " << look.atMs;
    EXPECT_EQ(tracker.nextDueMs(), 4900);
}
