#include "TestSupport.h"

#include "storage/SealedFile.h"

#include <sys/resource.h>

#include <csignal>

#include "model/CycleDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/DocumentsFolder.h"
#include "platform/SharedGenerator.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "storage/LiveCalendarFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

void SetToday(int year, int month, int day)
{
    time_t noon = ToTime(Date(year, month, day), 12);
    SetCurrentTimeForTesting(noon);
}

CalDate Date(int year, int month, int day)
{
    return CalDate{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
}

std::vector<DayRecord> StartTwoPeriodExample()
{
    const CalDate day0 = Date(2026, 3, 10);
    std::vector<DayRecord> records;
    for (const int first : {0, 25}) {
        for (int d = 0; d < 5; ++d)
            records.push_back(Day(OffsetDate(day0, first + d), Heavy));
    }
    const CalDate today = OffsetDate(day0, 29);
    SetToday(today.year, today.month, today.day);
    return records;
}

std::vector<DayRecord> Period(const CalDate& first, int days, int level)
{
    std::vector<DayRecord> records;
    for (int d = 0; d < days; ++d)
        records.push_back(Day(OffsetDate(first, d), level));
    return records;
}

bool ReloadCycleDatabase()
{
    ResetCycleDatabaseForTesting();
    return TheCycleDatabase().Load();
}

QString SettingsSection()
{
    return QString::fromUtf16(kSettingsSection);
}

void StoreSetting(const char* name, int32_t value)
{
    ASSERT_TRUE(WriteSettingInt(SettingsSection(), QString::fromLatin1(name), value));
}

int StoredSetting(const char* name)
{
    return ReadSettingInt(SettingsSection(), QString::fromLatin1(name), kNotStored);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int FileMode(const QString& path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return static_cast<int>(status.st_mode & 07777);
}

bool IsPipe(const QString& path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

bool MakePipe(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool RunBesidePipe(const QString& pipe, const std::function<bool()>& operation)
{
    std::future<bool> result = std::async(std::launch::async, operation);
    if (result.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        ADD_FAILURE() << "waited on the named pipe " << pipe.toStdString();
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
        if (fd >= 0)
            ::close(fd);
    }
    return result.get();
}

ScopedTimeZone::ScopedTimeZone(const char* zone)
{
    const char* previous = std::getenv("TZ");
    m_hadPrevious = previous != nullptr;
    if (m_hadPrevious)
        m_previous = previous;
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_hadPrevious)
        setenv("TZ", m_previous.constData(), 1);
    else
        unsetenv("TZ");
    tzset();
}

void VeluminaTest::SetUp()
{
    m_folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_folder->isValid());
    QDir(m_folder->path()).mkpath(QStringLiteral("settings"));
    QDir(m_folder->path()).mkpath(QStringLiteral("documents"));
    SetSettingsFolderForTesting(SettingsPath());
    SetDocumentsFolderForTesting(DocumentsPath());
    LiveCalendarFile::SetDataFolderForTesting(m_folder->filePath(QStringLiteral("data")));
    m_zone = std::make_unique<ScopedTimeZone>("Europe/Berlin");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetToday(2026, 12, 6);
    SharedGenerator().seed(5489u);
    ResetCycleDatabaseForTesting();
    ResetAppSettingsForTesting();
    ForgetSessionSealKey();
}

void VeluminaTest::TearDown()
{
    ResetCycleDatabaseForTesting();
    ClearCurrentTimeForTesting();
    m_zone.reset();
    InitializeTestProcess();
    m_folder.reset();
}

QString VeluminaTest::TempPath(const QString& name) const
{
    return m_folder->filePath(name);
}

QString VeluminaTest::DocumentsPath() const
{
    return m_folder->filePath(QStringLiteral("documents"));
}

QString VeluminaTest::SettingsPath() const
{
    return m_folder->filePath(QStringLiteral("settings"));
}

void VeluminaTest::BlockDocumentsFolder()
{
    QFile blocker(TempPath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetDocumentsFolderForTesting(TempPath(QStringLiteral("blocker/documents")));
}

ScopedFileSizeLimit::ScopedFileSizeLimit(uint64_t bytes)
{
    // Without this, exceeding the limit would end the test process with SIGXFSZ.
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previous;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

void InitializeTestProcess()
{
    // Outside a fixture nothing may reach the user's own files either.
    static QTemporaryDir processFolder;
    SetWriteFaultForTesting(WriteStep::Create, 0);
    SetSettingsFolderForTesting(processFolder.filePath(QStringLiteral("settings")));
    SetDocumentsFolderForTesting(processFolder.filePath(QStringLiteral("documents")));
    // Keys of the cheapest cost Argon2id allows: the tests check the sealing, not its cost.
    SealedFile::SetNewKeyCostForTesting(kCheapSealCost);
    LiveCalendarFile::SetDataFolderForTesting(processFolder.filePath(QStringLiteral("data")));
    LiveCalendarFile::Stop();
}
