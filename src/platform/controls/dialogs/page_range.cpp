#include "platform/controls/dialogs/page_range.h"

#include <string>

namespace plat {
namespace {

// A page number of at most 9 digits.
std::optional<int32_t> Number(std::u16string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  int32_t v = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c - u'0');
  }
  return v;
}

}  // namespace

std::optional<std::vector<PageRange>> ParsePageRanges(std::u16string_view text, int32_t minPage,
                                                      int32_t maxPage) {
  std::u16string compact;
  for (char16_t c : text) {
    if (c != u' ' && c != u'\t') compact += c == u';' ? u',' : c;
  }
  std::vector<PageRange> ranges;
  size_t start = 0;
  while (start <= compact.size()) {
    size_t at = compact.find(u',', start);
    if (at == std::u16string::npos) at = compact.size();
    std::u16string_view part = std::u16string_view(compact).substr(start, at - start);
    start = at + 1;
    if (part.empty()) continue;  // "1,,3" and a trailing comma are harmless
    size_t dash = part.find(u'-');
    auto a = Number(dash == std::u16string_view::npos ? part : part.substr(0, dash));
    auto b = dash == std::u16string_view::npos ? a : Number(part.substr(dash + 1));
    if (!a || !b || *a > *b || *a < minPage || *b > maxPage) return std::nullopt;
    ranges.push_back({*a, *b});
  }
  if (ranges.empty()) return std::nullopt;
  return ranges;
}

}  // namespace plat
