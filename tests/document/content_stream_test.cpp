#include <gtest/gtest.h>

#include "document/content_stream.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "foundation/fonts/font_manager.h"
#include "document/stream_builder.h"

using namespace qv;

namespace {

using B = TStreamBuilder;

std::string Normalized(const B& in) {
  TPar par(nullptr);
  in.Into(par);
  NormalizeParagraphTags(par);
  return par.Content.ToString();
}

TEST(ContentStream, NormalFormDropsFormattingThatChangesNothing) {
  const int32_t bold = cpBold;
  const int32_t plain = DefaultCharFormat.Bold;
  struct Case {
    const char* name;
    B in;
    B want;
  } cases[] = {
      {"on and off with no character between", B().Text("ab").Tag(bold, 1).Tag(bold, plain).Text("c").End(),
       B().Text("abc").End()},
      {"value already in force", B().Tag(bold, plain).Text("a").End(), B().Text("a").End()},
      {"last of three tags in a group survives",
       B().Text("a").Tag(bold, 1).Tag(ctSize, 30).Tag(bold, 5).Tag(bold, 7).Text("b").End(),
       B().Text("a").Tag(ctSize, 30).Tag(bold, 7).Text("b").End()},
      {"three tags ending on the value before the group",
       B().Text("a").Tag(bold, 1).Tag(bold, 5).Tag(bold, plain).Text("b").End(),
       B().Text("ab").End()},
      {"a change across groups stays",
       B().Tag(bold, 1).Text("a").Tag(bold, plain).Text("b").End(),
       B().Tag(bold, 1).Text("a").Tag(bold, plain).Text("b").End()},
      {"formatting after the last character is dropped",
       B().Text("a").End().Tag(bold, 1).Tag(ctSize, 30), B().Text("a").End()},
      {"a stream of one format tag keeps it", B().Tag(bold, 1), B().Tag(bold, 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(Normalized(c.in), c.want.Bytes()) << c.name;
}

TEST(ContentStream, NormalFormPutsFieldMarksAheadOfFormatting) {
  TField plain, bookmark, noteText, noteRef, xe, other;
  bookmark.Kind = fkBookmark;
  noteText.Kind = fkNoteText;
  noteRef.Kind = fkNoteReference;
  xe.Kind = fkField;
  xe.FieldType = ftIndexEntry;
  struct Case {
    const char* name;
    B in;
    B want;
  } cases[] = {
      {"field start after a bold tag",
       B().Text("a").Tag(cpBold, 1).Ref(ctFieldStart, &plain).Text("b").Ref(ctFieldEnd, &plain).End(),
       B().Text("a").Ref(ctFieldStart, &plain).Tag(cpBold, 1).Text("b").Ref(ctFieldEnd, &plain).End()},
      {"note text opens before a bookmark end at its place",
       B().Text("a").Ref(ctFieldEnd, &bookmark).Ref(ctFieldStart, &noteText).Text("n").Ref(ctFieldEnd, &noteText).End(),
       B().Text("a").Ref(ctFieldStart, &noteText).Ref(ctFieldEnd, &bookmark).Text("n").Ref(ctFieldEnd, &noteText).End()},
      {"note reference opens outside another field",
       B().Ref(ctFieldStart, &plain).Ref(ctFieldStart, &noteRef).Text("1").Ref(ctFieldEnd, &noteRef).Ref(ctFieldEnd, &plain).End(),
       B().Ref(ctFieldStart, &noteRef).Ref(ctFieldStart, &plain).Text("1").Ref(ctFieldEnd, &plain).Ref(ctFieldEnd, &noteRef).End()},
      {"an index entry stays empty",
       B().Text("a").Ref(ctFieldStart, &xe).Ref(ctFieldStart, &other).Ref(ctFieldEnd, &xe).Text("b").Ref(ctFieldEnd, &other).End(),
       B().Text("a").Ref(ctFieldStart, &xe).Ref(ctFieldEnd, &xe).Ref(ctFieldStart, &other).Text("b").Ref(ctFieldEnd, &other).End()},
      {"field marks after the last character stay",
       B().Ref(ctFieldStart, &plain).Text("a").End().Tag(cpBold, 1).Ref(ctFieldEnd, &plain),
       B().Ref(ctFieldStart, &plain).Text("a").End().Ref(ctFieldEnd, &plain)},
  };
  for (const Case& c : cases) EXPECT_EQ(Normalized(c.in), c.want.Bytes()) << c.name;
}

TEST(ContentStream, NormalFormSetsTheContentFlags) {
  TField dropCap, anchor, symbol;
  dropCap.Kind = fkDropCap;
  anchor.Kind = fkShapeAnchor;
  anchor.Shape = reinterpret_cast<TShape*>(&anchor);  // only its identity matters here
  symbol.FieldType = ftSymbol;
  struct Case {
    const char* name;
    B in;
    uint16_t want;
  } cases[] = {
      {"plain text", B().Text("a").End(), 0},
      {"UTF-16 character", B().Tag(ctWideChar, 0x3A9).End(), pfSymbolText},
      {"raised text, even when cancelled at once",
       B().Text("a").Tag(cpVertOffset, 3).Tag(cpVertOffset, DefaultCharFormat.VertOffset).Text("b").End(),
       pfVertOffset},
      {"drop cap before the first character",
       B().Ref(ctFieldStart, &dropCap).Text("A").Ref(ctFieldEnd, &dropCap).Text("b").End(), pfDropCap},
      {"drop cap later in the paragraph",
       B().Text("x").Ref(ctFieldStart, &dropCap).Text("A").Ref(ctFieldEnd, &dropCap).End(), 0},
      {"shape anchor", B().Text("a").Ref(ctFieldStart, &anchor).Ref(ctFieldEnd, &anchor).End(),
       pfAnchoredShapes},
      {"SYMBOL field", B().Ref(ctFieldStart, &symbol).Text("a").Ref(ctFieldEnd, &symbol).End(),
       pfSymbolText},
      {"inline shape", B().Tag(ctInlineShape, 0).End(), pfInlineShapes},
  };
  const uint16_t contentFlags = pfSymbolText | pfVertOffset | pfDropCap | pfAnchoredShapes |
                                pfInlineShapes | pfHorizontalRule;
  for (const Case& c : cases) {
    TPar par(nullptr);
    c.in.Into(par);
    par.Flags |= pfWideTextValid;  // stale caches are cleared
    NormalizeParagraphTags(par);
    EXPECT_EQ(par.Flags & contentFlags, c.want) << c.name;
    EXPECT_FALSE(par.HasFlag(pfWideTextValid)) << c.name;
    EXPECT_EQ(par.AnchoredShapes.size(), c.want == pfAnchoredShapes ? 1u : 0u) << c.name;
  }
  TPar symbolText(nullptr);
  B().Text("x").Ref(ctFieldStart, &symbol).Text("ab").Tag(ctSpecialChar, scTab)
      .Ref(ctFieldEnd, &symbol).Text("y").End().Into(symbolText);
  EXPECT_EQ(symbolText.GetSymbolCharPositions(), (std::vector<int32_t>{1, 2, 3}));
}

TEST(ContentStream, NormalisedParagraphIsNotWalkedAgain) {
  TPar par(nullptr);
  B().Text("a").Tag(cpBold, 1).Tag(cpBold, DefaultCharFormat.Bold).End().Into(par);
  par.Flags |= pfNormalized;
  const std::string before = par.Content.ToString();
  NormalizeParagraphTags(par);
  EXPECT_EQ(par.Content.ToString(), before);
  par.ContentChanged();
  NormalizeParagraphTags(par);
  EXPECT_EQ(par.Content.ToString(), B().Text("a").End().Bytes());
}

TEST(ContentStream, CharacterAndStreamOffsetsWithTagsBetween) {
  TField field;
  TPar par(nullptr);
  // f(0..6) "ab"(7,8) bold(9..15) fieldStart(16..22) tab(23..29) "c"(30) end(31..37)
  B().Tag(ctFont, 3).Text("ab").Tag(cpBold, 1).Ref(ctFieldStart, &field)
      .Tag(ctSpecialChar, scTab).Text("c").End().Into(par);
  ASSERT_EQ(par.CharCount(), 5);
  EXPECT_EQ(par.Codes.ToString(), std::string("ab\x09" "c\x02"));
  struct Case {
    int32_t index;
    int32_t offset;
  } cases[] = {{0, 7}, {1, 8}, {2, 23}, {3, 30}, {4, 31}, {9, 31}, {-3, 7}};
  for (const Case& c : cases) EXPECT_EQ(par.CharToStreamOffset(c.index), c.offset) << c.index;
  for (int32_t i = 0; i < par.CharCount(); ++i)
    EXPECT_EQ(par.StreamOffsetToChar(par.CharToStreamOffset(i)), i) << i;
  TCharFormat f;
  par.GetCharFormatAt(2, f);
  EXPECT_EQ(f.Font, 3);
  EXPECT_EQ(f.Bold, 1);
  par.GetCharFormatAt(1, f);
  EXPECT_EQ(f.Bold, DefaultCharFormat.Bold);
}

TEST(ContentStream, ParagraphQueries) {
  TSection section(nullptr);
  TPar breaks(nullptr);
  B().Tag(ctSpecialChar, scPageBreak).Tag(ctSpecialChar, scPageBreak).Text("x").End().Into(breaks);
  EXPECT_TRUE(breaks.OnlyBreaksBefore(0));
  EXPECT_TRUE(breaks.OnlyBreaksBefore(2));
  EXPECT_FALSE(breaks.OnlyBreaksBefore(3));
  EXPECT_EQ(breaks.SectionBreak(), nullptr);

  TPar sectionEnd(nullptr);
  B().Text("x").Ref(ctSectionBreak, &section).Tag(cpBold, 1).Into(sectionEnd);
  EXPECT_EQ(sectionEnd.SectionBreak(), &section);
  EXPECT_EQ(sectionEnd.Codes.ToString(), std::string("x\x03"));
  EXPECT_FALSE(sectionEnd.HasAutoNoteMark());
}

class WideTextTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateFontManager(TFontManagerSetup{{}, 0}); }
  void TearDown() override { FreeFontManager(); }
};

TEST_F(WideTextTest, TextBytesDecodeInTheCodePageOfTheFontInForce) {
  TFontManager& fm = *FontManager();
  const int32_t greek = fm.FontIndex("Qv Greek Test Face", 161, false);
  const int32_t symbol = fm.FontIndex("Qv Symbol Test Face", 2, false);
  ASSERT_EQ(fm.RegFonts[static_cast<size_t>(greek)].Charset, 161);
  ASSERT_EQ(fm.RegFonts[static_cast<size_t>(symbol)].Charset, 2);
  EXPECT_EQ(TextCodePageOfFont(greek), 1253u);
  EXPECT_EQ(TextCodePageOfFont(symbol), 1252u);

  TPar par(nullptr);
  // Alpha beta in code page 1253, then e-acute in a symbol font (read as 1252), a UTF-16 tag,
  // a tab and the paragraph end.
  B().Tag(ctFont, greek).Text("\xE1\xE2").Tag(ctFont, symbol).Text("\xE9")
      .Tag(ctWideChar, 0x263A).Tag(ctSpecialChar, scTab).End().Into(par);
  BuildParagraphWideText(par);
  EXPECT_EQ(par.WideText, std::u16string(u"\u03B1\u03B2\u00E9\u263A\t\x02"));
  EXPECT_TRUE(par.HasFlag(pfWideTextValid));
  EXPECT_TRUE(par.HasFlag(pfSymbolText));
  EXPECT_EQ(par.GetSymbolCharPositions(), (std::vector<int32_t>{2, 3}));
}

TEST(ContentStream, FragmentFormRoundTrip) {
  TPar a(nullptr), b(nullptr);
  B().Tag(cpBold, 1).Text("one").End().Into(a);
  a.Format.LeftIndent = 720;
  B().Text("two").End().Into(b);
  TMemory buffer;
  AppendParagraphToFragment(buffer, a);
  AppendParagraphToFragment(buffer, b);
  TMemory tail = B().Text("tail").s;
  buffer.AppendMemory(tail);
  buffer.AppendByte(ParBlockMark1);

  std::vector<TFragmentParagraph> pars;
  std::string error;
  ASSERT_TRUE(ParseContentFragment(buffer.Data, buffer.Length, pars, &error)) << error;
  ASSERT_EQ(pars.size(), 3u);
  EXPECT_EQ(pars[0].Content.ToString(), a.Content.ToString());
  EXPECT_TRUE(pars[0].HasFormat);
  EXPECT_EQ(pars[0].Format.LeftIndent, 720);
  EXPECT_EQ(pars[1].Content.ToString(), b.Content.ToString());
  EXPECT_EQ(pars[2].Content.ToString(), "tail");
  EXPECT_FALSE(pars[2].HasFormat);
}

TEST(ContentStream, DamagedFragmentsAreReportedNotTrusted) {
  const std::string good = B().Text("ab").End().Bytes();
  struct Case {
    const char* name;
    std::string data;
    size_t parsBefore;
  } cases[] = {
      {"tag cut short", good.substr(0, 5), 0},
      {"format block cut short", good + "\x1D\x1E" + std::string(10, '\0'), 0},
      {"control byte outside a tag", std::string("ab\x05"), 0},
      {"ends inside a paragraph", good, 1},
  };
  for (const Case& c : cases) {
    std::vector<TFragmentParagraph> pars;
    std::string error;
    EXPECT_FALSE(ParseContentFragment(reinterpret_cast<const uint8_t*>(c.data.data()),
                                      static_cast<int32_t>(c.data.size()), pars, &error))
        << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_EQ(pars.size(), c.parsBefore) << c.name;
  }
}

TEST(ContentStream, ObjectReferencesOfTags) {
  TField a, b;
  const int32_t ra = TagRefOf(&a);
  EXPECT_NE(ra, 0);
  EXPECT_EQ(TagRefOf(&a), ra);
  EXPECT_NE(TagRefOf(&b), ra);
  EXPECT_EQ(FieldOfRef(ra), &a);
  EXPECT_EQ(TagRefOf(static_cast<const TField*>(nullptr)), 0);
  EXPECT_EQ(FieldOfRef(0), nullptr);
  EXPECT_EQ(FieldOfRef(0x7FFFFFF0), nullptr);  // a damaged stream's number names nothing
  ForgetTagRef(&a);
  EXPECT_EQ(FieldOfRef(ra), nullptr);
}

}  // namespace
