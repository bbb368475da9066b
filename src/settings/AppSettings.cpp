#include "settings/AppSettings.h"

AppSettings::AppSettings()
    : alertEnabled(true), alertDaysInAdvance(1), interactiveRun(false), lastAlertDate{0, 0, 0}, cachedCycleLen(0),
      selectedTheme(0)
{
}

AppSettings& TheAppSettings()
{
    static AppSettings settings;
    return settings;
}
