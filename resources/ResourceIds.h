#pragma once

// Every numeric identifier of the program: commands, dialogs, controls, menus, strings,
// icons and pictures. The numbers are the program's own resource numbers; screens and the
// frame use these names, never bare numbers.

// Dialog results and the two standard commands of every dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// The identifier of controls that have none ("unnamed"); several may share it.
inline constexpr int kIdcStatic = 0xFFFF;

// ---------------------------------------------------------------------------------------
// Menu commands.
inline constexpr int kCmdDueDateCalc = 32771;              ///< "&Due Date Calculator...", summary row 7
inline constexpr int kCmdExit = 32772;                     ///< "&Exit Velumina"
inline constexpr int kCmdCalendar = 32773;                 ///< "&Calendar...", summary row 4
inline constexpr int kCmdToday = 32775;                    ///< "Today" soft key, summary row 0
inline constexpr int kCmdEraseAll = 32776;                 ///< "&Erase All Data"
inline constexpr int kCmdGoToDate = 32777;                 ///< calendar "Go to Date"
inline constexpr int kCmdCalendarBack = 32778;             ///< calendar "Back"
inline constexpr int kCmdTodayBack = 32779;                ///< day editor "Back"
inline constexpr int kCmdTodaySave = 32780;                ///< day editor "Save"
inline constexpr int kCmdSettings = 32781;                 ///< "&Settings...", summary row 8
inline constexpr int kCmdConception = 32782;               ///< "Conception...", summary row 1
inline constexpr int kCmdStatistics = 32783;               ///< "Statistics...", summary row 6
inline constexpr int kCmdOvulations = 32784;               ///< "Ovulations...", summary row 2
inline constexpr int kCmdWelcome = 32785;                  ///< posted by the frame at creation
inline constexpr int kCmdDayTapped = 32788;                ///< posted by the month painter
inline constexpr int kCmdExport = 32790;                   ///< "Export..."
inline constexpr int kCmdImport = 32791;                   ///< "Import..."
inline constexpr int kCmdHistory = 32794;                  ///< "History...", summary row 5
inline constexpr int kCmdHistoryExport = 32798;            ///< history screen "Export..." (the cycle file)
inline constexpr int kCmdExportSpreadsheet = 32796;        ///< "Export for S&preadsheets..."
inline constexpr int kCmdHistoryExportSpreadsheet = 32797; ///< history screen "Export for Spreadsheets..."
inline constexpr int kCmdAppAbout = 57664;                 ///< "&About Velumina..."
inline constexpr int kCmdMainMenu = 402;                   ///< the "Menu" soft key itself (not handled)

inline constexpr int kCmdExportCalendar = 32787; ///< "Export to Calendar..."

// ---------------------------------------------------------------------------------------
// Dialog templates.
inline constexpr int kIddAbout = 100; ///< portrait
inline constexpr int kIddWelcomeLandscape = 101;
inline constexpr int kIddConception = 102; ///< portrait
inline constexpr int kIddDueDate = 103;
inline constexpr int kIddAboutLandscape = 200;
inline constexpr int kIddCalendar = 201;
inline constexpr int kIddToday = 202;
inline constexpr int kIddSettings = 203; ///< portrait
inline constexpr int kIddPasswordSet = 204;
inline constexpr int kIddStatistics = 205;
inline constexpr int kIddOvulation = 206;
inline constexpr int kIddWelcome = 207; ///< portrait
inline constexpr int kIddConceptionLandscape = 208;
inline constexpr int kIddPasswordStartup = 209;
inline constexpr int kIddHistory = 211;
inline constexpr int kIddSettingsLandscape = 212;
inline constexpr int kIddExportCalendar = 220;

// ---------------------------------------------------------------------------------------
// Menus (soft-key bars).
inline constexpr int kMenuMainFrame = 128; ///< "Today" and "Menu"
inline constexpr int kMenuCalendar = 132;  ///< "Go to Date" and "Back"
inline constexpr int kMenuToday = 133;     ///< "Save" and "Back"
inline constexpr int kMenuOkCancel = 135;  ///< "OK" and "Cancel"
inline constexpr int kMenuBack = 136;      ///< a single "Back"
inline constexpr int kMenuWelcome = 137;   ///< "Save" and "Skip"
inline constexpr int kMenuHistory = 141;   ///< "Export" and "Back"

// ---------------------------------------------------------------------------------------
// Strings, icons and pictures.
inline constexpr int kIdsMainTitle = 128;  ///< "Velumina", the main window's title
inline constexpr int kIdsToday = 301;      ///< "Today"
inline constexpr int kIdsMenu = 302;       ///< "Menu"
inline constexpr int kIdsAppTitle = 57344; ///< "Velumina", the application's name
inline constexpr int kIdiMainIcon = 128;   ///< the program icon
inline constexpr int kIdbBanner = 139;     ///< the 400 x 81 banner picture

// Child identifiers of the main frame.
inline constexpr int kIdFirstPane = 59648;   ///< the summary panel
inline constexpr int kIdCommandBar = 59392;  ///< the soft-key bar
inline constexpr int kIdScrollPanel = 10000; ///< a finger scroller's panel

// ---------------------------------------------------------------------------------------
// Controls, grouped by the screen that has them. The same number may serve different
// controls in different dialogs.

// Calendar (201).
inline constexpr int kIdcCalendarPainter = 1004;

// Day editor (202).
inline constexpr int kIdcTodayDateLabel = 1025;
inline constexpr int kIdcTodayDate = 1012;
inline constexpr int kIdcTodayPrevDay = 1062;
inline constexpr int kIdcTodayNextDay = 1063;
inline constexpr int kIdcTodayBleedingLabel = 1026;
inline constexpr int kIdcTodayBleeding = 1011;
inline constexpr int kIdcTodayNotesLabel = 1032;
inline constexpr int kIdcTodayNotes = 1060;

// Conception probability (102, 208).
inline constexpr int kIdcConceptionHeadline = 1025;
inline constexpr int kIdcConceptionChart = 1024;
inline constexpr int kIdcConceptionFootnote = 1026;

// Ovulation (206).
inline constexpr int kIdcOvulationLast = 1030;
inline constexpr int kIdcOvulationNextLabel = 1025;
inline constexpr int kIdcOvulationNext = 1031;
inline constexpr int kIdcOvulationFootnote = 1032;
inline constexpr int kIdcOvulationFertileLabel = 1033;
inline constexpr int kIdcOvulationFertile = 1034;

// Due date calculator (103).
inline constexpr int kIdcDueLastCycle = 1000;
inline constexpr int kIdcDueConception = 1001;
inline constexpr int kIdcDueDate = 1002;
inline constexpr int kIdcDueBirthSign = 1003;
inline constexpr int kIdcDueInstruction = 1004;
inline constexpr int kIdcDuePregnancyWeek = 1005;
inline constexpr int kIdcDueEstimateNote = 1006;

// History (211) and statistics (205).
inline constexpr int kIdcCycleList = 1027;

// Settings (203, 212).
inline constexpr int kIdcSettingsPassword = 1018;
inline constexpr int kIdcSettingsSetPassword = 1023;
inline constexpr int kIdcSettingsCycleLenLabel = 1035;
inline constexpr int kIdcSettingsCycleLen = 1036;
inline constexpr int kIdcSettingsCycleLenSpin = 1037;
inline constexpr int kIdcSettingsPeriodLenLabel = 1038;
inline constexpr int kIdcSettingsPeriodLen = 1039;
inline constexpr int kIdcSettingsPeriodLenSpin = 1040;
inline constexpr int kIdcSettingsLutealLabel = 1041;
inline constexpr int kIdcSettingsLuteal = 1042;
inline constexpr int kIdcSettingsLutealSpin = 1043;
inline constexpr int kIdcSettingsNotify = 1053;
inline constexpr int kIdcSettingsReminderNote = 1054; ///< why reminders cannot appear here
inline constexpr int kIdcSettingsNotifyDays = 1055;
inline constexpr int kIdcSettingsTheme = 1064;
inline constexpr int kIdcSettingsCalendarFile = 1076;     ///< "Keep a calendar file up to date"
inline constexpr int kIdcSettingsCalendarDiscreet = 1077; ///< discreet calendar titles
inline constexpr int kIdcSettingsCalendarPath = 1078;     ///< where the calendar file is
inline constexpr int kIdcSettingsCopyPath = 1079;         ///< "Copy path"
inline constexpr int kIdcSettingsDiscreet = 1080; ///< reminders without date or cycle word

// Export to calendar (220).
inline constexpr int kIdcCalendarMonthsLabel = 1070;
inline constexpr int kIdcCalendarMonths = 1071;
inline constexpr int kIdcCalendarMonthsSpin = 1072;
inline constexpr int kIdcCalendarDiscreet = 1073;
inline constexpr int kIdcCalendarRecorded = 1074;
inline constexpr int kIdcCalendarLegend = 1075;

// Set-password dialog (204) and start-up prompt (209).
inline constexpr int kIdcPasswordFirst = 1019;
inline constexpr int kIdcPasswordSecond = 1020;
inline constexpr int kIdcPasswordNoRecovery = 1021; ///< a forgotten password cannot be recovered
inline constexpr int kIdcPasswordStartup = 1043;
inline constexpr int kIdcPasswordCapsLock = 1044;   ///< the Caps Lock hint of the start-up prompt
inline constexpr int kIdcPasswordPromptText = 1045; ///< what the prompt asks the password for

// Welcome (207, 101).
inline constexpr int kIdcWelcomeThanks = 1025;
inline constexpr int kIdcWelcomeGroup = 1032;
inline constexpr int kIdcWelcomeLastCycleLabel = 1033;
inline constexpr int kIdcWelcomeLastCycle = 1034;
inline constexpr int kIdcWelcomeCycleLenLabel = 1035;
inline constexpr int kIdcWelcomeCycleLen = 1036;
inline constexpr int kIdcWelcomeCycleLenSpin = 1037;
inline constexpr int kIdcWelcomePassword = 1038;
inline constexpr int kIdcWelcomeSetPassword = 1039;
inline constexpr int kIdcWelcomeExplanation = 1040; ///< what "Save" records
inline constexpr int kIdcWelcomeImport = 1041;
inline constexpr int kIdcWelcomeDontShow = 1042; ///< "Do not show this again"

// About (100, 200).
inline constexpr int kIdcAboutBanner = 1056;
inline constexpr int kIdcAboutVersion = 202;
inline constexpr int kIdcAboutPublisher = 203;
inline constexpr int kIdcAboutAddress = 1025;
inline constexpr int kIdcAboutDisclaimer = 1041;
inline constexpr int kIdcAboutLicence = 1057;
inline constexpr int kIdcAboutOffline = 1058; ///< no network connections
