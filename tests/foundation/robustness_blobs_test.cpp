// Hostile option blobs: zlib streams and the byte streams inside them that are damaged, cut off,
// random or far too large give what was whole before the damage, or nothing, never a fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "foundation/settings/option_blobs.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/options_test_support.h"

using namespace qv;

namespace {

std::vector<uint8_t> RandomBlock(std::mt19937& rng, size_t maxLength, bool smallValues) {
  std::vector<uint8_t> v(rng() % (maxLength + 1));
  // Small values keep lengths and counts inside the stream, so the readers go deep.
  for (uint8_t& b : v) b = static_cast<uint8_t>(smallValues && rng() % 4 ? rng() % 5 : rng());
  return v;
}

TEST(BlobRobustness, DamagedZlibStreamsAreRejected) {
  std::vector<uint8_t> data(5000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 % 251);
  const std::vector<uint8_t> stream = ZlibCompress(data);
  std::vector<uint8_t> out;
  ASSERT_TRUE(ZlibDecompress(stream, out));
  ASSERT_EQ(out, data);
  // Every cut of the stream is incomplete.
  for (size_t cut = 0; cut < stream.size(); ++cut) {
    out = {1, 2, 3};
    EXPECT_FALSE(ZlibDecompress({stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)}, out)) << cut;
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));  // untouched on failure
  }
  // Flipped bytes fail the checksum or the stream structure.
  for (size_t at = 0; at < stream.size(); at += 7) {
    std::vector<uint8_t> damaged = stream;
    damaged[at] ^= 0x55;
    EXPECT_FALSE(ZlibDecompress(damaged, out)) << at;
  }
  std::mt19937 rng(11);
  for (int i = 0; i < 2000; ++i) ZlibDecompress(RandomBlock(rng, 64, false), out);
}

TEST(BlobRobustness, OutputPastTheLimitIsRefused) {
  // A megabyte of zeros packs into about a kilobyte: a small blob can ask for far more memory.
  const std::vector<uint8_t> bomb = ZlibCompress(std::vector<uint8_t>(1 << 20, 0));
  ASSERT_LT(bomb.size(), 5000u);
  std::vector<uint8_t> out;
  EXPECT_FALSE(ZlibDecompress(bomb, out, 100000));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(ZlibDecompress(bomb, out, 1 << 20));
  EXPECT_EQ(out.size(), size_t{1} << 20);
}

class BlobStreamRobustness : public OptionsTest {};

TEST_F(BlobStreamRobustness, RandomAndCutStreamsKeepTheWholeEntries) {
  // Sorted by name, as decoding gives them.
  std::vector<TWritingDataEntry> writing = {
      {"/other/c.rtf", {7, 8, 9}}, {Dir + "/a.rtf", {1, 2, 3}}, {Dir + "/ab.rtf", {4, 5, 6}}};
  std::vector<TEbookMetaEntry> ebook = {{Dir + "/a.rtf", {1, 2}}, {Dir + "/b.rtf", {}}};
  std::vector<TOverusedWordsLangData> langs(2);
  langs[0].Lang = 1033;
  langs[0].Lists = {"a", "b", "c", "d"};
  langs[1].Lang = 1031;
  langs[1].Lists = {"", "x", "", "yy"};
  const auto w = EncodeWritingData(Ctx, writing);
  const auto e = EncodeEbookMeta(Ctx, ebook);
  const auto o = EncodeOverusedLangData(langs, [](int32_t) { return std::string("builtin"); });
  ASSERT_EQ(DecodeWritingData(Ctx, w), writing);
  ASSERT_EQ(DecodeEbookMeta(Ctx, e), ebook);
  ASSERT_EQ(DecodeOverusedLangData(o), langs);
  // A cut stream gives the entries that were whole before the cut, each one as it was written.
  auto prefix = [](const std::vector<uint8_t>& v, size_t n) {
    return std::vector<uint8_t>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n));
  };
  for (size_t cut = 0; cut < w.size(); ++cut)
    for (const auto& entry : DecodeWritingData(Ctx, prefix(w, cut)))
      EXPECT_NE(std::find(writing.begin(), writing.end(), entry), writing.end()) << cut;
  for (size_t cut = 0; cut < e.size(); ++cut)
    for (const auto& entry : DecodeEbookMeta(Ctx, prefix(e, cut)))
      EXPECT_NE(std::find(ebook.begin(), ebook.end(), entry), ebook.end()) << cut;
  for (size_t cut = 0; cut < o.size(); ++cut)
    EXPECT_LE(DecodeOverusedLangData(prefix(o, cut)).size(), cut == o.size() ? 2u : 1u) << cut;
  std::mt19937 rng(2);
  for (int i = 0; i < 3000; ++i) {
    const auto junk = RandomBlock(rng, 80, i % 2 == 0);
    for (const auto& entry : DecodeWritingData(Ctx, junk)) EXPECT_LE(entry.Name.size(), Dir.size() + 300);
    for (const auto& entry : DecodeEbookMeta(Ctx, junk)) EXPECT_LE(entry.Data.size(), junk.size());
    for (const auto& lang : DecodeOverusedLangData(junk))
      for (const auto& text : lang.Lists) EXPECT_LE(text.size(), junk.size());
  }
}

TEST(BlobRobustness, NameCompressionCodesBeyondThePreviousName) {
  const struct {
    std::string previous, name, expected;
  } cases[] = {
      {"", "\x0e" "abc", "abc"},            // shares 1 character with nothing
      {"ab", std::string(1, '\x1f') + "x", "abx"},  // asks for 18 of 2
      {"abcdef", "\x0f" "Z", "abZ"},
      {"abc", "", ""},
      {"abc", std::string(1, '\x0d'), std::string(1, '\x0d')},  // not a code: kept as it is
      {"abc", "\x20" "x", "\x20" "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandName(c.previous, c.name), c.expected) << c.name;
}

TEST_F(BlobStreamRobustness, DamagedBlobsInTheStoreLeaveEmptyListsAndOtherSettings) {
  const std::string junkZlib = "789c0102030405";  // a zlib header, then nonsense
  const std::string notHex = "zz";
  for (const std::string& blob : {junkZlib, notHex, std::string("78")}) {
    LoadIniText(Section("General") + "DocsToKeep=7\n" + Section("WritingData") + "Count=1\n0=" + blob +
                "\n" + Section("EbookMeta") + "Count=1\n0=" + blob + "\n");
    EXPECT_TRUE(Opt.WritingData.empty()) << blob;
    EXPECT_TRUE(Opt.EbookMeta.empty()) << blob;
    EXPECT_EQ(Opt.General.DocsToKeep, 7) << blob;
  }
}

// Mutations of a valid stream: bytes flipped, set to the values lengths and codes are made of,
// inserted or removed, so the readers meet damage at every depth.
std::vector<uint8_t> Mutate(std::mt19937& rng, std::vector<uint8_t> v) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < edits && !v.empty(); ++k) {
    const size_t at = rng() % v.size();
    switch (rng() % 4) {
      case 0: v[at] = static_cast<uint8_t>(rng()); break;
      case 1: v[at] = static_cast<uint8_t>(rng() % 2 ? 0 : 14 + rng() % 18); break;
      case 2: v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(rng())); break;
      default: v.erase(v.begin() + static_cast<std::ptrdiff_t>(at)); break;
    }
  }
  return v;
}

TEST_F(BlobStreamRobustness, MutatedStreamsGiveBoundedListsOfNamedEntries) {
  std::vector<TWritingDataEntry> writing;
  std::vector<TEbookMetaEntry> ebook;
  std::vector<TOverusedWordsLangData> langs;
  for (int i = 0; i < 12; ++i) {
    const std::string name = Dir + "/docs/" + std::string(static_cast<size_t>(i % 3), 'x') + std::to_string(i) + ".rtf";
    writing.push_back({name, {i, 2 * i, 3 * i}});
    ebook.push_back({name, std::vector<uint8_t>(static_cast<size_t>(i), static_cast<uint8_t>(i))});
    langs.push_back({1000 + i, {"a", std::string(static_cast<size_t>(i), 'b'), "", "d"}});
  }
  const auto w = EncodeWritingData(Ctx, writing);
  const auto e = EncodeEbookMeta(Ctx, ebook);
  const auto o = EncodeOverusedLangData(langs, [](int32_t) { return std::string("builtin"); });
  std::mt19937 rng(12);
  for (int i = 0; i < 2000; ++i) {
    const auto mw = Mutate(rng, w), me = Mutate(rng, e), mo = Mutate(rng, o);
    // Every entry takes at least two bytes of a name and its record: the lists stay smaller than
    // their streams, and no entry is nameless.
    const auto dw = DecodeWritingData(Ctx, mw);
    EXPECT_LE(dw.size(), mw.size() / 3);
    for (const auto& entry : dw) EXPECT_FALSE(entry.Name.empty());
    const auto de = DecodeEbookMeta(Ctx, me);
    EXPECT_LE(de.size(), me.size() / 6);
    for (const auto& entry : de) {
      EXPECT_FALSE(entry.Name.empty());
      EXPECT_LE(entry.Data.size(), me.size());
    }
    EXPECT_LE(DecodeOverusedLangData(mo).size(), mo.size() / 20);
  }
  // Mutated zlib blobs in the store: the lists stay bounded and the other settings load.
  for (int i = 0; i < 150; ++i) {
    const auto zw = Mutate(rng, ZlibCompress(w)), ze = Mutate(rng, ZlibCompress(e));
    LoadIniText(Section("General") + "DocsToKeep=7\n" + Section("WritingData") + "Count=1\n0=" +
                BytesToHex(zw.data(), static_cast<int32_t>(zw.size())) + "\n" + Section("EbookMeta") +
                "Count=1\n0=" + BytesToHex(ze.data(), static_cast<int32_t>(ze.size())) + "\n");
    EXPECT_LE(Opt.WritingData.size(), kMaxDocumentBlobEntries);
    EXPECT_LE(Opt.EbookMeta.size(), kMaxDocumentBlobEntries);
    EXPECT_EQ(Opt.General.DocsToKeep, 7);
  }
}

TEST_F(BlobStreamRobustness, RandomNamesRoundTrip) {
  // Names of any bytes (a first byte among the compression codes and the escape included), with
  // shared prefixes of every length, come back exactly as they were written.
  std::mt19937 rng(21);
  for (int round = 0; round < 200; ++round) {
    std::vector<TWritingDataEntry> entries;
    std::string previous = "seed";
    for (int i = 0; i < 20; ++i) {
      std::string name = previous.substr(0, rng() % (previous.size() + 1));
      const size_t extra = 1 + rng() % 12;
      for (size_t k = 0; k < extra; ++k)
        name += static_cast<char>(rng() % 3 ? rng() % 32 : rng());
      if (name[0] == '%') name[0] = 'p';  // the stored-path marker reads back as a folder
      entries.push_back({name, {i, i, i}});
      previous = name;
    }
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.Name < b.Name; });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](auto& a, auto& b) { return a.Name == b.Name; }),
                  entries.end());
    ASSERT_EQ(DecodeWritingData(Ctx, EncodeWritingData(Ctx, entries)), entries) << round;
  }
}

}  // namespace
