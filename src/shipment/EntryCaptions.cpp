#include "EntryCaptions.h"

#include <QHash>

namespace plx {

QString captionOf(const QString& control, Protocol format)
{
    static const QHash<QString, QString> shared = {
        {QStringLiteral("Text3"), QStringLiteral("発注者ｺｰﾄﾞ：")},
        {QStringLiteral("Text6"), QStringLiteral("受注者ｺｰﾄﾞ：")},
        {QStringLiteral("Text7"), QStringLiteral("納品ｷｰ番号：")},
        {QStringLiteral("Text8"), QStringLiteral("注文番号：")},
        {QStringLiteral("Text5"), QStringLiteral("更新日：")},
        {QStringLiteral("Text9"), QStringLiteral("品名ｺｰﾄﾞ：")},
        {QStringLiteral("Text10"), QStringLiteral("品  名：")},
        {QStringLiteral("Text11"), QStringLiteral("単位：")},
        {QStringLiteral("Text12"), QStringLiteral("購買担当：")},
        {QStringLiteral("Text13"), QStringLiteral("受渡場所名：")},
        {QStringLiteral("Text14"), QStringLiteral("発注者用ﾊﾞｰｺｰﾄﾞ情報：")},
        {QStringLiteral("Text15"), QStringLiteral("発注者用備考：")},
        {QStringLiteral("Text16"), QStringLiteral("注文数量：")},
        {QStringLiteral("Text17"), QStringLiteral("納入指示数量：")},
        {QStringLiteral("Text18"), QStringLiteral("納期：")},
        {QStringLiteral("Combo1"), QStringLiteral("検査区分：")},
        {QStringLiteral("Combo2"), QStringLiteral("消費税区分：")},
        {QStringLiteral("Combo3"), QStringLiteral("課税区分：")},
        {QStringLiteral("Combo4"), QStringLiteral("価格表示区分：")},
        {QStringLiteral("Combo5"), QStringLiteral("通貨：")},
        {QStringLiteral("Text19"), QStringLiteral("納入数量：")},
        {QStringLiteral("Text20"), QStringLiteral("出荷日：")},
        {QStringLiteral("Text21"), QStringLiteral("納入予定日：")},
        {QStringLiteral("Text27"), QStringLiteral("受注者用ﾊﾞｰｺｰﾄﾞ情報：")},
        {QStringLiteral("Text28"), QStringLiteral("受注者用備考：")},
        {QStringLiteral("MSFlexGrid1"), QStringLiteral("荷札")},
        {QStringLiteral("Option1"), QStringLiteral("ＢＣ出力区分：")},
        {QStringLiteral("Option2"), QStringLiteral("ＢＣ出力区分：")},
        {QStringLiteral("Command1"), QStringLiteral("戻る")},
        {QStringLiteral("Command4"), QStringLiteral("登録")},
        {QStringLiteral("Command5"), QStringLiteral("登録印刷")},
        {QStringLiteral("Command7"), QStringLiteral("受注ﾃﾞｰﾀ修正")},
    };
    static const QHash<QString, QString> eiaj = {
        {QStringLiteral("Text22"), QStringLiteral("単価：")},
        {QStringLiteral("Text24"), QStringLiteral("税抜額：")},
        {QStringLiteral("Text23"), QStringLiteral("税額：")},
        {QStringLiteral("Text25"), QStringLiteral("税込額：")},
    };
    static const QHash<QString, QString> korvan = {
        {QStringLiteral("Text22"), QStringLiteral("発注者使用欄１：")},
        {QStringLiteral("Text23"), QStringLiteral("発注者使用欄２：")},
        {QStringLiteral("Text24"), QStringLiteral("発注者使用欄３：")},
    };
    const auto& own = format == Protocol::Eiaj ? eiaj : korvan;
    if (own.contains(control))
        return own.value(control);
    return shared.value(control, control);
}

} // namespace plx
