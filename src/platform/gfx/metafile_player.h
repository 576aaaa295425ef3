#pragma once
// Pictures in the Windows metafile formats: enhanced metafiles (EMF) and Windows metafiles
// (WMF, with or without the placeable header), as documents and the clipboard hold them.
//
// A Metafile keeps the bytes and what its header says of the picture's size. PlayMetafile draws
// the records through a Canvas: lines, curves, polygons and paths with their pens and brushes,
// rectangles, ellipses, arcs, text with its fonts and alignment, bitmaps (DIBs) with raster
// operations, clipping and the coordinate transforms (map modes, window and viewport, world
// transforms). Records of other kinds (palettes, colour management, comments, printer escapes)
// are passed over.
//
// The bytes come from files: every count, size and offset of a record is checked against the
// record and the file. A damaged record ends the picture (what came before it stays drawn);
// nothing a file holds makes playing crash, hang or take unbounded memory.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/types.h"

namespace plat {

class Metafile {
 public:
  enum class Kind { Emf, Wmf };

  Metafile() = default;
  // Reads the header of an EMF or WMF picture. Throws GfxError when the bytes are neither.
  static Metafile FromBytes(std::vector<uint8_t> bytes);
  // An enhanced metafile of the bitmap's size (at 96 pixels per inch) that holds the bitmap.
  static Metafile FromBitmap(const Bitmap& bitmap);

  bool IsEmpty() const { return bytes_.empty(); }
  Kind GetKind() const { return kind_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // The picture's frame in hundredths of a millimetre.
  const Rect& Frame() const { return frame_; }
  // The reference device the picture was made for: its size in pixels and in millimetres.
  Size DevicePixels() const { return devicePixels_; }
  Size DeviceMillimetres() const { return deviceMm_; }
  // The frame's size in pixels of the reference device (frame extent × device pixels / device
  // millimetres × 100), at least 1 x 1.
  Size FrameSizeInPixels() const;

  // WMF only: the placeable header's bounds in logical units (empty without one) and its units
  // per inch.
  const Rect& PlaceableBounds() const { return placeable_; }
  int32_t UnitsPerInch() const { return unitsPerInch_; }
  // Offset of the first record.
  size_t FirstRecord() const { return firstRecord_; }

 private:
  void ReadEmfHeader();
  void ReadWmfHeader();

  Kind kind_ = Kind::Emf;
  std::vector<uint8_t> bytes_;
  Rect frame_;
  Size devicePixels_{1, 1};
  Size deviceMm_{1, 1};
  Rect placeable_;
  int32_t unitsPerInch_ = 1440;
  size_t firstRecord_ = 0;
};

// Plays the picture into the rectangle (logical coordinates of the canvas): its frame (EMF) or
// its window or placeable bounds (WMF) is scaled to fill it, and drawing outside it is cut off.
// The canvas's state (pen, brush, font, colours, clip, origin) is as before afterwards. Returns
// false when a damaged record ended the picture early.
bool PlayMetafile(Canvas& canvas, const Metafile& picture, const Rect& dest);

}  // namespace plat
