// Pagination: pages, section bands and their columns, notes at the foot of the columns, column
// balancing, and the incremental entry points.
#include "layout/pagination.h"

#include <algorithm>
#include <array>
#include <climits>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/page_params.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/section.h"
#include "document/shape.h"
#include "layout/box.h"
#include "layout/box_filler.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/floating_shapes.h"
#include "layout/layout_common.h"
#include "layout/line_fitter.h"
#include "layout/line_metrics.h"
#include "layout/note_layout.h"
#include "layout/page.h"
#include "layout/table_layout.h"

namespace qv {

namespace {

// Pages in a row that hold nothing before pagination gives up on content that never fits.
constexpr int32_t kMaxEmptyPages = 3;
// How far the line between columns ends above the columns' content.
constexpr int32_t kColumnSeparatorGap = 48;

bool AtMainEnd(const TDoc& doc, const TDocPosition& p) {
  const int32_t last = doc.LastParagraphOfStory(stMain);
  return p.Par > last || (p.Par == last && p.Offset >= doc.Par(last)->CharCount());
}

TSection* SectionAt(const TDoc& doc, const TDocPosition& p) {
  return SectionOfParagraph(doc, std::min(p.Par, doc.LastParagraphOfStory(stMain)));
}

TDocPosition After(const TDoc& doc, const TLine& line) {
  TDocPosition p;
  MakePosition(line.Par->Index, line.LastChar(), p);
  if (p.Offset >= doc.Par(p.Par)->CharCount()) NextParagraphStart(p);
  return p;
}

// The last main-text content of the tree, from the end: a text box's last line or a table box.
bool LastMainContent(const TDoc& doc, TBox& box, TDocPosition& pos, const TLine** line) {
  for (auto it = box.Children.rbegin(); it != box.Children.rend(); ++it) {
    TBox& c = **it;
    if (c.Area != TBox::AreaMain && c.Area != TBox::AreaNone) continue;
    if (c.Kind == TBoxKind::Table) {
      auto& table = static_cast<TTableBox&>(c);
      if (table.HasFlag(TBox::TableEnds)) {
        TDocRange range;
        const_cast<TDoc&>(doc).GetTableRange(table.FirstPar, range);
        MakePosition(range.End.Par + 1, 0, pos);
      } else {
        pos = TableContinuation(table);
      }
      if (line != nullptr) *line = nullptr;
      return true;
    }
    if (c.HasFlag(TBox::TextBox)) {
      if (const TLine* l = c.LastLine()) {
        pos = After(doc, *l);
        if (line != nullptr) *line = l;
        return true;
      }
      continue;
    }
    if (LastMainContent(doc, c, pos, line)) return true;
  }
  return false;
}

void ConfigureFitter(const TDoc& doc) {
  TLayoutSettings& s = LayoutLineFitter().Settings;
  s.ViewMode = doc.ViewMode;
  s.DefaultTabWidth = doc.DefaultTabStop;
  s.AutoHyphenate = doc.AutoHyphenation != 0;
  s.HyphenateCaps = doc.HyphenateCaps != 0;
  s.HyphenationZone = doc.HyphenationZone;
}

bool NotesWaiting(const TPage& page) { return HasNoteText(page.Footnotes) || HasNoteText(page.Endnotes); }

// The whole of a story as one note range; false when the story is empty.
bool StoryRange(const TDoc& doc, int32_t story, TDocRange& out) {
  const int32_t first = doc.FirstParagraphOfStory(story);
  const int32_t last = doc.LastParagraphOfStory(story);
  if (last < first) return false;
  MakeRange(first, 0, last, doc.Par(last)->CharCount(), out);
  return true;
}

// The endnotes referenced by the laid-out lines of the section, and of the sections just before
// it that pass their endnotes on.
void CollectSectionEndnotes(TDoc& doc, const TSection& section, TPage& page) {
  int32_t first = section.FirstPar;
  for (size_t i = 0; i < doc.Sections.size(); ++i) {
    if (doc.Sections[i].get() != &section) continue;
    for (size_t j = i; j-- > 0;) {
      if (doc.Sections[j]->PageParams.NoEndnotesHere == 0) break;
      first = doc.Sections[j]->FirstPar;
    }
  }
  std::vector<TField*> refs;
  for (int32_t p = std::max(first, 0); p <= section.LastPar && p < doc.ParCount(); ++p)
    for (const TLine* line : doc.Par(p)->Lines) {
      if (line->EndnoteRef == nullptr) continue;
      CollectLineNoteRefs(*line, refs);
      for (const TField* ref : refs) {
        TDocRange text;
        if (ref->LinkedField != nullptr && ref->LinkedField->NoteClass == 1 &&
            NoteTextRange(doc, *ref->LinkedField, text))
          AppendNoteRange(page.Endnotes, text);
      }
    }
}

void PlaceColumn(TBox& column, const TPage& page, const TSection& section, int32_t i, int32_t count) {
  const int32_t width = page.Width();
  column.Rect = {0, 0, width, 0};
  const TDoc& doc = *page.Doc;
  if (IsDraftView(doc)) {
    column.Margins.left = column.Margins.right = DraftViewMargin;
    return;
  }
  if (count < 2) {
    column.Margins.left = page.Margins.left;
    column.Margins.right = page.Margins.right;
    return;
  }
  TColumnBounds b;
  ComputeColumnBounds(section.Format, section.PageParams, i, b);
  const int32_t lm = page.Margins.left;
  const int32_t left = i == 0 ? 0 : lm + b.AreaLeft;
  const int32_t right = i == count - 1 ? width : lm + b.AreaRight;
  column.Rect.left = left;
  column.Rect.right = std::max(left, right);
  column.Margins.left = lm + b.Left - left;
  column.Margins.right = std::max(0, column.Rect.right - (lm + b.Left + b.Width));
}

int32_t ColumnCount(const TDoc& doc, const TSection& section) {
  if (IsDraftView(doc)) return 1;
  return std::clamp(section.Format.ColumnCount, 1, MaxColumns);
}

bool IsFirstBand(const TPage& page, const TBox& band) {
  for (const TBoxRef& c : page.Children) {
    if (c.get() == &band) return true;
    if (c->HasFlag(TBox::SectionBand)) return false;
  }
  return true;
}

void SetNoteCounters(TPage& page, const TBox& band, const TSection& section, const TDocPosition& pos) {
  const bool startsHere = pos.Par == section.FirstPar && pos.Offset == 0;
  if ((section.Footnotes.Restart == 2 && IsFirstBand(page, band)) || (section.Footnotes.Restart == 1 && startsHere))
    page.FootnoteCounter = section.Footnotes.StartAt;
  if (section.Endnotes.Restart == 1 && startsHere) page.EndnoteCounter = section.Endnotes.StartAt;
}

// An even-page or odd-page section that would start on the wrong kind of page leaves this page
// empty.
bool WrongPageForSection(const TPage& page, const TLine* lastLine) {
  if (lastLine == nullptr || lastLine->Par == nullptr || LastCodeOf(*lastLine->Par) != scSectionEnd) return false;
  if (lastLine->LastChar() < lastLine->Par->CharCount()) return false;
  const TSection* ending = lastLine->Par->SectionBreak();
  if (ending == nullptr) return false;
  const bool evenIndex = (page.Index & 1) == 0;  // an odd page number
  return (ending->Format.BreakKind == sbEvenPage && evenIndex) || (ending->Format.BreakKind == sbOddPage && !evenIndex);
}

void OrderNoteBoxes(TBox& column, const TSection& section, int32_t height) {
  auto& kids = column.Children;
  auto takeArea = [&kids](uint8_t area) -> TBoxRef {
    for (auto it = kids.begin(); it != kids.end(); ++it)
      if ((*it)->HasFlag(TBox::AreaBox) && (*it)->Area == area) {
        TBoxRef box = std::move(*it);
        kids.erase(it);
        return box;
      }
    return TBoxRef();
  };
  TBoxRef foot = takeArea(TBox::AreaFootnotes);
  TBoxRef end = takeArea(TBox::AreaEndnotes);
  const bool atBottom = section.Footnotes.Position == 1;
  if (atBottom) {
    if (end) kids.push_back(std::move(end));
    if (foot) kids.push_back(std::move(foot));
  } else {
    if (foot) kids.push_back(std::move(foot));
    if (end) kids.push_back(std::move(end));
  }
  for (TBoxRef& c : kids) StackChildBoxes(*c);
  bool othersEmpty = true;
  int64_t notes = 0;
  TBox* before = nullptr;
  for (TBoxRef& c : kids) {
    if (c->Area == TBox::AreaFootnotes || c->Area == TBox::AreaEndnotes) {
      notes += c->Height();
    } else {
      before = c.get();
      if (!IsBoxEmpty(*c)) othersEmpty = false;
    }
  }
  if (atBottom && notes > 0 && othersEmpty) {
    StackChildBoxesFromBottom(column);
    return;
  }
  if (atBottom && notes > 0 && before != nullptr) {
    int64_t sum = 0;
    for (TBoxRef& c : kids) sum += c->Height();
    const int64_t room = height - column.Margins.top - column.Margins.bottom - sum;
    if (room > 0) before->Rect.bottom += static_cast<int32_t>(room);
  }
  StackChildBoxes(column);
}

// Finishes a band: the height it grows to, its columns' height, the order of their note areas.
void FinishBand(TPage& page, TBox& band, const TSection& section, int result) {
  const TDoc& doc = *page.Doc;
  if (result == sbrPageFinished && IsPrintLayout(doc)) {
    const int32_t bottom = page.Height() - PageBodyBottomSpace(page);
    if (bottom > band.Rect.bottom) band.Rect.bottom = bottom;
  }
  const int32_t height = band.Height();
  int32_t tallest = 0;
  for (TBoxRef& column : band.Children) {
    int32_t content = 0;
    for (const TBoxRef& c : column->Children) content += c->Height();
    tallest = std::max(tallest, content);
    column->Rect.top = 0;
    column->Rect.bottom = height;
    if (IsPrintLayout(doc)) OrderNoteBoxes(*column, section, height);
    else StackChildBoxes(*column);
  }
  if (band.Children.size() > 1 && section.Format.SeparatorLine != 0)
    band.SeparatorHeight = static_cast<uint16_t>(std::clamp(tallest, 0, 65535));
}

// The band's text boxes that end a column get the room of the line between columns.
void ReserveSeparatorGap(TBox& band, const TSection& section) {
  if (band.Children.size() < 2 || section.Format.SeparatorLine == 0) return;
  for (TBoxRef& column : band.Children) {
    TBox* area = column->LastChild();
    if (area == nullptr || !area->HasFlag(TBox::AreaBox)) continue;
    TBox* text = area->LastChild();
    if (text == nullptr || !text->HasFlag(TBox::TextBox)) continue;
    int32_t granted = 0;
    GrowBox(area, *text, kColumnSeparatorGap, true, &granted);
    column->SeparatorGap = static_cast<uint16_t>(std::clamp(granted, 0, 65535));
  }
}

bool PageIsEmpty(const TPage& page) { return GetFirstLineOfBox(page, BodyAreas) == nullptr; }

// The last main-text line of the main story is placed and ends its paragraph, and no note text
// waits: the document is laid out to its end.
bool ReachedEnd(const TDoc& doc) {
  const TPar& last = *doc.Par(doc.LastParagraphOfStory(stMain));
  if (!last.HasFlag(pfLinesValid) || last.Lines.empty()) return false;
  const TLine& line = *last.Lines.back();
  if (line.Box == nullptr || line.LastChar() < last.CharCount()) return false;
  if (doc.Pages.empty()) return true;
  // A table's last row whose cells go on over the page has its row-end mark placed already.
  const TPage& page = *doc.Pages.back();
  return !NotesWaiting(page) && AtMainEnd(doc, FindContinuation(doc, page));
}

void SetUpPage(TDoc& doc, TPage& page) {
  TSection& section = *page.Section;
  const TPageParams& pp = section.PageParams;
  if (IsPrintLayout(doc)) {
    page.Rect = {0, 0, pp.PageWidth, pp.PageHeight};
    const bool mirrored = pp.Mirror != 0 && (page.Index & 1) != 0;
    page.Margins = {mirrored ? pp.RightMargin : pp.LeftMargin, pp.TopMargin,
                    mirrored ? pp.LeftMargin : pp.RightMargin, pp.BottomMargin};
    if (!doc.Layout.NoHeadersFooters) MakePageHeaderFooter(page);
    return;
  }
  int32_t widest = 0;
  for (const auto& s : doc.Sections) widest = std::max(widest, s->PageParams.TextWidth);
  page.Rect = {0, 0, 2 * DraftViewMargin + widest, DraftPageHeight};
  page.Margins = {};
}

// The page's header and footer stay only when the page holds something else.
void DropLoneHeaderFooter(TPage& page) {
  if (page.Children.empty() || page.Children.size() > 2) return;
  for (const TBoxRef& c : page.Children)
    if (c->Area != TBox::AreaHeaderFooter) return;
  page.Children.clear();
  auto& shapes = page.Shapes;
  shapes.erase(std::remove_if(shapes.begin(), shapes.end(), [](const TShape* s) { return IsHeaderFooterShape(*s); }),
               shapes.end());
  page.HeaderBox = page.FooterBox = nullptr;
  page.HeaderField = page.FooterField = nullptr;
}

TPage& NewPage(TDoc& doc) {
  TPage* page = AcquirePage(doc);
  page->Index = doc.PageCount();
  if (!doc.Pages.empty()) {
    const TPage& last = *doc.Pages.back();
    if (HasNoteText(last.Footnotes)) page->Footnotes = CloneFragment(*last.Footnotes);
    if (HasNoteText(last.Endnotes)) page->Endnotes = CloneFragment(*last.Endnotes);
    page->FootnoteCounter = last.FootnoteCounter;
    page->EndnoteCounter = last.EndnoteCounter;
  } else if (!doc.Sections.empty()) {
    page->FootnoteCounter = doc.Sections.front()->Footnotes.StartAt;
    page->EndnoteCounter = doc.Sections.front()->Endnotes.StartAt;
  }
  doc.Pages.push_back(page);
  return *page;
}

}  // namespace

TDocPosition FindContinuation(const TDoc& doc, const TPage& page, const TLine** lastLine) {
  TDocPosition pos;
  if (lastLine != nullptr) *lastLine = nullptr;
  for (int32_t i = std::min(page.Index, doc.PageCount() - 1); i >= 0; --i) {
    TPage& p = *doc.Pages[static_cast<size_t>(i)];
    if (LastMainContent(doc, p, pos, lastLine)) return pos;
  }
  return pos;
}

int LayOutSectionBand(TPage& page, int32_t maxHeight) {
  TDoc& doc = *page.Doc;
  const TLine* lastLine = nullptr;
  TDocPosition pos = FindContinuation(doc, page, &lastLine);
  TSection* section = SectionAt(doc, pos);
  if (section == nullptr) return sbrPageFinished;
  // The band starts below the last band, the header, or at the page's inner top margin.
  int32_t top = page.Margins.top;
  if (page.HeaderBox != nullptr) top = page.HeaderBox->Rect.bottom;
  for (const TBoxRef& c : page.Children)
    if (c->HasFlag(TBox::SectionBand)) top = c->Rect.bottom;
  TBoxRef made = AcquireBox(&page, TBoxKind::Box);
  made->Flags = TBox::SectionBand;
  made->Rect = {0, top, page.Width(), top};
  made->MaxHeight = maxHeight;
  TBox& band = *page.AddChild(std::move(made), page.FooterBox);

  const bool printLayout = IsPrintLayout(doc);
  const int32_t columns = ColumnCount(doc, *section);
  TDocRange main = MainTextRange(doc);
  // A deferred shape's anchor waits for the next page: the text ends before it here.
  const bool cut = page.MainTextCut && ComparePositions(page.MainTextEnd, main.End) < 0;
  if (cut) main.End = page.MainTextEnd;
  bool cutReached = false;
  bool pageBreak = false, sectionBreak = false, ended = false;
  const TLine* sectionEndLine = nullptr;
  for (int32_t i = 0; i < columns; ++i) {
    if (i > 0) pos = FindContinuation(doc, page, &lastLine);
    if (i == 0) SetNoteCounters(page, band, *section, pos);
    TBoxRef columnBox = AcquireBox(&band, TBoxKind::Box);
    columnBox->Flags = TBox::ColumnBody;
    columnBox->Column = columns > 1 ? static_cast<uint8_t>(i) : TBox::SingleColumn;
    TBox& column = *band.AddChild(std::move(columnBox));
    PlaceColumn(column, page, *section, i, columns);
    TBox& mainArea = *GetAreaBox(column, TBox::AreaMain);
    PlaceNotes(column, TBox::AreaFootnotes);
    if (!HasNoteText(page.Footnotes)) PlaceNotes(column, TBox::AreaEndnotes);
    if (printLayout && !NotesWaiting(page) && i == 0 && IsFirstBand(page, band) && WrongPageForSection(page, lastLine))
      break;
    if (pageBreak || sectionBreak || ended) break;
    // A section whose text has ended keeps its notes to itself.
    const bool sectionPending = lastLine != nullptr && lastLine->HasFlag(lfSectionBreak) && NotesWaiting(page) &&
                                SectionOfParagraph(doc, lastLine->Par->Index) != section;
    if (sectionPending) break;
    if (AtMainEnd(doc, pos)) {
      ended = true;
      break;
    }
    if (cut && ComparePositions(pos, main.End) >= 0) {
      cutReached = true;
      break;
    }
    TDocRange range{pos, main.End};
    TakePageSnapshot(page);
    const TPageSnapshot* snapshot = LastPageSnapshot(page);
    const uint32_t r = FlowIntoBoxes(mainArea, range);
    if ((r & frShapeMoved) != 0) {
      DiscardPageSnapshot(page, snapshot);
      return sbrShapesMoved;
    }
    if ((r & frNothingPlaced) != 0) RestorePageSnapshot(page, *snapshot);
    DiscardPageSnapshot(page, snapshot);
    if ((r & frPageBreak) != 0) pageBreak = true;
    if ((r & frSectionBreak) != 0) {
      sectionBreak = true;
      FindContinuation(doc, page, &sectionEndLine);
    }
    const bool exhausted = AtMainEnd(doc, range.Start) && (r & frNothingPlaced) == 0;
    if (exhausted) {
      ended = true;
      TDocRange story;
      if (!printLayout) {
        if (StoryRange(doc, stFootnotes, story)) AppendNoteRange(page.Footnotes, story);
        if (StoryRange(doc, stEndnotes, story)) AppendNoteRange(page.Endnotes, story);
      } else if (section->Endnotes.Position == 3) {
        if (StoryRange(doc, stEndnotes, story)) AppendNoteRange(page.Endnotes, story);
      } else if (section->Endnotes.Position == 0) {
        CollectSectionEndnotes(doc, *section, page);
      }
      PlaceNotes(column, TBox::AreaFootnotes);
      if (!HasNoteText(page.Footnotes)) PlaceNotes(column, TBox::AreaEndnotes);
    } else if (sectionBreak && printLayout && section->Endnotes.Position == 0 && !doc.Layout.EndnotesInLastSection) {
      CollectSectionEndnotes(doc, *section, page);
      if (!HasNoteText(page.Footnotes)) PlaceNotes(column, TBox::AreaEndnotes);
    }
    if (cut && ComparePositions(range.Start, main.End) >= 0) cutReached = true;
    if (pageBreak || sectionBreak || ended || cutReached) break;
  }
  ReserveSeparatorGap(band, *section);

  const TSection* ending = sectionEndLine != nullptr && sectionEndLine->Par != nullptr ? sectionEndLine->Par->SectionBreak() : nullptr;
  int result = sbrPageFinished;
  if (sectionBreak && !pageBreak && !cutReached && ending != nullptr && ending->Format.BreakKind == sbContinuous &&
      !NotesWaiting(page) && GetFirstLineOfBox(page, AreaBit(TBox::AreaMain)) != nullptr &&
      !sectionEndLine->HasFlag(lfPageBreakEnds))
    result = sbrSectionContinues;
  if (result == sbrSectionContinues && section->Footnotes.Position == 1) {
    for (const TBoxRef& column : band.Children)
      for (const TBoxRef& c : column->Children)
        if (c->Area == TBox::AreaFootnotes && !IsBoxEmpty(*c)) result = sbrPageFinished;
  }
  return result;
}

namespace {

// The page's shapes and their rectangles after a band height that kept the section on the page.
struct TShapePlaces {
  std::vector<TShape*> Shapes;
  std::vector<std::array<int32_t, 4>> Rects;
  bool Valid = false;

  void Remember(const TPage& page) {
    Shapes = page.Shapes;
    Rects.clear();
    for (const TShape* s : Shapes) Rects.push_back(s->PlacedRect);
    Valid = true;
  }
  void PutBack(TPage& page) const {
    if (!Valid) return;
    page.Shapes = Shapes;
    for (size_t i = 0; i < Shapes.size(); ++i) {
      Shapes[i]->PlacedRect = Rects[i];
      Shapes[i]->Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
    }
  }
};

bool FollowsColumnOrParagraph(const TShape& s) {
  const int32_t h = s.Props.GetProp(spPosRelH), v = s.Props.GetProp(spPosRelV);
  return h == 2 || h == 3 || v == 2 || v == 3;
}

// Before a try at another band height, the shapes that follow their column or paragraph and are
// anchored after the last main-text line placed leave the page, to be placed again for it.
void RemoveShapesAfter(TPage& page, const TDocPosition& continuation) {
  auto& list = page.Shapes;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&continuation](const TShape* s) {
                              if (s->AnchorPar == nullptr || IsHeaderFooterShape(*s) || !FollowsColumnOrParagraph(*s))
                                return false;
                              TDocPosition anchor;
                              MakePosition(s->AnchorPar->Index, s->AnchorOffset, anchor);
                              return ComparePositions(anchor, continuation) >= 0;
                            }),
             list.end());
}

}  // namespace

int LayOutSectionBandAndBalance(TPage& page) {
  TDoc& doc = *page.Doc;
  const TDocPosition continuation = FindContinuation(doc, page);
  const TSection* bandSection = SectionAt(doc, continuation);
  TakePageSnapshot(page);
  const TPageSnapshot* snapshot = LastPageSnapshot(page);
  int result = LayOutSectionBand(page, TBox::Unlimited);
  auto lastBand = [&page]() -> TBox* {
    TBox* band = nullptr;
    for (const TBoxRef& c : page.Children)
      if (c->HasFlag(TBox::SectionBand)) band = c.get();
    return band;
  };
  TBox* band = lastBand();
  if (band != nullptr && result == sbrSectionContinues && bandSection != nullptr &&
      ColumnCount(doc, *bandSection) > 1 && IsPrintLayout(doc)) {
    const int32_t full = band->Height();
    const bool shapes = LaidOutShapeCount(doc) > 0;
    TShapePlaces places;
    if (shapes) places.Remember(page);
    // One try at a height: with floating shapes it is repeated while it places shapes, the
    // shapes that follow the text of this band being placed afresh for each height.
    auto tryHeight = [&](int32_t height) {
      int r = sbrShapesMoved;
      for (int32_t round = 0; round <= LaidOutShapeCount(doc) + 1 && r == sbrShapesMoved; ++round) {
        RestorePageSnapshot(page, *snapshot);
        if (shapes && round == 0) RemoveShapesAfter(page, continuation);
        r = LayOutSectionBand(page, height);
      }
      return r;
    };
    doc.Layout.Balancing = true;
    int32_t lo = 1, hi = full, best = full;
    while (lo <= hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (tryHeight(mid) == sbrSectionContinues) {
        best = mid;
        hi = mid - 1;
        if (shapes) places.Remember(page);
      } else {
        lo = mid + 1;
      }
    }
    RestorePageSnapshot(page, *snapshot);
    places.PutBack(page);
    result = LayOutSectionBand(page, best);
    doc.Layout.Balancing = false;
    band = lastBand();
  }
  if (result != sbrShapesMoved && band != nullptr) {
    if (IsBoxEmpty(*band)) {
      RestorePageSnapshot(page, *snapshot);
    } else {
      // The band's section is that of its first main-text line.
      const TLine* first = GetFirstLineOfBox(*band, AreaBit(TBox::AreaMain));
      const TSection* section =
          first != nullptr && first->Par != nullptr ? SectionOfParagraph(doc, first->Par->Index) : page.Section;
      if (section != nullptr) FinishBand(page, *band, *section, result);
    }
  }
  DiscardPageSnapshot(page, snapshot);
  return result;
}

void ReleaseDocumentPages(TDoc& doc) {
  for (TPage* page : doc.Pages) ReleaseBox(page);
  doc.Pages.clear();
}

namespace {

// Where the main text ends for a page that must not show the shape's anchor: just before the
// anchor character, or at the end of the paragraph before when the anchor is its paragraph's first
// or last character.
TDocPosition BeforeAnchor(const TDoc& doc, const TShape& shape) {
  TDocPosition p;
  const int32_t par = shape.AnchorPar->Index;
  MakePosition(par, shape.AnchorOffset, p);
  const bool edge = shape.AnchorOffset <= 0 || shape.AnchorOffset >= shape.AnchorPar->CharCount() - 1;
  if (edge && par > doc.FirstParagraphOfStory(stMain)) MakePosition(par - 1, doc.Par(par - 1)->CharCount(), p);
  else if (edge) MakePosition(par, 0, p);
  return p;
}

void Defer(TPage& page, TShape* shape) {
  auto& list = page.Shapes;
  list.erase(std::remove(list.begin(), list.end(), shape), list.end());
  if (std::find(page.DeferredShapes.begin(), page.DeferredShapes.end(), shape) == page.DeferredShapes.end())
    page.DeferredShapes.push_back(shape);
}

// The page's section bands; with floating shapes, in rounds: a band that places a shape ends its
// round, and the page is laid out again from the start, keeping the shapes placed so far, so that
// the text flows round them. When the round's shape pushed its own anchor off the page, the shape
// is deferred: the page's main text ends before the anchor, and the page is laid out again
// without it. A page that would then hold no main text keeps the shape where it is.
void LayOutPageRounds(TPage& page) {
  TDoc& doc = *page.Doc;
  const int32_t shapes = LaidOutShapeCount(doc);
  auto bands = [&page, &doc] {
    int result = sbrPageFinished;
    for (size_t n = 0; n <= doc.Sections.size() + 1; ++n)
      if ((result = LayOutSectionBandAndBalance(page)) != sbrSectionContinues) break;
    return result;
  };
  if (shapes == 0) {
    bands();
    return;
  }
  const TDocPosition pageStart = FindContinuation(doc, page);
  page.DeferredShapes.clear();
  page.MainTextCut = false;
  page.Flags |= TBox::KeepShapeList;
  TakePageSnapshot(page);
  const TPageSnapshot* snapshot = LastPageSnapshot(page);
  TShape* roundShape = nullptr;
  // Every round places one more shape or defers one, so the rounds end.
  for (int32_t round = 0; round <= 3 * (shapes + 1); ++round) {
    if (bands() == sbrShapesMoved) {
      TShape* last = page.Shapes.empty() ? nullptr : page.Shapes.back();
      if (roundShape != nullptr && roundShape != last && !IsHeaderFooterShape(*roundShape) &&
          !IsAnchorLinePlaced(*roundShape, page))
        Defer(page, roundShape);
      roundShape = last;
      RestorePageSnapshot(page, *snapshot);
      continue;
    }
    if (roundShape == nullptr || roundShape->AnchorPar == nullptr || IsHeaderFooterShape(*roundShape) ||
        IsAnchorLinePlaced(*roundShape, page))
      break;
    const TDocPosition end = BeforeAnchor(doc, *roundShape);
    if (ComparePositions(end, pageStart) <= 0) break;
    if (!page.MainTextCut || ComparePositions(end, page.MainTextEnd) < 0) page.MainTextEnd = end;
    page.MainTextCut = true;
    Defer(page, roundShape);
    RestorePageSnapshot(page, *snapshot);
    auto& list = page.Shapes;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&page](const TShape* s) {
                                return !IsHeaderFooterShape(*s) && !IsAnchorLinePlaced(*s, page);
                              }),
               list.end());
    roundShape = nullptr;
  }
  DiscardPageSnapshot(page, snapshot);
  page.Flags &= ~TBox::KeepShapeList;
  page.DeferredShapes.clear();
  page.MainTextCut = false;
}

}  // namespace

void PaginateDocument(TDoc& doc, int32_t first, int32_t count) {
  doc.EnterCriticalEdit();
  // The layout finds a paragraph's section by the sections' paragraph ranges, which a document
  // just read or edited may not have brought up to date yet.
  doc.UpdateSectionRanges();
  ConfigureFitter(doc);
  // A header or footer edited in place keeps its own lines through the pagination.
  TField* inPlace = doc.HeaderFooterInPlace;
  std::vector<std::pair<TPar*, TParSnapshot>> saved;
  if (inPlace != nullptr) {
    for (int32_t p = inPlace->Range.Start.Par; p <= inPlace->Range.End.Par && p < doc.ParCount(); ++p) {
      saved.emplace_back(doc.Par(p), TParSnapshot{});
      doc.Par(p)->SaveState(saved.back().second);
    }
    doc.HeaderFooterInPlace = nullptr;
  }
  first = std::clamp(first, 0, doc.PageCount());
  while (doc.PageCount() > first) {
    ReleaseBox(doc.Pages.back());
    doc.Pages.pop_back();
  }
  doc.Layout.LaidOutToEnd = false;
  int32_t emptyPages = 0;
  for (;;) {
    if (ReachedEnd(doc)) {
      doc.Layout.LaidOutToEnd = true;
      doc.Layout.LayoutPending = false;
      if (IsPrintLayout(doc)) doc.Layout.CompletePageCount = doc.PageCount();
      break;
    }
    if (doc.PageCount() > count) break;
    TPage& page = NewPage(doc);
    const TLine* lastLine = nullptr;
    const TDocPosition pos = FindContinuation(doc, page, &lastLine);
    TSection* section = SectionAt(doc, pos);
    if (lastLine != nullptr && lastLine->Par != nullptr && NotesWaiting(page) &&
        doc.StoryOfParagraph(lastLine->Par->Index) == stMain)
      section = SectionOfParagraph(doc, lastLine->Par->Index);
    page.Section = section != nullptr ? section : doc.Sections.front().get();
    SetUpPage(doc, page);
    LayOutPageRounds(page);
    PlaceShapesOnPage(page);
    DropLoneHeaderFooter(page);
    emptyPages = PageIsEmpty(page) && !ReachedEnd(doc) ? emptyPages + 1 : 0;
    if (emptyPages >= kMaxEmptyPages) {
      // Nothing more can be placed (damaged content): stop rather than make pages forever.
      doc.Layout.LaidOutToEnd = true;
      break;
    }
  }
  for (auto& [par, snapshot] : saved) par->RestoreState(snapshot);
  doc.HeaderFooterInPlace = inPlace;
  doc.ArrangePages();
  if (doc.Layout.LaidOutToEnd && first < doc.Layout.CompletePageCount) doc.Layout.PageFieldsPending = true;
  doc.LeaveCriticalEdit();
}

bool PaginateSlice(TDoc& doc, int32_t pages) {
  if (doc.Layout.LaidOutToEnd) return false;
  const int32_t have = doc.PageCount();
  PaginateDocument(doc, have, have + std::max(pages, 1) - 1);
  return !doc.Layout.LaidOutToEnd;
}

void EnsureLaidOutTo(TDoc& doc, TDocPosition& position) {
  if (doc.ParCount() == 0) return;
  position.Par = std::clamp(position.Par, 0, doc.ParCount() - 1);
  int32_t batch = 2;
  for (;;) {
    const TPar& par = *doc.Par(position.Par);
    const bool placed = par.HasFlag(pfLinesValid) && !par.Lines.empty() && par.Lines.back()->Box != nullptr;
    if (placed || doc.Layout.LaidOutToEnd) break;
    const int32_t have = doc.PageCount();
    PaginateDocument(doc, have, have + batch - 1);
    batch = std::min(batch * 2, 1 << 20);
  }
  const TPar& par = *doc.Par(position.Par);
  const int32_t line = par.LineIndexOfChar(position.Offset, INT32_MAX, false);
  position.Line = std::max(line, 0);
  position.Page = 0;
  if (line >= 0 && par.Lines[static_cast<size_t>(line)]->Box != nullptr)
    position.Page = par.Lines[static_cast<size_t>(line)]->Box->Page->Index;
}

}  // namespace qv
