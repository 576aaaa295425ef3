#pragma once
// TShapeProps: the property object of a shape. A sorted list of (id, value) pairs with the ids
// and value conventions of the Word drawing format, plus the picture size, scale, wrapping and
// position data the program keeps beside them.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qv {

inline constexpr int32_t kShapePropUnset = static_cast<int32_t>(0x80000000u);

// Ids of the properties the model reads itself.
enum TShapePropId : int32_t {
  spShapeType = 1,
  spLockAspectRatio = 120,
  spPib = 260,
  spFillColor = 385,
  spWrapPolygonVertices = 899,
  spPosH = 911,
  spPosRelH = 912,
  spPosV = 913,
  spPosRelV = 914,
  spPctHR = 915,
  spDxHeightHR = 917,
  spDxWidthHR = 918,
  spLayoutInCell = 944,
  spHorizRule = 948,
  spBehindDocument = 954,
};

inline constexpr int32_t kPictureFrameShapeType = 75;
// The coordinate space of wrap polygons.
inline constexpr int32_t kWrapPolygonSpan = 21600;

class TShapeProps {
 public:
  enum class TWrapStyle : int32_t { Inline = 0, TopBottom = 1, Square = 2, None = 3, Tight = 4, Through = 5 };
  struct TPoint {
    int32_t X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
  };
  // The most pairs and polygon points kept; more from a file are dropped.
  static constexpr size_t MaxPairs = 1024;
  static constexpr size_t MaxPolygonPoints = 8192;

  int32_t PicWidth = 0;   // twips at 100 %
  int32_t PicHeight = 0;
  int32_t ScaleX = 100;   // percent
  int32_t ScaleY = 100;
  uint8_t ZoomToFitPage = 0;
  int32_t FitScale = 100;
  TWrapStyle WrapStyle = TWrapStyle::Inline;
  int32_t WrapSide = 0;  // 0 both, 1 left, 2 right, 3 larger side
  std::vector<TPoint> WrapPolygon;
  int32_t ZOrder = 0;
  std::array<int32_t, 4> ShapeRect{kShapePropUnset, kShapePropUnset, kShapePropUnset, kShapePropUnset};

  bool HasProp(int32_t id) const;
  // The pair's value, else the property's default (kShapePropUnset when it has none).
  int32_t GetProp(int32_t id) const;
  // A value equal to the default is stored as unset (removing the pair), except for the
  // aspect-ratio lock and the layout-in-cell flag, which are always stored.
  void SetProp(int32_t id, int32_t value);
  void RemoveProp(int32_t id);
  const std::vector<std::pair<int32_t, int32_t>>& Pairs() const { return pairs_; }

  bool operator==(const TShapeProps&) const = default;

  // False for fewer than three points and for the default rectangle.
  bool HasWrapPolygon() const;
  // Replaces the polygon, keeping at most MaxPolygonPoints points clamped to the polygon space.
  void SetWrapPolygon(const std::vector<TPoint>& points);
  // The properties that have names, as the shape-property text of rich text.
  std::string FormatRtfText() const;
  // Sets the named properties of shape-property text ("{\sp{\sn name}{\sv value}}" groups);
  // unknown names, values that are not numbers and damaged groups are skipped. The number of
  // properties taken.
  int32_t ParseRtfText(const std::string& text);

 private:
  std::vector<std::pair<int32_t, int32_t>> pairs_;  // sorted by id, each id once
};

// The default wrap polygon: the four corners of the polygon space.
const std::vector<TShapeProps::TPoint>& DefaultWrapPolygon();

}  // namespace qv
