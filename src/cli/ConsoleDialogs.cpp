#include "ConsoleDialogs.h"

#include <cstdio>

namespace plx::cli {

Answer ConsoleDialogs::show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const char* tag = icon == MessageIcon::Critical ? "エラー" : icon == MessageIcon::Exclamation ? "注意" : "情報";
    if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoStop) {
        const Answer answer = m_answerYes ? kAnswerYes : kAnswerNo;
        std::fprintf(stderr, "%s [%s] %s -> %s\n", kMessageTitle.toUtf8().constData(), "質問",
                     shown.toUtf8().constData(), answer == kAnswerYes ? "はい" : "いいえ");
        return answer;
    }
    std::fprintf(stderr, "%s [%s] %s\n", kMessageTitle.toUtf8().constData(), tag, shown.toUtf8().constData());
    return kAnswerOk;
}

} // namespace plx::cli
