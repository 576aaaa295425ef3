#include "foundation/base/constant_tables.h"

namespace qv {

uint8_t UnicodeToSpecialChar(char16_t ch) {
  switch (ch) {
    case 9: return 9;                 // tab
    case 150: case 8211: return 14;   // en dash
    case 151: case 8212: return 13;   // em dash
    case 160: return 11;              // no-break space
    case 173: return 15;              // soft (optional) hyphen
    case 8194: return 18;             // en space
    case 8195: return 19;             // em space
    case 8197: return 20;             // four-per-em space
    case 8209: return 12;             // non-breaking hyphen
    default: return kNotSpecialChar;
  }
}

int32_t DateFormatSetIndex(int32_t languageId) {
  constexpr int32_t kFrench = 12;
  constexpr int32_t kUsEnglish = 1033;
  if ((languageId & 0x3FF) == kFrench) return 2;
  return languageId == kUsEnglish ? 1 : 0;
}

}  // namespace qv
