#include "layout/pictures/bitmap_utils.h"

#include <gtest/gtest.h>

#include "platform/gfx/jpeg_codec.h"

#include <map>

#include "foundation/base/service_slot.h"
#include "foundation/base/units.h"
#include "layout/pictures/resource_service.h"
#include "layout/pictures/ui_thumbnails.h"
#include "support/test_env.h"

using namespace qv;

namespace {

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// Resources kept in memory for the tests.
class FakeResources : public TResourceService {
 public:
  std::map<std::pair<std::string, std::string>, std::vector<uint8_t>> items;
  std::span<const uint8_t> Find(const std::string& name, const std::string& type) override {
    auto it = items.find({name, type});
    return it == items.end() ? std::span<const uint8_t>() : std::span<const uint8_t>(it->second);
  }
};

}  // namespace

TEST(BitmapUtils, LightensColoursAndBitmaps) {
  EXPECT_EQ(LightenFactor(), 7);
  EXPECT_EQ(LightenColor(0x000000), plat::Rgb(178, 178, 178));
  EXPECT_EQ(LightenColor(0xFFFFFF), 0xFFFFFFu);
  EXPECT_EQ(SwapRedBlue(plat::Rgb(1, 2, 3)), plat::Rgb(3, 2, 1));

  TBitmap b(2, 1, TPixelFormat::pf8bit);
  b.Palette = {plat::Rgb(0, 100, 200), plat::Rgb(255, 255, 255)};
  b.SetIndex(1, 0, 1);
  LightenBitmap(b, 5);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(b.ColorAt(0, 0), plat::Rgb(127, 177, 227));
  EXPECT_EQ(b.ColorAt(1, 0), plat::Rgb(255, 255, 255));
  EXPECT_EQ(LightenFactor(), 7);  // the program-wide factor is kept
}

TEST(BitmapUtils, RotatesAQuarterTurnAnticlockwise) {
  for (TPixelFormat f : {TPixelFormat::pf8bit, TPixelFormat::pf24bit}) {
    TBitmap b(3, 2, f);
    b.Palette = DefaultPalette(TPixelFormat::pf8bit);
    const plat::Color colours[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000},
                                       {0x000000, 0xFFFFFF, 0x00FFFF}};
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 3; ++x) b.SetColor(x, y, colours[y][x]);
    RotateBitmap90(b);
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.PixelFormat(), f);
    EXPECT_EQ(b.ColorAt(0, 2), 0x0000FFu);  // the source's top-left is now bottom-left
    EXPECT_EQ(b.ColorAt(0, 0), 0xFF0000u);  // its top-right is now top-left
    EXPECT_EQ(b.ColorAt(1, 1), 0xFFFFFFu);
  }
}

TEST(BitmapUtils, PaletteBitmapsOfPicturesWithFewColours) {
  TBitmap few(4, 4, TPixelFormat::pf24bit);
  few.SetColor(1, 1, 0x0000FF);
  few.SetColor(2, 2, 0x00FF00);
  ConvertBitmapToPaletted(few);
  EXPECT_EQ(few.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(few.Palette.size(), 3u);
  EXPECT_EQ(few.ColorAt(1, 1), 0x0000FFu);
  EXPECT_EQ(few.ColorAt(3, 3), 0x000000u);

  TBitmap many(20, 20, TPixelFormat::pf24bit);
  for (int32_t i = 0; i < 400; ++i)
    many.SetColor(i % 20, i / 20, plat::Rgb(uint8_t(i), uint8_t(i / 256), 0));
  std::vector<plat::Color> colors;
  GetBitmapColors(many, colors);
  EXPECT_EQ(colors.size(), 257u);  // stops once more than 256 were found
  ConvertBitmapToPaletted(many);
  EXPECT_EQ(many.PixelFormat(), TPixelFormat::pf24bit);

  TBitmap one(2, 2, TPixelFormat::pf24bit);
  one.Transparent = true;
  colors.clear();
  GetBitmapColors(one, colors);
  EXPECT_EQ(colors, (std::vector<plat::Color>{0xFFFFFF, 0x000000}));
}

TEST(BitmapUtils, MetafilesAndBitmapsGoBothWays) {
  // A transparent bitmap becomes a metafile with white where its transparent colour was.
  TBitmap b(5, 3, TPixelFormat::pf24bit);
  for (int32_t x = 0; x < 5; ++x) b.SetColor(x, 1, 0x00FF00);
  b.Transparent = true;
  b.TransparentColor = 0x000000;
  const plat::Metafile mf = BitmapToMetafile(b);
  TBitmap drawn;
  EXPECT_TRUE(DrawMetafileToBitmap(mf, drawn, {0, 0}));  // the frame's own size
  EXPECT_EQ(drawn.Width(), 5);
  EXPECT_EQ(drawn.Height(), 3);
  EXPECT_EQ(drawn.PixelFormat(), TPixelFormat::pf1bit);  // two colours
  EXPECT_EQ(drawn.ColorAt(2, 1), 0x00FF00u);
  EXPECT_EQ(drawn.ColorAt(2, 0), 0xFFFFFFu);

  std::optional<TBitmap> big = MetafileToBitmapHandle(mf, {50, 30});
  ASSERT_TRUE(big.has_value());
  EXPECT_EQ(big->Width(), 50);
  EXPECT_EQ(plat::GreenOf(big->ColorAt(25, 15)), 255);  // smoothly stretched
  EXPECT_LT(plat::RedOf(big->ColorAt(25, 15)), 40);

  // As a JPEG picture of a given size.
  const std::vector<uint8_t> jpeg = MetafileToJpeg(mf, {50, 30});
  plat::JpegInfo info;
  ASSERT_TRUE(plat::ReadJpegInfo(jpeg, info));
  EXPECT_EQ(info.Width, 50);
  EXPECT_EQ(info.Height, 30);
  EXPECT_GT(plat::GreenOf(plat::DecodeJpeg(jpeg, 50 * 30).GetPixel(25, 15)), 200);

  // A metafile with a zero-sized frame still gives a 1 x 1 bitmap.
  std::vector<uint8_t> empty;
  for (uint32_t v :
       {1u,       88u,  0u, 0u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0u, 0u,  0u,  0u,  0x464D4520u,
        0x10000u, 108u, 2u, 1u, 0u,          0u,          0u, 96u, 96u, 25u, 25u})
    Put32(empty, v);
  for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) Put32(empty, v);
  TBitmap tiny;
  DrawMetafileToBitmap(plat::Metafile::FromBytes(empty), tiny, {0, 0});
  EXPECT_EQ(tiny.Width(), 1);
  EXPECT_EQ(tiny.Height(), 1);
}

TEST(BitmapUtils, PackedTextTables) {
  // Ids 10, 20, 30; the third entry reaches beyond the table.
  std::vector<uint8_t> table;
  Put32(table, 3);
  for (uint32_t id : {10u, 20u, 30u}) Put32(table, id);
  Put32(table, (28u << 10) | 5);
  Put32(table, (33u << 10) | 3);
  Put32(table, (36u << 10) | 100);
  for (char c : std::string("HelloBye")) table.push_back(uint8_t(c));
  const struct {
    uint32_t id;
    const char* text;
  } cases[] = {{10, "Hello"}, {20, "Bye"}, {30, ""}, {5, ""}, {15, ""}, {99, ""}};
  for (const auto& c : cases) EXPECT_EQ(FindPackedString(table, c.id), c.text) << c.id;
  TStringList list;
  list.Add("old");
  LoadPackedStrings(table, list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(1), "Bye");
  EXPECT_EQ(list.Objects(1), 20);
  // A count larger than the table holds gives nothing.
  std::vector<uint8_t> lying;
  Put32(lying, 1000000);
  EXPECT_EQ(FindPackedString(lying, 0), "");
  LoadPackedStrings(lying, list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(BitmapUtils, ResourcesThroughTheRegisteredService) {
  ScopedService<TResourceService, FakeResources> resources;
  TPNGImage logo(3, 2, TPixelFormat::pf24bit);
  logo.SetColor(1, 1, 0x123456);
  resources->items[{"LOGO", "PNG"}] = logo.SaveToBytes();
  resources->items[{"NOTES", "RCDATA"}] = {'a', 'b', 'c'};

  TPNGImage loaded;
  EXPECT_TRUE(LoadPngResource("LOGO", loaded));
  EXPECT_EQ(loaded.ColorAt(1, 1), 0x123456u);
  EXPECT_FALSE(LoadPngResource("NOTES", loaded));
  EXPECT_EQ(GetResourceData("NOTES", "RCDATA").size(), 3u);
  const std::string dir = qvtest::MakeTempDir("res");
  EXPECT_TRUE(SaveResourceToFile("NOTES", "RCDATA", dir + "/notes.bin"));
  EXPECT_EQ(qvtest::ReadFile(dir + "/notes.bin"), "abc");
  EXPECT_FALSE(SaveResourceToFile("MISSING", "RCDATA", dir + "/missing.bin"));
  EXPECT_FALSE(SaveResourceToFile("NOTES", "RCDATA", dir + "/no/such/folder/notes.bin"));
}

TEST(BitmapUtils, SharedGlyphsComeFromTheirPlaceInTheStrip) {
  TBitmap strip(583, 16, TPixelFormat::pf24bit);
  for (int32_t x = 0; x < 583; ++x)
    for (int32_t y = 0; y < 16; ++y)
      strip.SetColor(x, y, plat::Rgb(uint8_t(x), uint8_t(x >> 8), 9));
  strip.SetColor(353, 4, kGlyphKeyColor);
  SetSharedGlyphStrip(strip);
  TBitmap glyph;
  GetSharedGlyph(22, glyph, 0xABCDEF);
  ASSERT_EQ(glyph.Width(), 21);
  ASSERT_EQ(glyph.Height(), 16);
  EXPECT_EQ(glyph.ColorAt(0, 0), plat::Rgb(uint8_t(352), 1, 9));  // from x = 352
  EXPECT_EQ(glyph.ColorAt(1, 4), 0xABCDEFu);  // the key colour shows the background
  GetSharedGlyph(3, glyph, 0);
  EXPECT_EQ(glyph.Width(), 16);
  EXPECT_EQ(glyph.ColorAt(0, 0), plat::Rgb(48, 0, 9));
  SetScreenPixelsPerInchForTests(144);
  GetSharedGlyph(22, glyph, 0);
  EXPECT_EQ(glyph.Width(), 31);
  EXPECT_EQ(glyph.Height(), 24);
  SetScreenPixelsPerInchForTests(0);
  SetSharedGlyphStrip(TBitmap());
}

TEST(UiThumbnails, DrawsWrappingStylesAndPicturePositions) {
  const TThumbnailColors colors{0xFFFFFF, plat::Rgb(255, 0, 0), plat::Rgb(0, 0, 255), 0x000000};
  TBitmap before = DrawWrappingStyleThumbnail(5, colors);  // picture behind the text
  TBitmap front = DrawWrappingStyleThumbnail(6, colors);   // picture in front of the text
  ASSERT_EQ(before.Width(), 36);
  ASSERT_EQ(before.Height(), 36);
  // Line 4 crosses the picture's middle: red over blue in style 5, blue over red in style 6.
  EXPECT_GT(plat::RedOf(before.ColorAt(18, 16)), plat::RedOf(front.ColorAt(18, 16)));
  EXPECT_TRUE(DrawWrappingStyleThumbnail(7, colors).Empty());

  TBitmap topLeft = DrawPicturePositionThumbnail(0, colors);
  TBitmap bottomRight = DrawPicturePositionThumbnail(8, colors);
  ASSERT_EQ(topLeft.Width(), 40);
  ASSERT_EQ(topLeft.Height(), 56);
  EXPECT_EQ(topLeft.ColorAt(0, 0), 0x000000u);  // the frame
  EXPECT_EQ(topLeft.ColorAt(39, 55), 0x000000u);
  EXPECT_GT(plat::BlueOf(topLeft.ColorAt(10, 10)), 200);
  EXPECT_LT(plat::BlueOf(bottomRight.ColorAt(10, 10)), 100);
  EXPECT_GT(plat::BlueOf(bottomRight.ColorAt(30, 44)), 200);

  BuildCachedUiBitmaps();
  EXPECT_EQ(WrappingStyleBitmap(0).Width(), 36);
  EXPECT_EQ(PicturePositionBitmap(8).Height(), 56);
  EXPECT_TRUE(PicturePositionBitmap(9).Empty());
  ReleaseCachedUiBitmaps();
}
