#include "files/text/plain_text_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "files/output/output_layer.h"
#include "files/text/plain_text_writer.h"
#include "files/text/text_conv_preview.h"
#include "files/text/text_conv_services.h"
#include "files/text/text_detection.h"
#include "files/text/text_encodings.h"
#include "files_test_support.h"
#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"
#include "platform/system/code_page_conv.h"
#include "platform/system/utf_codec.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

// Plays the File Conversion dialog: records the encodings it was shown and answers with its
// own choice (the shown one when none).
class ScriptedConv : public TTextConvServices {
 public:
  std::vector<int32_t> Shown;
  int32_t Choice = -2;
  bool ExecuteTextConvDialog(TTextConvRecord& record) override {
    Shown.push_back(record.Encoding);
    if (Choice == -1) return false;
    if (Choice >= 0) record.Encoding = Choice;
    return true;
  }
};

std::u16string U16(const std::string& utf8) {
  int32_t bad = 0;
  return DecodeUtf8Text(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), &bad);
}

std::string Utf8(const std::u16string& s) { return plat::Utf16ToUtf8(s); }

class PlainText : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureFontManager();
    ForgetTextConvAnswer();
  }

  static TTxtReadResult Read(TDoc& doc, const std::string& bytes, int32_t encoding = -1,
                             bool fromFile = false) {
    TTxtReadOptions options;
    options.Encoding = encoding;
    options.FromFile = fromFile;
    options.FileName = "sample.txt";
    return ReadTxt(doc, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), options);
  }

  // Saves the range to a file the safe way and answers the file's bytes.
  static std::string SaveToFile(TDoc& doc, int32_t encoding, uint8_t lineEnd,
                                const TDocRange& range, uint8_t flags = 0) {
    TDocSavingOptions options;
    options.Format = 6;
    options.CodePage = encoding;
    options.LineEnd = lineEnd;
    options.Range = range;
    options.Flags = flags;
    TSaveContext context(&doc, options);
    const std::string path = MakeTempDir("txt") + "/out.txt";
    EXPECT_EQ(SaveThroughTempFile(context, path, WriteTxt), 0);
    return ReadFile(path);
  }

  static std::string SaveToMemory(TDoc& doc, int32_t encoding, const TDocRange& range) {
    TMemory out;
    TDocSavingOptions options;
    options.Target = TDocSavingOptions::tgMemory;
    options.Format = 6;
    options.CodePage = encoding;
    options.Range = range;
    options.Output = &out;
    TSaveContext context(&doc, options);
    EXPECT_EQ(WriteTxt(context), 0);
    return out.ToString();
  }

  ScopedService<TTextConvServices, ScriptedConv> conv_;
  ScopedService<TMessageDlgService, ScriptedBox> box_;
};

// Each encoding with each line-end style: written, read back (detected where detection must
// find it), the same paragraphs and the same line-end style.
TEST_F(PlainText, RoundTripsEveryEncodingAndLineEndStyle) {
  const std::string samples[TextEncodingCount] = {
      "Grüße, Жизнь, Ωμέγα, 中文, 😀 and 𝄞\ttab",     "BOM: naïve café — “quotes” 😀",
      "UTF-16: Ж Ω א 中 😀 \xEF\xBF\xBD",              "Big end: ñ ü Ж 𝄞",
      "Příliš žluťoučký kůň – Zażółć",                  "Съешь же ещё этих булок — «Ї»",
      "Voix ambiguë d'un cœur – €5 ½",                   "Ξεσκεπάζω την ψυχοφθόρα «Ώ»",
      "Pijamalı hasta yağız şoföre İ",                   "דג סקרן שט בים ₪",
      "نص حكيم له سر قاطع ، ؟",                          "Įlinkdama fechtuotojo špaga ā ū",
  };
  for (int32_t encoding = 0; encoding < TextEncodingCount; ++encoding) {
    for (uint8_t lineEnd = 0; lineEnd < LineEndStyleCount; ++lineEnd) {
      SCOPED_TRACE(testing::Message() << "encoding " << encoding << ", line ends " << int(lineEnd));
      const std::string line = samples[encoding];
      const std::string text = line + "\n\nsecond " + line + "\nlast";
      TDoc source(true);
      ASSERT_TRUE(Read(source, text, teUtf8).Ok);
      const std::vector<std::u16string> expected = ParagraphTexts(source);
      ASSERT_EQ(expected.size(), 4u);
      const std::string bytes = SaveToFile(source, encoding, lineEnd, MainTextRange(source));
      EXPECT_EQ(bytes.substr(0, ByteOrderMark(encoding).size()), ByteOrderMark(encoding));
      TDoc back(true);
      // The code pages are named; the Unicode encodings are found from the bytes.
      const TTxtReadResult r = Read(back, bytes, IsCodePageEncoding(encoding) ? encoding : -1);
      ASSERT_TRUE(r.Ok);
      EXPECT_EQ(r.Encoding, encoding == teUtf8Bom || encoding >= teFirstCodePage ? encoding
                            : encoding);
      EXPECT_EQ(ParagraphTexts(back), expected);
      EXPECT_EQ(back.TxtLineEnd, lineEnd);
      EXPECT_EQ(back.TxtEncoding, encoding);
    }
  }
}

// Fixtures made with iconv: our writer gives the same bytes, and the reader finds the code page
// by its letter scores and reads the same text.
TEST_F(PlainText, AgreesWithIconvForEveryCodePageAndUtf16) {
  for (int32_t encoding = teFirstCodePage; encoding <= teLastCodePage; ++encoding) {
    const uint32_t cp = CodePageOfTextEncoding(encoding);
    SCOPED_TRACE(cp);
    const std::string utf8 = ReadFile(FilesDataPath("sample_" + std::to_string(cp) + ".utf8.txt"));
    const std::string fixture =
        ReadFile(FilesDataPath("sample_" + std::to_string(cp) + ".cp" + std::to_string(cp) + ".txt"));
    ASSERT_FALSE(fixture.empty());
    EXPECT_EQ(EncodePlainText(U16(utf8), encoding), fixture);
    TDoc doc(true);
    ForgetTextConvAnswer();
    conv_->Shown.clear();
    conv_->Choice = encoding;  // the user confirms (or corrects) the page in the dialog
    const TTxtReadResult r = Read(doc, fixture, -1, true);
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.Encoding, encoding);
    ASSERT_EQ(conv_->Shown.size(), 1u);
    // The letter scores find the page; the short Turkish sample has too few letters of its own
    // to outscore Western European, which is what the dialog is there for.
    if (cp != 1254) EXPECT_EQ(conv_->Shown[0], encoding);
    EXPECT_EQ(SaveToFile(doc, encoding, leCRLF, MainTextRange(doc)), fixture);
  }
  const std::string utf8 = ReadFile(FilesDataPath("sample_multi.utf8.txt"));
  for (int32_t encoding : {teUtf16LE, teUtf16BE}) {
    const std::string fixture = ReadFile(FilesDataPath(
        encoding == teUtf16LE ? "sample_multi.utf16le.txt" : "sample_multi.utf16be.txt"));
    EXPECT_EQ(EncodePlainText(U16(utf8), encoding), fixture);
    TDoc doc(true);
    ASSERT_TRUE(Read(doc, ByteOrderMark(encoding) + fixture).Ok);
    EXPECT_EQ(SaveToFile(doc, encoding, leCRLF, MainTextRange(doc)),
              ByteOrderMark(encoding) + fixture);
    TDoc fromUtf8(true);
    ASSERT_TRUE(Read(fromUtf8, utf8).Ok);
    EXPECT_EQ(ParagraphTexts(fromUtf8), ParagraphTexts(doc));
  }
}

// Every character an encoding holds, read and written, agrees with the platform's conversion
// (iconv): the printable bytes of each code page, and for the Unicode encodings a sweep of the
// basic plane with characters beyond it. Bytes and units 150, 151 and 160 are read as the dashes
// and the no-break space, which is written as a blank; the soft hyphen has its own test.
TEST_F(PlainText, EveryCharacterAgreesWithThePlatformConversion) {
  for (int32_t encoding = teFirstCodePage; encoding <= teLastCodePage; ++encoding) {
    const uint32_t cp = CodePageOfTextEncoding(encoding);
    SCOPED_TRACE(cp);
    std::string bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
      if (b != 0xAD) bytes.push_back(static_cast<char>(b));
    std::u16string text = plat::CodePageToUtf16(cp, bytes);
    TDoc doc(true);
    ASSERT_TRUE(Read(doc, bytes, encoding).Ok);
    EXPECT_EQ(ParagraphTexts(doc), std::vector<std::u16string>{text});
    std::replace(text.begin(), text.end(), u'\u00A0', u' ');
    std::string written = bytes;
    std::replace(written.begin(), written.end(), '\xA0', ' ');
    EXPECT_EQ(SaveToFile(doc, encoding, leCRLF, MainTextRange(doc)), written);
    EXPECT_EQ(SaveToFile(doc, teUtf8, leCRLF, MainTextRange(doc)),
              plat::Utf16ToCodePage(plat::CP_UTF8, text));
  }
  std::u16string sweep;
  for (char32_t c = 0x20; c < 0x10000; c += c < 0x800 ? 1 : 37) {
    if (c == 150 || c == 151 || c == 160 || c == 0xAD || (c >= 0xD800 && c <= 0xDFFF)) continue;
    sweep.push_back(static_cast<char16_t>(c));
  }
  sweep += u"𐀀😀􏿽";
  const std::string utf8 = plat::Utf16ToCodePage(plat::CP_UTF8, sweep);
  ASSERT_FALSE(utf8.empty());
  std::string le, be;
  for (char16_t u : sweep) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  const std::string reference[] = {utf8, utf8, le, be};
  for (int32_t encoding = teUtf8; encoding <= teUtf16BE; ++encoding) {
    SCOPED_TRACE(encoding);
    const std::string file = ByteOrderMark(encoding) + reference[encoding];
    TDoc doc(true);
    const TTxtReadResult r = Read(doc, file);  // found by its mark or as valid UTF-8
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.Encoding, encoding);
    EXPECT_EQ(r.Replacements, 0);
    EXPECT_EQ(ParagraphTexts(doc), std::vector<std::u16string>{sweep});
    EXPECT_EQ(SaveToFile(doc, encoding, leCRLF, MainTextRange(doc)), file);
  }
}

TEST_F(PlainText, DetectsMarksSevenBitTextValidUtf8AndCodePages) {
  struct Case {
    std::string bytes;
    int32_t encoding;
    size_t mark;
  } cases[] = {
      {"plain ASCII\r\n\tand a form feed\f", teUtf8, 0},
      {"\xEF\xBB\xBFwith mark", teUtf8Bom, 3},
      {std::string("\xFF\xFE" "a\0", 4), teUtf16LE, 2},
      {std::string("\xFE\xFF\0a", 4), teUtf16BE, 2},
      // An odd length is not UTF-16, whatever the mark says (-2: some code page).
      {std::string("\xFF\xFE" "a\0b", 5), -2, 0},
      {"caf\xC3\xA9 na\xC3\xAFve \xF0\x9F\x98\x80", teUtf8, 0},  // BOM-less UTF-8
      {"caf\xE9 au lait", 6, 0},                                  // one byte 0xE9
      // Ordinary Russian in 1251.
      {"\xDD\xF2\xEE \xEE\xE1\xFB\xF7\xED\xFB\xE9 \xF0\xF3\xF1\xF1\xEA\xE8\xE9 "
       "\xF2\xE5\xEA\xF1\xF2 \xEE \xEF\xEE\xE3\xEE\xE4\xE5: \xF1\xE5\xE3\xEE\xE4\xED\xFF "
       "\xF2\xE5\xEF\xEB\xEE \xE8 \xF1\xEE\xEB\xED\xE5\xF7\xED\xEE.",
       5, 0},
  };
  for (const Case& c : cases) {
    const TTextDetection d = DetectTextEncoding(reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                                c.bytes.size(), false);
    if (c.encoding == -2)
      EXPECT_TRUE(IsCodePageEncoding(d.Encoding)) << d.Encoding;
    else
      EXPECT_EQ(d.Encoding, c.encoding) << c.bytes;
    EXPECT_EQ(d.MarkSize, c.mark) << c.bytes;
  }
  EXPECT_EQ(ScoreCodePage(6, reinterpret_cast<const uint8_t*>("Ee"), 2), 19310);
  EXPECT_EQ(ScoreCodePage(6, reinterpret_cast<const uint8_t*>("@!"), 2), 0);
  EXPECT_EQ(ScoreCodePage(5, reinterpret_cast<const uint8_t*>("\xC0z"), 2), 16380 / 2);
}

TEST_F(PlainText, OnlyCodePagesAndUtf16FromFilesAskAndTheAnswerIsRemembered) {
  TDoc ascii(true);
  ASSERT_TRUE(Read(ascii, "pure ASCII", -1, true).Ok);
  TDoc utf8(true);
  ASSERT_TRUE(Read(utf8, "caf\xC3\xA9", -1, true).Ok);
  EXPECT_TRUE(conv_->Shown.empty());
  conv_->Choice = 4;
  TDoc latin(true);
  TTxtReadResult r = Read(latin, "caf\xE9", -1, true);
  EXPECT_EQ(conv_->Shown, std::vector<int32_t>{6});
  EXPECT_EQ(r.Encoding, 4);
  // The same file again: the answer stands without asking.
  TDoc again(true);
  r = Read(again, "caf\xE9", -1, true);
  EXPECT_EQ(conv_->Shown.size(), 1u);
  EXPECT_EQ(r.Encoding, 4);
  // Cancel: the read fails without an error message.
  ForgetTextConvAnswer();
  conv_->Choice = -1;
  TDoc cancelled(true);
  r = Read(cancelled, "caf\xE9", -1, true);
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(r.Cancelled);
  EXPECT_TRUE(box_->Texts.empty());
  // A memory block never asks.
  TDoc memory(true);
  EXPECT_TRUE(Read(memory, "caf\xE9").Ok);
  EXPECT_EQ(conv_->Shown.size(), 2u);
}

TEST_F(PlainText, InvalidSequencesBecomeOneReplacementEachAndReadingResynchronises) {
  struct Case {
    std::string bytes;
    std::u16string text;
    int32_t replacements;
  } cases[] = {
      {"a\x80" "b", u"a\uFFFDb", 1},
      {"a\xE2\x82" "b", u"a\uFFFDb", 1},              // broken off: one for both bytes
      {"a\xE2\x82", u"a\uFFFD", 1},                    // cut off by the end
      {"\xC0\xAF", u"\uFFFD\uFFFD", 2},                // overlong form
      {"\xF0\x9F\x98\x80", u"\U0001F600", 0},          // four bytes: one character
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},  // above U+10FFFF
      {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600", 0},  // a pair in 3-byte form
      {"\xED\xA0\xBDx", u"\uFFFDx", 1},                // a lone high surrogate
      {"\xED\xB8\x80", u"\uFFFD", 1},                  // a lone low surrogate
      {"\xFF\xFE\xFD", u"\uFFFD\uFFFD\uFFFD", 3},
  };
  for (const Case& c : cases) {
    int32_t bad = 0;
    EXPECT_EQ(DecodeUtf8Text(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(),
                             &bad),
              c.text)
        << c.bytes;
    EXPECT_EQ(bad, c.replacements) << c.bytes;
  }
  // UTF-16: a lone surrogate and an odd last byte.
  const std::string le("a\0\x00\xD8" "b\0\x3D\xD8\x00\xDE" "c", 11);
  int32_t bad = 0;
  EXPECT_EQ(DecodeUtf16Text(reinterpret_cast<const uint8_t*>(le.data()), le.size(), false, &bad),
            u"a\uFFFDb\U0001F600\uFFFD");
  EXPECT_EQ(bad, 2);
}

TEST_F(PlainText, LineEndsMakeParagraphsAndGiveTheStyle) {
  struct Case {
    std::string bytes;
    std::vector<std::u16string> pars;
    uint8_t style;
  } cases[] = {
      {"a\r\r\nb", {u"a", u"", u"b"}, leCRLF},  // CR, then CR LF: mixed
      {"a\r\nb\r\n", {u"a", u"b", u""}, leCRLF},
      {"a\nb\n\nc", {u"a", u"b", u"", u"c"}, leLF},
      {"a\rb", {u"a", u"b"}, leCR},
      {"a\n\rb\n\r", {u"a", u"b", u""}, leLFCR},
      {"one line", {u"one line"}, leCRLF},
      {"", {u""}, leCRLF},
  };
  for (const Case& c : cases) {
    TDoc doc(true);
    ASSERT_TRUE(Read(doc, c.bytes).Ok);
    EXPECT_EQ(ParagraphTexts(doc), c.pars) << c.bytes;
    EXPECT_EQ(doc.TxtLineEnd, c.style) << c.bytes;
    EXPECT_EQ(doc.StoryCounts[stMain], doc.ParCount());
    for (int32_t i = 0; i < doc.ParCount(); ++i) EXPECT_EQ(doc.Par(i)->Index, i);
  }
}

TEST_F(PlainText, SpecialCharactersReadAndWriteBack) {
  // Tab, line break, page break, column break, non-breaking hyphen, optional hyphen (unit 31
  // and the soft hyphen), en and em dash, no-break space.
  TDoc doc(true);
  ASSERT_TRUE(Read(doc, std::string("a\tb\x0B" "c\x0C" "d\x0F" "e\x10" "f\x1F" "g\xC2\xAD" "h"
                                    "\xC2\x96\xC2\x97\xC2\xA0\x01\x02" "end")).Ok);
  TPar& par = *doc.Par(0);
  std::vector<uint8_t> codes;
  for (int32_t i = 0; i < par.CharCount(); ++i)
    if (par.CodeAt(i) < 32) codes.push_back(par.CodeAt(i));
  EXPECT_EQ(codes, (std::vector<uint8_t>{scTab, scLineBreak, scPageBreak, scColumnBreak,
                                         scNonBreakingHyphen, scOptionalHyphen,
                                         scOptionalHyphen, scEnDash, scEmDash,
                                         scNonBreakingSpace, scParagraphEnd}));
  // Line and column breaks end lines; the non-breaking hyphen is "-"; other control characters
  // were dropped.
  EXPECT_EQ(SaveToFile(doc, teUtf8, leLF, MainTextRange(doc)),
            "a\tb\nc\fd\ne-f\xC2\xAD" "g\xC2\xAD" "h\xE2\x80\x93\xE2\x80\x94 end");
  // Single line: every line end, tab and page break a blank, dashes and hyphens "-".
  EXPECT_EQ(SaveToFile(doc, teUtf8, leLF, MainTextRange(doc), TDocSavingOptions::sfSingleLine),
            "a b c d e-f-g-h-- end");
}

TEST_F(PlainText, WriterDetails) {
  TDoc doc(true);
  ASSERT_TRUE(Read(doc, "\xC3\xA9\n\xF0\x9F\x98\x80\nend\n").Ok);
  // U+00E9 is C3 A9; a character beyond the basic plane one 4-byte sequence, not two halves.
  EXPECT_EQ(SaveToFile(doc, teUtf8, leCRLF, MainTextRange(doc)),
            "\xC3\xA9\r\n\xF0\x9F\x98\x80\r\nend\r\n");
  // UTF-16 big-endian: the mark, then each unit high byte first.
  EXPECT_EQ(SaveToFile(doc, teUtf16BE, leCRLF, MainTextRange(doc)),
            std::string("\xFE\xFF\x00\xE9\x00\x0D\x00\x0A\xD8\x3D\xDE\x00\x00\x0D\x00\x0A"
                        "\x00" "e\x00n\x00" "d\x00\x0D\x00\x0A", 26));
  // A character that the code page lacks is "?" (one for a surrogate pair).
  EXPECT_EQ(SaveToFile(doc, 5, leLF, MainTextRange(doc)), "?\n?\nend\n");
  // A selection ends without a line end; memory output has no mark and keeps the last mark.
  TDocRange selection;
  MakeRange(0, 0, 2, 2, selection);
  EXPECT_EQ(SaveToFile(doc, teUtf8Bom, leLF, selection), "\xEF\xBB\xBF\xC3\xA9\n\xF0\x9F\x98\x80\nen");
  EXPECT_EQ(SaveToMemory(doc, teUtf16LE, MainTextRange(doc)).size(),
            2u * (1 + 2 + 2 + 2 + 3 + 2 + 2));
}

TEST_F(PlainText, ListParagraphsWrittenToAFileTakeTheirPrefix) {
  TDoc doc(true);
  ASSERT_TRUE(Read(doc, "bulleted\nplain").Ok);
  auto list = std::make_unique<TAutoList>();
  list->Number = 1;
  list->ListLevels[0].NumberFormat = 23;  // a bullet
  doc.Lists.push_back(std::move(list));
  doc.Par(0)->Format.List = 1;
  doc.Par(0)->Format.ListLevel = 0;
  EXPECT_EQ(SaveToFile(doc, teUtf8, leLF, MainTextRange(doc)), "* bulleted\nplain");
}

TEST_F(PlainText, HostileInputLoadsWithAClearResult) {
  // A zero character ends the text.
  TDoc zero(true);
  TTxtReadResult r = Read(zero, std::string("ab\0cd\nef", 8));
  ASSERT_TRUE(r.Ok);
  EXPECT_TRUE(r.StoppedAtZero);
  EXPECT_EQ(ParagraphTexts(zero), std::vector<std::u16string>{u"ab"});
  // A huge line is one paragraph.
  TDoc huge(true);
  const std::string line(3'000'000, 'x');
  ASSERT_TRUE(Read(huge, line).Ok);
  EXPECT_EQ(huge.Par(0)->CharCount(), 3'000'001);
  // UTF-16 with an odd byte count.
  TDoc odd(true);
  r = Read(odd, std::string("a\0b", 3), teUtf16LE);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Replacements, 1);
  EXPECT_EQ(ParagraphTexts(odd), std::vector<std::u16string>{u"a\uFFFD"});
  // Past the paragraph limit line ends become line breaks, so nothing is lost.
  TDoc many(true);
  TTxtReadOptions limited;
  limited.MaxParagraphs = 3;
  const std::string lines = "1\n2\n3\n4\n5";
  r = ReadTxt(many, reinterpret_cast<const uint8_t*>(lines.data()), lines.size(), limited);
  ASSERT_TRUE(r.Ok);
  EXPECT_TRUE(r.LinesJoined);
  EXPECT_EQ(ParagraphTexts(many), (std::vector<std::u16string>{u"1", u"2", u"3\a4\a5"}));
  EXPECT_EQ(SaveToFile(many, teUtf8, leLF, MainTextRange(many)), "1\n2\n3\n4\n5");
  // The preview asks for nothing to be read.
  TDoc skipped(true);
  TTxtReadOptions options;
  options.DontRead = true;
  EXPECT_TRUE(ReadTxt(skipped, nullptr, 0, options).Ok);
  EXPECT_EQ(skipped.ParCount(), 1);
}

// Mutated inputs from a fixed seed in every way of reading: no crash, a consistent document,
// and what was read writes back.
TEST_F(PlainText, MutatedInputsFromAFixedSeed) {
  const std::string base =
      ReadFile(FilesDataPath("sample_multi.utf8.txt")) + "\xEF\xBB\xBF\r\n\r\xFF\xFE\x00\xD8";
  std::mt19937 rng(20261210);
  for (int round = 0; round < 400; ++round) {
    std::string bytes = base;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = bytes.empty() ? 0 : rng() % bytes.size();
      switch (rng() % 4) {
        case 0: if (!bytes.empty()) bytes[at] = static_cast<char>(rng()); break;
        case 1: bytes.insert(at, 1, static_cast<char>(rng())); break;
        case 2: if (!bytes.empty()) bytes.erase(at, 1 + rng() % 4); break;
        default: bytes = bytes.substr(0, at); break;
      }
    }
    const int32_t encoding = static_cast<int32_t>(rng() % (TextEncodingCount + 1)) - 1;
    TDoc doc(true);
    const TTxtReadResult r = Read(doc, bytes, encoding);
    ASSERT_TRUE(r.Ok) << round;
    for (int32_t i = 0; i < doc.ParCount(); ++i) {
      const TPar& par = *doc.Par(i);
      ASSERT_EQ(CountStreamChars(par.Content), par.CharCount()) << round;
      ASSERT_EQ(par.CodeAt(par.CharCount() - 1), scParagraphEnd) << round;
    }
    const std::string out = SaveToMemory(doc, static_cast<int32_t>(rng() % TextEncodingCount),
                                         MainTextRange(doc));
    EXPECT_LE(out.size(), bytes.size() * 8 + 64) << round;
  }
}

}  // namespace

namespace {

TEST(TextConvPreview, ShowsTheDataAsTheSelectedEncodingWithOneBreakPerLineEnd) {
  const std::string utf8 = "\xEF\xBB\xBF" "caf\xC3\xA9\r\nline\n\rend\rx";
  const std::string cp = "\xD1\xFA\r\n\xE5";
  const std::u16string saved = u"Жé\r\nΩ";
  struct Case {
    uint8_t mode;
    const void* data;
    int32_t length;
    int32_t encoding;
    std::u16string preview;
  } cases[] = {
      {TTextConvRecord::cmOpening, utf8.data(), int32_t(utf8.size()), teUtf8,
       u"caf\u00E9\nline\nend\nx"},
      // The same bytes in another encoding show what they would become.
      {TTextConvRecord::cmOpening, utf8.data(), int32_t(utf8.size()), 6,
       u"\u00EF\u00BB\u00BFcaf\u00C3\u00A9\nline\nend\nx"},
      {TTextConvRecord::cmOpening, cp.data(), int32_t(cp.size()), 5, u"\u0421\u044A\n\u0435"},
      {TTextConvRecord::cmOpening, "\xFE\xFF\x04\x16\x00\x0D", 6, teUtf16BE, u"\u0416\n"},
      // Saving: a code page loses what it cannot hold.
      {TTextConvRecord::cmSaving, saved.data(), int32_t(saved.size() * 2), 5, u"\u0416?\n?"},
      {TTextConvRecord::cmSaving, saved.data(), int32_t(saved.size() * 2), teUtf8, u"\u0416\u00E9\n\u03A9"},
  };
  for (const Case& c : cases) {
    TTextConvRecord record;
    record.Mode = c.mode;
    record.Data = c.data;
    record.DataLength = c.length;
    record.Encoding = c.encoding;
    EXPECT_EQ(TextConvPreviewText(record), c.preview) << c.encoding;
  }
  // A UTF-8 character cut off by the preview's limit is left out rather than shown damaged.
  TTextConvRecord record;
  const std::string two = "ab\xC3\xA9";
  record.Data = two.data();
  record.DataLength = 4;
  record.Encoding = teUtf8;
  EXPECT_EQ(TextConvPreviewText(record, 3), u"ab");
  EXPECT_EQ(TextConvPreviewText(record, 4), u"ab\u00E9");
}

}  // namespace
