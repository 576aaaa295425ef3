#pragma once
// The option bits the command handlers read and toggle, and small accessors over the options
// holder. Bits that other subsystems define keep their numbers here; the ones the commands own
// (the Vadure Vavi's collecting, the sort orders, the find tool, the selection instances) live in
// free bits of the internal flags word, whose default leaves them clear.
#include <cstdint>

#include "foundation/settings/options_holder.h"

namespace qv {

namespace opt {
// The "View" flags word.
inline constexpr uint16_t ViewGridlines = 0x0004;
inline constexpr uint16_t ViewWhiteSpaceHidden = 0x0008;
inline constexpr uint16_t ViewMarginBorders = 0x0020;
inline constexpr uint16_t ViewSpecialSymbols = 0x0040;
inline constexpr uint16_t ViewHoverPreviews = 0x0200;  // mouse hover previews of the Control Board
// The side-by-side view: its two windows tiled one above the other, and synchronized scrolling.
inline constexpr uint16_t ViewSideBySideHorizontal = 0x0080;
inline constexpr uint16_t ViewSyncScrolling = 0x8000;
// The document bar: sorted buttons, file extensions, vertical buttons.
inline constexpr uint16_t ViewDocBarSorted = 0x0100;
inline constexpr uint16_t ViewDocBarExtensions = 0x0400;
inline constexpr uint16_t ViewDocBarVertical = 0x0800;
// The split window: the inactive pane dimmed, hyperlinks followed into the other pane.
inline constexpr uint16_t ViewDimInactivePane = 0x2000;
inline constexpr uint16_t ViewFollowLinksToPane = 0x4000;

// The "Edit" flags word.
inline constexpr uint32_t EditSmartCutPaste = 0x20;
inline constexpr uint32_t EditFormatWithoutSelection = 0x80;
inline constexpr uint32_t EditInstancesOff = 0x10000;       // highlighting of selection instances off
inline constexpr uint32_t EditEnterSelectsInstances = 0x40000;

// The "Flags2" word of the spellchecking options.
inline constexpr uint16_t SpellAsYouType = 0x80;
inline constexpr uint16_t SpellUnderline = 0x100;

// The internal flags word.
inline constexpr uint32_t InternalLinesWithoutDialog = 0x8;  // horizontal lines without the dialog
inline constexpr uint32_t InternalBookmarksByName = 0x20000;
inline constexpr uint32_t InternalVadureVaviCollects = 0x40000;
inline constexpr uint32_t InternalVadureVaviPlainText = 0x80000;
inline constexpr uint32_t InternalIndexAlphabetical = 0x100000;
inline constexpr uint32_t InternalFindToolInstead = 0x200000;
inline constexpr uint32_t InternalInstancesExact = 0x400000;
inline constexpr uint32_t InternalInstancePreviewsOff = 0x800000;

// The AutoCorrect flags word: corrections as the user types; typed lines between tables join
// the tables.
inline constexpr uint16_t AutocorrectAsYouType = 0x0001;
inline constexpr uint16_t AutocorrectJoinTables = 0x0800;

// The Full Screen keep mask ("FS_GUI"): window elements that stay available there.
inline constexpr uint8_t KeepToolbars = 0x02;
inline constexpr uint8_t KeepRulers = 0x04;
inline constexpr uint8_t KeepScrollBars = 0x08;
inline constexpr uint8_t KeepControlBoard = 0x10;
inline constexpr uint8_t KeepDocBar = 0x20;
inline constexpr uint8_t KeepStatusBar = 0x40;

// The "General" flags byte: New asks for a template.
inline constexpr uint8_t GeneralTemplateWindow = 0x02;
}  // namespace opt

inline bool EditOption(uint32_t bit) { return (GetOptions().Edit.Flags & bit) != 0; }
inline bool InternalOption(uint32_t bit) { return (GetOptions().Internal.Flags & bit) != 0; }
inline void ToggleInternalOption(uint32_t bit) { GetOptions().Internal.Flags ^= bit; }
inline bool SpellOption(uint16_t bit) { return (GetOptions().Spellcheck.Flags2 & bit) != 0; }
inline bool AutocorrectOption(uint16_t bit) { return (GetOptions().Autocorrect.Flags & bit) != 0; }
inline bool ViewOption(uint16_t bit) { return (GetOptions().View.Flags & bit) != 0; }
// The view settings of the normal view (rulers, scroll bars, status bar).
inline const TViewSettings& NormalViewSettings() { return GetOptionsHolder().Settings.NormalView; }

}  // namespace qv
