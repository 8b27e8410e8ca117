#pragma once

#include "Dialogs.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace plx {

struct Environment;

inline const QString kUnknownMessageText = QStringLiteral("エラーです。");
inline const QString kMessageErrorLabel = QStringLiteral("ﾒｯｾｰｼﾞ出力/");

// One record of Msg.DAT as read: the number field as written ("006"), the kind
// and the text.
struct CatalogRecord
{
    QString number;
    QString kind;
    QString text;
};

// Reads comma-separated records the way the catalogue's reader does: blanks
// around an unquoted field are dropped, a quoted field keeps what stands between
// its quotes, and a record with too few fields on its line continues on the next.
class CatalogReader
{
public:
    explicit CatalogReader(QString text);
    // The next record, or nothing at the end of the text.
    std::optional<CatalogRecord> next();

private:
    QString nextField();
    void skipBlankLines();
    bool atLineEnd() const;

    QString m_text;
    qsizetype m_pos = 0;
};

// Shows catalogue message `number` with its icon, buttons and decorations and
// returns the button pressed: kAnswerYes or kAnswerNo for a question, kAnswerOk
// for a notice. A number that is not in the catalogue shows "エラーです。" with
// an OK button; a catalogue that cannot be read ends the program through the
// error report. A question (isQuestion) is answered kAnswerYes only when the
// operator pressed Yes in a Yes/No box: when its number is missing from the
// catalogue, or written there so that the box has no Yes button, the answer is
// kAnswerNo.
Answer ShowMessage(Environment& env, short number);
// The same with `lead` (what the question is about) on lines of their own
// above the catalogue text, a blank line between.
Answer ShowMessage(Environment& env, short number, const QStringList& lead);

// Whether the program asks message `number` as a Yes/No question (6, 12, 130
// to 135, 200, 210, 503, 640).
bool isQuestion(short number);

// What the slip and tag questions (200, 210) are about: the ordering company,
// the documents to print, the sheets they fill and the layout file.
struct OutputQuestion
{
    QString ordererCode;
    QString ordererName;
    int items = 0;
    int sheets = 0;
    QString formFile; // as stored; its first 36 characters are shown
};

// Asks question 200 or 210 for `question`: the catalogue text, then, each
// centred on 44 columns, the company ("発注者  102851  北斗星電機"), the counts
// and the layout file. Besides はい / いいえ the box offers 中止 (kAnswerStop),
// which stops the print run. Returns the button pressed, as ShowMessage does.
Answer ShowOutputQuestion(Environment& env, short number, const OutputQuestion& question);

// The catalogue text of message `number` as stored ("エラーです。" when the
// catalogue has no such number), for reports that are not message boxes.
QString MessageText(Environment& env, short number);

// The text's width in half-width columns: 1 for a character that has a
// full-width form (ASCII, half-width katakana), 2 for any other.
void DisplayWidth(QStringView text, short& width);

// The 200/210 summary lines centred on 44 columns: (44 - width) / 2 blanks,
// halves to even, none when the line is wider than that.
QString centreOn44(const QString& line);

} // namespace plx
