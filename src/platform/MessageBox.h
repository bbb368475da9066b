#pragma once

#include <QString>

#include <functional>

// The one message routine of the program. The core calls ShowMessage; the GUI installs a
// handler that shows a modal box captioned "Velumina"; tests install a MessageRecorder.
// Without a handler the text goes to stderr and the answer is the safe one (No, Cancel).

enum class MessageIcon {
    Default, ///< warning for OK and OK/Cancel boxes, question for Yes/No boxes
    Information,
    Warning,
    Question,
    Error,
};

enum class MessageButtons {
    Ok,
    OkCancel,
    YesNo,
};

enum class MessageAnswer {
    Ok,
    Cancel,
    Yes,
    No,
};

using MessageHandler = std::function<MessageAnswer(const QString& text, MessageButtons buttons, MessageIcon icon)>;

/// Shows `text` to the user and returns the answer.
MessageAnswer
ShowMessage(const QString& text, MessageButtons buttons = MessageButtons::Ok, MessageIcon icon = MessageIcon::Default);

/// The icon a box really gets: Default resolves to warning or question by the buttons.
MessageIcon EffectiveIcon(MessageButtons buttons, MessageIcon icon);

/// Installs the handler that shows messages; an empty handler restores the stderr fallback.
/// Returns the handler that was installed before.
MessageHandler SetMessageHandler(MessageHandler handler);
