// Hostile binary input: PNG files and the kerning tables of fonts. Damaged, truncated, oversized
// and random input gives a clear error or fewer results, never a fault, a hang or a huge allocation.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/kern_tables.h"
#include "support/test_env.h"

namespace {

using plat::Bitmap;
using plat::GfxError;
using plat::gfx_detail::KernUnits;
using plat::gfx_detail::ReadKerningTables;

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);

std::string PngHeader(uint32_t width, uint32_t height) {
  // The IHDR chunk: 8-bit RGBA; the CRC is not checked before the size.
  return kPngSignature + Be32(13) + "IHDR" + Be32(width) + Be32(height) + std::string("\x08\x06\0\0\0", 5) +
         Be32(0);
}

TEST(PngRobustness, DamagedFilesGiveAnError) {
  const std::string dir = qvtest::MakeTempDir("png");
  Bitmap good(7, 5);
  good.Fill(0x00336699);
  good.SavePng(dir + "/good.png");
  const std::string valid = qvtest::ReadFile(dir + "/good.png");
  ASSERT_GT(valid.size(), 40u);
  std::string flipped = valid;
  for (size_t i = 33; i < flipped.size(); i += 3) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"signature only", kPngSignature},
      {"header cut off", valid.substr(0, 20)},
      {"data cut off", valid.substr(0, valid.size() / 2)},
      {"no end chunk", valid.substr(0, valid.size() - 12)},
      {"damaged data", flipped},
      {"zero width", PngHeader(0, 10)},
      {"side too long", PngHeader(40000, 1)},
      {"gigapixel", PngHeader(30000, 30000)},
      {"negative side", PngHeader(0x80000000u, 0x80000000u)},
      {"header without data", PngHeader(100, 100) + Be32(0) + "IEND" + Be32(0xAE426082)},
      {"not a png", "GIF89a........................"},
  };
  for (const auto& c : cases) {
    const std::string path = dir + "/case.png";
    qvtest::WriteFile(path, c.bytes);
    EXPECT_THROW(Bitmap::LoadPng(path), GfxError) << c.name;
  }
  EXPECT_EQ(Bitmap::LoadPng(dir + "/good.png").GetPixel(6, 4), 0x00336699u);
}

TEST(PngRobustness, NoFileToReadGivesAnErrorWithoutWaiting) {
  const std::string dir = qvtest::MakeTempDir("pngx");
  ASSERT_EQ(::mkfifo((dir + "/fifo.png").c_str(), 0600), 0);
  for (const std::string& path : {dir, dir + "/fifo.png", dir + "/missing.png", std::string()})
    EXPECT_THROW(Bitmap::LoadPng(path), GfxError) << path;
}

// ----- kerning tables --------------------------------------------------------------------------

void ExpectSortedUniqueNonZero(const std::vector<KernUnits>& pairs) {
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_NE(pairs[i].amount, 0);
    if (i == 0) continue;
    EXPECT_TRUE(pairs[i - 1].left < pairs[i].left ||
                (pairs[i - 1].left == pairs[i].left && pairs[i - 1].right < pairs[i].right));
  }
}

// A 'kern' table (Windows layout) with one format-0 subtable of the given pairs.
std::string KernTable(const std::vector<KernUnits>& pairs, uint32_t claimedPairs) {
  std::string body = Be16(claimedPairs) + Be16(0) + Be16(0) + Be16(0);
  for (const auto& p : pairs) body += Be16(p.left) + Be16(p.right) + Be16(uint16_t(p.amount));
  return Be16(0) + Be16(1) + Be16(0) + Be16(uint32_t(6 + body.size())) + Be16(1) + body;
}

// A GPOS table whose 'kern' feature names `lookups` lookups, all the same pair-adjustment lookup
// of `subtables` distinct class-kerned subtables. Every subtable shares one coverage and one class
// table that name every glyph 200 times over.
std::string HostileGpos(uint16_t lookups, uint16_t subtables) {
  std::string cover = Be16(2) + Be16(200);
  for (int i = 0; i < 200; ++i) cover += Be16(0) + Be16(0xFFFF) + Be16(0);
  std::string classes = Be16(2) + Be16(200);
  for (int i = 0; i < 200; ++i) classes += Be16(0) + Be16(0xFFFF) + Be16(1);
  // Pair adjustment format 2: 16 bytes of header, then 2 x 2 class records of one value each.
  const size_t pairPosSize = 16 + 8;
  const size_t firstSub = 6 + 2u * subtables;  // from the lookup's start
  const size_t shared = firstSub + pairPosSize * subtables;
  std::string lookup = Be16(2) + Be16(0) + Be16(subtables);
  for (size_t k = 0; k < subtables; ++k) lookup += Be16(uint16_t(firstSub + pairPosSize * k));
  for (size_t k = 0; k < subtables; ++k) {
    const size_t back = shared - (firstSub + pairPosSize * k);  // from this subtable's start
    lookup += Be16(2) + Be16(uint16_t(back)) + Be16(4) + Be16(0) + Be16(uint16_t(back + cover.size())) +
              Be16(uint16_t(back + cover.size())) + Be16(2) + Be16(2);
    for (int r = 0; r < 4; ++r) lookup += Be16(uint16_t(-25));
  }
  lookup += cover + classes;

  const uint16_t featureListAt = 10;
  std::string featureList = Be16(1) + "kern" + Be16(8) + Be16(0) + Be16(lookups);
  for (int i = 0; i < lookups; ++i) featureList += Be16(uint16_t(i));
  const uint16_t lookupListAt = uint16_t(featureListAt + featureList.size());
  std::string lookupList = Be16(lookups);
  for (int i = 0; i < lookups; ++i) lookupList += Be16(uint16_t(2 + 2 * lookups));
  lookupList += lookup;
  return Be32(0x00010000) + Be16(0) + Be16(featureListAt) + Be16(lookupListAt) + featureList +
         lookupList;
}

TEST(KerningRobustness, TruncatedAndRandomTablesGiveFewerPairs) {
  const std::vector<KernUnits> pairs = {{3, 4, -50}, {3, 9, 20}, {5, 4, 0}, {7, 7, 11}};
  const std::string kern = KernTable(pairs, 4);
  ASSERT_EQ(ReadKerningTables(kern, {}, nullptr).size(), 3u);  // the 0 pair is dropped
  for (size_t cut = 0; cut < kern.size(); ++cut) {
    const auto got = ReadKerningTables(kern.substr(0, cut), {}, nullptr);
    EXPECT_LE(got.size(), 3u);
    ExpectSortedUniqueNonZero(got);
  }
  // A pair count far beyond the table reads what is there.
  EXPECT_EQ(ReadKerningTables(KernTable(pairs, 0xFFFF), {}, nullptr).size(), 3u);
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    std::string junk(rng() % 120, '\0');
    for (char& c : junk) c = static_cast<char>(rng() % 4 ? rng() % 4 : rng() & 0xFF);
    // Small values keep counts and offsets inside the table, so the readers go deep.
    ExpectSortedUniqueNonZero(ReadKerningTables(i % 2 ? junk : std::string(), i % 2 ? std::string() : junk, nullptr));
  }
}

TEST(KerningRobustness, MultiplyingCountsAreCappedNotWalked) {
  // 100 lookups x 1000 subtables x 200 coverage ranges of the whole glyph range would be about
  // 10^12 steps if walked. With a small budget the reader still gives the first subtable's pairs.
  const std::string gpos = HostileGpos(100, 1000);
  ASSERT_LT(gpos.size(), 65536u);
  std::unordered_set<uint32_t> wanted;
  for (uint32_t g = 0; g < 300; ++g) wanted.insert(g);
  const auto got = ReadKerningTables({}, gpos, &wanted, uint64_t{1} << 20);
  ExpectSortedUniqueNonZero(got);
  EXPECT_EQ(got.size(), 300u * 300u);
  EXPECT_EQ(got.front().amount, -25);
  // One lookup of one subtable, read with the full budget, gives the same pairs.
  EXPECT_EQ(ReadKerningTables({}, HostileGpos(1, 1), &wanted).size(), 300u * 300u);
}

}  // namespace
