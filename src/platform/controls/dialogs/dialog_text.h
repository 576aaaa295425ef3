#pragma once
// Text helpers of the common dialogs: paths and filters are UTF-8 byte strings, captions UTF-16.
#include <string>
#include <string_view>

namespace plat {

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string Utf8To16(std::string_view s);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16To8(std::u16string_view s);
// Replaces the first "%s" of a message by the text.
std::string FormatOne(std::string_view message, std::string_view text);

}  // namespace plat
