// The window system's state, start-up, the message queue and the loops.
#include "platform/win/window_system.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/backend/backends.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace detail {
namespace {

std::unique_ptr<State> g_state;
volatile sig_atomic_t g_sessionEndPending = 0;
volatile int g_wakeWriteFd = -1;
// Set by WakeUp() and taken by the next WaitMessage(), which then returns at once: a loop's end
// condition may have changed (a modal result set by an idle step) and must be looked at again.
std::atomic<bool> g_wakePending{false};

// Messages posted by worker threads wait here until the interface thread moves them to the queue.
std::mutex g_inboxMutex;
std::vector<Msg> g_inbox;
bool g_inboxOpen = false;

void TakeWorkerMessages() {
  std::vector<Msg> taken;
  {
    std::lock_guard<std::mutex> lock(g_inboxMutex);
    taken.swap(g_inbox);
  }
  for (const Msg& m : taken) QueueMessage(m);
}

void OnSessionEndSignal(int) {
  g_sessionEndPending = 1;
  int fd = g_wakeWriteFd;
  if (fd >= 0) {
    char b = 1;
    ssize_t ignored = write(fd, &b, 1);
    (void)ignored;
  }
}

void DrainWakePipe() {
  State& s = S();
  if (s.wakeRead < 0) return;
  char buf[64];
  while (read(s.wakeRead, buf, sizeof buf) > 0) {
  }
}

BackendKind ChooseBackend(BackendKind wanted) {
  if (wanted != BackendKind::Auto) return wanted;
  const char* forced = std::getenv("QV_BACKEND");
  if (forced && std::strcmp(forced, "headless") == 0) return BackendKind::Headless;
  if (forced && std::strcmp(forced, "x11") == 0) return BackendKind::X11;
  const char* display = std::getenv("DISPLAY");
  return (display && *display) ? BackendKind::X11 : BackendKind::Headless;
}

// Key-down messages that match a registered hot key become WM_HOTKEY; the characters the same
// key made are dropped with it.
void FilterHotKey(QueuedMsg& q) {
  State& s = S();
  Msg& m = q.msg;
  if ((m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) || s.hotKeys.empty() || !s.appActive)
    return;
  uint8_t shift = GetShiftState();
  uint32_t mods = ((shift & SHIFT_BIT_ALT) ? MOD_ALT : 0) | ((shift & SHIFT_BIT_CTRL) ? MOD_CONTROL : 0) |
                  ((shift & SHIFT_BIT_SHIFT) ? MOD_SHIFT : 0);
  for (const HotKey& hk : s.hotKeys) {
    if (hk.vk != uint8_t(m.wParam) || hk.modifiers != mods) continue;
    m.hwnd = hk.hwnd;
    m.message = WM_HOTKEY;
    m.wParam = uintptr_t(hk.id);
    m.lParam = MakeLParam(int32_t(mods), hk.vk);
    if (q.inputEvent != 0) {
      std::erase_if(s.queue, [&](const QueuedMsg& o) {
        return o.inputEvent == q.inputEvent &&
               (o.msg.message == WM_CHAR || o.msg.message == WM_SYSCHAR);
      });
    }
    return;
  }
}

}  // namespace

State& S() {
  if (!g_state) throw WindowSystemError("the window system is not started");
  return *g_state;
}

bool Started() { return g_state != nullptr; }

Node* Find(Hwnd h) {
  if (!g_state || h == 0) return nullptr;
  auto it = g_state->nodes.find(h);
  return it == g_state->nodes.end() ? nullptr : it->second.get();
}

uint32_t Now32() { return uint32_t(S().clock->NowMs()); }

void QueueMessage(const Msg& in, uint64_t inputEvent) {
  State& s = S();
  Msg m = in;
  m.time = Now32();
  m.ptX = s.cursorPos.x;
  m.ptY = s.cursorPos.y;
  s.queue.push_back({m, inputEvent, std::nullopt});
}

void QueueInput(const Msg& m, uint64_t inputEvent) {
  QueueMessage(m, inputEvent);
  S().queue.back().keys = S().keyState;
}

}  // namespace detail

using namespace detail;

void StartWindowSystem(const WindowSystemOptions& options) {
  if (g_state) throw WindowSystemError("the window system is already started");
  auto st = std::make_unique<State>();
  BackendKind kind = ChooseBackend(options.backend);
  if (kind == BackendKind::Headless && options.testClock) {
    auto tc = std::make_unique<TestClock>();
    st->testClock = tc.get();
    st->clock = std::move(tc);
  } else {
    st->clock = std::make_unique<SystemClock>();
  }
  st->backend = kind == BackendKind::X11 ? MakeX11Backend() : MakeHeadlessBackend();
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
    throw WindowSystemError(std::string("cannot create the wake-up pipe: ") + std::strerror(errno));
  st->wakeRead = fds[0];
  st->wakeWrite = fds[1];
  g_wakeWriteFd = fds[1];
  g_wakePending.store(false);
  g_state = std::move(st);
  std::lock_guard<std::mutex> lock(g_inboxMutex);
  g_inbox.clear();
  g_inboxOpen = true;
}

void StopWindowSystem() {
  if (!g_state) return;
  {
    std::lock_guard<std::mutex> lock(g_inboxMutex);
    g_inboxOpen = false;
    g_inbox.clear();
    g_wakeWriteFd = -1;
  }
  // Destroy the top-level windows (and with them every child); objects keep living without
  // handles.
  while (!g_state->topLevels.empty()) DestroyNode(g_state->topLevels.back());
  close(g_state->wakeRead);
  close(g_state->wakeWrite);
  g_state.reset();
}

bool IsWindowSystemStarted() { return Started(); }
const char* BackendName() { return S().backend->Name(); }
Clock& GetClock() { return *S().clock; }
uint32_t GetTickCount() { return Now32(); }
Rect GetScreenRect() { return S().backend->ScreenRect(); }
void MessageBeep() { S().backend->Beep(); }

void WakeUp() {
  g_wakePending.store(true);
  int fd = g_wakeWriteFd;
  if (fd >= 0) {
    char b = 1;
    ssize_t ignored = write(fd, &b, 1);
    (void)ignored;
  }
}

intptr_t SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  Node* n = Find(hwnd);
  if (!n || !n->obj) return 0;
  return n->obj->WndProc(msg, wParam, lParam);
}

bool PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (hwnd != 0 && !Find(hwnd)) return false;
  QueueMessage(Msg{hwnd, msg, wParam, lParam});
  return true;
}

bool PostMessageFromWorker(Hwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard<std::mutex> lock(g_inboxMutex);
    if (!g_inboxOpen) return false;
    g_inbox.push_back(Msg{hwnd, msg, wParam, lParam});
    WakeUp();  // under the lock: the pipe cannot be closed meanwhile
  }
  return true;
}

namespace input {
void ConnectionLost() {
  g_sessionEndPending = 1;
  WakeUp();
}
}  // namespace input

void PostQuitMessage(int exitCode) { QueueMessage(Msg{0, WM_QUIT, uintptr_t(exitCode), 0}); }

bool PeekMessage(Msg& out, bool remove) {
  State& s = S();
  s.backend->Pump();
  DrainWakePipe();
  TakeWorkerMessages();
  if (g_sessionEndPending) {
    g_sessionEndPending = 0;
    if (s.sessionEnd) s.sessionEnd();
    else PostQuitMessage(0);
  }
  // Messages to windows destroyed since they were queued are dropped.
  while (!s.queue.empty()) {
    QueuedMsg& q = s.queue.front();
    if (q.msg.hwnd != 0 && !Find(q.msg.hwnd)) {
      s.queue.pop_front();
      continue;
    }
    if (!remove) {
      out = q.msg;
      return true;
    }
    QueuedMsg taken = q;
    s.queue.pop_front();
    if (taken.keys) s.syncKeyState = *taken.keys;
    FilterHotKey(taken);
    out = taken.msg;
    return true;
  }
  Hwnd paint = 0;
  if (FindPaintCandidate(paint)) {
    out = Msg{paint, WM_PAINT, 0, 0, Now32(), s.cursorPos.x, s.cursorPos.y};
    return true;
  }
  if (TakeDueTimer(out, remove)) return true;
  CaretTick(s.clock->NowMs());
  PresentAll();
  return false;
}

bool InputPending() {
  State& s = S();
  s.backend->Pump();
  for (const QueuedMsg& q : s.queue) {
    const uint32_t m = q.msg.message;
    if ((m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST))
      return true;
  }
  return false;
}

void WaitMessage() {
  State& s = S();
  Msg m;
  if (PeekMessage(m, false)) return;
  if (g_wakePending.exchange(false)) return;
  int64_t timeout = MsUntilNextTimer();
  uint64_t caretAt = NextCaretEvent();
  if (caretAt != 0) {
    int64_t c = int64_t(caretAt) - int64_t(s.clock->NowMs());
    if (c < 0) c = 0;
    if (timeout < 0 || c < timeout) timeout = c;
  }
  if (s.testClock) {
    // Nothing outside can happen on the test clock: move time on to the next timer.
    if (timeout < 0)
      throw WindowSystemError("the message loop would wait forever: nothing is queued and no timer runs");
    s.testClock->Advance(uint64_t(timeout));
    return;
  }
  if (timeout > int64_t(INT32_MAX)) timeout = INT32_MAX;
  s.backend->Wait(int32_t(timeout), s.wakeRead);
}

bool GetMessage(Msg& msg) {
  while (!PeekMessage(msg)) WaitMessage();
  return msg.message != WM_QUIT;
}

intptr_t DispatchMessage(const Msg& m) {
  State& s = S();
  if (m.message == WM_PAINT && m.lParam == 0) {
    PaintNode(m.hwnd);
    return 0;
  }
  if (m.message == WM_TIMER) {
    for (const Timer& t : s.timers) {
      if (t.hwnd == m.hwnd && t.id == uint32_t(m.wParam) && t.proc) {
        TimerProc proc = t.proc;  // the callback may kill its own timer
        proc(m.hwnd, t.id);
        return 0;
      }
    }
  }
  if (m.hwnd == 0) return 0;
  return SendMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

namespace {

enum class Step { Go, Quit, Done };

// One turn of a loop: Quit when WM_QUIT was taken (its exit code in *code). done (may be
// empty) is the loop's end condition, looked at again after the idle hook and before waiting
// (Done when it holds there).
Step LoopStep(int* code, const std::function<bool()>& done) {
  State& s = S();
  Msg m;
  if (PeekMessage(m)) {
    if (m.message == WM_QUIT) {
      *code = int(m.wParam);
      return Step::Quit;
    }
    DispatchMessage(m);
    return Step::Go;
  }
  if (s.idleHook) {
    auto hook = s.idleHook;
    hook();
    if (PeekMessage(m, false)) return Step::Go;
    if (done && done()) return Step::Done;
  }
  WaitMessage();
  return Step::Go;
}

}  // namespace

int RunMessageLoop() {
  int code = 0;
  while (LoopStep(&code, nullptr) != Step::Quit) {
  }
  return code;
}

bool RunModalLoop(const std::function<bool()>& done) {
  int code = 0;
  while (!done()) {
    Step step = LoopStep(&code, done);
    if (step == Step::Done) break;
    if (step == Step::Quit) {
      PostQuitMessage(code);
      return false;
    }
  }
  return true;
}

void PumpPending() {
  State& s = S();
  Msg m;
  while (PeekMessage(m)) {
    if (m.message == WM_QUIT) {
      s.queue.push_front({m, 0, std::nullopt});
      return;
    }
    DispatchMessage(m);
  }
}

void SetIdleHook(std::function<void()> hook) { S().idleHook = std::move(hook); }
void SetSessionEndHandler(std::function<void()> handler) { S().sessionEnd = std::move(handler); }

void InstallSessionEndSignal() {
  struct sigaction sa {};
  sa.sa_handler = OnSessionEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
}

// ---- Properties ----

bool SetProp(Hwnd hwnd, const std::string& name, intptr_t value) {
  Node* n = Find(hwnd);
  if (!n) return false;
  n->props[name] = value;
  return true;
}

intptr_t GetProp(Hwnd hwnd, const std::string& name) {
  Node* n = Find(hwnd);
  if (!n) return 0;
  auto it = n->props.find(name);
  return it == n->props.end() ? 0 : it->second;
}

intptr_t RemoveProp(Hwnd hwnd, const std::string& name) {
  Node* n = Find(hwnd);
  if (!n) return 0;
  auto it = n->props.find(name);
  if (it == n->props.end()) return 0;
  intptr_t v = it->second;
  n->props.erase(it);
  return v;
}

// ---- Atoms ----

namespace {

std::string Folded(const std::string& s) {
  std::string r = s;
  for (char& c : r) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return r;
}

// "#123" names the integer atom 123 (1..0xBFFF); -1 when the name is not of that form.
int32_t IntegerAtom(const std::string& name) {
  if (name.size() < 2 || name.size() > 6 || name[0] != '#') return -1;
  int32_t v = 0;
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    v = v * 10 + (name[i] - '0');
  }
  return (v >= 1 && v < 0xC000) ? v : -1;
}

}  // namespace

uint16_t GlobalFindAtom(const std::string& name) {
  if (int32_t v = IntegerAtom(name); v > 0) return uint16_t(v);
  std::string key = Folded(name);
  for (const auto& [id, a] : S().atoms) {
    if (Folded(a.name) == key) return id;
  }
  return 0;
}

uint16_t GlobalAddAtom(const std::string& name) {
  if (int32_t v = IntegerAtom(name); v > 0) return uint16_t(v);
  if (name.empty() || name.size() > 255) return 0;
  State& s = S();
  if (uint16_t id = GlobalFindAtom(name)) {
    ++s.atoms[id].refs;
    return id;
  }
  for (uint32_t id = 0xC000; id <= 0xFFFF; ++id) {
    if (!s.atoms.count(uint16_t(id))) {
      s.atoms[uint16_t(id)] = Atom{name, 1};
      return uint16_t(id);
    }
  }
  return 0;
}

std::string GlobalGetAtomName(uint16_t atom) {
  if (atom > 0 && atom < 0xC000) return "#" + std::to_string(atom);
  auto& atoms = S().atoms;
  auto it = atoms.find(atom);
  return it == atoms.end() ? std::string() : it->second.name;
}

bool GlobalDeleteAtom(uint16_t atom) {
  if (atom > 0 && atom < 0xC000) return true;
  auto& atoms = S().atoms;
  auto it = atoms.find(atom);
  if (it == atoms.end()) return false;
  if (--it->second.refs == 0) atoms.erase(it);
  return true;
}

uint32_t RegisterWindowMessage(const std::string& name) {
  if (name.empty() || IntegerAtom(name) > 0) return 0;
  if (uint16_t id = GlobalFindAtom(name)) return id;  // registered messages are never freed
  return GlobalAddAtom(name);
}

// ---- Hot keys ----

bool RegisterHotKey(Hwnd hwnd, int32_t id, uint32_t modifiers, uint8_t vk) {
  State& s = S();
  if (!Find(hwnd) || vk == 0) return false;
  modifiers &= (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN);
  for (const HotKey& hk : s.hotKeys) {
    if ((hk.hwnd == hwnd && hk.id == id) || (hk.vk == vk && hk.modifiers == modifiers)) return false;
  }
  s.hotKeys.push_back({hwnd, id, modifiers, vk});
  return true;
}

bool UnregisterHotKey(Hwnd hwnd, int32_t id) {
  return std::erase_if(S().hotKeys, [&](const HotKey& hk) { return hk.hwnd == hwnd && hk.id == id; }) > 0;
}

}  // namespace plat
