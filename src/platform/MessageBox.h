#pragma once

#include <QString>

#include <functional>
#include <optional>

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
    SaveDiscardCancel, ///< leaving edits: Escape and closing the box mean Cancel
    AddReplaceCancel,  ///< imported days: "Add to my days", "Replace my days", Cancel (also Escape)
};

enum class MessageAnswer {
    Ok,
    Cancel,
    Yes,
    No,
    Save,
    Discard,
    Add,
    Replace,
};

/// Gets the text, the buttons, the icon and the button that Enter presses.
using MessageHandler = std::function<MessageAnswer(
    const QString& text, MessageButtons buttons, MessageIcon icon, MessageAnswer defaultAnswer)>;

/// Shows `text` to the user and returns the answer. `defaultAnswer` names the button Enter
/// presses (No for a destructive question); without it, the first button.
MessageAnswer ShowMessage(const QString& text,
                          MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::Default,
                          std::optional<MessageAnswer> defaultAnswer = std::nullopt);

/// The icon a box really gets: Default resolves to warning or question by the buttons.
MessageIcon EffectiveIcon(MessageButtons buttons, MessageIcon icon);

/// The button Enter presses: `defaultAnswer` when the box has that button, else its first.
MessageAnswer EffectiveDefault(MessageButtons buttons, std::optional<MessageAnswer> defaultAnswer);

/// Installs the handler that shows messages; an empty handler restores the stderr fallback.
/// Returns the handler that was installed before.
MessageHandler SetMessageHandler(MessageHandler handler);
