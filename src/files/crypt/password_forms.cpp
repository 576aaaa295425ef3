#include "files/crypt/password_forms.h"

#include <chrono>

#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "foundation/ui/interface_scale.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/system/utf_codec.h"

namespace qv {

namespace {

constexpr const char* kCaption = "Specify Password";
constexpr const char* kRamNote =
    "For maximum security, this password will be encrypted and stored in RAM for the current "
    "Quorvane working session only. No password will ever be saved to your hard disk.";
constexpr int32_t kWidth = 400;

uint64_t NowMs() {
  using namespace std::chrono;
  return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint8_t& ReuseOption() { return GetOptions().LoadSave.ReuseEncPass; }

void MakeBold(plat::Control& control) {
  plat::LogFont lf = control.GetFont().Log();
  lf.Weight = 700;
  control.SetFont(plat::Font(lf));
}

// The timing of keystrokes and mouse positions go to the entropy pool.
void FeedEntropy(plat::Form& form, plat::Edit& edit, uint64_t& lastKey) {
  lastKey = NowMs();
  edit.OnKeyPress = [&lastKey](plat::Control&, char16_t&) {
    const uint64_t now = NowMs();
    GetEncryptionManager().AddEntropy(uint8_t(now - lastKey));
    lastKey = now;
  };
  form.OnMouseMove = [](plat::Control&, plat::ShiftState, plat::Point p) {
    GetEncryptionManager().AddEntropy(uint8_t(p.x + p.y));
  };
}

plat::Edit& AddPasswordEdit(plat::Form& form, int32_t top) {
  plat::Edit& edit = form.Add<plat::Edit>();
  edit.SetPasswordChar(u'*');
  edit.SetMaxLength(kMaxPasswordLength);
  edit.SetBounds(ScaleUI(160), top, ScaleUI(kWidth - 175), ScaleUI(21));
  edit.SetTabStop(true);
  return edit;
}

plat::Label& AddLabel(plat::Form& form, const std::string& text, int32_t left, int32_t top,
                      int32_t width, int32_t height, bool bold) {
  plat::Label& label = form.Add<plat::Label>();
  label.SetAutoSize(false);
  label.SetWordWrap(true);
  label.SetBounds(left, top, width, height);
  label.SetCaption(InterfaceText(text));
  if (bold) MakeBold(label);
  return label;
}

void SetCancelCaption(TStdDlgForm& form, const char* caption) {
  if (TDlgButton* cancel = form.DlgButtons().ButtonByKind[dbCancel])
    cancel->SetCaption(InterfaceText(caption));
}

bool CancelIsClose(TStdDlgForm& form) {
  TDlgButton* cancel = form.DlgButtons().ButtonByKind[dbCancel];
  return cancel && cancel->Caption() == u"Close";
}

}  // namespace

// ---- Saving ----

TEncPswdForSavingForm::TEncPswdForSavingForm() {
  SetCaption(InterfaceText(kCaption));
  SetBorderStyle(plat::BorderStyle::Dialog);
  const int32_t m = ScaleUI(10), w = ScaleUI(kWidth - 20);
  AddLabel(*this,
           "Please specify the password you would like to use to open this document in future "
           "(Quorvane passwords are case sensitive).",
           m, m, w, ScaleUI(32), false);
  AddLabel(*this, "&Enter password:", m, ScaleUI(50), ScaleUI(140), ScaleUI(18), false);
  PasswordEdt = &AddPasswordEdit(*this, ScaleUI(48));
  AddLabel(*this, "&Re-enter password:", m, ScaleUI(78), ScaleUI(140), ScaleUI(18), false);
  RetypePasswordEdt = &AddPasswordEdit(*this, ScaleUI(76));
  MemChkBx = &Add<plat::CheckBox>();
  MemChkBx->SetCaption(
      InterfaceText("&Suggest this password when creating other encrypted documents."));
  MemChkBx->SetBounds(m, ScaleUI(106), w, ScaleUI(20));
  MakeBold(*MemChkBx);
  AddLabel(*this, kRamNote, m, ScaleUI(132), w, ScaleUI(46), false);
  AddLabel(*this,
           "Attention! Quorvane uses a very strong type of encryption which cannot be cracked. "
           "Safeguard your password very carefully. If you lose a document password, you will "
           "not be able to open that document and access the information inside. Please be "
           "cautious!",
           m, ScaleUI(182), w, ScaleUI(62), true);
  SetClientSize(ScaleUI(kWidth), ScaleUI(290));
  DlgButtons().Loaded();
  MemChkBx->SetChecked(ReuseOption() & kSuggestPasswordBit);
  if (MemChkBx->Checked() && !SuggestedSavingPassword().empty()) {
    const std::u16string suggested = InterfaceText(
        GetEncryptionManager().DecryptString(SuggestedSavingPassword()));
    PasswordEdt->SetText(suggested);
    RetypePasswordEdt->SetText(suggested);
  }
  MemChkBx->OnClick = [this](plat::Control&) { MemChkBxClick(); };
  FeedEntropy(*this, *PasswordEdt, lastKey_);
  RetypePasswordEdt->OnKeyPress = PasswordEdt->OnKeyPress;
}

std::string TEncPswdForSavingForm::Password() const {
  return plat::Utf16ToUtf8(PasswordEdt->Text());
}

void TEncPswdForSavingForm::MemChkBxClick() {
  if (MemChkBx->Checked()) {
    ReuseOption() |= kSuggestPasswordBit;
    SuggestedSavingPassword() = GetEncryptionManager().EncryptString(Password());
  } else {
    ReuseOption() &= uint8_t(~kSuggestPasswordBit);
  }
  SetCancelCaption(*this, "Close");
}

void TEncPswdForSavingForm::DlgButtonClick(plat::Control& sender, uint8_t kind) {
  TStdDlgForm::DlgButtonClick(sender, kind);
  if (kind == dbCancel) {
    if (CancelIsClose(*this))
      SuggestedSavingPassword() = GetEncryptionManager().EncryptString(Password());
    return;
  }
  if (kind != dbOK) return;
  const std::string retyped = plat::Utf16ToUtf8(RetypePasswordEdt->Text());
  const std::string problem = SavingPasswordProblem(Password(), retyped);
  if (problem.empty()) {
    SuggestedSavingPassword() = GetEncryptionManager().EncryptString(Password());
    return;
  }
  SetModalResult(plat::mrNone);
  const bool blank = Password().empty();
  const bool mismatch = !retyped.empty() && !blank &&
                        int32_t(Password().size()) >= kMinPasswordLength;
  ShowMessageDlg(problem, mismatch ? mkWarning : mkInformation, ButtonBit(mbOK));
  if (blank) {
    RetypePasswordEdt->SetText(u"");
    PasswordEdt->SetFocus();
  } else if (int32_t(Password().size()) < kMinPasswordLength || mismatch) {
    PasswordEdt->SetText(u"");
    RetypePasswordEdt->SetText(u"");
    PasswordEdt->SetFocus();
  } else {
    RetypePasswordEdt->SetFocus();
  }
}

// ---- Opening ----

TEncPswdForOpeningForm::TEncPswdForOpeningForm() {
  SetCaption(InterfaceText(kCaption));
  SetBorderStyle(plat::BorderStyle::Dialog);
  const int32_t m = ScaleUI(10), w = ScaleUI(kWidth - 20);
  AddLabel(*this, "This document is password-protected. Specify &password:", m, m, w,
           ScaleUI(18), false);
  PasswordEdt = &Add<plat::Edit>();
  PasswordEdt->SetPasswordChar(u'*');
  PasswordEdt->SetMaxLength(kMaxPasswordLength);
  PasswordEdt->SetBounds(m, ScaleUI(32), w, ScaleUI(21));
  PasswordEdt->SetTabStop(true);
  MemChkBx = &Add<plat::CheckBox>();
  MemChkBx->SetCaption(InterfaceText("Try opening &all encrypted documents with this password."));
  MemChkBx->SetBounds(m, ScaleUI(60), w, ScaleUI(20));
  MakeBold(*MemChkBx);
  AddLabel(*this, kRamNote, m, ScaleUI(86), w, ScaleUI(46), false);
  SetClientSize(ScaleUI(kWidth), ScaleUI(175));
  DlgButtons().Loaded();
  MemChkBx->SetChecked(ReuseOption() & kTryAllPasswordsBit);
  MemChkBx->OnClick = [this](plat::Control&) { MemChkBxClick(); };
  FeedEntropy(*this, *PasswordEdt, lastKey_);
}

std::string TEncPswdForOpeningForm::Password() const {
  return plat::Utf16ToUtf8(PasswordEdt->Text());
}

void TEncPswdForOpeningForm::MemChkBxClick() {
  if (MemChkBx->Checked()) {
    ReuseOption() |= kTryAllPasswordsBit;
    RememberedOpeningPassword() = GetEncryptionManager().EncryptString(Password());
  } else {
    ReuseOption() &= uint8_t(~kTryAllPasswordsBit);
  }
  SetCancelCaption(*this, "Close");
}

void TEncPswdForOpeningForm::DlgButtonClick(plat::Control& sender, uint8_t kind) {
  TStdDlgForm::DlgButtonClick(sender, kind);
  if (kind == dbCancel) {
    if (CancelIsClose(*this))
      RememberedOpeningPassword() = GetEncryptionManager().EncryptString(Password());
    return;
  }
  if (kind != dbOK) return;
  if (Password().empty()) {
    SetModalResult(plat::mrNone);
    ShowMessageDlg("Please specify a non-blank password.", mkInformation, ButtonBit(mbOK));
    PasswordEdt->SetFocus();
    return;
  }
  RememberedOpeningPassword() = GetEncryptionManager().EncryptString(Password());
}

bool AskPasswordForSaving(std::string& password) {
  TEncPswdForSavingForm form;
  if (form.ShowModal() != plat::mrOk) return false;
  password = form.Password();
  return true;
}

bool AskPasswordForOpening(std::string& password) {
  TEncPswdForOpeningForm form;
  if (form.ShowModal() != plat::mrOk) return false;
  password = form.Password();
  return true;
}

}  // namespace qv
