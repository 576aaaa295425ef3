// Editing headers and footers in place and filling them with page numbers. A header or footer is
// a group of paragraphs of story 3 bracketed by a field of kind 5 that a section names in one of
// its six slots.
#include <algorithm>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
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

// Whether the paragraph already holds a page field.
bool HasPageField(const TPar& p) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size)
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldStart)
      if (const TField* f = FieldOfTag(item.Tag); f && f->Kind == fkField && f->FieldType == ftPage)
        return true;
  return false;
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

}  // namespace

bool TDoc::GetHeaderFooterRange(const TField* field, TDocRange& out) const {
  if (field == nullptr) return false;
  return FindFieldMarks(*this, field, out.Start, out.End);
}

int32_t TDoc::FooterEditOffset() const { return 0; }

void TDoc::ToggleHeaderFooterEditing(TField* field, int32_t page, const TDocPosition* caret) {
  if (HeaderFooterInPlace != nullptr) {
    if (Selection) Selection->SetSingleRange(Caret.Par, Caret.Offset, Caret.Par, Caret.Offset);
    HeaderFooterInPlace = nullptr;
    HeaderFooterPage = -1;
    Caret = caret != nullptr && caret->Par >= 0 ? *caret : HeaderFooterSavedCaret;
    if (Selection) Selection->SetSingleRange(Caret.Par, Caret.Offset, Caret.Par, Caret.Offset);
    return;
  }
  HeaderFooterSavedCaret = Caret;
  ViewMode = vmPrintLayout;
  PrintPreview = false;
  EnterCriticalEdit();
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*this, 51);
  BeginOperation(op.get());
  UpdateSectionRanges();
  TSection& first = *Sections.front();
  std::array<TField*, hfCount> fields = first.HeaderFooter;
  int32_t header = Styles->IndexOfBuiltIn(bsHeader);
  int32_t footer = Styles->IndexOfBuiltIn(bsFooter);
  bool made = false;
  for (int slot = hfCount - 1; slot >= 0; --slot) {
    if (fields[static_cast<size_t>(slot)] != nullptr) continue;
    auto f = std::make_unique<TField>();
    f->Kind = fkHeaderFooter;
    TField* fp = f.get();
    Fields.push_back(std::move(f));
    TMemory content;
    AppendContentTag(content, ctFieldStart, TagRefOf(fp));
    AppendContentTag(content, ctSpecialChar, scParagraphEnd);
    AppendContentTag(content, ctFieldEnd, TagRefOf(fp));
    TParFormat format = DefaultParFormat;
    const int32_t style = slot == hfEvenFooter || slot == hfOddFooter || slot == hfFirstFooter ? footer : header;
    if (style >= 0) SetParFormatProp(format, ppStyle, style);
    AppendParFormatBlock(content, format);
    TDocPosition at;
    MakePosition(FirstParagraphOfStory(stHeadersFooters), 0, at);
    EditServices().InsertContent(*this, content, at, stHeadersFooters, 1);
    fields[static_cast<size_t>(slot)] = fp;
    made = true;
  }
  if (made) EditServices().ChangeSectionHeaders(*this, first, fields);
  EndOperation();
  if (op) {
    Caret = HeaderFooterSavedCaret;
    PostEditUpdate();
    CommitOperation(std::move(op));
  }
  LeaveCriticalEdit();
  EditHeaderFooter(field, page);
}

void TDoc::EditHeaderFooter(TField* field, int32_t page) {
  if (Selection) Selection->SetSingleRange(Caret.Par, Caret.Offset, Caret.Par, Caret.Offset);
  if (field == nullptr) {
    TSection* s = SectionOfPage(std::max(page, 0));
    field = s->HeaderFooter[hfOddHeader];
  }
  HeaderFooterInPlace = field;
  HeaderFooterPage = std::max(page, 0);
  TDocRange r;
  if (GetHeaderFooterRange(field, r)) {
    Caret = r.Start;
    if (Selection) Selection->SetSingleRange(r.Start.Par, r.Start.Offset, r.Start.Par, r.Start.Offset);
  }
}

void TDoc::RefreshHeaderFooterEditing() {
  if (HeaderFooterInPlace == nullptr) return;
  if (!Pages.empty() && HeaderFooterPage >= static_cast<int32_t>(Pages.size())) {
    HeaderFooterInPlace = nullptr;
    HeaderFooterPage = -1;
    return;
  }
  TDocRange r;
  if (!GetHeaderFooterRange(HeaderFooterInPlace, r)) {
    HeaderFooterInPlace = nullptr;
    HeaderFooterPage = -1;
    return;
  }
  if (!PositionInRangeInclusive(Caret, r)) {
    Caret = r.Start;
    if (Selection) Selection->SetSingleRange(r.Start.Par, r.Start.Offset, r.Start.Par, r.Start.Offset);
  }
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
  const bool headerStepRecorded = LastOperationSerial() != serialBefore;
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
      // A page number in the first paragraph (one that holds one already keeps it).
      if (!HasPageField(*Par(r.Start.Par))) {
        auto page = std::make_unique<TField>();
        page->Kind = fkField;
        page->FieldType = ftPage;
        page->Instruction = u"PAGE";
        EditServices().InsertEmptyField(*this, std::move(page), r.Start, 1);
      }
      TParFormat format = UnsetParFormat;
      SetParFormatProp(format, ppAlignment, align);
      TDocRange pars;
      MakeRange(r.Start.Par, 0, r.End.Par, 0, pars);
      EditServices().FormatParagraphRange(*this, pars, format);
    }
  }
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
