#pragma once
// An open document with its editor window, as the shell holds it: the document, which owns its
// window (made for it by the document services), read from a file through the open road; the
// window sits in the main window's document area, comes to the front, gives its close query.
// The shell's code reaches the document window only through this interface; its one
// implementation (doc_window_link.cpp) is the only file that knows the window's own interface.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/window.h"

namespace plat {
class Control;
}

namespace qv {

class TDoc;
class TDocEditorWindow;
struct TDocOpeningOptions;

class TDocWindowLink {
 public:
  virtual ~TDocWindowLink() = default;

  // The document (owned here; it owns its window).
  virtual TDoc& Doc() = 0;
  // Reads a file or a memory block into the window's fresh document through the open road
  // (which tells the user why a file cannot be read); false when nothing could be read, with
  // `error` naming an error the road let through.
  virtual bool Load(TDocOpeningOptions& options, std::string& error) = 0;
  // Makes the window a child of the document area, filling it; false when no window could be
  // made.
  virtual bool Show(plat::Control& area) = 0;
  virtual plat::Hwnd Handle() const = 0;
  // Brings the window to the top of the document area and gives it the focus.
  virtual void Activate() = 0;
  // Another document window became the active one.
  virtual void Deactivate() {}
  // The document area changed its size.
  virtual void FitTo(const plat::Rect& area) = 0;
  virtual void SetCaption(const std::u16string& caption) = 0;
  // The window's close query (which may offer to save): false keeps the document open.
  virtual bool CloseQuery() = 0;
  // Whether a mouse gesture (a selection drag, a moving picture ...) is under way.
  virtual bool InMouseOperation() { return false; }
  // The view work the window deferred to the idle hook (re-arrangement, scroll bars, scrolling
  // the caret into view when `mayScrollCaret`, showing a pending caret).
  virtual void DeferredViewWork(bool /*mayScrollCaret*/) {}
  // Repaints the window.
  virtual void Redraw() = 0;
  // The window's state in the document area: 0 normal, 1 minimized, 2 maximized (filling it).
  virtual int32_t WindowState() const { return 2; }
  virtual void SetWindowState(int32_t /*state*/) {}
};

// A fresh, empty document with its window (without a window system: without a window).
std::unique_ptr<TDocWindowLink> MakeDocWindowLink();
// The document services' making of an editor window for a shown document, and its release
// after the document has gone (the window may still be inside one of its handlers then).
std::unique_ptr<TDocEditorWindow> MakeEditorWindow(TDoc& doc);
void ReleaseEditorWindowLater(std::unique_ptr<TDocEditorWindow> window);
// Frees the windows released since the last call (the idle pass, the shutdown).
void FreeReleasedEditorWindows();

}  // namespace qv
