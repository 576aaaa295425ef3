#include "foundation/graphics/palette_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"

using namespace qv;

namespace {

uint32_t Read(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(s[at + size_t(i)]);
  return v;
}

// A bitmap of `count` distinct colours, one a pixel, in rows of 20.
plat::Bitmap Colours(int count) {
  plat::Bitmap b(20, (count + 19) / 20);
  for (int i = 0; i < b.Width() * b.Height(); ++i) {
    b.SetPixel(i % 20, i / 20, plat::Color(std::min(i, count - 1) * 3));
  }
  return b;
}

TEST(PaletteBitmap, BitDepthByColourCount) {
  struct Case {
    int colours;
    bool ok;
    uint32_t bits;
  } cases[] = {{2, true, 1}, {1, true, 1}, {16, true, 4}, {200, true, 8}, {256, true, 8}, {300, false, 0}};
  for (const Case& c : cases) {
    std::string bmp;
    EXPECT_EQ(ConvertBitmapToPaletted(Colours(c.colours), {}, bmp), c.ok) << c.colours;
    if (!c.ok) {
      EXPECT_TRUE(bmp.empty());
      continue;
    }
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Read(bmp, 2, 4), bmp.size());
    EXPECT_EQ(Read(bmp, 28, 2), c.bits) << c.colours;
    EXPECT_EQ(Read(bmp, 10, 4), 54u + (4u << c.bits));
  }
}

TEST(PaletteBitmap, PixelsIndexTheSortedPaletteBottomUp) {
  plat::Bitmap b(3, 2);
  b.Fill(0x0000FF);            // red in 0x00BBGGRR
  b.SetPixel(1, 0, 0xFF0000);  // blue, top row
  std::string bmp;
  ASSERT_TRUE(ConvertBitmapToPaletted(b, {}, bmp));
  // Palette: blue 0x0000FF then red 0xFF0000 in the BMP order.
  EXPECT_EQ(Read(bmp, 54, 4), 0x0000FFu);
  EXPECT_EQ(Read(bmp, 58, 4), 0xFF0000u);
  // Rows of 4 bytes, the bottom row first: all red (1 1 1), then red blue red (1 0 1).
  EXPECT_EQ(uint8_t(bmp[62]), 0xE0);
  EXPECT_EQ(uint8_t(bmp[66]), 0xA0);
  // The transparent colour becomes white; the eBook switch widens 3..16 colours to 8 bits.
  TPaletteOptions options;
  options.Transparent = true;
  options.TransparentColor = 0xFF0000;
  ASSERT_TRUE(ConvertBitmapToPaletted(b, options, bmp));
  EXPECT_EQ(Read(bmp, 58, 4), 0xFFFFFFu);
  options.EbookExport = true;
  ASSERT_TRUE(ConvertBitmapToPaletted(Colours(5), options, bmp));
  EXPECT_EQ(Read(bmp, 28, 2), 8u);
  std::vector<uint32_t> colours;
  CollectBitmapColors(b, true, colours);
  EXPECT_EQ(colours.size(), 3u);
  EXPECT_FALSE(ConvertBitmapToPaletted(plat::Bitmap(), {}, bmp));
}

}  // namespace
