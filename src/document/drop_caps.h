#pragma once
// Drop caps: the enlarged first characters of a main-text paragraph, a field of kind 8 whose
// marks enclose them. The enlargement is plain character formatting (font, size, vertical
// offset) of the enclosed characters; the field carries the settings that the layout and the
// drop-cap dialog read (two 32-bit words).
#include <cstdint>

#include "document/char_format.h"
#include "document/field.h"

namespace qv {

// The settings as the field keeps them; the layout and the dialog give the first byte, the
// 16-bit value and the last word their meaning.
struct TDropCapSettings {
  static constexpr uint8_t Unchanged8 = 0x80;
  static constexpr uint16_t Unchanged16 = 0x8000;
  uint8_t First = 0;
  uint8_t Lines = 3;  // the number of lines the letters span
  uint16_t Value16 = 0;
  uint32_t Last = 0;  // making a drop cap sets it to 0
};

// The settings record a drop-cap field owns.
class TDropCapRecord : public TFieldAttachment {
 public:
  TDropCapSettings Settings;
};

// The settings of a drop-cap field (defaults for a field without its record).
TDropCapSettings DropCapSettingsOf(const TField& field);

// A drop cap taken off while a replacement runs over its characters.
struct TSavedDropCap {
  int32_t Par = 0;
  int32_t EndOffset = 0;
  TDropCapSettings Settings;
  TCharFormat Format;  // of the paragraph's first character
};

}  // namespace qv
