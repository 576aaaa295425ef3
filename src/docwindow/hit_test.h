#pragma once
// What lies under a point of the document window: the nearest caret position, the character and
// the objects there, and the special zones of pages, tables, shapes and lines. Every mouse
// handler of the window starts with it (TDocForm::HitTest); from the keyboard (the context-menu
// key) it answers for the caret instead of the point.
#include <cstdint>

#include "document/doc_position.h"
#include "platform/gfx/types.h"

namespace qv {

class TBox;
class TCellBox;
class TField;
class TLine;
class TPar;
class TShape;
class TTableBox;

// The no-paragraph marker of THitTestInfo::Position and the no-character marker of CharLeft.
inline constexpr int32_t kNoHitPosition = static_cast<int32_t>(0x80000000u);

// Sizes of the hit zones at 96 dots per inch.
inline constexpr int32_t kWrapPointSquare = 7;
inline constexpr int32_t kWrapEdgeTolerance = 3;
inline constexpr int32_t kShapeBorderZone = 3;
inline constexpr int32_t kTableZoneWidth = 4;
inline constexpr int32_t kSelectionBarWidth = 8;
inline constexpr int32_t kSelectionBarWidthWithLabel = 4;
inline constexpr int32_t kCollapseMarkWidth = 18;
inline constexpr int32_t kInlineHandleSquare = 16;

// The table edge marker under the point: a row's top edge (kind 1) or a column boundary on the
// table's top edge (kind 2), the boundary's index, the marker's place and the limits of its drag.
struct TTableEdgeHit {
  int32_t Kind = 0;
  int32_t Boundary = 0;
  int32_t MarkerX = 0;
  int32_t MarkerY = 0;
  int32_t Low = 0;
  int32_t High = 0;
  int32_t Reserved[4] = {0, 0, 0, 0};
};

struct THitTestInfo {
  TBox* Box = nullptr;        // the deepest layout box that holds the point
  TBox* TextBox = nullptr;    // the box whose lines hold Position
  TDocPosition Position{kNoHitPosition, 0, 0, 0};
  TPar* HeadingPar = nullptr;
  uint8_t InSelectionBar = 0;
  uint8_t OverSelection = 0;
  uint8_t InWebAddress = 0;
  uint8_t OnInlineShape = 0;
  int32_t LineX = 0;          // pixels right of the line's text start
  TDocPosition CharLeft{kNoHitPosition, kNoHitPosition, 0, 0};
  TTextRun WebAddress;
  uint8_t InLineVertically = 0;
  uint8_t InText = 0;
  uint8_t InlineHandle = 0;
  uint8_t OnListLabel = 0;
  TShape* InlineShape = nullptr;
  TDocPosition CharPos{kNoHitPosition, 0, 0, 0};
  plat::Rect InlineShapeRect;  // view pixels
  uint8_t OnCollapseMark = 0;
  uint8_t OnPageGap = 0;
  uint8_t OnTableMoveHandle = 0;
  uint8_t OnTableSizeHandle = 0;
  TTableBox* Table = nullptr;
  uint8_t OnCellSelectArea = 0;
  uint8_t OnColumnSelectArea = 0;
  uint8_t OnRowSelectArea = 0;
  uint8_t TableBorderKind = 0;  // 0 none, 4 a cell's left border, 5 its right, 7 a row's bottom
  uint8_t OutsideSpotlight = 0;
  uint8_t OnAnchorMark = 0;
  uint8_t ShapeHandle = 0;
  TShape* HandleShape = nullptr;
  int32_t HandleOffsetX = 0;
  int32_t HandleOffsetY = 0;
  TCellBox* CellBox = nullptr;
  TCellBox* BorderCell = nullptr;
  TTableEdgeHit TableEdge;
  TField* NoteRefField = nullptr;
  TField* NoteMarkField = nullptr;
  TField* NoteTextField = nullptr;
  TField* PlainField = nullptr;
  TField* HyperlinkField = nullptr;
  TShape* FloatingShape = nullptr;
  int32_t WrapPoint = -1;
  int32_t WrapEdge = 0;
  int32_t WrapX = 0;
  int32_t WrapY = 0;
  // The table insert marker under the point (0 none); the markers belong to the editing drags,
  // which set it while they show one.
  uint8_t InsertMarker = 0;
  // The page found for the point, -1 none, and the line of Position.
  int32_t PageIndex = -1;
  TLine* Line = nullptr;
  // The point is on the border zone of the floating shape.
  uint8_t OnShapeBorder = 0;

  bool HasPosition() const { return Position.Par != kNoHitPosition; }
};

// The view rectangle (pixels) of a floating shape on its page; false when it is on no laid-out
// page.
bool FloatingShapeViewRect(const TShape& shape, plat::Rect& out, int32_t* page = nullptr);

}  // namespace qv
