#pragma once
// Pagination: the document's pages made one after the other. Each page gets its section, size,
// header and footer; the main text, footnotes and endnotes are placed in section bands of
// columns; the columns of a section that ends on the page are balanced; pagination stops when
// enough pages exist or the document is laid out to its end. It is incremental: it resumes at a
// page index, keeping the pages before it, and each new page continues from the last main-text
// line placed on the pages before, so the idle work can lay a document out in slices.
#include <cstdint>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TLine;
class TPage;
class TSection;

// Results of one section band.
enum : int {
  sbrSectionContinues = 0,  // the section ended on the page and the next continues on it
  sbrPageFinished = 1,
  sbrShapesMoved = 2,
};

// Keeps pages 0 .. min(first, page count) - 1, releases the rest, and lays out pages until the
// document is laid out to its end or more than `count` pages exist.
void PaginateDocument(TDoc& doc, int32_t first, int32_t count);
// Lays out up to `pages` more pages; false once the document is laid out to its end.
bool PaginateSlice(TDoc& doc, int32_t pages);
// Releases every page of the document to the pools.
void ReleaseDocumentPages(TDoc& doc);

// Where the text continues after what the pages hold: after the last main-text line (or table
// row) placed on the page or the pages before it. The line is given when there is one.
TDocPosition FindContinuation(const TDoc& doc, const TPage& page, const TLine** lastLine = nullptr);

// One band of the page: a section's columns at the given maximum height, then balanced when the
// section ends on the page with more than one column.
int LayOutSectionBand(TPage& page, int32_t maxHeight);
int LayOutSectionBandAndBalance(TPage& page);

// Lays out until the position's paragraph is laid out and fills in its line and page hints.
void EnsureLaidOutTo(TDoc& doc, TDocPosition& position);

}  // namespace qv
