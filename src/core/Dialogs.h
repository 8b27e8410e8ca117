#pragma once

#include <QString>

namespace plx {

// The title every message box of the program carries.
inline const QString kMessageTitle = QStringLiteral("PLX-90ﾒｯｾｰｼﾞ");

enum class MessageIcon { Critical, Question, Exclamation, Information };
// YesNoStop: はい / いいえ and 中止, which stops the whole run the question
// belongs to; Esc answers いいえ.
enum class MessageButtons { Ok, YesNo, YesNoStop };
enum class DefaultButton { First, No };

// The button a message box returns, with the values the program has always
// compared with.
enum Answer : short {
    kAnswerOk = 1,
    kAnswerStop = 3, // 中止 of a YesNoStop box
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// Shows a message box and returns the button pressed (kAnswerOk, kAnswerYes,
// kAnswerNo, or kAnswerStop from a YesNoStop box). Implemented by message boxes in the windows, by the console in the
// command line and by a script in tests.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual Answer show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton defaultButton) = 0;
};

} // namespace plx
