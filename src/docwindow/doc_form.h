#pragma once
// The document's editor window, as far as it goes today: it shows the laid-out pages of its
// document, painted off screen and copied to the window in one step, and scrolls them with the
// wheel and the navigation keys. Typing, the caret, selections, rulers and the rest of the
// window's behaviour come with the editing operations and the shell.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/bitmap.h"
#include "platform/win/window.h"

namespace qv {

class TDoc;

class TDocForm : public plat::Window {
 public:
  TDocForm();
  ~TDocForm() override;

  // Reads the file into the window's document (format from its extension: RTF, plain text,
  // Write); false, with the document left empty, when it cannot be read.
  bool OpenFile(const std::string& fileName, std::string& error);
  // Makes the window as a child filling `bounds` of the parent.
  bool CreateForm(plat::Hwnd parent, const plat::Rect& bounds);

  TDoc& Doc() { return *doc_; }
  // Moves the view to the position (clamped to the laid-out document) and repaints.
  void ScrollTo(plat::Point position);

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  void Paint(plat::PaintContext& pc) override;

 private:
  void EnsureLaidOut();
  bool OnKey(uint8_t key);

  std::unique_ptr<TDoc> doc_;
  plat::Bitmap buffer_;
  bool laidOut_ = false;
};

// The document format index for a file name's extension (plain text for unknown ones).
int32_t FormatOfFileName(const std::string& fileName);

}  // namespace qv
