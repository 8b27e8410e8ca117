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

TEST(InputFileMasks, LookedUpAsTextsCaseSensitively)
{
    const InputFileList list(QStringLiteral("*.txt;ORD1.csv;EDI.*;ORD*"));
    EXPECT_EQ(list.maskList(), QStringLiteral(";*.txt;ORD1.csv;EDI.*;ORD*;"));
    EXPECT_EQ(acceptedOf(list, {"A.TXT", "B.txt", "C.txt.bak", "TXT", "ORD1.csv", "ORD1.CSV", "ORD2.csv", "EDI.001",
                                "EDI.X.001", "edi.001", "ORDERS"}),
              QStringList({"B.txt", "ORD1.csv", "EDI.001"}));
    // The whole name is looked up with its ";" only, so the end of a longer mask serves.
    EXPECT_TRUE(list.accepts(QStringLiteral("D1.csv")));
    EXPECT_TRUE(InputFileList(QStringLiteral("EDI.X.*")).accepts(QStringLiteral("EDI.X.001")));
    EXPECT_TRUE(InputFileList(QStringLiteral("*.csv;README")).accepts(QStringLiteral("README")));
    for (const QString& all : {QStringLiteral("*.csv;*.*"), QStringLiteral("  ")})
        EXPECT_TRUE(InputFileList(all).accepts(QStringLiteral("NODOT"))) << all.toStdString();
}

TEST(InputFileMasks, ProgramAndSystemFilesAreNeverListed)
{
    const InputFileList all;
    for (const char* name : {"SETUP.EXE", "setup.exe", "a.dll", "KERNEL.SYS", "x.vxd", "d.386", "p.Drv", "WIN.INI"})
        EXPECT_FALSE(all.accepts(QLatin1String(name))) << name;
    // Only the last four characters count.
    for (const char* name : {"SETUPEXE", "a.exe1", "INI", "a.ini.txt"})
        EXPECT_TRUE(all.accepts(QLatin1String(name))) << name;
    EXPECT_FALSE(InputFileList(QStringLiteral("ORDER.EXE")).accepts(QStringLiteral("ORDER.EXE")));
}

TEST(InputFileTexts, KilobytesOfAThousandWithTheNinetyByteRule)
{
    const std::pair<qint64, const char*> cases[] = {{0, " 1KB"},          {1, " 1KB"},
                                                    {90, " 1KB"},         {91, " 1KB"},
                                                    {999, " 1KB"},        {1000, " 1KB"},
                                                    {1090, " 1KB"},       {1091, " 2KB"},
                                                    {2000, " 2KB"},       {2090, " 2KB"},
                                                    {2091, " 3KB"},       {10050, " 10KB"},
                                                    {1234567, " 1235KB"}, {5000000000LL, " 5000000KB"}};
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
    file(QStringLiteral("b.txt"), 1090, at(15, 23, 59, 59).addMSecs(400)); // same second as a.txt and c.txt:
    file(QStringLiteral("c.txt"), 1, at(15, 23, 59, 59));                  // by name
    file(QStringLiteral("a.txt"), 1, at(15, 23, 59, 59).addMSecs(900));
    for (const char* skipped : {"SKIP.TXT", "run.exe", ".hidden.txt"})
        file(QLatin1String(skipped), 10, at(2, 0, 0, 0));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));

    const QList<InputFileRow> rows = InputFileList(QStringLiteral("*.txt;*.exe")).scan(dir.path());
    QStringList names;
    for (const InputFileRow& r : rows)
        names << r.name;
    EXPECT_EQ(names, QStringList({"old.txt", "a.txt", "b.txt", "c.txt", "new.txt"}));
    ASSERT_EQ(rows.size(), 5);
    const InputFileRow& last = rows.last();
    EXPECT_EQ(last.typeText, QStringLiteral("ﾌｧｲﾙ"));
    EXPECT_EQ(last.size, 1091);
    EXPECT_EQ(last.sizeText, QStringLiteral(" 2KB"));
    EXPECT_EQ(last.dateText, QStringLiteral("2000年05月31日 (水曜日) 14時05分09秒"));
    EXPECT_EQ(last.modified, at(31, 14, 5, 9));
    EXPECT_EQ(rows[2].sizeText + rows[0].sizeText, QStringLiteral(" 1KB 1KB"));
    EXPECT_TRUE(InputFileList().scan(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(InputFileFolders, ParentFoldersAndDrives)
{
    const std::pair<const char*, const char*> parents[] = {{"/home/plx/in", "/home/plx"},
                                                           {"/home", "/"},
                                                           {"/", "/"},
                                                           {"C:\\Plx90We\\Usr", "C:\\Plx90We"},
                                                           {"C:\\Plx90We", "C:\\"},
                                                           {"C:\\", "C:\\"},
                                                           {"C:/data", "C:/"},
                                                           {"ab/c", "ab"},
                                                           {"data", "data"}};
    for (const auto& [path, parent] : parents)
        EXPECT_EQ(InputFileList::parentFolder(QLatin1String(path)), QLatin1String(parent)) << path;

    const QStringList roots = InputFileList::driveRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.first(), QStringLiteral("/"));
    QStringList unique = roots;
    EXPECT_EQ(unique.removeDuplicates(), 0);
    for (const QString& root : roots)
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();

    const QStringList drives{"/", "/mnt/usb", "/mnt"};
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/mnt/usb/orders"), drives), QStringLiteral("/mnt/usb"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/mnt/usb2"), drives), QStringLiteral("/mnt"));
    EXPECT_EQ(InputFileList::driveOf(QStringLiteral("/"), drives), QStringLiteral("/"));
    EXPECT_TRUE(InputFileList::driveOf(QStringLiteral("/x"), {"/mnt"}).isEmpty());
}

TEST(InputFileFolders, TheFolderListOffersTheParentFirst)
{
    QTemporaryDir dir;
    for (const char* name : {"b", "A", "c/d", ".hidden"})
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QLatin1String(name))));
    QFile(dir.filePath(QStringLiteral("file.csv"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(InputFileList::folderEntries(dir.path()), QStringList({"..", "A", "b", "c"}));
    EXPECT_EQ(InputFileList::folderEntries(dir.filePath(QStringLiteral("c"))), QStringList({"..", "d"}));
    // The root has no parent.
    EXPECT_FALSE(InputFileList::folderEntries(QStringLiteral("/")).contains(InputFileList::parentEntry()));
    EXPECT_EQ(InputFileList::folderEntries(dir.filePath(QStringLiteral("missing"))), QStringList{".."});
}

TEST(InputFileFolders, TypedFoldersAbsoluteRelativeAndHome)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("in/sub"))));
    QFile(dir.filePath(QStringLiteral("in/file.csv"))).open(QIODevice::WriteOnly);
    const QString in = QDir::cleanPath(dir.filePath(QStringLiteral("in")));
    EXPECT_EQ(InputFileList::typedFolder(QStringLiteral("  ") + in + QStringLiteral("/ "), QStringLiteral("/")), in);
    EXPECT_EQ(InputFileList::typedFolder(QStringLiteral("sub"), in), in + QStringLiteral("/sub"));
    EXPECT_EQ(InputFileList::typedFolder(QStringLiteral("sub/.."), in), in);
    EXPECT_EQ(InputFileList::typedFolder(QStringLiteral(".."), in), QDir::cleanPath(dir.path()));
    EXPECT_EQ(InputFileList::typedFolder(QStringLiteral("~"), in), QDir::cleanPath(QDir::homePath()));
    // Not a folder, or nothing typed: no folder.
    EXPECT_TRUE(InputFileList::typedFolder(QStringLiteral("file.csv"), in).isEmpty());
    EXPECT_TRUE(InputFileList::typedFolder(QStringLiteral("nowhere"), in).isEmpty());
    EXPECT_TRUE(InputFileList::typedFolder(QString(), in).isEmpty());
}

TEST(InputFileFolders, DrivePlacesAreRootHomeAndRealVolumes)
{
    const auto volume = [](const char* root, const char* fs, bool ready = true, bool folder = true) {
        MountedVolume v;
        v.root = QLatin1String(root);
        v.fileSystem = fs;
        v.ready = ready;
        v.isFolder = folder;
        return v;
    };
    const QList<MountedVolume> volumes{volume("/", "ext4"),
                                       volume("/proc", "proc"),
                                       volume("/sys/fs/cgroup", "cgroup2"),
                                       volume("/dev/shm", "tmpfs"),
                                       volume("/run/user/1000", "tmpfs"),
                                       volume("/run/media/plx/USBSTICK", "vfat"),
                                       volume("/media/plx/CDROM", "iso9660"),
                                       volume("/media/plx/EMPTY", "vfat", false),
                                       volume("/mnt/share/", "cifs"),
                                       volume("/boot/efi", "vfat"),
                                       volume("/etc/hosts", "ext4", true, false),
                                       volume("/snap/core/1", "squashfs"),
                                       volume("/data", "xfs"),
                                       volume("/data", "xfs"),
                                       volume("/home/plx", "ext4")};
    EXPECT_EQ(InputFileList::drivePlaces(volumes, QStringLiteral("/home/plx")),
              QStringList({"/", "/home/plx", "/data", "/media/plx/CDROM", "/mnt/share", "/run/media/plx/USBSTICK"}));
    // Without a home folder, and without volumes: the root alone.
    EXPECT_EQ(InputFileList::drivePlaces({}, QString()), QStringList{"/"});
    EXPECT_EQ(InputFileList::drivePlaces({}, QStringLiteral("/")), QStringList{"/"});

    // What the system reports now holds the home folder.
    const QStringList now = InputFileList::driveRoots();
    if (QFileInfo(QDir::homePath()).isDir()) {
        EXPECT_TRUE(now.contains(QDir::cleanPath(QDir::homePath())));
    }
    for (const QString& root : now)
        EXPECT_FALSE(root.startsWith(QStringLiteral("/proc")) || root.startsWith(QStringLiteral("/sys")))
            << root.toStdString();
}
