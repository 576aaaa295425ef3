// The delete commands of the edit range: Delete and Backspace (one character or the selection),
// the word and line deletions, and the joining of two tables that a deletion brought together.
#include <algorithm>

#include "commands/command_options.h"
#include "commands/command_routines.h"
#include "commands/edit_command_parts.h"
#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "document/par.h"
#include "editing/edit_codes.h"
#include "editing/operation.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/undo_stack.h"
#include "foundation/text/word_delimiters.h"

namespace qv {

namespace {

constexpr int32_t kDeleteCells = 16150;
constexpr uint8_t kJoinTables = 76;
constexpr uint32_t kBackward = 0x800;

bool InTable(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() && doc.Par(par)->Format.InTable == 1;
}

bool EmptyParagraph(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() && doc.ParLength(par) == 1;
}

void DeleteRange(TDoc& doc, const TDocRange& range, uint32_t flags) {
  TDocRange r = range;
  int32_t count = 0;
  int32_t word = static_cast<int32_t>(flags);
  void* args[] = {nullptr, &r, &count, &word};
  doc.ExecuteEdit(ecDeleteText, args, 3);
}

// Consecutive one-character deletions undo together like typing.
void MarkAsTyping(TDoc& doc, uint8_t code) {
  TOperation* op = OperationAt(doc, doc.UndoPosition);
  if (op == nullptr) return;
  op->Flags |= code == scLineBreak || code == 32 ? TOperation::ofTypedSpace : TOperation::ofTypedChar;
  op->GroupKey = 1;
}

uint8_t CodeAt(const TDoc& doc, const TDocPosition& at) {
  if (at.Par < 0 || at.Par >= doc.ParCount() || at.Offset < 0 || at.Offset >= doc.ParLength(at.Par)) return 0;
  return doc.Par(at.Par)->CodeAt(at.Offset);
}

void DeleteNextCharacter(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const TDocPosition caret = doc.Caret;
  if (doc.IsNoteEndAt(caret)) {
    ShowNoteMarkMessage();
    return;
  }
  TDocRange storyRange;
  doc.GetCurrentStoryRange(storyRange);
  // The last mark of the current story (or of the header or footer edited in place) stays: the
  // range past it would join the next story's paragraph or take a header away.
  int32_t storyLastPar = storyRange.End.Par;
  if (storyRange.End.Offset == 0 && storyLastPar > storyRange.Start.Par) --storyLastPar;
  const bool atLastMark = caret.Par >= storyLastPar && caret.Offset + 1 >= doc.ParLength(caret.Par);
  TDocRange range{caret, caret};
  if (caret.Offset + 1 < doc.ParLength(caret.Par)) MakePosition(caret.Par, caret.Offset + 1, range.End);
  else if (caret.Par + 1 < doc.ParCount() && !atLastMark) MakePosition(caret.Par + 1, 0, range.End);
  // An empty paragraph between two tables goes, and the tables may join.
  const int32_t story = doc.StoryOfParagraph(caret.Par);
  run.Manager.TableJoin = caret.Offset == 0 && EmptyParagraph(doc, caret.Par) && !InTable(doc, caret.Par) &&
                          caret.Par != doc.LastParagraphOfStory(story) && InTable(doc, caret.Par - 1) &&
                          InTable(doc, caret.Par + 1);
  const uint8_t code = CodeAt(doc, caret);
  const bool separator = WordDelimiters[code];
  const bool wholeStory = storyRange.Start.Par == storyRange.End.Par && doc.ParLength(storyRange.Start.Par) <= 1;
  const uint32_t before = LastSerial(doc);
  {
    TScopedDocFlag story(doc, dfDeletingWholeStory, wholeStory);
    DeleteRange(doc, range, idfWholeLastParagraph);
  }
  if (separator) EditCmd().RescheduleSpellcheck(doc);
  if (LastSerial(doc) != before) MarkAsTyping(doc, code);
}

void DeletePreviousCharacter(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const TDocPosition caret = doc.Caret;
  TDocRange storyRange;
  doc.GetCurrentStoryRange(storyRange);
  if (ComparePositions(caret, storyRange.Start) <= 0) return;
  TDocRange range{caret, caret};
  if (caret.Offset > 0) MakePosition(caret.Par, caret.Offset - 1, range.Start);
  else MakePosition(caret.Par - 1, doc.ParLength(caret.Par - 1) - 1, range.Start);
  if (doc.IsNoteEndAt(range.Start)) {
    ShowNoteMarkMessage();
    return;
  }
  run.Manager.TableJoin = caret.Offset == 0 && InTable(doc, caret.Par) && EmptyParagraph(doc, caret.Par - 1) &&
                          !InTable(doc, caret.Par - 1) && InTable(doc, caret.Par - 2);
  const uint8_t code = CodeAt(doc, range.Start);
  const uint32_t before = LastSerial(doc);
  DeleteRange(doc, range, kBackward);
  if (LastSerial(doc) != before) MarkAsTyping(doc, code);
}

// The laid-out line that holds the position: its first and its end (exclusive) offsets, and
// whether it is the paragraph's last line or ends with a break.
bool LineAround(TDoc& doc, const TDocPosition& at, int32_t& first, int32_t& end, bool& lastOrBreak) {
  doc.EnsureParagraphLaidOut(at.Par);
  const TPar& par = *doc.Par(at.Par);
  for (size_t i = 0; i < par.Lines.size(); ++i) {
    const TLine& line = *par.Lines[i];
    const bool last = i + 1 == par.Lines.size();
    if (at.Offset < line.FirstChar || (at.Offset >= line.FirstChar + line.Count && !last)) continue;
    first = line.FirstChar;
    end = line.FirstChar + line.Count;
    const uint8_t lastCode = end > 0 && end <= par.CharCount() ? par.CodeAt(end - 1) : 0;
    lastOrBreak = last || lastCode == scLineBreak || lastCode == scPageBreak || lastCode == scColumnBreak;
    return true;
  }
  first = 0;
  end = par.CharCount();
  lastOrBreak = true;
  return par.CharCount() > 0;
}

void DeleteWordOrLine(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const TDocPosition at = doc.HasSelection() && doc.IsSingleFragmentSelection() ? doc.Selection->GetRange(0)->Start
                                                                                 : doc.Caret;
  TDocRange range{at, at};
  if (run.Id == 3240) range.Start = doc.PrevWordStart(at);
  else if (run.Id == 3260) range.End = doc.NextWordStart(at);
  else {
    int32_t first = 0, end = 0;
    bool lastOrBreak = false;
    if (!LineAround(doc, at, first, end, lastOrBreak)) return;
    if (lastOrBreak) end = std::max(first, end - 1);
    if (run.Id != 3320) MakePosition(at.Par, first, range.Start);
    if (run.Id != 3300) MakePosition(at.Par, end, range.End);
  }
  if (ComparePositions(range.Start, range.End) == 0) return;
  if (doc.RangeHasNoteEndMark(range)) {
    ShowNoteMarkMessage();
    return;
  }
  if (doc.HasSelection()) {
    doc.ClearSelection();
    doc.Caret = at;
  }
  uint32_t flags = EditOption(opt::EditSmartCutPaste) ? idfSmartSpacing : 0;
  if (run.Id >= 3260) flags |= idfWholeLastParagraph;
  DeleteRange(doc, range, flags);
  if (run.Id == 3280 || run.Id == 3300) {
    doc.Caret = range.Start;
    doc.Caret.Line = 0;
  }
  PlaySound(sndDelete);
}

}  // namespace

bool RunDeleteCommand(TEditRun& run) {
  const int32_t id = run.Id;
  if (id != 3200 && id != 3220 && id != 3240 && id != 3260 && id != 3280 && id != 3300 && id != 3320)
    return false;
  if (run.Doc == nullptr) return true;
  TDoc& doc = *run.Doc;
  if (id >= 3240) {
    DeleteWordOrLine(run);
    return true;
  }
  if (id == 3200 && (doc.HasSelection() || !doc.SelectedShapes.empty())) {
    DeleteSelectionCommand(true);
    return true;
  }
  if (id == 3220 && doc.HasSelection()) {
    if (doc.IsCellSelection(*doc.Selection)) run.Manager.Execute(kDeleteCells);
    else DeleteSelectionCommand(false);
    return true;
  }
  if (id == 3200) DeleteNextCharacter(run);
  else DeletePreviousCharacter(run);
  PlaySound(sndDelete);
  return true;
}

void JoinTablesAfterDeletion(TEditRun& run) {
  if (!run.Manager.TableJoin || run.Doc == nullptr || !AutocorrectOption(opt::AutocorrectJoinTables)) return;
  TDoc& doc = *run.Doc;
  const TDocPosition caret = doc.Caret;
  if (doc.HasSelection() || caret.Offset != 0 || !InTable(doc, caret.Par) || !InTable(doc, caret.Par - 1)) return;
  TDocRange row;
  doc.GetRowRange(caret.Par, row);
  if (row.Start.Par != caret.Par) return;
  TDocPosition at = caret;
  void* args[] = {&at};
  doc.ExecuteEdit(kJoinTables, args, 0);
}

}  // namespace qv
