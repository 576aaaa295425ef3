#pragma once
// Pages: their header and footer areas, and the questions the rest of the system asks of a page
// (its section, its lines, where its text body starts and ends). The paragraphs of the header
// and footer story exist once, but every page shows its own copy, so pagination lays a page's
// header and footer out only to measure them and then empties their boxes; painting and in-place
// editing lay them out again when they are needed.
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace qv {

class TCellBox;
class TField;
class TLine;
class TPage;
class TSection;

// The header and footer fields that show on the page: with a different first page, fields 4 and
// 5 on the section's first page; else 1 and 3, or with different odd and even pages 0 and 2 on
// even-numbered pages. A section without its own takes those of the nearest earlier section that
// has one. Null when none.
TField* PageHeaderField(const TPage& page, bool footer);
// Gives a new page (Print Layout) its header and footer boxes: each field is flowed into its box
// to measure it; the box keeps its size and position only.
void MakePageHeaderFooter(TPage& page);
// Lays the field out again into the page's header or footer box (in-place editing, painting).
void ReflowPageHeaderFooter(TPage& page, TField* field);
// Releases the content of the page's header or footer box when it holds the field being edited
// in place.
void ClearPageHeaderFooter(TPage& page);

// The section of the paragraph of the page's first line in the main text or the notes; the
// section pagination recorded for a page without such a line.
TSection* GetPageSection(const TPage& page);
// The lines of the page in the boxes of the areas (a bit per area), in tree order.
std::vector<TLine*> CollectPageLines(const TPage& page, uint32_t areas);
int32_t CountPageLines(const TPage& page, uint32_t areas);
// The line's index among the page's lines of its area group (header and footer lines counted
// apart from the others); -1 when the line is not on the page.
int32_t GetPageLineIndex(const TPage& page, const TLine& line);
// The smallest index of the paragraph's lines that lie on the page; INT32_MAX when none does.
int32_t FirstLineIndexOnPage(const TPage& page, int32_t par);
// Where the page body starts (the larger of the top margin and the header's bottom) and how much
// room its end leaves (the larger of the bottom margin and the footer's reach).
int32_t PageBodyTop(const TPage& page);
int32_t PageBodyBottomSpace(const TPage& page);
// Floating shapes' rectangles in page coordinates: a shape placed relative to a box (a table
// cell's) gets that box's offset on the page added, and no longer follows the box. A shape whose
// box is no longer on the page leaves the page.
void PlaceShapesOnPage(TPage& page);
// Whether the anchor mark of the selected floating shapes shows on the page, and where (window
// pixels, moved by the page's pixel origin): beside the first line on the page of the paragraph
// that anchors every selected shape of the page, left of a shape it would meet.
bool AnchorMarkRect(const TPage& page, plat::Rect& out);
// The anchor mark's size in pixels.
plat::Size AnchorMarkSize();
// Left and right boundary of a cell box from its row (0x3FFFFFFF twice for the row-end holder).
void CellHorzRange(const TCellBox& cell, int32_t& left, int32_t& right);
// Places a cell's children by its vertical alignment (centred, from the bottom, from the top).
void AlignCellContent(TCellBox& cell);

}  // namespace qv
