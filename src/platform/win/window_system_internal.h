#pragma once
// Internal state of the window system, shared by its source files. Not for use outside win/ and
// the backends.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/region.h"
#include "platform/win/backend.h"
#include "platform/win/clock.h"
#include "platform/win/window.h"
#include "platform/win/window_system.h"

namespace plat {

// Gives the window system access to a Window's handle field.
struct WindowSystemAccess {
  static void SetHandle(Window& w, Hwnd h) { w.handle_ = h; }
};

namespace detail {

struct Node {
  Hwnd handle = 0;
  Window* obj = nullptr;
  Hwnd parent = 0;
  Hwnd owner = 0;
  std::vector<Hwnd> children;  // bottom to top
  Rect bounds;                 // parent client coordinates (screen for top-level)
  Insets insets;
  std::u16string text;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t classStyle = 0;
  bool shown = false;
  bool enabled = true;
  bool destroying = false;
  Region update;  // client coordinates
  bool erase = false;
  std::map<std::string, intptr_t> props;
  // Top-level windows only.
  // Shared so that a painter keeps its target alive if a handler resizes or destroys the window.
  std::shared_ptr<Bitmap> surface;
  Region changed;  // surface pixels painted but not yet presented
  bool inBackend = false;
  bool ncDirty = false;  // the non-client frame needs WM_NCPAINT
  Hwnd lastFocus = 0;
  WindowState state = WindowState::Normal;
  Rect normalBounds;  // the bounds to restore a maximised window to  // the window inside that had the focus when it was last deactivated
};

struct Timer {
  Hwnd hwnd = 0;
  uint32_t id = 0;
  uint32_t interval = 0;
  uint64_t due = 0;
  uint64_t seq = 0;  // creation order breaks ties between timers due at the same time
  TimerProc proc;
};

struct HotKey {
  Hwnd hwnd = 0;
  int32_t id = 0;
  uint32_t modifiers = 0;
  uint8_t vk = 0;
};

struct Caret {
  Hwnd hwnd = 0;
  int32_t width = 0, height = 0;
  Point pos;
  int32_t hideCount = 1;
  bool blinkOn = false;
  uint64_t nextBlink = 0;
  Bitmap shape;
  bool hasShape = false;
  bool drawnInSurface = false;
};

struct Atom {
  std::string name;
  uint32_t refs = 0;
};

using KeyStateTable = std::array<uint8_t, 256>;  // bit 7 down, bit 0 toggled

struct QueuedMsg {
  Msg msg;
  uint64_t inputEvent = 0;  // key messages of one key event share a number (hot-key filter)
  // Input messages carry the keyboard state of their moment; taking one from the queue makes it
  // the state GetKeyState reports, so a handler sees the keys held when its message was made.
  std::optional<KeyStateTable> keys;
};

struct State {
  std::unique_ptr<Clock> clock;
  TestClock* testClock = nullptr;
  std::unique_ptr<Backend> backend;
  std::map<Hwnd, std::unique_ptr<Node>> nodes;
  std::vector<Hwnd> topLevels;  // bottom to top
  Hwnd nextHandle = 1;
  std::deque<QueuedMsg> queue;
  uint64_t inputEventSeq = 0;
  std::vector<Timer> timers;
  uint64_t timerSeq = 0;
  uint32_t nextThreadTimerId = 0x7F00;
  std::vector<HotKey> hotKeys;
  Caret caret;
  uint32_t caretBlinkMs = 530;
  std::map<uint16_t, Atom> atoms;
  Hwnd focus = 0, capture = 0, active = 0;
  bool appActive = false;
  KeyStateTable keyState{};      // now (as input arrives)
  KeyStateTable syncKeyState{};  // as of the input message taken last
  Point cursorPos;
  bool altGrDown = false;
  uint64_t lastKeyEvent = 0;
  CursorShape cursor = CursorShape::Arrow;
  Hwnd mouseTop = 0;  // top-level window under the mouse
  // Double-click detection.
  uint64_t lastClickTime = 0;
  Point lastClickPos;
  Hwnd lastClickHwnd = 0;
  int lastClickButton = -1;
  uint32_t doubleClickMs = 500;
  int32_t nextCursorId = 1000;
  std::function<void()> idleHook;
  std::function<void()> sessionEnd;
  int wakeRead = -1, wakeWrite = -1;
};

State& S();
bool Started();
Node* Find(Hwnd h);

// Window coordinates are kept within +-2^28 pixels, sizes of top-level windows within
// kMaxTopLevelSide: far beyond any screen, yet sums of nested positions, sizes and insets stay
// well inside 32 bits, and a top-level surface stays below 256 MB, whatever a caller asks for.
constexpr int32_t kCoordLimit = 1 << 28;
constexpr int32_t kMaxTopLevelSide = 8192;
int32_t FitCoord(int64_t v);  // v clamped to +-kCoordLimit
// Bounds as a window holds them: position and size in range, no negative size.
Rect FitBounds(int64_t x, int64_t y, int64_t cx, int64_t cy, bool topLevel);

// Shared helpers of the window system's parts.
Hwnd TopOf(Hwnd h);
Point ClientOriginInTop(const Node& n);
Rect BoundsInTop(const Node& n);  // the whole window in top-level surface pixels
Rect ClientRectInTop(const Node& n);  // the client area in top-level surface pixels
Rect VisibleClientInTop(const Node& n);  // the part of the client area not clipped by parents
// Pixels of the surface the window paints: its visible client area without the windows above it.
Region VisibleRegion(const Node& n);
// The same for the window's non-client frame.
Region FrameRegion(const Node& n);
// Invalidates a rectangle of the top-level surface in every visible window of the tree below h.
void InvalidateTreeArea(Hwnd h, const Rect& inTop);
void QueueMessage(const Msg& m, uint64_t inputEvent = 0);
// Queues an input message with the current keyboard state.
void QueueInput(const Msg& m, uint64_t inputEvent = 0);
void PaintNode(Hwnd h);
bool FindPaintCandidate(Hwnd& out);
void PresentAll();
void DrawCaret(bool on);
void CaretTick(uint64_t now);
uint64_t NextCaretEvent();
void ForgetWindow(Hwnd h);  // focus, capture, caret, timers, hot keys of a dead window
void DestroyNode(Hwnd h);
bool TakeDueTimer(Msg& out, bool remove);
int64_t MsUntilNextTimer();
void ResetInputState();
void DeactivateOnHide(Hwnd h);
uint32_t Now32();

}  // namespace detail
}  // namespace plat
