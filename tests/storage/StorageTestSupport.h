#pragma once

#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "model/DayRecord.h"
#include "platform/MessageRecorder.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <random>
#include <vector>

// Helpers of the storage tests: their fixture, data files built by hand from the format's
// tables, random databases, record comparison.

/// The database, the path of its data file and the messages shown.
class StorageTest : public VeluminaTest
{
protected:
    static CycleDatabase& Database()
    {
        return TheCycleDatabase();
    }
    QString DataPath() const;
    /// Imports the file as the program does: reads it whole (showing the error when it is
    /// refused), then stores its days in place of hers. `report` tells what the reading skipped.
    bool Import(const QString& path, CycleDatabase::ImportReport* report = nullptr);

    MessageRecorder m_messages;
};

/// A record with the given flags; the has-note bit follows the note.
DayRecord MakeRecord(int year, int month, int day, uint32_t flags, const QString& note = QString());

/// Builds a data file word by word as the format describes it and scrambles it with its own
/// Mersenne Twister, so the test does not depend on the code it checks. Each added piece is
/// one scrambling block (its words masked from the last to the first).
class HandBuiltFile
{
public:
    /// Starts with the header, which a file of this program has.
    explicit HandBuiltFile(const char* magic = "Zorb", uint16_t version = 1, uint16_t reserved = 0);
    void Record(int year, int month, int day, uint32_t flags);
    void NoteLength(uint32_t bytes);
    void NoteText(const QString& text); ///< UTF-16LE, one zero character added to an odd count
    void Note(const QString& text);     ///< length word, then the text
    QByteArray Bytes() const;

private:
    std::vector<std::vector<uint32_t>> m_blocks;
};

void WriteFileBytes(const QString& path, const QByteArray& bytes);

/// The text as UTF-16LE bytes without a byte-order mark.
QByteArray Utf16Bytes(const QString& text);

/// `count` records on distinct random dates of `firstYear`..`lastYear`, in date order, with
/// random flags and about one in three with a random note.
std::vector<DayRecord>
RandomRecords(std::mt19937& random, int count, int firstYear, int lastYear, const QString& noteAlphabet = QString());

/// Date, flags and note of every record are equal; the conception chance is left out.
bool SameRecords(const std::vector<DayRecord>& a, const std::vector<DayRecord>& b);
