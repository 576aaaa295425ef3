// The font for a character that the typing font lacks: the order in which faces are tried, and
// typed text switching to the face found; a character of another code page takes the same face
// in that code page's character set.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editing/ops/font_fallback.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/fonts/own_font.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

// Faces that have the character, and how often each face was asked.
class FakeSearch : public TFallbackFontSearch {
 public:
  FakeSearch(TDoc& doc, std::vector<std::string> having)
      : TFallbackFontSearch(doc), having_(std::move(having)) {}
  std::map<std::string, int> Asked;

 protected:
  bool FaceHasChar(const std::string& face, uint32_t) override {
    ++Asked[face];
    return std::find(having_.begin(), having_.end(), face) != having_.end();
  }
  // The fake's faces are not the installed ones: what it finds missing stays with it.
  bool KnownMissing(uint32_t c) override { return missing_.count(c) != 0; }
  void NoteMissing(uint32_t c) override { missing_.insert(c); }

 private:
  std::vector<std::string> having_;
  std::set<uint32_t> missing_;
};

struct FontFallback : ::testing::Test {
  static void SetUpTestSuite() {
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  }
  int32_t Font(const char* face, int32_t charset = 0) { return FontManager()->FontIndex(face, charset, false); }
  // One paragraph per font, each starting with its font tag.
  void FontParagraphs(TDoc& doc, const std::vector<const char*>& faces) {
    std::vector<std::string> texts(faces.size(), "text");
    SetMainText(doc, texts);
    for (size_t i = 0; i < faces.size(); ++i) {
      TPar& p = *doc.Par(static_cast<int32_t>(i));
      p.Content.Clear();
      AppendContentTag(p.Content, ctFont, Font(faces[i]));
      p.Content.AppendString("text");
      AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
      p.RebuildCodes();
      p.ContentChanged();
    }
  }
  OpsScope scope;
};

TEST_F(FontFallback, FacesAreTriedInOrderEachOnce) {
  struct Case {
    const char* name;
    std::vector<std::string> having;
    const char* want;
  } cases[] = {
      {"the format's own font", {"Qv Own", "Qv Second"}, "Qv Own"},
      {"the fonts of the text, the last paragraph first", {"Qv First", "Qv Second"}, "Qv Second"},
      {"then the common faces in their order", {"Arial Unicode MS", "Symbol"}, "Arial Unicode MS"},
      {"none", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDoc doc(true);
    FontParagraphs(doc, {"Qv First", "Qv Own", "Qv Second"});
    TCharFormat format = DefaultCharFormat;
    format.Font = Font("Qv Own");
    FakeSearch search(doc, c.having);
    EXPECT_EQ(search.Find(0x2200, format), c.want);
    for (const auto& [face, times] : search.Asked) EXPECT_EQ(times, 1) << face;
  }
}

TEST_F(FontFallback, CharacterNoFaceHasIsSearchedOnce) {
  TDoc doc(true);
  FontParagraphs(doc, {"Qv First", "Qv Second"});
  TCharFormat format = DefaultCharFormat;
  format.Font = Font("Qv Own");
  FakeSearch search(doc, {});
  EXPECT_EQ(search.Find(0x1D400, format), "");
  EXPECT_GT(search.Asked.size(), 3u);
  search.Asked.clear();
  EXPECT_EQ(search.Find(0x1D400, format), "");
  EXPECT_TRUE(search.Asked.empty());
  // Another character is searched for as before.
  EXPECT_EQ(search.Find(0x1D401, format), "");
  EXPECT_GT(search.Asked.size(), 3u);
}

TEST_F(FontFallback, TypedCharacterTheFontLacksTakesTheFirstFaceThatHasIt) {
  TFontManager& fm = *FontManager();
  if (fm.FontCoversChar("Liberation Sans", 0x2200) >= 0 || fm.FontCoversChar("DejaVu Sans", 0x2200) < 0)
    GTEST_SKIP() << "needs Liberation Sans without and DejaVu Sans with the sign for all";
  TDoc doc(true);
  FontParagraphs(doc, {"Liberation Sans", "DejaVu Sans"});
  Caret(doc, 0, 1);
  doc.SelectionChanged();  // typing goes on in the font of the text at the caret
  const std::string before = DumpDoc(doc);
  TypeWide(doc, u"\u2200x");
  TCharFormat sign, after;
  doc.Par(0)->GetCharFormatAt(1, sign);
  doc.Par(0)->GetCharFormatAt(3, after);
  EXPECT_EQ(fm.GetFaceName(sign.Font), "DejaVu Sans");
  // The next character goes on in the fallback face; the text after the insertion keeps its own.
  EXPECT_EQ(fm.GetFaceName(after.Font), "Liberation Sans");
  ExpectUndoRedoExact(doc, before);
}

TEST_F(FontFallback, CharacterPastTheBasicPlaneTakesAFaceThatHasIt) {
  qvtest::TSfntFont font;
  font.Family = "Qv Cuneiform Fallback";
  font.BasicPlaneMap = true;
  font.Ranges = {{'A', 'Z', 1}, {0x12000, 0x1201F, 27}};
  font.GlyphCount = 1 + 26 + 32;
  qvtest::OwnFont own(font);
  ASSERT_TRUE(own.Added());
  TFontManager& fm = *FontManager();
  TDoc doc(true);
  FontParagraphs(doc, {"Liberation Sans"});
  Caret(doc, 0, 1);
  doc.SelectionChanged();
  const std::string before = DumpDoc(doc);
  // A pasted or typed character beyond the basic plane (its two halves) and one no font has.
  TypeWide(doc, u"\U00012000\U00013000");
  TCharFormat high, low, after;
  doc.Par(0)->GetCharFormatAt(1, high);
  doc.Par(0)->GetCharFormatAt(2, low);
  doc.Par(0)->GetCharFormatAt(5, after);
  EXPECT_EQ(fm.GetFaceName(high.Font), font.Family);
  EXPECT_EQ(low.Font, high.Font);
  EXPECT_EQ(fm.GetFaceName(after.Font), "Liberation Sans");
  EXPECT_TRUE(fm.IsCharMissing(0x13000));
  EXPECT_FALSE(fm.IsCharMissing(0x12000));
  ExpectUndoRedoExact(doc, before);
}

TEST_F(FontFallback, CharacterOfAnotherCodePageTakesTheSameFaceInItsCharacterSet) {
  // Faces registered in several character sets make font numbers and font ids differ.
  for (int32_t charset : {0, 238, 161}) Font("Qv Padding Face", charset);
  const int32_t face = Font("Qv Cyrillic Test Face");
  ASSERT_NE(FontManager()->RegFonts[static_cast<size_t>(face)].FontId, face);
  if (FontManager()->FontCoversChar("Qv Cyrillic Test Face", 0x416) < 0)
    GTEST_SKIP() << "the stand-in face of a missing one has no Cyrillic";
  TDoc doc(true);
  FontParagraphs(doc, {"Qv Cyrillic Test Face"});
  Caret(doc, 0, 1);
  doc.SelectionChanged();
  TypeWide(doc, u"\u0416");
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(1, f);
  ASSERT_TRUE(FontManager()->IsValidFont(f.Font));
  const TRegFont& entry = FontManager()->RegFonts[static_cast<size_t>(f.Font)];
  EXPECT_EQ(entry.FaceName, "Qv Cyrillic Test Face");
  EXPECT_EQ(entry.Charset, 204);
}

}  // namespace
