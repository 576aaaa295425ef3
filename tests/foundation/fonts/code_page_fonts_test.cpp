#include "foundation/fonts/code_page_fonts.h"

#include <gtest/gtest.h>

#include "foundation/text/code_pages.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/font.h"

using namespace qv;

namespace {

TEST(CodePageFonts, AdvanceAndCharsetForLanguage) {
  plat::LogFont lf;
  lf.FaceName = "DejaVu Sans";
  lf.Height = -20;
  SetFontCharsetForLang(lf, 1049);
  EXPECT_EQ(lf.CharSet, RUSSIAN_CHARSET);
  SetFontCharsetForLang(lf, 1081);  // a Unicode-only language: no fallback
  EXPECT_EQ(lf.CharSet, ANSI_CHARSET);
  plat::Canvas canvas;
  canvas.SetFont(plat::Font(lf));
  EXPECT_EQ(GetCharAdvance(canvas, u'W'), canvas.GetFont().CharAdvance(U'W'));
  EXPECT_GT(GetCharAdvance(canvas, u'W'), GetCharAdvance(canvas, u'i'));
}

TEST(CodePageFonts, DrawingDecodesBytesInEveryCodePage) {
  plat::LogFont lf;
  lf.CharSet = RUSSIAN_CHARSET;
  EXPECT_EQ(plat::Font(lf).DecodeBytes("\xC6\xE6"), u"\u0416\u0436");
  lf.CharSet = GREEK_CHARSET;
  EXPECT_EQ(plat::Font(lf).DecodeBytes("\xD9"), u"\u03A9");
}

}  // namespace
