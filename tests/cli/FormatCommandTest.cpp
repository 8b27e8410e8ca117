#include "support/CliRunner.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
