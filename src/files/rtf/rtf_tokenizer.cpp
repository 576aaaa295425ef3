#include "files/rtf/rtf_tokenizer.h"

#include <algorithm>
#include <cstring>

#include "files/rtf/rtf_keywords.h"

namespace qv {

namespace {

// The lookup structures, built once from the keyword table.
struct TKeywordLookup {
  uint8_t CharClass[256];
  uint8_t HexValue[256];
  int32_t Lengths[kRtfKeywordCount];
  int32_t SingleLetter[256];
  struct Slot {
    int32_t Exact = -1;
    int32_t First = -1;
    int32_t Last = -1;
  };
  Slot TwoLetter[26][26];

  TKeywordLookup() {
    for (int c = 0; c < 256; ++c) {
      CharClass[c] = c < 32 ? 0 : (c < 128 ? 1 : 3);
      HexValue[c] = 255;
      SingleLetter[c] = -1;
    }
    CharClass[uint8_t('\\')] = CharClass[uint8_t('{')] = CharClass[uint8_t('}')] = 2;
    for (int c = 0; c < 10; ++c) HexValue['0' + c] = static_cast<uint8_t>(c);
    for (int c = 0; c < 6; ++c) {
      HexValue['a' + c] = static_cast<uint8_t>(10 + c);
      HexValue['A' + c] = static_cast<uint8_t>(10 + c);
    }
    for (int32_t i = 0; i < kRtfKeywordCount; ++i) {
      const std::string_view word = RtfKeywordTable[i];
      Lengths[i] = static_cast<int32_t>(word.size());
      if (word.size() == 1) {
        SingleLetter[uint8_t(word[0])] = i;
        continue;
      }
      Slot& slot = TwoLetter[word[0] - 'a'][word[1] - 'a'];
      if (word.size() == 2) {
        slot.Exact = i;
      } else {
        if (slot.First < 0) slot.First = i;
        slot.Last = i;
      }
    }
  }
};

const TKeywordLookup& Lookup() {
  static const TKeywordLookup lookup;
  return lookup;
}

bool IsLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
uint8_t Lower(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }

constexpr char kHexDigits[] = "0123456789abcdef";

// The table holds one word that ends in a digit ("private1"), which the scanner reads as the
// letters and a parameter; it is found by its letters and that one digit.
int32_t LookupWordWithDigits(const TRtfToken& token) {
  if (token.Length - token.WordLength < 1 || token.Word[token.WordLength] != '1') return -1;
  if (ControlWordParamLength(token) != 1) return -1;
  constexpr std::string_view kWord = "private1";
  if (std::string_view(reinterpret_cast<const char*>(token.Word), size_t(token.WordLength) + 1) !=
      kWord)
    return -1;
  return RtfWord("private1");
}

}  // namespace

uint8_t RtfCharClass(uint8_t c) { return Lookup().CharClass[c]; }
uint8_t RtfHexValue(uint8_t c) { return Lookup().HexValue[c]; }

bool IsIgnorableDestinationStart(const uint8_t* p, const uint8_t* end) {
  return end - p >= 3 && p[0] == '{' && p[1] == '\\' && p[2] == '*';
}

uint8_t ControlWordLetter(const uint8_t* p, const uint8_t* end) {
  if (end - p < 2 || p[0] != '\\' || !IsLetter(p[1])) return 0;
  return Lower(p[1]);
}

void ScanControlWord(uint8_t* p, const uint8_t* end, TRtfToken& token) {
  uint8_t* q = p;
  while (q < end && IsLetter(*q)) {
    *q = Lower(*q);
    ++q;
  }
  token.Word = p;
  token.WordLength = static_cast<int32_t>(q - p);
  if (q < end && *q == ' ') {
    token.Length = token.WordLength + 1;
    return;
  }
  if (q < end && *q == '-') ++q;
  while (q < end && IsDigit(*q)) ++q;
  if (q < end && *q == ' ' && q > p + token.WordLength) ++q;
  token.Length = static_cast<int32_t>(q - p);
}

int32_t ControlWordParamLength(const TRtfToken& token) {
  int32_t length = token.Length - token.WordLength;
  if (length > 0 && token.Word[token.Length - 1] == ' ') --length;
  return length;
}

int32_t ControlWordParam(const TRtfToken& token) {
  const int32_t length = ControlWordParamLength(token);
  if (length == 0) return 0;
  const uint8_t* p = token.Word + token.WordLength;
  const uint8_t* end = p + length;
  const bool negative = *p == '-';
  if (negative) ++p;
  uint32_t value = 0;
  for (; p < end; ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

int32_t ControlWordParamOrOne(const TRtfToken& token) {
  return ControlWordParamLength(token) == 0 ? 1 : ControlWordParam(token);
}

int32_t LookupControlWord(const TRtfToken& token) {
  const TKeywordLookup& lookup = Lookup();
  const int32_t length = token.WordLength;
  const uint8_t* w = token.Word;
  if (length <= 0 || length > kRtfMaxKeywordLength) return -1;
  if (w[0] < 'a' || w[0] > 'z') return -1;
  if (length == 1) return lookup.SingleLetter[w[0]];
  if (w[1] < 'a' || w[1] > 'z') return -1;
  const TKeywordLookup::Slot& slot = lookup.TwoLetter[w[0] - 'a'][w[1] - 'a'];
  if (length == 2) return slot.Exact;
  if (slot.First < 0) return -1;
  for (int32_t i = slot.First; i <= slot.Last; ++i) {
    if (lookup.Lengths[i] != length) continue;
    if (std::memcmp(RtfKeywordTable[i].data() + 2, w + 2, static_cast<size_t>(length - 2)) == 0)
      return i;
  }
  return -1;
}

int32_t DecodeHexPairs(const uint8_t*& cursor, const uint8_t* end, uint8_t* out,
                       int32_t maxCount) {
  const TKeywordLookup& lookup = Lookup();
  int32_t written = 0;
  const uint8_t* p = cursor;
  while (written < maxCount && end - p >= 2) {
    const uint8_t high = lookup.HexValue[p[0]];
    if (high == 255) break;
    out[written++] = static_cast<uint8_t>(high * 16 + lookup.HexValue[p[1]]);
    p += 2;
  }
  cursor = p;
  return written;
}

int32_t DecodeHexEscapes(uint8_t* run, int32_t count) {
  const TKeywordLookup& lookup = Lookup();
  int32_t in = 0;
  int32_t out = 0;
  while (count - in >= 4 && run[in] == '\\' && run[in + 1] == '\'') {
    run[out++] = static_cast<uint8_t>(lookup.HexValue[run[in + 2]] * 16 +
                                      lookup.HexValue[run[in + 3]]);
    in += 4;
  }
  return count - in;
}

void EncodeHexPairs(const uint8_t* bytes, char* out, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    *out++ = kHexDigits[bytes[i] >> 4];
    *out++ = kHexDigits[bytes[i] & 15];
  }
}

void EncodeHexEscapes(const uint8_t* bytes, char* out, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    *out++ = '\\';
    *out++ = '\'';
    *out++ = kHexDigits[bytes[i] >> 4];
    *out++ = kHexDigits[bytes[i] & 15];
  }
}

int32_t CountPlainBytes(const uint8_t* bytes, int32_t count) {
  const TKeywordLookup& lookup = Lookup();
  int32_t n = 0;
  while (n < count && lookup.CharClass[bytes[n]] == 1) ++n;
  return n;
}

int32_t CountHighBytes(const uint8_t* bytes, int32_t count) {
  int32_t n = 0;
  while (n < count && bytes[n] >= 128) ++n;
  return n;
}

int32_t CountRtfTextBytes(const uint8_t* bytes, int32_t count) {
  int32_t n = 0;
  while (n < count) {
    const uint8_t c = bytes[n];
    if (c < 32 || c == '\\' || c == '{' || c == '}' || c == 150 || c == 151 || c == 160) break;
    ++n;
  }
  return n;
}

// ---- TRtfLexer ----

TRtfItem TRtfLexer::Damage() {
  damaged_ = true;
  TRtfItem item;
  item.Type = TRtfItem::Kind::Damaged;
  return item;
}

TRtfItem TRtfLexer::Next() {
  TRtfItem item;
  if (damaged_) return item;
  for (;;) {
    input_.KeepLookAhead();
    uint8_t* p = input_.ReadPos;
    uint8_t* end = input_.DataEnd;
    if (p >= end) return item;  // End
    const uint8_t c = *p;
    if (c == '\r' || c == '\n') {
      ++input_.ReadPos;
      continue;
    }
    if (c == '{') {
      if (Depth() >= kMaxGroupDepth) return Damage();
      skipCounts_.push_back(skipCount_);
      if (IsIgnorableDestinationStart(p, end)) {
        input_.ReadPos += 3;
        item.Type = TRtfItem::Kind::DestinationStart;
      } else {
        input_.ReadPos += 1;
        item.Type = TRtfItem::Kind::GroupStart;
      }
      return item;
    }
    if (c == '}') {
      ++input_.ReadPos;
      item.Type = TRtfItem::Kind::GroupEnd;
      if (skipCounts_.empty()) {
        item.Unbalanced = true;
      } else {
        skipCount_ = skipCounts_.back();
        skipCounts_.pop_back();
      }
      return item;
    }
    if (c == '\\') {
      if (end - p < 2) {  // a lone backslash at the very end
        input_.ReadPos = end;
        continue;
      }
      return ReadControl();
    }
    uint8_t* q = p;
    while (q < end && *q != '\\' && *q != '{' && *q != '}' && *q != '\r' && *q != '\n') ++q;
    input_.ReadPos = q;
    item.Type = TRtfItem::Kind::Text;
    item.Bytes = p;
    item.Count = static_cast<int32_t>(q - p);
    return item;
  }
}

TRtfItem TRtfLexer::ReadControl() {
  uint8_t* p = input_.ReadPos;  // at the backslash, with at least one byte after it
  uint8_t* end = input_.DataEnd;
  TRtfItem item;
  if (p[1] == '\'') return ReadEscapes();
  if (!IsLetter(p[1])) {
    input_.ReadPos = p + 2;
    item.Type = TRtfItem::Kind::ControlSymbol;
    item.Symbol = p[1];
    return item;
  }
  TRtfToken token;
  ScanControlWord(p + 1, end, token);
  input_.ReadPos = p + 1 + token.Length;
  item.Type = TRtfItem::Kind::ControlWord;
  item.Word = LookupControlWord(token);
  if (item.Word < 0) item.Word = LookupWordWithDigits(token);
  item.HasParam = ControlWordParamLength(token) > 0;
  item.Param = ControlWordParam(token);
  item.Bytes = token.Word;
  item.Count = token.WordLength;
  if (item.Word == RtfWord("private1")) {
    item.HasParam = false;
    item.Param = 0;
    item.Count = token.WordLength + 1;
  } else if (item.Word == RtfWord("uc")) {
    skipCount_ = item.Param < 0 ? 0 : item.Param;
  } else if (item.Word == RtfWord("u")) {
    item.Type = TRtfItem::Kind::Unicode;
    item.Char = static_cast<char16_t>(static_cast<uint32_t>(item.Param) & 0xFFFF);
    item.Bytes = nullptr;  // the skip may refill the buffer under the name
    item.Count = 0;
    SkipFallback();
    if (damaged_) return Damage();
  } else if (item.Word < 0 && item.Name() == "bin") {
    return ReadBinary(item.HasParam ? item.Param : 0);
  }
  return item;
}

TRtfItem TRtfLexer::ReadEscapes() {
  uint8_t* p = input_.ReadPos;
  const uint8_t* end = input_.DataEnd;
  // The run of whole escapes with two hexadecimal digits each: a malformed escape ("\'4}") must
  // not take a brace or a backslash as a digit.
  int32_t whole = 0;
  while (end - (p + whole) >= 4 && p[whole] == '\\' && p[whole + 1] == '\'' &&
         RtfHexValue(p[whole + 2]) != 255 && RtfHexValue(p[whole + 3]) != 255)
    whole += 4;
  if (whole == 0) {  // "\'" without two digits: the two bytes are dropped
    input_.ReadPos = p + 2;
    return Next();
  }
  DecodeHexEscapes(p, whole);
  input_.ReadPos = p + whole;
  TRtfItem item;
  item.Type = TRtfItem::Kind::EscapedBytes;
  item.Bytes = p;
  item.Count = whole / 4;
  return item;
}

TRtfItem TRtfLexer::ReadBinary(int32_t length) {
  BinaryData.Clear();
  TRtfItem item;
  item.Type = TRtfItem::Kind::Binary;
  if (length <= 0) return item;
  if (length > kMaxBinaryLength || length > input_.Unread() + input_.PendingBytes())
    return Damage();
  BinaryData.SetLength(length);
  int32_t copied = 0;
  while (copied < length) {
    if (input_.Unread() == 0) {
      if (input_.AtEnd) return Damage();
      input_.Refill();
      if (input_.Unread() == 0) return Damage();
    }
    const int32_t n = std::min(length - copied, input_.Unread());
    std::memcpy(BinaryData.Data + copied, input_.ReadPos, static_cast<size_t>(n));
    input_.ReadPos += n;
    copied += n;
  }
  item.Bytes = BinaryData.Data;
  item.Count = length;
  return item;
}

bool TRtfLexer::SkipBinaryBytes(int32_t length) {
  if (length <= 0) return true;
  if (length > input_.Unread() + input_.PendingBytes()) return false;
  int64_t left = length;
  while (left > 0) {
    if (input_.Unread() == 0) {
      if (input_.AtEnd) return false;
      input_.Refill();
      if (input_.Unread() == 0) return false;
    }
    const int64_t n = std::min<int64_t>(left, input_.Unread());
    input_.ReadPos += n;
    left -= n;
  }
  return true;
}

void TRtfLexer::SkipFallback() {
  int32_t left = skipCount_;
  while (left > 0) {
    input_.KeepLookAhead();
    uint8_t* p = input_.ReadPos;
    uint8_t* end = input_.DataEnd;
    if (p >= end) return;
    const uint8_t c = *p;
    if (c == '{' || c == '}') return;  // the fallback ends with its group
    if (c == '\r' || c == '\n') {
      ++input_.ReadPos;
      continue;
    }
    --left;
    if (c != '\\') {
      ++input_.ReadPos;
      continue;
    }
    if (end - p < 2) {
      input_.ReadPos = end;
      return;
    }
    if (p[1] == '\'') {
      const bool whole = end - p >= 4 && RtfHexValue(p[2]) != 255 && RtfHexValue(p[3]) != 255;
      input_.ReadPos = whole ? p + 4 : p + 2;
    } else if (!IsLetter(p[1])) {
      input_.ReadPos = p + 2;
    } else {
      TRtfToken token;
      ScanControlWord(p + 1, end, token);
      input_.ReadPos = p + 1 + token.Length;
      if (LookupControlWord(token) < 0 && token.WordLength == 3 &&
          std::memcmp(token.Word, "bin", 3) == 0 &&
          !SkipBinaryBytes(ControlWordParamLength(token) > 0 ? ControlWordParam(token) : 0)) {
        damaged_ = true;
        return;
      }
    }
  }
}

void TRtfLexer::SkipGroup() {
  const int32_t depth = Depth();
  while (!damaged_) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End || item.Type == TRtfItem::Kind::Damaged) return;
    if (item.Type == TRtfItem::Kind::GroupEnd && (Depth() < depth || item.Unbalanced)) return;
  }
}

}  // namespace qv
