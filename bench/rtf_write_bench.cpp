// Writing a document of about 1,000 pages as RTF, and converting RTF to a document and back.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_text.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "files/output/output_layer.h"
#include "files/output/save_collection.h"
#include "files/rtf/rtf_writer.h"
#include "foundation/fonts/font_manager.h"

using namespace qv;
using namespace qv::bench;

namespace {

constexpr int32_t kParagraphs = 9000;  // about nine paragraphs of five lines a page

void EnsureFonts() {
  if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
}

std::unique_ptr<TDoc> MakeDocument() {
  auto doc = std::make_unique<TDoc>(true);
  Lcg rng(7);
  const int32_t fonts[3] = {0, 0, 0};
  for (int32_t i = 0; i < kParagraphs; ++i) {
    TPar* par = i == 0 ? doc->Par(0) : doc->AppendParagraph(stMain, DefaultParFormat);
    par->Content.SetLength(0);
    AppendWords(par->Content, rng, 30, fonts);
    AppendContentTag(par->Content, ctBold, 1);
    AppendWords(par->Content, rng, 3, fonts);
    AppendContentTag(par->Content, ctBold, 0);
    AppendWords(par->Content, rng, 30, fonts);
    AppendContentTag(par->Content, ctSpecialChar, scParagraphEnd);
    par->RebuildCodes();
    par->ContentChanged();
  }
  return doc;
}

std::string WriteToMemory(TDoc& doc) {
  TMemory out;
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgMemory;
  options.Output = &out;
  doc.GetMainTextRange(options.Range);
  TSaveContext context(&doc, options);
  CollectFontsAndColors(context);
  WriteRtf(context);
  return std::string(reinterpret_cast<const char*>(out.Data), static_cast<size_t>(out.Length));
}

void BM_WriteRtf(benchmark::State& state) {
  EnsureFonts();
  auto doc = MakeDocument();
  size_t bytes = 0;
  for (auto _ : state) bytes = WriteToMemory(*doc).size();
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_RtfToDocumentToRtf(benchmark::State& state) {
  EnsureFonts();
  auto source = MakeDocument();
  std::string rtf = WriteToMemory(*source);
  for (auto _ : state) {
    TDoc doc(true);
    TDocOpeningOptions options;
    options.From = TDocOpeningOptions::Source::Memory;
    options.FormatIndex = 0;
    options.Block = reinterpret_cast<uint8_t*>(rtf.data());
    options.Length = static_cast<int32_t>(rtf.size());
    DocOpen(doc, options);
    benchmark::DoNotOptimize(WriteToMemory(doc).size());
  }
}

}  // namespace

BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfToDocumentToRtf)->Unit(benchmark::kMillisecond);
