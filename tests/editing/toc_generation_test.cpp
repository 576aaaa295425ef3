// Tables of contents generated from the headings of the main text and rebuilt from their own
// instruction, as undoable edits.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_text.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "foundation/settings/options.h"
#include "foundation/ui/message_dlg_service.h"

namespace {

struct TocScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
  ScopedService<TEditOperationProviders> Providers{MakeFieldEditProviders()};
};

// Headings "Intro" (1), "Details" (2), "Deep" (3) with body text, after an empty paragraph.
class TocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.InitNewDocument();
    TDocBuilder b(doc);
    b.Add("");
    Heading(b, 1, "Intro");
    b.Add("text one");
    Heading(b, 2, "Details");
    Heading(b, 3, "Deep");
    b.Add("text two");
    b.Finish();
    doc.Sections[0]->PageParams.TextWidth = 9360;
    doc.Caret = TDocPosition{};
  }
  void Heading(TDocBuilder& b, int32_t level, const std::string& text) {
    const TParFormat body = b.Format;
    SetParFormatProp(b.Format, ppStyle, doc.Styles->IndexOfBuiltIn(bsHeading1 + level - 1));
    b.Add(text);
    b.Format = body;
  }
  int32_t Generate(TGenerateTOC_Options options) {
    int32_t count = -1;
    void* args[] = {&options, &count};
    doc.ExecuteEdit(ecInsertTableOfContents, args, 1);
    return count;
  }
  std::vector<TField*> Fields(uint8_t kind, int32_t type) {
    doc.RebuildFieldIndex();
    std::vector<TField*> out;
    for (TField* f : doc.FieldIndex().Fields)
      if (f->Kind == kind && (type < 0 || f->FieldType == type)) out.push_back(f);
    return out;
  }
  int32_t StyleOf(int32_t par) { return doc.Par(par)->GetStyle()->BuiltIn; }

  TocScope scope;
  TDoc doc{true};
};

}  // namespace

TEST_F(TocTest, EntriesForTheListedLevelsWithLinksPageReferencesAndTabs) {
  TGenerateTOC_Options options;
  options.Levels = 2;
  options.RightAlignPageNumbers = true;
  options.TabLeader = 1;
  const std::string before = DumpDoc(doc);
  EXPECT_EQ(Generate(options), 2);
  EXPECT_EQ(MainText(doc), "Intro\t?/Details\t?///Intro/text one/Details/Deep/text two");
  EXPECT_EQ(StyleOf(0), bsToc1);
  EXPECT_EQ(StyleOf(1), bsToc1 + 1);
  // Each entry links to a bookmark made on its heading; its number is a page reference.
  const auto links = Fields(fkField, ftHyperlink);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0]->Instruction, u"HYPERLINK \\l \"Intro\"");
  EXPECT_EQ(links[1]->Instruction, u"HYPERLINK \\l \"Details\"");
  const auto refs = Fields(fkField, ftPageRef);
  ASSERT_EQ(refs.size(), 2u);
  EXPECT_EQ(refs[0]->Instruction, u"PAGEREF Intro");
  EXPECT_TRUE(doc.HasBookmark(u"Intro"));
  EXPECT_TRUE(doc.HasBookmark(u"Details"));
  EXPECT_FALSE(doc.HasBookmark(u"Deep"));
  const auto tocs = Fields(fkField, ftToc);
  ASSERT_EQ(tocs.size(), 1u);
  EXPECT_EQ(tocs[0]->Instruction, u"TOC \\h \\o \"1-2\" \\r2");
  EXPECT_EQ(tocs[0]->Range.Start.Par, 0);
  EXPECT_EQ(tocs[0]->Range.End.Par, 1);
  EXPECT_TRUE(doc.HasBookmark(u"_Table_Of_Contents"));
  const TTabTable& tabs = GetTabManager().Table(GetParFormatProp(doc.Par(0)->Format, ppTabSet));
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0], PackTabStop(9360, tkRight, tlDots));
  // One undo step takes it all back (the page-number update chained to it).
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(TocTest, WithoutPageNumbersEntriesHaveNoReferencesAndNoTabs) {
  TGenerateTOC_Options options;
  options.ShowPageNumbers = false;
  options.ShowTitle = true;
  options.Title = u"Contents";
  EXPECT_EQ(Generate(options), 4);
  EXPECT_EQ(MainText(doc), "Contents/Intro/Details/Deep///Intro/text one/Details/Deep/text two");
  EXPECT_EQ(StyleOf(0), bsTocTitle);
  EXPECT_EQ(StyleOf(3), bsToc1 + 2);
  EXPECT_TRUE(Fields(fkField, ftPageRef).empty());
  EXPECT_EQ(GetParFormatProp(doc.Par(1)->Format, ppTabSet), 0);
  EXPECT_EQ(Fields(fkField, ftToc)[0]->Instruction, u"TOC \\h \\o \"1-3\" \\n \\e \"Contents\"");
}

TEST_F(TocTest, ARebuildKeepsTheEntriesFormattingAndReplacesTheOldTable) {
  TGenerateTOC_Options options;
  options.RightAlignPageNumbers = true;
  options.TabLeader = 1;
  Generate(options);
  // The user indents the first entry and renames a heading.
  TParFormat indent = UnsetParFormat;
  SetParFormatProp(indent, ppLeftIndent, 500);
  TDocRange first;
  MakeRange(0, 0, 0, 0, first);
  void* formatArgs[] = {nullptr, &first, &indent};
  doc.ExecuteEdit(ecFormatParagraphs, formatArgs, 2);
  const int32_t heading = 5;
  ASSERT_EQ(MainText(doc).substr(0, 7), "Intro\t?");
  TDocRange name;
  MakeRange(heading, 0, heading, 5, name);
  {
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    ReplaceRangeWithText(doc, name, u"Start");
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
  }
  MakePosition(1, 2, doc.Caret);
  TGenerateTOC_Options rebuild;
  rebuild.UpdateExisting = true;
  EXPECT_EQ(Generate(rebuild), 3);
  EXPECT_EQ(MainText(doc), "Start\t?/Details\t?/Deep\t?///Start/text one/Details/Deep/text two");
  EXPECT_EQ(Fields(fkField, ftToc).size(), 1u);
  EXPECT_EQ(Fields(fkField, ftToc)[0]->Instruction, u"TOC \\h \\o \"1-3\" \\r2");
  EXPECT_TRUE(doc.HasBookmark(u"_Table_Of_Contents"));
  EXPECT_FALSE(doc.HasBookmark(u"_Table_Of_Contents_2"));
  // The entry's indent went into the TOC 1 style and came back with the new entry.
  EXPECT_EQ(GetParFormatProp(doc.Par(0)->Format, ppLeftIndent), 500);
  const TStyle& toc1 = (*doc.Styles)[doc.Styles->IndexOfBuiltIn(bsToc1)];
  EXPECT_EQ(toc1.ParFmt.LeftIndent, 500);
}

namespace {

// Records the texts the message box was asked to show.
struct RecMessages : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return TMessageDlgService::Show(info);
  }
};

}  // namespace

TEST_F(TocTest, NoHeadingsMakeNothingAndSaySo) {
  ScopedService<TMessageDlgService, RecMessages> messages;
  MakePosition(doc.LastParagraphOfStory(stMain), 0, doc.Caret);
  const std::string before = DumpDoc(doc);
  EXPECT_EQ(Generate(TGenerateTOC_Options{}), 0);
  EXPECT_EQ(DumpDoc(doc), before);
  ASSERT_EQ(messages->Texts.size(), 1u);
  EXPECT_EQ(messages->Texts[0].rfind("Quorvane found no paragraph associated with", 0), 0u);
}

namespace {

// Headings that test what an entry takes of its heading.
class TocEntryTest : public TocTest {
 protected:
  void SetUp() override {
    doc.InitNewDocument();
    TDocBuilder b(doc);
    b.Add("");
    Heading(b, 1, "Two|lines");       // a manual line break
    Heading(b, 1, "");                // empty: no entry
    noted = b.AddWithNote("Noted", "the note");
    AutoNoteMark(*doc.Par(noted));
    SetParFormatProp(doc.Par(noted)->Format, ppStyle, doc.Styles->IndexOfBuiltIn(bsHeading1));
    marked = b.Add("Marked");
    SetParFormatProp(doc.Par(marked)->Format, ppStyle, doc.Styles->IndexOfBuiltIn(bsHeading1));
    b.Add("body");
    Heading(b, 1, "After the second table");
    b.Finish();
    doc.Caret = TDocPosition{};
  }
  // The builder's note mark "*" becomes an automatically numbered one.
  static void AutoNoteMark(TPar& p) {
    TMemory out;
    for (int32_t off = 0; off < p.Content.Length;) {
      if (IsTagAt(p.Content.Data, p.Content.Length, off)) {
        out.Append(p.Content.Data + off, ContentTagSize);
        off += ContentTagSize;
      } else if (p.Content.Data[off] == '*') {
        AppendContentTag(out, ctSpecialChar, scAutoNoteMark);
        ++off;
      } else {
        out.Append(p.Content.Data + off++, 1);
      }
    }
    p.Content = out;
    p.RebuildCodes();
    p.ContentChanged();
  }
  int32_t noted = 0, marked = 0;
};

}  // namespace

TEST_F(TocEntryTest, EntriesShowBreaksAsBlanksDropNoteMarksAndReuseBookmarks) {
  // A bookmark at the start of one heading, and a table of contents further down.
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"Existing";
  TDocRange r;
  MakeRange(marked, 0, marked, 3, r);
  doc.InsertFieldMarks(std::move(mark), r);
  auto later = std::make_unique<TField>();
  later->FieldType = ftToc;
  later->Instruction = u"TOC";
  MakeRange(marked + 1, 0, marked + 1, 4, r);
  doc.InsertFieldMarks(std::move(later), r);
  doc.EndOperation();
  doc.CommitOperation(std::move(op));

  TGenerateTOC_Options options;
  options.ShowPageNumbers = false;
  EXPECT_EQ(Generate(options), 3);
  EXPECT_EQ(MainText(doc).substr(0, 23), "Two lines/Noted/Marked/");
  const auto links = Fields(fkField, ftHyperlink);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[1]->Instruction, u"HYPERLINK \\l \"Noted\"");
  EXPECT_EQ(links[2]->Instruction, u"HYPERLINK \\l \"Existing\"");
  EXPECT_FALSE(doc.HasBookmark(u"Marked"));
  EXPECT_FALSE(doc.HasBookmark(u"After_the_second_table"));
  // A second table of contents gets the next free bookmark name.
  MakePosition(doc.LastParagraphOfStory(stMain), 0, doc.Caret);
  Generate(options);
  EXPECT_TRUE(doc.HasBookmark(u"_Table_Of_Contents_2"));
}
