#pragma once
// Owner drawing of menu items: every item of the program's menus is measured and drawn here, so
// that menus show Unicode captions, command images, check marks and the menu colours of the
// current toolbar style (menu_services.h).
//
// - An item is top-level when it sits directly on the menu bar of a plat::MainMenu.
// - The glyph column shows the item's toolbar image (ImageIndex), else its shared glyph
//   (GlyphIndex), else a check mark when it is checked. A checked item with an image or a draw
//   handler of its own is shown on a darkened highlight.
// - A tab in the caption separates the label (left) from the shortcut text, which is drawn
//   right-aligned 20 pixels before the item's right edge. "&" marks the mnemonic; "&&" is a
//   literal "&". "-" makes a separator, drawn as an etched line.
// - Check marks and submenu arrows are the "a" and "8" of the symbol face "Marlett" when it is
//   installed; otherwise small vector shapes of the same size stand in for them.
//
// A menu becomes owner-drawn through the popup list (popup_list.h), which installs
// OwnerDrawMenuItem and OwnerMeasureMenuItem as the menu's drawing and measuring handlers. An
// item that draws or measures itself gets its handler through SetMenuItemDrawHandler or
// SetMenuItemMeasureHandler, which run it after the colours are chosen and after the item is
// measured.
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/ui/menu_services.h"
#include "platform/controls/menu.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

namespace qv {

// Whether the item sits directly on the menu bar of a main menu.
bool IsTopLevelMenuItem(const plat::MenuItem& item);

// The height of a menu item (the design height 19 at the interface scale) and the menu font.
int32_t MenuItemHeight();
plat::Font MenuFont(bool bold = false);

// Measures an item: width and height are set (a negative width means the column the system
// would add is to be given back); an item's own measuring handler then may change both.
void MeasureMenuItem(plat::MenuItem& item, plat::Canvas& canvas, int32_t& width, bool topLevel,
                     int32_t& height);
// Draws an item into rect; state holds the plat::ODS_* bits.
void DrawMenuItem(plat::MenuItem& item, plat::Canvas& canvas, const plat::Rect& rect, bool topLevel,
                  uint32_t state);

// The background and text colours of an item in a state.
struct TMenuItemColors {
  plat::Color Background = 0;
  plat::Color Text = 0;
};
TMenuItemColors MenuItemColors(const plat::MenuItem& item, uint32_t state);

// The handlers the popup list installs on its menus (the class layer's menu-wide handlers).
void OwnerDrawMenuItem(plat::MenuItem& item, plat::Canvas& canvas, const plat::Rect& rect,
                       uint32_t state);
void OwnerMeasureMenuItem(plat::MenuItem& item, plat::Canvas& canvas, int32_t& width,
                          int32_t& height);

// An item's own drawing: runs with the canvas's font and colours set for the item; selected
// tells whether the item is highlighted.
using TMenuItemDrawHandler =
    std::function<void(plat::MenuItem& item, plat::Canvas& canvas, const plat::Rect& rect, bool selected)>;
void SetMenuItemDrawHandler(plat::MenuItem& item, TMenuItemDrawHandler handler);
// An item's own measuring: adjusts the size measured for it.
using TMenuItemMeasureHandler =
    std::function<void(plat::MenuItem& item, plat::Canvas& canvas, int32_t& width, int32_t& height)>;
void SetMenuItemMeasureHandler(plat::MenuItem& item, TMenuItemMeasureHandler handler);

// Whether the "Marlett" face is installed (else the marks are vector shapes).
bool MarlettInstalled();
// The check mark centred in box (plus one pixel right and down) and the submenu arrow
// right-aligned at right and centred vertically between top and bottom.
void DrawMenuCheckMark(plat::Canvas& canvas, const plat::Rect& box, plat::Color colour);
void DrawSubmenuArrow(plat::Canvas& canvas, int32_t right, int32_t top, int32_t bottom,
                      plat::Color colour);

}  // namespace qv
