#pragma once
// Page ranges typed into the print dialog: "1-3, 5; 8" (commas or semicolons between ranges,
// blanks ignored).
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace plat {

struct PageRange {
  int32_t from = 0;  // 1-based, from <= to
  int32_t to = 0;
  friend bool operator==(const PageRange&, const PageRange&) = default;
};

// The ranges of the text, each within minPage..maxPage with from <= to; nullopt when a part is
// not a number or a range, or lies outside the limits. An empty text gives no ranges (nullopt):
// there is nothing to print.
std::optional<std::vector<PageRange>> ParsePageRanges(std::u16string_view text, int32_t minPage,
                                                      int32_t maxPage);

}  // namespace plat
