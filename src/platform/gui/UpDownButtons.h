#pragma once

#include <QPointer>
#include <QWidget>

class QToolButton;
class UpDownEdit;

/// The up and down arrows beside an UpDownEdit (its buddy). Clicking steps the buddy's
/// number within the range; the range lives in the buddy.
class UpDownButtons : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownButtons(QWidget* parent = nullptr);

    void SetBuddy(UpDownEdit* buddy);
    UpDownEdit* Buddy() const;

    /// Sets the buddy's range; without a buddy nothing happens.
    void SetRange(int minimum, int maximum);

    QToolButton* UpButton() const
    {
        return m_up;
    }
    QToolButton* DownButton() const
    {
        return m_down;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void StepBuddy(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    QPointer<UpDownEdit> m_buddy;
};
