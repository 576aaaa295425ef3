#include "files/rtf/rtf_write_state.h"

#include <algorithm>
#include <charconv>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/rtf/rtf_keywords.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

constexpr std::array<uint8_t, 256> MakeByteClasses() {
  std::array<uint8_t, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    if (b < 32) classes[b] = 0;
    else if (b == '\\' || b == '{' || b == '}') classes[b] = 2;
    else if (b < 128) classes[b] = 1;
    else classes[b] = 3;
  }
  return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();
constexpr char kHexDigits[] = "0123456789abcdef";

void WriteNumber(TRtfWriteState& w, int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof(digits), value);
  w.Bytes(digits, static_cast<int32_t>(result.ptr - digits));
}

bool HasWideUnit(const std::u16string& text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 127; });
}

}  // namespace

TRtfWriteState::TRtfWriteState(TSaveContext& context) : Context(context), Doc(*context.Doc) {
  FormatStack.reserve(264 / sizeof(FormatStack[0]) + 1);
}

TPar& TRtfWriteState::Par() const {
  if (CurrentParObject != nullptr) return *CurrentParObject;
  return *Doc.Par(CurrentPar);
}

uint8_t RtfByteClass(uint8_t byte) { return kByteClasses[byte]; }

void WriteRtfWord(TRtfWriteState& w, int32_t word) {
  w.Byte('\\');
  w.Text(RtfKeywordName(word));
  w.DelimiterPending = true;
}

void WriteRtfToggle(TRtfWriteState& w, int32_t word, bool on) {
  WriteRtfWord(w, word);
  if (!on) w.Byte('0');
}

void WriteRtfWordValue(TRtfWriteState& w, int32_t word, int64_t value) {
  WriteRtfWord(w, word);
  WriteNumber(w, value);
}

void OpenRtfGroup(TRtfWriteState& w) {
  w.Byte('{');
  w.DelimiterPending = false;
}

void CloseRtfGroup(TRtfWriteState& w) {
  w.Byte('}');
  w.DelimiterPending = false;
}

void WriteRtfValueGroup(TRtfWriteState& w, int32_t word, int64_t value) {
  OpenRtfGroup(w);
  WriteRtfWordValue(w, word, value);
  CloseRtfGroup(w);
}

namespace {

template <class Text>
void WriteStarGroup(TRtfWriteState& w, int32_t word, const Text& text) {
  if (text.empty()) return;
  w.Text("{\\*");
  WriteRtfWord(w, word);
  w.Byte(' ');
  w.DelimiterPending = false;
  WriteRtfString(w, text);
  CloseRtfGroup(w);
}

}  // namespace

void WriteRtfStarGroup(TRtfWriteState& w, int32_t word, const std::string& text) {
  WriteStarGroup(w, word, text);
}

void WriteRtfStarGroup(TRtfWriteState& w, int32_t word, const std::u16string& text) {
  WriteStarGroup(w, word, text);
}

void WriteRtfTextGroup(TRtfWriteState& w, int32_t word, const std::u16string& text) {
  if (!HasWideUnit(text)) {
    OpenRtfGroup(w);
    WriteRtfWord(w, word);
    w.Byte(' ');
    w.DelimiterPending = false;
    WriteRtfString(w, WideToCodePage(text, DefaultCodePage));
    CloseRtfGroup(w);
    return;
  }
  OpenRtfGroup(w);
  WriteRtfWord(w, RtfWord("upr"));
  OpenRtfGroup(w);
  WriteRtfWord(w, word);
  w.Byte(' ');
  w.DelimiterPending = false;
  // The 8-bit form is always escaped, so that readers without Unicode get it whole.
  const bool raw = w.RawText;
  w.RawText = false;
  WriteRtfString(w, WideToCodePage(text, DefaultCodePage));
  w.RawText = raw;
  CloseRtfGroup(w);
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("ud"));
  OpenRtfGroup(w);
  WriteRtfWord(w, word);
  w.Byte(' ');
  w.DelimiterPending = false;
  WriteRtfString(w, text);
  CloseRtfGroup(w);
  CloseRtfGroup(w);
  CloseRtfGroup(w);
}

void WriteRtfHexByte(TRtfWriteState& w, uint8_t byte) {
  const char escape[4] = {'\\', '\'', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
  w.Bytes(escape, 4);
}

void WriteRtfString(TRtfWriteState& w, std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    const uint8_t cls = kByteClasses[b];
    size_t j = i + 1;
    if (cls == 1) {
      while (j < text.size() && kByteClasses[static_cast<uint8_t>(text[j])] == 1) ++j;
      w.Bytes(text.data() + i, static_cast<int32_t>(j - i));
    } else if (cls == 2) {
      const char escape[2] = {'\\', static_cast<char>(b)};
      w.Bytes(escape, 2);
    } else {
      while (j < text.size()) {
        const uint8_t c = kByteClasses[static_cast<uint8_t>(text[j])];
        if (c != 0 && c != 3) break;
        ++j;
      }
      if (w.RawText) {
        w.Bytes(text.data() + i, static_cast<int32_t>(j - i));
      } else {
        for (size_t k = i; k < j; ++k) WriteRtfHexByte(w, static_cast<uint8_t>(text[k]));
      }
    }
    i = j;
  }
  if (!text.empty()) w.DelimiterPending = false;
}

void WriteRtfString(TRtfWriteState& w, const std::u16string& text) {
  for (char16_t c : text) {
    if (c > 127) {
      WriteRtfWordValue(w, RtfWord("u"), static_cast<uint16_t>(c));
      w.Byte('?');
    } else if (c == 9) {
      w.Text("\\tab ");
    } else if (kByteClasses[c] == 2) {
      const char escape[2] = {'\\', static_cast<char>(c)};
      w.Bytes(escape, 2);
    } else {
      w.Byte(static_cast<uint8_t>(c));
    }
  }
  if (!text.empty()) w.DelimiterPending = false;
}

void WriteRtfParagraphMark(TRtfWriteState& w) {
  if (w.RawText) {
    w.Text("\\\r");
    w.DelimiterPending = false;
  } else {
    WriteRtfWord(w, RtfWord("par"));
  }
}

void WriteRtfDelimiter(TRtfWriteState& w) {
  if (!w.DelimiterPending) return;
  w.Byte(' ');
  w.DelimiterPending = false;
}

void WriteRtfHexData(TRtfWriteState& w, const uint8_t* data, size_t count) {
  char chunk[512];
  size_t i = 0;
  while (i < count) {
    const size_t n = std::min<size_t>(count - i, sizeof(chunk) / 2);
    for (size_t k = 0; k < n; ++k) {
      chunk[2 * k] = kHexDigits[data[i + k] >> 4];
      chunk[2 * k + 1] = kHexDigits[data[i + k] & 15];
    }
    w.Bytes(chunk, static_cast<int32_t>(2 * n));
    i += n;
  }
}

int32_t RtfColorIndex(const TRtfWriteState& w, int32_t color) {
  const auto& table = w.Context.ColorTable;
  const auto it = std::find(table.begin(), table.end(), static_cast<uint32_t>(color));
  return it == table.end() ? 0 : static_cast<int32_t>(it - table.begin());
}

int32_t RtfListOutputNumber(const TRtfWriteState& w, int32_t number) {
  if (number == 0 || number == ParUnset32) return 0;
  for (size_t i = 0; i < w.Doc.Lists.size(); ++i) {
    if (w.Doc.Lists[i]->Number != number) continue;
    return i < w.Context.ListOutputNumber.size() ? w.Context.ListOutputNumber[i] : 0;
  }
  return 0;
}

}  // namespace qv
