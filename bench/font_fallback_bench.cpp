// The fallback font search for a character that the typing font lacks. "Repeated" searches come
// after a first one, as every further keystroke or pasted copy of the character asks again;
// "Cold" ones follow a font change, after which the font manager has forgotten every face's
// coverage and reads the character maps again. A character that no installed font has is the
// worst case: the search tries every face.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "document/char_format.h"
#include "document/doc.h"
#include "editing/ops/font_fallback.h"
#include "foundation/fonts/font_manager.h"

using namespace qv;

namespace {

constexpr uint32_t kInNoFont = 0x13000;   // an Egyptian hieroglyph
constexpr uint32_t kInFewFonts = 0x1D400;  // mathematical bold capital A

TFontManager& Manager() {
  if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  return *FontManager();
}

void Search(benchmark::State& state, uint32_t c, bool cold) {
  TFontManager& fm = Manager();
  TDoc doc(true);
  TCharFormat format = DefaultCharFormat;
  format.Font = fm.FontIndex("Liberation Sans", kAnyCharset, false);
  FindFallbackFont(doc, c, format);
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      fm.FontsChanged();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(FindFallbackFont(doc, c, format));
  }
  state.counters["faces"] = static_cast<double>(fm.Families.size());
}

void BM_FallbackMissingRepeated(benchmark::State& state) { Search(state, kInNoFont, false); }
void BM_FallbackMissingCold(benchmark::State& state) { Search(state, kInNoFont, true); }
void BM_FallbackFoundRepeated(benchmark::State& state) { Search(state, kInFewFonts, false); }
void BM_FallbackFoundCold(benchmark::State& state) { Search(state, kInFewFonts, true); }

}  // namespace

BENCHMARK(BM_FallbackMissingRepeated);
BENCHMARK(BM_FallbackMissingCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FallbackFoundRepeated);
BENCHMARK(BM_FallbackFoundCold)->Unit(benchmark::kMillisecond);
