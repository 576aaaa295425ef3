#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/shape_props_table.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

using W = TShapeProps::TWrapStyle;

TEST(ShapePropsTest, SetGetAndDefaults) {
  struct Row {
    int32_t id, value;
    bool stored;       // a pair is kept
    int32_t readBack;  // GetProp afterwards
  };
  const Row rows[] = {
      {spPosRelH, 2, false, 2},              // the default is stored as unset
      {spPosRelH, 1, true, 1},
      {spLayoutInCell, 1, true, 1},          // always stored, though 1 is its default
      {spLockAspectRatio, 0, true, 0},       // likewise
      {spFillColor, 0xFFFFFF, false, 0xFFFFFF},
      {spFillColor, 0xFF, true, 0xFF},
      {spPib, kShapePropUnset, false, kShapePropUnset},
      {900, 114305, false, 114305},          // wrap distance default: 180 twips in EMU
      {7777, 5, true, 5},                    // an unnamed id is kept too
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    TShapeProps p;
    p.SetProp(r.id, r.value);
    EXPECT_EQ(p.HasProp(r.id), r.stored);
    EXPECT_EQ(p.GetProp(r.id), r.readBack);
  }
  TShapeProps p;
  EXPECT_EQ(p.GetProp(spFillColor), 0xFFFFFF);
  EXPECT_EQ(p.GetProp(spPib), kShapePropUnset);
}

TEST(ShapePropsTest, PairsStaySortedAndUnsetRemoves) {
  TShapeProps p;
  p.SetProp(913, 4);
  p.SetProp(1, 75);
  p.SetProp(385, 0x123456);
  p.SetProp(385, 0x654321);
  std::vector<int32_t> ids;
  for (const auto& pair : p.Pairs()) ids.push_back(pair.first);
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 385, 913}));
  EXPECT_EQ(p.GetProp(385), 0x654321);
  p.SetProp(913, 0);  // the default removes the pair
  p.SetProp(1, kShapePropUnset);
  ASSERT_EQ(p.Pairs().size(), 1u);
  EXPECT_EQ(p.Pairs()[0].first, 385);
}

TEST(ShapePropsTest, HasWrapPolygonAndBounds) {
  using P = TShapeProps::TPoint;
  struct Row {
    std::vector<P> points;
    bool has;
  };
  const Row rows[] = {
      {{}, false},
      {{{0, 0}, {100, 100}}, false},
      {DefaultWrapPolygon(), false},
      {{{0, 0}, {21600, 0}, {10800, 21600}}, true},
  };
  for (const Row& r : rows) {
    TShapeProps p;
    p.SetWrapPolygon(r.points);
    EXPECT_EQ(p.HasWrapPolygon(), r.has) << r.points.size();
  }
  // Points from a file are bounded: clamped to the polygon space and limited in number.
  TShapeProps p;
  std::vector<P> many(TShapeProps::MaxPolygonPoints + 10, P{-5, 900000});
  p.SetWrapPolygon(many);
  EXPECT_EQ(p.WrapPolygon.size(), TShapeProps::MaxPolygonPoints);
  EXPECT_EQ(p.WrapPolygon.front(), (P{0, kWrapPolygonSpan}));
}

TEST(ShapePropsTest, RtfTextWrittenAndReadBack) {
  TShape shape(nullptr);
  EXPECT_EQ(shape.Props.FormatRtfText(), "{\\sp{\\sn shapeType}{\\sv 75}}");

  TShapeProps p;
  p.SetProp(spPosH, 2);
  p.SetProp(spPosRelV, 1);
  p.SetProp(spLayoutInCell, 1);
  p.SetProp(spFillColor, 0xFF0000);
  p.SetProp(7777, 1);  // no name: not written
  const std::string text = p.FormatRtfText();
  EXPECT_EQ(text.find("7777"), std::string::npos);
  TShapeProps back;
  EXPECT_EQ(back.ParseRtfText(text), 4);
  back.SetProp(7777, 1);
  EXPECT_EQ(back, p);

  // Damaged text: unknown names, values that are not numbers and open groups are skipped.
  struct Row {
    const char* text;
    int32_t taken;
  };
  const Row rows[] = {
      {"{\\sp{\\sn nothing}{\\sv 5}}", 0},
      {"{\\sp{\\sn posh}{\\sv 5x}}", 0},
      {"{\\sp{\\sn posh}{\\sv 99999999999999}}", 0},
      {"{\\sp{\\sn posh}{\\sv 3", 0},
      {"{\\sp{\\sn POSH}{\\sv 3}}{\\sp{\\sn posv", 1},
  };
  for (const Row& r : rows) {
    TShapeProps q;
    EXPECT_EQ(q.ParseRtfText(r.text), r.taken) << r.text;
  }
}

TEST(ShapeTest, RulesScalesAndWraps) {
  TShape shape(nullptr);
  EXPECT_FALSE(shape.IsHorizontalRule());
  shape.Props.SetProp(spPctHR, 1000);
  EXPECT_TRUE(shape.IsHorizontalRule());  // from pctHR alone
  TShape rule(nullptr);
  rule.Props.SetProp(spHorizRule, 0);
  EXPECT_FALSE(rule.IsHorizontalRule());
  rule.Props.SetProp(spHorizRule, 1);
  EXPECT_TRUE(rule.IsHorizontalRule());

  shape.Props.ScaleX = 50;
  shape.Props.ScaleY = 70;
  EXPECT_EQ(shape.GetScale(), (std::array<int32_t, 2>{50, 70}));
  shape.Props.ZoomToFitPage = 1;
  shape.Props.FitScale = 33;
  EXPECT_EQ(shape.GetScale(), (std::array<int32_t, 2>{33, 33}));

  shape.Props.PicWidth = 1440;
  shape.Props.PicHeight = 1440 * 1000;
  EXPECT_EQ(shape.GetPictureSizeInPixels(), (std::array<int32_t, 2>{96, TShape::MaxPicturePixels}));

  TDoc doc(true);
  TShape floating(&doc);
  floating.Props.WrapStyle = W::Tight;
  EXPECT_EQ(floating.GetEffectiveWrap(), W::Tight);
  EXPECT_FALSE(floating.IsBehindText());  // tight without a polygon of its own
  floating.Props.SetWrapPolygon({{0, 0}, {21600, 0}, {10800, 21600}});
  EXPECT_TRUE(floating.IsBehindText());
  doc.ViewMode = vmDraft;
  EXPECT_EQ(floating.GetEffectiveWrap(), W::Square);
  floating.Props.SetProp(spBehindDocument, 0x100);  // only the low byte counts
  EXPECT_FALSE(floating.IsBehindText());
  floating.Props.SetProp(spBehindDocument, 1);
  EXPECT_TRUE(floating.IsBehindText());
}

TEST(ShapeTest, DestroyedShapeLeavesNoTagReference) {
  auto shape = std::make_unique<TShape>(nullptr);
  const int32_t ref = TagRefOf(shape.get());
  EXPECT_EQ(ShapeOfRef(ref), shape.get());
  shape.reset();
  EXPECT_EQ(ShapeOfRef(ref), nullptr);
}

TEST(ShapeTest, InlineToFloatingAndBack) {
  struct Row {
    int8_t alignment;
    int32_t posh;  // GetProp after the change
    bool poshStored;
  };
  const Row rows[] = {{0, 0, false}, {1, 2, true}, {2, 3, true}, {3, 0, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.alignment);
    TPar par(nullptr);
    par.Format.Alignment = r.alignment;
    TShape shape(nullptr);
    shape.AnchorPar = &par;
    shape.Props.PicWidth = 2000;
    shape.Props.PicHeight = 1000;
    shape.Props.ScaleX = 50;
    shape.Props.ScaleY = 200;
    shape.Props.ZoomToFitPage = 1;
    shape.Props.FitScale = 50;
    shape.Props.SetProp(spLockAspectRatio, 1);
    shape.SetFloating(true, {300, 2400});
    EXPECT_EQ(shape.Props.ShapeRect, (std::array<int32_t, 4>{300, 1900, 1300, 2400}));
    EXPECT_EQ(shape.Props.ZoomToFitPage, 0);
    EXPECT_EQ(shape.Props.GetProp(spPosH), r.posh);
    EXPECT_EQ(shape.Props.HasProp(spPosH), r.poshStored);
    EXPECT_FALSE(shape.Props.HasProp(spPosRelH));  // defaults are not stored ...
    EXPECT_TRUE(shape.Props.HasProp(spLayoutInCell));  // ... but this one always is
    EXPECT_EQ(shape.Props.GetProp(spShapeType), 75);

    // Back to inline: without a readable picture the size is 1440 x 1440 twips and the scale
    // keeps the rectangle's size.
    shape.Props.WrapStyle = W::Square;
    shape.Props.ShapeRect = {0, 0, 720, 2880};
    shape.SetFloating(false, {});
    EXPECT_EQ(shape.Props.PicWidth, 1440);
    EXPECT_EQ(shape.Props.ScaleX, 50);
    EXPECT_EQ(shape.Props.ScaleY, 200);
    EXPECT_EQ(shape.Props.ShapeRect[0], kShapePropUnset);
    ASSERT_EQ(shape.Props.Pairs().size(), 1u);  // only the aspect-ratio lock stays
    EXPECT_EQ(shape.Props.Pairs()[0].first, spLockAspectRatio);
  }
  // A floating shape made inline again without a rectangle keeps 100 %; an inline shape asked
  // to become inline is unchanged.
  TShape shape(nullptr);
  shape.Props.WrapStyle = W::Tight;
  shape.SetFloating(false, {});
  EXPECT_EQ(shape.Props.ScaleX, 100);
  TShape same(nullptr);
  same.Props.ScaleX = 70;
  same.SetFloating(false, {});
  EXPECT_EQ(same.Props.ScaleX, 70);
}

// Decodes any data into a picture of the size the first two bytes give.
struct FakeDecoder : TPictureDecoder {
  bool ReadSize(int32_t, std::span<const uint8_t> data, TSize& size) override {
    if (data.size() < 2) return false;
    size = {data[0] * 100, data[1] * 100};
    return true;
  }
  std::unique_ptr<TDecodedPicture> Decode(int32_t, std::span<const uint8_t> data) override {
    auto d = std::make_unique<TDecodedPicture>();
    d->Width = data[0] * 100;
    d->Height = data[1] * 100;
    d->ByteSize = int64_t{d->Width} * d->Height * 3;
    return d;
  }
};

TEST(PictureTest, LifeCycleAndBudget) {
  TShape shape(nullptr);
  EXPECT_TRUE(shape.Graphic->Unloaded());
  EXPECT_EQ(shape.Graphic->PictureKind, TDocGraphic::TKind::None);
  shape.Graphic->SetUnloaded(false);  // no file: stays unloaded
  EXPECT_TRUE(shape.Graphic->Unloaded());

  // Without the layout's codecs nothing decodes: the picture is a placeholder.
  const uint8_t data[] = {10, 8, 1, 2};
  ASSERT_TRUE(shape.Graphic->AttachData(data, TDocGraphic::TKind::Png));
  shape.Graphic->SetUnloaded(false);
  EXPECT_TRUE(shape.Graphic->Unloaded());
  EXPECT_TRUE(shape.Graphic->Damaged());

  ScopedService<TPictureDecoder, FakeDecoder> decoder;
  const int64_t before = LoadedPictureBytes();
  std::string file;
  {
    TShape picture(nullptr);
    ASSERT_TRUE(picture.SetPictureData(data, TDocGraphic::TKind::Png));
    file = picture.Graphic->FileName;
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(picture.Props.PicWidth, 1000 * 15);
    EXPECT_EQ(picture.Props.PicHeight, 800 * 15);
    picture.Graphic->SetUnloaded(false);
    EXPECT_FALSE(picture.Graphic->Unloaded());
    EXPECT_EQ(LoadedPictureBytes() - before, 2400000);
    picture.Graphic->SetUnloaded(true);
    EXPECT_EQ(LoadedPictureBytes(), before);
    picture.Graphic->SetUnloaded(false);
  }
  EXPECT_EQ(LoadedPictureBytes(), before);  // destroying releases the decoded form
  EXPECT_FALSE(std::filesystem::exists(file));  // and deletes the file

  // A claimed size beyond the budget is never decoded; the size is kept for the placeholder.
  TShape huge(nullptr);
  const uint8_t big[] = {255, 255};
  ASSERT_TRUE(huge.SetPictureData(big, TDocGraphic::TKind::Png));
  huge.Graphic->SetUnloaded(false);
  EXPECT_TRUE(huge.Graphic->Unloaded());
  EXPECT_TRUE(huge.Graphic->Damaged());
  EXPECT_EQ(huge.Props.PicWidth, 25500 * 15);
  EXPECT_EQ(LoadedPictureBytes(), before);
}

}  // namespace
