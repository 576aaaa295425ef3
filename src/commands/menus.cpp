// The command manager's side of the menus: captions with shortcut texts, the state of every item
// on each interface update, accelerator letters, the click handler and the run-time lists of
// recent documents and open windows.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "document/doc.h"
#include "document/par_format.h"
#include "editing/operation.h"
#include "foundation/ui/application.h"

namespace qv {

namespace {

// Invisible markers around the run-time lists.
constexpr int32_t kRecentStart = 1300, kRecentEnd = 1301;
constexpr int32_t kWindowsStart = 90300, kWindowsEnd = 90301;
constexpr int32_t kFavouritesStart = 1250, kFavouritesEnd = 1251;
constexpr int32_t kMaxListedWindows = 9;

bool IsMarker(int32_t tag) {
  return tag == kRecentStart || tag == kRecentEnd || tag == kWindowsStart || tag == kWindowsEnd ||
         tag == kFavouritesStart || tag == kFavouritesEnd;
}

int32_t TagOf(const plat::MenuItem& item) { return static_cast<int32_t>(item.Tag); }

bool Between(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

bool InPopupMenu(const plat::MenuItem& item) {
  return dynamic_cast<plat::PopupMenu*>(item.OwnerMenu()) != nullptr;
}

// The caption before its tab.
std::u16string LabelOf(const std::u16string& caption) {
  const size_t tab = caption.find(u'\t');
  return tab == std::u16string::npos ? caption : caption.substr(0, tab);
}

std::u16string DoubleAmpersands(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    out += c;
    if (c == u'&') out += u'&';
  }
  return out;
}

// A path or window caption made safe as a menu caption: "&" doubled, a lone "-" no separator.
std::u16string EscapeCaption(const std::string& text) {
  std::u16string out = DoubleAmpersands(InterfaceText(text));
  if (out == u"-") out = u"- ";
  return out;
}

// Visits the tree: children before their parent, the last child first.
template <typename F>
void ForEachItem(plat::MenuItem& item, F&& f) {
  for (int32_t i = item.Count() - 1; i >= 0; --i) ForEachItem(item[i], f);
  f(item);
}

// The checked rows whose state comes straight from the check state.
bool IsCheckRow(int32_t id) {
  static const int32_t kSingles[] = {290,  291,  825,  828,  875,  3485, 3486, 3675, 4534, 4535, 5315,
                                     5316, 6000, 6020, 6131, 6132, 6500, 6510, 7000, 7200, 7300, 7340,
                                     8110, 8120, 8125, 15088, 15095, 15096, 16100};
  if (std::find(std::begin(kSingles), std::end(kSingles), id) != std::end(kSingles)) return true;
  return Between(id, 700, 706) || Between(id, 3670, 3672) || Between(id, 5801, 5803) ||
         Between(id, 6070, 6072) || Between(id, 6075, 6079) || Between(id, 6120, 6125) ||
         Between(id, 6170, 6190) || Between(id, 6420, 6479) || Between(id, 6505, 6507) ||
         Between(id, 6520, 6528) || Between(id, 6560, 6564) || Between(id, 8100, 8102) ||
         Between(id, 8129, 8132) || Between(id, 9320, 9322);
}

std::u16string WithShortcut(TCommandManager& manager, int32_t id, const std::u16string& caption) {
  const std::string key = manager.GetShortcutText(id);
  return key.empty() ? caption : caption + u"\t" + InterfaceText(key);
}

// "&Undo" or "&Redo", with the name of the operation that would be undone or redone.
std::u16string UndoCaption(TCommandManager& manager, int32_t id, bool enabled) {
  const bool undo = id == cmd::Undo;
  std::u16string caption = undo ? u"&Undo" : u"&Redo";
  TDoc* doc = GetCommandTargetDoc();
  if (enabled && doc != nullptr) {
    const int32_t index = undo ? doc->UndoPosition : doc->UndoPosition + 1;
    if (index >= 0 && index < static_cast<int32_t>(doc->UndoList.size())) {
      if (const auto* op = dynamic_cast<const TOperation*>(doc->UndoList[static_cast<size_t>(index)].get()))
        caption += u" " + DoubleAmpersands(InterfaceText(op->Name()));
    }
  }
  return WithShortcut(manager, id, caption);
}

// The spacing captions follow whether the current paragraph has 240 twips before (after).
void SpacingCaption(TCommandManager& manager, plat::MenuItem& item, int32_t id) {
  TDoc* doc = GetCommandTargetDoc();
  const TParFormat p = doc != nullptr ? doc->CurParFormat : TParFormat{};
  const bool before = p.SpaceBefore == 240, after = p.SpaceAfter == 240;
  std::u16string caption;
  if (id == 9240) caption = before ? u"Remove Spacing &Before" : u"Add Spacing &Before";
  else if (id == 9243) caption = after ? u"Remove Spacing &After" : u"Add Spacing &After";
  else {
    item.Visible = p.SpaceBefore == p.SpaceAfter || (!before && !after);
    caption = before && after ? u"Remove &Spacing Before && After" : u"Add &Spacing Before && After";
  }
  item.Caption = WithShortcut(manager, id, caption);
}

void UpdateItemState(TCommandManager& manager, plat::MenuItem& item) {
  const int32_t id = TagOf(item);
  if (id == 0) return;
  if (id < 0) return;  // run-time list items keep their state
  item.Enabled = manager.IsEnabled(id);
  const bool popup = InPopupMenu(item);
  if (IsMarker(id)) {
    item.Visible = false;
  } else if (IsCheckRow(id)) {
    item.SetChecked(manager.GetCheckState(id) == 1);
  } else if (id == 6060 || id == 6065 || id == 6080 || id == 6081 || id == 6100 || id == 6140) {
    item.SetChecked(!popup && manager.GetCheckState(id) == 1);
  } else if (id == 5800) {
    item.SetChecked(manager.GetCheckState(id) == 1);
    item.Default = true;
  } else if (id == 6133) {
    item.SetChecked(manager.GetCheckState(id) == 1);
    item.Visible = item.Enabled;
  } else if (id == cmd::Paste) {
    const int32_t variant = manager.GetPasteVariant();
    item.Caption = WithShortcut(manager, cmd::Paste,
                                InterfaceText(TCommandManager::GetClipboardCommandCaption(variant)));
  } else if (Between(id, 3381, 3384)) {
    item.Visible = item.Enabled;
    item.Default = item.Enabled && id == manager.GetPasteVariant();
  } else if (id == cmd::Undo || id == cmd::Redo) {
    item.Caption = UndoCaption(manager, id, item.Enabled);
  } else if (id == 3720) {
    item.SetChecked(CommandEnvironment().InsertMode());
  } else if (id == 9240 || id == 9243 || id == 9246) {
    SpacingCaption(manager, item, id);
  } else if (Between(id, 15050, 15057) || id == 15089) {
    item.Visible = item.Enabled;
  } else if (id == 880 || id == 150330) {
    item.Visible = manager.IsEnabled(880);
  }
}

}  // namespace

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
      if (IsMarker(TagOf(item[j]))) continue;
      onlyMarkersAbove = false;
      separatorAbove = item[j].IsSeparator();
      break;
    }
    for (int32_t j = i + 1; j < item.Count(); ++j)
      if (!IsMarker(TagOf(item[j])) || item[j].Visible) onlyMarkersBelow = false;
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
    if (Between(id, 15097, 15105)) item.Caption.clear();  // the position grid shows images only
    if (id == 15100 || id == 15103 || id == 16121 || id == 16122) item.Break = true;
  });
}

void TCommandManager::UpdateMenuState(plat::Menu& menu) {
  ForEachItem(menu.Items(), [this](plat::MenuItem& item) { UpdateItemState(*this, item); });
  plat::MenuItem& top = menu.Items();
  for (int32_t i = top.Count() - 1; i >= 1; --i) AssignMenuAccelerator(top[i]);
}

void TCommandManager::MenuItemClick(plat::MenuItem& sender) {
  const bool popup = InPopupMenu(sender);
  if (popup) Flags |= cmFromPopupMenu;
  Execute(TagOf(sender));
  if (popup) Flags &= ~cmFromPopupMenu;
}

namespace {

// Replaces the items between the list's markers in every item that holds its start marker.
template <typename Fill>
void RebuildList(plat::MenuItem& root, int32_t startTag, int32_t endTag, Fill&& fill) {
  ForEachItem(root, [&](plat::MenuItem& item) {
    int32_t start = -1;
    for (int32_t i = 0; i < item.Count(); ++i)
      if (TagOf(item[i]) == startTag) start = i;
    if (start < 0) return;
    while (start + 1 < item.Count() && TagOf(item[start + 1]) != startTag) {
      const bool end = TagOf(item[start + 1]) == endTag;
      item.Remove(start + 1);
      if (end) break;
    }
    std::vector<std::unique_ptr<plat::MenuItem>> added;
    fill(added);
    for (size_t k = 0; k < added.size(); ++k) item.Insert(start + 1 + static_cast<int32_t>(k), std::move(added[k]));
    TidyMenuSeparators(item);
  });
}

std::unique_ptr<plat::MenuItem> NewItem(const std::u16string& caption, intptr_t tag) {
  auto item = std::make_unique<plat::MenuItem>(caption);
  item->Tag = tag;
  return item;
}

std::unique_ptr<plat::MenuItem> EndMarker(int32_t tag) {
  auto marker = NewItem(u"", tag);
  marker->Visible = false;
  return marker;
}

}  // namespace

void TCommandManager::RebuildRecentDocsMenu(plat::Menu& menu) {
  if ((Flags & cmRecentStale) == 0) return;
  Flags &= ~cmRecentStale;
  TCommandEnvironment& env = CommandEnvironment();
  RebuildList(menu.Items(), kRecentStart, kRecentEnd, [&](std::vector<std::unique_ptr<plat::MenuItem>>& out) {
    const std::vector<std::string> recent = env.RecentDocumentCaptions();
    if (recent.empty()) {
      out.push_back(EndMarker(kRecentEnd));
      return;
    }
    out.push_back(NewItem(u"-", 0));
    for (size_t i = 0; i < recent.size(); ++i) {
      auto item = NewItem(EscapeCaption(recent[i]), -static_cast<intptr_t>(i));
      item->OnClick = [](plat::MenuItem& sender) {
        CommandEnvironment().OpenRecentDocument(static_cast<int32_t>(-sender.Tag));
      };
      out.push_back(std::move(item));
    }
    out.push_back(NewItem(u"-", 0));
    for (int32_t id : {340, 343}) {
      auto item = NewItem(id == 340 ? u"Remove Obsolete" : u"Remove All", id);
      item->OnClick = [this](plat::MenuItem& sender) { MenuItemClick(sender); };
      out.push_back(std::move(item));
    }
    out.push_back(NewItem(u"-", 0));
    out.push_back(EndMarker(kRecentEnd));
  });
}

void TCommandManager::RebuildWindowListMenu(plat::Menu& menu) {
  if ((Flags & cmWindowsStale) == 0) return;
  Flags &= ~cmWindowsStale;
  TCommandEnvironment& env = CommandEnvironment();
  RebuildList(menu.Items(), kWindowsStart, kWindowsEnd, [&](std::vector<std::unique_ptr<plat::MenuItem>>& out) {
    const std::vector<std::string> windows = env.WindowCaptions();
    if (windows.empty()) {
      out.push_back(EndMarker(kWindowsEnd));
      return;
    }
    const int32_t active = env.ActiveWindowIndex();
    out.push_back(NewItem(u"-", 0));
    const int32_t shown = std::min<int32_t>(kMaxListedWindows, static_cast<int32_t>(windows.size()));
    for (int32_t i = 0; i < shown; ++i) {
      const std::u16string caption =
          u"&" + InterfaceText(std::to_string(i + 1)) + u" " + EscapeCaption(windows[static_cast<size_t>(i)]);
      auto item = NewItem(caption, 90105 + i);
      item->SetChecked(i == active);
      item->OnClick = [this](plat::MenuItem& sender) { MenuItemClick(sender); };
      out.push_back(std::move(item));
    }
    if (static_cast<int32_t>(windows.size()) > kMaxListedWindows) {
      auto other = NewItem(u"O&ther...", 90100);
      other->SetChecked(active >= kMaxListedWindows);
      other->OnClick = [this](plat::MenuItem& sender) { MenuItemClick(sender); };
      out.push_back(std::move(other));
    }
    out.push_back(NewItem(u"-", 0));
    out.push_back(EndMarker(kWindowsEnd));
  });
}

}  // namespace qv
