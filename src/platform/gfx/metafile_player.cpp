// Metafile headers, the metafile of a bitmap, and playing a picture into a rectangle.
#include "platform/gfx/metafile_player.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/metafile_internal.h"
#include "platform/system/mul_div.h"

namespace plat {
namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kEmfHeaderSize = 88;

// The reference device of pictures without one: 96 pixels per inch.
constexpr Size kScreenPixels{9600, 9600};
constexpr Size kScreenMm{2540, 2540};

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void PutRect(std::vector<uint8_t>& b, int32_t l, int32_t t, int32_t r, int32_t bottom) {
  Put32(b, uint32_t(l));
  Put32(b, uint32_t(t));
  Put32(b, uint32_t(r));
  Put32(b, uint32_t(bottom));
}

}  // namespace

Metafile Metafile::FromBytes(std::vector<uint8_t> bytes) {
  Metafile m;
  m.bytes_ = std::move(bytes);
  const mf::Reader r(m.bytes_);
  if (r.Has(0, kEmfHeaderSize) && r.U32(0) == 1 && r.U32(40) == kEmfSignature) {
    m.kind_ = Kind::Emf;
    m.ReadEmfHeader();
  } else {
    m.kind_ = Kind::Wmf;
    m.ReadWmfHeader();
  }
  return m;
}

void Metafile::ReadEmfHeader() {
  const mf::Reader r(bytes_);
  const uint32_t size = r.U32(4);
  if (size < kEmfHeaderSize || size % 4 != 0 || size > bytes_.size())
    throw GfxError("The enhanced metafile's header is damaged");
  firstRecord_ = size;
  devicePixels_ = {r.I32(72), r.I32(76)};
  deviceMm_ = {r.I32(80), r.I32(84)};
  if (devicePixels_.cx <= 0 || devicePixels_.cy <= 0 || deviceMm_.cx <= 0 || deviceMm_.cy <= 0) {
    devicePixels_ = kScreenPixels;
    deviceMm_ = kScreenMm;
  }
  frame_ = {r.I32(24), r.I32(28), r.I32(32), r.I32(36)};
  if (frame_.IsEmpty()) {
    // No frame: the bounds (inclusive, in device pixels) stand for it.
    const Rect b{r.I32(8), r.I32(12), r.I32(16), r.I32(20)};
    auto mm100 = [](int32_t px, int32_t devPx, int32_t devMm) {
      return MulDiv(px, int64_t{devMm} * 100, devPx);
    };
    frame_ = {mm100(b.left, devicePixels_.cx, deviceMm_.cx),
              mm100(b.top, devicePixels_.cy, deviceMm_.cy),
              mm100(b.right + 1, devicePixels_.cx, deviceMm_.cx),
              mm100(b.bottom + 1, devicePixels_.cy, deviceMm_.cy)};
  }
}

void Metafile::ReadWmfHeader() {
  const mf::Reader r(bytes_);
  size_t start = 0;
  if (r.Has(0, 22) && r.U32(0) == kPlaceableKey) {
    placeable_ = {r.I16(6), r.I16(8), r.I16(10), r.I16(12)};
    if (placeable_.right < placeable_.left) std::swap(placeable_.left, placeable_.right);
    if (placeable_.bottom < placeable_.top) std::swap(placeable_.top, placeable_.bottom);
    unitsPerInch_ = r.U16(14) ? r.U16(14) : 1440;
    start = 22;
  }
  if (!r.Has(start, 18) || (r.U16(start) != 1 && r.U16(start) != 2) || r.U16(start + 2) != 9)
    throw GfxError("Not a metafile");
  firstRecord_ = start + 18;
  devicePixels_ = kScreenPixels;
  deviceMm_ = kScreenMm;
  if (!placeable_.IsEmpty()) {
    auto mm100 = [&](int32_t v) { return MulDiv(v, 2540, unitsPerInch_); };
    frame_ = {0, 0, mm100(placeable_.Width()), mm100(placeable_.Height())};
    return;
  }
  // Without a placeable header the first window extent tells the size, taken as screen pixels.
  for (size_t pos = firstRecord_; r.Has(pos, 6);) {
    const uint64_t size = uint64_t(r.U32(pos)) * 2;
    const uint16_t fn = r.U16(pos + 4);
    if (size < 6 || !r.Has(pos, size) || fn == 0) break;
    if (fn == 0x020C && size >= 10) {
      const int32_t h = std::abs(r.I16(pos + 6)), w = std::abs(r.I16(pos + 8));
      frame_ = {0, 0, MulDiv(w, 2540, 96), MulDiv(h, 2540, 96)};
      break;
    }
    pos += size_t(size);
  }
}

Size Metafile::FrameSizeInPixels() const {
  auto px = [](int64_t extent, int32_t devPx, int32_t devMm) {
    return std::max(MulDiv(extent, devPx, int64_t{devMm} * 100), 1);
  };
  return {px(int64_t{frame_.right} - frame_.left, devicePixels_.cx, deviceMm_.cx),
          px(int64_t{frame_.bottom} - frame_.top, devicePixels_.cy, deviceMm_.cy)};
}

Metafile Metafile::FromBitmap(const Bitmap& bitmap) {
  const int32_t w = std::max(bitmap.Width(), 1), h = std::max(bitmap.Height(), 1);
  const uint32_t bits = uint32_t(w) * uint32_t(h) * 4;
  const uint32_t dibRecord = 80 + 40 + bits, eofRecord = 20;
  std::vector<uint8_t> b;
  b.reserve(kEmfHeaderSize + dibRecord + eofRecord);
  // Header: bounds, frame (hundredths of a millimetre at 96 pixels per inch), signature,
  // version, size, records, handles, description, palette, reference device.
  Put32(b, 1);
  Put32(b, kEmfHeaderSize);
  PutRect(b, 0, 0, w - 1, h - 1);
  PutRect(b, 0, 0, MulDiv(w, 2540, 96), MulDiv(h, 2540, 96));
  Put32(b, kEmfSignature);
  Put32(b, 0x10000);
  Put32(b, kEmfHeaderSize + dibRecord + eofRecord);
  Put32(b, 3);
  Put16(b, 1);
  Put16(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, uint32_t(kScreenPixels.cx));
  Put32(b, uint32_t(kScreenPixels.cy));
  Put32(b, uint32_t(kScreenMm.cx));
  Put32(b, uint32_t(kScreenMm.cy));
  // The bitmap as a stretched DIB: 32 bits per pixel, rows top-down.
  Put32(b, 81);
  Put32(b, dibRecord);
  PutRect(b, 0, 0, w - 1, h - 1);
  for (int32_t v : {0, 0, 0, 0, w, h}) Put32(b, uint32_t(v));
  Put32(b, 80);    // offBmiSrc
  Put32(b, 40);    // cbBmiSrc
  Put32(b, 120);   // offBitsSrc
  Put32(b, bits);  // cbBitsSrc
  Put32(b, 0);     // DIB_RGB_COLORS
  Put32(b, 0x00CC0020);
  Put32(b, uint32_t(w));
  Put32(b, uint32_t(h));
  Put32(b, 40);
  Put32(b, uint32_t(w));
  Put32(b, uint32_t(-h));
  Put16(b, 1);
  Put16(b, 32);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      Put32(b, bitmap.IsEmpty() ? 0xFFFFFF : bitmap.ScanLine(y)[x] & 0xFFFFFF);
  // End of file: no palette entries.
  Put32(b, 14);
  Put32(b, eofRecord);
  Put32(b, 0);
  Put32(b, 16);
  Put32(b, eofRecord);
  return FromBytes(std::move(b));
}

bool PlayMetafile(Canvas& canvas, const Metafile& picture, const Rect& dest) {
  if (picture.IsEmpty() || dest.IsEmpty()) return true;
  mf::Player player(canvas, picture, dest);
  if (picture.GetKind() == Metafile::Kind::Emf) {
    // The frame, in pixels of the reference device, fills the destination.
    const Size px = picture.DevicePixels(), mm = picture.DeviceMillimetres();
    const Rect& f = picture.Frame();
    const double x0 = f.left * double(px.cx) / (mm.cx * 100.0),
                 x1 = f.right * double(px.cx) / (mm.cx * 100.0);
    const double y0 = f.top * double(px.cy) / (mm.cy * 100.0),
                 y1 = f.bottom * double(px.cy) / (mm.cy * 100.0);
    const double sx = x1 - x0 > 1e-9 ? dest.Width() / (x1 - x0) : 1.0;
    const double sy = y1 - y0 > 1e-9 ? dest.Height() / (y1 - y0) : 1.0;
    player.playback = {sx, 0, 0, sy, dest.left - x0 * sx, dest.top - y0 * sy};
    return mf::PlayEmf(player);
  }
  const Rect& p = picture.PlaceableBounds();
  if (!p.IsEmpty()) {
    player.st.windowOrg = {double(p.left), double(p.top)};
    player.st.windowExt = {double(p.Width()), double(p.Height())};
  } else {
    player.st.windowExt = {double(dest.Width()), double(dest.Height())};
  }
  return mf::PlayWmf(player);
}

}  // namespace plat
