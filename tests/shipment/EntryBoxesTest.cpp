#include "shipment/EntryBoxes.h"
#include "shipment/EntryLimits.h"

#include <gtest/gtest.h>

#include <set>

using namespace plx;

namespace {

const char* protocolLabel(Protocol p)
{
    return p == Protocol::Eiaj ? "EIAJ" : "KORVAN";
}

} // namespace

// Each window's form is laid out and walked in its tab order: the places run
// 1, 2, 3 ... without a gap or a twin, through the record's keys, the order
// data and the shipment in turn, and end at the tag grid.
TEST(EntryBoxes, EachWindowsTabOrderRunsThroughItsSectionsWithoutGaps)
{
    for (Protocol p : kProtocols) {
        SCOPED_TRACE(protocolLabel(p));
        const QList<const EntryBoxInfo*> boxes = boxesOf(p);
        ASSERT_FALSE(boxes.isEmpty());
        for (int i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i]->tab(p), i + 1) << boxes[i]->objectName;
            if (i > 0) {
                EXPECT_LE(int(boxes[i - 1]->section), int(boxes[i]->section)) << boxes[i]->objectName;
            }
        }
        EXPECT_EQ(boxes.last()->box, EntryBox::TagLines);
    }
}

// A window's widget names one box, and a `ship` column names the box whose
// record field it is named after; the widgets of the same name mean the
// window's own thing in each format.
TEST(EntryBoxes, NamesAndColumnsResolveToTheWindowsOwnBox)
{
    for (Protocol p : kProtocols) {
        SCOPED_TRACE(protocolLabel(p));
        std::set<QString> names;
        for (const EntryBoxInfo* b : boxesOf(p)) {
            EXPECT_TRUE(names.insert(b->name()).second) << b->objectName;
            EXPECT_TRUE(hasBox(b->box, p));
            if (!b->column().isEmpty()) {
                ASSERT_TRUE(b->field) << b->objectName;
                EXPECT_EQ(b->column(), QLatin1String(DeliveryRecord::fields()[size_t(*b->field)].name));
                EXPECT_EQ(boxOfColumn(b->column(), p), b);
            }
            // Every box the operator can type in is a column, and only those.
            EXPECT_EQ(!b->column().isEmpty(), b->modes != kNoMode) << b->objectName;
        }
    }

    struct Case
    {
        const char* control;
        Protocol format;
        EntryBox box;
        DeliveryField field;
    };
    const Case cases[] = {
        {"Text22", Protocol::Eiaj, EntryBox::UnitPrice, DeliveryField::UnitPrice},
        {"Text23", Protocol::Eiaj, EntryBox::TaxAmount, DeliveryField::TaxAmount},
        {"Text24", Protocol::Eiaj, EntryBox::AmountExclTax, DeliveryField::AmountExclTax},
        {"Text22", Protocol::Korvan, EntryBox::OrdererUse1, DeliveryField::OrdererUse1},
        {"Text23", Protocol::Korvan, EntryBox::OrdererUse2, DeliveryField::OrdererUse2},
        {"Text24", Protocol::Korvan, EntryBox::OrdererUse3, DeliveryField::OrdererUse3},
        {"Option1", Protocol::Korvan, EntryBox::BcOutputClass, DeliveryField::BcOutputClass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const EntryBoxInfo& b = entryBox(c.box);
        EXPECT_TRUE(hasBox(c.box, c.format));
        EXPECT_EQ(b.name(), QLatin1String(c.control));
        EXPECT_EQ(b.field, c.field);
    }
    // Boxes only the other window has.
    for (EntryBox box : {EntryBox::AmountInclTax, EntryBox::OrdererBarcodeInfo, EntryBox::ConsumptionTaxClass,
                         EntryBox::Currency, EntryBox::UnitPrice})
        EXPECT_FALSE(hasBox(box, Protocol::Korvan)) << int(box);
    EXPECT_FALSE(hasBox(EntryBox::BcOutputClass, Protocol::Eiaj));
    EXPECT_EQ(boxOfColumn(QStringLiteral("OrdererUse1"), Protocol::Eiaj), nullptr);
    EXPECT_EQ(boxOfColumn(QStringLiteral("UnitPrice"), Protocol::Korvan), nullptr);
}

// The limits a window's boxes take from the table: a text box holds what its
// field holds in bytes (a kanji pair's double-byte text goes to its double-byte
// field) and says so in the clerk's terms; number boxes keep their decimals and
// take any length.
TEST(EntryBoxes, TheBoxesLimitsFollowTheirFields)
{
    struct Case
    {
        EntryBox box;
        Protocol format;
        int halfWidth;    // single-byte characters that fit; 0 for no limit
        int fullWidth;    // double-byte characters that fit; 0 for single-byte text only
        const char* over; // the refusal of a longer text
        int decimals;     // yen
        int foreignDecimals;
    };
    const Case cases[] = {
        {EntryBox::DeliveryKeyNo, Protocol::Eiaj, 23, 0, "納品ｷｰ番号は半角23文字以内で入力してください。", -1, -1},
        {EntryBox::ItemName, Protocol::Eiaj, 30, 30, "品名は全角30文字（半角30文字）以内で入力してください。", -1, -1},
        {EntryBox::SupplierRemarks, Protocol::Korvan, 25, 25,
         "受注者用備考は全角25文字（半角25文字）以内で入力してください。", -1, -1},
        {EntryBox::OrdererUse3, Protocol::Korvan, 20, 10,
         "発注者使用欄３は全角10文字（半角20文字）以内で入力してください。", -1, -1},
        {EntryBox::OrdererUse1, Protocol::Korvan, 15, 0, "発注者使用欄１は半角15文字以内で入力してください。", -1, -1},
        {EntryBox::Currency, Protocol::Eiaj, 3, 0, "通貨は半角3文字以内で入力してください。", -1, -1},
        {EntryBox::ShipQty, Protocol::Korvan, 0, 0, nullptr, 3, 3},
        {EntryBox::UnitPrice, Protocol::Eiaj, 0, 0, nullptr, 3, 5},
        {EntryBox::AmountExclTax, Protocol::Eiaj, 0, 0, nullptr, 0, 3},
        {EntryBox::OrdererName, Protocol::Eiaj, 0, 0, nullptr, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << entryBox(c.box).objectName << " " << protocolLabel(c.format));
        ASSERT_TRUE(hasBox(c.box, c.format));
        const EntryBoxInfo& box = entryBox(c.box);
        if (c.halfWidth == 0) {
            EXPECT_TRUE(fitsBox(c.box, QString(200, u'9')));
        } else {
            EXPECT_TRUE(fitsBox(c.box, QString(c.halfWidth, u'A')));
            EXPECT_FALSE(fitsBox(c.box, QString(c.halfWidth + 1, u'A')));
            if (c.fullWidth > 0) {
                EXPECT_TRUE(fitsBox(c.box, QString(c.fullWidth, u'あ')));
                EXPECT_FALSE(fitsBox(c.box, QString(c.fullWidth + 1, u'あ')));
            }
            EXPECT_EQ(unstorableText(box, QString(c.halfWidth + 1, u'A')).value_or(QString()).toStdString(), c.over);
        }
        EXPECT_EQ(box.decimals(false), c.decimals);
        EXPECT_EQ(box.decimals(true), c.foreignDecimals);
    }
    // A kanji-allowed box has its double-byte field, and only such a box.
    for (const EntryBoxInfo& b : entryBoxes())
        EXPECT_EQ(b.kanjiField.has_value(), b.kanji == KanjiRule::Allowed) << b.objectName;
}
