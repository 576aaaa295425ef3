#pragma once
// Interface scaling. Every interface size is designed for an interface font whose "A" is 13
// pixels high; ScaleUI multiplies a design size by the real height over 13 once that height is
// 14 or more (a smaller font never shrinks code-computed sizes). The interface scale is the
// platform's measurement of the interface font, taken once.
#include <cstdint>

namespace qv {

// The interface font's "A" height (13 at the standard setting).
int32_t InterfaceScale();
// n unchanged up to a scale of 13, else MulDiv(n, scale, 13).
int32_t ScaleUI(int32_t n);
// The height of one-line labels, check boxes and radio buttons in panes and the message box.
int32_t SmallControlSize();

}  // namespace qv
