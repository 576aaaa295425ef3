#pragma once
// Proportional integer arithmetic: the system's MulDiv, a * b / c with the product taken wide
// enough for any two 64-bit factors and the quotient rounded to the nearest integer, halves
// away from zero (2.5 gives 3, -2.5 gives -3).
//
// A zero divisor answers 0: there is no proportion to keep, and 0 is the harmless size or
// position for the callers (a scale of nothing, an empty range). A quotient beyond the result
// type saturates at its end instead of wrapping.
//
// This is the program's one rounding multiply-and-divide; outside the platform layer it is
// reached through foundation/base/units.h.
#include <cstdint>

namespace plat {

// The 32-bit result, saturated at INT32_MIN and INT32_MAX.
int32_t MulDiv(int64_t a, int64_t b, int64_t c);
// The 64-bit result (a position along a whole 32-bit range times a length), saturated at
// INT64_MIN and INT64_MAX.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c);

}  // namespace plat
