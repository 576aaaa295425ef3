#include "document/par_format.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qv;

namespace {

TEST(ParFormat, LayoutMatchesWidthAndOffsetTables) {
  // The accessors work on the packed bytes; the named fields must sit exactly there.
  for (int n = 0; n < TParFormat::Count; ++n) {
    TParFormat f = UnsetParFormat;
    SetParFormatProp(f, n, 1);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&f);
    EXPECT_EQ(bytes[ParFormatPropOffset(n)], 1) << n;
  }
  TParFormat f = UnsetParFormat;
  f.List = 0x01020304;
  f.Shading = 7;
  EXPECT_EQ(GetParFormatProp(f, ppList), 0x01020304);
  EXPECT_EQ(GetParFormatProp(f, ppShading), 7);
  EXPECT_EQ(ParFormatPropWidth(ppTabSet), 2);
  EXPECT_EQ(ParFormatPropOffset(ppBorders), 34);
}

TEST(ParFormat, ValuesAndUnsetMarkersByWidth) {
  struct Case {
    int prop;
    int32_t stored;
    int32_t readBack;
  };
  const Case cases[] = {
      {ppAlignment, ParUnset32, ParUnset32}, {ppLineRule, 2, 2},
      {ppSpaceBefore, -20, -20},             {ppFirstIndent, -360, -360},
      {ppKeepNext, 1, 1},                    {ppStyle, ParUnset32, ParUnset32},
      {ppShading, -1, -1},                   {ppList, ParUnset32, ParUnset32},
      {ppOutlineLevel, 0x180, ParUnset32},  // truncated to the byte 0x80, the unset marker
  };
  for (const Case& c : cases) {
    TParFormat f = DefaultParFormat;
    SetParFormatProp(f, c.prop, c.stored);
    EXPECT_EQ(GetParFormatProp(f, c.prop), c.readBack) << c.prop;
    EXPECT_EQ(IsParFormatPropUnset(f, c.prop), c.readBack == ParUnset32) << c.prop;
  }
  TParFormat f = DefaultParFormat;
  SetParFormatProp(f, ppAlignment, ParUnset32);
  EXPECT_EQ(static_cast<uint8_t>(f.Alignment), 0x80);
  SetParFormatProp(f, ppLeftIndent, ParUnset32);
  EXPECT_EQ(static_cast<uint16_t>(f.LeftIndent), 0x8000);
  EXPECT_EQ(GetParFormatProp(UnsetParFormat, ppShading), ParUnset32);
}

TEST(ParFormat, ProgramWideFormats) {
  EXPECT_TRUE(IsParFormatEmpty(UnsetParFormat));
  EXPECT_FALSE(IsParFormatEmpty(DefaultParFormat));
  EXPECT_EQ(DefaultParFormat.LineSpacing, 240);
  EXPECT_EQ(DefaultParFormat.OutlineLevel, 9);
  EXPECT_EQ(DefaultParFormat.Shading, static_cast<int32_t>(0xFF000000u));
  EXPECT_EQ(PlainParFormat.Alignment, ParUnset8);
  EXPECT_EQ(PlainParFormatWidow.WidowControl, 1);
  EXPECT_EQ(TableParFormat.InTable, 1);
}

TEST(ParFormat, FillApplyIntersect) {
  TParFormat f = UnsetParFormat;
  f.LeftIndent = 720;
  FillUnsetParFormat(f, DefaultParFormat);
  EXPECT_EQ(f.LeftIndent, 720);
  EXPECT_EQ(f.LineSpacing, 240);
  EXPECT_EQ(f.Shading, static_cast<int32_t>(0xFF000000u));

  TParFormat g = DefaultParFormat;
  ApplyParFormat(g, UnsetParFormat);
  EXPECT_TRUE(ParFormatsEqual(g, DefaultParFormat));
  TParFormat h = UnsetParFormat;
  h.Alignment = 3;
  ApplyParFormat(g, h);
  EXPECT_EQ(g.Alignment, 3);

  IntersectParFormat(g, DefaultParFormat);
  EXPECT_EQ(g.Alignment, ParUnset8);
  EXPECT_EQ(g.LineSpacing, 240);
}

TEST(ParFormat, SubtractPairsIndentsAndSpacing) {
  struct Case {
    int16_t first, left, spacing, rule;
    int16_t wantFirst, wantLeft, wantSpacing, wantRule;
  };
  // Base: DefaultParFormat (first 0, left 0, spacing 240, rule 1).
  const Case cases[] = {
      {0, 720, 240, 1, ParUnset16, 720, ParUnset16, ParUnset16},
      {0, 0, 240, 0, ParUnset16, ParUnset16, 240, 0},  // equal spacing, other rule: both kept
      {-360, 720, 360, 1, -360, 720, 360, 1},
      {-360, 0, 240, 1, -360, 0, ParUnset16, ParUnset16},
  };
  for (const Case& c : cases) {
    TParFormat f = DefaultParFormat;
    f.FirstIndent = c.first;
    f.LeftIndent = c.left;
    f.LineSpacing = c.spacing;
    f.LineRule = c.rule;
    f.KeepNext = 1;
    SubtractParFormat(f, DefaultParFormat);
    EXPECT_EQ(f.FirstIndent, c.wantFirst);
    EXPECT_EQ(f.LeftIndent, c.wantLeft);
    EXPECT_EQ(f.LineSpacing, c.wantSpacing);
    EXPECT_EQ(f.LineRule, c.wantRule);
    EXPECT_EQ(f.KeepNext, 1);
    EXPECT_EQ(f.Alignment, ParUnset8);
    EXPECT_EQ(f.Shading, ParUnset32);
  }
}

}  // namespace
