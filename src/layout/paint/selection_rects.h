#pragma once
// The pixel rectangles that a selection covers in a painted line, for the view to tint.
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace qv {

class TCompoundFragment;
class TLine;

// Adds, for every range of the fragment that shares characters with the line, the rectangle
// from the text x of the shared part's start to that of its end (at least 2 pixels wide, so that
// a selection of characters without width still shows), over the line's height. (x, y) is where
// the line was painted.
void AddLineSelectionRects(TLine& line, int32_t x, int32_t y, const TCompoundFragment& selection,
                           std::vector<plat::Rect>& out);

}  // namespace qv
