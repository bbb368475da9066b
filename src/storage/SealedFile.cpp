#include "storage/SealedFile.h"

#include <QtEndian>

#include <sodium.h>

#include <cstring>

namespace {
constexpr char kMagic[8] = {'V', 'L', 'M', 'S', 'E', 'A', 'L', 'D'};
constexpr uint16_t kVersion = 1;
constexpr int kKeySize = crypto_aead_xchacha20poly1305_ietf_KEYBYTES;
constexpr int kNonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr int kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr int kPassesAt = 12;
constexpr int kMemoryAt = 16;
constexpr int kPasswordSaltAt = 20;
constexpr int kWriteSaltAt = 36;
constexpr int kNonceAt = 52;
static_assert(kNonceAt + kNonceSize + 12 == SealedFile::kHeaderSize);
static_assert(kKeySize == 32 && kNonceSize == 24 && SealKey::kSaltSize == crypto_pwhash_SALTBYTES);

bool SodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// The key of one write: BLAKE2b keyed with the password key over the write's salt.
void WriteKey(const SealKey& key, const unsigned char* writeSalt, unsigned char* out)
{
    crypto_generichash(out, kKeySize, writeSalt, SealKey::kSaltSize, key.Bytes(), kKeySize);
}

const unsigned char* Bytes(const QByteArray& data, int at = 0)
{
    return reinterpret_cast<const unsigned char*>(data.constData()) + at;
}

SealCost& NewCost()
{
    static SealCost cost = SealedFile::kCost;
    return cost;
}

std::unique_ptr<SealKey>& SessionKey()
{
    static std::unique_ptr<SealKey> key;
    return key;
}
} // namespace

SealKey::SealKey(const SealCost& cost, const Salt& salt) : m_cost(cost), m_salt(salt)
{
    // sodium_malloc puts the key between guard pages and locks it against swapping.
    m_key = static_cast<unsigned char*>(sodium_malloc(kKeySize));
}

SealKey::~SealKey()
{
    if (m_key) {
        sodium_memzero(m_key, kKeySize);
        sodium_free(m_key);
    }
}

std::unique_ptr<SealKey> SealKey::Derive(const QString& password, const SealCost& cost, const Salt& salt)
{
    if (!SodiumReady())
        return nullptr;
    std::unique_ptr<SealKey> key(new SealKey(cost, salt));
    if (!key->m_key)
        return nullptr;
    QByteArray utf8 = password.toUtf8();
    const int failed =
        crypto_pwhash(key->m_key, kKeySize, utf8.constData(), static_cast<unsigned long long>(utf8.size()), salt.data(),
                      cost.passes, size_t{cost.memoryKiB} * 1024, crypto_pwhash_ALG_ARGON2ID13);
    sodium_memzero(utf8.data(), static_cast<size_t>(utf8.size()));
    if (failed != 0)
        return nullptr;
    return key;
}

std::unique_ptr<SealKey> SealKey::DeriveNew(const QString& password)
{
    if (!SodiumReady())
        return nullptr;
    Salt salt;
    randombytes_buf(salt.data(), salt.size());
    return Derive(password, SealedFile::NewKeyCost(), salt);
}

SealCost SealedFile::NewKeyCost()
{
    return NewCost();
}

void SealedFile::SetNewKeyCostForTesting(const SealCost& cost)
{
    NewCost() = cost;
}

bool SealedFile::IsSealed(const QByteArray& head)
{
    return head.startsWith(QByteArray::fromRawData(kMagic, sizeof kMagic));
}

QByteArray SealedFile::Seal(const QByteArray& plain, const SealKey& key)
{
    if (!SodiumReady())
        return QByteArray();
    QByteArray file(kHeaderSize + plain.size() + kTagSize, '\0');
    auto* const out = reinterpret_cast<unsigned char*>(file.data());
    std::memcpy(out, kMagic, sizeof kMagic);
    qToLittleEndian<uint16_t>(kVersion, out + 8);
    qToLittleEndian<uint32_t>(key.Cost().passes, out + kPassesAt);
    qToLittleEndian<uint32_t>(key.Cost().memoryKiB, out + kMemoryAt);
    std::memcpy(out + kPasswordSaltAt, key.PasswordSalt().data(), SealKey::kSaltSize);
    randombytes_buf(out + kWriteSaltAt, SealKey::kSaltSize);
    randombytes_buf(out + kNonceAt, kNonceSize);

    unsigned char writeKey[kKeySize];
    WriteKey(key, out + kWriteSaltAt, writeKey);
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(out + kHeaderSize, &written, Bytes(plain),
                                               static_cast<unsigned long long>(plain.size()), out, kHeaderSize, nullptr,
                                               out + kNonceAt, writeKey);
    sodium_memzero(writeKey, sizeof writeKey);
    return file;
}

bool SealedFile::ReadKeyParameters(const QByteArray& file, SealCost& cost, SealKey::Salt& salt, QString& reason)
{
    if (!IsSealed(file)) {
        reason = QStringLiteral("is not sealed with a password");
        return false;
    }
    if (file.size() < kHeaderSize + kTagSize) {
        reason = QStringLiteral("is cut short");
        return false;
    }
    if (qFromLittleEndian<uint16_t>(Bytes(file, 8)) != kVersion) {
        reason = QStringLiteral("was sealed by a newer version of Velumina or is damaged");
        return false;
    }
    cost.passes = qFromLittleEndian<uint32_t>(Bytes(file, kPassesAt));
    cost.memoryKiB = qFromLittleEndian<uint32_t>(Bytes(file, kMemoryAt));
    // A damaged or forged header must not make the unlock take all memory or all day.
    if (cost.passes < crypto_pwhash_OPSLIMIT_MIN || cost.passes > kMostPasses ||
        size_t{cost.memoryKiB} * 1024 < crypto_pwhash_MEMLIMIT_MIN || cost.memoryKiB > kMostMemoryKiB) {
        reason = QStringLiteral("asks for an impossible key derivation (damaged header)");
        return false;
    }
    std::memcpy(salt.data(), Bytes(file, kPasswordSaltAt), salt.size());
    return true;
}

SealedFile::Opened SealedFile::Open(const QByteArray& file, const SealKey& key, QByteArray& plain, QString& reason)
{
    SealCost cost;
    SealKey::Salt salt;
    if (!SodiumReady() || !ReadKeyParameters(file, cost, salt, reason))
        return Opened::Damaged;
    if (salt != key.PasswordSalt() || cost.passes != key.Cost().passes || cost.memoryKiB != key.Cost().memoryKiB) {
        reason = QStringLiteral("was not sealed with this password");
        return Opened::WrongKey;
    }
    unsigned char writeKey[kKeySize];
    WriteKey(key, Bytes(file, kWriteSaltAt), writeKey);
    plain.resize(file.size() - kHeaderSize - kTagSize);
    unsigned long long length = 0;
    const int failed = crypto_aead_xchacha20poly1305_ietf_decrypt(
        reinterpret_cast<unsigned char*>(plain.data()), &length, nullptr, Bytes(file, kHeaderSize),
        static_cast<unsigned long long>(file.size() - kHeaderSize), Bytes(file), kHeaderSize, Bytes(file, kNonceAt),
        writeKey);
    sodium_memzero(writeKey, sizeof writeKey);
    if (failed != 0) {
        plain.clear();
        reason = QStringLiteral("was not sealed with this password, or was changed since it was saved");
        return Opened::WrongKey;
    }
    return Opened::Ok;
}

SealedFile::Opened SealedFile::OpenWithPassword(
    const QByteArray& file, const QString& password, std::unique_ptr<SealKey>& key, QByteArray& plain, QString& reason)
{
    SealCost cost;
    SealKey::Salt salt;
    if (!ReadKeyParameters(file, cost, salt, reason))
        return Opened::Damaged;
    std::unique_ptr<SealKey> derived = SealKey::Derive(password, cost, salt);
    if (!derived) {
        reason = QStringLiteral("could not be opened: the memory for the key derivation is lacking");
        return Opened::Damaged;
    }
    const Opened opened = Open(file, *derived, plain, reason);
    if (opened == Opened::Ok)
        key = std::move(derived);
    return opened;
}

const SealKey* SessionSealKey()
{
    return SessionKey().get();
}

void SetSessionSealKey(std::unique_ptr<SealKey> key)
{
    SessionKey() = std::move(key);
}

void ForgetSessionSealKey()
{
    SessionKey().reset();
}
