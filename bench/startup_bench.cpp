// From the start of the program to the first painted page of a document of about 1,000 pages
// named on the command line, on the headless window system; and the background pagination that
// lays out the rest in slices, with the longest slice (the longest a key press waits).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/startup.h"
#include "bench_text.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/output/output_layer.h"
#include "files/output/save_collection.h"
#include "files/rtf/rtf_writer.h"
#include "foundation/fonts/font_manager.h"
#include "platform/backend/headless.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"

using namespace qv;
using namespace qv::bench;

namespace {

constexpr int32_t kParagraphs = 9000;  // about nine paragraphs of five lines a page

// The program runs with settings, data and temporary folders of its own, never the user's.
const bool kPrivateFolders = [] {
  char folder[] = "/tmp/qv_bench_XXXXXX";
  if (::mkdtemp(folder) == nullptr) return false;
  const std::string base = folder;
  for (const char* sub : {"/home", "/config", "/data"})
    std::filesystem::create_directories(base + sub);
  ::setenv("HOME", (base + "/home").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
  ::setenv("TMPDIR", base.c_str(), 1);
  return true;
}();

// The RTF of a generated document of about 1,000 pages, written once into a file.
std::string LongDocumentFile() {
  static std::string path;
  if (!path.empty()) return path;
  path = std::string(std::getenv("TMPDIR")) + "/long.rtf";
  const bool fonts = FontManager() != nullptr;
  if (!fonts) CreateFontManager(TFontManagerSetup{{}, 0});
  {
    TDoc doc(true);
    Lcg rng(7);
    const int32_t faces[3] = {0, 0, 0};
    for (int32_t i = 0; i < kParagraphs; ++i) {
      TPar* par = i == 0 ? doc.Par(0) : doc.AppendParagraph(stMain, DefaultParFormat);
      par->Content.SetLength(0);
      AppendWords(par->Content, rng, 60, faces);
      AppendContentTag(par->Content, ctSpecialChar, scParagraphEnd);
      par->RebuildCodes();
      par->ContentChanged();
    }
    TMemory out;
    TDocSavingOptions options;
    options.Target = TDocSavingOptions::tgMemory;
    options.Output = &out;
    doc.GetMainTextRange(options.Range);
    TSaveContext context(&doc, options);
    CollectFontsAndColors(context);
    WriteRtf(context);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.Data), out.Length);
  }
  if (!fonts) FreeFontManager();
  return path;
}

TStartupOptions Options() {
  TStartupOptions options;
  options.Headless = true;
  options.Arguments = {LongDocumentFile()};
  return WithProgramServices(options);
}

void BM_StartToFirstPaintedPage(benchmark::State& state) {
  int32_t pages = 0;
  for (auto _ : state) {
    TProgram program(Options());
    program.Start();
    plat::UpdateWindow(program.MainForm()->Handle());
    state.PauseTiming();
    pages = GetActiveDoc() ? GetActiveDoc()->PageCount() : 0;
    program.ShutDown();
    state.ResumeTiming();
  }
  state.counters["pages at first paint"] = pages;
}

// Background pagination after the first page: the timer's steps until the document is laid out
// (or stopped at its page limit); the longest step is what a key press may wait.
void BM_BackgroundPagination(benchmark::State& state) {
  double longest = 0;
  int32_t steps = 0, pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TProgram program(Options());
    program.Start();
    plat::SendMessage(program.MainForm()->Handle(), TMainForm::WM_STARTUPDONE);
    TDoc* doc = GetActiveDoc();
    doc->DiscardPages();
    doc->Paginate(0, 0);  // the first page, as shown
    plat::headless::AdvanceClock(1000);
    state.ResumeTiming();
    steps = 0;
    while (!doc->Layout.LaidOutToEnd && steps < 10000) {
      const auto t0 = std::chrono::steady_clock::now();
      program.MainForm()->WMTimer(TMainForm::tmPagination);
      const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - t0;
      longest = std::max(longest, d.count());
      ++steps;
      if (program.Dispatcher()->StateOf(doc)->PaginationStopped) break;
    }
    state.PauseTiming();
    pages = doc->PageCount();
    program.ShutDown();
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
  state.counters["steps"] = steps;
  state.counters["longest step ms"] = longest;
}

// A key press that arrives while the pagination runs: the step gives way to it. The time of each
// step with a key waiting is what that key press waits.
void BM_KeyPressDuringPagination(benchmark::State& state) {
  double longest = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TProgram program(Options());
    program.Start();
    plat::SendMessage(program.MainForm()->Handle(), TMainForm::WM_STARTUPDONE);
    TDoc* doc = GetActiveDoc();
    doc->DiscardPages();
    doc->Paginate(0, 0);
    state.ResumeTiming();
    for (int step = 0; step < 200 && !doc->Layout.LaidOutToEnd; ++step) {
      plat::headless::AdvanceClock(1000);
      plat::headless::KeyDown(plat::VK_SHIFT);  // queued, as the key press of a user
      const auto t0 = std::chrono::steady_clock::now();
      program.MainForm()->WMTimer(TMainForm::tmPagination);
      const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - t0;
      longest = std::max(longest, d.count());
      plat::headless::KeyUp(plat::VK_SHIFT);
      plat::PumpPending();
    }
    state.PauseTiming();
    program.ShutDown();
    state.ResumeTiming();
  }
  state.counters["longest wait ms"] = longest;
}

}  // namespace

BENCHMARK(BM_KeyPressDuringPagination)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StartToFirstPaintedPage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BackgroundPagination)->Unit(benchmark::kMillisecond)->Iterations(1);
