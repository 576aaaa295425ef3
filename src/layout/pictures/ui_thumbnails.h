#pragma once
// The small illustrations that the picture dialog and the toolbars show: the text wrapping
// styles (7 pictures of 36 x 36 pixels) and the picture positions on a page (9 pictures of
// 40 x 56 pixels). They are drawn large and resampled with sharpening, built on demand and
// released when the interface colours or sizes change.
#include <cstdint>

#include "layout/pictures/picture_bitmap.h"

namespace qv {

// The four colours of the drawings.
struct TThumbnailColors {
  plat::Color Page = 0xFFFFFF;
  plat::Color TextLines = 0x808080;
  plat::Color Picture = 0x000000;
  plat::Color Frame = 0x000000;
};
// The colours from the colour manager's active palette: the page background, the automatic
// text colour lightened for the lines, the selection colour for the picture and the page border
// colour for the frame.
TThumbnailColors ThumbnailColors();

inline constexpr int32_t kWrappingStyleCount = 7;
inline constexpr int32_t kPicturePositionCount = 9;

// Wrapping style s (0 to 6) and picture position p (0 to 8); an empty bitmap for other numbers.
TBitmap DrawWrappingStyleThumbnail(int32_t s, const TThumbnailColors& colors);
TBitmap DrawPicturePositionThumbnail(int32_t p, const TThumbnailColors& colors);

// The cached illustrations (built when missing).
const TBitmap& WrappingStyleBitmap(int32_t s);
const TBitmap& PicturePositionBitmap(int32_t p);
// Builds the missing entries of both tables (from the last entry to the first).
void BuildCachedUiBitmaps();
// Frees every entry of both tables.
void ReleaseCachedUiBitmaps();

}  // namespace qv
