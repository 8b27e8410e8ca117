#include "import/InputFileList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;

namespace {

QStringList acceptedOf(const InputFileList& list, const QStringList& names)
{
    QStringList out;
    for (const QString& name : names) {
        if (list.accepts(name))
            out << name;
    }
    return out;
}

struct InputFolderFixture : ::testing::Test
{
    QTemporaryDir dir;
    void file(const QString& name, qint64 size, const QDateTime& modified) const
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    static QDateTime at(int day, int hour, int minute, int second)
    {
        return QDateTime(QDate(2000, 5, day), QTime(hour, minute, second));
    }
};

} // namespace

TEST(InputFileMasks, ComparedCaseSensitively)
{
    const InputFileList list(QStringLiteral("*.txt"));
    EXPECT_EQ(list.maskList(), QStringLiteral(";*.txt;"));
    EXPECT_EQ(acceptedOf(list, {"A.TXT", "B.txt", "C.txt.bak", "TXT", "B.Txt"}), QStringList{"B.txt"});
}

TEST(InputFileMasks, WholeNamesAndBaseNamesAndExtensions)
{
    const InputFileList list(QStringLiteral("*.dat;ORD1.csv;EDI.*;ORD*"));
    EXPECT_EQ(list.maskList(), QStringLiteral(";*.dat;ORD1.csv;EDI.*;ORD*;"));
    EXPECT_EQ(acceptedOf(list, {"a.dat", "a.DAT", "ORD1.csv", "ORD1.CSV", "ORD2.csv", "EDI.001", "EDI.X.001",
                                "edi.001", "README"}),
              QStringList({"a.dat", "ORD1.csv", "EDI.001"}));
    // The masks are texts to look up, not patterns: a mask like ORD* matches no
    // name, and "base.*" takes the text up to the last dot.
    EXPECT_FALSE(list.accepts(QStringLiteral("ORDERS")));
    // The whole name is looked up with its ";" only, so the end of a longer mask serves.
    EXPECT_TRUE(list.accepts(QStringLiteral("D1.csv")));
    EXPECT_TRUE(InputFileList(QStringLiteral("EDI.X.*")).accepts(QStringLiteral("EDI.X.001")));
    // A whole name without a dot is found only as itself.
    EXPECT_TRUE(InputFileList(QStringLiteral("*.csv;README")).accepts(QStringLiteral("README")));
    EXPECT_FALSE(InputFileList(QStringLiteral("*.csv;README")).accepts(QStringLiteral("READ")));
}

TEST(InputFileMasks, EverythingWithStarDotStarOrABlankSetting)
{
    for (const QString& masks : {QStringLiteral("*.*"), QStringLiteral("*.csv;*.*"), QStringLiteral("  ")}) {
        const InputFileList list(masks);
        EXPECT_TRUE(list.accepts(QStringLiteral("NODOT"))) << masks.toStdString();
        EXPECT_TRUE(list.accepts(QStringLiteral("x.Y"))) << masks.toStdString();
    }
}

TEST(InputFileMasks, ProgramAndSystemFilesAreNeverListed)
{
    const InputFileList all;
    for (const char* name : {"SETUP.EXE", "setup.exe", "a.dll", "KERNEL.SYS", "x.vxd", "d.386", "p.Drv", "WIN.INI"})
        EXPECT_FALSE(all.accepts(QLatin1String(name))) << name;
    EXPECT_TRUE(InputFileList::isExcluded(QStringLiteral(".ini")));
    // Only the last four characters count.
    for (const char* name : {"SETUPEXE", "a.exe1", "A.EX", "INI", "a.ini.txt"})
        EXPECT_TRUE(all.accepts(QLatin1String(name))) << name;
    // An exact-name mask does not bring them back.
    EXPECT_FALSE(InputFileList(QStringLiteral("ORDER.EXE")).accepts(QStringLiteral("ORDER.EXE")));
}

TEST(InputFileTexts, KilobytesOfAThousandWithTheNinetyByteRule)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, " 1KB"},       {1, " 1KB"},       {90, " 1KB"},        {91, " 1KB"},    {999, " 1KB"},
        {1000, " 1KB"},    {1090, " 1KB"},    {1091, " 2KB"},      {2000, " 2KB"},  {2090, " 2KB"},
        {2091, " 3KB"},    {10050, " 10KB"},  {1234567, " 1235KB"}, {5000000000LL, " 5000000KB"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(InputFileList::sizeText(bytes), QLatin1String(text)) << bytes;
}

TEST(InputFileTexts, DateWithTheJapaneseWeekdayWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(InputFileList::dateText(QDateTime(QDate(2000, 5, 31), QTime(14, 5, 9))),
              QStringLiteral("2000年05月31日 (水曜日) 14時05分09秒"));
    EXPECT_EQ(InputFileList::dateText(QDateTime(QDate(2026, 1, 4), QTime(0, 0, 0))),
              QStringLiteral("2026年01月04日 (日曜日) 00時00分00秒"));
    QLocale::setDefault(saved);

    // 28 May 2000 was a Sunday.
    const QStringList week{"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
    for (int i = 0; i < 7; ++i) {
        const QDate day = QDate(2000, 5, 28).addDays(i);
        EXPECT_EQ(InputFileList::weekdayName(day.dayOfWeek()), week[i]) << i;
    }
    EXPECT_TRUE(InputFileList::weekdayName(0).isEmpty());
}

TEST_F(InputFolderFixture, ListsMatchingFilesOldestFirstWithTheirTexts)
{
    ASSERT_TRUE(dir.isValid());
    file(QStringLiteral("new.txt"), 1091, at(31, 14, 5, 9));
    file(QStringLiteral("old.txt"), 0, at(1, 8, 0, 0));
    file(QStringLiteral("mid.txt"), 1090, at(15, 23, 59, 59));
    file(QStringLiteral("SKIP.TXT"), 10, at(2, 0, 0, 0));
    file(QStringLiteral("run.exe"), 10, at(2, 0, 0, 0));
    file(QStringLiteral(".hidden.txt"), 10, at(2, 0, 0, 0));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));

    const QList<InputFileRow> rows = InputFileList(QStringLiteral("*.txt;*.exe")).scan(dir.path());
    QStringList names;
    for (const InputFileRow& r : rows)
        names << r.name;
    EXPECT_EQ(names, QStringList({"old.txt", "mid.txt", "new.txt"}));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2].typeText, QStringLiteral("ﾌｧｲﾙ"));
    EXPECT_EQ(rows[2].size, 1091);
    EXPECT_EQ(rows[2].sizeText, QStringLiteral(" 2KB"));
    EXPECT_EQ(rows[2].dateText, QStringLiteral("2000年05月31日 (水曜日) 14時05分09秒"));
    EXPECT_EQ(rows[2].modified, at(31, 14, 5, 9));
    EXPECT_EQ(rows[1].sizeText, QStringLiteral(" 1KB"));
    EXPECT_EQ(rows[0].sizeText, QStringLiteral(" 1KB"));
}

TEST_F(InputFolderFixture, FilesOfTheSameSecondKeepNameOrderAndMissingFoldersListNothing)
{
    const QDateTime second = at(10, 9, 0, 0);
    file(QStringLiteral("b"), 1, second.addMSecs(400));
    file(QStringLiteral("c"), 1, second);
    file(QStringLiteral("a"), 1, second.addMSecs(900));
    const QList<InputFileRow> rows = InputFileList().scan(dir.path());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].name + rows[1].name + rows[2].name, QStringLiteral("abc"));
    EXPECT_TRUE(InputFileList().scan(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(InputFileFolders, ParentFolderKeepsRoots)
{
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("/home/plx/in")), QStringLiteral("/home/plx"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("/home")), QStringLiteral("/"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("C:\\Plx90We\\Usr")), QStringLiteral("C:\\Plx90We"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("C:\\Plx90We")), QStringLiteral("C:\\"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("C:\\")), QStringLiteral("C:\\"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("C:/data")), QStringLiteral("C:/"));
    // Third position without a drive letter is an ordinary separator.
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("ab/c")), QStringLiteral("ab"));
    EXPECT_EQ(InputFileList::parentFolder(QStringLiteral("data")), QStringLiteral("data"));
}

TEST(InputFileFolders, DrivesStartAtTheRootAndHoldTheirFolders)
{
    const QStringList roots = InputFileList::driveRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.first(), QStringLiteral("/"));
    EXPECT_EQ(roots.count(QStringLiteral("/")), 1);
    QStringList unique = roots;
    EXPECT_EQ(unique.removeDuplicates(), 0);
    for (const QString& root : roots)
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();

    const QStringList drives{"/", "/mnt/usb", "/mnt"};
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/mnt/usb/orders"), drives), QStringLiteral("/mnt/usb"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/mnt/usb"), drives), QStringLiteral("/mnt/usb"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/mnt/usb2"), drives), QStringLiteral("/mnt"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/home/x/"), drives), QStringLiteral("/"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/"), drives), QStringLiteral("/"));
    EXPECT_TRUE(InputFileList::driveOf(QStringLiteral("/x"), {"/mnt"}).isEmpty());
}
