#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "store/DeliveryMaintenance.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace plx;
using namespace plx::test;

namespace {

struct RebuildFixture : ::testing::Test
{
    TestInstall inst;
    RebuildFiles files{inst.path(QStringLiteral("Prg/E_Deliv.dat")), inst.path(QStringLiteral("Prg/BUP_Deliv.dat")),
                       inst.path(QStringLiteral("Prg/W_Deliv.dat"))};
    QByteArray original;

    RebuildFixture()
    {
        DeliveryRecord deleted = delivery('1', "A", "S", "K2", "0");
        deleted.setKind(' ');
        original = fileOf(QList{delivery('1', "A", "S", "K1", "0"), deleted, delivery('1', "A", "S", "K3", "2"),
                                delivery('1', "A", "S", "K4", "8")});
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), original);
    }
    QByteArray current() const { return inst.readFile(QStringLiteral("Prg/E_Deliv.dat")); }
    QStringList keys() const
    {
        QStringList out;
        const QByteArray bytes = current();
        for (qsizetype i = 0; i + DeliveryRecord::kLength <= bytes.size(); i += DeliveryRecord::kLength)
            out << DeliveryRecord(bytes.mid(i, DeliveryRecord::kLength)).text(DeliveryField::DeliveryKeyNo).trimmed();
        return out;
    }
};

} // namespace

TEST_F(RebuildFixture, ModesKeepTheRightRecordsAndLeaveABackup)
{
    rebuildDeliveryFile(files, RebuildMode::Add);
    EXPECT_EQ(keys(), (QStringList{"K1", "K3", "K4"}));
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/BUP_Deliv.dat")), original);
    EXPECT_FALSE(QFile::exists(files.work));

    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), original);
    rebuildDeliveryFile(files, RebuildMode::DropIssued);
    EXPECT_EQ(keys(), (QStringList{"K1", "K4"}));

    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), original);
    rebuildDeliveryFile(files, RebuildMode::StartAnew);
    EXPECT_TRUE(current().isEmpty());
    restoreBackup(files);
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(QFile::exists(files.backup));
}

TEST_F(RebuildFixture, FailureHalfWayLeavesTheDataFileByteIdentical)
{
    const auto failAtThird = [](int done, int) {
        if (done == 3)
            throw RuntimeFailure(QStringLiteral("ディスクがいっぱいです。"));
    };
    EXPECT_THROW(rebuildDeliveryFile(files, RebuildMode::Add, failAtThird), RuntimeFailure);
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(QFile::exists(files.work));

    // A work file that cannot be replaced (a folder in its place).
    QDir().mkpath(files.work + QStringLiteral("/x"));
    EXPECT_THROW(rebuildDeliveryFile(files, RebuildMode::DropIssued), RuntimeFailure);
    EXPECT_EQ(current(), original);
}

TEST_F(RebuildFixture, MissingDataFileRebuildsEmpty)
{
    QFile::remove(files.current);
    rebuildDeliveryFile(files, RebuildMode::Add);
    EXPECT_TRUE(QFile::exists(files.current));
    EXPECT_TRUE(current().isEmpty());
    discardBackup(files);
    EXPECT_FALSE(QFile::exists(files.backup));
}

namespace {

QByteArray oldLine(char fill)
{
    QByteArray line(2239, fill);
    line[0] = '1';
    return line + "\r\n";
}

} // namespace

TEST(OlderLayout, ConvertsOnceAndKeepsEveryByte)
{
    TestInstall inst;
    const QString data = inst.path(QStringLiteral("Prg/K_Deliv.dat"));
    const QString work = inst.path(QStringLiteral("Prg/K_Deliv_w.dat"));
    QByteArray line2 = oldLine('b');
    line2.replace(1, 4, "\x8A\xBF\x8E\x9A"); // kanji bytes are copied as they are
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), oldLine('a') + line2);

    ASSERT_EQ(convertOlderLayout(data, work), ConversionResult::Converted);
    const QByteArray bytes = inst.readFile(QStringLiteral("Prg/K_Deliv.dat"));
    ASSERT_EQ(bytes.size(), 2 * DeliveryRecord::kLength);
    const DeliveryRecord second(bytes.mid(DeliveryRecord::kLength));
    EXPECT_EQ(bytes.mid(DeliveryRecord::kLength, 2239), line2.left(2239));
    EXPECT_EQ(second.text(DeliveryField::Currency), QStringLiteral("   "));
    EXPECT_EQ(second.text(DeliveryField::UnitPriceX), QStringLiteral("000000000000.00000"));
    EXPECT_EQ(second.text(DeliveryField::AmountInclTaxX), QStringLiteral("000000000000.000"));
    EXPECT_EQ(second.bytes().right(2), QByteArray("\r\n"));
    EXPECT_FALSE(QFile::exists(work));

    EXPECT_EQ(convertOlderLayout(data, work), ConversionResult::NotNeeded);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/K_Deliv.dat")), bytes);
}

TEST(OlderLayout, EmptyCurrentAndBrokenFilesAreLeftAlone)
{
    TestInstall inst;
    const QString data = inst.path(QStringLiteral("Prg/E_Deliv.dat"));
    const QString work = inst.path(QStringLiteral("Prg/E_Deliv_w.dat"));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), QByteArray());
    EXPECT_EQ(convertOlderLayout(data, work), ConversionResult::NotNeeded);
    QFile::remove(data);
    EXPECT_EQ(convertOlderLayout(data, work), ConversionResult::NotNeeded);

    // A last line without its CR LF is still an older-layout line.
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), oldLine('a') + oldLine('c').left(2239));
    EXPECT_EQ(convertOlderLayout(data, work), ConversionResult::Converted);
    EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")).size(), 2 * DeliveryRecord::kLength);

    // Neither layout, or older lines mixed with others: converting would shift
    // every later record, so the file stays as it is.
    for (const QByteArray& broken : {QByteArray("garbage\r\nmore"), oldLine('a') + QByteArray(100, 'x') + "\r\n"}) {
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), broken);
        EXPECT_EQ(convertOlderLayout(data, work), ConversionResult::Refused);
        EXPECT_EQ(inst.readFile(QStringLiteral("Prg/E_Deliv.dat")), broken);
        EXPECT_FALSE(QFile::exists(work));
    }
}
