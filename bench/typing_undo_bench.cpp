// Types 10,000 characters one by one into the middle of a document of about 1,000 pages (each
// through the edit dispatcher, with undo recording and the post-edit update), then undoes them
// all; reports the time per typed character and the memory the undo list takes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <memory>
#include <string>

#include "document/content_tags.h"
#include "document/doc.h"
#include "editing/edit_codes.h"
#include "editing/edit_layout_hooks.h"
#include "document/edit_services.h"
#include "editing/edit_operation_providers.h"
#include "editing/editing_services.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

// The typing code's least form: one character at the caret as one typing operation.
struct BenchTyping : TEditOperationProviders {
  bool RunOperation(TDoc& doc, uint8_t code, void* const* args, int32_t) override {
    if (code != ecTypeText) return false;
    const TMemory& text = *static_cast<const TMemory*>(args[0]);
    auto* op = static_cast<TOperation*>(doc.CurrentOperation);
    op->Flags |= text.Data[0] == ' ' ? TOperation::ofTypedSpace : TOperation::ofTypedChar;
    op->GroupKey = 1;
    TSubOperation::Execute(TInsDelOperation::ForInsert(doc, text, doc.Caret, stMain, 0));
    doc.Caret.Offset += text.Length;
    doc.CurrentPostActions().Caret = doc.Caret;
    doc.CurrentPostActions().HasCaret = true;
    return true;
  }
};

// Layout hooks that keep no log (re-breaking stays as the default does it).
struct QuietHooks : TEditLayoutHooks {
  QuietHooks() { KeepLog = false; }
};

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_TypeAndUndo(benchmark::State& state) {
  RegisterEditingServices();
  ScopedService<TEditOperationProviders, BenchTyping> typing;
  ScopedService<TEditLayoutHooks, QuietHooks> hooks;
  const int32_t kParagraphs = 25000;  // about 1,000 pages of short paragraphs
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<TDoc>(true);
    for (int32_t i = 0; i < kParagraphs; ++i) {
      TPar* p = i == 0 ? doc->Par(0) : doc->AppendParagraph(stMain, DefaultParFormat);
      p->Content.Clear();
      p->Content.AppendString("The quick brown fox jumps over the lazy dog, paragraph " +
                              std::to_string(i) + ".");
      AppendContentTag(p->Content, ctSpecialChar, scParagraphEnd);
      p->RebuildCodes();
    }
    MakePosition(kParagraphs / 2, 4, doc->Caret);
    const long before = PeakKb();
    state.ResumeTiming();
    TMemory ch;
    for (int32_t i = 0; i < 10000; ++i) {
      ch.Clear();
      ch.AppendByte(static_cast<uint8_t>(i % 7 == 6 ? ' ' : 'a' + i % 26));
      void* args[] = {&ch};
      doc->ExecuteEdit(ecTypeText, args, 0);
    }
    state.counters["undo_list_kb"] = static_cast<double>(PeakKb() - before);
    doc->UndoAll();
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["us_per_char"] = benchmark::Counter(
      10000.0 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  RegisterEditServices(nullptr);
}

}  // namespace

BENCHMARK(BM_TypeAndUndo)->Unit(benchmark::kMillisecond)->Iterations(1);
