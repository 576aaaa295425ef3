#pragma once
// RTF tokenizer: the primitives that scan control words and decode hexadecimal data in place in
// the reader's buffer, the encoders the writer and the settings store use, and TRtfLexer, which
// turns a window of RTF bytes into a stream of items (groups, control words and symbols, text,
// escaped bytes, Unicode characters, binary data) for the reader.
//
// Every scan is bounded by the end of the data it is given: truncated input ends a token where
// the data ends, and nothing is read past it. The primitives never allocate.
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/input_window.h"
#include "foundation/base/memory.h"

namespace qv {

// Character classes of RTF bytes: 0 control bytes (0-31), 1 plain printable ASCII, 2 the
// backslash and the braces, 3 bytes 128-255.
uint8_t RtfCharClass(uint8_t c);
// The value of a hexadecimal digit, 255 for any other byte.
uint8_t RtfHexValue(uint8_t c);

// A scanned control word: the first letter (in the buffer), the bytes consumed after the
// backslash (letters, parameter and one delimiting blank) and the number of letters.
struct TRtfToken {
  const uint8_t* Word = nullptr;
  int32_t Length = 0;
  int32_t WordLength = 0;
};

// True when p starts "{\*" within the data.
bool IsIgnorableDestinationStart(const uint8_t* p, const uint8_t* end);
// The lowercase letter after a backslash at p, 0 when p is no backslash followed by a letter.
uint8_t ControlWordLetter(const uint8_t* p, const uint8_t* end);
// Scans the word whose first letter is at p, lowercasing its letters in the buffer: the letters,
// then either one blank, or an optional "-" and digits followed by at most one blank.
void ScanControlWord(uint8_t* p, const uint8_t* end, TRtfToken& token);
// Bytes of the numeric parameter, the minus sign included; 0 when there is none.
int32_t ControlWordParamLength(const TRtfToken& token);
// The parameter (32-bit, wrapping), 0 when there is none.
int32_t ControlWordParam(const TRtfToken& token);
// The parameter, or 1 when the word has none (toggle words such as "b").
int32_t ControlWordParamOrOne(const TRtfToken& token);
// The word's index in the keyword table, -1 when it is not in it.
int32_t LookupControlWord(const TRtfToken& token);

// Decodes pairs of hexadecimal digits into at most maxCount bytes. A pair whose first byte is no
// digit, or that would not be whole before the end, stops the decoding; the second byte of a
// pair is not tested. The cursor is left after the last pair used.
int32_t DecodeHexPairs(const uint8_t*& cursor, const uint8_t* end, uint8_t* out, int32_t maxCount);
// Decodes the run of four-byte escapes (backslash, apostrophe, two digits) that starts the count
// bytes at run, in place into single bytes written from the start of the run; stops at the first
// unit that does not begin with a backslash and an apostrophe, or is not whole. Returns the number
// of bytes of the run not consumed; (count - result) / 4 bytes were decoded. The digits are not
// tested.
int32_t DecodeHexEscapes(uint8_t* run, int32_t count);
// Two lowercase digits per byte, high nibble first (out holds 2 * count bytes).
void EncodeHexPairs(const uint8_t* bytes, char* out, int32_t count);
// "\'" and two lowercase digits per byte (out holds 4 * count bytes).
void EncodeHexEscapes(const uint8_t* bytes, char* out, int32_t count);
// Leading bytes of class 1 (plain printable ASCII other than the backslash and braces).
int32_t CountPlainBytes(const uint8_t* bytes, int32_t count);
// Leading bytes of class 3 (128 to 255).
int32_t CountHighBytes(const uint8_t* bytes, int32_t count);
// Leading bytes that are plain RTF text: 32 to 255 but the backslash, the braces, 150, 151
// and 160, which the reader copies in one run.
int32_t CountRtfTextBytes(const uint8_t* bytes, int32_t count);

// What the lexer hands out, one at a time.
struct TRtfItem {
  enum class Kind : uint8_t {
    End,              // no more input
    GroupStart,       // "{"
    DestinationStart, // "{\*": a group the reader may skip when it does not know its word
    GroupEnd,         // "}"
    ControlWord,      // Word (index or -1), Param, HasParam, Name
    ControlSymbol,    // Symbol: the byte after a backslash that is no letter (not "'")
    Text,             // Bytes: a run of text bytes (line ends dropped)
    EscapedBytes,     // Bytes: the bytes of a run of "\'hh" escapes
    Unicode,          // Char: the UTF-16 unit of "\uN"; its fallback has been skipped
    Binary,           // Bytes: the bytes of "\binN", held in TRtfLexer::BinaryData
    Damaged,          // the input broke a bound (nesting, binary length); reading stops
  };
  Kind Type = Kind::End;
  int32_t Word = -1;
  int32_t Param = 0;
  bool HasParam = false;
  bool Unbalanced = false;  // a "}" without its "{"
  uint8_t Symbol = 0;
  char16_t Char = 0;
  // Text, escaped bytes, or the name of a control word; valid until the next item.
  const uint8_t* Bytes = nullptr;
  int32_t Count = 0;

  std::string_view Name() const {
    return {reinterpret_cast<const char*>(Bytes), static_cast<size_t>(Count)};
  }
};

// Turns RTF bytes into items. Groups nest at most kMaxGroupDepth deep and binary data is at most
// kMaxBinaryLength bytes and never more than the input still holds; input that breaks a bound
// gives a Damaged item, after which the lexer gives only End. The Unicode skip count ("\ucN")
// is kept per group; the fallback after "\uN" is skipped by characters (a text byte, an escape,
// a control symbol, a control word or a "\bin" block each counts one) and the skip never passes
// a brace, so a fallback cut short by its group's end leaves the nesting intact.
class TRtfLexer {
 public:
  static constexpr int32_t kMaxGroupDepth = 1000;
  static constexpr int32_t kMaxBinaryLength = 64 << 20;

  explicit TRtfLexer(TInputWindow& input) : input_(input) {}

  TRtfItem Next();
  // Skips to the end of the current group, its "}" included (a damaged input stops at the end).
  void SkipGroup();
  // Ends the input here: the reader found the file damaged (a bound of its own passed); from now
  // on only End is given.
  void Stop() { damaged_ = true; }

  int32_t Depth() const { return static_cast<int32_t>(skipCounts_.size()); }
  int32_t UnicodeSkipCount() const { return skipCount_; }
  TMemory BinaryData;

 private:
  TRtfItem ReadControl();
  TRtfItem ReadEscapes();
  TRtfItem ReadBinary(int32_t length);
  void SkipFallback();
  bool SkipBinaryBytes(int32_t length);
  TRtfItem Damage();

  TInputWindow& input_;
  std::vector<int32_t> skipCounts_;  // the skip counts of the enclosing groups
  int32_t skipCount_ = 1;
  bool damaged_ = false;
};

}  // namespace qv
