// Painting of the document window. The window keeps its picture of the view (the page area as
// last painted, at the scroll position, size, zoom and view mode it was painted for): a paint
// message paints the whole view into it and copies it to the window, except after a repaint of
// ranges, which paints only the lines of those ranges into the picture and copies only the
// bands that changed. The feedback marks (the drop caret, the middle button's origin) are drawn
// over a copy, so that the picture stays the view itself.
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "layout/paint/view_painter.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/region.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr plat::Color kPaneColour = 0x00F0F0F0;
constexpr plat::Color kOriginMarkColour = 0x00404040;

}  // namespace

void TDocForm::Paint(plat::PaintContext& pc) { PaintWindow(pc); }

bool TDocForm::PictureIsCurrent() const {
  const plat::Rect client = ClientRect();
  return picture_.Valid && doc_ != nullptr && picture_.Scroll == doc_->View.ScrollPos &&
         picture_.Area == PageArea && picture_.Zoom == doc_->ZoomPercent &&
         picture_.ViewMode == doc_->ViewMode && buffer_.Width() == client.Width() &&
         buffer_.Height() == client.Height();
}

void TDocForm::RememberPicture() {
  picture_.Valid = true;
  picture_.Scroll = doc_->View.ScrollPos;
  picture_.Area = PageArea;
  picture_.Zoom = doc_->ZoomPercent;
  picture_.ViewMode = doc_->ViewMode;
}

bool TDocForm::OnlyBandsToCopy(const plat::PaintContext& pc) const {
  if (pendingBands_.empty() || !PictureIsCurrent()) return false;
  plat::Region rest = pc.region.IsEmpty() ? plat::Region(pc.rcPaint) : pc.region;
  rest.Subtract(plat::Region::FromRects(pendingBands_));
  return rest.IsEmpty();
}

void TDocForm::PaintWindow(plat::PaintContext& pc) {
  if (!IsReady() || pc.canvas == nullptr) return;
  const plat::Rect client = ClientRect();
  const bool bandsOnly = OnlyBandsToCopy(pc);
  pendingBands_.clear();
  // The corner between the two scroll bars, and whatever the page area leaves of the pane.
  if (!bandsOnly) pc.canvas->FillRect(client, kPaneColour);
  if (PageArea.IsEmpty()) return;
  if (!bandsOnly) {
    if (buffer_.Width() != client.Width() || buffer_.Height() != client.Height())
      buffer_ = plat::Bitmap(client.Width(), client.Height());
    PaintDocumentView(*doc_, buffer_, PageArea);
    RememberPicture();
  }
  if (!HasFlag(dfDropCaretShown) && !OriginMarkShown) {
    pc.canvas->DrawBitmap(0, 0, buffer_);
    return;
  }
  plat::Bitmap marked = buffer_;
  if (HasFlag(dfDropCaretShown)) InvertCaretOn(*doc_, *this, marked);
  if (OriginMarkShown) {
    // The middle button's origin: a ring with a dot, centred on the point.
    plat::Canvas c(marked);
    const plat::Rect ring{OriginMarkPos.x - 12, OriginMarkPos.y - 12, OriginMarkPos.x + 13,
                          OriginMarkPos.y + 13};
    c.FrameRect(ring, kOriginMarkColour);
    c.FillRect(plat::Rect{OriginMarkPos.x - 1, OriginMarkPos.y - 1, OriginMarkPos.x + 2,
                          OriginMarkPos.y + 2}, kOriginMarkColour);
    c.Flush();
  }
  pc.canvas->DrawBitmap(0, 0, marked);
}

void TDocForm::RedrawView() {
  if (Handle() == 0) return;
  picture_.Valid = false;
  pendingBands_.clear();
  plat::InvalidateRect(Handle(), &PageArea, false);
  plat::UpdateWindow(Handle());
}

void TDocForm::RedrawRanges(const TCompoundFragment* fragment) {
  if (Handle() == 0) return;
  // The edit's own update repaints its ranges while the edit call is still running (only a
  // whole redraw waits for it to end); a repaint inside another repaint paints the view whole.
  if (fragment == nullptr || IsFragmentEmpty(fragment) || !IsReady() || !PictureIsCurrent() ||
      IsViewPainting()) {
    RedrawView();
    return;
  }
  const TViewRepaint repaint = RepaintDocumentView(*doc_, buffer_, PageArea, fragment);
  if (!repaint.Partial) {
    // The painter painted the whole view (Spotlight greys all of it).
    RememberPicture();
    pendingBands_.push_back(PageArea);
    plat::InvalidateRect(Handle(), &PageArea, false);
  } else {
    for (const plat::Rect& band : repaint.Changed) {
      pendingBands_.push_back(band);
      plat::InvalidateRect(Handle(), &band, false);
    }
  }
  plat::UpdateWindow(Handle());
}

void TDocForm::RepaintRect(const plat::Rect& client) {
  if (Handle() == 0) return;
  plat::Rect r = client;
  if (ClipToPageArea(r)) plat::InvalidateRect(Handle(), &r, false);
}

}  // namespace qv
