#pragma once

#include "platform/MessageBox.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

/// Installs itself as the message handler for its lifetime, records every message and
/// answers from a script. An unscripted question gets the safe answer (No, Cancel).
class MessageRecorder
{
public:
    struct Message
    {
        QString text;
        MessageButtons buttons;
        MessageIcon icon;
        MessageAnswer defaultAnswer; ///< the button Enter would press
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    /// The next question is answered with `answer`; answers are used in the order queued.
    void QueueAnswer(MessageAnswer answer);
    /// Runs while a message is shown, before it is answered: what the screen shows behind
    /// the box, or what the user does meanwhile (closing the main window).
    void SetObserver(std::function<void(const Message&)> observer);

    const std::vector<Message>& Messages() const;
    QStringList Texts() const;
    void Clear();

private:
    MessageAnswer Answer(const QString& text, MessageButtons buttons, MessageIcon icon, MessageAnswer defaultAnswer);

    std::vector<Message> m_messages;
    std::function<void(const Message&)> m_observer;
    std::deque<MessageAnswer> m_answers;
    MessageHandler m_previous;
};
