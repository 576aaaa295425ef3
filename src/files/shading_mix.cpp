#include "files/shading_mix.h"

#include <algorithm>

namespace qv {

int32_t MixedShading(int32_t percent, int32_t pattern, int32_t background) {
  const auto automatic = [](int32_t c) { return (static_cast<uint32_t>(c) & 0xFF000000u) != 0; };
  const uint32_t fore = automatic(pattern) ? 0x000000u : static_cast<uint32_t>(pattern);
  const uint32_t back = automatic(background) ? 0xFFFFFFu : static_cast<uint32_t>(background);
  const int32_t p = std::clamp(percent, 0, 10000);
  uint32_t mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int32_t f = static_cast<int32_t>((fore >> shift) & 0xFF);
    const int32_t b = static_cast<int32_t>((back >> shift) & 0xFF);
    mixed |= static_cast<uint32_t>(b + (f - b) * p / 10000) << shift;
  }
  return static_cast<int32_t>(mixed);
}

}  // namespace qv
