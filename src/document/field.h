#pragma once
// TField: a marked range of a document, the value of the field-start and field-end tags of the
// content streams. Fields proper, bookmarks, notes, header and footer areas, locked selections,
// shape anchors, drop caps and navigation marks are all fields of their own kind.
#include <cstdint>
#include <memory>
#include <string>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TSection;
class TShape;

// Kinds of field.
enum : uint8_t {
  fkField = 0,
  fkBookmark = 1,
  fkNoteText = 2,
  fkNoteReference = 3,
  fkNoteMark = 4,
  fkHeaderFooter = 5,
  fkLockedSelection = 6,
  fkShapeAnchor = 7,
  fkDropCap = 8,
  fkNavigationMark = 10,
};

// Word field-type numbers the model acts on.
enum : uint8_t {
  ftRef = 3,
  ftIndexEntry = 4,
  ftStyleRef = 10,
  ftToc = 13,
  ftNumWords = 27,
  ftTime = 32,
  ftPageRef = 37,
  ftSymbol = 57,
  ftNoteRef = 72,
  ftHyperlink = 88,
};

// Data that a field owns and frees with itself (the drop-cap record of a drop cap).
class TFieldAttachment {
 public:
  virtual ~TFieldAttachment() = default;
};

class TField {
 public:
  TField() = default;
  // Tags that still name the field (in streams, undo records or the clipboard) name nothing
  // afterwards.
  ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  uint8_t Kind = fkField;
  uint8_t FieldType = 0;  // kind 0: the Word field-type number
  uint8_t NoteClass = 0;  // note text: 1 endnote, 0 footnote
  uint8_t Flags = 0;      // bit 0: note reference numbered automatically; value 2: hidden bookmark
  TDocRange Range;        // as last computed by the field index
  std::u16string Instruction;  // kind 0: the instruction; kind 1: the bookmark's name
  TShape* Shape = nullptr;     // kind 7: the anchored shape (owned by the document)
  std::unique_ptr<TFieldAttachment> Attachment;  // kind 8: the drop-cap record, owned
  TField* LinkedField = nullptr;  // note reference <-> note text
  int32_t NoteNumber = 0;         // shown by an automatically numbered note reference
  std::string Text;               // a note mark's text

  // Kept by the field index: the innermost field open at the start mark and after the end mark,
  // and a counter of the selection lists.
  TField* EnclosingAtStart = nullptr;
  TField* EnclosingAfterEnd = nullptr;
  int32_t Scratch = 0;

  // The name of the field type ("Hyperlink", "Page Reference" ...); for a type without one the
  // instruction's first word, or the whole instruction when that word is empty.
  std::u16string GetDisplayName() const;
  // The number in the style of the instruction's general format switch, case switch applied.
  std::u16string FormatNumberResult(int32_t number, int32_t language) const;
  // Empty for date 0; else the date in the picture of the \@ switch, or in the language's first
  // date format (time format for TIME fields), case switch applied.
  std::u16string FormatDateResult(int32_t language, double date) const;
  // The first of the switch words "Upper", "Lower", "FirstCap", "Caps" in the instruction
  // decides the case of the text; none leaves it unchanged.
  std::u16string ApplyCaseSwitch(const std::u16string& text) const;
  // PAGEREF and NOTEREF fields: whether the instruction carries \h.
  bool HasLinkSwitch() const;
  // NOTEREF fields: the note reference that the named bookmark marks, or null.
  TField* FindReferencedNote(TDoc* doc) const;
  // Stores the number and the mark text in the section's footnote or endnote number format;
  // true when the text changed.
  bool SetNoteNumber(const TSection& section, int32_t number);
};

// The display name of a field type, empty for a type without one.
const char16_t* FieldTypeDisplayName(int32_t fieldType);

}  // namespace qv
