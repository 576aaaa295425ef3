#pragma once
// What the window system needs from a backend. Only top-level windows reach a backend; it shows
// the image the layer painted for each of them and turns the outside world's events into calls
// of platform/win/input.h.
#include <cstdint>
#include <string>

#include "platform/gfx/region.h"
#include "platform/gfx/types.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace plat {

class Bitmap;

struct TopLevelInfo {
  Rect bounds;  // screen coordinates
  std::u16string title;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  Hwnd owner = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  virtual void CreateTopLevel(Hwnd hwnd, const TopLevelInfo& info) = 0;
  virtual void DestroyTopLevel(Hwnd hwnd) = 0;
  virtual void ShowTopLevel(Hwnd hwnd, bool show, bool activate) = 0;
  virtual void SetTopLevelBounds(Hwnd hwnd, const Rect& bounds) = 0;
  virtual void SetTopLevelTitle(Hwnd hwnd, const std::u16string& title) = 0;
  virtual void RaiseTopLevel(Hwnd hwnd) = 0;
  // Minimises, maximises or restores the window on the screen (the layer sets its bounds).
  virtual void SetTopLevelState(Hwnd hwnd, WindowState state) {}
  // Asks for the keyboard focus of the outside world for this window.
  virtual void FocusTopLevel(Hwnd hwnd) = 0;
  // Shows the changed part (surface pixels) of the window's image.
  virtual void Present(Hwnd hwnd, const Bitmap& surface, const Region& changed) = 0;
  virtual void SetCursorShape(Hwnd hwnd, CursorShape shape) = 0;
  // Makes an image cursor known under its shape value (see RegisterCursorImage).
  virtual void DefineCursorImage(CursorShape shape, const Bitmap& image, Point hotspot) {}

  // Reads waiting events without blocking and feeds them to the input functions.
  virtual void Pump() = 0;
  // Blocks until an event comes, WakeUp() is called or timeoutMs passes (-1: no timeout).
  // wakeFd is readable after WakeUp(); the backend must not drain it.
  virtual void Wait(int32_t timeoutMs, int wakeFd) = 0;

  virtual Rect ScreenRect() const = 0;
  virtual void Beep() {}
};

}  // namespace plat
