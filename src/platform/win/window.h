#pragma once
// plat::Window: the base of every window of the program (forms, document windows, controls,
// popups).
//
// How the window layer works
// - Every window is a node of the layer's own tree with a handle (plat::Hwnd). A window without a
//   parent is top-level and becomes a window of the backend (an X window, or an off-screen image
//   when headless); a child is drawn and hit-tested by the layer inside its top-level window.
// - A subclass overrides WndProc and passes what it does not handle to Window::WndProc (the
//   default handling). Messages are numbered with two parameters (platform/win/messages.h).
// - The object is owned by whoever created it (a form owns its controls). Create() gives it a
//   handle; Destroy() (also run by the destructor) destroys the handle, its owned windows and its
//   children's handles: WM_DESTROY goes to the window first, then to its children. A child's
//   object outlives its handle; Handle() is then 0. Messages to a dead handle are dropped.
// - Painting: Invalidate() adds to the update region; the loop later sends one WM_ERASEBKGND and
//   one WM_PAINT per window with everything that was invalidated. The default WM_PAINT handling
//   calls Paint() with a PaintContext whose canvas has its origin at the client's top-left and is
//   clipped to the update region.
// - Geometry: Bounds() are in the parent's client coordinates (screen coordinates for a
//   top-level window). The client area is the bounds less the non-client insets (borders of a
//   control; zero by default) and its top-left is (0, 0) in client coordinates.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/region.h"
#include "platform/gfx/types.h"
#include "platform/win/messages.h"

namespace plat {

class Bitmap;
class Canvas;

struct CreateParams {
  Hwnd parent = 0;   // a child window's parent; 0 makes a top-level window
  Hwnd owner = 0;    // a top-level window's owner: kept above it, destroyed with it
  Rect bounds;       // in the parent's client coordinates (screen for a top-level window)
  std::u16string text;
  uint32_t style = 0;       // WS_*; WS_VISIBLE shows it at once, WS_DISABLED disables it
  uint32_t exStyle = 0;     // WS_EX_*
  uint32_t classStyle = 0;  // CS_*
};

// Non-client insets: the part of the bounds outside the client area.
struct Insets {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const Insets&, const Insets&) = default;
};

// Handed to Paint() (and, by address in lParam, with WM_PAINT and WM_ERASEBKGND).
struct PaintContext {
  Hwnd hwnd = 0;
  Rect rcPaint;        // bounds of the update region, client coordinates
  Region region;       // the update region, client coordinates
  Canvas* canvas = nullptr;  // origin at the client top-left, clipped to the update region
  Bitmap* surface = nullptr; // the top-level window's image the canvas draws into
  Point origin;        // client (0, 0) in surface pixels
};

// The show state of a top-level window.
enum class WindowState { Normal, Minimized, Maximized };

// Cursor shapes; the ids 1..63 follow the system's cursor table where it names system cursors.
enum class CursorShape : int32_t {
  Hidden = 0,  // no cursor shown
  Arrow = 1,
  SizeNESW = 2,
  SizeNS = 3,
  SizeNWSE = 4,
  SizeWE = 5,
  Wait = 6,
  No = 7,
  IBeam = 9,
  Hand = 20,
  Cross = 64,
  SizeAll = 65,
  AppStarting = 66,
};

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Creates the handle. Returns false (and has no handle) when WM_CREATE answered -1 or the
  // parent does not exist. Creating twice destroys nothing and returns false.
  bool Create(const CreateParams& params);
  void Destroy();
  Hwnd Handle() const { return handle_; }

  // The message handler. Override it and call Window::WndProc for the default handling.
  virtual intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam);

  // Called by the default WM_PAINT handling; the default fills the update region with
  // BackgroundColor() unless the erase message already did.
  virtual void Paint(PaintContext& pc);

  Color BackgroundColor() const { return background_; }
  void SetBackgroundColor(Color c) { background_ = c; }
  CursorShape Cursor() const { return cursor_; }
  void SetCursorShape(CursorShape c) { cursor_ = c; }

 private:
  friend struct WindowSystemAccess;
  Hwnd handle_ = 0;
  Color background_ = 0x00F0F0F0;
  CursorShape cursor_ = CursorShape::Arrow;
};

// The window object of a handle; nullptr for 0 or a destroyed handle.
Window* FromHandle(Hwnd h);

}  // namespace plat
