#pragma once
// Shading read from files as a percentage, a pattern colour and a background colour, shown as
// the one colour that the document keeps for a cell or a paragraph.
#include <cstdint>

namespace qv {

// The pattern colour (black when automatic) laid over the background colour (white when
// automatic or none) in the proportion percent / 10,000; colours 0x00BBGGRR, any colour with a
// high byte counts as automatic.
int32_t MixedShading(int32_t percent, int32_t pattern, int32_t background);

}  // namespace qv
