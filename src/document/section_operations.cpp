// Section operations: formatting the sections of a range, note settings and note-mark formats,
// the note separators, section breaks, joining two sections, headers and footers of their own or
// linked to the previous section, document properties and field types. Each change is an undo
// record of the running operation.
#include <algorithm>
#include <cstring>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/field_update_state.h"
#include "document/section.h"
#include "document/table_edit_helpers.h"

namespace qv {

namespace {

constexpr int32_t kUnset = INT32_MIN;
constexpr int32_t kBreakUnset = 255;

// The columns of an equal-width format as their records: the widths and gaps that equal
// columns have on the section's page (nothing for fewer than two columns).
void StoreEqualColumnRecords(TSectionFormat& format, const TPageParams& page) {
  if (format.ColumnCount < 2) return;
  TSectionFormat equal = format;
  equal.EqualWidth = 1;
  const int32_t n = std::min(format.ColumnCount, MaxColumns);
  for (int32_t i = 0; i < n; ++i) ComputeColumnBounds(equal, page, i, format.Columns[i]);
}

// The sections that have a paragraph in the range, in order.
std::vector<TSection*> SectionsWalk(TDoc& doc, const TDocRange& range) {
  doc.UpdateSectionRanges();
  std::vector<TSection*> out;
  int32_t par = range.Start.Par;
  while (par <= range.End.Par && par < doc.StoryCounts[stMain]) {
    TSection* s = doc.SectionOfParagraph(par);
    if (s == nullptr || (!out.empty() && out.back() == s)) break;
    out.push_back(s);
    par = s->LastPar + 1;
  }
  return out;
}

// The section of the page whose header or footer is edited in place; without laid-out pages, the
// section of the main-text caret that editing started from.
TSection* HeaderFooterSection(TDoc& doc) {
  if (doc.Pages.empty()) {
    const int32_t par = std::clamp(doc.HeaderFooterSavedCaret.Par, 0, doc.StoryCounts[stMain] - 1);
    return doc.SectionOfParagraph(par);
  }
  return doc.SectionOfPage(doc.HeaderFooterPage >= 0 ? doc.HeaderFooterPage : doc.CurrentPage());
}

int32_t SlotOf(const TSection& s, const TField* field) {
  for (int32_t i = 0; i < hfCount; ++i)
    if (s.HeaderFooter[static_cast<size_t>(i)] == field) return i;
  return -1;
}

}  // namespace

void TDoc::FormatSectionRange(const TDocRange& range, const TSectionFormat& request) {
  std::vector<TSection*> sections = SectionsWalk(*this, range);
  if (sections.empty()) return;
  std::vector<TSection> formats;
  bool differs = false;
  for (TSection* s : sections) {
    TSection copy(*s);
    TSectionFormat f = request.ColumnCount != kUnset ? request : s->Format;
    const bool ownEqual = s->Format.EqualWidth != 0;
    if (request.EqualWidth == kUnset) {
      f.EqualWidth = s->Format.EqualWidth;
    } else if (request.EqualWidth == -1) {
      f.EqualWidth = f.ColumnCount > 1 && ownEqual ? 1 : 0;
      StoreEqualColumnRecords(f, s->PageParams);
    } else {
      f.EqualWidth = request.EqualWidth;
      if (request.ColumnCount == kUnset && f.EqualWidth == 0 && ownEqual)
        StoreEqualColumnRecords(f, s->PageParams);
    }
    f.SeparatorLine = request.SeparatorLine != kUnset ? request.SeparatorLine : s->Format.SeparatorLine;
    f.BreakKind = request.BreakKind == kBreakUnset || request.BreakKind == kUnset ? s->Format.BreakKind
                                                                                 : request.BreakKind;
    differs |= std::memcmp(&f, &s->Format, sizeof(TSectionFormat)) != 0;
    copy.Format = f;
    formats.push_back(copy);
  }
  if (differs)
    EditServices().FormatSectionRange(*this, sections.front()->Number, sections.back()->Number,
                                      formats, false);
  tables::KeepPostSelection(*this);
}

void TDoc::ChangeSectionHeaders(TSection& section, const std::array<TField*, 6>& fields) {
  if (section.HeaderFooter != fields) EditServices().ChangeSectionHeaders(*this, section, fields);
}

void TDoc::FormatNoteSettings(const TDocRange& range, const TNoteSettings& footnotes,
                              const TCharFormat& footnoteMark, const TCharFormat& endnoteMark,
                              const TNoteSettings& endnotes) {
  // The marks in the text and in the notes take a new mark format.
  for (int32_t noteClass = 0; noteClass < 2; ++noteClass) {
    const TCharFormat& wanted = noteClass == 0 ? footnoteMark : endnoteMark;
    const TCharFormat& current = noteClass == 0 ? FootnoteMarkFormat : EndnoteMarkFormat;
    if (CharFormatsEqual(wanted, current)) continue;
    const int32_t story = noteClass == 0 ? stFootnotes : stEndnotes;
    std::vector<TField*> marks;
    for (auto& f : Fields) {
      const bool reference = f->Kind == fkNoteReference && f->LinkedField != nullptr &&
                             f->LinkedField->NoteClass == noteClass;
      if (reference || f->Kind == fkNoteMark) marks.push_back(f.get());
    }
    for (TField* f : marks) {
      TDocRange r;
      if (!GetFieldRange(f, r) || IsRangeEmpty(r)) continue;
      if (f->Kind == fkNoteMark && StoryOfParagraph(r.Start.Par) != story) continue;
      EditServices().FormatCharRange(*this, r, wanted);
    }
  }
  std::vector<TSection*> sections = SectionsWalk(*this, range);
  if (sections.empty()) return;
  EditServices().FormatNotes(*this, sections.front()->Number, sections.back()->Number, footnotes,
                             endnotes, footnoteMark, endnoteMark);
  tables::KeepPostSelection(*this);
}

void TDoc::SetNoteSeparatorFlags(uint8_t flags) {
  if (flags != NoteSeparatorFlags) EditServices().SetNoteSeparatorFlags(*this, flags);
}

void TDoc::ChangeSectionBreak(int32_t par, int32_t kind) {
  if (par < 0 || par >= ParCount()) return;
  const TSection* s = Par(par)->SectionBreak();
  if (s == nullptr || s->Format.BreakKind == kind) return;
  EditServices().ChangeSectionBreak(*this, par, kind);
}

void TDoc::MergeSectionFormats(TSection& staying, TSection& other) {
  if (&staying == &other) return;
  UpdateSectionRanges();
  TSection& earlier = staying.FirstPar <= other.FirstPar ? staying : other;
  TSection& later = &earlier == &staying ? other : staying;
  // The break at the end of the earlier section goes, and with it that section's object: the
  // later one is the section that remains, with the staying section's new formatting.
  if (&other != &later) EditServices().AssignSection(*this, later, other);
  const int32_t last = earlier.LastPar;
  if (last < 0 || last >= ParCount() || Par(last)->SectionBreak() != &earlier) return;
  TScopedDocFlag hold(*this, 145);
  TDocPosition mark;
  MakePosition(last, Par(last)->CharCount() - 1, mark);
  TParFormat format = Par(last)->Format;
  tables::InsertParagraphBreak(*this, mark, format);
  tables::DeleteParagraphs(*this, last + 1, last + 1);
  SectionRangesStale = true;
  UpdateSectionRanges();
}

bool TDoc::IsHeaderFooterSameAsPrevious() {
  if (HeaderFooterInPlace == nullptr) return false;
  UpdateSectionRanges();
  TSection* section = HeaderFooterSection(*this);
  return section != nullptr && SlotOf(*section, HeaderFooterInPlace) < 0;
}

void TDoc::ToggleSameAsPrevious(bool checked) {
  if (HeaderFooterInPlace == nullptr) return;
  UpdateSectionRanges();
  TSection* section = HeaderFooterSection(*this);
  if (section == nullptr) return;
  int32_t slot = SlotOf(*section, HeaderFooterInPlace);
  for (int32_t k = section->Number - 1; slot < 0 && k >= 0; --k)
    slot = SlotOf(*Sections[static_cast<size_t>(k)], HeaderFooterInPlace);
  if (slot < 0) return;
  TDocRange edited;
  if (!GetHeaderFooterRange(HeaderFooterInPlace, edited)) return;
  std::array<TField*, hfCount> fields = section->HeaderFooter;
  TField* nextField = nullptr;
  if (checked) {
    // An own copy of the header or footer shown so far: its paragraphs with fields of their own.
    auto own = std::make_unique<TField>();
    own->Kind = fkHeaderFooter;
    TField* made = own.get();
    Fields.push_back(std::move(own));
    TMemory content;
    AppendContentTag(content, ctFieldStart, TagRefOf(made));
    std::vector<std::pair<TField*, TField*>> copies;  // source field, its copy
    for (int32_t p = edited.Start.Par; p <= edited.End.Par; ++p) {
      const TPar& par = *Par(p);
      TStreamItem item;
      for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item); off += item.Size) {
        if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
          TField* f = FieldOfTag(item.Tag);
          // The linked field's own marks are replaced by the new field's; bookmarks and shape
          // anchors are not copied (their names and shapes are one of a kind).
          if (f == nullptr || f == HeaderFooterInPlace || f->Kind == fkBookmark || f->Kind == fkShapeAnchor)
            continue;
          auto it = std::find_if(copies.begin(), copies.end(), [f](const auto& c) { return c.first == f; });
          if (it == copies.end()) {
            auto copy = std::make_unique<TField>();
            copy->Kind = f->Kind;
            copy->FieldType = f->FieldType;
            copy->Flags = f->Flags;
            copy->Instruction = f->Instruction;
            copies.emplace_back(f, copy.get());
            Fields.push_back(std::move(copy));
            it = copies.end() - 1;
          }
          AppendContentTag(content, item.Tag.Kind, TagRefOf(it->second));
          continue;
        }
        content.Append(par.Content.Data + off, item.Size);
      }
      if (p == edited.End.Par) AppendContentTag(content, ctFieldEnd, TagRefOf(made));
      AppendParFormatBlock(content, par.Format);
    }
    TDocPosition at;
    MakePosition(FirstParagraphOfStory(stHeadersFooters), 0, at);
    TScopedDocFlag moving(*this, 87);
    EditServices().InsertContent(*this, content, at, stHeadersFooters, edited.End.Par - edited.Start.Par + 1);
    fields[static_cast<size_t>(slot)] = made;
    EditServices().ChangeSectionHeaders(*this, *section, fields);
    nextField = made;
  } else {
    TField* own = section->HeaderFooter[static_cast<size_t>(slot)];
    if (own == nullptr) return;
    fields[static_cast<size_t>(slot)] = nullptr;
    EditServices().ChangeSectionHeaders(*this, *section, fields);
    TDocRange range;
    if (GetHeaderFooterRange(own, range)) tables::DeleteParagraphs(*this, range.Start.Par, range.End.Par);
    for (int32_t k = section->Number - 1; k >= 0 && nextField == nullptr; --k)
      nextField = Sections[static_cast<size_t>(k)]->HeaderFooter[static_cast<size_t>(slot)];
  }
  InvalidateFieldIndex();
  HeaderFooterInPlace = nextField;
  TDocRange now;
  TDocPosition caret = Caret;
  if (nextField != nullptr && GetHeaderFooterRange(nextField, now)) MakePosition(now.Start.Par, 0, caret);
  tables::SetPostCaret(*this, caret);
}

void TDoc::ChangeDocProperties(const TDocProps& props) {
  const auto a = Props.Texts();
  const auto b = props.Texts();
  bool differs = false;
  for (size_t i = 0; i < a.size(); ++i) differs |= *a[i] != *b[i];
  if (differs) EditServices().ChangeDocProps(*this, props);
}

void TDoc::ChangeFieldTypes(const std::vector<TField*>& fields, uint8_t fieldType,
                            const std::vector<std::u16string>& arguments) {
  const char* keyword = FieldKeyword(fieldType);
  for (size_t i = fields.size(); i-- > 0;) {
    TField* f = fields[i];
    if (f == nullptr) continue;
    std::u16string instruction(keyword, keyword + std::strlen(keyword));
    if (i < arguments.size() && !arguments[i].empty()) instruction += u" " + arguments[i];
    EditServices().ChangeFieldProps(*this, f, fieldType, std::move(instruction));
    InvalidateFieldIndex();
    // The field shows its new kind of result at once.
    TDocRange range;
    if (GetFieldRange(f, range)) {
      TFieldTypeSet types;
      types.set(fieldType);
      UpdateFieldsRun(nullptr, &range, types);
    }
  }
}

}  // namespace qv
