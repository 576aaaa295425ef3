#include "platform/controls/dialogs/color_dialog.h"

#include "platform/controls/control_look.h"

namespace plat {

ColorDialog::ColorDialog() { Custom.fill(RgbColor(255, 255, 255)); }

ColorDialog::~ColorDialog() = default;

void ColorDialog::Begin() {
  current_ = ResolveColor(Color) & 0x00FFFFFF;
  custom_ = CustomColorSet(Custom);
  SyncForm();
}

void ColorDialog::End(bool accepted) {
  Custom = custom_.Colors();
  if (accepted) Color = current_;
}

void ColorDialog::SetCurrent(uint32_t color) {
  current_ = color & 0x00FFFFFF;
  SyncForm();
}

void ColorDialog::PickBasic(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(BasicColors().size())) return;
  SetCurrent(BasicColors()[static_cast<size_t>(index)]);
}

void ColorDialog::PickCustom(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(Custom.size())) return;
  custom_.Select(index);
  SetCurrent(custom_.Colors()[static_cast<size_t>(index)]);
}

void ColorDialog::SetChannel(int32_t channel, uint8_t value) {
  uint8_t r = RedOf(current_), g = GreenOf(current_), b = BlueOf(current_);
  if (channel == 0) r = value;
  else if (channel == 1) g = value;
  else if (channel == 2) b = value;
  else return;
  SetCurrent(RgbColor(r, g, b));
}

void ColorDialog::AddToCustom() {
  custom_.Add(current_);
  SyncForm();
}

}  // namespace plat
