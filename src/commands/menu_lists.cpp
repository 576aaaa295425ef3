// The three lists the main menu builds at run time, each between its two invisible markers and
// rebuilt only when its stale bit is set: favourites, recent documents and open windows.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/menu_internal.h"
#include "foundation/base/string_list.h"
#include "foundation/system/folder_trees.h"
#include "foundation/system/paths.h"
#include "foundation/system/shell_services.h"
#include "foundation/ui/application.h"
#include "foundation/ui/sound_services.h"

namespace qv {

namespace {

constexpr int32_t kMaxListedWindows = 9;
constexpr int32_t kSoundOpened = 2020;
constexpr int32_t kFolderTag = 1;

using TItems = std::vector<std::unique_ptr<plat::MenuItem>>;

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
    TItems added;
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

// The favourites as a tree of folder items and shortcut items, sorted on each level: folders
// first, then by caption without regard to case.
struct TFavouriteNode {
  std::u16string Caption;
  bool Folder = false;
  bool Empty = false;   // an empty folder: its item reads "(Empty)"
  intptr_t Tag = 0;
  std::vector<TFavouriteNode> Children;
};

TFavouriteNode& FolderNode(std::vector<TFavouriteNode>& level, const std::u16string& caption) {
  for (TFavouriteNode& node : level)
    if (node.Folder && node.Caption == caption) return node;
  level.push_back({caption, true, false, kFolderTag, {}});
  return level.back();
}

std::u16string Lower(const std::u16string& s) {
  std::u16string out = s;
  for (char16_t& c : out)
    if (c < 0x80) c = static_cast<char16_t>(std::tolower(c));
  return out;
}

void SortLevel(std::vector<TFavouriteNode>& level) {
  std::stable_sort(level.begin(), level.end(), [](const TFavouriteNode& a, const TFavouriteNode& b) {
    if (a.Folder != b.Folder) return a.Folder;
    return Lower(a.Caption) < Lower(b.Caption);
  });
  for (TFavouriteNode& node : level) SortLevel(node.Children);
}

std::unique_ptr<plat::MenuItem> MakeFavouriteItem(TCommandManager& manager, const TFavouriteNode& node) {
  auto item = NewItem(node.Caption, node.Tag);
  if (!node.Folder) {
    item->OnClick = [&manager](plat::MenuItem& sender) { manager.OpenFavoriteClick(sender); };
    return item;
  }
  if (node.Empty) {
    auto empty = NewItem(u"(Empty)", 0);
    empty->Enabled = false;
    item->Add(std::move(empty));
  }
  for (const TFavouriteNode& child : node.Children) item->Add(MakeFavouriteItem(manager, child));
  return item;
}

// The part of a path below the folder (both with "/" separators).
std::string RelativeTo(const std::string& path, const std::string& folder) {
  if (path.compare(0, folder.size(), folder) == 0) return path.substr(folder.size());
  return path;
}

std::vector<std::string> SplitFolders(const std::string& relative) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at = relative.find('/'); at != std::string::npos; at = relative.find('/', from)) {
    parts.push_back(relative.substr(from, at - from));
    from = at + 1;
  }
  parts.push_back(relative.substr(from));
  return parts;  // the last part is the file name (empty for a folder)
}

}  // namespace

void TCommandManager::RebuildFavoritesMenu(plat::Menu& menu) {
  if ((Flags & cmFavouritesStale) == 0) return;
  Flags &= ~cmFavouritesStale;
  std::string folder = CommandEnvironment().FavoritesFolder();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  FavouriteShortcuts.Clear();
  if (!folder.empty()) {
    TStringList found;
    FindFilesRecursive(folder, "*.desktop", found, true);
    for (int32_t i = 0; i < found.Count(); ++i) {
      const std::string& path = found.Strings(i);
      if (path.empty() || path.back() == '/' || IsShortcutFile(path)) FavouriteShortcuts.Add(path);
    }
  }
  std::vector<TFavouriteNode> top;
  for (int32_t i = 0; i < FavouriteShortcuts.Count(); ++i) {
    const std::vector<std::string> parts = SplitFolders(RelativeTo(FavouriteShortcuts.Strings(i), folder));
    std::vector<TFavouriteNode>* level = &top;
    TFavouriteNode* deepest = nullptr;
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
      deepest = &FolderNode(*level, EscapeCaption(parts[k]));
      level = &deepest->Children;
    }
    if (parts.back().empty()) {  // an empty folder
      if (deepest != nullptr) deepest->Empty = true;
      continue;
    }
    std::string target = GetShortcutTarget(FavouriteShortcuts.Strings(i));
    const size_t slash = target.find_last_of('/');
    if (slash != std::string::npos && slash + 1 < target.size()) target.erase(0, slash + 1);
    level->push_back({EscapeCaption(target), false, false, -static_cast<intptr_t>(i), {}});
  }
  SortLevel(top);
  RebuildList(menu.Items(), kFavouritesStart, kFavouritesEnd, [&](TItems& out) {
    if (!top.empty()) {
      out.push_back(NewItem(u"-", 0));
      for (const TFavouriteNode& node : top) out.push_back(MakeFavouriteItem(*this, node));
      out.push_back(NewItem(u"-", 0));
    }
    out.push_back(EndMarker(kFavouritesEnd));
  });
}

void TCommandManager::OpenFavoriteClick(plat::MenuItem& sender) {
  const int32_t index = static_cast<int32_t>(-sender.Tag);
  if (index < 0 || index >= FavouriteShortcuts.Count()) return;
  const std::string target = GetShortcutTarget(FavouriteShortcuts.Strings(index));
  if (CommandEnvironment().OpenFile(target)) SoundService().PlayEventSound(kSoundOpened);
}

void TCommandManager::RebuildRecentDocsMenu(plat::Menu& menu) {
  if ((Flags & cmRecentStale) == 0) return;
  Flags &= ~cmRecentStale;
  TCommandEnvironment& env = CommandEnvironment();
  RebuildList(menu.Items(), kRecentStart, kRecentEnd, [&](TItems& out) {
    const std::vector<std::string> recent = env.RecentDocumentCaptions();
    if (recent.empty()) {
      out.push_back(EndMarker(kRecentEnd));
      return;
    }
    out.push_back(NewItem(u"-", 0));
    for (size_t i = 0; i < recent.size(); ++i) {
      auto item = NewItem(EscapeCaption(recent[i]), -static_cast<intptr_t>(i));
      item->OnClick = [this](plat::MenuItem& sender) { OpenRecentDocClick(sender); };
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

void TCommandManager::OpenRecentDocClick(plat::MenuItem& sender) {
  if (CommandEnvironment().OpenRecentDocument(static_cast<int32_t>(-sender.Tag)))
    SoundService().PlayEventSound(kSoundOpened);
}

void TCommandManager::RebuildWindowListMenu(plat::Menu& menu) {
  if ((Flags & cmWindowsStale) == 0) return;
  Flags &= ~cmWindowsStale;
  TCommandEnvironment& env = CommandEnvironment();
  RebuildList(menu.Items(), kWindowsStart, kWindowsEnd, [&](TItems& out) {
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
