// Focus, capture, activation and the routing of synthetic input.
#include <gtest/gtest.h>

#include "platform/win/keys.h"
#include "win_fixture.h"

using namespace plat;
using namespace wintest;

TEST_F(WinTest, FocusChangeSendsKillFocusThenSetFocus) {
  std::vector<Received> log;
  RecWindow top(&log), a(&log), b(&log), hidden(&log);
  MakeTop(top);
  MakeChild(a, top, {0, 0, 50, 20});
  MakeChild(b, top, {0, 30, 50, 50});
  ASSERT_TRUE(hidden.Create({top.Handle(), 0, {0, 60, 50, 80}, u"", WS_CHILD}));
  SetFocus(a.Handle());
  log.clear();
  EXPECT_EQ(SetFocus(b.Handle()), a.Handle());
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].hwnd, a.Handle());
  EXPECT_EQ(log[0].msg, WM_KILLFOCUS);
  EXPECT_EQ(log[0].wParam, b.Handle());
  EXPECT_EQ(log[1].hwnd, b.Handle());
  EXPECT_EQ(log[1].msg, WM_SETFOCUS);
  EXPECT_EQ(log[1].wParam, a.Handle());
  // Hidden and disabled windows cannot take the focus.
  EXPECT_EQ(SetFocus(hidden.Handle()), 0u);
  EnableWindow(a.Handle(), false);
  EXPECT_EQ(SetFocus(a.Handle()), 0u);
  EXPECT_EQ(GetFocus(), b.Handle());
  // Disabling, hiding or destroying the focus takes the focus away from it.
  EnableWindow(b.Handle(), false);
  EXPECT_EQ(GetFocus(), 0u);
  EnableWindow(a.Handle(), true);
  SetFocus(a.Handle());
  ShowWindow(a.Handle(), false);
  EXPECT_EQ(GetFocus(), top.Handle());
  ShowWindow(a.Handle(), true);
  SetFocus(a.Handle());
  a.Destroy();
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_TRUE(IsWindow(top.Handle()));
}

TEST_F(WinTest, CaptureRoutesMouseInputToTheCapturingWindow) {
  std::vector<Received> log;
  RecWindow top(&log), a(&log), b(&log);
  MakeTop(top);
  MakeChild(a, top, {0, 0, 50, 50});
  MakeChild(b, top, {100, 0, 150, 50});
  a.hook = [&](uint32_t m, uintptr_t, intptr_t, intptr_t&) {
    if (m == WM_LBUTTONDOWN) SetCapture(a.Handle());
    if (m == WM_LBUTTONUP) ReleaseCapture();
    return false;
  };
  headless::MouseDown(a.Handle(), {10, 10});
  PumpPending();
  EXPECT_EQ(GetCapture(), a.Handle());
  log.clear();
  headless::MouseMove(b.Handle(), {5, 5});  // over b, but a holds the capture
  headless::MouseUp(b.Handle(), {5, 5});
  PumpPending();
  std::vector<Received> mouse;
  for (const Received& m : log) {
    if (m.msg == WM_MOUSEMOVE || m.msg == WM_LBUTTONUP) mouse.push_back(m);
  }
  ASSERT_EQ(mouse.size(), 2u);
  for (const Received& m : mouse) {
    EXPECT_EQ(m.hwnd, a.Handle());
    EXPECT_EQ(GetXParam(m.lParam), 105);  // a's client coordinates
    EXPECT_EQ(GetYParam(m.lParam), 5);
  }
  EXPECT_EQ(Only(log, {WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_EQ(GetCapture(), 0u);
  log.clear();
  headless::MouseMove(b.Handle(), {6, 6});
  PumpPending();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().hwnd, b.Handle());
  // Taking the capture from a window tells it.
  SetCapture(a.Handle());
  log.clear();
  SetCapture(b.Handle());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].hwnd, a.Handle());
  EXPECT_EQ(log[0].msg, WM_CAPTURECHANGED);
  EXPECT_EQ(log[0].lParam, intptr_t(b.Handle()));
}

TEST_F(WinTest, ClicksReachTheDeepestEnabledWindowAndActivateItsTopLevel) {
  std::vector<Received> log;
  RecWindow first(&log), second(&log), child(&log), off(&log);
  MakeTop(first);
  MakeTop(second);
  ASSERT_TRUE(second.Create({}) == false);  // created already
  MakeChild(child, first, {10, 10, 60, 60}, CS_DBLCLKS);
  MakeChild(off, first, {100, 10, 150, 60});
  EnableWindow(off.Handle(), false);
  SetFocus(child.Handle());
  SetActiveWindow(second.Handle());
  EXPECT_EQ(GetActiveWindow(), second.Handle());
  PumpPending();
  log.clear();
  headless::Click(child.Handle(), {3, 4});
  headless::Click(child.Handle(), {4, 4});
  headless::Click(off.Handle(), {1, 1});
  PumpPending();
  EXPECT_EQ(GetActiveWindow(), first.Handle());
  EXPECT_EQ(GetFocus(), child.Handle());  // the focus came back with the activation
  std::vector<std::pair<Hwnd, uint32_t>> clicks;
  for (const Received& m : log) {
    if (m.msg >= WM_LBUTTONDOWN && m.msg <= WM_LBUTTONDBLCLK) clicks.push_back({m.hwnd, m.msg});
    if (m.msg == WM_ACTIVATE) clicks.push_back({m.hwnd, WM_ACTIVATE + uint32_t(LoWord(m.wParam)) * 0x10000});
  }
  std::vector<std::pair<Hwnd, uint32_t>> want{
      {second.Handle(), WM_ACTIVATE},  // WA_INACTIVE
      {first.Handle(), WM_ACTIVATE + WA_CLICKACTIVE * 0x10000},
      {child.Handle(), WM_LBUTTONDOWN}, {child.Handle(), WM_LBUTTONUP},
      {child.Handle(), WM_LBUTTONDBLCLK}, {child.Handle(), WM_LBUTTONUP},
      {first.Handle(), WM_LBUTTONDOWN}, {first.Handle(), WM_LBUTTONUP},  // past the disabled one
  };
  EXPECT_EQ(clicks, want);
}

TEST_F(WinTest, LosingAndRegainingTheKeyboardRestoresTheFocus) {
  std::vector<Received> log;
  RecWindow top(&log), edit(&log);
  MakeTop(top);
  MakeChild(edit, top, {0, 0, 50, 20});
  SetFocus(edit.Handle());
  EXPECT_TRUE(IsAppActive());
  log.clear();
  headless::FocusAway(top.Handle());
  EXPECT_FALSE(IsAppActive());
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_EQ(GetActiveWindow(), 0u);
  headless::FocusBack(top.Handle());
  EXPECT_EQ(GetFocus(), edit.Handle());
  EXPECT_EQ(Only(log, {WM_ACTIVATEAPP}).size(), 2u);
}

TEST_F(WinTest, SyntheticKeysAndTextReachTheFocusedWindow) {
  std::vector<Received> log;
  RecWindow top(&log), edit(&log);
  MakeTop(top);
  MakeChild(edit, top, {0, 0, 50, 20});
  SetFocus(edit.Handle());
  PumpPending();
  log.clear();
  headless::TypeText("a\xC3\xA9\xF0\x9F\x98\x80");  // a, e acute, a character beyond 16 bits
  headless::PressKey('F', SHIFT_BIT_ALT);
  headless::KeyDown(VK_RSHIFT);
  headless::KeyDown(VK_RSHIFT);  // auto-repeat
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);  // not before its message is taken
  EXPECT_NE(GetAsyncKeyState(VK_SHIFT), 0);
  PumpPending();
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0x8000);
  EXPECT_EQ(GetKeyState(VK_RSHIFT) & 0x8000, 0x8000);
  EXPECT_EQ(GetKeyState(VK_LSHIFT) & 0x8000, 0);
  EXPECT_EQ(GetShiftState(), SHIFT_BIT_SHIFT);
  headless::KeyUp(VK_RSHIFT);
  PumpPending();
  struct K {
    uint32_t msg;
    uintptr_t w;
    bool repeat;
  };
  std::vector<K> got;
  for (const Received& m : log) {
    EXPECT_EQ(m.hwnd, edit.Handle());
    if (m.msg >= WM_KEYFIRST && m.msg <= WM_KEYLAST)
      got.push_back({m.msg, m.wParam, (uint32_t(m.lParam) & KF_REPEAT_BIT) != 0});
  }
  std::vector<K> want{{WM_CHAR, 'a', false},          {WM_CHAR, 0xE9, false},
                      {WM_CHAR, 0x1F600, false},      {WM_SYSKEYDOWN, VK_MENU, false},
                      {WM_SYSKEYDOWN, 'F', false},    {WM_SYSKEYUP, 'F', true},
                      {WM_SYSKEYUP, VK_MENU, true},   {WM_KEYDOWN, VK_SHIFT, false},
                      {WM_KEYDOWN, VK_SHIFT, true},   {WM_KEYUP, VK_SHIFT, true}};
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].msg, want[i].msg) << i;
    EXPECT_EQ(got[i].w, want[i].w) << i;
    EXPECT_EQ(got[i].repeat, want[i].repeat) << i;
  }
}

TEST_F(WinTest, WheelGoesToTheFocusWithScreenCoordinates) {
  std::vector<Received> log;
  RecWindow top(&log), a(&log), b(&log);
  MakeTop(top);
  MakeChild(a, top, {0, 0, 50, 20});
  MakeChild(b, top, {0, 50, 50, 90});
  SetFocus(a.Handle());
  PumpPending();
  log.clear();
  headless::Wheel(b.Handle(), {5, 5}, -240);
  PumpPending();
  ASSERT_FALSE(log.empty());
  const Received& m = log.back();
  EXPECT_EQ(m.msg, WM_MOUSEWHEEL);
  EXPECT_EQ(m.hwnd, top.Handle());  // a did not handle it: the default passes it up
  EXPECT_EQ(int16_t(HiWord(m.wParam)), -240);
  Point screen = ClientToScreen(b.Handle(), {5, 5});
  EXPECT_EQ(GetXParam(m.lParam), screen.x);
  EXPECT_EQ(GetYParam(m.lParam), screen.y);
}

TEST_F(WinTest, MaximiseMinimiseAndRestore) {
  std::vector<Received> log;
  RecWindow top(&log);
  MakeTop(top);
  Rect normal = GetWindowBounds(top.Handle());
  PumpPending();
  auto lastSize = [&] {
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
      if (it->msg == WM_SIZE) return std::make_pair(it->wParam, it->lParam);
    }
    return std::make_pair(uintptr_t(99), intptr_t(0));
  };
  struct Step {
    WindowState state;
    Rect bounds;
    uintptr_t sizeKind;
  } steps[] = {
      {WindowState::Maximized, GetScreenRect(), SIZE_MAXIMIZED},
      {WindowState::Minimized, GetScreenRect(), SIZE_MINIMIZED},
      {WindowState::Maximized, GetScreenRect(), SIZE_MAXIMIZED},
      {WindowState::Normal, normal, SIZE_RESTORED},
      {WindowState::Minimized, normal, SIZE_MINIMIZED},
      {WindowState::Normal, normal, SIZE_RESTORED},
  };
  for (const Step& s : steps) {
    log.clear();
    EXPECT_TRUE(SetWindowState(top.Handle(), s.state));
    EXPECT_EQ(GetWindowState(top.Handle()), s.state);
    EXPECT_EQ(GetWindowBounds(top.Handle()), s.bounds);
    EXPECT_EQ(lastSize().first, s.sizeKind);
    EXPECT_EQ((GetWindowStyle(top.Handle()) & WS_MAXIMIZE) != 0, s.state == WindowState::Maximized);
  }
  top.paints.clear();
  PumpPending();
  EXPECT_EQ(top.paints.size(), 1u);  // restored from minimised: painted again
  RecWindow child;
  MakeChild(child, top, {0, 0, 10, 10});
  EXPECT_FALSE(SetWindowState(child.Handle(), WindowState::Maximized));
}

TEST_F(WinTest, HidingOrDestroyingTheActiveWindowActivatesAnother) {
  RecWindow owner, other, dialog;
  MakeTop(owner);
  MakeTop(other);
  CreateParams p;
  p.owner = owner.Handle();
  p.bounds = {0, 0, 50, 50};
  p.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  ASSERT_TRUE(dialog.Create(p));
  EXPECT_EQ(GetActiveWindow(), dialog.Handle());
  ShowWindow(dialog.Handle(), false);
  EXPECT_EQ(GetActiveWindow(), owner.Handle());  // the owner first, though another is above it
  SetActiveWindow(other.Handle());
  other.Destroy();
  EXPECT_NE(GetActiveWindow(), 0u);
  EXPECT_TRUE(IsWindow(GetActiveWindow()));
  // Destroying the owner destroys what it owns.
  Hwnd d = dialog.Handle();
  owner.Destroy();
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(dialog.Handle(), 0u);
  EXPECT_EQ(GetActiveWindow(), 0u);
}
