#pragma once
// The character sets that typing looks characters up in, over 8-bit character codes.
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace qv {

namespace typing_sets_detail {

inline std::bitset<256> Make(std::initializer_list<std::pair<int, int>> ranges) {
  std::bitset<256> set;
  for (const auto& [from, to] : ranges)
    for (int c = from; c <= to; ++c) set.set(static_cast<size_t>(c));
  return set;
}

}  // namespace typing_sets_detail

// Word separators: control codes that stand for special characters, the space, ASCII
// punctuation but the apostrophe and the ampersand, and a few punctuation marks of the upper half.
inline const std::bitset<256>& WordSeparators() {
  static const std::bitset<256> set = typing_sets_detail::Make(
      {{2, 14}, {16, 16}, {18, 20}, {32, 37}, {40, 47}, {58, 64}, {91, 95}, {123, 126},
       {128, 128}, {130, 130}, {132, 133}, {147, 148}, {153, 153}, {169, 169}, {171, 171},
       {174, 174}, {187, 187}});
  return set;
}

// What triggers AutoCorrect after it is typed: the word separators and the apostrophe.
inline const std::bitset<256>& AutoCorrectTriggers() {
  static const std::bitset<256> set = [] {
    std::bitset<256> s = WordSeparators();
    s.set(39);
    return s;
  }();
  return set;
}

// Characters that suit every keyboard layout (the space, ASCII punctuation, the digits, the
// typographic quotes): typing them keeps the typing font.
inline const std::bitset<256>& LayoutNeutralChars() {
  static const std::bitset<256> set = typing_sets_detail::Make(
      {{32, 64}, {91, 96}, {123, 127}, {132, 132}, {145, 148}, {171, 171}, {187, 187}});
  return set;
}

inline bool InSet(const std::bitset<256>& set, uint32_t code) {
  return code < 256 && set.test(code);
}

}  // namespace qv
