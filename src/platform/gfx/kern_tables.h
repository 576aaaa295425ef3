#pragma once
// Reading kerning pairs from the raw 'kern' and 'GPOS' tables of a face. Kept apart from the
// FreeType side so the readers can be driven with any bytes: every read is bounds-checked, and the
// work one face may cost is capped, so a damaged or hostile font gives fewer pairs, never a fault
// or a hang.
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace plat::gfx_detail {

struct KernUnits {
  uint32_t left, right;  // glyph indexes
  int32_t amount;        // font units
};

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

}  // namespace plat::gfx_detail
