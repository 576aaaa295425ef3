#pragma once
// TLayoutManager: the installed keyboard layouts (TLayout), so that text typed in the wrong layout
// can be converted to another one and the language of a layout can be offered.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TLayout {
 public:
  explicit TLayout(uint32_t handle);

  uint32_t Handle;  // low 16 bits: the layout's language id
  std::string Name;  // the display name of that language
  // For each byte character (in the code page of the layout's language): the virtual key in the
  // low byte and the shift state in the high byte (0x100 = Shift) that types it; 0xFFFF when none.
  std::array<uint16_t, 256> KeyTable;
  int32_t Charset;  // the character set of the layout's language
  uint32_t CodePage;

  int32_t Lang() const { return static_cast<int32_t>(Handle & 0xFFFF); }
};

class TLayoutManager {
 public:
  std::vector<TLayout> Items;
  int32_t CurrentIndex = -1;  // the index of the current layout

  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  // Reads the installed layouts again; CurrentIndex is left as it was when the current layout is
  // not among them.
  void Update();
  // From the last layout to the first, the index of the first with that language; else CurrentIndex.
  int32_t IndexOfLang(int32_t lang) const;
  static uint32_t GetCurrentLayout();
  // The character the key typing `c` on `source` gives on `target` (as a byte in the target's code
  // page); `c` itself when no key of the source types it or the target's code page cannot hold the
  // result; a space for a control character.
  static uint8_t KeyToChar(uint8_t c, const TLayout& source, const TLayout& target);
};

// The program-wide layout manager (made and updated on first use).
TLayoutManager& GetLayoutManager();
void FreeLayoutManager();

}  // namespace qv
