#include "layout/paint/shape_painter.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "document/doc.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/shape_props_table.h"
#include "foundation/base/units.h"
#include "foundation/graphics/colour_manager.h"
#include "layout/pictures/bitmap_utils.h"
#include "layout/pictures/decoded_pictures.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

namespace qv {

namespace {

constexpr int32_t kHandleSize = 7;
constexpr uint32_t kPlaceholderFrame = 0x808080;

int32_t PxY(const TShape& shape, int32_t twips) {
  return shape.Doc != nullptr ? shape.Doc->TwipsToPixelsY(twips) : TwipsToScreenPixels(twips);
}

void DrawRule(TShape& shape, plat::Canvas& canvas, const TShapePaint& paint) {
  const plat::Rect& r = paint.Rect;
  const int32_t top = r.top + PxY(shape, 50);
  const int32_t height = std::max(1, PxY(shape, shape.Props.PicHeight - 100));
  const int32_t fill = shape.Props.GetProp(spFillColor);
  uint32_t colour = fill == kShapePropUnset || fill < 0 ? 0 : static_cast<uint32_t>(fill);
  if ((paint.Colour & 0xFF000000u) != 0) colour = GetColorManager().AdjustToBackground(colour);
  if ((paint.Flags & TShapePaint::Dimmed) != 0) colour = LightenColor(colour);
  canvas.FillRect({r.left, top, r.right, top + height}, colour);
}

void DrawBitmapInto(plat::Canvas& canvas, const plat::Bitmap& image, const plat::Rect& r) {
  if (r.Width() == image.Width() && r.Height() == image.Height()) canvas.DrawBitmap(r.left, r.top, image);
  else canvas.StretchBitmap(r, image, image.Bounds(), true);
}

bool DrawDecoded(const TDecodedPicture& picture, plat::Canvas& canvas, const plat::Rect& r) {
  if (const auto* png = dynamic_cast<const TDecodedPng*>(&picture)) {
    DrawBitmapInto(canvas, png->Image.ToPlatformBitmap(), r);
    return true;
  }
  if (const auto* jpeg = dynamic_cast<const TDecodedJpeg*>(&picture)) {
    DrawBitmapInto(canvas, jpeg->Image, r);
    return true;
  }
  if (const auto* meta = dynamic_cast<const TDecodedMetafile*>(&picture)) {
    canvas.SaveState();
    canvas.IntersectClipRect(r);
    const bool played = plat::PlayMetafile(canvas, meta->Picture, r);
    canvas.RestoreState();
    return played;
  }
  return false;
}

// The largest copy a dimmed picture is drawn through (pixels); a larger one is drawn as it is.
constexpr int64_t kMaxDimmedPixels = 4096 * 4096;

// A dimmed picture (a header's while the main text is edited, or the reverse) is drawn through a
// copy of its shown size, on paper, whose every colour is lightened.
bool DrawDecodedDimmed(const TDecodedPicture& picture, plat::Canvas& canvas, const plat::Rect& r) {
  if (int64_t{r.Width()} * r.Height() > kMaxDimmedPixels) return DrawDecoded(picture, canvas, r);
  plat::Bitmap copy(r.Width(), r.Height());
  {
    plat::Canvas into(copy);
    into.FillRect(copy.Bounds(), 0xFFFFFF);
    if (!DrawDecoded(picture, into, copy.Bounds())) return false;
  }
  for (int32_t y = 0; y < copy.Height(); ++y)
    for (int32_t x = 0; x < copy.Width(); ++x) copy.SetPixel(x, y, LightenColor(copy.GetPixel(x, y)));
  canvas.DrawBitmap(r.left, r.top, copy);
  return true;
}

// A picture that cannot be shown keeps its place: a frame with "Picture" in its middle.
void DrawPlaceholder(plat::Canvas& canvas, const plat::Rect& r) {
  canvas.FrameRect(r, kPlaceholderFrame);
  const std::u16string text = u"Picture";
  canvas.SaveState();
  canvas.IntersectClipRect(r);
  const plat::Size extent = canvas.TextExtent(std::u16string_view(text));
  canvas.SetTextColor(kPlaceholderFrame);
  canvas.SetBkMode(plat::BkMode::Transparent);
  canvas.SetTextAlign(plat::align::Left | plat::align::Top);
  canvas.TextOut(r.left + (r.Width() - extent.cx) / 2, r.top + (r.Height() - extent.cy) / 2,
                 std::u16string_view(text));
  canvas.RestoreState();
}

void InvertFrame(plat::Canvas& canvas, const plat::Rect& r, int32_t width) {
  canvas.InvertRect({r.left, r.top, r.right, r.top + width});
  canvas.InvertRect({r.left, r.bottom - width, r.right, r.bottom});
  canvas.InvertRect({r.left, r.top + width, r.left + width, r.bottom - width});
  canvas.InvertRect({r.right - width, r.top + width, r.right, r.bottom - width});
}

void DrawSelectionMarks(const TShape& shape, plat::Canvas& canvas, const plat::Rect& r) {
  const bool fitted = shape.Props.ZoomToFitPage != 0;
  if (shape.IsHorizontalRule() || fitted) {
    InvertFrame(canvas, r, fitted ? 2 : 1);
    return;
  }
  InvertFrame(canvas, r, 1);
  const int32_t h = kHandleSize;
  const int32_t xs[] = {r.left, r.left + (r.Width() - h) / 2, r.right - h};
  const int32_t ys[] = {r.top, r.top + (r.Height() - h) / 2, r.bottom - h};
  for (int32_t i = 0; i < 3; ++i)
    for (int32_t j = 0; j < 3; ++j)
      if (i != 1 || j != 1) canvas.InvertRect({xs[i], ys[j], xs[i] + h, ys[j] + h});
}

}  // namespace

void DrawShape(TShape& shape, plat::Canvas& canvas, const TShapePaint& paint) {
  const plat::Rect& r = paint.Rect;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  if (shape.IsHorizontalRule()) {
    DrawRule(shape, canvas, paint);
  } else if (TDocGraphic* graphic = shape.Graphic.get()) {
    graphic->SetUnloaded(false);
    const TDecodedPicture* picture = graphic->Decoded();
    const bool dimmed = (paint.Flags & TShapePaint::Dimmed) != 0;
    if (picture != nullptr && (dimmed ? DrawDecodedDimmed(*picture, canvas, r) : DrawDecoded(*picture, canvas, r)))
      ++graphic->DrawCount;
    else DrawPlaceholder(canvas, r);
    // Past the budget the picture goes again at once; it is decoded anew when next drawn.
    if (IsPictureMemoryOverLimit()) graphic->SetUnloaded(true);
  }
  if ((paint.Flags & TShapePaint::Selected) != 0) DrawSelectionMarks(shape, canvas, r);
}

void DrawAnchorMark(plat::Canvas& canvas, const plat::Rect& r) {
  const int32_t u = std::max(1, r.Width() / 7);
  const int32_t h = std::max(1, u / 2);
  const int32_t mid = r.left + r.Width() / 2;
  const int32_t shankLeft = mid - u / 2;
  // The ring: a frame of width h, u + 2h across.
  InvertFrame(canvas, {shankLeft - h, r.top, shankLeft + u + h, r.top + u + h}, h);
  // The shank and the crossbar over the bottom 3h.
  canvas.InvertRect({shankLeft, r.top + h + u, shankLeft + u, r.bottom - 3 * h});
  canvas.InvertRect({shankLeft - h, r.bottom - 3 * h, shankLeft + u + h, r.bottom});
  // The flukes: steps of h rising outwards on either side.
  for (int32_t step = 1; step <= 3; ++step) {
    const int32_t top = r.bottom - (step + 1) * h;
    const int32_t outer = step * h + h;
    canvas.InvertRect({shankLeft - h - outer, top, shankLeft - h - outer + h, top + h});
    canvas.InvertRect({shankLeft + u + h + outer - h, top, shankLeft + u + h + outer, top + h});
  }
}

}  // namespace qv
