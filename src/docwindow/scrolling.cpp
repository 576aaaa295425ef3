// Scrolling the document window's view: moving the window's image for short scrolls, the two
// scroll bars (their change, the vertical thumb's drag with its tip, the browse buttons), the
// wheel, the hand tool and the middle button's origin mark.
#include <algorithm>
#include <cstdlib>

#include "document/doc.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/rulers.h"
#include "docwindow/thumb_tip.h"
#include "docwindow/view_flags.h"
#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/key_routing.h"
#include "platform/controls/hint_window.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kCmdZoomIn = 6196;
constexpr int32_t kCmdZoomOut = 6195;
constexpr int32_t kCmdBrowsePrevious = 4225;
constexpr int32_t kCmdBrowseNext = 4226;
constexpr int32_t kCmdSelectBrowseObject = 4227;
constexpr int32_t kSoundEasyHandCapture = 10040;
// The cursor table's "Fist".
constexpr int32_t kCursorFist = 18;
// The origin mark's square and where its corner stands from the mark's point.
constexpr int32_t kOriginMarkSize = 32;
constexpr int32_t kOriginMarkOffset = 15;

int32_t BrowseCommandOf(int32_t part) {
  switch (part) {
    case 4: return kCmdBrowsePrevious;
    case 5: return kCmdSelectBrowseObject;
    case 6: return kCmdBrowseNext;
    default: return 0;
  }
}

}  // namespace

void TDocForm::ScrollViewImage(int32_t dx, int32_t dy) {
  if (Handle() == 0 || doc_ == nullptr) return;
  if (doc_->IsDocFlagSet(vfScrollNoPaint)) return;
  const bool shortScroll = (dx == 0 || std::abs(dx) < PageArea.Width() * 17 / 20) &&
                           (dy == 0 || std::abs(dy) < PageArea.Height() * 17 / 20);
  if (!shortScroll || PageArea.IsEmpty()) {
    RedrawView();
    UpdateRulers();
    return;
  }
  plat::ScrollWindowEx(Handle(), dx, dy, &PageArea, &PageArea);
  if (dy != 0 && VerRuler->Visible()) VerRuler->Invalidate();
  if (dx != 0 && Ruler->Visible()) Ruler->Invalidate();
  plat::UpdateWindow(Handle());
}

void TDocForm::UpdateScrollBars() {
  if (doc_ == nullptr) return;
  Flags |= dfUpdatingScrollBars;
  if (VerScrollBar->Position() != doc_->View.ScrollPos.y) VerScrollBar->SetPosition(doc_->View.ScrollPos.y);
  if (HorScrollBar->Position() != doc_->View.ScrollPos.x) HorScrollBar->SetPosition(doc_->View.ScrollPos.x);
  Flags &= ~dfUpdatingScrollBars;
}

void TDocForm::ScrollBarChanged(plat::ScrollBar& bar) {
  if (HasFlag(dfUpdatingScrollBars) || !IsReady()) return;
  const int32_t position = bar.Position();
  if (&bar == VerScrollBar) {
    // Far down an unfinished document: another quarter of the pages is laid out.
    if (int64_t{bar.Max()} * 9 / 10 < position && !doc_->Layout.LaidOutToEnd) {
      const int32_t count = doc_->PageCount();
      doc_->Paginate(count, count + std::max(1, count / 4));
    }
    doc_->ScrollToY(position);
  } else {
    doc_->ScrollTo({position, doc_->View.ScrollPos.y});
  }
  TDocWindowServices& services = DocWindowServices();
  services.HideWordCompletionPopup();
  services.NoteUserActivity();
}

void TDocForm::ThumbDrag(int32_t position) {
  if (!IsReady() || doc_->PageCount() <= 1) return;
  if (!ThumbDragInfo.TipWindow) {
    ThumbDragInfo.TipWindow = std::make_unique<plat::HintWindow>();
    ThumbDragInfo.Page = -1;
    Flags |= dfThumbTipShown;
  }
  const int32_t page = PageAtThumb(*doc_, position, PageArea.Height());
  if (page < 0) return;
  if (doc_->ViewMode == vmPrintLayout && page == ThumbDragInfo.Page) return;
  ThumbDragInfo.Page = page;
  plat::HintWindow& tip = *ThumbDragInfo.TipWindow;
  const plat::Rect screen = plat::GetScreenRect();
  auto width = [&tip](const std::u16string& line) { return tip.CalcHintRect(1 << 20, line).Width(); };
  const std::u16string text = ThumbTipText(*doc_, page, position + PageArea.Height() / 2,
                                           screen.Width() * 2 / 5, width);
  if (text == ThumbDragInfo.Tip) return;
  ThumbDragInfo.Tip = text;
  if (text.empty()) {
    tip.ReleaseHint();
    return;
  }
  plat::Rect r = tip.CalcHintRect(screen.Width() / 2, text);
  r.right += 2;
  r.bottom += 2;
  ThumbTipWidth = std::max(ThumbTipWidth, r.Width());
  const plat::Point corner = ClientToScreen({PageArea.right, PageArea.top});
  int32_t left = corner.x - ThumbTipWidth;
  if (left < screen.left) left = screen.left;
  tip.ActivateHint(plat::Rect{left, corner.y, left + ThumbTipWidth, corner.y + r.Height()}, text);
}

void TDocForm::ThumbRelease() {
  ThumbDragInfo.TipWindow.reset();
  ThumbDragInfo.Tip.clear();
  ThumbDragInfo.Page = -1;
  Flags &= ~dfThumbTipShown;
  ThumbTipWidth = 0;
}

void TDocForm::ScrollBarButtonClick(int32_t part) {
  if (const int32_t command = BrowseCommandOf(part)) DocWindowServices().ExecuteCommand(command);
}

std::u16string TDocForm::ScrollBarHint(int32_t part) {
  const int32_t command = BrowseCommandOf(part);
  return command != 0 ? DocWindowServices().CommandNameWithShortcut(command) : std::u16string();
}

bool TDocForm::MouseWheel(plat::ShiftState shift, int32_t delta, plat::Point /*screen*/) {
  if (delta == 0) return true;
  WheelHook(shift, std::abs(delta), WheelScrollLines(), delta > 0 ? -1 : 1);
  return true;
}

void TDocForm::WheelHook(uint8_t shift, int32_t amount, int32_t linesPerNotch, int32_t direction) {
  if (ToolbarCustomizing || !IsReady()) return;
  TDocWindowServices& services = DocWindowServices();
  if (shift == plat::ssCtrl) {
    services.ExecuteCommand(direction < 0 ? kCmdZoomIn : kCmdZoomOut);
  } else if (shift == 0 || shift == plat::ssShift) {
    const int32_t small = VerScrollBar->SmallChange();
    const int32_t large = VerScrollBar->LargeChange();
    for (int32_t left = std::max(amount, 1); left > 0; left -= plat::WHEEL_DELTA) {
      const bool page = shift == plat::ssShift || linesPerNotch == -1 ||
                        int64_t{linesPerNotch} * small >= large;
      const int64_t step = page ? large : int64_t{small} * std::max(linesPerNotch, 1);
      const int64_t y = int64_t{doc_->View.ScrollPos.y} + step * direction;
      doc_->ScrollToY(static_cast<int32_t>(std::clamp<int64_t>(y, 0, INT32_MAX)));
    }
  } else {
    return;
  }
  doc_->View.CentreCaretLine = false;
  services.HideWordCompletionPopup();
  services.NoteUserActivity();
}

void TDocForm::BeginPan(int32_t x, int32_t y) {
  if (!IsReady()) return;
  Flags |= dfPanning;
  PanStartScroll = doc_->View.ScrollPos;
  PanStartPoint = {x, y};
  if (AppExists()) {
    SetCursorShape(GetApp().GetCursor(kCursorFist));
    plat::SetCursor(Cursor());
  }
  plat::SetCapture(Handle());
  DocWindowServices().PlayEventSound(kSoundEasyHandCapture);
}

void TDocForm::PanTo(int32_t x, int32_t y) {
  // The view cannot be dragged beyond the document's edges: the scroll position is limited to
  // the document's extent.
  if (!IsReady() || !HasFlag(dfPanning)) return;
  if (x == PanStartPoint.x && y == PanStartPoint.y) return;
  doc_->ScrollTo({PanStartScroll.x + PanStartPoint.x - x, PanStartScroll.y + PanStartPoint.y - y});
  DocWindowServices().NoteUserActivity();
}

void TDocForm::DrawOriginMark() {
  if (OriginMarkShown || Handle() == 0) return;
  OriginMarkShown = true;
  const plat::Rect r{OriginMarkPos.x - kOriginMarkOffset, OriginMarkPos.y - kOriginMarkOffset,
                     OriginMarkPos.x - kOriginMarkOffset + kOriginMarkSize,
                     OriginMarkPos.y - kOriginMarkOffset + kOriginMarkSize};
  plat::InvalidateRect(Handle(), &r, false);
}

void TDocForm::EraseOriginMark() {
  if (Handle() == 0) {
    OriginMarkShown = false;
    return;
  }
  const plat::Rect r{OriginMarkPos.x - kOriginMarkOffset, OriginMarkPos.y - kOriginMarkOffset,
                     OriginMarkPos.x - kOriginMarkOffset + kOriginMarkSize,
                     OriginMarkPos.y - kOriginMarkOffset + kOriginMarkSize};
  OriginMarkShown = false;
  plat::InvalidateRect(Handle(), &r, false);
}

}  // namespace qv
