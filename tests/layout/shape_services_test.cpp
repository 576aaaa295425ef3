#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "document/pictures.h"
#include "document/shape.h"
#include "layout/layout_fixture.h"
#include "layout/pictures/png_codec.h"
#include "layout/shape_services.h"

using namespace qv;

namespace {

std::vector<uint8_t> PngBytes(int32_t w, int32_t h) {
  TPNGImage image(w, h, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) image.SetColor(x, y, 0x00336699);
  return image.SaveToBytes();
}

class ShapeServicesTest : public LayoutTest {
 protected:
  ScopedService<TPictureDecoder> decoder_{MakeLayoutPictureDecoder()};
  ScopedService<TInlineShapeService> shapes_{MakeLayoutInlineShapeService()};
};

TEST_F(ShapeServicesTest, PictureFromPngBytes) {
  TShape shape(nullptr);
  ASSERT_TRUE(shape.SetPictureData(PngBytes(40, 30), TDocGraphic::TKind::Png));
  EXPECT_EQ(shape.Props.PicWidth, 600);
  EXPECT_EQ(shape.Props.PicHeight, 450);
  const int64_t before = LoadedPictureBytes();
  shape.Graphic->SetUnloaded(false);
  ASSERT_FALSE(shape.Graphic->Unloaded());
  EXPECT_EQ(shape.Graphic->Decoded()->Width, 40);
  EXPECT_EQ(LoadedPictureBytes() - before, 40 * 30 * 3);
  shape.Graphic->SetUnloaded(true);
  EXPECT_EQ(LoadedPictureBytes(), before);
  EXPECT_EQ(shape.Graphic->GetColorCount(), 1);  // one colour throughout

  // A picture of many colours stops counting after the row in which the count passes 256.
  TPNGImage many(40, 40, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x) many.SetColor(x, y, static_cast<uint32_t>(y * 40 + x));
  TShape colourful(nullptr);
  ASSERT_TRUE(colourful.SetPictureData(many.SaveToBytes(), TDocGraphic::TKind::Png));
  EXPECT_EQ(colourful.Graphic->GetColorCount(), 280);  // seven rows of 40
}

TEST_F(ShapeServicesTest, DamagedPictureDataIsRefusedCleanly) {
  const std::vector<uint8_t> good = PngBytes(8, 8);
  std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  std::vector<uint8_t> badSignature = good;
  badSignature[1] = 'X';
  std::vector<uint8_t> hugeHeader = good;  // IHDR claims 100000 x 100000 pixels
  for (size_t at : {size_t{16}, size_t{20}}) {
    hugeHeader[at] = 0;
    hugeHeader[at + 1] = 0x01;
    hugeHeader[at + 2] = 0x86;
    hugeHeader[at + 3] = 0xA0;
  }
  struct Row {
    const char* name;
    std::vector<uint8_t> data;
    bool sizeKnown;  // the placeholder keeps the size the header gives
  };
  const Row rows[] = {
      {"empty", {}, false},
      {"truncated", truncated, true},
      {"bad signature", badSignature, false},
      {"huge header", hugeHeader, true},
      {"metafile garbage as metafile", {1, 2, 3, 4, 5, 6, 7, 8}, false},
  };
  const int64_t before = LoadedPictureBytes();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TShape shape(nullptr);
    const auto kind = std::string(r.name).starts_with("metafile") ? TDocGraphic::TKind::Metafile
                                                                   : TDocGraphic::TKind::Png;
    EXPECT_EQ(shape.SetPictureData(r.data, kind), r.sizeKnown);
    shape.Graphic->SetUnloaded(false);
    EXPECT_TRUE(shape.Graphic->Unloaded());
    EXPECT_TRUE(shape.Graphic->Damaged());
    EXPECT_EQ(LoadedPictureBytes(), before);
    if (r.sizeKnown) EXPECT_GT(shape.Props.PicWidth, 0);
  }
}

TEST_F(ShapeServicesTest, InlineShapesMeasuredThroughTheService) {
  auto lineWith = [this](TShape& shape) {
    Start(serif);
    Text("ab");
    AppendContentTag(stream, ctInlineShape, TagRefOf(&shape));
    Text("cd");
    Finish();
    Break(12000);
    return std::make_pair(Line(0).Height, Line(0).Positions[3] - Line(0).Positions[2]);
  };
  TShape full(nullptr), half(nullptr), removed(nullptr);
  for (TShape* s : {&full, &half, &removed}) {
    s->Props.PicWidth = 2880;
    s->Props.PicHeight = 2880;
  }
  half.Props.ScaleX = half.Props.ScaleY = 50;
  removed.Flags |= TShape::FlagRemoved;
  const auto [fullHeight, fullWidth] = lineWith(full);
  const auto [halfHeight, halfWidth] = lineWith(half);
  const auto [removedHeight, removedWidth] = lineWith(removed);
  EXPECT_GE(fullHeight, 2880);
  EXPECT_GE(halfHeight, 1440);
  EXPECT_LT(halfHeight, fullHeight);
  EXPECT_NEAR(halfWidth * 2, fullWidth, 2);
  EXPECT_EQ(removedWidth, 0);  // a removed shape takes no room
  EXPECT_LT(removedHeight, 1440);

  // A horizontal rule is the whole line; its share of the line comes from pctHR.
  TShape rule(nullptr);
  rule.Props.SetProp(spPctHR, 500);
  Start(serif);
  AppendContentTag(stream, ctInlineShape, TagRefOf(&rule));
  Finish();
  Break(12000);
  EXPECT_TRUE(Line(0).HasFlag(lfHorizontalRule));

  // A picture fitted to the text area gets the scale the line chose.
  TShape fitted(nullptr);
  fitted.Props.PicWidth = 24000;
  fitted.Props.PicHeight = 1000;
  fitted.Props.ZoomToFitPage = 1;
  lineWith(fitted);
  EXPECT_EQ(fitted.Props.FitScale, 50);
  EXPECT_EQ(fitted.GetScale()[0], 50);
}

TEST_F(ShapeServicesTest, ScaledCopyAfterRepeatedDrawsAtOneSize) {
  struct Row {
    int32_t scale, zoom, width, height;
    bool dimmed;
    std::vector<bool> used;  // per draw
  };
  const Row rows[] = {
      {50, 100, 300, 200, false, {false, false, false, true, true}},
      {100, 100, 300, 200, false, {false, false, false, false, false}},  // its own size
      {100, 150, 300, 200, false, {false, false, false, true}},
      {50, 100, 100, 100, false, {false, false, false, false}},          // too small
      {100, 100, 300, 200, true, {true, true}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.scale * 1000 + r.zoom);
    TShape shape(nullptr);
    ASSERT_TRUE(shape.SetPictureData(PngBytes(300, 200), TDocGraphic::TKind::Png));
    shape.Props.ScaleX = shape.Props.ScaleY = r.scale;
    shape.Graphic->SetUnloaded(false);
    for (size_t i = 0; i < r.used.size(); ++i)
      EXPECT_EQ(shape.Graphic->PrepareScaledCopy(r.width, r.height, r.dimmed, r.zoom), r.used[i]) << i;
  }
}

TEST_F(ShapeServicesTest, WrapPolygonTracedFromPixels) {
  using Poly = std::vector<std::array<int32_t, 2>>;
  const Poly corners = {{21600, 0}, {21600, 21600}, {0, 21600}, {0, 0}};
  auto picture = [](int32_t size, int32_t squareFrom, int32_t squareTo) {
    TPNGImage image(size, size, TPixelFormat::pf24bit);
    for (int32_t y = 0; y < size; ++y)
      for (int32_t x = 0; x < size; ++x) {
        const bool in = x >= squareFrom && x < squareTo && y >= squareFrom && y < squareTo;
        image.SetColor(x, y, in ? 0 : 0xFFFFFF);
      }
    return image.SaveToBytes();
  };
  {
    TShape white(nullptr);
    ASSERT_TRUE(white.SetPictureData(picture(40, 0, 0), TDocGraphic::TKind::Png));
    EXPECT_EQ(white.Graphic->TraceWrapPolygon(), corners);
  }
  {
    TShape damaged(nullptr);
    const uint8_t junk[] = {1, 2, 3};
    damaged.SetPictureData(junk, TDocGraphic::TKind::Png);
    EXPECT_EQ(damaged.Graphic->TraceWrapPolygon(), corners);
  }
  // A black square in the middle of white: the outline lies close round the square.
  TShape square(nullptr);
  ASSERT_TRUE(square.SetPictureData(picture(60, 20, 40), TDocGraphic::TKind::Png));
  const Poly poly = square.Graphic->TraceWrapPolygon();
  ASSERT_GE(poly.size(), 4u);
  EXPECT_EQ(poly.front(), poly.back());
  int32_t minX = 21600, maxX = 0, minY = 21600, maxY = 0;
  for (const auto& p : poly) {
    minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
    minY = std::min(minY, p[1]), maxY = std::max(maxY, p[1]);
  }
  const int32_t tolerance = 21600 * 4 / 60;  // four pixels
  EXPECT_NEAR(minX, 21600 * 20 / 60, tolerance);
  EXPECT_NEAR(maxX, 21600 * 40 / 60, tolerance);
  EXPECT_NEAR(minY, 21600 * 20 / 60, tolerance);
  EXPECT_NEAR(maxY, 21600 * 40 / 60, tolerance);
  EXPECT_TRUE(square.Graphic->Unloaded() || !IsPictureMemoryOverLimit());
}

}  // namespace
