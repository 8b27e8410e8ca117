#include "support/TestInstall.h"

#include "import/DataFolder.h"
#include "import/ImportDriver.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct DataFolderFixture : ::testing::Test
{
    TestInstall inst;
    DataFolderFixture()
    {
        inst.writeSettings();
        inst.buildPaths();
    }
    QString orders() const { return inst.path(QStringLiteral("Orders")); }
};

TEST_F(DataFolderFixture, TheSettingsCarryTheLastInputFolderAndTheReadResult)
{
    inst.setSetting(QStringLiteral("DataFilePath"), QStringLiteral("/some/folder"));
    const ImportSettings settings = ImportDriver::readSettings(inst.env, Protocol::Eiaj);
    EXPECT_EQ(settings.dataFolder, QStringLiteral("/some/folder"));
    EXPECT_EQ(settings.dataFolderResult, RegOk);
}

TEST_F(DataFolderFixture, AnUnreadableSettingsStoreIsReportedInTheResult)
{
    const QString file = inst.base() + QStringLiteral("/registry.ini");
    ASSERT_TRUE(QFile::remove(file) && QDir().mkpath(file));
    const ImportSettings settings = ImportDriver::readSettings(inst.env, Protocol::Korvan);
    EXPECT_NE(settings.dataFolderResult, RegOk);
    EXPECT_TRUE(settings.dataFolder.isEmpty());
}

TEST_F(DataFolderFixture, TheStartFolderIsAnExistingLastFolderWithoutItsTrailingSeparator)
{
    ASSERT_TRUE(QDir().mkpath(orders()));
    ImportSettings settings;
    settings.dataFolder = orders() + QLatin1Char('/');
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), orders());
    settings.dataFolder = orders() + QStringLiteral("/../Orders");
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), orders());
}

TEST_F(DataFolderFixture, ABlankOrMissingLastFolderStartsAtTheBaseFolder)
{
    ImportSettings settings;
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), QStringLiteral("/base"));
    settings.dataFolder = QStringLiteral("   ");
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), QStringLiteral("/base"));
    settings.dataFolder = orders() + QStringLiteral("/Gone");
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), QStringLiteral("/base"));
    // A file is no folder.
    inst.writeFile(QStringLiteral("Orders/A.CSV"), "x");
    settings.dataFolder = orders() + QStringLiteral("/A.CSV");
    EXPECT_EQ(startFolder(settings, QStringLiteral("/base")), QStringLiteral("/base"));
}

TEST_F(DataFolderFixture, SavingTheFolderWritesTheSettingAndReturnsTheResult)
{
    EXPECT_EQ(saveDataFolder(inst.env, orders()), RegOk);
    EXPECT_EQ(inst.setting(QStringLiteral("DataFilePath")), orders());
    EXPECT_EQ(ImportDriver::readSettings(inst.env, Protocol::Eiaj).dataFolder, orders());
}

TEST_F(DataFolderFixture, AFailedSaveReturnsTheRegistryResult)
{
    const QString file = inst.base() + QStringLiteral("/registry.ini");
    ASSERT_TRUE(QFile::remove(file) && QDir().mkpath(file));
    const qint32 result = saveDataFolder(inst.env, orders());
    EXPECT_NE(result, RegOk);
    EXPECT_FALSE(Registry::regErrorText(result).isEmpty());
}

} // namespace
