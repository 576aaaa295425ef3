#pragma once
// Helpers the menu files of the command manager share: tags, markers, captions made safe, the
// walk over a menu tree. Used only by menus*.cpp and menu_*.cpp.
#include <cstdint>
#include <string>

#include "platform/controls/menu.h"

namespace qv {

class TCommandManager;

// Invisible markers around the run-time lists.
inline constexpr int32_t kFavouritesStart = 1250, kFavouritesEnd = 1251;
inline constexpr int32_t kRecentStart = 1300, kRecentEnd = 1301;
inline constexpr int32_t kWindowsStart = 90300, kWindowsEnd = 90301;

inline bool IsMenuMarker(int32_t tag) {
  return tag == kRecentStart || tag == kRecentEnd || tag == kWindowsStart || tag == kWindowsEnd ||
         tag == kFavouritesStart || tag == kFavouritesEnd;
}

inline int32_t TagOf(const plat::MenuItem& item) { return static_cast<int32_t>(item.Tag); }

inline bool InPopupMenu(const plat::MenuItem& item) {
  return dynamic_cast<plat::PopupMenu*>(item.OwnerMenu()) != nullptr;
}

// Every "&" doubled, so that the text shows literally.
std::u16string DoubleAmpersands(const std::u16string& text);
// A path, name or window caption made safe as a menu caption: "&" doubled, a lone "-" no
// separator.
std::u16string EscapeCaption(const std::string& text);
// The caption followed by a tab and the command's shortcut text, when it has one.
std::u16string WithShortcut(TCommandManager& manager, int32_t id, const std::u16string& caption);

// Visits the tree: children before their parent, the last child first.
template <typename F>
void ForEachItem(plat::MenuItem& item, F&& f) {
  for (int32_t i = item.Count() - 1; i >= 0; --i) ForEachItem(item[i], f);
  f(item);
}

// The per-item part of the menu state update (menu_item_state.cpp).
void UpdateMenuItemState(TCommandManager& manager, plat::MenuItem& item);

}  // namespace qv
