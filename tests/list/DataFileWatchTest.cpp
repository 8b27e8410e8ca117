#include "list/DataFileWatch.h"

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
