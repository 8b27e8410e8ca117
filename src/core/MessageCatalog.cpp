#include "MessageCatalog.h"

#include "Dialogs.h"
#include "Environment.h"
#include "ErrorReport.h"
#include "text/Cp932.h"
#include "text/Decimal.h"

#include <QFile>

#include <cmath>

namespace plx {

CatalogReader::CatalogReader(QString text) : m_text(std::move(text)) {}

bool CatalogReader::atLineEnd() const
{
    return m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('\r') || m_text[m_pos] == QLatin1Char('\n'));
}

void CatalogReader::skipBlankLines()
{
    while (m_pos < m_text.size()) {
        const QChar c = m_text[m_pos];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            ++m_pos;
        else
            break;
    }
}

QString CatalogReader::nextField()
{
    // A field that starts at a line end takes its value from the next line.
    skipBlankLines();
    QString value;
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"')) {
        ++m_pos;
        // A quoted field ends at its closing quote; texts never span lines, so an
        // unclosed quote ends at the line end instead of swallowing the file.
        while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char('"') && !atLineEnd())
            value += m_text[m_pos++];
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"'))
            ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(',') && !atLineEnd())
            ++m_pos;
    } else {
        while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(',') && !atLineEnd())
            value += m_text[m_pos++];
        while (value.endsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char('\t')))
            value.chop(1);
    }
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(','))
        ++m_pos;
    else if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('\r'))
        m_pos += (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\n')) ? 2 : 1;
    else if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('\n'))
        ++m_pos;
    return value;
}

std::optional<CatalogRecord> CatalogReader::next()
{
    skipBlankLines();
    if (m_pos >= m_text.size())
        return std::nullopt;
    CatalogRecord r;
    r.number = nextField();
    r.kind = nextField();
    r.text = nextField();
    return r;
}

void DisplayWidth(QStringView text, short& width)
{
    int w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character; CP932 cannot hold it, so it reads as "?".
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            w += 1;
            continue;
        }
        const char16_t c = cp932::decode(cp932::encode(text.mid(i, 1))).at(0).unicode();
        const bool hasWideForm = (c >= 0x20 && c <= 0x7E) || (c >= 0xFF61 && c <= 0xFF9F);
        w += hasWideForm ? 1 : 2;
    }
    width = static_cast<short>(w);
}

QString centreOn44(const QString& line)
{
    short w = 0;
    DisplayWidth(line, w);
    if (w >= 44)
        return line;
    const int pad = static_cast<int>(std::nearbyint((44 - w) / 2.0)); // halves to even
    return QString(pad, QLatin1Char(' ')) + line;
}

namespace {

struct Found
{
    CatalogRecord record;
    bool found = false;
};

Found findMessage(Environment& env, short number)
{
    QFile file(env.paths.msgPath);
    if (!file.open(QIODevice::ReadOnly))
        reportAndEnd(env, kMessageErrorLabel + QStringLiteral("ファイルが見つかりません。"));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        reportAndEnd(env, kMessageErrorLabel + QStringLiteral("ファイルを読み込めません。"));
    file.close();

    CatalogReader reader(cp932::decode(bytes));
    while (auto record = reader.next()) {
        const auto value = Decimal::parse(record->number);
        if (!value)
            reportAndEnd(env, kMessageErrorLabel + QStringLiteral("型が一致しません。"));
        if (*value == Decimal(number))
            return {std::move(*record), true};
    }
    return {};
}

} // namespace

QString MessageText(Environment& env, short number)
{
    Found found = findMessage(env, number);
    return found.found ? found.record.text : kUnknownMessageText;
}

namespace {

// The numbers, as the catalogue writes them, whose box asks Yes or No: the
// first with Yes, the second with No as the default button.
const QStringList kYesNo = {"200", "210", "130", "131", "132", "133", "134", "135"};
const QStringList kYesNoDefaultNo = {"006", "012", "503", "640"};

// Shows message `number` as the catalogue has it and returns the button
// pressed. `output` holds the decorations of the 200/210 questions: the
// ordering company, the counts and the layout file; other messages pass none.
// `lead` are lines shown above the catalogue's text.
Answer showMessage(Environment& env, short number, const OutputQuestion* output, const QStringList& lead = {})
{
    Found found = findMessage(env, number);
    if (!found.found)
        return env.dialogs->show(MessageIcon::Critical, kUnknownMessageText, MessageButtons::Ok, DefaultButton::First);
    const CatalogRecord& r = found.record;

    MessageIcon icon = MessageIcon::Information;
    if (r.kind == QLatin1String("1"))
        icon = MessageIcon::Critical;
    else if (r.kind == QLatin1String("2"))
        icon = MessageIcon::Question;
    else if (r.kind == QLatin1String("3"))
        icon = MessageIcon::Exclamation;

    QString text = r.text;
    if (r.number == QLatin1String("640")) {
        text = QStringLiteral("\"処理済ﾌｧｲﾙ\"") + text;
    } else if (r.number == QLatin1String("650")) {
        text += QLatin1Char('"');
    } else if (r.number == QLatin1String("200") || r.number == QLatin1String("210")) {
        const OutputQuestion none;
        const OutputQuestion& q = output ? *output : none;
        const QString line1 = QStringLiteral("出力対象  ") + QString::number(q.items) + QStringLiteral("件(用紙  ") +
                              QString::number(q.sheets) + QStringLiteral("枚)");
        const QString line2 = QLatin1Char('(') + q.formFile.left(36).trimmed() + QLatin1Char(')');
        const QString code = q.ordererCode.trimmed();
        const QString name = q.ordererName.trimmed();
        if (!code.isEmpty() || !name.isEmpty()) {
            const QString company = QStringLiteral("発注者  ") + code +
                                    (code.isEmpty() || name.isEmpty() ? QString() : QStringLiteral("  ")) + name;
            text += QStringLiteral("\r\n") + centreOn44(company);
        }
        text += QStringLiteral("\r\n") + centreOn44(line1) + QStringLiteral("\r\n") + centreOn44(line2);
    }

    if (!lead.isEmpty())
        text = lead.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n") + text;

    if (kYesNo.contains(r.number)) {
        // A print question also offers 中止, which stops the whole run.
        const MessageButtons buttons = output ? MessageButtons::YesNoStop : MessageButtons::YesNo;
        return env.dialogs->show(icon, text, buttons, DefaultButton::First);
    }
    if (kYesNoDefaultNo.contains(r.number))
        return env.dialogs->show(icon, text, MessageButtons::YesNo, DefaultButton::No);
    return env.dialogs->show(icon, text, MessageButtons::Ok, DefaultButton::First);
}

// Shows message `number` and returns the button pressed. A question that
// could not be put to the operator with Yes and No (its number is missing from
// the catalogue, or written so that the box gets an OK button only) is
// answered No: every question guards a change, and an unanswered one must not
// let the change go ahead, however the caller reads the answer.
Answer ask(Environment& env, short number, const OutputQuestion* output, const QStringList& lead = {})
{
    const Answer answer = showMessage(env, number, output, lead);
    if (output && answer == kAnswerStop)
        return kAnswerStop;
    if (isQuestion(number) && answer != kAnswerYes)
        return kAnswerNo;
    return answer;
}

} // namespace

bool isQuestion(short number)
{
    const QString written = QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
    return kYesNo.contains(written) || kYesNoDefaultNo.contains(written);
}

Answer ShowMessage(Environment& env, short number)
{
    return ask(env, number, nullptr);
}

Answer ShowMessage(Environment& env, short number, const QStringList& lead)
{
    return ask(env, number, nullptr, lead);
}

Answer ShowOutputQuestion(Environment& env, short number, const OutputQuestion& question)
{
    return ask(env, number, &question);
}

} // namespace plx
