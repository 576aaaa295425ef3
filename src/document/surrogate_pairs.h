#pragma once
// A character outside the basic plane is held as two UTF-16 character tags in a row (a high and
// a low surrogate), two character positions. Selections, word boundaries and the caret treat the
// pair as one character: a place between its two halves is moved to one side of the pair.
#include <cstdint>

namespace qv {

class TPar;

// The offset stands between the two halves of a surrogate pair.
bool SplitsSurrogatePair(TPar& par, int32_t offset);
// The offset, or the place before the pair it would split.
int32_t SnapOffsetBackward(TPar& par, int32_t offset);
// The offset, or the place after the pair it would split.
int32_t SnapOffsetForward(TPar& par, int32_t offset);

}  // namespace qv
