#include "support/CliRunner.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace plx::test;

namespace {

bool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A group and two accounts in it, made for the test and removed after it.
class Desk
{
public:
    Desk()
    {
        const QString tag = QString::number(::getpid());
        group = QStringLiteral("plx90g") + tag;
        clerks = {QStringLiteral("plx90a") + tag, QStringLiteral("plx90b") + tag};
        if (!runTool(QStringLiteral("groupadd"), {group}))
            return;
        m_groupMade = true;
        for (const QString& clerk : clerks) {
            if (!runTool(QStringLiteral("useradd"), {"-M", "-N", "-g", group, "-s", "/bin/sh", clerk}))
                return;
            m_clerksMade << clerk;
        }
        const struct group* g = ::getgrnam(group.toLocal8Bit().constData());
        if (g)
            gid = g->gr_gid;
        for (const QString& clerk : clerks) {
            if (const struct passwd* p = ::getpwnam(clerk.toLocal8Bit().constData()))
                uids << p->pw_uid;
        }
    }
    ~Desk()
    {
        for (const QString& clerk : std::as_const(m_clerksMade))
            runTool(QStringLiteral("userdel"), {clerk});
        if (m_groupMade)
            runTool(QStringLiteral("groupdel"), {group});
    }
    bool ready() const { return m_clerksMade.size() == 2 && gid != gid_t(-1) && uids.size() == 2; }

    QString group;
    QStringList clerks;
    gid_t gid = gid_t(-1);
    QList<uid_t> uids;

private:
    bool m_groupMade = false;
    QStringList m_clerksMade;
};

} // namespace

// Two accounts of one group share an installation in a set-group-ID, group-
// writable folder, each working under the usual umask 022. Taking turns, every
// command of each succeeds, and the files they rewrite keep 0664 and the group.
TEST(SharedInstallation, TwoAccountsOfOneGroupTakingTurnsKeepIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make the accounts";
    for (const char* tool : {"useradd", "userdel", "groupadd", "groupdel", "setpriv"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty() &&
            QStandardPaths::findExecutable(QLatin1String(tool), {"/usr/sbin", "/sbin"}).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    }
    const Desk desk;
    if (!desk.ready())
        GTEST_SKIP() << "cannot make a group and two accounts here";

    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                      QFile::ExeOther));
    // The clerks run a copy of the program beside the desk: the build folder
    // may lie where other accounts cannot reach (a private temporary folder).
    const QString cli = dir.path() + QStringLiteral("/plx90-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PLX90_CLI_PATH), cli));
    ASSERT_TRUE(QFile::setPermissions(cli, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    // The desk's folder: the group's, writable by it, set-group-ID. The first
    // clerk installs into it; the order files arrive in a folder of the group.
    const QString base = dir.path() + QStringLiteral("/desk");
    const QString registry = base + QStringLiteral("/registry.ini");
    for (const QString& folder : {base, base + QStringLiteral("/in")}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), uid_t(-1), desk.gid), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 02775), 0);
    }
    for (const char* name : {"A1", "B1", "A2"}) {
        QFile order(base + QStringLiteral("/in/%1.CSV").arg(QLatin1String(name)));
        ASSERT_TRUE(order.open(QIODevice::WriteOnly));
        order.write(QByteArray("REIAJC14,0502,REIAJ004,102851,REIAJ005,M40217,REIAJ012,2,REIAJ159NO01,") + name +
                    "\r\n");
    }
    const QString root = base + QStringLiteral("/Plx90We/");

    const auto as = [&](int clerk, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
        env.insert(QStringLiteral("HOME"), base);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=") + desk.clerks[clerk], QStringLiteral("--regid=") + desk.group,
                            QStringLiteral("--init-groups"), QStringLiteral("--"), QStringLiteral("sh"),
                            QStringLiteral("-c"), QStringLiteral("umask 022; exec \"$0\" \"$@\""), cli} +
                    args);
        p.waitForFinished(120000);
        return CliResult{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                         QString::fromUtf8(p.readAllStandardError())};
    };

    const struct
    {
        int clerk;
        QStringList args;
        const char* out; // what the output holds
        int leftLockBy;  // an account whose lock file (0644, as an older program left it) is there first; -1: none
    } steps[] = {
        {0, {"install", "--base", base, "--demo"}, "作成", -1},
        {0, {"import", "--eiaj", "--move", base + "/in/A1.CSV"}, "取り込み済", -1},
        {1,
         {"company", "add", "--eiaj", "OrdererCode=900001", "SupplierCode=S1", "OrdererName=共有試験",
          "SupplierName=共有試験", "OutputKind=1", "TaxationKind=1"},
         "追加",
         -1},
        {0, {"import", "--eiaj", "--move", base + "/in/B1.CSV"}, "取り込み済", -1},
        {1, {"import", "--eiaj", "--move", base + "/in/A2.CSV"}, "取り込み済", 0},
        {0, {"list", "--eiaj"}, "A2", 1},
        {1, {"list", "--eiaj"}, "B1", -1},
        {0, {"print", "--eiaj", "--yes"}, ".pdf", -1},
        {1, {"print", "--korvan", "--yes"}, ".pdf", -1},
    };
    const QStringList kept = {"Prg/E_Deliv.dat", "Prg/K_Deliv.dat", "Usr/Cust.DAT", "Log/Err.dat", "Log/Deliv.log",
                              "Usr/E_Dcsv.dat",  "Usr/Print",       "Prg",          "Dust",        "registry.ini"};
    for (const auto& step : steps) {
        SCOPED_TRACE((desk.clerks[step.clerk] + u' ' + step.args.join(u' ')).toStdString());
        const QString lock = root + QStringLiteral("Prg/E_Deliv.dat.lock");
        if (step.leftLockBy >= 0) {
            QFile left(lock);
            ASSERT_TRUE(left.open(QIODevice::WriteOnly));
            ASSERT_EQ(::fchown(left.handle(), desk.uids[step.leftLockBy], desk.gid), 0);
            ASSERT_EQ(::fchmod(left.handle(), 0644), 0);
        }
        const CliResult run = as(step.clerk, step.args);
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(step.out))) << run.out.toStdString() << run.err.toStdString();
        for (const QString& name : kept) {
            const QString path = name == QLatin1String("registry.ini") ? registry : root + name;
            struct stat st
            {
            };
            if (::stat(QFile::encodeName(path).constData(), &st) != 0)
                continue; // not made yet
            EXPECT_EQ(st.st_mode & 07777, S_ISDIR(st.st_mode) ? 02775u : 0664u)
                << name.toStdString() << " is " << std::oct << (st.st_mode & 07777);
            EXPECT_EQ(st.st_gid, desk.gid) << name.toStdString();
        }
        QDirIterator it(root + QStringLiteral("Usr/Print"), QDir::Files);
        while (it.hasNext()) {
            const QFileInfo pdf(it.next());
            EXPECT_EQ(pdf.permissions() & (QFile::ReadGroup | QFile::WriteGroup), QFile::ReadGroup | QFile::WriteGroup)
                << pdf.fileName().toStdString();
            EXPECT_EQ(pdf.groupId(), desk.gid) << pdf.fileName().toStdString();
        }
    }
    // Every order file went to Dust, imported once.
    EXPECT_EQ(QDir(root + QStringLiteral("Dust")).entryList(QDir::Files).size(), 3);
}
