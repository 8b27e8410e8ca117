#include "ui/MessageBoxDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextLayout>

#include "ModalWindows.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// The widths of the rows `line` is laid out in, `width` pixels wide, as a
// label wraps its text.
QList<qreal> rowsAt(const QFont& font, const QString& line, int width)
{
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<qreal> rows;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        rows.append(row.naturalTextWidth());
    }
    layout.endLayout();
    return rows;
}

} // namespace

TEST(MessageBoxDialogs, EachLineStaysOnOneRowOrWrapsIntoEvenRows)
{
    const QString texts[] = {
        QStringLiteral("表示中の納品書データを削除しますか？"),
        // The longest messages of the catalogue.
        QStringLiteral(
            "納品書の出力件数が200件に達しました。ここまでの分を印刷しますので、残りは再度印刷してください。"),
        QStringLiteral("発注者用バーコード情報にバーコードで使用できない文字が含まれています。このまま登録しますか？"),
        QStringLiteral("システムファイルの拡張子（SYS・DLL・VXD・386・DRV・EXE・INI）は指定できません。"),
        QStringLiteral("コメントに改行やタブなどの制御文字、または使用できない文字が含まれているか、長すぎます。"
                       "全角8文字（半角16文字）以内で入力してください。"),
        // A question with its two lines of counts and form file.
        QStringLiteral("納品書を印刷します。よろしいですか？\r\n        出力対象  12件(用紙  3枚)\r\n"
                       "           (E_Slip.agr)"),
        QStringLiteral("納入指示数量が正しくありません。0～999,999,999.999の範囲で入力してください。\r\n"
                       "発注者ｺｰﾄﾞ ABCDEFGHIJKL  納品ｷｰ番号 K0000000000000001"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        MessageBoxDialogs boxes;
        int boxWidth = 0;
        int labelWidth = 0;
        bool whole = false;
        QFont font = QApplication::font();
        whenModalShows<QMessageBox>("message box", [&](QMessageBox& box) {
            auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (label) {
                font = label->font();
                labelWidth = label->contentsRect().width();
                whole = label->heightForWidth(label->width()) <= label->height();
            }
            boxWidth = box.width();
            box.findChild<QPushButton*>()->click();
        });
        boxes.show(MessageIcon::Exclamation, text, MessageButtons::Ok, DefaultButton::First);
        ASSERT_GT(labelWidth, 0);
        EXPECT_TRUE(whole);
        // The box may take four fifths of the screen's width; the icon and
        // the margins take some of that from the text.
        const int most = QApplication::primaryScreen()->availableGeometry().width() * 4 / 5;
        EXPECT_LE(boxWidth, most);
        for (const QString& line : QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n')) {
            const QList<qreal> rows = rowsAt(font, line, labelWidth);
            // A line that fits the box stays on one row; a longer one wraps
            // into rows of about even length, never leaving a short tail.
            if (QFontMetrics(font).horizontalAdvance(line) <= most - 120) {
                EXPECT_EQ(rows.size(), 1) << line.toStdString();
            }
            if (rows.size() > 1) {
                EXPECT_GE(rows.last(), rows.first() / 2) << line.toStdString();
            }
        }
    }
}
