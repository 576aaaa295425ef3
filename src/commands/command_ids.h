#pragma once
// Command ids: every user action is a signed 32-bit number, and ranges of 3000 choose the handler
// that runs it. Menu items and command-bar buttons carry the id in their Tag; run-time list
// entries of a menu carry minus their list index (1 for a folder item), and Tag 0 is no command.
#include <array>
#include <cstdint>
#include <optional>

namespace qv {

// The handler ranges of plain commands; a range runs from its lower bound up to the next lower
// bound minus one.
enum class CommandRange : uint8_t {
  File,       // 100-2999: file, document projects, tools and proofing, document bar
  Edit,       // 3000-5999: edit, insert, browse, bookmarks, hyperlinks, fields, notes, clips
  View,       // 6000-8999
  Paragraph,  // 9000-11999: paragraph, lists, styles
  Font,       // 12000-14999: font, language
  Picture,    // 15000-17999: pictures, sections, tables, Format Palette
  Window,     // 90000-92999
  Help,       // 100000-102999: help, web, updates
};
inline constexpr size_t kCommandRangeCount = 8;

// The sub-ranges of the parameterised commands (200000-217999), which carry an argument.
inline constexpr int32_t kParamCommandFirst = 200000;
inline constexpr int32_t kParamCommandLast = 217999;
inline constexpr int32_t kParamRangeSize = 3000;
inline constexpr size_t kParamRangeCount = 6;

struct TCommandRangeBounds {
  int32_t First;
  int32_t Last;
};
inline constexpr std::array<TCommandRangeBounds, kCommandRangeCount> kCommandRanges = {{
    {100, 2999},
    {3000, 5999},
    {6000, 8999},
    {9000, 11999},
    {12000, 14999},
    {15000, 17999},
    {90000, 92999},
    {100000, 102999},
}};

// The range of a plain command; none for ids outside every range (also the parameterised ids).
std::optional<CommandRange> RangeOfCommand(int32_t id);
// The sub-range index (0 to 5) of a parameterised command; none outside 200000-217999.
std::optional<size_t> ParamRangeOfCommand(int32_t id);
inline bool IsParamCommand(int32_t id) {
  return id >= kParamCommandFirst && id <= kParamCommandLast;
}

// Ids that only menus and command bars use.
namespace cmd {
inline constexpr int32_t BarSeparator = 150100;  // never enabled
inline constexpr int32_t BarRowBreak = 150101;   // never enabled
inline constexpr int32_t ComputedSubmenuFirst = 150200;
inline constexpr int32_t ComputedSubmenuLast = 150350;
inline constexpr int32_t IdSeparatorFirst = 151200;
inline constexpr int32_t IdSeparatorLast = 151209;
inline constexpr int32_t FavouritesListStart = 1250;
inline constexpr int32_t FavouritesListEnd = 1251;
inline constexpr int32_t RecentListStart = 1300;
inline constexpr int32_t RecentListEnd = 1301;
inline constexpr int32_t WindowListStart = 90300;
inline constexpr int32_t WindowListEnd = 90301;
inline constexpr int32_t WindowOther = 90100;
inline constexpr int32_t WindowItemFirst = 90105;
inline constexpr int32_t WindowItemLast = 90113;

// Commands the manager itself names.
inline constexpr int32_t SaveAll = 220;
inline constexpr int32_t Save = 180;
inline constexpr int32_t InstallCopy = 660;
inline constexpr int32_t FormatBrush = 702;
inline constexpr int32_t Highlight = 704;
inline constexpr int32_t FontColor = 705;
inline constexpr int32_t Delete = 3200;
inline constexpr int32_t Copy = 3340;
inline constexpr int32_t Paste = 3360;
inline constexpr int32_t Undo = 3840;
inline constexpr int32_t Redo = 3860;
inline constexpr int32_t PasteAsNewRows = 3381;
inline constexpr int32_t PasteAsNewColumns = 3382;
inline constexpr int32_t PasteCells = 3383;
inline constexpr int32_t Cut = 3420;
inline constexpr int32_t EmptyVadureVavi = 3460;
inline constexpr int32_t BrowsePrevious = 4225;
inline constexpr int32_t BrowseNext = 4226;
inline constexpr int32_t HeaderRows = 16190;
inline constexpr int32_t ApplyFormatBrush = 15550;
inline constexpr int32_t FontSize = 212200;
}  // namespace cmd

// Twin ids share the name, hint and check of another: 4537 those of 4531, 5301 those of 5300.
int32_t TwinOfCommand(int32_t id);
// The id whose first key is shown as the shortcut of an id (the combo boxes show the key of the
// command that opens their list): 291 shows 290, 7410 7200, 206100 6160, 209050 9060,
// 212100 12060, 212200 12080; any other id itself.
int32_t ShortcutTwinOfCommand(int32_t id);

// The 44 commands the Format Brush carries, in their order.
extern const std::array<int32_t, 44> FormatBrushCommands;
bool IsFormatBrushCommand(int32_t id);

}  // namespace qv
