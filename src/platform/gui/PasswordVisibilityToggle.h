#pragma once

#include <QObject>

class QAction;
class QLineEdit;

/// An eye button at the end of a password field that shows the typed text or hides it again;
/// Ctrl+H does the same while the field has the focus, since the button takes no focus. The
/// eye is drawn in the field's text colour and follows a change of the theme.
class PasswordVisibilityToggle : public QObject
{
    Q_OBJECT

public:
    /// Adds the button to `edit`, which owns the toggle; the text starts hidden.
    explicit PasswordVisibilityToggle(QLineEdit* edit);

    /// True while the typed text is shown.
    bool IsShown() const;
    void SetShown(bool shown);

    QAction* Action() const
    {
        return m_action;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateAction();

    QLineEdit* m_edit;
    QAction* m_action;
};
