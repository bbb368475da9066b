#pragma once

#include <QLineEdit>

/// A digits-only edit with a range: the arrow keys (and the UpDownButtons beside it) step
/// the number within the range, while typing is free, so a screen can show and refuse a
/// number outside the range itself.
class UpDownEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit UpDownEdit(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    int Minimum() const
    {
        return m_minimum;
    }
    int Maximum() const
    {
        return m_maximum;
    }

    /// The number the text starts with; 0 when it starts with no digit. Saturates instead
    /// of overflowing.
    int ReadNumber() const;

    /// True when ReadNumber() lies within minimum..maximum. Otherwise says so with
    /// `messageFormat` (its %1 and %2 become the bounds), selects the text for retyping and
    /// returns false. Too many digits read as the largest number: out of range, never wrapped.
    bool AcceptsNumber(int minimum, int maximum, const QString& messageFormat);

    /// Moves the number by `delta` within the range and writes it into the text. A text
    /// without digits steps from the last number stepped to (first the minimum).
    void Step(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};
