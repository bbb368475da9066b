#pragma once

#include <QString>

#include <cstdint>

/// Reports a platform failure: the text, a line break and "rc=0x" with the error code as eight
/// upper-case hexadecimal digits, in a box with the error icon.
void ShowError(const QString& text, uint32_t errorCode);
