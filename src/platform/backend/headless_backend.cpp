// The headless backend: top-level windows live only as their off-screen images; input comes
// from the test API in headless.h.
#include <poll.h>

#include <map>
#include <stdexcept>

#include "platform/backend/backends.h"
#include "platform/backend/headless.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "platform/win/window_system_internal.h"

namespace plat {
namespace {

class HeadlessBackend;
HeadlessBackend* g_live = nullptr;

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend() { g_live = this; }
  ~HeadlessBackend() override {
    if (g_live == this) g_live = nullptr;
  }
  const char* Name() const override { return "headless"; }
  void CreateTopLevel(Hwnd hwnd, const TopLevelInfo&) override { presents_[hwnd] = 0; }
  void DestroyTopLevel(Hwnd hwnd) override { presents_.erase(hwnd); }
  void ShowTopLevel(Hwnd, bool, bool) override {}
  void SetTopLevelBounds(Hwnd, const Rect&) override {}
  void SetTopLevelTitle(Hwnd, const std::u16string&) override {}
  void RaiseTopLevel(Hwnd) override {}
  void FocusTopLevel(Hwnd) override {}
  void Present(Hwnd hwnd, const Bitmap&, const Region&) override { ++presents_[hwnd]; }
  void SetCursorShape(Hwnd, CursorShape) override {}
  void Pump() override {}
  void Wait(int32_t timeoutMs, int wakeFd) override {
    pollfd p{wakeFd, POLLIN, 0};
    poll(&p, 1, timeoutMs);
  }
  Rect ScreenRect() const override { return {0, 0, 1920, 1080}; }

  int PresentCount(Hwnd h) const {
    auto it = presents_.find(h);
    return it == presents_.end() ? 0 : it->second;
  }

 private:
  std::map<Hwnd, int> presents_;
};

// The top-level window of hwnd and the point p of hwnd's client area in its coordinates.
Hwnd TopPoint(Hwnd hwnd, Point p, Point& out) {
  Hwnd top = GetTopLevel(hwnd);
  if (!top) throw std::invalid_argument("headless input to a window that does not exist");
  Point screen = ClientToScreen(hwnd, p);
  Rect b = GetWindowBounds(top);
  out = {screen.x - b.left, screen.y - b.top};
  return top;
}

input::Button ButtonOf(int b) {
  return b == 1 ? input::Button::Right : b == 2 ? input::Button::Middle : input::Button::Left;
}

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

namespace headless {

void KeyDown(uint8_t vk) { input::Key(vk, true); }
void KeyUp(uint8_t vk) { input::Key(vk, false); }

void PressKey(uint8_t vk, uint8_t shiftBits) {
  if (shiftBits & SHIFT_BIT_CTRL) KeyDown(VK_LCONTROL);
  if (shiftBits & SHIFT_BIT_ALT) KeyDown(VK_LMENU);
  if (shiftBits & SHIFT_BIT_SHIFT) KeyDown(VK_LSHIFT);
  KeyDown(vk);
  KeyUp(vk);
  if (shiftBits & SHIFT_BIT_SHIFT) KeyUp(VK_LSHIFT);
  if (shiftBits & SHIFT_BIT_ALT) KeyUp(VK_LMENU);
  if (shiftBits & SHIFT_BIT_CTRL) KeyUp(VK_LCONTROL);
}

void TypeText(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = 0xFFFD;
    if (len == 0 || i + size_t(len) > s.size()) {
      len = 1;
    } else {
      cp = len == 1 ? c : char32_t(c & (0x7F >> len));
      for (int k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + size_t(k)]);
        if ((cc & 0xC0) != 0x80) {
          cp = 0xFFFD;
          len = k;
          break;
        }
        cp = (cp << 6) | (cc & 0x3F);
      }
    }
    input::Char(cp);
    i += size_t(len);
  }
}

void MouseMove(Hwnd hwnd, Point p) {
  Point tp;
  Hwnd top = TopPoint(hwnd, p, tp);
  input::MouseMove(top, tp);
}

void MouseDown(Hwnd hwnd, Point p, int button) {
  Point tp;
  Hwnd top = TopPoint(hwnd, p, tp);
  input::MouseMove(top, tp);
  input::MouseButton(top, tp, ButtonOf(button), true);
}

void MouseUp(Hwnd hwnd, Point p, int button) {
  Point tp;
  Hwnd top = TopPoint(hwnd, p, tp);
  input::MouseButton(top, tp, ButtonOf(button), false);
}

void Click(Hwnd hwnd, Point p, int button) {
  MouseDown(hwnd, p, button);
  MouseUp(hwnd, p, button);
}

void Drag(Hwnd hwnd, Point from, Point to, int button, int steps) {
  Point tf, tt;
  Hwnd top = TopPoint(hwnd, from, tf);
  TopPoint(hwnd, to, tt);
  input::MouseMove(top, tf);
  input::MouseButton(top, tf, ButtonOf(button), true);
  steps = steps < 1 ? 1 : steps;
  for (int i = 1; i <= steps; ++i) {
    input::MouseMove(top, {tf.x + (tt.x - tf.x) * i / steps, tf.y + (tt.y - tf.y) * i / steps});
    PumpPending();  // each step is delivered, as a real drag would be
  }
  input::MouseButton(top, tt, ButtonOf(button), false);
}

void Wheel(Hwnd hwnd, Point p, int32_t delta) {
  Point tp;
  Hwnd top = TopPoint(hwnd, p, tp);
  input::MouseMove(top, tp);
  input::Wheel(top, tp, delta);
}

void FocusAway(Hwnd topLevel) { input::FocusChanged(topLevel, false); }
void FocusBack(Hwnd topLevel) { input::FocusChanged(topLevel, true); }
void RequestClose(Hwnd topLevel) { input::CloseRequested(topLevel); }

void AdvanceClock(uint64_t ms) {
  detail::State& s = detail::S();
  if (!s.testClock) throw WindowSystemError("the window system runs on the real clock");
  s.testClock->Advance(ms);
}

int PresentCount(Hwnd topLevel) { return g_live ? g_live->PresentCount(topLevel) : 0; }

}  // namespace headless
}  // namespace plat
