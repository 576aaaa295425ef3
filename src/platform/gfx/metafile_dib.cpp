// Device-independent bitmaps as metafile records carry them: core and info headers, colour
// tables, 1-, 4-, 8-, 16-, 24- and 32-bit pixels, bit fields and run-length compression.
#include <algorithm>
#include <bit>

#include "platform/gfx/metafile_internal.h"

namespace plat::mf {
namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5;
// Pictures larger than this are refused (a damaged header cannot ask for more memory).
constexpr int64_t kMaxPixels = int64_t{1} << 26;

struct Header {
  size_t size = 0;  // header bytes
  int32_t width = 0;
  int32_t height = 0;  // negative: rows top-down
  uint32_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t colours = 0;  // colour table entries used for pixels (8 bits per pixel or fewer)
  uint32_t entries = 0;  // colour table entries present (more colours may be listed)
  size_t entryBytes = 4;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t tableOffset = 0;
};

// The header of a DIB; nullopt for one of a kind that is not read (JPEG or PNG inside, or more
// pixels than a picture may have). A header that does not add up throws Damaged.
std::optional<Header> ReadHeader(const Reader& r, bool paletteIndexes) {
  Header h;
  h.size = r.U32(0);
  if (h.size == 12) {
    r.Need(0, 12);
    h.width = r.U16(4);
    h.height = r.I16(6);
    h.bitCount = r.U16(10);
    h.entryBytes = 3;
  } else if (h.size >= 40 && h.size <= 124) {
    r.Need(0, h.size);
    h.width = r.I32(4);
    h.height = r.I32(8);
    h.bitCount = r.U16(14);
    h.compression = r.U32(16);
    h.colours = r.U32(32);
    if (h.size >= 52)
      for (int i = 0; i < (h.size >= 56 ? 4 : 3); ++i) h.masks[i] = r.U32(40 + 4 * uint64_t(i));
  } else {
    throw Damaged{};
  }
  if (h.compression == kBiJpeg || h.compression == kBiPng) return std::nullopt;
  h.tableOffset = h.size;
  if (h.compression == kBiBitfields && h.size == 40) {
    r.Need(40, 12);
    for (int i = 0; i < 3; ++i) h.masks[i] = r.U32(40 + 4 * uint64_t(i));
    h.tableOffset += 12;
  }
  h.entries = h.colours;
  if (h.bitCount <= 8 && (h.colours == 0 || h.colours > (1u << h.bitCount))) {
    if (h.colours == 0) h.entries = 1u << h.bitCount;
    h.colours = 1u << h.bitCount;
  }
  if (h.bitCount > 8) h.colours = 0;
  if (paletteIndexes) h.entryBytes = 2;
  const bool depthOk = h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
                       h.bitCount == 24 || h.bitCount == 32;
  const bool compressionOk =
      h.compression == kBiRgb || (h.compression == kBiRle8 && h.bitCount == 8) ||
      (h.compression == kBiRle4 && h.bitCount == 4) ||
      (h.compression == kBiBitfields && (h.bitCount == 16 || h.bitCount == 32));
  if (!depthOk || !compressionOk || h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
    throw Damaged{};
  if (int64_t{h.width} * std::abs(int64_t{h.height}) > kMaxPixels) return std::nullopt;
  return h;
}

std::vector<uint32_t> ReadColours(const Reader& r, const Header& h, bool paletteIndexes) {
  std::vector<uint32_t> table;
  for (uint32_t i = 0; i < h.colours; ++i) {
    const uint64_t at = h.tableOffset + uint64_t(i) * h.entryBytes;
    if (paletteIndexes) {
      // No logical palette is kept: an index shows as a grey of its value.
      const uint8_t v = uint8_t(r.U16(at));
      table.push_back(0xFF000000u | (uint32_t(v) << 16) | (uint32_t(v) << 8) | v);
    } else {
      table.push_back(0xFF000000u | (uint32_t(r.U8(at + 2)) << 16) | (uint32_t(r.U8(at + 1)) << 8) |
                      r.U8(at));
    }
  }
  table.resize(size_t{1} << std::min<uint32_t>(h.bitCount, 8), 0xFF000000u);
  return table;
}

// A channel of a bit-field pixel scaled to 0..255.
uint32_t Field(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  return max ? ((v & mask) >> shift) * 255 / max : 0;
}

void DecodeRows(Bitmap& out, const Header& h, std::span<const uint8_t> bits,
                const std::vector<uint32_t>& table, bool keepAlpha) {
  const int32_t w = h.width, rows = std::abs(h.height);
  const size_t stride = size_t((uint64_t(w) * h.bitCount + 31) / 32 * 4);
  const bool fields = h.compression == kBiBitfields;
  const uint32_t rm = fields ? h.masks[0] : (h.bitCount == 16 ? 0x7C00u : 0xFF0000u);
  const uint32_t gm = fields ? h.masks[1] : (h.bitCount == 16 ? 0x03E0u : 0x00FF00u);
  const uint32_t bm = fields ? h.masks[2] : (h.bitCount == 16 ? 0x001Fu : 0x0000FFu);
  for (int32_t row = 0; row < rows; ++row) {
    const uint8_t* src = bits.data() + size_t(row) * stride;
    uint32_t* dst = out.ScanLine(h.height > 0 ? rows - 1 - row : row);
    for (int32_t x = 0; x < w; ++x) {
      switch (h.bitCount) {
        case 1:
          dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          dst[x] = table[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
          break;
        case 8:
          dst[x] = table[src[x]];
          break;
        case 16: {
          const uint32_t v = uint32_t(src[x * 2]) | (uint32_t(src[x * 2 + 1]) << 8);
          dst[x] = 0xFF000000u | (Field(v, rm) << 16) | (Field(v, gm) << 8) | Field(v, bm);
          break;
        }
        case 24:
          dst[x] = 0xFF000000u | (uint32_t(src[x * 3 + 2]) << 16) |
                   (uint32_t(src[x * 3 + 1]) << 8) | src[x * 3];
          break;
        default: {
          const uint8_t* p = src + size_t(x) * 4;
          const uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                             (uint32_t(p[3]) << 24);
          const uint32_t a = keepAlpha ? p[3] : 0xFFu;
          dst[x] = (a << 24) | (Field(v, rm) << 16) | (Field(v, gm) << 8) | Field(v, bm);
          if (keepAlpha) {
            // Channels above the alpha would not be premultiplied colour: keep them within it.
            const uint32_t r = std::min((dst[x] >> 16) & 0xFF, a),
                           g = std::min((dst[x] >> 8) & 0xFF, a), b = std::min(dst[x] & 0xFF, a);
            dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
          }
        }
      }
    }
  }
}

// Run-length compressed pixels (8 or 4 bits); runs that leave the bitmap are cut off, and the
// pixels the runs skip stay the first colour of the table.
void DecodeRle(Bitmap& out, const Header& h, std::span<const uint8_t> bits,
               const std::vector<uint32_t>& table) {
  const bool four = h.compression == kBiRle4;
  const int32_t w = h.width, rows = std::abs(h.height);
  out.Fill(PixelToColor(table[0]));
  int32_t x = 0, row = 0;
  auto put = [&](uint32_t index) {
    if (x < w && row < rows)
      out.ScanLine(h.height > 0 ? rows - 1 - row : row)[x] = table[index & 0xFF];
    ++x;
  };
  size_t i = 0;
  while (i + 1 < bits.size() && row < rows) {
    const uint8_t count = bits[i], value = bits[i + 1];
    i += 2;
    if (count > 0) {
      for (int32_t k = 0; k < count; ++k) put(four ? ((k & 1) ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (i + 1 >= bits.size()) break;
      x += bits[i];
      row += bits[i + 1];
      i += 2;
    } else {
      const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
      if (i + bytes > bits.size()) break;
      for (int32_t k = 0; k < value; ++k)
        put(four ? ((k & 1) ? bits[i + size_t(k) / 2] & 15 : bits[i + size_t(k) / 2] >> 4)
                 : bits[i + size_t(k)]);
      i += (bytes + 1) & ~size_t{1};  // runs are padded to whole words
    }
  }
}

}  // namespace

size_t DibHeaderSize(std::span<const uint8_t> info, bool paletteIndexes) {
  const Reader r(info);
  const std::optional<Header> h = ReadHeader(r, paletteIndexes);
  if (!h) return 0;
  const uint64_t size = h->tableOffset + uint64_t(h->entries) * h->entryBytes;
  r.Need(0, size);
  return size_t(size);
}

std::optional<Bitmap> DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                                bool paletteIndexes, bool keepAlpha) {
  const Reader r(info);
  const std::optional<Header> h = ReadHeader(r, paletteIndexes);
  if (!h) return std::nullopt;
  r.Need(h->tableOffset, uint64_t(h->entries) * h->entryBytes);
  const std::vector<uint32_t> table = ReadColours(r, *h, paletteIndexes);
  const bool rle = h->compression == kBiRle8 || h->compression == kBiRle4;
  const uint64_t stride = (uint64_t(h->width) * h->bitCount + 31) / 32 * 4;
  if (!rle && stride * uint64_t(std::abs(int64_t{h->height})) > bits.size()) throw Damaged{};
  Bitmap out(h->width, std::abs(h->height), keepAlpha && h->bitCount == 32);
  if (rle)
    DecodeRle(out, *h, bits, table);
  else
    DecodeRows(out, *h, bits, table, keepAlpha && h->bitCount == 32);
  return out;
}

}  // namespace plat::mf
