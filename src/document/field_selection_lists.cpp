// The fields and headings the selection touches. Command enabling, the status bar and the
// document window ask for these lists on every interface update, so they are kept until the
// selection or the fields change.
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/par.h"

namespace qv {

namespace {

constexpr uint8_t kIndexType = 8;

bool HasDropCap(const TDoc& doc, const TField& f) {
  const int32_t par = f.Range.Start.Par;
  return par >= 0 && par < doc.ParCount() && doc.Par(par)->HasFlag(pfDropCap);
}

bool IsHeadingPar(const TDoc& doc, int32_t par) {
  const int32_t level = GetParFormatProp(doc.Par(par)->Format, ppOutlineLevel);
  return level != ParUnset8 && level != ParUnset32 && level >= 0 && level < 9;
}

void AddOnce(std::vector<TField*>& list, TField* f) {
  if (f != nullptr && std::find(list.begin(), list.end(), f) == list.end()) list.push_back(f);
}

// The note text field of a note reference (or the note text itself).
TField* NoteOf(TField* f) {
  if (f == nullptr) return nullptr;
  if (f->Kind == fkNoteReference) return f->LinkedField;
  return f->Kind == fkNoteText ? f : nullptr;
}

void AddNote(TSelectedFieldLists& lists, TField* note) {
  if (note == nullptr) return;
  AddOnce(note->NoteClass == 1 ? lists.Endnotes : lists.Footnotes, note);
}

// Sorted by the place of each note's reference mark (stable).
void SortNotes(TDoc& doc, std::vector<TField*>& notes) {
  auto place = [&doc](TField* note) {
    TDocRange r;
    if (note->LinkedField != nullptr && doc.GetFieldRange(note->LinkedField, r)) return r.Start;
    return note->Range.Start;
  };
  std::stable_sort(notes.begin(), notes.end(), [&](TField* a, TField* b) {
    return ComparePositions(place(a), place(b)) < 0;
  });
}

class TListFiller {
 public:
  TListFiller(TDoc& doc, TSelectedFieldLists& lists, int32_t type)
      : doc_(doc), lists_(lists), type_(type) {}

  void FromSelection() {
    doc_.RebuildFieldIndex();
    for (TField* f : doc_.FieldIndex().Fields) f->Scratch = 0;
    std::vector<TField*> candidates;
    for (int32_t i = 0; i < doc_.Selection->Count(); ++i) {
      const TDocRange r = *doc_.Selection->GetRange(i);
      doc_.FindOverlappingFields(r, candidates);
      for (TField* f : candidates) {
        TDocRange common;
        if (f->Scratch != 0 || !IntersectRanges(&common, f->Range, r) || IsRangeEmpty(common))
          continue;
        f->Scratch = 1;
        Sort(f);
      }
      if (doc_.StoryOfParagraph(r.Start.Par) == stMain) AddHeadings(r);
    }
    const TDocRange first = *doc_.Selection->GetRange(0);
    const TDocRange extent = doc_.Selection->GetExtent();
    for (uint8_t type : {uint8_t{ftToc}, kIndexType}) {
      TDocRange range;
      TField* f = doc_.GetFieldAt(first.Start, &range, {}, type, fkField);
      if (f == nullptr) continue;
      if (ComparePositions(range.Start, extent.Start) <= 0 ||
          ComparePositions(range.End, extent.End) >= 0)
        AddOnce(type == ftToc ? lists_.Tocs : lists_.Indexes, f);
    }
  }

  void FromCaret() {
    const TDocPosition at = doc_.Caret;
    if (type_ != 255) AddOnce(lists_.Requested, Find(at, type_, fkField));
    AddOnce(lists_.Hyperlinks, Find(at, ftHyperlink, fkField));
    TField* note = NoteOf(Find(at, 255, fkNoteReference));
    if (note == nullptr) note = Find(at, 255, fkNoteText);
    AddNote(lists_, note);
    AddOnce(lists_.Tocs, Find(at, ftToc, fkField));
    AddOnce(lists_.Indexes, Find(at, kIndexType, fkField));
    const int32_t par = std::clamp(at.Par, 0, doc_.ParCount() - 1);
    if (doc_.StoryOfParagraph(par) == stMain && IsHeadingPar(doc_, par))
      lists_.Headings.push_back(par);
    if (TField* dropCap = doc_.GetDropCapField(par)) AddOnce(lists_.DropCaps, dropCap);
  }

 private:
  void Sort(TField* f) {
    if (f->Kind == fkField && f->FieldType == ftHyperlink) lists_.Hyperlinks.push_back(f);
    if (f->Kind == fkField && type_ != 255 && f->FieldType == type_) lists_.Requested.push_back(f);
    if (f->Kind == fkNoteText || f->Kind == fkNoteReference) AddNote(lists_, NoteOf(f));
    if (f->Kind == fkDropCap && HasDropCap(doc_, *f)) lists_.DropCaps.push_back(f);
  }

  void AddHeadings(const TDocRange& r) {
    const int32_t last = std::min(r.End.Par, doc_.LastParagraphOfStory(stMain));
    for (int32_t p = r.Start.Par; p <= last; ++p) {
      if (!IsHeadingPar(doc_, p)) continue;
      if (!lists_.Headings.empty() && lists_.Headings.back() == p) continue;
      lists_.Headings.push_back(p);
    }
  }

  // The innermost field at the place, end excluded first, then with the end counted in.
  TField* Find(const TDocPosition& at, int32_t type, int32_t kind) {
    if (TField* f = doc_.GetFieldAt(at, nullptr, {}, type, kind)) return f;
    TScopedDocFlag inclusive(doc_, dfFieldEndInclusive);
    return doc_.GetFieldAt(at, nullptr, {}, type, kind);
  }

  TDoc& doc_;
  TSelectedFieldLists& lists_;
  int32_t type_;
};

}  // namespace

void TDoc::UpdateSelectedFieldLists(int32_t fieldType) {
  TSelectedFieldLists& lists = SelectedFields;
  std::vector<TDocRange> ranges;
  if (HasSelection())
    for (int32_t i = 0; i < Selection->Count(); ++i) ranges.push_back(*Selection->GetRange(i));
  const bool sameBasis = SamePlace(lists.Caret, Caret) && lists.Ranges.size() == ranges.size() &&
                         std::equal(ranges.begin(), ranges.end(), lists.Ranges.begin(),
                                    [](const TDocRange& a, const TDocRange& b) {
                                      return SamePlace(a.Start, b.Start) && SamePlace(a.End, b.End);
                                    });
  if (fieldType == 255 && sameBasis && IsDocFlagSet(dfSelectedFieldListsValid) &&
      !IsDocFlagSet(dfFieldIndexDirty))
    return;
  const int32_t requested = fieldType == 255 ? lists.RequestedType : fieldType;
  lists = TSelectedFieldLists{};
  lists.RequestedType = requested;
  lists.Caret = Caret;
  lists.Ranges = std::move(ranges);
  TListFiller filler(*this, lists, requested);
  if (HasSelection())
    filler.FromSelection();
  else
    filler.FromCaret();
  SortNotes(*this, lists.Footnotes);
  SortNotes(*this, lists.Endnotes);
  lists.AllNotes = lists.Footnotes;
  lists.AllNotes.insert(lists.AllNotes.end(), lists.Endnotes.begin(), lists.Endnotes.end());
  SetDocFlag(dfSelectedFieldListsValid, true);
}

}  // namespace qv
