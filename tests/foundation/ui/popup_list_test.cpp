#include "foundation/ui/popup_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/ui/menu_services.h"
#include "foundation/ui/owner_menus.h"
#include "platform/controls/form.h"
#include "foundation/app_fixture.h"
#include "platform/controls/menu_tracker.h"

using namespace qv;

namespace {

// Runs fn from inside the next menu loop (a zero-length thread timer fires at its first look
// at the queue).
void Soon(std::function<void()> fn) {
  plat::SetTimer(0, 0, 0, [fn](plat::Hwnd, uint32_t id) {
    plat::KillTimer(0, id);
    fn();
  });
}

uint32_t Execute(int32_t pos) { return uint32_t(plat::MakeLParam(pos, plat::MNC_EXECUTE)); }
uint32_t Select(int32_t pos) { return uint32_t(plat::MakeLParam(pos, plat::MNC_SELECT)); }

TEST(MenuChar, MnemonicsThenFirstLetters) {
  plat::PopupMenu m;
  plat::MenuItem& items = m.Items();
  items.Add(u"&Alpha", 1);       // 0
  items.Add(u"&Beta", 2);        // 1
  items.Add(u"-");               // 2
  items.Add(u"&Bravo", 3);       // 3
  items.Add(u"Bin&go", 4);       // 4: mnemonic g
  items.Add(u"&Bingo", 5);       // 5
  items.Add(u"&Delta", 6).Enabled = false;
  items.Add(u"Echo", 7);         // 7: no mnemonic
  items.Add(u"Foxtrot", 8).Enabled = false;
  items.Add(u"&Zulu", 9).Visible = false;
  items.Add(u"Golf\tCtrl+G", 10);
  struct Case {
    char16_t ch;
    int32_t highlighted;
    uint32_t answer;
  } cases[] = {
      {u'a', -1, Execute(0)},
      {u'A', -1, Execute(0)},  // without regard to case
      {u'b', -1, Select(1)},   // several matches: the highlight goes to the first
      {u'b', 1, Select(3)},    // ... then to each following match in turn
      {u'b', 3, Select(5)},
      {u'b', 5, Select(1)},    // ... and back to the first
      {u'g', -1, Execute(4)},  // the mnemonic, not the first letter
      {u'd', -1, 0},           // only a disabled item has it: ignored
      {u'e', -1, Execute(7)},  // no mnemonic: the first letter
      {u'f', -1, uint32_t(plat::MakeLParam(0, plat::MNC_CLOSE))},  // a disabled first letter
      {u'z', -1, 0},           // hidden items never match
      {u'-', -1, 0},           // nor do separators
      {u'q', -1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MenuCharAnswer(items, c.ch, c.highlighted), c.answer)
        << char(c.ch) << " highlighted " << c.highlighted;
  }
}

class FakeCommandBars : public TMenuServices {
 public:
  std::vector<void*> closed;
  void PopupComponentClosed(void* component) override { closed.push_back(component); }
};

class PopupListTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<plat::Form>();
    form->SetBounds({100, 100, 500, 400});
    ShowForm(*form);
  }
  void TearDown() override {
    FreePopupList();
    form.reset();
    AppTest::TearDown();
  }
  std::unique_ptr<plat::Form> form;
};

TEST_F(PopupListTest, OwnerDrawsItsMenusAndMovesAmongEqualMnemonics) {
  plat::PopupMenu pm;
  std::vector<uint32_t> clicked;
  for (const char16_t* caption : {u"&Bold", u"&Blue", u"&Black", u"&Italic"}) {
    pm.Items().Add(caption, uint32_t(pm.Items().Count() + 1)).OnClick = [&](plat::MenuItem& it) {
      clicked.push_back(it.Command);
    };
  }
  {
    TPopupListEntry entry(pm);
    EXPECT_TRUE(PopupList().Contains(pm));
    EXPECT_EQ(pm.NotifyWindow, PopupList().Window());
    EXPECT_TRUE(pm.OnDrawItem && pm.OnMeasureItem);
    // Two presses of "b": the first highlights Bold, the second Blue; Enter runs Blue.
    plat::headless::TypeText("bb");
    plat::headless::PressKey(plat::VK_RETURN);
    EXPECT_EQ(pm.Popup({200, 200}), 2u);
    EXPECT_EQ(clicked, std::vector<uint32_t>{2});
    // A single match runs at once.
    plat::headless::TypeText("i");
    EXPECT_EQ(pm.Popup({200, 200}), 4u);
    // The items were measured by the owner drawing; the list knows the loop runs.
    bool inLoop = false;
    Soon([&] {
      inLoop = PopupList().InMenuLoop();
      auto levels = plat::MenuTracker::Active()->Levels();
      ASSERT_EQ(levels.size(), 1u);
      EXPECT_EQ(levels[0]->Layout().items[0].Height(), MenuItemHeight() + 1);
      plat::headless::PressKey(plat::VK_ESCAPE);
    });
    EXPECT_EQ(pm.Popup({200, 200}), 0u);
    EXPECT_TRUE(inLoop);
    EXPECT_FALSE(PopupList().InMenuLoop());
  }
  EXPECT_FALSE(PopupList().Contains(pm));
  EXPECT_EQ(pm.NotifyWindow, 0u);
}

TEST_F(PopupListTest, MenuLoopEndReleasesTheDroppingControl) {
  ScopedService<TMenuServices, FakeCommandBars> bars;
  plat::PopupMenu pm;
  pm.Items().Add(u"&One", 1);
  TPopupListEntry entry(pm);
  int button = 0;
  pm.PopupComponent = &button;
  PopupList().PopupButton = &button;
  plat::headless::PressKey(plat::VK_ESCAPE);
  EXPECT_EQ(pm.Popup({200, 200}), 0u);
  EXPECT_EQ(bars->closed, std::vector<void*>{&button});
  EXPECT_EQ(PopupList().LastPopupControl, &button);
  EXPECT_EQ(pm.PopupComponent, nullptr);
  EXPECT_EQ(PopupList().PopupButton, nullptr);
}

TEST_F(PopupListTest, OpeningASubmenuRunsNoCommandAndChosenItemsAreClickedOnce) {
  plat::PopupMenu pm;
  int opened = 0, clicks = 0, popups = 0;
  plat::MenuItem& sub = pm.Items().Add(u"&Position", 151200);
  sub.OnClick = [&](plat::MenuItem&) { ++opened; };  // as the command manager gives every item
  sub.Add(u"&1 Top", 11).OnClick = [&](plat::MenuItem&) { ++clicks; };
  pm.OnPopup = [&](plat::Menu&, plat::MenuItem&) { ++popups; };
  TPopupListEntry entry(pm);
  plat::Hwnd w = PopupList().Window();
  EXPECT_EQ(plat::SendMessage(w, plat::WM_INITMENUPOPUP, sub.SubMenuHandle(), 0), 0);
  plat::SendMessage(w, plat::WM_INITMENUPOPUP, pm.Handle(), 0);
  plat::SendMessage(w, plat::WM_COMMAND, plat::MakeWParam(11, 0), 0);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(clicks, 0);
  // Through the menu loop: the submenu opens (its before-popup event runs, its item's command
  // does not) and the chosen item is clicked once.
  plat::headless::TypeText("p1");
  EXPECT_EQ(pm.Popup({200, 200}), 11u);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(popups, 2);
  // WM_MENUCHAR for a submenu of a listed menu runs the mnemonic search; unknown handles get
  // the default answer.
  EXPECT_EQ(plat::SendMessage(w, plat::WM_MENUCHAR, plat::MakeWParam(u'1', plat::MF_POPUP),
                              intptr_t(sub.SubMenuHandle())),
            intptr_t(plat::MakeLParam(0, plat::MNC_EXECUTE)));
  EXPECT_EQ(plat::SendMessage(w, plat::WM_MENUCHAR, plat::MakeWParam(u'1', plat::MF_POPUP), 12345), 0);
}

}  // namespace
