#pragma once
// The small font routines that go with code pages: the advance of one character on a canvas and
// the character set of a font for a language.
#include <cstdint>

namespace plat {
class Canvas;
struct LogFont;
}  // namespace plat

namespace qv {

// Advance width of one UTF-16 character in the canvas's font: the sum of its A, B and C widths.
int32_t GetCharAdvance(const plat::Canvas& canvas, char16_t ch);
// The font's character set becomes that of the language (GetLanguageCharset without fallback).
void SetFontCharsetForLang(plat::LogFont& font, int32_t languageId);

}  // namespace qv
