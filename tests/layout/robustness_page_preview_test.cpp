// The page-layout preview drawn from page, column and envelope values as a damaged document can
// hold them: every field at the ends of the 32-bit range. The drawing stays inside its bitmap.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

#include "document/page_params.h"
#include "document/section.h"
#include "layout/page_preview.h"

using namespace qv;

namespace {

constexpr int32_t kValues[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 180, 1440, 31680, INT32_MAX};

TEST(LayoutValueRobustness, PagePreviewOfAnyValues) {
  plat::Bitmap target(120, 90);
  std::mt19937 rng(29);
  auto any = [&rng] { return kValues[rng() % std::size(kValues)]; };
  for (int i = 0; i < 300; ++i) {
    TPageParams p;
    InitPageParams(p);
    if (i % 2) {
      p.PageWidth = any();
      p.PageHeight = any();
      p.LeftMargin = any();
      p.TopMargin = any();
      p.TextWidth = any();
      p.HeaderDistance = any();
    }
    TSectionFormat f = DefaultSectionFormat();
    f.ColumnCount = any();
    f.Spacing = any();
    TEnvelopeLayout envelope{any(), any(), any(), any()};
    TPageNumberPlacement numbers{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    const plat::Rect rects[] = {{0, 0, 120, 90}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {10, 10, 12, 12}};
    plat::Canvas canvas(target);
    DrawPageLayoutPreview(canvas, rects[i % 3], p, any(), uint32_t(rng()), numbers, i % 2 == 0,
                          i % 3 ? &f : nullptr, i % 4 ? &envelope : nullptr);
    canvas.Flush();
  }
}

}  // namespace
