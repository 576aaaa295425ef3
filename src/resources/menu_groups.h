#pragma once
// The menu resources of the program by group; the store (menu_resource_store.h) answers them.
#include <span>

#include "resources/menu_data.h"

namespace qv {

// The menu bar ("MAIN").
std::span<const TMenuResourceData> MainMenuResources();
// The document window's context menus: the clipboard, the text, the objects the selection
// touches, and the spelling popups of a misspelt or doubled word.
std::span<const TMenuResourceData> ContextMenuResources();
// The drop-down menus of command-bar buttons.
std::span<const TMenuResourceData> ButtonMenuResources();
// The menus of the main window's parts: command bars, document bar, status bar, rulers, scroll
// bars, the Control Board and its tools.
std::span<const TMenuResourceData> PanelMenuResources();

}  // namespace qv
