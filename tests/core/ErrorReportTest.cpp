#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct LogFixture : ::testing::Test
{
    TestInstall inst;
    bool filesClosed = false;
    bool toldWindows = false;
    LogFixture()
    {
        inst.buildPaths();
        inst.env.logModule = QStringLiteral("納品書一覧");
        inst.env.logOperation = QStringLiteral("FORM_LOAD");
        inst.env.logCount = 3;
        inst.env.closeAllFiles = [this] { filesClosed = true; };
        inst.env.errorReported = [this] { toldWindows = true; };
    }
    QByteArray log() const { return inst.readFile(QStringLiteral("Log/Deliv.log")); }
    QByteArray record(int n) const { return log().mid((n - 1) * kLogRecordLength, kLogRecordLength); }
};

} // namespace

TEST_F(LogFixture, WritesAFixedWidthLineAndStoresThePointer)
{
    inst.env.logPointer = 57; // no log yet: starts again at record 1
    ReportError(inst.env, QStringLiteral("ﾒｲﾝ/ファイルが見つかりません。"));
    ASSERT_EQ(log().size(), kLogRecordLength);
    const QByteArray rec = record(1);
    EXPECT_TRUE(rec.endsWith("\r\n"));
    const QString line = QStringLiteral("2026/12/07 09:41[納品書一覧][FORM_LOAD]ﾒｲﾝ/ファイルが見つかりません。");
    // Padded to 111 characters, the double-byte ones make it longer than 127 bytes: it is cut.
    EXPECT_EQ(rec.left(rec.size() - 2), cp932::encode(line.leftJustified(111)).left(127));
    EXPECT_EQ(inst.env.logPointer, 1);
    EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QStringLiteral("1"));
    // The box shows the failure itself under the fixed text.
    EXPECT_EQ(inst.dialogs.texts(), QStringList{QStringLiteral(
                                        "アプリケーションでエラーが発生しました。\r\nﾒｲﾝ/ファイルが見つかりません。")});
    EXPECT_TRUE(filesClosed);
    EXPECT_TRUE(toldWindows);
    EXPECT_EQ(inst.env.startStamp, inst.clock.now());
}

TEST_F(LogFixture, RingWrapsAtLogCountAndLeavesLaterRecordsAlone)
{
    inst.writeFile(QStringLiteral("Log/Deliv.log"), QByteArray(5 * kLogRecordLength, 'x'));
    inst.env.logPointer = 3;
    ReportError(inst.env, QStringLiteral("A/1"));
    EXPECT_EQ(inst.env.logPointer, 1);
    EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QStringLiteral("1"));
    EXPECT_TRUE(record(1).contains("A/1"));
    EXPECT_EQ(record(4), QByteArray(kLogRecordLength, 'x'));
    ReportError(inst.env, QStringLiteral("B/2"));
    EXPECT_TRUE(record(2).contains("B/2"));
    EXPECT_EQ(log().size(), 5 * kLogRecordLength);
}

TEST_F(LogFixture, LogCountZeroAlwaysWritesRecordOne)
{
    inst.env.logCount = 0;
    inst.writeFile(QStringLiteral("Log/Deliv.log"), QByteArray());
    inst.env.logPointer = 0;
    ReportError(inst.env, QStringLiteral("A/1"));
    ReportError(inst.env, QStringLiteral("B/2"));
    EXPECT_EQ(log().size(), kLogRecordLength);
    EXPECT_TRUE(record(1).contains("B/2"));
}

TEST_F(LogFixture, PointerBeyondTheFileFillsTheGapWithBlankLines)
{
    inst.env.logCount = 100;
    inst.writeFile(QStringLiteral("Log/Deliv.log"), QByteArray());
    inst.env.logPointer = 4;
    ReportError(inst.env, QStringLiteral("A/1"));
    EXPECT_EQ(log().size(), 5 * kLogRecordLength);
    EXPECT_EQ(record(2), QByteArray(127, ' ') + "\r\n");
    EXPECT_TRUE(record(5).contains("A/1"));
}

TEST_F(LogFixture, ALongFailureIsCutToTheRecordAndShownWhole)
{
    // Date and labels take 16 + 7 + 11 = 34 characters here.
    const QString prefix = QStringLiteral("2026/12/07 09:41[納品書一覧][FORM_LOAD]");
    ASSERT_EQ(prefix.size(), 34);
    ReportError(inst.env, QString(111 - 34, QLatin1Char('m')));
    EXPECT_EQ(inst.env.logPointer, 1);
    EXPECT_EQ(record(1), cp932::encode(prefix + QString(77, QLatin1Char('m'))).leftJustified(127) + "\r\n");

    // A failure naming a long path: the label and the start of the cause are
    // kept, the record is written, and the box shows all of it.
    const QString path = QStringLiteral("/home/shipping/desk/") + QString(80, QLatin1Char('d')) +
                         QStringLiteral("/Plx90We/Prg/E_Deliv.dat");
    const QString failure =
        QStringLiteral("納品書出力/ファイルに書き込めません。(") + path + QStringLiteral(": Disk full)");
    inst.dialogs.shown.clear();
    ReportError(inst.env, failure);
    EXPECT_EQ(inst.env.logPointer, 2);
    EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QStringLiteral("2"));
    const QString logged = cp932::decode(record(2).left(127));
    EXPECT_TRUE(logged.startsWith(prefix + QStringLiteral("納品書出力/ファイルに書き込めません。(/home/shipping/")))
        << logged.toStdString();
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kErrorReportText + QStringLiteral("\r\n") + failure});
    EXPECT_EQ(log().size(), 2 * kLogRecordLength);
}

TEST_F(LogFixture, DoubleByteLineIsCutAt127BytesWithoutHalfACharacter)
{
    // 34 + 77 = 111 characters, most of them double-byte: far more than 127 bytes.
    ReportError(inst.env, QString(77, QChar(u'漢')));
    const QByteArray rec = record(1);
    ASSERT_EQ(rec.size(), kLogRecordLength);
    EXPECT_TRUE(rec.endsWith("\r\n"));
    const QByteArray text = rec.left(127);
    // The prefix takes 16 + 1 + 10 + 2 + 9 + 1 = 39 bytes; 88 remain for 44 kanji.
    EXPECT_EQ(cp932::decode(text).count(QChar(u'漢')), 44);
    EXPECT_EQ(cp932::decode(text).count(QChar(0xFFFD)), 0);
}

TEST_F(LogFixture, UnwritableLogEndsTheProgramWithTheLogMessage)
{
    inst.env.paths.logPath = inst.path(QStringLiteral("NoSuchFolder/Deliv.log"));
    EXPECT_TRUE(endsProgram([&] { ReportError(inst.env, QStringLiteral("A/1")); }));
    EXPECT_EQ(inst.dialogs.texts().last(),
              QStringLiteral("ログファイルでエラーが発生しました。処理を終了します。\r\nA/1"));
    EXPECT_TRUE(filesClosed);
    EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QString());
}

TEST_F(LogFixture, AFullDiskShowsTheFailureAndDoesNotAdvanceTheRing)
{
    // The log opens but takes nothing: /dev/full stands in through a link.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    const QString link = inst.path(QStringLiteral("Log/Deliv.log"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), link));
    inst.env.logPointer = 5;
    EXPECT_TRUE(endsProgram([&] { ReportError(inst.env, QStringLiteral("A/1")); }));
    EXPECT_EQ(inst.dialogs.texts().last(), kLogFailureText + QStringLiteral("\r\nA/1"));
    EXPECT_EQ(inst.setting(QStringLiteral("LogPointer")), QString());
}

TEST_F(LogFixture, TrapReportsLabelAndDescriptionThenEnds)
{
    bool ran = false;
    EXPECT_TRUE(endsProgram([&] {
        runTrapped(inst.env, QStringLiteral("納品書ﾌｧｲﾙ更新/"), [&] {
            ran = true;
            throw RuntimeFailure(QStringLiteral("書き込めません。"));
        });
    }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(record(1).contains(cp932::encode(u"納品書ﾌｧｲﾙ更新/書き込めません。")));

    // A failure that names its own operation keeps its label.
    EXPECT_TRUE(endsProgram([&] {
        runTrapped(inst.env, QStringLiteral("取り込みﾒｲﾝ/"), [] {
            throw RuntimeFailure::labelled(QStringLiteral("EIAJﾃﾞｰﾀ処理/"), QStringLiteral("読めません。"));
        });
    }));
    EXPECT_TRUE(record(2).contains(cp932::encode(u"[FORM_LOAD]EIAJﾃﾞｰﾀ処理/読めません。")));
}
