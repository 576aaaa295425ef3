#include "platform/system/mul_div.h"

#include <algorithm>
#include <climits>

namespace plat {

int64_t MulDiv64(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  // |a * b| is at most 2^126 and |c| at most 2^63: both fit the unsigned 128-bit magnitudes.
  const __int128 product = static_cast<__int128>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  using U128 = unsigned __int128;
  const U128 magnitude = product < 0 ? static_cast<U128>(-product) : static_cast<U128>(product);
  const U128 divisor = c < 0 ? static_cast<U128>(-static_cast<__int128>(c)) : static_cast<U128>(c);
  const U128 q = (magnitude + divisor / 2) / divisor;
  if (negative) {
    const U128 limit = static_cast<U128>(INT64_MAX) + 1;
    return q >= limit ? INT64_MIN : -static_cast<int64_t>(q);
  }
  return q > static_cast<U128>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(q);
}

int32_t MulDiv(int64_t a, int64_t b, int64_t c) {
  return static_cast<int32_t>(std::clamp<int64_t>(MulDiv64(a, b, c), INT32_MIN, INT32_MAX));
}

}  // namespace plat
