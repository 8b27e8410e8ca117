#include "list/DataFileWatch.h"

#include "core/FileUtil.h"
#include "core/RecordFile.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

using namespace plx;

TEST(DataFileWatch, EveryKindOfWriteIsToldOnceUntilTheListReadsAgain)
{
    QTemporaryDir dir;
    const QString eiaj = dir.filePath(QStringLiteral("E_Deliv.dat"));
    const QString korvan = dir.filePath(QStringLiteral("K_Deliv.dat"));
    const auto write = [](const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
        QFile f(path);
        ASSERT_TRUE(f.open(mode));
        f.write(bytes);
    };
    struct Case
    {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"a record written in place", [&] { write(eiaj, "B", QIODevice::ReadWrite); }},
        {"a record appended", [&] { write(eiaj, "C", QIODevice::Append); }},
        {"the file replaced whole, same size",
         [&] {
             write(eiaj + QStringLiteral(".work"), QByteArray(3, 'D'), QIODevice::WriteOnly);
             QFile::remove(eiaj);
             QFile::rename(eiaj + QStringLiteral(".work"), eiaj);
         }},
        {"the file removed", [&] { QFile::remove(eiaj); }},
    };
    write(eiaj, "AAA", QIODevice::WriteOnly);
    write(korvan, "K", QIODevice::WriteOnly);
    DataFileWatch watch(eiaj, korvan, 3600000);
    QSignalSpy told(&watch, &DataFileWatch::changed);
    watch.check();
    EXPECT_EQ(told.count(), 0) << "nothing changed";
    for (const Case& c : cases) {
        told.clear();
        QThread::msleep(5); // a new modification time even on coarse clocks
        c.change();
        watch.check();
        watch.check();
        ASSERT_EQ(told.count(), 1) << c.what;
        EXPECT_EQ(told.at(0).at(0).value<Protocol>(), Protocol::Eiaj) << c.what;
        watch.read(Protocol::Eiaj);
        watch.check();
        EXPECT_EQ(told.count(), 1) << c.what << ": told again after the list read it";
    }
}

TEST(DataFileWatch, TellsThisProcesssOwnWritesFromAnotherProgramsUntilAnotherWritesBetween)
{
    QTemporaryDir dir;
    const QString eiaj = dir.filePath(QStringLiteral("E_Deliv.dat"));
    const QString korvan = dir.filePath(QStringLiteral("K_Deliv.dat"));
    // This process writes through its file routines; a write around them
    // stands for another program's.
    const auto own = [&] { fileutil::writeAtomically(eiaj, QByteArray(4, 'O')); };
    const auto ownRecord = [&] {
        RecordFile file(eiaj, 4, QStringLiteral("納品書ﾌｧｲﾙ"));
        file.open();
        file.write(file.count() + 1, "REC\n");
    };
    const auto other = [&] {
        QFile f(eiaj);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("XXXX");
    };
    struct Step
    {
        const char* what;
        std::function<void()> write;
        bool readFirst; // the list reads the file before the write
        bool byOther;
    };
    const Step steps[] = {
        {"a file this process created by opening it", ownRecord, false, false},
        {"rewritten whole by this process", own, false, false},
        {"then a record appended by it", ownRecord, false, false},
        {"then another program's write", other, false, true},
        {"this process's write after another's", own, false, true},
        {"another program's write after the list read", other, true, true},
        {"this process's write after the list read", ownRecord, true, false},
    };
    DataFileWatch watch(eiaj, korvan, 3600000);
    for (const Step& s : steps) {
        if (s.readFirst)
            watch.read(Protocol::Eiaj);
        QThread::msleep(5); // a new modification time even on coarse clocks
        s.write();
        EXPECT_EQ(watch.changedByOther(Protocol::Eiaj), s.byOther) << s.what;
    }
    EXPECT_FALSE(watch.changedByOther(Protocol::Korvan));

    // What this process wrote while the list read is what the list read; a
    // write of another program then is still told.
    QSignalSpy told(&watch, &DataFileWatch::changed);
    watch.read(Protocol::Eiaj);
    ownRecord();
    watch.hasRead(Protocol::Eiaj);
    watch.check();
    EXPECT_EQ(told.count(), 0);
    watch.read(Protocol::Eiaj);
    QThread::msleep(5);
    other();
    watch.hasRead(Protocol::Eiaj);
    watch.check();
    EXPECT_EQ(told.count(), 1);
}
