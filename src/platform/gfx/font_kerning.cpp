// Kerning pairs read from a face's own tables. Every read is bounds-checked: a damaged table
// gives fewer pairs, never a fault. Offsets and counts in a table are 16-bit, but they multiply:
// a hostile table can name billions of ranges, lookups or class pairs, so every loop draws on one
// work budget per face and stops when it is spent.
#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/gfx/font_face.h"
#include "platform/gfx/kern_tables.h"

namespace plat::gfx_detail {

namespace {

constexpr uint32_t Tag(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
         (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}

struct Reader {
  std::string_view d;
  bool Has(size_t off, size_t n) const { return off <= d.size() && n <= d.size() - off; }
  uint16_t U16(size_t off) const {
    return Has(off, 2) ? uint16_t((uint8_t(d[off]) << 8) | uint8_t(d[off + 1])) : 0;
  }
  int16_t S16(size_t off) const { return int16_t(U16(off)); }
  uint32_t U32(size_t off) const { return (uint32_t(U16(off)) << 16) | U16(off + 2); }
};

// Glyph indexes are 16-bit: a coverage or class table of a sound face names each at most once.
constexpr size_t kMaxGlyphList = 0x10000;

// Pairs are kept once: the first table or subtable that gives a pair wins. Each subtable's
// pairs are gathered, then merged into the pairs found so far (zero pairs included, since they
// too hide later subtables' values).
struct PairSink {
  std::vector<KernUnits> pairs;    // merged so far, sorted by glyph pair
  std::vector<KernUnits> current;  // the subtable being read
  const std::unordered_set<uint32_t>* wanted = nullptr;  // glyphs that have characters
  uint64_t budget = 0;
  // Takes `n` steps from the budget; false (and the budget gone) when it does not hold them.
  bool Spend(uint64_t n) {
    if (budget < n) {
      budget = 0;
      return false;
    }
    budget -= n;
    return true;
  }
  bool Spent() const { return budget == 0; }
  void Add(uint32_t l, uint32_t r, int32_t v) {
    if (!Spend(1)) return;
    if (wanted && (!wanted->count(l) || !wanted->count(r))) return;
    current.push_back({l, r, v});
  }
  static bool Less(const KernUnits& a, const KernUnits& b) {
    return a.left != b.left ? a.left < b.left : a.right < b.right;
  }
  void EndSubtable() {
    if (current.empty()) return;  // merging nothing changes nothing
    Spend(pairs.size() + current.size());
    std::stable_sort(current.begin(), current.end(), Less);
    std::vector<KernUnits> merged;
    merged.reserve(pairs.size() + current.size());
    size_t i = 0, k = 0;
    while (i < pairs.size() || k < current.size()) {
      if (k == current.size() || (i < pairs.size() && !Less(current[k], pairs[i]))) {
        const bool same = k < current.size() && !Less(pairs[i], current[k]);
        merged.push_back(pairs[i++]);
        if (same) ++k;
      } else {
        const KernUnits& c = current[k++];
        if (merged.empty() || Less(merged.back(), c)) merged.push_back(c);
      }
    }
    pairs.swap(merged);
    current.clear();
  }
  std::vector<KernUnits> Result() {
    std::erase_if(pairs, [](const KernUnits& p) { return p.amount == 0; });
    return std::move(pairs);
  }
};

void ReadFormat0(const Reader& k, size_t body, PairSink& sink) {
  const uint16_t n = k.U16(body);
  for (size_t i = 0, at = body + 8; i < n && k.Has(at, 6) && !sink.Spent(); ++i, at += 6)
    sink.Add(k.U16(at), k.U16(at + 2), k.S16(at + 4));
}

void ReadKernTable(const Reader& k, PairSink& sink) {
  if (k.U16(0) == 0) {  // the Windows layout
    const uint16_t tables = k.U16(2);
    size_t at = 4;
    for (uint16_t t = 0; t < tables && k.Has(at, 6) && sink.Spend(1); ++t) {
      const uint16_t length = k.U16(at + 2), coverage = k.U16(at + 4);
      const bool horizontal = coverage & 1, minimum = coverage & 2, cross = coverage & 4;
      if ((coverage >> 8) == 0 && horizontal && !minimum && !cross) ReadFormat0(k, at + 6, sink);
      sink.EndSubtable();
      if (length < 6) break;
      at += length;
    }
  } else if (k.U32(0) == 0x00010000) {  // the Apple layout
    const uint32_t tables = k.U32(4);
    size_t at = 8;
    for (uint32_t t = 0; t < tables && k.Has(at, 8) && sink.Spend(1); ++t) {
      const uint32_t length = k.U32(at);
      const uint8_t coverage = uint8_t(k.U16(at + 4) >> 8), format = uint8_t(k.U16(at + 4));
      const bool vertical = coverage & 0x80, cross = coverage & 0x40, variation = coverage & 0x20;
      if (format == 0 && !vertical && !cross && !variation) ReadFormat0(k, at + 8, sink);
      sink.EndSubtable();
      if (length < 8) break;
      at += length;
    }
  }
}

int ValueSize(uint16_t format) { return 2 * __builtin_popcount(format & 0xFF); }

// The x advance adjustment of a value record (0 when the record has none).
int32_t XAdvance(const Reader& g, size_t at, uint16_t format) {
  if (!(format & 4)) return 0;
  size_t off = at + ((format & 1) ? 2 : 0) + ((format & 2) ? 2 : 0);
  return g.S16(off);
}

// The glyphs of a coverage table, at most kMaxGlyphList of them (overlapping ranges of a damaged
// table would otherwise name billions), paid for from the budget.
std::vector<uint32_t> CoverageGlyphs(const Reader& g, size_t at, PairSink& sink) {
  std::vector<uint32_t> out;
  const uint16_t format = g.U16(at), count = g.U16(at + 2);
  if (format == 1) {
    for (size_t i = 0; i < count && g.Has(at + 4 + 2 * i, 2); ++i) out.push_back(g.U16(at + 4 + 2 * i));
  } else if (format == 2) {
    for (size_t i = 0; i < count && g.Has(at + 4 + 6 * i, 6) && out.size() < kMaxGlyphList; ++i) {
      const uint16_t s = g.U16(at + 4 + 6 * i), e = g.U16(at + 6 + 6 * i);
      for (uint32_t x = s; x <= e && out.size() < kMaxGlyphList; ++x) out.push_back(x);
    }
  }
  sink.Spend(out.size() + 1);
  return out;
}

// Class of every glyph a class table names (glyphs it does not name are class 0).
std::vector<std::pair<uint32_t, uint16_t>> ClassGlyphs(const Reader& g, size_t at, PairSink& sink) {
  std::vector<std::pair<uint32_t, uint16_t>> out;
  const uint16_t format = g.U16(at);
  if (format == 1) {
    const uint16_t start = g.U16(at + 2), count = g.U16(at + 4);
    for (size_t i = 0; i < count && g.Has(at + 6 + 2 * i, 2); ++i)
      out.push_back({start + uint32_t(i), g.U16(at + 6 + 2 * i)});
  } else if (format == 2) {
    const uint16_t count = g.U16(at + 2);
    for (size_t i = 0; i < count && g.Has(at + 4 + 6 * i, 6) && out.size() < kMaxGlyphList; ++i) {
      const uint16_t s = g.U16(at + 4 + 6 * i), e = g.U16(at + 6 + 6 * i), c = g.U16(at + 8 + 6 * i);
      for (uint32_t x = s; x <= e && out.size() < kMaxGlyphList; ++x) out.push_back({x, c});
    }
  }
  sink.Spend(out.size() + 1);
  return out;
}

void ReadPairPos(const Reader& g, size_t at, PairSink& sink) {
  const uint16_t format = g.U16(at), vf1 = g.U16(at + 4), vf2 = g.U16(at + 6);
  const std::vector<uint32_t> firsts = CoverageGlyphs(g, at + g.U16(at + 2), sink);
  auto wanted = [&sink](uint32_t glyph) { return !sink.wanted || sink.wanted->count(glyph); };
  const size_t s1 = size_t(ValueSize(vf1)), s2 = size_t(ValueSize(vf2));
  if (format == 1) {
    const uint16_t sets = g.U16(at + 8);
    for (size_t i = 0; i < sets && i < firsts.size() && sink.Spend(1); ++i) {
      if (!wanted(firsts[i])) continue;
      const size_t set = at + g.U16(at + 10 + 2 * i);
      const uint16_t n = g.U16(set);
      const size_t rec = 2 + s1 + s2;
      for (size_t k = 0, p = set + 2; k < n && g.Has(p, rec) && !sink.Spent(); ++k, p += rec)
        sink.Add(firsts[i], g.U16(p), XAdvance(g, p + 2, vf1));
    }
  } else if (format == 2) {
    const auto classes1 = ClassGlyphs(g, at + g.U16(at + 8), sink);
    const auto classes2 = ClassGlyphs(g, at + g.U16(at + 10), sink);
    const uint16_t count1 = g.U16(at + 12), count2 = g.U16(at + 14);
    std::vector<std::vector<uint32_t>> byClass2(count2);
    for (const auto& [glyph, c] : classes2)
      if (c > 0 && c < count2 && wanted(glyph)) byClass2[c].push_back(glyph);
    // Glyph indexes are 16-bit, so the first glyphs' classes fit a plain table.
    std::vector<uint16_t> class1(kMaxGlyphList, 0);
    for (const auto& [glyph, c] : classes1)
      if (glyph < class1.size()) class1[glyph] = c;
    const size_t rec = s1 + s2, row = rec * count2;
    for (uint32_t first : firsts) {
      if (!sink.Spend(1)) return;
      if (!wanted(first)) continue;
      const uint16_t c1 = first < class1.size() ? class1[first] : 0;
      if (c1 >= count1) continue;
      for (uint16_t c2 = 1; c2 < count2; ++c2) {
        if (!sink.Spend(1)) return;
        const size_t p = at + 16 + c1 * row + c2 * rec;
        if (!g.Has(p, rec)) continue;
        const int32_t v = XAdvance(g, p, vf1);
        for (uint32_t second : byClass2[c2]) sink.Add(first, second, v);
      }
    }
  }
}

void ReadGpos(const Reader& g, PairSink& sink) {
  const size_t featureList = g.U16(6), lookupList = g.U16(8);
  std::set<uint16_t> lookups;
  const uint16_t features = g.U16(featureList);
  for (size_t i = 0; i < features && sink.Spend(1); ++i) {
    const size_t rec = featureList + 2 + 6 * i;
    if (!g.Has(rec, 6) || g.U32(rec) != Tag('k', 'e', 'r', 'n')) continue;
    const size_t feature = featureList + g.U16(rec + 4);
    const uint16_t n = g.U16(feature + 2);
    for (size_t k = 0; k < n && sink.Spend(1); ++k) lookups.insert(g.U16(feature + 4 + 2 * k));
  }
  const uint16_t lookupCount = g.U16(lookupList);
  // A subtable that several lookups (or one lookup several times) name is read once: the first
  // reading gives every pair it has, and later ones could only give the same pairs again.
  std::set<size_t> read;
  for (uint16_t li : lookups) {
    if (li >= lookupCount) continue;
    const size_t lookup = lookupList + g.U16(lookupList + 2 + 2 * li);
    const uint16_t type = g.U16(lookup), subs = g.U16(lookup + 4);
    for (size_t s = 0; s < subs && sink.Spend(1); ++s) {
      size_t sub = lookup + g.U16(lookup + 6 + 2 * s);
      if (type == 9) {  // an extension: the real subtable lies further on
        if (g.U16(sub + 2) != 2) continue;
        sub += g.U32(sub + 4);
      } else if (type != 2) {
        continue;
      }
      if (!read.insert(sub).second) continue;
      ReadPairPos(g, sub, sink);
      sink.EndSubtable();
    }
  }
}

}  // namespace

std::vector<KernUnits> ReadKerningTables(std::string_view kern, std::string_view gpos,
                                         const std::unordered_set<uint32_t>* wanted,
                                         uint64_t workBudget) {
  PairSink sink;
  sink.wanted = wanted;
  sink.budget = workBudget;
  if (!kern.empty()) ReadKernTable(Reader{kern}, sink);
  if (sink.pairs.empty() && !gpos.empty()) ReadGpos(Reader{gpos}, sink);
  return sink.Result();
}

std::vector<CharKernUnits> CharKerningPairs(const std::vector<KernUnits>& pairs,
                                            const std::unordered_multimap<uint32_t, char16_t>& glyphChars) {
  std::unordered_map<uint32_t, std::vector<char16_t>> chars;
  for (const auto& [glyph, c] : glyphChars)
    if (IsKernedChar(c)) chars[glyph].push_back(c);
  auto charsOf = [&chars](uint32_t glyph) -> const std::vector<char16_t>* {
    auto it = chars.find(glyph);
    return it == chars.end() ? nullptr : &it->second;
  };
  // Counted before anything is made: the products are what a hostile character map multiplies.
  uint64_t total = 0;
  for (const KernUnits& k : pairs) {
    const auto *l = charsOf(k.left), *r = charsOf(k.right);
    if (l && r) total += uint64_t{l->size()} * r->size();
    if (total > kMaxCharKerningPairs) return {};
  }
  std::vector<CharKernUnits> out;
  out.reserve(static_cast<size_t>(total));
  for (const KernUnits& k : pairs) {
    const auto *l = charsOf(k.left), *r = charsOf(k.right);
    if (!l || !r) continue;
    for (char16_t a : *l)
      for (char16_t b : *r) out.push_back({a, b, k.amount});
  }
  std::sort(out.begin(), out.end(), [](const CharKernUnits& a, const CharKernUnits& b) {
    return a.first != b.first ? a.first < b.first : a.second < b.second;
  });
  return out;
}

std::vector<KernUnits> ReadKerning(const FaceRecord& rec) {
  // Pairs between the kerned characters only.
  std::unordered_set<uint32_t> wanted;
  for (const auto& [glyph, c] : rec.GlyphChars())
    if (IsKernedChar(c)) wanted.insert(glyph);
  const std::string kern = rec.Table(Tag('k', 'e', 'r', 'n'));
  const std::string gpos = rec.Table(Tag('G', 'P', 'O', 'S'));
  return ReadKerningTables(kern, gpos, &wanted);
}

}  // namespace plat::gfx_detail
