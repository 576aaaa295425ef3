#include "docwindow/doc_window_registration.h"

#include <algorithm>
#include <memory>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/view_flags.h"
#include "editing/edit_layout_hooks.h"
#include "layout/box.h"
#include "layout/paint/box_geometry.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// The caret after an edit: laid out, measured, shown and brought into view (mode 3 after a
// typed character, so that typing keeps some room to the side).
void FollowCaret(TDoc& doc, int32_t mode) {
  TDocForm* form = FormOf(doc);
  if (form == nullptr || doc.ParCount() == 0) return;
  TDocPosition caret = doc.Caret;
  EnsureLaidOut(doc, caret, false);
  doc.Caret.Line = caret.Line;
  doc.Caret.Page = caret.Page;
  if (mode == 0 && doc.IsDocFlagSet(vfHorizontalMove)) mode = 3;
  const bool focused = form->Handle() != 0 && plat::GetFocus() == form->Handle();
  if (focused) {
    form->HideCaret();
    plat::DestroyCaret();
  }
  UpdateCaretMetrics(doc);
  if (focused) CreateSystemCaret(doc);
  CalcCaretPoint(doc);
  ScrollCaretIntoView(doc, mode);
  if (focused) {
    PlaceSystemCaret(doc);
    form->UpdateCaretPending();
  }
}

// The system caret after the edit's repaint: made again for the caret's new size and placed
// where the caret now is (it shows at the next idle pass).
void RefreshSystemCaret(TDoc& doc) {
  TDocForm* form = FormOf(doc);
  if (form == nullptr || form->Handle() == 0 || plat::GetFocus() != form->Handle()) return;
  form->HideCaret();
  plat::DestroyCaret();
  CreateSystemCaret(doc);
  PlaceSystemCaret(doc);
  form->UpdateCaretPending();
}

class TDocWindowLayoutHooks : public TPaginatingLayoutHooks {
 public:
  // One paragraph re-broken in place repaints only its lines; anything else the whole view.
  void Repaint(TDoc& doc, const TDocRange* range) override {
    TDocForm* form = FormOf(doc);
    if (form == nullptr) {
      TPaginatingLayoutHooks::Repaint(doc, range);
      return;
    }
    if (range == nullptr || SamePlace(range->Start, range->End)) {
      form->RedrawView();
    } else {
      TFragmentRef fragment = AcquireFragment();
      *fragment->GetRange(0) = *range;
      form->RedrawRanges(fragment.get());
    }
    RefreshSystemCaret(doc);
  }
  // The caret is hidden while the edit's update runs; it is made again after the repaint.
  void HideSystemCaret(TDoc& doc) override {
    TDocForm* form = FormOf(doc);
    if (form != nullptr && form->Handle() != 0 && plat::GetFocus() == form->Handle()) form->HideCaret();
  }
  void RestartSpellcheck(TDoc& doc) override {
    if (FormOf(doc) != nullptr) DocWindowServices().RestartSpellcheck(doc);
  }
  // Undoing or redoing a large operation shows its progress in the main window's status bar.
  void StartProgress(TDoc& doc, const std::string& text, int32_t range) override {
    if (FormOf(doc) == nullptr) {
      TPaginatingLayoutHooks::StartProgress(doc, text, range);
      return;
    }
    DocWindowServices().BeginProgress(text, range);
  }
  void StepProgress(TDoc& doc, int32_t position) override {
    if (FormOf(doc) != nullptr) DocWindowServices().SetProgressPosition(position);
  }
  void EndProgress(TDoc& doc) override {
    if (FormOf(doc) != nullptr) DocWindowServices().EndProgress();
  }
  void ScrollCaretIntoView(TDoc& doc, int32_t mode) override {
    if (FormOf(doc) == nullptr) {
      TPaginatingLayoutHooks::ScrollCaretIntoView(doc, mode);
      return;
    }
    FollowCaret(doc, mode);
  }
  void ScrollToTarget(TDoc& doc, const TDocPosition& anchor, int32_t x, int32_t y) override {
    if (FormOf(doc) == nullptr || anchor.Par < 0 || anchor.Par >= doc.ParCount()) {
      TPaginatingLayoutHooks::ScrollToTarget(doc, anchor, x, y);
      return;
    }
    TDocPosition at = anchor;
    EnsureLaidOut(doc, at, false);
    const TPar& par = *doc.Par(at.Par);
    if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return;
    const TLine& line = *par.Lines[static_cast<size_t>(std::clamp(at.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
    if (line.Box == nullptr) return;
    const plat::Point origin = BoxToViewPoint(*line.Box, {doc.TwipsToPixelsX(x), doc.TwipsToPixelsY(line.Top + y)});
    doc.ScrollTo(CalcScrollToRect(doc, plat::Rect{origin.x, origin.y, origin.x + 1, origin.y + 1}, 0, false));
  }
};

class TDocWindowSelectionServices : public TSelectionServices {
 public:
  void PaginateAll(TDoc& doc) override { doc.PaginateAll(); }
  void EnsureParLaidOut(TDoc& doc, int32_t par) override { doc.EnsureParagraphLaidOut(par); }
  void Repaint(TDoc& doc, const TCompoundFragment* fragment) override {
    if (TDocForm* form = FormOf(doc)) form->RedrawRanges(fragment);
  }
  void Redraw(TDoc& doc) override {
    if (TDocForm* form = FormOf(doc)) form->RedrawView();
  }
  bool IsRangeVisible(TDoc& doc, const TDocRange& range) override {
    return FormOf(doc) == nullptr || qv::IsRangeVisible(doc, range);
  }
  void ScheduleRedraw(TDoc& doc, int32_t delay) override { qv::ScheduleRedraw(doc, delay); }
  void SetCaret(TDoc& doc, int32_t par, int32_t offset, int32_t flags, int32_t lineHint) override {
    if (FormOf(doc) == nullptr) {
      TSelectionServices::SetCaret(doc, par, offset, flags, lineHint);
      return;
    }
    qv::SetCaret(doc, par, offset, static_cast<uint8_t>(flags), lineHint);
  }
  void EnsureLaidOut(TDoc& doc, TDocPosition& position, int32_t flags) override {
    qv::EnsureLaidOut(doc, position, flags != 0);
  }
  void UpdateCaretMetrics(TDoc& doc) override {
    if (FormOf(doc) != nullptr) qv::UpdateCaretMetrics(doc);
  }
  void CalcCaretPoint(TDoc& doc) override {
    if (FormOf(doc) != nullptr) qv::CalcCaretPoint(doc);
  }
  plat::Rect GetCaretRect(TDoc& doc) override { return qv::GetCaretRect(doc); }
  void ScrollCaretIntoView(TDoc& doc, int32_t mode) override {
    if (FormOf(doc) != nullptr) qv::ScrollCaretIntoView(doc, mode);
  }
  plat::Point CalcScrollToRect(TDoc& doc, const plat::Rect& rect, int32_t mode) override {
    if (FormOf(doc) == nullptr) return TSelectionServices::CalcScrollToRect(doc, rect, mode);
    return qv::CalcScrollToRect(doc, rect, mode, false);
  }
  void ScrollTo(TDoc& doc, plat::Point origin) override { doc.ScrollTo(origin); }
  plat::Rect ViewRect(TDoc& doc) override {
    const TDocForm* form = FormOf(doc);
    if (form == nullptr) return {};
    const plat::Point s = doc.View.ScrollPos;
    return {s.x, s.y, s.x + form->PageArea.Width(), s.y + form->PageArea.Height()};
  }
  void RequestInterfaceUpdate() override { DocWindowServices().RequestInterfaceUpdate(); }
  void HideTypingPopups() override { DocWindowServices().HideTypingPopups(); }
  int32_t PointerMode() override { return DocWindowServices().MouseMode(); }
};

}  // namespace

std::unique_ptr<TSelectionServices> MakeDocWindowSelectionServices() {
  return std::make_unique<TDocWindowSelectionServices>();
}

std::unique_ptr<TEditLayoutHooks> MakeDocWindowLayoutHooks() {
  return std::make_unique<TDocWindowLayoutHooks>();
}

void RegisterDocumentWindowServices() {
  RegisterSelectionServices(MakeDocWindowSelectionServices());
  RegisterEditLayoutHooks(MakeDocWindowLayoutHooks());
}

void UnregisterDocumentWindowServices() {
  RegisterEditLayoutHooks(nullptr);
  RegisterSelectionServices(nullptr);
}

}  // namespace qv
