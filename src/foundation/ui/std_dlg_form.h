#pragma once
// The standard modal dialog and its row of standard buttons.
//
// A TStdDlgForm owns a TDlgButtons row: OK, Cancel and Apply buttons (kinds 0, 1, 2) standing
// right-aligned in the bottom-right corner in the order of ButtonIndexes ("01": OK then Cancel;
// "021": OK, Apply, Cancel). Every click goes to TStdDlgForm::DlgButtonClick, which closes the
// form by the button's modal result; a dialog overrides it to validate (setting the modal
// result back to mrNone keeps the dialog open) and to handle Apply. Esc and the close box run
// the Cancel button's handling too, so a dialog that refuses to close stays open either way.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ui/form_ex.h"
#include "platform/controls/button.h"

namespace qv {

class TDlgButtons;

// Kinds of standard button.
enum : uint8_t { dbOK = 0, dbCancel = 1, dbApply = 2 };

class TDlgButton : public plat::Button {
 public:
  TDlgButton(TDlgButtons& row, uint8_t kind);
  uint8_t Kind;
  // The modal result of the kind (OK 1, Cancel 2, Apply 1).
  static int32_t ResultOf(uint8_t kind);
};

class TDlgButtons {
 public:
  explicit TDlgButtons(TFormEx& owner);
  ~TDlgButtons();
  TDlgButtons(const TDlgButtons&) = delete;
  TDlgButtons& operator=(const TDlgButtons&) = delete;

  int32_t ButtonWidth = 74;
  int32_t ButtonHeight = 22;
  int32_t RightMargin = 8;
  int32_t BottomMargin = 8;
  int32_t ButtonGap = 6;
  std::string ButtonIndexes = "01";  // the digits 0, 1 and 2, each at most once
  std::function<void(plat::Control& sender, uint8_t kind)> OnClick;
  std::array<TDlgButton*, 3> ButtonByKind{};
  uint8_t LastPressed = 255;

  TFormEx& Owner() { return owner_; }
  // After the form's design is read: scales and builds.
  void Loaded() { ScaleAndRebuild(); }
  // Scales the five sizes once by the interface scale, then builds the buttons.
  void ScaleAndRebuild();
  // Removes the buttons and makes them again from ButtonIndexes with the current sizes.
  void Rebuild();
  void ButtonClick(TDlgButton& sender);
  // A Cancel click not yet answered by the close hook (Esc or the close box after a Cancel
  // press that kept the dialog open run the handling again).
  bool TakeCancelHandled();

 private:
  TFormEx& owner_;
  // The buttons belong to the row; the form only lists them.
  std::vector<std::unique_ptr<TDlgButton>> owned_;
  bool cancelHandled_ = false;
};

class TStdDlgForm : public TFormEx {
 public:
  explicit TStdDlgForm(plat::Form* owner = nullptr);
  ~TStdDlgForm() override;

  TDlgButtons& DlgButtons() { return *dlgButtons_; }
  // Every click of the row: a TDlgButton closes the form by its modal result (set before this
  // runs); any other sender makes the result OK.
  virtual void DlgButtonClick(plat::Control& sender, uint8_t kind);

 private:
  std::unique_ptr<TDlgButtons> dlgButtons_;
};

}  // namespace qv
