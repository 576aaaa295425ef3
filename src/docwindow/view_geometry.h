#pragma once
// Where a document's pages stand in its window's view. The view is measured in view pixels: the
// page rectangles, the caret and the scroll position share one coordinate space whose origin is
// the top-left corner of the scrollable area. Pages are laid out lazily, so the arrangement
// estimates the pages not laid out yet (from the last one) until the view is a little taller
// than it was, which keeps the scroll range plausible from the start.
//
// The arrangement, view mode 0 (Print Layout): rows of pages side by side (one page per row in
// the fit zoom modes, two facing pages in two-page mode, as many as fit otherwise), centred, 10
// pixels apart (2 with the white space between pages hidden). The draft views: one page per
// row, pages joined without a gap, cut to their content, starting at the side gap (or centred).
#include <cstdint>

namespace qv {

class TDoc;
class TDocForm;

// Pixels between pages and rows, and the bottom margins of the view.
inline constexpr int32_t kPageGap = 10;
inline constexpr int32_t kHiddenWhiteSpaceGap = 2;
inline constexpr int32_t kHiddenWhiteSpaceFirstGap = 5;
inline constexpr int32_t kBottomMargin = 10;
inline constexpr int32_t kHiddenWhiteSpaceBottomMargin = 5;
// The side gap of the draft views in interface pixels (4 + 24).
inline constexpr int32_t kDraftSideGap = 28;
// Twips of page kept above and below the content when white space is hidden.
inline constexpr int32_t kHiddenWhiteSpaceMargin = 100;

// The content width of the draft views: the side gap and the widest content, in twips.
struct THorizontalExtent {
  int32_t SideGap = 0;
  int32_t Widest = 0;
};

// Recomputes pages per row, every page's pixel rectangle and the estimated rectangles of the
// pages not laid out yet, the row tops, the view's extent and the scroll bars.
void ArrangeDocPages(TDoc& doc, TDocForm& form);

// The draft views' content width: the widest text of the sections (in Draft wrapped to the
// window the window's width less the side gaps), widened by tables and placed floating shapes.
// Kept in the document until a view-mode, zoom or page change drops it (View.ExtentValid).
THorizontalExtent CalcHorizontalExtent(TDoc& doc, const TDocForm* form);

// Pages shown side by side for the document's view and zoom mode, with the page area's width
// and the widest page at the zoom.
int32_t PagesPerRowFor(const TDoc& doc, int32_t pageAreaWidth, int32_t widestPage);

// Whether the white space between pages is hidden (Print Layout only, never in print preview).
bool WhiteSpaceHidden(const TDoc& doc);

}  // namespace qv
