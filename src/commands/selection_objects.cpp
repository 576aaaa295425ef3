#include "commands/selection_objects.h"

#include <algorithm>
#include <span>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/styles.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

void AddOnce(std::vector<TField*>& list, TField* field) {
  if (field != nullptr && std::find(list.begin(), list.end(), field) == list.end())
    list.push_back(field);
}

// The ranges the lists are made for: the selected ranges, or the caret as an empty range.
std::vector<TDocRange> SelectedRanges(const TDoc& doc) {
  std::vector<TDocRange> ranges;
  if (doc.HasSelection() && doc.Selection) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) ranges.push_back(*doc.Selection->GetRange(i));
  }
  return ranges;
}

// Every field of the kind enclosing the caret, innermost first.
std::vector<TField*> FieldsAtCaret(TDoc& doc, int32_t kind) {
  std::vector<TField*> out;
  TField* field = doc.GetFieldAt(doc.Caret, nullptr, {}, 255, kind);
  for (int32_t guard = 0; field != nullptr && guard < 256; ++guard) {
    out.push_back(field);
    TField* outer = field->EnclosingAtStart;
    while (outer != nullptr && outer->Kind != kind) outer = outer->EnclosingAtStart;
    field = outer;
  }
  return out;
}

void AddNote(TSelectionObjects& objects, TField* field) {
  if (field == nullptr) return;
  TField* reference = field->Kind == fkNoteText ? field->LinkedField : field;
  if (reference == nullptr || reference->Kind != fkNoteReference) return;
  AddOnce(IsEndnoteReference(*reference) ? objects.Endnotes : objects.Footnotes, reference);
}

void SortByPosition(std::vector<TField*>& list) {
  std::stable_sort(list.begin(), list.end(), [](const TField* a, const TField* b) {
    return ComparePositions(a->Range.Start, b->Range.Start) < 0;
  });
}

}  // namespace

TField* NoteTextOf(const TField& reference) {
  return reference.LinkedField != nullptr && reference.LinkedField->Kind == fkNoteText
             ? reference.LinkedField
             : nullptr;
}

bool HyperlinkShowsItsAddress(TDoc& doc, TField& link) {
  std::string target, bookmark;
  ParseHyperlinkInstruction(link.Instruction, target, bookmark, nullptr);
  std::string address = target;
  if (!bookmark.empty()) address += "#" + bookmark;
  return doc.GetRangeWideText(link.Range, 0) == CodePageToWide(address, DefaultCodePage);
}

std::u16string FieldMenuCaption(TDoc& doc, const std::vector<TField*>& fields) {
  if (fields.empty()) return u"&Field";
  const TField& first = *fields.front();
  std::u16string name = first.GetDisplayName();
  if (fields.size() > 1) {
    const std::string count = std::to_string(fields.size());
    return u"&Fields (" + name + u") (" + std::u16string(count.begin(), count.end()) + u")";
  }
  std::string named;
  if (first.FieldType == ftStyleRef && doc.Styles) {
    int32_t style = -1;
    bool numberOnly = false;
    ParseStyleRefInstruction(*doc.Styles, first.Instruction, style, numberOnly, named);
  } else if (first.FieldType == ftPageRef) {
    ParsePageRefInstruction(first.Instruction, nullptr, nullptr, named);
  }
  if (first.FieldType == ftStyleRef || first.FieldType == ftPageRef)
    name += u" - \"" + CodePageToWide(named, DefaultCodePage) + u"\"";
  return u"&Field (" + name + u")";
}

bool IsEndnoteReference(const TField& reference) {
  const TField* text = NoteTextOf(reference);
  return text != nullptr && text->NoteClass == 1;
}

TSelectionObjects CollectSelectionObjects(TDoc& doc) {
  TSelectionObjects objects;
  doc.RebuildFieldIndex();
  const std::vector<TDocRange> ranges = SelectedRanges(doc);
  std::vector<TField*> fields, notes, dropCaps;
  if (!ranges.empty()) {
    doc.GetFieldsInRange(std::span<const TDocRange>(ranges), fields, 255, fkField);
    doc.GetFieldsInRange(std::span<const TDocRange>(ranges), notes, 255, fkNoteReference);
    doc.GetFieldsInRange(std::span<const TDocRange>(ranges), notes, 255, fkNoteText);
    doc.GetFieldsInRange(std::span<const TDocRange>(ranges), dropCaps, 255, fkDropCap);
  } else {
    fields = FieldsAtCaret(doc, fkField);
    notes = FieldsAtCaret(doc, fkNoteText);
    dropCaps = FieldsAtCaret(doc, fkDropCap);
  }
  SortByPosition(fields);
  for (TField* f : fields) {
    objects.Fields.push_back(f);
    if (f->FieldType == ftHyperlink) objects.Hyperlinks.push_back(f);
    if (f->FieldType == ftToc) objects.Tocs.push_back(f);
    if (f->FieldType == kIndexFieldType) objects.Indexes.push_back(f);
  }
  for (TField* f : notes) AddNote(objects, f);
  objects.DropCaps = dropCaps;
  // Headings: the paragraphs of the selection (the caret's one) with an outline level.
  auto addHeadings = [&](int32_t first, int32_t last) {
    for (int32_t p = std::max(first, 0); p <= last && p < doc.ParCount(); ++p) {
      const int8_t level = doc.Par(p)->Format.OutlineLevel;
      if (level >= 0 && level <= 8 &&
          std::find(objects.Headings.begin(), objects.Headings.end(), p) == objects.Headings.end())
        objects.Headings.push_back(p);
    }
  };
  if (ranges.empty()) addHeadings(doc.Caret.Par, doc.Caret.Par);
  for (const TDocRange& r : ranges) addHeadings(r.Start.Par, r.End.Par);
  return objects;
}

}  // namespace qv
