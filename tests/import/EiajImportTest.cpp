#include "support/ImportFixtures.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

using Item = std::pair<QString, QString>;

// Builds an EIAJ order file in the header form from records given as name/value
// pairs; every record uses the names of the first.
QStringList eiaj(const QList<QList<std::pair<QString, QString>>>& records)
{
    QStringList names;
    for (const auto& [name, value] : records.first())
        names << name;
    QStringList lines{names.join(u',')};
    for (const auto& record : records) {
        QStringList values;
        for (const auto& [name, value] : record)
            values << value;
        lines << values.join(u',');
    }
    return lines;
}

QList<std::pair<QString, QString>> order(const QString& infoClass, const QString& key, const QString& extra = {},
                                         const QString& extraValue = {})
{
    QList<std::pair<QString, QString>> r = {
        {"REIAJC14", infoClass},   {"REIAJ004", "A001"},   {"REIAJ005", "S01"},    {"REIAJ001", "12"},
        {"REIAJ002", infoClass},   {"REIAJ003", "261201"}, {"REIAJ007", "PO-1"},   {"REIAJ012", "2"},
        {"REIAJ013", "12.3456"},   {"REIAJ015", "1000"},   {"REIAJ022", "CHIP R"}, {"REIAJ262", "チップ抵抗"},
        {"REIAJ024", "RK73"},      {"REIAJ029", "PCS"},    {"REIAJ159NO01", key},  {"REIAJ031NO01", "261224"},
        {"REIAJ032NO01", "500.5"}, {"REIAJ009", "1"}};
    if (!extra.isEmpty()) {
        bool replaced = false;
        for (auto& [name, value] : r) {
            if (name == extra) {
                value = extraValue;
                replaced = true;
            }
        }
        if (!replaced)
            r.append(std::pair<QString, QString>(extra, extraValue));
    }
    return r;
}

struct EiajFixture : ::testing::Test
{
    ImportInstall imp;
    void seedStatus(const QString& key, const QString& status)
    {
        DeliveryRecord r = delivery('1', "A001", "S01", key, status);
        r.setText(DeliveryField::ShipQty, u"000000123.000");
        r.setText(DeliveryField::ShipDate, u"20261130");
        r.setTagLine(1, u"000000010.000", u"03");
        imp.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{r}));
    }
};

} // namespace

TEST_F(EiajFixture, NewRecordsFromAHeaderFile)
{
    auto rec = order("0502", "K1");
    rec.append(std::pair<QString, QString>("REIAJ159NO03", "K3")); // no occurrence 2: only K1 is taken
    rec.append(std::pair<QString, QString>("REIAJ00281", "USD"));
    rec.append(std::pair<QString, QString>("REIAJ00282", "1.234565"));
    imp.order("A.CSV", eiaj({rec}));
    const auto driver = imp.import(Protocol::Eiaj, {"A.CSV"});
    EXPECT_TRUE(driver->finished());
    EXPECT_EQ(driver->errorCount(), 0);
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    const DeliveryRecord& r = records[0];
    EXPECT_EQ(r.kind(), '1');
    EXPECT_EQ(r.text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K1"));
    EXPECT_EQ(r.text(DeliveryField::Status), QStringLiteral("0"));
    EXPECT_EQ(r.text(DeliveryField::SourceNo), QStringLiteral("00012"));
    EXPECT_EQ(r.text(DeliveryField::MessageKind), QStringLiteral("0502"));
    EXPECT_EQ(r.text(DeliveryField::SourceDate), QStringLiteral("20261201"));
    EXPECT_EQ(r.text(DeliveryField::UnitPrice), QStringLiteral("00000000012.346")); // rounded half away
    EXPECT_EQ(r.text(DeliveryField::UnitPriceX), QStringLiteral("000000000001.23457"));
    EXPECT_EQ(r.text(DeliveryField::Currency), QStringLiteral("USD"));
    EXPECT_EQ(r.text(DeliveryField::OrderQty), QStringLiteral("000001000.000"));
    EXPECT_EQ(r.text(DeliveryField::DueDate), QStringLiteral("20261224"));
    EXPECT_EQ(r.text(DeliveryField::InstructedQty), QStringLiteral("000000500.500"));
    EXPECT_EQ(r.text(DeliveryField::ItemNameKanji).trimmed(), QStringLiteral("チップ抵抗"));
    // Company defaults for the class codes that the order leaves out.
    EXPECT_EQ(r.text(DeliveryField::ConsumptionTaxClass), QStringLiteral("2"));
    EXPECT_EQ(r.text(DeliveryField::TaxationClass), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::PriceDisplayClass), QStringLiteral("3"));
    EXPECT_EQ(r.text(DeliveryField::SourceFlag), QStringLiteral("00"));
    EXPECT_EQ(r.text(DeliveryField::AmountInclTaxX), QStringLiteral("000000000000.000"));
    EXPECT_EQ(r.tagQty(99) + r.tagCount(99), QStringLiteral("000000000.00000"));
    EXPECT_EQ(r.text(DeliveryField::UpdatedAt), QStringLiteral("202612070941"));
    EXPECT_TRUE(imp.errorLines().isEmpty());
}

TEST_F(EiajFixture, ThreeAndFiveDigitSpellingsAreTheSame)
{
    QList<std::pair<QString, QString>> five;
    for (auto [name, value] : order("0502", "K1")) {
        if (name.startsWith(QLatin1String("REIAJ")) && name != QLatin1String("REIAJC14"))
            name = QStringLiteral("REIAJ00") + name.mid(5);
        five.append({name, value});
    }
    imp.order("FIVE.CSV", eiaj({five}));
    imp.order("THREE.CSV", eiaj({order("0502", "K2")}));
    imp.import(Protocol::Eiaj, {"FIVE.CSV", "THREE.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 2);
    for (DeliveryField f : {DeliveryField::OrderNo, DeliveryField::UnitPrice, DeliveryField::DueDate,
                            DeliveryField::InstructedQty, DeliveryField::ItemNameKanji})
        EXPECT_EQ(records[0].text(f), records[1].text(f)) << DeliveryRecord::name(f);

    // A four-digit spelling is not an item: the required company code is missing.
    auto four = order("0502", "K3");
    four[1].first = QStringLiteral("REIAJ0004");
    imp.order("FOUR.CSV", eiaj({four}));
    imp.import(Protocol::Eiaj, {"FOUR.CSV"});
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_TRUE(imp.errorLines()[0].contains(QStringLiteral("(004)")));
}

TEST_F(EiajFixture, DecisionTableRowByRow)
{
    struct Case
    {
        const char* infoClass;
        const char* processing;
        const char* status;  // "" = no record
        const char* outcome; // "append", "update", "delete" or the refusal code
    };
    const Case cases[] = {
        {"0502", "1", "", "append"},  {"0502", "1", "0", "(005)"}, {"0502", "2", "1", "(005)"},
        {"0502", "1", "8", "(005)"},  {"0503", "1", "", "append"}, {"0503", "1", "1", "(006)"},
        {"0503", "1", "2", "(008)"},  {"0503", "1", "8", "(008)"}, {"0503", "1", "0", "update"},
        {"0504", "1", "", "(010)"},   {"0504", "1", "1", "(007)"}, {"0504", "1", "2", "(009)"},
        {"0504", "1", "0", "delete"}, {"0703", "1", "", "append"}, {"0703", "1", "0", "update"},
        {"0703", "1", "1", "(005)"},  {"0703", "2", "1", "(006)"}, {"0703", "2", "8", "(008)"},
        {"0703", "2", "0", "update"}, {"0703", "3", "", "(010)"},  {"0703", "3", "0", "delete"},
        {"0703", "3", "2", "(009)"},  {"0703", "9", "", "(011)"},  {"0703", "9", "1", "update"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.infoClass) + "/" + c.processing + "/" + c.status);
        ImportInstall fresh;
        if (*c.status) {
            DeliveryRecord r = delivery('1', "A001", "S01", "K1", QString::fromLatin1(c.status));
            r.setText(DeliveryField::ShipQty, u"000000123.000");
            r.setText(DeliveryField::UnitPrice, u"00000000099.000");
            fresh.inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{r}));
        }
        auto rec = order(c.infoClass, "K1", "REIAJ009", c.processing);
        rec[5].second = QStringLiteral("261201");
        fresh.order("O.CSV", eiaj({rec}));
        fresh.import(Protocol::Eiaj, {"O.CSV"});
        const auto records = fresh.records(Protocol::Eiaj);
        const QString outcome = QLatin1String(c.outcome);
        if (outcome.startsWith(QLatin1Char('('))) {
            ASSERT_EQ(fresh.errorLines().size(), 1);
            EXPECT_TRUE(fresh.errorLines()[0].contains(outcome)) << fresh.errorLines()[0].toStdString();
            EXPECT_TRUE(fresh.errorLines()[0].endsWith(QStringLiteral("納品ｷｰ番号[K1]")));
            if (outcome == QLatin1String("(011)")) {
                EXPECT_TRUE(fresh.errorLines()[0].contains(QStringLiteral("]:REIAJ009に誤り")));
            }
            continue;
        }
        EXPECT_TRUE(fresh.errorLines().isEmpty());
        ASSERT_EQ(records.size(), 1);
        if (outcome == QLatin1String("delete")) {
            EXPECT_EQ(records[0].kind(), ' ');
        } else if (outcome == QLatin1String("update")) {
            EXPECT_EQ(records[0].kind(), '1');
            EXPECT_EQ(records[0].text(DeliveryField::Status), QStringLiteral("0"));
            EXPECT_EQ(records[0].text(DeliveryField::OrderNo).trimmed(), QStringLiteral("PO-1"));
            EXPECT_EQ(records[0].text(DeliveryField::ShipQty), QStringLiteral("000000123.000"));
            // Class 0703 keeps the price, the others take the order's.
            EXPECT_EQ(records[0].text(DeliveryField::UnitPrice),
                      QString::fromLatin1(c.infoClass) == QLatin1String("0703") ? QStringLiteral("00000000099.000")
                                                                                : QStringLiteral("00000000012.346"));
        } else {
            EXPECT_EQ(records[0].kind(), '1');
            EXPECT_EQ(records[0].text(DeliveryField::ShipQty), QStringLiteral("000000000.000"));
        }
    }
}

TEST_F(EiajFixture, UpdateKeepsTheOperatorsShipmentFields)
{
    seedStatus("K1", "0");
    imp.order("C.CSV", eiaj({order("0503", "K1", "REIAJ057", "1")}));
    imp.import(Protocol::Eiaj, {"C.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::ShipQty), QStringLiteral("000000123.000"));
    EXPECT_EQ(records[0].text(DeliveryField::ShipDate), QStringLiteral("20261130"));
    EXPECT_EQ(records[0].tagCount(1), QStringLiteral("03"));
    EXPECT_EQ(records[0].text(DeliveryField::ConsumptionTaxClass), QStringLiteral("1")); // given by the order
    EXPECT_EQ(records[0].text(DeliveryField::TaxationClass), QStringLiteral(" "));       // not given: kept
    EXPECT_EQ(records[0].text(DeliveryField::DueDate), QStringLiteral("20261224"));
}

TEST_F(EiajFixture, SameKeyTwiceInOneRunAndDeletingTwice)
{
    imp.order("N.CSV", eiaj({order("0502", "K1"), order("0502", "K1")}));
    imp.import(Protocol::Eiaj, {"N.CSV"});
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_TRUE(imp.errorLines()[0].contains(QStringLiteral("(005):ﾚｺｰﾄﾞNo.[2]")));

    imp.order("D.CSV", eiaj({order("0504", "K1")}));
    imp.import(Protocol::Eiaj, {"D.CSV"});
    EXPECT_EQ(imp.records(Protocol::Eiaj)[0].kind(), ' ');
    imp.order("D2.CSV", eiaj({order("0504", "K1")}));
    imp.import(Protocol::Eiaj, {"D2.CSV"});
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_TRUE(imp.errorLines()[0].contains(QStringLiteral("(010)")));
}

TEST_F(EiajFixture, FieldChecksRefuseWithTheItemAsSpelled)
{
    struct Case
    {
        const char* item;
        const char* value;
        const char* named; // the item named by the 011 line
    };
    const Case cases[] = {{"REIAJ013", "-1", "REIAJ013"},
                          {"REIAJ015", "1e3", "REIAJ015"},
                          {"REIAJ013", "123456789012", "REIAJ013"},
                          {"REIAJ012", "9", "REIAJ012"},
                          {"REIAJ012", "", "REIAJ012"},
                          {"REIAJ003", "261301", "REIAJ003"},
                          {"REIAJ031NO01", "991301", "REIAJ031NO01"},
                          {"REIAJ159NO01", "K 1", "REIAJ159NO01"},
                          {"REIAJ159NO01", "K*1", "REIAJ159NO01"},
                          {"REIAJ024", "RK 73", "REIAJ024"},
                          {"REIAJ161", "B*1", "REIAJ161"},
                          // The inspection class is looked up as sent.
                          {"REIAJ012", " 2", "REIAJ012"},
                          {"REIAJ012", "2 ", "REIAJ012"},
                          // A key wider than its 23-byte field.
                          {"REIAJ159NO01", "K23456789012345678901234", "REIAJ159NO01"},
                          {"REIAJ159NO01", "一二三四五六七八九十一二", "REIAJ159NO01"},
                          // The instructed quantity: negative, or too wide even after rounding.
                          {"REIAJ032NO01", "-1", "REIAJ032NO01"},
                          {"REIAJ032NO01", "1000000000", "REIAJ032NO01"},
                          {"REIAJ032NO01", "999999999.9995", "REIAJ032NO01"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + "=" + c.value);
        ImportInstall fresh;
        fresh.order("F.CSV", eiaj({order("0502", "K1", c.item, c.value)}));
        fresh.import(Protocol::Eiaj, {"F.CSV"});
        ASSERT_EQ(fresh.errorLines().size(), 1);
        EXPECT_TRUE(fresh.errorLines()[0].contains(QStringLiteral("]:") + QLatin1String(c.named) +
                                                   QStringLiteral("に誤りがあります。(011)")))
            << fresh.errorLines()[0].toStdString();
        EXPECT_TRUE(fresh.records(Protocol::Eiaj).isEmpty());
    }
}

TEST_F(EiajFixture, BlankChecksFollowCheckSpecAndEmptyValuesBecomeZero)
{
    imp.inst.env.checkSpec = 1;
    imp.order("F.CSV", eiaj({order("0502", "K 1", "REIAJ013", "")}));
    imp.import(Protocol::Eiaj, {"F.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("K 1"));
    EXPECT_EQ(records[0].text(DeliveryField::UnitPrice), QStringLiteral("00000000000.000"));
}

TEST_F(EiajFixture, DatesByTheBaseYear)
{
    imp.inst.env.baseYear = 30;
    auto a = order("0502", "K1", "REIAJ031NO01", "290101");
    auto b = order("0502", "K2", "REIAJ031NO01", "300101");
    auto c = order("0502", "K3", "REIAJ031NO01", "310101");
    auto d = order("0502", "K4", "REIAJ031NO01", "000000");
    imp.order("D.CSV", eiaj({a, b, c, d}));
    imp.import(Protocol::Eiaj, {"D.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].text(DeliveryField::DueDate), QStringLiteral("20290101"));
    EXPECT_EQ(records[1].text(DeliveryField::DueDate), QStringLiteral("20300101"));
    EXPECT_EQ(records[2].text(DeliveryField::DueDate), QStringLiteral("19310101"));
    EXPECT_EQ(records[3].text(DeliveryField::DueDate), QStringLiteral("        "));
}

TEST_F(EiajFixture, UnknownCompanyAndMissingFirstKey)
{
    imp.order("U.CSV", eiaj({order("0502", "K1", "REIAJ004", "NOPE"), order("0502", "")}));
    imp.import(Protocol::Eiaj, {"U.CSV"});
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("U.CSV [0502]:発注者情報が登録されていません。(004):ﾚｺｰﾄﾞNo.[1],"
                                       "発注者ｺｰﾄﾞ[NOPE],受注者ｺｰﾄﾞ[S01]"));
    EXPECT_TRUE(
        lines[1].contains(QStringLiteral("納品ｷｰ番号が未設定のため、処理対象外のデータです。(012):ﾚｺｰﾄﾞNo.[2]")));
}

TEST_F(EiajFixture, MalformedLineRefusesTheRestButKeepsWhatCameBefore)
{
    QStringList lines = eiaj({order("0502", "K1"), order("0502", "K2")});
    lines.insert(2, lines[1] + QStringLiteral(",extra"));
    imp.order("M.CSV", lines);
    imp.import(Protocol::Eiaj, {"M.CSV"});
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    ASSERT_EQ(imp.errorLines().size(), 1);
    EXPECT_EQ(imp.errorLines()[0], QStringLiteral("M.CSV [    ]:対象外のビジネスプロトコルです。(002)"));
    // A file refused that way stays where it was.
    EXPECT_TRUE(QFile::exists(imp.inPath("M.CSV")));
}

TEST_F(EiajFixture, PairFormAndQuotedValues)
{
    imp.order("P.CSV", {QStringLiteral("\"REIAJC14\",\"0502\",REIAJ004,A001,REIAJ005,S01,REIAJ012,2,"
                                       "REIAJ022,\"CHIP, \"\"1608\"\"\",REIAJ159NO01,K9")});
    imp.import(Protocol::Eiaj, {"P.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 1) << imp.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(records[0].text(DeliveryField::ItemName).trimmed(), QStringLiteral("CHIP, \"1608\""));
}

TEST_F(EiajFixture, KeysThatDoNotFitTheirFieldAreNeverStoredCut)
{
    // 23 bytes, trailing blanks aside, fit and are found again (005); 24 are
    // refused every time, a deletion included (011, not 010).
    const QString key = QStringLiteral("K23456789012345678901234");
    auto rec = order("0502", key.left(23) + QStringLiteral("  "));
    rec.append(Item("REIAJ159NO02", key));
    imp.order("A.CSV", eiaj({rec, rec}));
    imp.order("D.CSV", eiaj({order("0504", key)}));
    imp.import(Protocol::Eiaj, {"A.CSV", "D.CSV"});
    EXPECT_EQ(imp.records(Protocol::Eiaj).size(), 1);
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("]:REIAJ159NO02に誤りがあります。(011)")).size(), 2);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("(005)")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("]:REIAJ159NO01に誤りがあります。(011)")));
}

TEST_F(EiajFixture, OnlyHalfWidthBlanksMakeAKeyBlank)
{
    auto rec = order("0502", QStringLiteral("　"));
    rec.append(Item("REIAJ159NO02", QStringLiteral("\t")));
    rec.append(Item("REIAJ159NO03", "   ")); // ends the occurrences
    rec.append(Item("REIAJ159NO04", "K4"));
    imp.order("B.CSV", eiaj({rec}));
    imp.import(Protocol::Eiaj, {"B.CSV"});
    const auto records = imp.records(Protocol::Eiaj);
    ASSERT_EQ(records.size(), 2) << imp.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(fixed::trimmedRight(records[1].text(DeliveryField::DeliveryKeyNo)), QStringLiteral("\t"));
}
