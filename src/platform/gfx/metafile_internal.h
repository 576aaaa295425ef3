#pragma once
// Private: the drawing engine that plays both metafile formats, the checked record reader and
// the DIB decoder.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/metafile_player.h"

namespace plat::mf {

// Thrown for a record that does not hold what it claims; playing ends there.
struct Damaged {};

// Little-endian fields of one record; every read outside it throws Damaged.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : b_(bytes) {}
  size_t Size() const { return b_.size(); }
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= b_.size() && count <= b_.size() - offset;
  }
  void Need(uint64_t offset, uint64_t count) const {
    if (!Has(offset, count)) throw Damaged{};
  }
  uint8_t U8(uint64_t o) const {
    Need(o, 1);
    return b_[o];
  }
  uint16_t U16(uint64_t o) const {
    Need(o, 2);
    return uint16_t(b_[o] | (b_[o + 1] << 8));
  }
  int16_t I16(uint64_t o) const { return int16_t(U16(o)); }
  uint32_t U32(uint64_t o) const {
    Need(o, 4);
    return uint32_t(b_[o]) | (uint32_t(b_[o + 1]) << 8) | (uint32_t(b_[o + 2]) << 16) |
           (uint32_t(b_[o + 3]) << 24);
  }
  int32_t I32(uint64_t o) const { return int32_t(U32(o)); }
  float F32(uint64_t o) const;
  std::span<const uint8_t> Bytes(uint64_t o, uint64_t n) const {
    Need(o, n);
    return b_.subspan(size_t(o), size_t(n));
  }

 private:
  std::span<const uint8_t> b_;
};

struct PointF {
  double x = 0, y = 0;
};

// An affine transform for row vectors, as the formats store them:
// x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Matrix {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  PointF Apply(PointF p) const { return {m11 * p.x + m21 * p.y + dx, m12 * p.x + m22 * p.y + dy}; }
  // This transform, then the other one.
  Matrix Then(const Matrix& o) const;
  std::optional<Matrix> Inverse() const;
  double ScaleX() const;  // length of the transformed unit x vector
  double ScaleY() const;
  bool IsFinite() const;
};

struct PenObj {
  PenStyle style = PenStyle::Solid;
  double width = 0;       // logical units (0: one device pixel)
  bool cosmetic = false;  // always one device pixel
  Color colour = 0;
};

struct BrushObj {
  enum class Kind { Solid, Null, Hatch, Pattern } kind = Kind::Solid;
  Color colour = 0xFFFFFF;
  int32_t hatch = 0;
  std::shared_ptr<const Bitmap> pattern;
};

struct FontObj {
  LogFont font;  // Height and Width in logical units
};

struct RegionObj {
  std::vector<Rect> rects;  // logical units
};

struct Object {
  enum class Kind { None, Pen, Brush, Font, Region, Other } kind = Kind::None;
  static Object Of(Kind k) {
    Object o;
    o.kind = k;
    return o;
  }
  PenObj pen;
  BrushObj brush;
  FontObj font;
  RegionObj region;
};

struct Figure {
  std::vector<PointF> points;  // canvas coordinates
  bool closed = false;
};

// The state of the playing device context.
struct DcState {
  int32_t mapMode = 1;  // MM_TEXT
  PointF windowOrg, windowExt{1, 1}, viewportOrg, viewportExt{1, 1};
  Matrix world;
  PenObj pen;
  BrushObj brush;
  FontObj font;
  Color textColor = 0;
  Color bkColor = 0xFFFFFF;
  bool bkOpaque = true;
  bool winding = false;  // polygon fill mode
  Rop2 rop = Rop2::CopyPen;
  uint32_t textAlign = 0;
  bool clockwiseArcs = false;
  PointF position;  // logical
  PointF brushOrigin;
  std::optional<Region> clip;  // canvas coordinates; none: only the picture's frame
};

class Player {
 public:
  Player(Canvas& canvas, const Metafile& picture, const Rect& dest);
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  Canvas& canvas;
  const Metafile& picture;
  DcState st;

  // ---- coordinates ----
  // Logical to canvas coordinates: world, page (map mode, window and viewport), then playback.
  Matrix Total() const;
  Matrix PageToCanvas() const;  // without the world transform
  PointF ToCanvas(PointF logical) const { return Total().Apply(logical); }
  // A logical rectangle as the canvas rectangle that holds its transformed corners.
  Rect ToCanvasRect(double l, double t, double r, double b) const;
  Matrix playback;  // reference-device pixels (EMF) or viewport (WMF) to canvas
  bool wmf = false;

  // ---- state stack ----
  void Save();
  void Restore(int32_t relative);  // negative: that many back; positive: that saved level

  // ---- objects ----
  std::vector<Object> objects;
  void SelectStock(uint32_t id);

  // ---- paths ----
  bool pathOpen = false;
  std::vector<Figure> path;
  std::vector<Figure> lastPath;  // the path closed by EndPath
  // Adds figures to the open path, or draws them filled and outlined at once.
  void Shape(std::vector<Figure> figures, bool fill, bool stroke);
  void MoveTo(PointF logical);
  void LineTo(PointF logical);
  void PolyBezierTo(std::span<const PointF> logical);  // 3n control and end points
  void CloseFigure();

  // ---- drawing ----
  void Fill(const std::vector<Figure>& figures, const BrushObj& brush);
  void FillRegion(const Region& region, const BrushObj& brush);
  void Stroke(const std::vector<Figure>& figures);
  Figure Polyline(std::span<const PointF> logical, bool closed) const;
  Figure RectFigure(double l, double t, double r, double b) const;
  Figure EllipseFigure(double l, double t, double r, double b) const;
  Figure RoundRectFigure(double l, double t, double r, double b, double w, double h) const;
  // 0 arc, 1 chord, 2 pie, between the radials through the two points.
  Figure ArcFigure(double l, double t, double r, double b, PointF start, PointF end,
                   int kind) const;
  std::vector<PointF> Bezier(PointF p0, PointF p1, PointF p2, PointF p3) const;
  void SetPixel(PointF logical, Color c);
  // Text at a logical reference point; dx in logical units (may be empty).
  void Text(PointF logical, std::u16string_view text, std::string_view bytes,
            std::span<const double> dx, uint32_t options, const double* rect);
  // A DIB (header and bits) copied to a logical rectangle with a raster operation.
  // With a transparent colour the pixels of that colour are left out (the raster operation is
  // then a plain copy).
  void DrawDib(const Bitmap& source, double sx, double sy, double sw, double sh, double dx,
               double dy, double dw, double dh, uint32_t rop,
               std::optional<Color> transparent = std::nullopt);
  void PatBlt(double l, double t, double w, double h, uint32_t rop);
  void AlphaBlend(const Bitmap& source, double sx, double sy, double sw, double sh, double dx,
                  double dy, double dw, double dh, uint8_t alpha);

  // ---- clipping ----
  Region PathRegion(const std::vector<Figure>& figures) const;
  void CombineClip(const Region& region, int32_t mode);  // RGN_AND 1 ... RGN_COPY 5
  void ApplyClip();

 private:
  std::vector<DcState> saved_;
  Region base_;  // the canvas's own drawable region (device coordinates)
  Rect frame_;   // the destination rectangle (canvas coordinates)
  Rect limit_;   // the visible part of the canvas, widened: nothing is drawn outside it
};

// ---- what the records of the two formats share ----

// A binary raster operation by its number (R2_NOT 6, R2_XORPEN 7, R2_NOTXORPEN 10); any other
// draws as a plain copy.
inline Rop2 RopOf(uint32_t v) {
  switch (v) {
    case 6:
      return Rop2::Not;
    case 7:
      return Rop2::XorPen;
    case 10:
      return Rop2::NotXorPen;
    default:
      return Rop2::CopyPen;
  }
}

// A pen's line style from the low bits of its style word; unknown styles draw solid.
inline PenStyle PenStyleOf(uint32_t v) {
  switch (v & 0x0F) {
    case 1:
      return PenStyle::Dash;
    case 2:
      return PenStyle::Dot;
    case 3:
      return PenStyle::DashDot;
    case 4:
      return PenStyle::DashDotDot;
    case 5:
      return PenStyle::Null;
    case 6:
      return PenStyle::InsideFrame;
    default:
      return PenStyle::Solid;
  }
}

// Makes a pen, brush or font object the current one; false for an object of another kind.
inline bool SelectDrawingObject(DcState& st, const Object& o) {
  switch (o.kind) {
    case Object::Kind::Pen:
      st.pen = o.pen;
      return true;
    case Object::Kind::Brush:
      st.brush = o.brush;
      return true;
    case Object::Kind::Font:
      st.font = o.font;
      return true;
    default:
      return false;
  }
}

// Plays one record; false when it was damaged or held a bitmap the drawing layer cannot make,
// which ends the picture there.
template <class Play>
bool PlayRecord(Play&& play) {
  try {
    play();
  } catch (const Damaged&) {
    return false;
  } catch (const GfxError&) {
    return false;
  }
  return true;
}

// Decodes a DIB: `info` holds the header and colour table, `bits` the pixels. With palette
// indexes (DIB_PAL_COLORS) the colour table holds 16-bit indexes, shown as greys. keepAlpha
// makes a 32-bit DIB a bitmap with (premultiplied) alpha. nullopt for a DIB that is not read
// (JPEG or PNG inside, or more pixels than a picture may have); Damaged for one whose header,
// colour table or bits do not add up.
std::optional<Bitmap> DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                                bool paletteIndexes, bool keepAlpha = false);
// The size of a packed DIB's header and colour table (where its bits begin); 0 for a DIB that
// is not read; Damaged as above.
size_t DibHeaderSize(std::span<const uint8_t> info, bool paletteIndexes);

// The record loops of the two formats; they return false when a damaged record ended them.
bool PlayEmf(Player& player);
bool PlayWmf(Player& player);

// Saturating conversion of a coordinate to pixels.
int32_t ToPixel(double v);

}  // namespace plat::mf
