#pragma once
// The decoded forms of a document's pictures that the layout's decoder makes: a PNG image, a
// JPEG image (kept as a bitmap) and a metafile, which is played wherever it is drawn.
#include "document/pictures.h"
#include "layout/pictures/png_codec.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/metafile_player.h"

namespace qv {

class TDecodedPng : public TDecodedPicture {
 public:
  TPNGImage Image;
  uint32_t ColorAt(int32_t x, int32_t y) const override { return Image.ColorAt(x, y); }
};

class TDecodedJpeg : public TDecodedPicture {
 public:
  plat::Bitmap Image;
  uint32_t ColorAt(int32_t x, int32_t y) const override { return Image.GetPixel(x, y); }
};

class TDecodedMetafile : public TDecodedPicture {
 public:
  plat::Metafile Picture;
};

}  // namespace qv
