#include "resources/DialogTemplates.h"

#include "resources/ResourceIds.h"

#include <algorithm>
#include <array>

namespace {

using C = DialogItemClass;

constexpr uint32_t kLabel = kSsLeft;
constexpr uint32_t kCentred = kSsCenter;
constexpr uint32_t kPush = kBsPushButton | kWsTabStop;
constexpr uint32_t kCheck = kBsAutoCheckBox | kWsTabStop;
constexpr uint32_t kLineEdit = kEsAutoHScroll | kWsBorder | kWsTabStop;
constexpr uint32_t kNumberEdit = kEsNumber | kEsAutoHScroll | kWsBorder | kWsTabStop;
constexpr uint32_t kPasswordEdit = kEsPassword | kEsAutoHScroll | kWsBorder | kWsTabStop;
constexpr uint32_t kReadOnlyEdit = kEsReadOnly | kEsAutoHScroll | kWsBorder;
constexpr uint32_t kSpin = kUdsSetBuddyInt | kUdsAlignRight | kUdsAutoBuddy | kUdsArrowKeys | kUdsNoThousands;
constexpr uint32_t kDropList = kCbsDropDownList | kWsVScroll | kWsTabStop;
constexpr uint32_t kReportList = kLvsReport | kLvsSingleSel | kLvsNoSortHeader | kWsBorder | kWsTabStop;

// --- 100, 200: about ---------------------------------------------------------------------
constexpr char16_t kPublisher[] = u"\u00A9 2026 Quorlen Software. All rights reserved.";
constexpr char16_t kAddress[] = u"Quorlen Software, Postbox 14, 2900 Lindmark";
constexpr char16_t kLicence[] = u"Licensed for personal use, as is (see below).";
constexpr char16_t kOffline[] = u"Velumina makes no network connections.";
constexpr uint32_t kDisclaimerEdit = kEsMultiline | kEsReadOnly | kEsAutoVScroll | kWsBorder | kWsVScroll;

constexpr DialogItemTemplate kAbout[] = {
    {kIdcAboutBanner, C::Static, u"", 0, 0, 156, 32, kLabel},
    {kIdcAboutVersion, C::Static, u"Version 1.4", 4, 35, 148, 12, kLabel},
    {kIdcAboutPublisher, C::Static, kPublisher, 4, 49, 148, 8, kLabel},
    {kIdcAboutAddress, C::Static, kAddress, 4, 58, 148, 8, kLabel},
    {kIdcAboutLicence, C::Static, kLicence, 4, 67, 148, 8, kLabel},
    {kIdcAboutOffline, C::Static, kOffline, 4, 76, 148, 8, kLabel},
    {kIdcAboutDisclaimer, C::Edit, u"", 4, 88, 148, 58, kDisclaimerEdit},
};
constexpr DialogItemTemplate kAboutLandscape[] = {
    {kIdcAboutBanner, C::Static, u"", 0, 0, 210, 28, kLabel},
    {kIdcAboutVersion, C::Static, u"Version 1.4", 4, 31, 202, 12, kLabel},
    {kIdcAboutPublisher, C::Static, kPublisher, 4, 44, 202, 8, kLabel},
    {kIdcAboutAddress, C::Static, kAddress, 4, 53, 202, 8, kLabel},
    {kIdcAboutLicence, C::Static, kLicence, 4, 62, 202, 8, kLabel},
    {kIdcAboutOffline, C::Static, kOffline, 4, 71, 202, 8, kLabel},
    {kIdcAboutDisclaimer, C::Edit, u"", 4, 82, 202, 43, kDisclaimerEdit},
};

// --- 207, 101: welcome -------------------------------------------------------------------
constexpr uint32_t kCheckedDate = kDtsShowNone | kDtsLongDateFormat | kDtsRightAlign | kWsTabStop;
constexpr char16_t kWelcomeExplanation[] =
    u"\"Save\" records that day as a period start (heavy bleeding) and keeps the cycle length.";

constexpr DialogItemTemplate kWelcome[] = {
    {kIdcWelcomeThanks, C::Static, u"Thank you for trying Velumina!", 4, 4, 147, 12, kCentred},
    {kIdcWelcomeGroup, C::Button, u"Tell me about you:", 4, 18, 147, 86, kBsGroupBox},
    {kIdcWelcomeLastCycleLabel, C::Static, u"Last cycle started on:", 10, 30, 135, 8, kLabel},
    {kIdcWelcomeLastCycle, C::DatePicker, u"", 10, 40, 135, 15, kCheckedDate},
    {kIdcWelcomeCycleLenLabel, C::Static, u"Average cycle length:", 10, 59, 135, 8, kLabel},
    {kIdcWelcomeCycleLen, C::Edit, u"", 10, 69, 124, 12, kNumberEdit},
    {kIdcWelcomeCycleLenSpin, C::UpDown, u"", 134, 69, 11, 12, kSpin},
    {kIdcWelcomeExplanation, C::Static, kWelcomeExplanation, 10, 84, 135, 16, kLabel},
    {kIdcWelcomePassword, C::Button, u"Password protection: disabled", 4, 109, 147, 10, kCheck},
    {kIdcWelcomeSetPassword, C::Button, u"Set Password...", 81, 121, 70, 14, kPush},
    {kIdcWelcomeImport, C::Button, u"Import...", 4, 140, 70, 14, kPush},
    {kIdcWelcomeDontShow, C::Button, u"Do not show this again", 4, 160, 147, 10, kCheck},
};
constexpr DialogItemTemplate kWelcomeLandscape[] = {
    {kIdcWelcomeThanks, C::Static, u"Thank you for trying Velumina!", 4, 3, 203, 12, kCentred},
    {kIdcWelcomeGroup, C::Button, u"Tell me about you:", 4, 17, 203, 69, kBsGroupBox},
    {kIdcWelcomeLastCycleLabel, C::Static, u"Last cycle started on:", 10, 31, 88, 8, kLabel},
    {kIdcWelcomeLastCycle, C::DatePicker, u"", 100, 28, 101, 15, kCheckedDate},
    {kIdcWelcomeCycleLenLabel, C::Static, u"Average cycle length:", 10, 50, 88, 8, kLabel},
    {kIdcWelcomeCycleLen, C::Edit, u"", 100, 48, 90, 12, kNumberEdit},
    {kIdcWelcomeCycleLenSpin, C::UpDown, u"", 190, 48, 11, 12, kSpin},
    {kIdcWelcomeExplanation, C::Static, kWelcomeExplanation, 10, 65, 191, 16, kLabel},
    {kIdcWelcomePassword, C::Button, u"Password protection: disabled", 4, 93, 130, 10, kCheck},
    {kIdcWelcomeSetPassword, C::Button, u"Set Password...", 137, 91, 70, 14, kPush},
    {kIdcWelcomeImport, C::Button, u"Import...", 4, 110, 70, 14, kPush},
    {kIdcWelcomeDontShow, C::Button, u"Do not show this again", 80, 112, 127, 10, kCheck},
};

// --- 102, 208: conception probability ---------------------------------------------------
constexpr char16_t kConceptionFootnote[] =
    u"(assuming the ovulation occurs 14 days before the start of the next cycle)";

constexpr DialogItemTemplate kConception[] = {
    {kIdcConceptionHeadline, C::Static, u"No Data", 2, 3, 152, 31, kCentred},
    {kIdcConceptionChart, C::Static, u"Chart", 2, 35, 152, 116, kLabel},
    {kIdcConceptionFootnote, C::Static, kConceptionFootnote, 2, 156, 152, 19, kLabel},
};
constexpr DialogItemTemplate kConceptionLandscape[] = {
    {kIdcConceptionHeadline, C::Static, u"No Data", 7, 3, 196, 16, kCentred},
    {kIdcConceptionChart, C::Static, u"Chart", 7, 20, 196, 84, kLabel},
    {kIdcConceptionFootnote, C::Static, kConceptionFootnote, 7, 107, 196, 20, kLabel},
};

// --- 103: due date calculator -----------------------------------------------------------
constexpr uint32_t kShortDate = kDtsShortDateFormat | kDtsRightAlign | kWsTabStop;

constexpr DialogItemTemplate kDueDate[] = {
    {kIdcDueInstruction, C::Static, u"Modify any field to calculate the others:", 7, 7, 142, 8, kCentred},
    {kIdcStatic, C::Static, u"&Last cycle started on:", 7, 25, 40, 18, kLabel},
    {kIdcDueLastCycle, C::DatePicker, u"", 49, 27, 100, 15, kShortDate},
    {kIdcStatic, C::Static, u"&Conception date:", 7, 48, 40, 18, kLabel},
    {kIdcDueConception, C::DatePicker, u"", 49, 50, 100, 15, kShortDate},
    {kIdcStatic, C::Static, u"&Due date:", 7, 76, 40, 8, kLabel},
    {kIdcDueDate, C::DatePicker, u"", 49, 73, 100, 15, kShortDate},
    {kIdcStatic, C::Static, u"B&irth sign:", 7, 99, 40, 8, kLabel},
    {kIdcDueBirthSign, C::ComboBox, u"", 49, 96, 100, 74, kDropList},
    {kIdcDuePregnancyWeek, C::Static, u"", 7, 116, 142, 8, kLabel},
    {kIdcDueEstimateNote, C::Static, u"These dates are estimates: few babies are born on their due date.", 7, 128, 142,
     18, kLabel},
};

// --- 201: calendar ----------------------------------------------------------------------
constexpr DialogItemTemplate kCalendar[] = {
    {kIdcCalendarPainter, C::Static, u"", 7, 7, 142, 115, kLabel},
};

// --- 202: day editor --------------------------------------------------------------------
constexpr DialogItemTemplate kToday[] = {
    {kIdcTodayDateLabel, C::Static, u"&Date:", 2, 2, 29, 8, kLabel},
    {kIdcTodayDate, C::DatePicker, u"", 2, 11, 117, 15, kDtsLongDateFormat | kDtsRightAlign | kWsTabStop},
    {kIdcTodayPrevDay, C::Button, u"<", 122, 11, 15, 14, kPush},
    {kIdcTodayNextDay, C::Button, u">", 139, 11, 15, 14, kPush},
    {kIdcTodayBleedingLabel, C::Static, u"Bleeding:", 2, 33, 42, 8, kLabel},
    {kIdcTodayBleeding, C::Button, u"&3", 99, 33, 55, 23, kBsOwnerDraw | kWsTabStop},
    {kIdcTodayNotesLabel, C::Static, u"Notes:", 2, 53, 27, 8, kLabel},
    {kIdcTodayNotes, C::Edit, u"", 2, 62, 152, 65,
     kEsMultiline | kEsWantReturn | kEsAutoVScroll | kWsVScroll | kWsBorder | kWsTabStop},
};

// --- 203, 212: settings -----------------------------------------------------------------
constexpr const char16_t* kNotifyDays[] = {u"On the same day", u" 1 day in advance", u" 2 days in advance",
                                           u" 3 days in advance"};

constexpr DialogItemTemplate kSettings[] = {
    {kIdcSettingsPassword, C::Button, u"Password protection", 4, 3, 148, 10, kCheck},
    {kIdcSettingsSetPassword, C::Button, u"Set Password...", 4, 15, 70, 14, kPush},
    {kIdcSettingsCycleLenLabel, C::Static, u"Initial cycle length (days):", 4, 36, 104, 8, kLabel},
    {kIdcSettingsCycleLen, C::Edit, u"", 110, 34, 31, 12, kNumberEdit},
    {kIdcSettingsCycleLenSpin, C::UpDown, u"", 141, 34, 11, 12, kSpin},
    {kIdcSettingsPeriodLenLabel, C::Static, u"Average period (days):", 4, 51, 104, 8, kLabel},
    {kIdcSettingsPeriodLen, C::Edit, u"", 110, 49, 31, 12, kNumberEdit},
    {kIdcSettingsPeriodLenSpin, C::UpDown, u"", 141, 49, 11, 12, kSpin},
    {kIdcSettingsLutealLabel, C::Static, u"Luteal phase (days):", 4, 66, 104, 8, kLabel},
    {kIdcSettingsLuteal, C::Edit, u"", 110, 64, 31, 12, kNumberEdit},
    {kIdcSettingsLutealSpin, C::UpDown, u"", 141, 64, 11, 12, kSpin},
    {kIdcSettingsNotify, C::Button, u"Notify me for the next cycle:", 4, 81, 148, 10, kCheck},
    {kIdcSettingsNotifyDays, C::ComboBox, u"", 4, 93, 148, 60, kDropList, 0, kNotifyDays},
    {kIdcSettingsDiscreet, C::Button, u"Discreet reminders", 4, 108, 148, 10, kCheck},
    {kIdcSettingsReminderNote, C::Static, u"", 4, 121, 148, 16, kLabel},
    {kIdcStatic, C::Static, u"Color Theme:", 4, 145, 50, 8, kLabel},
    {kIdcSettingsTheme, C::ComboBox, u"", 56, 143, 96, 60, kDropList},
    {kIdcSettingsCalendarFile, C::Button, u"Keep a calendar file up to date", 4, 160, 148, 10, kCheck},
    {kIdcSettingsCalendarPath, C::Edit, u"", 4, 172, 98, 12, kReadOnlyEdit | kWsTabStop},
    {kIdcSettingsCopyPath, C::Button, u"Copy path", 104, 171, 48, 14, kPush},
    {kIdcSettingsCalendarDiscreet, C::Button, u"Discreet titles in the calendar", 4, 188, 148, 10, kCheck},
};
constexpr DialogItemTemplate kSettingsLandscape[] = {
    {kIdcSettingsPassword, C::Button, u"Password protection", 4, 4, 128, 10, kCheck},
    {kIdcSettingsSetPassword, C::Button, u"Set Password...", 136, 2, 70, 14, kPush},
    {kIdcSettingsCycleLenLabel, C::Static, u"Initial cycle length (days):", 4, 23, 104, 8, kLabel},
    {kIdcSettingsCycleLen, C::Edit, u"", 110, 21, 31, 12, kNumberEdit},
    {kIdcSettingsCycleLenSpin, C::UpDown, u"", 141, 21, 11, 12, kSpin},
    {kIdcSettingsPeriodLenLabel, C::Static, u"Average period (days):", 4, 38, 104, 8, kLabel},
    {kIdcSettingsPeriodLen, C::Edit, u"", 110, 36, 31, 12, kNumberEdit},
    {kIdcSettingsPeriodLenSpin, C::UpDown, u"", 141, 36, 11, 12, kSpin},
    {kIdcSettingsLutealLabel, C::Static, u"Luteal phase (days):", 4, 53, 104, 8, kLabel},
    {kIdcSettingsLuteal, C::Edit, u"", 110, 51, 31, 12, kNumberEdit},
    {kIdcSettingsLutealSpin, C::UpDown, u"", 141, 51, 11, 12, kSpin},
    {kIdcSettingsNotify, C::Button, u"Notify me for the next cycle:", 4, 70, 118, 10, kCheck},
    {kIdcSettingsNotifyDays, C::ComboBox, u"", 124, 68, 82, 60, kDropList, 0, kNotifyDays},
    {kIdcSettingsDiscreet, C::Button, u"Discreet reminders", 4, 83, 202, 10, kCheck},
    {kIdcSettingsReminderNote, C::Static, u"", 4, 96, 202, 16, kLabel},
    {kIdcStatic, C::Static, u"Color Theme:", 4, 122, 50, 8, kLabel},
    {kIdcSettingsTheme, C::ComboBox, u"", 56, 120, 82, 60, kDropList},
    {kIdcSettingsCalendarFile, C::Button, u"Keep a calendar file up to date", 4, 137, 202, 10, kCheck},
    {kIdcSettingsCalendarPath, C::Edit, u"", 4, 151, 148, 12, kReadOnlyEdit | kWsTabStop},
    {kIdcSettingsCopyPath, C::Button, u"Copy path", 156, 150, 50, 14, kPush},
    {kIdcSettingsCalendarDiscreet, C::Button, u"Discreet titles in the calendar", 4, 168, 202, 10, kCheck},
};

// --- 220: export to calendar -------------------------------------------------------------
constexpr DialogItemTemplate kExportCalendar[] = {
    {kIdcCalendarMonthsLabel, C::Static, u"Months ahead:", 4, 6, 104, 8, kLabel},
    {kIdcCalendarMonths, C::Edit, u"", 110, 4, 31, 12, kNumberEdit},
    {kIdcCalendarMonthsSpin, C::UpDown, u"", 141, 4, 11, 12, kSpin},
    {kIdcCalendarDiscreet, C::Button, u"Discreet titles", 4, 22, 148, 10, kCheck},
    {kIdcCalendarRecorded, C::Button, u"Include recorded periods", 4, 36, 148, 10, kCheck},
    {kIdcCalendarLegend, C::Static, u"", 4, 52, 148, 56, kLabel},
};

// --- 204: set password ------------------------------------------------------------------
constexpr DialogItemTemplate kPasswordSet[] = {
    {kIdcStatic, C::Static, u"Type password:", 7, 7, 142, 8, kLabel},
    {kIdcPasswordFirst, C::Edit, u"", 7, 18, 142, 14, kPasswordEdit},
    {kIdcStatic, C::Static, u"Re-type password:", 7, 40, 142, 8, kLabel},
    {kIdcPasswordSecond, C::Edit, u"", 7, 51, 142, 14, kPasswordEdit},
    {kIdcPasswordNoRecovery, C::Static,
     u"Your days are encrypted with this password. If you forget it, nobody can recover it, and your days "
     u"stay unreadable.",
     7, 72, 142, 34, kLabel},
};

// --- 205, 211: statistics and history ---------------------------------------------------
constexpr DialogItemTemplate kCycleList[] = {
    {kIdcCycleList, C::ListView, u"", 7, 7, 142, 163, kReportList},
};

// --- 206: ovulation ---------------------------------------------------------------------
constexpr DialogItemTemplate kOvulation[] = {
    {kIdcStatic, C::Static, u"Last ovulation was on:", 7, 7, 82, 8, kLabel},
    {kIdcOvulationLast, C::Edit, u"", 7, 19, 141, 14, kReadOnlyEdit},
    {kIdcOvulationNextLabel, C::Static, u"Next ovulation will be on:", 7, 38, 88, 8, kLabel},
    {kIdcOvulationNext, C::Edit, u"", 7, 50, 141, 14, kReadOnlyEdit},
    {kIdcOvulationFertileLabel, C::Static, u"Fertile days:", 7, 72, 88, 8, kLabel},
    {kIdcOvulationFertile, C::Edit, u"", 7, 84, 141, 14, kReadOnlyEdit},
    {kIdcOvulationFootnote, C::Static, u"(assuming the ovulation happens 14 days before the start of the next cycle)",
     7, 106, 141, 34, kLabel},
};

// --- 209: start-up password prompt ------------------------------------------------------
constexpr DialogItemTemplate kPasswordStartup[] = {
    {kIdcStatic, C::Static, nullptr, 7, 7, 21, 20, kSsIcon, kIdiMainIcon},
    {kIdcPasswordPromptText, C::Static, u"Velumina is protected with a password.", 34, 7, 115, 18, kLabel},
    {kIdcStatic, C::Static, u"Password:", 7, 36, 40, 8, kLabel},
    {kIdcPasswordStartup, C::Edit, u"", 49, 34, 100, 14, kPasswordEdit},
    {kIdcPasswordCapsLock, C::Static, u"Caps Lock is on.", 49, 50, 100, 8, kLabel},
    {kIdOk, C::Button, u"OK", 45, 63, 50, 14, kBsDefPushButton | kWsTabStop},
    {kIdCancel, C::Button, u"Cancel", 99, 63, 50, 14, kPush},
};

constexpr std::array<DialogTemplate, 17> kTemplates = {{
    {kIddAbout, 156, 150, u"About Velumina", kAbout},
    {kIddWelcomeLandscape, 211, 128, u"Welcome", kWelcomeLandscape},
    {kIddConception, 156, 177, u"Conception Probability", kConception},
    {kIddDueDate, 156, 150, u"Due Date Calculator", kDueDate},
    {kIddAboutLandscape, 210, 129, u"About Velumina", kAboutLandscape},
    {kIddCalendar, 156, 129, u"Calendar", kCalendar},
    {kIddToday, 156, 129, u"How Do I Feel Today?", kToday},
    {kIddSettings, 156, 200, u"Settings", kSettings},
    {kIddPasswordSet, 156, 129, u"Set Password", kPasswordSet},
    {kIddStatistics, 156, 177, u"Statistics", kCycleList},
    {kIddOvulation, 155, 142, u"Ovulation", kOvulation},
    {kIddWelcome, 155, 174, u"Welcome", kWelcome},
    {kIddConceptionLandscape, 210, 129, u"Conception Probability", kConceptionLandscape},
    {kIddPasswordStartup, 156, 84, u"Dialog", kPasswordStartup},
    {kIddHistory, 156, 177, u"History", kCycleList},
    {kIddSettingsLandscape, 210, 180, u"Settings", kSettingsLandscape},
    {kIddExportCalendar, 156, 110, u"Export to Calendar", kExportCalendar},
}};

std::span<const DialogTemplate>& ExtraTemplates()
{
    static std::span<const DialogTemplate> extra;
    return extra;
}

} // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& t : ExtraTemplates()) {
        if (t.id == id)
            return &t;
    }
    const auto found =
        std::find_if(kTemplates.begin(), kTemplates.end(), [id](const DialogTemplate& t) { return t.id == id; });
    return found == kTemplates.end() ? nullptr : &*found;
}

std::span<const DialogTemplate> AllDialogTemplates()
{
    return kTemplates;
}

void SetExtraDialogTemplatesForTesting(std::span<const DialogTemplate> templates)
{
    ExtraTemplates() = templates;
}
