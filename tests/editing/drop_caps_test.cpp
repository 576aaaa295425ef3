// Drop caps made, sized, changed, kept through a replacement of their letter and checked after
// edits, each undone and redone exactly.
#include <gtest/gtest.h>

#include "document/drop_cap_metrics.h"
#include "document/drop_caps.h"
#include "table_test_support.h"

using namespace qv;

namespace {

// Lines 20 pixels high; letters with an ascent of 10 and a descent of 2 sixteenths of a pixel
// per half-point.
class FakeMetrics : public TDropCapMetrics {
 public:
  bool Tiny = false;
  int32_t LineHeight(const TCharFormat&) override { return 320; }
  void GlyphExtent(const TCharFormat&, int32_t halfPoints, const std::u16string&, int32_t& ascent,
                   int32_t& descent) override {
    ascent = Tiny ? 0 : halfPoints * 10;
    descent = Tiny ? 0 : halfPoints * 2;
  }
};

class DropCaps : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  ScopedService<TDropCapMetrics, FakeMetrics> metrics;
  TDoc doc{true};
  TDropCapSettings Settings(uint8_t lines) {
    TDropCapSettings s;
    s.First = 1;
    s.Lines = lines;
    return s;
  }
  void Apply(int32_t par, TDropCapSettings* settings) {
    MakePosition(par, 0, doc.Caret);
    doc.ClearSelection();
    std::string font;
    Edit(doc, ecFormatDropCaps, {nullptr, settings, &font});
  }
  TCharFormat FormatAt(int32_t par, int32_t offset) {
    TCharFormat f;
    doc.Par(par)->GetCharFormatAt(offset, f);
    return f;
  }
};

TEST_F(DropCaps, ALetterSizedToSpanItsLines) {
  SetMainText(doc, {"Hello", "world"});
  TDropCapSettings s = Settings(3);
  ExpectUndoRedoExact(doc, [&] { Apply(0, &s); });
  TField* cap = doc.GetDropCapField(0);
  ASSERT_NE(cap, nullptr);
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(cap, r));
  EXPECT_EQ(r.End.Offset, 1);
  EXPECT_EQ(DropCapSettingsOf(*cap).Lines, 3);
  // Target (320 + 2 x 320) x 95 % = 912: size 76 reaches it, so 75; offset (150 - 182) x 15 /
  // 320 = -1.5 points, away from zero.
  EXPECT_EQ(FormatAt(0, 0).Size, 75);
  EXPECT_EQ(FormatAt(0, 0).VertOffset, -2);
  EXPECT_NE(FormatAt(0, 1).Size, 75);
}

TEST_F(DropCaps, NoDropCapOnABlankOrTabOrInATable) {
  for (const char* text : {" x", "\t"}) {
    TDoc d(true);
    SetMainText(d, {"x"});
    TPar& p = *d.Par(0);
    p.Content.Clear();
    if (text[0] == ' ') p.Content.AppendString(text);
    else AppendContentTag(p.Content, ctSpecialChar, scTab);
    AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
    p.RebuildCodes();
    p.ContentChanged();
    TDropCapSettings s = Settings(3);
    std::string font;
    const int32_t position = d.UndoPosition;
    Edit(d, ecFormatDropCaps, {nullptr, &s, &font});
    EXPECT_EQ(d.UndoPosition, position);
    EXPECT_EQ(d.GetDropCapField(0), nullptr);
  }
  BuildTable(doc, {{"cell"}});
  TDropCapSettings s = Settings(3);
  Apply(1, &s);
  EXPECT_EQ(doc.GetDropCapField(1), nullptr);
}

TEST_F(DropCaps, ApplyingAgainKeepsTheLettersAndChangesTheGivenSettings) {
  SetMainText(doc, {"Hello"});
  TDropCapSettings s = Settings(3);
  Apply(0, &s);
  // Widen the drop cap to two letters by hand, then change only the first setting.
  TField* cap = doc.GetDropCapField(0);
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(cap, r));
  RunInOperation(doc, [&] {
    doc.RemoveField(cap);
    TDocRange two{{0, 0}, {0, 2}};
    auto f = std::make_unique<TField>();
    f->Kind = fkDropCap;
    auto rec = std::make_unique<TDropCapRecord>();
    rec->Settings = Settings(3);
    f->Attachment = std::move(rec);
    doc.InsertFieldMarks(std::move(f), two);
  });
  TDropCapSettings change;
  change.First = 7;
  change.Lines = TDropCapSettings::Unchanged8;
  change.Value16 = TDropCapSettings::Unchanged16;
  ExpectUndoRedoExact(doc, [&] { Apply(0, &change); });
  cap = doc.GetDropCapField(0);
  ASSERT_NE(cap, nullptr);
  ASSERT_TRUE(doc.GetFieldRange(cap, r));
  EXPECT_EQ(r.End.Offset, 2);
  EXPECT_EQ(DropCapSettingsOf(*cap).First, 7);
  EXPECT_EQ(DropCapSettingsOf(*cap).Lines, 3);
}

TEST_F(DropCaps, WhenNoSizeReachesTheTargetTheLargestIsUsed) {
  metrics->Tiny = true;
  SetMainText(doc, {"Hello"});
  TDropCapSettings s = Settings(2);
  Apply(0, &s);
  EXPECT_EQ(FormatAt(0, 0).Size, 2000);
}

TEST_F(DropCaps, RemovingGivesTheLettersTheFormatAfterThem) {
  SetMainText(doc, {"Hello"});
  TDropCapSettings s = Settings(3);
  Apply(0, &s);
  const int32_t size = FormatAt(0, 1).Size;
  ExpectUndoRedoExact(doc, [&] { Apply(0, nullptr); });
  EXPECT_EQ(doc.GetDropCapField(0), nullptr);
  EXPECT_EQ(FormatAt(0, 0).Size, size);
}

TEST_F(DropCaps, TypingOverTheLetterKeepsTheDropCap) {
  SetMainText(doc, {"Hello"});
  TDropCapSettings s = Settings(3);
  Apply(0, &s);
  TDocPosition at;
  MakePosition(0, 0, at);
  RunInOperation(doc, [&] {
    doc.SaveDropCap(at);
    EXPECT_EQ(doc.GetDropCapField(0), nullptr);
    EditServices().DeleteContent(doc, {{0, 0}, {0, 1}});
    TMemory j;
    j.AppendString("J");
    EditServices().InsertContent(doc, j, at, stMain, 0);
    doc.RestoreDropCap();
  });
  EXPECT_EQ(ParText(doc, 0), "Jello");
  TField* cap = doc.GetDropCapField(0);
  ASSERT_NE(cap, nullptr);
  EXPECT_EQ(FormatAt(0, 0).Size, 75);
}

TEST_F(DropCaps, JoiningTheParagraphWithThePreviousOneRemovesItsDropCap) {
  SetMainText(doc, {"First", "Second"});
  TDropCapSettings s = Settings(3);
  Apply(1, &s);
  ASSERT_NE(doc.GetDropCapField(1), nullptr);
  RunInOperation(doc, [&] {
    EditServices().DeleteContent(doc, {{0, 5}, {1, 0}});
    doc.CheckDropCaps(0);
  });
  EXPECT_EQ(ParText(doc, 0), "FirstSecond");
  for (auto& f : doc.Fields) EXPECT_NE(f->Kind, fkDropCap);
}

}  // namespace
