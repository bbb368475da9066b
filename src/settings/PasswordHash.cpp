#include "settings/PasswordHash.h"

#include "platform/SharedGenerator.h"

namespace {
uint32_t RotateLeft8(uint32_t value)
{
    return (value << 8) | (value >> 24);
}
} // namespace

uint32_t PasswordHash(const QString& text)
{
    uint32_t seed = 0;
    for (const QChar c : text)
        seed = c.unicode() ^ RotateLeft8(seed);
    std::mt19937& generator = SharedGenerator();
    generator.seed(seed);
    uint32_t hash = 0;
    for (const QChar c : text)
        hash = c.unicode() ^ RotateLeft8(hash) ^ static_cast<uint32_t>(generator());
    return hash;
}
