// The end of every mouse state at once (WM_CANCELMODE: a release, a lost capture, Escape), and the
// auto-scroll timer that scrolls the view while a drag holds the pointer near or beyond the page
// area's edge.
#include <algorithm>

#include "document/doc.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "foundation/base/units.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// The split view exchanges its panes: the window ignores cancel mode meanwhile.
constexpr int32_t kExchangingPanes = 168;
constexpr int32_t kSoundEasyHandRelease = 10060;
// Pixels inside the page area's edge where auto-scrolling starts.
constexpr int32_t kAutoScrollBand = 10;
// A text drag or a shape move scrolls only after the pointer rested this long.
constexpr uint32_t kDragScrollDelay = 199;

int32_t AutoScrollStep(int32_t distance) { return MulDiv(distance, 5, 9); }

}  // namespace

void TDocForm::WMCancelMode() {
  if (doc_ != nullptr && doc_->IsDocFlagSet(kExchangingPanes)) return;
  const bool operation = (Flags & MouseOperationFlags) != 0;
  RemoveFeedback();
  TDocWindowServices& services = DocWindowServices();
  if (doc_ != nullptr && (Flags & (dfMovingShapes | dfMovingAnchor)) != 0) ScheduleRedraw(*doc_, 0);
  if (HasFlag(dfAutoScroll) && Handle() != 0) plat::KillTimer(Handle(), kAutoScrollTimer);
  services.SetStatusMessage(0, {});
  if (HasFlag(dfPanning)) services.PlayEventSound(kSoundEasyHandRelease);
  if (HasFlag(dfSelectingByDrag) && doc_ != nullptr) doc_->SnapAnchorToSelection();
  Flags &= CancelModeKeeps;
  if (Handle() != 0 && plat::GetCapture() == Handle()) plat::ReleaseCapture();
  if (operation) UpdateCaret();
  services.HideTypingPopups();
}

void TDocForm::CheckAutoScroll(int32_t x, int32_t y, bool ctrl) {
  if (HasFlag(dfAutoScroll) && Handle() != 0) plat::KillTimer(Handle(), kAutoScrollTimer);
  Flags &= ~dfAutoScroll;
  const int32_t band = Scaled(kAutoScrollBand);
  const plat::Rect inner{PageArea.left + band, PageArea.top + band, PageArea.right - band,
                         PageArea.bottom - band};
  const bool outside = x < inner.left || x >= inner.right || y < inner.top || y >= inner.bottom;
  if (outside && Handle() != 0) {
    plat::SetTimer(Handle(), kAutoScrollTimer, 1);
    Flags |= dfAutoScroll;
  }
  LastMouseX = static_cast<int16_t>(x);
  LastMouseY = static_cast<int16_t>(y);
  LastMouseMoveTick = plat::GetTickCount();
  AutoScrollKeys = ctrl ? (kMkLeft | kMkControl) : kMkLeft;
}

void TDocForm::WMTimer(uint32_t id) {
  if (id != kAutoScrollTimer || !IsReady()) return;
  if ((Flags & (dfTextDragPending | dfMovingShapes)) != 0 &&
      plat::GetTickCount() - LastMouseMoveTick <= kDragScrollDelay)
    return;
  TDoc& doc = *doc_;
  const plat::Point current = doc.View.ScrollPos;
  plat::Point next = current;
  const int16_t savedX = LastMouseX, savedY = LastMouseY;
  const int32_t band = Scaled(kAutoScrollBand);
  const plat::Rect inner{PageArea.left + band, PageArea.top + band, PageArea.right - band,
                         PageArea.bottom - band};
  int32_t x = LastMouseX, y = LastMouseY;
  if (x <= inner.left) {
    const int32_t step = AutoScrollStep(inner.left - x);
    next.x -= step;
    x -= step;
  }
  if (y <= inner.top) {
    const int32_t step = AutoScrollStep(inner.top - y);
    next.y -= step;
    y -= step;
  }
  if (x >= inner.right) {
    const int32_t step = AutoScrollStep(x - inner.right);
    next.x += step;
    x += step;
  }
  if (y >= inner.bottom) {
    const int32_t step = AutoScrollStep(y - inner.bottom);
    next.y += step;
    y += step;
  }
  next = doc.ClampScrollPos(next);
  if (next == current) {
    LastMouseX = savedX;
    LastMouseY = savedY;
    return;
  }
  RemoveFeedback();
  doc.ScrollTo(next);
  const uint32_t tick = LastMouseMoveTick;
  const int16_t sx = static_cast<int16_t>(std::clamp(x, -32768, 32767));
  const int16_t sy = static_cast<int16_t>(std::clamp(y, -32768, 32767));
  plat::SendMessage(Handle(), plat::WM_MOUSEMOVE, static_cast<uintptr_t>(AutoScrollKeys),
                    plat::MakeLParam(static_cast<uint16_t>(sx), static_cast<uint16_t>(sy)));
  LastMouseMoveTick = tick;
}

}  // namespace qv
