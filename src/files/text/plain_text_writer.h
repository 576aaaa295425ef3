#pragma once
// Writing a document or a range of it as plain text through the output layer, in one of the
// twelve encodings (the saving options' code page field holds the encoding index) with one of
// the four line-end styles. UTF-8 is standard UTF-8 (a surrogate pair is one 4-byte sequence, a
// lone surrogate U+FFFD); a character the chosen code page cannot hold is written as "?".
#include <cstdint>
#include <string>

namespace qv {

class TPar;
class TSaveContext;

// Writes the options' range; 0 when written, 2 when the writing failed or was cancelled.
uint8_t WriteTxt(TSaveContext& context);
// Writes the characters of one paragraph from `start` up to `end` (exclusive).
void WriteTxtParagraph(TPar& par, int32_t start, int32_t end, TSaveContext& context);

// UTF-16 text in an encoding, without a mark and without line-end handling.
std::string EncodePlainText(const std::u16string& text, int32_t encoding);
// The bytes of a line end of the style in the encoding.
std::string LineEndBytes(uint8_t style, int32_t encoding);
// The byte-order mark of the encoding (empty for those without one).
std::string ByteOrderMark(int32_t encoding);

}  // namespace qv
