#pragma once
// Edit code 23: the text of the selection rewritten in place by one of seven modes (keyboard
// layout, upper, lower, invert, sentence and heading case, font character set). The bytes are
// rewritten in a copy of the content, so formatting, fields and objects stay where they were,
// and the copy replaces the range as one undoable step.
#include <cstdint>

#include "document/doc_position.h"
#include "foundation/base/memory.h"

namespace qv {

class TCompoundFragment;
class TDoc;

enum : uint8_t {
  cmKeyboardLayout = 0,
  cmUpperCase = 1,
  cmLowerCase = 2,
  cmInvertCase = 3,
  cmSentenceCase = 4,
  cmHeadingCase = 5,
  cmFontCharset = 6,
};

// Flags bit 2 (value 4) puts the selection back afterwards. The parameter is a
// TKeyLayoutConversion for mode 0, an int32 for mode 6 (negative: a code page by its negation,
// else a language id), none otherwise.
void ConvertText(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                 const void* parameter, uint32_t flags, uint8_t mode);

// One byte in a language's case (the byte stays when its mapping does not fit one byte of the
// code page, as for the German sharp s in upper case).
uint8_t ToUpperByte(uint8_t byte, uint32_t codePage, int32_t language);
uint8_t ToLowerByte(uint8_t byte, uint32_t codePage, int32_t language);

}  // namespace qv
