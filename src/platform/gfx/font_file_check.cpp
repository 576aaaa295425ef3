#include "platform/gfx/font_file_check.h"

#include <cstdint>

namespace plat {

namespace {

// Twice the codes Unicode has: room for maps that also reach past it a little, far below the
// thousands of millions that make fontconfig's scan a stall.
constexpr uint64_t kMaxCodes = 2 * 0x110000;
constexpr uint32_t kMaxFonts = 64;      // fonts looked at in one collection
constexpr uint32_t kMaxTables = 512;    // table records of one font
constexpr uint32_t kMaxSubtables = 64;  // encoding records of one character map

bool Read16(std::string_view d, size_t at, uint32_t& v) {
  if (at > d.size() || d.size() - at < 2) return false;
  v = (uint32_t(uint8_t(d[at])) << 8) | uint8_t(d[at + 1]);
  return true;
}

bool Read32(std::string_view d, size_t at, uint32_t& v) {
  if (at > d.size() || d.size() - at < 4) return false;
  v = (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
      (uint32_t(uint8_t(d[at + 2])) << 8) | uint8_t(d[at + 3]);
  return true;
}

// One segmented subtable (format 12 or 13) at `at`.
bool SegmentedMapIsSane(std::string_view d, size_t at) {
  uint32_t groups = 0;
  if (!Read32(d, at + 12, groups)) return true;
  const size_t first = at + 16;
  if (first > d.size() || groups > (d.size() - first) / 12) return false;  // more groups than bytes
  uint64_t total = 0;
  for (uint32_t g = 0; g < groups; ++g) {
    uint32_t start = 0, end = 0;
    Read32(d, first + size_t{g} * 12, start);
    Read32(d, first + size_t{g} * 12 + 4, end);
    if (end < start) continue;  // maps nothing
    total += uint64_t{end} - start + 1;
    if (total > kMaxCodes) return false;
  }
  return true;
}

bool CharacterMapIsSane(std::string_view d, size_t cmap) {
  uint32_t count = 0;
  if (!Read16(d, cmap + 2, count)) return true;
  for (uint32_t i = 0; i < count && i < kMaxSubtables; ++i) {
    uint32_t offset = 0, format = 0;
    if (!Read32(d, cmap + 4 + size_t{i} * 8 + 4, offset)) return true;
    if (!Read16(d, cmap + size_t{offset}, format)) continue;
    if ((format == 12 || format == 13) && !SegmentedMapIsSane(d, cmap + offset)) return false;
  }
  return true;
}

bool FontIsSane(std::string_view d, size_t font) {
  uint32_t tables = 0;
  if (!Read16(d, font + 4, tables)) return true;
  for (uint32_t i = 0; i < tables && i < kMaxTables; ++i) {
    const size_t record = font + 12 + size_t{i} * 16;
    uint32_t tag = 0, offset = 0;
    if (!Read32(d, record, tag) || !Read32(d, record + 8, offset)) return true;
    if (tag == 0x636D6170 /* cmap */) return CharacterMapIsSane(d, offset);
  }
  return true;
}

}  // namespace

bool FontCharacterMapsAreSane(std::string_view data) {
  uint32_t tag = 0;
  if (!Read32(data, 0, tag)) return true;
  if (tag != 0x74746366 /* ttcf */) return FontIsSane(data, 0);
  uint32_t fonts = 0;
  if (!Read32(data, 8, fonts)) return true;
  for (uint32_t i = 0; i < fonts && i < kMaxFonts; ++i) {
    uint32_t offset = 0;
    if (!Read32(data, 12 + size_t{i} * 4, offset)) return true;
    if (!FontIsSane(data, offset)) return false;
  }
  return true;
}

}  // namespace plat
