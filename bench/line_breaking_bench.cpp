// Breaks a generated document of about 1,000 pages (about 2.5 million characters of mixed
// paragraphs: several fonts and sizes, bold runs, tab tables, justified and left-aligned) into
// lines with the layout's line fitter, and reports characters per second and the peak memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench_text.h"
#include "document/content_tags.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/tab_stops.h"
#include "foundation/fonts/font_manager.h"
#include "layout/line_fitter.h"

using namespace qv;
using bench::Lcg;
using bench::PeakRssKb;

namespace {

struct Document {
  std::vector<std::unique_ptr<TPar>> pars;
  int64_t chars = 0;
};

Document MakeDocument(int64_t targetChars) {
  TFontManager& fm = FontManager() != nullptr ? *FontManager() : CreateFontManager();
  const int32_t fonts[] = {fm.FontIndex("Liberation Serif", kAnyCharset, true),
                           fm.FontIndex("Liberation Sans", kAnyCharset, true),
                           fm.FontIndex("Liberation Mono", kAnyCharset, true)};
  const int32_t sizes[] = {20, 22, 24, 28};
  TTabTable tabs;
  AddTabStop(tabs, PackTabStop(2880, tkLeft, 1));
  AddTabStop(tabs, PackTabStop(5760, tkDecimal, 0));
  AddTabStop(tabs, PackTabStop(8640, tkRight, 0));
  const int16_t tabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  Document doc;
  Lcg rng;
  while (doc.chars < targetChars) {
    auto par = std::make_unique<TPar>(nullptr);
    par->Format = DefaultParFormat;
    par->Format.Alignment = static_cast<int8_t>(rng.Next(3) == 0 ? 0 : 3);
    TMemory s;
    AppendContentTag(s, ctFont, fonts[rng.Next(3)]);
    AppendContentTag(s, ctSize, sizes[rng.Next(4)]);
    if (rng.Next(5) == 0) {  // a table row of tabs
      par->Format.TabSet = tabSet;
      bench::AppendTabTable(s, rng);
    }
    bench::AppendWords(s, rng, 40 + rng.Next(160), fonts);
    AppendContentTag(s, ctSpecialChar, scParagraphEnd);
    par->Content = s;
    par->RebuildCodes();
    par->ContentChanged();
    doc.chars += par->CharCount();
    doc.pars.push_back(std::move(par));
  }
  return doc;
}

void BM_BreakDocumentIntoLines(benchmark::State& state) {
  RegisterLayoutLineFitter();
  const Document doc = MakeDocument(2500000);
  int64_t lines = 0;
  for (auto _ : state) {
    lines = 0;
    for (auto& par : doc.pars) {
      BreakParagraphIntoLines(*par, 0, 9360, nullptr);
      lines += par->LineCount();
    }
    benchmark::DoNotOptimize(lines);
  }
  state.counters["chars/s"] =
      benchmark::Counter(static_cast<double>(doc.chars), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["chars"] = static_cast<double>(doc.chars);
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["pages(~46 lines)"] = static_cast<double>(lines) / 46.0;
  state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
}

}  // namespace

BENCHMARK(BM_BreakDocumentIntoLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);
