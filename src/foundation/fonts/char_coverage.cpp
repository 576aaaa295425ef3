#include "foundation/fonts/char_coverage.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>

#include "foundation/fonts/font_files.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

namespace qv {

namespace {

// The last code point of Unicode.
constexpr uint32_t kLastCodePoint = 0x10FFFF;

// A run of listed codes, both ends inclusive.
struct TCodePiece {
  uint32_t First;
  uint32_t Last;
};

constexpr std::array<TUnicodeBlock, 120> kBlocks = {{
    {0x0020, 0x007F, "Basic Latin"},
    {0x0080, 0x00FF, "Latin-1"},
    {0x0100, 0x017F, "Latin Extended-A"},
    {0x0180, 0x024F, "Latin Extended-B"},
    {0x0250, 0x02AF, "IPA Extensions"},
    {0x02B0, 0x02FF, "Spacing Modifier Letters"},
    {0x0300, 0x036F, "Combining Diacritical Marks"},
    {0x0370, 0x03FF, "Greek and Coptic"},
    {0x0400, 0x04FF, "Cyrillic"},
    {0x0500, 0x052F, "Cyrillic Supplementary"},
    {0x0530, 0x058F, "Armenian"},
    {0x0590, 0x05FF, "Hebrew"},
    {0x0600, 0x06FF, "Arabic"},
    {0x0700, 0x074F, "Syriac"},
    {0x0750, 0x077F, "Arabic Supplement"},
    {0x0780, 0x07BF, "Thaana"},
    {0x0900, 0x097F, "Devanagari"},
    {0x0980, 0x09FF, "Bengali"},
    {0x0A00, 0x0A7F, "Gurmukhi"},
    {0x0A80, 0x0AFF, "Gujarati"},
    {0x0B00, 0x0B7F, "Oriya"},
    {0x0B80, 0x0BFF, "Tamil"},
    {0x0C00, 0x0C7F, "Telugu"},
    {0x0C80, 0x0CFF, "Kannada"},
    {0x0D00, 0x0D7F, "Malayalam"},
    {0x0D80, 0x0DFF, "Sinhala"},
    {0x0E00, 0x0E7F, "Thai"},
    {0x0E80, 0x0EFF, "Lao"},
    {0x0F00, 0x0FFF, "Tibetan"},
    {0x1000, 0x109F, "Myanmar"},
    {0x10A0, 0x10FF, "Georgian"},
    {0x1100, 0x11FF, "Hangul Jamo"},
    {0x1200, 0x137F, "Ethiopic"},
    {0x1380, 0x139F, "Ethiopic Supplement"},
    {0x13A0, 0x13FF, "Cherokee"},
    {0x1400, 0x167F, "Unified Canadian Aboriginal Syllabics"},
    {0x1680, 0x169F, "Ogham"},
    {0x16A0, 0x16FF, "Runic"},
    {0x1700, 0x171F, "Tagalog"},
    {0x1720, 0x173F, "Hanunoo"},
    {0x1740, 0x175F, "Buhid"},
    {0x1760, 0x177F, "Tagbanwa"},
    {0x1780, 0x17FF, "Khmer"},
    {0x1800, 0x18AF, "Mongolian"},
    {0x1900, 0x194F, "Limbu"},
    {0x1950, 0x197F, "Tai Le"},
    {0x1980, 0x19DF, "New Tai Lue"},
    {0x19E0, 0x19FF, "Khmer Symbols"},
    {0x1A00, 0x1A1F, "Buginese"},
    {0x1D00, 0x1D7F, "Phonetic Extensions"},
    {0x1D80, 0x1DBF, "Phonetic Extensions Supplement"},
    {0x1DC0, 0x1DFF, "Combining Diacritical Marks Supplement"},
    {0x1E00, 0x1EFF, "Latin Extended Additional"},
    {0x1F00, 0x1FFF, "Greek Extended"},
    {0x2000, 0x206F, "General Punctuation"},
    {0x2070, 0x209F, "Superscripts and Subscripts"},
    {0x20A0, 0x20CF, "Currency Symbols"},
    {0x20D0, 0x20FF, "Combining Diacritical Marks for Symbols"},
    {0x2100, 0x214F, "Letterlike Symbols"},
    {0x2150, 0x218F, "Number Forms"},
    {0x2190, 0x21FF, "Arrows"},
    {0x2200, 0x22FF, "Mathematical Operators"},
    {0x2300, 0x23FF, "Miscellaneous Technical"},
    {0x2400, 0x243F, "Control Pictures"},
    {0x2440, 0x245F, "Optical Character Recognition"},
    {0x2460, 0x24FF, "Enclosed Alphanumerics"},
    {0x2500, 0x257F, "Box Drawing"},
    {0x2580, 0x259F, "Block Elements"},
    {0x25A0, 0x25FF, "Geometric Shapes"},
    {0x2600, 0x26FF, "Miscellaneous Symbols"},
    {0x2700, 0x27BF, "Dingbats"},
    {0x27C0, 0x27EF, "Miscellaneous Mathematical Symbols-A"},
    {0x27F0, 0x27FF, "Supplemental Arrows-A"},
    {0x2800, 0x28FF, "Braille Patterns"},
    {0x2900, 0x297F, "Supplemental Arrows-B"},
    {0x2980, 0x29FF, "Miscellaneous Mathematical Symbols-B"},
    {0x2A00, 0x2AFF, "Supplemental Mathematical Operators"},
    {0x2B00, 0x2BFF, "Miscellaneous Symbols and Arrows"},
    {0x2C00, 0x2C5F, "Glagolitic"},
    {0x2C80, 0x2CFF, "Coptic"},
    {0x2D00, 0x2D2F, "Georgian Supplement"},
    {0x2D30, 0x2D7F, "Tifinagh"},
    {0x2D80, 0x2DDF, "Ethiopic Extended"},
    {0x2E00, 0x2E7F, "Supplemental Punctuation"},
    {0x2E80, 0x2EFF, "CJK Radicals Supplement"},
    {0x2F00, 0x2FDF, "Kangxi Radicals"},
    {0x2FF0, 0x2FFF, "Ideographic Description Characters"},
    {0x3000, 0x303F, "CJK Symbols and Punctuation"},
    {0x3040, 0x309F, "Hiragana"},
    {0x30A0, 0x30FF, "Katakana"},
    {0x3100, 0x312F, "Bopomofo"},
    {0x3130, 0x318F, "Hangul Compatibility Jamo"},
    {0x3190, 0x319F, "Kanbun"},
    {0x31A0, 0x31BF, "Bopomofo Extended"},
    {0x31C0, 0x31EF, "CJK Strokes"},
    {0x31F0, 0x31FF, "Katakana Phonetic Extensions"},
    {0x3200, 0x32FF, "Enclosed CJK Letters and Months"},
    {0x3300, 0x33FF, "CJK Compatibility"},
    {0x3400, 0x4DBF, "CJK Unified Ideographs Extension A"},
    {0x4DC0, 0x4DFF, "Yijing Hexagram Symbols"},
    {0x4E00, 0x9FFF, "CJK Unified Ideographs"},
    {0xA000, 0xA48F, "Yi Syllables"},
    {0xA490, 0xA4CF, "Yi Radicals"},
    {0xA700, 0xA71F, "Modifier Tone Letters"},
    {0xA800, 0xA82F, "Syloti Nagri"},
    {0xAC00, 0xD7AF, "Hangul Syllables"},
    {0xD800, 0xDB7F, "High Surrogates"},
    {0xDB80, 0xDBFF, "High Private Use Surrogates"},
    {0xDC00, 0xDFFF, "Low Surrogates"},
    {0xE000, 0xF8FF, "Private Use Area"},
    {0xF900, 0xFAFF, "CJK Compatibility Ideographs"},
    {0xFB00, 0xFB4F, "Alphabetic Presentation Forms"},
    {0xFB50, 0xFDFF, "Arabic Presentation Forms-A"},
    {0xFE00, 0xFE0F, "Variation Selectors"},
    {0xFE10, 0xFE1F, "Vertical Forms"},
    {0xFE20, 0xFE2F, "Combining Half Marks"},
    {0xFE30, 0xFE4F, "CJK Compatibility Forms"},
    {0xFE50, 0xFE6F, "Small Form Variants"},
    {0xFE70, 0xFEFF, "Arabic Presentation Forms-B"},
    {0xFF00, 0xFFEF, "Halfwidth and Fullwidth Forms"},
}};

// Reads a big-endian value; false when it would run past the end.
bool Read16(const std::string& s, size_t at, uint16_t& v) {
  if (at > s.size() || s.size() - at < 2) return false;
  v = ReadBigEndian16(s.data() + at);
  return true;
}
bool Read32(const std::string& s, size_t at, uint32_t& v) {
  if (at > s.size() || s.size() - at < 4) return false;
  v = ReadBigEndian32(s.data() + at);
  return true;
}

struct Segment {
  uint32_t Start;
  uint32_t End;
};

// The segments of the first Windows Unicode or symbol subtable, when it has format 4.
bool ReadFormat4Segments(const std::string& cmap, std::vector<Segment>& segments) {
  uint16_t count = 0;
  if (!Read16(cmap, 2, count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t record = 4 + size_t{i} * 8;
    uint16_t platform = 0, encoding = 0;
    uint32_t offset = 0;
    if (!Read16(cmap, record, platform) || !Read16(cmap, record + 2, encoding) ||
        !Read32(cmap, record + 4, offset))
      return false;
    if (platform != 3 || (encoding != 0 && encoding != 1)) continue;
    // Only the first such record counts.
    uint16_t format = 0, segCountX2 = 0;
    if (!Read16(cmap, offset, format) || format != 4) return false;
    if (!Read16(cmap, size_t{offset} + 6, segCountX2)) return false;
    const size_t segCount = segCountX2 / 2;
    const size_t ends = size_t{offset} + 14;
    const size_t starts = ends + segCount * 2 + 2;
    for (size_t k = 0; k < segCount; ++k) {
      uint16_t start = 0, end = 0;
      if (!Read16(cmap, ends + k * 2, end) || !Read16(cmap, starts + k * 2, start)) {
        segments.clear();
        return false;
      }
      // The segment that closes every format-4 map holds no character.
      if (end != 0xFFFF) segments.push_back({start, end});
    }
    return true;
  }
  return false;
}

// Offset of the first full-Unicode subtable: Windows encoding 10, else the Unicode platform's
// encodings 4 and 6 (the repertoire past the basic plane). False when there is none.
bool FindFullUnicodeSubtable(const std::string& cmap, uint32_t& offset) {
  uint16_t count = 0;
  if (!Read16(cmap, 2, count)) return false;
  bool unicodePlatform = false;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t record = 4 + size_t{i} * 8;
    uint16_t platform = 0, encoding = 0;
    uint32_t at = 0;
    if (!Read16(cmap, record, platform) || !Read16(cmap, record + 2, encoding) ||
        !Read32(cmap, record + 4, at))
      break;
    if (platform == 3 && encoding == 10) {
      offset = at;
      return true;
    }
    if (platform == 0 && (encoding == 4 || encoding == 6) && !unicodePlatform) {
      offset = at;
      unicodePlatform = true;
    }
  }
  return unicodePlatform;
}

// The groups of a format-12 (codes on consecutive glyphs) or format-13 (codes on one glyph)
// subtable, as segments of the codes that reach a glyph. False when the subtable is of another
// format or runs past the table.
bool ReadSegmentedGroups(const std::string& cmap, uint32_t offset, std::vector<Segment>& segments) {
  uint16_t format = 0;
  uint32_t groups = 0;
  if (!Read16(cmap, offset, format) || (format != 12 && format != 13)) return false;
  if (!Read32(cmap, size_t{offset} + 12, groups)) return false;
  const size_t first = size_t{offset} + 16;
  if (first > cmap.size() || (cmap.size() - first) / 12 < groups) return false;
  for (uint32_t g = 0; g < groups; ++g) {
    uint32_t start = 0, end = 0, glyph = 0;
    Read32(cmap, first + size_t{g} * 12, start);
    Read32(cmap, first + size_t{g} * 12 + 4, end);
    Read32(cmap, first + size_t{g} * 12 + 8, glyph);
    // Glyph 0 is the missing-character box: a code mapped to it is not covered.
    if (glyph == 0) {
      if (format == 13 || start >= end) continue;
      ++start;
    }
    end = std::min<uint32_t>(end, kLastCodePoint);
    if (start <= end) segments.push_back({start, end});
  }
  return true;
}

// The codes of [first, last] that are listed, as pieces: never control codes (below 32), the
// byte range's second control block and no-break space (128..160), the soft hyphen (173), the
// surrogates, U+FFFE or U+FFFF.
void AddPieces(std::vector<TCodePiece>& pieces, uint32_t first, uint32_t last) {
  static constexpr Segment kNever[] = {{0, 31}, {128, 160}, {173, 173}, {0xD800, 0xDFFF}, {0xFFFE, 0xFFFF}};
  for (const Segment& never : kNever) {
    if (first > last) return;
    if (last < never.Start || first > never.End) continue;
    if (first < never.Start) pieces.push_back({first, never.Start - 1});
    if (never.End >= last) return;
    first = std::max(first, never.End + 1);
  }
  if (first <= last) pieces.push_back({first, last});
}

// The covered codes as pieces in list order, each code in one piece only: the segments of a
// sound table never overlap, while a damaged one could repeat the whole plane in each of
// thousands of segments. The codes listed so far are kept as disjoint ranges, so a segment costs
// only the codes it adds and the ranges it meets.
void ListSegments(const std::vector<Segment>& segments, std::vector<TCodePiece>& pieces) {
  std::map<uint32_t, uint32_t> listed;  // first code -> last code
  for (const Segment& seg : segments) {
    const uint32_t lo = seg.Start, hi = seg.End;
    if (lo > hi) continue;
    auto it = listed.upper_bound(lo);
    if (it != listed.begin() && std::prev(it)->second + 1 >= lo) --it;
    uint32_t next = lo, first = lo, last = hi;
    for (; it != listed.end() && it->first <= hi + 1; it = listed.erase(it)) {
      if (it->first > next) AddPieces(pieces, next, std::min(hi, it->first - 1));
      next = std::max(next, it->second + 1);
      first = std::min(first, it->first);
      last = std::max(last, it->second);
    }
    if (next <= hi) AddPieces(pieces, next, hi);
    listed.emplace(first, last);
  }
}

// The covered codes of a character map as pieces (see CmapCharacters for which and in what
// order).
void CmapPieces(const std::string& cmap, std::vector<TCodePiece>& pieces, bool& found) {
  pieces.clear();
  std::vector<Segment> basic, full;
  found = ReadFormat4Segments(cmap, basic);
  uint32_t offset = 0;
  const bool hasFull = FindFullUnicodeSubtable(cmap, offset) && ReadSegmentedGroups(cmap, offset, full);
  if (!found && hasFull) {
    // The full map stands for the basic plane too: its codes below U+10000 come first.
    found = true;
    for (const Segment& seg : full)
      if (seg.Start <= 0xFFFF) basic.push_back({seg.Start, std::min<uint32_t>(seg.End, 0xFFFF)});
  }
  if (!found) basic.push_back({0, 0xFF});
  ListSegments(basic, pieces);
  // Past the basic plane, in ascending order.
  std::vector<Segment> beyond;
  for (const Segment& seg : full)
    if (seg.End > 0xFFFF) beyond.push_back({std::max<uint32_t>(seg.Start, 0x10000), seg.End});
  std::sort(beyond.begin(), beyond.end(), [](const Segment& a, const Segment& b) { return a.Start < b.Start; });
  ListSegments(beyond, pieces);
}

}  // namespace

std::span<const TUnicodeBlock> UnicodeBlocks() { return kBlocks; }

int32_t FindUnicodeBlock(uint32_t code) {
  auto it = std::upper_bound(kBlocks.begin(), kBlocks.end(), code,
                             [](uint32_t c, const TUnicodeBlock& b) { return c < b.Start; });
  if (it == kBlocks.begin()) return static_cast<int32_t>(0x80000000u);
  --it;
  if (code > it->End) return static_cast<int32_t>(0x80000000u);
  return static_cast<int32_t>(it - kBlocks.begin());
}

bool IsPrivateUseChar(uint32_t code) { return code >= 0xE000 && code <= 0xF8FF; }

void CmapCharacters(const std::string& cmap, std::vector<uint32_t>& codes, bool& found) {
  std::vector<TCodePiece> pieces;
  CmapPieces(cmap, pieces, found);
  codes.clear();
  for (const TCodePiece& piece : pieces)
    for (uint32_t code = piece.First; code <= piece.Last; ++code) codes.push_back(code);
}

void GetFontCharacters(const plat::Font& font, std::vector<uint32_t>& codes, bool& found) {
  CmapCharacters(font.TableData("cmap"), codes, found);
}

void GetFontCharacters(const plat::Canvas& canvas, std::vector<uint32_t>& codes, bool& found) {
  GetFontCharacters(canvas.GetFont(), codes, found);
}

TCharCoverage::TCharCoverage(std::vector<uint32_t> codes) {
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  for (uint32_t code : codes) {
    if (!ranges_.empty() && ranges_.back().Last + 1 == code)
      ranges_.back().Last = code;
    else
      ranges_.push_back({code, code, count_});
    ++count_;
  }
}

TCharCoverage TCharCoverage::FromCmap(const std::string& cmap) {
  std::vector<TCodePiece> pieces;
  bool found = false;
  CmapPieces(cmap, pieces, found);
  // The pieces never share a code, so sorted by their first code they are ascending ranges.
  std::sort(pieces.begin(), pieces.end(), [](const TCodePiece& a, const TCodePiece& b) { return a.First < b.First; });
  TCharCoverage coverage;
  for (const TCodePiece& piece : pieces) {
    if (!coverage.ranges_.empty() && coverage.ranges_.back().Last + 1 == piece.First)
      coverage.ranges_.back().Last = piece.Last;
    else
      coverage.ranges_.push_back({piece.First, piece.Last, coverage.count_});
    coverage.count_ += static_cast<int32_t>(piece.Last - piece.First + 1);
  }
  return coverage;
}

int32_t TCharCoverage::IndexOf(uint32_t code) const {
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), code,
                             [](uint32_t c, const TRange& r) { return c < r.First; });
  if (it == ranges_.begin()) return -1;
  --it;
  if (code > it->Last) return -1;
  return it->Before + static_cast<int32_t>(code - it->First);
}

}  // namespace qv
