#include "editing/operation.h"

#include <algorithm>

#include "document/field.h"
#include "editing/edit_flags.h"
#include "editing/edit_layout_hooks.h"
#include "editing/field_text_snapshot.h"

namespace qv {

namespace {

const char* const kOperationNames[OperationNameCount] = {
    "operation", "change page settings", "save selection to file", "save picture to file",
    "shrink page count", "format paragraph", "format tabs", "apply style",
    "format document styles", "font format", "format brush", "highlight", "font color", "paste",
    "paste all formatting", "text input", "insert symbol", "insert picture", "insert file",
    "insert function", "delete text", "Drag & Drop", "replace text", "Find/Replace",
    "join paragraphs", "split paragraphs", "sort paragraphs", "update style",
    "convert between keyboard layouts", "upper case", "lower case", "invert case",
    "change case (sentence)", "change case (heading)", "change font character set",
    "calculate expression", "format picture", "apply document template", "spellcheck",
    "change language", "change default language", "AutoCorrect", "format sections",
    "format bookmarks", "format hyperlinks", "deactivate hyperlinks", "Table Of Contents",
    "insert field", "remove fields", "update fields", "change section break",
    "Header and Footer", "Same as Previous", "Page Numbers", "Envelope", "Add to Clip Library",
    "Insert Clip", "Hyphenation", "Lists", "move paragraphs", "footnotes/endnotes", "thesaurus",
    "format table", "change document properties", "index", "lock/unlock selection",
    "horizontal line", "fast navigation", "drop caps"};

uint32_t g_serial = 0;

}  // namespace

const char* OperationName(int32_t index) {
  return index >= 0 && index < OperationNameCount ? kOperationNames[index] : kOperationNames[0];
}

uint32_t LastIssuedOperationSerial() { return g_serial; }

TOperation::TOperation(TDoc& doc, uint8_t nameIndex)
    : Serial(++g_serial), NameIndex(nameIndex), Doc(&doc) {
  SelectionBefore = doc.Selection ? CloneFragment(*doc.Selection) : AcquireFragment();
  SelectionAfter = AcquireFragment();
  CaretBefore = doc.Caret;
  if (doc.HeaderFooterInPlace != nullptr) {
    FieldBefore = doc.HeaderFooterInPlace;
    CaptureFieldTexts(doc, FieldTextsBefore);
    HasFieldTextsBefore = true;
  }
}

TOperation::~TOperation() {
  if (Paired != nullptr) Paired->Paired = nullptr;
  // Records go last to first: a later record may refer to objects an earlier one owns.
  while (!Records.empty()) Records.pop_back();
}

void TOperation::CaptureFieldTextsAfter() {
  if (Doc->HeaderFooterInPlace == nullptr) return;
  FieldAfter = Doc->HeaderFooterInPlace;
  CaptureFieldTexts(*Doc, FieldTextsAfter);
  HasFieldTextsAfter = true;
}

namespace {

std::string ProgressText(const char* format, const char* name) {
  std::string text = format;
  text.replace(text.find("%s"), 2, name);
  return text;
}

}  // namespace

void TOperation::Undo() {
  // The header edited in place shows again exactly what it showed when the operation ended.
  if (HasFieldTextsAfter) {
    const TDocPosition caret = Doc->Caret;
    RestoreFieldTexts(*Doc, FieldTextsAfter, FieldAfter);
    Doc->Caret = caret;
  }
  TPostActions& pa = Doc->CurrentPostActions();
  const bool progress = NeedsProgress();
  if (progress)
    EditLayoutHooks().StartProgress(*Doc, ProgressText("Undoing %s ...", Name()),
                                    static_cast<int32_t>(Records.size()));
  for (size_t i = Records.size(); i-- > 0;) {
    pa.ScrollTarget = PostActionNone;
    Records[i]->Undo();
    if (progress) EditLayoutHooks().StepProgress(*Doc, static_cast<int32_t>(Records.size() - i));
  }
  if (progress) EditLayoutHooks().EndProgress(*Doc);
  if (!pa.Selection) pa.Selection = AcquireFragment();
  pa.Selection->Assign(*SelectionBefore);
  pa.Caret = CaretBefore;
  pa.HasCaret = true;
  if (Paired != nullptr && !Doc->IsDocFlagSet(dfPairedGuard)) {
    TDoc& other = *Paired->Doc;
    if (other.UndoPosition >= 0 &&
        other.UndoList[static_cast<size_t>(other.UndoPosition)].get() == Paired) {
      other.SetDocFlag(dfPairedGuard, true);
      other.Undo(true);
      other.SetDocFlag(dfPairedGuard, false);
      NotedAfterUndo = &other;
    }
  }
}

void TOperation::Redo() {
  if (HasFieldTextsBefore) {
    const TDocPosition caret = Doc->Caret;
    RestoreFieldTexts(*Doc, FieldTextsBefore, FieldBefore);
    Doc->Caret = caret;
  }
  TPostActions& pa = Doc->CurrentPostActions();
  const bool progress = NeedsProgress();
  if (progress)
    EditLayoutHooks().StartProgress(*Doc, ProgressText("Redoing %s ...", Name()),
                                    static_cast<int32_t>(Records.size()));
  for (size_t i = 0; i < Records.size(); ++i) {
    Records[i]->Redo();
    if (progress) EditLayoutHooks().StepProgress(*Doc, static_cast<int32_t>(i));
  }
  if (progress) EditLayoutHooks().EndProgress(*Doc);
  if (!pa.Selection) pa.Selection = AcquireFragment();
  pa.Selection->Assign(*SelectionAfter);
  pa.Caret = CaretAfter;
  pa.HasCaret = true;
  if (Paired != nullptr && !Doc->IsDocFlagSet(dfPairedGuard)) {
    TDoc& other = *Paired->Doc;
    const size_t next = static_cast<size_t>(other.UndoPosition + 1);
    if (next < other.UndoList.size() && other.UndoList[next].get() == Paired) {
      other.SetDocFlag(dfPairedGuard, true);
      other.Redo();
      other.SetDocFlag(dfPairedGuard, false);
      NotedAfterRedo = &other;
    }
  }
}

void TOperation::Rollback() {
  for (size_t i = Records.size(); i-- > 0;) Records[i]->Undo();
  while (!Records.empty()) Records.pop_back();
}

}  // namespace qv
