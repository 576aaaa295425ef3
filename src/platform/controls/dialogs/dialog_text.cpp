#include "platform/controls/dialogs/dialog_text.h"

#include "platform/system/utf_codec.h"

namespace plat {

std::u16string Utf8To16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const Utf8Sequence seq = ReadUtf8Sequence(s, i);
    if (!seq.IsCharacter()) {  // every byte of a malformed or invalid sequence is replaced
      out += u'\uFFFD';
      ++i;
      continue;
    }
    AppendUtf16(out, seq.value);
    i += seq.length;
  }
  return out;
}

std::string Utf16To8(std::u16string_view s) { return Utf16ToUtf8(s); }

std::string FormatOne(std::string_view message, std::string_view text) {
  std::string out(message);
  size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, text);
  return out;
}

}  // namespace plat
