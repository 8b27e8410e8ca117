#include "core/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;

namespace {

struct RegistryFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString path() const { return dir.path() + QStringLiteral("/sub/registry.ini"); }
    Registry reg{path()};
    QString get(const QString& name, qint32* rc = nullptr)
    {
        QString out = QStringLiteral("junk");
        const qint32 code = reg.regGetValue(kRegistryKey, name, out);
        if (rc)
            *rc = code;
        return out;
    }
    void writeRaw(const QByteArray& bytes)
    {
        QDir().mkpath(dir.path() + QStringLiteral("/sub"));
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(RegistryFixture, MissingValueAndMissingKeyReadEmptyAndCreateTheKey)
{
    qint32 rc = -1;
    EXPECT_EQ(get(QStringLiteral("ApUse"), &rc), QString());
    EXPECT_EQ(rc, RegOk);
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("[SOFTWARE\\MERIDIA\\PLX-90/We]"));
}

TEST_F(RegistryFixture, ValuesRoundTripIncludingEmptyAndSpecialCharacters)
{
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("InstallBasePath"), QStringLiteral("C:\\日本\\x=y\n;z")),
              RegOk);
    EXPECT_EQ(get(QStringLiteral("InstallBasePath")), QStringLiteral("C:\\日本\\x=y\n;z"));
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("Empty"), QString()), RegOk);
    qint32 rc = -1;
    EXPECT_EQ(get(QStringLiteral("Empty"), &rc), QString());
    EXPECT_EQ(rc, RegOk);
    // Names are not case-sensitive; the value keeps one entry.
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("apuse"), QStringLiteral("EIAJ")), RegOk);
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("ApUse"), QStringLiteral("ALL")), RegOk);
    EXPECT_EQ(get(QStringLiteral("APUSE")), QStringLiteral("ALL"));
}

// Settings files written by earlier versions must keep reading: the escapes
// are part of the file's format, both ways.
TEST_F(RegistryFixture, ValuesAreEscapedInTheFileAsBefore)
{
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("Path"), QStringLiteral("a\\b\nc\rd")), RegOk);
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Path=a\\\\b\\nc\\rd\n"));
    f.close();

    writeRaw("[SOFTWARE\\MERIDIA\\PLX-90/We]\nPath=x\\\\y\\rz\\n\n");
    EXPECT_EQ(get(QStringLiteral("Path")), QStringLiteral("x\\y\rz\n"));
    writeRaw("[SOFTWARE\\MERIDIA\\PLX-90/We]\nPath=x\\ty\n");
    qint32 rc = -1;
    get(QStringLiteral("Path"), &rc);
    EXPECT_EQ(rc, RegCorrupt);
}

TEST_F(RegistryFixture, TextAfterANulIsNotRead)
{
    ASSERT_EQ(
        reg.regPutValue(kRegistryKey, QStringLiteral("V"), QStringLiteral("abc") + QChar(0) + QStringLiteral("def")),
        RegOk);
    EXPECT_EQ(get(QStringLiteral("V")), QStringLiteral("abc"));
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("W"), QString(QChar(0))), RegOk);
    EXPECT_EQ(get(QStringLiteral("W")), QString());
}

TEST_F(RegistryFixture, TextOutsideTheCodePageIsStoredAsQuestionMarks)
{
    ASSERT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("V"), QStringLiteral("a€b")), RegOk);
    EXPECT_EQ(get(QStringLiteral("V")), QStringLiteral("a?b"));
}

TEST_F(RegistryFixture, BrokenFileIsReportedAndNotOverwritten)
{
    const QByteArray broken("[SOFTWARE\\MERIDIA\\PLX-90/We]\nApUse=ALL\nthis line is broken\n");
    writeRaw(broken);
    qint32 rc = 0;
    get(QStringLiteral("ApUse"), &rc);
    EXPECT_EQ(rc, RegCorrupt);
    EXPECT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("ApUse"), QStringLiteral("EIAJ")), RegCorrupt);
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), broken);
}

TEST_F(RegistryFixture, UnwritableStoreGivesCodes)
{
    // A folder where the file should be: it can be neither read nor replaced.
    QDir().mkpath(path());
    qint32 rc = 0;
    get(QStringLiteral("ApUse"), &rc);
    EXPECT_NE(rc, RegOk);
    EXPECT_EQ(reg.regPutValue(kRegistryKey, QStringLiteral("ApUse"), QStringLiteral("ALL")) != RegOk, true);
}

TEST(RegistryErrorText, KnownAndUnknownCodes)
{
    EXPECT_EQ(Registry::regErrorText(2), QString());
    EXPECT_EQ(Registry::regErrorText(5), QString());
    EXPECT_EQ(Registry::regErrorText(1011), QStringLiteral("レジストリキーをオープンできません"));
    EXPECT_EQ(Registry::regErrorText(1015),
              QStringLiteral("レジストリが壊れています。レジストリデータを含むファイルの1つが壊れているか,"
                             "メモリ内のファイルのイメージが壊れているか、ログや代替コピーがないか壊れているために"
                             "復旧できなかった、などの原因が考えられます"));
    EXPECT_FALSE(Registry::regErrorText(1369).isEmpty());
}
