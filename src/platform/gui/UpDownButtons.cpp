#include "platform/gui/UpDownButtons.h"

#include "platform/gui/UpDownEdit.h"

#include <QToolButton>

UpDownButtons::UpDownButtons(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { StepBuddy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { StepBuddy(-1); });
}

void UpDownButtons::SetBuddy(UpDownEdit* buddy)
{
    m_buddy = buddy;
}

UpDownEdit* UpDownButtons::Buddy() const
{
    return m_buddy;
}

void UpDownButtons::SetRange(int minimum, int maximum)
{
    if (m_buddy)
        m_buddy->SetRange(minimum, maximum);
}

void UpDownButtons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void UpDownButtons::StepBuddy(int delta)
{
    if (!m_buddy || !m_buddy->isEnabled())
        return;
    m_buddy->Step(delta);
    m_buddy->setFocus();
}
