#include "editing/ops/paragraph_operations.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/operation.h"
#include "editing/ops/deletion.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/ops/text_insertion.h"
#include "editing/undo_records.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t kJoinName = 24;

TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}
constexpr uint8_t kDuplicatesMessage = 43;

bool IsBlankCode(uint8_t c) { return c == 32 || c == scNonBreakingSpace || (c >= 18 && c <= 20); }

bool IsBlank(const TPar& p) {
  for (int32_t i = 0; i + 1 < p.CharCount(); ++i)
    if (!IsBlankCode(p.CodeAt(i))) return false;
  return true;
}

bool InTable(const TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return false;
  const int8_t t = doc.Par(par)->Format.InTable;
  return t != ParUnset8 && t > 0;
}

uint8_t EndCode(const TPar& p) { return p.CharCount() > 0 ? p.CodeAt(p.CharCount() - 1) : 0; }

void SelectWholeParagraphs(TDoc& doc, int32_t first, int32_t last) {
  last = std::min(last, doc.ParCount() - 1);
  TFragmentRef sel = AcquireFragment();
  sel->SetSingleRange(first, 0, last, doc.ParLength(last));
  doc.CurrentPostActions().Selection = std::move(sel);
}

void ClearSelectionOnce(TDoc& doc) {
  if (doc.IsDocFlagSet(dfSelectionClearedForEdit)) return;
  doc.SetDocFlag(dfSelectionClearedForEdit, true);
  doc.ClearSelection();
}

// A line break and, with Smart Cut & Paste, the spaces before it become a paragraph mark.
void LineBreakToParagraph(TDoc& doc, int32_t par, int32_t offset, bool withSpaces) {
  int32_t from = offset;
  if (withSpaces)
    while (from > 0 && doc.Par(par)->CodeAt(from - 1) == 32) --from;
  DeleteRangeText(doc, Pos(par, from), Pos(par, offset + 1), 0);
  TScopedDocFlag ownFont(doc, dfKeepOwnFont);
  TMemory cr;
  cr.AppendByte(13);
  InsertPlainText(doc, cr, Pos(par, from), 0);
}

}  // namespace

bool JoinLineBreaks(TDoc& doc, int32_t& par) {
  bool changed = false;
  const bool smart = EditOptionOn(eoSmartCutPaste);
  if (doc.HasSelection() && doc.Selection->Count() == 1) {
    const TDocRange sel = *doc.Selection->GetRange(0);
    if (sel.Start.Par == par && sel.End.Par == par) {
      const TPar& p = *doc.Par(par);
      const int32_t text = p.CharCount() - 1;
      int32_t before = -1, after = -1;
      for (int32_t i = std::min(sel.Start.Offset, text) - 1; i >= 0 && before < 0; --i)
        if (p.CodeAt(i) == scLineBreak) before = i;
      for (int32_t i = std::max(sel.End.Offset, 0); i < text && after < 0; ++i)
        if (p.CodeAt(i) == scLineBreak) after = i;
      if (after >= 0 || before >= 0) {
        ClearSelectionOnce(doc);
        if (after >= 0) LineBreakToParagraph(doc, par, after, smart);
        if (before >= 0) {
          LineBreakToParagraph(doc, par, before, false);
          ++par;
        }
        changed = true;
      }
    }
  }
  TPar& p = *doc.Par(par);
  const int32_t last = p.CharCount() - 2;
  for (int32_t i = last; i >= 0; --i) {
    const TPar& q = *doc.Par(par);
    if (q.CodeAt(i) != scLineBreak) continue;
    const bool lbBefore = i > 0 && q.CodeAt(i - 1) == scLineBreak;
    const bool lbAfter = i < q.CharCount() - 2 && q.CodeAt(i + 1) == scLineBreak;
    if (lbBefore || lbAfter) continue;
    ClearSelectionOnce(doc);
    DeleteText(doc, nullptr, Pos(par, i), idfSmartSpacing, Pos(par, i + 1));
    changed = true;
  }
  if (changed) SelectWholeParagraphs(doc, par, par);
  return changed;
}

void JoinParagraphs(TDoc& doc, int32_t first, int32_t last) {
  if (first < 0 || last >= doc.ParCount() || first > last) return;
  TTextEditServices& services = TextEditServices();
  const int32_t span = last - first;
  const bool progress = span > 50 && !services.StatusQuiet();
  if (progress)
    services.BeginProgress(FormatMessageText("Performing %s ...", {OperationName(kJoinName)}),
                           span + span / 10);
  TScopedDocFlag cleared(doc, dfSelectionClearedForEdit, false);
  int32_t changes = 0;
  if (doc.HasSelection()) {
    for (int32_t p = first; p <= last; ++p) {
      const int32_t before = doc.ParCount();
      int32_t q = p;
      if (JoinLineBreaks(doc, q)) ++changes;
      const int32_t added = doc.ParCount() - before;
      last += added;
      p += added;
      if (progress) services.SetProgress((p - first) / 10);
    }
  }
  if (first == last && changes == 0) {
    if (progress) services.EndProgress();
    ShowInfoFmt("The \"%s\" operation can only be applied to a multiple selection of paragraphs.\r"
                "Make a selection of paragraphs and try again.",
                OperationName(kJoinName));
    return;
  }
  if (first < last) {
    if (changes > 0) SelectWholeParagraphs(doc, first, last);
    int32_t staying = 0;
    for (int32_t i = first; i < last; ++i)
      if (IsBlank(*doc.Par(i)) || IsBlank(*doc.Par(i + 1))) ++staying;
    if (staying < last - first) {
      if (changes == 0) ClearSelectionOnce(doc);
      for (int32_t i = first; i < last;) {
        if (!IsBlank(*doc.Par(i)) && !IsBlank(*doc.Par(i + 1))) {
          DeleteText(doc, nullptr, Pos(i, doc.ParLength(i) - 1), idfSmartSpacing, Pos(i + 1, 0));
          --last;
        } else {
          ++i;
        }
        if (progress) services.SetProgress(span / 10 + (i - first));
      }
      SelectWholeParagraphs(doc, first, first + staying);
    }
  }
  if (progress) services.EndProgress();
}

void SplitParagraphs(TDoc& doc, int32_t first, int32_t last) {
  if (first < 0 || last >= doc.ParCount() || first > last) return;
  if (first == last && doc.Par(first)->LineCount() == 0) {
    doc.EnsureParagraphLaidOut(last);
    if (doc.Par(first)->LineCount() == 0) return;
  }
  TFragmentRef kept = CloneFragment(*doc.Selection);
  doc.ClearSelection();
  doc.EnsureParagraphLaidOut(last);
  const bool smart = EditOptionOn(eoSmartCutPaste);
  int32_t count = 0;
  for (int32_t p = last; p >= first; --p) {
    const TPar& par = *doc.Par(p);
    std::vector<int32_t> starts;
    for (int32_t k = 1; k < par.LineCount(); ++k) starts.push_back(par.Lines[static_cast<size_t>(k)]->FirstChar);
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
      if (*it <= 0 || *it >= doc.ParLength(p)) continue;
      TMemory cr;
      cr.AppendByte(13);
      InsertPlainText(doc, cr, Pos(p, *it), smart ? uint32_t{idfSmartSpacing} : 0u);
      ++count;
    }
  }
  if (count == 0) {
    doc.Selection = std::move(kept);
    return;
  }
  const int32_t end = last + count;
  TPostActions& post = doc.CurrentPostActions();
  post.Caret = Pos(end, doc.ParLength(end) - 1);
  post.HasCaret = true;
  doc.Caret = post.Caret;
  SelectWholeParagraphs(doc, first, end);
}

bool SortParagraphs(TDoc& doc, int32_t first, int32_t last, uint8_t order) {
  if (first < 0 || last >= doc.ParCount() || first >= last) return false;
  bool sorted = false;
  for (int32_t p = first; p <= last;) {
    const TPar& par = *doc.Par(p);
    int32_t end = p;
    const uint8_t code = EndCode(par);
    if (code == scCellEnd || code == scRowEnd) {
      end = p;
    } else if (InTable(doc, p)) {
      while (end < last && EndCode(*doc.Par(end)) != scCellEnd) ++end;
    } else {
      while (end < last && !InTable(doc, end + 1)) ++end;
    }
    if (end > p) {
      auto rec = std::make_unique<TSortParsOperation>(doc, p, end, order == 1);
      rec->Redo();
      sorted |= rec->Sorted;
      AddSubOperation(doc, std::move(rec));
    }
    p = end + 1;
  }
  TPostActions& post = doc.CurrentPostActions();
  post.Caret = Pos(doc.Caret.Par, 0);
  post.HasCaret = true;
  SelectWholeParagraphs(doc, first, last);
  ResortNotes(doc);
  return sorted;
}

std::vector<int32_t> DuplicateParagraphs(TDoc& doc, int32_t first, int32_t last) {
  std::vector<int32_t> out;
  for (int32_t i = std::max(first + 1, 1); i <= last && i < doc.ParCount(); ++i) {
    const TPar& a = *doc.Par(i - 1);
    const TPar& b = *doc.Par(i);
    if (a.Codes.Length == b.Codes.Length &&
        std::memcmp(a.Codes.Data, b.Codes.Data, static_cast<size_t>(a.Codes.Length)) == 0)
      out.push_back(i);
  }
  return out;
}

void OfferSelectDuplicates(TDoc& doc, int32_t first, int32_t last) {
  const std::vector<int32_t> dups = DuplicateParagraphs(doc, first, last);
  if (dups.empty()) return;
  if (ShowOptionalMsg("The current selection includes several paragraphs with identical text. "
                      "Would you like Quorvane to select all the duplicate items?",
                      mkConfirmation, kDuplicatesMessage) != mrYes)
    return;
  doc.Caret = Pos(dups.front(), 0);
  TFragmentRef sel = AcquireFragment();
  sel->SetCount(static_cast<int32_t>(dups.size()));
  for (size_t i = 0; i < dups.size(); ++i)
    MakeRange(dups[i], 0, dups[i], doc.ParLength(dups[i]), *sel->GetRange(static_cast<int32_t>(i)));
  sel->RefreshLastRange();
  doc.NormalizeFragments(*sel);
  doc.Selection = std::move(sel);
  doc.SelectionChanged();
  SelectionServices().RequestInterfaceUpdate();
  SelectionServices().Redraw(doc);
}

namespace {

// The block of paragraphs a move takes: first and last paragraph; false with the reason shown.
bool MoveBlock(TDoc& doc, int32_t& first, int32_t& last) {
  TFragmentRef block = AcquireFragment();
  const bool table = doc.SelectionInOneTable();
  if (doc.HasSelection()) {
    block->Assign(*doc.Selection);
    if (table)
      for (int32_t i = 0; i < block->Count(); ++i) {
        TDocRange& r = *block->GetRange(i);
        TDocRange row, endRow;
        doc.GetRowRange(r.Start.Par, row);
        doc.GetRowRange(r.End.Par, endRow);
        if (SameRange(row, endRow)) r = row;
      }
  } else if (table) {
    doc.GetRowRange(doc.Caret.Par, *block->GetRange(0));
  } else {
    MakeRange(doc.Caret.Par, 0, doc.Caret.Par, doc.ParLength(doc.Caret.Par), *block->GetRange(0));
  }
  block->RefreshLastRange();
  doc.NormalizeFragments(*block);
  const int32_t story = doc.StoryOfParagraph(block->GetRange(0)->Start.Par);
  if (story == stFootnotes || story == stEndnotes) {
    ShowInfo("This operation is not possible on footnotes/endnotes.");
    return false;
  }
  if (story == stHeadersFooters) {
    ShowInfo("This operation is not possible on headers/footers.");
    return false;
  }
  if (block->Count() > 1) {
    ShowInfo(table ? "This operation is not possible on tables."
                   : "Currently, a number of non-contiguous fragments are selected in this "
                     "document. This operation cannot be applied to such a multiple selection."
                     "\r\rPlease, select a single fragment and try again.");
    return false;
  }
  const TDocRange r = *block->GetRange(0);
  first = r.Start.Par;
  last = r.End.Offset == 0 && r.End.Par > r.Start.Par ? r.End.Par - 1 : r.End.Par;
  last = std::min(last, doc.ParCount() - 1);
  return true;
}

// The tables at the places a move touched (where the block went, its end, where it came from)
// are repaired; each table once, the last first (a repair may delete rows).
void RepairTablesAfterMove(TDoc& doc, std::initializer_list<int32_t> places) {
  std::vector<int32_t> order(places);
  std::sort(order.begin(), order.end(), std::greater<int32_t>());
  std::vector<int32_t> repaired;
  for (int32_t par : order) {
    par = std::min(par, doc.ParCount() - 1);
    if (!InTable(doc, par)) continue;
    TDocRange table;
    doc.GetTableRange(par, table);
    if (std::find(repaired.begin(), repaired.end(), table.Start.Par) != repaired.end()) continue;
    doc.NormalizeTable(par);
    repaired.push_back(table.Start.Par);
  }
}

}  // namespace

void MoveParagraphs(TDoc& doc, int32_t direction) {
  if (direction == 0) return;
  int32_t b = 0, e = 0;
  if (!MoveBlock(doc, b, e)) return;
  const bool hadSelection = doc.HasSelection() || doc.SelectionInOneTable();
  const int32_t n = e - b + 1;
  const int32_t story = doc.StoryOfParagraph(b);
  const int32_t s = doc.FirstParagraphOfStory(story);
  const int32_t t = doc.LastParagraphOfStory(story);
  TSelectionServices& view = SelectionServices();
  const auto endsSection = [&doc](int32_t par) { return par >= 0 && doc.Par(par)->SectionBreak() != nullptr; };
  int32_t target;
  if (direction < 0) {
    if (b <= s) return;
    if (e >= t && InTable(doc, b - 1)) return;
    if (endsSection(b - 1) && t < b + n) return;
    target = view.GetVisibleParagraph(doc, b - 1);
    if (InTable(doc, target)) {
      TDocRange row;
      doc.GetRowRange(target, row);
      target = row.Start.Par;
    }
  } else {
    if (t < b + n + (InTable(doc, e) ? 1 : 0)) return;
    if (endsSection(e) && t - 1 < b + n) return;
    target = b + n + 1;
    int32_t cf = -1, cl = -1;
    if (view.FindCollapsedRange(doc, b + n + 1, cf, cl) && cf >= 0) target = cl + 1;
    if (InTable(doc, target - 1)) {
      TDocRange row;
      doc.GetRowRange(target - 1, row);
      target = row.End.Offset == 0 ? row.End.Par : row.End.Par + 1;
    }
    target = std::min(target, t + 1);
  }
  const TDocPosition caret = doc.Caret;
  TSubOperation::Execute(std::make_unique<TMoveParsOperation>(doc, b, n, target));
  const int32_t newFirst = target > b ? target - n : target;
  RepairTablesAfterMove(doc, {target, newFirst + n - 1, b});
  TPostActions& post = doc.CurrentPostActions();
  if (hadSelection) {
    const int32_t newLast = newFirst + n - 1;
    TFragmentRef sel = AcquireFragment();
    sel->SetSingleRange(newFirst, 0, newLast, doc.ParLength(newLast));
    doc.Selection = CloneFragment(*sel);
    doc.Caret = direction < 0 ? Pos(newFirst, 0) : Pos(newLast, doc.ParLength(newLast) - 1);
    doc.SetDocFlag(dfKeepCaret, true);
    post.Selection = std::move(sel);
  } else {
    doc.Caret = Pos(newFirst + (caret.Par - b), caret.Offset);
  }
  doc.SetDocFlag(dfScrollCaretMode4, true);
  post.Caret = doc.Caret;
  post.HasCaret = true;
}

void MoveParagraphBlock(TDoc& doc, int32_t first, int32_t last, int32_t target) {
  if (first < 0 || last < first || last >= doc.ParCount()) return;
  TSubOperation::Execute(std::make_unique<TMoveParsOperation>(doc, first, last - first + 1, target));
  ResortNotes(doc);
}

void ReplaceSpecialChar(TDoc& doc, int32_t par, int32_t offset, uint8_t code) {
  TSubOperation::Execute(std::make_unique<TFastReplaceTextOperation2>(doc, par, offset, code));
}

}  // namespace qv
