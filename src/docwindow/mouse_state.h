#pragma once
// The state that the document window keeps between mouse messages (a gesture lives from a press
// to its release or to WM_CANCELMODE) and between navigation keys (the goal column of vertical
// moves and the caret's place over a run of Page Up and Page Down).
#include <cstdint>
#include <vector>

#include "document/doc_position.h"
#include "platform/gfx/types.h"

namespace qv {

// Drag kinds of a selecting drag; values above kDragRows make moves do nothing.
enum : uint8_t {
  kDragCharacters = 0,
  kDragSentences = 1,
  kDragLines = 2,
  kDragParagraphs = 3,
  kDragWords = 4,
  kDragCells = 5,
  kDragColumns = 6,
  kDragRows = 7,
  kDragNone = 255,
};

inline constexpr int32_t kUnsetColumn = static_cast<int32_t>(0x80000000u);

// A block (column) selection: its anchor and corner, the horizontal range in pixels of the
// lines' boxes, and what is derived from them.
struct TBlockSelection {
  TDocPosition Anchor;
  TDocPosition Corner;
  int32_t AnchorX = 0;  // pixels from the left edge of the anchor's line box
  int32_t CornerX = 0;
  uint32_t Flags = 0;
  // Derived: the first and last line of the block and their offsets.
  TDocPosition First;
  TDocPosition Last;
};

struct TMouseState {
  uint8_t DragKind = kDragNone;
  plat::Point PressPoint;       // screen point of the last press that may start a drag
  plat::Point LinkPressPoint;   // client point of a press on a hyperlink
  uint32_t LastDoubleClickTick = 0;
  plat::Point LastDoubleClickPoint;  // screen
  TDocRange WordDragOrigin{};   // the word (or character) a double click chose
  TDocPosition CharDragOrigin;
  // The cell a cell, column or row gesture started in: its first paragraph and its range.
  int32_t CellPar = -1;
  TDocRange CellRange{};
  TDocPosition ContextPosition;  // the position under the last right press
  TDocPosition LastExtensionPoint{kUnsetColumn, 0, 0, 0};
  TBlockSelection Block;
  bool BlockValid = false;
  // The block lines without characters in the block's horizontal range: the index of the
  // range before each, -1 before the first (the column-block copy keeps their line ends).
  std::vector<int32_t> EmptyBlockLines;
  // Repeats of a press after switching header or footer editing (bounded).
  int32_t PressRepeats = 0;
};

// The goal column of vertical caret moves and the caret's place over Page Up and Page Down.
struct TCaretColumn {
  int32_t GoalX = kUnsetColumn;  // pixels relative to the text box that held the caret
  int32_t BoxX = 0;              // that box's origin in pixels
  int32_t Table = -1;            // the table that held it (its first paragraph), -1 none
  plat::Rect PageKeyRect;        // client pixels; empty when none

  bool IsSet() const { return GoalX != kUnsetColumn; }
  void Reset() {
    GoalX = kUnsetColumn;
    BoxX = 0;
    Table = -1;
    PageKeyRect = {};
  }
};

}  // namespace qv
