#pragma once
// Helpers of the text operation tests: a document with the engine and the text operations'
// provider registered, edits run through the dispatcher, and undo and redo proved exact.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../edit_test_support.h"
#include "document/compound_fragment.h"
#include "editing/edit_codes.h"
#include "editing/edit_operation_providers.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_providers.h"
#include "editing/ops/text_edit_services.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

// Text services with switchable answers.
struct TestTextServices : TTextEditServices {
  bool Overtype = false;
  bool OvertypeMode() override { return Overtype; }
  bool Replacing = false;
  bool FindReplaceRunning() override { return Replacing; }
};

struct OpsScope {
  TEngineScope Engine;
  ScopedService<TEditOperationProviders> Providers{MakeTextEditProviders()};
  ScopedService<TTextEditServices, TestTextServices> Text;
};

inline TDocPosition Pos(int32_t par, int32_t off) {
  TDocPosition p;
  MakePosition(par, off, p);
  return p;
}

inline void Select(TDoc& doc, const std::vector<TDocRange>& ranges) {
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->SetCount(static_cast<int32_t>(ranges.size()));
  for (size_t i = 0; i < ranges.size(); ++i) *doc.Selection->GetRange(static_cast<int32_t>(i)) = ranges[i];
  doc.Selection->RefreshLastRange();
}

inline void Caret(TDoc& doc, int32_t par, int32_t off) {
  doc.ClearSelection();
  if (doc.Selection) doc.Selection->SetSingleRange(par, off, par, off);
  doc.Caret = Pos(par, off);
}

// Types 8-bit text (code 13).
inline void TypeBytes(TDoc& doc, const std::string& text, int32_t flags = 0) {
  TMemory m;
  m.AppendString(text);
  void* args[] = {&m, &flags};
  doc.ExecuteEdit(ecTypeText, args, 1);
}

inline void TypeWide(TDoc& doc, const std::u16string& text) {
  TMemory m;
  m.AppendWideString(text);
  int32_t flags = idfUtf16;
  void* args[] = {&m, &flags};
  doc.ExecuteEdit(ecTypeText, args, 1);
}

inline void DeleteRange(TDoc& doc, const TDocRange& r, int32_t flags = 0) {
  TDocRange range = r;
  int32_t count = 0;
  void* args[] = {nullptr, &range, &count, &flags};
  doc.ExecuteEdit(ecDeleteText, args, 3);
}

// Undo brings back `before` exactly, redo `after`, and undo once more `before` again.
inline void ExpectUndoRedoExact(TDoc& doc, const std::string& before, int undoSteps = 1) {
  const std::string after = DumpDoc(doc);
  for (int i = 0; i < undoSteps; ++i) doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
  for (int i = 0; i < undoSteps; ++i) doc.Redo();
  EXPECT_EQ(DumpDoc(doc), after);
  for (int i = 0; i < undoSteps; ++i) doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

}  // namespace qv

namespace qv {

// A message box that records what it was shown and answers a fixed result.
struct RecordingBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Answer = mrYes;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return Answer;
  }
};

inline void SetSmartCutPaste(bool on) {
  uint32_t& flags = GetOptions().Edit.Flags;
  flags = on ? (flags | eoSmartCutPaste) : (flags & ~eoSmartCutPaste);
}

// Smart Cut & Paste on or off for a scope, then as it was.
struct ScopedSmartCutPaste {
  explicit ScopedSmartCutPaste(bool on) : saved(GetOptions().Edit.Flags) { SetSmartCutPaste(on); }
  ~ScopedSmartCutPaste() { GetOptions().Edit.Flags = saved; }
  uint32_t saved;
};

}  // namespace qv
