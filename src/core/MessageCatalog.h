#pragma once

#include <QString>
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

// Shows catalogue message `number` with its icon, buttons and decorations, and
// records the answer of a question in env.msgAnswer (6 Yes, 7 No). A number that
// is not in the catalogue shows "エラーです。"; a catalogue that cannot be read
// ends the program through the error report.
void ShowMessage(Environment& env, short number);

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
