#pragma once
// Reading kerning pairs from the raw 'kern' and 'GPOS' tables of a face. Kept apart from the
// FreeType side so the readers can be driven with any bytes: every read is bounds-checked, and the
// work one face may cost is capped, so a damaged or hostile font gives fewer pairs, never a fault
// or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace plat::gfx_detail {

struct KernUnits {
  uint32_t left, right;  // glyph indexes
  int32_t amount;        // font units
};

struct CharKernUnits {
  char16_t first, second;
  int32_t amount;  // font units
};

// The characters whose kerning is read: those that text in the system's code pages uses, the
// alphabets up to Hebrew, general punctuation, currency and letter-like symbols. (A class-kerned
// face would otherwise give hundreds of thousands of pairs between every script's letters.)
inline bool IsKernedChar(char32_t c) { return c < 0x0600 || (c >= 0x2000 && c < 0x2130); }

// The most character pairs a face may kern. The layout kerns the byte characters of one code
// page at a time (at most 224 by 224 pairs each), and the kerned characters above are some 1,800
// in all; the largest faces in use give about 50,000 pairs between them. A face whose character
// map sends many characters to one glyph stands for every pair of those characters (a single
// pair of a glyph that all of the first 64K characters share is four thousand million), so a face
// past this bound gets no kerning at all rather than an arbitrary part of it.
inline constexpr size_t kMaxCharKerningPairs = size_t{1} << 20;

// The work one face may cost, in steps (a glyph listed, a record looked at, a pair kept or merged):
// some fifteen times what the largest faces in use cost (about a million steps), far below a hang.
inline constexpr uint64_t kKerningWorkBudget = uint64_t{1} << 24;

// The pairs of the 'kern' table's horizontal subtables, else (when it gives none) those of the
// 'kern' feature of the GPOS table; sorted by glyph pair, each pair once (the first table or
// subtable that gives it wins), pairs of amount 0 left out. `wanted`, when given, keeps only pairs
// whose two glyphs it holds. Reading stops, with the pairs found so far, when the work budget is
// spent.
std::vector<KernUnits> ReadKerningTables(std::string_view kern, std::string_view gpos,
                                         const std::unordered_set<uint32_t>* wanted,
                                         uint64_t workBudget = kKerningWorkBudget);

// The pairs of glyphs as pairs of the kerned characters each glyph stands for (`glyphChars` maps a
// glyph to its characters), sorted by first then second character; none at all when they would
// be more than kMaxCharKerningPairs.
std::vector<CharKernUnits> CharKerningPairs(const std::vector<KernUnits>& pairs,
                                            const std::unordered_multimap<uint32_t, char16_t>& glyphChars);

}  // namespace plat::gfx_detail
