#pragma once
// Small TrueType fonts built in the tests: empty glyphs of one advance, a Unicode character map
// of ranges (format 12, each range on consecutive glyphs, or format 13, each range on one glyph;
// optionally after a Windows basic-plane map of format 4, as most fonts have both),
// a 'kern' table of glyph pairs and a 'name' table with the family. Enough for FreeType and
// fontconfig to load the face and for its kerning to be read.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/font_bytes.h"

namespace qvtest {

struct TSfntRange {
  uint32_t First = 0, Last = 0, Glyph = 0;
};

struct TSfntKernPair {
  uint16_t Left = 0, Right = 0;
  int16_t Amount = 0;
};

struct TSfntFont {
  std::string Family;
  uint16_t GlyphCount = 4;
  std::vector<TSfntRange> Ranges;
  uint16_t CmapFormat = 12;  // 12: a range on consecutive glyphs; 13: a range on one glyph
  // A format-4 map of the ranges below U+10000 (each on consecutive glyphs) as the Windows
  // basic-plane record, listed before the full map.
  bool BasicPlaneMap = false;
  std::vector<TSfntKernPair> Kerning;
};

inline std::string SfntUtf16(const std::string& ascii) {
  std::string s;
  for (char c : ascii) Put16(s, static_cast<uint8_t>(c));
  return s;
}

// The format-4 subtable of the ranges' basic-plane parts, closed by the 0xFFFF segment.
inline std::string SfntFormat4(const TSfntFont& f) {
  std::vector<TSfntRange> segs;
  for (const TSfntRange& r : f.Ranges)
    if (r.First < 0xFFFF) segs.push_back({r.First, std::min<uint32_t>(r.Last, 0xFFFE), r.Glyph});
  segs.push_back({0xFFFF, 0xFFFF, 0});
  std::string ends, starts, deltas, offsets;
  for (const TSfntRange& r : segs) {
    Put16(ends, static_cast<uint16_t>(r.Last));
    Put16(starts, static_cast<uint16_t>(r.First));
    Put16(deltas, r.First == 0xFFFF ? 1 : static_cast<uint16_t>(r.Glyph - r.First));
    Put16(offsets, 0);
  }
  const uint16_t segX2 = static_cast<uint16_t>(segs.size() * 2);
  std::string sub;
  Put16(sub, 4);
  Put16(sub, static_cast<uint16_t>(16 + 4 * segX2));
  Put16(sub, 0);  // language
  Put16(sub, segX2);
  for (int k = 0; k < 3; ++k) Put16(sub, 0);  // search hints (FreeType does not need them)
  sub += ends;
  Put16(sub, 0);  // pad
  return sub + starts + deltas + offsets;
}

inline std::string SfntCmap(const TSfntFont& f) {
  std::string sub;
  Put16(sub, f.CmapFormat);
  Put16(sub, 0);
  Put32(sub, static_cast<uint32_t>(16 + 12 * f.Ranges.size()));
  Put32(sub, 0);  // language
  Put32(sub, static_cast<uint32_t>(f.Ranges.size()));
  for (const TSfntRange& r : f.Ranges) {
    Put32(sub, r.First);
    Put32(sub, r.Last);
    Put32(sub, r.Glyph);
  }
  const std::string basic = f.BasicPlaneMap ? SfntFormat4(f) : std::string();
  const uint16_t records = f.BasicPlaneMap ? 2 : 1;
  std::string s;
  Put16(s, 0);
  Put16(s, records);
  if (f.BasicPlaneMap) {
    Put16(s, 3);  // Windows
    Put16(s, 1);  // basic plane
    Put32(s, 4 + 8u * records);
  }
  Put16(s, 3);   // Windows
  Put16(s, 10);  // full Unicode
  Put32(s, static_cast<uint32_t>(4 + 8u * records + basic.size()));
  return s + basic + sub;
}

inline std::string SfntKern(const TSfntFont& f) {
  std::vector<TSfntKernPair> pairs = f.Kerning;
  std::sort(pairs.begin(), pairs.end(), [](const TSfntKernPair& a, const TSfntKernPair& b) {
    return a.Left != b.Left ? a.Left < b.Left : a.Right < b.Right;
  });
  std::string s;
  Put16(s, 0);  // version
  Put16(s, 1);  // one subtable
  Put16(s, 0);
  Put16(s, static_cast<uint16_t>(14 + 6 * pairs.size()));
  Put16(s, 1);  // horizontal, format 0
  Put16(s, static_cast<uint16_t>(pairs.size()));
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, 0);
  for (const TSfntKernPair& p : pairs) {
    Put16(s, p.Left);
    Put16(s, p.Right);
    Put16(s, static_cast<uint16_t>(p.Amount));
  }
  return s;
}

inline std::string SfntName(const TSfntFont& f) {
  const std::string family = SfntUtf16(f.Family), style = SfntUtf16("Regular");
  const std::string full = SfntUtf16(f.Family + " Regular"), ps = SfntUtf16("QvTestFont");
  const std::vector<std::pair<uint16_t, std::string>> records = {{1, family}, {2, style}, {4, full}, {6, ps}};
  std::string header, strings;
  Put16(header, 0);
  Put16(header, static_cast<uint16_t>(records.size()));
  Put16(header, static_cast<uint16_t>(6 + 12 * records.size()));
  for (const auto& [id, text] : records) {
    Put16(header, 3);
    Put16(header, 1);
    Put16(header, 0x409);
    Put16(header, id);
    Put16(header, static_cast<uint16_t>(text.size()));
    Put16(header, static_cast<uint16_t>(strings.size()));
    strings += text;
  }
  return header + strings;
}

// The whole font file.
inline std::string SfntFile(const TSfntFont& f) {
  const uint16_t n = f.GlyphCount;
  std::map<std::string, std::string> tables;
  std::string head;
  Put32(head, 0x00010000);
  Put32(head, 0x00010000);
  Put32(head, 0);           // checksum adjustment
  Put32(head, 0x5F0F3CF5);  // magic
  Put16(head, 0);
  Put16(head, 1000);  // units per em
  head += std::string(16, '\0');
  for (uint16_t v : {0, 0xFF38, 600, 800}) Put16(head, v);  // bounding box
  Put16(head, 0);  // mac style
  Put16(head, 8);
  Put16(head, 2);
  Put16(head, 0);  // short offsets
  Put16(head, 0);
  tables["head"] = head;
  std::string hhea;
  Put32(hhea, 0x00010000);
  for (uint16_t v : {800, 0xFF38, 0, 600, 0, 0, 600, 1, 0, 0, 0, 0, 0, 0, 0}) Put16(hhea, v);
  Put16(hhea, n);
  tables["hhea"] = hhea;
  std::string maxp;
  Put32(maxp, 0x00010000);
  Put16(maxp, n);
  for (uint16_t v : {0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}) Put16(maxp, v);
  tables["maxp"] = maxp;
  std::string hmtx, loca;
  for (uint16_t g = 0; g < n; ++g) {
    Put16(hmtx, 600);
    Put16(hmtx, 0);
  }
  for (uint32_t g = 0; g <= n; ++g) Put16(loca, 0);  // every glyph empty
  tables["hmtx"] = hmtx;
  tables["loca"] = loca;
  tables["glyf"] = std::string(4, '\0');
  std::string post;
  Put32(post, 0x00030000);
  post += std::string(28, '\0');
  tables["post"] = post;
  tables["cmap"] = SfntCmap(f);
  tables["name"] = SfntName(f);
  if (!f.Kerning.empty()) tables["kern"] = SfntKern(f);

  std::string file;
  Put32(file, 0x00010000);
  Put16(file, static_cast<uint16_t>(tables.size()));
  for (int k = 0; k < 3; ++k) Put16(file, 0);
  uint32_t offset = static_cast<uint32_t>(12 + 16 * tables.size());
  std::string data;
  for (const auto& [tag, bytes] : tables) {  // tags in ascending order
    file += tag;
    Put32(file, 0);
    Put32(file, offset + static_cast<uint32_t>(data.size()));
    Put32(file, static_cast<uint32_t>(bytes.size()));
    data += bytes;
    while (data.size() % 4) data += '\0';
  }
  return file + data;
}

}  // namespace qvtest
