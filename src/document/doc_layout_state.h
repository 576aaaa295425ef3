#pragma once
// What a document keeps of its layout beside its page list: whether it is laid out to its end,
// the page count of the last complete pagination, the flags that pagination and the field update
// share, the table of line-start character formats, and the view's arrangement of the pages,
// which the document window computes and the view queries read.
#include <cstdint>
#include <vector>

#include "foundation/base/memory.h"
#include "platform/gfx/types.h"

namespace qv {

// Where the view shows the pages: rows of pages, top down, in pixels at the zoom.
struct TPageArrangement {
  std::vector<int32_t> RowTops;       // the pixel top of each row
  int32_t RowHeight = 0;              // pixels of one row (pages and the gap below them)
  int32_t PagesPerRow = 1;
  bool FirstPageOnRight = false;      // the first page stands alone on the right (Print Layout)
  std::vector<plat::Rect> PageRects;  // the (estimated) pixel rectangle of each page
};

struct TDocLayoutState {
  bool LaidOutToEnd = false;      // the last pagination reached the end of the document
  int32_t CompletePageCount = 0;  // pages of the last pagination that reached the end
  bool PageFieldsPending = false; // pages were laid out: page-number fields need an update
  bool LayoutPending = false;     // an edit asked for layout that has not run yet
  bool Balancing = false;         // columns are being balanced: boxes are never forced to grow
  bool NoHeadersFooters = false;  // a preview that shows pages without headers and footers
  bool EndnotesInLastSection = false;  // every endnote waits for the section that ends the text
  // Character formats that start lines, each kept once (layout/char_format_cache.h).
  TMemory LineFormats;
  TPageArrangement Arrangement;
};

}  // namespace qv
