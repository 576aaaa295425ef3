#pragma once
// Drop caps in the flow: the first line of a paragraph that starts with a drop cap (the enlarged
// letters alone) goes into a box of its own at the side of the text, and the paragraph's other
// lines wrap round that box, as do the next paragraphs of the text box while it reaches down.
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace qv {

class TBox;
class TPar;

// The drop-cap boxes of the text box that reach below fromY, relative to its inner origin (the
// frame the wrap context works in).
std::vector<plat::Rect> DropCapExclusions(const TBox& textBox, int32_t fromY);

// Puts the paragraph's drop-cap line (its first line) into a new drop-cap box of the text box at
// the box's fill position, growing the box when the letters reach below it. Returns the box;
// null when the box has no room for it (the text box is then full).
TBox* PlaceDropCapLine(TBox& textBox, TPar& par, bool atTop);

}  // namespace qv
