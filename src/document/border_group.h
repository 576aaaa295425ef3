#pragma once
// Bordered groups: consecutive paragraphs with the same border set and nearly the same indents
// are framed as one, so only the group's first paragraph carries the top border and only its
// last the bottom border; the paragraphs inside are separated by the set's inside border.
#include <cstdint>

namespace qv {

class TPar;

// The paragraph before (direction -1) or after (+1) belongs to the same bordered group. A group
// stays within one cell of a table, one story, and in the main text one section.
bool JoinsBorderGroup(const TPar& par, int direction);
inline bool StartsBorderGroup(const TPar& par) { return !JoinsBorderGroup(par, -1); }
inline bool EndsBorderGroup(const TPar& par) { return !JoinsBorderGroup(par, +1); }

}  // namespace qv
