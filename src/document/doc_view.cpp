// The view state of TDoc: twips-to-pixel conversions at the zoom, view modes, print preview,
// zoom and scrolling. The window's side is reached through the document's editor window
// (document/doc_services.h); without a window the state is only kept.
#include <algorithm>
#include <cstdlib>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/layout_services.h"
#include "document/section.h"
#include "foundation/settings/options_holder.h"
#include "foundation/base/units.h"

namespace qv {

namespace {

// n / d rounded half up for n >= 0; truncated toward zero for n < 0.
int32_t DivHalfUp(int64_t n, int64_t d) {
  if (d <= 0) return 0;
  const int64_t q = n >= 0 ? (n + d / 2) / d : n / d;
  return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}


int32_t ClampZoom(int32_t percent) { return std::clamp(percent, MinZoomPercent, MaxZoomPercent); }

// Twips to pixels at the screen's resolution (zoom 100).
int32_t ScreenPixels(int32_t twips) { return DivHalfUp(int64_t{twips} * ScreenPixelsPerInch(), 1440); }

}  // namespace

// --- Coordinates ---

int32_t TDoc::TwipsToPixelsY(int32_t twips) const {
  return DivHalfUp(int64_t{twips} * View.PixelsPerInchY, 1440);
}

int32_t TDoc::TwipsToPixelsX(int32_t twips) const {
  return DivHalfUp(int64_t{twips} * View.PixelsPerInchX, 1440);
}

plat::Rect TDoc::RectTwipsToPixels(const plat::Rect& r) const {
  return {TwipsToPixelsX(r.left), TwipsToPixelsY(r.top), TwipsToPixelsX(r.right),
          TwipsToPixelsY(r.bottom)};
}

int32_t TDoc::ScaledTwipsToPixelsY(int32_t twips, int32_t percent) const {
  return DivHalfUp(int64_t{twips} * View.PixelsPerInchY * percent, 144000);
}

int32_t TDoc::ScaledTwipsToPixelsX(int32_t twips, int32_t percent) const {
  return DivHalfUp(int64_t{twips} * View.PixelsPerInchX * percent, 144000);
}

int32_t TDoc::PixelsToTwips(int32_t pixels) const { return MulDiv(pixels, 1440, View.PixelsPerInchY); }

int32_t TDoc::ZoomValueY(int32_t value) const {
  return ZoomPercent == 100 ? value : DivHalfUp(int64_t{value} * ZoomPercent, 100);
}

int32_t TDoc::ZoomValueX(int32_t value) const {
  return View.EffectiveZoom == 100 ? value : DivHalfUp(int64_t{value} * View.EffectiveZoom, 100);
}

int32_t TDoc::FontHeightForSize(int32_t halfPoints) const {
  return -std::max(3, DivHalfUp(int64_t{halfPoints} * View.PixelsPerInchY, 144));
}

// --- View modes ---

void TDoc::SetViewMode(uint8_t mode) {
  if (mode == ViewMode) return;
  ViewMode = mode;
  TOptions& options = GetOptions();
  (FormatIndex == 6 ? options.NewDocParams.ViewModeTXT : options.NewDocParams.ViewMode) = mode;
  {
    TScopedDocFlag f13(*this, dfArrangeOnZoom), f14(*this, dfViewModeChange14),
        f16(*this, dfViewModeChange16);
    if (EditorWindow) EditorWindow->ViewModeChanged();
  }
  const bool keepShapes = HeaderFooterInPlace == nullptr;
  if (keepShapes) SetScopedFlag(dfKeepSelectedShapes);
  RebuildLayout();
  if (keepShapes) RestoreScopedFlag();
  DocServices().RequestInterfaceUpdate();
}

void TDoc::BeginTempViewMode(uint8_t mode) {
  View.TempSavedViewMode = ViewMode;
  View.TempSavedScroll = View.ScrollPos;
  // Six flags are held until EndTempViewMode gives them back, four and then two.
  SetScopedFlag(dfViewModeChange14);
  SetScopedFlag(dfViewModeChange7);
  ViewMode = mode;
  SetScopedFlag(dfArrangeOnZoom);
  SetScopedFlag(dfViewModeChange14);
  SetScopedFlag(dfViewModeChange16);
  ClearScopedFlag(dfViewModeChange11);
  ReformatAllParagraphs();
  DiscardPages();
  View.TempViewActive = true;
}

void TDoc::EndTempViewMode(bool restore) {
  if (!View.TempViewActive) return;
  if (restore) {
    ViewMode = View.TempSavedViewMode;
    ReformatAllParagraphs();
    DiscardPages();
  }
  RestoreScopedFlags(4);
  if (restore && PostActions.ScrollTarget == PostActionNone) {
    View.ScrollPos = View.TempSavedScroll;
    ArrangePages();
  }
  RestoreScopedFlags(2);
  View.TempViewActive = false;
}

void TDoc::SetPrintPreview(bool on) {
  if (PrintPreview == on) return;
  if (EditorWindow) EditorWindow->EndSplitView();
  {
    TScopedDocFlag f13(*this, dfArrangeOnZoom), f16(*this, dfViewModeChange16);
    const bool forceRebuild = DocServices().PrintPreviewRebuildsLayout();
    PrintPreview = on;
    if (on) {
      View.PreviewSavedViewMode = ViewMode;
      View.PreviewSavedScroll = View.ScrollPos;
      ApplyPreviewZoom();
      SetZoom(ZoomPercent);
      if (ViewMode != vmPrintLayout || forceRebuild) {
        ViewMode = vmPrintLayout;
        RebuildLayout();
      }
    } else {
      RestoreNormalZoom();
      SetZoom(ZoomPercent);
      if (ViewMode != View.PreviewSavedViewMode || forceRebuild) {
        ViewMode = View.PreviewSavedViewMode;
        RebuildLayout();
      }
    }
  }
  if (EditorWindow) EditorWindow->PageArea(true);
  ArrangePages();
  // The preview shows the pages as they print: page numbers and counts in headers and footers.
  if (on) UpdateHeaderFooterPageFields(false);
  if (!on) ScrollTo(View.PreviewSavedScroll);
  DocServices().RequestInterfaceUpdate();
  if (EditorWindow) EditorWindow->Repaint();
}

// --- Zoom ---

void TDoc::SetZoomState(int32_t percent, uint8_t mode) {
  ZoomPercent = ClampZoom(percent);
  View.ZoomMode = mode;
}

void TDoc::ApplyPreviewZoom() {
  View.NormalZoomPercent = ZoomPercent;
  View.NormalZoomMode = View.ZoomMode;
  const TZoomSetting& preview = GetOptionsHolder().Settings.PreviewZoom;
  SetZoomState(preview.Factor, preview.Kind);
}

void TDoc::RestoreNormalZoom() { SetZoomState(View.NormalZoomPercent, View.NormalZoomMode); }

int32_t TDoc::ComputeZoom() {
  int32_t zoom = ZoomPercent;
  if (EditorWindow) {
    const bool fitsPage = View.ZoomMode == zmWholePage || View.ZoomMode == zmTwoPages;
    const plat::Size area = EditorWindow->PageArea(fitsPage);
    const int32_t w = area.cx, h = area.cy;
    const TPageExtentMaxima& e = View.PageExtent;
    if (ViewMode == vmPrintLayout) {
      switch (View.ZoomMode) {
        case zmPageWidth:
          if (e.PageWidth > 0) zoom = (w - 20) * 100 / e.PageWidth;
          break;
        case zmTextWidth:
          if (e.TextWidth > 0) zoom = MulDiv(w - 40, 100, e.TextWidth);
          break;
        case zmWholePage:
        case zmTwoPages: {
          const int32_t pages = View.ZoomMode == zmTwoPages ? 2 : 1;
          const int32_t margin = View.ZoomMode == zmTwoPages ? 33 : 20;
          if (e.PageWidth > 0) zoom = (w - margin) * 100 / (pages * e.PageWidth);
          if (e.PageHeight > 0 && e.PageHeight * zoom / 100 > h - 20)
            zoom = (h - 20) * 100 / e.PageHeight;
          View.ScrollToPageTop = true;
          break;
        }
        default:
          break;
      }
    } else if (ViewMode == vmDraft && View.ZoomMode == zmTextWidth && e.TextWidth > 0) {
      zoom = MulDiv(w - EditorWindow->DraftLeftAreaWidth(), 100, e.TextWidth);
    }
  }
  return ClampZoom(zoom);
}

void TDoc::UpdateSectionPixelMetrics() {
  TPageExtentMaxima& e = View.PageExtent;
  e = TPageExtentMaxima{};
  for (const auto& s : Sections) {
    const TPageParams& p = s->PageParams;
    TSectionPixels& px = s->Pixels;
    px.PageWidth = ScreenPixels(p.PageWidth);
    px.PageHeight = ScreenPixels(p.PageHeight);
    px.LeftMargin = ScreenPixels(p.LeftMargin);
    px.RightMargin = ScreenPixels(p.RightMargin);
    px.TopMargin = ScreenPixels(p.TopMargin);
    px.BottomMargin = ScreenPixels(p.BottomMargin);
    px.ZoomedPageWidth = ZoomValueX(px.PageWidth);
    px.ZoomedPageHeight = ZoomValueY(px.PageHeight);
    px.ZoomedLeftMargin = ZoomValueX(px.LeftMargin);
    px.ZoomedRightMargin = ZoomValueX(px.RightMargin);
    px.ZoomedTopMargin = ZoomValueY(px.TopMargin);
    px.ZoomedBottomMargin = ZoomValueY(px.BottomMargin);
    s->PageParams.TextHeightPx = px.PageHeight - px.TopMargin - px.BottomMargin;
    s->PageParams.TextWidth = p.PageWidth - p.LeftMargin - p.RightMargin;
    e.PageWidth = std::max(e.PageWidth, px.PageWidth);
    e.PageHeight = std::max(e.PageHeight, px.PageHeight);
    e.TextWidth = std::max(e.TextWidth, ScreenPixels(s->PageParams.TextWidth));
  }
  e.ZoomedPageWidth = ZoomValueX(e.PageWidth);
  e.ZoomedPageHeight = ZoomValueY(e.PageHeight);
  e.ZoomedTextWidth = ZoomValueX(e.TextWidth);
}

void TDoc::SetZoomAt(int32_t percent, const plat::Point* anchor) {
  // Where the view is, at zoom 100: the anchor, or the view's edges.
  const int32_t oldZoom = std::max(ZoomPercent, 1);
  plat::Point anchor100{};
  plat::Rect view100{};
  const plat::Size area = EditorWindow ? EditorWindow->PageArea(false) : plat::Size{};
  if (EditorWindow) {
    if (anchor != nullptr) {
      anchor100 = {MulDiv(int64_t{View.ScrollPos.x} + anchor->x, 100, oldZoom),
                   MulDiv(int64_t{View.ScrollPos.y} + anchor->y, 100, oldZoom)};
    } else {
      view100 = {MulDiv(View.ScrollPos.x, 100, oldZoom), MulDiv(View.ScrollPos.y, 100, oldZoom),
                 MulDiv(int64_t{View.ScrollPos.x} + area.cx, 100, oldZoom),
                 MulDiv(int64_t{View.ScrollPos.y} + area.cy, 100, oldZoom)};
    }
  }
  ZoomPercent = ClampZoom(percent);
  if (!View.Printing && !Hidden) ZoomPercent = ComputeZoom();
  const bool changed = ZoomPercent != oldZoom;
  View.EffectiveZoom = ZoomPercent;
  View.PixelsPerInchX = View.PixelsPerInchY = MulDiv(ScreenPixelsPerInch(), ZoomPercent, 100);
  UpdateSectionPixelMetrics();
  if (!EditorWindow) return;
  EditorWindow->ZoomChanged();
  if (IsDocFlagSet(dfArrangeOnZoom)) {
    if (ViewMode == vmDraftWrapped && changed) {
      ReformatAllParagraphs();
      DiscardPages();
      TDocPosition caret = Caret;
      EnsureLaidOut(caret, 0);
    } else {
      ArrangePages();
    }
  }
  if (anchor != nullptr) {
    ScrollTo({MulDiv(anchor100.x, ZoomPercent, 100) - anchor->x,
              MulDiv(anchor100.y, ZoomPercent, 100) - anchor->y});
  } else if (View.ScrollToPageTop) {
    View.ScrollToPageTop = false;
    plat::Rect page;
    GetPageRect(FirstVisiblePage(), page);
    ScrollTo({View.ScrollPos.x, page.top - 10});
  } else {
    ScrollTo({MulDiv(view100.left, ZoomPercent, 100), MulDiv(view100.top, ZoomPercent, 100)});
  }
  if (PrintPreview) {
    TZoomSetting& preview = GetOptionsHolder().Settings.PreviewZoom;
    preview.Factor = ZoomPercent;
    preview.Kind = View.ZoomMode;
  }
  RequestSpotlightCentre();
  EditorWindow->Repaint();
}

// --- Scrolling ---

plat::Point TDoc::ClampScrollPos(plat::Point point) const {
  if (View.NoScrollClamp) return point;
  const plat::Size area = EditorWindow ? EditorWindow->PageArea(false) : plat::Size{};
  const int32_t maxX = std::max(0, View.Extent.cx - area.cx);
  const int32_t maxY = std::max(0, View.Extent.cy - area.cy);
  const TSection* caretSection = SectionOfPage(Caret.Page);
  if (ViewMode == vmPrintLayout && View.ZoomMode == zmTextWidth && Caret.Page >= 0 &&
      Caret.Page < PageCount() && caretSection != nullptr) {
    plat::Rect page;
    GetPageRect(Caret.Page, page);
    point.x = page.left + caretSection->Pixels.ZoomedLeftMargin - 20;
  } else {
    point.x = std::clamp(point.x, 0, maxX);
  }
  point.y = std::clamp(point.y, 0, maxY);
  return point;
}

void TDoc::ScrollTo(plat::Point point) {
  point = ClampScrollPos(point);
  const plat::Point old = View.ScrollPos;
  if (point != old) {
    View.ScrollPos = point;
    if (EditorWindow) {
      if (IsSpotlightActive()) EditorWindow->Repaint();
      else if (point.x == old.x) EditorWindow->ScrollImage(0, old.y - point.y);
      else if (point.y == old.y) EditorWindow->ScrollImage(old.x - point.x, 0);
      else EditorWindow->Repaint();
    }
    DocServices().RequestInterfaceUpdate();
    if (point.y != old.y) DocServices().DocumentScrolled(*this, point.y);
  }
  if (EditorWindow) EditorWindow->ScrollPositionChanged();
}

void TDoc::RequestSpotlightCentre() {
  if (IsSpotlightActive() && DocServices().SpotlightCentresCaretLine()) View.CentreCaretLine = true;
}

}  // namespace qv
