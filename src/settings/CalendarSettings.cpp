#include "settings/CalendarSettings.h"

#include "settings/SettingsAccess.h"

namespace {
const QString kMonths = QStringLiteral("CalendarMonths");
const QString kDiscreet = QStringLiteral("CalendarDiscreet");
const QString kIncludeRecorded = QStringLiteral("CalendarIncludeRecorded");
const QString kKeepFile = QStringLiteral("CalendarKeepFile");

QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}
} // namespace

CalendarSettings CalendarSettings::Load()
{
    const QString section = Section();
    CalendarSettings settings;
    const int months = ReadSettingInt(section, kMonths, kDefaultMonths);
    settings.months = months >= kMinMonths && months <= kMaxMonths ? months : kDefaultMonths;
    settings.discreet = ReadSettingInt(section, kDiscreet, 0) != 0;
    settings.includeRecorded = ReadSettingInt(section, kIncludeRecorded, 0) != 0;
    settings.keepFile = ReadSettingInt(section, kKeepFile, 0) != 0;
    return settings;
}

bool CalendarSettings::Save() const
{
    const QString section = Section();
    bool written = WriteSettingInt(section, kMonths, months);
    written = WriteSettingInt(section, kDiscreet, discreet ? 1 : 0) && written;
    written = WriteSettingInt(section, kIncludeRecorded, includeRecorded ? 1 : 0) && written;
    written = WriteSettingInt(section, kKeepFile, keepFile ? 1 : 0) && written;
    return written;
}
