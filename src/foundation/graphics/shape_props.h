#pragma once
// The drawing-shape properties the program names in text (the shape-property text that the RTF
// reader and writer exchange): their names, their numeric ids (those of the Word drawing format)
// and their defaults.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

struct TShapePropName {
  const char* Name;
  int32_t Id;
};

// The 24 named properties, sorted by name without regard to case.
extern const std::array<TShapePropName, 24> ShapePropNames;

// The id of a property name (compared without regard to case); -1 for an unknown name.
int32_t ShapePropIdByName(std::string_view name);
// The name of a property id; empty for an unknown id.
std::string ShapePropNameById(int32_t id);

// The value a property has when a shape does not set it; kNoShapePropDefault for a property
// without a default.
inline constexpr int32_t kNoShapePropDefault = static_cast<int32_t>(0x80000000u);
int32_t DefaultShapePropValue(int32_t id);

}  // namespace qv
