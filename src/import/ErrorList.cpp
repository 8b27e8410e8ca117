#include "ErrorList.h"

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/FsName.h"
#include "core/text/Cp932.h"

#include <QFileInfo>

namespace plx {

QString errorLineText(short code, const QString& f, const QString& item, qint32 record, const QString& orderer,
                      const QString& supplier, const QString& key, const QString& infoClass)
{
    const QString g = infoClass.left(4).leftJustified(4, QLatin1Char(' '));
    const QString tail = QStringLiteral(":ﾚｺｰﾄﾞNo.[") + QString::number(record) + QStringLiteral("],発注者ｺｰﾄﾞ[") +
                         orderer + QStringLiteral("],受注者ｺｰﾄﾞ[") + supplier + QStringLiteral("],納品ｷｰ番号[") + key +
                         QLatin1Char(']');
    const QString classed = f + QStringLiteral(" [") + g + QStringLiteral("]:");
    switch (code) {
    case 1:
        return f + QStringLiteral(" [    ]:指定ファイルがありません。(001)");
    case 2:
        return f + QStringLiteral(" [    ]:対象外のビジネスプロトコルです。(002)");
    case 3:
        return classed + QStringLiteral("未サポートの情報区分ファイルです。(003)");
    case 4:
        return classed + QStringLiteral("発注者情報が登録されていません。(004)") + QStringLiteral(":ﾚｺｰﾄﾞNo.[") +
               QString::number(record) + QStringLiteral("],発注者ｺｰﾄﾞ[") + orderer + QStringLiteral("],受注者ｺｰﾄﾞ[") +
               supplier + QLatin1Char(']');
    case 5:
        return classed + QStringLiteral("同一ﾃﾞｰﾀがあるため、再作成を中止します。(005)") + tail;
    case 6:
        return classed + QStringLiteral("対応するﾃﾞｰﾀは発行待のため、再作成を中止します。(006)") + tail;
    case 7:
        return classed + QStringLiteral("対応するﾃﾞｰﾀは発行待のため、削除を中止します。(007)") + tail;
    case 8:
        return classed + QStringLiteral("対応するﾃﾞｰﾀは発行済のため、再作成を中止します。(008)") + tail;
    case 9:
        return classed + QStringLiteral("対応するﾃﾞｰﾀは発行済のため、削除を中止します。(009)") + tail;
    case 10:
        return classed + QStringLiteral("対応するﾃﾞｰﾀがないため、削除できません。(010)") + tail;
    case 11:
        return classed + item + QStringLiteral("に誤りがあります。(011)") + tail;
    case 12:
        return classed + QStringLiteral("納品ｷｰ番号が未設定のため、処理対象外のデータです。(012)") + tail;
    case kFileTooLarge:
        return f + QStringLiteral(" [    ]:ﾌｧｲﾙが大きすぎるため、取り込めません。(013):") + item;
    case kFileUnreadable:
        return f + QStringLiteral(" [    ]:ﾌｧｲﾙを読み込めません。(014):") + item;
    default:
        return classed + QStringLiteral("(%1)").arg(code, 3, 10, QLatin1Char('0')) + tail;
    }
}

ErrorList::ErrorList(Environment& env, Protocol protocol)
    : m_env(env), m_protocol(protocol), m_file(env.paths.errListPath)
{
    const bool existed = QFileInfo::exists(env.paths.errListPath);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw RuntimeFailure(
            QStringLiteral("ｴﾗｰﾘｽﾄを開けません。(%1: %2)").arg(env.paths.errListPath, m_file.errorString()));
    if (!existed)
        fileutil::shareWithFolder(m_file.handle(), QFileInfo(env.paths.errListPath).absolutePath());
}

ErrorList::~ErrorList()
{
    close();
}

void ErrorList::close()
{
    if (m_file.isOpen())
        m_file.close();
}

void ErrorList::writeLine(const QString& line)
{
    const QByteArray bytes = cp932::encode(line) + "\r\n";
    if (!m_file.isOpen() || m_file.write(bytes) != bytes.size() || !m_file.flush())
        throw RuntimeFailure::labelled(
            QStringLiteral("ｴﾗｰﾛｸﾞ出力"),
            QStringLiteral("ｴﾗｰﾘｽﾄに書き込めません。(%1: %2)").arg(m_file.fileName(), m_file.errorString()));
}

void ErrorList::writeEntry(short code, const QString& fileName, const QString& itemName, qint32 recordNumber,
                           const QString& ordererCode, const QString& supplierCode, const QString& deliveryKeyNo,
                           const QString& infoClass)
{
    // The list is CP932: a name it cannot hold is written in a form it can.
    const QString shownName = fsname::displayCp932(fileName);
    if (isFileRefusal(code)) {
        static const char16_t* const texts[] = {u"指定ファイルがありません。", u"対象外のビジネスプロトコルです。",
                                                u"未サポートの情報区分ファイルです。"};
        const QString text = code == kFileTooLarge ? QStringLiteral("ﾌｧｲﾙが大きすぎるため、取り込めません。")
                             : code == kFileUnreadable ? QStringLiteral("ﾌｧｲﾙを読み込めません。") + itemName
                                                       : QString::fromUtf16(texts[code - 1]);
        m_env.dialogs->show(MessageIcon::Exclamation,
                            text + QLatin1Char('(') + fsname::display(fileName) + QLatin1Char(')'), MessageButtons::Ok,
                            DefaultButton::First);
    }
    if (m_count == 0) {
        m_heading = {QStringLiteral("*** 納品書ﾃﾞｰﾀ作成ｴﾗｰﾘｽﾄ ***"), QString(),
                     QStringLiteral("ｴﾗｰ発生日時  [") +
                         m_env.clock->now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QLatin1Char(']'),
                     QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ ") +
                         (m_protocol == Protocol::Eiaj ? QStringLiteral("[EIAJ] ") : QStringLiteral("[KORVAN]")),
                     QString()};
        for (const QString& line : m_heading)
            writeLine(line);
    }
    ++m_count;
    m_fileLevel = isFileRefusal(code) ? FileLevel::FileRefused : FileLevel::EntryRefused;
    if (isFileRefusal(code))
        m_fileCode = code;
    const QString line =
        errorLineText(code, shownName, itemName, recordNumber, ordererCode, supplierCode, deliveryKeyNo, infoClass);
    m_entries.append({fileName, line});
    writeLine(line);
}

} // namespace plx
