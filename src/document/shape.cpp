#include "document/shape.h"

#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "foundation/graphics/shape_props.h"
#include "document/shape_binding.h"

namespace qv {

namespace {

int32_t DefaultShapePropValueOf(int32_t id) { return DefaultShapePropValue(id); }
bool IsNamedShapeProp(int32_t id) { return !ShapePropNameById(id).empty(); }

}  // namespace

TShape::TShape(TDoc* doc) : Doc(doc), Graphic(std::make_unique<TDocGraphic>(this)) {
  Props.SetProp(spShapeType, kPictureFrameShapeType);
}

TShape::~TShape() { ForgetTagRef(this); }

bool TShape::IsHorizontalRule() const {
  return Props.HasProp(spPctHR) || Props.HasProp(spDxHeightHR) || Props.HasProp(spDxWidthHR) ||
         (Props.HasProp(spHorizRule) && Props.GetProp(spHorizRule) > 0);
}

std::array<int32_t, 2> TShape::GetScale() const {
  if (Props.ZoomToFitPage != 0) return {Props.FitScale, Props.FitScale};
  return {Props.ScaleX, Props.ScaleY};
}

std::array<int32_t, 2> TShape::GetPictureSizeInPixels(int32_t pixelsPerInch) const {
  auto px = [pixelsPerInch](int32_t twips) {
    const int64_t v = (int64_t{std::max(twips, 0)} * pixelsPerInch + 720) / 1440;
    return static_cast<int32_t>(std::min<int64_t>(v, MaxPicturePixels));
  };
  return {px(Props.PicWidth), px(Props.PicHeight)};
}

TShapeProps::TWrapStyle TShape::GetEffectiveWrap() const {
  using W = TShapeProps::TWrapStyle;
  if (Doc != nullptr && Doc->ViewMode != vmPrintLayout && Props.WrapStyle != W::TopBottom) return W::Square;
  return Props.WrapStyle;
}

bool TShape::IsBehindText() const {
  using W = TShapeProps::TWrapStyle;
  const int32_t behind = Props.GetProp(spBehindDocument);
  if (behind != kShapePropUnset && (behind & 0xFF) != 0) return true;
  const W wrap = GetEffectiveWrap();
  return (wrap == W::Tight || wrap == W::Through) && Props.HasWrapPolygon();
}

bool TShape::SetPictureData(std::span<const uint8_t> data, TDocGraphic::TKind kind) {
  if (!Graphic->AttachData(data, kind)) return false;
  TPictureDecoder::TSize size;
  if (!Graphic->ReadPixelSize(size)) return false;
  // Pixels at 96 per inch, 15 twips each; sizes the file claims are bounded before use.
  constexpr int32_t kMaxTwips = 31680 * 15;  // far beyond any page
  Props.PicWidth = std::min(size.Width, kMaxTwips / 15) * 15;
  Props.PicHeight = std::min(size.Height, kMaxTwips / 15) * 15;
  return true;
}

void TShape::SetFloating(bool toFloating, const TInlinePlace& place) {
  using W = TShapeProps::TWrapStyle;
  TShapeProps& p = Props;
  const bool isInline = p.WrapStyle == W::Inline;
  if (toFloating && isInline) {
    p.SetProp(spShapeType, kPictureFrameShapeType);
    const auto scale = GetScale();
    const int32_t width = static_cast<int32_t>(int64_t{p.PicWidth} * scale[0] / 100);
    const int32_t height = static_cast<int32_t>(int64_t{p.PicHeight} * scale[1] / 100);
    p.ShapeRect = {place.Left, place.Baseline - height, place.Left + width, place.Baseline};
    if (!p.HasProp(spPosH)) {
      const int8_t align = AnchorPar != nullptr ? AnchorPar->Format.Alignment : 0;
      p.SetProp(spPosH, align == 1 ? 2 : align == 2 ? 3 : 0);
    }
    for (const int32_t id : {spPosV, spPosRelH, spPosRelV, spLayoutInCell})
      if (!p.HasProp(id)) p.SetProp(id, DefaultShapePropValueOf(id));
    p.ZoomToFitPage = 0;
    return;
  }
  if (toFloating || isInline) return;
  const int32_t lock = p.GetProp(spLockAspectRatio);
  const bool hadLock = p.HasProp(spLockAspectRatio);
  std::vector<int32_t> named;
  for (const auto& [id, value] : p.Pairs())
    if (id != spLockAspectRatio && IsNamedShapeProp(id)) named.push_back(id);
  for (const int32_t id : named) p.RemoveProp(id);
  if (hadLock) p.SetProp(spLockAspectRatio, lock);
  TPictureDecoder::TSize size{96, 96};
  if (!Graphic->ReadPixelSize(size)) size = {96, 96};
  constexpr int32_t kMaxPixels = 31680;  // bounded: the size comes from the picture's data
  p.PicWidth = std::min(size.Width, kMaxPixels) * 15;
  p.PicHeight = std::min(size.Height, kMaxPixels) * 15;
  const auto& r = p.ShapeRect;
  auto scaleOf = [](int32_t a, int32_t b, int32_t pic) {
    if (a == kShapePropUnset || b == kShapePropUnset || pic <= 0) return 100;
    return static_cast<int32_t>(std::clamp<int64_t>((int64_t{b} - a) * 100 / pic, 1, 1000));
  };
  p.ScaleX = scaleOf(r[0], r[2], p.PicWidth);
  p.ScaleY = scaleOf(r[1], r[3], p.PicHeight);
  p.ShapeRect = {kShapePropUnset, kShapePropUnset, kShapePropUnset, kShapePropUnset};
}

namespace {

class TDocShapeBinding : public TShapeBinding {
 public:
  bool IsHorizontalRule(const TShape* shape) const override {
    return shape != nullptr && shape->IsHorizontalRule();
  }
  void BindInlineShape(TShape* shape, TPar& par, int32_t charIndex) override {
    shape->AnchorPar = &par;
    shape->AnchorOffset = charIndex;
    shape->AnchorField = nullptr;
  }
  void BindAnchoredShape(TShape* shape, TPar& par, int32_t charIndex, TField* anchor) override {
    shape->AnchorPar = &par;
    shape->AnchorOffset = charIndex;
    shape->AnchorField = anchor;
  }
};

}  // namespace

std::unique_ptr<TShapeBinding> MakeShapeBinding() { return std::make_unique<TDocShapeBinding>(); }

}  // namespace qv
