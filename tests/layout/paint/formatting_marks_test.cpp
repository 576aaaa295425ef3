#include "document/field.h"
#include "document/tab_stops.h"
#include "foundation/settings/options_holder.h"
#include "layout/paint/formatting_marks.h"
#include "layout/paint/paint_fixture.h"

class FormattingMarksTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    saved_ = GetOptionsHolder().Options.View;
    GetOptionsHolder().Options.View.Flags |= ViewFlagSpecialSymbols;
    GetOptionsHolder().Options.View.SpecSymbTypesEx = 0xFF;
  }
  void TearDown() override {
    GetOptionsHolder().Options.View = saved_;
    PaintTest::TearDown();
  }
  std::u16string AllText(const PaintRecorder& rec) {
    std::u16string s;
    for (const auto& t : rec.Texts) s += t.S;
    return s;
  }
  TViewOptions saved_;
};

TEST_F(FormattingMarksTest, SpacesAndParagraphMarksShowAsGlyphs) {
  Begin();
  Text("a b");
  Special(scEnSpace);
  Text("c");
  const int32_t p = EndPar();
  Layout();
  struct Case {
    uint8_t types;
    bool mode;
    std::u16string text;
  };
  const Case cases[] = {
      {0xFF, true, u"a\u00B7b\u2022c\u00B6"},
      {0xFF & ~TMarkSettings::Spaces, true, u"a b c\u00B6"},
      {0xFF & ~TMarkSettings::ParagraphEnds, true, u"a\u00B7b\u2022c"},
      {0xFF, false, u"a b c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.types));
    GetOptionsHolder().Options.View.SpecSymbTypesEx = c.types;
    if (c.mode) GetOptionsHolder().Options.View.Flags |= ViewFlagSpecialSymbols;
    else GetOptionsHolder().Options.View.Flags &= static_cast<uint16_t>(~ViewFlagSpecialSymbols);
    PaintRecorder rec;
    PaintFirstLine(p, rec);
    EXPECT_EQ(AllText(rec), c.text);
  }
  // A preview document shows no marks.
  GetOptionsHolder().Options.View.Flags |= ViewFlagSpecialSymbols;
  doc->SetScopedFlag(dfPreview);
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  EXPECT_EQ(AllText(rec), u"a b c");
  doc->RestoreScopedFlag();
}

TEST_F(FormattingMarksTest, StruckParagraphKeepsItsMarkUnstruck) {
  Begin();
  Fmt(cpStrike, 1);
  Text("ab");
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  EXPECT_EQ(AllText(rec), u"ab\u00B6");
  ASSERT_EQ(rec.Strikes.size(), 1u);
  EXPECT_EQ(rec.Strikes[0].right, XAt(FirstLine(p), 2));
}

TEST_F(FormattingMarksTest, PageBreakLabelHasRulesOnBothSides) {
  Begin();
  Text("x");
  Special(scPageBreak);
  const int32_t p = EndPar();
  Layout();
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  const PaintRecorder::Text* label = nullptr;
  for (const auto& t : rec.Texts)
    if (t.S == u"Page Break") label = &t;
  ASSERT_NE(label, nullptr);
  TLine& line = FirstLine(p);
  const int32_t t = XAt(line, 1);
  EXPECT_GE(label->X, t + 15);
  // Dots left of the label, between the break's start and the label.
  int32_t dots = 0;
  for (int32_t x = t; x < label->X - 1; ++x)
    for (int32_t y = 0; y < bitmap.Height(); ++y) dots += bitmap.GetPixel(x, y) != 0xFFFFFF;
  EXPECT_GE(dots, 7);
}

TEST_F(FormattingMarksTest, TabLeadersFillTheirCell) {
  // A dot leader on a right tab, then a centred tab with hyphens.
  TTabTable tabs;
  AddTabStop(tabs, PackTabStop(2880, tkRight, tlDots));
  AddTabStop(tabs, PackTabStop(5760, tkCenter, tlHyphens));
  const int32_t set = GetTabManager().AddTable(tabs);
  Begin();
  Text("a");
  Special(scTab);
  Text("b");
  Special(scTab);
  Text("c");
  const int32_t p = EndPar();
  Par(p).Format.TabSet = static_cast<int16_t>(set);
  GetOptionsHolder().Options.View.Flags &= static_cast<uint16_t>(~ViewFlagSpecialSymbols);
  Layout();
  TLine& line = FirstLine(p);
  PaintRecorder rec;
  PaintFirstLine(p, rec);
  for (int tab : {1, 3}) {
    SCOPED_TRACE(tab);
    const int32_t left = XAt(line, tab), right = XAt(line, tab + 1);
    ASSERT_GT(right - left, 20);
    const PaintRecorder::Text* leader = nullptr;
    for (const auto& t : rec.Texts)
      if (t.X >= left && t.X < right && !t.S.empty() && (t.S[0] == u'.' || t.S[0] == u'-')) leader = &t;
    ASSERT_NE(leader, nullptr);
    const int32_t cw = leader->Dx.at(0);
    const int32_t n = static_cast<int32_t>(leader->S.size());
    EXPECT_EQ(n, (right - left) / cw);
    const int32_t r = (right - left) % cw;
    EXPECT_EQ(leader->X, left + (tab == 3 ? r / 2 : r));
  }
}

TEST(MarkGlyphTest, GlyphsOfTheCodes) {
  TMarkSettings on{true, 0xFF};
  TMarkSettings noSpaces{true, 0xFF & ~TMarkSettings::Spaces};
  TMarkSettings off{false, 0xFF};
  EXPECT_EQ(MarkGlyph(' ', on), 183);
  EXPECT_EQ(MarkGlyph(' ', noSpaces), 0);
  EXPECT_EQ(MarkGlyph(scEmSpace, on), 149);
  EXPECT_EQ(MarkGlyph(scEmSpace, noSpaces), ' ');
  EXPECT_EQ(MarkGlyph(scParagraphEnd, on), 182);
  EXPECT_EQ(MarkGlyph(scCellEnd, on), 164);
  EXPECT_EQ(MarkGlyph(scNonBreakingSpace, noSpaces), 176);
  EXPECT_EQ(MarkGlyph(scParagraphEnd, off), 0);
  EXPECT_EQ(BreakLabelText(2 + sbOddPage), "Section Break (Odd Page)");
  EXPECT_EQ(BreakLabelText(0), "Page Break");
}

TEST_F(FormattingMarksTest, PaginationMarkOnTheFirstLineOfAKeptParagraph) {
  b->Format.KeepNext = 1;
  const int32_t kept = b->Add("Kept with the next paragraph, long enough to need a second line of text "
                              "because it goes on and on across the page body");
  b->Format.KeepNext = 0;
  const int32_t plain = b->Add("plain");
  Layout();
  ASSERT_GE(Par(kept).Lines.size(), 2u);
  PaintRecorder first, second, other;
  plat::Canvas canvas(bitmap);
  PaintLine(*Par(kept).Lines[0], canvas, 100, 10, &first);
  PaintLine(*Par(kept).Lines[1], canvas, 100, 40, &second);
  PaintLine(*Par(plain).Lines[0], canvas, 100, 70, &other);
  ASSERT_EQ(first.Marks.size(), 1u);
  EXPECT_EQ(first.Marks[0].Width(), doc->TwipsToPixelsY(60));
  EXPECT_LT(first.Marks[0].left, 100 + LineTextX(*Par(kept).Lines[0], 0));
  EXPECT_TRUE(second.Marks.empty());
  EXPECT_TRUE(other.Marks.empty());
  // Not without Special Symbols mode.
  GetOptionsHolder().Options.View.Flags &= static_cast<uint16_t>(~ViewFlagSpecialSymbols);
  PaintRecorder off;
  PaintLine(*Par(kept).Lines[0], canvas, 100, 10, &off);
  EXPECT_TRUE(off.Marks.empty());
}

TEST_F(FormattingMarksTest, BookmarksShowBracketsUnlessHiddenOrNotAsked) {
  struct Case {
    uint8_t kind, type, flags, types;
    bool startInk, endInk;
  } cases[] = {
      {fkBookmark, 0, 0, 0xFF, true, true},
      {fkBookmark, 0, 2, 0xFF, false, false},  // a hidden bookmark
      {fkBookmark, 0, 0, 0xFF & ~TMarkSettings::BookmarkDelimiters, false, false},
      {fkField, ftIndexEntry, 0, 0xFF, true, false},  // an index entry at its start only
  };
  for (const Case& c : cases) {
    doc->Fields.clear();
    auto owned = std::make_unique<TField>();
    owned->Kind = c.kind;
    owned->FieldType = c.type;
    owned->Flags = c.flags;
    TField* f = owned.get();
    doc->Fields.push_back(std::move(owned));
    GetOptionsHolder().Options.View.SpecSymbTypesEx = c.types;
    GetOptionsHolder().Options.View.FldShading = 0;
    Begin();
    Text("aaaa");
    AppendContentTag(s_, ctFieldStart, TagRefOf(f));
    Text("bbbb");
    AppendContentTag(s_, ctFieldEnd, TagRefOf(f));
    Text("cccc");
    const int32_t p = EndPar();
    Layout();
    PaintRecorder rec;
    PaintFirstLine(p, rec);
    TLine& line = FirstLine(p);
    // Brackets have bars in their top rows, where no letter of these reaches.
    auto inkNear = [&](int32_t x0, int32_t x1) {
      for (int32_t x = x0; x < x1; ++x)
        for (int32_t y = 10; y < 10 + LineHeightPixels(line); ++y)
          if (bitmap.GetPixel(x, y) == 0x000000u && y < 10 + LineHeightPixels(line) / 3) return true;
      return false;
    };
    EXPECT_EQ(inkNear(XAt(line, 4) - 1, XAt(line, 4) + 3), c.startInk) << int(c.kind) << int(c.flags);
    EXPECT_EQ(inkNear(XAt(line, 8) - 3, XAt(line, 8)), c.endInk) << int(c.kind) << int(c.flags);
    doc->Paginate(0, INT32_MAX);
  }
  doc->Fields.clear();
}
