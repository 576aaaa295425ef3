#include "foundation/ui/application.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "foundation/app_fixture.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/exceptions.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/key_state.h"
#include "foundation/ui/message_box.h"
#include "support/test_env.h"
#include "foundation/ui/hotkey_services.h"
#include "platform/controls/button.h"
#include "platform/controls/dialogs/notice_box.h"

using namespace qv;

namespace {

class HintTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = std::make_unique<plat::Form>();
    form_->SetBounds(100, 100, 400, 300);
    a_ = &form_->Add<plat::Control>();
    a_->SetBounds(10, 10, 100, 30);
    a_->SetHint(u"First hint");
    b_ = &form_->Add<plat::Control>();
    b_->SetBounds(10, 100, 100, 30);
    b_->SetHint(u"Second hint");
    ShowForm(*form_);
  }
  void TearDown() override {
    form_.reset();
    AppTest::TearDown();
  }
  void MoveTo(plat::Control& c, plat::Point p) {
    plat::Point s = c.ClientToScreen(p);
    plat::Rect w = plat::GetWindowScreenRect(form_->Handle());
    plat::headless::MouseMove(form_->Handle(), {s.x - w.left, s.y - w.top});
    Pump();
  }
  bool HintShown() {
    THintWindow* h = App().HintWindow();
    return h && h->Showing();
  }
  std::u16string HintText() { return App().HintWindow() ? App().HintWindow()->Text() : u""; }

  std::unique_ptr<plat::Form> form_;
  plat::Control* a_ = nullptr;
  plat::Control* b_ = nullptr;
};

TEST_F(HintTest, HintShowsAfterThePauseAndHidesAfterItsTime) {
  MoveTo(*a_, {5, 5});
  EXPECT_EQ(App().HintControl, a_);
  Advance(499);
  EXPECT_FALSE(HintShown());
  Advance(1);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(HintText(), u"First hint");
  // Below the cursor by three fifths of the cursor's height.
  plat::Point cursor = a_->ClientToScreen({5, 5});
  EXPECT_EQ(App().HintWindow()->ScreenRect().top, cursor.y + 19);
  Advance(14999);
  EXPECT_TRUE(HintShown());
  Advance(1);
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(App().HintControl, a_);  // hidden, not cancelled: the same control shows no new one
}

TEST_F(HintTest, NextControlShowsItsHintAfterTheShortPause) {
  MoveTo(*a_, {5, 5});
  Advance(500);
  ASSERT_TRUE(HintShown());
  MoveTo(*b_, {5, 5});
  EXPECT_FALSE(HintShown());
  Advance(49);
  EXPECT_FALSE(HintShown());
  Advance(1);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(HintText(), u"Second hint");
}

TEST_F(HintTest, KeyOrClickCancelsAndEmptyHintsShowNothing) {
  MoveTo(*a_, {5, 5});
  Advance(500);
  ASSERT_TRUE(HintShown());
  Press('X');
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(App().HintControl, nullptr);
  b_->SetHint(u"");
  MoveTo(*b_, {5, 5});
  Advance(500);
  EXPECT_FALSE(HintShown());
}

// A control that asks to be asked again (following the mouse) and keeps its hint data.
class ReshowControl : public plat::Control {
 public:
  int asked = 0;
  intptr_t WndProc(uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == plat::CM_HINTSHOW) {
      auto* info = reinterpret_cast<THintInfo*>(l);
      ++asked;
      info->ReshowTimeout = 100;
      info->HintData = 7;
      info->HintStr = u"Link";
      return 0;
    }
    return Control::WndProc(msg, w, l);
  }
};

TEST_F(HintTest, ReshowAsksTheControlAgainWithoutRedrawingTheSameData) {
  auto& c = form_->Add<ReshowControl>();
  c.SetBounds(200, 10, 100, 30);
  c.SetHint(u"x");
  Pump();
  MoveTo(c, {5, 5});
  Advance(500);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(c.asked, 1);
  EXPECT_EQ(App().HintWindow()->Tag, 7);
  int presents = plat::headless::PresentCount(App().HintWindow()->Handle());
  Advance(100);
  EXPECT_EQ(c.asked, 2);
  EXPECT_TRUE(HintShown());
  Advance(100);
  EXPECT_EQ(c.asked, 3);
  EXPECT_EQ(plat::headless::PresentCount(App().HintWindow()->Handle()), presents);
}

using AppLoopTest = apptest::AppTest;

TEST_F(AppLoopTest, QuitEndsTheLoopAndAModalFormWithCancel) {
  plat::Form dialog;
  dialog.SetBounds(100, 100, 200, 100);
  int32_t result = -1;
  dialog.OnShow = [](plat::Form&) { plat::PostQuitMessage(0); };
  result = dialog.ShowModal();
  EXPECT_EQ(result, plat::mrCancel);
  EXPECT_TRUE(App().Terminated);
}

TEST_F(AppLoopTest, AfterTheQuitMessageOnlyThePlainBoxStillWaitsForTheUser) {
  App().Terminate();
  App().ProcessMessages();
  plat::Form dialog;
  dialog.SetBounds(100, 100, 200, 100);
  EXPECT_EQ(dialog.ShowModal(), plat::mrCancel);  // ends at once
  int shown = 0;
  plat::SetNoticeShowHook([&](plat::Form&) {
    ++shown;
    plat::headless::PressKey(plat::VK_RETURN);
  });
  EXPECT_EQ(ShowMessageDlg("Closing down.", mkError, ButtonBit(mbOK)), mrCancel);
  plat::SetNoticeShowHook(nullptr);
  EXPECT_EQ(shown, 1);
}

TEST_F(AppLoopTest, SessionEndSavesTheSettingsAndEndsTheLoopInOrder) {
  GetOptions().Internal.HiliteCol = 4242;
  std::string hive = GetOptionsHolder().Site().RegistryHivePath();
  std::filesystem::remove(hive);
  bool ended = false;
  plat::Form dialog;
  dialog.SetBounds(100, 100, 200, 100);
  dialog.OnShow = [&](plat::Form&) { plat::SendMessage(App().Handle(), plat::WM_ENDSESSION, 1, 0); };
  EXPECT_EQ(dialog.ShowModal(), plat::mrCancel);
  while (!App().Terminated) App().HandleMessage();
  ended = true;
  EXPECT_TRUE(ended);  // the process did not stop where it stood
  ASSERT_TRUE(std::filesystem::exists(hive));
  EXPECT_NE(qvtest::ReadFile(hive).find("4242"), std::string::npos);
  GetOptions().Internal.HiliteCol = 65535;
}

TEST_F(AppLoopTest, TerminationSignalEndsTheSessionTheSameWay) {
  bool saved = false;
  App().OnEndSession = [&] { saved = true; };
  plat::InstallSessionEndSignal();
  std::raise(SIGTERM);
  std::signal(SIGTERM, SIG_DFL);
  plat::PostMessage(0, plat::WM_NULL);  // the loop looks at the pending signal on its next pass
  while (!App().Terminated) App().HandleMessage();
  EXPECT_TRUE(saved);
}

TEST_F(AppLoopTest, ExceptionsReachTheTopLevelBoxExceptSilentAborts) {
  std::vector<std::string> shown;
  struct RecordingBox : TSystemMessageBox {
    explicit RecordingBox(std::vector<std::string>& texts) : shown(texts) {}
    int32_t Show(const std::string& text, const std::string&, uint32_t) override {
      shown.push_back(text);
      return IDOK;
    }
    std::vector<std::string>& shown;
  };
  ScopedService<TSystemMessageBox> box(std::make_unique<RecordingBox>(shown));
  // Each idle pass queues a message, so that the step's wait for the next one returns.
  App().OnIdle = [] {
    plat::PostMessage(0, plat::WM_NULL);
    throw EConvertError("bad value");
  };
  App().HandleMessage();
  App().ProcessMessages();
  App().OnIdle = [] {
    plat::PostMessage(0, plat::WM_NULL);
    throw EAbort();
  };
  App().HandleMessage();
  App().ProcessMessages();
  App().OnIdle = nullptr;
  struct Thrower : plat::Window {
    intptr_t WndProc(uint32_t msg, uintptr_t w, intptr_t l) override {
      if (msg == plat::WM_USER) throw std::runtime_error("in a handler");
      return Window::WndProc(msg, w, l);
    }
  } thrower;
  plat::CreateParams p;
  p.bounds = {0, 0, 10, 10};
  ASSERT_TRUE(thrower.Create(p));
  plat::PostMessage(thrower.Handle(), plat::WM_USER);
  App().HandleMessage();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Exception:\rbad value");
  EXPECT_EQ(shown[1], "Exception:\rin a handler");
  EXPECT_FALSE(App().Terminated);
}

TEST_F(AppLoopTest, TopMostWindowsStayNormalUntilTheLastRestore) {
  plat::Form tool;
  tool.SetFormStyle(plat::FormStyle::StayOnTop);
  tool.SetBounds(10, 10, 100, 100);
  ShowForm(tool);
  auto topmost = [&] { return (plat::GetWindowExStyle(tool.Handle()) & plat::WS_EX_TOPMOST) != 0; };
  ASSERT_TRUE(topmost());
  App().NormalizeTopMosts(false);
  App().NormalizeTopMosts(false);
  EXPECT_FALSE(topmost());
  App().RestoreTopMosts();
  EXPECT_FALSE(topmost());
  App().RestoreTopMosts();
  EXPECT_TRUE(topmost());
}

TEST_F(AppLoopTest, CursorsComeFromTheSystemTableOrTheProgramsLoader) {
  EXPECT_EQ(App().GetCursor(1), plat::CursorShape::Arrow);
  EXPECT_EQ(App().GetCursor(9), plat::CursorShape::IBeam);
  EXPECT_EQ(App().GetCursor(20), plat::CursorShape::Hand);
  EXPECT_EQ(App().GetCursor(0), plat::CursorShape::Hidden);
  std::string asked;
  struct AskedLoader : TCursorLoader {
    explicit AskedLoader(std::string& name) : asked(name) {}
    plat::CursorShape Load(const std::string& name) override {
      asked = name;
      return plat::CursorShape::Cross;
    }
    std::string& asked;
  };
  {
    ScopedService<TCursorLoader> loader(std::make_unique<AskedLoader>(asked));
    EXPECT_EQ(App().GetCursor(19), plat::CursorShape::Cross);
    EXPECT_EQ(asked, "MagnGlass");
  }
  EXPECT_EQ(App().GetCursor(19), plat::CursorShape::Cross);  // loaded once and kept
}

TEST_F(AppLoopTest, AsyncShiftStateReportsCtrlAndTheRightButton) {
  plat::Form f;
  f.SetBounds(10, 10, 100, 100);
  ShowForm(f);
  plat::headless::KeyDown(plat::VK_LCONTROL);
  plat::headless::MouseDown(f.Handle(), {5, 5}, 1);
  EXPECT_EQ(GetAsyncShiftState(), 20);
  EXPECT_FALSE(IsKeyDown(plat::VK_CONTROL));  // no message with Ctrl held has been handled yet
  Pump();
  plat::headless::MouseUp(f.Handle(), {5, 5}, 1);
  plat::headless::KeyUp(plat::VK_LCONTROL);
  Pump();
  EXPECT_EQ(GetAsyncShiftState(), 0);
}

TEST_F(AppLoopTest, WaitingCharacterIsKeptWholeBeforeDispatch) {
  plat::Form f;
  f.SetBounds(10, 10, 100, 100);
  ShowForm(f);
  plat::headless::TypeText("\xD0\x96");  // a Cyrillic letter
  App().ProcessMessage();
  EXPECT_EQ(LastWideCharMessage.message, plat::WM_CHAR);
  EXPECT_EQ(LastWideCharMessage.wParam, 0x416u);
}

}  // namespace

namespace {

TEST_F(AppLoopTest, CtrlF6SwitchesDocumentWindowsButCtrlShiftTabStaysForHotKeys) {
  plat::Form frame;
  frame.SetBounds(0, 0, 600, 400);
  App().MainForm = &frame;
  plat::Form first, second;
  for (plat::Form* f : {&first, &second}) {
    f->SetFormStyle(plat::FormStyle::MdiChild);
    f->SetParent(&frame);
    f->SetBounds(10, 10, 200, 150);
  }
  ShowForm(frame);
  ShowForm(first);
  ShowForm(second);
  second.SetFocus();
  App().ProcessMessages();
  ASSERT_EQ(plat::FindControl(plat::GetFocus()), &second);
  struct Case { uint8_t key; uint8_t shift; bool customizing; bool switches; } cases[] = {
      {plat::VK_TAB, 1 | 4, false, false},
      {plat::VK_F6, 4, true, false},
      {plat::VK_F6, 4, false, true},
  };
  for (const Case& c : cases) {
    plat::Control* before = plat::FindControl(plat::GetFocus());
    ToolbarCustomizing = c.customizing;
    Press(c.key, c.shift);
    ToolbarCustomizing = false;
    plat::Control* after = plat::FindControl(plat::GetFocus());
    EXPECT_EQ(before != after, c.switches) << int(c.key) << " " << int(c.shift);
  }
  App().MainForm = nullptr;
}

}  // namespace
