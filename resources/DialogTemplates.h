#pragma once

#include <cstdint>
#include <span>

// The dialog templates of the program as tables: every screen creates its controls from its
// template, so the template is the one source of placement. Positions and sizes are in
// dialog units (DialogUnits maps them to pixels with the dialog's font).

/// The class of a template item. The first six are the predefined classes, numbered as
/// dialog templates number them; the others are the common controls the screens use.
enum class DialogItemClass : uint16_t {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ScrollBar = 0x0084,
    ComboBox = 0x0085,
    DatePicker = 0x1000,
    UpDown = 0x1001,
    ListView = 0x1002,
};

// Item styles, with the values dialog templates have always used, so that the rules that
// look at style bits (the static icon and bitmap styles) read as they always did.
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsBorder = 0x00800000;
inline constexpr uint32_t kWsVScroll = 0x00200000;
inline constexpr uint32_t kWsTabStop = 0x00010000;

inline constexpr uint32_t kSsLeft = 0x0000;
inline constexpr uint32_t kSsCenter = 0x0001;
inline constexpr uint32_t kSsRight = 0x0002;
inline constexpr uint32_t kSsIcon = 0x0003;
inline constexpr uint32_t kSsLeftNoWordWrap = 0x000C;
inline constexpr uint32_t kSsBitmap = 0x000E;
inline constexpr uint32_t kSsTypeMask = 0x001F;

inline constexpr uint32_t kBsPushButton = 0x0000;
inline constexpr uint32_t kBsDefPushButton = 0x0001;
inline constexpr uint32_t kBsAutoCheckBox = 0x0003;
inline constexpr uint32_t kBsGroupBox = 0x0007;
inline constexpr uint32_t kBsOwnerDraw = 0x000B;
inline constexpr uint32_t kBsTypeMask = 0x000F;

inline constexpr uint32_t kEsCenter = 0x0001;
inline constexpr uint32_t kEsMultiline = 0x0004;
inline constexpr uint32_t kEsPassword = 0x0020;
inline constexpr uint32_t kEsAutoVScroll = 0x0040;
inline constexpr uint32_t kEsAutoHScroll = 0x0080;
inline constexpr uint32_t kEsReadOnly = 0x0800;
inline constexpr uint32_t kEsWantReturn = 0x1000;
inline constexpr uint32_t kEsNumber = 0x2000;

inline constexpr uint32_t kCbsDropDownList = 0x0003;

inline constexpr uint32_t kDtsShortDateFormat = 0x0000;
inline constexpr uint32_t kDtsShowNone = 0x0002;
inline constexpr uint32_t kDtsLongDateFormat = 0x0004;
inline constexpr uint32_t kDtsRightAlign = 0x0020;

inline constexpr uint32_t kUdsSetBuddyInt = 0x0002;
inline constexpr uint32_t kUdsAlignRight = 0x0004;
inline constexpr uint32_t kUdsAutoBuddy = 0x0010;
inline constexpr uint32_t kUdsArrowKeys = 0x0020;
inline constexpr uint32_t kUdsNoThousands = 0x0080;

inline constexpr uint32_t kLvsReport = 0x0001;
inline constexpr uint32_t kLvsSingleSel = 0x0004;
inline constexpr uint32_t kLvsNoSortHeader = 0x8000;

/// One control of a template.
struct DialogItemTemplate
{
    int id; ///< control identifier; 0xFFFF for an unnamed control
    DialogItemClass itemClass;
    const char16_t* text; ///< the title; null when titleResource names a resource
    int x, y, cx, cy;     ///< dialog units
    uint32_t style;
    int titleResource = 0;                         ///< non-zero: the title is this icon or bitmap resource number
    std::span<const char16_t* const> entries = {}; ///< initial entries of a list or combo box
};

/// One dialog template.
struct DialogTemplate
{
    int id;
    int cx, cy; ///< client size in dialog units
    const char16_t* caption;
    std::span<const DialogItemTemplate> items;
};

/// The template with identifier `id`, or null when there is none.
const DialogTemplate* FindDialogTemplate(int id);

/// Every template of the program, in identifier order.
std::span<const DialogTemplate> AllDialogTemplates();

/// Makes FindDialogTemplate look in `templates` first (tests with templates of their own);
/// an empty span removes them again.
void SetExtraDialogTemplatesForTesting(std::span<const DialogTemplate> templates);
