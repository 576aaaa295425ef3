#pragma once
// UTF-8 and UTF-16 code points taken apart and put together. The display backend, the
// clipboard and the dialogs share these; each keeps its own rule for what malformed UTF-8
// turns into.
#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// Appends one code point (at most U+10FFFF) as UTF-8 or as UTF-16.
void AppendUtf8(std::string& out, char32_t c);
void AppendUtf16(std::u16string& out, char32_t c);

// The code point at s[i], advancing i past it: a surrogate pair is joined, a lone surrogate
// gives U+FFFD.
char32_t NextUtf16CodePoint(std::u16string_view s, size_t& i);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

// The UTF-8 sequence that starts at one position.
struct Utf8Sequence {
  char32_t value = 0;
  // Bytes the sequence takes; 0 when there is none: a byte that cannot start one, a sequence
  // cut off by the end, or a byte that should continue it and does not.
  size_t length = 0;

  // True when the value is a character its length may spell: not in a longer form than it
  // needs, not a surrogate, at most U+10FFFF.
  bool IsCharacter() const;
};
Utf8Sequence ReadUtf8Sequence(std::string_view s, size_t i);

}  // namespace plat
