#include "layout/pictures/png_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/base/exceptions.h"
#include "layout/pictures/picture_formats.h"
#include "support/test_env.h"

using namespace qv;

namespace {

// The fixtures live in tests/layout/data/png; QV_TEST_DATA names tests/data.
std::string DataDir() {
  const char* dir = std::getenv("QV_TEST_DATA");
  const std::filesystem::path tests = std::filesystem::path(dir ? dir : "tests/data").parent_path();
  return (tests / "layout" / "data" / "png").string() + "/";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string Chunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
  return Be32(uint32_t(data.size())) + body + Be32(uint32_t(crc));
}

std::string Ihdr(uint32_t w, uint32_t h, int depth, int type, int interlace = 0) {
  return Chunk("IHDR",
               Be32(w) + Be32(h) + std::string{char(depth), char(type), 0, 0, char(interlace)});
}

std::string Deflate(const std::string& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           uLong(raw.size()));
  out.resize(size);
  return out;
}

const std::string kSignature = "\x89PNG\r\n\x1a\n";

// A PNG of the chunks given, ending with IEND.
std::string Png(const std::string& chunks) { return kSignature + chunks + Chunk("IEND", ""); }

void Load(TPNGImage& image, const std::string& bytes) {
  image.LoadFromBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

std::string Rgb(plat::Color c) {
  return {char(plat::RedOf(c)), char(plat::GreenOf(c)), char(plat::BlueOf(c))};
}

}  // namespace

// Every colour type, bit depth and interlace method against the reference decoder's pixels.
TEST(PngCodec, DecodesEveryColourTypeDepthAndInterlaceLikeTheReference) {
  const struct {
    const char* name;
    TPixelFormat format;
  } cases[] = {
      {"t0d1n", TPixelFormat::pf1bit},      {"t0d1i", TPixelFormat::pf1bit},
      {"t0d2n", TPixelFormat::pf4bit},      {"t0d2i", TPixelFormat::pf4bit},
      {"t0d4n", TPixelFormat::pf4bit},      {"t0d4i", TPixelFormat::pf4bit},
      {"t0d8n", TPixelFormat::pf8bit},      {"t0d8i", TPixelFormat::pf8bit},
      {"t0d16n", TPixelFormat::pf8bit},     {"t0d16i", TPixelFormat::pf8bit},
      {"t2d8n", TPixelFormat::pf24bit},     {"t2d8i", TPixelFormat::pf24bit},
      {"t2d16n", TPixelFormat::pf24bit},    {"t2d16i", TPixelFormat::pf24bit},
      {"t3d1n", TPixelFormat::pf1bit},      {"t3d1i", TPixelFormat::pf1bit},
      {"t3d2n", TPixelFormat::pf4bit},      {"t3d2i", TPixelFormat::pf4bit},
      {"t3d4n", TPixelFormat::pf4bit},      {"t3d4i", TPixelFormat::pf4bit},
      {"t3d8n", TPixelFormat::pf8bit},      {"t3d8i", TPixelFormat::pf8bit},
      {"t4d8n", TPixelFormat::pf8bit},      {"t4d8i", TPixelFormat::pf8bit},
      {"t4d16n", TPixelFormat::pf8bit},     {"t4d16i", TPixelFormat::pf8bit},
      {"t6d8n", TPixelFormat::pf24bit},     {"t6d8i", TPixelFormat::pf24bit},
      {"t6d16n", TPixelFormat::pf24bit},    {"t6d16i", TPixelFormat::pf24bit},
      {"t6d8i_1x1", TPixelFormat::pf24bit}, {"t0d2i_5x3", TPixelFormat::pf4bit},
  };
  for (const auto& c : cases) {
    TPNGImage image;
    image.LoadFromFile(DataDir() + c.name + ".png");
    const std::string expected = ReadAll(DataDir() + c.name + ".rgb");
    ASSERT_EQ(size_t(image.Width()) * image.Height() * 3, expected.size()) << c.name;
    EXPECT_EQ(image.PixelFormat(), c.format) << c.name;
    std::string got;
    for (int32_t y = 0; y < image.Height(); ++y)
      for (int32_t x = 0; x < image.Width(); ++x) got += Rgb(image.ColorAt(x, y));
    EXPECT_EQ(got, expected) << c.name;
  }
}

TEST(PngCodec, FlattensAlphaOntoWhiteAndSkipsWhatItDoesNotKnow) {
  // One RGBA pixel (255, 0, 0, 128), a chunk of an unknown type and a wrong CRC on IHDR.
  std::string ihdr = Ihdr(1, 1, 8, 6);
  ihdr[ihdr.size() - 1] ^= 0x5A;
  TPNGImage image;
  Load(image, Png(ihdr + Chunk("pHYs", std::string(9, '\1')) +
                  Chunk("IDAT", Deflate(std::string("\0\xFF\0\0\x80", 5)))));
  EXPECT_EQ(image.ColorAt(0, 0), plat::Rgb(255, 127, 127));

  // A palette entry with alpha 0 becomes white; a 2-bit palette shows its four colours.
  const std::string plte = Chunk("PLTE", std::string("\x10\x20\x30\xFF\0\0\0\xFF\0\0\0\xFF", 12));
  Load(image, Png(Ihdr(4, 1, 2, 3) + plte + Chunk("tRNS", std::string(1, '\0')) +
                  Chunk("IDAT", Deflate(std::string("\0\x1B", 2)))));  // 00 01 10 11
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(image.ColorAt(0, 0), plat::Rgb(255, 255, 255));
  EXPECT_EQ(image.ColorAt(1, 0), plat::Rgb(255, 0, 0));
  EXPECT_EQ(image.ColorAt(2, 0), plat::Rgb(0, 255, 0));
  EXPECT_EQ(image.ColorAt(3, 0), plat::Rgb(0, 0, 255));
  EXPECT_EQ(image.IndexAt(3, 0), 15u);  // 2-bit value v is stored as 5 v
}

TEST(PngCodec, GreyWithAlphaShowsItsGreyOnWhiteAtEveryDepthAndInterlace) {
  // Grey 64 at alpha 255, grey 64 at alpha 0, grey 0 at alpha 128: each case decoded plainly
  // and interlaced, at 8 and at 16 bits (whose low bytes must not matter).
  const std::string rows8("\0\x40\xFF\x40\0\0\x80", 7);
  const std::string rows16("\0\x40\x11\xFF\x22\x40\x33\0\x44\0\0\x80\x55", 13);
  for (int interlace : {0, 1}) {
    for (const std::string* rows : {&rows8, &rows16}) {
      const int depth = rows == &rows8 ? 8 : 16;
      std::string raw;
      if (interlace) {
        // Pass 1 holds column 0, pass 2 column 4 (none), pass 4 column 2, pass 6 column 1.
        const size_t px = depth / 4;
        raw = std::string(1, '\0') + rows->substr(1, px) + std::string(1, '\0') +
              rows->substr(1 + 2 * px, px) + std::string(1, '\0') + rows->substr(1 + px, px);
      } else {
        raw = *rows;
      }
      TPNGImage image;
      Load(image, Png(Ihdr(3, 1, depth, 4, interlace) + Chunk("IDAT", Deflate(raw))));
      EXPECT_EQ(image.ColorAt(0, 0), plat::Rgb(64, 64, 64)) << depth << " " << interlace;
      EXPECT_EQ(image.ColorAt(1, 0), plat::Rgb(255, 255, 255)) << depth << " " << interlace;
      EXPECT_EQ(image.ColorAt(2, 0), plat::Rgb(127, 127, 127)) << depth << " " << interlace;
    }
  }
}

TEST(PngCodec, GammaIsAppliedAndAGammaOfZeroIsIgnored) {
  const std::string idat = Chunk("IDAT", Deflate(std::string("\0\x80\x40\xC0", 4)));
  const struct {
    uint32_t gamma;
    plat::Color expected;
  } cases[] = {
      {45455, plat::Rgb(128, 64, 192)},    // 1/2.2: practically unchanged
      {0, plat::Rgb(128, 64, 192)},        // no meaning: unchanged, no division by zero
      {100000, plat::Rgb(186, 136, 224)},  // 1.0: brightened by 1/2.2
  };
  for (const auto& c : cases) {
    TPNGImage image;
    Load(image, Png(Ihdr(1, 1, 8, 2) + Chunk("gAMA", Be32(c.gamma)) + idat));
    EXPECT_EQ(image.ColorAt(0, 0), c.expected) << c.gamma;
  }
}

TEST(PngCodec, RefusesDamagedAndOutOfRangeFiles) {
  const std::string pixel = Chunk("IDAT", Deflate(std::string("\0\x80\x40\xC0", 4)));
  const std::string plte = Chunk("PLTE", std::string("\0\0\0\xFF\xFF\xFF", 6));
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"wrong signature", "\x89PNX\r\n\x1a\n" + Ihdr(1, 1, 8, 2) + pixel},
      {"IDAT before IHDR", kSignature + pixel + Ihdr(1, 1, 8, 2) + Chunk("IEND", "")},
      {"no IDAT", Png(Ihdr(1, 1, 8, 2))},
      {"palette image without PLTE", Png(Ihdr(1, 1, 8, 3) + pixel)},
      {"PLTE length not a multiple of 3", Png(Ihdr(1, 1, 8, 3) + Chunk("PLTE", "abcd") + pixel)},
      {"palette index without entry",
       Png(Ihdr(2, 1, 8, 3) + plte + Chunk("IDAT", Deflate(std::string("\0\x01\x02", 3))))},
      {"colour type 5", Png(Ihdr(1, 1, 8, 5) + pixel)},
      {"depth 16 for a palette", Png(Ihdr(1, 1, 16, 3) + plte + pixel)},
      {"depth 4 for RGB", Png(Ihdr(1, 1, 4, 2) + pixel)},
      {"interlace method 2", Png(Ihdr(1, 1, 8, 2, 2) + pixel)},
      {"filter byte 5", Png(Ihdr(1, 1, 8, 2) + Chunk("IDAT", Deflate(std::string("\5\1\2\3", 4))))},
      {"width 0", Png(Ihdr(0, 1, 8, 2) + pixel)},
      {"a size beyond the bound", Png(Ihdr(100000, 100000, 8, 2) + pixel)},
      {"a width beyond 2^31", Png(Ihdr(0x80000000u, 1, 1, 0) + pixel)},
      {"short image data", Png(Ihdr(1, 2, 8, 2) + pixel)},
      {"image data that does not inflate", Png(Ihdr(1, 1, 8, 2) + Chunk("IDAT", "garbage"))},
      {"a chunk longer than 2^31", kSignature + Ihdr(1, 1, 8, 2) + Be32(0x90000000u) + "IDAT"},
  };
  for (const auto& c : cases) {
    TPNGImage image;
    EXPECT_THROW(Load(image, c.bytes), EAbort) << c.what;
  }
  // A stream that ends inside a chunk fails with the stream's read error.
  TPNGImage image;
  const std::string whole = Png(Ihdr(1, 1, 8, 2) + pixel);
  EXPECT_THROW(Load(image, whole.substr(0, 30)), EReadError);
  EXPECT_THROW(Load(image, kSignature.substr(0, 5)), EReadError);
}

TEST(PngCodec, EveryDamageEndsInAnErrorAndNothingWorse) {
  // Each truncation and a corruption of every byte of two fixtures: an error or a picture, never
  // a crash (CRCs are not checked, so most corruptions reach the decoder).
  for (const char* name : {"t3d2i", "t6d16i"}) {
    const std::string whole = ReadAll(DataDir() + name + ".png");
    ASSERT_FALSE(whole.empty());
    for (size_t n = 0; n < whole.size(); ++n) {
      if (n == whole.size() - 12) continue;  // all but IEND: a stream may end after a chunk
      TPNGImage image;
      EXPECT_THROW(Load(image, whole.substr(0, n)), Exception) << name << " cut at " << n;
    }
    for (size_t i = 0; i < whole.size(); ++i) {
      std::string bad = whole;
      bad[i] = char(bad[i] ^ 0xA5);
      TPNGImage image;
      try {
        Load(image, bad);
      } catch (const Exception&) {
      }
    }
  }
}

TEST(PngCodec, SavesPaletteAndColourImagesAndReadsThemBack) {
  // An 8-bit palette bitmap is written as a palette image with its palette.
  TPNGImage paletted;
  paletted.SetPixelFormat(TPixelFormat::pf8bit);
  paletted.SetSize(5, 3);
  paletted.Palette = {plat::Rgb(1, 2, 3), plat::Rgb(200, 100, 50), plat::Rgb(0, 255, 0)};
  for (int32_t x = 0; x < 5; ++x) paletted.SetIndex(x, 1, uint32_t(x % 3));
  std::vector<uint8_t> bytes = paletted.SaveToBytes();
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes[24], 8);  // bit depth
  EXPECT_EQ(bytes[25], 3);  // colour type: palette
  TPNGImage back;
  back.LoadFromBytes(bytes);
  EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf8bit);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(back.ColorAt(x, y), paletted.ColorAt(x, y));

  // A 32-bit bitmap becomes 24-bit and is written as colour type 2.
  TPNGImage colour(7, 4, TPixelFormat::pf32bit);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 7; ++x)
      colour.SetColor(x, y, plat::Rgb(uint8_t(x * 30), uint8_t(y * 60), uint8_t(x * y)));
  TPNGImage original = colour;
  bytes = colour.SaveToBytes();
  EXPECT_EQ(colour.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(bytes[25], 2);
  back.LoadFromBytes(bytes);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(back.ColorAt(x, y), original.ColorAt(x, y));

  TPNGImage empty;
  EXPECT_THROW(empty.SaveToBytes(), EWriteError);
}

TEST(PngCodec, WrittenFilesPassPngcheck) {
  if (std::system("command -v pngcheck >/dev/null 2>&1") != 0) GTEST_SKIP() << "pngcheck absent";
  const std::string dir = qvtest::MakeTempDir("png");
  int n = 0;
  std::string paths;
  for (TPixelFormat f : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                         TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TPNGImage image(13, 9, f);
    image.Palette = DefaultPalette(f);
    for (int32_t y = 0; y < 9; ++y)
      for (int32_t x = 0; x < 13; ++x)
        image.SetColor(x, y, plat::Rgb(uint8_t(x * 19), uint8_t(y * 28), uint8_t((x + y) * 10)));
    const std::string path = dir + "/written" + std::to_string(n++) + ".png";
    image.SaveToFile(path);
    paths += " '" + path + "'";
  }
  EXPECT_EQ(std::system(("pngcheck -q" + paths + " >/dev/null").c_str()), 0) << paths;
}

TEST(PngCodec, PngIsARegisteredPictureFormat) {
  ASSERT_NE(FindPictureFormat("PNG"), nullptr);
  auto picture = LoadPictureFile(DataDir() + "t2d8n.png");
  EXPECT_EQ(picture->Width(), 9);
  EXPECT_EQ(FindPictureFormat("xyz"), nullptr);
  EXPECT_THROW(LoadPictureFile(DataDir() + "README.md"), EAbort);
}
