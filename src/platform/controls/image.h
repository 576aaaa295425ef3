#pragma once
// plat::Image: a control that shows a bitmap, at its size, centred, or stretched (keeping its
// proportions when asked); with Transparent the colour of its bottom-left pixel is not drawn.
#include "platform/controls/control.h"
#include "platform/gfx/bitmap.h"

namespace plat {

class Image : public Control {
 public:
  Image();

  const Bitmap& Picture() const { return picture_; }
  void SetPicture(Bitmap b);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { stretch_ = v; Invalidate(); }
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v) { proportional_ = v; Invalidate(); }
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; Invalidate(); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; Invalidate(); }
  // With AutoSize the control takes the picture's size.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);

  // Where the picture goes in client coordinates.
  Rect DestRect() const;

 protected:
  void Paint(PaintContext& pc) override;

 private:
  Bitmap picture_;
  bool stretch_ = false, proportional_ = false, center_ = false, transparent_ = false,
       autoSize_ = false;
};

}  // namespace plat
