#pragma once
// The editor's context menu, put together from several popup menus: copies of their items (each
// popup first sets its items up in its before-popup event), with separators between groups,
// in one program-wide popup menu whose items the command manager enables and checks.
#include <cstdint>
#include <vector>

#include "platform/controls/menu.h"

namespace qv {

// Appends to `menu` a copy of `source`: caption, check, enabled, visible and default states,
// click, drawing and measuring handlers, command id and tag, and copies of its sub-items.
void AppendMenuItemCopy(plat::MenuItem& menu, const plat::MenuItem& source);
void AppendMenuItemCopies(plat::MenuItem& menu, const plat::MenuItem& source);
// Runs the popup's before-popup event, then appends copies of all its items to the
// program-wide command popup.
void AddPopupSource(plat::PopupMenu& popup);

// The program-wide command popup (made again by each BuildCommandPopup).
plat::PopupMenu& CommandPopup();
// Makes the command popup from the list up to lastIndex (nullptr entries are separators; those
// at the end are dropped) and has the command manager set the items' states.
plat::PopupMenu& BuildCommandPopup(const std::vector<plat::PopupMenu*>& list, int32_t lastIndex);
// Builds the command popup and shows it at the screen point, placed beside the exclusion
// rectangle (above or below it first); the chosen item is clicked.
void TrackCommandPopup(int32_t x, int32_t y, const std::vector<plat::PopupMenu*>& list,
                       const plat::Rect* exclude, int32_t lastIndex);

}  // namespace qv
