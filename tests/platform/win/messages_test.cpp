// The message queue, the loops, timers, hot keys, properties and atoms.
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "platform/win/keys.h"
#include "win_fixture.h"

using namespace plat;
using namespace wintest;

namespace {

std::vector<uint32_t> UserMessages(const std::vector<Received>& log) {
  std::vector<uint32_t> r;
  for (const Received& m : log) {
    if (m.msg >= WM_USER && m.msg < WM_USER + 100) r.push_back(m.msg - WM_USER);
  }
  return r;
}

}  // namespace

TEST_F(WinTest, SentMessagesRunAtOnceAndPostedOnesLaterInOrder) {
  std::vector<Received> log;
  RecWindow w(&log);
  MakeTop(w);
  w.hook = [](uint32_t m, uintptr_t wp, intptr_t, intptr_t& r) {
    if (m == WM_USER + 9) {
      r = intptr_t(wp * 2);
      return true;
    }
    return false;
  };
  EXPECT_TRUE(PostMessage(w.Handle(), WM_USER + 1));
  EXPECT_TRUE(PostMessage(w.Handle(), WM_USER + 2));
  EXPECT_EQ(SendMessage(w.Handle(), WM_USER + 9, 21), 42);
  EXPECT_TRUE(PostMessage(w.Handle(), WM_USER + 3));
  EXPECT_EQ(UserMessages(log), (std::vector<uint32_t>{9}));
  PumpPending();
  EXPECT_EQ(UserMessages(log), (std::vector<uint32_t>{9, 1, 2, 3}));
}

TEST_F(WinTest, MessagesToDestroyedWindowsAreDropped) {
  std::vector<Received> log;
  RecWindow w(&log);
  MakeTop(w);
  Hwnd h = w.Handle();
  PostMessage(h, WM_USER + 1);
  w.Destroy();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(PostMessage(h, WM_USER + 2));
  EXPECT_EQ(SendMessage(h, WM_USER + 3), 0);
  PumpPending();
  EXPECT_TRUE(UserMessages(log).empty());
  // The handle is never handed out again.
  RecWindow w2;
  MakeTop(w2);
  EXPECT_NE(w2.Handle(), h);
}

TEST_F(WinTest, NestedModalLoopRunsUntilDoneThenOuterLoopContinues) {
  std::vector<Received> log;
  RecWindow w(&log);
  MakeTop(w);
  bool done = false;
  bool modalResult = false;
  w.hook = [&](uint32_t m, uintptr_t, intptr_t, intptr_t&) {
    if (m == WM_USER + 1) {
      PostMessage(w.Handle(), WM_USER + 2);
      PostMessage(w.Handle(), WM_USER + 3);
      modalResult = RunModalLoop([&] { return done; });
      log.push_back({w.Handle(), WM_USER + 50, 0, 0});  // the modal loop returned
      PostMessage(w.Handle(), WM_USER + 4);
    }
    if (m == WM_USER + 3) done = true;
    if (m == WM_USER + 4) PostQuitMessage(7);
    return false;
  };
  PostMessage(w.Handle(), WM_USER + 1);
  EXPECT_EQ(RunMessageLoop(), 7);
  EXPECT_TRUE(modalResult);
  EXPECT_EQ(UserMessages(log), (std::vector<uint32_t>{1, 2, 3, 50, 4}));
}

TEST_F(WinTest, QuitInsideModalLoopEndsEveryLoop) {
  RecWindow w;
  MakeTop(w);
  bool modalResult = true;
  w.hook = [&](uint32_t m, uintptr_t, intptr_t, intptr_t&) {
    if (m == WM_USER + 1) {
      PostQuitMessage(3);
      modalResult = RunModalLoop([] { return false; });
    }
    return false;
  };
  PostMessage(w.Handle(), WM_USER + 1);
  EXPECT_EQ(RunMessageLoop(), 3);
  EXPECT_FALSE(modalResult);
}

TEST_F(WinTest, IdleHookRunsWhenQueueIsEmpty) {
  RecWindow w;
  MakeTop(w);
  int idle = 0;
  SetIdleHook([&] {
    if (++idle == 2) PostQuitMessage(0);
  });
  PostMessage(w.Handle(), WM_USER + 1);
  SetTimer(w.Handle(), 1, 100);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(idle, 2);
}

TEST_F(WinTest, WaitingForNothingOnTheTestClockIsAnError) {
  PumpPending();
  EXPECT_THROW(WaitMessage(), WindowSystemError);
}

TEST_F(WinTest, DueTimersFireInDueOrderOncePerTurn) {
  std::vector<Received> log;
  RecWindow a(&log), b(&log);
  MakeTop(a);
  MakeTop(b);
  PumpPending();
  log.clear();
  SetTimer(a.Handle(), 1, 100);
  SetTimer(b.Handle(), 2, 50);
  SetTimer(a.Handle(), 3, 50);  // due with b's timer; set later, so fires after it
  headless::AdvanceClock(40);
  PumpPending();
  EXPECT_TRUE(Only(log, {WM_TIMER}).empty());
  headless::AdvanceClock(460);  // all due; each fires once, not once per missed period
  PumpPending();
  std::vector<std::pair<Hwnd, uintptr_t>> fired;
  for (const Received& m : log) {
    if (m.msg == WM_TIMER) fired.push_back({m.hwnd, m.wParam});
  }
  std::vector<std::pair<Hwnd, uintptr_t>> want{{b.Handle(), 2}, {a.Handle(), 3}, {a.Handle(), 1}};
  EXPECT_EQ(fired, want);
  // Killed timers and the timers of destroyed windows stop.
  EXPECT_TRUE(KillTimer(a.Handle(), 3));
  b.Destroy();
  log.clear();
  headless::AdvanceClock(100);
  PumpPending();
  ASSERT_EQ(Only(log, {WM_TIMER}).size(), 1u);
  EXPECT_EQ(log.back().wParam, 1u);
}

TEST_F(WinTest, GetMessageWaitsForTheNextTimerAndCallbacksRun) {
  std::vector<uint32_t> ids;
  uint32_t id = SetTimer(0, 0, 250, [&](Hwnd, uint32_t i) {
    ids.push_back(i);
    if (ids.size() == 2) KillTimer(0, i);
  });
  ASSERT_NE(id, 0u);
  uint64_t start = GetClock().NowMs();
  Msg m;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(GetMessage(m));
    DispatchMessage(m);
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{id, id}));
  EXPECT_EQ(GetClock().NowMs() - start, 500u);
}

TEST_F(WinTest, HotKeysGoToTheirWindowWhateverHasTheFocus) {
  std::vector<Received> log;
  RecWindow main(&log), edit(&log), dialog(&log);
  MakeTop(main);
  MakeChild(edit, main, {10, 10, 50, 30});
  ASSERT_TRUE(RegisterHotKey(main.Handle(), 50, 0, VK_ESCAPE));
  ASSERT_TRUE(RegisterHotKey(main.Handle(), 7, MOD_CONTROL, VK_F5));
  EXPECT_FALSE(RegisterHotKey(edit.Handle(), 8, MOD_CONTROL, VK_F5));  // taken
  MakeTop(dialog);
  EnableWindow(main.Handle(), false);  // as under a modal dialog
  SetFocus(dialog.Handle());
  PumpPending();
  log.clear();
  headless::PressKey(VK_F5, SHIFT_BIT_CTRL);
  headless::PressKey(VK_ESCAPE);
  headless::PressKey(VK_F5);  // without Ctrl: an ordinary key
  PumpPending();
  std::vector<std::pair<uint32_t, uintptr_t>> got;
  for (const Received& m : log) {
    if (m.msg == WM_HOTKEY) {
      EXPECT_EQ(m.hwnd, main.Handle());
    }
    if (m.msg == WM_HOTKEY || (m.msg == WM_KEYDOWN && m.wParam != VK_CONTROL)) got.push_back({m.msg, m.wParam});
  }
  std::vector<std::pair<uint32_t, uintptr_t>> want{{WM_HOTKEY, 7}, {WM_HOTKEY, 50}, {WM_KEYDOWN, VK_F5}};
  EXPECT_EQ(got, want);
  EXPECT_TRUE(UnregisterHotKey(main.Handle(), 50));
  log.clear();
  headless::PressKey(VK_ESCAPE);
  PumpPending();
  EXPECT_TRUE(Only(log, {WM_HOTKEY}).empty());
}

TEST_F(WinTest, PropertiesAndAtoms) {
  RecWindow w;
  MakeTop(w);
  EXPECT_TRUE(SetProp(w.Handle(), "1.x Fenn Torra", 5));
  EXPECT_EQ(GetProp(w.Handle(), "1.x Fenn Torra"), 5);
  EXPECT_EQ(GetProp(w.Handle(), "other"), 0);
  EXPECT_EQ(RemoveProp(w.Handle(), "1.x Fenn Torra"), 5);
  EXPECT_EQ(GetProp(w.Handle(), "1.x Fenn Torra"), 0);

  uint16_t a = GlobalAddAtom("/home/u/Doc One.rtf");
  ASSERT_GE(a, 0xC000);
  EXPECT_EQ(GlobalAddAtom("/HOME/U/doc one.RTF"), a);  // case does not count; counted twice
  EXPECT_EQ(GlobalGetAtomName(a), "/home/u/Doc One.rtf");
  EXPECT_TRUE(GlobalDeleteAtom(a));
  EXPECT_EQ(GlobalFindAtom("/home/u/doc one.rtf"), a);
  EXPECT_TRUE(GlobalDeleteAtom(a));
  EXPECT_EQ(GlobalFindAtom("/home/u/doc one.rtf"), 0);
  EXPECT_EQ(GlobalAddAtom("#123"), 123);
  EXPECT_EQ(GlobalGetAtomName(123), "#123");
  EXPECT_EQ(GlobalAddAtom(""), 0);
  EXPECT_EQ(GlobalAddAtom(std::string(300, 'x')), 0);
  uint32_t m1 = RegisterWindowMessage("QuorvaneHello");
  EXPECT_GE(m1, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("quorvanehello"), m1);
}

TEST_F(WinTest, WorkerThreadsPostInOrder) {
  std::vector<Received> log;
  RecWindow w(&log);
  MakeTop(w);
  std::thread worker([&] {
    for (uintptr_t i = 0; i < 50; ++i) PostMessageFromWorker(w.Handle(), WM_USER + 10, i);
  });
  worker.join();
  PumpPending();
  std::vector<uintptr_t> got;
  for (const Received& m : log) {
    if (m.msg == WM_USER + 10) got.push_back(m.wParam);
  }
  ASSERT_EQ(got.size(), 50u);
  for (uintptr_t i = 0; i < 50; ++i) EXPECT_EQ(got[i], i);
}

TEST_F(WinTest, SigtermEndsTheSessionOnTheInterfaceThread) {
  InstallSessionEndSignal();
  int ended = 0;
  SetSessionEndHandler([&] { ++ended; });
  std::raise(SIGTERM);
  EXPECT_EQ(ended, 0);  // not inside the signal handler
  PumpPending();
  EXPECT_EQ(ended, 1);
  SetSessionEndHandler(nullptr);
  std::raise(SIGTERM);  // the default ends the loop
  EXPECT_EQ(RunMessageLoop(), 0);
  std::signal(SIGTERM, SIG_DFL);
}

TEST_F(WinTest, ModalLoopEndedByTheIdleHookDoesNotWait) {
  // Nothing is queued and no timer runs: waiting would never end (on the test clock, an error).
  bool done = false;
  SetIdleHook([&] { done = true; });
  EXPECT_TRUE(RunModalLoop([&] { return done; }));
  SetIdleHook(nullptr);
}

TEST_F(WinTest, WakeUpBeforeAWaitEndsThatWait) {
  PumpPending();
  WakeUp();
  EXPECT_NO_THROW(WaitMessage());
  EXPECT_THROW(WaitMessage(), WindowSystemError);  // the wake-up counts once
}

namespace wintest {

// Long work looks for input behind the messages posted before it, and takes nothing.
TEST_F(WinTest, InputPendingSeesInputBehindPostedMessages) {
  std::vector<Received> log;
  RecWindow w(&log);
  MakeTop(w);
  plat::SetFocus(w.Handle());
  PumpPending();
  EXPECT_FALSE(plat::InputPending());
  EXPECT_TRUE(plat::PostMessage(w.Handle(), plat::WM_USER + 1));
  EXPECT_FALSE(plat::InputPending());
  plat::headless::KeyDown('A');
  EXPECT_TRUE(plat::InputPending());
  EXPECT_TRUE(plat::InputPending());  // looking takes nothing
  PumpPending();
  EXPECT_FALSE(plat::InputPending());
  EXPECT_EQ(Only(log, {plat::WM_USER + 1, plat::WM_KEYDOWN}),
            (std::vector<uint32_t>{plat::WM_USER + 1, plat::WM_KEYDOWN}));
}

}  // namespace wintest
