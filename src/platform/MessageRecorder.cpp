#include "platform/MessageRecorder.h"

MessageRecorder::MessageRecorder()
{
    m_previous = SetMessageHandler(
        [this](const QString& text, MessageButtons buttons, MessageIcon icon) { return Answer(text, buttons, icon); });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageHandler(std::move(m_previous));
}

void MessageRecorder::QueueAnswer(MessageAnswer answer)
{
    m_answers.push_back(answer);
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

MessageAnswer MessageRecorder::Answer(const QString& text, MessageButtons buttons, MessageIcon icon)
{
    m_messages.push_back({text, buttons, icon});
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (!m_answers.empty()) {
        const MessageAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}
