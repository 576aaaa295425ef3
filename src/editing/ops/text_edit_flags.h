#pragma once
// The flag set of the insertion, deletion and replacement primitives, the document flags the
// text operations set for their extent, and the two edit options they read.
#include <cstdint>

#include "document/field_index.h"  // dfDeletingWholeStory (83), set by the Delete command
#include "editing/edit_flags.h"

namespace qv {

// Insertion and deletion flags.
enum : uint32_t {
  idfClosingFormat = 0x01,      // the fragment already ends with the formatting to restore
  idfSelectInserted = 0x02,     // the post-actions selection becomes the inserted range
  idfKeepObjects = 0x04,        // the text records do not own the objects of the content
  idfNoFormatCarry = 0x08,      // a join does not carry the first paragraph's format over
  idfKeepNotes = 0x10,          // notes and headers of deleted references and sections stay
  idfMarksAtEndOnly = 0x20,     // headers stay; field marks are detached at the end only
  idfSmartSpacing = 0x40,       // Smart Cut & Paste spacing at the edit point
  idfSmartIfWordBounded = 0x80, // 0x40 per range, only for word-bounded ranges
  idfWholeLastParagraph = 0x100,
  idfNoEndAdjust = 0x200,
  idfListFormatCarry = 0x800,
  idfUtf16 = 0x1000,            // plain text is UTF-16
  idfKeepHeaders = 0x2000,
  idfBreaksInCells = 0x8000,    // page, column and section breaks stay what they are in cells
  idfSelectedShapes = 0x10000,
};

// Document flags of the text operations.
enum : int32_t {
  dfSelectionClearedForEdit = 17,  // the selection was cleared before the first change
  dfClipboardLanguage = 45,        // plain-text paste from the clipboard: its locale types
  dfCallerLanguage = 46,           // the language stored by the caller types
  dfKeepOwnFont = 47,              // insertions that keep their own font
  dfManualHyphLine = 70,           // manual hyphenation runs on a line
  dfManualHyphCandidate = 71,      // a candidate word was found
  dfReplaceInserting = 81,         // a replacement is inserting its new text
  dfReplaceRunning = 82,           // a replacement is running
  dfCallerKeepsFieldMarks = 84,
  dfKeepHyperlinkOnReplace = 85,
  dfFastNavMarking = 101,
  dfSymbolByCode = 139,            // a symbol typed by its code is being inserted
  dfSmartSpacingRuns = 141,
  dfEmptyCellsOnly = 144,          // whole cells of a cell selection are emptied, not removed
  dfDeletionRuns = 145,
  dfCellEndsDeletable = 149,
  dfNoteTextsAsBlock = 135,
  dfPasteRunning = 124,
};

// Edit options ("Flags" of the Edit section).
inline constexpr uint32_t eoSmartCutPaste = 0x20;
inline constexpr uint32_t eoFormatWithoutSelection = 0x80;
bool EditOptionOn(uint32_t bit);

}  // namespace qv
