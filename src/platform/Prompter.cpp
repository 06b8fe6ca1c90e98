#include "platform/Prompter.h"

#include "store/Messages.h"

Prompter::Answer showRendered(Prompter& prompter, const RenderedMessage& message)
{
    const Prompter::Style style = message.style == StoreMessage::Style::Critical ? Prompter::Critical
                                                                               : Prompter::Exclamation;
    return prompter.message(QString::fromLocal8Bit(message.title), QString::fromLocal8Bit(message.text), style,
                            QString::fromLocal8Bit(message.details));
}
