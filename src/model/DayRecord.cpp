#include "model/DayRecord.h"

BleedingLevel LevelOf(const DayRecord& record)
{
    return static_cast<BleedingLevel>(record.flags & kLevelMask);
}

void SetLevel(DayRecord& record, int level)
{
    record.flags = (record.flags & ~kLevelMask) | (static_cast<uint32_t>(level) & kLevelMask);
}

uint32_t StoredFlags(const DayRecord& record)
{
    return record.note.isEmpty() ? (record.flags & ~kHasNoteFlag) : (record.flags | kHasNoteFlag);
}

void SetNote(DayRecord& record, const QString& text)
{
    record.note = text;
    if (text.isEmpty())
        record.flags &= ~kHasNoteFlag;
    else
        record.flags |= kHasNoteFlag;
}

QString LevelName(int level)
{
    switch (level & static_cast<int>(kLevelMask)) {
    case Slight:
        return QStringLiteral("Slight");
    case Medium:
        return QStringLiteral("Medium");
    case Heavy:
        return QStringLiteral("Heavy");
    default:
        return QStringLiteral("None");
    }
}
