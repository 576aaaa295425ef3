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
  std::vector<std::array<int32_t, 4>> WrapRects;

  bool IsRemoved() const { return (Flags & FlagRemoved) != 0; }
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
};

}  // namespace qv

namespace qv {
class TShapeBinding;
// The binding of shapes to the paragraph characters that hold or anchor them.
std::unique_ptr<TShapeBinding> MakeShapeBinding();
}  // namespace qv
