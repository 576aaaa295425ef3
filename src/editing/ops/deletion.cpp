#include "editing/ops/deletion.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/fragment_pool.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/surrogate_pairs.h"
#include "document/table_edit_helpers.h"
#include "editing/format_operations.h"
#include "editing/ins_del_operation.h"
#include "editing/ops/smart_spacing.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/ops/text_insertion.h"
#include "editing/style_operations.h"
#include "editing/undo_records.h"

namespace qv {

namespace {

bool ParInTable(const TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return false;
  const int8_t t = doc.Par(par)->Format.InTable;
  return t != ParUnset8 && t > 0;
}

int32_t LastCode(const TPar& p) { return p.CharCount() > 0 ? p.CodeAt(p.CharCount() - 1) : 0; }

bool HasList(const TPar& p) { return p.Format.List != ParUnset32 && p.Format.List != 0; }

// Widens the range to whole characters: neither end stands between the halves of a pair.
void SnapToCodePoints(TDoc& doc, TDocPosition& s, TDocPosition& e) {
  if (s.Par >= 0 && s.Par < doc.ParCount()) s.Offset = SnapOffsetBackward(*doc.Par(s.Par), s.Offset);
  if (e.Par >= 0 && e.Par < doc.ParCount()) e.Offset = SnapOffsetForward(*doc.Par(e.Par), e.Offset);
}

// The note references (kind 3) lying wholly inside the range.
std::vector<TField*> NoteReferencesIn(TDoc& doc, const TDocRange& range) {
  std::vector<TField*> found, out;
  doc.GetFieldsInRange(std::span<const TDocRange>(&range, 1), found, 255, fkNoteReference);
  for (TField* f : found) {
    TDocRange r;
    if (f->Kind == fkNoteReference && doc.GetFieldRange(f, r) &&
        ComparePositions(r.Start, range.Start) >= 0 && ComparePositions(r.End, range.End) <= 0)
      out.push_back(f);
  }
  return out;
}

// Header and footer slots that the first section fills and the last one leaves empty move on.
void HandOnHeaders(TDoc& doc, const TDocPosition& s, const TDocPosition& e) {
  int32_t endPar = e.Par;
  const int32_t story = doc.StoryOfParagraph(s.Par);
  if (e.Offset == 0 && e.Par > s.Par && story != stMain) endPar = e.Par - 1;
  if (endPar >= doc.ParCount()) endPar = doc.ParCount() - 1;
  TSection* from = doc.SectionOfParagraph(s.Par);
  TSection* to = doc.SectionOfParagraph(endPar);
  if (from == nullptr || to == nullptr || from == to) return;
  std::array<TField*, hfCount> fromSlots = from->HeaderFooter;
  std::array<TField*, hfCount> toSlots = to->HeaderFooter;
  bool moved = false;
  for (size_t i = 0; i < fromSlots.size(); ++i) {
    if (fromSlots[i] != nullptr && toSlots[i] == nullptr) {
      toSlots[i] = fromSlots[i];
      fromSlots[i] = nullptr;
      moved = true;
    }
  }
  if (!moved) return;
  EditServices().ChangeSectionHeaders(doc, *to, toSlots);
  EditServices().ChangeSectionHeaders(doc, *from, fromSlots);
}

// The place where the whole-paragraph deletion at the end of the main story is not allowed.
bool KeepsLastMark(TDoc& doc, int32_t sPar) {
  if (sPar > 0 && ParInTable(doc, sPar - 1)) return true;
  doc.UpdateSectionRanges();
  if (doc.Sections.size() > 1) {
    TSection* sec = doc.SectionOfParagraph(sPar);
    if (sec && sec->FirstPar == sPar) return true;
  }
  return false;
}

// The first paragraph of the table that holds the paragraph; -1 outside tables.
int32_t TableStartOf(TDoc& doc, int32_t par) {
  if (!ParInTable(doc, par)) return -1;
  TDocRange table;
  doc.GetTableRange(par, table);
  return table.Start.Par;
}

// A range whose first and last paragraph differ in being in a table, or lie in two tables,
// touches a table boundary: the table is repaired once the deletion is over.
bool TouchesTableBoundary(TDoc& doc, const TDocPosition& s, const TDocPosition& e) {
  const int32_t last = std::min(e.Par, doc.ParCount() - 1);
  return TableStartOf(doc, s.Par) != TableStartOf(doc, last);
}

// What a section's format and page settings were before a deletion.
struct TKeptSectionFormat {
  TSectionFormat Format;
  TPageParams PageParams;
};

class TRangeDeleter {
 public:
  // `tables` collects the ranges of the tables whose boundaries the deletions touched (none: the
  // caller does not repair tables).
  TRangeDeleter(TDoc& doc, uint32_t flags, TCompoundFragment* tables = nullptr)
      : doc_(doc), flags_(flags), tables_(tables) {}

  bool Delete(TDocPosition s, TDocPosition e) {
    if (doc_.ParCount() == 0) return false;
    if (e.Par >= doc_.ParCount()) MakePosition(doc_.ParCount() - 1, doc_.ParLength(doc_.ParCount() - 1), e);
    if (s.Par < 0 || s.Par >= doc_.ParCount() || ComparePositions(e, s) < 0) return false;
    s.Offset = std::clamp(s.Offset, 0, doc_.ParLength(s.Par));
    e.Offset = std::clamp(e.Offset, 0, doc_.ParLength(e.Par));
    SnapToCodePoints(doc_, s, e);
    // A deletion that starts inside an ordinary paragraph does not reach into a table.
    if (s.Offset >= 1 && !ParInTable(doc_, s.Par) && e.Par > s.Par && ParInTable(doc_, e.Par))
      return false;
    if (doc_.IsDocFlagSet(dfEmptyCellsOnly) && WholeCells(s, e)) return EmptyCells(s, e);
    AdjustEnd(s, e);
    if (IsLastCellMark(s, e) && !doc_.IsDocFlagSet(dfCellEndsDeletable)) return false;
    if (SamePlace(s, e)) {
      doc_.GetCharFormatAtPos(s, doc_.FormatBeforeCaret);
      doc_.FormatAfterCaret = doc_.FormatBeforeCaret;
      return false;
    }
    // (Only once the range is certain to go: a refused deletion keeps its shapes.)
    RemoveShapesOfWholeParagraphs(s, e);
    return Run(s, e);
  }

 private:
  bool WholeCells(const TDocPosition& s, const TDocPosition& e) {
    if (!ParInTable(doc_, s.Par) || !ParInTable(doc_, e.Par)) return false;
    TDocRange first, last;
    doc_.GetCellRange(s.Par, first);
    const int32_t endPar = e.Offset == 0 && e.Par > s.Par ? e.Par - 1 : e.Par;
    doc_.GetCellRange(endPar, last);
    return SamePlace(first.Start, s) &&
           (SamePlace(last.End, e) || (e.Offset == 0 && e.Par == last.End.Par + 1));
  }

  // Each cell from the last to the first loses its content, its cell end staying.
  bool EmptyCells(const TDocPosition& s, const TDocPosition& e) {
    std::vector<TDocRange> cells;
    for (int32_t p = s.Par; p < doc_.ParCount() && ComparePositions({p, 0}, e) < 0;) {
      TDocRange cell;
      doc_.GetCellRange(p, cell);
      cells.push_back(cell);
      p = cell.End.Par + 1;
    }
    TScopedDocFlag whole(doc_, dfEmptyCellsOnly, false);
    bool any = false;
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
      TDocPosition end = it->End;
      end.Offset = std::max(doc_.ParLength(end.Par) - 1, 0);
      if (ComparePositions(it->Start, end) < 0) any |= TRangeDeleter(doc_, flags_, tables_).Delete(it->Start, end);
    }
    return any;
  }

  void AdjustEnd(const TDocPosition& s, TDocPosition& e) {
    if (flags_ & idfNoEndAdjust) return;
    const int32_t len = doc_.ParLength(e.Par);
    if (e.Offset < len) return;
    const int32_t story = doc_.StoryOfParagraph(s.Par);
    int32_t storyLast = doc_.LastParagraphOfStory(story);
    // The header or footer edited in place ends its story: its last mark stays like the main
    // text's, so that the deletion does not reach into the next header's paragraph.
    if (doc_.HeaderFooterInPlace != nullptr) {
      TDocRange field;
      doc_.GetInPlaceFieldRange(field);
      int32_t last = field.End.Par;
      if (field.End.Offset == 0 && last > field.Start.Par) --last;
      if (s.Par >= field.Start.Par && s.Par <= last) storyLast = last;
    }
    if (s.Offset >= 1 && !ParInTable(doc_, e.Par) && ParInTable(doc_, e.Par + 1)) {
      e.Offset = len - 1;
    } else if (e.Par != storyLast) {
      MakePosition(e.Par + 1, 0, e);
    } else if ((flags_ & idfWholeLastParagraph) && story == stMain && s.Offset == 0 &&
               s.Par != doc_.FirstParagraphOfStory(story) && !KeepsLastMark(doc_, s.Par)) {
      MakePosition(e.Par + 1, 0, e);
    } else {
      e.Offset = len - 1;
    }
  }

  // The floating shapes anchored in paragraphs that the range deletes whole leave with them.
  void RemoveShapesOfWholeParagraphs(const TDocPosition& s, const TDocPosition& e) {
    if (doc_.Shapes.empty() || s.Offset != 0) return;
    int32_t last = e.Offset == 0 || e.Offset < doc_.ParLength(e.Par) ? e.Par - 1 : e.Par;
    last = std::min(last, doc_.ParCount() - 1);
    for (int32_t p = s.Par; p <= last; ++p) {
      TPar& par = *doc_.Par(p);
      NormalizeParagraphTags(par);
      if (!par.HasFlag(pfAnchoredShapes)) continue;
      const std::vector<TShape*> shapes = par.AnchoredShapes;
      for (TShape* shape : shapes) doc_.RemoveAnchoredShape(shape);
    }
  }

  bool IsLastCellMark(const TDocPosition& s, const TDocPosition& e) const {
    if (e.Par != s.Par + 1 || e.Offset != 0) return false;
    const TPar& p = *doc_.Par(s.Par);
    return s.Offset == p.CharCount() - 1 && LastCode(p) == scCellEnd;
  }

  bool Run(const TDocPosition& s, TDocPosition e) {
    const int32_t story = doc_.StoryOfParagraph(s.Par);
    const bool mainStory = story == stMain;
    // The joined paragraph keeps the format of the first one.
    const TPar& first = *doc_.Par(s.Par);
    const bool carry = (flags_ & idfNoFormatCarry) == 0 && e.Par > s.Par &&
                       e.Par <= doc_.LastParagraphOfStory(story) &&
                       (s.Offset > 0 || ((flags_ & idfListFormatCarry) && HasList(first))) &&
                       !(e.Offset == 0 && e.Par == doc_.LastParagraphOfStory(story) + 1);
    const TParFormat firstFormat = first.Format;
    const bool touchesTable = tables_ != nullptr && TouchesTableBoundary(doc_, s, e);
    const std::optional<TKeptSectionFormat> firstSection = FirstSectionDeletedToEnd(s, e, story);
    TDocRange range{s, e};
    const std::vector<TField*> links = CollectFollowingHyperlinks(doc_, range, true);
    std::vector<TField*> notes;
    if ((flags_ & idfKeepNotes) == 0 && mainStory) notes = NoteReferencesIn(doc_, range);
    if ((flags_ & idfKeepHeaders) == 0) HandOnHeaders(doc_, s, e);
    // The sections whose breaks the deletion takes leave the document with it.
    std::vector<TSection*> sectionsBefore;
    if ((flags_ & idfKeepNotes) == 0 && mainStory)
      for (const auto& section : doc_.Sections) sectionsBefore.push_back(section.get());
    const bool keepMarks = !doc_.IsDocFlagSet(dfReplaceRunning);
    if (keepMarks) {
      if (flags_ & idfMarksAtEndOnly)
        doc_.BeginKeepFieldMarks(e, e, 0);
      else
        doc_.BeginKeepFieldMarks(s, e, 0);
    }
    // Measured before the deletion: afterwards e's paragraph may be gone or another one.
    const bool wholePars = s.Offset == 0 && (e.Offset == 0 || e.Offset >= doc_.ParLength(e.Par));
    auto rec = TInsDelOperation::ForDelete(doc_, range);
    rec->OwnsObjects = (flags_ & idfKeepObjects) == 0;
    TSubOperation::Execute(std::move(rec));

    bool caretBack = false;
    TDocPosition caret = s;
    if (doc_.LastParagraphOfStory(story) < s.Par && s.Par > 0) {
      MakePosition(s.Par - 1, std::max(doc_.ParLength(s.Par - 1) - 1, 0), caret);
      caretBack = true;
    }
    doc_.Caret = caret;
    if (keepMarks) doc_.EndKeepFieldMarks(caret, caret);
    if (tables_ != nullptr) tables_->ShiftForEdit(range, TDocRange{s, s});
    if (carry && s.Par < doc_.ParCount() && !caretBack) {
      TDocRange joined;
      MakeRange(s.Par, 0, s.Par, doc_.ParLength(s.Par), joined);
      FormatParagraphs(doc_, nullptr, &joined, firstFormat);
    }
    if (firstSection) GiveSectionsFormat(*firstSection);
    if ((flags_ & idfSmartSpacing) && !caretBack && !wholePars) AdjustSmartSpacing(doc_, s);
    if (!notes.empty()) DeleteNoteTexts(notes);
    if (!sectionsBefore.empty()) DeleteHeadersOfRemovedSections(sectionsBefore);
    UpdateFollowingHyperlinks(doc_, links);
    CheckDropCapsAfterEdit(doc_, doc_.Caret.Par);
    if (touchesTable) NoteTable(s.Par);
    return true;
  }

  // A deletion that runs from the first of several sections to the end of the main text leaves
  // the remaining text in the last section: the first section's format and page settings,
  // taken here, go back to it afterwards.
  std::optional<TKeptSectionFormat> FirstSectionDeletedToEnd(const TDocPosition& s,
                                                             const TDocPosition& e, int32_t story) {
    if ((flags_ & idfMarksAtEndOnly) || story != stMain) return std::nullopt;
    const int32_t last = doc_.LastParagraphOfStory(story);
    if (e.Par < last || (e.Par == last && e.Offset < doc_.ParLength(last) - 1)) return std::nullopt;
    doc_.UpdateSectionRanges();
    if (doc_.Sections.size() < 2 || doc_.Sections.front()->LastPar < s.Par) return std::nullopt;
    return TKeptSectionFormat{doc_.Sections.front()->Format, doc_.Sections.front()->PageParams};
  }

  void GiveSectionsFormat(const TKeptSectionFormat& kept) {
    doc_.UpdateSectionRanges();
    std::vector<TSection> formats;
    bool differs = false;
    for (const auto& section : doc_.Sections) {
      formats.push_back(*section);
      formats.back().Format = kept.Format;
      differs |= std::memcmp(&section->Format, &kept.Format, sizeof(TSectionFormat)) != 0;
    }
    const int32_t n = static_cast<int32_t>(formats.size());
    if (differs) EditServices().FormatSectionRange(doc_, 0, n - 1, formats, false);
    if (std::memcmp(&doc_.Sections.front()->PageParams, &kept.PageParams, sizeof(TPageParams)) != 0) {
      const int32_t last = doc_.LastParagraphOfStory(stMain);
      TDocRange main;
      MakeRange(0, 0, last, doc_.ParLength(last), main);
      ChangePageParams(doc_, kept.PageParams, main);
    }
  }

  // The table that holds the paragraph (else the one before it) is repaired afterwards.
  void NoteTable(int32_t par) {
    if (par >= doc_.ParCount() || !ParInTable(doc_, par)) --par;
    if (par < 0 || !ParInTable(doc_, par)) return;
    TDocRange table;
    doc_.GetTableRange(par, table);
    tables_->InsertRange(tables_->Count(), table);
    tables_->Normalize();
  }

  // The header and footer texts that removed sections still held (those not handed on to the
  // section after them, and not shown by a section that stays) go as well.
  void DeleteHeadersOfRemovedSections(const std::vector<TSection*>& before) {
    auto staying = [this](const TSection* s) {
      return std::any_of(doc_.Sections.begin(), doc_.Sections.end(),
                         [s](const auto& x) { return x.get() == s; });
    };
    auto shown = [this](const TField* f) {
      return std::any_of(doc_.Sections.begin(), doc_.Sections.end(), [f](const auto& x) {
        return std::find(x->HeaderFooter.begin(), x->HeaderFooter.end(), f) != x->HeaderFooter.end();
      });
    };
    std::vector<TField*> texts;
    for (const TSection* s : before) {
      if (staying(s)) continue;
      for (TField* f : s->HeaderFooter)
        if (f != nullptr && !shown(f) && std::find(texts.begin(), texts.end(), f) == texts.end())
          texts.push_back(f);
    }
    if (texts.empty()) return;
    TScopedDocFlag notReplacing(doc_, dfReplaceRunning, false);
    const TDocPosition caret = doc_.Caret;
    for (TField* f : texts) {
      TDocRange r;
      if (!doc_.GetFieldRange(f, r)) continue;
      // Whole paragraphs, so that no header is left half in the story.
      tables::DeleteParagraphs(doc_, r.Start.Par, r.End.Par);
      doc_.Caret = caret;
    }
    TPostActions& post = doc_.CurrentPostActions();
    post.Caret = doc_.Caret;
    post.HasCaret = true;
  }

  void DeleteNoteTexts(const std::vector<TField*>& refs) {
    TScopedDocFlag notReplacing(doc_, dfReplaceRunning, false);
    const TDocPosition caret = doc_.Caret;
    for (TField* ref : refs) {
      TField* note = ref->LinkedField;
      TDocRange r;
      if (note == nullptr || note->Kind != fkNoteText || !doc_.GetFieldRange(note, r)) continue;
      TDocPosition start, end = r.End;
      MakePosition(r.Start.Par, 0, start);
      if (end.Offset == 0 && end.Par > start.Par) MakePosition(end.Par - 1, doc_.ParLength(end.Par - 1), end);
      else end.Offset = doc_.ParLength(end.Par);
      TRangeDeleter(doc_, idfKeepNotes, tables_).Delete(start, end);
      doc_.Caret = caret;
    }
    TPostActions& post = doc_.CurrentPostActions();
    post.Caret = doc_.Caret;
    post.HasCaret = true;
  }

  TDoc& doc_;
  uint32_t flags_;
  TCompoundFragment* tables_;
};

// The selected floating shapes go with their anchors; the shape selection is recorded before and
// after, so that undo selects them again.
void DeleteSelectedShapes(TDoc& doc, uint32_t flags) {
  const std::vector<TShape*> selected = doc.SelectedShapes;
  ObjectEditServices().SelectShapes(doc, selected);
  if (flags & idfKeepObjects) return;
  for (TShape* shape : selected) {
    TField* anchor = shape != nullptr ? shape->AnchorField : nullptr;
    TDocRange range;
    if (anchor == nullptr || !doc.GetFieldRange(anchor, range)) continue;
    doc.RemoveField(anchor);  // takes the shape out of the z-order too
  }
  ObjectEditServices().SelectShapes(doc, {});
}

// Repairs the collected tables, the last first (a repair may delete rows).
void RepairTables(TDoc& doc, const TCompoundFragment& tables) {
  for (int32_t i = tables.Count() - 1; i >= 0; --i) {
    const TDocRange& r = *tables.GetRange(i);
    if (!IsRangeEmpty(r) && ParInTable(doc, r.Start.Par)) doc.NormalizeTable(r.Start.Par);
  }
}

}  // namespace

bool DeleteRangeText(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                     uint32_t flags) {
  return TRangeDeleter(doc, flags).Delete(start, end);
}

void DeleteText(TDoc& doc, const TCompoundFragment* fragment, const TDocPosition& start,
                uint32_t flags, const TDocPosition& end) {
  if ((flags & idfSelectedShapes) && !doc.SelectedShapes.empty()) DeleteSelectedShapes(doc, flags);
  bool deleted = false;
  TFragmentRef tables = AcquireFragment();
  {
    TScopedDocFlag deleting(doc, dfDeletionRuns);
    if (fragment != nullptr) {
      TFragmentRef ranges = CloneFragment(*fragment);
      ranges->Normalize();
      for (int32_t i = ranges->Count() - 1; i >= 0; --i) {
        TDocRange r = *ranges->GetRange(i);
        if (deleted && ComparePositions(r.End, doc.Caret) > 0) r.End = doc.Caret;
        if (IsRangeEmpty(r) || ComparePositions(r.End, r.Start) < 0) continue;
        uint32_t f = flags;
        if (flags & idfSmartIfWordBounded)
          f = doc.IsRangeWordBounded(r) ? (f | idfSmartSpacing) : (f & ~idfSmartSpacing);
        deleted |= TRangeDeleter(doc, f, tables.get()).Delete(r.Start, r.End);
      }
    } else {
      deleted = TRangeDeleter(doc, flags, tables.get()).Delete(start, end);
    }
  }
  RepairTables(doc, *tables);
  if ((deleted || doc.IsDocFlagSet(dfDeletingWholeStory)) && !doc.IsDocFlagSet(dfSmartSpacingRuns)) {
    if (doc.IsDocFlagSet(dfDeletingWholeStory)) {
      const int32_t par = std::clamp(doc.Caret.Par, 0, doc.ParCount() - 1);
      TDocRange whole;
      MakeRange(par, 0, par, doc.ParLength(par), whole);
      const int16_t style = doc.Par(par)->Format.Style;
      if (doc.StoryOfParagraph(par) == stMain && style != ParUnset16 && style != 0)
        ApplyStyle(doc, nullptr, &whole, nullptr, nullptr, true, 0);
      else
        ResetToStyleFormat(doc, nullptr, &whole, 0);
      TDocRange story;
      doc.GetCurrentStoryRange(story);
      std::vector<TField*> remove;
      doc.RebuildFieldIndex();
      for (auto& f : doc.Fields) {
        TDocRange r;
        if (f->Kind == fkNoteText || f->Kind == fkHeaderFooter || !doc.GetFieldRange(f.get(), r))
          continue;
        if (PositionInRangeInclusive(r.Start, story)) remove.push_back(f.get());
      }
      for (TField* f : remove) doc.RemoveField(f);
    }
    TPostActions& post = doc.CurrentPostActions();
    post.Selection.reset();
    post.ClearSelection = true;
    post.Caret = doc.Caret;
    post.HasCaret = true;
  }
}

namespace {

enum class TReplaceKind { Fragment, Text };

// The paragraph formats, and the character formats of the paragraph marks, of the paragraphs a
// replacement by the find engine runs over; the new paragraphs take them back in order.
struct TSavedParFormats {
  std::vector<TParFormat> Pars;
  std::vector<TCharFormat> Marks;
};

bool HoldsParagraphMark(const TMemory& text, uint32_t flags) {
  if (flags & idfUtf16) {
    for (int32_t i = 0; i + 1 < text.Length; i += 2)
      if (text.Data[i + 1] == 0 && (text.Data[i] == 13 || text.Data[i] == 10)) return true;
    return false;
  }
  return std::any_of(text.Data, text.Data + text.Length, [](uint8_t b) { return b == 13 || b == 10; });
}

TSavedParFormats SaveParFormats(TDoc& doc, int32_t first, int32_t last) {
  TSavedParFormats saved;
  for (int32_t p = first; p <= last && p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    saved.Pars.push_back(par.Format);
    TCharFormat mark;
    par.GetCharFormatAt(std::max(par.CharCount() - 1, 0), mark);
    saved.Marks.push_back(mark);
  }
  return saved;
}

// The i-th new paragraph takes the i-th saved formats, but never the last saved ones, which go to
// the last new paragraph.
void RestoreParFormats(TDoc& doc, const TSavedParFormats& saved, int32_t first, int32_t last) {
  const int32_t n = static_cast<int32_t>(saved.Pars.size());
  if (n == 0) return;
  for (int32_t p = first; p <= last && p < doc.ParCount(); ++p) {
    const int32_t i = p == last ? n - 1 : p - first;
    if (p != last && i >= n - 1) continue;
    TDocRange whole, mark;
    MakeRange(p, 0, p, doc.ParLength(p), whole);
    FormatParagraphs(doc, nullptr, &whole, saved.Pars[static_cast<size_t>(i)]);
    MakeRange(p, std::max(doc.ParLength(p) - 1, 0), p, doc.ParLength(p), mark);
    FormatFont(doc, nullptr, &mark, 0, saved.Marks[static_cast<size_t>(i)]);
  }
}

void Replace(TDoc& doc, TDocPosition s, TDocPosition e, uint32_t flags, TReplaceKind kind,
             int32_t parMarks, const TMemory& content) {
  if (s.Par < 0 || s.Par >= doc.ParCount()) return;
  if (e.Par >= doc.ParCount()) MakePosition(doc.ParCount() - 1, doc.ParLength(doc.ParCount() - 1), e);
  const int32_t story = doc.StoryOfParagraph(s.Par);
  const int32_t storyLast = doc.LastParagraphOfStory(story);
  if (e.Par == storyLast && e.Offset >= doc.ParLength(e.Par)) {
    const bool whole = (flags & idfWholeLastParagraph) && s.Offset == 0 &&
                       s.Par != doc.FirstParagraphOfStory(story) && !KeepsLastMark(doc, s.Par);
    if (!whole) e.Offset = doc.ParLength(e.Par) - 1;
  }
  SnapToCodePoints(doc, s, e);
  // A replacement of drop-capped letters keeps the drop cap on the new ones.
  if (kind == TReplaceKind::Text) doc.SaveDropCap(s);
  TSavedParFormats savedFormats;
  if (kind == TReplaceKind::Text && s.Par != e.Par && TextEditServices().FindReplaceRunning() &&
      HoldsParagraphMark(content, flags))
    savedFormats = SaveParFormats(doc, s.Par, e.Par);
  if (kind == TReplaceKind::Text && !doc.IsDocFlagSet(dfKeepHyperlinkOnReplace)) {
    TDocRange exact{s, e};
    std::vector<TField*> found;
    doc.GetFieldsInRange(std::span<const TDocRange>(&exact, 1), found, ftHyperlink, fkField);
    for (TField* f : found) {
      TDocRange r;
      if (doc.GetFieldRange(f, r) && SameRange(r, exact)) doc.RemoveField(f);
    }
  }
  doc.UpdateTypingFormat(s, 1);
  TCharFormat deletedStart;
  if (s.Offset < doc.ParLength(s.Par) - 1)
    doc.Par(s.Par)->GetCharFormatAt(s.Offset, deletedStart);
  else
    doc.GetCharFormatAtPos(s, deletedStart);

  TDocPosition caret;
  {
    TScopedDocFlag running(doc, dfReplaceRunning);
    const bool keepMarks = !doc.IsDocFlagSet(dfCallerKeepsFieldMarks);
    if (keepMarks) doc.BeginKeepFieldMarks(s, e, 0);
    if (!SamePlace(s, e)) DeleteText(doc, nullptr, s, flags & ~idfSmartSpacing, e);
    if (s.Offset == 0) doc.FormatBeforeCaret = deletedStart;
    doc.FormatAfterCaret = deletedStart;
    if (kind == TReplaceKind::Text) {
      const int32_t highlight = doc.TypingFormat.Highlight;
      doc.TypingFormat = deletedStart;
      doc.TypingFormat.Highlight = highlight;
      SetTypingFontForLayout(doc);
    }
    {
      TScopedDocFlag inserting(doc, dfReplaceInserting);
      if (kind == TReplaceKind::Fragment)
        InsertFragment(doc, content, s, flags & ~idfSmartSpacing, story, parMarks);
      else
        InsertPlainText(doc, content, s, flags & ~idfSmartSpacing);
    }
    caret = doc.Caret;
    if (keepMarks) doc.EndKeepFieldMarks(s, caret);
  }
  doc.Caret = caret;
  RestoreParFormats(doc, savedFormats, s.Par, caret.Par);
  if (kind == TReplaceKind::Text) doc.RestoreDropCap();
  TPostActions& post = doc.CurrentPostActions();
  post.Selection.reset();
  post.ClearSelection = true;
  post.Caret = caret;
  post.HasCaret = true;
}

}  // namespace

void ReplaceWithFragment(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                         uint32_t flags, int32_t parMarks, const TMemory& fragment) {
  Replace(doc, start, end, flags, TReplaceKind::Fragment, parMarks, fragment);
}

void ReplaceWithText(TDoc& doc, const TDocPosition& start, const TDocPosition& end,
                     uint32_t flags, const TMemory& text) {
  Replace(doc, start, end, flags, TReplaceKind::Text, 0, text);
}

}  // namespace qv
