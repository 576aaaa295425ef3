#pragma once
// Document settings that the file formats carry and keep for the program, beside those with a
// place of their own in TDoc: the widow-control default of new paragraphs, the second language
// value, the writing target, the collapsed-headings and Vadure Vavi marks, the table-selection
// value and the shape-selection mark. Readers fill them; writers write them back.
#include <cstdint>

namespace qv {

struct TDocFileSettings {
  uint8_t WidowControl = 0;       // widow control of new paragraphs (the file's document default)
  int32_t SecondLanguage = 0;     // a second document-level language value
  int32_t WritingTargetKind = 0;  // the writing target: its kind, value and what it counts against
  int32_t WritingTarget = 0;
  int32_t WritingTargetRelTo = 0;
  uint8_t CollapsedHeadings = 0;  // some paragraph is a collapsed heading
  uint8_t VadureVavi = 0;         // the document is the Vadure Vavi document
  int32_t TableSelection = 0;     // a table-selection mode value kept with the document
  uint8_t ShapeSelection = 0;     // the document holds a selection of drawing shapes
};

// Where a document read for pasting is going (TDoc::PasteTarget bits). The paste road sets them
// before the read; the readers leave out what the target cannot hold.
enum : uint8_t {
  ptNotMainStory = 1,  // the target is not the main text
  ptHeaderFooter = 2,  // the target is a header or footer
  ptNote = 4,          // the target is a footnote or endnote
  ptTableCell = 8,     // the target lies inside a table cell
  ptNoTables = 16,     // tables are not allowed at the target
};

}  // namespace qv
