#pragma once

#include <QString>

struct RenderedMessage;

// Message boxes: every one the program shows goes through here, so a test can answer
// them. A style is an icon with the buttons that go with it.
class Prompter {
public:
    enum Style {
        Critical = 16,      // critical icon, OK
        Exclamation = 48,   // exclamation icon, OK
        RetryCancel = 53,   // exclamation icon, Retry and Cancel
        YesNoQuestion = 36, // question icon, Yes and No
    };
    enum Answer { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

    virtual ~Prompter() = default;
    // Shows the message modally and returns the button pressed (Cancel/No when closed).
    // details, when given, is the reason behind a message whose words are fixed: the box
    // offers it on request, so the text stays as it is and the reason is not lost.
    virtual Answer message(const QString& title, const QString& text, Style style,
                           const QString& details = {}) = 0;
};

// Shows a message of the store (msg::render, msg::gather) in words, with the icon its
// weight calls for.
Prompter::Answer showRendered(Prompter& prompter, const RenderedMessage& message);
