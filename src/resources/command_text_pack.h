#pragma once
// The command names and long hints are written here as tables of {id, text} in any order and
// turned, while the program is compiled, into the packed layout the command manager reads:
//
//   a 32-bit count N; N command ids (32-bit, ascending); N 32-bit entries, each
//   offset * 1024 + length (offset from the start of the resource, length at most 1023 bytes);
//   then the texts one after another, without terminators.
//
// All numbers are little-endian. The texts are plain ASCII, which every system code page holds
// alike. A table that breaks the layout (an id twice, an empty or over-long text, a byte outside
// ASCII) does not compile.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qv {

struct TCommandText {
  int32_t Id = 0;
  std::string_view Text;
};

inline constexpr size_t kMaxCommandTextLength = 1023;

// The number of bytes the packed table takes; checks the texts on the way.
consteval size_t PackedCommandTextsSize(std::span<const TCommandText> table) {
  size_t size = 4 + 8 * table.size();
  for (const TCommandText& t : table) {
    if (t.Id <= 0) throw "a command id is not positive";
    if (t.Text.empty()) throw "a command text is empty";
    if (t.Text.size() > kMaxCommandTextLength) throw "a command text is longer than 1023 bytes";
    for (char c : t.Text)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
        throw "a command text holds a byte outside printable ASCII";
    size += t.Text.size();
  }
  return size;
}

namespace detail {

constexpr void PutLE32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t((value >> (8 * i)) & 0xFF);
}

}  // namespace detail

// The packed bytes of a table (a constexpr array with static storage), sorted by id.
template <const auto& Table>
consteval std::array<uint8_t, PackedCommandTextsSize(Table)> PackCommandTexts() {
  constexpr size_t n = std::size(Table);
  std::array<TCommandText, n> sorted{};
  std::copy(std::begin(Table), std::end(Table), sorted.begin());
  std::sort(sorted.begin(), sorted.end(),
            [](const TCommandText& a, const TCommandText& b) { return a.Id < b.Id; });
  for (size_t i = 1; i < n; ++i)
    if (sorted[i - 1].Id == sorted[i].Id) throw "a command id has two texts";

  std::array<uint8_t, PackedCommandTextsSize(Table)> out{};
  detail::PutLE32(out.data(), uint32_t(n));
  size_t offset = 4 + 8 * n;
  if (out.size() >= (size_t{1} << 22)) throw "the packed table is too large for its offsets";
  for (size_t i = 0; i < n; ++i) {
    const TCommandText& t = sorted[i];
    detail::PutLE32(out.data() + 4 + 4 * i, uint32_t(t.Id));
    detail::PutLE32(out.data() + 4 + 4 * n + 4 * i, uint32_t(offset * 1024 + t.Text.size()));
    for (char c : t.Text) out[offset++] = uint8_t(c);
  }
  return out;
}

}  // namespace qv
