#include "foundation/ui/form_ex.h"

#include <algorithm>

#include "foundation/ui/command_services.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/std_dlg_form.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/controls/page_control.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr uintptr_t UIS_INITIALIZE = 3, UISF_HIDEFOCUS = 1, UISF_HIDEACCEL = 2;

template <class T, class F>
bool WalkControls(const plat::Control& parent, F visit) {
  for (plat::Control* c : parent.Controls()) {
    if (auto* t = dynamic_cast<T*>(c); t && visit(*t)) return true;
    if (WalkControls<T>(*c, visit)) return true;
  }
  return false;
}

}  // namespace

// ---- TFormEx ----

TFormEx::TFormEx(plat::Form* owner) : plat::Form(owner) {
  OnCloseQuery = [this](plat::Form&, bool& canClose) { CloseQueryHook(canClose); };
  if (plat::IsWindowSystemStarted()) ToolkitServices().AddEntropy(HandleNeeded() & 0xFF);
}

TFormEx::~TFormEx() = default;

bool TFormEx::ValidateFields() {
  TValidatedField* bad = nullptr;
  WalkControls<TValidatedField>(*this, [&](TValidatedField& f) {
    if (f.IsBlank() || f.IsValid()) return false;
    bad = &f;
    return true;
  });
  if (!bad) return true;
  bad->Validate();
  return false;
}

void TFormEx::CloseQueryHook(bool& canClose) {
  if (ModalResult() != plat::mrCancel) return;
  for (auto it = buttonRows_.rbegin(); it != buttonRows_.rend(); ++it) {
    TDlgButtons& row = **it;
    TDlgButton* cancel = row.ButtonByKind[dbCancel];
    if (!cancel) continue;
    // The Cancel button itself closed the form: its handling ran already.
    if (row.TakeCancelHandled()) return;
    cancel->Click();
    if (ModalResult() == plat::mrNone) canClose = false;
    return;
  }
}

void TFormEx::WMHelp() {
  if (HelpId == 0) return;
  int32_t page = 0;
  for (plat::Control* c : Controls())
    if (auto* pc = dynamic_cast<plat::PageControl*>(c)) {
      page = std::max(0, pc->ActivePageIndex());
      break;
    }
  ToolkitServices().ShowHelp(HelpId + page);
}

void TFormEx::DoShow() {
  plat::Form::DoShow();
  // Focus rectangles and accelerator underlines start hidden until the keyboard is used.
  Perform(plat::WM_CHANGEUISTATE, plat::MakeWParam(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL));
}

intptr_t TFormEx::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case plat::WM_HELP:
      WMHelp();
      return 1;
    case plat::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CONTEXTHELP) {
        Perform(plat::WM_HELP);
        return 0;
      }
      return plat::Form::WndProc(msg, wParam, lParam);
    default:
      return plat::Form::WndProc(msg, wParam, lParam);
  }
}

// ---- TShadowedForm, TPopupStayOnTopForm, TCommandForm ----

void TShadowedForm::FillCreateParams(plat::CreateParams& p) {
  plat::Form::FillCreateParams(p);
  p.classStyle |= kShadowClassStyle;
}

intptr_t TPopupStayOnTopForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == plat::WM_CANCELMODE) {
    intptr_t r = TShadowedForm::WndProc(msg, wParam, lParam);
    Close();
    return r;
  }
  if (msg == plat::WM_ACTIVATE && plat::LoWord(wParam) == plat::WA_INACTIVE) Close();
  return TShadowedForm::WndProc(msg, wParam, lParam);
}

intptr_t TCommandForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  intptr_t result = 0;
  bool command = CommandService().HandleClipboardMessage(msg, result);
  intptr_t inherited = plat::Form::WndProc(msg, wParam, lParam);
  return command ? result : inherited;
}

// ---- TFloatingNonModalForm ----

void TFloatingNonModalForm::ShowFloating(bool show) {
  if (Visible()) return;
  if (ShowCount == 0) {
    plat::Rect b = BoundsRect();
    if (SavedLeft == kNoSavedPosition) {
      ToolkitServices().PlaceFormAtBottom(b, BottomOffset);
      SetBounds(b);
    } else {
      plat::Rect m = ToolkitServices().MainMonitorRect();
      int32_t left = std::min(std::max(SavedLeft, m.left), m.Width() - b.Width());
      int32_t top = std::min(std::max(SavedTop, m.top), m.Height() - b.Height());
      SetBounds(left, top, b.Width(), b.Height());
    }
  }
  if (show) Show();
  ++ShowCount;
}

}  // namespace qv
