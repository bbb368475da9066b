#pragma once

#include <QWheelEvent>

/// Adds a wheel's turns up into whole notches, so that a fine wheel or a touchpad steps as
/// often as a notched wheel: a control that steps once a notch takes its steps from here.
class WheelNotches
{
public:
    /// The whole notches completed with `event`, positive when turned up (away from the
    /// user); the rest is kept for the next event.
    int Take(const QWheelEvent& event)
    {
        m_remainder += event.angleDelta().y();
        const int notches = m_remainder / QWheelEvent::DefaultDeltasPerStep;
        m_remainder -= notches * QWheelEvent::DefaultDeltasPerStep;
        return notches;
    }

private:
    int m_remainder = 0;
};
