#pragma once

#include <QString>

#include <functional>

// Password protection of the data file. The data file is the truth: while it is sealed
// (SealedFile), protection is on, and the password is checked by opening it; no check value
// of the password is stored. "PasswordEnabled" in the settings follows the file.
//
// Every change (on, off, a new password) is one atomic replacement of the data file, after
// which the settings are brought in line: a kill at any moment leaves a file that opens with
// the old or the new password and holds every day.
namespace DataProtection {
enum class Unlock {
    Opened,        ///< the session key is set (or nothing needed one)
    WrongPassword, ///< or a file changed since it was sealed: the two cannot be told apart
    Damaged,       ///< a sealed file whose header is unusable (the message says why)
};

/// Whether the interactive start must ask for the password: the data file is sealed, or an
/// earlier version's protection (a check value and a scrambled file) awaits conversion.
bool NeedsPassword();

/// Whether protection is on: the data file is sealed.
bool IsOn();

/// Checks the password at start-up by opening the data file with it and keeps the key for
/// the session. An earlier version's file is converted here: checked against its check
/// value, sealed, and the check value removed. `message` says what went wrong for Damaged,
/// or why a conversion did not happen (the start goes on with the file as it was).
Unlock OpenSession(const QString& password, QString& message);

/// Whether `password` opens the data file now (switching off asks for it).
bool IsCurrentPassword(const QString& password);

/// Seals the data file with a new password: switches protection on, or sets a new password.
/// False with `error` set when nothing changed.
bool SetPassword(const QString& password, QString& error);

/// Switches protection off after checking `currentPassword`: the file goes back to the
/// scrambled form. False with `error` set when nothing changed.
bool SwitchOff(const QString& currentPassword, QString& error);

/// Brings "PasswordEnabled" in line with the file, after a change cut short.
void SettleSwitch();

/// Called between any two steps of a change that write something (tests kill the process there).
void SetStepObserverForTesting(std::function<void()> observer);
} // namespace DataProtection
