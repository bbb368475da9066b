#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

/// The password switch ("PasswordEnabled") and the password's hash ("Password", four bytes,
/// least significant first). The password itself is never stored.
class PasswordStore
{
public:
    PasswordStore();

    /// Read from the settings at every call.
    bool IsEnabled() const;
    /// Written at once; false when the settings file could not be written.
    bool SetEnabled(bool enabled);
    /// Stores the text's hash; false when the hash is 0 (the empty text among others).
    bool SetPassword(const QString& text);
    /// Protection on with the text as the password: the hash is written and read back before
    /// the switch goes on, so protection never asks for a password that was not stored. False
    /// when the hash is 0 or the settings could not be written; protection and the stored hash
    /// are then as they were.
    bool EnableWithPassword(const QString& text);
    /// Whether the text's hash is the stored one. A stored value of another length than four
    /// bytes counts as none; the hash last stored or read in this process is compared then.
    bool Check(const QString& text);

private:
    QByteArray StoredHashBytes() const;

    uint32_t m_hash;
};

/// The process-wide password store.
PasswordStore& ThePasswordStore();
