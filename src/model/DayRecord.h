#pragma once

#include "model/CalDate.h"

#include <QString>

#include <cstdint>

/// How heavily the user bleeds on a day; kept in the two low bits of a day's flags.
enum BleedingLevel : int {
    None = 0,
    Slight = 1,
    Medium = 2,
    Heavy = 3,
};

inline constexpr uint32_t kLevelMask = 0x3;
inline constexpr uint32_t kOvulationFlag = 0x10;
inline constexpr uint32_t kHasNoteFlag = 0x100;
inline constexpr uint32_t kNoRecordFlag = 0x80000000u;

/// A note holds at most this many UTF-16 code units.
inline constexpr int kMaxNoteLength = 768;

/// One observed calendar day.
struct DayRecord
{
    CalDate date{0, 0, 0};
    uint32_t flags = 0;
    int16_t chance = -1; ///< conception chance in percent, filled by GetDay; -1 = not computed
    QString note;
};

/// The record's bleeding level (bits 0..1 of its flags).
BleedingLevel LevelOf(const DayRecord& record);

/// Replaces the level bits of the record's flags.
void SetLevel(DayRecord& record, int level);

/// The flags as a file stores them: the has-note bit set exactly when there is a note, since a
/// set bit without a note would make the next load stop at the record.
uint32_t StoredFlags(const DayRecord& record);

/// Sets the note and keeps the has-note bit in step with it.
void SetNote(DayRecord& record, const QString& text);

/// The display word of a level: "None", "Slight", "Medium", "Heavy", the one word of each level on every screen and in
/// every export.
QString LevelName(int level);
