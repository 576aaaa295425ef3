// Decoding of the PNG image data: inflating row by row, undoing the filters and storing the
// pixels of every colour type, bit depth and interlace method into the bitmap.
#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "foundation/base/exceptions.h"
#include "foundation/base/units.h"
#include "layout/pictures/png_codec.h"

namespace qv {
namespace {

// Channels per pixel of a colour type; 0 for an unknown type.
int32_t ChannelsOf(uint8_t colorType) {
  switch (colorType) {
    case 0:
      return 1;
    case 2:
      return 3;
    case 3:
      return 1;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 0;
  }
}

bool ValidDepth(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

// Blends a sample onto white with an alpha: (a v + 255 (255 - a)) div 255.
uint8_t OnWhite(uint32_t v, uint32_t a) { return uint8_t((a * v + 255 * (255 - a)) / 255); }

uint8_t Paeth(int32_t left, int32_t above, int32_t upperLeft) {
  const int32_t p = left + above - upperLeft;
  const int32_t pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - upperLeft);
  if (pa <= pb && pa <= pc) return uint8_t(left);
  if (pb <= pc) return uint8_t(above);
  return uint8_t(upperLeft);
}

// The image data as a zlib stream that gives one filtered row at a time.
class RowInflater {
 public:
  explicit RowInflater(const std::vector<uint8_t>& data) {
    if (inflateInit(&z_) != Z_OK) throw EAbort();
    z_.next_in = const_cast<Bytef*>(data.data());
    z_.avail_in = static_cast<uInt>(data.size());
  }
  ~RowInflater() { inflateEnd(&z_); }
  RowInflater(const RowInflater&) = delete;
  RowInflater& operator=(const RowInflater&) = delete;

  // Fills the whole buffer; data that ends early or does not inflate aborts.
  void Read(uint8_t* dst, size_t n) {
    z_.next_out = dst;
    z_.avail_out = static_cast<uInt>(n);
    while (z_.avail_out > 0) {
      const int rc = inflate(&z_, Z_NO_FLUSH);
      if (rc == Z_STREAM_END && z_.avail_out > 0) throw EAbort();
      if (rc != Z_OK && rc != Z_STREAM_END) throw EAbort();
      if (rc == Z_OK && z_.avail_in == 0 && z_.avail_out > 0) throw EAbort();
    }
  }

 private:
  z_stream z_{};
};

struct Pass {
  int32_t row, col, rowStep, colStep;
};
constexpr Pass kWhole{0, 0, 1, 1};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                            {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// Everything the rows need to be stored.
class Decoder {
 public:
  Decoder(TPNGImage& image, const TChunkIHDR& header, const TChunkList& list)
      : image_(image), list_(list) {
    width_ = header.Width();
    height_ = header.Height();
    depth_ = header.BitDepth();
    colorType_ = header.ColorType();
    interlace_ = header.InterlaceMethod();
    if (header.Data.size() < 13) throw EAbort();
    channels_ = ChannelsOf(colorType_);
    if (!channels_ || !ValidDepth(colorType_, depth_) || interlace_ > 1) throw EAbort();
    if (width_ == 0 || height_ == 0 || width_ > 0x7FFFFFFFu || height_ > 0x7FFFFFFFu ||
        uint64_t{width_} * height_ > uint64_t(TBitmap::MaxPixels))
      throw EAbort();
    bpp_ = std::max(1, channels_ * depth_ / 8);
    if (TChunkGAMA* g = list.ItemOfClass<TChunkGAMA>(); g && g->Active) gamma_ = &g->Table;
  }

  void Run(const std::vector<uint8_t>& data) {
    SetUpBitmap();
    RowInflater rows(data);
    if (interlace_ == 0) {
      DecodePass(rows, kWhole);
    } else {
      for (const Pass& p : kAdam7) DecodePass(rows, p);
    }
  }

 private:
  uint8_t Gamma(uint8_t v) const { return gamma_ ? (*gamma_)[v] : v; }

  void SetUpBitmap() {
    const bool colour = colorType_ == 2 || colorType_ == 6;
    TPixelFormat format = TPixelFormat::pf24bit;
    if (!colour)
      format = depth_ == 1   ? TPixelFormat::pf1bit
               : depth_ <= 4 ? TPixelFormat::pf4bit
                             : TPixelFormat::pf8bit;
    std::vector<plat::Color> palette;
    if (colorType_ == 0 || colorType_ == 4) {
      // Grey with alpha stores its blended grey level (gamma already applied) as the index.
      const int32_t n = colorType_ == 4 || depth_ == 16 ? 256 : 1 << depth_;
      for (int32_t k = 0; k < n; ++k) {
        uint8_t v = uint8_t(MulDiv(k, 255, n - 1));
        if (colorType_ == 0) v = Gamma(v);
        palette.push_back(plat::Rgb(v, v, v));
      }
    } else if (colorType_ == 3) {
      palette = ReadPalette();
    }
    paletteCount_ = static_cast<uint32_t>(palette.size());
    if (depth_ == 2 && !colour) {
      // Stored as 4 bits: value v becomes index 5 v, and entry k repeats entry k mod 4.
      std::vector<plat::Color> wide(16, 0);
      for (size_t k = 0; k < 16; ++k)
        if (k % 4 < palette.size()) wide[k] = palette[k % 4];
      palette = std::move(wide);
    }
    image_.Palette.clear();
    image_.Transparent = false;
    image_.SetSize(0, 0);
    image_.SetPixelFormat(format);
    image_.SetSize(static_cast<int32_t>(width_), static_cast<int32_t>(height_));
    image_.Palette = std::move(palette);
  }

  std::vector<plat::Color> ReadPalette() const {
    const TChunkPLTE* plte = list_.ItemOfClass<TChunkPLTE>();
    if (!plte || plte->Data.empty() || plte->Data.size() % 3 != 0) throw EAbort();
    const size_t count = std::min<size_t>(plte->Data.size() / 3, 256);
    std::vector<uint8_t> alpha;
    if (const TChunkTRNS* trns = list_.ItemOfClass<TChunkTRNS>()) alpha = trns->Data;
    std::vector<plat::Color> palette;
    for (size_t i = 0; i < count; ++i) {
      uint8_t r = Gamma(plte->Data[i * 3]), g = Gamma(plte->Data[i * 3 + 1]),
              b = Gamma(plte->Data[i * 3 + 2]);
      if (i < alpha.size()) {
        r = OnWhite(r, alpha[i]);
        g = OnWhite(g, alpha[i]);
        b = OnWhite(b, alpha[i]);
      }
      palette.push_back(plat::Rgb(r, g, b));
    }
    return palette;
  }

  void DecodePass(RowInflater& rows, const Pass& p) {
    if (width_ <= uint32_t(p.col) || height_ <= uint32_t(p.row)) return;
    const uint32_t passWidth = (width_ - p.col + p.colStep - 1) / p.colStep;
    const size_t rowBytes = size_t((uint64_t{passWidth} * channels_ * depth_ + 7) / 8);
    std::vector<uint8_t> current(rowBytes + 1, 0), previous(rowBytes + 1, 0);
    for (uint32_t y = p.row; y < height_; y += p.rowStep) {
      rows.Read(current.data(), current.size());
      Unfilter(current, previous);
      StoreRow(current.data() + 1, passWidth, static_cast<int32_t>(y), p);
      std::swap(current, previous);
    }
  }

  // Undoes the row's filter in place; bytes left of the first pixel use 0 for left and
  // upper-left, the previous row is all zero at the start of a pass.
  void Unfilter(std::vector<uint8_t>& row, const std::vector<uint8_t>& above) const {
    const uint8_t filter = row[0];
    uint8_t* cur = row.data() + 1;
    const uint8_t* up = above.data() + 1;
    const size_t n = row.size() - 1;
    const size_t bpp = static_cast<size_t>(bpp_);
    switch (filter) {
      case 0:
        break;
      case 1:
        for (size_t i = bpp; i < n; ++i) cur[i] = uint8_t(cur[i] + cur[i - bpp]);
        break;
      case 2:
        for (size_t i = 0; i < n; ++i) cur[i] = uint8_t(cur[i] + up[i]);
        break;
      case 3:
        for (size_t i = 0; i < n; ++i) {
          const int32_t left = i >= bpp ? cur[i - bpp] : 0;
          cur[i] = uint8_t(cur[i] + (left + up[i]) / 2);
        }
        break;
      case 4:
        for (size_t i = 0; i < n; ++i) {
          const int32_t left = i >= bpp ? cur[i - bpp] : 0;
          const int32_t upperLeft = i >= bpp ? up[i - bpp] : 0;
          cur[i] = uint8_t(cur[i] + Paeth(left, up[i], upperLeft));
        }
        break;
      default:
        throw EAbort();
    }
  }

  // Sample k of a row (the high byte of a 16-bit sample).
  uint32_t Sample(const uint8_t* row, uint64_t k) const {
    switch (depth_) {
      case 1:
        return (row[k >> 3] >> (7 - (k & 7))) & 1;
      case 2:
        return (row[k >> 2] >> (6 - 2 * (k & 3))) & 3;
      case 4:
        return (row[k >> 1] >> (4 - 4 * (k & 1))) & 15;
      case 8:
        return row[k];
      default:
        return row[k * 2];
    }
  }

  void StoreRow(const uint8_t* row, uint32_t pixels, int32_t y, const Pass& p) {
    for (uint32_t i = 0; i < pixels; ++i) {
      const int32_t x = static_cast<int32_t>(p.col + uint64_t{i} * p.colStep);
      const uint64_t k = uint64_t{i} * channels_;
      switch (colorType_) {
        case 0:
        case 3: {
          const uint32_t v = Sample(row, k);
          if (v >= paletteCount_) throw EAbort();  // a palette index without palette entry
          image_.SetIndex(x, y, depth_ == 2 ? v * 5 : v);
          break;
        }
        case 4:
          image_.SetIndex(x, y, OnWhite(Gamma(uint8_t(Sample(row, k))), Sample(row, k + 1)));
          break;
        default: {
          uint8_t r = Gamma(uint8_t(Sample(row, k))), g = Gamma(uint8_t(Sample(row, k + 1))),
                  b = Gamma(uint8_t(Sample(row, k + 2)));
          if (colorType_ == 6) {
            const uint32_t a = Sample(row, k + 3);
            r = OnWhite(r, a);
            g = OnWhite(g, a);
            b = OnWhite(b, a);
          }
          uint8_t* px = image_.ScanLine(y) + size_t(x) * 3;
          px[0] = b;
          px[1] = g;
          px[2] = r;
        }
      }
    }
  }

  TPNGImage& image_;
  const TChunkList& list_;
  uint32_t width_ = 0, height_ = 0;
  uint8_t depth_ = 0, colorType_ = 0, interlace_ = 0;
  int32_t channels_ = 0, bpp_ = 1;
  uint32_t paletteCount_ = 0;
  const std::array<uint8_t, 256>* gamma_ = nullptr;
};

}  // namespace

void TChunkGAMA::Process() {
  Active = false;
  if (Data.size() < 4) return;
  const uint32_t value =
      (uint32_t(Data[0]) << 24) | (uint32_t(Data[1]) << 16) | (uint32_t(Data[2]) << 8) | Data[3];
  // A gamma of 0 means nothing (the exponent would be infinite): the samples stay as they are.
  if (value == 0) return;
  const double g = value / 100000.0;
  const double exponent = 1.0 / (g * 2.2);
  Inverse.fill(0);
  for (int32_t i = 0; i < 256; ++i) {
    const double v = std::round(255.0 * std::pow(i / 255.0, exponent));
    Table[static_cast<size_t>(i)] = uint8_t(std::clamp(v, 0.0, 255.0));
    Inverse[Table[static_cast<size_t>(i)]] = uint8_t(i);
  }
  Active = true;
}

void TChunkIDAT::Process() {
  const TChunkIHDR* header = Owner.ItemOfClass<TChunkIHDR>();
  if (!header) throw EAbort();
  Decoder decoder(Owner.Owner, *header, Owner);
  decoder.Run(Data);
}

}  // namespace qv
