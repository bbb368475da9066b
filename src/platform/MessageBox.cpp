#include "platform/MessageBox.h"

#include <cstdio>

namespace {
MessageHandler& InstalledHandler()
{
    static MessageHandler handler;
    return handler;
}

MessageAnswer SafeAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}
} // namespace

MessageIcon EffectiveIcon(MessageButtons buttons, MessageIcon icon)
{
    if (icon != MessageIcon::Default)
        return icon;
    return buttons == MessageButtons::YesNo ? MessageIcon::Question : MessageIcon::Warning;
}

MessageAnswer ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon)
{
    const MessageHandler& handler = InstalledHandler();
    if (handler)
        return handler(text, buttons, icon);
    std::fprintf(stderr, "Velumina: %s\n", text.toLocal8Bit().constData());
    return SafeAnswer(buttons);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
