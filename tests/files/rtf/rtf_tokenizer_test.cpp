// RTF control words: the keyword table and its lookup, the scanning and decoding primitives, and
// the lexer over nested groups, escapes, Unicode fallbacks, binary data and damaged input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_tokenizer.h"

using namespace qv;

namespace {

// A token scanned from the text after a backslash, in a buffer of exactly that text.
struct Scanned {
  std::vector<uint8_t> bytes;
  TRtfToken token;
  explicit Scanned(const std::string& text) : bytes(text.begin(), text.end()) {
    ScanControlWord(bytes.data(), bytes.data() + bytes.size(), token);
  }
};

// The items of a text, written as a compact trace: "{", "*{", "}", "}!" (unbalanced),
// "w:par", "w:fs=24", "?foo", "s:~", "t:abc", "x:4a5b", "u:8364", "bin:3", "DAMAGED".
std::string Trace(const std::string& text, TRtfLexer* out = nullptr) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  TMemoryInputWindow window(bytes.data(), static_cast<int32_t>(bytes.size()));
  TRtfLexer lexer(window);
  std::string trace;
  for (int guard = 0; guard < 100000; ++guard) {
    const TRtfItem item = lexer.Next();
    std::string piece;
    switch (item.Type) {
      case TRtfItem::Kind::End: return trace;
      case TRtfItem::Kind::GroupStart: piece = "{"; break;
      case TRtfItem::Kind::DestinationStart: piece = "*{"; break;
      case TRtfItem::Kind::GroupEnd: piece = item.Unbalanced ? "}!" : "}"; break;
      case TRtfItem::Kind::ControlWord:
        if (item.Word >= 0)
          piece.append("w:").append(RtfKeywordName(item.Word));
        else
          piece.append("?").append(item.Name());
        if (item.HasParam) piece.append("=").append(std::to_string(item.Param));
        break;
      case TRtfItem::Kind::ControlSymbol: piece.append("s:").append(1, char(item.Symbol)); break;
      case TRtfItem::Kind::Text: piece.append("t:").append(item.Name()); break;
      case TRtfItem::Kind::EscapedBytes: {
        std::vector<char> hex(size_t(item.Count) * 2);
        EncodeHexPairs(item.Bytes, hex.data(), item.Count);
        piece.append("x:").append(hex.begin(), hex.end());
        break;
      }
      case TRtfItem::Kind::Unicode: piece.append("u:").append(std::to_string(int(item.Char))); break;
      case TRtfItem::Kind::Binary:
        piece.append("bin:").append(std::to_string(item.Count));
        if (out) out->BinaryData.SetData(lexer.BinaryData.Data, lexer.BinaryData.Length);
        break;
      case TRtfItem::Kind::Damaged: return trace.append(" DAMAGED");
    }
    if (!trace.empty()) trace.append(1, ' ');
    trace.append(piece);
  }
  return trace + " HANG";
}

}  // namespace

TEST(RtfKeywords, TableIsSortedAndLooksUpBothWays) {
  ASSERT_EQ(RtfKeywordTable.size(), 495u);
  EXPECT_EQ(RtfWord("aenddoc"), 0);
  EXPECT_EQ(RtfWord("b"), 27);
  EXPECT_EQ(RtfWord("cell"), 72);
  EXPECT_EQ(RtfWord("f"), 143);
  EXPECT_EQ(RtfWord("par"), 294);
  EXPECT_EQ(RtfWord("row"), 340);
  EXPECT_EQ(RtfWord("zoomtofitpage"), 494);
  // Ascending byte order, no duplicates; the program's own word keeps its place among the "cl"
  // words so that no index moves.
  const int32_t own = RtfWord("vadurevavi");
  EXPECT_EQ(own, 89);
  std::string_view previous;
  for (int32_t i = 0; i < kRtfKeywordCount; ++i) {
    const std::string_view word = RtfKeywordTable[i];
    ASSERT_GE(word.size(), 1u);
    ASSERT_LE(word.size(), 19u);
    // Lowercase letters, but for the one word that ends in a digit.
    for (char c : word) ASSERT_TRUE((c >= 'a' && c <= 'z') || word == "private1") << word;
    if (i == own) continue;
    EXPECT_LT(previous, word) << i;
    previous = word;
    // Both ways: name to index and index to name, in any case.
    EXPECT_EQ(RtfKeywordIndex(word), i) << word;
    std::string upper(word);
    for (char& c : upper) c = c >= 'a' ? static_cast<char>(c - 32) : c;
    EXPECT_EQ(RtfKeywordIndex(upper), i) << upper;
    EXPECT_EQ(RtfKeywordName(i), word);
  }
  EXPECT_EQ(RtfKeywordIndex("vadurevavi"), own);
  for (const char* absent : {"foo", "pa", "rtf", "bin", "ansi", "parx", "zz", "a", "cl",
                             "vadurevav", "vadurevavis", "abcdefghijklmnopqrstu", ""})
    EXPECT_EQ(RtfKeywordIndex(absent), -1) << absent;
  EXPECT_EQ(RtfKeywordName(-1), "");
  EXPECT_EQ(RtfKeywordName(495), "");
}

TEST(RtfKeywords, DestinationWords) {
  const auto& words = RtfDestinationWords();
  for (size_t i = 1; i < words.size(); ++i) EXPECT_LT(words[i - 1], words[i]);
  for (const char* name : {"fonttbl", "colortbl", "stylesheet", "info", "pict", "field",
                           "fldinst", "header", "footnote", "xe", "aftncn", "jpegdata"})
    EXPECT_TRUE(IsRtfDestinationWord(RtfKeywordIndex(name))) << name;
  for (const char* name : {"par", "b", "f", "cell", "vadurevavi", "zoomtofitpage"})
    EXPECT_FALSE(IsRtfDestinationWord(RtfKeywordIndex(name))) << name;
  int32_t count = 0;
  for (int32_t i = 0; i < kRtfKeywordCount; ++i) count += IsRtfDestinationWord(i);
  EXPECT_EQ(count, 103);
}

TEST(RtfTokenizer, ScanControlWords) {
  struct Case {
    const char* text;  // after the backslash
    const char* word;
    int32_t length, paramLength, param, paramOrOne, index;
  };
  const Case cases[] = {
      {"B", "b", 1, 0, 0, 1, 27},          // case folded, no delimiter at the end of data
      {"b ", "b", 2, 0, 0, 1, 27},         // the blank is consumed
      {"b0", "b", 2, 1, 0, 0, 27},
      {"fs24 x", "fs", 5, 2, 24, 24, RtfWord("fs")},
      {"fs24x", "fs", 4, 2, 24, 24, RtfWord("fs")},  // x stays text
      {"li-", "li", 3, 1, 0, 0, RtfWord("li")},      // a lone minus is a parameter of 0
      {"li-360 ", "li", 7, 4, -360, -360, RtfWord("li")},
      {"fi4294967297", "fi", 12, 10, 1, 1, RtfWord("fi")},  // wraps at 32 bits
      {"foo", "foo", 3, 0, 0, 1, -1},
      {"pa", "pa", 2, 0, 0, 1, -1},
      {"PAR\\", "par", 3, 0, 0, 1, 294},
      {"ZoomToFitPage1", "zoomtofitpage", 14, 1, 1, 1, 494},
      {"trftsWidth3", "trftswidth", 11, 1, 3, 3, RtfWord("trftswidth")},
  };
  for (const Case& c : cases) {
    Scanned s(c.text);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.token.Word), size_t(s.token.WordLength)),
              c.word) << c.text;
    EXPECT_EQ(s.token.Length, c.length) << c.text;
    EXPECT_EQ(ControlWordParamLength(s.token), c.paramLength) << c.text;
    EXPECT_EQ(ControlWordParam(s.token), c.param) << c.text;
    EXPECT_EQ(ControlWordParamOrOne(s.token), c.paramOrOne) << c.text;
    EXPECT_EQ(LookupControlWord(s.token), c.index) << c.text;
  }
  // The buffer holds the lowercase letters afterwards.
  Scanned upper("PAR");
  EXPECT_EQ(std::string(upper.bytes.begin(), upper.bytes.end()), "par");
}

TEST(RtfTokenizer, SmallPrimitives) {
  const uint8_t dest[] = "{\\*\\x";
  EXPECT_TRUE(IsIgnorableDestinationStart(dest, dest + 5));
  EXPECT_FALSE(IsIgnorableDestinationStart(dest, dest + 2));  // cut before the star
  const uint8_t word[] = "\\Par";
  EXPECT_EQ(ControlWordLetter(word, word + 4), 'p');
  EXPECT_EQ(ControlWordLetter(word, word + 1), 0);
  const uint8_t symbol[] = "\\~";
  EXPECT_EQ(ControlWordLetter(symbol, symbol + 2), 0);

  const uint8_t text[] = {'a', 'b', ' ', '~', '\\', 'c'};
  EXPECT_EQ(CountPlainBytes(text, 6), 4);
  const uint8_t high[] = {200, 128, 255, 'a'};
  EXPECT_EQ(CountHighBytes(high, 4), 3);
  const uint8_t rtfText[] = {'a', 200, ' ', 150, 'b'};
  EXPECT_EQ(CountRtfTextBytes(rtfText, 5), 3);
  const uint8_t ctl[] = {'a', 9, 'b'};
  EXPECT_EQ(CountRtfTextBytes(ctl, 3), 1);
  EXPECT_EQ(RtfCharClass('{'), 2);
  EXPECT_EQ(RtfCharClass(10), 0);
  EXPECT_EQ(RtfCharClass('x'), 1);
  EXPECT_EQ(RtfCharClass(233), 3);
}

TEST(RtfTokenizer, HexDecodingAndEncoding) {
  struct Case {
    const char* in;
    std::vector<uint8_t> bytes;
    size_t used;  // bytes of the input consumed
  };
  const Case cases[] = {
      {"4a4z", {0x4a, 0x3f}, 4},  // only the first digit of a pair is tested
      {"zz", {}, 0},
      {"FFa0 ", {0xff, 0xa0}, 4},
      {"4a4", {0x4a}, 2},         // a half pair at the end of the data is not read
      {"", {}, 0},
  };
  for (const Case& c : cases) {
    const uint8_t* begin = reinterpret_cast<const uint8_t*>(c.in);
    const uint8_t* cursor = begin;
    uint8_t out[8] = {};
    const int32_t n = DecodeHexPairs(cursor, begin + std::strlen(c.in), out, 8);
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes) << c.in;
    EXPECT_EQ(size_t(cursor - begin), c.used) << c.in;
  }
  // The maximum count bounds the output.
  const uint8_t* many = reinterpret_cast<const uint8_t*>("010203");
  uint8_t two[2];
  EXPECT_EQ(DecodeHexPairs(many, many + 6, two, 2), 2);

  std::string run = "\\'e9\\'41\\'zzx";
  const int32_t left = DecodeHexEscapes(reinterpret_cast<uint8_t*>(run.data()), 12);
  EXPECT_EQ(left, 0);  // three whole units, digits untested
  EXPECT_EQ(uint8_t(run[0]), 0xe9);
  EXPECT_EQ(run[1], 'A');
  std::string partial = "\\'e9ab\\'41";
  EXPECT_EQ(DecodeHexEscapes(reinterpret_cast<uint8_t*>(partial.data()), 8), 4);

  const uint8_t bytes[] = {0x00, 0xab, 0x7f};
  char pairs[6], escapes[12];
  EncodeHexPairs(bytes, pairs, 3);
  EncodeHexEscapes(bytes, escapes, 3);
  EXPECT_EQ(std::string(pairs, 6), "00ab7f");
  EXPECT_EQ(std::string(escapes, 12), "\\'00\\'ab\\'7f");
}

TEST(RtfLexer, ItemsOfTypicalInput) {
  struct Case {
    const char* rtf;
    const char* trace;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hello\\par\r\n}",
       "{ ?rtf=1 ?ansi { w:fonttbl { w:f=0 t:Arial; } } w:f=0 w:fs=24 t:Hello w:par }"},
      {"{\\*\\generator x;}", "*{ w:generator t:x; }"},
      {"a\\~b\\-\\_\\\\\\{\\}", "t:a s:~ t:b s:- s:_ s:\\ s:{ s:}"},
      {"\\'e9\\'E9x\\'4}", "x:e9e9 t:x t:4 }!"},      // a malformed escape keeps the brace
      {"\\'4", "t:4"},                                 // truncated escape
      {"{a}}}", "{ t:a } }! }!"},                      // unbalanced closing braces
      {"{{{", "{ { {"},                                // unclosed groups end at the data end
      {"\\", ""},                                      // lone backslash at the end
      {"\\par", "w:par"},                              // word at the very end
      {"\\fs-", "w:fs=0"},
      {"x\n\ry", "t:x t:y"},
      // The one table word that ends in a digit is found whole; other digits are parameters.
      {"{\\*\\private1 x}\\private2", "*{ w:private1 t:x } ?private=2"},
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.rtf), c.trace) << c.rtf;
}

TEST(RtfLexer, UnicodeFallbacksFollowTheSkipCount) {
  struct Case {
    const char* rtf;
    const char* trace;
  };
  const Case cases[] = {
      {"\\u8364?x", "u:8364 t:x"},                     // default skip count 1
      {"\\uc2\\u8364ab c", "w:uc=2 u:8364 t: c"},
      {"\\uc0\\u8364 x", "w:uc=0 u:8364 t:x"},
      {"\\u8212\\'97y", "u:8212 t:y"},                 // an escape counts as one character
      {"\\uc2\\u8212\\'97\\'96y", "w:uc=2 u:8212 t:y"},
      {"\\u-3913?z", "u:61623 t:z"},                   // negative parameters wrap
      {"\\uc3\\u1071\\~\\i ab", "w:uc=3 u:1071 t:b"},  // symbols and words count one each
      // The skip stops at the group's end and never takes the brace.
      {"{\\uc1\\u8364}x", "{ w:uc=1 u:8364 } t:x"},
      {"{\\uc5\\u8364 ab}x", "{ w:uc=5 u:8364 } t:x"},
      {"{\\uc2\\u8364{\\i a}b}c", "{ w:uc=2 u:8364 { w:i t:a } t:b } t:c"},
      // The skip count is scoped by groups.
      {"{\\uc2 a}\\u8364?x", "{ w:uc=2 t:a } u:8364 t:x"},
      {"\\uc1\\u8364", "w:uc=1 u:8364"},              // truncated fallback
      {"\\uc1\\u8364\\bin2 abc", "w:uc=1 u:8364 t:c"},  // binary fallback counts one
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.rtf), c.trace) << c.rtf;
}

TEST(RtfLexer, BinaryDataIsTakenAsBytesWithinTheData) {
  TRtfLexer* none = nullptr;
  EXPECT_EQ(Trace("\\bin3 {}\\x", none), "bin:3 t:x");
  EXPECT_EQ(Trace("\\bin0 a"), "bin:0 t:a");
  EXPECT_EQ(Trace("\\bin a"), "bin:0 t:a");
  EXPECT_EQ(Trace("\\bin-5 a"), "bin:0 t:a");
  // Hostile lengths: past the data, past the bound, wrapping to negative.
  EXPECT_EQ(Trace("\\bin4 abc"), " DAMAGED");
  EXPECT_EQ(Trace("{\\bin99999999999 x}"), "{ DAMAGED");
  EXPECT_EQ(Trace("\\bin2147483647 x"), " DAMAGED");
  EXPECT_EQ(Trace("\\uc1\\u8364\\bin900 x}"), "w:uc=1 DAMAGED");
  // The bytes arrive whole.
  std::vector<uint8_t> bytes = {'\\', 'b', 'i', 'n', '4', ' ', 0, '}', '\\', 255, 'z'};
  TMemoryInputWindow window(bytes.data(), int32_t(bytes.size()));
  TRtfLexer lexer(window);
  ASSERT_EQ(lexer.Next().Type, TRtfItem::Kind::Binary);
  EXPECT_EQ(lexer.BinaryData.ToString(), std::string("\0}\\\xff", 4));
  EXPECT_EQ(lexer.Next().Type, TRtfItem::Kind::Text);
}

TEST(RtfLexer, NestingIsBounded) {
  const std::string deep(TRtfLexer::kMaxGroupDepth, '{');
  std::vector<uint8_t> bytes(deep.begin(), deep.end());
  bytes.push_back('{');
  TMemoryInputWindow window(bytes.data(), int32_t(bytes.size()));
  TRtfLexer lexer(window);
  for (int32_t i = 0; i < TRtfLexer::kMaxGroupDepth; ++i)
    ASSERT_EQ(lexer.Next().Type, TRtfItem::Kind::GroupStart);
  EXPECT_EQ(lexer.Next().Type, TRtfItem::Kind::Damaged);
  EXPECT_EQ(lexer.Next().Type, TRtfItem::Kind::End);  // and stays ended
}

TEST(RtfLexer, SkipGroupStopsAtItsBrace) {
  std::string text = "{\\*\\unknown {a}\\bin2 }}b\\'7d}after";
  std::vector<uint8_t> bytes(text.begin(), text.end());
  TMemoryInputWindow window(bytes.data(), int32_t(bytes.size()));
  TRtfLexer lexer(window);
  ASSERT_EQ(lexer.Next().Type, TRtfItem::Kind::DestinationStart);
  lexer.SkipGroup();
  EXPECT_EQ(lexer.Depth(), 0);
  const TRtfItem item = lexer.Next();
  ASSERT_EQ(item.Type, TRtfItem::Kind::Text);
  EXPECT_EQ(item.Name(), "after");
}

// A window that hands out its data a few bytes at a time, as the shared read buffer does with a
// file: tokens must come out the same however the input is cut.
class TTrickleWindow : public TInputWindow {
 public:
  TTrickleWindow(const std::string& data, int32_t step) : data_(data), step_(step) {
    buffer_.resize(data.size() + 64);
    ReadPos = DataEnd = buffer_.data();
    AtEnd = data.empty();
    Refill();
  }
  int64_t PendingBytes() const override { return int64_t(data_.size()) - offset_; }
  void Refill() override {
    const int32_t unread = Unread();
    std::memmove(buffer_.data(), ReadPos, size_t(unread));
    const int32_t n = std::min<int32_t>(step_, int32_t(data_.size()) - offset_);
    std::memcpy(buffer_.data() + unread, data_.data() + offset_, size_t(n));
    offset_ += n;
    ReadPos = buffer_.data();
    DataEnd = ReadPos + unread + n;
    AtEnd = offset_ >= int32_t(data_.size());
  }

 private:
  std::string data_;
  int32_t step_;
  int32_t offset_ = 0;
  std::vector<uint8_t> buffer_;
};

// The items of a window as a trace, adjacent text runs merged (a run may end at a refill).
std::string WindowTrace(TInputWindow& window) {
  TRtfLexer lexer(window);
  std::string trace;
  bool inText = false;
  for (int guard = 0; guard < 10000; ++guard) {
    const TRtfItem item = lexer.Next();
    if (item.Type == TRtfItem::Kind::End) return trace;
    if (item.Type == TRtfItem::Kind::Text) {
      if (!inText) trace += " t:";
      trace += std::string(item.Name());
      inText = true;
      continue;
    }
    inText = false;
    trace += " " + std::to_string(int(item.Type)) + ":" + std::to_string(item.Word) + ":" +
             std::to_string(item.Param) + ":" + std::to_string(int(item.Char)) + ":" +
             std::to_string(item.Count);
  }
  return trace + " HANG";
}

TEST(RtfLexer, RefilledInputGivesTheSameItems) {
  const std::string rtf =
      "{\\rtf1{\\fonttbl{\\f0\\fnil Times;}}\\uc1\\u8364?\\'e9 plain text\\bin5 {\\}}x"
      "{\\*\\shp{\\sp}}\\par}";
  std::vector<uint8_t> bytes(rtf.begin(), rtf.end());
  TMemoryInputWindow memory(bytes.data(), int32_t(bytes.size()));
  const std::string whole = WindowTrace(memory);
  EXPECT_NE(whole.find(" 9:-1:0:0:5"), std::string::npos) << whole;  // the binary block
  // With the look-ahead that the input layer keeps, any cut gives the same items.
  for (int32_t step : {kReadLookAhead, 33, 64}) {
    TTrickleWindow window(rtf, step);
    EXPECT_EQ(WindowTrace(window), whole) << step;
  }
  // Without it, tokens may be cut but the lexer still ends.
  for (int32_t step : {1, 2, 5}) {
    TTrickleWindow window(rtf, step);
    EXPECT_EQ(WindowTrace(window).find("HANG"), std::string::npos) << step;
  }
}
