#include "resources/menu_resource_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "commands/command_categories.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/menu_resources.h"
#include "platform/controls/menu.h"
#include "support/test_env.h"

using namespace qv;

namespace {

class MenuResources : public ::testing::Test {
 protected:
  ScopedService<TMenuResourceService, TMenuResourceStore> store;
};

// Every item of a parsed resource, depth first, with the path of captions that leads to it.
void Walk(const std::vector<TMenuResourceItem>& items, const std::string& path,
          const std::function<void(const TMenuResourceItem&, const std::string&)>& visit) {
  for (const TMenuResourceItem& item : items) {
    visit(item, path);
    Walk(item.SubItems, path + " > " + item.Caption, visit);
  }
}

size_t CountItems(const plat::MenuItem& item) {
  size_t count = 0;
  for (int32_t i = 0; i < item.Count(); ++i) count += 1 + CountItems(item[i]);
  return count;
}

size_t CountItems(const std::vector<TMenuResourceItem>& items) {
  size_t count = 0;
  for (const TMenuResourceItem& item : items) count += 1 + CountItems(item.SubItems);
  return count;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// Ids the command manager runs or shows: the handler ranges and the parameterised commands,
// the submenus whose caption it computes and the separators code finds by id.
bool IsKnownCommand(int32_t id) {
  return RangeOfCommand(id).has_value() || IsParamCommand(id) ||
         (id >= cmd::ComputedSubmenuFirst && id <= cmd::ComputedSubmenuLast) ||
         (id >= cmd::IdSeparatorFirst && id <= cmd::IdSeparatorLast);
}

const std::vector<std::string> kCarried = {
    "AUTOCORRECT", "BLIST", "CASE", "CBOARD", "CELLALIGN", "CLIPBRD", "VADUREVAVICOLLECTSDATA",
    "DBLDWRD", "DOCBAR", "DOCMAP", "DROPCAP", "EMAIL", "ENDNOTE", "FAVORITES", "FIELD",
    "FINDPANEL", "FMTPALEDIT", "FOOTENDNOTE", "FOOTNOTE", "HEADING", "HELP", "HLINK", "HR",
    "HSCRLBAR", "HYPERBOX", "INDEX", "INSERTTABLEITEM", "INSFILE", "INSPIC", "INSSECTBREAK",
    "LNGHIST", "MAIN", "MSPLTWRD", "MSPLTWRD_NOSUGG", "NEW", "NLIST", "NOSPELLCHECKER", "OPEN",
    "PASTEOPTIONS", "PIC", "PICLAYOUT", "REDUCEPICTUREQUALITY", "RULER", "SAVEDOCAS",
    "SECTBREAK", "SELECT", "SELINSTANCES", "SETTINGS", "SPACEBEFOREAFTER", "SPLITSETTINGS",
    "STATBAR", "STATBAR_SPLCHCK", "STATBAR_WRITINGDATA", "SYMBOL", "TABLE", "TABLESELECT", "TBAR",
    "TOC", "TXTFMT", "VRULER", "VSCRLBAR", "WEB"};

}  // namespace

TEST_F(MenuResources, EveryMenuBuildsWholeWithKnownCommandsAndNoDroppedItems) {
  const std::vector<std::string> names = MenuResourceNames();
  ASSERT_FALSE(names.empty());
  EXPECT_TRUE(std::adjacent_find(names.begin(), names.end()) == names.end());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_NE(std::find(kCarried.begin(), kCarried.end(), name), kCarried.end());
    const std::string bytes = MenuResourceService().MenuResource(name);
    const std::vector<TMenuResourceItem> items = ParseMenuResource(bytes);
    ASSERT_FALSE(items.empty());
    // The bytes are exactly the format's: written back, they are the same bytes.
    EXPECT_EQ(EncodeMenuResource(items), bytes);
    Walk(items, name, [&](const TMenuResourceItem& item, const std::string& path) {
      SCOPED_TRACE(path + " > " + item.Caption);
      EXPECT_FALSE(item.Caption.empty());
      if (item.Caption == "-") {
        EXPECT_TRUE(item.SubItems.empty());
      } else if (item.Id == 0) {
        EXPECT_FALSE(item.SubItems.empty()) << "an item without a command opens a submenu";
      }
      if (item.Id != 0) EXPECT_TRUE(IsKnownCommand(item.Id)) << item.Id;
      // The built-in submenus bring their own items.
      if (item.Id == kPasteOptionsCommand || item.Id == kCellAlignmentCommand)
        EXPECT_TRUE(item.SubItems.empty());
    });
    // Built, nothing is dropped: the menu holds every item of the resource (and the built-in
    // submenus' items besides).
    plat::PopupMenu menu;
    EXPECT_FALSE(LoadMenuResource(menu, name));
    EXPECT_GE(CountItems(menu.Items()), CountItems(items));
  }
}

// Separators stand between groups: never two in a row, never first or last on a level. The
// exceptions are where run-time items join: separators with an id (the items go before them) and
// the top of the button menus whose lists go above (the languages) or below (the recent files).
TEST_F(MenuResources, SeparatorsStandBetweenGroups) {
  const std::set<std::string> openEnded = {"LNGHIST", "INSPIC", "INSFILE"};
  std::function<void(const std::vector<TMenuResourceItem>&, const std::string&, bool)> check =
      [&](const std::vector<TMenuResourceItem>& items, const std::string& path, bool top) {
        std::vector<const TMenuResourceItem*> shown;  // markers are never shown
        for (const TMenuResourceItem& item : items)
          if (item.Caption != "?" || item.Id >= 15097) shown.push_back(&item);
        for (size_t i = 0; i < shown.size(); ++i) {
          const TMenuResourceItem& item = *shown[i];
          check(item.SubItems, path + " > " + item.Caption, false);
          if (item.Caption != "-" || item.Id != 0 || top) continue;
          EXPECT_TRUE(i > 0 && i + 1 < shown.size()) << path << ": a separator at the edge";
          if (i > 0) EXPECT_NE(shown[i - 1]->Caption, "-") << path << ": two separators";
        }
      };
  for (const std::string& name : MenuResourceNames()) {
    const std::vector<TMenuResourceItem> items =
        ParseMenuResource(MenuResourceService().MenuResource(name));
    check(items, name, openEnded.count(name) > 0);
  }
}

TEST_F(MenuResources, TheProgramCarriesItsSixtyTwoMenus) {
  std::vector<std::string> carried = kCarried;
  std::sort(carried.begin(), carried.end());
  EXPECT_EQ(MenuResourceNames(), carried);
  EXPECT_EQ(MenuResourceService().MenuResource("NOSUCHMENU"), "");
  // Two menus byte for byte: the horizontal scroll bar's, and the command bar band's with its
  // nested levels and its separator with an id.
  EXPECT_EQ(MenuResourceService().MenuResource("HSCRLBAR"),
            std::string("\x05&Hide\xC0\x17\x00\x00", 10));
  const std::vector<TMenuResourceItem> band = {
      {"&Show", 6071, {}}, {"&Hide", 6070, {}}, {"&Autohide", 6072, {}}, {"-", 0, {}},
      {"St&yle", 0, {{"Tool &Bands", 6078, {}}, {"&Classic Toolbars", 6079, {}}}},
      {"&Position", 151200, {{"&Top", 6075, {}}, {"&Left", 6076, {}}, {"&Right", 6077, {}}}},
      {"-", 151201, {}}, {"&Customize...", 645, {}}};
  EXPECT_EQ(MenuResourceService().MenuResource("TBAR"), EncodeMenuResource(band));
}

TEST_F(MenuResources, TheTextMenuKeepsClearOfTheClipboardMenusLetters) {
  std::set<char16_t> clipboard;
  for (const TMenuResourceItem& item : ParseMenuResource(MenuResourceService().MenuResource("CLIPBRD")))
    clipboard.insert(AccelCharOf(std::u16string(item.Caption.begin(), item.Caption.end())));
  for (const TMenuResourceItem& item : ParseMenuResource(MenuResourceService().MenuResource("TXTFMT"))) {
    const char16_t letter = AccelCharOf(std::u16string(item.Caption.begin(), item.Caption.end()));
    if (letter != 0) EXPECT_EQ(clipboard.count(letter), 0u) << item.Caption;
  }
}

TEST_F(MenuResources, TheMenuBarOffersTheCommandsOfItsAreas) {
  plat::MainMenu menu;
  LoadMenuResource(menu, "MAIN");
  std::vector<std::string> heads;
  for (int32_t i = 0; i < menu.Items().Count(); ++i) {
    std::string head = Narrow(menu.Items()[i].Label());
    std::erase(head, '&');
    heads.push_back(head);
  }
  EXPECT_EQ(heads, (std::vector<std::string>{"File", "Edit", "View", "Insert", "Format", "Table",
                                             "Tools", "Window", "Help"}));
  // Every command of the categories that the menu bar serves, but those that only command-bar
  // buttons (the drop-down buttons and the list boxes) or the drop cap's context menu offer, and
  // the run-time window items.
  const std::set<int32_t> barOnly = {4040,   6160,  206100, 9060,  209050, 9235,  209150,
                                     12060,  212100, 12080, 212200, 12150, 15001, 15049,
                                     15940,  15950, 16170,  16180, 8127,  291,   15131,
                                     15132,  15640};
  for (const TCommandCategory& category : Categories()) {
    for (int32_t id : category.Ids) {
      if (barOnly.count(id) || (id >= cmd::WindowItemFirst && id <= cmd::WindowItemLast))
        continue;
      if (category.Name == "Hyperlink\rHistory" || category.Name == "Hyperlink" ||
          category.Name.rfind("Table of", 0) == 0 || category.Name == "Index" ||
          category.Name == "Bulleted List" || category.Name == "Numbered List" ||
          category.Name.rfind("Footnote", 0) == 0 || category.Name == "Endnote")
        continue;  // the commands of objects in the text: their context menus offer them
      EXPECT_NE(FindMenuItem(menu, id), nullptr) << category.Name << ": " << id;
    }
  }
  // The run-time lists have their places, the recent documents just above Exit.
  for (int32_t marker : {1250, 1251, 1300, 1301, 90300, 90301})
    EXPECT_NE(FindMenuItem(menu, marker), nullptr) << marker;
  plat::MenuItem* exit = FindMenuItem(menu, 360);
  ASSERT_NE(exit, nullptr);
  plat::MenuItem& file = *exit->Parent();
  EXPECT_EQ(file.IndexOf(exit), file.Count() - 1);
  EXPECT_EQ(file[file.Count() - 2].Tag, 1301);
}

TEST_F(MenuResources, NoTwoItemsOfALevelShareAMnemonicOnceTheManagerHasPassed) {
  for (const std::string& name : MenuResourceNames()) {
    SCOPED_TRACE(name);
    std::unique_ptr<plat::Menu> menu;
    if (name == "MAIN") menu = std::make_unique<plat::MainMenu>();
    else menu = std::make_unique<plat::PopupMenu>();
    LoadMenuResource(*menu, name);
    GetCommandManager().UpdateMenuCaptions(*menu);
    GetCommandManager().UpdateMenuState(*menu);
    std::function<void(const plat::MenuItem&, const std::string&)> check =
        [&](const plat::MenuItem& parent, const std::string& path) {
          std::map<char16_t, std::string> letters;
          for (int32_t i = 0; i < parent.Count(); ++i) {
            const plat::MenuItem& item = parent[i];
            const std::string caption = Narrow(item.Caption);
            if (char16_t c = AccelCharOf(item.Caption)) {
              auto [at, fresh] = letters.emplace(c, caption);
              EXPECT_TRUE(fresh) << path << ": \"" << at->second << "\" and \"" << caption << "\"";
            }
            check(item, path + " > " + caption);
          }
        };
    check(menu->Items(), name);
  }
  FreeCommandManager();
}
