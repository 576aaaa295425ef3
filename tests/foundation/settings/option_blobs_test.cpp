#include "foundation/settings/option_blobs.h"

#include <zlib.h>

#include <algorithm>

#include "foundation/settings/registry_ex.h"
#include "foundation/options_test_support.h"

using namespace qv;

TEST(OptionBlobNames, SharedPrefixesAreCompressed) {
  struct Case {
    const char* Name;
    std::string Previous, Current, Written;
  };
  const std::string p14 = "abcdefghijklmn";  // 14 characters
  const std::string p25 = "abcdefghijklmnopqrstuvwxy";
  const Case cases[] = {
      {"14 shared", p14 + "X", p14 + "Yz", std::string(1, char(27)) + "Yz"},
      {"25 shared, capped at 18", p25 + "1", p25 + "2", std::string(1, char(31)) + p25.substr(18) + "2"},
      {"one shared is written whole", "ab", "ax", "ax"},
      {"two shared", "abc", "abd", std::string(1, char(15)) + "d"},
  };
  for (const Case& c : cases) {
    auto out = CompressNames({c.Previous, c.Current});
    EXPECT_EQ(out[0], c.Previous) << c.Name;
    EXPECT_EQ(out[1], c.Written) << c.Name;
    EXPECT_EQ(ExpandName(c.Previous, out[1]), c.Current) << c.Name;
  }
}

TEST_F(OptionsTest, WritingDataRoundTripsAndIsPruned) {
  const std::string doc = Ctx.DataFolder + "kept.rtf";
  qvtest::WriteFile(doc, "x");
  std::vector<TWritingDataEntry> entries = {
      {Ctx.DataFolder + "zz-old.rtf", {1, 1, kToday - 181}},    // too old (file need not exist)
      {doc, {5, 6, kToday - 180}},                              // kept
      {Ctx.DataFolder + "gone.rtf", {7, 8, kToday}},            // file deleted
      {"Vadure Vavi", {9, 10, kToday}},                         // not a path: never tested
  };
  qvtest::WriteFile(Ctx.DataFolder + "zz-old.rtf", "x");
  PruneWritingData(Ctx, entries);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Name, doc);
  EXPECT_EQ(entries[1].Name, "Vadure Vavi");

  // Names go in stored-path form: the documents folder becomes "%".
  std::vector<uint8_t> stream = EncodeWritingData(Ctx, entries);
  ASSERT_GE(stream.size(), 3u);
  EXPECT_EQ(stream[0], 12);
  EXPECT_EQ(stream[1], 0);
  EXPECT_EQ(stream[2], std::string("%kept.rtf").size());
  EXPECT_EQ(DecodeWritingData(Ctx, stream), entries);

  // A longer record is cut to 12 bytes; a shorter one is zero-filled; a cut-off entry is dropped.
  std::vector<uint8_t> wide = {16, 0, 1, 'a', 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 9, 9, 9, 9,
                               1, 'b', 1, 0};
  auto read = DecodeWritingData(Ctx, wide);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], (TWritingDataEntry{"a", {1, 2, 3}}));
  std::vector<uint8_t> narrow = {4, 0, 1, 'a', 7, 0, 0, 0};
  EXPECT_EQ(DecodeWritingData(Ctx, narrow)[0], (TWritingDataEntry{"a", {7, 0, 0}}));
}

TEST_F(OptionsTest, EbookMetaRoundTripsThroughTheStore) {
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  std::vector<uint8_t> big(5000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  Opt.EbookMeta = {{"/tmp/gone/book.rtf", {1}}, {"Vadure Vavi", big}, {"Vadure Vavi 2", {}}};
  LoadIniText(SaveIniText(Opt, Holder));
  ASSERT_EQ(Opt.EbookMeta.size(), 2u);  // the missing file is dropped
  EXPECT_EQ(Opt.EbookMeta[0].Data, big);
  EXPECT_EQ(Opt.EbookMeta[1].Name, "Vadure Vavi 2");
}

TEST_F(OptionsTest, CorruptBlobsAreIgnoredWithoutLosingOtherSettings) {
  const std::string prefix(kOptionsKeyPrefix);
  const std::string bad[] = {
      "Count=1\n0=zz\n",                        // not hex
      "Count=1\n0=789c0102\n",                  // zlib header, truncated stream
      "Count=1\n0=0102030405\n",                // not zlib at all
  };
  for (const std::string& blob : bad) {
    LoadIniText(Section("General") + "DocsToKeep=7\n" + "[" + prefix + "WritingData]\n" + blob +
                "[" + prefix + "EbookMeta]\n" + blob + Section("Print") + "BookletSize=8\n");
    EXPECT_TRUE(Opt.WritingData.empty()) << blob;
    EXPECT_TRUE(Opt.EbookMeta.empty()) << blob;
    EXPECT_EQ(Opt.General.DocsToKeep, 7) << blob;
    EXPECT_EQ(Opt.Print.BookletSize, 8) << blob;
  }
}

TEST(OptionBlobZlib, OversizedOutputIsRefused) {
  std::vector<uint8_t> zeros(100000, 0), out;
  std::vector<uint8_t> stream = ZlibCompress(zeros);
  EXPECT_TRUE(ZlibDecompress(stream, out));
  EXPECT_EQ(out, zeros);
  EXPECT_FALSE(ZlibDecompress(stream, out, 1000));
}

TEST_F(OptionsTest, OverusedWordsDataSkipsBuiltInLanguagesAndIsKeptAsRead) {
  struct TBuiltIn : TOptionsServices {
    std::string OverusedBuiltInText(int32_t lang) override { return lang == 1033 ? "very" : ""; }
  };
  ScopedService<TOptionsServices, TBuiltIn> services;
  TSettingsStorage empty;
  LoadAllOptions(empty, Ctx, Opt, Holder);
  Opt.OverusedWords.LangData = {
      {1033, {"", "", "very", ""}},          // built-in state: not stored
      {1031, {"sehr", "", "", "ganz\r\nso"}},
  };
  LoadIniText(SaveIniText(Opt, Holder));
  // Read as a raw block; decoded on first use, after which the list is what gets saved.
  ASSERT_FALSE(Opt.OverusedWords.LangCustomDataRaw.empty());
  const std::vector<uint8_t> raw = Opt.OverusedWords.LangCustomDataRaw;
  std::string again = SaveIniText(Opt, Holder);
  LoadIniText(again);
  EXPECT_EQ(Opt.OverusedWords.LangCustomDataRaw, raw);  // written back unchanged
  auto& langs = GetOverusedWordsLangData(Opt.OverusedWords);
  ASSERT_EQ(langs.size(), 1u);
  EXPECT_EQ(langs[0], (TOverusedWordsLangData{1031, {"sehr", "", "", "ganz\r\nso"}}));
  EXPECT_TRUE(Opt.OverusedWords.LangCustomDataRaw.empty());

  langs[0].Lists[1] = "changed";
  LoadIniText(SaveIniText(Opt, Holder));
  EXPECT_EQ(GetOverusedWordsLangData(Opt.OverusedWords)[0].Lists[1], "changed");

  // Only built-in languages left: an empty blob.
  Opt.OverusedWords.LangData = {{1033, {"", "", "very", ""}}};
  LoadIniText(SaveIniText(Opt, Holder));
  EXPECT_TRUE(Opt.OverusedWords.LangCustomDataRaw.empty());
  EXPECT_TRUE(GetOverusedWordsLangData(Opt.OverusedWords).empty());
}

TEST(OptionBlobOverused, DamagedRecordsStopDecoding) {
  std::vector<uint8_t> stream = EncodeOverusedLangData(
      {{1, {"a", "b", "c", "d"}}, {2, {"e", "", "", ""}}}, [](int32_t) { return "x"; });
  EXPECT_EQ(DecodeOverusedLangData(stream).size(), 2u);
  stream.resize(stream.size() - 1);
  EXPECT_EQ(DecodeOverusedLangData(stream).size(), 1u);
  std::vector<uint8_t> negative = {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_TRUE(DecodeOverusedLangData(negative).empty());
}

namespace {

std::vector<uint8_t> LittleEndian32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
  out.insert(out.end(), more.begin(), more.end());
}

// The zlib stream of `head` followed by zeros up to `total` bytes, written directly as one block
// of fixed codes (the head as literals, then a zero and copies of 258 bytes at distance 1), so a
// stream inflating to many megabytes costs nothing to make.
std::vector<uint8_t> HeadAndZeros(const std::vector<uint8_t>& head, size_t total) {
  std::vector<uint8_t> out = {0x78, 0x01};
  uint32_t bits = 0;
  int used = 0;
  auto put = [&](uint32_t value, int count) {  // LSB first
    for (int i = 0; i < count; ++i) {
      bits |= ((value >> i) & 1) << used;
      if (++used == 8) {
        out.push_back(static_cast<uint8_t>(bits));
        bits = 0;
        used = 0;
      }
    }
  };
  auto code = [&](uint32_t value, int count) {  // Huffman codes go most significant bit first
    for (int i = count - 1; i >= 0; --i) put((value >> i) & 1, 1);
  };
  auto literal = [&](uint8_t b) { b < 144 ? code(0x30 + b, 8) : code(0x190 + b - 144, 9); };
  put(1, 1);  // the final block
  put(1, 2);  // fixed codes
  for (uint8_t b : head) literal(b);
  size_t zeros = total - head.size();
  if (zeros > 0) {
    literal(0);
    --zeros;
  }
  for (; zeros >= 258; zeros -= 258) {
    code(0xC5, 8);  // length 258
    code(0, 5);     // distance 1
  }
  for (; zeros > 0; --zeros) literal(0);
  code(0, 7);  // end of block
  if (used > 0) out.push_back(static_cast<uint8_t>(bits));
  const uLong zerosSum = (total - head.size()) % 65521 << 16 | 1;
  const uLong sum = adler32_combine(adler32(1, head.data(), static_cast<uInt>(head.size())), zerosSum,
                                    static_cast<z_off_t>(total - head.size()));
  for (int k = 3; k >= 0; --k) out.push_back(static_cast<uint8_t>(sum >> (8 * k)));
  return out;
}

// One per-document entry of the form both lists share: a length byte and the name.
void AppendName(std::vector<uint8_t>& out, const std::string& name) {
  out.push_back(static_cast<uint8_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
}

}  // namespace

TEST_F(OptionsTest, BlobsOfTinyOrTooManyEntriesAreDamaged) {
  // A megabyte of zeros after a zero record size was a million entries of one byte each (a
  // 400 KB settings value inflating to 200 MB asked for gigabytes); a zero record size is damage.
  std::vector<uint8_t> zeroRecords(1 << 20, 0);
  EXPECT_TRUE(DecodeWritingData(Ctx, zeroRecords).empty());
  // Empty names (length byte 0) end the lists: entries before them are kept.
  std::vector<uint8_t> writing = {12, 0};
  AppendName(writing, "a");
  writing.resize(writing.size() + 12, 1);
  writing.resize(writing.size() + 100000, 0);
  ASSERT_EQ(DecodeWritingData(Ctx, writing).size(), 1u);
  EXPECT_EQ(DecodeWritingData(Ctx, writing)[0].Name, "a");
  std::vector<uint8_t> ebook;
  AppendName(ebook, "b");
  Append(ebook, LittleEndian32(0));
  ebook.resize(ebook.size() + 500000, 0);  // a hundred thousand empty names with empty data
  ASSERT_EQ(DecodeEbookMeta(Ctx, ebook).size(), 1u);

  // Past the entry bounds a list is ignored as a whole (lists at the bound are read: see
  // EncodersStayWithinTheBounds).
  std::vector<uint8_t> w = {1, 0}, e;
  for (size_t i = 0; i <= kMaxDocumentBlobEntries; ++i) {
    const std::string name = std::to_string(i) + ".rtf";
    AppendName(w, name);
    w.push_back(7);
    AppendName(e, name);
    Append(e, LittleEndian32(0));
  }
  EXPECT_TRUE(DecodeWritingData(Ctx, w).empty());
  EXPECT_TRUE(DecodeEbookMeta(Ctx, e).empty());
  std::vector<uint8_t> langs;
  for (size_t i = 0; i <= kMaxOverusedLanguages; ++i) langs.resize(langs.size() + 20, 0);
  EXPECT_TRUE(DecodeOverusedLangData(langs).empty());
  langs.resize(langs.size() - 20);
  EXPECT_EQ(DecodeOverusedLangData(langs).size(), kMaxOverusedLanguages);
}

TEST_F(OptionsTest, BlobsInflatingPastTheirBoundAreIgnoredWithTheRestLoaded) {
  // Valid heads followed by zeros: each blob inflates one byte past its bound.
  std::vector<uint8_t> writing = {12, 0};
  AppendName(writing, "a");
  std::vector<uint8_t> ebook;
  AppendName(ebook, "b");
  Append(ebook, LittleEndian32(0));
  const std::vector<uint8_t> lang(20, 0);
  auto hexPiece = [](const std::vector<uint8_t>& head, size_t total) {
    const std::vector<uint8_t> z = HeadAndZeros(head, total);
    return "Count=1\n0=" + BytesToHex(z.data(), static_cast<int32_t>(z.size())) + "\n";
  };
  auto blobs = [&](size_t writingSize, size_t ebookSize, size_t langSize) {
    return Section("WritingData") + hexPiece(writing, writingSize) + Section("EbookMeta") +
           hexPiece(ebook, ebookSize) + Section("OverusedWords\\LangCustomData") +
           hexPiece(lang, langSize);
  };
  LoadIniText(Section("General") + "DocsToKeep=7\n" +
              blobs(kMaxWritingDataSize + 1, kMaxEbookMetaSize + 1, kMaxLangCustomDataSize + 1) +
              Section("Print") + "BookletSize=8\n");
  EXPECT_TRUE(Opt.WritingData.empty());
  EXPECT_TRUE(Opt.EbookMeta.empty());
  EXPECT_TRUE(GetOverusedWordsLangData(Opt.OverusedWords).empty());
  EXPECT_EQ(Opt.General.DocsToKeep, 7);
  EXPECT_EQ(Opt.Print.BookletSize, 8);

  // Within the bounds the same heads read, up to the first empty name.
  LoadIniText(blobs(1000, 1000, 40));
  EXPECT_EQ(Opt.WritingData, (std::vector<TWritingDataEntry>{{"a", {0, 0, 0}}}));
  EXPECT_EQ(Opt.EbookMeta, (std::vector<TEbookMetaEntry>{{"b", {}}}));
  EXPECT_EQ(GetOverusedWordsLangData(Opt.OverusedWords).size(), 2u);
}

TEST_F(OptionsTest, EncodersStayWithinTheBounds) {
  std::vector<TWritingDataEntry> writing;
  for (size_t i = 0; i < kMaxDocumentBlobEntries + 5; ++i)
    writing.push_back({std::to_string(i) + ".rtf", {1, 2, kToday}});
  EXPECT_EQ(DecodeWritingData(Ctx, EncodeWritingData(Ctx, writing)).size(), kMaxDocumentBlobEntries);
  // Records too large to fit together: the ones that fit are written.
  std::vector<TEbookMetaEntry> large = {{"a", std::vector<uint8_t>(kMaxEbookMetaSize / 2, 1)},
                                        {"b", std::vector<uint8_t>(kMaxEbookMetaSize / 2, 2)}};
  auto read = DecodeEbookMeta(Ctx, EncodeEbookMeta(Ctx, large));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], large[0]);
  std::vector<TOverusedWordsLangData> langs(kMaxOverusedLanguages + 1);
  for (size_t i = 0; i < langs.size(); ++i) langs[i] = {int32_t(i), {"w", "", "", ""}};
  auto builtIn = [](int32_t) { return std::string(); };
  EXPECT_EQ(DecodeOverusedLangData(EncodeOverusedLangData(langs, builtIn)).size(), kMaxOverusedLanguages);
}

TEST_F(OptionsTest, NamesBeginningWithACodeByteRoundTrip) {
  // Names whose first byte is a compression code (14 to 31) or the escape read back as written,
  // first in the list, after a name they share little with, and after one they share much with.
  const std::vector<std::string> names = {
      std::string("\x1f" "xyz"), std::string("\x0e" "abc"), std::string("\x0f"),
      std::string(1, '\0') + "nul", std::string("\x1f" "xyz-longer-name"), "plain", "plainer",
      "\x0d" "thirteen", "\x20" "space"};
  for (const std::string& first : names) {
    std::vector<std::string> list = {first};
    for (const std::string& n : names)
      if (n != first) list.push_back(n);
    const std::vector<std::string> written = CompressNames(list);
    std::string previous;
    for (size_t i = 0; i < list.size(); ++i) {
      previous = ExpandName(previous, written[i]);
      EXPECT_EQ(previous, list[i]) << i;
    }
  }
  std::vector<TWritingDataEntry> writing;
  std::vector<TEbookMetaEntry> ebook;
  for (const std::string& n : names) {
    writing.push_back({n, {1, 2, kToday}});
    ebook.push_back({n, {3}});
  }
  std::sort(writing.begin(), writing.end(), [](auto& a, auto& b) { return a.Name < b.Name; });
  std::sort(ebook.begin(), ebook.end(), [](auto& a, auto& b) { return a.Name < b.Name; });
  EXPECT_EQ(DecodeWritingData(Ctx, EncodeWritingData(Ctx, writing)), writing);
  EXPECT_EQ(DecodeEbookMeta(Ctx, EncodeEbookMeta(Ctx, ebook)), ebook);
  // A name of 255 bytes that needs the escape no longer fits its length byte; one of 254 does.
  std::vector<TWritingDataEntry> longNames = {{"\x1f" + std::string(254, 'a'), {1, 1, kToday}},
                                              {"\x1f" + std::string(253, 'b'), {2, 2, kToday}}};
  auto read = DecodeWritingData(Ctx, EncodeWritingData(Ctx, longNames));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0], longNames[1]);
}
