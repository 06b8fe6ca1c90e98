#pragma once

#include "platform/Prompter.h"

// The real message boxes.
class MessageBoxPrompter final : public Prompter {
public:
    Answer message(const QString& title, const QString& text, Style style,
                   const QString& details) override;
};
