// The look at a font's character maps before fontconfig scans it: segmented maps spanning far more
// codes than Unicode has are refused, ordinary ones pass, and truncated or foreign data is left to
// fontconfig.
#include "platform/gfx/font_file_check.h"

#include "platform/gfx/font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

void Put16(std::string& s, uint32_t v) {
  s.push_back(char(v >> 8));
  s.push_back(char(v));
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v >> 16);
  Put16(s, v & 0xFFFF);
}

// A font with one table, a character map holding one format-12 subtable with these groups.
std::string FontWithGroups(const std::vector<std::pair<uint32_t, uint32_t>>& groups,
                           uint32_t claimedGroups = UINT32_MAX) {
  std::string cmap;
  Put16(cmap, 0);   // version
  Put16(cmap, 1);   // one encoding record
  Put16(cmap, 3);   // platform
  Put16(cmap, 10);  // encoding
  Put32(cmap, 12);  // subtable offset
  Put16(cmap, 12);  // format
  Put16(cmap, 0);
  Put32(cmap, 16 + 12 * uint32_t(groups.size()));
  Put32(cmap, 0);   // language
  Put32(cmap, claimedGroups == UINT32_MAX ? uint32_t(groups.size()) : claimedGroups);
  for (const auto& [start, end] : groups) {
    Put32(cmap, start);
    Put32(cmap, end);
    Put32(cmap, 1);  // first glyph
  }
  std::string font;
  Put32(font, 0x00010000);
  Put16(font, 1);  // one table
  Put16(font, 16);
  Put16(font, 0);
  Put16(font, 0);
  Put32(font, 0x636D6170);  // "cmap"
  Put32(font, 0);
  Put32(font, 28);          // offset: after the header and the one record
  Put32(font, uint32_t(cmap.size()));
  return font + cmap;
}

TEST(FontFileCheck, SegmentedMapsAreBoundedByUnicode) {
  struct Case {
    const char* name;
    std::string data;
    bool sane;
  } cases[] = {
      {"ordinary groups", FontWithGroups({{0x20, 0x7E}, {0xA0, 0x17F}, {0x1F600, 0x1F64F}}), true},
      {"all of Unicode once", FontWithGroups({{0, 0x10FFFF}}), true},
      {"every 32-bit code", FontWithGroups({{0, 0xFFFFFFFF}}), false},
      {"a little past Unicode", FontWithGroups({{0x20, 0x7E}, {0x110000, 0x13FFFF}}), true},
      {"a reversed group maps nothing", FontWithGroups({{0x100, 0x20}}), true},
      {"Unicode three times", FontWithGroups({{0, 0x10FFFF}, {0, 0x10FFFF}, {0, 0x10FFFF}}), false},
      {"more groups claimed than bytes", FontWithGroups({{0x20, 0x7E}}, 100000000), false},
      {"not a font", std::string("plain text, not a font"), true},
      {"empty", std::string(), true},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::FontCharacterMapsAreSane(c.data), c.sane) << c.name;
  // A truncated font never reads past its end.
  const std::string whole = FontWithGroups({{0, 0xFFFFFFFF}});
  for (size_t n = 0; n < whole.size(); ++n) plat::FontCharacterMapsAreSane(whole.substr(0, n));
}

// A portable copy's font folder holding such a file: the file is not added (fontconfig would
// scan every code of it), instead of stalling the program.
TEST(FontFileCheck, AHostileFontFileIsNotAdded) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/qv-hostile-cmap.ttf";
  {
    std::ofstream out(path, std::ios::binary);
    const std::string data = FontWithGroups({{0, 0xFFFFFFFF}});
    out.write(data.data(), std::streamsize(data.size()));
  }
  EXPECT_FALSE(plat::AddFontFile(path));
  std::remove(path.c_str());
}

}  // namespace
