#pragma once
// What the shell asks of a document's editor window: read a file into its document, sit in the
// main window's document area, come to the front, give its close query. The shell's code reaches
// the document window only through this interface; its one implementation (doc_window_link.cpp)
// is the only file that knows the window's own interface.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/window.h"

namespace plat {
class Control;
}

namespace qv {

class TDoc;
struct TDocOpeningOptions;

class TDocWindowLink {
 public:
  virtual ~TDocWindowLink() = default;

  // The document the window shows (the window owns it while the window lives).
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
};

// A new window with a fresh, empty document.
std::unique_ptr<TDocWindowLink> MakeDocWindowLink();

}  // namespace qv
