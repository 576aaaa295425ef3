// Editing headers and footers in place and filling them with page numbers. A header or footer is
// a group of paragraphs of story 3 bracketed by a field of kind 5 that a section names in one of
// its six slots.
#include <algorithm>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/layout_services.h"
#include "document/selection_services.h"
#include "document/section.h"
#include "document/styles.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t ftPage = 33;

const char* const kNonEmptyHeadersMessage =
    "This document contains one or more nonempty headers or footers. Page numbers cannot be "
    "inserted automatically in the existing headers/footers because this might affect the "
    "current contents of these headers or footers badly.\r\rTo insert a page number, please\r\r "
    "a) activate the \"View | Header and Footer\" mode,\r b) place the caret within the target "
    "header or footer,\r c) use the \"Insert Page Number\" button from the \"Header/Footer\" "
    "toolbar.";

// Whether every character of the paragraph but its mark lies inside one page field.
bool IsEmptyOrPageOnly(const TPar& p) {
  if (p.CharCount() <= 1) return true;
  int32_t pageFields = 0, open = 0, chars = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size) {
    const int32_t n = item.Chars();
    if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
      const TField* f = FieldOfTag(item.Tag);
      if (f == nullptr || f->Kind != fkField || f->FieldType != ftPage) continue;
      if (item.Tag.Kind == ctFieldStart) {
        ++pageFields;
        ++open;
      } else if (open > 0) {
        --open;
      }
      continue;
    }
    if (n == 0) continue;
    chars += n;
    if (chars >= p.CharCount()) break;  // the paragraph mark
    if (open == 0) return false;
  }
  return pageFields == 1;
}

// Where the field's start and end marks stand (paragraph and character index).
bool FindFieldMarks(const TDoc& doc, const TField* field, TDocPosition& start, TDocPosition& end) {
  bool haveStart = false;
  for (int32_t i = doc.FirstParagraphOfStory(stHeadersFooters); i < doc.ParCount(); ++i) {
    const TPar& p = *doc.Par(i);
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item);
         off += item.Size) {
      if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
      if (FieldOfTag(item.Tag) != field) continue;
      TDocPosition& at = item.Tag.Kind == ctFieldStart ? start : end;
      MakePosition(i, p.StreamOffsetToChar(off), at);
      if (item.Tag.Kind == ctFieldStart) haveStart = true;
      else if (haveStart) return true;
    }
  }
  return false;
}

// Whether a page field stands in the range.
bool HasPageField(TDoc& doc, const TDocRange& range) {
  std::vector<TField*> fields;
  doc.FindOverlappingFields(range, fields);
  for (const TField* f : fields) {
    TDocRange r;
    if (f->Kind == fkField && f->FieldType == ftPage && doc.GetFieldRange(const_cast<TField*>(f), r) &&
        PositionInRangeInclusive(r.Start, range))
      return true;
  }
  return false;
}

}  // namespace

bool TDoc::GetHeaderFooterRange(const TField* field, TDocRange& out) const {
  if (field == nullptr) return false;
  return FindFieldMarks(*this, field, out.Start, out.End);
}

int32_t TDoc::FooterEditOffset() const { return 0; }

namespace {

void CollapseSelectionAtCaret(TDoc& doc) {
  if (doc.Selection) doc.Selection->SetSingleRange(doc.Caret.Par, doc.Caret.Offset, doc.Caret.Par, doc.Caret.Offset);
}

void EndInPlaceEditing(TDoc& doc) {
  DocLayoutServices().ReleaseHeaderFooterArea(doc, doc.HeaderFooterPage);
  doc.HeaderFooterInPlace = nullptr;
  doc.HeaderFooterPage = -1;
}

// The six header and footer fields of the first section, the missing ones made with an empty
// paragraph in the Header or Footer style at the start of the story; true when any was made.
bool MakeMissingHeadersFooters(TDoc& doc) {
  doc.EnsureHeaderFooterStyles();
  doc.UpdateSectionRanges();
  TSection& first = *doc.Sections.front();
  std::array<TField*, hfCount> fields = first.HeaderFooter;
  const int32_t header = doc.Styles->IndexOfBuiltIn(bsHeader);
  const int32_t footer = doc.Styles->IndexOfBuiltIn(bsFooter);
  bool made = false;
  for (int slot = hfCount - 1; slot >= 0; --slot) {
    if (fields[static_cast<size_t>(slot)] != nullptr) continue;
    auto f = std::make_unique<TField>();
    f->Kind = fkHeaderFooter;
    TField* fp = f.get();
    doc.Fields.push_back(std::move(f));
    TMemory content;
    AppendContentTag(content, ctFieldStart, TagRefOf(fp));
    AppendContentTag(content, ctSpecialChar, scParagraphEnd);
    AppendContentTag(content, ctFieldEnd, TagRefOf(fp));
    TParFormat format = DefaultParFormat;
    const bool isFooter = slot == hfEvenFooter || slot == hfOddFooter || slot == hfFirstFooter;
    const int32_t style = isFooter ? footer : header;
    if (style >= 0) SetParFormatProp(format, ppStyle, style);
    AppendParFormatBlock(content, format);
    TDocPosition at;
    MakePosition(doc.FirstParagraphOfStory(stHeadersFooters), 0, at);
    EditServices().InsertContent(doc, content, at, stHeadersFooters, 1);
    fields[static_cast<size_t>(slot)] = fp;
    made = true;
  }
  if (made) EditServices().ChangeSectionHeaders(doc, first, fields);
  return made;
}

}  // namespace

void TDoc::ToggleHeaderFooterEditing(TField* field, int32_t page, const TDocPosition* caret) {
  TSelectionServices& view = SelectionServices();
  if (HeaderFooterInPlace != nullptr) {
    CollapseSelectionAtCaret(*this);
    EndInPlaceEditing(*this);
    Caret = caret != nullptr && caret->Par >= 0 ? *caret : HeaderFooterSavedCaret;
    CollapseSelectionAtCaret(*this);
    view.Redraw(*this);
    view.RequestInterfaceUpdate();
    return;
  }
  HeaderFooterSavedCaret = Caret;
  // A field of another page: the caret goes to that page's text first.
  if (field != nullptr && page >= 0 && Caret.Page != page) {
    const int32_t first = DocLayoutServices().FirstParagraphOfPage(*this, page);
    if (first >= 0) {
      MakePosition(first, 0, Caret);
      Caret.Page = page;
    }
  }
  SetPrintPreview(false);
  SetViewMode(vmPrintLayout);
  EnterCriticalEdit();
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*this, 51);
  BeginOperation(op.get());
  const TDocPosition kept = Caret;
  MakeMissingHeadersFooters(*this);
  EndOperation();
  if (op) {
    Caret = kept;
    CollapseSelectionAtCaret(*this);
    TPostActions& pa = EditServices().CurrentPostActions(*this);
    pa.Caret = kept;
    pa.HasCaret = true;
    PostEditUpdate();
    CommitOperation(std::move(op));  // an operation without records is dropped here
  }
  LeaveCriticalEdit();
  EditHeaderFooter(field, page);
}

void TDoc::EditHeaderFooter(TField* field, int32_t page) {
  CollapseSelectionAtCaret(*this);
  if (HeaderFooterInPlace != nullptr) EndInPlaceEditing(*this);
  if (field == nullptr) page = Caret.Page;
  page = std::max(page, 0);
  // The page must be laid out to show its area.
  if (page >= PageCount() && !Layout.LaidOutToEnd && !IsDocFlagSet(dfLayoutSuspended))
    Paginate(PageCount(), page + 1);
  if (PageCount() > 0) page = std::min(page, PageCount() - 1);
  if (field == nullptr) field = DocLayoutServices().PageHeaderFooter(*this, page, false);
  if (field == nullptr) {
    const TSection* s = SectionOfPage(page);
    field = s != nullptr ? s->HeaderFooter[hfOddHeader] : nullptr;
  }
  HeaderFooterInPlace = field;
  HeaderFooterPage = page;
  TDocRange r;
  if (!GetHeaderFooterRange(field, r)) return;
  UpdatePageFieldsForPage(field, page, r);
  DocLayoutServices().LayOutHeaderFooterArea(*this, page, field);
  RequestSpotlightCentre();
  if (GetHeaderFooterRange(field, r)) {
    Caret = r.Start;
    Caret.Page = page;
  }
  CollapseSelectionAtCaret(*this);
  ScrollHeaderFooterIntoView();
  SelectionServices().Redraw(*this);
  SelectionServices().RequestInterfaceUpdate();
}

void TDoc::ScrollHeaderFooterIntoView() {
  plat::Rect area;
  if (!DocLayoutServices().HeaderFooterAreaRect(*this, HeaderFooterPage, HeaderFooterInPlace, area)) return;
  TSelectionServices& view = SelectionServices();
  // A little of what lies around the area shows too.
  const int32_t margin = std::min(50, view.ViewRect(*this).Height() / 8);
  const int32_t x = View.ScrollPos.x + 15;
  const plat::Rect target{x, area.top - margin, x + 1, area.bottom + margin};
  view.ScrollTo(*this, view.CalcScrollToRect(*this, target, 0));
}

void TDoc::RefreshHeaderFooterEditing() {
  if (HeaderFooterInPlace == nullptr) return;
  TDocRange before;
  bool ends = !GetHeaderFooterRange(HeaderFooterInPlace, before) ||
              (!Pages.empty() && HeaderFooterPage >= PageCount());
  if (!ends && !Pages.empty()) {
    // The page may show another header or footer after the re-layout.
    TDocLayoutServices& layout = DocLayoutServices();
    TField* header = layout.PageHeaderFooter(*this, HeaderFooterPage, false);
    TField* footer = layout.PageHeaderFooter(*this, HeaderFooterPage, true);
    ends = (header != nullptr || footer != nullptr) && header != HeaderFooterInPlace &&
           footer != HeaderFooterInPlace;
  }
  if (ends) {
    HeaderFooterInPlace = nullptr;
    HeaderFooterPage = -1;
    SelectionServices().RequestInterfaceUpdate();
    return;
  }
  UpdatePageFieldsForPage(HeaderFooterInPlace, HeaderFooterPage, before);
  TDocRange after;
  // Results of another length move the range: the caret stays only while it lies inside.
  if (GetHeaderFooterRange(HeaderFooterInPlace, after) && !PositionInRangeInclusive(Caret, after)) {
    Caret = after.Start;
    CollapseSelectionAtCaret(*this);
  }
  DocLayoutServices().LayOutHeaderFooterArea(*this, HeaderFooterPage, HeaderFooterInPlace);
  SelectionServices().RequestInterfaceUpdate();
}

bool TDoc::InsertPageNumbers(uint8_t position, uint8_t alignment, uint8_t showOnFirstPage) {
  UpdateSectionRanges();
  const int slots[3] = {position == 0 ? hfOddHeader : hfOddFooter,
                        position == 0 ? hfEvenHeader : hfEvenFooter,
                        position == 0 ? hfFirstHeader : hfFirstFooter};
  // Every paragraph of a chosen header or footer that has text must be one page field only.
  for (auto& s : Sections) {
    for (int slot : slots) {
      TField* f = s->HeaderFooter[static_cast<size_t>(slot)];
      TDocRange r;
      if (f == nullptr || !GetHeaderFooterRange(f, r)) continue;
      for (int32_t i = r.Start.Par; i <= r.End.Par; ++i)
        if (!IsEmptyOrPageOnly(*Par(i))) {
          ShowInfo(kNonEmptyHeadersMessage);
          return false;
        }
    }
  }
  const uint32_t serialBefore = LastOperationSerial();
  if (HeaderFooterInPlace == nullptr) ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  // The headers and footers made on the way belong to the page numbers.
  const bool headerStepRecorded = LastOperationSerial() != serialBefore;
  if (headerStepRecorded) EditServices().RenameLastOperation(*this, 53);
  const TDocPosition caret = Caret;
  EnterCriticalEdit();
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*this, 53);
  BeginOperation(op.get());
  TPageParams params;
  params = Sections.front()->PageParams;
  params.DiffOddEven = alignment == 3 || alignment == 4;
  params.DiffFirstPage = showOnFirstPage ? 0 : 1;
  TDocRange range;
  MakeRange(Sections.front()->FirstPar, 0, Sections.front()->LastPar, 0, range);
  EditServices().ChangePageParams(*this, params, range);
  for (size_t k = Sections.size(); k-- > 0;) {
    TSection& s = *Sections[k];
    for (int n = 0; n < 3; ++n) {
      if (n == 2 && !showOnFirstPage) continue;
      TField* f = s.HeaderFooter[static_cast<size_t>(slots[n])];
      TDocRange r;
      if (f == nullptr || !GetHeaderFooterRange(f, r)) continue;
      uint8_t align = alignment;
      if (alignment == 3) align = n == 1 ? 2 : 0;
      if (alignment == 4) align = n == 1 ? 0 : 2;
      // A header that already holds its page number (all it may hold by now) keeps it.
      if (!HasPageField(*this, r)) {
        auto page = std::make_unique<TField>();
        page->Kind = fkField;
        page->FieldType = ftPage;
        page->Instruction = u"PAGE";
        EditServices().InsertEmptyField(*this, std::move(page), r.Start, 1);
        InvalidateFieldIndex();
      }
      TParFormat format = UnsetParFormat;
      SetParFormatProp(format, ppAlignment, align);
      TDocRange pars;
      MakeRange(r.Start.Par, 0, r.End.Par, 0, pars);
      EditServices().FormatParagraphRange(*this, pars, format);
    }
  }
  Caret = caret;
  EndOperation();
  if (op) {
    PostEditUpdate();
    const uint32_t before = LastOperationSerial();
    CommitOperation(std::move(op));
    if (headerStepRecorded && LastOperationSerial() != before) EditServices().ChainLastOperation(*this);
  }
  LeaveCriticalEdit();
  return true;
}

}  // namespace qv
