#pragma once
// TCaretBitmap: the bitmap that gives the editor's caret its shape. The editor resizes it when
// the caret's size changes, draws the shape on its canvas and hands the bitmap to the window
// system's caret, where its non-black pixels invert the screen. Only black (0) and white
// (0xFFFFFF) are meant to be drawn on it.
#include <cstdint>
#include <memory>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

namespace qv {

class TCaretBitmap {
 public:
  TCaretBitmap() = default;
  TCaretBitmap(const TCaretBitmap&) = delete;
  TCaretBitmap& operator=(const TCaretBitmap&) = delete;

  // Nothing when the size is unchanged (the same bitmap stays, with what was drawn on it);
  // otherwise a new bitmap of that size replaces the old one.
  void SetSize(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // The caret shape; nullptr until the first size is set.
  const plat::Bitmap* Shape() const { return bitmap_.get(); }
  // A canvas to draw the shape on; valid until the next size change (the bitmap must exist).
  plat::Canvas Canvas();

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::unique_ptr<plat::Bitmap> bitmap_;
};

}  // namespace qv
