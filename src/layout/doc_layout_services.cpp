// The layout's answers to what the document model asks of it (document/layout_services.h):
// releasing lines and pages, pagination, in-place re-layout of one paragraph, the view's page
// arrangement, and the page and cell of a laid-out line.
#include <algorithm>
#include <climits>
#include <memory>

#include "document/doc.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/doc_position.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_binding.h"
#include "layout/box.h"
#include "layout/box_geometry.h"
#include "layout/box_pool.h"
#include "layout/layout_common.h"
#include "layout/layout_registration.h"
#include "layout/line_fitter.h"
#include "layout/page.h"
#include "layout/pagination.h"
#include "layout/shape_services.h"
#include "layout/table_measure.h"
#include "layout/paint/box_geometry.h"

namespace qv {

namespace {

// Pixels between the pages of the view.
constexpr int32_t kPageGap = 10;

int32_t PageOf(const TLine& line) {
  return line.Box != nullptr && line.Box->Page != nullptr ? line.Box->Page->Index : -1;
}

// Whether the paragraph's lines can be broken again in place: one box holds them all, and
// nothing in the paragraph can move other text (breaks, drop caps, note marks).
bool CanRelayoutInPlace(const TPar& par) {
  if (par.HasFlag(pfDropCap) || par.Lines.empty()) return false;
  if (ContainsLayoutBreak(par.Codes.Data, par.CharCount())) return false;
  if (par.HasAutoNoteMark()) return false;
  const TBox* box = par.Lines.front()->Box;
  if (box == nullptr) return false;
  for (const TLine* line : par.Lines)
    if (line->Box != box || line->HasFlag(lfSectionBreak) || line->HasFlag(lfSectBreakFollows) ||
        line->HasFlag(lfSectBreakOnly) || line->HasFlag(lfSegment))
      return false;
  return true;
}

bool HasFittedPicture(const TPar& par) {
  return std::any_of(par.Lines.begin(), par.Lines.end(), [](const TLine* l) { return l->HasFlag(lfScaledPicture); });
}

// Breaks the paragraph again for its box and puts the new lines where the old ones were; false
// (the paragraph then keeps its new, unplaced lines) when the count or a height changed.
bool RelayoutInPlace(TDoc& doc, TPar& par) {
  TBox& box = *par.Lines.front()->Box;
  std::vector<TPaginatedLineInfo> placed;
  std::vector<int32_t> heights;
  placed.reserve(par.Lines.size());
  for (const TLine* line : par.Lines) {
    placed.push_back(TPaginatedLineInfo::Create(*line));
    heights.push_back(line->Height);
  }
  const bool pictureBefore = HasFittedPicture(par);
  doc.UpdateSectionRanges();
  const TSection* section = SectionOfParagraph(doc, par.Index);
  const int32_t sectionWidth = section != nullptr ? section->PageParams.TextWidth : box.InnerWidth();
  int32_t right = par.Format.RightIndent == ParUnset16 ? 0 : par.Format.RightIndent;
  if (IsDraftView(doc) && right < 0) right = 0;
  LayoutLineFitter().Settings.ViewMode = doc.ViewMode;
  NormalizeParagraphTags(par);
  BreakParagraphIntoLines(par, 0, BoxTextWidth(box, sectionWidth) - right, nullptr);
  par.Flags |= pfLinesValid;
  bool same = par.Lines.size() == placed.size() && !pictureBefore && !HasFittedPicture(par);
  for (size_t i = 0; same && i < par.Lines.size(); ++i) same = par.Lines[i]->Height == heights[i];
  if (!same) return false;
  for (size_t i = 0; i < par.Lines.size(); ++i) {
    TLine& line = *par.Lines[i];
    placed[i].ApplyTo(line);
    line.Flags |= lfFieldShading;
    if (line.Slot < box.Lines.size()) box.Lines[line.Slot] = &line;
  }
  if (TCellBox* cell = GetCellBox(&box)) {
    if (cell->CellRange.End.Par == par.Index) cell->CellRange.End.Offset = par.CharCount();
  }
  return true;
}

TPage* LaidOutPage(TDoc& doc, int32_t page) {
  return page >= 0 && page < doc.PageCount() ? doc.Pages[static_cast<size_t>(page)] : nullptr;
}

class TLayoutDocServices : public TDocLayoutServices {
 public:

  void ReleasePages(TDoc& doc) override { ReleaseDocumentPages(doc); }

  void ComputeLayoutData(TDoc& doc) override { doc.UpdateSectionPixelMetrics(); }

  void Paginate(TDoc& doc, int32_t first, int32_t count) override { PaginateDocument(doc, first, count); }

  void EnsureLaidOut(TDoc& doc, TDocPosition& position, int32_t /*flags*/) override {
    EnsureLaidOutTo(doc, position);
  }

  void RelayoutParagraph(TDoc& doc, int32_t index) override {
    TPar& par = *doc.Par(index);
    TPostActions& actions = doc.PostActions;
    const int32_t page = par.Lines.empty() ? -1 : PageOf(*par.Lines.front());
    auto needPagesFrom = [&actions, &doc](int32_t from) {
      if (from < 0) {
        doc.Layout.LayoutPending = true;
        return;
      }
      actions.FirstPage = actions.FirstPage == PostActionNone ? from : std::min(actions.FirstPage, from);
    };
    if (actions.FirstPage != PostActionNone) {
      par.ReleaseLines(0);
      par.Flags &= static_cast<uint16_t>(~pfNormalized);
      needPagesFrom(page);
      return;
    }
    if (par.IsPlaced() && CanRelayoutInPlace(par) && RelayoutInPlace(doc, par)) {
      actions.FirstPar = index;
      return;
    }
    par.ReleaseLines(0);
    needPagesFrom(page);
  }

  void ArrangePages(TDoc& doc) override {
    TPageArrangement& a = doc.Layout.Arrangement;
    a.RowTops.clear();
    a.PageRects.clear();
    a.PagesPerRow = 1;
    a.FirstPageOnRight = false;
    int32_t y = kPageGap, widest = 0;
    for (TPage* page : doc.Pages) {
      // A new zoom or window size: the boxes' pixel rectangles follow.
      UpdateBoxPixelRects(*page);
      const int32_t w = doc.TwipsToPixelsX(page->Width());
      const int32_t h = doc.TwipsToPixelsY(page->Height());
      a.RowTops.push_back(y);
      a.PageRects.push_back({kPageGap, y, kPageGap + w, y + h});
      y += h + kPageGap;
      widest = std::max(widest, w);
    }
    a.RowHeight = doc.Pages.empty() ? 0 : a.PageRects.front().Height() + kPageGap;
    doc.View.Extent = {widest + 2 * kPageGap, y};
  }

  const TSection* SectionOfPage(const TDoc& doc, int32_t page) override {
    if (doc.Pages.empty()) return doc.Sections.empty() ? nullptr : doc.Sections.front().get();
    const size_t i = static_cast<size_t>(std::clamp(page, 0, doc.PageCount() - 1));
    return doc.Pages[i]->Section;
  }

  int32_t PageOfLine(const TLine& line) override { return PageOf(line); }

  int32_t CellBoxHeight(TDoc& doc, int32_t par) override { return LaidOutCellHeight(doc, par); }

  std::vector<TRowMeasure> MeasureTableRows(TDoc& doc, int32_t par,
                                            const std::vector<TTableRow*>& rows) override {
    return MeasureLaidOutRows(doc, par, rows);
  }

  int32_t FirstParagraphOfPage(TDoc& doc, int32_t page) override {
    if (page < 0 || page >= doc.PageCount()) return -1;
    const TLine* line = GetFirstLineOfBox(*doc.Pages[static_cast<size_t>(page)], AreaBit(TBox::AreaMain));
    return line != nullptr && line->Par != nullptr ? line->Par->Index : -1;
  }

  TField* PageHeaderFooter(TDoc& doc, int32_t page, bool footer) override {
    const TPage* p = LaidOutPage(doc, page);
    return p == nullptr ? nullptr : footer ? p->FooterField : p->HeaderField;
  }

  void LayOutHeaderFooterArea(TDoc& doc, int32_t page, TField* field) override {
    TPage* p = LaidOutPage(doc, page);
    if (p == nullptr || field == nullptr) return;
    ReflowPageHeaderFooter(*p, field);
    if (TBox* band = field == p->FooterField ? p->FooterBox : p->HeaderBox) UpdateBoxPixelRects(*band);
  }

  void ReleaseHeaderFooterArea(TDoc& doc, int32_t page) override {
    if (TPage* p = LaidOutPage(doc, page)) ClearPageHeaderFooter(*p);
  }

  bool HeaderFooterAreaRect(TDoc& doc, int32_t page, const TField* field, plat::Rect& out) override {
    const TPage* p = LaidOutPage(doc, page);
    if (p == nullptr || field == nullptr) return false;
    const TBox* band = field == p->FooterField ? p->FooterBox : field == p->HeaderField ? p->HeaderBox : nullptr;
    if (band == nullptr) return false;
    plat::Rect placed;
    doc.GetPageRect(page, placed);
    const plat::Point at = BoxToPagePoint(*band, {0, 0});
    out = {placed.left + at.x, placed.top + at.y, placed.left + at.x + band->PixelRect.Width(),
           placed.top + at.y + band->PixelRect.Height()};
    return true;
  }

  int32_t LineInContinuationCell(const TLine& line) override {
    if (line.Box == nullptr) return -1;
    const TCellBox* cell = GetCellBox(line.Box);
    return cell != nullptr && cell->HasFlag(TBox::MergeHolder) ? 1 : 0;
  }
};

}  // namespace

void RegisterLayoutServices() {
  RegisterLayoutLineFitter();
  RegisterDocLayoutServices(std::make_unique<TLayoutDocServices>());
  RegisterShapeBinding(MakeShapeBinding());
  RegisterInlineShapeService(MakeLayoutInlineShapeService());
  RegisterPictureDecoder(MakeLayoutPictureDecoder());
}

}  // namespace qv
