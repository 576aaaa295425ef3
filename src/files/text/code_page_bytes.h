#pragma once
// Fast look-ups of the byte a UTF-16 unit has in one of the Windows code pages 1250 to 1257, for
// reading and writing large texts character by character.
#include <cstdint>

namespace qv {

// The byte of the unit in the code page, -1 when the page has none. Units below 128 are
// themselves in every page. Pages outside 1250..1257 go through the platform's conversion.
int ByteOfUnitInCodePage(uint32_t codePage, char16_t unit);
// The table behind it for pages 1250 to 1257: the byte of every UTF-16 unit, -1 for none; null
// for other pages.
const int16_t* CodePageByteTable(uint32_t codePage);

}  // namespace qv
