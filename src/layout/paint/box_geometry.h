#pragma once
// Pixel rectangles of the box tree and the moves of points between a box and its ancestors.
// The layout keeps every measure of a box in twips; painting, hit testing and the editor window
// work in pixels, which UpdateBoxPixelRects derives for the current zoom and resolution.
#include <cstdint>

#include "platform/gfx/types.h"

namespace qv {

class TBox;
class TDoc;
class TLine;

// Side of a table's move handle (odd) and of the row and column markers, in screen pixels.
int32_t TableMoveHandleSize();
int32_t TableMarkerSize();

// Recomputes the pixel fields of the box and its whole subtree: the pixel rectangle (cut to the
// parent's pixel size), the pixel insets, a table box's frame and handles. Paints nothing.
void UpdateBoxPixelRects(TBox& box);

// The pixel width of a cell border of the given twips: 0 stays 0, anything else is at least 1.
int32_t CellBorderPixels(const TDoc* doc, int32_t twips, bool vertical);

// Adds the origins of the box's rectangle and of its ancestors' up to (not including) the
// ancestor (null: all of them) to the point.
plat::Point BoxOffsetInTwips(const TBox& box, plat::Point point, const TBox* ancestor);
plat::Point BoxOffsetInPixels(const TBox& box, plat::Point point, const TBox* ancestor);
// A pixel point in the box to view coordinates (all ancestors) and to page coordinates.
plat::Point BoxToViewPoint(const TBox& box, plat::Point point);
plat::Point BoxToPagePoint(const TBox& box, plat::Point point);

// The box or its nearest ancestor that is a page text body (null when none).
TBox* GetBodyBox(TBox* box);
// The body box, else the nearest area box that is neither a table nor a cell.
TBox* GetBodyOrAreaBox(TBox* box);

// What BoxAtPoint counts.
struct TBoxHitFilter {
  uint32_t Areas = 0xFFFFFFFFu;  // a bit per area number
  bool UseAreas = false;
  bool EmptyBoxesCount = false;  // boxes without lines may be the answer
};
// The deepest box that contains the pixel point (relative to the root's pixel rectangle), else
// the nearest one; null when no box qualifies. Hidden boxes are skipped with their subtree.
TBox* BoxAtPoint(TBox& root, int32_t x, int32_t y, const TBoxHitFilter& filter);

// The last line of the tree, depth first from the end, in boxes whose area is in `areas` (a box
// without an area of its own always counts); null when none.
TLine* GetLastLineOfBox(const TBox& box, uint32_t areas);
// The first and the last line of the line's paragraph with the line's visual row number (pieces
// of one row split around floating shapes share it); the line itself when it has no paragraph.
TLine* FirstLineOfRow(TLine& line);
TLine* LastLineOfRow(TLine& line);
// The selection is not empty and the start of the box's cell lies in one of its ranges, ends
// included.
bool IsInSelectedCell(const TBox& box);

// The shading colour of the cell that holds the box; 0xFF000000 outside cells and for the
// row-end holder.
uint32_t CellShadingColor(const TBox& box, bool dimmed);

}  // namespace qv
