#pragma once
// Text typed in the wrong keyboard layout: which layouts a conversion goes from and to, and what
// each text byte becomes (the character the same key gives on the target layout).
#include <cstdint>

namespace qv {

class TDoc;
class TLayout;

#pragma pack(push, 1)
// The parameter of the keyboard-layout mode of edit code 23: sub-mode 0 from the active layout to
// the one before it, 1 the same confirmed or changed in the dialog, 2 from Source to Target.
struct TKeyLayoutConversion {
  uint8_t SubMode = 0;
  int32_t Source = -1;
  int32_t Target = -1;
};
#pragma pack(pop)

// Picks the source and target layout indexes of the layout manager; false (with the message
// shown for fewer than two layouts, or the dialog cancelled) when the conversion cannot run.
bool ChooseConversionLayouts(TDoc& doc, const TKeyLayoutConversion* parameter, int32_t& source,
                             int32_t& target);
// The byte the key typing `byte` on the source gives on the target.
uint8_t ConvertKeyByte(uint8_t byte, const TLayout& source, const TLayout& target);

}  // namespace qv
