#pragma once
// plat::ColorDialog: picks one colour from the basic colours, the 16 custom colours or by its
// red, green and blue values, with the custom part always open.
//
// Calling order: set Color (interface colours with the high bit are resolved) and Custom,
// Execute(), then read Color (changed only when confirmed) and Custom (kept in every case: the
// custom colours the user defined stay even when the dialog is cancelled).
#include <cstdint>
#include <functional>
#include <string>

#include "platform/controls/dialogs/color_choice.h"

namespace plat {

class Form;
class ColorDialogForm;

class ColorDialog {
 public:
  ColorDialog();
  ~ColorDialog();
  ColorDialog(const ColorDialog&) = delete;
  ColorDialog& operator=(const ColorDialog&) = delete;

  uint32_t Color = 0;
  CustomColors Custom{};
  std::string Title;  // empty: "Color"
  std::function<void(ColorDialog&)> OnShow;

  bool Execute(Form* owner = nullptr);

  // ---- While open (and without a form between Begin and End) ----
  uint32_t Current() const { return current_; }
  const CustomColorSet& CustomSet() const { return custom_; }
  Form* DialogForm() const;
  void PickBasic(int32_t index);
  void PickCustom(int32_t index);  // also the cell the next Add goes to
  // A channel (0 red, 1 green, 2 blue) set to a value.
  void SetChannel(int32_t channel, uint8_t value);
  void SetCurrent(uint32_t color);
  void AddToCustom();
  void Begin();
  void End(bool accepted);

 private:
  friend class ColorDialogForm;
  void SyncForm();
  uint32_t current_ = 0;
  CustomColorSet custom_{CustomColors{}};
  ColorDialogForm* form_ = nullptr;
};

}  // namespace plat
