// Resampling with a separable cubic filter (Mitchell-Netravali), whitening and sharpening.
#include "layout/pictures/bitmap_resample.h"

#include <algorithm>
#include <cmath>

#include "foundation/base/units.h"

namespace qv {
namespace {

struct Contributor {
  int32_t source;
  float weight;
};
using Contributors = std::vector<std::vector<Contributor>>;

// The source pixels and weights of every target pixel along one axis (source size n, target
// size m). Outside neighbours are mirrored at the start and clamped at the end.
Contributors MakeContributors(int32_t n, int32_t m) {
  float scale = n == 1 ? float(m) : float(m - 1) / float(n - 1);
  float centreOffset = 0.0f;
  if (m == 1 && n > 1) {
    // One target pixel from many: the scale (m - 1) / (n - 1) would be 0 and the filter's
    // support infinite. Reduce by n instead, centred on the middle of the source.
    scale = 1.0f / float(n);
    centreOffset = float(n - 1) / 2.0f;
  }
  Contributors list(static_cast<size_t>(m));
  for (int32_t i = 0; i < m; ++i) {
    const float centre = float(i) / scale + centreOffset;
    const float support = scale >= 1.0f ? 2.0f : 2.0f / scale;
    const float factor = scale >= 1.0f ? 1.0f : 1.0f / scale;
    const int32_t first = static_cast<int32_t>(std::floor(centre - support));
    const int32_t last = static_cast<int32_t>(std::ceil(centre + support));
    for (int32_t j = first; j <= last; ++j) {
      const float weight = MitchellKernel((centre - float(j)) / factor) / factor;
      if (weight == 0.0f) continue;
      const int32_t source = std::min(j < 0 ? -j : j, n - 1);
      list[static_cast<size_t>(i)].push_back({source, weight});
    }
  }
  return list;
}

uint8_t ClampRound(float v) {
  if (v > 255.0f) return 255;
  if (v < 0.0f) return 0;
  return uint8_t(std::lround(v));
}

const uint8_t* Pixel24(const TBitmap& b, int32_t x, int32_t y) {
  return b.ScanLine(y) + size_t(x) * 3;
}

// Whitens the pixels that are all but white, then sharpens with a 3 x 3 kernel that sums to 16.
void WhitenAndSharpen(TBitmap& target) {
  const int32_t w = target.Width(), h = target.Height();
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* p = target.ScanLine(y);
    for (int32_t x = 0; x < w; ++x, p += 3)
      if (p[0] > 250 && p[1] > 250 && p[2] > 250) p[0] = p[1] = p[2] = 255;
  }
  static constexpr int32_t kKernel[3][3] = {{-1, -2, -1}, {-2, 28, -2}, {-1, -2, -1}};
  const TBitmap copy = target;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = target.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t c = 0; c < 3; ++c) {
        int32_t sum = 0;
        for (int32_t dy = -1; dy <= 1; ++dy) {
          for (int32_t dx = -1; dx <= 1; ++dx) {
            const int32_t nx = x + dx, ny = y + dy;
            const bool inside = nx >= 0 && ny >= 0 && nx < w && ny < h;
            const uint8_t v = inside ? Pixel24(copy, nx, ny)[c] : Pixel24(copy, x, y)[c];
            sum += kKernel[dy + 1][dx + 1] * v;
          }
        }
        out[size_t(x) * 3 + size_t(c)] = uint8_t(std::clamp(sum / 16, 0, 255));
      }
    }
  }
}

}  // namespace

int32_t ScaleByDpi(int32_t value) {
  return static_cast<int32_t>(int64_t{value} * ScreenPixelsPerInch() / 96);
}

float MitchellKernel(float x) {
  const float t = std::fabs(x);
  if (t < 1.0f) return (7.0f * t * t * t - 12.0f * t * t + 16.0f / 3.0f) / 6.0f;
  if (t < 2.0f) return (-7.0f / 3.0f * t * t * t + 12.0f * t * t - 20.0f * t + 32.0f / 3.0f) / 6.0f;
  return 0.0f;
}

std::unique_ptr<TBitmap> TBitmap::Resample(int32_t width, int32_t height, bool sharpen) const {
  if (width == width_ && height == height_) return std::make_unique<TBitmap>(*this);
  auto target =
      std::make_unique<TBitmap>(std::max(width, 0), std::max(height, 0), TPixelFormat::pf24bit);
  ResampleInto(*target, sharpen);
  return target;
}

void TBitmap::ResampleInto(TBitmap& target, bool sharpen) const {
  if (Empty() || target.Empty()) return;
  if (format_ != TPixelFormat::pf24bit) {
    TBitmap source = *this;
    source.SetPixelFormat(TPixelFormat::pf24bit);
    source.ResampleInto(target, sharpen);
    return;
  }
  if (target.PixelFormat() != TPixelFormat::pf24bit) target.SetPixelFormat(TPixelFormat::pf24bit);
  const int32_t w = width_, h = height_, tw = target.Width(), th = target.Height();

  // Horizontal pass into a bitmap of the target's width and the source's height.
  const Contributors columns = MakeContributors(w, tw);
  TBitmap middle(tw, h, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* src = ScanLine(y);
    uint8_t* out = middle.ScanLine(y);
    for (int32_t x = 0; x < tw; ++x) {
      float sum[3] = {0, 0, 0};
      for (const Contributor& c : columns[static_cast<size_t>(x)])
        for (int32_t k = 0; k < 3; ++k) sum[k] += c.weight * float(src[size_t(c.source) * 3 + k]);
      for (int32_t k = 0; k < 3; ++k) out[size_t(x) * 3 + k] = ClampRound(sum[k]);
    }
  }

  // Vertical pass, column by column.
  const Contributors rows = MakeContributors(h, th);
  for (int32_t x = 0; x < tw; ++x) {
    for (int32_t y = 0; y < th; ++y) {
      float sum[3] = {0, 0, 0};
      for (const Contributor& c : rows[static_cast<size_t>(y)]) {
        const uint8_t* p = Pixel24(middle, x, c.source);
        for (int32_t k = 0; k < 3; ++k) sum[k] += c.weight * float(p[k]);
      }
      uint8_t* out = target.ScanLine(y) + size_t(x) * 3;
      for (int32_t k = 0; k < 3; ++k) out[k] = ClampRound(sum[k]);
    }
  }
  if (sharpen) WhitenAndSharpen(target);
}

void TBitmap::HalftoneStretchTo(TBitmap& target) const {
  if (Empty() || target.Empty()) return;
  const plat::Bitmap source = ToPlatformBitmap();
  plat::Bitmap stretched(target.Width(), target.Height());
  plat::Canvas canvas(stretched);
  canvas.StretchBitmap(stretched.Bounds(), source, source.Bounds(), true);
  canvas.Flush();
  const TPixelFormat format = target.PixelFormat();
  std::vector<plat::Color> palette = std::move(target.Palette);
  target = FromPlatformBitmap(stretched);
  target.Palette = std::move(palette);
  target.SetPixelFormat(format);
}

}  // namespace qv
