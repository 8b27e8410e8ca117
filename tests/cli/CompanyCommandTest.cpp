#include "support/CliRunner.h"
#include "support/RecordBuilders.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kHeader = QStringLiteral("Protocol\tOrdererCode\tSupplierCode\tOrdererName\tSupplierName\tKanjiUse\t"
                                       "OutputKind\tPriceDisplayKind\tConsumptionTaxKind\tTaxationKind\t"
                                       "AmountRounding\tTaxRounding\tSlipFormFile\tTagFormFile\tSlipBarcodeDigits\t"
                                       "TagBarcodeDigits\tComment");

// An installation (its sample companies and layouts) with companies of both
// protocols and a deleted record between them.
struct CompanyInstall
{
    QTemporaryDir dir;
    QString registry = dir.path() + QStringLiteral("/registry.ini");
    QString root = dir.path() + QStringLiteral("/Plx90We/");

    CompanyInstall()
    {
        EXPECT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
        CustRecord a = company('1', "A001", "S01", "北斗電機");
        a.setText(CustField::SupplierName, u"自社");
        a.setText(CustField::KanjiUse, u"1");
        a.setText(CustField::OutputKind, u"1");
        a.setText(CustField::PriceDisplayKind, u"2");
        a.setText(CustField::ConsumptionTaxKind, u"2");
        a.setText(CustField::TaxationKind, u"1");
        a.setText(CustField::AmountRounding, u"3");
        a.setText(CustField::TaxRounding, u"2");
        a.setText(CustField::SlipFormFile, u"E_Slip.agr");
        a.setText(CustField::SlipBarcodeDigits, u"20");
        a.setText(CustField::TagBarcodeDigits, u"00");
        a.setText(CustField::Comment, u"取引先A");
        CustRecord k = company('2', "K01", "S01", "南星工業");
        k.setText(CustField::SupplierName, u"自社");
        k.setText(CustField::KanjiUse, u"0");
        k.setText(CustField::OutputKind, u"2");
        k.setText(CustField::PriceDisplayKind, u"1");
        k.setText(CustField::TagFormFile, u"K_Tag.agr");
        k.setText(CustField::SlipBarcodeDigits, u"00");
        k.setText(CustField::TagBarcodeDigits, u"15");
        CustRecord gone = company(' ', "A000", "S01", "削除済");
        CustRecord b = a;
        b.setText(CustField::OrdererCode, u"B002");
        b.setText(CustField::OrdererName, u"東光電子");
        write(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{a, k, gone, b}));
    }
    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(root + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray cust() const
    {
        QFile f(root + QStringLiteral("Usr/Cust.DAT"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    CliResult run(const QStringList& args) const { return runCli(registry, QStringList{"company"} + args); }
    QStringList list(const char* protocol) const
    {
        const CliResult r = run({"list", protocol});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

} // namespace

TEST(CompanyCommand, ListsEveryFieldOfTheProtocolsCompaniesInFileOrder)
{
    CompanyInstall inst;
    EXPECT_EQ(inst.list("--eiaj"),
              (QStringList{kHeader, "1\tA001\tS01\t北斗電機\t自社\t1\t1\t2\t2\t1\t3\t2\tE_Slip.agr\t\t20\t00\t取引先A",
                           "1\tB002\tS01\t東光電子\t自社\t1\t1\t2\t2\t1\t3\t2\tE_Slip.agr\t\t20\t00\t取引先A"}));
    EXPECT_EQ(inst.list("--korvan"),
              (QStringList{kHeader, "2\tK01\tS01\t南星工業\t自社\t0\t2\t1\t\t\t\t\t\tK_Tag.agr\t00\t15\t"}));
}

TEST(CompanyCommand, AddTakesTheWindowsDefaultsForFieldsNotGiven)
{
    CompanyInstall inst;
    const CliResult added = inst.run({"add", "--eiaj", "OrdererCode=C003", "SupplierCode=S01", "OrdererName=西海通信",
                                      "SupplierName=自社", "TaxationKind=3", "KanjiUse=0", "Comment=新規"});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, QStringLiteral("追加\tC003\tS01\n"));
    // The rest is the installed sample's EIAJ settings.
    EXPECT_EQ(inst.list("--eiaj").last(),
              QStringLiteral("1\tC003\tS01\t西海通信\t自社\t0\t3\t2\t2\t3\t3\t2\tE_Slip.agr\tE_Tag.agr\t20\t20\t新規"));
    // Written and compacted: the deleted record is gone, the others keep their order.
    EXPECT_EQ(inst.cust().size(), 4 * CustRecord::kLength);

    const CliResult korvan = inst.run({"add", "--korvan", "OrdererCode=123456789", "SupplierCode=S01",
                                       "OrdererName=KORVAN社", "SupplierName=自社", "OutputKind=1"});
    ASSERT_EQ(korvan.exitCode, 0) << korvan.err.toStdString();
    EXPECT_EQ(inst.list("--korvan").last(),
              QStringLiteral("2\t123456789\tS01\tKORVAN社\t自社\t0\t1\t1\t\t\t\t\tK_Slip.agr\tK_Tag.agr\t20\t20\t"));
}

TEST(CompanyCommand, ARefusedAddOrChangeLeavesTheFileAsItWas)
{
    CompanyInstall inst;
    const QByteArray before = inst.cust();
    const QStringList named = {"OrdererCode=C003", "SupplierCode=S01", "OrdererName=西海通信", "SupplierName=自社"};
    struct Case
    {
        QStringList args;
        QString error; // the start of the first line of stderr
    };
    const Case cases[] = {
        {{"add", "--eiaj", "OrdererCode=C003", "SupplierCode=S01", "SupplierName=自社"},
         QStringLiteral("(515) 発注者名称を入力してください。 [OrdererName]")},
        {QStringList{"add", "--eiaj"} + named + QStringList{"ConsumptionTaxKind=9"},
         QStringLiteral("(530) 消費税区分を選択してください。 [ConsumptionTaxKind]")},
        {QStringList{"add", "--eiaj"} + named + QStringList{"AmountRounding=4"},
         QStringLiteral("(555) 金額計算の端数処理を選択してください。 [AmountRounding]")},
        {QStringList{"add", "--eiaj"} + named + QStringList{"SlipBarcodeDigits=0"},
         QStringLiteral("(572) 納品書のバーコード桁数が正しくありません。1以上の数値で入力してください。 "
                        "[SlipBarcodeDigits]")},
        {QStringList{"add", "--eiaj"} + named + QStringList{"TagFormFile=None.agr"},
         QStringLiteral("(577) 指定された荷札QRD定義ファイルが見つかりません。 [TagFormFile]")},
        {{"add", "--eiaj", "OrdererCode=A001 ", "SupplierCode=S01", "OrdererName=重複", "SupplierName=自社"},
         QStringLiteral("(585) 既に登録されているため、追加できません。 [OrdererCode]")},
        // More bytes than the field holds: refused naming the box and what it
        // holds, not cut (26 kanji are 52 bytes).
        {QStringList{"add", "--eiaj"} + named + QStringList{"Comment=" + QString(17, QLatin1Char('c'))},
         QStringLiteral("(587) コメントに改行やタブなどの制御文字")},
        {{"add", "--korvan", "OrdererCode=1234567890", "SupplierCode=S01", "OrdererName=K", "SupplierName=自社"},
         QStringLiteral("発注者コードは半角9文字以内で入力してください。 [OrdererCode]")},
        {{"add", "--eiaj", "OrdererCode=C003", "SupplierCode=S01", "OrdererName=" + QString(26, QChar(u'名')),
          "SupplierName=自社"},
         QStringLiteral("発注者名称は全角25文字（半角50文字）以内で入力してください。 [OrdererName]")},
        // A line break or a TAB would split the company's line in Cust.DAT.
        {{"add", "--eiaj", "OrdererCode=C003", "SupplierCode=S01", "OrdererName=西海\r\n通信", "SupplierName=自社"},
         QStringLiteral("発注者名称の制御文字 (U+000D) は発注企業ファイルに書けない文字です。 [OrdererName]")},
        {{"change", "--eiaj", "A001", "S01", "Comment=取引先\tA"},
         QStringLiteral("(587) コメントに改行やタブなどの制御文字")},
    };
    for (const Case& c : cases) {
        const CliResult r = inst.run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(c.error)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_EQ(inst.cust(), before) << c.args.join(' ').toStdString();
    }
}

TEST(CompanyCommand, ChangeWritesTheGivenFieldsOfTheNamedCompany)
{
    CompanyInstall inst;
    const CliResult changed = inst.run({"change", "--eiaj", "B002", "S01", "OutputKind=3", "TagFormFile=E_Tag.agr",
                                        "TagBarcodeDigits=12", "Comment=", "PriceDisplayKind=4"});
    ASSERT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(changed.out, QStringLiteral("変更\tB002\tS01\n"));
    const QStringList rows = inst.list("--eiaj");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2],
              QStringLiteral("1\tB002\tS01\t東光電子\t自社\t1\t3\t4\t2\t1\t3\t2\tE_Slip.agr\tE_Tag.agr\t20\t12\t"));
    EXPECT_EQ(rows[1].section(QLatin1Char('\t'), 1, 1), QStringLiteral("A001")); // untouched, still first

    // Unknown company: refused, nothing written.
    const QByteArray before = inst.cust();
    const CliResult missing = inst.run({"change", "--eiaj", "K01", "S01", "OrdererName=x"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("K01"))) << missing.err.toStdString();
    // A change that fails a check names the field.
    const CliResult blank = inst.run({"change", "--korvan", "K01", "S01", "SupplierName= "});
    EXPECT_EQ(blank.exitCode, 1);
    EXPECT_TRUE(blank.err.startsWith(QStringLiteral("(525) "))) << blank.err.toStdString();
    EXPECT_TRUE(blank.err.contains(QStringLiteral("[SupplierName]")));
    EXPECT_EQ(inst.cust(), before);
}

TEST(CompanyCommand, DeleteAsksAndRefusesACompanyWithDeliveryRecords)
{
    CompanyInstall inst;
    const QByteArray before = inst.cust();
    const CliResult unanswered = inst.run({"delete", "--eiaj", "A001", "S01"});
    EXPECT_EQ(unanswered.exitCode, 1);
    // The question names the company it is about.
    EXPECT_TRUE(unanswered.err.contains(QStringLiteral("発注者 ：A001  北斗電機\n受注者 ：S01  自社\n\n"
                                                       "選択された発注企業情報を削除しますか？")))
        << unanswered.err.toStdString();
    EXPECT_EQ(inst.cust(), before);

    inst.write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{delivery('1', "B002", "S01", "K1", "2")}));
    const CliResult referenced = inst.run({"delete", "--eiaj", "B002", "S01", "--yes"});
    EXPECT_EQ(referenced.exitCode, 1);
    EXPECT_TRUE(referenced.err.contains(QStringLiteral("(590) "))) << referenced.err.toStdString();
    EXPECT_EQ(inst.cust(), before);

    const CliResult deleted = inst.run({"delete", "--eiaj", "A001", "S01", "--yes"});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(deleted.out, QStringLiteral("削除\tA001\tS01\n"));
    // Compacted as the window does when it closes: K01 and B002 remain, in that order.
    const QByteArray after = inst.cust();
    ASSERT_EQ(after.size(), 2 * CustRecord::kLength);
    EXPECT_EQ(CustRecord(after.left(CustRecord::kLength)).text(CustField::OrdererCode).trimmed(), "K01");
    EXPECT_EQ(CustRecord(after.mid(CustRecord::kLength)).text(CustField::OrdererCode).trimmed(), "B002");
}

TEST(CompanyCommand, BadArgumentsAreUsageErrorsBeforeAnythingIsWritten)
{
    CompanyInstall inst;
    const QByteArray before = inst.cust();
    const QList<QStringList> cases = {
        {"add", "--eiaj", "OrdererCode=C1", "Colour=red"},
        {"add", "--eiaj", "OrdererCode=C1", "OrdererName"},
        {"add", "--eiaj", "=x"},
        {"add", "--eiaj", "Comment=a", "Comment=b"},
        {"add", "--korvan", "OrdererCode=C1", "TaxRounding=1"},
        {"change", "--eiaj", "A001", "S01", "OrdererCode=Z"},
        {"change", "--eiaj", "A001"},
        {"delete", "--eiaj", "A001", "S01", "Comment=x"},
        {"add", "--eiaj", "--yes", "OrdererCode=C1"},
        {"list", "--eiaj", "--korvan"},
        {"list"},
        {"rename", "--eiaj"},
    };
    for (const QStringList& args : cases) {
        const CliResult r = inst.run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage: plx90-cli company"))) << args.join(' ').toStdString();
    }
    EXPECT_EQ(inst.cust(), before);
}
