#include "docwindow/view_geometry.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/line.h"
#include "document/section.h"
#include "document/selection_services.h"
#include "document/table_row.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/view_flags.h"
#include "foundation/base/units.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/interface_scale.h"
#include "layout/box.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "platform/controls/scroll_bar.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// View option bits: the draft views are centred; the white space between pages is hidden.
constexpr uint16_t kViewCentredDraft = 0x2;
constexpr uint16_t kViewWhiteSpaceHidden = 0x8;
// Spotlight option: centre the spotlight vertically.
constexpr uint16_t kSpotlightCentre = 0x40;
// Estimated slots are bounded, whatever the previous extent claims.
constexpr int32_t kMaxEstimatedSlots = 1 << 16;

bool IsDraft(const TDoc& doc) { return doc.ViewMode != vmPrintLayout; }

bool SpotlightCentring(const TDoc& doc) {
  return doc.IsSpotlightActive() &&
         (GetOptionsHolder().Options.View.Spotlight & kSpotlightCentre) != 0;
}

// The height of a laid-out page's slot and the pixels cut from its top. A page without lines in
// view with hidden white space takes no height (-2 marks it).
struct TSlot {
  int32_t Height = 0;
  int32_t CutPx = 0;
  bool Collapsed = false;
};

int32_t ContentTop(const TBox& box) { return box.Rect.top + box.Margins.top; }

// The first and the last child that hold the page's text (not its header and footer).
const TBox* FirstBodyChild(const TPage& page) {
  for (const TBoxRef& c : page.Children)
    if (c.get() != page.HeaderBox && c.get() != page.FooterBox) return c.get();
  return nullptr;
}

// Where the page's text starts and ends (twips from the page's top): the top of its first line
// and the bottom of its last in the main text and the notes; false without lines.
bool TextExtent(const TPage& page, int32_t& top, int32_t& bottom) {
  bool any = false;
  top = INT32_MAX;
  bottom = INT32_MIN;
  for (const TLine* line : CollectPageLines(page, BodyAreas)) {
    if (line == nullptr || line->Box == nullptr) continue;
    const plat::Point at = BoxOffsetInTwips(*line->Box, {0, line->Top}, &page);
    top = std::min(top, at.y);
    bottom = std::max(bottom, at.y + line->Height);
    any = true;
  }
  return any;
}

TSlot DraftSlot(TDoc& doc, TPage& page) {
  TSlot slot;
  const TBox* first = FirstBodyChild(page);
  int32_t textTop = 0, textBottom = 0;
  if (first == nullptr || !TextExtent(page, textTop, textBottom)) {
    slot.Height = 0;
    return slot;
  }
  const int32_t top = std::min(ContentTop(*first), textTop);
  slot.CutPx = doc.TwipsToPixelsY(top);
  slot.Height = std::max(0, doc.TwipsToPixelsY(textBottom) - slot.CutPx - 1);
  return slot;
}

void RemoveHeaderFooterBoxes(TPage& page) {
  for (TBox** band : {&page.HeaderBox, &page.FooterBox}) {
    if (*band == nullptr) continue;
    page.RemoveChild(*band);
    *band = nullptr;
  }
}

TSlot HiddenWhiteSpaceSlot(TDoc& doc, TPage& page, bool lastComplete) {
  TSlot slot;
  if (IsBoxEmpty(page)) {
    slot.Collapsed = true;
    page.Shapes.clear();
    return slot;
  }
  RemoveHeaderFooterBoxes(page);
  const int32_t pageHeight = page.Height();
  int32_t top = 0, bottom = pageHeight, textTop = 0, textBottom = 0;
  if (TextExtent(page, textTop, textBottom)) {
    top = std::max(0, textTop - kHiddenWhiteSpaceMargin);
    bottom = std::min(pageHeight, textBottom + kHiddenWhiteSpaceMargin);
  }
  if (lastComplete) bottom = pageHeight;
  slot.CutPx = doc.TwipsToPixelsY(top);
  slot.Height = std::max(1, doc.TwipsToPixelsY(bottom) - slot.CutPx);
  return slot;
}

// Moves the page's boxes up by the pixels cut from its top.
void ShiftChildren(TPage& page, int32_t cutPx) {
  if (cutPx == 0) return;
  for (const TBoxRef& c : page.Children) c->PixelRect = c->PixelRect.Offset(0, -cutPx);
}

int32_t FirstSectionPageHeight(TDoc& doc) {
  if (doc.Sections.empty()) return 0;
  return doc.ZoomValueY(doc.Sections.front()->Pixels.PageHeight);
}

void SetScrollBars(TDoc& doc, TDocForm& form, int32_t widestPage) {
  const plat::Rect& area = form.PageArea;
  form.Flags |= TDocForm::dfUpdatingScrollBars;
  plat::ScrollBar& h = *form.HorScrollBar;
  h.SetParams(doc.View.ScrollPos.x, 0, std::max(0, doc.View.Extent.cx - 1));
  h.SetLargeChange(std::max(1, area.Width() * 9 / 10));
  h.SetPageSize(std::max(0, area.Width()));
  plat::ScrollBar& v = *form.VerScrollBar;
  v.SetParams(doc.View.ScrollPos.y, 0, std::max(0, doc.View.Extent.cy - 1));
  const bool rowPage = doc.ViewMode == vmPrintLayout &&
                       (doc.View.ZoomMode == zmWholePage || doc.View.ZoomMode == zmTwoPages);
  v.SetLargeChange(std::max(1, rowPage ? doc.View.PageExtent.ZoomedPageHeight + kPageGap
                                       : area.Height() * 9 / 10));
  v.SetPageSize(std::max(0, area.Height()));
  h.SetPosition(doc.View.ScrollPos.x);
  v.SetPosition(doc.View.ScrollPos.y);
  form.Flags &= ~TDocForm::dfUpdatingScrollBars;
  (void)widestPage;
}

}  // namespace

bool WhiteSpaceHidden(const TDoc& doc) {
  return doc.ViewMode == vmPrintLayout && !doc.PrintPreview &&
         (GetOptionsHolder().Options.View.Flags & kViewWhiteSpaceHidden) != 0;
}

int32_t PagesPerRowFor(const TDoc& doc, int32_t pageAreaWidth, int32_t widestPage) {
  if (IsDraft(doc)) return 1;
  switch (doc.View.ZoomMode) {
    case zmPageWidth:
    case zmTextWidth:
    case zmWholePage:
      return 1;
    case zmTwoPages:
      return 2;
    default:
      break;
  }
  const int32_t fit = (pageAreaWidth - kPageGap) / std::max(1, widestPage + kPageGap);
  return std::max(1, std::min(doc.PageCount(), fit));
}

THorizontalExtent CalcHorizontalExtent(TDoc& doc, const TDocForm* form) {
  TDocView& view = doc.View;
  const int32_t gap = ScreenPixelsToTwips(ScaleUI(kDraftSideGap));
  int32_t widest = 0;
  if (doc.ViewMode == vmDraftWrapped && form != nullptr) {
    widest = std::max(0, doc.PixelsToTwips(form->PageArea.Width()) - 2 * gap);
  } else {
    for (const auto& s : doc.Sections) widest = std::max(widest, s->PageParams.TextWidth);
  }
  // Tables: from the leftmost row start (0 when none starts left of it) to the rightmost end
  // of a row's last cell.
  std::vector<const TTableRow*> starts;
  for (const auto& row : doc.TableRows)
    if (row && row->PrevRow == nullptr) starts.push_back(row.get());
  for (const TTableRow* start : starts) {
    int32_t left = 0, right = 0;
    int32_t guard = 0;
    for (const TTableRow* r = start; r != nullptr && guard < (1 << 20); r = r->NextRow, ++guard) {
      left = std::min(left, r->Left);
      if (r->CellCount > 0 && r->CellCount <= MaxTableCells)
        right = std::max(right, r->Cells[static_cast<size_t>(r->CellCount - 1)].Right);
    }
    widest = std::max(widest, right - left);
  }
  // Floating shapes placed on the pages.
  for (TShape* shape : SelectionServices().DocumentShapes(doc)) {
    plat::Rect r;
    if (SelectionServices().ShapeWrapKind(shape) != 0 && SelectionServices().GetShapeRect(doc, shape, r))
      widest = std::max(widest, doc.PixelsToTwips(r.Width()));
  }
  view.ExtentChanged = !view.ExtentValid || view.ExtentSideGap != gap || view.ExtentWidest != widest;
  view.ExtentSideGap = gap;
  view.ExtentWidest = widest;
  view.ExtentValid = true;
  return {gap, widest};
}

void ArrangeDocPages(TDoc& doc, TDocForm& form) {
  if (doc.IsDocFlagSet(vfLayoutFrozen)) return;
  if (!doc.IsDocFlagSet(vfNoArrangeControls)) form.ArrangeControls(form.ClientRect());
  TDocView& view = doc.View;
  if (view.PageExtent.ZoomedPageWidth == 0) doc.UpdateSectionPixelMetrics();
  const int32_t w = std::max(1, view.PageExtent.ZoomedPageWidth);
  const plat::Rect& area = form.PageArea;
  const bool draft = IsDraft(doc);
  const bool twoPage = !draft && view.ZoomMode == zmTwoPages;
  const bool hidden = WhiteSpaceHidden(doc);
  const bool complete = doc.Layout.LaidOutToEnd;
  const int32_t pageCount = doc.PageCount();
  TPageArrangement& a = doc.Layout.Arrangement;
  const int32_t perRow = PagesPerRowFor(doc, area.Width(), w);
  a.PagesPerRow = perRow;
  a.FirstPageOnRight = twoPage;

  int32_t contentWidth = 0;
  if (draft) {
    const THorizontalExtent e = CalcHorizontalExtent(doc, &form);
    contentWidth = doc.TwipsToPixelsX(2 * e.SideGap + e.Widest);
  } else {
    contentWidth = (w + kPageGap) * perRow + kPageGap;
  }
  const int32_t oldWidth = view.Extent.cx;
  const int32_t previousHeight = view.Extent.cy;
  const int32_t viewWidth = std::max(area.Width(), contentWidth);
  const bool centred = doc.ViewMode == vmDraftWrapped ||
                       (GetOptionsHolder().Options.View.Flags & kViewCentredDraft) != 0;
  const int32_t sideGapPx = draft ? doc.TwipsToPixelsX(view.ExtentSideGap) : 0;
  const bool startsWithTable = doc.ParCount() > 0 && doc.Par(0)->Format.InTable == 1;
  const int32_t startY = SpotlightCentring(doc) ? plat::GetScreenRect().Height() / 2 : 0;

  a.RowTops.clear();
  a.PageRects.assign(static_cast<size_t>(pageCount), plat::Rect{});
  view.LastEstimatedPage = -1;
  const int32_t slotCount = complete ? pageCount + (twoPage ? 1 : 0) : INT32_MAX;
  int32_t row = -1, rowTop = startY, rowHeight = 0, x = 0, viewHeight = startY;
  int32_t lastHeight = FirstSectionPageHeight(doc), estimated = 0;
  for (int32_t s = 0; s < slotCount; ++s) {
    const int32_t index = twoPage ? s - 1 : s;
    const bool laidOut = index >= 0 && index < pageCount;
    if (!laidOut && index >= pageCount && ++estimated > kMaxEstimatedSlots) break;
    // The slot's height.
    TSlot slot;
    TPage* page = laidOut ? doc.Pages[static_cast<size_t>(index)] : nullptr;
    if (index < 0) {
      slot.Height = 0;
    } else if (page != nullptr) {
      UpdateBoxPixelRects(*page);
      if (draft) slot = DraftSlot(doc, *page);
      else if (hidden) slot = HiddenWhiteSpaceSlot(doc, *page, complete && index == pageCount - 1);
      else slot.Height = page->PixelRect.Height();
      if (!slot.Collapsed && (index < pageCount - 1 || !IsBoxEmpty(*page))) lastHeight = slot.Height;
    } else {
      slot.Height = pageCount == 0 ? FirstSectionPageHeight(doc) : std::max(1, lastHeight);
    }
    // A new row.
    if (s / perRow != row) {
      const bool first = row < 0;
      row = s / perRow;
      if (draft) {
        x = centred ? (viewWidth - contentWidth) / 2 : sideGapPx;
        rowTop = first ? startY + kPageGap + (startsWithTable ? kPageGap : 0) : rowTop + rowHeight;
      } else {
        x = (viewWidth - perRow * (w + kPageGap) + kPageGap) / 2;
        const int32_t gap = hidden ? (first ? kHiddenWhiteSpaceFirstGap : kHiddenWhiteSpaceGap)
                                   : kPageGap;
        rowTop = (first ? startY : rowTop + rowHeight) + gap;
      }
      a.RowTops.push_back(rowTop);
      rowHeight = 0;
    }
    const int32_t height = slot.Collapsed ? 0 : slot.Height;
    rowHeight = std::max(rowHeight, height);
    if (page != nullptr) {
      const int32_t pw = page->PixelRect.Width();
      int32_t left = x;
      if (!draft && perRow == 1 && pw < w) left = std::max(0, kPageGap + (area.Width() - 2 * kPageGap - pw) / 2);
      page->PixelRect = plat::Rect{left, rowTop, left + pw, rowTop + height};
      ShiftChildren(*page, slot.CutPx);
      a.PageRects[static_cast<size_t>(index)] = page->PixelRect;
    } else if (index >= 0) {
      if (static_cast<size_t>(index) >= a.PageRects.size()) a.PageRects.resize(static_cast<size_t>(index) + 1);
      a.PageRects[static_cast<size_t>(index)] = plat::Rect{x, rowTop, x + w, rowTop + height};
      view.LastEstimatedPage = index;
    }
    x += w + kPageGap;
    viewHeight = rowTop + rowHeight;
    // While pagination goes on, estimate only as far as the view reached before.
    if (!complete && index >= pageCount && row > 0 && rowTop + rowHeight + kPageGap > previousHeight)
      break;
  }
  a.RowHeight = a.RowTops.size() > 1 ? a.RowTops[1] - a.RowTops[0] : rowHeight;
  viewHeight += hidden ? kHiddenWhiteSpaceBottomMargin : kBottomMargin;
  viewHeight = std::max(viewHeight, area.Height());
  if (SpotlightCentring(doc)) viewHeight += plat::GetScreenRect().Height() / 2;
  if (!complete) viewHeight = std::max(viewHeight, previousHeight);
  view.Extent = {viewWidth, viewHeight};

  if (!doc.IsDocFlagSet(vfKeepScrollBars)) {
    const plat::Point clamped = doc.ClampScrollPos(view.ScrollPos);
    if (clamped != view.ScrollPos) {
      doc.SetScopedFlag(vfScrollNoPaint);
      view.ScrollPos = clamped;
      doc.RestoreScopedFlag();
    }
    SetScrollBars(doc, form, w);
    // The vertical bar shows only with something to scroll: when that changed, the controls
    // and the pages are arranged once more for the new page area.
    static bool again = false;
    const bool scrollable = form.VerScrollBar->Max() > form.VerScrollBar->Min();
    if (!again && !doc.IsDocFlagSet(vfNoArrangeControls) && form.VerticalBarWanted() &&
        scrollable != form.VerScrollBar->Visible()) {
      again = true;
      ArrangeDocPages(doc, form);
      again = false;
      return;
    }
  }
  if (doc.IsDocFlagSet(vfCaretFollows)) {
    CalcCaretPoint(doc);
    if (form.Handle() != 0 && plat::GetFocus() == form.Handle()) PlaceSystemCaret(doc);
  }
  if (doc.IsDocFlagSet(vfNoArrangeControls) && viewWidth != oldWidth) {
    form.RearrangePending = true;
    DocServices().RequestInterfaceUpdate();
  }
}

}  // namespace qv
