#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

/// The password switch ("PasswordEnabled") and what an earlier version kept of the password:
/// its 32-bit check value ("Password", four bytes, least significant first). The check value
/// is only read, to convert such an install once (DataProtection), and then removed: the
/// password is checked by opening the sealed data file.
class PasswordStore
{
public:
    PasswordStore();

    /// Read from the settings at every call.
    bool IsEnabled() const;
    /// Written at once; false when the settings file could not be written.
    bool SetEnabled(bool enabled);
    /// Whether the text's hash is the stored check value. A stored value of another length
    /// than four bytes counts as none; the hash last read in this process is compared then.
    bool Check(const QString& text);
    /// The stored check value, as stored; empty when there is none.
    QByteArray StoredHashBytes() const;
    /// Removes the check value.
    bool ForgetCheckValue();

private:
    uint32_t m_hash;
};

/// The process-wide password store.
PasswordStore& ThePasswordStore();
