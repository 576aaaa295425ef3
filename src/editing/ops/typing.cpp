#include "editing/ops/typing.h"

#include <algorithm>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/styles.h"
#include "document/surrogate_pairs.h"
#include "editing/ops/deletion.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/ops/text_insertion.h"
#include "editing/style_operations.h"

namespace qv {

namespace {

bool Pasting(const TDoc& doc) {
  return doc.IsDocFlagSet(dfPasting) || doc.IsDocFlagSet(dfPasteRunning);
}

// The caret does not stay on a row-end paragraph: typing goes to the paragraph after the row.
void MoveCaretOffRowEnd(TDoc& doc) {
  if (doc.Caret.Par < 0 || doc.Caret.Par >= doc.ParCount() || !doc.IsRowEndPar(doc.Caret.Par)) return;
  const int32_t storyLast = doc.LastParagraphOfStory(doc.StoryOfParagraph(doc.Caret.Par));
  if (doc.Caret.Par < storyLast) MakePosition(doc.Caret.Par + 1, 0, doc.Caret);
}

// Deletes the character after the caret (a pair outside the basic plane whole).
void OvertypeNext(TDoc& doc) {
  const TDocPosition at = doc.Caret;
  if (at.Offset >= doc.ParLength(at.Par) - 1) return;
  TDocPosition end = at;
  end.Offset = SnapOffsetForward(*doc.Par(at.Par), at.Offset + 1);
  DeleteText(doc, nullptr, at, 0, end);
  doc.Caret = at;
  TPostActions& post = doc.CurrentPostActions();
  post.Caret = at;
  post.HasCaret = true;
}

bool IsSingleCr(const TMemory& text, uint32_t flags) {
  if (flags & idfUtf16) return text.Length == 2 && text.Data[0] == 13 && text.Data[1] == 0;
  return text.Length == 1 && text.Data[0] == 13;
}

bool IsOneTypedChar(const TMemory& text, uint32_t flags) {
  if (flags & idfUtf16) {
    if (text.Length == 4) {
      const char16_t hi = static_cast<char16_t>(text.Data[0] | (text.Data[1] << 8));
      return hi >= 0xD800 && hi <= 0xDBFF;
    }
    if (text.Length != 2) return false;
    const char16_t c = static_cast<char16_t>(text.Data[0] | (text.Data[1] << 8));
    return c >= 32 || c == 9;
  }
  return text.Length == 1 && (text.Data[0] >= 32 || text.Data[0] == 9);
}

bool HasList(const TPar& p) { return p.Format.List != ParUnset32 && p.Format.List != 0; }

// Enter at a paragraph's end: the next style, and the end of a list on an empty item.
void AfterEnter(TDoc& doc) {
  const int32_t par = doc.Caret.Par;
  if (par <= 0 || par >= doc.ParCount() || doc.ParLength(par) != 1) return;
  TPar& fresh = *doc.Par(par);
  const int32_t style = fresh.Format.Style == ParUnset16 ? 0 : fresh.Format.Style;
  if (const TStyle* st = fresh.GetStyle(); st && st->Next >= 0 && st->Next != style) {
    TDocRange range;
    MakeRange(par, 0, par, 1, range);
    ApplyStyle(doc, nullptr, &range, nullptr, nullptr, true, st->Next);
  }
  doc.ClearSelection();
  TPostActions& post = doc.CurrentPostActions();
  post.Selection.reset();
  post.ClearSelection = true;
}

// Enter on an empty list item ends the list there: the item itself leaves the list and no new
// paragraph is made (a new numbered item below an emptied one would leave a stray number).
bool EndListOnEmptyItem(TDoc& doc) {
  const int32_t par = doc.Caret.Par;
  if (par < 0 || par >= doc.ParCount() || doc.ParLength(par) != 1 || !HasList(*doc.Par(par)))
    return false;
  const TDocPosition caret = doc.Caret;
  doc.Selection->SetSingleRange(par, 0, par, 0);  // the list operation works on the selection
  doc.RemoveListFormat();
  doc.Caret = caret;
  doc.ClearSelection();
  TPostActions& post = doc.CurrentPostActions();
  post.Selection.reset();
  post.ClearSelection = true;
  post.Caret = caret;
  post.HasCaret = true;
  return true;
}

}  // namespace

void PrepareTyping(TDoc& doc) {
  if (!doc.Selection) return;
  if (doc.Selection->Count() <= 1 && !doc.SelectionHasNoteEndMark()) {
    if (doc.IsDocFlagSet(dfCellEndsDeletable) || !doc.HasSelection()) return;
    TDocRange r = *doc.Selection->GetRange(0);
    if (!doc.RangeSplitsTableRow(r)) return;
    TDocRange cell;
    doc.GetCellRange(r.Start.Par, cell);
    if (!SameRange(cell, r)) return;
    if (r.End.Offset == 0 && r.End.Par > 0)
      MakePosition(r.End.Par - 1, doc.ParLength(r.End.Par - 1) - 1, r.End);
    else
      r.End.Offset = std::max(r.End.Offset - 1, 0);
    if (ComparePositions(r.End, r.Start) <= 0)
      doc.ClearSelection();
    else
      doc.SetSelection(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset);
    return;
  }
  doc.Caret = doc.Selection->GetRange(0)->End;
  doc.ClearSelection();
}

void TypeFragment(TDoc& doc, const TMemory& fragment, int32_t parMarks, uint32_t flags) {
  PrepareTyping(doc);
  if (doc.HasSelection()) {
    const TDocRange r = *doc.Selection->GetRange(0);
    ReplaceWithFragment(doc, r.Start, r.End, flags, parMarks, fragment);
    return;
  }
  MoveCaretOffRowEnd(doc);
  InsertFragment(doc, fragment, doc.Caret, flags, doc.StoryOfParagraph(doc.Caret.Par), parMarks);
  if (TextEditServices().OvertypeMode() && !Pasting(doc) && doc.IsDocFlagSet(dfSymbolByCode))
    OvertypeNext(doc);
}

void TypeText(TDoc& doc, const TMemory& text, uint32_t flags) {
  PrepareTyping(doc);
  if (doc.HasSelection()) {
    const TDocRange r = *doc.Selection->GetRange(0);
    ReplaceWithText(doc, r.Start, r.End, flags, text);
    return;
  }
  MoveCaretOffRowEnd(doc);
  doc.UpdateTypingFormat(doc.Caret, 0);
  const TDocPosition at = doc.Caret;
  const bool atParEnd = at.Offset >= doc.ParLength(at.Par) - 1;
  if (IsSingleCr(text, flags) && atParEnd && EndListOnEmptyItem(doc)) return;
  InsertPlainText(doc, text, at, flags);
  if (TextEditServices().OvertypeMode() && !Pasting(doc) && IsOneTypedChar(text, flags) &&
      !atParEnd)
    OvertypeNext(doc);
  if (IsSingleCr(text, flags) && atParEnd) AfterEnter(doc);
}

int32_t GetCaretLanguage(TDoc& doc) {
  if (doc.CurCharFormat.Language != CharUnset) return doc.CurCharFormat.Language;
  const TDocPosition at = doc.HasSelection() ? doc.Selection->GetRange(0)->Start : doc.Caret;
  return doc.GetLanguageAt(at.Par, at.Offset);
}

}  // namespace qv
