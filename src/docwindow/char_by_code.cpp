#include "docwindow/char_by_code.h"

#include <array>
#include <string>

#include "document/doc.h"
#include "docwindow/view_flags.h"
#include "editing/edit_codes.h"
#include "editing/ops/font_fallback.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr uint32_t kSoftHyphen = 0x00AD;
constexpr uint32_t kOptionalHyphen = 31;
constexpr uint32_t kNoBreakSpace = 0x00A0;

// The code page 437 graphics of the codes 1 to 31.
constexpr std::array<char16_t, 32> kOemGraphics = {
    0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};

bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

bool ReadNumber(const std::string& digits, bool hex, uint32_t& value) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return false;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > kMaxCodePoint) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

std::string FaceOf(int32_t font) {
  TFontManager* fm = FontManager();
  return fm != nullptr && font != CharUnset ? fm->GetFaceName(font) : std::string();
}

}  // namespace

bool ParseCharCode(const std::string& text, TCharCode& out) {
  std::string rest = text;
  bool hex = false;
  if (!rest.empty() && (rest[0] == 'X' || rest[0] == 'x')) {
    hex = true;
    rest.erase(0, 1);
  }
  int zeros = 0;
  while (zeros < 2 && !rest.empty() && rest[0] == '0' && rest.size() > 1) {
    ++zeros;
    rest.erase(0, 1);
  }
  uint32_t value = 0;
  if (!ReadNumber(rest, hex, value) || value == 0) return false;
  TCharCode code;
  code.Digits = rest;
  code.Value = value;
  code.CodeKind = zeros == 2 ? TCharCode::Kind::Unicode
                  : zeros == 1 ? TCharCode::Kind::Ansi
                               : TCharCode::Kind::Oem;
  if (value >= 256) code.CodeKind = TCharCode::Kind::Unicode;
  if (zeros > 0 && value < 32) return false;
  if (code.CodeKind == TCharCode::Kind::Unicode &&
      (IsSurrogate(value) || value == 0xFFFE || value == 0xFFFF || value > kMaxCodePoint))
    return false;
  out = code;
  return true;
}

uint32_t OemCodeToChar(uint32_t code) {
  if (code < 32) return kOemGraphics[code];
  const std::u16string wide = CodePageToWide(std::string(1, static_cast<char>(code)), 437);
  const uint32_t ch = wide.empty() ? code : wide[0];
  return ch == kSoftHyphen ? kOptionalHyphen : ch;
}

bool InsertCharByCode(TDoc& doc, const std::string& text) {
  TCharCode code;
  if (!ParseCharCode(text, code)) return false;
  doc.UpdateTypingFormat(doc.Caret, 1);
  uint32_t ch = code.Value;
  if (code.CodeKind == TCharCode::Kind::Oem) ch = OemCodeToChar(ch);
  std::string face;
  if (code.CodeKind == TCharCode::Kind::Ansi || (code.CodeKind == TCharCode::Kind::Oem && ch == kNoBreakSpace))
    face = FaceOf(doc.TypingFormat.Font);
  else if (ch == kOptionalHyphen)
    face = FaceOf(doc.TypingFormat.Font);
  else
    face = FindFallbackFont(doc, ch, doc.TypingFormat);
  if (face.empty()) {
    ShowInfoFmt("No font on your system has a character with code %s.", code.Digits);
    return false;
  }
  int32_t value = static_cast<int32_t>(ch);
  uint8_t kind = static_cast<uint8_t>(code.CodeKind);
  void* args[] = {&value, &face, &kind};
  doc.SetScopedFlag(vfSymbolByCode);
  try {
    doc.ExecuteEdit(ecInsertSymbol, args, 2);
  } catch (...) {
    doc.RestoreScopedFlag();
    throw;
  }
  doc.RestoreScopedFlag();
  return true;
}

}  // namespace qv
