// Hostile text: random and broken UTF-8, lone surrogates, code-page splitting of arbitrary code
// units, hex text of odd lengths, and files that are no regular files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/text/code_pages.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/memory.h"
#include "foundation/system/paths.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/base/string_utils.h"
#include "support/test_env.h"

using namespace qv;

namespace {

std::u16string RandomUnits(std::mt19937& rng, size_t maxLength) {
  std::u16string s(rng() % (maxLength + 1), u'\0');
  // Mostly surrogates and low characters: the cases that pair, break pairs or stand alone.
  for (char16_t& c : s) {
    switch (rng() % 4) {
      case 0: c = static_cast<char16_t>(0xD800 + rng() % 0x800); break;
      case 1: c = static_cast<char16_t>(rng() % 0x100); break;
      default: c = static_cast<char16_t>(rng()); break;
    }
  }
  return s;
}

TEST(TextRobustness, Utf8RoundTripsEveryCodeUnitSequence) {
  std::mt19937 rng(8);
  for (int i = 0; i < 3000; ++i) {
    const std::u16string units = RandomUnits(rng, 30);
    const std::string utf8 = WideToUtf8(units);
    EXPECT_LE(utf8.size(), units.size() * 3);
    EXPECT_EQ(Utf8ToWide(utf8), units);
  }
}

TEST(TextRobustness, RandomAndBrokenUtf8DecodesWithoutFault) {
  const struct {
    std::string bytes;
    std::u16string expected;
  } cases[] = {
      {"", u""},
      {"\xc3", u""},                        // cut off by the end: nothing
      {"a\xe2\x82", u"a"},
      {"\xc3(", u"\uFFFD("},                // broken by a byte that does not continue it
      {"\x80\xbf", u"\uFFFD\uFFFD"},        // stray continuation bytes
      {"\xc0\xaf", u"\uFFFD\uFFFD"},        // impossible lead byte (overlong form)
      {"\xe0\x80\xaf", u"\uFFFD"},          // overlong three-byte form
      {"\xf4\x90\x80\x80", u"\uFFFD"},      // beyond U+10FFFF
      {"\xf8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xed\xa0\x80\xed\xb0\x80", u"\xD800\xDC00"},  // a pair written one unit at a time
      {"\xf0\x9f\x98\x80", u"\xD83D\xDE00"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.bytes), c.expected) << c.bytes;
  std::mt19937 rng(9);
  for (int i = 0; i < 3000; ++i) {
    std::string bytes(rng() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(rng() % 3 ? 0x80 | rng() % 0x80 : rng());
    EXPECT_LE(Utf8ToWide(bytes).size(), bytes.size());
  }
}

TEST(TextRobustness, SplittingArbitraryUnitsByCodePage) {
  std::mt19937 rng(10);
  for (int i = 0; i < 1000; ++i) {
    const std::u16string units = RandomUnits(rng, 40);
    std::string bytes = "stale";
    std::vector<int32_t> ends;
    std::vector<uint32_t> pages;
    SplitTextByCodePage(units.data(), bytes, static_cast<int32_t>(units.size()), ends, pages);
    ASSERT_EQ(bytes.size(), units.size());
    ASSERT_EQ(ends.size(), pages.size());
    int32_t last = 0;
    for (int32_t end : ends) {
      EXPECT_GT(end, last);
      last = end;
    }
    EXPECT_EQ(last, static_cast<int32_t>(units.size()));
    std::string guessed(units.size(), '\0');
    WideToAnsiGuessed(units.data(), guessed.data(), static_cast<int32_t>(units.size()));
  }
  std::string bytes;
  std::vector<int32_t> ends;
  std::vector<uint32_t> pages;
  SplitTextByCodePage(nullptr, bytes, -5, ends, pages);  // a negative count is nothing
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(ends.empty());
}

TEST(TextRobustness, HexTextOfAnyShape) {
  const struct {
    std::string hex;
    bool reads;
    std::string bytes;
  } cases[] = {
      {"", true, ""},       {"0", true, ""},      {"g", false, ""},     {"00ff", true, std::string("\0\xff", 2)},
      {"00f", true, std::string(1, '\0')},        {"0x", false, ""},    {" 00", false, ""},
      {"FFfe", true, "\xff\xfe"},
  };
  for (const auto& c : cases) {
    std::string out = "untouched";
    EXPECT_EQ(HexToBytes(c.hex, out), c.reads) << c.hex;
    EXPECT_EQ(out, c.reads ? c.bytes : "untouched") << c.hex;
  }
  // Wide hex text: four digits a unit, a short tail ignored, bad digits read as 0.
  EXPECT_EQ(HexTextToWide("410042"), u"A");
  EXPECT_EQ(HexTextToWide("zz00"), std::u16string(1, u'\0'));
  EXPECT_EQ(HexTextToWide(""), u"");
  std::mt19937 rng(12);
  for (int i = 0; i < 500; ++i) {
    const std::u16string units = RandomUnits(rng, 20);
    EXPECT_EQ(HexTextToWide(WideToHexText(units)), units);
  }
}

TEST(TextRobustness, FilesThatAreNoRegularFiles) {
  const std::string dir = qvtest::MakeTempDir("nofile");
  const std::string fifo = dir + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir, fifo, dir + "/missing", std::string()}) {
    TMemory m;
    m.SetString("kept");
    EXPECT_THROW(m.LoadFromFile(path), Exception) << path;  // and no wait on the FIFO
    EXPECT_EQ(m.ToString(), "kept");
    std::string text = "kept";
    EXPECT_FALSE(LoadFileToString(path, text)) << path;
  }
}

}  // namespace
