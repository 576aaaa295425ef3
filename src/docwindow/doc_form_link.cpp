#include "docwindow/doc_form_link.h"

#include <utility>

#include "document/doc.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/view_geometry.h"
#include "foundation/ui/interface_scale.h"
#include "platform/win/window_system.h"

namespace qv {

TDocFormLink::TDocFormLink(std::unique_ptr<TDocForm> form)
    : form_(form.get()), owned_(std::move(form)) {}

TDocFormLink::TDocFormLink(TDocForm* form) : form_(form) {}

TDocFormLink::~TDocFormLink() {
  // The document is going: its window must not reach it while it is destroyed.
  if (form_ != nullptr) {
    form_->doc_ = nullptr;
    form_->link_ = nullptr;
  }
  form_ = nullptr;
  owned_.reset();
}

void TDocFormLink::Unlink() {
  if (form_ != nullptr) {
    form_->link_ = nullptr;
    if (!owned_) form_->doc_ = form_->ownedDoc_ ? form_->doc_ : nullptr;
  }
  form_ = nullptr;
}

void TDocFormLink::DetachDocument() {
  if (form_ != nullptr) {
    form_->doc_ = nullptr;
    form_->link_ = nullptr;
  }
}

plat::Size TDocFormLink::PageArea(bool measureAgain) {
  if (form_ == nullptr) return {};
  if (measureAgain && form_->Handle() != 0) form_->ArrangeControls(form_->ClientRect());
  return {form_->PageArea.Width(), form_->PageArea.Height()};
}

int32_t TDocFormLink::DraftLeftAreaWidth() { return 9 + ScaleUI(48); }

void TDocFormLink::ViewModeChanged() {
  if (form_ == nullptr || form_->DocPtr() == nullptr) return;
  form_->DocPtr()->View.ExtentValid = false;
  if (form_->Handle() != 0) form_->ArrangeControls(form_->ClientRect());
}

void TDocFormLink::ZoomChanged() {
  if (form_ == nullptr || form_->DocPtr() == nullptr) return;
  form_->DocPtr()->View.ExtentValid = false;
  form_->UpdateRulers();
}

void TDocFormLink::ScrollImage(int32_t dx, int32_t dy) {
  if (form_ != nullptr) form_->ScrollViewImage(dx, dy);
}

void TDocFormLink::ScrollPositionChanged() {
  if (form_ == nullptr) return;
  form_->UpdateScrollBars();
  // The caret stays on its character: its place in the window moved with the view.
  if (form_->DocPtr() != nullptr && form_->Handle() != 0 && plat::GetFocus() == form_->Handle())
    PlaceSystemCaret(*form_->DocPtr());
}

void TDocFormLink::Repaint() {
  if (form_ != nullptr) form_->RedrawView();
}

bool TDocFormLink::ArrangePages() {
  if (form_ == nullptr || form_->DocPtr() == nullptr) return false;
  ArrangeDocPages(*form_->DocPtr(), *form_);
  return true;
}

}  // namespace qv
