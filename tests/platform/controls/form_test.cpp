// Forms: focus order, mnemonics, default and cancel buttons, modal loops, close query.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/group_box.h"
#include "platform/controls/label.h"
#include "platform/controls/panel.h"
#include "platform/controls/radio_button.h"

using namespace plat;
using namespace ctltest;

namespace {

// A dialog with mixed controls: a label for an edit, a group of radio buttons, a check box,
// OK (default) and Cancel.
struct Dialog {
  Form form;
  Label& nameLabel = form.Add<Label>();
  Edit& name = form.Add<Edit>();
  GroupBox& group = form.Add<GroupBox>();
  RadioButton& r1 = group.Add<RadioButton>();
  RadioButton& r2 = group.Add<RadioButton>();
  RadioButton& r3 = group.Add<RadioButton>();
  CheckBox& check = form.Add<CheckBox>();
  Button& ok = form.Add<Button>();
  Button& cancel = form.Add<Button>();
  int okClicks = 0, cancelClicks = 0;

  Dialog() {
    form.SetBounds(100, 100, 320, 220);
    form.SetCaption(u"Options");
    nameLabel.SetCaption(u"&Name:");
    nameLabel.SetBounds(10, 12, 60, 15);
    nameLabel.SetFocusControl(&name);
    name.SetBounds(80, 10, 150, 21);
    group.SetCaption(u"&Size");
    group.SetBounds(10, 40, 150, 90);
    r1.SetCaption(u"Small");
    r1.SetBounds(10, 20, 120, 17);
    r2.SetCaption(u"Medium");
    r2.SetBounds(10, 40, 120, 17);
    r3.SetCaption(u"&Large");
    r3.SetBounds(10, 60, 120, 17);
    r2.SetChecked(true);
    check.SetCaption(u"&Bold");
    check.SetBounds(170, 50, 100, 17);
    ok.SetCaption(u"OK");
    ok.SetBounds(150, 180, 75, 23);
    ok.SetDefault(true);
    ok.SetModalResult(mrOk);
    ok.OnClick = [this](Control&) { ++okClicks; };
    cancel.SetCaption(u"Cancel");
    cancel.SetBounds(235, 180, 75, 23);
    cancel.SetCancel(true);
    cancel.SetModalResult(mrCancel);
    cancel.OnClick = [this](Control&) { ++cancelClicks; };
  }
};

}  // namespace

TEST_F(ControlsTest, TabOrderVisitsTabStopsAndSkipsHiddenAndDisabledControls) {
  Dialog d;
  ShowForm(d.form);
  EXPECT_EQ(Focus(), &d.name);  // the first tab stop takes the focus when the form is shown
  // Only the checked radio button of the group is a tab stop.
  std::vector<Control*> expected = {&d.r2, &d.check, &d.ok, &d.cancel, &d.name};
  for (Control* c : expected) {
    Press(VK_TAB);
    EXPECT_EQ(Focus(), c);
  }
  Press(VK_TAB, 1);
  EXPECT_EQ(Focus(), &d.cancel);
  // A changed tab order, a hidden and a disabled control.
  d.check.SetTabOrder(0);
  d.ok.SetEnabled(false);
  d.cancel.Hide();
  d.name.SetFocus();
  Press(VK_TAB);
  EXPECT_EQ(Focus(), &d.r2);
  Press(VK_TAB);
  EXPECT_EQ(Focus(), &d.check);
  Press(VK_TAB);
  EXPECT_EQ(Focus(), &d.name);
}

TEST_F(ControlsTest, ArrowKeysMoveAndCheckWithinARadioGroup) {
  Dialog d;
  ShowForm(d.form);
  d.r2.SetFocus();
  Press(VK_DOWN);
  EXPECT_EQ(Focus(), &d.r3);
  EXPECT_TRUE(d.r3.Checked());
  EXPECT_FALSE(d.r2.Checked());
  Press(VK_DOWN);  // wraps within the group
  EXPECT_EQ(Focus(), &d.r1);
  EXPECT_TRUE(d.r1.Checked());
  Press(VK_UP);
  EXPECT_EQ(Focus(), &d.r3);
  EXPECT_FALSE(d.r1.Checked());
}

TEST_F(ControlsTest, MnemonicsActOnTheirControls) {
  Dialog d;
  ShowForm(d.form);
  d.ok.SetFocus();
  AltLetter('n');  // the label focuses its edit
  EXPECT_EQ(Focus(), &d.name);
  AltLetter('b');  // the check box takes the focus and toggles
  EXPECT_EQ(Focus(), &d.check);
  EXPECT_TRUE(d.check.Checked());
  AltLetter('l');
  EXPECT_EQ(Focus(), &d.r3);
  EXPECT_TRUE(d.r3.Checked());
  AltLetter('s');  // the group box focuses its first control
  EXPECT_EQ(Focus(), &d.r1);
  // A plain letter types into an edit instead of acting as a mnemonic.
  d.name.SetFocus();
  Type("b");
  EXPECT_EQ(d.name.Text(), u"b");
  EXPECT_TRUE(d.check.Checked());
  // ...but acts as one where the focused control takes no characters.
  d.ok.SetFocus();
  Type("b");
  EXPECT_FALSE(d.check.Checked());
  EXPECT_EQ(Focus(), &d.check);
}

TEST_F(ControlsTest, EnterTakesTheDefaultButtonAndEscapeTheCancelButton) {
  struct Case {
    const char* name;
    uint8_t key;
    int focusButton;  // 0 the edit, 1 OK, 2 Cancel
    int32_t result;
    int okClicks, cancelClicks;
  };
  const Case cases[] = {
      {"enter in edit", VK_RETURN, 0, mrOk, 1, 0},
      {"escape in edit", VK_ESCAPE, 0, mrCancel, 0, 1},
      {"enter on focused cancel", VK_RETURN, 2, mrCancel, 0, 1},
      {"escape on focused ok", VK_ESCAPE, 1, mrCancel, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog d;
    Control* focus = c.focusButton == 0 ? static_cast<Control*>(&d.name)
                                        : c.focusButton == 1 ? static_cast<Control*>(&d.ok) : &d.cancel;
    d.form.OnShow = [&](Form&) {
      focus->SetFocus();
      headless::PressKey(c.key);
    };
    EXPECT_EQ(d.form.ShowModal(), c.result);
    EXPECT_EQ(d.okClicks, c.okClicks);
    EXPECT_EQ(d.cancelClicks, c.cancelClicks);
    EXPECT_FALSE(d.form.Visible());
  }
}

TEST_F(ControlsTest, ModalFormDisablesOthersAndRestoresThem) {
  Form main;
  main.SetBounds(0, 0, 400, 300);
  ShowForm(main);
  Dialog d;
  d.form.SetOwner(&main);
  bool mainEnabledDuring = true;
  d.form.OnShow = [&](Form&) {
    mainEnabledDuring = IsWindowEnabled(main.Handle());
    headless::PressKey(VK_ESCAPE);
  };
  EXPECT_EQ(d.form.ShowModal(), mrCancel);
  EXPECT_FALSE(mainEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_EQ(GetActiveWindow(), main.Handle());
}

TEST_F(ControlsTest, CloseQueryCanKeepAModalFormOpen) {
  Dialog d;
  int asked = 0;
  d.form.OnCloseQuery = [&](Form&, bool& can) { can = ++asked > 1; };
  d.form.OnShow = [&](Form&) {
    headless::PressKey(VK_ESCAPE);  // refused by the first query
    headless::RequestClose(d.form.Handle());  // the close box: cancel, agreed
  };
  EXPECT_EQ(d.form.ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(d.cancelClicks, 1);
}

TEST_F(ControlsTest, QuitDuringAModalLoopEndsItWithCancelAndReachesTheOuterLoop) {
  Dialog d;
  d.form.OnShow = [&](Form&) { PostQuitMessage(3); };
  EXPECT_EQ(d.form.ShowModal(), mrCancel);
  Msg m;
  EXPECT_FALSE(GetMessage(m));  // WM_QUIT was posted again
}

TEST_F(ControlsTest, NestedModalFormsReturnInOrder) {
  Dialog outer, inner;
  int32_t innerResult = -1;
  outer.form.OnShow = [&](Form&) {
    inner.form.OnShow = [&](Form&) { headless::PressKey(VK_RETURN); };
    innerResult = inner.form.ShowModal();
    headless::PressKey(VK_ESCAPE);
  };
  EXPECT_EQ(outer.form.ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrOk);
}

TEST_F(ControlsTest, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
  Dialog d;
  ShowForm(d.form);
  d.form.SetKeyPreview(true);
  std::vector<uint8_t> seen;
  d.form.OnKeyDown = [&](Control&, uint8_t& k, ShiftState) {
    seen.push_back(k);
    if (k == VK_F2) k = 0;
  };
  int editKeys = 0;
  d.name.OnKeyDown = [&](Control&, uint8_t& k, ShiftState) { editKeys += k == VK_F2 || k == VK_F3; };
  d.name.SetFocus();
  Press(VK_F2);
  Press(VK_F3);
  EXPECT_EQ(seen, (std::vector<uint8_t>{VK_F2, VK_F3}));
  EXPECT_EQ(editKeys, 1);
}

TEST_F(ControlsTest, ReflectedKeyMessagesRunTheRoutingOnce) {
  // The application object reflects each key message (CN_BASE + message) before dispatching
  // it; a reflected key that the chain takes is not dispatched, one it leaves is, without the
  // chain running again.
  Dialog d;
  ShowForm(d.form);
  d.name.SetFocus();
  Hwnd h = d.name.Handle();
  EXPECT_EQ(SendMessage(h, CN_KEYDOWN, VK_TAB), 1);
  EXPECT_EQ(Focus(), &d.r2);
  d.name.SetFocus();
  int formKeys = 0;
  d.form.SetKeyPreview(true);
  d.form.OnKeyDown = [&](Control&, uint8_t&, ShiftState) { ++formKeys; };
  EXPECT_EQ(SendMessage(h, CN_KEYDOWN, VK_HOME), 0);
  SendMessage(h, WM_KEYDOWN, VK_HOME);
  EXPECT_EQ(formKeys, 1);
  EXPECT_EQ(SendMessage(h, CN_CHAR, 'x'), 0);  // an edit takes its characters
  SendMessage(h, WM_CHAR, 'x');
  EXPECT_EQ(d.name.Text(), u"x");
  EXPECT_EQ(SendMessage(h, CN_SYSCHAR, 'b'), 1);  // Alt+B: the check box's mnemonic
  EXPECT_TRUE(d.check.Checked());
  EXPECT_EQ(SendMessage(d.check.Handle(), WM_GETDLGCODE), 0);
  EXPECT_EQ(SendMessage(d.ok.Handle(), WM_GETDLGCODE), intptr_t(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
}

TEST_F(ControlsTest, FormEventsReachTheHookInOrder) {
  std::vector<Form::Event> events;
  Form::SetEventHook([&](Form&, Form::Event e) { events.push_back(e); });
  {
    Form f;
    f.SetBounds(0, 0, 100, 100);
    ShowForm(f);
    f.Hide();
  }
  Form::SetEventHook(nullptr);
  using E = Form::Event;
  EXPECT_EQ(events, (std::vector<E>{E::Created, E::Activated, E::Shown, E::Deactivated, E::Hidden, E::Destroyed}));
}

TEST_F(ControlsTest, HotKeysThroughOffersKeysAfterTheDialogKeysButNeverEnterOrDelete) {
  Dialog d;
  ShowForm(d.form);
  std::vector<uintptr_t> offered;
  Control::SetHotKeyHandler([&](Control&, uint32_t, uintptr_t key, intptr_t) -> intptr_t {
    offered.push_back(key);
    return key == VK_F5;
  });
  int editF5 = 0;
  d.name.OnKeyDown = [&](Control&, uint8_t& k, ShiftState) { editF5 += k == VK_F5; };
  d.name.SetFocus();
  Press(VK_F5);  // not a hot-key control yet
  d.name.HotKeysThrough = true;
  Press(VK_F5);
  Press(VK_DELETE);
  Press(VK_TAB);  // the form takes Tab first
  Control::SetHotKeyHandler(nullptr);
  EXPECT_EQ(offered, (std::vector<uintptr_t>{VK_F5}));
  EXPECT_EQ(editF5, 1);
  EXPECT_EQ(Focus(), &d.r2);
}

namespace {
class CountingPanel : public Panel {
 public:
  int asked = 0;
  bool ChildKey(uint8_t& vk, ShiftState shift) override {
    ++asked;
    return Panel::ChildKey(vk, shift);
  }
};
}  // namespace

TEST_F(ControlsTest, ParentsAreAskedOnceForEachKey) {
  // Plain key messages, reflected ones, and ones the program's own routing already ran for
  // (KeyRouted): each key-down reaches a parent's ChildKey exactly once.
  Form form;
  form.SetBounds(100, 100, 300, 200);
  auto& panel = form.Add<CountingPanel>();
  panel.SetBounds(0, 0, 300, 100);
  auto& edit = panel.Add<Edit>();
  edit.SetBounds(10, 10, 100, 21);
  ShowForm(form);
  edit.SetFocus();
  Hwnd h = edit.Handle();
  Press(VK_F5);
  EXPECT_EQ(panel.asked, 1);
  EXPECT_EQ(SendMessage(h, CN_KEYDOWN, VK_F5), 0);
  SendMessage(h, WM_KEYDOWN, VK_F5);
  EXPECT_EQ(panel.asked, 2);
  edit.KeyRouted(WM_KEYDOWN, VK_F5);
  SendMessage(h, WM_KEYDOWN, VK_F5);
  EXPECT_EQ(panel.asked, 2);
  SendMessage(h, WM_KEYDOWN, VK_F5);  // the mark is for one message only
  EXPECT_EQ(panel.asked, 3);
}

namespace {
std::function<void()> g_programIdle;  // the idle step of the program loop below
}  // namespace

TEST_F(ControlsTest, ModalFormEndedByAnIdleStepReturnsWithoutWaiting) {
  // The layer's own modal loop, and a program loop that idles and then waits (as the
  // application object's does): a button clicked from the idle step ends the form at once.
  using Runner = Form::ModalLoopRunner;
  const std::pair<const char*, Runner> runners[] = {
      {"layer loop", nullptr},
      {"program loop", [](const std::function<bool()>& done) {
         while (!done()) {
           Msg m;
           if (PeekMessage(m)) {
             DispatchMessage(m);
             continue;
           }
           if (g_programIdle) g_programIdle();
           WaitMessage();
         }
         return true;
       }},
  };
  for (const auto& [name, runner] : runners) {
    SCOPED_TRACE(name);
    Form form;  // no edit: no caret blinks, so nothing but the click can end a wait
    form.SetBounds(100, 100, 200, 100);
    Button& ok = form.Add<Button>();
    ok.SetModalResult(mrOk);
    Form::SetModalLoopRunner(runner);
    SetIdleHook([&] { ok.Click(); });
    g_programIdle = [&] { ok.Click(); };
    EXPECT_EQ(form.ShowModal(), mrOk);
    SetIdleHook(nullptr);
    g_programIdle = nullptr;
    Form::SetModalLoopRunner(nullptr);
  }
}
