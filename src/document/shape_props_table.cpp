#include "document/shape_props_table.h"

#include <algorithm>
#include <charconv>

#include "foundation/graphics/shape_props.h"

namespace qv {

namespace {

bool AlwaysStored(int32_t id) { return id == spLockAspectRatio || id == spLayoutInCell; }

// The text between `open` and the matching "}" from `from`; npos when the group is damaged.
size_t GroupValue(const std::string& text, const char* open, size_t from, std::string& value) {
  const size_t start = text.find(open, from);
  if (start == std::string::npos) return std::string::npos;
  const size_t begin = start + std::char_traits<char>::length(open);
  const size_t end = text.find('}', begin);
  if (end == std::string::npos) return std::string::npos;
  value.assign(text, begin, end - begin);
  while (!value.empty() && value.front() == ' ') value.erase(value.begin());
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return end + 1;
}

}  // namespace

const std::vector<TShapeProps::TPoint>& DefaultWrapPolygon() {
  static const std::vector<TShapeProps::TPoint> points = {
      {kWrapPolygonSpan, 0}, {kWrapPolygonSpan, kWrapPolygonSpan}, {0, kWrapPolygonSpan}, {0, 0}};
  return points;
}

bool TShapeProps::HasProp(int32_t id) const {
  return std::any_of(pairs_.rbegin(), pairs_.rend(), [id](const auto& p) { return p.first == id; });
}

int32_t TShapeProps::GetProp(int32_t id) const {
  for (auto it = pairs_.rbegin(); it != pairs_.rend(); ++it)
    if (it->first == id) return it->second;
  return DefaultShapePropValue(id);
}

void TShapeProps::SetProp(int32_t id, int32_t value) {
  if (value == kShapePropUnset || (value == DefaultShapePropValue(id) && !AlwaysStored(id))) {
    RemoveProp(id);
    return;
  }
  auto it = std::lower_bound(pairs_.begin(), pairs_.end(), id,
                             [](const auto& p, int32_t key) { return p.first < key; });
  if (it != pairs_.end() && it->first == id) {
    it->second = value;
    return;
  }
  if (pairs_.size() >= MaxPairs) return;
  pairs_.insert(it, {id, value});
}

void TShapeProps::RemoveProp(int32_t id) {
  std::erase_if(pairs_, [id](const auto& p) { return p.first == id; });
}

bool TShapeProps::HasWrapPolygon() const {
  return WrapPolygon.size() >= 3 && WrapPolygon != DefaultWrapPolygon();
}

void TShapeProps::SetWrapPolygon(const std::vector<TPoint>& points) {
  const size_t n = std::min(points.size(), MaxPolygonPoints);
  WrapPolygon.assign(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(n));
  for (TPoint& p : WrapPolygon) {
    p.X = std::clamp(p.X, 0, kWrapPolygonSpan);
    p.Y = std::clamp(p.Y, 0, kWrapPolygonSpan);
  }
}

std::string TShapeProps::FormatRtfText() const {
  std::string text;
  for (const auto& [id, value] : pairs_) {
    const std::string name = ShapePropNameById(id);
    if (name.empty()) continue;
    text += "{\\sp{\\sn " + name + "}{\\sv " + std::to_string(value) + "}}";
  }
  return text;
}

int32_t TShapeProps::ParseRtfText(const std::string& text) {
  int32_t taken = 0;
  size_t pos = 0;
  std::string name, value;
  while ((pos = text.find("{\\sp", pos)) != std::string::npos) {
    const size_t afterName = GroupValue(text, "{\\sn", pos + 1, name);
    if (afterName == std::string::npos) break;
    const size_t afterValue = GroupValue(text, "{\\sv", afterName, value);
    if (afterValue == std::string::npos) break;
    pos = afterValue;
    const int32_t id = ShapePropIdByName(name);
    int64_t number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (id < 0 || ec != std::errc() || end != value.data() + value.size()) continue;
    if (number < INT32_MIN || number > UINT32_MAX) continue;
    SetProp(id, static_cast<int32_t>(static_cast<uint32_t>(number)));
    ++taken;
  }
  return taken;
}

}  // namespace qv
