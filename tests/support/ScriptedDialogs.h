#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QString>

#include <deque>

namespace plx::test {

// Dialogs for tests: records every box shown and answers questions from a
// script (No when the script is empty).
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        MessageIcon icon;
        QString text;
        MessageButtons buttons;
        DefaultButton defaultButton;
    };

    void setNextAnswer(Answer answer) { m_answers.push_back(answer); }
    Answer show(MessageIcon icon, const QString& text, MessageButtons buttons, DefaultButton defaultButton) override
    {
        shown.append({icon, text, buttons, defaultButton});
        if (buttons == MessageButtons::Ok)
            return kAnswerOk;
        if (m_answers.empty())
            return kAnswerNo;
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        // Only a box that offers 中止 can be answered with it.
        if (answer == kAnswerStop && buttons != MessageButtons::YesNoStop)
            return kAnswerNo;
        return answer;
    }

    QStringList texts() const
    {
        QStringList out;
        for (const Shown& s : shown)
            out.append(s.text);
        return out;
    }

    QList<Shown> shown;

private:
    std::deque<Answer> m_answers;
};

} // namespace plx::test
