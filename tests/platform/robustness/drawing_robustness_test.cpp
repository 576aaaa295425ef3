// Drawing with coordinates, sizes and advances at the ends of the 32-bit range (as a damaged
// document or picture can hand down): nothing faults, overflows or writes outside the bitmap.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"
#include "platform/gfx/region.h"

namespace {

using plat::Bitmap;
using plat::Canvas;
using plat::Point;
using plat::Rect;

constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;

const Rect kRects[] = {
    {kMin, kMin, kMax, kMax}, {kMax, kMax, kMin, kMin}, {kMin, 0, kMin + 5, 10},
    {kMax - 5, 0, kMax, 10},  {2, 2, 6, 6},             {-5, -5, 0, 0},
};

// Polygons reaching 2^31 pixels away used to be scanned over a quarter of a million rows each.
TEST(DrawingRobustness, ExtremeRectanglesAndPointsForEveryOperation) {
  Bitmap target(16, 12);
  Bitmap source(8, 8);
  source.Fill(0x00FF0000);
  Bitmap wrongMask(3, 3);  // not the source's size
  const std::vector<Point> points = {{kMin, kMin}, {kMax, kMax}, {kMin, kMax}, {kMax, kMin}, {3, 3}, {kMax, 0}, {0, kMin}};
  const std::vector<std::function<void(Canvas&, const Rect&)>> ops = {
      [](Canvas& c, const Rect& r) { c.FillRect(r, 0x0000FF00); },
      [](Canvas& c, const Rect& r) { c.FrameRect(r, 0x0000FF00); },
      [](Canvas& c, const Rect& r) { c.InvertRect(r); },
      [](Canvas& c, const Rect& r) { c.Rectangle(r); },
      [](Canvas& c, const Rect& r) { c.Ellipse(r); },
      [](Canvas& c, const Rect& r) { c.RoundRect(r, kMax, kMin); },
      [](Canvas& c, const Rect& r) { c.IntersectClipRect(r); c.ExcludeClipRect(r); c.ClearClip(); },
      [](Canvas& c, const Rect& r) { c.RectVisible(r); },
      [](Canvas& c, const Rect& r) { c.FillRegion(plat::Region(r), 0x000000FF); },
      [](Canvas& c, const Rect& r) { c.InvertRegion(plat::Region(r)); },
      [](Canvas& c, const Rect& r) { c.TintRegion(plat::Region(r), 0x000000FF, 128); },
      [&](Canvas& c, const Rect& r) { c.DrawBitmap(r.left, r.top, source, r); },
      [&](Canvas& c, const Rect& r) { c.StretchBitmap(r, source, source.Bounds(), true); },
      [&](Canvas& c, const Rect& r) { c.StretchBitmap({0, 0, 16, 12}, source, r, false); },
      [&](Canvas& c, const Rect& r) { c.DrawTransparent(r.right, r.bottom, source, r, 0); },
      [&](Canvas& c, const Rect& r) { c.DrawMasked(r.left, r.bottom, source, source.Bounds(), wrongMask); },
      [&](Canvas& c, const Rect& r) { c.AlphaBlend(r, source, r, 200); },
      [&](Canvas& c, const Rect& r) { c.SetOrigin({r.left, r.bottom}); c.Polygon(points); c.Polyline(points); c.LineTo(r.right, r.top); },
      [&](Canvas& c, const Rect& r) { c.SetOrigin({r.right, r.top}); c.PolyBezier(points); c.SetPixel(r.left, r.top, 1); c.GetPixel(r.right, r.bottom); },
  };
  for (const Rect& r : kRects) {
    for (size_t i = 0; i < ops.size(); ++i) {
      Canvas canvas(target);
      ops[i](canvas, r);
      canvas.Flush();
    }
  }
  EXPECT_EQ(target.Width(), 16);
}

TEST(DrawingRobustness, ExtremeAdvancesAndPositionsOfText) {
  Bitmap target(40, 20);
  const std::vector<int32_t> advances[] = {
      {kMax, kMax, kMax, kMax}, {kMin, kMin, kMin, kMin}, {kMax, kMin, kMax, kMin}, {kMax}};
  const uint32_t aligns[] = {plat::align::Left, plat::align::Right, plat::align::Center};
  for (const auto& dx : advances) {
    for (uint32_t a : aligns) {
      for (const Point& at : {Point{kMax, kMax}, Point{kMin, kMin}, Point{5, 15}}) {
        Canvas canvas(target);
        canvas.SetBkMode(plat::BkMode::Opaque);
        canvas.SetTextAlign(a | plat::align::UpdateCP);
        canvas.MoveTo(at.x, at.y);
        const Rect clip{0, 0, 40, 20};
        canvas.ExtTextOut(at.x, at.y, 0, &clip, std::string_view("abcd"), dx);
        // A surrogate pair takes the advances of both its units.
        canvas.ExtTextOut(at.x, at.y, 0, nullptr, std::u16string_view(u"\xD83D\xDE00xy"), dx);
        canvas.TextOut(at.x, at.y, std::u16string_view(u"\xDC00\xD800"));
        canvas.Flush();
      }
    }
  }
  EXPECT_EQ(target.Width(), 40);
}

TEST(DrawingRobustness, LogicalFontsWithAbsurdValues) {
  Bitmap target(30, 20);
  const int32_t values[] = {kMin, kMin + 1, -1, 0, 1, kMax};
  for (int32_t v : values) {
    plat::LogFont lf;
    lf.FaceName = v < 0 ? std::string(300, 'x') : "Liberation Sans";
    lf.Height = v;
    lf.Width = -(v / 2);
    lf.Escapement = v;
    lf.Weight = v;
    lf.CharSet = v;
    plat::Font font(lf);
    Canvas canvas(target);
    canvas.SetFont(font);
    canvas.TextOut(2, 2, std::u16string_view(u"Ab"));
    canvas.TextExtent(std::string_view("Ab"));
    const plat::TextMetrics tm = canvas.GetTextMetrics();
    EXPECT_GE(tm.Height, 0) << v;
    canvas.Flush();
  }
}

TEST(DrawingRobustness, BitmapSizesOutOfRange) {
  const struct {
    int32_t w, h;
  } cases[] = {{-1, 5}, {5, -1}, {kMax, 1}, {1, kMax}, {kMin, kMin}, {40000, 40000}};
  for (const auto& c : cases) {
    EXPECT_THROW(Bitmap(c.w, c.h), plat::GfxError) << c.w << " x " << c.h;
    Bitmap b(2, 2);
    EXPECT_THROW(b.Resize(c.w, c.h), plat::GfxError);
    EXPECT_EQ(b.Width(), 2);  // a refused size leaves the bitmap as it was
  }
  Bitmap empty(0, 0);
  Canvas canvas(empty);
  canvas.FillRect({0, 0, 10, 10}, 0);
  canvas.Flush();
}

}  // namespace
