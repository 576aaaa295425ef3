#pragma once
// Small shared operations on bitmaps, metafiles and resources: lightening for disabled looks, a
// quarter turn, metafiles drawn into bitmaps and bitmaps wrapped in metafiles, palette bitmaps
// of pictures with few colours, PNG pictures and raw data from the program's resources, packed
// id-to-text tables, and glyphs of the shared glyph strip at the screen's resolution.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/base/string_list.h"
#include "layout/pictures/picture_bitmap.h"
#include "layout/pictures/png_codec.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/metafile_player.h"

namespace qv {

// ---- Colours -----------------------------------------------------------------------------------

plat::Color SwapRedBlue(plat::Color c);
// The program-wide lighten factor in tenths (7 at start).
int32_t LightenFactor();
void SetLightenFactor(int32_t k);
// Each channel v becomes v + (255 - v) × k / 10 with the lighten factor k.
plat::Color LightenColor(plat::Color c);
// Makes the bitmap 24-bit and lightens every byte with factor k (the program-wide factor is
// unchanged afterwards).
void LightenBitmap(TBitmap& bitmap, int32_t k);

// Turns a bitmap of at most 256 colours into a 1-, 4- or 8-bit palette bitmap of exactly its
// colours; a bitmap of more colours (or a palette bitmap already) stays as it is.
void ConvertBitmapToPaletted(TBitmap& bitmap);
// Adds each distinct colour of the bitmap to the list (in order of first appearance), stopping
// once more than 256 were found; white is added for a bitmap marked transparent.
void GetBitmapColors(const TBitmap& bitmap, std::vector<plat::Color>& colors);

// A quarter turn anticlockwise: pixel (x, y) goes to (y, W - 1 - x); the bitmap keeps its pixel
// format and palette.
void RotateBitmap90(TBitmap& bitmap);

// ---- Metafiles ---------------------------------------------------------------------------------

// Sizes the bitmap to `size` when its width is not 0, else to the metafile's frame in pixels of
// its reference device (scaled down to fit TBitmap::MaxPixels), fills it white, plays the
// metafile into it and makes it a palette bitmap when it has at most 256 colours. Returns false
// when a damaged record ended the picture early (the bitmap shows what came before it).
bool DrawMetafileToBitmap(const plat::Metafile& metafile, TBitmap& bitmap, plat::Size size);
// A new bitmap drawn by DrawMetafileToBitmap; none when it cannot be made.
std::optional<TBitmap> MetafileToBitmapHandle(const plat::Metafile& metafile, plat::Size size);
// The metafile drawn by DrawMetafileToBitmap, encoded as a JPEG picture; empty when it cannot
// be drawn.
std::vector<uint8_t> MetafileToJpeg(const plat::Metafile& metafile, plat::Size size);
// An enhanced metafile of the bitmap's size that holds the bitmap; a transparent bitmap is drawn
// over white with its transparent colour left out.
plat::Metafile BitmapToMetafile(const TBitmap& bitmap);

// ---- Resources ---------------------------------------------------------------------------------

// The bytes of a resource of the program (empty when there is none).
std::span<const uint8_t> GetResourceData(const std::string& name, const std::string& type);
// Loads the PNG resource of that name into the image; false when there is none (a damaged
// picture raises the codec's errors).
bool LoadPngResource(const std::string& name, TPNGImage& image);
// The JPEG resource of that name, decoded; false when there is none or it is damaged.
bool LoadJpegResource(const std::string& name, plat::Bitmap& image);
// Writes a resource's bytes to a file (through a temporary file); false on any failure.
bool SaveResourceToFile(const std::string& name, const std::string& type,
                        const std::string& fileName);

// ---- Packed text tables ------------------------------------------------------------------------
// A 32-bit count N, N ascending 32-bit ids, then N entries (offset << 10 | length) whose offset
// counts from the table's start and whose length is below 1024. Entries that reach outside the
// table give empty text.

std::string FindPackedString(std::span<const uint8_t> table, uint32_t id);
// Clears the list and adds every entry's text with its id as the item's object, in table order.
void LoadPackedStrings(std::span<const uint8_t> table, TStringList& list);

// ---- Shared glyphs -----------------------------------------------------------------------------

// The shared glyph strip (the "SHAREDGLYPHS" PNG resource, 16 pixels high, loaded on first use;
// empty when the resource is missing). Glyphs 0 to 21 are 16 pixels wide at x = 16 n, glyphs
// from 22 on 21 pixels wide at x = 21 n - 110; RGB(128, 128, 0) is transparent.
const TBitmap& SharedGlyphStrip();
void SetSharedGlyphStrip(TBitmap strip);  // for tests and start-up
inline constexpr plat::Color kGlyphKeyColor = plat::Rgb(128, 128, 0);
// Glyph n on a background colour as a 24-bit bitmap: at 96 pixels per inch of the glyph's own
// size, otherwise resampled with sharpening to the size ScaleByDpi gives.
void GetSharedGlyph(int32_t n, TBitmap& bitmap, plat::Color background);

}  // namespace qv
