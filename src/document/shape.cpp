#include "document/shape.h"

#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/shape_binding.h"

namespace qv {

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
