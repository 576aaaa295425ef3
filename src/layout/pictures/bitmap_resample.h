#pragma once
// Bitmap resampling for interface pictures and previews (the operations themselves are members
// of TBitmap: Resample, ResampleInto and HalftoneStretchTo).
#include <cstdint>

#include "layout/pictures/picture_bitmap.h"

namespace qv {

// A size designed for 96 pixels per inch at the screen's resolution (integer division).
int32_t ScaleByDpi(int32_t value);

// The Mitchell-Netravali cubic with B = C = 1/3, in single precision: 0 from |x| = 2 on.
float MitchellKernel(float x);

}  // namespace qv
