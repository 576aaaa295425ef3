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
// when the font has none. Only the first Windows Unicode or symbol record (platform 3, encoding 0
// or 1) is looked at; when it is a format-4 subtable its segments are used and `found` is set.
// Without usable segments the font counts as covering 0..0xFF. Codes below 32, 128..160 and 173
// are never listed, nor segments ending at 0xFFFF. Damaged tables never read out of bounds.
void CmapCharacters(const std::string& cmap, std::vector<uint16_t>& codes, bool& found);

// The same for a font, and for the font selected into a canvas.
void GetFontCharacters(const plat::Font& font, std::vector<uint16_t>& codes, bool& found);
void GetFontCharacters(const plat::Canvas& canvas, std::vector<uint16_t>& codes, bool& found);

}  // namespace qv
