#include <gtest/gtest.h>

#include <set>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/section.h"
#include "document/styles.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "document/stream_builder.h"

using namespace qv;

namespace {

TEST(Doc, NewDocumentHasFourStoriesWithOneParagraphAndOneSection) {
  TDoc doc(true);
  EXPECT_TRUE(doc.Hidden);
  EXPECT_EQ(doc.EditorWindow, nullptr);
  EXPECT_EQ(doc.ZoomPercent, 100);
  ASSERT_EQ(doc.ParCount(), 1);
  EXPECT_EQ(doc.StoryCounts, (std::array<int32_t, 4>{1, 0, 0, 0}));
  EXPECT_EQ(doc.Par(0)->Doc, &doc);
  EXPECT_EQ(doc.Par(0)->Index, 0);
  EXPECT_TRUE(ParFormatsEqual(doc.Par(0)->Format, DefaultParFormat));
  ASSERT_EQ(doc.Sections.size(), 1u);
  EXPECT_EQ(doc.UndoPosition, -1);
  EXPECT_EQ(doc.DefaultTabStop, 720);
  EXPECT_EQ(doc.FootnoteMarkFormat.Script, 1);
  EXPECT_EQ(doc.FootnoteMarkFormat.Bold, CharUnset);
  EXPECT_FALSE(doc.IsDocFlagSet(dfBuilding));
  ASSERT_TRUE(doc.Selection);
  EXPECT_EQ(doc.Selection->Count(), 1);

  TDoc second(true);
  EXPECT_EQ(second.DocumentNumber, doc.DocumentNumber + 1);
}

TEST(Doc, StoryArithmetic) {
  TDoc doc(true);
  doc.AppendParagraph(stMain, DefaultParFormat);
  doc.AppendParagraph(stEndnotes, DefaultParFormat);
  doc.AppendParagraph(stHeadersFooters, DefaultParFormat);
  doc.AppendParagraph(stHeadersFooters, DefaultParFormat);
  // Stories: main 0..1, footnotes none (first 2), endnotes 2, headers 3..4.
  ASSERT_EQ(doc.ParCount(), 5);
  for (int32_t i = 0; i < doc.ParCount(); ++i) EXPECT_EQ(doc.Par(i)->Index, i);
  struct Case {
    int32_t story, first, last;
  } stories[] = {{stMain, 0, 1}, {stFootnotes, 2, 1}, {stEndnotes, 2, 2}, {stHeadersFooters, 3, 4}};
  for (const Case& c : stories) {
    EXPECT_EQ(doc.FirstParagraphOfStory(c.story), c.first) << c.story;
    EXPECT_EQ(doc.LastParagraphOfStory(c.story), c.last) << c.story;
  }
  EXPECT_EQ(doc.StoryOfParagraph(2), stEndnotes);  // the empty footnote story is skipped
  EXPECT_EQ(doc.StoryOfParagraph(4), stHeadersFooters);
  EXPECT_EQ(doc.StoryOfParagraph(99), stHeadersFooters);

  EXPECT_TRUE(doc.IsParagraphDimmed(3));
  EXPECT_FALSE(doc.IsParagraphDimmed(0));
  doc.PrintPreview = true;
  EXPECT_FALSE(doc.IsParagraphDimmed(3));
}

TEST(Doc, MainTextKeepsItsLastParagraph) {
  TDoc doc(true);
  doc.AppendParagraph(stFootnotes, DefaultParFormat);
  EXPECT_THROW(doc.RemoveParagraph(0), Exception);
  auto removed = doc.RemoveParagraph(1);
  EXPECT_EQ(doc.StoryCounts[stFootnotes], 0);
  EXPECT_EQ(doc.ParCount(), 1);
}

TEST(Doc, InitNewDocumentGivesTheFirstParagraphItsStreamAndTheDefaultStyles) {
  TDoc doc(true);
  doc.InitNewDocument();
  TPar& p = *doc.Par(0);
  EXPECT_EQ(p.Content.ToString(), TStreamBuilder().Tag(ctSize, 20).End().Bytes());
  EXPECT_EQ(p.Codes.ToString(), std::string("\x02"));
  EXPECT_EQ(doc.Styles->Count(), StyleManager().DefaultStyles.Count());
  EXPECT_EQ(doc.Styles->Owner, &doc);
  EXPECT_TRUE(doc.NewUntitled);
  EXPECT_TRUE(doc.IsModifiedOrUntitled());
  EXPECT_FALSE(doc.IsTemplate());
  EXPECT_FALSE(doc.IsDocFlagSet(dfBuilding));
  ASSERT_NE(p.GetStyle(), nullptr);
  EXPECT_EQ(p.GetStyle()->Name, "Normal");
  p.Format.Style = 1;
  EXPECT_EQ(p.GetStyle()->Name, "Heading 1");
  p.Format.Style = ParUnset16;
  EXPECT_EQ(p.GetStyle(), nullptr);

  TDoc withText(true);
  TStreamBuilder().Text("keep").End().Into(*withText.Par(0));
  withText.InitNewDocument();
  EXPECT_EQ(withText.Par(0)->Content.ToString(), TStreamBuilder().Text("keep").End().Bytes());
}

TEST(Doc, ScopedFlagsRestoreLastInFirstOut) {
  TDoc doc(true);
  doc.SetScopedFlag(40);
  doc.SetScopedFlag(41);
  doc.ClearScopedFlag(40);
  EXPECT_FALSE(doc.IsDocFlagSet(40));
  doc.RestoreScopedFlag();
  EXPECT_TRUE(doc.IsDocFlagSet(40));
  doc.RestoreScopedFlags(2);
  EXPECT_FALSE(doc.IsDocFlagSet(40));
  EXPECT_FALSE(doc.IsDocFlagSet(41));
  doc.RestoreScopedFlag();  // an empty stack changes nothing
}

struct TCountingUpdates : TDocServices {
  int* updates;
  void RequestInterfaceUpdate() override { ++*updates; }
};

TEST(Doc, ModifiedStateAsksForAnInterfaceUpdateOnlyWhenItChanges) {
  int updates = 0;
  ScopedService<TDocServices, TCountingUpdates> services;
  services->updates = &updates;
  {
    TDoc doc(true);
    doc.SetModified(1);
    doc.SetModified(1);
    doc.SetModified(0);
    EXPECT_EQ(updates, 2);
    EXPECT_FALSE(doc.IsModifiedOrUntitled());
  }
}

TEST(Doc, DropCapFieldOfAParagraph) {
  TDoc doc(true);
  TField dropCap;
  dropCap.Kind = fkDropCap;
  TStreamBuilder().Tag(cpBold, 1).Ref(ctFieldStart, &dropCap).Text("W").Ref(ctFieldEnd, &dropCap)
      .Text("ord").End().Into(*doc.Par(0));
  EXPECT_EQ(doc.GetDropCapField(0), &dropCap);
  TStreamBuilder().Text("No cap").End().Into(*doc.Par(0));
  EXPECT_EQ(doc.GetDropCapField(0), nullptr);
  EXPECT_EQ(doc.GetDropCapField(5), nullptr);
}

struct TOpenNames : TDocServices {
  std::set<std::string> open;
  bool IsDocumentNameOpen(const std::string& name) override { return open.count(name) != 0; }
};

TEST(Doc, NewDocumentNamesWrapAndSkipOpenDocuments) {
  ScopedService<TDocServices, TOpenNames> services;
  services->open = {"Doc01.rtf", "Doc02.rtf"};
  int32_t& counter = GetOptions().NewDocParams.NewDoc_Index;
  counter = 98;
  TDoc doc(true);
  EXPECT_EQ(doc.MakeNewDocumentName(), "Doc98.rtf");
  EXPECT_EQ(doc.MakeNewDocumentName(), "Doc99.rtf");
  EXPECT_EQ(doc.MakeNewDocumentName(), "Doc03.rtf");
  EXPECT_EQ(counter, 4);
  doc.FormatIndex = 6;
  EXPECT_EQ(doc.MakeNewDocumentName(), "Doc04.txt");
  counter = 1;
}

TEST(Doc, SuggestedFileNamesComeFromTheFirstSentence) {
  TDoc doc(true);
  TStreamBuilder().End().Into(*doc.Par(0));
  TPar* p = doc.AppendParagraph(stMain, DefaultParFormat);
  TStreamBuilder().Text("  \"Annual report: 2026/27. More text").End().Into(*p);
  struct Case {
    bool title;
    std::string want;
  } cases[] = {{false, "Annual report  2026 27..rtf"}, {true, "Annual report: 2026/27."}};
  for (const Case& c : cases) EXPECT_EQ(doc.SuggestFileName("Doc01.rtf", c.title), c.want);

  TStreamBuilder().Text(std::string(150, 'x')).End().Into(*p);
  EXPECT_EQ(doc.SuggestFileName("a.docx", false), std::string(100, 'x') + ".docx");

  TStreamBuilder().Text("...").End().Into(*p);
  EXPECT_EQ(doc.SuggestFileName("given.rtf", false), "given.rtf");
}

}  // namespace

namespace {

TEST(Doc, IndexEntryTextsCompareLevelByLevel) {
  struct Case {
    std::u16string a, b;
    int want;
  } cases[] = {
      {u"apple", u"Banana", -1},
      {u"apple", u"Apple", -1},         // equal without case: lower case first
      {u"\u00E9t\u00E9", u"ete", 1},    // accents after the loose order
      {u"eta", u"\u00E9tb", -1},        // ... but never before it
      {u"fruit:pear", u"fruit:Apple", 1},
      {u"fruit", u"fruit:apple", -1},   // fewer levels first
      {u"apple:Red", u"Apple:green", 1},  // a first level differing in case: the second decides
      {u"same:level", u"same:level", 0},
  };
  for (const Case& c : cases) {
    const int got = CompareIndexEntryTexts(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.want);
    const int back = CompareIndexEntryTexts(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.want);
  }
  const int32_t small[] = {-5, 9}, big[] = {3, 0};
  EXPECT_LT(CompareByFirstField(small, big), 0);
  EXPECT_GT(CompareByFirstField(big, small), 0);
}

}  // namespace
