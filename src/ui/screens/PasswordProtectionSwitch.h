#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QCheckBox;
class QWidget;

/// The password protection switch that the settings and welcome screens share: a screen's
/// check box and its "Set Password..." button, the state they show and the set-password flow.
///
/// Use: construct it in the screen's OnInitDialog with the two controls (it becomes a child
/// of the check box and listens to both controls' clicks itself, so the screen's OnCommand
/// needs no case for them):
///
///     new PasswordProtectionSwitch(ControlAs<QCheckBox>(kIdcWelcomePassword),
///                                  ControlAs<QPushButton>(kIdcWelcomeSetPassword),
///                                  PasswordProtectionSwitch::Opening::FromStore);
///
/// What it does:
/// - The box reads "Password protection: enabled" while checked and "Password protection:
///   disabled" while not; "Set Password..." is enabled only while it is checked. The box
///   opens with the stored state (Opening::FromStore) or unchecked (Opening::Unchecked).
/// - Unchecking the box switches protection off at once.
/// - Checking the box, or "Set Password...", runs the set-password flow: the "Set Password"
///   dialog runs as a page over the window the screen runs in. Only OK with two matching
///   non-empty copies changes the password: the hash is stored and read back, then protection
///   goes on. OK with an empty password the user agreed to switches protection off. Cancel
///   (or Esc, or closing) changes nothing. A failed write says "The password could not be
///   saved." and leaves protection as it was.
/// - After every flow the box shows what is stored (PasswordStore::IsEnabled).
/// Everything is written at once: cancelling the screen afterwards undoes none of it.
class PasswordProtectionSwitch : public QObject
{
    Q_OBJECT

public:
    enum class Opening {
        FromStore, ///< checked when protection is on (the settings and welcome screens)
        Unchecked, ///< unchecked whatever is stored
    };

    PasswordProtectionSwitch(QCheckBox* box, QAbstractButton* setPassword, Opening opening);

    /// The label of the box and the enabling of the button, from the box's state.
    void ShowState();

    /// The set-password flow, as "Set Password..." runs it. True when a password was stored.
    bool RunSetPasswordFlow();

    static QString StateLabel(bool enabled);

private:
    void OnBoxClicked(bool checked);
    void ShowStoredState();
    QWidget* PageHost() const;

    QPointer<QCheckBox> m_box;
    QPointer<QAbstractButton> m_setPassword;
    bool m_flowRunning = false;
};
