#pragma once

#include <QString>

#include <cstdint>

/// The 32-bit hash the password is stored as. It re-seeds the shared generator (the data file
/// seeds it afresh before every use) from the text's UTF-16 code units and mixes its output
/// into the hash, so the same text gives the same hash in every process. The empty text gives
/// 0 without drawing from the generator.
uint32_t PasswordHash(const QString& text);
