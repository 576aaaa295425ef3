// Sections of a document: keeping each section's paragraph range current, finding the section of
// any paragraph and page, merging section settings over a selection, the "Apply to" choices and
// applying page, section and note settings as one undoable operation.
#include <algorithm>
#include <cstring>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/layout_services.h"
#include "document/section.h"

namespace qv {

namespace {

bool SameColumns(const TSectionFormat& a, const TSectionFormat& b) {
  if (a.ColumnCount != b.ColumnCount || a.EqualWidth != b.EqualWidth || a.Spacing != b.Spacing)
    return false;
  if (a.EqualWidth) return true;
  const int32_t n = std::clamp(a.ColumnCount, 0, MaxColumns);
  for (int32_t i = 0; i < n; ++i)
    if (a.Columns[i].Width != b.Columns[i].Width || a.Columns[i].Gap != b.Columns[i].Gap)
      return false;
  return true;
}

void MergeSectionFormat(TSectionFormat& into, const TSectionFormat& other) {
  if (into.ColumnCount != INT32_MIN && !SameColumns(into, other)) into.ColumnCount = INT32_MIN;
  if (into.SeparatorLine != other.SeparatorLine) into.SeparatorLine = INT32_MIN;
  if (into.EqualWidth != other.EqualWidth) into.EqualWidth = INT32_MIN;
}

}  // namespace

void TDoc::UpdateSectionRanges() {
  if (!SectionRangesStale) return;
  SectionRangesStale = false;
  // Sections in the order of their breaks in the main text; the section without a break of its
  // own (there is one) is the last.
  std::vector<TSection*> order;
  const int32_t mainCount = StoryCounts[stMain];
  std::vector<int32_t> lastPars;
  for (int32_t i = 0; i < mainCount; ++i) {
    TPar& p = *Par(i);
    if (p.CharCount() == 0 || p.CodeAt(p.CharCount() - 1) != scSectionEnd) continue;
    TSection* s = p.SectionBreak();
    if (s == nullptr || std::find(order.begin(), order.end(), s) != order.end()) continue;
    order.push_back(s);
    lastPars.push_back(i);
  }
  std::vector<std::unique_ptr<TSection>> sorted;
  for (TSection* s : order)
    for (auto& u : Sections)
      if (u.get() == s) sorted.push_back(std::move(u));
  std::vector<std::unique_ptr<TSection>> rest;
  for (auto& u : Sections)
    if (u) rest.push_back(std::move(u));
  if (rest.empty()) {  // every section ends with a break: the document still needs a last one
    auto last = std::make_unique<TSection>(this);
    last->SetDefaults();
    rest.push_back(std::move(last));
  }
  for (auto& u : rest) sorted.push_back(std::move(u));
  Sections = std::move(sorted);
  int32_t first = 0;
  for (size_t k = 0; k < Sections.size(); ++k) {
    TSection& s = *Sections[k];
    s.Number = static_cast<int32_t>(k);
    s.FirstPar = first;
    s.LastPar = k < lastPars.size() ? lastPars[k] : std::max(mainCount - 1, first);
    first = s.LastPar + 1;
  }
  SectionRangeList.clear();
  for (auto& s : Sections) SectionRangeList.push_back(s.get());
  std::stable_sort(SectionRangeList.begin(), SectionRangeList.end(),
                   [](const TSection* a, const TSection* b) { return a->FirstPar < b->FirstPar; });
  MaxPageExtent.fill(0);
  for (auto& s : Sections) {
    const TPageParams& pp = s->PageParams;
    MaxPageExtent[0] = std::max(MaxPageExtent[0], pp.PageWidth);
    MaxPageExtent[1] = std::max(MaxPageExtent[1], pp.TextWidth);
    MaxPageExtent[2] = std::max(MaxPageExtent[2], pp.PageHeight);
    MaxPageExtent[3] = std::max(MaxPageExtent[3], s->Pixels.PageWidth);
    MaxPageExtent[5] = std::max(MaxPageExtent[5], s->Pixels.PageHeight);
  }
}

TSection* TDoc::SectionOfParagraph(int32_t index) {
  UpdateSectionRanges();
  if (ColumnWidthsStale) {
    ColumnWidthsStale = false;
    for (auto& s : Sections) {
      TSection* page = PageSectionOfParagraph(s->FirstPar);
      FitColumnWidths(s->Format, (page ? page : s.get())->PageParams);
    }
  }
  const int32_t story = StoryOfParagraph(index);
  const bool draft = ViewMode != vmPrintLayout;
  if (story == stFootnotes || story == stEndnotes) {
    const bool atEnd = story == stEndnotes && Sections.front()->Endnotes.Position == 3;
    if (draft || atEnd) return SectionOfParagraph(StoryCounts[stMain] - 1);
    for (const auto& f : Fields)
      if (f->Kind == fkNoteText && f->Range.Start.Par == index && f->LinkedField != nullptr)
        return SectionOfParagraph(f->LinkedField->Range.Start.Par);
    return Sections.back().get();
  }
  if (story == stHeadersFooters && HeaderFooterInPlace != nullptr && HeaderFooterPage >= 0) {
    TDocRange r;
    if (GetHeaderFooterRange(HeaderFooterInPlace, r) && index >= r.Start.Par && index <= r.End.Par)
      return SectionOfPage(HeaderFooterPage);
  }
  auto it = std::upper_bound(SectionRangeList.begin(), SectionRangeList.end(), index,
                             [](int32_t i, const TSection* s) { return i < s->FirstPar; });
  if (it != SectionRangeList.begin()) {
    TSection* s = *(it - 1);
    if (index >= s->FirstPar && index <= s->LastPar) return s;
  }
  return Sections.back().get();
}

TSection* TDoc::PageSectionOfParagraph(int32_t index) {
  TSection* s = SectionOfParagraph(index);
  int32_t n = s->Number;
  while (n > 0 && Sections[static_cast<size_t>(n - 1)]->Format.BreakKind == sbContinuous) --n;
  return Sections[static_cast<size_t>(n)].get();
}

TSection* TDoc::SectionOfPage(int32_t page) {
  UpdateSectionRanges();
  if (Pages.empty()) return Sections.front().get();
  page = std::clamp(page, 0, static_cast<int32_t>(Pages.size()) - 1);
  const int32_t par = DocLayoutServices().FirstParagraphOfPage(*this, page);
  return par < 0 ? Sections.front().get() : SectionOfParagraph(par);
}

void TDoc::GetCaretPageParams(TPageParams& out) { out = PageSectionOfParagraph(Caret.Par)->PageParams; }

void TDoc::GetMaxPageExtent(std::array<int32_t, 8>& out) {
  UpdateSectionRanges();
  out = MaxPageExtent;
}

std::vector<TSection*> TDoc::SectionsOfRange(const TDocRange& range) {
  std::vector<TSection*> out;
  TSection* a = SectionOfParagraph(range.Start.Par);
  TSection* b = SectionOfParagraph(range.End.Par);
  for (int32_t i = a->Number; i <= std::max(a->Number, b->Number); ++i)
    out.push_back(Sections[static_cast<size_t>(i)].get());
  return out;
}

std::vector<TSection*> TDoc::SectionsOfFragment(const TCompoundFragment& fragment) {
  std::vector<TSection*> out;
  for (int32_t i = 0; i < fragment.Count(); ++i)
    for (TSection* s : SectionsOfRange(*fragment.GetRange(i)))
      if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
  return out;
}

void TDoc::GetSelectionSectionFormat(TSectionFormat& out) {
  if (!Selection || IsFragmentEmpty(Selection.get())) {
    out = SectionOfParagraph(Caret.Par)->Format;
    return;
  }
  std::vector<TSection*> sections = SectionsOfFragment(*Selection);
  out = sections.front()->Format;
  for (size_t k = 1; k < sections.size(); ++k) MergeSectionFormat(out, sections[k]->Format);
}

void TDoc::ExpandToPageSections(const TDocRange& range, TDocRange& out) {
  out = range;
  out.Start.Par = PageSectionOfParagraph(range.Start.Par)->FirstPar;
  TSection* s = SectionOfParagraph(range.End.Par);
  while (s->Format.BreakKind == sbContinuous && s->Number + 1 < static_cast<int32_t>(Sections.size()))
    s = Sections[static_cast<size_t>(s->Number + 1)].get();
  out.End.Par = s->LastPar;
}

void TDoc::UpdateSectionPages(TSection* section) {
  for (auto& s : Sections) {
    if (section != nullptr && s.get() != section) continue;
    s->FirstPage = INT32_MAX;
    s->LastPage = INT32_MIN;
  }
  for (int32_t page = 0; page < static_cast<int32_t>(Pages.size()); ++page) {
    const int32_t par = DocLayoutServices().FirstParagraphOfPage(*this, page);
    if (par < 0) continue;
    TSection* s = SectionOfParagraph(par);
    if (section != nullptr && s != section) continue;
    s->FirstPage = std::min(s->FirstPage, page);
    s->LastPage = std::max(s->LastPage, page);
  }
}

void TDoc::FillApplyToList(int32_t dialogMode, std::vector<int32_t>& list, int32_t& choice) {
  auto add = [&list](int32_t c) {
    if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
  };
  UpdateSectionRanges();
  const bool many = Sections.size() > 1;
  const bool selected = Selection && !IsFragmentEmpty(Selection.get());
  if (selected) {
    const TDocRange extent = Selection->GetExtent();
    const int32_t story = StoryOfParagraph(extent.Start.Par);
    const bool inNotes = story == stFootnotes || story == stEndnotes;
    if (HeaderFooterInPlace != nullptr) {
      add(3);
    } else if (Selection->Count() > 1 && (dialogMode == 1 || dialogMode == 2)) {
      if (many && !inNotes) add(4);
      if (!inNotes) add(2);
    } else {
      const bool whole = extent.Start.Par == 0 && extent.Start.Offset == 0 &&
                         extent.End.Par >= StoryCounts[stMain] - 1;
      if (!many) {
        if (!whole && !inNotes) add(2);
      } else if (SectionOfParagraph(extent.Start.Par) == SectionOfParagraph(extent.End.Par)) {
        if (!inNotes) add(2);
        add(3);
      } else {
        if (!inNotes) add(4);
        if (!whole && !inNotes) add(2);
      }
    }
    add(0);
  } else {
    if (many) add(3);
    add(0);
    const int32_t lastMain = StoryCounts[stMain] - 1;
    const bool atStart = Caret.Par == 0 && Caret.Offset == 0;
    const bool atEnd = Caret.Par == lastMain && Caret.Offset >= Par(lastMain)->CharCount() - 1;
    if (HeaderFooterInPlace == nullptr && !atStart && !atEnd) add(1);
  }
  if (choice == 255 || (choice == 0 && (selected || many))) choice = list.front();
}

void TDoc::InsertSectionBreakAt(const TDocPosition& at) {
  TDocPosition p = at;
  if (p.Par + 1 < StoryCounts[stMain] && p.Offset >= Par(p.Par)->CharCount() - 1) {
    p.Par += 1;
    p.Offset = 0;
  }
  auto section = std::make_unique<TSection>(this);
  TSection* s = section.get();
  // The new section ends at the break: it takes over the settings of the section it splits.
  s->AssignFormat(*SectionOfParagraph(p.Par));
  TMemory content;
  if (p.Offset == 0 && p.Par > 0) {
    // A break at a paragraph's start takes the place of the previous paragraph's end.
    TPar& prev = *Par(p.Par - 1);
    if (prev.SectionBreak() != nullptr) return;
    Sections.push_back(std::move(section));
    SectionRangesStale = true;
    TDocRange r;
    const int32_t markAt = prev.CharCount() - 1;
    MakeRange(p.Par - 1, markAt, p.Par, 0, r);
    const TParFormat format = prev.Format;
    EditServices().DeleteContent(*this, r);
    AppendContentTag(content, ctSectionBreak, TagRefOf(s));
    AppendParFormatBlock(content, format);
    TDocPosition q;
    MakePosition(p.Par - 1, markAt, q);
    EditServices().InsertContent(*this, content, q, stMain, 1);
  } else {
    Sections.push_back(std::move(section));
    SectionRangesStale = true;
    AppendContentTag(content, ctSectionBreak, TagRefOf(s));
    AppendParFormatBlock(content, Par(p.Par)->Format);
    EditServices().InsertContent(*this, content, p, stMain, 1);
  }
  SectionRangesStale = true;
}

bool TDoc::FormatSections(int32_t choice, const TDocRange* range, const TPageParams* pageParams,
                          const TSectionFormat* sectionFormat, const TNoteSettings* footnotes,
                          const TNoteSettings* endnotes, int32_t mode) {
  EnterCriticalEdit();
  const uint8_t name = mode == 1 ? 42 : mode == 2 ? 60 : 1;
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*this, name);
  BeginOperation(op.get());
  UpdateSectionRanges();
  TDocRange target;
  const int32_t lastMain = StoryCounts[stMain] - 1;
  if (range != nullptr) {
    target = *range;
  } else if (choice == 1) {
    TSection* s = SectionOfParagraph(Caret.Par);
    if (!(Caret.Offset == 0 && Caret.Par == s->FirstPar)) InsertSectionBreakAt(Caret);
    UpdateSectionRanges();
    MakeRange(SectionOfParagraph(Caret.Par)->FirstPar, 0, lastMain, 0, target);
  } else if ((choice == 2 || choice == 4) && Selection && !IsFragmentEmpty(Selection.get())) {
    target = Selection->GetExtent();
    if (choice == 2) {
      InsertSectionBreakAt(target.End);
      InsertSectionBreakAt(target.Start);
      UpdateSectionRanges();
    }
  } else if (choice == 3) {
    TSection* s = SectionOfParagraph(Caret.Par);
    MakeRange(s->FirstPar, 0, s->FirstPar, 1, target);
  } else {
    MakeRange(0, 0, lastMain, 0, target);
  }
  std::vector<TSection*> sections = SectionsOfRange(target);
  const int32_t first = sections.front()->Number, last = sections.back()->Number;
  if (mode == 1 && sectionFormat != nullptr) {
    std::vector<TSection> formats;
    for (TSection* s : sections) {
      TSection copy(*s);
      const int32_t kind = copy.Format.BreakKind;
      copy.Format = *sectionFormat;
      if (sectionFormat->BreakKind == INT32_MIN) copy.Format.BreakKind = kind;
      formats.push_back(copy);
    }
    bool differs = false;
    for (size_t k = 0; k < sections.size(); ++k)
      differs |= std::memcmp(&formats[k].Format, &sections[k]->Format, sizeof(TSectionFormat)) != 0;
    if (differs) EditServices().FormatSectionRange(*this, first, last, formats, false);
  } else if (mode == 2 && footnotes != nullptr && endnotes != nullptr) {
    EditServices().FormatNoteSettings(*this, first, last, *footnotes, *endnotes);
  } else if (mode == 0 && pageParams != nullptr) {
    bool changed = false;
    for (TSection* s : sections) {
      const TPageParams& a = s->PageParams;
      const TPageParams& b = *pageParams;
      changed |= a.PageWidth != b.PageWidth || a.PageHeight != b.PageHeight ||
                 a.Orientation != b.Orientation || a.LeftMargin != b.LeftMargin ||
                 a.RightMargin != b.RightMargin || a.TopMargin != b.TopMargin ||
                 a.BottomMargin != b.BottomMargin || a.HeaderDistance != b.HeaderDistance ||
                 a.FooterDistance != b.FooterDistance || a.Mirror != b.Mirror ||
                 a.DiffOddEven != b.DiffOddEven || a.DiffFirstPage != b.DiffFirstPage;
    }
    if (changed) {
      EditServices().ChangePageParams(*this, *pageParams, target);
      // Different page settings need a new page: continuous breaks around the range become
      // next-page breaks.
      if (first > 0 && Sections[static_cast<size_t>(first - 1)]->Format.BreakKind == sbContinuous)
        EditServices().ChangeSectionBreak(*this, Sections[static_cast<size_t>(first - 1)]->LastPar,
                                          sbNextPage);
      if (last + 1 < static_cast<int32_t>(Sections.size()) &&
          Sections[static_cast<size_t>(last)]->Format.BreakKind == sbContinuous)
        EditServices().ChangeSectionBreak(*this, Sections[static_cast<size_t>(last)]->LastPar,
                                          sbNextPage);
    }
  }
  EndOperation();
  bool made = false;
  if (op) {
    const uint32_t before = LastOperationSerial();
    if (!Hidden) PostEditUpdate();
    CommitOperation(std::move(op));
    made = LastOperationSerial() != before;
  }
  LeaveCriticalEdit();
  return made;
}

}  // namespace qv
