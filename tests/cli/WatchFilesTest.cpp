// plx90-cli watch and the files it meets: formats sharing a folder, the
// installation's own folders, names that are not UTF-8, a journal it cannot
// trust, error lists, and what the system refuses it.

#include "WatchDesk.h"

#include "support/CliRunner.h"
#include "support/ImportFixtures.h"

#include "core/FileLock.h"
#include "core/ProcessLock.h"
#include "import/ArrivalTracker.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;
using namespace plx::test::watch;

namespace {

QByteArray korvanOrder(const QStringList& keys)
{
    QByteArray bytes = "RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,RD10Key,RD10SendNo,"
                       "RD10Tani,RD10CNum,RD10Name,RD10Code,RD10Kensa,RD10Nouki,RD10SNum,RD10BC,RD10Siyou1\r\n";
    for (const QString& key : keys)
        bytes += "D10,4172,AB  ,0588,XY," + key.toLatin1() + ",77,PC,24," + cp932::encode(u"ｾﾝｻ") +
                 ",SNS-7,ABC,261215,12,0,U1\r\n";
    return bytes;
}

QStringList korvanKeys(const Desk& desk)
{
    QStringList keys;
    for (const DeliveryRecord& r : desk.imp.records(Protocol::Korvan))
        if (r.kind() == '2')
            keys << r.text(DeliveryField::DeliveryKeyNo).trimmed();
    keys.sort();
    return keys;
}

// The names of a folder's files as the bytes they are.
QList<QByteArray> rawNames(const QString& folder)
{
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeRaw(const QString& folder, const QByteArray& name, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.toStdString();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

// Every file below the folders, with its bytes.
QMap<QString, QByteArray> snapshot(const QStringList& folders)
{
    QMap<QString, QByteArray> files;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            files.insert(path, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?"));
        }
    }
    return files;
}

} // namespace

TEST(Watch, EachFormatsWatchTakesItsOwnFilesFromASharedFolder)
{
    struct Case
    {
        const char* apUse;
        QList<Protocol> watches;
        bool korvanImported; // by the KORVAN watch
        bool korvanRejected; // no served format takes them: set aside with 002
    };
    const QList<Case> cases = {
        {"ALL", {Protocol::Eiaj, Protocol::Korvan}, true, false},
        {"ALL", {Protocol::Eiaj}, false, false}, // they wait for the KORVAN watch
        {"EIAJ", {Protocol::Eiaj}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.apUse) + " watches " + std::to_string(c.watches.size()));
        Desk desk;
        desk.imp.inst.setSetting(QStringLiteral("ApUse"), QLatin1String(c.apUse));
        std::vector<std::unique_ptr<Watch>> watches;
        for (const Protocol p : c.watches)
            watches.push_back(std::make_unique<Watch>(
                desk, QStringList{p == Protocol::Eiaj ? "--eiaj" : "--korvan", "--interval", "0.2", desk.in()}));
        QStringList eiaj, korvan;
        for (int i = 1; i <= 4; ++i) {
            const QStringList e = keysOf(QStringLiteral("E%1").arg(i), 2);
            const QStringList k = {QStringLiteral("K%1A").arg(i), QStringLiteral("K%1B").arg(i)};
            if (i % 2)
                desk.dropRenamed(QStringLiteral("K%1.CSV").arg(i), korvanOrder(k));
            else
                desk.drop(QStringLiteral("K%1.CSV").arg(i), korvanOrder(k));
            desk.drop(QStringLiteral("E%1.CSV").arg(i), Desk::order(e));
            eiaj << e;
            korvan << k;
        }
        desk.drop(QStringLiteral("NOTE.CSV"), "no order\r\n"); // no format's: set aside once
        eiaj.sort();
        korvan.sort();
        const QStringList waiting =
            c.korvanImported || c.korvanRejected ? QStringList{} : QStringList{"K1.CSV", "K2.CSV", "K3.CSV", "K4.CSV"};
        ASSERT_TRUE(waitFor([&] { return desk.keys() == eiaj && desk.waiting() == waiting; }))
            << desk.waiting().join(' ').toStdString();
        QThread::msleep(1000); // several more looks
        QString out;
        for (auto& w : watches) {
            const CliResult run = w->stop();
            EXPECT_EQ(run.exitCode, 0);
            out += run.out;
        }
        EXPECT_EQ(out.count(QStringLiteral("/NOTE.CSV\t")), 1) << out.toStdString();
        EXPECT_EQ(desk.waiting(), waiting);
        EXPECT_EQ(korvanKeys(desk), c.korvanImported ? korvan : QStringList{});
        const QStringList rejected =
            c.korvanRejected ? QStringList{"K1.CSV",     "K1.CSV.err", "K2.CSV",     "K2.CSV.err", "K3.CSV",
                                           "K3.CSV.err", "K4.CSV",     "K4.CSV.err", "NOTE.CSV",   "NOTE.CSV.err"}
                             : QStringList{"NOTE.CSV", "NOTE.CSV.err"};
        EXPECT_EQ(QDir(desk.rejected()).entryList(QDir::Files, QDir::Name), rejected);
    }
}

TEST(Watch, RefusesTheInstallationsOwnFoldersAndMovesNothingOfThem)
{
    Desk desk;
    desk.drop(QStringLiteral("A.CSV"), Desk::order({"A-1"}));
    const QString root = desk.imp.inst.root();
    struct Case
    {
        QString folder;     // given on the command line
        QString dataFolder; // DataFilePath (the folder ﾌｧｲﾙ入力 starts in)
    };
    const QList<Case> cases = {
        {root + "/Prg", {}}, {root + "/Usr", {}}, {root, {}}, {root + "/Prg/../Usr", {}}, {{}, root + "/Prg"},
    };
    const QStringList guarded = {root + "/Prg", root + "/Usr"};
    for (const Case& c : cases) {
        SCOPED_TRACE((c.folder + " " + c.dataFolder).toStdString());
        desk.imp.inst.setSetting(QStringLiteral("DataFilePath"), c.dataFolder);
        const QMap<QString, QByteArray> before = snapshot(guarded);
        QStringList args{"--eiaj", "--interval", "0.05"};
        if (!c.folder.isEmpty())
            args << c.folder;
        Watch watch(desk, args);
        ASSERT_TRUE(watch.waitForEnd(5000)) << "it watches an installation folder";
        const CliResult run = watch.finish();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("PLX-90のﾌｫﾙﾀﾞは監視できません"))) << run.err.toStdString();
        EXPECT_EQ(snapshot(guarded), before);
        EXPECT_FALSE(QFileInfo::exists(desk.rejected()));
    }
    // The folder orders arrive in is still watched.
    desk.imp.inst.setSetting(QStringLiteral("DataFilePath"), QString());
    Watch watch(desk, {"--eiaj", "--interval", "0.05", desk.in()});
    ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); }));
    EXPECT_EQ(watch.stop().exitCode, 0);
    EXPECT_EQ(desk.keys(), QStringList{"A-1"});
}

TEST(Watch, NamesThatAreNotUtf8AreTakenAndShown)
{
    Desk desk;
    // A good line and one of an unknown orderer (004): imported with one error.
    const auto orderOf = [](const QString& key) {
        return Desk::order({key}) + "0502,ZZZZ,S01,2," + key.toLatin1() + "X\r\n";
    };
    struct Case
    {
        QByteArray name; // as the file system holds it
        QString key;
        QString shown;  // in the output (UTF-8)
        QString listed; // in the CP932 error list
    };
    const QList<Case> imported = {
        {cp932::encode(u"注文1.CSV"), "N-1", "注文1.CSV", "注文1.CSV"},
        {"caf\xE9.CSV", "N-2", "caf\\xE9.CSV", "caf\\xE9.CSV"},
        {"caf\xC3\xA9.CSV", "N-3", "café.CSV", "caf\\u{E9}.CSV"},
        {"\xE6\xB3\xA2\xE3\x80\x9C.CSV", "N-4", "波〜.CSV", "波\\u{301C}.CSV"},
        {"TAB\tLF\n.CSV", "N-5", "TAB\\tLF\\n.CSV", "TAB\\tLF\\n.CSV"},
    };
    for (const Case& c : imported)
        writeRaw(desk.in(), c.name, orderOf(c.key));
    const QList<Case> rejected = {
        {"BAD\xE9.CSV", {}, "BAD\\xE9.CSV", "BAD\\xE9.CSV"},
        {"BAD\xC3\xA9.CSV", {}, "BADé.CSV", "BAD\\u{E9}.CSV"},
    };
    for (const Case& c : rejected)
        writeRaw(desk.in(), c.name, "no order\r\n");

    Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()});
    ASSERT_TRUE(waitFor([&] { return rawNames(desk.in()).isEmpty(); })) << rawNames(desk.in()).join(' ').toStdString();
    const CliResult run = watch.stop();
    EXPECT_EQ(desk.keys(), (QStringList{"N-1", "N-2", "N-3", "N-4", "N-5"}));
    // One line per file, the error count kept.
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 1 + imported.size() + rejected.size()) << run.out.toStdString();
    QList<QByteArray> dust;
    for (const Case& c : imported) {
        SCOPED_TRACE(c.shown.toStdString());
        EXPECT_EQ(linesOf(run, desk.in() + "/" + c.shown).value(0).section('\t', 2),
                  "取り込み済 (ｴﾗｰ 1件)\t→ " + desk.dust() + "/" + c.shown)
            << run.out.toStdString();
        dust << c.name;
    }
    std::sort(dust.begin(), dust.end());
    EXPECT_EQ(rawNames(desk.dust()), dust);
    for (const Case& c : rejected) {
        SCOPED_TRACE(c.shown.toStdString());
        EXPECT_EQ(linesOf(run, desk.in() + "/" + c.shown).size(), 1) << run.out.toStdString();
        QByteArray bytes;
        if (const int fd = ::open((QFile::encodeName(desk.rejected()) + '/' + c.name + ".err").constData(), O_RDONLY);
            fd >= 0) {
            char buffer[4096];
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, n);
            ::close(fd);
        }
        EXPECT_TRUE(cp932::decode(bytes).contains(c.listed + " [    ]:対象外のビジネスプロトコルです。(002)"))
            << cp932::decode(bytes).toStdString();
    }

    // import names its file as it is, through a shell that passes the bytes.
    const QByteArray name = cp932::encode(u"注文2.CSV");
    writeRaw(desk.in(), name, Desk::order({"N-6"}));
    QByteArray octal;
    for (const char byte : QFile::encodeName(desk.in()) + '/' + name)
        octal += "\\" + QByteArray::number(static_cast<unsigned char>(byte), 8).rightJustified(3, '0');
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLX90_REGISTRY"), desk.registry());
    shell.setProcessEnvironment(env);
    shell.start(QStringLiteral("sh"),
                {"-c", "exec \"$0\" import --eiaj \"$(printf \"$1\")\"", PLX90_CLI_PATH, QString::fromLatin1(octal)});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QString out = QString::fromUtf8(shell.readAllStandardOutput());
    EXPECT_EQ(shell.exitCode(), 0) << out.toStdString() << shell.readAllStandardError().toStdString();
    EXPECT_EQ(out, desk.in() + "/注文2.CSV\t取り込み済\n取込：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 1件\n拒否：ﾌｧｲﾙ 0件、ﾚｺｰﾄﾞ 0件\n");
    EXPECT_TRUE(desk.keys().contains(QStringLiteral("N-6")));
    // Qt cannot remove what it cannot name.
    for (const QString& folder : {desk.in(), desk.dust(), desk.rejected()})
        for (const QByteArray& raw : rawNames(folder))
            ::unlink((QFile::encodeName(folder) + '/' + raw).constData());
}

TEST(Watch, AJournalItCannotTrustIsSetAsideAndTheWatchGoesOn)
{
    struct Case
    {
        const char* what;
        bool crashFirst; // a batch committed, then the watch was killed
        std::function<QByteArray(const Desk&)> journal;
    };
    // A journal that names files outside the watched folder, with their true
    // identities: the installation's code table and a file elsewhere.
    const auto stray = [](const Desk& desk) {
        QJsonArray files;
        for (const QString& path : {desk.imp.inst.path(QStringLiteral("Prg/Code.DAT")),
                                    desk.imp.inst.base() + QStringLiteral("/elsewhere/KEEP.CSV"),
                                    desk.in() + QStringLiteral("/../elsewhere/KEEP.CSV")}) {
            files.append(QJsonObject{{"path", path},
                                     {"identity", FileIdentity::of(path).value_or(FileIdentity{}).toJson()},
                                     {"outcome", 2},
                                     {"to", "rejected"},
                                     {"errors", QJsonArray{}}});
        }
        return QJsonDocument(QJsonObject{{"heading", QJsonArray{}}, {"files", files}}).toJson();
    };
    const QList<Case> cases = {
        {"torn", true, [](const Desk&) { return QByteArray("{\"heading\": [], \"files\": [{\"pa"); }},
        {"empty", true, [](const Desk&) { return QByteArray(); }},
        {"not a journal", true, [](const Desk&) { return QByteArray("[1, 2, 3]"); }},
        {"names files elsewhere", false, stray},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        const QString prg = desk.imp.inst.path(QStringLiteral("Prg/"));
        QDir().mkpath(desk.imp.inst.base() + QStringLiteral("/elsewhere"));
        QFile keep(desk.imp.inst.base() + QStringLiteral("/elsewhere/KEEP.CSV"));
        ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
        keep.write("not mine\r\n");
        keep.close();
        const QMap<QString, QByteArray> guarded = snapshot({prg, desk.imp.inst.base() + QStringLiteral("/elsewhere")});
        const QStringList one = keysOf(QStringLiteral("J1"), 5);
        const QStringList two = keysOf(QStringLiteral("J2"), 5);
        desk.drop(QStringLiteral("J1.CSV"), Desk::order(one));
        desk.drop(QStringLiteral("J2.CSV"), Desk::order(two));
        if (c.crashFirst) {
            Watch killed(desk, {"--eiaj", "--interval", "0.1", desk.in()}, {{"PLX90_WATCH_CRASH_AT", "committed"}});
            ASSERT_TRUE(killed.waitForEnd(15000));
            ASSERT_TRUE(killed.crashed());
            ASSERT_EQ(desk.keys().size(), 10);
        }
        QFile journal(prg + QStringLiteral("E_Watch.jnl"));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly | QIODevice::Truncate));
        journal.write(c.journal(desk));
        journal.close();

        Watch again(desk, {"--eiaj", "--interval", "0.1", desk.in()});
        // It has settled what it found and watches.
        ASSERT_EQ(desk.runLog().count(QStringLiteral("監視開始")), c.crashFirst ? 2 : 1);
        ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); }));
        const CliResult run = again.stop();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        // Each order line once: the committed batch's keys are refused as
        // already there (005) when its files are taken again.
        QStringList expected = one + two;
        expected.sort();
        EXPECT_EQ(desk.keys(), expected);
        EXPECT_EQ(QDir(desk.dust()).entryList(QDir::Files, QDir::Name), (QStringList{"J1.CSV", "J2.CSV"}));
        EXPECT_FALSE(QFile::exists(prg + QStringLiteral("E_Watch.jnl")));
        if (c.crashFirst) {
            const QStringList aside = QDir(prg).entryList({QStringLiteral("E_Watch.jnl.damaged-*")}, QDir::Files);
            ASSERT_EQ(aside.size(), 1);
            QFile kept(prg + aside[0]);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), c.journal(desk));
            EXPECT_TRUE(desk.runLog().contains(QStringLiteral("取り込みの記録を読めません")))
                << desk.runLog().toStdString();
            EXPECT_TRUE(run.out.contains(QStringLiteral("J1.CSV\t取り込み済 (ｴﾗｰ 5件)"))) << run.out.toStdString();
        } else {
            QMap<QString, QByteArray> now = snapshot({prg, desk.imp.inst.base() + QStringLiteral("/elsewhere")});
            for (auto it = guarded.begin(); it != guarded.end(); ++it)
                EXPECT_EQ(now.value(it.key(), "(gone)"), it.value()) << it.key().toStdString();
            EXPECT_FALSE(QFileInfo::exists(desk.rejected()));
        }
    }
}

TEST(Watch, ARejectedFilesErrorListHoldsItsOwnLineWhileImportsRun)
{
    Desk desk;
    Watch watch(desk, {"--eiaj", "--interval", "0.05", desk.in()}, {{"PLX90_LOCK_WAIT_MS", "20000"}});
    // Imports that rewrite Err.dat as fast as they can, beside the watch.
    std::atomic<bool> stop = false;
    std::vector<std::thread> imports;
    for (int i = 0; i < 2; ++i) {
        imports.emplace_back([&] {
            while (!stop)
                runCli(desk.registry(), {"import", "--eiaj", desk.imp.inPath(QStringLiteral(".MISSING.CSV"))});
        });
    }
    constexpr int kFiles = 60;
    for (int i = 1; i <= kFiles; ++i) {
        desk.dropRenamed(QStringLiteral("BAD%1.CSV").arg(i), "no order\r\n");
        QThread::msleep(60);
    }
    const bool settled = waitFor([&] { return desk.waiting().isEmpty(); }, 60000);
    stop = true;
    for (std::thread& t : imports)
        t.join();
    ASSERT_TRUE(settled);
    EXPECT_EQ(watch.stop().exitCode, 0);
    QStringList without;
    for (int i = 1; i <= kFiles; ++i) {
        const QString name = QStringLiteral("BAD%1.CSV").arg(i);
        const QString list = cp932::decode(desk.imp.inst.readFile(QStringLiteral("Rejected/") + name + ".err"));
        if (!list.contains(name + QStringLiteral(" [    ]:対象外のビジネスプロトコルです。(002)")))
            without << name;
    }
    EXPECT_TRUE(without.isEmpty()) << without.join(' ').toStdString();
}

namespace {

// A user without privileges to run plx90-cli as (setpriv), made when missing;
// empty when this machine cannot (not root, no useradd or setpriv).
QStringList runAsClerk(QString& why)
{
    if (::geteuid() != 0) {
        why = QStringLiteral("not root: no other user to run as");
        return {};
    }
    const QString useradd = QStandardPaths::findExecutable(QStringLiteral("useradd"), {"/usr/sbin", "/sbin"});
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (useradd.isEmpty() || setpriv.isEmpty()) {
        why = QStringLiteral("useradd or setpriv missing");
        return {};
    }
    const char* name = "plx90clerk";
    if (!::getpwnam(name))
        QProcess::execute(useradd, {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", name});
    const passwd* user = ::getpwnam(name);
    if (!user) {
        why = QStringLiteral("useradd could not add a user");
        return {};
    }
    return {setpriv, QStringLiteral("--reuid=%1").arg(user->pw_uid), QStringLiteral("--regid=%1").arg(user->pw_gid),
            QStringLiteral("--clear-groups")};
}

} // namespace

TEST(Watch, WhatItCannotReadOrCreateIsToldWithTheSystemsReason)
{
    QString why;
    const QStringList clerk = runAsClerk(why);
    if (clerk.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QString uid = clerk[1].section('=', 1);
    Desk desk;
    ASSERT_EQ(QProcess::execute("chown", {"-R", uid + ":" + clerk[2].section('=', 1), desk.imp.inst.base()}), 0);
    const QString locked = desk.imp.inPath(QStringLiteral("LOCKED.CSV"));
    desk.drop(QStringLiteral("LOCKED.CSV"), Desk::order({"L-1"}));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_EQ(QProcess::execute("chown", {"root:root", locked}), 0);
    desk.drop(QStringLiteral("OK.CSV"), Desk::order({"O-1"}));
    ASSERT_EQ(QProcess::execute("chown", {uid, desk.imp.inPath(QStringLiteral("OK.CSV"))}), 0);

    // Not readable: told once with the system's reason, left where it is,
    // taken once it can be read.
    Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()}, {}, clerk);
    ASSERT_TRUE(watch.running());
    ASSERT_TRUE(waitFor([&] { return desk.waiting() == QStringList{"LOCKED.CSV"}; }));
    ASSERT_TRUE(waitFor([&] { return desk.runLog().contains(QStringLiteral("取り込み済 1件")); }));
    const QString logged = desk.runLog();
    QThread::msleep(800); // several passes, told once
    EXPECT_EQ(desk.runLog(), logged);
    EXPECT_EQ(desk.waiting(), QStringList{"LOCKED.CSV"});
    EXPECT_FALSE(QFileInfo::exists(desk.rejected()));
    // The import of a file it may not read says so, not 002, and leaves it.
    {
        QProcess import;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), desk.registry());
        import.setProcessEnvironment(env);
        import.start(clerk.first(), clerk.mid(1) + QStringList{QStringLiteral(PLX90_CLI_PATH), "import", "--eiaj",
                                                               "--no-move", locked});
        ASSERT_TRUE(import.waitForFinished(30000));
        EXPECT_EQ(import.exitCode(), 1);
        const QString out = QString::fromUtf8(import.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("拒否 (014 ﾌｧｲﾙを読み込めません。)"))) << out.toStdString();
        const QString list = cp932::decode(desk.imp.inst.readFile(QStringLiteral("Log/Err.dat")));
        EXPECT_TRUE(list.contains(QStringLiteral("LOCKED.CSV [    ]:ﾌｧｲﾙを読み込めません。(014):(Permission denied)")))
            << list.toStdString();
        EXPECT_EQ(desk.waiting(), QStringList{"LOCKED.CSV"});
    }
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther | QFileDevice::ReadGroup));
    ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); }));
    const CliResult run = watch.stop();
    EXPECT_EQ(desk.keys(), (QStringList{"L-1", "O-1"}));
    QStringList said;
    for (const QString& line : linesOf(run, locked))
        said << line.section(QLatin1Char('\t'), 2);
    EXPECT_EQ(said, (QStringList{QStringLiteral("未処理 (読み込めません: Permission denied)"),
                                 QStringLiteral("取り込み済\t→ ") + desk.dust() + QStringLiteral("/LOCKED.CSV")}))
        << run.out.toStdString();

    // A Prg folder where the watch's lock file cannot be made.
    const QString prg = desk.imp.inst.path(QStringLiteral("Prg"));
    ASSERT_EQ(QProcess::execute("chown", {"root:root", prg}), 0);
    Watch refused(desk, {"--eiaj", "--interval", "0.1", desk.in()}, {}, clerk);
    ASSERT_TRUE(refused.waitForEnd(10000));
    const CliResult told = refused.finish();
    EXPECT_EQ(told.exitCode, 1);
    EXPECT_TRUE(told.err.contains(QStringLiteral("監視のﾛｯｸﾌｧｲﾙを作成できません")) &&
                told.err.contains(QStringLiteral("Permission denied")))
        << told.err.toStdString();
}

TEST(Watch, AFullDiskIsToldInTheSystemsWords)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: cannot mount a small file system";
    struct Case
    {
        const char* folder; // on a file system of its own that is full
        const char* file;
        QByteArray bytes;
        const char* says; // the summary of the batch in the run log
    };
    const QList<Case> cases = {
        {"Rejected", "BAD.CSV", QByteArray(8192, 'n'), "拒否 1件"},
        {"Dust", "A.CSV", Desk::order(keysOf(QStringLiteral("A"), 400)), "取り込み済 1件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Desk desk;
        const QString full = desk.imp.inst.path(QLatin1String(c.folder));
        ASSERT_TRUE(QDir().mkpath(full));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", full}) != 0)
            GTEST_SKIP() << "tmpfs cannot be mounted here";
        struct Unmount
        {
            QString at;
            ~Unmount() { QProcess::execute("umount", {at}); }
        } unmount{full};
        QFile fill(full + QStringLiteral("/.fill"));
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly));
        while (fill.write(QByteArray(4096, 'x')) == 4096 && fill.flush()) {
        }
        fill.close();

        Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()});
        desk.drop(QLatin1String(c.file), c.bytes);
        ASSERT_TRUE(waitFor([&] { return desk.runLog().contains(QString::fromUtf8(c.says)); }));
        const CliResult run = watch.stop();
        EXPECT_EQ(linesOf(run, desk.imp.inPath(QLatin1String(c.file))).value(0).section(QLatin1Char('\t'), 3),
                  QStringLiteral("移動できませんでした: No space left on device (再度取り込みません)"))
            << run.out.toStdString();
        EXPECT_EQ(desk.waiting(), QStringList{QLatin1String(c.file)});
    }
}
