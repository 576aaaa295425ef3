#pragma once
// Page settings and column geometry of a section: TPageParams (page size, margins, header and
// footer distances, line numbering) and the column part of TSectionFormat, with their defaults,
// the clamps that keep them sane, the place and width of a column within the text width and the
// fitting of unequal columns to it. All lengths are twips unless said otherwise.
#include <cstdint>

namespace qv {

struct TPageParams {
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t Orientation = 0;   // 1 landscape, 0 portrait
  int32_t TextHeightPx = 0;  // page height less top and bottom margins, screen pixels at zoom 100
  int32_t LeftMargin = 0;
  int32_t RightMargin = 0;
  int32_t TopMargin = 0;
  int32_t BottomMargin = 0;
  int32_t HeaderDistance = 0;  // from the page's top edge to the header
  int32_t FooterDistance = 0;  // from the page's bottom edge to the footer
  uint8_t Mirror = 0;          // facing pages: margins swap on left-hand pages
  uint8_t DiffOddEven = 0;     // odd and even pages have their own headers and footers
  uint8_t DiffFirstPage = 0;   // the section has its own first-page header and footer
  uint8_t NoEndnotesHere = 0;  // endnotes are not placed at this section's end
  int32_t FurtherValues[4] = {};  // kept and copied with the record; the file formats own them
  int32_t TextWidth = 0;          // page width less left and right margins
  int32_t LineNumInterval = 0;    // count by; 0 no line numbers
  int32_t LineNumDistance = 0;    // from the text; 0 automatic
  int32_t LineNumStart = 0;       // first number
  uint8_t LineNumRestart = 0;     // 0 each page, 1 each section, 2 continuous
};

// One column: left edge (from the text area's left edge), width, gap after it, and the column's
// area, which reaches half-way into the gaps on both sides so that every point of the text width
// belongs to one column. Sections store only the width and the gap.
struct TColumnBounds {
  int32_t Left = 0;
  int32_t Width = 0;
  int32_t Gap = 0;
  int32_t AreaLeft = 0;
  int32_t AreaRight = 0;
};

// Section-break kinds, the first value of a section format.
enum : int32_t { sbContinuous = 0, sbNextPage = 1, sbEvenPage = 2, sbOddPage = 3 };

constexpr int32_t MaxColumns = 64;

struct TSectionFormat {
  int32_t BreakKind = sbNextPage;
  int32_t ColumnCount = 1;
  int32_t EqualWidth = 1;  // non-zero: all columns equally wide
  int32_t Spacing = 720;   // gap between equal columns
  TColumnBounds Columns[MaxColumns] = {};
  int32_t SeparatorLine = 0;  // non-zero: a line between columns
};

// All fields 0, then the defaults: US Letter (12240 x 15840) with 1-inch margins, header and
// footer 720 from the edges, text width 9360, line numbers starting at 1.
void InitPageParams(TPageParams& params);

// Page size into 1440..31680; margins not negative and leaving at least 180 twips of text width
// and height; header and footer distances not negative and at most 40% of the page height. The
// text width is then made page width less the margins again.
void ClampPageParams(TPageParams& params);

// The bounds of column n (0-based) of a format with two or more columns within the text width.
// A format of fewer than two columns gives the whole text width as its only column.
void ComputeColumnBounds(const TSectionFormat& format, const TPageParams& params, int32_t n,
                         TColumnBounds& out);

// Scales the widths of unequal columns so that widths and gaps fill the text width exactly.
void FitColumnWidths(TSectionFormat& format, const TPageParams& params);

}  // namespace qv
