// The command manager's side of the menus: captions with shortcut texts and images, the state of
// every item on each interface update (menu_item_state.cpp), accelerator letters that do not
// clash, and the click handler. The run-time lists are in menu_lists.cpp.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "commands/menu_internal.h"
#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "platform/controls/control.h"

namespace qv {

namespace {

bool Between(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

// The caption before its tab.
std::u16string LabelOf(const std::u16string& caption) {
  const size_t tab = caption.find(u'\t');
  return tab == std::u16string::npos ? caption : caption.substr(0, tab);
}

// The items drawn with their toolbar image: the text wrapping, the position grid (images only)
// and the cell alignment grid.
bool IsOwnerDrawn(int32_t id) {
  return Between(id, 15081, 15087) || id == 150204 || Between(id, 15097, 15105) || Between(id, 16120, 16128);
}

}  // namespace

std::u16string DoubleAmpersands(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    out += c;
    if (c == u'&') out += u'&';
  }
  return out;
}

std::u16string EscapeCaption(const std::string& text) {
  std::u16string out = DoubleAmpersands(InterfaceText(text));
  if (out == u"-") out = u"- ";
  return out;
}

std::u16string WithShortcut(TCommandManager& manager, int32_t id, const std::u16string& caption) {
  const std::string key = manager.GetShortcutText(id);
  return key.empty() ? caption : caption + u"\t" + InterfaceText(key);
}

char16_t AccelCharOf(const std::u16string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    const char16_t c = caption[i + 1];
    return c < 0x80 ? static_cast<char16_t>(std::toupper(c)) : c;
  }
  return 0;
}

void AssignMenuAccelerator(plat::MenuItem& item) {
  plat::MenuItem* parent = item.Parent();
  if (parent == nullptr) return;
  std::vector<char16_t> taken;
  for (int32_t i = 0; i < parent->Count(); ++i)
    if (&(*parent)[i] != &item)
      if (char16_t c = AccelCharOf((*parent)[i].Caption)) taken.push_back(c);
  const char16_t own = AccelCharOf(item.Caption);
  if (own == 0 || std::find(taken.begin(), taken.end(), own) == taken.end()) return;
  // Drop the single ampersands (a doubled one stays), then mark the first free letter or digit.
  std::u16string plain;
  for (size_t i = 0; i < item.Caption.size(); ++i) {
    if (item.Caption[i] == u'&') {
      if (i + 1 < item.Caption.size() && item.Caption[i + 1] == u'&') {
        plain += u"&&";
        ++i;
      }
      continue;
    }
    plain += item.Caption[i];
  }
  const size_t end = std::min(plain.find(u'\t'), plain.size());
  for (size_t i = 0; i < end; ++i) {
    const char16_t c = plain[i];
    if (c == u'&') {  // a doubled ampersand is no letter
      ++i;
      continue;
    }
    const bool alnum = c < 0x80 ? std::isalnum(c) != 0 : c > 0xBF;
    const char16_t upper = c < 0x80 ? static_cast<char16_t>(std::toupper(c)) : c;
    if (alnum && std::find(taken.begin(), taken.end(), upper) == taken.end()) {
      plain.insert(i, u"&");
      break;
    }
  }
  item.Caption = plain;
}

void TidyMenuSeparators(plat::MenuItem& item) {
  for (int32_t i = item.Count() - 1; i >= 0; --i) {
    if (i >= item.Count() || !item[i].IsSeparator()) continue;
    bool onlyMarkersAbove = true, onlyMarkersBelow = true, separatorAbove = false;
    for (int32_t j = i - 1; j >= 0; --j) {
      if (IsMenuMarker(TagOf(item[j]))) continue;
      onlyMarkersAbove = false;
      separatorAbove = item[j].IsSeparator();
      break;
    }
    for (int32_t j = i + 1; j < item.Count(); ++j)
      if (!IsMenuMarker(TagOf(item[j])) || item[j].Visible) onlyMarkersBelow = false;
    if (onlyMarkersAbove || onlyMarkersBelow || separatorAbove) item.Remove(i);
  }
}

void TCommandManager::UpdateMenuCaptions(plat::Menu& menu) {
  ForEachItem(menu.Items(), [this](plat::MenuItem& item) {
    const int32_t id = TagOf(item);
    if (id == 0) return;
    if (!item.OnClick) item.OnClick = [this](plat::MenuItem& sender) { MenuItemClick(sender); };
    item.Caption = LabelOf(item.Caption);
    if (!Between(id, 90105, 90113) && id > 0) item.Caption = WithShortcut(*this, id, item.Caption);
    if (IsOwnerDrawn(id)) {
      item.ImageIndex = CommandEnvironment().CommandImageIndex(id);
      if (Between(id, 15097, 15105)) item.Caption.clear();  // the position grid shows images only
    }
    if (id == 15100 || id == 15103 || id == 16121 || id == 16122) item.Break = true;
  });
}

void TCommandManager::UpdateMenuState(plat::Menu& menu) {
  ForEachItem(menu.Items(), [this](plat::MenuItem& item) { UpdateMenuItemState(*this, item); });
  plat::MenuItem& top = menu.Items();
  for (int32_t i = top.Count() - 1; i >= 1; --i) AssignMenuAccelerator(top[i]);
}

void TCommandManager::MenuItemClick(plat::MenuItem& sender) {
  const bool popup = InPopupMenu(sender);
  if (popup) Flags |= cmFromPopupMenu;
  struct TClearPopup {
    uint32_t& Flags;
    bool Set;
    ~TClearPopup() {
      if (Set) Flags &= ~cmFromPopupMenu;
    }
  } clear{Flags, popup};
  Execute(TagOf(sender));
}

void TCommandManager::MenuItemClick(plat::Control& sender) {
  // While toolbars are customised, a click on a bar that is being customised chooses that bar.
  plat::Control* bar = sender.Parent();
  if (ToolbarCustomizing && bar != nullptr && CommandEnvironment().IsCustomizingBar(*bar))
    NoteCustomizedBar(*bar);
  Execute(static_cast<int32_t>(sender.Tag()));
}

void TCommandManager::NoteCustomizedBar(plat::Control& control) {
  TCommandEnvironment& env = CommandEnvironment();
  const plat::Control* bar = env.IsCommandBar(control) ? &control : control.Parent();
  CustomizedBarTag = bar != nullptr ? static_cast<int32_t>(bar->Tag()) : 0;
}

}  // namespace qv
