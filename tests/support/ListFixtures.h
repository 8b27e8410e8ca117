#pragma once

#include "RecordBuilders.h"
#include "TestInstall.h"

#include "core/text/Cp932.h"
#include "store/CodeTable.h"

namespace plx::test {

// An installation with a catalogue, a code table and the files a list needs.
inline void writeListInstallation(TestInstall& inst)
{
    inst.writeSettings();
    inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                   cp932::encode(u"002,3,\"発注企業情報が登録されていません。\"\r\n"
                                 u"003,1,\"コード情報が確認できません。\"\r\n"
                                 u"012,2,\"選択した納品書データを削除しますか？\"\r\n"
                                 u"020,1,\"レジストリ情報を取得できません。\"\r\n"
                                 u"030,3,\"ヘルプファイルがありません。\"\r\n"
                                 u"640,2,\"フォルダ内のファイルをすべて削除しますか？\"\r\n"));
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), CodeTable::makeRecord({"1", "01", "2", "受入検査", ""}) +
                                                       CodeTable::makeRecord({"2", "01", "2", "台", ""}) +
                                                       CodeTable::makeRecord({"2", "01", "PC", "個", ""}));
    inst.buildPaths();
}

// A live record with the fields the list shows.
inline DeliveryRecord listed(char kind, const QString& orderer, const QString& key, const QString& status,
                             const QString& itemName, const QString& itemKanji)
{
    DeliveryRecord r = delivery(kind, orderer, QStringLiteral("SUP"), key, status);
    r.setText(DeliveryField::OrderNo, QStringLiteral("PO-") + key);
    r.setText(DeliveryField::ItemName, itemName);
    r.setText(DeliveryField::ItemNameKanji, itemKanji);
    r.setText(DeliveryField::ItemCode, QStringLiteral("IC-") + key);
    r.setText(DeliveryField::InspectionClass, QStringLiteral("2"));
    r.setText(DeliveryField::OrderQty, QStringLiteral("000012345.500"));
    r.setText(DeliveryField::InstructedQty, QStringLiteral("000000000.000"));
    r.setText(DeliveryField::ShipQty, QStringLiteral("000001000.000"));
    r.setText(DeliveryField::DueDate, QStringLiteral("20000531"));
    r.setText(DeliveryField::ShipDate, QStringLiteral("00000000"));
    return r;
}

} // namespace plx::test
