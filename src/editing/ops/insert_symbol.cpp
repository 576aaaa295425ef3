#include "editing/ops/insert_symbol.h"

#include "document/char_format.h"
#include "document/doc.h"
#include "document/par.h"
#include "editing/format_operations.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/typing.h"
#include "foundation/base/memory.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

bool IsInsertable(uint32_t c) { return c != 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void AppendUnit(TMemory& m, uint32_t unit) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>(unit >> 8)};
  m.Append(bytes, 2);
}

}  // namespace

void InsertSymbol(TDoc& doc, uint32_t character, const std::string& face, bool eightBit) {
  if (!IsInsertable(character) || (eightBit && character > 0xFF)) return;
  const TDocPosition start = doc.HasSelection() ? doc.Selection->GetRange(0)->Start : doc.Caret;
  TMemory text;
  uint32_t flags = 0;
  if (eightBit) {
    const uint8_t byte = static_cast<uint8_t>(character);
    text.Append(&byte, 1);
  } else {
    flags = idfUtf16;
    if (character > 0xFFFF) {
      const uint32_t v = character - 0x10000;
      AppendUnit(text, 0xD800 + (v >> 10));
      AppendUnit(text, 0xDC00 + (v & 0x3FF));
    } else {
      AppendUnit(text, character);
    }
  }
  TypeText(doc, text, flags);
  TFontManager* fonts = FontManager();
  if (face.empty() || fonts == nullptr) return;
  const TDocPosition end = doc.Caret;
  if (end.Par != start.Par || end.Offset <= start.Offset) return;
  // A character typed by its Unicode code went in as a byte of the character set that holds it
  // (Greek, Cyrillic ...): the face must be taken in that set, or the byte reads as another
  // letter.
  int32_t charset = kAnyCharset;
  if (!eightBit) {
    TCharFormat typed;
    doc.Par(start.Par)->GetCharFormatAt(start.Offset, typed);
    if (fonts->IsValidFont(typed.Font)) charset = fonts->RegFonts[size_t(typed.Font)].Charset;
  }
  // A face without that set keeps the font the typing gave the character.
  const int32_t font = fonts->FontIndex(face, charset, true);
  if (font < 0) return;
  TDocRange inserted;
  MakeRange(start.Par, start.Offset, end.Par, end.Offset, inserted);
  TCharFormat f = UnsetCharFormat;
  f.Font = font;
  FormatFont(doc, nullptr, &inserted, 0, f);
  doc.Caret = end;
}

}  // namespace qv
