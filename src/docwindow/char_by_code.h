#pragma once
// Characters typed by their code (Alt with the numeric keypad, Alt+X, and the characters that
// the typing code page cannot hold): the text is the code, read as an OEM, ANSI or Unicode value,
// and the character goes into the document in a font that has it.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

// What a code text means.
struct TCharCode {
  enum class Kind : uint8_t { Oem = 0, Ansi = 1, Unicode = 2 };
  Kind CodeKind = Kind::Oem;
  uint32_t Value = 0;   // the code as typed
  std::string Digits;   // the digits after "X" and the leading zeros
};

// Reads the text: a leading "X" means hexadecimal; one leading zero an ANSI code, two a Unicode
// code, none an OEM code; a value from 256 up is Unicode whatever the zeros. False for an
// invalid number, a value below 32 given with zeros, 0, an ANSI or OEM value from 256, a
// surrogate, U+FFFE, U+FFFF or a value past U+10FFFF.
bool ParseCharCode(const std::string& text, TCharCode& out);

// The character an OEM code stands for: the code page 437 graphics for 1 to 31, the OEM code
// page's character otherwise (a soft hyphen becomes the optional hyphen, 31).
uint32_t OemCodeToChar(uint32_t code);

// Inserts the character of the code text at the caret with the insert-symbol edit, in the typing
// font when it has the character (always for ANSI codes), else in the first font that has it;
// reports "No font on your system has a character with code %s." when none has it. A code
// outside the basic plane is inserted whole, as one character. False when nothing was inserted.
bool InsertCharByCode(TDoc& doc, const std::string& text);

}  // namespace qv
