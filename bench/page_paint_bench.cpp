// Paints one full page of dense mixed text (fonts, sizes, bold, italic, underlines, strike-through,
// colours, highlights, tabs with leaders) into an off-screen bitmap at 100 % zoom. The budget is
// 5 ms per page.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"
#include "document/tab_stops.h"
#include "foundation/fonts/font_manager.h"
#include "layout/box.h"
#include "layout/layout_registration.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/box_painter.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

using namespace qv;

namespace {

const char* const kWords[] = {"the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog",
                              "layout", "paragraph", "document", "character", "measure",
                              "painting", "typography", "a", "of", "and", "to", "in"};

struct Lcg {
  uint32_t state = 4711;
  uint32_t Next(uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  }
};

void FillDocument(TDoc& doc) {
  TFontManager& fm = FontManager() != nullptr ? *FontManager() : CreateFontManager();
  const int32_t faces[] = {fm.FontIndex("Liberation Serif", kAnyCharset, true),
                           fm.FontIndex("Liberation Sans", kAnyCharset, true)};
  TTabTable tabs;
  AddTabStop(tabs, PackTabStop(4320, tkRight, tlDots));
  const auto tabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  Lcg rng;
  doc.Paragraphs.clear();
  for (int i = 0; i < 60; ++i) {
    auto par = std::make_unique<TPar>(&doc);
    par->Format = DefaultParFormat;
    par->Format.TabSet = tabSet;
    TMemory s;
    AppendContentTag(s, ctFont, faces[rng.Next(2)]);
    AppendContentTag(s, ctSize, 20 + 2 * static_cast<int32_t>(rng.Next(3)));
    if (i % 6 == 0) {
      s.AppendString("Leader");
      AppendContentTag(s, ctSpecialChar, scTab);
    }
    for (int w = 0; w < 40; ++w) {
      const uint32_t r = rng.Next(40);
      if (r == 0) AppendContentTag(s, cpBold, static_cast<int32_t>(rng.Next(2)));
      if (r == 1) AppendContentTag(s, cpItalic, static_cast<int32_t>(rng.Next(2)));
      if (r == 2) AppendContentTag(s, cpUnderline, static_cast<int32_t>(rng.Next(2)) * 4);
      if (r == 3) AppendContentTag(s, cpStrike, static_cast<int32_t>(rng.Next(2)));
      if (r == 4) AppendContentTag(s, cpColor, rng.Next(2) ? 0x0000C0 : AutoColor);
      if (r == 5) AppendContentTag(s, cpHighlight, rng.Next(2) ? 0x00FFFF : AutoColor);
      s.AppendString(kWords[rng.Next(20)]);
      s.AppendByte(' ');
    }
    AppendContentTag(s, ctSpecialChar, scParagraphEnd);
    par->Content = std::move(s);
    par->RebuildCodes();
    par->ContentChanged();
    doc.Paragraphs.push_back(std::move(par));
  }
  doc.StoryCounts = {static_cast<int32_t>(doc.Paragraphs.size()), 0, 0, 0};
  doc.ReindexParagraphs(0);
  doc.Sections.back()->LastPar = static_cast<int32_t>(doc.Paragraphs.size()) - 1;
  doc.ClearTableCache();
}

void BM_PaintFullPage(benchmark::State& state) {
  RegisterLayoutServices();
  auto doc = std::make_unique<TDoc>(true);
  FillDocument(*doc);
  doc->Paginate(0, INT32_MAX);
  TPage& page = *doc->Pages.at(0);
  UpdateBoxPixelRects(page);
  plat::Bitmap bitmap(page.PixelRect.Width(), page.PixelRect.Height());
  plat::Canvas canvas(bitmap);
  for (auto _ : state) {
    PaintPage(page, canvas, 0, 0);
    canvas.Flush();
    benchmark::ClobberMemory();
  }
  state.counters["lines"] = static_cast<double>(CollectPageLines(page, AllAreas).size());
}

}  // namespace

BENCHMARK(BM_PaintFullPage)->Unit(benchmark::kMillisecond)->MinTime(1.0);
