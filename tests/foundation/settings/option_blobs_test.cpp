#include "foundation/settings/option_blobs.h"

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
