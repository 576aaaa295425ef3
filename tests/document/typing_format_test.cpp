#include <gtest/gtest.h>

#include "document/field.h"
#include "document/selection_fixture.h"
#include "document/selection_flags.h"

namespace {

TEST(CommonFormats, ParagraphFormatOfTwoParagraphsThatDifferInAlignment) {
  TTestDoc t;
  t.Text("left").Format.Alignment = 0;
  t.Text("centred").Format.Alignment = 1;
  TParFormat f;
  t.doc.GetCommonParFormat(nullptr, Range(0, 0, 1, 2), f);
  EXPECT_TRUE(IsParFormatPropUnset(f, ppAlignment));
  EXPECT_EQ(GetParFormatProp(f, ppLeftIndent), GetParFormatProp(DefaultParFormat, ppLeftIndent));
  t.doc.GetCommonParFormat(nullptr, Range(1, 0, 1, 2), f);
  EXPECT_EQ(GetParFormatProp(f, ppAlignment), 1);
}

// Fonts 0 and 5 are one face in two character sets.
struct SameFaces : TFontFaceSource {
  bool SameFace(int32_t a, int32_t b) const override {
    return a == b || (a % 5 == 0 && b % 5 == 0);
  }
};

TEST(CommonFormats, CharacterFormatOfMixedSelections) {
  ScopedService<TFontFaceSource, SameFaces> faces;
  TTestDoc t;
  // "bold" in bold, " and " plain, "italic" in italic; then a change to the other character
  // set of the same face.
  t.Add(TStreamBuilder()
            .Tag(ctBold, 1).Text("bold").Tag(ctBold, 0).Text(" and ")
            .Tag(3, 1).Text("italic").Tag(3, 0)
            .Tag(ctFont, 5).Text("xy").End());
  TDoc& doc = t.doc;
  struct Case {
    TDocRange range;
    int32_t bold, italic, font;
  } cases[] = {
      {Range(0, 1, 0, 3), 1, 0, 0},                // inside the bold word
      {Range(0, 0, 0, 4), 1, 0, 0},                // the bold word exactly
      {Range(0, 2, 0, 6), CharUnset, 0, 0},        // over the end of the bold word
      {Range(0, 9, 0, 18), 0, CharUnset, 0},       // over the italic word's end and the font change
      {Range(0, 0, 0, 0), 1, 0, 0},                // at offset 0: the first character's format
  };
  for (const Case& c : cases) {
    TCharFormat f;
    doc.GetCommonCharFormat(nullptr, c.range, f);
    EXPECT_EQ(f.Bold, c.bold) << c.range.Start.Offset << "-" << c.range.End.Offset;
    EXPECT_EQ(f.Italic, c.italic);
    EXPECT_EQ(f.Font, c.font);
    EXPECT_EQ(f.Size, DefaultCharFormat.Size);  // the same everywhere: stays set
  }
  // Two ranges, one bold and one italic: both unset, the rest set.
  TFragmentRef two = AcquireFragment();
  two->SetSingleRange(0, 0, 0, 4);
  two->InsertRange(1, Range(0, 9, 0, 15));
  TCharFormat f;
  doc.GetCommonCharFormat(two.get(), TDocRange{}, f);
  EXPECT_EQ(f.Bold, CharUnset);
  EXPECT_EQ(f.Italic, CharUnset);
  EXPECT_EQ(f.Underline, 0);
  // The selection's common format is the current format.
  doc.SetSelection(0, 2, 0, 6);
  EXPECT_EQ(doc.CurCharFormat.Bold, CharUnset);
  EXPECT_EQ(doc.CurCharFormat.Italic, 0);
}

// "ab", a hyperlink "link" underlined in blue, " cd"; "x", a SYMBOL field "s" in font 3, "y";
// "word", a footnote reference "1" in superscript, " more".
struct FieldEdges : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  TField link, symbol, reference;
  void SetUp() override {
    link.FieldType = ftHyperlink;
    symbol.FieldType = ftSymbol;
    reference.Kind = fkNoteReference;
    t.Add(TStreamBuilder()
              .Text("ab").Ref(ctFieldStart, &link).Tag(6, 1).Tag(15, 0xFF0000).Text("link")
              .Ref(ctFieldEnd, &link).Tag(6, 0).Tag(15, AutoColor).Text(" cd").End());
    t.Add(TStreamBuilder()
              .Text("x").Ref(ctFieldStart, &symbol).Tag(ctFont, 3).Text("s")
              .Ref(ctFieldEnd, &symbol).Tag(ctFont, 0).Text("y").End());
    t.Add(TStreamBuilder()
              .Text("word").Ref(ctFieldStart, &reference).Tag(17, 1).Text("1")
              .Ref(ctFieldEnd, &reference).Tag(17, 0).Text(" more").End());
  }
};

TEST_F(FieldEdges, FormatAfterAFieldIsThatOfTheTextOutsideIt) {
  TCharFormat f;
  doc.GetCharFormatAt(0, 6, f);  // right after the hyperlink
  EXPECT_EQ(f.Underline, 0);
  EXPECT_EQ(f.Color, AutoColor);
  doc.GetCharFormatAt(0, 5, f);  // inside it
  EXPECT_EQ(f.Underline, 1);
  doc.GetCharFormatAt(1, 2, f);  // right after the symbol
  EXPECT_EQ(f.Font, 0);
  doc.GetCharFormatAt(2, 5, f);  // right after the note number
  EXPECT_EQ(f.Script, 0);
  EXPECT_EQ(doc.GetLanguageAt(2, 5), DefaultCharFormat.Language);

  doc.SetScopedFlag(dfNoFieldEdgeRules);  // the plain format of the character before
  doc.GetCharFormatAt(0, 6, f);
  EXPECT_EQ(f.Underline, 1);
  doc.GetCharFormatAt(1, 2, f);
  EXPECT_EQ(f.Font, 3);
  doc.GetCharFormatAt(2, 5, f);
  EXPECT_EQ(f.Script, 1);
  doc.RestoreScopedFlag();
}

TEST_F(FieldEdges, TypingAfterAHyperlinkIsNotLinkStyled) {
  doc.Caret = Pos(0, 6);
  doc.SelectionChanged();
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.TypingFormat.Underline, 0);
  EXPECT_EQ(doc.TypingFormat.Color, AutoColor);
  // Around the caret: the link's own format before it, the text's after it.
  EXPECT_EQ(doc.FormatBeforeCaret.Underline, 1);
  EXPECT_EQ(doc.FormatAfterCaret.Underline, 0);

  // Before the field starts: the format after the caret is the field's own.
  doc.Caret = Pos(0, 2);
  doc.SelectionChanged();
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.FormatAfterCaret.Underline, 1);
  EXPECT_EQ(doc.TypingFormat.Underline, 0);

  // Forced at a place after the symbol: not in the symbol font.
  doc.UpdateTypingFormat(Pos(1, 2), 1);
  EXPECT_EQ(doc.TypingFormat.Font, 0);
}

TEST(TypingFormat, HighlightContinuesInsideARunButNotAfterIt) {
  TTestDoc t;
  t.Add(TStreamBuilder().Text("a").Tag(16, 0x00FFFF).Text("hh").Tag(16, AutoColor).Text("b").End());
  TDoc& doc = t.doc;
  doc.Caret = Pos(0, 2);
  doc.SelectionChanged();
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.TypingFormat.Highlight, 0x00FFFF);
  doc.Caret = Pos(0, 3);
  doc.SelectionChanged();
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.TypingFormat.Highlight, AutoColor);

  // With a selection the typing format comes from its start, highlight from the selection.
  doc.SetSelection(0, 1, 0, 3);
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.TypingFormat.Highlight, 0x00FFFF);
  EXPECT_EQ(doc.FormatAfterCaret.Highlight, AutoColor);  // the character after the selection

  // The highlighter pen paints what is typed.
  struct Pen : TSelectionServices {
    int32_t PointerMode() override { return pmHighlighter; }
    int32_t HighlighterColor() override { return 0x00FF00; }
  };
  ScopedService<TSelectionServices, Pen> services;
  doc.ClearSelection();
  doc.UpdateTypingFormat(doc.Caret, 0);
  EXPECT_EQ(doc.TypingFormat.Highlight, 0x00FF00);
}

TEST(TypingFormat, FormatsAroundARangeIgnoreFieldEdges) {
  TTestDoc t;
  t.Add(TStreamBuilder().Tag(ctBold, 1).Text("ab").Tag(ctBold, 0).Text("cd").End());
  t.doc.SaveFormatsAroundRange(Range(0, 0, 0, 2));
  EXPECT_EQ(t.doc.FormatsAroundRange[0].Bold, 1);  // the range's first character
  EXPECT_EQ(t.doc.FormatsAroundRange[1].Bold, 0);  // the character after it
  EXPECT_FALSE(t.doc.IsDocFlagSet(dfNoFieldEdgeRules));
}

}  // namespace
