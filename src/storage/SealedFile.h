#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// The data file sealed with her password: the bytes of the scrambled file, encrypted and
// authenticated with XChaCha20-Poly1305 under a key derived from the password with Argon2id.
//
// Layout (all numbers little-endian), 88 bytes of header, then the sealed bytes:
//   0  8  magic "VLMSEALD"
//   8  2  format version (1)
//  10  2  reserved, 0
//  12  4  Argon2id passes
//  16  4  Argon2id memory in KiB
//  20 16  salt of the password key (new with every password)
//  36 16  salt of this write (new with every write)
//  52 24  nonce of this write
//  76 12  reserved, 0
//  88  …  ciphertext of the scrambled file, 16 bytes longer (the authentication tag)
// The whole header is authenticated with the ciphertext. Each write encrypts with its own
// key, BLAKE2b keyed with the password key over the write's salt, so a session derives the
// costly password key once and still never reuses a key and nonce pair.

/// Argon2id's cost: passes and memory.
struct SealCost
{
    uint32_t passes = 0;
    uint32_t memoryKiB = 0;
};

/// The password key of one password and salt, in memory that is locked against swapping
/// where the system allows it and wiped when the key is destroyed.
class SealKey
{
public:
    static constexpr int kSaltSize = 16;
    using Salt = std::array<unsigned char, kSaltSize>;

    /// Derives the key from the password (as UTF-8). Null when the memory could not be had.
    static std::unique_ptr<SealKey> Derive(const QString& password, const SealCost& cost, const Salt& salt);
    /// Derives with the cost new files get and a new random salt.
    static std::unique_ptr<SealKey> DeriveNew(const QString& password);

    ~SealKey();
    SealKey(const SealKey&) = delete;
    SealKey& operator=(const SealKey&) = delete;

    const SealCost& Cost() const
    {
        return m_cost;
    }
    const Salt& PasswordSalt() const
    {
        return m_salt;
    }
    const unsigned char* Bytes() const
    {
        return m_key;
    }

private:
    SealKey(const SealCost& cost, const Salt& salt);

    SealCost m_cost;
    Salt m_salt{};
    unsigned char* m_key = nullptr;
};

namespace SealedFile {
/// The cost of the password key in files written from now on: one unlock takes well under a
/// second on an ordinary computer.
inline constexpr SealCost kCost{2, 64 * 1024};
/// The most memory a file may ask for: a file asking more is refused as damaged, not obeyed.
inline constexpr uint32_t kMostMemoryKiB = 256 * 1024;
inline constexpr uint32_t kMostPasses = 16;
inline constexpr int kHeaderSize = 88;

/// The cost new keys get: kCost, or what tests set (the smallest Argon2id allows keeps them fast).
SealCost NewKeyCost();
void SetNewKeyCostForTesting(const SealCost& cost);

/// Whether the bytes begin like a sealed file.
bool IsSealed(const QByteArray& head);

/// The encrypted file of `plain` under `key`: a new write salt and nonce each time.
QByteArray Seal(const QByteArray& plain, const SealKey& key);

enum class Opened {
    Ok,       ///< `plain` holds the bytes
    Damaged,  ///< not a readable sealed file (cut short, unknown version, impossible cost)
    WrongKey, ///< not sealed by this key: a wrong password, or some byte changed since
};

/// Reads the password key's cost and salt from a sealed file's header. False (with `reason`
/// in words that complete "the file ...") when the header is unusable.
bool ReadKeyParameters(const QByteArray& file, SealCost& cost, SealKey::Salt& salt, QString& reason);

/// Opens a sealed file with `key`.
Opened Open(const QByteArray& file, const SealKey& key, QByteArray& plain, QString& reason);

/// Derives the key from `password` with the file's own cost and salt and opens it; the key
/// is kept in `key` when it opened.
Opened OpenWithPassword(
    const QByteArray& file, const QString& password, std::unique_ptr<SealKey>& key, QByteArray& plain, QString& reason);
} // namespace SealedFile

/// The key the data file of this session is sealed with: none while protection is off. Kept
/// from the unlock to the end of the process, so that saves do not derive it again.
const SealKey* SessionSealKey();
void SetSessionSealKey(std::unique_ptr<SealKey> key);
/// Wipes the session key (at exit, and when protection goes off).
void ForgetSessionSealKey();
