#include "foundation/fonts/code_page_fonts.h"

#include "foundation/text/code_pages.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

namespace qv {

int32_t GetCharAdvance(const plat::Canvas& canvas, char16_t ch) {
  const plat::AbcWidth abc = canvas.GetFont().CharAbc(ch);
  return abc.A + abc.B + abc.C;
}

void SetFontCharsetForLang(plat::LogFont& font, int32_t languageId) {
  font.CharSet = GetLanguageCharset(languageId, false);
}

}  // namespace qv
