#include "layout/shape_services.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "document/content_tags.h"
#include "document/shape.h"
#include "layout/pictures/decoded_pictures.h"
#include "layout/pictures/png_codec.h"
#include "platform/gfx/jpeg_codec.h"
#include "platform/gfx/metafile_player.h"

namespace qv {

namespace {

using TKind = TDocGraphic::TKind;

uint32_t BigEndian32(std::span<const uint8_t> data, size_t at) {
  return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) | (uint32_t{data[at + 2]} << 8) |
         uint32_t{data[at + 3]};
}

// Width and height from the PNG signature and the header chunk that must follow it.
bool ReadPngSize(std::span<const uint8_t> data, TPictureDecoder::TSize& size) {
  constexpr size_t kHeaderEnd = 8 + 8 + 13;
  if (data.size() < kHeaderEnd || !std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin()))
    return false;
  if (BigEndian32(data, 8) != 13 || !std::equal(data.begin() + 12, data.begin() + 16, "IHDR")) return false;
  const uint32_t w = BigEndian32(data, 16), h = BigEndian32(data, 20);
  if (w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) return false;
  size = {static_cast<int32_t>(w), static_cast<int32_t>(h)};
  return true;
}

class TLayoutPictureDecoder : public TPictureDecoder {
 public:
  bool ReadSize(int32_t kind, std::span<const uint8_t> data, TSize& size) override {
    if (kind == static_cast<int32_t>(TKind::Png)) return ReadPngSize(data, size);
    if (kind == static_cast<int32_t>(TKind::Jpeg)) {
      plat::JpegInfo info;
      if (!plat::ReadJpegInfo(data, info)) return false;
      size = {info.Width, info.Height};
      return true;
    }
    if (kind != static_cast<int32_t>(TKind::Metafile)) return false;
    try {
      const plat::Metafile m = plat::Metafile::FromBytes({data.begin(), data.end()});
      const plat::Size s = m.FrameSizeInPixels();
      size = {s.cx, s.cy};
      return s.cx > 0 && s.cy > 0;
    } catch (const std::exception&) {
      return false;
    }
  }

  std::unique_ptr<TDecodedPicture> Decode(int32_t kind, std::span<const uint8_t> data) override {
    try {
      if (kind == static_cast<int32_t>(TKind::Png)) {
        auto png = std::make_unique<TDecodedPng>();
        png->Image.LoadFromBytes(data);
        png->Width = png->Image.Width();
        png->Height = png->Image.Height();
        png->ByteSize = int64_t{png->Width} * png->Height * 3;
        return png;
      }
      if (kind == static_cast<int32_t>(TKind::Jpeg)) {
        // Three bytes a pixel count against the picture budget, as for PNG.
        auto jpeg = std::make_unique<TDecodedJpeg>();
        jpeg->Image = plat::DecodeJpeg(data, kPictureMemoryLimit / 3);
        jpeg->Width = jpeg->Image.Width();
        jpeg->Height = jpeg->Image.Height();
        jpeg->ByteSize = int64_t{jpeg->Width} * jpeg->Height * 3;
        return jpeg;
      }
      if (kind == static_cast<int32_t>(TKind::Metafile)) {
        auto meta = std::make_unique<TDecodedMetafile>();
        meta->Picture = plat::Metafile::FromBytes({data.begin(), data.end()});
        const plat::Size s = meta->Picture.FrameSizeInPixels();
        meta->Width = s.cx;
        meta->Height = s.cy;
        meta->ByteSize = static_cast<int64_t>(meta->Picture.Bytes().size());
        return meta;
      }
    } catch (const std::exception&) {
      // Damaged data: the picture stays unloaded.
    }
    return nullptr;
  }
};

class TLayoutInlineShapeService : public TInlineShapeService {
 public:
  TInlineShapeInfo Describe(int32_t shapeRef, int32_t availWidth) override {
    const TShape* shape = ShapeOfRef(shapeRef);
    if (shape == nullptr || shape->IsRemoved()) return {};
    const TShapeProps& p = shape->Props;
    TInlineShapeInfo info;
    info.HorizontalRule = shape->IsHorizontalRule();
    if (info.HorizontalRule) {
      // The rule's width: its own in twips, else its share of the line in tenths of a percent.
      const int32_t own = p.GetProp(spDxWidthHR);
      const int32_t pct = p.GetProp(spPctHR);
      if (own != kShapePropUnset && own > 0) info.Width = own;
      else if (pct != kShapePropUnset) info.Width = static_cast<int32_t>(int64_t{std::max(availWidth, 0)} * std::clamp(pct, 0, 1000) / 1000);
      else info.Width = std::max(availWidth, 0);
      const int32_t height = p.GetProp(spDxHeightHR);
      info.Height = height != kShapePropUnset ? std::clamp(height, 0, 31680) : std::clamp(p.PicHeight, 0, 31680);
      info.RuleAlignment = std::clamp(p.GetProp(916), 0, 2);
      return info;
    }
    const auto scale = shape->GetScale();
    info.Width = std::clamp(p.PicWidth, 0, kMaxShapeTwips);
    info.Height = std::clamp(p.PicHeight, 0, kMaxShapeTwips);
    info.ScaleX = std::clamp(scale[0], 1, 1000);
    info.ScaleY = std::clamp(scale[1], 1, 1000);
    info.FitToTextArea = p.ZoomToFitPage != 0;
    return info;
  }

  void StoreFitScale(int32_t shapeRef, int32_t percent) override {
    if (TShape* shape = ShapeOfRef(shapeRef)) shape->Props.FitScale = std::clamp(percent, 1, 1000);
  }

 private:
  // Sizes larger than a very large page are taken as damaged data and bounded.
  static constexpr int32_t kMaxShapeTwips = 31680 * 4;
};

}  // namespace

std::unique_ptr<TPictureDecoder> MakeLayoutPictureDecoder() { return std::make_unique<TLayoutPictureDecoder>(); }

std::unique_ptr<TInlineShapeService> MakeLayoutInlineShapeService() {
  return std::make_unique<TLayoutInlineShapeService>();
}

}  // namespace qv
