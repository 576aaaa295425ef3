#include <gtest/gtest.h>

#include <cstdint>

#include "layout/layout_fixture.h"

using namespace qv;

namespace {

// Damaged or unusual streams (any tag kind with any value, absurd formats, widths of 0 and
// less, shapes everywhere) must still break into lines that cover the whole stream in order,
// without hanging.
class FittingRobustnessTest : public LayoutTest {
 protected:
  uint32_t state = 2026;
  uint32_t Next(uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  }
  int32_t AnyValue() {
    const int32_t values[] = {0, 1, -1, 24, 48, 3000, -3000, INT32_MAX, INT32_MIN, 0x7FFF, 255};
    return values[Next(11)];
  }
  void RandomParagraph() {
    Start(Next(2) == 0 ? serif : sans, 20 + 4 * static_cast<int32_t>(Next(3)));
    const uint32_t items = 1 + Next(200);
    for (uint32_t i = 0; i < items; ++i) {
      const uint32_t what = Next(10);
      if (what < 6) {
        stream.AppendByte(static_cast<uint8_t>(Next(3) == 0 ? ' ' : 33 + Next(223)));
      } else if (what == 6) {
        AppendContentTag(stream, ctSpecialChar, static_cast<int32_t>(3 + Next(18)));
      } else if (what == 7) {
        const uint8_t kinds[] = {ctFont, ctSize, ctBold, cpAllCaps, cpSmallCaps, cpScript,
                                 cpSpacing, cpVertOffset, cpKerning, cpScale};
        const uint8_t kind = kinds[Next(10)];
        int32_t value = AnyValue();
        if (kind == ctFont) value = Next(2) == 0 ? serif : value;
        if (kind == ctSize || kind == cpScale) value = Next(3) == 0 ? value : 16 + Next(40);
        AppendContentTag(stream, kind, value);
      } else {
        const uint8_t kinds[] = {ctWideChar, ctInlineShape, ctFieldStart, ctFieldEnd, 31 - 1};
        AppendContentTag(stream, kinds[Next(5)], AnyValue());
      }
    }
    Finish();
  }
};

struct HugeShapes : TInlineShapeService {
  TInlineShapeInfo Describe(int32_t ref, int32_t) override {
    TInlineShapeInfo info;
    info.Width = ref == INT32_MAX ? INT32_MAX : 2000;
    info.Height = ref == INT32_MIN ? INT32_MAX : 500;
    info.ScaleX = info.ScaleY = ref == 255 ? 100000 : 100;
    info.HorizontalRule = ref == 1;
    info.FitToTextArea = ref == -1;
    return info;
  }
};

TEST_F(FittingRobustnessTest, EveryStreamIsCoveredByItsLines) {
  ScopedService<TInlineShapeService, HugeShapes> shapes;
  const int32_t widths[] = {-500, 0, 1, 700, 4000, 12000};
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    RandomParagraph();
    par->Format.Alignment = static_cast<int8_t>(Next(4));
    const int32_t width = widths[Next(6)];
    TWrapContext wrap;
    const bool wrapped = Next(2) == 0;
    if (wrapped) {
      wrap.RightLimit = std::max(width, 1);
      wrap.MinBandHeight = 100;
      wrap.MinBandWidth = 100;
      for (uint32_t r = Next(4); r > 0; --r) {
        const int32_t left = static_cast<int32_t>(Next(8000)), top = static_cast<int32_t>(Next(3000));
        wrap.Exclusions.push_back({left, top, left + 1 + static_cast<int32_t>(Next(6000)),
                                   top + 1 + static_cast<int32_t>(Next(2000))});
      }
    }
    BreakParagraphIntoLines(*par, 0, width, wrapped ? &wrap : nullptr);
    ASSERT_GE(LineCount(), 1u);
    int32_t offset = 0, chars = 0;
    for (size_t i = 0; i < LineCount(); ++i) {
      const TLine& l = Line(i);
      ASSERT_EQ(l.StreamOffset, offset) << i;
      ASSERT_EQ(l.FirstChar, chars) << i;
      ASSERT_EQ(l.Positions.size(), static_cast<size_t>(l.Count) + 1) << i;
      EXPECT_GE(l.Height, 0) << i;
      offset += l.StreamLength;
      chars += l.Count;
    }
    EXPECT_EQ(offset, static_cast<int32_t>(par->Content.Length));
    EXPECT_EQ(chars, par->CharCount());
  }
}

}  // namespace
