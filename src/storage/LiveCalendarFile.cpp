#include "storage/LiveCalendarFile.h"

#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"
#include "settings/CalendarSettings.h"
#include "storage/ICalendarWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
struct LiveState
{
    bool following = false;
    bool failureShown = false;
    CalDate lastDay{0, 0, 0};
    QString lastError;
    QString testFolder;
};

LiveState& State()
{
    static LiveState state;
    return state;
}

bool Bring(bool reportFailure)
{
    LiveState& state = State();
    if (!state.following)
        return true;
    const CalendarSettings settings = CalendarSettings::Load();
    const QString path = LiveCalendarFile::Path();
    state.lastDay = Today();
    QString error;
    if (settings.keepFile) {
        int count = 0;
        ICalendarWriter(TheCycleDatabase()).Write(path, settings, count, error);
    } else if (QFileInfo::exists(path) && !IsOtherThanRegularFile(path) && !QFile::remove(path)) {
        error = QStringLiteral("Could not remove the calendar file '%1'.").arg(QDir::toNativeSeparators(path));
    }
    state.lastError = error;
    if (error.isEmpty())
        return true;
    if (reportFailure && !state.failureShown) {
        state.failureShown = true;
        ShowMessage(QStringLiteral("%1\nThe calendar file is not kept up to date until this is mended.").arg(error),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
    return false;
}
} // namespace

QString LiveCalendarFile::Path()
{
    const QString& test = State().testFolder;
    const QString base = test.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) : test;
    return QDir(base).filePath(QStringLiteral("velumina/predictions.ics"));
}

void LiveCalendarFile::SetDataFolderForTesting(const QString& folder)
{
    State().testFolder = folder;
}

void LiveCalendarFile::Start()
{
    State().following = true;
    Bring(false);
}

void LiveCalendarFile::Stop()
{
    LiveState& state = State();
    state.following = false;
    state.failureShown = false;
    state.lastDay = CalDate{0, 0, 0};
    state.lastError.clear();
}

bool LiveCalendarFile::Follow()
{
    return Bring(true);
}

bool LiveCalendarFile::FollowNewDay()
{
    if (IsSameDate(State().lastDay, Today()))
        return true;
    // A late period moves with the date: the map is derived for today first.
    if (State().following)
        TheCycleDatabase().FollowToday();
    return Follow();
}

QString LiveCalendarFile::LastError()
{
    return State().lastError;
}
