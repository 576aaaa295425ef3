#include "foundation/ui/caret_shapes.h"

#include "foundation/base/exceptions.h"

namespace qv {

void TCaretBitmap::SetSize(int32_t width, int32_t height) {
  if (bitmap_ && width == width_ && height == height_) return;
  bitmap_ = std::make_unique<plat::Bitmap>(width, height);
  width_ = width;
  height_ = height;
}

plat::Canvas TCaretBitmap::Canvas() {
  if (!bitmap_) throw Exception("The caret bitmap has no size yet");
  return plat::Canvas(*bitmap_);
}

}  // namespace qv
