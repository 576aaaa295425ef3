#pragma once
// The window system: message queue and loop, window tree operations, painting, timers, focus,
// capture, activation, caret, cursor, properties, atoms and hot keys. One interface thread owns
// all of it; none of these functions may be called from another thread (only WakeUp() may).
//
// Start-up: StartWindowSystem() picks the backend (X11 when DISPLAY is set, headless otherwise or
// when QV_BACKEND=headless) and StopWindowSystem() destroys every remaining window.
//
// The loop: PeekMessage() takes, in this order, a queued message (posted messages and input, in
// the order they came), then a WM_PAINT for a window with a non-empty update region (parents
// before children), then a WM_TIMER for the timer due first. Sent messages never queue: the
// handler has run when SendMessage() returns. A program loop is
//   Msg m; while (GetMessage(m)) DispatchMessage(m);
// or RunMessageLoop(), which also calls the idle hook whenever the queue runs empty; a modal
// form runs RunModalLoop(done) in the same way. WM_QUIT taken by a modal loop ends it and is
// posted again, so every enclosing loop ends too.
//
// System-wide hot keys (RegisterHotKey) are a filter inside PeekMessage: while the program is
// active, a key-down that matches a registered key becomes WM_HOTKEY to the registering window,
// whatever window has the focus and even while forms are disabled by a modal one.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/region.h"
#include "platform/gfx/types.h"
#include "platform/win/clock.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace plat {

class Bitmap;

class WindowSystemError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class BackendKind { Auto, Headless, X11 };

struct WindowSystemOptions {
  BackendKind backend = BackendKind::Auto;
  // Headless only: timers run on a TestClock that moves only when advanced (AdvanceTestClock).
  bool testClock = false;
};

// ---- Start and stop ----
// Throws WindowSystemError when the chosen backend cannot start (no display, for example).
void StartWindowSystem(const WindowSystemOptions& options = {});
void StopWindowSystem();
bool IsWindowSystemStarted();
const char* BackendName();  // "x11" or "headless"
Clock& GetClock();
uint32_t GetTickCount();  // the clock's milliseconds, wrapping at 32 bits
Rect GetScreenRect();
void MessageBeep();

// ---- Messages and the loop ----
// Calls the window's handler now; 0 for a dead handle.
intptr_t SendMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
// Queues the message. hwnd 0 queues a thread message (taken by the loop, dispatched nowhere).
// False when hwnd is not 0 and not a live window.
bool PostMessage(Hwnd hwnd, uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
void PostQuitMessage(int exitCode);
// PostMessage for worker threads (a print job, a download): safe from any thread; the message
// joins the queue at the interface thread's next look at it. False once the window system is
// stopped. A message to a window destroyed meanwhile is dropped.
bool PostMessageFromWorker(Hwnd hwnd, uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);
// Takes (or, with remove false, looks at) the next message; false when nothing is ready.
bool PeekMessage(Msg& msg, bool remove = true);
// Blocks until a message is ready (input, a posted message, a paint or a due timer).
void WaitMessage();
// True when keyboard or mouse input waits in the queue (behind other messages, too): long work
// on the interface thread stops early to let it through.
bool InputPending();
// PeekMessage after waiting; false when the message is WM_QUIT.
bool GetMessage(Msg& msg);
// Delivers a taken message (a WM_PAINT paints the window; a timer with a callback calls it).
intptr_t DispatchMessage(const Msg& msg);
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();
// Runs until done() is true (checked after every message) or WM_QUIT comes (posted again, and
// false returned).
bool RunModalLoop(const std::function<bool()>& done);
// Dispatches everything that is ready now, without waiting (for tests and long tasks).
void PumpPending();
// Called each time the loops of RunMessageLoop/RunModalLoop find the queue empty.
void SetIdleHook(std::function<void()> hook);
// Called on the interface thread when the session ends (SIGTERM after InstallSessionEndSignal);
// the default posts WM_QUIT.
void SetSessionEndHandler(std::function<void()> handler);
void InstallSessionEndSignal();
// Wakes a waiting loop; safe from other threads and from signal handlers.
void WakeUp();

// ---- The window tree ----
bool IsWindow(Hwnd hwnd);
Hwnd GetParent(Hwnd hwnd);
Hwnd GetOwner(Hwnd hwnd);
Hwnd GetTopLevel(Hwnd hwnd);  // the window itself when it is top-level
bool IsTopLevel(Hwnd hwnd);
bool IsDescendant(Hwnd ancestor, Hwnd hwnd);  // true for the window itself too
std::vector<Hwnd> GetChildren(Hwnd hwnd);     // bottom to top
std::vector<Hwnd> GetTopLevelWindows();       // bottom to top
uint32_t GetWindowStyle(Hwnd hwnd);
uint32_t GetWindowExStyle(Hwnd hwnd);
void SetWindowText(Hwnd hwnd, const std::u16string& text);
std::u16string GetWindowText(Hwnd hwnd);

// Sends WM_SHOWWINDOW; showing a top-level window activates it unless it has WS_EX_NOACTIVATE.
bool ShowWindow(Hwnd hwnd, bool show);
bool IsWindowVisible(Hwnd hwnd);  // the window and all its parents are shown
bool IsWindowShown(Hwnd hwnd);    // the window's own flag
// Sends WM_ENABLE; disabling takes the focus and capture away from the window and its children.
bool EnableWindow(Hwnd hwnd, bool enable);
bool IsWindowEnabled(Hwnd hwnd);  // the window and all its parents are enabled

// Minimises, maximises (to the screen) or restores a top-level window; WM_SIZE then carries
// SIZE_MINIMIZED, SIZE_MAXIMIZED or SIZE_RESTORED. False for child windows.
bool SetWindowState(Hwnd hwnd, WindowState state);
WindowState GetWindowState(Hwnd hwnd);

// Moves, sizes and re-orders (insertAfter: a sibling, HWND_TOP, HWND_BOTTOM, HWND_TOPMOST or
// HWND_NOTOPMOST) with SWP_* flags; sends WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE
// and WM_SIZE as things change.
bool SetWindowPos(Hwnd hwnd, Hwnd insertAfter, const Rect& bounds, uint32_t flags);
bool MoveWindow(Hwnd hwnd, const Rect& bounds);
bool BringWindowToTop(Hwnd hwnd);
// Moves a child window (with its children) under another parent, keeping its handle, its bounds
// as numbers in the new parent's client coordinates, and the focus while the window can still
// hold it; the caret and capture are given up when it moves to another top-level window.
// Returns the old parent; 0 (and nothing moves) for a top-level or dead window, a dead parent,
// or a parent inside the window itself.
Hwnd SetParent(Hwnd hwnd, Hwnd newParent);
Rect GetWindowBounds(Hwnd hwnd);  // parent client coordinates (screen for top-level)
Rect GetWindowScreenRect(Hwnd hwnd);
Rect GetClientRect(Hwnd hwnd);    // (0, 0, width, height) of the client area
void SetNonClientInsets(Hwnd hwnd, const Insets& insets);
Insets GetNonClientInsets(Hwnd hwnd);
Point ClientToScreen(Hwnd hwnd, Point p);
Point ScreenToClient(Hwnd hwnd, Point p);
// The deepest visible window at a screen point (disabled windows included); 0 when none.
Hwnd WindowFromPoint(Point screen);
// The deepest visible descendant at a client point of parent (the parent itself when none).
Hwnd ChildWindowFromPoint(Hwnd parent, Point client);

// ---- Painting ----
// rect in client coordinates; nullptr means the whole client area.
void InvalidateRect(Hwnd hwnd, const Rect* rect, bool erase = true);
void InvalidateRegion(Hwnd hwnd, const Region& region, bool erase = true);
void ValidateRect(Hwnd hwnd, const Rect* rect);
// Asks for WM_NCPAINT: the window's frame (the non-client insets) is painted again. wParam of
// WM_NCPAINT points to a PaintContext whose canvas has its origin at the window's top-left
// corner and is clipped to the visible frame; the default handling fills it with the window's
// background colour. The layer asks for it itself when the frame is uncovered or resized.
void RedrawFrame(Hwnd hwnd);
Region GetUpdateRegion(Hwnd hwnd);
// Paints the window's pending update now (and its children's), without the queue.
void UpdateWindow(Hwnd hwnd);
// Moves the client pixels inside scroll (all of the client area when nullptr) and clip by
// (dx, dy) and invalidates what was uncovered; pending update areas move with the pixels.
void ScrollWindowEx(Hwnd hwnd, int32_t dx, int32_t dy, const Rect* scroll, const Rect* clip);
// The off-screen image of a top-level window (what was painted so far); nullptr for others.
const Bitmap* GetWindowSurface(Hwnd topLevel);
// Paints what is pending and writes the window's top-level image as PNG. Throws GfxError when
// the file cannot be written and WindowSystemError for a dead window.
void SaveWindowPng(Hwnd hwnd, const std::string& path);

// ---- Timers ----
using TimerProc = std::function<void(Hwnd hwnd, uint32_t id)>;
// Starts or restarts timer id of the window; hwnd 0 makes a thread timer with a fresh id. A
// timer with a callback calls it when its WM_TIMER is dispatched. Returns the id (0 on failure).
uint32_t SetTimer(Hwnd hwnd, uint32_t id, uint32_t intervalMs, TimerProc proc = nullptr);
bool KillTimer(Hwnd hwnd, uint32_t id);

// ---- Focus, capture, activation, keyboard state ----
// Sends WM_KILLFOCUS to the old and WM_SETFOCUS to the new window (activating its top-level
// window first); returns the old focus. 0 removes the focus. Refused (returns 0) for a dead,
// hidden or disabled window.
Hwnd SetFocus(Hwnd hwnd);
Hwnd GetFocus();
// Mouse input goes to the capture window until released; the old holder gets WM_CAPTURECHANGED.
Hwnd SetCapture(Hwnd hwnd);
bool ReleaseCapture();
Hwnd GetCapture();
// Activates a top-level window: WM_ACTIVATE to the old (WA_INACTIVE) and the new one; the
// default WM_ACTIVATE handling gives the new one the focus when no window inside it has it.
Hwnd SetActiveWindow(Hwnd hwnd);
Hwnd GetActiveWindow();
bool IsAppActive();
// 0x8000 when the key is down, bit 0 toggled (Caps Lock and the like), as of the input message
// taken from the queue last (what a handler of that message must see).
int16_t GetKeyState(uint8_t vk);
// The same for the keyboard as it is now, queued input included.
int16_t GetAsyncKeyState(uint8_t vk);
// Shift bits as GetKeyState sees them: 1 Shift, 2 Alt, 4 Ctrl.
uint8_t GetShiftState();
Point GetCursorPos();  // screen coordinates

// ---- Caret (one per program, owned by one window) ----
// shape: nullptr for a solid bar; otherwise its non-black pixels invert the screen.
bool CreateCaret(Hwnd hwnd, int32_t width, int32_t height, const Bitmap* shape = nullptr);
bool DestroyCaret();
bool SetCaretPos(int32_t x, int32_t y);  // client coordinates of the caret's window
Point GetCaretPos();
// Show and hide nest: a caret is created hidden, each HideCaret needs a ShowCaret.
bool ShowCaret(Hwnd hwnd);
bool HideCaret(Hwnd hwnd);
void SetCaretBlinkTime(uint32_t ms);
uint32_t GetCaretBlinkTime();
struct CaretInfo {
  Hwnd hwnd = 0;
  Rect rect;           // client coordinates of hwnd
  bool visible = false;  // shown (hide count 0)
  bool blinkOn = false;  // currently drawn
};
CaretInfo GetCaretInfo();

// ---- Cursor ----
void SetCursor(CursorShape shape);
CursorShape GetCursor();
// A cursor from an image (the program's own cursors): pixels with alpha below 128 are
// transparent, the others black or white by brightness (what every backend can show). Returns
// a new shape value (1000 and up) for SetCursor and Window::SetCursorShape.
CursorShape RegisterCursorImage(const Bitmap& image, Point hotspot);
// Two clicks within this time and 4 pixels make a double click (for windows with CS_DBLCLKS).
uint32_t GetDoubleClickTime();
void SetDoubleClickTime(uint32_t ms);

// ---- Properties, atoms, registered messages ----
bool SetProp(Hwnd hwnd, const std::string& name, intptr_t value);
intptr_t GetProp(Hwnd hwnd, const std::string& name);  // 0 when absent
intptr_t RemoveProp(Hwnd hwnd, const std::string& name);
// Atoms: names compared without case; "#123" is the integer atom 123; string atoms are
// 0xC000..0xFFFF and counted (each add needs a delete). 0 on failure.
uint16_t GlobalAddAtom(const std::string& name);
uint16_t GlobalFindAtom(const std::string& name);
std::string GlobalGetAtomName(uint16_t atom);
bool GlobalDeleteAtom(uint16_t atom);
// A message number 0xC000..0xFFFF unique to the name (the same for the same name).
uint32_t RegisterWindowMessage(const std::string& name);

// ---- Hot keys ----
// modifiers: MOD_ALT, MOD_CONTROL, MOD_SHIFT. False when the key is taken already or the window
// is dead. WM_HOTKEY carries the id in wParam and MakeLParam(modifiers, vk) in lParam.
bool RegisterHotKey(Hwnd hwnd, int32_t id, uint32_t modifiers, uint8_t vk);
bool UnregisterHotKey(Hwnd hwnd, int32_t id);

}  // namespace plat
