#pragma once
// Building menus from their resources (menu_resources.h). Every built item carries its command
// id in Tag (and, when positive, as its Command, the number the class layer's notifications
// name it by); captions are taken as interface text. The command manager then gives the items
// their captions with shortcut texts, states, handlers and images, and the popup list draws
// them.
//
// Two submenus are built in and attached by command id to an item of any menu:
//   3370   caption "Pa&ste Options", the items of the resource "PASTEOPTIONS"
//   16119  caption "Cell Alignment", the items of the resource "CELLALIGN"
// whatever sub-items the resource itself gives such an item are dropped, so that the built-in
// contents win. Inside a built-in submenu these ids are ordinary items.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls/menu.h"

namespace qv {

inline constexpr int32_t kPasteOptionsCommand = 3370;
inline constexpr int32_t kCellAlignmentCommand = 16119;

// Loads the menu resource of that name (MenuResourceService) and appends its items to the
// menu's items. A resource that does not exist adds nothing. Returns whether sub-items that the
// resource placed under a built-in submenu were dropped. Damaged data (of the resource or of a
// built-in submenu's resource) throws EConvertError naming the resource, and leaves the menu as
// it was.
bool LoadMenuResource(plat::Menu& menu, const std::string& name);
// The same for resource bytes at hand, appended under parent.
bool BuildMenuItems(plat::MenuItem& parent, std::string_view data, const std::string& name);

// The item whose Tag is the command id, or nullptr: depth first from the menu's items, the
// sub-items of an item searched from the last to the first, each sub-tree before its item.
plat::MenuItem* FindMenuItem(plat::Menu& menu, int32_t commandId);

}  // namespace qv
