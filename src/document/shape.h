#pragma once
// TShape: a picture or drawing object of a document, either one character of its paragraph
// (an inline shape) or anchored to a paragraph by a shape-anchor field and placed on the page
// (a floating shape). It owns its picture and its property object.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/pictures.h"
#include "document/shape_props_table.h"

namespace qv {

class TDoc;
class TField;
class TPar;

// The data of a move in the "format picture" edit: the new anchor paragraph and character, and
// in the Draft views the horizontal alignment (posh).
struct TShapeMove {
  int32_t Par = 0;
  int32_t Offset = 0;
  int32_t PosH = 0;
};

class TShape {
 public:
  // Flag bits: the shape is marked removed (its character or anchor was deleted and undo keeps
  // it); its wrap rectangles are valid. Other bits belong to the layout.
  static constexpr uint8_t FlagRemoved = 0x4;
  static constexpr uint8_t FlagWrapRectsValid = 0x8;
  // The largest picture size in pixels the shape reports.
  static constexpr int32_t MaxPicturePixels = 4000;

  explicit TShape(TDoc* doc);
  ~TShape();
  TShape(const TShape&) = delete;
  TShape& operator=(const TShape&) = delete;

  TDoc* Doc;
  uint8_t Layer = 0;  // 3 for a shape of the header and footer story
  uint8_t Flags = 0;
  std::unique_ptr<TDocGraphic> Graphic;
  TPar* AnchorPar = nullptr;
  int32_t AnchorOffset = 0;
  TField* AnchorField = nullptr;
  TShapeProps Props;
  std::array<int32_t, 4> PlacedRect{};
  // The rectangles of the wrap region for tight and through wrapping, in units of 8 twips from
  // the placed rectangle's top left; valid while FlagWrapRectsValid is set.
  std::vector<std::array<int32_t, 4>> WrapRects;
  // Layout working values: the box the shape was placed in and the box that governs its
  // vertical offsets (null when none), the rectangle while the shape is dragged or resized
  // (unset when none), and the horizontal alignment chosen for it in the Draft views.
  const void* LayoutBox = nullptr;
  const void* VerticalBox = nullptr;
  std::array<int32_t, 4> DragRect{kShapePropUnset, kShapePropUnset, kShapePropUnset, kShapePropUnset};
  int32_t DraftHorzAlign = 0;

  bool IsRemoved() const { return (Flags & FlagRemoved) != 0; }
  bool IsFloating() const { return Props.WrapStyle != TShapeProps::TWrapStyle::Inline; }
  bool IsHorizontalRule() const;
  // (FitScale, FitScale) when zoomed to fit the page, else (ScaleX, ScaleY).
  std::array<int32_t, 2> GetScale() const;
  // The picture size in screen pixels at `pixelsPerInch`, each at most MaxPicturePixels.
  std::array<int32_t, 2> GetPictureSizeInPixels(int32_t pixelsPerInch = 96) const;
  // In the Draft views every wrap but top-and-bottom counts as square.
  TShapeProps::TWrapStyle GetEffectiveWrap() const;
  bool IsBehindText() const;
  // Makes the picture from PNG data: its size at 100 % becomes the picture's own size (15 twips
  // a pixel). False, with the picture kept as a placeholder of the old size, when the data
  // cannot be stored or read as a picture.
  bool SetPictureData(std::span<const uint8_t> data, TDocGraphic::TKind kind);

  // Where an inline shape stands in its laid-out line: the x of its character and the line's
  // baseline below the top of the paragraph's first line in the same box, in twips.
  struct TInlinePlace {
    int32_t Left = 0;
    int32_t Baseline = 0;
  };
  // Changes between inline and floating. To floating (from an inline shape): the rectangle is
  // the shape's present place, the position properties the floating defaults (the horizontal
  // one from the paragraph's alignment). To inline (from a floating shape): the named
  // properties but the aspect-ratio lock go, the size at 100 % is the picture's own (1440 x
  // 1440 twips without a readable picture) and the scale keeps the rectangle's size. Otherwise
  // nothing changes.
  void SetFloating(bool toFloating, const TInlinePlace& place);
  // The picture becomes a PNG of one pixel in the fill colour (horizontal rules are drawn
  // from it). False when the picture file cannot be written; the old picture then stays.
  bool MakeSolidFillPicture();

  // --- Geometry (document/wrap_geometry.cpp) ---
  // Moves PlacedRect down by dy when the shape follows its paragraph or line and no box governs
  // its vertical place.
  void ShiftVertically(int32_t dy);
  // PlacedRect, widened to every point of the wrap polygon when the shape has one.
  std::array<int32_t, 4> GetBounds() const;
  // The region text keeps out of: the layout's rectangle widened by the wrap distances and
  // stretched over the box by the wrap kind and side (box width `boxWidth`).
  void GetWrapBounds(std::array<int32_t, 4>& rect, int32_t boxWidth) const;
  // The rectangles of the wrap region of tight and through wrapping in page twips, cached until
  // FlagWrapRectsValid is cleared; their number.
  int32_t GetWrapRects(std::vector<std::array<int32_t, 4>>& out);
  // The polygon (or the default rectangle) mapped onto the pixel frame, closed; `dragPoint`
  // k >= 0 replaces point k by `dragAt`, k < 0 inserts it as point -k (INT32_MIN: none).
  std::vector<std::array<int32_t, 2>> GetWrapPolygon(const std::array<int32_t, 4>& frame,
                                                     int32_t dragPoint,
                                                     std::array<int32_t, 2> dragAt) const;
  // The resize handles of the pixel rectangle: a mask with bit i for handle i (1 top left ...
  // 8 bottom right) and the eight squares.
  struct THandleRects {
    uint16_t Mask = 0;
    std::array<std::array<int32_t, 4>, 9> Rects{};  // index 1 to 8
  };
  THandleRects GetHandleRects(const std::array<int32_t, 4>& pixelRect) const;
  // The rectangle while `handle` of the shape `dragged` is pulled to a drag size; every selected
  // shape resizes by the same factors (corners of a locked shape keep the proportions).
  std::array<int32_t, 4> GetResizeRect(const TShape& dragged, int32_t handle, int32_t dragWidth,
                                       int32_t dragHeight) const;
};

// The side of a selection handle in pixels: 8 at 96 pixels per inch, scaled to the screen.
int32_t ShapeHandleSize();
void SetShapeHandleDpi(int32_t dpi);

}  // namespace qv

namespace qv {
class TShapeBinding;
// The binding of shapes to the paragraph characters that hold or anchor them.
std::unique_ptr<TShapeBinding> MakeShapeBinding();
}  // namespace qv
