#include "docwindow/zoom.h"

#include <climits>
#include <vector>

#include "document/doc.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/view_flags.h"
#include "platform/controls/control.h"

namespace qv {

namespace {

constexpr int32_t kSoundMagnifyEnlarge = 10120;
constexpr int32_t kSoundMagnifyShrink = 10100;
constexpr int32_t kCentre = static_cast<int32_t>(0x80000000u);

}  // namespace

void ApplyZoom(TDoc& doc, int32_t percent) {
  // The model arranges the pages for the new zoom while this flag is set; the view repaints
  // once at the end rather than for every scroll on the way.
  doc.SetScopedFlag(vfScrollNoPaint);
  try {
    doc.SetZoom(percent);
  } catch (...) {
    doc.RestoreScopedFlag();
    throw;
  }
  doc.RestoreScopedFlag();
}

void SetZoomMode(TDoc& doc, uint8_t mode) {
  const uint8_t oldMode = doc.View.ZoomMode;
  const int32_t oldPercent = doc.ZoomPercent;
  doc.View.ZoomMode = mode;
  const int32_t percent = doc.ComputeZoom();
  if (percent != oldPercent || mode != oldMode) ApplyZoom(doc, percent);
}

void TDocForm::ZoomStep(int32_t x, int32_t y, bool enlarge, uint8_t keyState) {
  if (!IsReady()) return;
  if (x == kCentre) {
    x = PageArea.left + PageArea.Width() / 2;
    y = PageArea.top + PageArea.Height() / 2;
  }
  TZoomStepParam param;
  param.Enlarge = enlarge ? 1 : 0;
  param.X = x - PageArea.left;
  param.Y = y - PageArea.top;
  const plat::Point at = ClientToDoc({x, y});
  param.PageX = at.x;
  param.PageY = at.y;
  const std::vector<plat::Rect>& rects = doc_->Layout.Arrangement.PageRects;
  for (int32_t i = 0; i < doc_->PageCount() && i < static_cast<int32_t>(rects.size()); ++i) {
    const plat::Rect& r = rects[static_cast<size_t>(i)];
    if (!r.Contains(at)) continue;
    param.Page = i;
    param.PageX = at.x - r.left;
    param.PageY = at.y - r.top;
    break;
  }
  param.Step = (keyState & plat::ssCtrl) != 0 ? 10 : (keyState & plat::ssShift) != 0 ? 100 : 25;
  TDocWindowServices& services = DocWindowServices();
  services.ExecuteCommandWithParam(kZoomStepCommand, {}, &param, sizeof param);
  services.PlayEventSound(enlarge ? kSoundMagnifyEnlarge : kSoundMagnifyShrink);
}

}  // namespace qv
