#pragma once
// The form bases every window and dialog of the program derives from:
// - TFormEx: help topics (F1 and the title-bar help button open HelpId, plus the active page of
//   a tabbed dialog), number-field validation, and the close hook that lets Esc and the close
//   box run the standard Cancel button's handling (std_dlg_form.h);
// - TShadowedForm: a drop shadow; TPopupStayOnTopForm: a popup that closes when it loses the
//   activation; TCommandForm: clipboard messages become commands (base of the main window and
//   the editor windows); TFloatingNonModalForm: a tool window that remembers its place.
#include <cstdint>
#include <vector>

#include "platform/controls/form.h"

namespace qv {

class TDlgButtons;

// What TFormEx.ValidateFields requires of a number field (the validated numeric edit).
class TValidatedField {
 public:
  virtual ~TValidatedField() = default;
  // Blank: mixed values, the property left unchanged; never an error.
  virtual bool IsBlank() const = 0;
  virtual bool IsValid() const = 0;
  // Shows the field's warning and focuses it.
  virtual void Validate() = 0;
};

// The system command of the title-bar help button.
constexpr uintptr_t SC_CONTEXTHELP = 0xF180;

class TFormEx : public plat::Form {
 public:
  explicit TFormEx(plat::Form* owner = nullptr);
  ~TFormEx() override;

  int32_t HelpId = 0;
  // A non-zero topic adds the help button to the title bar.
  void SetHelpContext(int32_t topicId) { HelpId = topicId; }
  // True when every number field is valid (blank ones count as valid); else the first invalid
  // one shows its warning and takes the focus.
  virtual bool ValidateFields();
  // The close query's first say: a form closing as Cancel runs its Cancel button's handling,
  // which may keep it open.
  void CloseQueryHook(bool& canClose);

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 protected:
  void DoShow() override;

 private:
  friend class TDlgButtons;
  void WMHelp();
  std::vector<TDlgButtons*> buttonRows_;
};

class TShadowedForm : public plat::Form {
 public:
  using plat::Form::Form;
  // The class style of the drop shadow (and saved bits under it).
  static constexpr uint32_t kShadowClassStyle = 0x20800;

 protected:
  void FillCreateParams(plat::CreateParams& p) override;
};

class TPopupStayOnTopForm : public TShadowedForm {
 public:
  using TShadowedForm::TShadowedForm;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
};

class TCommandForm : public plat::Form {
 public:
  using plat::Form::Form;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
};

class TFloatingNonModalForm : public TFormEx {
 public:
  using TFormEx::TFormEx;
  static constexpr int32_t kNoSavedPosition = static_cast<int32_t>(0x80000000u);

  uint8_t BottomOffset = 0;
  int32_t ShowCount = 0;
  int32_t SavedLeft = kNoSavedPosition;
  int32_t SavedTop = 0;
  // Before the first showing the form is placed (by the main window, or at its saved place kept
  // on the main window's monitor); with show it is shown. ShowCount grows either way.
  void ShowFloating(bool show);
};

// Creates a form of the class with no owner, shows it modally and frees it; true for OK.
template <class F>
bool RunModalForm() {
  F form;
  return form.ShowModal() == plat::mrOk;
}

}  // namespace qv
