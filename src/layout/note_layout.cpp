#include "layout/note_layout.h"

#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "layout/box.h"
#include "layout/box_filler.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/layout_common.h"

namespace qv {

namespace {

bool IsFootnoteRef(const TField* f) {
  return f != nullptr && f->Kind == fkNoteReference && f->LinkedField != nullptr &&
         f->LinkedField->NoteClass == 0 && f->NoteClass == 0;
}

// Whether a note's text starts its story (the draft views only reserve separator room then).
bool StartsStory(const TDoc& doc, const TDocRange& range) {
  return range.Start.Offset == 0 && range.Start.Par == doc.FirstParagraphOfStory(doc.StoryOfParagraph(range.Start.Par));
}

// Gives the empty note area its separator room; false when the column cannot grow by it.
bool ReserveSeparator(TBox& column, TBox& area, const TDocRange& first) {
  if (!IsBoxEmpty(area) || area.Margins.top > 0) return true;
  const TDoc& doc = *column.Doc;
  if (IsDraftView(doc) && !StartsStory(doc, first)) return true;
  area.Margins.top = NoteSeparatorSpace;
  if (GrowBox(&column, area, NoteSeparatorSpace, false)) return true;
  area.Margins.top = 0;
  return false;
}

// The note text field that holds the note-story paragraph: the one that starts in it, else the
// one whose range (as the field index has it) holds it.
const TField* NoteTextHolding(TDoc& doc, const TPar& par) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || item.Tag.Kind != ctFieldStart) continue;
    const TField* f = FieldOfTag(item.Tag);
    if (f != nullptr && f->Kind == fkNoteText) return f;
  }
  for (const auto& f : doc.Fields) {
    TDocRange range;
    if (f->Kind == fkNoteText && doc.GetFieldRange(f.get(), range) && range.Start.Par <= par.Index &&
        par.Index <= range.End.Par)
      return f.get();
  }
  return nullptr;
}

}  // namespace

const TField* NoteMarkField(const TPar& par, const uint8_t* data, int32_t length, int32_t after) {
  const int32_t story = par.Doc != nullptr ? par.Doc->StoryOfParagraph(par.Index) : 0;
  TStreamItem item;
  if (story == 1 || story == 2) {
    // The mark repeats the number of the note's reference; a mark field inside the note keeps a
    // copy of it that nothing may have brought up to date yet.
    if (const TField* note = NoteTextHolding(*par.Doc, par);
        note != nullptr && note->LinkedField != nullptr && note->LinkedField->Kind == fkNoteReference)
      return note->LinkedField;
    for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
         off += item.Size) {
      if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldStart) {
        const TField* f = FieldOfTag(item.Tag);
        return f != nullptr && (f->Kind == fkNoteMark || f->Kind == fkNoteReference) ? f : nullptr;
      }
      if (item.Chars() > 0) break;
    }
    return nullptr;
  }
  // The reference field usually encloses its mark, so its end mark follows; a start mark that
  // follows serves as well.
  for (int32_t off = after; ReadStreamItem(data, length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag) continue;
    if (item.Tag.Kind != ctFieldStart && item.Tag.Kind != ctFieldEnd) continue;
    const TField* f = FieldOfTag(item.Tag);
    if (f != nullptr && f->Kind == fkNoteReference) return f;
  }
  return nullptr;
}

std::string NoteMarkText(const TField* mark) {
  return mark != nullptr && !mark->Text.empty() ? mark->Text : std::string("?");
}

bool NoteTextRange(TDoc& doc, const TField& note, TDocRange& range) {
  if (!doc.GetFieldRange(&note, range)) return false;
  return range.Start.Par >= 0 && range.End.Par < doc.ParCount() && !IsRangeEmpty(range);
}

void CollectLineNoteRefs(const TLine& line, std::vector<TField*>& refs) {
  refs.clear();
  if (line.FootnoteRef == nullptr && line.EndnoteRef == nullptr) return;
  const TPar* par = line.Par;
  if (par == nullptr) return;
  const int32_t end = std::min(par->Content.Length, line.StreamOffset + line.StreamLength);
  TStreamItem item;
  for (int32_t off = std::max(0, line.StreamOffset); off < end &&
                                                      ReadStreamItem(par->Content.Data, par->Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || item.Tag.Kind != ctFieldEnd) continue;
    TField* f = FieldOfTag(item.Tag);
    if (f != nullptr && f->Kind == fkNoteReference) refs.push_back(f);
  }
  // The fitter puts the field end of a reference that closes the line's last character into the
  // line even when the tag lies just past its span.
  for (TField* f : {line.FootnoteRef, line.EndnoteRef})
    if (f != nullptr && std::find(refs.begin(), refs.end(), f) == refs.end()) refs.push_back(f);
}

TBox* GetAreaBox(TBox& column, uint8_t area) {
  for (const TBoxRef& c : column.Children)
    if (c->HasFlag(TBox::AreaBox) && c->Area == area) return c.get();
  TBoxRef box = AcquireBox(&column, TBoxKind::Box);
  box->Flags = TBox::AreaBox;
  box->Area = area;
  const int32_t width = column.Width();
  box->Rect = {0, 0, width, 0};
  box->Margins.left = column.Margins.left;
  box->Margins.right = column.Margins.right;
  int32_t top = 0;
  for (const TBoxRef& c : column.Children) top = std::max(top, c->Rect.bottom);
  box->Rect.top = box->Rect.bottom = top;
  return column.AddChild(std::move(box));
}

bool HasNoteText(const TFragmentRef& fragment) { return fragment && !IsFragmentEmpty(fragment); }

void AppendNoteRange(TFragmentRef& fragment, const TDocRange& range) {
  if (!HasNoteText(fragment)) {
    if (!fragment) fragment = AcquireFragment();
    fragment->SetSingleRange(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
    return;
  }
  fragment->InsertRange(fragment->Count(), range);
}

void RemoveFirstNoteRange(TFragmentRef& fragment) {
  if (!fragment) return;
  if (fragment->Count() > 1) fragment->DeleteRange(0);
  else fragment.reset();
}

uint32_t PlaceNotes(TBox& column, uint8_t area) {
  TPage& page = *column.Page;
  TFragmentRef& notes = area == TBox::AreaFootnotes ? page.Footnotes : page.Endnotes;
  if (!HasNoteText(notes)) return frExhausted;
  TakePageSnapshot(page);
  const TPageSnapshot* snapshot = LastPageSnapshot(page);
  TBox& box = *GetAreaBox(column, area);
  uint32_t result = frNothingPlaced;
  bool placedAny = false;
  if (ReserveSeparator(column, box, *notes->GetRange(0))) {
    while (HasNoteText(notes)) {
      TDocRange range = *notes->GetRange(0);
      result = FlowIntoBoxes(box, range);
      if ((result & frNothingPlaced) == 0) placedAny = true;
      if (IsRangeEmpty(range) || (range.Start.Par > range.End.Par)) {
        RemoveFirstNoteRange(notes);
        continue;
      }
      *notes->GetRange(0) = range;
      break;
    }
  }
  if (!placedAny) {
    RestorePageSnapshot(page, *snapshot);
    result = frNothingPlaced;
  }
  DiscardPageSnapshot(page, snapshot);
  return result;
}

bool PlaceLineNotes(TBox& textBox, const TLine& line, bool& continues) {
  TPage& page = *textBox.Page;
  std::vector<TField*> refs;
  CollectLineNoteRefs(line, refs);
  TBox* column = ColumnOf(&textBox);
  for (TField* ref : refs) {
    const TField* note = ref->LinkedField;
    if (note == nullptr) continue;
    if (!IsFootnoteRef(ref)) {
      page.EndnoteCounter = ref->NoteNumber + 1;
      continue;
    }
    if (column == nullptr || textBox.Area >= TBox::AreaHeaderFooter) continue;
    TDocRange text;
    if (!NoteTextRange(*textBox.Doc, *note, text)) continue;
    AppendNoteRange(page.Footnotes, text);
    TBox& area = *GetAreaBox(*column, TBox::AreaFootnotes);
    if (!ReserveSeparator(*column, area, *page.Footnotes->GetRange(0))) return false;
    TDocRange first = *page.Footnotes->GetRange(0);
    const uint32_t r = FlowIntoBoxes(area, first);
    if ((r & frNothingPlaced) != 0) return false;
    if (IsRangeEmpty(first) || first.Start.Par > first.End.Par) {
      RemoveFirstNoteRange(page.Footnotes);
    } else {
      *page.Footnotes->GetRange(0) = first;
      continues = true;
    }
    page.FootnoteCounter = ref->NoteNumber + 1;
  }
  return true;
}

}  // namespace qv
