#pragma once
// The drawing surface (device context) of the platform layer.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/font.h"
#include "platform/gfx/region.h"
#include "platform/gfx/types.h"

namespace plat {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame };
struct Pen {
  PenStyle Style = PenStyle::Solid;
  int32_t Width = 1;  // pixels; 0 counts as 1
  Color Colour = 0;
};

enum class BrushStyle { Solid, Null };
struct Brush {
  BrushStyle Style = BrushStyle::Solid;
  Color Colour = 0xFFFFFF;
};

enum class BkMode { Transparent, Opaque };

// How pen and brush drawing combines with what is there (only on bitmaps; a PDF page always
// copies). Xor and NotXor use the pen's colour; Not inverts what lies under the shape.
enum class Rop2 { CopyPen, XorPen, NotXorPen, Not };

// How a copied bitmap combines with the target (only on bitmaps; a PDF page always copies).
enum class RasterOp { SrcCopy, SrcAnd, SrcPaint, SrcInvert, DstInvert };

// Text alignment flags: horizontal (Left, Right, Center) | vertical (Top, Bottom, Baseline);
// UpdateCP draws at the current position and moves it past the text.
namespace align {
constexpr uint32_t Left = 0, UpdateCP = 1, Right = 2, Center = 6, Top = 0, Bottom = 8,
                   Baseline = 24;
}
// ExtTextOut options.
namespace eto {
constexpr uint32_t Opaque = 2, Clipped = 4;
}

// A device context over a Bitmap (the window layer draws every top-level window into one), over
// a PDF page (PdfDocument), or over nothing (measuring only). Coordinates are logical pixels:
// device = logical + Origin(). Clip regions are in device pixels. A canvas is cheap to create.
// Shapes follow the pixel rules the system expects: a line does not draw its last point,
// Rectangle and Ellipse fill [left, right) x [top, bottom) with the pen drawn inside that box,
// and shapes are not anti-aliased; text is.
class Canvas {
 public:
  Canvas();  // measuring only: draws nowhere
  explicit Canvas(Bitmap& target);
  ~Canvas();
  Canvas(Canvas&&) noexcept;
  Canvas& operator=(Canvas&&) noexcept;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  Bitmap* Target() const;      // the bitmap drawn into, nullptr for a PDF page or measuring
  Size DeviceSize() const;     // pixels (dots on a PDF page)
  int32_t DpiX() const;
  int32_t DpiY() const;
  // Completes pending drawing; needed before the target's pixels are read or written directly.
  void Flush();

  // --- state ---
  void SetFont(const Font& f);
  const Font& GetFont() const;
  // The family of the selected font as really selected (see Font::FaceName).
  std::string TextFace() const;
  TextMetrics GetTextMetrics() const;
  void SetTextColor(Color c);
  Color TextColor() const;
  void SetBkColor(Color c);
  Color BkColor() const;
  void SetBkMode(BkMode m);
  BkMode GetBkMode() const;
  void SetTextAlign(uint32_t flags);
  uint32_t TextAlign() const;
  void SetPen(const Pen& p);
  const Pen& GetPen() const;
  void SetBrush(const Brush& b);
  const Brush& GetBrush() const;
  void SetRop2(Rop2 r);
  Rop2 GetRop2() const;
  void SetOrigin(Point p);
  Point Origin() const;
  // Pushes and pops the whole state (font, colours, pen, brush, origin, clip).
  void SaveState();
  void RestoreState();

  // --- clipping ---
  void SetClipRegion(const Region& deviceRegion);
  void ClearClip();
  bool HasClip() const;
  Region ClipRegion() const;  // device pixels; the whole device when there is no clip
  void IntersectClipRect(const Rect& r);
  void ExcludeClipRect(const Rect& r);
  Rect ClipBox() const;  // logical bounds of what can be drawn
  bool RectVisible(const Rect& r) const;

  // --- text ---
  // Byte strings are in the font's code page. dx, when given, holds the advance of each
  // character (one per byte, or one per UTF-16 code unit) instead of the font's own.
  void TextOut(int32_t x, int32_t y, std::string_view bytes);
  void TextOut(int32_t x, int32_t y, std::u16string_view text);
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect* rect, std::string_view bytes,
                  std::span<const int32_t> dx = {});
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect* rect,
                  std::u16string_view text, std::span<const int32_t> dx = {});
  Size TextExtent(std::string_view bytes) const;  // cx = sum of advances, cy = font height
  Size TextExtent(std::u16string_view text) const;

  // --- lines and shapes (pen, brush, Rop2) ---
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  Point CurrentPosition() const;
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Polyline(std::span<const Point> points);
  void PolyBezier(std::span<const Point> points);  // 1 + 3n points
  void Polygon(std::span<const Point> points, FillMode mode = FillMode::Alternate);
  void Rectangle(const Rect& r);
  void Ellipse(const Rect& r);
  void RoundRect(const Rect& r, int32_t ellipseWidth, int32_t ellipseHeight);

  // --- fills that ignore pen and brush ---
  void FillRect(const Rect& r, Color c);
  void FrameRect(const Rect& r, Color c);  // one pixel wide, inside r
  void InvertRect(const Rect& r);          // bitmaps only
  void FillRegion(const Region& logicalRegion, Color c);
  void InvertRegion(const Region& logicalRegion);  // bitmaps only
  // Blends the colour over the region with alpha 0..255 (the selection's tint).
  void TintRegion(const Region& logicalRegion, Color c, uint8_t alpha);

  // --- pixels and bitmaps ---
  Color GetPixel(int32_t x, int32_t y) const;  // bitmaps only; 0 elsewhere
  void SetPixel(int32_t x, int32_t y, Color c);
  void DrawBitmap(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
                  RasterOp op = RasterOp::SrcCopy);
  void DrawBitmap(int32_t x, int32_t y, const Bitmap& src) { DrawBitmap(x, y, src, src.Bounds()); }
  // Scales the source rectangle onto dest; smooth filters (for pictures), otherwise nearest.
  void StretchBitmap(const Rect& dest, const Bitmap& src, const Rect& srcRect, bool smooth = true);
  // Copies the source except pixels of the transparent colour.
  void DrawTransparent(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
                       Color transparent);
  // Copies the source where the mask (same size as the source) is black, keeps the target where
  // it is white.
  void DrawMasked(int32_t x, int32_t y, const Bitmap& src, const Rect& srcRect,
                  const Bitmap& mask);
  // Blends the source (its own alpha when it has one) scaled with a constant alpha 0..255.
  void AlphaBlend(const Rect& dest, const Bitmap& src, const Rect& srcRect, uint8_t alpha = 255);

  struct Impl;

 private:
  explicit Canvas(std::unique_ptr<Impl> impl);
  friend class PdfDocument;
  std::unique_ptr<Impl> impl_;
};

// A PDF file drawn page by page. Page sizes are in points (1/72 inch); a page's canvas draws in
// device dots at the document's resolution. The file is written to a temporary file beside the
// target and renamed over it by Finish(); a document destroyed unfinished leaves no file.
class PdfDocument {
 public:
  explicit PdfDocument(std::string path, int32_t dpi = 72);
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  // Starts the next page (ending the current one) and gives its canvas, valid until EndPage.
  Canvas& StartPage(double widthPt, double heightPt);
  void EndPage();
  // Ends the last page and writes the file; throws GfxError when it cannot be written.
  void Finish();
  void Abort();  // drops the document, leaving no file
  int32_t PageCount() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
