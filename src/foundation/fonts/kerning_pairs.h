#pragma once
// The kerning pairs of a font at one size, for the layout's kerning. The buffer holds the pairs
// in the font's byte codes, 8 bytes each (first character 16-bit, second 16-bit, amount signed
// 32-bit in pixels), sorted by first and then second character; an index of 256 slots gives each
// first byte's run of pairs.
#include <array>
#include <cstdint>
#include <vector>

#include "foundation/fonts/font_key.h"
#include "foundation/base/memory.h"

namespace plat {
class Font;
}

namespace qv {

struct TKerningPair {
  uint16_t First = 0;
  uint16_t Second = 0;
  int32_t Amount = 0;
};

class TKerningPairs : public TMemory {
 public:
  TKerningPairs() = default;
  // The pairs of a font whose two characters both have a byte in the font's code page.
  TKerningPairs(const plat::Font& font, const TFontKey& key);

  TFontKey Key;  // the format it was made for, with the size replaced

  // Copies pairs, index and key from other kerning pairs; from a plain buffer, takes its bytes
  // as pairs and indexes them.
  void Assign(const TMemory& source) override;

  // Takes the pairs (in any order) and rebuilds the index.
  void SetPairs(std::vector<TKerningPair> pairs);
  int32_t Count() const { return Length / 8; }
  TKerningPair Pair(int32_t index) const;

  // The kerning amount of a pair of byte characters; 0 when the font has none for it.
  int32_t GetKerning(uint8_t first, uint8_t second) const;

 private:
  struct Slot {
    int32_t Start = 0;
    int32_t Count = 0;
  };
  std::array<Slot, 256> index_{};
};

}  // namespace qv
