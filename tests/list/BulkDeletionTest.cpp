#include "support/ListFixtures.h"

#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "list/BulkDeletion.h"
#include "store/DeliveryStore.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kEiajFile = QStringLiteral("Prg/E_Deliv.dat");
const QString kKorvanFile = QStringLiteral("Prg/K_Deliv.dat");

struct DeletionFixture : ::testing::Test
{
    TestInstall inst;
    DeletionFixture()
    {
        writeListInstallation(inst);
        CustRecord deleted = company('1', "GONE", "SUP", "削除済の会社");
        deleted.setProtocolByte(' ');
        CustRecord second = company('1', "ORD2", "SUP2", "南海電子");
        second.setText(CustField::SupplierName, u"当社二");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       fileOf(QList{company('1', "ORD1", "SUP", "北斗星電機"), company('2', "KOR1", "SUP", "湘洋"),
                                    deleted, second}));
    }
    void seedEiaj(const QList<DeliveryRecord>& records) { inst.writeFile(kEiajFile, fileOf(records)); }
    QList<DeliveryRecord> eiaj() const { return recordsOf(inst.readFile(kEiajFile)); }
    QString kinds(const QString& file = kEiajFile) const
    {
        QString out;
        for (const DeliveryRecord& r : recordsOf(inst.readFile(file)))
            out += QLatin1Char(r.kind());
        return out;
    }
    static DeletionScope all(bool issuedOnly)
    {
        DeletionScope s;
        s.issuedOnly = issuedOnly;
        return s;
    }
    static DeletionScope of(const QString& orderer, const QString& supplier, bool issuedOnly)
    {
        DeletionScope s;
        s.allCompanies = false;
        s.ordererCode = orderer;
        s.supplierCode = supplier;
        s.issuedOnly = issuedOnly;
        return s;
    }
    // One record of each status for company ORD1 / SUP.
    static QList<DeliveryRecord> everyStatus()
    {
        return {delivery('1', "ORD1", "SUP", "S0", "0"), delivery('1', "ORD1", "SUP", "S1", "1"),
                delivery('1', "ORD1", "SUP", "S2", "2"), delivery('1', "ORD1", "SUP", "S8", "8")};
    }
};

} // namespace

// --- the company choice ---------------------------------------------------

TEST_F(DeletionFixture, ChoiceListsTheFormatsCompaniesInFileOrderAfterAll)
{
    const BulkDeletion eiajDeletion(inst.env, Protocol::Eiaj);
    EXPECT_EQ(eiajDeletion.caption(), QStringLiteral("納品書ﾃﾞｰﾀ削除 （ＥＩＡＪ）"));
    EXPECT_EQ(eiajDeletion.companyChoice(),
              QStringList({QStringLiteral("すべて"), QStringLiteral("北斗星電機"), QStringLiteral("南海電子")}));
    const BulkDeletion korvanDeletion(inst.env, Protocol::Korvan);
    EXPECT_EQ(korvanDeletion.caption(), QStringLiteral("納品書ﾃﾞｰﾀ削除 （ＫＯＲＶＡＮ）"));
    EXPECT_EQ(korvanDeletion.companyChoice(), QStringList({QStringLiteral("すべて"), QStringLiteral("湘洋")}));

    // An empty company file offers "すべて" alone.
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), QByteArray());
    EXPECT_EQ(eiajDeletion.companyChoice(), QStringList{QStringLiteral("すべて")});
}

TEST_F(DeletionFixture, NamesAreCutToFiftyBytesNeverHalfACharacter)
{
    // 49 single bytes and a kanji: the kanji would be split and goes whole.
    EXPECT_EQ(BulkDeletion::cutName(QString(49, QLatin1Char('A')) + QStringLiteral("漢字")),
              QString(49, QLatin1Char('A')));
    EXPECT_EQ(BulkDeletion::cutName(QString(30, QChar(u'長'))), QString(25, QChar(u'長')));
    EXPECT_EQ(BulkDeletion::cutName(QStringLiteral("短い名前  ")), QStringLiteral("短い名前"));
    EXPECT_EQ(BulkDeletion::cutName(QString(50, QLatin1Char('x'))), QString(50, QLatin1Char('x')));
}

TEST_F(DeletionFixture, ChoosingACompanyGivesItsCodesTrimmedAndItsNames)
{
    const BulkDeletion deletion(inst.env, Protocol::Eiaj);
    EXPECT_FALSE(deletion.companyAt(0)); // すべて
    const std::optional<DeletionCompany> second = deletion.companyAt(2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ordererCode, QStringLiteral("ORD2"));
    EXPECT_EQ(second->supplierCode, QStringLiteral("SUP2"));
    EXPECT_EQ(fixed::trimmedRight(second->ordererName), QStringLiteral("南海電子"));
    EXPECT_EQ(fixed::trimmedRight(second->supplierName), QStringLiteral("当社二"));
    EXPECT_FALSE(deletion.companyAt(3)); // past the last company of the format

    // Looked up by codes, blanks after them ignored; other formats' companies are not found.
    ASSERT_TRUE(deletion.findCompany(QStringLiteral("ORD1  "), QStringLiteral("SUP")));
    EXPECT_EQ(deletion.findCompany(QStringLiteral("ORD1"), QStringLiteral("SUP"))->ordererCode, QStringLiteral("ORD1"));
    EXPECT_FALSE(deletion.findCompany(QStringLiteral("KOR1"), QStringLiteral("SUP")));
    EXPECT_FALSE(deletion.findCompany(QStringLiteral("GONE"), QStringLiteral("SUP")));
}

// --- the run ---------------------------------------------------------------

TEST_F(DeletionFixture, AllCompaniesAllRecordsMarksEveryLiveRecordAndLeavesTheOtherFile)
{
    DeliveryRecord alreadyDeleted = delivery('1', "ORD1", "SUP", "OLD", "2");
    alreadyDeleted.setKind(' ');
    alreadyDeleted.setText(DeliveryField::UpdatedAt, u"199901010000");
    seedEiaj(everyStatus() + QList{alreadyDeleted, delivery('1', "ORD2", "SUP2", "X", "0")});
    inst.writeFile(kKorvanFile, fileOf(QList{delivery('2', "KOR1", "SUP", "K1", "2")}));
    const QByteArray korvanBefore = inst.readFile(kKorvanFile);

    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Eiaj).run(all(false)), 5);
    EXPECT_EQ(kinds(), QStringLiteral("      "));
    const QList<DeliveryRecord> after = eiaj();
    for (int i : {0, 1, 2, 3, 5})
        EXPECT_EQ(after[i].text(DeliveryField::UpdatedAt), QStringLiteral("202612070941")) << i;
    // A record deleted before keeps its stamp; every other byte stays.
    EXPECT_EQ(after[4].text(DeliveryField::UpdatedAt), QStringLiteral("199901010000"));
    EXPECT_EQ(after[2].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("S2"));
    EXPECT_EQ(after[2].text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(inst.readFile(kKorvanFile), korvanBefore);
}

TEST_F(DeletionFixture, RecordsOfTheOtherKindInTheSameFileSurvive)
{
    // A KORVAN record that found its way into the EIAJ file is no live record there.
    seedEiaj({delivery('1', "ORD1", "SUP", "E1", "2"), delivery('2', "ORD1", "SUP", "K1", "2")});
    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Eiaj).run(all(false)), 1);
    EXPECT_EQ(kinds(), QStringLiteral(" 2"));
}

TEST_F(DeletionFixture, IssuedOnlyLeavesUnprocessedWaitingAndMarkedRecords)
{
    seedEiaj(everyStatus() + QList{delivery('1', "ORD2", "SUP2", "T2", "2"), delivery('1', "ORD2", "SUP2", "TB", " ")});
    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Eiaj).run(all(true)), 2);
    EXPECT_EQ(kinds(), QStringLiteral("11 1 1"));
}

TEST_F(DeletionFixture, OneCompanyMatchesBothCodesTrimmedRight)
{
    seedEiaj({delivery('1', "ORD1", "SUP", "A", "0"), delivery('1', "ORD1", "SUP2", "B", "0"),
              delivery('1', "ORD2", "SUP", "C", "0"), delivery('1', "ORD1", "SUP", "D", "2"),
              delivery('1', "ORD10", "SUP", "E", "0")});
    const BulkDeletion deletion(inst.env, Protocol::Eiaj);
    EXPECT_EQ(deletion.run(of(QStringLiteral("ORD1  "), QStringLiteral("SUP "), false)), 2);
    EXPECT_EQ(kinds(), QStringLiteral(" 11 1"));

    // A company's issued records only.
    seedEiaj({delivery('1', "ORD1", "SUP", "A", "0"), delivery('1', "ORD1", "SUP", "D", "2"),
              delivery('1', "ORD2", "SUP2", "F", "2")});
    EXPECT_EQ(deletion.run(of(QStringLiteral("ORD1"), QStringLiteral("SUP"), true)), 1);
    EXPECT_EQ(kinds(), QStringLiteral("1 1"));
}

TEST_F(DeletionFixture, NothingMatchedReturnsZeroAndLeavesTheFileByteIdentical)
{
    seedEiaj({delivery('1', "ORD1", "SUP", "A", "0"), delivery('1', "ORD1", "SUP", "B", "8")});
    const QByteArray before = inst.readFile(kEiajFile);
    const BulkDeletion deletion(inst.env, Protocol::Eiaj);
    EXPECT_EQ(deletion.run(all(true)), 0);
    EXPECT_EQ(deletion.run(of(QStringLiteral("NOBODY"), QStringLiteral("SUP"), false)), 0);
    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Korvan).run(all(false)), 0); // an empty KORVAN file
    EXPECT_EQ(inst.readFile(kEiajFile), before);
    EXPECT_FALSE(QFile::exists(inst.env.paths.eDelivPath + QStringLiteral(".work")));
}

// --- one atomic step -------------------------------------------------------

TEST_F(DeletionFixture, ADamagedFileIsRefusedAndLeftAsItWas)
{
    const QByteArray torn = fileOf(QList{delivery('1', "ORD1", "SUP", "A", "2")}) + "half a record";
    inst.writeFile(kEiajFile, torn);
    try {
        BulkDeletion(inst.env, Protocol::Eiaj).run(all(false));
        ADD_FAILURE() << "a damaged file was accepted";
    } catch (const Refusal& refusal) {
        EXPECT_TRUE(refusal.message().contains(QStringLiteral("E_Deliv.dat"))) << refusal.message().toStdString();
    }
    EXPECT_EQ(inst.readFile(kEiajFile), torn);
}

TEST_F(DeletionFixture, AFileAnotherProgramHoldsIsRefusedWithNothingWritten)
{
    seedEiaj(everyStatus());
    const QByteArray before = inst.readFile(kEiajFile);
    qputenv("PLX90_LOCK_WAIT_MS", "50");
    {
        const FileLock other(inst.env.paths.eDelivPath, DeliveryStore::label());
        try {
            BulkDeletion(inst.env, Protocol::Eiaj).run(all(false));
            ADD_FAILURE() << "ran without the lock";
        } catch (const Refusal& refusal) {
            EXPECT_TRUE(refusal.message().contains(QStringLiteral("使用中")));
        }
        EXPECT_EQ(inst.readFile(kEiajFile), before);
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Eiaj).run(all(false)), 4);
}

TEST_F(DeletionFixture, TheFileIsReplacedWholeNotWrittenInPlace)
{
    seedEiaj(everyStatus());
    const QByteArray before = inst.readFile(kEiajFile);
    // A second name for the file as it was: writes in place would show
    // through it, a replacement leaves it alone.
    const QString oldName = inst.env.paths.eDelivPath + QStringLiteral(".old");
    ASSERT_EQ(::link(QFile::encodeName(inst.env.paths.eDelivPath).constData(), QFile::encodeName(oldName).constData()),
              0);
    EXPECT_EQ(BulkDeletion(inst.env, Protocol::Eiaj).run(all(true)), 1);
    QFile old(oldName);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(kinds(), QStringLiteral("11 1"));
    EXPECT_FALSE(QFile::exists(inst.env.paths.eDelivPath + QStringLiteral(".work")));
    // The lock was given back.
    EXPECT_FALSE(QFile::exists(FileLock::lockPathOf(inst.env.paths.eDelivPath)));
}

TEST_F(DeletionFixture, ThePreviewNamesWhatTheDeletionWouldDeleteAndWritesNothing)
{
    QList<DeliveryRecord> records = everyStatus();
    records << delivery('1', "ORD2", "SUP2", "T2", "2") << delivery('1', "ORD2", "SUP2", "T0", "0")
            << delivery('2', "KOR1", "SUP", "K2", "2");
    DeliveryRecord gone = delivery('1', "ORD1", "SUP", "GONE", "2");
    gone.setKind(' ');
    records << gone;
    seedEiaj(records);
    const struct
    {
        const char* what;
        DeletionScope scope;
        const char16_t* company;
        const char16_t* condition;
        int records;
    } cases[] = {
        {"every company, every record", all(false), u"すべて", u"すべて", 6},
        {"every company, issued only", all(true), u"すべて", u"発行済のみ", 2},
        {"one company", of("ORD1", "SUP", false), u"ORD1  北斗星電機", u"すべて", 4},
        {"one company, issued only", of("ORD2 ", "SUP2", true), u"ORD2  南海電子", u"発行済のみ", 1},
        {"a company not in the file", of("NONE", "SUP", false), u"NONE", u"すべて", 0},
    };
    const BulkDeletion deletion(inst.env, Protocol::Eiaj);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = inst.readFile(kEiajFile);
        const DeletionPreview p = deletion.preview(c.scope);
        EXPECT_EQ(p.company, QString::fromUtf16(c.company));
        EXPECT_EQ(p.condition, QString::fromUtf16(c.condition));
        EXPECT_EQ(p.records, c.records);
        EXPECT_EQ(inst.readFile(kEiajFile), before);
        // The count is what the deletion then deletes.
        inst.writeFile(kEiajFile, fileOf(records));
        EXPECT_EQ(deletion.run(c.scope), c.records);
        inst.writeFile(kEiajFile, before);
    }
    const DeletionPreview p = deletion.preview(of("ORD1", "SUP", true));
    EXPECT_EQ(p.lines(), QStringList({QStringLiteral("発注者　：ORD1  北斗星電機"),
                                      QStringLiteral("削除条件：発行済のみ"), QStringLiteral("削除件数：1件")}));
}
