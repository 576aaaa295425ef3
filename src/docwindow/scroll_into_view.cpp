#include "docwindow/scroll_into_view.h"

#include <algorithm>
#include <climits>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/view_flags.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_box.h"
#include "layout/box.h"
#include "layout/char_positions.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/win/keys.h"

namespace qv {

namespace {

// Edit option: scrolling runs ahead of the caret moved by the navigation keys.
constexpr uint32_t kEditAnticipatoryScrolling = 0x40;
constexpr uint16_t kSpotlightCentre = 0x40;

bool SpotlightCentring(const TDoc& doc) {
  return doc.IsSpotlightActive() &&
         (GetOptionsHolder().Options.View.Spotlight & kSpotlightCentre) != 0;
}

plat::Size AreaOf(const TDoc& doc) {
  const TDocForm* form = FormOf(doc);
  return form != nullptr ? plat::Size{form->PageArea.Width(), form->PageArea.Height()} : plat::Size{};
}

bool WhollyVisible(const TDoc& doc, const plat::Rect& r) {
  const plat::Size area = AreaOf(doc);
  const plat::Point s = doc.View.ScrollPos;
  return r.left >= s.x && r.top >= s.y && r.right <= s.x + area.cx && r.bottom <= s.y + area.cy;
}

// The width of the list label in front of the paragraph's first line, in view pixels.
int32_t ListLabelWidth(TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount()) return 0;
  TPar& p = *doc.Par(par);
  if (!p.NumberPar || p.NumberPar->Lines.empty() || p.NumberPar->Lines.front() == nullptr) return 0;
  TLine& label = *p.NumberPar->Lines.front();
  return std::max(0, doc.ZoomValueY(GetLineCharX(label, label.Count)));
}

}  // namespace

plat::Point CalcScrollToRect(TDoc& doc, const plat::Rect& rect, int32_t mode,
                             bool /*keepClearOfBars*/) {
  const plat::Point s = doc.View.ScrollPos;
  if (SpotlightCentring(doc)) return s;
  const plat::Size area = AreaOf(doc);
  const int32_t w = area.cx, h = area.cy;
  plat::Point p = s;
  // Horizontal.
  const int32_t margin = mode == 3 && doc.View.ZoomMode != zmTextWidth ? w / 5 : 0;
  if (rect.left < s.x) {
    p.x = rect.left - margin;
  } else if (rect.right > s.x + w) {
    p.x = rect.Width() >= w ? rect.left : s.x + (rect.right - (s.x + w)) + margin;
  }
  // Vertical.
  const int32_t rh = rect.Height();
  bool below = false;
  if (rect.top < s.y) {
    p.y = rect.top;
  } else if (mode == 1) {
    if (rect.bottom > s.y + h / 2) p.y = rect.bottom - h / 2;
  } else if (mode == 2) {
    const int32_t room = std::max(h / 20, rh);
    if (rect.bottom > s.y + room) p.y = rect.bottom - room;
  } else if (rect.bottom > s.y + h) {
    below = true;
    p.y = rh >= h ? rect.top : rect.bottom - h;
  }
  if ((mode == 1 || mode == 2) && rect.top >= s.y) p.y = std::max(p.y, s.y);
  // Scrolling ahead of the caret moved by a key.
  if (doc.IsDocFlagSet(vfAnticipatory) && rh < h) {
    if (p.y < s.y) p.y -= (h - rh) / 3;
    else if (below) p.y += (h - rh) / 3;
  }
  p.x = std::clamp(p.x, 0, std::max(0, doc.View.Extent.cx - w));
  p.y = std::clamp(p.y, 0, std::max(0, doc.View.Extent.cy - h));
  return p;
}

void ScrollCaretIntoView(TDoc& doc, int32_t mode) {
  if (doc.IsDocFlagSet(vfNoScrollIntoView)) return;
  if (SpotlightCentring(doc)) {
    doc.RequestSpotlightCentre();
    return;
  }
  const plat::Size area = AreaOf(doc);
  const int32_t w = area.cx, h = area.cy;
  plat::Rect r = GetCaretRect(doc);
  const int32_t rh = r.Height();
  switch (mode) {
    case 4:
      r.top -= 2 * rh;
      r.bottom += 2 * rh;
      break;
    case 5:
      r.top -= std::max(0, std::min(h - rh, 6 * rh));
      break;
    case 6:
      r.bottom += std::max(0, std::min(h - rh, 6 * rh));
      break;
    case 7:
      r.top = r.bottom - h;
      break;
    default:
      r.bottom += GetPaddedBorderWidth() + 4;
      break;
  }
  // Enough of the caret line above the rectangle's bottom shows.
  const int32_t ascent = doc.View.CaretFontMetrics.Ascent;
  r.top = std::min(r.top, r.bottom - std::min(h * 9 / 10, ascent * 11 / 10));
  // A list label in front of the caret comes into view with it.
  if (doc.Caret.Offset == 0) {
    const int32_t label = ListLabelWidth(doc, doc.Caret.Par);
    if (label > 0) r.left -= std::min(w * 9 / 10, label);
  }
  if (mode == 1 || mode == 2 || !WhollyVisible(doc, r)) doc.ScrollTo(CalcScrollToRect(doc, r, mode, false));
}

bool IsRangeVisible(TDoc& doc, const TDocRange& range) {
  const TDocForm* form = FormOf(doc);
  if (form == nullptr || doc.ParCount() == 0) return true;
  // Pages as far as the window shows.
  for (int32_t guard = 0; guard < 64 && !doc.Layout.LaidOutToEnd; ++guard) {
    const int32_t count = doc.PageCount();
    if (count > doc.LastVisiblePage()) break;
    doc.Paginate(count, count + 1);
    if (doc.PageCount() == count) break;
  }
  const int32_t firstPage = doc.FirstVisiblePage(), lastPage = doc.LastVisiblePage();
  const plat::Point s = doc.View.ScrollPos;
  const plat::Rect visible{s.x, s.y, s.x + form->PageArea.Width(), s.y + form->PageArea.Height()};
  const int32_t first = std::clamp(range.Start.Par, 0, doc.ParCount() - 1);
  const int32_t last = std::clamp(range.End.Par, first, doc.ParCount() - 1);
  for (int32_t i = first; i <= last; ++i) {
    TPar& par = *doc.Par(i);
    if (!par.HasFlag(pfLinesValid)) continue;
    const int32_t from = i == range.Start.Par ? range.Start.Offset : 0;
    const int32_t to = i == range.End.Par ? range.End.Offset : par.CharCount();
    for (TLine* line : par.Lines) {
      if (line == nullptr || line->Box == nullptr || line->Box->Page == nullptr) continue;
      const int32_t page = line->Box->Page->Index;
      if (page < firstPage || page > lastPage) continue;
      const int32_t a = std::max(from, line->FirstChar), b = std::min(to, line->LastChar());
      if (a > b || (a == b && from != to)) continue;
      const plat::Point origin = BoxToViewPoint(*line->Box, {0, doc.TwipsToPixelsY(line->Top)});
      plat::Rect r{origin.x + LineTextX(*line, a - line->FirstChar), origin.y,
                   origin.x + LineTextX(*line, b - line->FirstChar),
                   origin.y + LineHeightPixels(*line)};
      const int32_t dx = std::min(10, r.Width() / 5), dy = r.Height() / 5;
      r = {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
      if (r.right >= r.left && r.bottom >= r.top && r.left < visible.right &&
          r.right >= visible.left && r.top < visible.bottom && r.bottom >= visible.top)
        return true;
    }
  }
  return false;
}

void MoveCaretByKey(TDoc& doc, const TDocPosition& target, uint8_t mode, uint8_t key, int32_t lineHint) {
  TSelectionServices& selection = SelectionServices();
  TDocRange spotlightBefore;
  selection.GetSpotlightRange(doc, spotlightBefore);
  doc.RequestSpotlightCentre();
  doc.SetScopedFlag(vfDirectInput);
  TDocPosition t = target;
  while (t.Par + 1 < doc.ParCount() && selection.IsParagraphHidden(doc, t.Par)) {
    ++t.Par;
    t.Offset = 0;
  }
  const bool anticipatory =
      (GetOptions().Edit.Flags & kEditAnticipatoryScrolling) != 0 &&
      (key == plat::VK_END || key == plat::VK_HOME || key == plat::VK_LEFT ||
       key == plat::VK_UP || key == plat::VK_RIGHT || key == plat::VK_DOWN);
  if (anticipatory) doc.SetScopedFlag(vfAnticipatory);
  const TDocForm* form = FormOf(doc);
  EnsureLaidOut(doc, t, form != nullptr && form->HasFlag(TDocForm::dfShiftNavigating));
  if (lineHint != kNoLineHint && t.Par >= 0 && t.Par < doc.ParCount()) {
    const TPar& par = *doc.Par(t.Par);
    if (par.HasFlag(pfLinesValid) && !par.Lines.empty())
      t.Line = std::max(0, par.LineIndexOfChar(t.Offset, lineHint, false));
  }
  switch (mode) {
    case cmMove:
      SetCaretPos(doc, t, scRefreshWhenNeeded | scClearSelection);
      break;
    case cmMoveKeepSelection:
      SetCaretPos(doc, t, scRefreshWhenNeeded);
      break;
    default: {
      const bool had = doc.HasSelection();
      if (!had) doc.SelectionAnchor = doc.Caret;
      const TDocPosition anchor = doc.SelectionAnchor;
      TDocPosition start = anchor, end = t;
      if (ComparePositions(t, anchor) < 0) std::swap(start, end);
      else if (t.Offset == 0 && t.Par > anchor.Par)
        MakePosition(t.Par - 1, doc.Par(t.Par - 1)->CharCount(), end);
      if (SamePlace(start, end)) {
        doc.ClearSelection();
      } else {
        doc.SetSelection(start.Par, start.Offset, end.Par, end.Offset);
        doc.SelectionAnchor = anchor;
      }
      SetCaretPos(doc, t, scRefreshWhenNeeded);
      if (had != doc.HasSelection()) DocServices().RequestInterfaceUpdate();
      break;
    }
  }
  if (anticipatory) doc.RestoreScopedFlag();
  doc.RestoreScopedFlag();
  TDocRange spotlightAfter;
  selection.GetSpotlightRange(doc, spotlightAfter);
  if (doc.IsSpotlightActive() && !SameRange(spotlightBefore, spotlightAfter)) {
    if (TDocForm* f = FormOf(doc)) f->RedrawView();
  }
  DocWindowServices().RestartInstancesSearch(doc);
}

}  // namespace qv
