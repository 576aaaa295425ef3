#pragma once
// Byte-to-UTF-16 decoding for the fonts' code pages. Code pages 1252 and Latin-1 are built in;
// the others go through the decoder registered with SetCodePageDecoder (font.h) and fall back to
// 1252 while none is registered.
#include <cstdint>
#include <string>
#include <string_view>

namespace plat::gfx_detail {

// The character of one byte in a code page; 0 when the byte has none there (a lead byte of a
// double-byte code page). Code page 0 stands for a symbol font's own codes: U+F000 + byte.
char16_t DecodeByte(int32_t codePage, uint8_t b);
std::u16string DecodeBytes(int32_t codePage, std::string_view bytes);

}  // namespace plat::gfx_detail
