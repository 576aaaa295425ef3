// Enhanced and Windows metafiles written byte by byte after the published record layouts, then
// played into bitmaps.
#include "platform/gfx/metafile_player.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace plat {
namespace {

constexpr Color kWhite = 0xFFFFFF, kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255),
                kGreen = Rgb(0, 255, 0), kYellow = Rgb(255, 255, 0), kCyan = Rgb(0, 255, 255),
                kMagenta = Rgb(255, 0, 255);

int32_t FloatBits(float f) {
  int32_t v;
  std::memcpy(&v, &f, 4);
  return v;
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 2 x 2 DIB, 24 bits, bottom-up: magenta and white on top, yellow and cyan below. Header
// (40 bytes) then bits (2 rows of 8 bytes).
std::vector<uint8_t> Dib2x2() {
  std::vector<uint8_t> b;
  for (uint32_t v : {40u, 2u, 2u}) Put32(b, v);
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  const uint8_t bits[16] = {0,   255, 255, 255, 255, 0,   0, 0,   // yellow, cyan (bottom row)
                            255, 0,   255, 255, 255, 255, 0, 0};  // magenta, white (top row)
  b.insert(b.end(), bits, bits + 16);
  return b;
}

// ---- Enhanced metafiles
// ----------------------------------------------------------------------------

class Emf {
 public:
  // A picture of w x h pixels at 96 pixels per inch.
  Emf(int32_t w, int32_t h) {
    for (int32_t v : {1, 88, 0, 0, w - 1, h - 1, 0, 0, w * 2540 / 96, h * 2540 / 96})
      Put32(b_, uint32_t(v));
    Put32(b_, 0x464D4520);
    Put32(b_, 0x10000);
    Put32(b_, 0);   // bytes, set by Finish
    Put32(b_, 0);   // records
    Put16(b_, 10);  // handles
    Put16(b_, 0);
    for (int32_t v : {0, 0, 0, 9600, 9600, 2540, 2540}) Put32(b_, uint32_t(v));
    records_ = 1;
  }
  Emf& Rec(uint32_t type, std::initializer_list<int32_t> params) {
    return Raw(type, [&] {
      std::vector<uint8_t> p;
      for (int32_t v : params) Put32(p, uint32_t(v));
      return p;
    }());
  }
  Emf& Raw(uint32_t type, std::vector<uint8_t> payload) {
    while (payload.size() % 4) payload.push_back(0);
    Put32(b_, type);
    Put32(b_, uint32_t(8 + payload.size()));
    b_.insert(b_.end(), payload.begin(), payload.end());
    ++records_;
    return *this;
  }
  std::vector<uint8_t> Finish() {
    Rec(14, {0, 16, 20});
    std::vector<uint8_t> out = b_;
    Set32(out, 48, uint32_t(out.size()));
    Set32(out, 52, uint32_t(records_));
    return out;
  }

 private:
  std::vector<uint8_t> b_;
  int32_t records_ = 0;
};

std::vector<uint8_t> StretchDiBits(int32_t x, int32_t y, int32_t w, int32_t h) {
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, 0, 0, x, y, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, w, h})
    Put32(p, uint32_t(v));
  const std::vector<uint8_t> dib = Dib2x2();
  p.insert(p.end(), dib.begin(), dib.end());
  return p;
}

std::vector<uint8_t> TextW(int32_t x, int32_t y, const std::u16string& text) {
  std::vector<uint8_t> p;
  for (int32_t v : {0, 0, 0, 0, 1, 0, 0, x, y, int32_t(text.size()), 76, 0, 0, 0, 0, 0, 0})
    Put32(p, uint32_t(v));
  for (char16_t c : text) Put16(p, c);
  return p;
}

std::vector<uint8_t> FontW(int32_t handle, int32_t height) {
  std::vector<uint8_t> p;
  for (int32_t v : {handle, height, 0, 0, 0, 400, 0, 0}) Put32(p, uint32_t(v));
  std::u16string face = u"Liberation Sans";
  face.resize(32, u'\0');
  for (char16_t c : face) Put16(p, c);
  return p;
}

// Red square, blue ellipse through a world transform, green triangle from a path, the 2 x 2
// DIB stretched, and text clipped at y = 50; `extra` records stand after the square.
std::vector<uint8_t> SampleEmf(
    const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& extra = {}) {
  Emf e(100, 100);
  e.Rec(39, {1, 0, 0x0000FF, 0}).Rec(37, {1}).Rec(37, {int32_t(0x80000008)});
  e.Rec(43, {10, 10, 40, 40});
  for (const auto& [type, payload] : extra) e.Raw(type, payload);
  e.Rec(39, {2, 0, 0xFF0000, 0}).Rec(37, {2});
  e.Rec(35, {FloatBits(1), 0, 0, FloatBits(1), FloatBits(50), 0});
  e.Rec(42, {0, 50, 40, 90});
  e.Rec(36, {FloatBits(1), 0, 0, FloatBits(1), 0, 0, 1});
  e.Rec(39, {3, 0, 0x00FF00, 0}).Rec(37, {3});
  e.Rec(59, {}).Rec(27, {5, 55}).Rec(54, {45, 55}).Rec(54, {25, 95}).Rec(61, {}).Rec(60, {});
  e.Rec(62, {0, 0, 0, 0});
  e.Raw(81, StretchDiBits(60, 10, 20, 20));
  e.Rec(30, {0, 0, 100, 50});
  e.Raw(82, FontW(4, -12)).Rec(37, {4}).Rec(24, {0}).Rec(18, {1});
  e.Raw(84, TextW(5, 42, u"Hello"));
  return e.Finish();
}

// ---- Windows metafiles
// ------------------------------------------------------------------------------

class Wmf {
 public:
  // A placeable picture whose bounds are 1000 x 1000 units at 1000 units per inch.
  Wmf() {
    Put32(b_, 0x9AC6CDD7);
    Put16(b_, 0);
    for (int16_t v : {0, 0, 1000, 1000}) Put16(b_, uint16_t(v));
    Put16(b_, 1000);
    Put32(b_, 0);
    Put16(b_, 0);  // checksum (not checked)
    for (uint16_t v : {1, 9, 0x0300}) Put16(b_, v);
    Put32(b_, 0);  // size in words, set by Finish
    Put16(b_, 4);  // objects
    Put32(b_, 0);
    Put16(b_, 0);
  }
  Wmf& Rec(uint16_t fn, std::initializer_list<int32_t> words) {
    Put32(b_, uint32_t(3 + words.size()));
    Put16(b_, fn);
    for (int32_t w : words) Put16(b_, uint16_t(w));
    return *this;
  }
  Wmf& Raw(uint16_t fn, std::vector<uint8_t> payload) {
    if (payload.size() % 2) payload.push_back(0);
    Put32(b_, uint32_t(3 + payload.size() / 2));
    Put16(b_, fn);
    b_.insert(b_.end(), payload.begin(), payload.end());
    return *this;
  }
  std::vector<uint8_t> Finish() {
    Rec(0, {});
    std::vector<uint8_t> out = b_;
    Set32(out, 22 + 6, uint32_t((out.size() - 22) / 2));
    return out;
  }

 private:
  std::vector<uint8_t> b_;
};

std::vector<uint8_t> WmfFont(int16_t height) {
  std::vector<uint8_t> p;
  for (int32_t v : {int32_t(height), 0, 0, 0, 400}) Put16(p, uint16_t(v));
  for (int i = 0; i < 8; ++i) p.push_back(0);
  for (char c : std::string("Liberation Sans")) p.push_back(uint8_t(c));
  p.push_back(0);
  return p;
}

std::vector<uint8_t> StretchDib(int16_t x, int16_t y, int16_t w, int16_t h) {
  std::vector<uint8_t> p;
  Put32(p, 0x00CC0020);
  for (int32_t v : {0, 2, 2, 0, 0, int32_t(h), int32_t(w), int32_t(y), int32_t(x)})
    Put16(p, uint16_t(v));
  const std::vector<uint8_t> dib = Dib2x2();
  p.insert(p.end(), dib.begin(), dib.end());
  return p;
}

// Red square, blue triangle, green ellipse (its brush in the slot the deleted red one left),
// the DIB stretched and a line of text; `extra` records stand after the square.
std::vector<uint8_t> SampleWmf(
    const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& extra = {}) {
  Wmf w;
  w.Rec(0x02FC, {0, 0x00FF, 0, 0}).Rec(0x012D, {0});
  w.Rec(0x02FA, {5, 0, 0, 0, 0}).Rec(0x012D, {1});
  w.Rec(0x020B, {0, 0}).Rec(0x020C, {1000, 1000});
  w.Rec(0x041B, {400, 400, 100, 100});
  for (const auto& [fn, payload] : extra) w.Raw(fn, payload);
  w.Rec(0x02FC, {0, 0, 0x00FF, 0}).Rec(0x012D, {2});
  w.Rec(0x0324, {3, 500, 100, 900, 100, 700, 450});
  w.Rec(0x01F0, {0}).Rec(0x02FC, {0, 0xFF00, 0, 0}).Rec(0x012D, {0});
  w.Rec(0x0418, {900, 900, 500, 500});
  w.Raw(0x0F43, StretchDib(100, 600, 300, 300));
  w.Raw(0x02FB, WmfFont(-100)).Rec(0x012D, {3}).Rec(0x0102, {1});
  w.Raw(0x0521, {2, 0, 'H', 'i', 0xC2, 0x01, 0x64, 0x00});  // at (100, 450)
  return w.Finish();
}

// ---- Helpers
// -----------------------------------------------------------------------------------------

struct Played {
  Bitmap bmp;
  bool complete = false;
};

Played Play(const std::vector<uint8_t>& bytes, int32_t size = 100) {
  Played p{Bitmap(size, size)};
  p.bmp.Fill(kWhite);
  Canvas canvas(p.bmp);
  p.complete = PlayMetafile(canvas, Metafile::FromBytes(bytes), {0, 0, size, size});
  canvas.Flush();
  return p;
}

bool Near(Color a, Color b, int tolerance = 24) {
  return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
         std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

int32_t DarkPixels(const Bitmap& bmp, const Rect& r) {
  int32_t n = 0;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) {
      const Color c = bmp.GetPixel(x, y);
      n += RedOf(c) < 128 && GreenOf(c) < 128 && BlueOf(c) < 128;
    }
  return n;
}

// ---- Tests
// -------------------------------------------------------------------------------------------

TEST(MetafilePlayer, PlaysAnEnhancedMetafile) {
  const std::vector<uint8_t> bytes = SampleEmf();
  const Metafile mf = Metafile::FromBytes(bytes);
  EXPECT_EQ(mf.GetKind(), Metafile::Kind::Emf);
  EXPECT_EQ(mf.FrameSizeInPixels(), (Size{100, 100}));
  Played p = Play(bytes);
  EXPECT_TRUE(p.complete);
  EXPECT_EQ(p.bmp.GetPixel(25, 25), kRed);
  EXPECT_EQ(p.bmp.GetPixel(5, 5), kWhite);
  EXPECT_EQ(p.bmp.GetPixel(70, 70), kBlue);  // the ellipse moved 50 to the right
  EXPECT_EQ(p.bmp.GetPixel(5, 70), kWhite);
  EXPECT_EQ(p.bmp.GetPixel(25, 65), kGreen);
  EXPECT_EQ(p.bmp.GetPixel(6, 90), kWhite);  // outside the triangle
  EXPECT_TRUE(Near(p.bmp.GetPixel(64, 14), kMagenta));
  EXPECT_TRUE(Near(p.bmp.GetPixel(76, 14), kWhite));
  EXPECT_TRUE(Near(p.bmp.GetPixel(64, 26), kYellow));
  EXPECT_TRUE(Near(p.bmp.GetPixel(76, 26), kCyan));
  EXPECT_GT(DarkPixels(p.bmp, {5, 42, 50, 50}), 10);  // text above the clip edge
  EXPECT_EQ(DarkPixels(p.bmp, {5, 50, 50, 55}), 0);   // and nothing below it

  // Twice the size: everything scales with the frame.
  Played big = Play(bytes, 200);
  EXPECT_EQ(big.bmp.GetPixel(50, 50), kRed);
  EXPECT_EQ(big.bmp.GetPixel(140, 140), kBlue);
  EXPECT_EQ(big.bmp.GetPixel(15, 15), kWhite);
}

TEST(MetafilePlayer, PlaysAWindowsMetafile) {
  const std::vector<uint8_t> bytes = SampleWmf();
  const Metafile mf = Metafile::FromBytes(bytes);
  EXPECT_EQ(mf.GetKind(), Metafile::Kind::Wmf);
  EXPECT_EQ(mf.FrameSizeInPixels(), (Size{96, 96}));  // one inch
  Played p = Play(bytes);
  EXPECT_TRUE(p.complete);
  EXPECT_EQ(p.bmp.GetPixel(25, 25), kRed);
  EXPECT_EQ(p.bmp.GetPixel(45, 25), kWhite);
  EXPECT_EQ(p.bmp.GetPixel(70, 20), kBlue);
  EXPECT_EQ(p.bmp.GetPixel(70, 70), kGreen);
  EXPECT_TRUE(Near(p.bmp.GetPixel(16, 66), kMagenta));
  EXPECT_TRUE(Near(p.bmp.GetPixel(34, 84), kCyan));
  EXPECT_GT(DarkPixels(p.bmp, {10, 45, 40, 58}), 10);
}

TEST(MetafilePlayer, ADamagedRecordEndsThePicture) {
  auto poly = [](uint32_t count) {
    std::vector<uint8_t> p(16, 0);
    Put32(p, count);
    return p;
  };
  std::vector<uint8_t> badDib = StretchDiBits(60, 10, 20, 20);
  Set32(badDib, 48, 4096);  // offBitsSrc (record offset 56) beyond the record
  std::vector<uint8_t> shortBits = StretchDiBits(60, 10, 20, 20);
  Set32(shortBits, 52, 8);  // cbBitsSrc (record offset 60): one row of the two
  std::vector<uint8_t> badText = TextW(5, 5, u"Hi");
  Set32(badText, 36, 0x40000000);  // characters (record offset 44)
  std::vector<uint8_t> badPolyPoly(16, 0);
  for (uint32_t v : {2u, 3u, 3u, 3u}) Put32(badPolyPoly, v);  // 6 points claimed, 3 in total
  for (int i = 0; i < 6; ++i) Put32(badPolyPoly, 10);
  std::vector<uint8_t> nanXform;
  for (int32_t v : {FloatBits(1), 0, 0, FloatBits(std::numeric_limits<float>::quiet_NaN()), 0, 0})
    Put32(nanXform, uint32_t(v));
  std::vector<uint8_t> badRegion;
  for (uint32_t v : {48u, 5u, 32u, 1u, 1000u, 16u}) Put32(badRegion, v);  // 1000 rects in 16 bytes
  for (int i = 0; i < 6; ++i) Put32(badRegion, 0);
  std::vector<uint8_t> badHandle;
  for (uint32_t v : {999u, 0u, 0u, 0u}) Put32(badHandle, v);

  const struct {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> payload;
  } cases[] = {
      {"a polygon of 2^31 points", 3, poly(0x7FFFFFFF)},
      {"a polyline16 of 2^32 - 1 points", 87, poly(0xFFFFFFFF)},
      {"polygon counts beyond the total", 8, badPolyPoly},
      {"DIB bits beyond the record", 81, badDib},
      {"a DIB with fewer bits than its rows", 81, shortBits},
      {"text longer than the record", 84, badText},
      {"a world transform that is not a number", 35, nanXform},
      {"clip rectangles beyond the region data", 75, badRegion},
      {"an object handle beyond the table", 39, badHandle},
      {"a record too short for its fields", 43, {1, 2}},
  };
  for (const auto& c : cases) {
    Played p = Play(SampleEmf({{c.type, c.payload}}));
    EXPECT_FALSE(p.complete) << c.what;
    EXPECT_EQ(p.bmp.GetPixel(25, 25), kRed) << c.what;    // drawn before
    EXPECT_EQ(p.bmp.GetPixel(70, 70), kWhite) << c.what;  // never reached
  }

  // A record whose size reaches beyond the file.
  std::vector<uint8_t> bytes = SampleEmf();
  Set32(bytes, 88 + 4, 0x7FFFFFF0);
  EXPECT_FALSE(Play(bytes).complete);
}

TEST(MetafilePlayer, ADamagedWindowsRecordEndsThePicture) {
  std::vector<uint8_t> badRegion;
  for (int16_t v : {0, 6, 0, 0, 100, 500, 0, 0, 0, 10, 10}) Put16(badRegion, uint16_t(v));
  const struct {
    const char* what;
    uint16_t fn;
    std::vector<uint8_t> payload;
  } cases[] = {
      {"a polygon of 30000 points", 0x0324, {0x30, 0x75}},
      {"polygon counts beyond the record", 0x0538, {2, 0, 100, 0, 100, 0}},
      {"text longer than the record", 0x0521, {0xFF, 0x7F, 'a', 'b'}},
      {"region scans beyond the record", 0x06FF, badRegion},
      {"a rectangle without its corners", 0x041B, {1, 0}},
  };
  for (const auto& c : cases) {
    Played p = Play(SampleWmf({{c.fn, c.payload}}));
    EXPECT_FALSE(p.complete) << c.what;
    EXPECT_EQ(p.bmp.GetPixel(25, 25), kRed) << c.what;
    EXPECT_EQ(p.bmp.GetPixel(70, 70), kWhite) << c.what;
  }
}

TEST(MetafilePlayer, HostileValuesCostNothing) {
  // A DIB that claims 10^5 x 10^5 pixels is passed over; far-off shapes are cut to the canvas.
  std::vector<uint8_t> hugeDib = StretchDiBits(0, 0, 100, 100);
  Set32(hugeDib, 72 + 4, 100000);  // the header's width and height (payloads start 8 bytes in)
  Set32(hugeDib, 72 + 8, 100000);
  Played p = Play(SampleEmf(
      {{81, hugeDib},
       {42,
        {0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}},
       {3, [] {
          std::vector<uint8_t> q(16, 0);
          Put32(q, 3);
          for (int32_t v : {-2000000000, 5, 2000000000, 5, 0, 2000000000}) Put32(q, uint32_t(v));
          return q;
        }()}}));
  EXPECT_TRUE(p.complete);
  EXPECT_EQ(p.bmp.GetPixel(70, 70), kBlue);

  // Every truncation and a corruption of every byte of both pictures play without crashing.
  for (const std::vector<uint8_t>& sample : {SampleEmf(), SampleWmf()}) {
    for (size_t n = 0; n < sample.size(); ++n) {
      std::vector<uint8_t> cut(sample.begin(), sample.begin() + long(n));
      try {
        Play(cut);
      } catch (const GfxError&) {
      }
    }
    for (size_t i = 0; i < sample.size(); ++i) {
      for (uint8_t flip : {uint8_t(0xA5), uint8_t(0x80)}) {
        std::vector<uint8_t> bad = sample;
        bad[i] ^= flip;
        try {
          Play(bad);
        } catch (const GfxError&) {
        }
      }
    }
  }
}

TEST(MetafilePlayer, RefusesWhatIsNoMetafile) {
  for (const std::string& junk :
       {std::string(), std::string("GIF89a............................"), std::string(100, '\0')}) {
    EXPECT_THROW(Metafile::FromBytes(std::vector<uint8_t>(junk.begin(), junk.end())), GfxError);
  }
  std::vector<uint8_t> shortHeader = SampleEmf();
  Set32(shortHeader, 4, 0x10000);  // header larger than the file
  EXPECT_THROW(Metafile::FromBytes(shortHeader), GfxError);
}

TEST(MetafilePlayer, ABitmapBecomesAMetafileThatPlaysItBack) {
  Bitmap source(7, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      source.SetPixel(x, y, Rgb(uint8_t(x * 30), uint8_t(y * 50), 77));
  const Metafile mf = Metafile::FromBitmap(source);
  EXPECT_EQ(mf.FrameSizeInPixels(), (Size{7, 5}));
  Bitmap out(7, 5);
  out.Fill(kWhite);
  Canvas canvas(out);
  EXPECT_TRUE(PlayMetafile(canvas, mf, {0, 0, 7, 5}));
  canvas.Flush();
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      EXPECT_EQ(out.GetPixel(x, y), source.GetPixel(x, y)) << x << "," << y;
}

TEST(MetafilePlayer, PlaysOntoAPrinterPage) {
  const std::string path = qvtest::MakeTempDir("pdf") + "/page.pdf";
  PdfDocument pdf(path, 600);
  Canvas& page = pdf.StartPage(595, 842);
  EXPECT_TRUE(PlayMetafile(page, Metafile::FromBytes(SampleEmf()), {600, 600, 2600, 2600}));
  EXPECT_TRUE(PlayMetafile(page, Metafile::FromBytes(SampleWmf()), {600, 3000, 2600, 5000}));
  pdf.Finish();
  EXPECT_GT(qvtest::ReadFile(path).size(), 1000u);
}

TEST(MetafilePlayer, LeavesTheCanvasAsItWas) {
  Bitmap bmp(50, 50);
  Canvas canvas(bmp);
  canvas.SetOrigin({3, 4});
  canvas.SetPen({PenStyle::Dot, 2, kGreen});
  canvas.IntersectClipRect({0, 0, 30, 30});
  PlayMetafile(canvas, Metafile::FromBytes(SampleEmf()), {0, 0, 40, 40});
  EXPECT_EQ(canvas.Origin(), (Point{3, 4}));
  EXPECT_EQ(canvas.GetPen().Style, PenStyle::Dot);
  EXPECT_EQ(canvas.ClipBox(), (Rect{0, 0, 30, 30}));
}

}  // namespace
}  // namespace plat
