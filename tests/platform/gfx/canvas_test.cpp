#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/gfx/canvas.h"
#include "support/test_env.h"

namespace plat {
namespace {

constexpr Color kWhite = 0xFFFFFF, kBlack = 0, kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);

// The pixels of a bitmap that are not the given colour, as their bounding box.
Rect InkBox(const Bitmap& bmp, Color background) {
  Rect box;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x)
      if (bmp.GetPixel(x, y) != background) box = box.Union({x, y, x + 1, y + 1});
  return box;
}

int32_t Count(const Bitmap& bmp, Color c) {
  int32_t n = 0;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x) n += bmp.GetPixel(x, y) == c;
  return n;
}

struct CanvasTest : ::testing::Test {
  Bitmap bmp{40, 30};
  Canvas canvas{bmp};
  void SetUp() override { bmp.Fill(kWhite); }
};

TEST_F(CanvasTest, FillsHonourOriginAndClip) {
  canvas.SetOrigin({5, 5});
  canvas.IntersectClipRect({0, 0, 10, 10});  // device (5,5)-(15,15)
  canvas.FillRect({-5, -5, 20, 20}, kRed);
  canvas.Flush();
  EXPECT_EQ(InkBox(bmp, kWhite), (Rect{5, 5, 15, 15}));
  EXPECT_EQ(Count(bmp, kRed), 100);
  EXPECT_EQ(canvas.ClipBox(), (Rect{0, 0, 10, 10}));
  canvas.ExcludeClipRect({0, 0, 5, 10});
  EXPECT_FALSE(canvas.RectVisible({0, 0, 5, 5}));
  EXPECT_TRUE(canvas.RectVisible({5, 0, 6, 1}));
  canvas.SaveState();
  canvas.ClearClip();
  canvas.SetOrigin({});
  EXPECT_EQ(canvas.ClipBox(), bmp.Bounds());
  canvas.RestoreState();
  EXPECT_EQ(canvas.ClipBox(), (Rect{5, 0, 10, 10}));
  EXPECT_EQ(canvas.Origin(), (Point{5, 5}));
}

TEST_F(CanvasTest, LinesLeaveOutTheirLastPoint) {
  canvas.SetPen({PenStyle::Solid, 1, kBlack});
  const struct {
    Point a, b;
    Rect box;
    int32_t pixels;
  } cases[] = {
      {{2, 3}, {12, 3}, {2, 3, 12, 4}, 10},    // horizontal
      {{7, 20}, {7, 5}, {7, 6, 8, 21}, 15},    // vertical, upwards
      {{0, 0}, {10, 10}, {0, 0, 10, 10}, 10},  // diagonal
  };
  for (const auto& c : cases) {
    bmp.Fill(kWhite);
    canvas.MoveTo(c.a.x, c.a.y);
    canvas.LineTo(c.b.x, c.b.y);
    canvas.Flush();
    EXPECT_EQ(InkBox(bmp, kWhite), c.box);
    EXPECT_EQ(Count(bmp, kBlack), c.pixels);
    EXPECT_EQ(canvas.CurrentPosition(), c.b);
  }
}

TEST_F(CanvasTest, FarCoordinatesAreClippedNotStepped) {
  canvas.SetPen({PenStyle::Solid, 1, kBlack});
  canvas.Line(-2000000000, 5, 2000000000, 5);
  canvas.SetBrush({BrushStyle::Solid, kBlack});
  const Point huge[] = {{0, -2000000000}, {10, 2000000000}, {0, 2000000000}};
  canvas.Polygon(huge);
  canvas.Flush();
  EXPECT_EQ(bmp.GetPixel(0, 5), kBlack);
  EXPECT_EQ(bmp.GetPixel(39, 5), kBlack);
  EXPECT_EQ(bmp.GetPixel(1, 20), kBlack);
}

TEST_F(CanvasTest, XorDrawingUndoesItself) {
  canvas.FillRect({0, 0, 20, 30}, kBlue);
  Bitmap before = bmp;
  canvas.SetRop2(Rop2::XorPen);
  canvas.SetPen({PenStyle::Solid, 1, kWhite});
  canvas.SetBrush({BrushStyle::Solid, kWhite});
  for (int pass = 0; pass < 2; ++pass) {
    canvas.Line(1, 15, 39, 15);
    canvas.Rectangle({3, 3, 30, 12});
    canvas.Ellipse({5, 18, 35, 29});
    canvas.InvertRect({0, 0, 40, 2});
    canvas.Flush();
    if (pass == 0) {
      EXPECT_NE(Count(bmp, PixelToColor(ColorToPixel(kBlue) ^ 0xFFFFFF)), 0);
    }
  }
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x)
      ASSERT_EQ(bmp.GetPixel(x, y), before.GetPixel(x, y)) << x << "," << y;
}

TEST_F(CanvasTest, RectangleDrawsPenInsideAndBrushWithin) {
  canvas.SetPen({PenStyle::Solid, 2, kBlack});
  canvas.SetBrush({BrushStyle::Solid, kRed});
  canvas.Rectangle({10, 10, 20, 18});
  canvas.Flush();
  EXPECT_EQ(InkBox(bmp, kWhite), (Rect{10, 10, 20, 18}));
  EXPECT_EQ(Count(bmp, kRed), 6 * 4);
  EXPECT_EQ(bmp.GetPixel(11, 11), kBlack);
  // Null brush and pen draw nothing.
  bmp.Fill(kWhite);
  canvas.SetPen({PenStyle::Null, 1, kBlack});
  canvas.SetBrush({BrushStyle::Null, kRed});
  canvas.Rectangle({1, 1, 30, 20});
  canvas.Ellipse({1, 1, 30, 20});
  canvas.Flush();
  EXPECT_TRUE(InkBox(bmp, kWhite).IsEmpty());
}

TEST_F(CanvasTest, PolygonFillMatchesItsRegion) {
  const Point tri[] = {{2, 2}, {30, 5}, {10, 25}};
  canvas.SetPen({PenStyle::Null, 1, kBlack});
  canvas.SetBrush({BrushStyle::Solid, kBlue});
  canvas.Polygon(tri);
  canvas.Flush();
  Region filled;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    for (int32_t x = 0; x < bmp.Width(); ++x)
      if (bmp.GetPixel(x, y) == kBlue) filled.Union(Rect{x, y, x + 1, y + 1});
  EXPECT_EQ(filled, Region::FromPolygon(tri));
}

TEST_F(CanvasTest, RegionsFillTintAndInvert) {
  Region r(Rect{0, 0, 10, 10});
  r.Union(Rect{20, 20, 25, 25});
  canvas.FillRegion(r, kBlack);
  canvas.TintRegion(Region(Rect{0, 0, 40, 30}), kWhite, 128);
  canvas.InvertRegion(Region(Rect{20, 20, 21, 21}));
  canvas.Flush();
  EXPECT_EQ(bmp.GetPixel(5, 5), Rgb(128, 128, 128));
  EXPECT_EQ(bmp.GetPixel(30, 5), kWhite);
  EXPECT_EQ(bmp.GetPixel(20, 20), Rgb(127, 127, 127));
}

TEST_F(CanvasTest, TextInksOnlyItsCell) {
  LogFont lf;
  lf.FaceName = "Arial";
  lf.Height = -16;
  canvas.SetFont(Font(lf));
  canvas.SetBkMode(BkMode::Transparent);
  canvas.SetTextColor(kBlack);
  canvas.TextOut(2, 4, std::string_view("Hg"));
  canvas.Flush();
  const TextMetrics& m = canvas.GetFont().Metrics();
  const Rect ink = InkBox(bmp, kWhite);
  ASSERT_FALSE(ink.IsEmpty());
  const Rect cell{2, 4, 2 + canvas.TextExtent(std::string_view("Hg")).cx, 4 + m.Height};
  EXPECT_EQ(ink.Intersect(cell), ink);
  // Opaque mode fills the whole cell with the background colour.
  bmp.Fill(kWhite);
  canvas.SetBkMode(BkMode::Opaque);
  canvas.SetBkColor(kRed);
  canvas.TextOut(2, 4, u"Hg");
  canvas.Flush();
  EXPECT_EQ(InkBox(bmp, kWhite), cell);
  // Baseline alignment puts the cell's top an ascent above y.
  bmp.Fill(kWhite);
  canvas.SetTextAlign(align::Baseline);
  canvas.TextOut(2, 20, u"Hg");
  canvas.Flush();
  EXPECT_EQ(InkBox(bmp, kWhite), cell.Offset(0, 20 - 4 - m.Ascent));
}

TEST_F(CanvasTest, ExtTextOutUsesGivenAdvancesAndRectangles) {
  LogFont lf;
  lf.FaceName = "Courier New";
  lf.Height = -12;
  canvas.SetFont(Font(lf));
  canvas.SetBkMode(BkMode::Transparent);
  const int32_t dx[] = {12, 12, 12};
  canvas.ExtTextOut(0, 0, 0, nullptr, std::string_view("iii"), dx);
  canvas.Flush();
  const Rect ink = InkBox(bmp, kWhite);
  EXPECT_GE(ink.Width(), 24);  // three narrow letters spread 12 pixels apart
  bmp.Fill(kWhite);
  const Rect box{5, 5, 30, 25};
  canvas.SetBkColor(kRed);
  canvas.ExtTextOut(8, 8, eto::Opaque | eto::Clipped, &box, std::string_view("WWWWWWW"));
  canvas.Flush();
  EXPECT_EQ(InkBox(bmp, kWhite), box);  // filled, and the text cut at its right edge
  EXPECT_GT(Count(bmp, kBlack), 0);
}

TEST(BitmapTest, CopiesAndScrollsWithinOneBitmap) {
  Bitmap bmp(8, 8);
  bmp.Fill(kWhite);
  bmp.FillRect({0, 0, 2, 2}, kRed);
  Canvas canvas(bmp);
  canvas.DrawBitmap(1, 1, bmp, {0, 0, 4, 4});  // overlapping self-copy, as scrolling does
  EXPECT_EQ(bmp.GetPixel(2, 2), kRed);
  EXPECT_EQ(bmp.GetPixel(1, 1), kRed);
  EXPECT_EQ(bmp.GetPixel(3, 3), kWhite);
  Bitmap small(2, 1);
  small.SetPixel(0, 0, kBlue);
  small.SetPixel(1, 0, kWhite);
  canvas.DrawTransparent(6, 6, small, small.Bounds(), kWhite);
  EXPECT_EQ(bmp.GetPixel(6, 6), kBlue);
  EXPECT_EQ(bmp.GetPixel(7, 6), kWhite);
  canvas.StretchBitmap({0, 4, 8, 8}, small, small.Bounds(), false);
  canvas.Flush();
  EXPECT_EQ(bmp.GetPixel(3, 5), kBlue);
  EXPECT_EQ(bmp.GetPixel(4, 5), kWhite);
}

TEST(BitmapTest, PngRoundTripAndBadFiles) {
  const std::string dir = qvtest::MakeTempDir("png");
  Bitmap bmp(5, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) bmp.SetPixel(x, y, Rgb(uint8_t(x * 50), uint8_t(y * 100), 7));
  const mode_t oldMask = ::umask(022);
  bmp.SavePng(dir + "/a.png");
  ::umask(oldMask);
  const Bitmap back = Bitmap::LoadPng(dir + "/a.png");
  ASSERT_EQ(back.Width(), 5);
  ASSERT_EQ(back.Height(), 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(back.GetPixel(x, y), bmp.GetPixel(x, y));
  qvtest::WriteFile(dir + "/bad.png", "\x89PNG\r\n\x1a\nnot really");
  EXPECT_THROW(Bitmap::LoadPng(dir + "/bad.png"), GfxError);
  EXPECT_THROW(Bitmap::LoadPng(dir + "/missing.png"), GfxError);
  EXPECT_THROW(bmp.SavePng(dir + "/no/such/folder/a.png"), GfxError);
  EXPECT_THROW(Bitmap(-1, 5), GfxError);
  // A new file gets the usual permissions, not those of a private temporary file.
  const auto perms = std::filesystem::status(dir + "/a.png").permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_read, std::filesystem::perms::none);
  EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none);
  // Nothing but the two files written on purpose is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
}

TEST(PdfTest, PagesMakeAValidFileAndAnAbortedOneLeavesNothing) {
  const std::string dir = qvtest::MakeTempDir("pdf");
  {
    PdfDocument pdf(dir + "/out.pdf", 300);
    Canvas& page = pdf.StartPage(612, 792);
    EXPECT_EQ(page.DeviceSize(), (Size{2550, 3300}));
    EXPECT_EQ(page.DpiX(), 300);
    LogFont lf;
    lf.FaceName = "Times New Roman";
    lf.Height = -50;
    page.SetFont(Font(lf));
    page.TextOut(300, 300, u"Hello");
    page.FillRect({300, 400, 900, 420}, kBlack);
    pdf.StartPage(842, 595);
    pdf.Finish();
    EXPECT_EQ(pdf.PageCount(), 2);
  }
  const std::string bytes = qvtest::ReadFile(dir + "/out.pdf");
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  EXPECT_NE(bytes.find("LiberationSerif"), std::string::npos);  // the font is embedded
  {
    PdfDocument unfinished(dir + "/gone.pdf");
    unfinished.StartPage(100, 100);
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/gone.pdf"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  PdfDocument empty(dir + "/empty.pdf");
  EXPECT_THROW(empty.Finish(), GfxError);
}

}  // namespace
}  // namespace plat
