#pragma once
// Bitmaps of few colours as palette bitmaps: the distinct colours of a bitmap and the BMP image
// (1, 4 or 8 bits a pixel) that holds it with a palette, for pictures written to files that keep
// such bitmaps small.
#include <cstdint>
#include <string>
#include <vector>

namespace plat {
class Bitmap;
}

namespace qv {

// Colours as 24-bit values with blue in the low byte (0x00RRGGBB, the order of a BMP pixel).
// Adds each distinct pixel colour, scanning the rows from the last to the first, and stops after
// the row in which the list passes 256 entries; a transparent bitmap adds white too.
void CollectBitmapColors(const plat::Bitmap& bitmap, bool transparent,
                         std::vector<uint32_t>& colors);

struct TPaletteOptions {
  bool Transparent = false;
  uint32_t TransparentColor = 0;  // 0x00BBGGRR, drawn as white
  // The eBook export's switch: 3 to 16 colours are written with 8 bits a pixel.
  bool EbookExport = false;
};

// The bitmap as a BMP image with a palette: 1 bit a pixel for one or two colours, 4 for 3 to 16,
// 8 otherwise; rows bottom-up, each padded to 4 bytes. False (the image left empty) when the
// bitmap has more than 256 colours or is empty, and stays a 24-bit picture.
bool ConvertBitmapToPaletted(const plat::Bitmap& bitmap, const TPaletteOptions& options,
                             std::string& bmpImage);

}  // namespace qv
