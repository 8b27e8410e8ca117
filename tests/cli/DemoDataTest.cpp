// The demo installation holds only records the program itself could have
// written: each registers as it stands, and its amounts are the calculation's.

#include "support/RecordBuilders.h"
#include "support/TestInstall.h"

#include "cli/Installer.h"
#include "core/StartUp.h"
#include "core/text/VbFormat.h"
#include "shipment/AmountCalculation.h"
#include "shipment/EntryFormats.h"
#include "shipment/EntrySession.h"
#include "store/CustStore.h"
#include "store/RecordCodes.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

using F = DeliveryField;

QList<DeliveryRecord> dataFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? recordsOf(f.readAll()) : QList<DeliveryRecord>();
}

// The names of the fields in which two records differ.
QStringList differences(const DeliveryRecord& a, const DeliveryRecord& b)
{
    QStringList out;
    for (int i = 0; i < DeliveryRecord::kFieldCount; ++i) {
        const auto f = static_cast<DeliveryField>(i);
        // Long fields (the tag lines) by their beginning.
        if (a.raw(f) != b.raw(f))
            out << QStringLiteral("%1 [%2] -> [%3]")
                       .arg(DeliveryRecord::name(f), a.text(f).left(60), b.text(f).left(60));
    }
    return out;
}

int position(const CodeTable& codes, const char* kind, const QString& code)
{
    const QList<CodeEntry> list = codes.list(Protocol::Eiaj, QLatin1String(kind));
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].code == code.trimmed())
            return i;
    }
    return -1;
}

// The record with the amounts the EIAJ window calculates for its shipped
// quantity, price, classes and its company's rounding, stored as the window
// stores them.
DeliveryRecord withCalculatedAmounts(DeliveryRecord r, const CustRecord& company, const CodeTable& codes)
{
    TaxInputs in;
    in.foreign = isForeignCurrency(r.text(F::Currency));
    in.quantity = r.text(F::ShipQty);
    in.unitPrice = r.text(in.foreign ? F::UnitPriceX : F::UnitPrice);
    in.taxationPosition = position(codes, "03", r.text(F::TaxationClass));
    in.taxationName = codes.nameOf(Protocol::Eiaj, QStringLiteral("03"), r.text(F::TaxationClass).trimmed());
    in.amountRounding = roundingSettingOf(company.text(CustField::AmountRounding));
    in.taxRounding = roundingSettingOf(company.text(CustField::TaxRounding));
    const std::optional<TaxResult> result = CalculateTax(in, codes);
    if (!result)
        return r;
    const std::pair<QString, std::pair<F, F>> amounts[] = {{result->amount, {F::AmountExclTax, F::AmountExclTaxX}},
                                                           {result->tax, {F::TaxAmount, F::TaxAmountX}},
                                                           {result->total, {F::AmountInclTax, F::AmountInclTaxX}}};
    for (const auto& [shown, fields] : amounts) {
        const Decimal value = boxNumber(shown).value_or(Decimal(-1));
        r.setText(fields.first, in.foreign ? DeliveryRecord::kZeroAmount : vbFormat(value, u"0000000000"));
        r.setText(fields.second, in.foreign ? vbFormat(value, u"000000000000.000") : DeliveryRecord::kZeroAmountX);
    }
    return r;
}

} // namespace

TEST(DemoData, EveryLiveRecordRegistersAsItStandsWithTheCalculatedAmounts)
{
    TestInstall inst;
    Installer::Options options;
    options.base = inst.base();
    options.demo = true;
    Installer installer(inst.registry, options);
    ASSERT_TRUE(installer.run()) << installer.error().toStdString();
    ASSERT_FALSE(endsProgram([&] { StartUp(inst.env, {false}); })) << inst.dialogs.texts().join(u'|').toStdString();
    const CodeTable codes = CodeTable::load(inst.env.paths.codePath);
    CustStore companies(inst.env.paths.custPath);
    companies.open();
    const QString today = inst.clock.now().toString(QStringLiteral("yyyyMMdd"));
    const QString stamp = inst.clock.now().toString(QStringLiteral("yyyyMMddHHmm"));

    for (const Protocol format : kProtocols) {
        const bool eiaj = format == Protocol::Eiaj;
        const QString path = inst.env.paths.delivPathFor(format);
        const QList<DeliveryRecord> before = dataFile(path);
        QSet<QString> statuses;
        EntrySession session(inst.env, format, EntryOpening{EntryMode::New, 1, 1, false});
        session.holdFiles();
        ASSERT_TRUE(session.loadCodes());
        for (int n = 0; n < before.size(); ++n) {
            const DeliveryRecord& r = before[n];
            if (!r.isLiveOf(format))
                continue;
            const QString orderer = r.text(F::OrdererCode).trimmed();
            const QString supplier = r.text(F::SupplierCode).trimmed();
            const QString key = r.text(F::DeliveryKeyNo).trimmed();
            SCOPED_TRACE(key.toStdString());
            const int companyAt = companies.lookup(format, orderer, supplier);
            ASSERT_GT(companyAt, 0);
            const CustRecord company = companies.read(companyAt);
            const QString outputKind = company.text(CustField::OutputKind);
            const QString status = r.text(F::Status);
            statuses.insert(status);

            // Kanji only where the company allows it.
            if (company.text(CustField::KanjiUse) == QLatin1String("0")) {
                for (F kanji : {F::ItemNameKanji, F::BuyerNameKanji, F::DeliveryPlaceKanji, F::OrdererRemarksKanji,
                                F::SupplierRemarksKanji})
                    EXPECT_TRUE(r.text(kanji).trimmed().isEmpty()) << DeliveryRecord::name(kanji);
            }
            // An issued record has the marks of the documents its company issues.
            if (status == statusText(RecordStatus::Issued)) {
                const QString slips = hasOutputKind(outputKind, OutputKind::Tags) ? "0" : "1";
                const QString tags = hasOutputKind(outputKind, OutputKind::Slips) ? "0" : "1";
                EXPECT_EQ(r.text(F::SlipIssued) + r.text(F::TagIssued), slips + tags);
            }
            // A registered EIAJ record carries what the calculation gives, and
            // its consumption-tax class is the one the window calculates for.
            if (eiaj && status != statusText(RecordStatus::Unprocessed)) {
                EXPECT_EQ(position(codes, "02", r.text(F::ConsumptionTaxClass)), 1);
                const QStringList wrong = differences(r, withCalculatedAmounts(r, company, codes));
                EXPECT_TRUE(wrong.isEmpty()) << wrong.join(u'\n').toStdString();
            }

            // The record's keys, and for an unprocessed record what the window
            // asks for before it registers: the two dates and the tags.
            EntryRow row;
            row.values[EntryBox::OrdererCode] = orderer;
            row.values[EntryBox::SupplierCode] = supplier;
            row.values[EntryBox::DeliveryKeyNo] = key;
            DeliveryRecord expected = r;
            const bool unprocessed = status == statusText(RecordStatus::Unprocessed);
            if (unprocessed) {
                row.values[EntryBox::ShipDate] = today;
                row.values[EntryBox::PlannedDeliveryDate] = today;
                expected.setText(F::ShipQty, r.text(F::InstructedQty));
                expected.setText(F::ShipDate, today);
                expected.setText(F::PlannedDeliveryDate, today);
                if (!hasOutputKind(outputKind, OutputKind::Slips)) {
                    row.tags = QList<TagRow>{{r.text(F::InstructedQty), QStringLiteral("1")}};
                    expected.setTagLine(1, r.text(F::InstructedQty), u"01");
                }
                if (eiaj)
                    expected = withCalculatedAmounts(expected, company, codes);
            }
            // 登録 where the window allows it: an unprocessed or waiting record
            // then waits with no marks. A marked or issued record takes
            // 登録印刷 and is marked: a marked one keeps its marks, an issued one
            // gets both.
            const bool issue = status == statusText(RecordStatus::Marked) || status == statusText(RecordStatus::Issued);
            expected.setText(F::Status, issue ? u"8" : u"1");
            if (status == statusText(RecordStatus::Issued)) {
                expected.setText(F::SlipIssued, u"1");
                expected.setText(F::TagIssued, u"1");
            } else if (!issue) {
                expected.setText(F::SlipIssued, u"0");
                expected.setText(F::TagIssued, u"0");
            }
            expected.setText(F::UpdatedAt, stamp);

            QList<short> asked;
            const EntryRowOutcome outcome = session.registerRow(row, issue, [&](short question) {
                asked << question;
                return false;
            });
            EXPECT_TRUE(outcome.written) << "refused: " << outcome.message << ' ' << outcome.text.toStdString() << ' '
                                         << int(outcome.inError.box.value_or(EntryBox::OrdererName));
            EXPECT_EQ(asked, QList<short>());
            const QList<DeliveryRecord> after = dataFile(path);
            ASSERT_EQ(after.size(), before.size());
            const QStringList changed = differences(expected, after[n]);
            EXPECT_TRUE(changed.isEmpty()) << changed.join(u'\n').toStdString();
        }
        // Every state of a record is there to try.
        EXPECT_EQ(statuses, (QSet<QString>{"0", "1", "2", "8"})) << (eiaj ? "EIAJ" : "KORVAN");
    }
}
