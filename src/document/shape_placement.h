#pragma once
// Placing a floating shape on its page from its position properties (posh, posrelh, posv,
// posrelv) and the offsets stored in its ShapeRect, and the reverse: the offsets to store for a
// rectangle the user dragged to. All rectangles are twips in page coordinates.
#include <array>
#include <cstdint>

namespace qv {

class TShape;
class TShapeProps;

// What the layout knows of the box B that holds the anchor line and of its page.
struct TShapePlacementFrame {
  int32_t PageWidth = 12240;   // PW
  int32_t PageHeight = 15840;  // PH
  int32_t PageNumber = 1;
  int32_t MarginLeft = 1440;   // ML, MR: mirrored on facing pages by the caller
  int32_t MarginRight = 1440;
  int32_t TextTop = 1440;      // TM, BM: the page box's text margins
  int32_t TextBottom = 1440;
  int32_t SectionTop = 1440;   // ST, SB: the section's top and bottom margins
  int32_t SectionBottom = 1440;
  int32_t SectionTextWidth = 9360;
  int32_t BoxWidth = 9360;     // B's width and its insets
  int32_t InsetLeft = 0;
  int32_t InsetRight = 0;
  int32_t InsetTop = 0;
  int32_t OwnTop = 0;          // B's own top offset within its parent
  int32_t OffsetLeft = 0;      // left and top offsets of B and every enclosing box up to the page
  int32_t OffsetTop = 0;
  bool HeaderFooterBox = false;   // B is a header or footer box
  bool EnclosingMarginFlag = false;  // an enclosing box keeps margin-relative positions
  bool InTable = false;        // the anchor paragraph is in a table
  bool DraftView = false;
  int32_t ParLeftIndent = 0;   // of the anchor paragraph
  int32_t ParRightIndent = 0;
  int8_t ParAlignment = 0;
};

// Maps the inside and outside references to left, right, top and bottom margins by the page's
// parity, and a header or footer's margin reference to the page or the top margin.
void MapShapeReferences(const TShapePlacementFrame& frame, int32_t& posrelh, int32_t posv,
                        int32_t& posrelv);

// The placed rectangle of the shape for its stored rectangle. `lineOffset` is the vertical place
// of the anchor line within B.
void PositionFloatingShape(TShape& shape, const std::array<int32_t, 4>& stored,
                           const TShapePlacementFrame& frame, std::array<int32_t, 4>& out,
                           int32_t lineOffset);

// The offsets to store for a placed rectangle; references to the line become references to the
// paragraph (stored in the properties), in a table both references are the column and
// paragraph. Returns the vertical offset it removed for a paragraph or line reference.
int32_t ComputeAnchoredRect(const std::array<int32_t, 4>& placed,
                            const TShapePlacementFrame& frame, std::array<int32_t, 4>& out,
                            int32_t lineOffset, TShapeProps& props);

}  // namespace qv
