#include "foundation/ui/std_dlg_form.h"

#include <algorithm>

#include "foundation/ui/application.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/interface_scale.h"

namespace qv {

namespace {

std::u16string CaptionOf(uint8_t kind) {
  switch (kind) {
    case dbOK: return InterfaceText(MsgDlgButtonCaptions[mbOK]);
    case dbCancel: return InterfaceText(MsgDlgButtonCaptions[mbCancel]);
    default: return u"Apply";
  }
}

}  // namespace

// ---- TDlgButton ----

int32_t TDlgButton::ResultOf(uint8_t kind) { return kind == dbCancel ? plat::mrCancel : plat::mrOk; }

TDlgButton::TDlgButton(TDlgButtons& row, uint8_t kind) : Kind(kind) {
  SetCaption(CaptionOf(kind));
  SetDefault(kind == dbOK);
  SetCancel(kind == dbCancel);
  SetTabStop(true);
  // The row sets the form's result before the dialog's handler, so the handler can take it back.
  SetModalResult(plat::mrNone);
  OnClick = [&row](plat::Control& c) { row.ButtonClick(static_cast<TDlgButton&>(c)); };
}

// ---- TDlgButtons ----

TDlgButtons::TDlgButtons(TFormEx& owner) : owner_(owner) { owner_.buttonRows_.push_back(this); }

TDlgButtons::~TDlgButtons() {
  auto& rows = owner_.buttonRows_;
  rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
}

void TDlgButtons::ScaleAndRebuild() {
  ButtonWidth = ScaleUI(ButtonWidth);
  ButtonHeight = ScaleUI(ButtonHeight);
  RightMargin = ScaleUI(RightMargin);
  BottomMargin = ScaleUI(BottomMargin);
  ButtonGap = ScaleUI(ButtonGap);
  Rebuild();
}

void TDlgButtons::Rebuild() {
  ButtonByKind.fill(nullptr);
  owned_.clear();
  plat::Rect client = owner_.ClientRect();
  const int32_t n = int32_t(ButtonIndexes.size());
  for (int32_t i = 0; i < n; ++i) {
    int32_t kind = ButtonIndexes[size_t(i)] - '0';
    if (kind < 0 || kind > 2 || ButtonByKind[size_t(kind)]) continue;
    auto button = std::make_unique<TDlgButton>(*this, uint8_t(kind));
    int32_t left = client.Width() - (n - i) * ButtonWidth - (n - i - 1) * ButtonGap - RightMargin;
    int32_t top = client.Height() - BottomMargin - ButtonHeight;
    button->SetBounds(left, top, ButtonWidth, ButtonHeight);
    button->SetParent(&owner_);
    ButtonByKind[size_t(kind)] = button.get();
    owned_.push_back(std::move(button));
  }
}

void TDlgButtons::ButtonClick(TDlgButton& sender) {
  LastPressed = sender.Kind;
  owner_.SetModalResult(TDlgButton::ResultOf(sender.Kind));
  if (OnClick) OnClick(sender, sender.Kind);
  // Only a Cancel that let the form close answers the close query that follows; one the
  // dialog refused leaves the next Esc or close box to run the handling again.
  cancelHandled_ = sender.Kind == dbCancel && owner_.ModalResult() == plat::mrCancel;
}

bool TDlgButtons::TakeCancelHandled() {
  bool handled = cancelHandled_;
  cancelHandled_ = false;
  return handled;
}

// ---- TStdDlgForm ----

TStdDlgForm::TStdDlgForm(plat::Form* owner) : TFormEx(owner) {
  SetBorderStyle(plat::BorderStyle::Dialog);
  dlgButtons_ = std::make_unique<TDlgButtons>(*this);
  dlgButtons_->OnClick = [this](plat::Control& sender, uint8_t kind) { DlgButtonClick(sender, kind); };
  dlgButtons_->ScaleAndRebuild();
}

TStdDlgForm::~TStdDlgForm() { dlgButtons_.reset(); }

void TStdDlgForm::DlgButtonClick(plat::Control& sender, uint8_t) {
  if (!dynamic_cast<TDlgButton*>(&sender)) SetModalResult(plat::mrOk);
}

}  // namespace qv
