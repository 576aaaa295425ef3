#pragma once
// What the document model asks of the layout about a document's pages, which the layout above
// it keeps. The layout registers the real services at start-up (RegisterDocLayoutServices). The
// defaults do the least the model needs on its own: pages are only forgotten (without a layout
// none is ever made). Lines are not asked for here: a paragraph's way from its text to its lines
// goes through the line fitter alone (document/line_fitter_service.h).
#include <cstdint>
#include <memory>
#include <vector>

#include "document/table_requests.h"
#include "platform/gfx/types.h"

namespace qv {

class TDoc;
class TField;
class TLine;
class TSection;
struct TDocPosition;

class TDocLayoutServices {
 public:
  virtual ~TDocLayoutServices() = default;
  // Gives the document's laid-out pages and their boxes back to the box pools and empties the
  // page list.
  virtual void ReleasePages(TDoc& doc);
  // Computes the layout data of a new document (section metrics in pixels and the like).
  virtual void ComputeLayoutData(TDoc& /*doc*/) {}

  // Keeps pages 0 .. min(first, page count) - 1 and lays out pages until the document is laid
  // out to its end or more than `count` pages exist (TDoc::Paginate).
  virtual void Paginate(TDoc& /*doc*/, int32_t /*first*/, int32_t /*count*/) {}
  // Lays out pages until the position's paragraph is laid out and fills in the position's line
  // and page hints.
  virtual void EnsureLaidOut(TDoc& /*doc*/, TDocPosition& /*position*/, int32_t /*flags*/) {}
  // Breaks one paragraph again after an edit confined to it, in place when nothing around it
  // changes; notes in the document's post-actions what must be laid out or repainted.
  virtual void RelayoutParagraph(TDoc& doc, int32_t par);
  // Recomputes the view's arrangement of pages and the document's extent in pixels.
  virtual void ArrangePages(TDoc& /*doc*/) {}
  // The section of a laid-out page (the last page's for an index beyond them, the first section
  // when there are no pages).
  virtual const TSection* SectionOfPage(const TDoc& doc, int32_t page);
  // The index of the page that shows a placed line; -1 when the line lies in no page.
  virtual int32_t PageOfLine(const TLine& /*line*/) { return -1; }
  // Whether a placed line lies in the part of a vertically merged cell that continues the
  // merge: 1 yes, 0 no, -1 not known (the line is not placed).
  virtual int32_t LineInContinuationCell(const TLine& /*line*/) { return -1; }
  // The first main-text paragraph shown on a laid-out page; -1 when not known.
  virtual int32_t FirstParagraphOfPage(TDoc& /*doc*/, int32_t /*page*/) { return -1; }

  // --- Headers and footers edited in place ---
  // The header (or footer) field a laid-out page shows; null when none or not known.
  virtual TField* PageHeaderFooter(TDoc& /*doc*/, int32_t /*page*/, bool /*footer*/) {
    return nullptr;
  }
  // Lays the page's header or footer area out with the field's paragraphs, for that page.
  virtual void LayOutHeaderFooterArea(TDoc& /*doc*/, int32_t /*page*/, TField* /*field*/) {}
  // Gives back the content of the page's area that shows the header or footer edited in place.
  virtual void ReleaseHeaderFooterArea(TDoc& /*doc*/, int32_t /*page*/) {}
  // The view pixel rectangle of the page's area that shows the field; false when none.
  virtual bool HeaderFooterAreaRect(TDoc& /*doc*/, int32_t /*page*/, const TField* /*field*/,
                                    plat::Rect& /*out*/) {
    return false;
  }
  // The height (twips) of the laid-out cell box that holds the paragraph's first line; -1 when
  // the paragraph is not laid out in a cell.
  virtual int32_t CellBoxHeight(TDoc& /*doc*/, int32_t /*par*/) { return -1; }
  // Per row of the list (rows of the table that holds the paragraph): the tallest counted cell
  // box height and the tallest sum of a counted cell box's line heights, added up over the
  // row's pieces on the pages, and the number of pieces; all 0 without a layout.
  virtual std::vector<TRowMeasure> MeasureTableRows(TDoc& /*doc*/, int32_t /*par*/,
                                                    const std::vector<TTableRow*>& rows) {
    return std::vector<TRowMeasure>(rows.size());
  }
};

// Registers the services (null restores the defaults).
void RegisterDocLayoutServices(std::unique_ptr<TDocLayoutServices> services);
TDocLayoutServices& DocLayoutServices();

}  // namespace qv
