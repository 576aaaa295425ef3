#pragma once
// The last stage of a key in the document window: the navigation keys (Page Up, Page Down, End,
// Home and the arrows, with Shift and Ctrl), the lock keys, Shift and the arrows over a block of
// table cells, and the keys that act on selected floating shapes. Every move ends in one call of
// MoveCaretByKey with a target, a line hint and a move mode, so that layout, hidden paragraphs,
// the anchor and scrolling into view are handled in one place.
#include <cstdint>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TDocForm;
class TLine;

// A navigation key (virtual keys 33 to 40) or a lock key with its shift state (1 Shift, 2 Alt,
// 4 Ctrl) and key data; true when the key counts as handled (every navigation key does).
bool HandleCaretKey(TDocForm& form, uint8_t key, uint8_t shift, intptr_t keyData);

// Tab and Shift+Tab, and the arrows with no shift key or Shift alone, over selected floating
// shapes (no text selection): the next or previous shape, or the shapes moved or resized.
bool HandleShapeKey(TDocForm& form, uint8_t key, uint8_t shift);

// --- Shared by the caret-movement files ---

// One key being handled.
struct TKeyMove {
  TDocForm& Form;
  TDoc& Doc;
  uint8_t Key = 0;
  uint8_t Shift = 0;
  uint8_t Mode = 1;  // 0 extend, 1 move, 2 move keeping the selection
  bool Ctrl = false;
};

// The caret's line (laid out), null when it has none.
TLine* CaretLineOf(TDoc& doc);
// Sets the goal column from the caret.
void SetGoalColumn(TDocForm& form);
// Up and Down (dir -1, +1): lines in layout order, or in paragraph order while extending.
void VerticalMove(TKeyMove& k, int32_t dir);
// Shift and an arrow over a block of table cells of the table (its range).
void CellBlockKey(TKeyMove& k, const TDocRange& table);
// Extending (Shift) out of a table that does not hold the anchor takes or gives up whole rows:
// backward with the caret after the anchor, forward with it before; true when it did.
bool RowWiseOutOfTable(TKeyMove& k, bool backward);
// The paragraph before or after one of the story, hidden paragraphs skipped and (in mode 1, or
// when asked) the merged-cell detour taken; -1 at the story's edge.
int32_t NeighbourParagraph(TDoc& doc, int32_t par, int32_t dir, bool detour);

}  // namespace qv
