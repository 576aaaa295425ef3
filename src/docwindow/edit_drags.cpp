#include "docwindow/edit_drags.h"

#include "docwindow/doc_form.h"
#include "docwindow/hit_test.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

void Start(TDocForm& form, uint32_t flag) {
  form.Flags |= flag;
  if (form.Handle() != 0) plat::SetCapture(form.Handle());
}

void RememberPress(TDocForm& form, int32_t x, int32_t y) {
  if (form.Handle() != 0) form.Mouse.PressPoint = plat::ClientToScreen(form.Handle(), {x, y});
}

}  // namespace

void BeginWrapPointDrag(TDocForm& form, const THitTestInfo& /*hit*/, uint32_t /*keys*/) {
  Start(form, TDocForm::dfDraggingWrapPoint);
}

void BeginAnchorMove(TDocForm& form, int32_t x, int32_t y) {
  RememberPress(form, x, y);
  Start(form, TDocForm::dfMovingAnchor);
}

void BeginShapeResize(TDocForm& form, const THitTestInfo& /*hit*/) { Start(form, TDocForm::dfResizingShape); }

void BeginShapeMove(TDocForm& form, int32_t x, int32_t y) {
  RememberPress(form, x, y);
  Start(form, TDocForm::dfMovingShapes);
}

void BeginTableEdgeDrag(TDocForm& form, const THitTestInfo& /*hit*/) {
  Start(form, TDocForm::dfDraggingTableEdge);
}

void BeginInlinePictureResize(TDocForm& form, const THitTestInfo& /*hit*/) {
  Start(form, TDocForm::dfResizingInlinePicture);
}

void InsertAtTableMarker(TDocForm& /*form*/, const THitTestInfo& /*hit*/) {}

void EditDragMove(TDocForm& form, int32_t x, int32_t y, uint32_t keys) {
  form.CheckAutoScroll(x, y, (keys & TDocForm::kMkControl) != 0);
}

void EditDragRelease(TDocForm& /*form*/, int32_t /*x*/, int32_t /*y*/, uint32_t /*keys*/) {}

}  // namespace qv
