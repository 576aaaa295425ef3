#include "commands/command_fixture.h"
#include "commands/command_ids.h"
#include "editing/operation.h"

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

}  // namespace
