#include "resources/Menus.h"

#include "resources/ResourceIds.h"

#include <array>

namespace {

using K = MenuEntry::Kind;

// "Erase All Data" comes last, set apart: a submenu opened by keyboard highlights its first
// entry, and Enter there must never be the one command that cannot be undone.
constexpr MenuEntry kToolsMenu[] = {
    {K::Command, u"E&xport...", kCmdExport},
    {K::Command, u"&Import...", kCmdImport},
    {K::Command, u"Export for S&preadsheets...", kCmdExportSpreadsheet},
    {K::Command, u"Export to &Calendar...", kCmdExportCalendar},
    {K::Command, u"&Settings...", kCmdSettings},
    {K::Separator, nullptr, 0},
    {K::Command, u"&Erase All Data", kCmdEraseAll},
};

constexpr MenuEntry kMainMenu[] = {
    {K::Submenu, u"&Tools", 0, kToolsMenu},
    {K::Separator, nullptr, 0},
    {K::Command, u"&Calendar...", kCmdCalendar},
    {K::Command, u"&History...", kCmdHistory},
    {K::Command, u"Co&nception...", kCmdConception},
    {K::Command, u"&Ovulations...", kCmdOvulations},
    {K::Command, u"&Statistics...", kCmdStatistics},
    {K::Command, u"&Due Date Calculator...", kCmdDueDateCalc},
    {K::Separator, nullptr, 0},
    {K::Command, u"&About Velumina...", kCmdAppAbout},
    {K::Command, u"&Exit Velumina", kCmdExit},
};

constexpr MenuEntry kHistoryExportMenu[] = {
    {K::Command, u"&Export...", kCmdHistoryExport},
    {K::Command, u"Export for S&preadsheets...", kCmdHistoryExportSpreadsheet},
};

constexpr SoftKeyTable kNoKey = {nullptr, 0, 0};

// Every key carries a mnemonic (Alt and the letter) that no control of its screens uses.
// A bar with a single key puts it on the right, where every other bar has its "Back", so
// that the key that leaves a screen is always in the same place.
constexpr std::array<MenuBarTable, 7> kMenuBars = {{
    {kMenuMainFrame, {u"&Today", kIdsToday, kCmdToday}, {u"&Menu", kIdsMenu, kCmdMainMenu, kMainMenu}},
    {kMenuCalendar, {u"&Go to Date", 0, kCmdGoToDate}, {u"&Back", 0, kCmdCalendarBack}},
    {kMenuToday, {u"&Save", 0, kCmdTodaySave}, {u"&Back", 0, kCmdTodayBack}},
    {kMenuOkCancel, {u"&OK", 0, kIdOk}, {u"&Cancel", 0, kIdCancel}},
    {kMenuBack, kNoKey, {u"&Back", 0, kIdCancel}},
    {kMenuWelcome, {u"&Save", 0, kIdOk}, {u"S&kip", 0, kIdCancel}},
    {kMenuHistory, {u"&Export", 0, kCmdHistoryExport, kHistoryExportMenu}, {u"&Back", 0, kIdCancel}},
}};

struct StringEntry
{
    int id;
    const char16_t* text;
};

constexpr StringEntry kStrings[] = {
    {kIdsMainTitle, u"Velumina"},
    {kIdsToday, u"&Today"},
    {kIdsMenu, u"&Menu"},
    {kIdsAppTitle, u"Velumina"},
};

} // namespace

const MenuBarTable* FindMenuBar(int id)
{
    for (const MenuBarTable& bar : kMenuBars) {
        if (bar.id == id)
            return &bar;
    }
    return nullptr;
}

QString ResourceString(int id)
{
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id)
            return QString::fromUtf16(entry.text);
    }
    return {};
}
