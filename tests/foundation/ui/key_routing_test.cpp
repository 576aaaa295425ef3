#include "foundation/ui/key_routing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/app_fixture.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/hotkey_services.h"
#include "platform/controls/button.h"
#include "platform/controls/scroll_bar.h"

using namespace qv;

namespace {

using Log = std::vector<std::string>;

// A parent that is offered its children's keys first.
class RecPanel : public plat::Control {
 public:
  explicit RecPanel(Log* log) : log_(log) {}
  bool ChildKey(uint8_t& vk, plat::ShiftState shift) override {
    log_->push_back("childkey");
    return Control::ChildKey(vk, shift);
  }

 private:
  Log* log_;
};

// A focusable control that wants the keys its DlgCode says and records what reaches it.
class RecEdit : public plat::Control {
 public:
  explicit RecEdit(Log* log) : log_(log) { SetAcceptsFocus(true); }
  uint32_t code = 0;
  int wheels = 0;
  uint32_t DlgCode() const override { return code; }

 protected:
  void KeyDown(uint8_t& key, plat::ShiftState shift) override {
    log_->push_back("control");
    Control::KeyDown(key, shift);
  }
  bool MouseWheel(plat::ShiftState, int32_t, plat::Point) override {
    ++wheels;
    return true;
  }

 private:
  Log* log_;
};

class RecHotKeys : public THotKeyService {
 public:
  explicit RecHotKeys(Log* log, intptr_t answer) : log_(log), answer_(answer) {}
  intptr_t CNKeyDown(uint8_t, intptr_t) override {
    log_->push_back("hotkey");
    return answer_;
  }

 private:
  Log* log_;
  intptr_t answer_;
};

class KeyRoutingTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = std::make_unique<plat::Form>();
    form_->SetBounds(100, 100, 400, 300);
    form_->SetKeyPreview(true);
    form_->OnKeyDown = [this](plat::Control&, uint8_t&, plat::ShiftState) { log_.push_back("preview"); };
    panel_ = &form_->Add<RecPanel>(&log_);
    panel_->SetBounds(0, 0, 300, 200);
    edit_ = &panel_->Add<RecEdit>(&log_);
    edit_->SetBounds(10, 10, 100, 24);
    auto& cancel = form_->Add<plat::Button>();
    cancel.SetCancel(true);
    cancel.SetBounds(310, 10, 80, 24);
    cancel.OnClick = [this](plat::Control&) { log_.push_back("cancel"); };
    ShowForm(*form_);
    edit_->SetFocus();
    Pump();
  }
  void TearDown() override {
    form_.reset();
    AppTest::TearDown();
  }

  Log log_;
  std::unique_ptr<plat::Form> form_;
  RecPanel* panel_ = nullptr;
  RecEdit* edit_ = nullptr;
};

// The order in which the steps first saw the key ("" when a step never did).
std::string Order(const Log& log) {
  std::string out;
  Log seen;
  for (const auto& e : log) {
    if (std::find(seen.begin(), seen.end(), e) != seen.end()) continue;
    seen.push_back(e);
    out += (out.empty() ? "" : " ") + e;
  }
  return out;
}

TEST_F(KeyRoutingTest, KeyDownPassesParentsFormHotKeysPreviewAndControlInOrder) {
  struct Case {
    const char* name;
    uint8_t key;
    uint32_t dlgCode;
    bool hotKeysThrough;
    intptr_t hotKeyAnswer;
    const char* order;
  } cases[] = {
      {"plain letter", 'A', 0, true, 0, "childkey hotkey preview control"},
      {"bound letter", 'A', 0, true, 1, "childkey hotkey"},
      {"no hot keys through", 'A', 0, false, 1, "childkey preview control"},
      {"escape wanted by the control", plat::VK_ESCAPE, plat::DLGC_WANTALLKEYS, true, 1,
       "childkey cancel"},
      {"enter never to hot keys", plat::VK_RETURN, plat::DLGC_WANTALLKEYS, true, 1,
       "childkey preview control"},
      {"delete never to hot keys", plat::VK_DELETE, 0, true, 1, "childkey preview control"},
      {"F5 to hot keys", plat::VK_F5, 0, true, 1, "childkey hotkey"},
  };
  for (const Case& c : cases) {
    edit_->code = c.dlgCode;
    edit_->HotKeysThrough = c.hotKeysThrough;
    ScopedService<THotKeyService> hotKeys(std::make_unique<RecHotKeys>(&log_, c.hotKeyAnswer));
    log_.clear();
    Press(c.key);
    EXPECT_EQ(Order(log_), c.order) << c.name;
  }
}

// Records the system keys and characters that reach the hot-key manager.
class RecSysHotKeys : public THotKeyService {
 public:
  explicit RecSysHotKeys(Log* log) : log_(log) {}
  void WMSysKeyDown(uint8_t key, intptr_t, intptr_t& result) override {
    if (key == 'Q' || key == 'M') log_->push_back(std::string("syskey ") + char(key));
    result = key == 'Q' ? 1 : 0;
  }
  void WMSysChar(char16_t ch, intptr_t, intptr_t& result) override {
    log_->push_back(std::string("syschar ") + char(ch));
    result = 1;
  }

 private:
  Log* log_;
};

TEST_F(KeyRoutingTest, SystemKeysReachTheHotKeysAfterTheFormsMnemonics) {
  auto& mnemonic = form_->Add<plat::Button>();
  mnemonic.SetCaption(u"&Mnemonic");
  mnemonic.SetBounds(310, 50, 80, 24);
  mnemonic.OnClick = [this](plat::Control&) { log_.push_back("mnemonic"); };
  Pump();
  edit_->SetFocus();
  Pump();
  ScopedService<THotKeyService> hotKeys(std::make_unique<RecSysHotKeys>(&log_));
  // A key-down that the chain takes gives no character (the loop does not translate it).
  struct Case {
    uint8_t key;
    bool hotKeysThrough, typesChar;
    const char* log;
  } cases[] = {
      {'Q', true, false, "syskey Q"},           // a bound Alt+key: the manager takes it
      {'M', true, true, "syskey M mnemonic"},   // the form's mnemonic answers the character
      {'W', true, true, "syschar w"},           // no mnemonic: the manager sees the character
      {'W', false, true, ""},                   // not a hot-key control: neither step
  };
  for (const Case& c : cases) {
    edit_->HotKeysThrough = c.hotKeysThrough;
    log_.clear();
    // Alt+key as the system gives it: the system key-down, then the system character.
    plat::headless::KeyDown(plat::VK_LMENU);
    plat::headless::KeyDown(c.key);
    if (c.typesChar) plat::headless::TypeText(std::string(1, char(c.key + 'a' - 'A')));
    plat::headless::KeyUp(c.key);
    plat::headless::KeyUp(plat::VK_LMENU);
    Pump();
    std::string got;
    for (const auto& e : log_)
      if (e.rfind("sys", 0) == 0 || e == "mnemonic") got += (got.empty() ? "" : " ") + e;
    EXPECT_EQ(got, c.log) << c.key << " " << c.hotKeysThrough;
    edit_->SetFocus();
    Pump();
  }
}

TEST_F(KeyRoutingTest, ArrowsGoToTheFormUnlessTheControlWantsThem) {
  auto& other = panel_->Add<RecEdit>(&log_);
  other.SetBounds(10, 50, 100, 24);
  Pump();
  edit_->SetFocus();
  Pump();
  edit_->code = plat::DLGC_WANTARROWS;
  Press(plat::VK_DOWN);
  EXPECT_TRUE(edit_->Focused());
  edit_->code = 0;
  Press(plat::VK_DOWN);
  EXPECT_TRUE(other.Focused());  // the form's arrow handling moved the focus
}

class WheelTest : public KeyRoutingTest {
 protected:
  void SetUp() override {
    KeyRoutingTest::SetUp();
    list_ = &form_->Add<RecEdit>(&log_);
    list_->SetBounds(120, 10, 150, 150);
    bar_ = &list_->Add<plat::ScrollBar>(plat::ScrollBarKind::Vertical);
    bar_->SetBounds(134, 0, 16, 150);
    bar_->SetParams(0, 0, 100);
    bar_->SetSmallChange(1);
    bar_->SetLargeChange(10);
    list_->WheelScrollBar = bar_;
    Pump();
    edit_->SetFocus();
    Pump();
  }
  void TearDown() override {
    SetWheelScrollLines(3);
    KeyRoutingTest::TearDown();
  }
  // A wheel turn with the cursor over a point of the form's client area.
  void WheelAt(plat::Point p, int32_t delta, uint8_t shiftBits = 0) {
    if (shiftBits & 1) plat::headless::KeyDown(plat::VK_LSHIFT);
    if (shiftBits & 4) plat::headless::KeyDown(plat::VK_LCONTROL);
    plat::Point s = form_->ClientToScreen(p);
    plat::Rect w = plat::GetWindowScreenRect(form_->Handle());
    plat::headless::Wheel(form_->Handle(), {s.x - w.left, s.y - w.top}, delta);
    Pump();
    if (shiftBits & 1) plat::headless::KeyUp(plat::VK_LSHIFT);
    if (shiftBits & 4) plat::headless::KeyUp(plat::VK_LCONTROL);
    Pump();
  }

  RecEdit* list_ = nullptr;
  plat::ScrollBar* bar_ = nullptr;
};

TEST_F(WheelTest, TurnOverAnUnfocusedListScrollsItsBarByNotches) {
  struct Case {
    const char* name;
    int32_t delta;
    uint8_t shift;
    int32_t lines;
    int32_t position;
  } cases[] = {
      {"one notch towards the user", -120, 0, 3, 3},
      {"a partial notch counts whole", -40, 0, 3, 3},
      {"two notches", -240, 0, 3, 6},
      {"away from the user", 120, 0, 3, 47},
      {"shift pages", -120, 1, 3, 10},
      {"page mode", -120, 0, -1, 10},
      {"lines reaching a page step by a page", -120, 0, 10, 10},
      {"ctrl scrolls nothing", -120, 4, 3, 0},
  };
  for (const Case& c : cases) {
    SetWheelScrollLines(c.lines);
    bar_->SetPosition(c.delta > 0 ? 50 : 0);
    edit_->wheels = 0;
    WheelAt({150, 80}, c.delta, c.shift);
    EXPECT_EQ(bar_->Position(), c.position) << c.name;
    EXPECT_EQ(edit_->wheels, 0) << c.name;  // the focused control scrolled nothing
  }
}

TEST_F(WheelTest, RedirectionToTheWindowUnderTheCursorHappensOnce) {
  // The focused control is not under the cursor: the message goes to the one that is, once.
  auto& other = form_->Add<RecEdit>(&log_);
  other.SetBounds(10, 200, 100, 50);
  Pump();
  edit_->SetFocus();
  Pump();
  WheelAt({50, 220}, -120);
  EXPECT_EQ(other.wheels, 1);
  EXPECT_EQ(edit_->wheels, 0);

  // A window that sends the message back into the routing does not start a second round.
  int received = 0;
  struct Bouncer : plat::Control {
    std::function<void(uintptr_t, intptr_t)> onWheel;
    intptr_t WndProc(uint32_t msg, uintptr_t w, intptr_t l) override {
      if (msg == plat::WM_MOUSEWHEEL && onWheel) onWheel(w, l);
      return Control::WndProc(msg, w, l);
    }
  };
  auto& bouncer = form_->Add<Bouncer>();
  bouncer.SetBounds(200, 200, 100, 50);
  bouncer.onWheel = [&](uintptr_t w, intptr_t l) {
    ++received;
    RouteMouseWheel(*edit_, w, l);
  };
  Pump();
  edit_->SetFocus();
  Pump();
  // The routing gives the bouncer its default handling directly (it is under the cursor); the
  // bouncer's own send back to the focused control does not bounce again.
  WheelAt({250, 220}, -120);
  EXPECT_EQ(received, 1);
  EXPECT_EQ(edit_->wheels, 0);
}

}  // namespace

namespace {

TEST(RoutingProperties, ADestroyedWheelBarIsNoLongerUsed) {
  plat::Control list;
  auto bar = std::make_unique<plat::Control>();
  list.HotKeysThrough = true;
  list.WheelScrollBar = bar.get();
  EXPECT_TRUE(list.HotKeysThrough);
  EXPECT_EQ(list.WheelScrollBar, bar.get());
  bar.reset();
  EXPECT_EQ(list.WheelScrollBar, nullptr);
  EXPECT_TRUE(list.HotKeysThrough);
}

}  // namespace
