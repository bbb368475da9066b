#include "platform/MessageRecorder.h"

MessageRecorder::MessageRecorder()
{
    m_previous =
        SetMessageHandler([this](const QString& text, MessageButtons buttons, MessageIcon icon,
                                 MessageAnswer defaultAnswer) { return Answer(text, buttons, icon, defaultAnswer); });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageHandler(std::move(m_previous));
}

void MessageRecorder::QueueAnswer(MessageAnswer answer)
{
    m_answers.push_back(answer);
}

void MessageRecorder::SetObserver(std::function<void(const Message&)> observer)
{
    m_observer = std::move(observer);
}

const std::vector<MessageRecorder::Message>& MessageRecorder::Messages() const
{
    return m_messages;
}

QStringList MessageRecorder::Texts() const
{
    QStringList texts;
    for (const Message& message : m_messages)
        texts.append(message.text);
    return texts;
}

void MessageRecorder::Clear()
{
    m_messages.clear();
    m_answers.clear();
}

MessageAnswer
MessageRecorder::Answer(const QString& text, MessageButtons buttons, MessageIcon icon, MessageAnswer defaultAnswer)
{
    m_messages.push_back({text, buttons, icon, defaultAnswer});
    if (m_observer) {
        const Message shown = m_messages.back(); // the observer may show messages of its own
        m_observer(shown);
    }
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (!m_answers.empty()) {
        const MessageAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}
