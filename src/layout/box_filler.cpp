// Flowing paragraphs into boxes: the flow over a range (keep-with-next chains, text boxes, the
// hand-over to table layout) and the filling of one text box with the lines of one paragraph
// (space before and after for the paragraph's place, widow and orphan control, keep lines
// together, footnotes, breaks and line numbers).
#include "layout/box_filler.h"

#include <algorithm>
#include <climits>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/section.h"
#include "layout/box.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/drop_cap_layout.h"
#include "layout/floating_shapes.h"
#include "layout/layout_common.h"
#include "layout/line_metrics.h"
#include "layout/note_layout.h"
#include "layout/table_layout.h"

namespace qv {

// --- The backtracking stack ---

TFlowStack::~TFlowStack() {
  while (!records_.empty()) {
    DiscardPageSnapshot(page_, records_.back().Snapshot);
    records_.pop_back();
  }
}

void TFlowStack::Push(Kind kind, uint32_t flags, const TDocPosition& start) {
  TakePageSnapshot(page_);
  records_.push_back({LastPageSnapshot(page_), kind, flags, start});
}

bool TFlowStack::Has(Kind kind) const {
  return std::any_of(records_.begin(), records_.end(), [kind](const Record& r) { return r.RecordKind == kind; });
}

bool TFlowStack::PopTo(Kind kind, uint32_t& flags, TDocPosition& start) {
  if (!Has(kind)) return false;
  while (!records_.empty()) {
    const Record r = records_.back();
    records_.pop_back();
    RestorePageSnapshot(page_, *r.Snapshot);
    DiscardPageSnapshot(page_, r.Snapshot);
    if (r.RecordKind == kind) {
      flags = r.Flags;
      start = r.Start;
      return true;
    }
  }
  return false;
}

void TFlowStack::Drop(Kind kind) {
  for (size_t i = records_.size(); i-- > 0;) {
    if (records_[i].RecordKind != kind) continue;
    DiscardPageSnapshot(page_, records_[i].Snapshot);
    records_.erase(records_.begin() + static_cast<ptrdiff_t>(i));
    return;
  }
}

namespace {

int32_t Value16(int16_t v) { return v == ParUnset16 ? 0 : v; }
bool IsSet8(int8_t v) { return v != ParUnset8 && v != 0; }

bool IsSectionBreakOnly(const TPar& par) { return par.CharCount() == 1 && par.CodeAt(0) == scSectionEnd; }

// The paragraph before or after in the same story; null at the story's edge.
const TPar* Neighbour(const TDoc& doc, int32_t p, int direction) {
  const int32_t story = doc.StoryOfParagraph(p);
  const int32_t q = p + direction;
  if (q < doc.FirstParagraphOfStory(story) || q > doc.LastParagraphOfStory(story)) return nullptr;
  return doc.Par(q);
}

bool SameList(const TPar& a, const TPar& b) {
  return a.Format.List != ParUnset32 && a.Format.List != 0 && a.Format.List == b.Format.List;
}

bool EndsStoryOrCell(const TDoc& doc, const TPar& par) {
  return LastCodeOf(par) == scCellEnd || Neighbour(doc, par.Index, +1) == nullptr;
}

bool StartsStoryOrCell(const TDoc& doc, const TPar& par) {
  const TPar* prev = Neighbour(doc, par.Index, -1);
  return prev == nullptr || (IsInTable(par) && (LastCodeOf(*prev) == scCellEnd || LastCodeOf(*prev) == scRowEnd)) ||
         (IsInTable(par) && !IsInTable(*prev));
}

// The last placed line's paragraph ends with a hard break (column, page or page-starting section
// break).
bool PreviousEndsWithHardBreak(const TDoc& doc, const TPar& par) {
  const TPar* prev = Neighbour(doc, par.Index, -1);
  return prev != nullptr && !prev->Lines.empty() && LineEndsWithHardBreak(*prev->Lines.back());
}

// The previous content of the box's body is a table: the box is a text box right after a table
// box and holds no lines yet.
bool FollowsTable(const TBox& box) {
  if (box.LastLine() != nullptr || box.Parent == nullptr) return false;
  const auto& siblings = box.Parent->Children;
  for (size_t i = 1; i < siblings.size(); ++i)
    if (siblings[i].get() == &box) return siblings[i - 1]->Kind == TBoxKind::Table;
  return false;
}

int32_t CachedOrFormatSpaceAfter(const TPar& par) {
  const int16_t c = par.LayoutValues.SpaceAfterCache;
  return c != ParUnset16 ? std::max<int32_t>(c, 0) : std::max(Value16(par.Format.SpaceAfter), 0);
}

int32_t SpaceBeforeFor(const TDoc& doc, const TPar& par, const TBox& box, bool atTop) {
  int32_t sb = Value16(par.Format.SpaceBefore);
  if (sb == 0) return 0;
  const TPar* prev = Neighbour(doc, par.Index, -1);
  if (IsSet8(par.Format.Contextual) && prev != nullptr && prev->Format.Style == par.Format.Style &&
      !StartsStoryOrCell(doc, par))
    return 0;
  const TLine* last = box.LastLine();
  if (sb == -20) sb = last == nullptr || (prev != nullptr && SameList(*prev, par)) ? 0 : 280;
  if (sb <= 0) return 0;
  if (FollowsTable(box)) return sb;
  if (IsDraftView(doc)) {
    if (prev != nullptr) sb = std::max(0, sb - CachedOrFormatSpaceAfter(*prev));
    return sb;
  }
  if (last != nullptr && last->Par != nullptr) sb = std::max(0, sb - CachedOrFormatSpaceAfter(*last->Par));
  if (atTop && !IsInTable(par)) {
    const bool keep = par.Index == 0 || doc.StoryOfParagraph(par.Index) != stMain ||
                      IsSet8(par.Format.PageBreakBefore) || PreviousEndsWithHardBreak(doc, par);
    if (!keep) sb = 0;
  }
  return sb;
}

int32_t SpaceAfterFor(const TDoc& doc, const TPar& par) {
  int32_t sa = Value16(par.Format.SpaceAfter);
  if (sa == 0) return 0;
  const TPar* next = Neighbour(doc, par.Index, +1);
  const bool endsHere = EndsStoryOrCell(doc, par);
  if (IsSet8(par.Format.Contextual) && next != nullptr && next->Format.Style == par.Format.Style && !endsHere)
    return 0;
  if (sa == -20) {
    if (!IsInTable(par) && next != nullptr && IsInTable(*next)) return 280;
    sa = endsHere || (next != nullptr && SameList(par, *next)) ? 0 : 280;
  }
  return std::max(sa, 0);
}

// The line of the paragraph whose characters hold the offset (the last line for an offset past
// them).
int32_t LineOfOffset(const TPar& par, int32_t offset) {
  const int32_t n = static_cast<int32_t>(par.Lines.size());
  int32_t lo = 0, hi = n - 1;
  while (lo < hi) {
    const int32_t mid = (lo + hi + 1) / 2;
    if (par.Lines[static_cast<size_t>(mid)]->FirstChar <= offset) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

bool PageHoldsMainLines(TPage& page, const TBox& box, const TPar& par) {
  if (GetFirstLineOfBox(page, AreaBit(TBox::AreaMain)) == nullptr) return false;
  if (!IsInTable(par)) return true;
  const TCellBox* cell = GetCellBox(const_cast<TBox*>(&box));
  return cell == nullptr || !BoxLinesWithin(page, AreaBit(TBox::AreaMain), cell->RowRange);
}

// The box ends the page body: it is the last child of the column's main area.
bool EndsPageBody(const TBox& box) {
  const TBox* area = box.Parent;
  return area != nullptr && area->HasFlag(TBox::AreaBox) && area->LastChild() == &box &&
         area->Parent != nullptr && area->Parent->HasFlag(TBox::ColumnBody);
}

// The margin line number of a line (0 for none).
int32_t LineNumberFor(const TDoc& doc, const TSection& section, const TPar& par, int32_t index,
                      const TPage& page) {
  const TPageParams& pp = section.PageParams;
  const TLine* earlier = nullptr;
  if (index > 0) {
    earlier = par.Lines[static_cast<size_t>(index) - 1];
  } else {
    for (int32_t q = par.Index - 1; q >= doc.FirstParagraphOfStory(stMain); --q) {
      const TPar& prev = *doc.Par(q);
      if (IsInTable(prev)) continue;
      if (!prev.Lines.empty()) earlier = prev.Lines.back();
      break;
    }
  }
  if (earlier == nullptr || earlier->LineNumber <= 0) return pp.LineNumStart;
  if (pp.LineNumRestart == 0 && (earlier->Box == nullptr || earlier->Box->Page != &page)) return pp.LineNumStart;
  if (pp.LineNumRestart == 1 && earlier->Par != nullptr && SectionOfParagraph(doc, earlier->Par->Index) != &section)
    return pp.LineNumStart;
  return earlier->LineNumber + 1;
}

// The box is main text of a single-column body, outside tables.
bool IsSingleColumnMainText(const TBox& box, const TPar& par) {
  if (box.Area != TBox::AreaMain || IsInTable(par)) return false;
  const TBox* column = ColumnOf(const_cast<TBox*>(&box));
  return column != nullptr && column->Column == TBox::SingleColumn;
}

bool LineHasNotes(const TLine& line) { return line.FootnoteRef != nullptr || line.EndnoteRef != nullptr; }

uint8_t LastCodeOfLine(const TLine& line) {
  const int32_t at = line.FirstChar + line.Count - 1;
  return line.Count > 0 && at < line.Par->CharCount() ? line.Par->CodeAt(at) : 0;
}

// The line fitter's stop index of a paragraph for the extent of one fill (-1: none).
class TStopIndex {
 public:
  TStopIndex(TPar& par, int32_t at) : par_(par) { par_.LayoutValues.StopIndex = at; }
  ~TStopIndex() { par_.LayoutValues.StopIndex = -1; }
  TStopIndex(const TStopIndex&) = delete;
  TStopIndex& operator=(const TStopIndex&) = delete;

 private:
  TPar& par_;
};

// The snapshots one FillBox call takes; whatever is left is discarded when it ends.
class TFillSnapshots {
 public:
  explicit TFillSnapshots(TPage& page) : page_(page) {}
  ~TFillSnapshots() {
    Discard(note);
    Discard(widow);
    Discard(parStart);
  }
  const TPageSnapshot* Take() {
    TakePageSnapshot(page_);
    return LastPageSnapshot(page_);
  }
  void Discard(const TPageSnapshot*& s) {
    if (s != nullptr) DiscardPageSnapshot(page_, s);
    s = nullptr;
  }
  void RestoreAndDiscard(const TPageSnapshot*& s) {
    RestorePageSnapshot(page_, *s);
    Discard(s);
  }
  const TPageSnapshot* parStart = nullptr;
  const TPageSnapshot* widow = nullptr;
  const TPageSnapshot* note = nullptr;

 private:
  TPage& page_;
};

}  // namespace

bool KeepsWithNext(TDoc& doc, int32_t p) {
  const TPar& par = *doc.Par(p);
  if (!IsInTable(par)) return IsSet8(par.Format.KeepNext) && par.CharCount() > 1;
  TDocRange row;
  doc.GetRowRange(p, row);
  for (int32_t i = row.Start.Par; i < row.End.Par; ++i)
    if (IsSet8(doc.Par(i)->Format.KeepNext)) return true;
  return false;
}

void OpenKeepChain(TDoc& doc, TBox& target, const TDocRange& range, TFlowStack& stack,
                   TKeepChain& chain, uint32_t flags) {
  if (chain.Active || !KeepsWithNext(doc, range.Start.Par)) return;
  chain.Active = true;
  chain.AtBodyTop = IsBoxAtBodyTop(target);
  int32_t last = range.Start.Par;
  auto extendOverRow = [&doc](int32_t p) {
    if (!IsInTable(*doc.Par(p))) return p;
    TDocRange row;
    doc.GetRowRange(p, row);
    return row.End.Par;
  };
  last = extendOverRow(last);
  while (last + 1 <= range.End.Par && last + 1 < doc.ParCount() && KeepsWithNext(doc, last + 1))
    last = extendOverRow(last + 1);
  chain.LastPar = last;
  stack.Push(TFlowStack::KeepChain, flags, range.Start);
}

uint32_t FlowIntoBoxes(TBox& target, TDocRange& range) {
  TDoc& doc = *target.Doc;
  TFlowStack stack(*target.Page);
  TKeepChain chain;
  uint32_t flags = 0;
  auto dropChain = [&] {
    if (chain.Active) stack.Drop(TFlowStack::KeepChain);
    chain.Active = false;
  };
  while (ComparePositions(range.Start, range.End) < 0 && range.Start.Par < doc.ParCount()) {
    const int32_t p = range.Start.Par;
    const TPar& par = *doc.Par(p);
    if (IsInTable(par) && target.Kind != TBoxKind::Cell) {
      if (!LayOutTable(target, range, stack, chain, flags)) {
        dropChain();
        return flags;
      }
      continue;
    }
    if (!IsInTable(par) && range.Start.Offset == 0 && target.Area < TBox::AreaHeaderFooter)
      OpenKeepChain(doc, target, range, stack, chain, flags);
    TBox* text = target.LastChild();
    bool made = false;
    if (text == nullptr || !text->HasFlag(TBox::TextBox)) {
      stack.Push(TFlowStack::TextBoxMade, flags, range.Start);
      made = true;
      TBoxRef box = AcquireBox(&target, TBoxKind::Box);
      box->Flags = TBox::TextBox;
      box->Area = target.Area;
      int32_t top = target.Margins.top;
      if (TBox* last = target.LastChild()) top = last->Rect.bottom;
      box->Rect = {0, top, target.Width(), top};
      box->Margins.left = target.Margins.left;
      box->Margins.right = target.Margins.right;
      text = target.AddChild(std::move(box));
    }
    TDocRange sub = range;
    if (range.End.Par != p) MakePosition(p, par.CharCount(), sub.End);
    const uint32_t r = FillBox(*text, sub);
    if ((r & frNothingPlaced) != 0) {
      uint32_t saved = 0;
      TDocPosition start;
      if (made) stack.PopTo(TFlowStack::TextBoxMade, saved, start);
      if (chain.Active) {
        if (chain.AtBodyTop || (r & frPageBreak) != 0) {
          dropChain();
        } else if (stack.PopTo(TFlowStack::KeepChain, flags, range.Start)) {
          chain.Active = false;
        }
      }
      flags |= r & frPageBreak;
      if ((r & frShapeMoved) != 0) flags = (flags | frShapeMoved) & ~frMore;
      if ((flags & frMore) == 0) flags |= frNothingPlaced;
      return flags;
    }
    if (made) stack.Drop(TFlowStack::TextBoxMade);
    range.Start = sub.Start;
    if (range.Start.Par == p && range.Start.Offset >= par.CharCount()) NextParagraphStart(range.Start);
    const bool rangeEmpty = ComparePositions(range.Start, range.End) >= 0;
    if (chain.Active && (rangeEmpty || p > chain.LastPar)) dropChain();
    if ((r & frMore) != 0) {
      flags |= frMore;
      if (chain.Active) {
        if (!chain.AtBodyTop) {
          stack.PopTo(TFlowStack::KeepChain, flags, range.Start);
          flags |= frMore;
          chain.Active = false;
        } else {
          dropChain();
        }
      }
      return flags | (r & frBreaks);
    }
    if (rangeEmpty) flags = (flags & ~frMore) | frExhausted;
    else flags |= frMore;
    if ((r & frBreaks) != 0) {
      flags |= r & frBreaks;
      dropChain();
      return flags;
    }
  }
  dropChain();
  return flags;
}

uint32_t FillBox(TBox& box, TDocRange& range) {
  TDoc& doc = *box.Doc;
  TPage& page = *box.Page;
  const bool atTop = IsBoxAtBodyTop(box);
  const bool printLayout = IsPrintLayout(doc);
  const TDocPosition startedAt = range.Start;
  const int32_t p = range.Start.Par;
  TPar& par = *doc.Par(p);
  const bool inTable = IsInTable(par);
  TSection* section = SectionOfParagraph(doc, p);
  const int32_t sectionWidth = section != nullptr ? section->PageParams.TextWidth : box.InnerWidth();
  uint32_t result = 0;

  // A paragraph with page break before starts a new page once the page holds main text.
  if (range.Start.Offset == 0 && IsSet8(par.Format.PageBreakBefore) && box.Area == TBox::AreaMain &&
      printLayout && p > 0 && PageHoldsMainLines(page, box, par))
    return frNothingPlaced | frPageBreak;

  int32_t right = Value16(par.Format.RightIndent);
  if (IsDraftView(doc) && right < 0) right = 0;
  const int32_t lineWidth = BoxTextWidth(box, sectionWidth) - right;
  NormalizeParagraphTags(par);
  // Floating shapes of the main text and of headers and footers (with their table cells).
  const bool shapeArea = box.Area == TBox::AreaMain || box.Area == TBox::AreaHeaderFooter;
  // A cell is at least as high as the shapes anchored in it.
  if (shapeArea && inTable) {
    const int32_t shapesBottom = CellShapesBottom(box);
    if (shapesBottom != INT32_MIN && shapesBottom + box.Margins.bottom > box.Height()) {
      const int32_t need = shapesBottom + box.Margins.bottom - box.Height();
      if (!GrowBox(box.Parent, box, need, atTop && !doc.Layout.Balancing) && box.Area != TBox::AreaHeaderFooter)
        return frNothingPlaced;
    }
  }
  // A range that ends inside the paragraph (before a deferred shape's anchor) ends its lines
  // there.
  const bool stopsInside = range.End.Par == p && range.End.Offset < par.CharCount();
  TStopIndex stop(par, stopsInside ? range.End.Offset : -1);

  // A paragraph that starts with a drop cap is broken afresh wherever it starts.
  const bool dropCapHere = range.Start.Offset == 0 && par.HasFlag(pfDropCap) && !inTable;
  bool rebreak = !par.HasFlag(pfLinesValid) || par.Lines.empty() || dropCapHere || stopsInside;
  if (range.Start.Offset == 0) {
    int32_t sb = SpaceBeforeFor(doc, par, box, atTop);
    int32_t sa = SpaceAfterFor(doc, par);
    if (IsSectionBreakOnly(par) && box.LastLine() != nullptr) sb = sa = 0;
    const auto before = static_cast<int16_t>(std::clamp(sb, 0, 32767));
    const auto after = static_cast<int16_t>(std::clamp(sa, 0, 32767));
    if (par.LayoutValues.SpaceBeforeCache != before || par.LayoutValues.SpaceAfterCache != after) rebreak = true;
    par.LayoutValues.SpaceBeforeCache = before;
    par.LayoutValues.SpaceAfterCache = after;
  }
  // Text flows round the floating shapes of the page from where the paragraph (or the rest of
  // it) starts here. Lines already placed on an earlier page are never broken again.
  const bool continues = range.Start.Offset > 0 && par.HasFlag(pfLinesValid) && !par.Lines.empty();
  const int32_t breakFrom = continues ? LineOfOffset(par, range.Start.Offset) : 0;
  bool wrapped = false;
  if (shapeArea && (range.Start.Offset == 0 || continues)) {
    TWrapContext wrap;
    wrap.Exclusions = ShapeExclusions(box, box.FillPos);
    if (!inTable)
      for (const plat::Rect& r : DropCapExclusions(box, box.FillPos)) wrap.Exclusions.push_back(r);
    if (!wrap.Exclusions.empty()) {
      wrap.BandTop = box.FillPos;
      wrap.RightLimit = lineWidth;
      wrap.MinBandHeight = 240;
      wrap.MinBandWidth = 720;
      BreakParagraphIntoLines(par, breakFrom, lineWidth, &wrap);
      par.Flags |= pfLinesValid;
      wrapped = true;
      rebreak = false;
    }
  }
  if (rebreak && !wrapped) {
    BreakParagraphIntoLines(par, breakFrom, lineWidth, nullptr);
    par.Flags |= pfLinesValid;
  }
  // The line that the stop ends is broken again once the range goes on past it.
  if (stopsInside)
    for (TLine* l : par.Lines)
      if (l->LastChar() == range.End.Offset) l->Flags |= lfStopEnds;
  // The drop cap's line goes into a box of its own beside the text; the other lines wrap round
  // it. Without room for the letters the box is full.
  TBox* dropCapBox = nullptr;
  if (dropCapHere && !par.Lines.empty() && par.Lines.front()->HasFlag(lfDropCap)) {
    dropCapBox = PlaceDropCapLine(box, par, atTop);
    if (dropCapBox == nullptr) return frNothingPlaced;
    TWrapContext wrap;
    wrap.Exclusions = ShapeExclusions(box, box.FillPos);
    for (const plat::Rect& r : DropCapExclusions(box, box.FillPos)) wrap.Exclusions.push_back(r);
    wrap.BandTop = box.FillPos;
    wrap.RightLimit = lineWidth;
    wrap.MinBandHeight = 240;
    wrap.MinBandWidth = 720;
    BreakParagraphIntoLines(par, 1, lineWidth, &wrap);
    par.Flags |= pfLinesValid;
    wrapped = true;
    rebreak = false;
  }
  const int32_t firstToPlace = dropCapBox != nullptr ? 1 : -1;
  int32_t first = firstToPlace >= 0 ? firstToPlace : LineOfOffset(par, range.Start.Offset);
  // Note references on the lines to place are numbered from the page's counters.
  bool linesHaveNotes = false;
  for (size_t i = static_cast<size_t>(first); i < par.Lines.size() && !linesHaveNotes; ++i)
    linesHaveNotes = LineHasNotes(*par.Lines[i]);
  if (linesHaveNotes) {
    int32_t footnote = page.FootnoteCounter, endnote = page.EndnoteCounter;
    if (par.RenumberNoteMarks(first, footnote, endnote)) {
      BreakParagraphIntoLines(par, first, lineWidth, nullptr);
      rebreak = true;
    }
  }
  if (!rebreak && !wrapped) {
    for (size_t i = static_cast<size_t>(first); i < par.Lines.size(); ++i) {
      const TLine& l = *par.Lines[i];
      if (l.AvailWidth != lineWidth || l.HasFlag(lfSegment) || l.HasFlag(lfScaledPicture) ||
          (l.HasFlag(lfStopEnds) && !stopsInside)) {
        BreakParagraphIntoLines(par, first, lineWidth, nullptr);
        break;
      }
    }
  }
  first = firstToPlace >= 0 ? firstToPlace : LineOfOffset(par, range.Start.Offset);
  const int32_t lineCount = static_cast<int32_t>(par.Lines.size());
  const bool toParEnd = range.End.Par > p || range.End.Offset >= par.CharCount();
  const int32_t last = toParEnd ? lineCount - 1 : LineOfOffset(par, std::max(range.End.Offset - 1, 0));

  const bool keepLines = IsSet8(par.Format.KeepLines);
  const bool widowControl = IsSet8(par.Format.WidowControl);
  const bool numbering = printLayout && box.Area == TBox::AreaMain && !inTable && section != nullptr &&
                         section->PageParams.LineNumInterval > 0 && !IsSet8(par.Format.NoLineNumbers) &&
                         !IsSectionBreakOnly(par);
  const bool placeWithoutRoom = doc.IsDocFlagSet(dfPlaceWithoutRoom);
  TFillSnapshots snaps(page);
  bool full = false;
  bool noteContinues = false;
  int32_t placedHere = 0;  // lines of this paragraph placed in this box by this call
  int32_t lastPlaced = -1;
  for (int32_t li = first; li <= last; ++li) {
    TLine& line = *par.Lines[static_cast<size_t>(li)];
    if (printLayout && box.Area < TBox::AreaHeaderFooter && lineCount > 1) {
      if (li == 0 && !atTop && (keepLines || widowControl)) snaps.parStart = snaps.Take();
      // Two lines may move on to keep the last line company, when two stay behind.
      if (widowControl && !keepLines && li == lineCount - 2 && last == lineCount - 1 && placedHere >= 2)
        snaps.widow = snaps.Take();
    }
    // A picture scaled to the text area stands alone on its page.
    const bool alonePicture = printLayout && line.HasFlag(lfScaledPicture) && IsSingleColumnMainText(box, par);
    if (alonePicture && box.LastLine() != nullptr) {
      result |= frPageBreak;
      break;
    }
    // In the draft views the note stories are shown whole after the text instead.
    const bool notes = printLayout && LineHasNotes(line) && box.Area < TBox::AreaHeaderFooter;
    if (notes) snaps.note = snaps.Take();
    const bool sectionOnly = IsSectionBreakOnly(par) && box.LastLine() != nullptr;
    if (!sectionOnly) {
      const int64_t bottom = int64_t{wrapped ? std::max(line.Top, box.FillPos) : box.FillPos} + line.Height;
      if (bottom > box.InnerHeight()) {
        const bool force = !doc.Layout.Balancing &&
                           ((atTop && box.LastLine() == nullptr) || IsBreakOnlyLine(line) ||
                            box.Area == TBox::AreaHeaderFooter);
        const int32_t need = static_cast<int32_t>(std::min<int64_t>(bottom - box.InnerHeight(), INT32_MAX));
        bool fits = GrowBox(box.Parent, box, need, force) || placeWithoutRoom;
        const int32_t spaceAfter = std::max<int32_t>(par.LayoutValues.SpaceAfterCache, 0);
        if (!fits && li == lineCount - 1 && box.Area == TBox::AreaMain && printLayout && !inTable &&
            spaceAfter > 0 && EndsPageBody(box)) {
          const int64_t tight = bottom - spaceAfter - box.InnerHeight();
          fits = tight <= 0 || GrowBox(box.Parent, box, static_cast<int32_t>(tight), false);
        }
        if (!fits) {
          snaps.Discard(snaps.note);
          full = true;
          break;
        }
      }
    }
    // Shapes anchored in the line's characters go on the page from where the line goes, once the
    // line has room here (a line that moves on takes its shapes along); the page is then laid out
    // again round them.
    if (shapeArea && par.HasFlag(pfAnchoredShapes)) {
      const int32_t from = li == first ? range.Start.Offset : line.FirstChar;
      const int32_t to = li == lineCount - 1 ? INT32_MAX : line.LastChar();
      if (PlaceAnchoredShapes(box, par, from, to)) {
        if (dropCapBox != nullptr && placedHere == 0) box.RemoveChild(dropCapBox);
        return frNothingPlaced | frShapeMoved;
      }
    }
    TLine* previous = box.LastLine();
    box.AppendLine(line);
    line.Flags |= lfFieldShading;
    line.Flags &= ~(lfSectBreakFollows | lfSectBreakOnly);
    if (sectionOnly && previous != nullptr) {
      line.Top = previous->Top;
      previous->Flags |= lfSectBreakFollows;
      line.Flags |= lfSectBreakOnly;
    } else if (wrapped) {
      // Segments of one row share its top; the fill goes on below the lowest.
      line.Top = std::max(line.Top, previous != nullptr && previous->RowNumber == line.RowNumber &&
                                            previous->Par == line.Par
                                        ? previous->Top
                                        : box.FillPos);
      box.FillPos = std::max(box.FillPos, line.Top + line.Height);
    } else {
      line.Top = box.FillPos;
      box.FillPos += line.Height;
    }
    line.LineNumber = numbering && !line.HasFlag(lfSegment) ? LineNumberFor(doc, *section, par, li, page) : 0;
    if (notes) {
      bool continues = false;
      if (!PlaceLineNotes(box, line, continues)) {
        if (atTop && placedHere == 0 && previous == nullptr) {
          // At the top of the body the line stays; only its notes wait for the next page.
          RestorePageSnapshot(page, *snaps.note);
          snaps.Discard(snaps.note);
          box.AppendLine(line);
          line.Top = box.FillPos;
          box.FillPos += line.Height;
          GrowBox(box.Parent, box, std::max(0, box.FillPos - box.InnerHeight()), true);
          std::vector<TField*> refs;
          CollectLineNoteRefs(line, refs);
          for (TField* ref : refs) {
            TDocRange text;
            if (ref->LinkedField != nullptr && ref->LinkedField->NoteClass == 0 && ref->NoteClass == 0 &&
                NoteTextRange(doc, *ref->LinkedField, text))
              AppendNoteRange(page.Footnotes, text);
          }
        } else {
          snaps.RestoreAndDiscard(snaps.note);
          full = true;
          break;
        }
      } else {
        snaps.Discard(snaps.note);
      }
      noteContinues = noteContinues || continues;
    }
    ++placedHere;
    lastPlaced = li;
    range.Start.Offset = line.LastChar();
    if (range.Start.Offset >= par.CharCount()) NextParagraphStart(range.Start);
    const uint8_t code = LastCodeOfLine(line);
    if (printLayout && (line.HasFlag(lfPageBreakEnds) || code == scPageBreak || alonePicture)) result |= frPageBreak;
    if (code == scColumnBreak) result |= frColumnBreak;
    if (code == scSectionEnd) result |= frSectionBreak;
    if ((result & frBreaks) != 0 || noteContinues) break;
  }
  if (noteContinues) result |= frPageBreak;

  if (full && (result & (frBreaks | frShapeMoved)) == 0) {
    // A last line alone on the next page takes the line before it along when two lines stay
    // behind; otherwise the whole paragraph moves (below).
    bool wholeParagraph = false;
    if (widowControl && !keepLines && lastPlaced == lineCount - 2) {
      if (snaps.widow != nullptr) {
        snaps.RestoreAndDiscard(snaps.widow);
        MakePosition(p, par.Lines[static_cast<size_t>(lineCount) - 2]->FirstChar, range.Start);
        lastPlaced = lineCount - 3;
      } else {
        wholeParagraph = true;
      }
    }
    const int32_t placedOfPar = lastPlaced + 1;
    if (snaps.parStart != nullptr &&
        (wholeParagraph || lastPlaced == 0 || (keepLines && placedOfPar < lineCount))) {
      snaps.Discard(snaps.widow);
      snaps.RestoreAndDiscard(snaps.parStart);
      MakePosition(p, 0, range.Start);
    }
  }
  // Letters none of whose text stayed here go on with it.
  if (dropCapBox != nullptr && placedHere == 0) box.RemoveChild(dropCapBox);
  if (SamePlace(range.Start, startedAt)) return frNothingPlaced | result;
  if (ComparePositions(range.Start, range.End) >= 0) return frExhausted | result;
  return frMore | result;
}

}  // namespace qv
