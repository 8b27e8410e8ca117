#pragma once

#include "core/Dialogs.h"

namespace plx::cli {

// Message boxes on the console: the text goes to stderr, questions are answered
// Yes only when the command was given --yes.
class ConsoleDialogs : public Dialogs
{
public:
    explicit ConsoleDialogs(bool answerYes = false) : m_answerYes(answerYes) {}
    Answer show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton defaultButton) override;

private:
    bool m_answerYes;
};

} // namespace plx::cli
