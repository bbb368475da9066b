#pragma once

/// What the calendar file holds and whether Velumina keeps one up to date: the choices of
/// "Export to Calendar..." and of the settings screen, stored at once with the other settings
/// ("CalendarMonths", "CalendarDiscreet", "CalendarIncludeRecorded", "CalendarKeepFile").
struct CalendarSettings
{
    static constexpr int kMinMonths = 1;
    static constexpr int kMaxMonths = 24;
    static constexpr int kDefaultMonths = 12;

    int months = kDefaultMonths;  ///< how far ahead events are written
    bool discreet = false;        ///< titles that do not say what they are about, no descriptions
    bool includeRecorded = false; ///< her recorded periods besides the predictions
    bool keepFile = false;        ///< the live file beside the data folder follows every change

    /// Reads the four values; a month count outside 1 to 24 reads as the default.
    static CalendarSettings Load();
    /// Writes the four values. False when the settings file could not be written.
    bool Save() const;
};
