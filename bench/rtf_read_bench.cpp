// Reading a generated RTF document of about 1,000 pages (text with character formatting and
// Unicode characters, styles, tables, lists, footnotes, fields and pictures) into a document.
// Counters: the file's size, and the peak memory the first read added, as a multiple of it.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_text.h"
#include "document/doc.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_reader.h"
#include "foundation/fonts/font_manager.h"

using namespace qv;
using namespace qv::bench;

namespace {

constexpr int kPages = 1000;
const char* const kPng =
    "89504e470d0a1a0a0000000d49484452000000040000000308020000003b963991000000104944415478"
    "9c6338212707470c383900f5c70c3107ebad990000000049454e44ae426082";

void AppendWordsRtf(std::string& s, Lcg& rng, int n) {
  for (int w = 0; w < n; ++w) {
    const uint32_t style = rng.Next(30);
    if (style == 0) s += "{\\b ";
    else if (style == 1) s += "{\\i\\cf1 ";
    s += kWords[rng.Next(35)];
    if (style <= 1) s += "}";
    if (rng.Next(40) == 0) s += " \\u8212?";
    if (rng.Next(60) == 0) s += " caf\\'e9";
    s += rng.Next(12) == 0 ? ", " : " ";
  }
}

std::string MakeDocument() {
  Lcg rng;
  std::string s =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
      "{\\colortbl;\\red200\\green0\\blue0;}"
      "{\\stylesheet{\\s0\\fs24 Normal;}{\\s1\\sbasedon0\\snext0\\b\\fs32 heading 1;}}"
      "{\\*\\listtable{\\list\\listid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}\\fi-360\\li720}}}"
      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
      "{\\header\\pard\\qc Running head {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\n";
  for (int page = 0; page < kPages; ++page) {
    s += "\\pard\\s1\\sb240\\sa120 Chapter " + std::to_string(page + 1) + "\\par\n";
    for (int p = 0; p < 5; ++p) {
      s += "\\pard\\s0\\fi360\\sa120 ";
      AppendWordsRtf(s, rng, 80);
      if (p == 2) s += "{\\super\\chftn}{\\footnote\\pard\\s0{\\super\\chftn} A note on this page.}";
      s += "\\par\n";
    }
    for (int item = 0; item < 2; ++item) {
      s += "\\pard\\ls1\\fi-360\\li720 ";
      AppendWordsRtf(s, rng, 8);
      s += "\\par\n";
    }
    if (page % 5 == 0) {
      for (int row = 0; row < 3; ++row) {
        s += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\cellx9000\\pard\\intbl ";
        for (int cell = 0; cell < 3; ++cell) {
          AppendWordsRtf(s, rng, 2);
          s += "\\cell ";
        }
        s += "\\row\n";
      }
    }
    if (page % 10 == 0) s += std::string("\\pard{\\pict\\pngblip\\picwgoal600\\pichgoal450 ") + kPng + "}\\par\n";
  }
  s += "}";
  return s;
}

void BM_ReadRtfDocument(benchmark::State& state) {
  if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  std::string file = MakeDocument();
  std::vector<uint8_t> bytes(file.begin(), file.end());
  const int64_t before = PeakRssKb();
  int64_t paragraphs = 0;
  for (auto _ : state) {
    TDoc doc(true);
    TOpenContext context;
    context.Document = &doc;
    context.BeginMemoryRead(bytes.data(), static_cast<int32_t>(bytes.size()), 0);
    const bool ok = ReadRtf(context);
    FinishReadText(context);
    AppendReadStories(context);
    paragraphs = doc.ParCount();
    benchmark::DoNotOptimize(ok);
  }
  const int64_t added = PeakRssKb() - before;
  state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
  state.counters["paragraphs"] = static_cast<double>(paragraphs);
  state.counters["peak_x_file"] = static_cast<double>(added) * 1024.0 / static_cast<double>(file.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}

}  // namespace

BENCHMARK(BM_ReadRtfDocument)->Unit(benchmark::kMillisecond);
