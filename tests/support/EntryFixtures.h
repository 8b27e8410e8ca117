#pragma once

#include "OutputFixtures.h"

#include "store/CodeTable.h"

namespace plx::test {

// A record of the code table.
inline QByteArray code(const char* format, const char* kind, const char* code, const char16_t* name,
                       const char* value = "")
{
    return CodeTable::makeRecord(CodeEntry{QString::fromLatin1(format), QString::fromLatin1(kind),
                                           QString::fromLatin1(code), QString::fromUtf16(name),
                                           QString::fromLatin1(value)});
}

// A record of company A whose shipment data pass every check of a registration.
inline DeliveryRecord shippable(const QString& key, const QString& status = QStringLiteral("0"),
                                const QString& orderer = QStringLiteral("A"))
{
    DeliveryRecord r = due('1', orderer, key, status);
    r.setText(DeliveryField::MessageKind, u"0502");
    r.setText(DeliveryField::OrderNo, QStringLiteral("PO-") + key);
    r.setText(DeliveryField::ItemCode, QStringLiteral("IC-") + key);
    r.setText(DeliveryField::ItemName, u"WIDGET");
    r.setText(DeliveryField::Unit, u"PCS");
    r.setText(DeliveryField::OrdererBarcodeInfo, u"BC1");
    r.setText(DeliveryField::InstructedQty, u"000000005.000");
    r.setText(DeliveryField::InspectionClass, u"001");
    r.setText(DeliveryField::ConsumptionTaxClass, u"2");
    r.setText(DeliveryField::TaxationClass, u"1");
    r.setText(DeliveryField::PriceDisplayClass, u"1");
    r.setText(DeliveryField::UnitPrice, u"00000000012.500");
    r.setText(DeliveryField::ShipDate, u"20261201");
    r.setText(DeliveryField::PlannedDeliveryDate, u"20261203");
    r.setText(DeliveryField::SupplierBarcodeInfo, u"SBC1");
    r.setText(DeliveryField::UpdatedAt, u"202611301200");
    return r;
}

// The companies of the entry installation; A issues `outputKind`.
inline void writeEntryCompanies(TestInstall& inst, const QString& outputKind)
{
    CustRecord a = outputCompany('1', "A", outputKind);
    a.setText(CustField::ConsumptionTaxKind, u"2");
    a.setText(CustField::TaxationKind, u"1");
    a.setText(CustField::PriceDisplayKind, u"1");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                   fileOf(QList{a, outputCompany('2', "K", "3", QStringLiteral("湘洋"))}));
}

// The entry windows' installation: the messages they show, a code table of
// every class list, the layouts, paths and settings (three tag lines), and
// companies A (EIAJ, kanji allowed, outer tax, both documents) and K (KORVAN).
inline void writeEntryInstallation(TestInstall& inst)
{
    inst.writeSettings();
    inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(u"002,3,\"発注企業情報が登録されていません。\"\r\n"
                                                                u"003,1,\"コード情報が確認できません。\"\r\n"
                                                                u"006,2,\"表示中の納品書データを削除しますか？\"\r\n"
                                                                u"010,3,\"対象の納品書データが見つかりません。\"\r\n"
                                                                u"030,3,\"ヘルプファイルがありません。\"\r\n"
                                                                u"100,3,\"納入数量が正しくありません。\"\r\n"
                                                                u"120,3,\"荷札の合計が納入数量と一致しません。\"\r\n"
                                                                u"200,2,\"納品書を印刷します。\"\r\n"
                                                                u"210,2,\"荷札を印刷します。\"\r\n"));
    inst.writeFile(QStringLiteral("Prg/Code.DAT"),
                   code("1", "01", "001", u"無検査") + code("1", "01", "002", u"受入検査") +
                       code("1", "02", "1", u"内税") + code("1", "02", "2", u"外税") +
                       code("1", "03", "1", u"課税", "10") + code("1", "03", "2", u"消費税対象外", "0") +
                       code("1", "04", "1", u"税抜") + code("1", "04", "2", u"税込") + code("1", "05", "JPY", u"円") +
                       code("1", "05", "USD", u"米ドル") + code("2", "01", "001", u"無検査"));
    inst.writeFile(QStringLiteral("Usr/E_Slip.agr"), "{}");
    inst.writeFile(QStringLiteral("Usr/E_Tag.agr"), "{}");
    inst.buildPaths();
    inst.env.apUse = QStringLiteral("ALL");
    inst.env.logCount = 10;
    inst.env.nifuda = 3;
    writeEntryCompanies(inst, QStringLiteral("3"));
}

} // namespace plx::test
