#pragma once
// The font-format clipboard: one character format for the whole program. Copy Font Format fills
// it, Paste Font Format applies it, and the Format Brush carries it.
#include "document/char_format.h"

namespace qv {

struct TFontFormatClipboard {
  TCharFormat Format;
  bool Filled = false;
};

TFontFormatClipboard& FontFormatClipboard();

}  // namespace qv
