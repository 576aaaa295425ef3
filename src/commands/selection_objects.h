#pragma once
// The objects the selection of a document touches (the caret's place without a selection): the
// fields, hyperlinks, tables of contents, indexes, footnotes and endnotes, drop caps and headings
// that the field, hyperlink, note and heading commands act on and that their enable rules count.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TDoc;
class TField;

// The Word field-type number of INDEX fields.
inline constexpr uint8_t kIndexFieldType = 8;

struct TSelectionObjects {
  std::vector<TField*> Fields;      // fields proper (kind 0), in document order
  std::vector<TField*> Hyperlinks;  // HYPERLINK fields
  std::vector<TField*> Tocs;        // TOC fields
  std::vector<TField*> Indexes;     // INDEX fields
  std::vector<TField*> Footnotes;   // note references of footnotes
  std::vector<TField*> Endnotes;    // note references of endnotes
  std::vector<TField*> DropCaps;
  std::vector<int32_t> Headings;    // paragraphs with an outline level 0..8
  int32_t NoteCount() const { return static_cast<int32_t>(Footnotes.size() + Endnotes.size()); }
};

// Collects what the selection (or the caret) touches. A note text touched counts as its
// reference; a field counts when it shares characters with a selected range, or encloses the
// caret without a selection.
TSelectionObjects CollectSelectionObjects(TDoc& doc);

// The note text of a note reference (null when the reference has none).
TField* NoteTextOf(const TField& reference);
// Whether a hyperlink shows its own address as its text ("address#bookmark" with a bookmark).
bool HyperlinkShowsItsAddress(TDoc& doc, TField& link);
// The caption of the field submenu: "&Field (%s)" with the first field's type name (and, for a
// single STYLEREF or PAGEREF field, the style or bookmark it names), "&Fields (%s) (%d)" for
// several fields.
std::u16string FieldMenuCaption(TDoc& doc, const std::vector<TField*>& fields);
// Whether a note reference stands for an endnote.
bool IsEndnoteReference(const TField& reference);

}  // namespace qv
