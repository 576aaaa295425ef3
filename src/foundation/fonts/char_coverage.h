#pragma once
// Which characters a face covers, read from the font's own character map, and the table of
// Unicode blocks that the symbol dialogs show.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace plat {
class Canvas;
class Font;
}

namespace qv {

// One Unicode block: codes Start..End inclusive.
struct TUnicodeBlock {
  uint16_t Start;
  uint16_t End;
  const char* Name;
};

// The constant block table, sorted by start.
std::span<const TUnicodeBlock> UnicodeBlocks();

// Index of the block holding the code; 0x80000000 (as int32) outside every block.
int32_t FindUnicodeBlock(uint32_t code);

// True for the private use area 0xE000..0xF8FF.
bool IsPrivateUseChar(uint32_t code);

// The codes a character map covers. `cmap` is the raw 'cmap' table of a font (big-endian), empty
// when the font has none. The basic plane comes from the first Windows Unicode or symbol record
// (platform 3, encoding 0 or 1) only: when it is a format-4 subtable its segments are used and
// `found` is set. The codes past U+FFFF come from the first full-Unicode record (Windows
// encoding 10, else Unicode platform encoding 4 or 6) of format 12 or 13; without usable
// format-4 segments that subtable gives the basic plane too (and sets `found`). Without either the
// font counts as covering 0..0xFF. Codes below 32, 128..160, 173, the surrogates, U+FFFE and
// U+FFFF are never listed, nor format-4 segments ending at 0xFFFF. Each code is listed once, the
// basic plane in segment order, then the rest in ascending order. Damaged tables never read out
// of bounds.
void CmapCharacters(const std::string& cmap, std::vector<uint32_t>& codes, bool& found);

// The same for a font, and for the font selected into a canvas.
void GetFontCharacters(const plat::Font& font, std::vector<uint32_t>& codes, bool& found);
void GetFontCharacters(const plat::Canvas& canvas, std::vector<uint32_t>& codes, bool& found);

// The codes a face covers, kept as sorted ranges: a CJK face covers tens of thousands of codes,
// and the font manager keeps one of these for every face it was asked about.
class TCharCoverage {
 public:
  TCharCoverage() = default;
  // From a list of codes in any order (repeats count once).
  explicit TCharCoverage(std::vector<uint32_t> codes);
  // From a font's character map, as CmapCharacters reads it.
  static TCharCoverage FromCmap(const std::string& cmap);

  // Index of the code among the covered codes in ascending order; -1 when not covered.
  int32_t IndexOf(uint32_t code) const;
  bool Covers(uint32_t code) const { return IndexOf(code) >= 0; }
  int32_t Count() const { return count_; }

 private:
  struct TRange {
    uint32_t First;
    uint32_t Last;
    int32_t Before;  // covered codes below First
  };
  std::vector<TRange> ranges_;
  int32_t count_ = 0;
};

}  // namespace qv
