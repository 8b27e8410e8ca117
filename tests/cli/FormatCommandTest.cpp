#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include "core/FileLock.h"
#include "store/DeliveryStore.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// A digest of every file below `folder` (names and contents), to show that a
// refused command wrote nothing.
QByteArray treeDigest(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        hash.addData(path.toUtf8());
        hash.addData(f.readAll());
    }
    return hash.result();
}

// An installation whose EIAJ data file is written by the test: companies A001
// (three records: one to ship, one waiting for issue, one issued) and B002
// (none), an order file in "in" and a shipment CSV.
struct DataFileDesk
{
    QTemporaryDir dir;
    QString registry = dir.filePath(QStringLiteral("registry.ini"));
    QString root = dir.filePath(QStringLiteral("Plx90We/"));

    static QList<DeliveryRecord> records()
    {
        DeliveryRecord toShip = entryReady(QStringLiteral("A001"), QStringLiteral("S01"), QStringLiteral("K1"));
        toShip.setText(DeliveryField::UnitPrice, u"00000000012.500");
        toShip.setText(DeliveryField::InstructedQty, u"000000100.000");
        DeliveryRecord waiting = entryReady(QStringLiteral("A001"), QStringLiteral("S01"), QStringLiteral("K2"));
        waiting.setText(DeliveryField::Status, u"1");
        waiting.setText(DeliveryField::SlipIssued, u"0");
        waiting.setText(DeliveryField::TagIssued, u"0");
        waiting.setText(DeliveryField::ShipQty, u"000000005.000");
        DeliveryRecord issued = entryReady(QStringLiteral("A001"), QStringLiteral("S01"), QStringLiteral("K3"));
        issued.setText(DeliveryField::Status, u"2");
        return {toShip, waiting, issued};
    }

    explicit DataFileDesk(const QByteArray& data)
    {
        const CliResult installed = runCli(registry, {"install", "--base", dir.path()});
        EXPECT_EQ(installed.exitCode, 0) << installed.err.toStdString();
        write(QStringLiteral("Usr/Cust.DAT"),
              fileOf(QList{entryCompany(QStringLiteral("A001")), entryCompany(QStringLiteral("B002"))}));
        write(QStringLiteral("Prg/E_Deliv.dat"), data);
        QDir().mkpath(dir.filePath(QStringLiteral("in")));
        write(QStringLiteral("../in/ORDER.CSV"),
              "REIAJC14,0502,REIAJ004,A001,REIAJ005,S01,REIAJ012,2,REIAJ159NO01,N1\r\n");
        write(QStringLiteral("../ship.csv"),
              "OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate\r\n"
              "A001,S01,K1,100,2026/12/08,2026/12/09\r\n");
    }
    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(root + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray dataFile() const
    {
        QFile f(root + QStringLiteral("Prg/E_Deliv.dat"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // `{base}` in an argument stands for the installation's folder.
    QStringList withBase(const QStringList& args) const
    {
        QStringList out;
        for (const QString& a : args)
            out << QString(a).replace(QStringLiteral("{base}"), dir.path());
        return out;
    }
    CliResult run(const QStringList& args) const { return runCli(registry, withBase(args)); }
    // `watch` until the order file has left the "in" folder, then SIGTERM.
    CliResult watch(const QStringList& args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PLX90_CLI_PATH), withBase(args));
        const QDeadlineTimer deadline(10000);
        while (QFile::exists(dir.filePath(QStringLiteral("in/ORDER.CSV"))) && !deadline.hasExpired() &&
               p.state() != QProcess::NotRunning)
            QThread::msleep(20);
        ::kill(pid_t(p.processId()), SIGTERM);
        p.waitForFinished(20000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // What a run printed, comparable between two installations: the folder
    // named alike, without the PDF paths (their names carry the time) and the
    // times of watch's lines.
    QString comparable(const QString& out) const
    {
        QStringList kept;
        for (QString line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.endsWith(QStringLiteral(".pdf")))
                continue;
            line.replace(dir.path(), QStringLiteral("{base}"));
            kept << (line.startsWith(QStringLiteral("20")) ? line.section(QLatin1Char('\t'), 1) : line);
        }
        return kept.join(QLatin1Char('\n'));
    }
};

// A data file's records with the time of their last write blanked out.
QByteArray withoutWriteTimes(QByteArray bytes)
{
    const FixedField updated = DeliveryRecord::field(DeliveryField::UpdatedAt);
    for (qsizetype at = 0; at + DeliveryRecord::kLength <= bytes.size(); at += DeliveryRecord::kLength)
        bytes.replace(at + updated.offset, updated.width, QByteArray(updated.width, '-'));
    return bytes;
}

} // namespace

// Every command that works on one protocol's records starts the same way: a
// usage error prints the command's own usage and exits 2 before anything is
// read, and a protocol the installation does not serve is refused with exit 1
// before anything is written.
TEST(FormatCommand, EveryCommandRefusesUsageErrorsAndAProtocolTheInstallationDoesNotServe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString registry = dir.filePath(QStringLiteral("registry.ini"));
    const CliResult installed =
        runCli(registry, {"install", "--base", dir.filePath(QStringLiteral("base")), "--ap-use", "KORVAN", "--demo"});
    ASSERT_EQ(installed.exitCode, 0) << installed.err.toStdString();
    const QString input = dir.filePath(QStringLiteral("input.csv"));
    {
        QFile f(input);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("OrdererCode,SupplierCode,DeliveryKeyNo\r\n");
    }
    const QString folder = dir.filePath(QStringLiteral("orders"));
    ASSERT_TRUE(QDir().mkpath(folder));

    const struct
    {
        const char* command;
        QStringList before; // arguments before the protocol
        QStringList after;  // arguments a valid call needs after it
    } commands[] = {
        {"list", {}, {}},        {"delete", {}, {"--yes"}}, {"print", {}, {"--yes"}}, {"search", {}, {}},
        {"import", {}, {input}}, {"ship", {}, {input}},     {"watch", {}, {folder}},  {"company", {"list"}, {}},
    };
    const QByteArray before = treeDigest(dir.filePath(QStringLiteral("base")));
    for (const auto& c : commands) {
        const QString command = QLatin1String(c.command);
        SCOPED_TRACE(c.command);
        const QString usage = QStringLiteral("usage: plx90-cli ") + command;
        for (const QStringList& protocol : QList<QStringList>{{}, {"--eiaj", "--korvan"}}) {
            const CliResult p = runCli(registry, QStringList{command} + c.before + protocol + c.after);
            EXPECT_EQ(p.exitCode, 2) << protocol.join(u' ').toStdString();
            EXPECT_TRUE(p.err.contains(usage)) << p.err.toStdString();
        }
        const CliResult unknown =
            runCli(registry, QStringList{command} + c.before + QStringList{"--korvan", "--bogus"});
        EXPECT_EQ(unknown.exitCode, 2);
        EXPECT_TRUE(unknown.err.contains(QStringLiteral("'bogus'"))) << unknown.err.toStdString();
        EXPECT_TRUE(unknown.err.contains(usage)) << unknown.err.toStdString();

        const CliResult eiaj = runCli(registry, QStringList{command} + c.before + QStringList{"--eiaj"} + c.after);
        EXPECT_EQ(eiaj.exitCode, 1);
        EXPECT_TRUE(eiaj.err.contains(QStringLiteral("この環境では EIAJ のデータを扱いません。(ApUse=KORVAN)")))
            << eiaj.err.toStdString();
    }
    EXPECT_EQ(treeDigest(dir.filePath(QStringLiteral("base"))), before);
}

// A desk that has just upgraded keeps its data file of the older layout. Every
// command that reads the data file converts it first, as the list window does
// when it loads, and then does exactly what it does on the converted file.
TEST(FormatCommand, EveryCommandConvertsAnOlderLayoutDataFileAndThenWorksAsOnTheConvertedOne)
{
    const QByteArray older = olderLayoutOf(DataFileDesk::records());
    const QByteArray converted = convertedOf(DataFileDesk::records());
    ASSERT_NE(older.size() % DeliveryRecord::kLength, 0); // as read today's way, the file is damaged

    const struct
    {
        QStringList args;
        int exitCode;
        const char* shows; // the beginning of a line it prints
    } cases[] = {
        {{"list", "--eiaj"}, 0, "3\t済\t"},
        {{"search", "--eiaj", "--key", "K2"}, 0, "2"},
        {{"ship", "--eiaj", "{base}/ship.csv"}, 0, "2\t登録済\t1"},
        {{"print", "--eiaj", "--yes"}, 0, "# 納品書 A001 北斗星電機 1件"},
        {{"delete", "--eiaj", "--issued-only", "--yes"}, 0, "1"},
        {{"import", "--eiaj", "--no-move", "{base}/in/ORDER.CSV"}, 0, "{base}/in/ORDER.CSV\t取り込み済"},
        {{"company", "delete", "--eiaj", "B002", "S01", "--yes"}, 0, "削除\tB002\tS01"},
        // Its check of the data file finds K2 waiting for issue.
        {{"company", "change", "--eiaj", "A001", "S01", "OutputKind=3"}, 1, "(595) "},
        {{"company", "change", "--eiaj", "B002", "S01", "OutputKind=3"}, 0, "変更\tB002\tS01"},
        {{"watch", "--eiaj", "--interval", "0.1", "{base}/in"}, 0, "{base}/in/ORDER.CSV\t取り込み済"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const DataFileDesk upgraded(older);
        const DataFileDesk current(converted);
        const bool watching = c.args[0] == QLatin1String("watch");
        const CliResult onOlder = watching ? upgraded.watch(c.args) : upgraded.run(c.args);
        const CliResult onCurrent = watching ? current.watch(c.args) : current.run(c.args);

        EXPECT_EQ(onOlder.exitCode, c.exitCode) << onOlder.err.toStdString();
        EXPECT_EQ(onCurrent.exitCode, c.exitCode) << onCurrent.err.toStdString();
        EXPECT_EQ(upgraded.comparable(onOlder.out).toStdString(), current.comparable(onCurrent.out).toStdString());
        const QString shown = upgraded.comparable(onOlder.out + onOlder.err);
        EXPECT_TRUE((u'\n' + shown).contains(u'\n' + QString::fromUtf8(c.shows))) << shown.toStdString();
        EXPECT_FALSE(onOlder.err.contains(QStringLiteral("壊れています"))) << onOlder.err.toStdString();
        // The file was converted, then changed as the converted one was.
        const QByteArray after = upgraded.dataFile();
        EXPECT_EQ(after.size() % DeliveryRecord::kLength, 0);
        EXPECT_TRUE(withoutWriteTimes(after) == withoutWriteTimes(current.dataFile()));
    }
}

// A conversion that cannot run now, because another program holds the data
// file, stops the command with that reason; the file is not called damaged
// and stays as it was.
TEST(FormatCommand, AnOlderLayoutFileAnotherProgramHoldsIsReportedAsBusyNotDamaged)
{
    const QByteArray older = olderLayoutOf(DataFileDesk::records());
    const DataFileDesk desk(older);
    qputenv("PLX90_LOCK_WAIT_MS", "200");
    const FileLock held(desk.root + QStringLiteral("Prg/E_Deliv.dat"), DeliveryStore::label());
    // The list converts as it loads; the other commands before they start.
    for (const QStringList& args : {QStringList{"search", "--eiaj", "--key", "K2"}, QStringList{"list", "--eiaj"}}) {
        const CliResult run = desk.run(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("納品書ﾌｧｲﾙを新しい形式に変換できません。")))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("他のﾌﾟﾛｸﾞﾗﾑが使用中です"))) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QStringLiteral("壊れています"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(desk.dataFile(), older);
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
}
