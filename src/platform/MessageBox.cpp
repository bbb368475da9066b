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
    case MessageButtons::SaveDiscardCancel:
    case MessageButtons::AddReplaceCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

bool HasButton(MessageButtons buttons, MessageAnswer answer)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return answer == MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::SaveDiscardCancel:
        return answer == MessageAnswer::Save || answer == MessageAnswer::Discard || answer == MessageAnswer::Cancel;
    case MessageButtons::AddReplaceCancel:
        return answer == MessageAnswer::Add || answer == MessageAnswer::Replace || answer == MessageAnswer::Cancel;
    }
    return false;
}
} // namespace

MessageIcon EffectiveIcon(MessageButtons buttons, MessageIcon icon)
{
    if (icon != MessageIcon::Default)
        return icon;
    const bool question = buttons == MessageButtons::YesNo || buttons == MessageButtons::SaveDiscardCancel ||
                          buttons == MessageButtons::AddReplaceCancel;
    return question ? MessageIcon::Question : MessageIcon::Warning;
}

MessageAnswer EffectiveDefault(MessageButtons buttons, std::optional<MessageAnswer> defaultAnswer)
{
    if (defaultAnswer && HasButton(buttons, *defaultAnswer))
        return *defaultAnswer;
    switch (buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::Yes;
    case MessageButtons::SaveDiscardCancel:
        return MessageAnswer::Save;
    case MessageButtons::AddReplaceCancel:
        return MessageAnswer::Add;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageAnswer::Ok;
}

MessageAnswer
ShowMessage(const QString& text, MessageButtons buttons, MessageIcon icon, std::optional<MessageAnswer> defaultAnswer)
{
    const MessageHandler& handler = InstalledHandler();
    if (handler)
        return handler(text, buttons, icon, EffectiveDefault(buttons, defaultAnswer));
    std::fprintf(stderr, "Velumina: %s\n", text.toLocal8Bit().constData());
    return SafeAnswer(buttons);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
