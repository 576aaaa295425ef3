#include "platform/controls/dialogs/color_choice.h"

namespace plat {

const std::array<uint32_t, 48>& BasicColors() {
  static const std::array<uint32_t, 48> colors = {
      RgbColor(255, 128, 128), RgbColor(255, 255, 128), RgbColor(128, 255, 128), RgbColor(0, 255, 128),
      RgbColor(128, 255, 255), RgbColor(0, 128, 255),   RgbColor(255, 128, 192), RgbColor(255, 128, 255),
      RgbColor(255, 0, 0),     RgbColor(255, 255, 0),   RgbColor(128, 255, 0),   RgbColor(0, 255, 64),
      RgbColor(0, 255, 255),   RgbColor(0, 128, 192),   RgbColor(128, 128, 192), RgbColor(255, 0, 255),
      RgbColor(128, 64, 64),   RgbColor(255, 128, 64),  RgbColor(0, 255, 0),     RgbColor(0, 128, 128),
      RgbColor(0, 64, 128),    RgbColor(128, 128, 255), RgbColor(128, 0, 64),    RgbColor(255, 0, 128),
      RgbColor(128, 0, 0),     RgbColor(255, 128, 0),   RgbColor(0, 128, 0),     RgbColor(0, 128, 64),
      RgbColor(0, 0, 255),     RgbColor(0, 0, 160),     RgbColor(128, 0, 128),   RgbColor(128, 0, 255),
      RgbColor(64, 0, 0),      RgbColor(128, 64, 0),    RgbColor(0, 64, 0),      RgbColor(0, 64, 64),
      RgbColor(0, 0, 128),     RgbColor(0, 0, 64),      RgbColor(64, 0, 64),     RgbColor(64, 0, 128),
      RgbColor(0, 0, 0),       RgbColor(128, 128, 0),   RgbColor(128, 128, 64),  RgbColor(128, 128, 128),
      RgbColor(64, 128, 128),  RgbColor(192, 192, 192), RgbColor(64, 0, 64),     RgbColor(255, 255, 255),
  };
  return colors;
}

std::optional<uint8_t> ParseChannel(std::u16string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  if (b == e || e - b > 3) return std::nullopt;
  int value = 0;
  for (size_t i = b; i < e; ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
  }
  if (value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

void CustomColorSet::Select(int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(colors_.size())) next_ = index;
}

void CustomColorSet::Add(uint32_t color) {
  colors_[static_cast<size_t>(next_)] = color & 0x00FFFFFF;
  next_ = (next_ + 1) % static_cast<int32_t>(colors_.size());
}

}  // namespace plat
