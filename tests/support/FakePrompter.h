#pragma once

#include "platform/Prompter.h"

#include <QString>

#include <deque>
#include <vector>

// Records every message and answers from a script (then with the default answer).
class FakePrompter final : public Prompter {
public:
    struct Shown {
        QString title;
        QString text;
        Style style;
        QString details;
    };

    Answer message(const QString& title, const QString& text, Style style, const QString& details) override
    {
        shown.push_back({title, text, style, details});
        if (answers.empty())
            return style == RetryCancel ? Cancel : style == YesNoQuestion ? No : Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
};
