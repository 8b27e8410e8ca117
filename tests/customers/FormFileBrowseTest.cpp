#include "customers/FormFileBrowse.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;

namespace {

const QString kDots = QStringLiteral("･･･");

// A path of exactly `length` characters: `head` and then "x" to fill.
QString pathOf(const QString& head, int length)
{
    return head + QString(length - head.size(), QLatin1Char('x'));
}

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

TEST(FolderLabel, ShorterThan44IsUnchanged)
{
    const QString folder = pathOf(QStringLiteral("C:\\Plx90We\\Usr\\"), 43);
    ASSERT_EQ(folder.size(), 43);
    EXPECT_EQ(shortenedFolderLabel(folder, QLatin1Char('\\')), folder);
    EXPECT_EQ(shortenedFolderLabel(QString(), QLatin1Char('\\')), QString());
}

TEST(FolderLabel, A60CharacterFolderKeepsTheFirstTailShorterThan35)
{
    // Separators at positions 3, 11, 22, 31, 40 and 46 (1-based) of 60 characters.
    const QString folder = QStringLiteral("C:\\Plx90We\\Department\\Shipping\\Delivery\\Forms\\Usr______Final");
    ASSERT_EQ(folder.size(), 60);
    // The tails from positions 11 (50) and 22 (39 characters) are still 35 or
    // longer; the one from 31 (30) is shorter and ends the scan: 40, 46 are not taken.
    EXPECT_EQ(shortenedFolderLabel(folder, QLatin1Char('\\')),
              QStringLiteral("C:") + kDots + QStringLiteral("\\Delivery\\Forms\\Usr______Final"));
}

TEST(FolderLabel, Exactly44IsShortened)
{
    // 44 characters, separators at 3, 8 and 26: the tail from 8 is 37 long, from 26 it is 19.
    const QString folder = QStringLiteral("C:\\abcd\\efghijklmnopqrstu\\vwxyz0123456789ABC");
    ASSERT_EQ(folder.size(), 44);
    EXPECT_EQ(shortenedFolderLabel(folder, QLatin1Char('\\')),
              QStringLiteral("C:") + kDots + QStringLiteral("\\vwxyz0123456789ABC"));
}

TEST(FolderLabel, ScanStartsAtPosition4)
{
    // The separator at position 3 would give a 42-character tail; it is never
    // looked at, and there is no other, so the tail is the whole path.
    const QString folder = pathOf(QStringLiteral("ab/"), 44);
    EXPECT_EQ(shortenedFolderLabel(folder, QLatin1Char('/')), QStringLiteral("ab") + kDots + folder);

    // A separator at position 4 is taken.
    const QString at4 = pathOf(QStringLiteral("abc/"), 44);
    EXPECT_EQ(shortenedFolderLabel(at4, QLatin1Char('/')), QStringLiteral("ab") + kDots + at4.mid(3));
}

TEST(FolderLabel, ATailOf35KeepsTheScanGoingAndOneOf34EndsIt)
{
    // Separators at 11 and 16 of 45: the tail from 11 is exactly 35, so 16 still cuts.
    const QString at35 = QStringLiteral("/abcdefghi/1234/") + QString(29, QLatin1Char('z'));
    ASSERT_EQ(at35.size(), 45);
    ASSERT_EQ(at35.mid(10).size(), 35);
    EXPECT_EQ(shortenedFolderLabel(at35, QLatin1Char('/')), QStringLiteral("/a") + kDots + at35.mid(15));

    // Separators at 12 and 17 of 45: the tail from 12 is 34 and the scan ends there.
    const QString at34 = QStringLiteral("/abcdefghij/1234/") + QString(28, QLatin1Char('z'));
    ASSERT_EQ(at34.size(), 45);
    ASSERT_EQ(at34.mid(11).size(), 34);
    EXPECT_EQ(shortenedFolderLabel(at34, QLatin1Char('/')), QStringLiteral("/a") + kDots + at34.mid(11));
}

TEST(FolderLabel, OnlyTheGivenSeparatorCuts)
{
    const QString slashed = QStringLiteral("/tmp/qt-abcdef/plx90/Plx90We/Usr/Forms/Slip/"); // 44
    ASSERT_EQ(slashed.size(), 44);
    // '/' at 5, 15, 21, 29, 33, 39, 44: tails 40, 30 -> stops at 15.
    EXPECT_EQ(shortenedFolderLabel(slashed, QLatin1Char('/')),
              QStringLiteral("/t") + kDots + QStringLiteral("/plx90/Plx90We/Usr/Forms/Slip/"));
    // With the backslash as separator nothing in it is a separator.
    EXPECT_EQ(shortenedFolderLabel(slashed, QLatin1Char('\\')), QStringLiteral("/t") + kDots + slashed);

    QString windows = slashed;
    windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
    EXPECT_EQ(shortenedFolderLabel(windows, QLatin1Char('\\')),
              QStringLiteral("\\t") + kDots + QStringLiteral("\\plx90\\Plx90We\\Usr\\Forms\\Slip\\"));
    EXPECT_EQ(shortenedFolderLabel(windows, QLatin1Char('/')), QStringLiteral("\\t") + kDots + windows);
}

TEST(FolderLabel, DoubleByteCharactersCountAsOne)
{
    // 44 characters of which many are kanji; counting bytes would cut elsewhere.
    const QString folder = QStringLiteral("D:\\納品書出力サービス\\帳票定義\\") + QString(26, QChar(u'票'));
    ASSERT_EQ(folder.size(), 44);
    // Separators at 3, 13, 18: the tail from 13 is 32 characters.
    EXPECT_EQ(shortenedFolderLabel(folder, QLatin1Char('\\')), QStringLiteral("D:") + kDots + folder.mid(12));
}

TEST(ChosenFormFile, CutTo36WithoutPadding)
{
    EXPECT_EQ(chosenFormFile(QStringLiteral("E_Slip.agr")), QStringLiteral("E_Slip.agr"));
    EXPECT_EQ(chosenFormFile(QString()), QString());
    const QString exact = pathOf(QStringLiteral("a"), 32) + QStringLiteral(".agr");
    ASSERT_EQ(exact.size(), 36);
    EXPECT_EQ(chosenFormFile(exact), exact);
    const QString longName = QStringLiteral("納品書") + QString(40, QLatin1Char('n')) + QStringLiteral(".agr");
    EXPECT_EQ(chosenFormFile(longName), longName.left(36));
    EXPECT_EQ(chosenFormFile(longName).size(), 36);
}

TEST(FormFiles, OnlyAgrFilesSortedByName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + QLatin1Char('/');
    for (const char* name : {"k_tag.agr", "E_Slip.agr", "UPPER.AGR", "notes.txt", "slip.agr.bak", "agr", "x.agrx"})
        touch(base + QLatin1String(name));
    touch(base + QStringLiteral(".hidden.agr"));
    ASSERT_TRUE(QDir(base).mkdir(QStringLiteral("folder.agr")));

    EXPECT_EQ(formFiles(base),
              (QStringList{QStringLiteral("E_Slip.agr"), QStringLiteral("k_tag.agr"), QStringLiteral("UPPER.AGR")}));
    EXPECT_EQ(formFiles(dir.path()), formFiles(base));
}

TEST(FormFiles, AnEmptyOrAbsentFolderListsNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(formFiles(dir.path()).isEmpty());
    EXPECT_TRUE(formFiles(dir.path() + QStringLiteral("/missing")).isEmpty());
    // An empty folder name would mean the current folder; it lists nothing.
    EXPECT_TRUE(formFiles(QString()).isEmpty());
}
