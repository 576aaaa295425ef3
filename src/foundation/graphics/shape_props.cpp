#include "foundation/graphics/shape_props.h"

namespace qv {

const std::array<TShapePropName, 24> ShapePropNames = {{
    {"alignHR", 916},
    {"dxHeightHR", 917},
    {"dxWidthHR", 918},
    {"dxWrapDistLeft", 900},
    {"dxWrapDistRight", 902},
    {"dyWrapDistBottom", 903},
    {"dyWrapDistTop", 901},
    {"fBehindDocument", 954},
    {"fFilled", 443},
    {"fHorizRule", 948},
    {"fillColor", 385},
    {"fLayoutInCell", 944},
    {"fLine", 508},
    {"fLockAspectRatio", 120},
    {"fNoshadeHR", 947},
    {"fStandardHR", 946},
    {"pctHR", 915},
    {"pib", 260},
    {"posh", 911},
    {"posrelh", 912},
    {"posrelv", 914},
    {"posv", 913},
    {"pWrapPolygonVertices", 899},
    {"shapeType", 1},
}};

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Negative, 0 or positive as a sorts before, with or after b without regard to (ASCII) case.
int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
    const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int32_t ShapePropIdByName(std::string_view name) {
  size_t low = 0, high = ShapePropNames.size();
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    const int c = CompareNoCase(ShapePropNames[mid].Name, name);
    if (c == 0) return ShapePropNames[mid].Id;
    if (c < 0) low = mid + 1;
    else high = mid;
  }
  return -1;
}

std::string ShapePropNameById(int32_t id) {
  for (size_t i = ShapePropNames.size(); i-- > 0;)
    if (ShapePropNames[i].Id == id) return ShapePropNames[i].Name;
  return {};
}

int32_t DefaultShapePropValue(int32_t id) {
  switch (id) {
    case 120: case 901: case 903: case 911: case 913: case 916: case 954:
      return 0;
    case 385:
      return 0xFFFFFF;  // fill colour: white
    case 900: case 902:
      return 114305;    // left and right wrap distance: about an eighth of an inch, in EMU
    case 912: case 914:
      return 2;         // position relative to the column and the paragraph
    case 944:
      return 1;         // laid out in its table cell
    default:
      return kNoShapePropDefault;
  }
}

}  // namespace qv
