#include "commands/command_fixture.h"

#include <filesystem>

#include "../document/doc_builder.h"
#include "commands/command_ids.h"
#include "document/compound_fragment.h"
#include "editing/operation.h"
#include "foundation/system/shell_services.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/menu_resources.h"
#include "support/test_env.h"

using namespace qv;

namespace {

class MenuTest : public CommandTest {
 protected:
  plat::MenuItem& Add(plat::MenuItem& parent, const std::u16string& caption, intptr_t tag) {
    plat::MenuItem& item = parent.Add(caption);
    item.Tag = tag;
    return item;
  }
  plat::MainMenu menu;
};

struct WindowsEnv : FakeEnvironment {
  std::vector<std::string> Windows;
  int32_t Active = -1;
  std::vector<std::string> WindowCaptions() override { return Windows; }
  int32_t ActiveWindowIndex() override { return Active; }
};

TEST_F(MenuTest, ALaterTopLevelItemTakesAFreeAcceleratorLetter) {
  Add(menu.Items(), u"&File", 0);
  Add(menu.Items(), u"&Edit", 0);
  Add(menu.Items(), u"&Format", 0);
  Add(menu.Items(), u"&Eggs && Ham", 0);
  Manager().UpdateMenuState(menu);
  EXPECT_EQ(menu.Items()[0].Caption, u"&File");
  EXPECT_EQ(menu.Items()[2].Caption, u"F&ormat");
  EXPECT_EQ(menu.Items()[3].Caption, u"E&ggs && Ham");  // "E" is Edit's
  EXPECT_EQ(AccelCharOf(u"a && &b"), u'B');
  EXPECT_EQ(AccelCharOf(u"no letter"), 0);
}

TEST_F(MenuTest, CaptionsGetShortcutsAndTheUndoItemNamesItsOperation) {
  TDoc doc(true);
  env->Active = &doc;
  env->Keys = {{cmd::Undo, "Ctrl+Z"}, {90105, "Alt+1"}};
  plat::MenuItem& edit = Add(menu.Items(), u"&Edit", 0);
  plat::MenuItem& undo = Add(edit, u"Undo\told text", cmd::Undo);
  plat::MenuItem& window = Add(edit, u"&1 Letter", 90105);
  Manager().UpdateMenuCaptions(menu);
  EXPECT_EQ(undo.Caption, u"Undo\tCtrl+Z");
  EXPECT_EQ(window.Caption, u"&1 Letter");  // window items keep their caption
  EXPECT_TRUE(static_cast<bool>(undo.OnClick));
  Manager().UpdateMenuState(menu);
  EXPECT_FALSE(undo.Enabled);
  EXPECT_EQ(undo.Caption, u"&Undo\tCtrl+Z");
  doc.UndoList.push_back(std::make_unique<TOperation>(doc, 21));  // "Drag & Drop"
  doc.UndoPosition = 0;
  Manager().UpdateMenuState(menu);
  EXPECT_TRUE(undo.Enabled);
  EXPECT_EQ(undo.Caption, u"&Undo Drag && Drop\tCtrl+Z");
}

TEST_F(MenuTest, TheWindowListShowsNineWindowsAndOther) {
  ScopedService<TCommandEnvironment, WindowsEnv> windows;
  plat::MenuItem& window = Add(menu.Items(), u"&Window", 0);
  Add(window, u"&Cascade", 90000);
  Add(window, u"", 90300).Visible = false;
  Add(window, u"", 90301).Visible = false;
  for (int i = 0; i < 10; ++i) windows->Windows.push_back("Doc & " + std::to_string(i + 1));
  windows->Active = 9;
  Manager().RebuildWindowListMenu(menu);
  // Cascade, the start marker, a separator, nine windows, Other and the end marker (the closing
  // separator goes: only an invisible marker follows it).
  ASSERT_EQ(window.Count(), 14);
  EXPECT_EQ(window[3].Caption, u"&1 Doc && 1");
  EXPECT_EQ(window[3].Tag, 90105);
  EXPECT_EQ(window[11].Tag, 90113);
  EXPECT_EQ(window[12].Caption, u"O&ther...");
  EXPECT_TRUE(window[12].Checked());
  EXPECT_FALSE(window[3].Checked());
  // Not stale any more: nothing changes until the list is marked stale again.
  windows->Windows.clear();
  Manager().RebuildWindowListMenu(menu);
  EXPECT_EQ(window.Count(), 14);
  Manager().Flags |= TCommandManager::cmWindowsStale;
  Manager().RebuildWindowListMenu(menu);
  ASSERT_EQ(window.Count(), 3);  // Cascade and both markers, no stray separator
  EXPECT_EQ(window[2].Tag, 90301);
}

TEST_F(MenuTest, NeedlessSeparatorsAreRemoved) {
  plat::MenuItem& file = Add(menu.Items(), u"&File", 0);
  Add(file, u"-", 0);
  Add(file, u"&Open", 120);
  Add(file, u"-", 0);
  Add(file, u"-", 0);
  Add(file, u"E&xit", 360);
  Add(file, u"-", 0);
  Add(file, u"", 1301).Visible = false;
  TidyMenuSeparators(file);
  std::vector<std::u16string> captions;
  for (int32_t i = 0; i < file.Count(); ++i) captions.push_back(file[i].Caption);
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"&Open", u"-", u"E&xit", u""}));
}

// A main menu built from its resource bytes gets its captions, states and free accelerators.
TEST_F(MenuTest, AMenuBuiltFromItsResourceGetsCaptionsStatesAndFreeLetters) {
  TDoc doc(true);
  TDocBuilder build(doc);
  build.AddWithNote("one", "first note");
  build.AddWithNote("two", "second note");
  build.Finish();
  env->Active = &doc;
  env->Keys = {{3340, "Ctrl+C"}};
  const std::string data = EncodeMenuResource({
      {"&File", 0, {{"&Open...", 120, {}}, {"-", 0, {}}, {"", 1300, {}}, {"", 1301, {}}}},
      {"&Edit", 0, {{"&Copy", 3340, {}}, {"Paste Options", 3370, {{"stray", 999, {}}}}}},
      {"&Footnotes", 0, {{"&Delete Footnote", 5063, {}}}},
  });
  EXPECT_TRUE(BuildMenuItems(menu.Items(), data, "TEST"));  // the stray sub-item was dropped
  Manager().UpdateMenuCaptions(menu);
  Manager().UpdateMenuState(menu);
  plat::MenuItem& edit = menu.Items()[1];
  EXPECT_EQ(edit[0].Caption, u"&Copy\tCtrl+C");
  EXPECT_FALSE(edit[0].Enabled);  // nothing selected
  ASSERT_EQ(edit[1].Count(), 6);  // the built-in Paste Options
  EXPECT_EQ(edit[1].Caption, u"Pa&ste Options");
  EXPECT_EQ(menu.Items()[2].Caption, u"F&ootnotes");  // "F" is File's
  EXPECT_FALSE(menu.Items()[0][2].Visible);           // the markers stay hidden
  // Both notes selected: the delete item counts them.
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->SetSingleRange(0, 0, 1, 4);
  doc.Selection->RefreshLastRange();
  Manager().UpdateMenuState(menu);
  EXPECT_EQ(menu.Items()[2][0].Caption, u"&Delete Footnotes");
  EXPECT_TRUE(menu.Items()[2][0].Enabled);
}

struct RecentEnv : FakeEnvironment {
  std::vector<std::string> Recent;
  std::vector<std::string> Opened;
  std::string Favourites;
  std::vector<std::string> RecentDocumentCaptions() override { return Recent; }
  bool OpenRecentDocument(int32_t index) override {
    Opened.push_back(Recent.at(static_cast<size_t>(index)));
    return true;
  }
  std::string FavoritesFolder() override { return Favourites; }
  bool OpenFile(const std::string& path) override {
    Opened.push_back(path);
    return true;
  }
};

TEST_F(MenuTest, TheRecentDocumentsListAndItsSeparators) {
  ScopedService<TCommandEnvironment, RecentEnv> recent;
  plat::MenuItem& file = Add(menu.Items(), u"&File", 0);
  Add(file, u"&Open...", 120);
  Add(file, u"", 1300).Visible = false;
  Add(file, u"", 1301).Visible = false;
  Add(file, u"E&xit", 360);
  recent->Recent = {"/docs/A&B.rtf", "-"};
  Manager().RebuildRecentDocsMenu(menu);
  std::vector<std::u16string> captions;
  for (int32_t i = 0; i < file.Count(); ++i) captions.push_back(file[i].Caption);
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"&Open...", u"", u"-", u"/docs/A&&B.rtf", u"- ", u"-",
                                                   u"Remove Obsolete", u"Remove All", u"-", u"", u"E&xit"}));
  file[4].Click();
  EXPECT_EQ(recent->Opened, std::vector<std::string>{"-"});
  // Emptied: no list and no doubled separator around the markers.
  recent->Recent.clear();
  Manager().Flags |= TCommandManager::cmRecentStale;
  Manager().RebuildRecentDocsMenu(menu);
  captions.clear();
  for (int32_t i = 0; i < file.Count(); ++i) captions.push_back(file[i].Caption);
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"&Open...", u"", u"", u"E&xit"}));
}

TEST_F(MenuTest, FavouritesAreFoldersFirstThenShortcutsByName) {
  ScopedService<TCommandEnvironment, RecentEnv> favourites;
  const std::string folder = qvtest::MakeTempDir("fav");
  ASSERT_TRUE(CreateShortcut(folder + "/b.desktop", "/docs/Zeta.rtf", "", "", ""));
  ASSERT_TRUE(CreateShortcut(folder + "/a.desktop", "/docs/alpha.rtf", "", "", ""));
  std::filesystem::create_directories(folder + "/Work");
  ASSERT_TRUE(CreateShortcut(folder + "/Work/c.desktop", "/docs/Plan.rtf", "", "", ""));
  qvtest::WriteFile(folder + "/Empty/readme.txt", "");  // a folder without shortcuts
  favourites->Favourites = folder;
  plat::MenuItem& fav = Add(menu.Items(), u"F&avorites", 0);
  Add(fav, u"&Add...", 1260);
  Add(fav, u"", 1250).Visible = false;
  Add(fav, u"", 1251).Visible = false;
  Manager().RebuildFavoritesMenu(menu);
  std::vector<std::u16string> captions;
  for (int32_t i = 0; i < fav.Count(); ++i) captions.push_back(fav[i].Caption);
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"&Add...", u"", u"-", u"Empty", u"Work", u"alpha.rtf",
                                                   u"Zeta.rtf", u""}));  // nothing follows: no closing separator
  EXPECT_EQ(fav[3][0].Caption, u"(Empty)");
  EXPECT_FALSE(fav[3][0].Enabled);
  ASSERT_EQ(fav[4].Count(), 1);
  fav[4][0].Click();
  EXPECT_EQ(favourites->Opened, std::vector<std::string>{"/docs/Plan.rtf"});
}

}  // namespace
