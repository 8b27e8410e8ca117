#include "support/CliRunner.h"
#include "support/TestInstall.h"

#include "cli/InstallOffer.h"
#include "cli/Installer.h"
#include "core/MessageCatalog.h"
#include "core/StartUp.h"
#include "core/text/Cp932.h"
#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryRecord.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Install, CreatesTheTreeSettingsAndFilesAndStartUpAcceptsThem)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    const QString base = dir.path() + QStringLiteral("/base");
    const CliResult run = runCli(registry, {"install", "--base", base, "--demo"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* folder : {"Prg", "Usr", "Log", "Dust", "Sample", "Help"})
        EXPECT_TRUE(QFile::exists(base + QStringLiteral("/Plx90We/") + QLatin1String(folder))) << folder;

    EXPECT_EQ(runCli(registry, {"settings", "get", "ApUse"}).out, QStringLiteral("ALL\n"));
    EXPECT_EQ(runCli(registry, {"settings", "get", "InstallBasePath"}).out, base + QLatin1Char('\n'));
    for (const char* name : {"LogPointer", "LogCount", "Nifuda", "BaseYear", "CheckSpec", "ExcurrentVersion",
                             "EiajFileName", "KoRFileName", "FileMove", "MakeMode"})
        EXPECT_FALSE(runCli(registry, {"settings", "get", name}).out.trimmed().isEmpty()) << name;

    // The program starts on what the installer wrote.
    ScriptedDialogs dialogs;
    SystemClock clock;
    Registry reg(registry);
    Environment env(dialogs, clock, reg);
    env.shutdown = [](int) {};
    EXPECT_FALSE(endsProgram([&] { StartUp(env, {false}); })) << dialogs.texts().join(u'|').toStdString();

    // Files the program reads are CP932 with CR LF.
    const QByteArray help = readFile(env.paths.helpPagePath);
    EXPECT_TRUE(help.contains(cp932::encode(u"納品書")));
    EXPECT_TRUE(help.contains("\r\n"));
    EXPECT_EQ(readFile(env.paths.codePath).size() % CodeTable::kRecordLength, 0);
    EXPECT_EQ(readFile(env.paths.custPath).size(), 5 * CustRecord::kLength);
    EXPECT_EQ(readFile(env.paths.sampleCustPath).size(), 2 * CustRecord::kLength);
    EXPECT_GT(readFile(env.paths.eDelivPath).size(), 0);
    EXPECT_EQ(readFile(env.paths.kDelivPath).size() % DeliveryRecord::kLength, 0);
}

TEST(Install, WithoutDemoThereAreNoCompaniesOrRecords)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/Plx90We/Usr/Cust.DAT")));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat")));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/Plx90We/Sample/Cust.DAT")));
}

TEST(Install, KeepsExistingFilesAndSettingsUnlessForced)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path(), "--ap-use", "EIAJ", "--demo"}).exitCode, 0);
    const QString cust = dir.path() + QStringLiteral("/Plx90We/Usr/Cust.DAT");
    {
        QFile f(cust);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("operator data");
    }
    ASSERT_EQ(runCli(registry, {"settings", "set", "LogPointer", "42"}).exitCode, 0);
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path(), "--demo"}).exitCode, 0);
    EXPECT_EQ(readFile(cust), QByteArray("operator data"));
    EXPECT_EQ(runCli(registry, {"settings", "get", "LogPointer"}).out, QStringLiteral("42\n"));
    EXPECT_EQ(runCli(registry, {"settings", "get", "ApUse"}).out, QStringLiteral("EIAJ\n"));

    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path(), "--force", "--demo"}).exitCode, 0);
    EXPECT_EQ(readFile(cust).size(), 5 * CustRecord::kLength);
    EXPECT_EQ(runCli(registry, {"settings", "get", "LogPointer"}).out, QStringLiteral("0\n"));
}

TEST(Install, UsageAndFailures)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    EXPECT_EQ(runCli(registry, {"install"}).exitCode, 2);
    EXPECT_EQ(runCli(registry, {"install", "--base", dir.path(), "--ap-use", "eiaj"}).exitCode, 2);
    EXPECT_EQ(runCli(registry, {"settings", "get"}).exitCode, 2);
    EXPECT_EQ(runCli(registry, {"nonsense"}).exitCode, 2);
    // A file where the base folder should be.
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CliResult run = runCli(registry, {"install", "--base", dir.path() + QStringLiteral("/file")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("フォルダを作成できません"))) << run.err.toStdString();
    // A broken settings file is reported, not overwritten.
    {
        QFile f(registry);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("garbage\n");
    }
    const CliResult get = runCli(registry, {"settings", "get", "ApUse"});
    EXPECT_EQ(get.exitCode, 1);
    EXPECT_TRUE(get.err.contains(QStringLiteral("レジストリデータベースが壊れています")));
    EXPECT_EQ(readFile(registry), QByteArray("garbage\n"));
}

TEST(FirstStart, AnAgreedInstallationIsCreatedInTheChosenFolderAndTheStartGoesOn)
{
    TestInstall inst; // its settings store is empty: nothing was ever installed
    const QString chosen = inst.base() + QStringLiteral("/選んだフォルダ");
    StartUpOptions options{false};
    options.createInstallation = [&] { return offerInstallation(inst.registry, inst.dialogs, [&] { return chosen; }); };
    inst.dialogs.setNextAnswer(kAnswerYes);
    ASSERT_FALSE(endsProgram([&] { StartUp(inst.env, options); })) << inst.dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(inst.dialogs.texts(), QStringList{kOfferInstallationText});
    EXPECT_EQ(inst.env.paths.msgPath, chosen + QStringLiteral("/Plx90We/Prg/Msg.DAT"));
    EXPECT_EQ(readFile(inst.env.paths.codePath), Installer::codeTableBytes());

    // From now on the store names the installation: the next start asks nothing.
    ASSERT_FALSE(endsProgram([&] { StartUp(inst.env, options); }));
    EXPECT_EQ(inst.dialogs.shown.size(), 1);
}

TEST(FirstStart, ADeclinedCancelledOrFailedOfferEndsTheStartAndABadSettingIsNeverOffered)
{
    struct Case
    {
        Answer answer;
        QString folder;
        QStringList boxes;
    };
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QList<Case> cases = {
        {kAnswerNo, dir.path(), {kOfferInstallationText}},
        {kAnswerYes, QString(), {kOfferInstallationText}},
        {kAnswerYes,
         blocker.fileName(),
         {kOfferInstallationText,
          QStringLiteral("フォルダを作成できません。(%1/Plx90We/Prg)").arg(blocker.fileName())}},
    };
    for (const Case& c : cases) {
        TestInstall inst;
        StartUpOptions options{false};
        options.createInstallation = [&] {
            return offerInstallation(inst.registry, inst.dialogs, [&] { return c.folder; });
        };
        inst.dialogs.setNextAnswer(c.answer);
        EXPECT_TRUE(endsProgram([&] { StartUp(inst.env, options); }));
        EXPECT_EQ(inst.dialogs.texts(), c.boxes);
        EXPECT_TRUE(noInstallationNamed(inst.registry)) << c.folder.toStdString();
        EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/Plx90We")));
    }

    // A store that names an installation, however wrongly, is refused as always.
    TestInstall named;
    named.setSetting(QStringLiteral("ApUse"), QStringLiteral("eiaj"));
    StartUpOptions options{false};
    options.createInstallation = [] {
        ADD_FAILURE() << "offered over an existing setting";
        return true;
    };
    EXPECT_TRUE(endsProgram([&] { StartUp(named.env, options); }));
    EXPECT_EQ(named.dialogs.texts(), QStringList{kBadSettingsText});
}

TEST(InstallData, CatalogueHasEveryNumberTheProgramShowsWithTheRightKind)
{
    CatalogReader reader(cp932::decode(Installer::messageCatalogBytes()));
    QHash<int, CatalogRecord> byNumber;
    while (auto r = reader.next()) {
        EXPECT_EQ(r->number.size(), 3) << r->number.toStdString();
        EXPECT_FALSE(r->text.isEmpty()) << r->number.toStdString();
        EXPECT_FALSE(byNumber.contains(r->number.toInt())) << "duplicate " << r->number.toStdString();
        byNumber.insert(r->number.toInt(), *r);
    }
    QList<int> used = {2,   3,   4,   5,   6,   9,   10,  12,  15,  16,  17,  18,  19,  20,  21,  23,  30,
                       51,  52,  55,  56,  57,  59,  61,  62,  65,  66,  67,  70,  71,  72,  73,  75,  76,
                       77,  80,  83,  84,  86,  113, 119, 120, 121, 122, 123, 200, 210, 230, 240, 500, 503,
                       505, 510, 512, 515, 520, 522, 525, 530, 535, 540, 550, 565, 567, 570, 572, 575, 577,
                       580, 582, 585, 587, 590, 595, 600, 615, 620, 622, 623, 630, 640, 645, 650};
    for (int n = 100; n <= 116; ++n)
        used << n;
    for (int n = 130; n <= 135; ++n)
        used << n;
    for (int n : used)
        EXPECT_TRUE(byNumber.contains(n)) << "message " << n;
    for (int n : {6, 12, 130, 131, 132, 133, 134, 135, 200, 210, 503, 640})
        EXPECT_EQ(byNumber.value(n).kind, QStringLiteral("2")) << "question " << n;
    EXPECT_TRUE(Installer::messageCatalogBytes().endsWith("\r\n"));
}

TEST(InstallData, CodeTableHasWhatTheProgramRelieson)
{
    const CodeTable table = CodeTable::fromBytes(Installer::codeTableBytes());
    for (Protocol format : kProtocols) {
        for (const char* kind : {"01", "02", "03", "04", "05"})
            EXPECT_FALSE(table.list(format, kind).isEmpty()) << qPrintable(protocolName(format)) << "/" << kind;
        // The second consumption-tax class is the one whose tax is computed.
        EXPECT_EQ(table.list(format, "02").value(1).name, QStringLiteral("外税"));
        EXPECT_EQ(table.list(format, "05").first().code, QStringLiteral("JPY"));
    }
    const QList<CodeEntry> taxation = table.list(Protocol::Eiaj, "03");
    QSet<QString> rates;
    bool outsideTax = false;
    for (const CodeEntry& e : taxation) {
        rates.insert(e.value);
        outsideTax |= e.name == QStringLiteral("消費税対象外") && e.value == QStringLiteral("0");
    }
    EXPECT_TRUE(outsideTax);
    EXPECT_TRUE(rates.contains(QStringLiteral("10")));
    EXPECT_TRUE(rates.contains(QStringLiteral("8")));
    QStringList priceClasses;
    for (const CodeEntry& e : table.list(Protocol::Eiaj, "04"))
        priceClasses << e.code;
    EXPECT_EQ(priceClasses, (QStringList{"1", "2", "3", "4"}));
}

TEST(InstallData, CompaniesKeepTheRecordRules)
{
    QTemporaryDir dir;
    QFile f(dir.path() + QStringLiteral("/Cust.DAT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Installer::custFileBytes(QStringLiteral("demo/customers.tsv")));
    f.close();
    CustStore store(f.fileName());
    store.open();
    EXPECT_EQ(store.list(Protocol::Eiaj).size(), 3);
    EXPECT_EQ(store.list(Protocol::Korvan).size(), 2);
    QSet<QString> outputKinds;
    for (int n = 1; n <= store.count(); ++n) {
        const CustRecord r = store.read(n);
        outputKinds.insert(r.text(CustField::OutputKind));
        EXPECT_EQ(r.text(CustField::Reserved1), QString(10, QLatin1Char(' ')));
        EXPECT_EQ(r.bytes().right(2), QByteArray("\r\n"));
        const QString kind = r.text(CustField::OutputKind);
        if (kind == QLatin1String("1") || kind == QLatin1String("3")) {
            EXPECT_NE(r.text(CustField::SlipBarcodeDigits), QStringLiteral("00")) << n;
        }
        if (kind == QLatin1String("2") || kind == QLatin1String("3")) {
            EXPECT_FALSE(r.text(CustField::TagFormFile).trimmed().isEmpty()) << n;
        }
        if (r.protocolByte() == '2') {
            EXPECT_EQ(r.text(CustField::KanjiUse), QStringLiteral("0"));
            EXPECT_EQ(r.text(CustField::AmountRounding), QStringLiteral(" "));
        }
    }
    EXPECT_EQ(outputKinds, (QSet<QString>{"1", "2", "3"}));
}

// Settings that name an installation are not turned to another base by a
// second install unless --force; the refusal names the base in use.
TEST(Install, RefusesToTurnSettingsToAnotherBaseWithoutForce)
{
    QTemporaryDir dir;
    const QString registry = dir.filePath(QStringLiteral("registry.ini"));
    const QString first = dir.filePath(QStringLiteral("first"));
    const QString other = dir.filePath(QStringLiteral("other"));
    ASSERT_EQ(runCli(registry, {"install", "--base", first}).exitCode, 0);

    struct Case
    {
        QStringList args;
        int exitCode;
        QString baseAfter;
    };
    const QList<Case> cases = {
        {{"install", "--base", other}, 1, first},
        {{"install", "--base", other, "--ap-use", "EIAJ", "--demo"}, 1, first},
        {{"install", "--base", first + QStringLiteral("/")}, 0, first},
        {{"install", "--base", other, "--force"}, 0, other},
        {{"install", "--base", first}, 1, other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const QString before = runCli(registry, {"settings", "get", "InstallBasePath"}).out.trimmed();
        const bool otherExisted = QFile::exists(other);
        const CliResult run = runCli(registry, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_EQ(runCli(registry, {"settings", "get", "InstallBasePath"}).out, c.baseAfter + QLatin1Char('\n'));
        if (c.exitCode == 1) {
            EXPECT_TRUE(run.err.contains(QStringLiteral("別のインストール先を指しています: ") + before))
                << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
            EXPECT_EQ(run.out, QString());
            EXPECT_EQ(QFile::exists(other), otherExisted) << "nothing is made below a refused base";
            EXPECT_EQ(runCli(registry, {"settings", "get", "ApUse"}).out, QStringLiteral("ALL\n"));
        }
    }
}
