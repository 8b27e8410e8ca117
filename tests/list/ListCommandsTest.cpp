#include "support/TestInstall.h"

#include "list/ListCommands.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct ListCommandsFixture : ::testing::Test
{
    TestInstall inst;
    ListCommandsFixture()
    {
        inst.env.apUse = QStringLiteral("ALL");
        inst.buildPaths();
    }
    bool exists(const QString& relative) const { return QFile::exists(inst.path(relative)); }
};

TEST_F(ListCommandsFixture, EmptyingTheProcessedFolderRemovesItsFilesAndKeepsItsFolders)
{
    inst.writeFile(QStringLiteral("Dust/ORDER1.CSV"), "a");
    inst.writeFile(QStringLiteral("Dust/.hidden"), "b");
    inst.writeFile(QStringLiteral("Dust/Sub/KEPT.CSV"), "c");
    inst.writeFile(QStringLiteral("Usr/NOTDUST.CSV"), "d");

    const EmptiedFolder emptied = emptyProcessedFolder(inst.env);

    EXPECT_TRUE(emptied.complete());
    QStringList removed = emptied.removed;
    removed.sort();
    EXPECT_EQ(removed,
              (QStringList{inst.path(QStringLiteral("Dust/.hidden")), inst.path(QStringLiteral("Dust/ORDER1.CSV"))}));
    EXPECT_FALSE(exists(QStringLiteral("Dust/ORDER1.CSV")));
    EXPECT_FALSE(exists(QStringLiteral("Dust/.hidden")));
    EXPECT_TRUE(exists(QStringLiteral("Dust/Sub/KEPT.CSV")));
    EXPECT_TRUE(exists(QStringLiteral("Usr/NOTDUST.CSV")));
}

TEST_F(ListCommandsFixture, AnEmptyOrMissingProcessedFolderIsEmptiedWithoutRemovingAnything)
{
    EXPECT_TRUE(emptyProcessedFolder(inst.env).complete());
    EXPECT_TRUE(emptyProcessedFolder(inst.env).removed.isEmpty());
    ASSERT_TRUE(QDir(inst.path(QStringLiteral("Dust"))).removeRecursively());
    const EmptiedFolder emptied = emptyProcessedFolder(inst.env);
    EXPECT_TRUE(emptied.complete());
    EXPECT_TRUE(emptied.removed.isEmpty());
}

TEST_F(ListCommandsFixture, AFileThatCannotBeRemovedStopsTheEmptyingAndIsNamed)
{
    inst.writeFile(QStringLiteral("Dust/A.CSV"), "a");
    const QString dust = inst.path(QStringLiteral("Dust"));
    // A folder without write permission keeps its files.
    ASSERT_TRUE(QFile::setPermissions(dust, QFile::ReadOwner | QFile::ExeOwner));
    const EmptiedFolder emptied = emptyProcessedFolder(inst.env);
    QFile::setPermissions(dust, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (QFile::exists(inst.path(QStringLiteral("Dust/A.CSV"))) == false)
        GTEST_SKIP() << "running with rights that ignore folder permissions";

    EXPECT_FALSE(emptied.complete());
    EXPECT_EQ(emptied.failed, inst.path(QStringLiteral("Dust/A.CSV")));
    EXPECT_TRUE(emptied.removed.isEmpty());
}

TEST_F(ListCommandsFixture, DeletingTheOutputListsStopsAtTheFirstMissingNumberOfEachSeries)
{
    for (const char* name :
         {"1NoOutFile.txt", "2NoOutFile.txt", "4NoOutFile.txt", "1NiOutFile.txt", "3NiOutFile.txt", "OtherFile.txt"})
        inst.writeFile(QStringLiteral("Usr/") + QLatin1String(name), "x");

    deleteOutputLists(inst.env);

    EXPECT_FALSE(exists(QStringLiteral("Usr/1NoOutFile.txt")));
    EXPECT_FALSE(exists(QStringLiteral("Usr/2NoOutFile.txt")));
    EXPECT_TRUE(exists(QStringLiteral("Usr/4NoOutFile.txt")));
    EXPECT_FALSE(exists(QStringLiteral("Usr/1NiOutFile.txt")));
    EXPECT_TRUE(exists(QStringLiteral("Usr/3NiOutFile.txt")));
    EXPECT_TRUE(exists(QStringLiteral("Usr/OtherFile.txt")));
}

} // namespace
