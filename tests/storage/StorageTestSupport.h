#pragma once

#include "model/DayRecord.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

// Helpers of the storage tests: data files built by hand from the format's tables, file
// contents, random databases, record comparison.

/// Builds a data file word by word as the format describes it and scrambles it with its own
/// Mersenne Twister, so the test does not depend on the code it checks. Each added piece is
/// one scrambling block (its words masked from the last to the first).
class HandBuiltFile
{
public:
    void Header(const char* magic = "Zorb", uint16_t version = 1, uint16_t reserved = 0);
    void Record(int year, int month, int day, uint32_t flags);
    void NoteLength(uint32_t bytes);
    void NoteText(const QString& text); ///< UTF-16LE, one zero character added to an odd count
    void Note(const QString& text);     ///< length word, then the text
    QByteArray Bytes() const;

private:
    std::vector<std::vector<uint32_t>> m_blocks;
};

QByteArray ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const QByteArray& bytes);

/// The text as UTF-16LE bytes without a byte-order mark.
QByteArray Utf16Bytes(const QString& text);

/// A note of random code units from `alphabet` (or from the whole range 1..0xFFFF when empty).
QString RandomNote(std::mt19937& random, int length, const QString& alphabet = QString());

/// `count` records on distinct random dates of `firstYear`..`lastYear`, in date order, with
/// random flags and about one in three with a random note.
std::vector<DayRecord>
RandomRecords(std::mt19937& random, int count, int firstYear, int lastYear, const QString& noteAlphabet = QString());

/// Date, flags and note of every record are equal; the conception chance is left out.
bool SameRecords(const std::vector<DayRecord>& a, const std::vector<DayRecord>& b);

void PrintTo(const DayRecord& record, std::ostream* out);
