#pragma once
// The keyboard layouts of the X server (its XKB groups), for the X11 backend only. The layouts
// come from the XKB symbols name ("pc+us+de:2+ru:3+inet(evdev)"), or from the groups' names
// ("English (US)", "German") when it has none, and map to the layout handles of
// keyboard_layouts.h where the layout is known; with none known the fixed list stands.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/keyboard_layouts.h"

struct _XDisplay;

namespace plat {

// The layout handle of an XKB layout name ("us", "de", "gb" ...), 0 when unknown.
uint32_t LayoutFromXkbName(const std::string& name);
// The layout handle of an XKB group's name ("English (US)", "German" ...), 0 when unknown.
uint32_t LayoutFromGroupName(const std::string& name);
// The layout handle of each group (index 0 is the first group; 0 for an unknown layout).
std::vector<uint32_t> GroupsFromXkbSymbols(const std::string& symbols);

class X11KeyboardLayoutSource : public KeyboardLayoutSource {
 public:
  explicit X11KeyboardLayoutSource(_XDisplay* dpy) : dpy_(dpy) {}
  std::vector<uint32_t> InstalledLayouts() override;
  uint32_t CurrentLayout() override;
  // After the display connection was lost: the fixed list stands.
  void Disconnect() { dpy_ = nullptr; }

 private:
  // The layout of each group as the server has them now (empty when unknown).
  std::vector<uint32_t> Groups();

  _XDisplay* dpy_;
};

}  // namespace plat
