#pragma once
// The logic of the colour dialog: the basic colours, the 16 custom colours and the colour being
// edited by its red, green and blue values. Colours are 0x00BBGGRR.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/gfx/types.h"

namespace plat {

using CustomColors = std::array<uint32_t, 16>;

// The 48 basic colours, row by row (8 per row).
const std::array<uint32_t, 48>& BasicColors();

inline constexpr uint32_t RgbColor(uint8_t r, uint8_t g, uint8_t b) { return Rgb(r, g, b); }

// A channel value typed into a box: digits only, 0 to 255; nullopt otherwise (an empty box too).
std::optional<uint8_t> ParseChannel(std::u16string_view text);

// The custom colours and the cell the next added colour goes to.
class CustomColorSet {
 public:
  explicit CustomColorSet(const CustomColors& colors) : colors_(colors) {}
  const CustomColors& Colors() const { return colors_; }
  // The cell the user picked (the next add goes there); out-of-range indexes are ignored.
  void Select(int32_t index);
  int32_t Selected() const { return next_; }
  // Puts the colour into the selected cell and moves the selection to the next cell (after the
  // last comes the first).
  void Add(uint32_t color);

 private:
  CustomColors colors_;
  int32_t next_ = 0;
};

}  // namespace plat
