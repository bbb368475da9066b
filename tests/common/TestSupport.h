#pragma once

#include "DayRecords.h"
#include "model/CalDate.h"
#include "model/DayRecord.h"
#include "storage/SealedFile.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Shared helpers of every test area: a private folder for the settings and the documents,
// a fixed clock, a fixed zone and locale, and a fresh cycle database for each test.

/// Sets the clock to 12:00 local time of the given day.
void SetToday(int year, int month, int day);

/// A date, in the order people write it.
CalDate Date(int year, int month, int day);

/// The worked example of two recorded periods: five Heavy days from 10 March 2026 (day 0) and
/// five from day 25. Sets today to day 29 and returns the records to store.
std::vector<DayRecord> StartTwoPeriodExample();

/// `days` consecutive day records of `level` from `first`.
std::vector<DayRecord> Period(const CalDate& first, int days, int level = Heavy);

/// Forgets the cycle database and reads it back from the data file, as the next start would.
bool ReloadCycleDatabase();

/// The bytes of the file at `path`; none where it cannot be read.
QByteArray FileBytes(const QString& path);

/// The permission bits of `path` itself (not of a link's target); -1 when it is missing.
int FileMode(const QString& path);

/// A named pipe is at `path` itself; MakePipe makes one there.
bool IsPipe(const QString& path);
bool MakePipe(const QString& path);

/// The program's section of the settings file, and one integer setting in it.
QString SettingsSection();
void StoreSetting(const char* name, int32_t value);
constexpr int kNotStored = -12345;
int StoredSetting(const char* name); ///< kNotStored when it is not stored

/// Writes `bytes` as the whole file at `path`; false when that failed.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

/// Runs `operation`, which must not wait in open() on the named pipe at `pipe`. If it still
/// runs after ten seconds the test fails, and a writer opens the pipe to let it finish.
bool RunBesidePipe(const QString& pipe, const std::function<bool()>& operation);

/// Sets TZ for its lifetime and restores the previous zone.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};

/// Base fixture: settings and documents in a temporary folder, clock fixed at 12:00 on
/// 6 December 2026, zone Europe/Berlin, locale en_US, a fresh database.
class VeluminaTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString TempPath(const QString& name) const;
    QString DocumentsPath() const;
    QString SettingsPath() const;

    /// Puts the documents folder below a plain file, where no data file can be written.
    void BlockDocumentsFolder();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScopedTimeZone> m_zone;
};

/// Lowers the file size limit for its lifetime, so that writes beyond it fail as on a full disk.
/// Works for root too, where folder permissions do not stop a write.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(uint64_t bytes);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    uint64_t m_previous;
    void (*m_previousHandler)(int);
};

/// The cost of the password keys tests make: one pass over 8 KiB.
inline constexpr SealCost kCheapSealCost{1, 8};

/// Prepares the process for tests: offscreen platform, a temporary default folder for
/// settings and documents so that nothing touches the real home folder.
void InitializeTestProcess();
