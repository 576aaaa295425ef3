#pragma once
// The two password dialogs of encrypted documents ("Specify Password"): one asks for a new
// password twice when a document is saved encrypted, the other for the password of a document
// being opened. Both keep what they remember (the suggested and the remembered opening password)
// enciphered, and feed the encryption manager's entropy pool with mouse moves and the timing of
// keystrokes.
#include <cstdint>
#include <string>

#include "foundation/ui/std_dlg_form.h"
#include "platform/controls/check_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/label.h"

namespace qv {

class TEncPswdForSavingForm : public TStdDlgForm {
 public:
  TEncPswdForSavingForm();
  void DlgButtonClick(plat::Control& sender, uint8_t kind) override;

  plat::Edit* PasswordEdt = nullptr;
  plat::Edit* RetypePasswordEdt = nullptr;
  plat::CheckBox* MemChkBx = nullptr;

  std::string Password() const;
  void MemChkBxClick();

 private:
  plat::Label& AddText(const std::string& text, int32_t top, int32_t height, bool bold);
  uint64_t lastKey_ = 0;
};

class TEncPswdForOpeningForm : public TStdDlgForm {
 public:
  TEncPswdForOpeningForm();
  void DlgButtonClick(plat::Control& sender, uint8_t kind) override;

  plat::Edit* PasswordEdt = nullptr;
  plat::CheckBox* MemChkBx = nullptr;

  std::string Password() const;
  void MemChkBxClick();

 private:
  uint64_t lastKey_ = 0;
};

// Run the dialogs modally: true and the password on OK.
bool AskPasswordForSaving(std::string& password);
bool AskPasswordForOpening(std::string& password);

}  // namespace qv
