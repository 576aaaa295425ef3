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

namespace qv {

namespace {

uint32_t Crc32(const uint8_t* data, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutBE32(out, static_cast<uint32_t>(body.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

// A 24-bit PNG of one pixel (its image data as one stored deflate block).
std::vector<uint8_t> OnePixelPng(uint32_t color) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, 1);
  PutBE32(ihdr, 1);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  const uint8_t raw[4] = {0, static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                          static_cast<uint8_t>((color >> 16) & 0xFF)};
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  std::vector<uint8_t> idat = {0x78, 0x01, 0x01, 0x04, 0x00, 0xFB, 0xFF};
  idat.insert(idat.end(), raw, raw + 4);
  PutBE32(idat, (b << 16) | a);
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace

bool TShape::MakeSolidFillPicture() {
  int32_t color = Props.GetProp(spFillColor);
  if (color == kShapePropUnset) color = 0;
  const std::vector<uint8_t> png = OnePixelPng(static_cast<uint32_t>(color) & 0xFFFFFF);
  return Graphic->AttachData(png, TDocGraphic::TKind::Png);
}

}  // namespace qv
