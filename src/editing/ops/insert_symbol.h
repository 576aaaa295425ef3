#pragma once
// Inserting one character in a given font (a symbol, or a character typed by its code): it
// replaces the selection or goes in at the caret, in the typing format with the font changed to
// the one named.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

// `eightBit`: the character is a byte of the typing font's code page (an ANSI code) rather than
// a Unicode character. Surrogate codes and codes past U+10FFFF insert nothing; a character above
// U+FFFF goes in whole. An empty face keeps the typing font.
void InsertSymbol(TDoc& doc, uint32_t character, const std::string& face, bool eightBit);

}  // namespace qv
