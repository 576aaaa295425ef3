#include "foundation/graphics/offscreen_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/ui/caret_shapes.h"
#include "foundation/base/geometry.h"

using namespace qv;

namespace {

// The x positions in row y that hold the pixel value.
std::vector<int32_t> Marked(TServiceBitmap& b, int32_t y, uint32_t pixel) {
  std::vector<int32_t> xs;
  const uint32_t* row = b.Bitmap().ScanLine(y);
  for (int32_t x = 0; x < b.Width; ++x) {
    if ((row[x] & 0xFFFFFF) == pixel) xs.push_back(x);
  }
  return xs;
}

int32_t CountNonZero(TServiceBitmap& b) {
  int32_t n = 0;
  for (int32_t y = 0; y < b.Height; ++y) {
    for (int32_t x = 0; x < b.Width; ++x) n += b.Bitmap().ScanLine(y)[x] != 0;
  }
  return n;
}

class LineWidthScope {
 public:
  explicit LineWidthScope(int32_t width) : saved_(LineWidth) { LineWidth = width; }
  ~LineWidthScope() { LineWidth = saved_; }

 private:
  int32_t saved_;
};

TEST(ServiceBitmap, FillsAreClippedAndEmptyOnesWriteNothing) {
  TServiceBitmap b(10, 10);
  struct Empty {
    int32_t left, top, bottom, right;
  };
  const Empty empties[] = {{5, 5, 8, 5}, {5, 5, 5, 8}, {6, 2, 8, 4}, {20, 20, 30, 30},
                           {-9, -9, -1, -1}};
  for (const Empty& e : empties) b.FillArea(e.left, e.top, 0x0000FF, e.bottom, e.right);
  EXPECT_EQ(CountNonZero(b), 0);

  b.FillArea(-5, -5, 0x0000FF, 3, 2);  // red 0x00BBGGRR becomes pixel 0x00FF0000
  EXPECT_EQ(CountNonZero(b), 6);
  EXPECT_EQ(b.Bitmap().ScanLine(2)[1], 0x00FF0000u);
  EXPECT_EQ(b.Bitmap().ScanLine(3)[1], 0u);
}

TEST(ServiceBitmap, FrameAndPixel) {
  TServiceBitmap b(10, 10);
  b.FrameBounds(1, 1, 0x00FF00, 4, 5);  // [1, 6) x [1, 5)
  EXPECT_EQ(Marked(b, 1, 0x00FF00), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Marked(b, 2, 0x00FF00), (std::vector<int32_t>{1, 5}));
  EXPECT_EQ(Marked(b, 4, 0x00FF00), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(Marked(b, 5, 0x00FF00).empty());

  b.Bitmap().ScanLine(7)[7] = 0xAB000000;
  b.SetPixel(7, 7, 0x123456);
  EXPECT_EQ(b.Bitmap().ScanLine(7)[7], 0xAB563412u);  // the fourth byte is left
  b.SetPixel(10, 0, 0xFFFFFF);
  b.SetPixel(-1, 0, 0xFFFFFF);
  EXPECT_EQ(CountNonZero(b), 15);
}

TEST(ServiceBitmap, PatternLinesAlignToOrigin) {
  struct Case {
    int32_t pattern, x1, x2, originX;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      {0, 5, 11, 0, {6, 8, 10}},              // 4 would be the period start but lies before x1
      {0, 5, 11, 1, {5, 7, 9, 11}},
      {1, 0, 10, 0, {0, 3, 6, 9}},
      {3, 0, 19, 0, {0, 3, 8, 11, 16, 19}},
      {4, 0, 15, 0, {0, 1, 3, 4, 8, 9, 11, 12}},
      {0, -6, 3, 0, {0, 2}},                  // clipped at the left bound
      {0, 14, 40, 0, {14, 16, 18}},           // and at the right one
      {7, 0, 19, 0, {}},                      // no such pattern
  };
  for (const Case& c : cases) {
    TServiceBitmap b(20, 4);
    b.PatternOrigin = {c.originX, 0};
    b.PatternHLine(c.x1, c.x2, c.pattern, 0xFFFFFF, 1);
    EXPECT_EQ(Marked(b, 1, 0xFFFFFF), c.want) << "pattern " << c.pattern << " from " << c.x1;
  }
}

TEST(ServiceBitmap, PatternLinesAreLineWidthThick) {
  LineWidthScope scope(2);
  TServiceBitmap b(20, 20);
  b.PatternHLine(0, 5, 0, 0xFFFFFF, 3);
  EXPECT_EQ(Marked(b, 3, 0xFFFFFF), (std::vector<int32_t>{0, 2, 4}));
  EXPECT_EQ(Marked(b, 4, 0xFFFFFF), (std::vector<int32_t>{0, 2, 4}));
  EXPECT_TRUE(Marked(b, 5, 0xFFFFFF).empty());

  TServiceBitmap v(20, 20);
  v.PatternVLine(10, 0, 2, 0x0000FF, 12);
  EXPECT_EQ(Marked(v, 5, 0xFF0000), (std::vector<int32_t>{10, 11}));
  EXPECT_TRUE(Marked(v, 4, 0xFF0000).empty());
  EXPECT_EQ(CountNonZero(v), 6);  // rows 0, 5 and 10, two columns each
}

TEST(ServiceBitmap, GrowsButNeverShrinks) {
  TServiceBitmap b(10, 10);
  b.GrowTo(5, 30);
  EXPECT_EQ(b.Width, 10);
  EXPECT_EQ(b.Height, 30);
  EXPECT_EQ(b.Bitmap().Height(), 30);
  EXPECT_EQ(b.Bounds, (plat::Rect{0, 0, 10, 30}));
}

TEST(CaretBitmap, SameSizeKeepsTheBitmap) {
  TCaretBitmap caret;
  EXPECT_EQ(caret.Shape(), nullptr);
  caret.SetSize(2, 16);
  const plat::Bitmap* first = caret.Shape();
  ASSERT_NE(first, nullptr);
  caret.SetSize(2, 16);
  EXPECT_EQ(caret.Shape(), first);
  caret.SetSize(3, 16);
  EXPECT_EQ(caret.Shape()->Width(), 3);
  EXPECT_EQ(caret.Height(), 16);
}

}  // namespace
