// Reading and writing a 10 MB plain-text file in each encoding (bytes per second of the file).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "document/doc.h"
#include "files/output/output_layer.h"
#include "files/output/save_file.h"
#include "files/text/plain_text_reader.h"
#include "files/text/plain_text_writer.h"
#include "files/text/text_encodings.h"
#include "foundation/fonts/font_manager.h"
#include "platform/system/memory_policy.h"

using namespace qv;

namespace {

// About 10 MB of lines of mixed text in the encoding (letters of its own code page for 4..11).
std::string MakeFile(int32_t encoding) {
  static const char16_t* const kLines[TextEncodingCount] = {
      u"Grüße, Жизнь, Ωμέγα and plain words of an ordinary line of text.",
      u"Grüße, Жизнь, Ωμέγα and plain words of an ordinary line of text.",
      u"Grüße, Жизнь, Ωμέγα and plain words of an ordinary line of text.",
      u"Grüße, Жизнь, Ωμέγα and plain words of an ordinary line of text.",
      u"Příliš žluťoučký kůň úpěl ďábelské ódy, zażółć gęślą jaźń.",
      u"Съешь же ещё этих мягких французских булок, да выпей чаю.",
      u"Voix ambiguë d'un cœur qui au zéphyr préfère les jattes de kiwis.",
      u"Ξεσκεπάζω την ψυχοφθόρα βδελυγμία και άλλες λέξεις εδώ.",
      u"Pijamalı hasta yağız şoföre çabucak güvendi, İstanbul.",
      u"דג סקרן שט בים מאוכזב ולפתע מצא חברה נאמנה לדרכו.",
      u"نص حكيم له سر قاطع وذو شأن عظيم مكتوب على ثوب أخضر.",
      u"Įlinkdama fechtuotojo špaga sublykčiojusi pragręžė apvalų arbūzą.",
  };
  const std::string line = EncodePlainText(kLines[encoding], encoding) +
                           LineEndBytes(leCRLF, encoding);
  std::string file = ByteOrderMark(encoding);
  while (file.size() < 10'000'000) file += line;
  return file;
}

// The font manager, and freed memory kept for reuse as the program's start-up keeps it.
void EnsureFonts() {
  plat::KeepFreedMemory(plat::ProgramFreedMemoryKept);
  if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
}

void BM_ReadText(benchmark::State& state) {
  EnsureFonts();
  const int32_t encoding = static_cast<int32_t>(state.range(0));
  const std::string file = MakeFile(encoding);
  TTxtReadOptions options;
  options.Encoding = encoding;
  options.FromFile = false;
  for (auto _ : state) {
    TDoc doc(true);
    const TTxtReadResult r =
        ReadTxt(doc, reinterpret_cast<const uint8_t*>(file.data()), file.size(), options);
    benchmark::DoNotOptimize(r.Ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size()));
}

void ReadFile(TDoc& doc, const std::string& file, int32_t encoding) {
  TTxtReadOptions read;
  read.Encoding = encoding;
  read.FromFile = false;
  ReadTxt(doc, reinterpret_cast<const uint8_t*>(file.data()), file.size(), read);
}

// Writes the whole document as a file in the temporary folder through the output layer, and
// removes it again: the flush to the disk and the rename are left out (they measure the disk).
void WriteDoc(TDoc& doc, int32_t encoding) {
  TDocSavingOptions options;
  options.Format = 6;
  options.CodePage = encoding;
  const int32_t last = doc.ParCount() - 1;
  MakeRange(0, 0, last, doc.Par(last)->CharCount(), options.Range);
  TSaveContext context(&doc, options);
  TSaveFile file;
  if (!file.Create((std::filesystem::temp_directory_path() / "qv_plain_text_bench.txt").string()))
    return;
  context.File = &file;
  benchmark::DoNotOptimize(WriteTxt(context));
  file.Discard();
}

// The same document written again and again (what the first writing leaves in it stays).
void BM_WriteText(benchmark::State& state) {
  EnsureFonts();
  const int32_t encoding = static_cast<int32_t>(state.range(0));
  const std::string file = MakeFile(encoding);
  TDoc doc(true);
  ReadFile(doc, file, encoding);
  for (auto _ : state) WriteDoc(doc, encoding);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size()));
}

// A document written for the first time after it was read (its paragraphs brought to normal form
// by the writing).
void BM_WriteReadText(benchmark::State& state) {
  EnsureFonts();
  const int32_t encoding = static_cast<int32_t>(state.range(0));
  const std::string file = MakeFile(encoding);
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<TDoc>(true);
    ReadFile(*doc, file, encoding);
    state.ResumeTiming();
    WriteDoc(*doc, encoding);
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size()));
}

}  // namespace

// Each measures after a warm-up: a first read in a fresh process pays for faulting in all the
// memory the document takes (see platform/system/memory_policy.h), which depends on the machine.
#define QV_TEXT_BENCHMARK(name)                         \
  BENCHMARK(name)                                       \
      ->DenseRange(0, TextEncodingCount - 1)            \
      ->MinWarmUpTime(0.3)                              \
      ->Unit(benchmark::kMillisecond)

QV_TEXT_BENCHMARK(BM_ReadText);
QV_TEXT_BENCHMARK(BM_WriteText);
QV_TEXT_BENCHMARK(BM_WriteReadText);
