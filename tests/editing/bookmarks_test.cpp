// Bookmarks: names made from text, insertion over several ranges, renaming and removal with undo,
// previous and next with wrap-around, the hyperlink history and links to missing bookmarks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/fragment_pool.h"
#include "edit_test_support.h"

using namespace qv;

namespace {

TDocPosition At(int32_t par, int32_t off) {
  TDocPosition p;
  MakePosition(par, off, p);
  return p;
}

// Runs the change as one recorded operation.
template <typename F>
void Recorded(TDoc& doc, F change) {
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  change();
  doc.EndOperation();
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
}

void SelectRanges(TDoc& doc, const std::vector<TDocRange>& ranges) {
  doc.Selection = AcquireFragment();
  doc.Selection->SetCount(static_cast<int32_t>(ranges.size()));
  for (size_t i = 0; i < ranges.size(); ++i) *doc.Selection->GetRange(static_cast<int32_t>(i)) = ranges[i];
  doc.Selection->RefreshLastRange();
}

TField* Bookmark(TDoc& doc, const std::u16string& name, const TDocRange& range) {
  auto f = std::make_unique<TField>();
  f->Kind = fkBookmark;
  f->Instruction = name;
  return doc.InsertFieldMarks(std::move(f), range);
}

TField* Link(TDoc& doc, const std::string& target, const std::string& bookmark,
             const TDocRange& range) {
  auto f = std::make_unique<TField>();
  f->FieldType = ftHyperlink;
  f->Instruction = BuildHyperlinkInstruction(target, bookmark, u"");
  return doc.InsertFieldMarks(std::move(f), range);
}

}  // namespace

TEST(Bookmarks, NamesMadeFromText) {
  struct Case {
    std::string text;
    std::u16string existing;  // a bookmark already in the document, if any
    std::u16string expected;
  } cases[] = {
      {"12 \"ab\" cd", u"", u"_12__ab__cd"},
      {"Intro.", u"", u"Intro"},
      {"Intro", u"INTRO", u"Intro_1"},
      {"\x80\x80", u"", u"Bookmark_1"},
      {"\x80", u"Bookmark_1", u"Bookmark_2"},
      {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz", u"",
       u"abcdefghijklmnopqrstuvwxyzabcdefghijklmn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TEngineScope engine;
    TDoc doc(true);
    SetMainText(doc, {c.text, "other"});
    if (!c.existing.empty()) Bookmark(doc, c.existing, {At(1, 0), At(1, 2)});
    const int32_t n = static_cast<int32_t>(c.text.size());
    EXPECT_EQ(doc.MakeBookmarkName({At(0, 0), At(0, n)}), c.expected);
  }
}

TEST(Bookmarks, InsertedRenamedAndRemovedWithUndo) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"first part", "second part"});
  SelectRanges(doc, {{At(0, 0), At(0, 5)}, {At(1, 0), At(1, 6)}});
  const std::string start = DumpDoc(doc);
  Recorded(doc, [&] { doc.InsertBookmark(u"Part"); });
  EXPECT_TRUE(doc.HasBookmark(u"part"));
  EXPECT_TRUE(doc.HasBookmark(u"Part_2"));
  TField* second = doc.FieldIndex().Bookmarks[1].Field;
  EXPECT_EQ(second->Range.Start.Par, 1);
  EXPECT_EQ(second->Range.End.Offset, 6);
  const std::string inserted = DumpDoc(doc);

  Recorded(doc, [&] { doc.EditFieldInstruction(second, u"Renamed"); });
  EXPECT_TRUE(doc.HasBookmark(u"renamed"));
  EXPECT_FALSE(doc.HasBookmark(u"Part_2"));
  doc.Undo();
  EXPECT_TRUE(doc.HasBookmark(u"Part_2"));
  EXPECT_FALSE(doc.HasBookmark(u"Renamed"));

  Recorded(doc, [&] { doc.RemoveField(second); });
  EXPECT_FALSE(doc.HasBookmark(u"Part_2"));
  EXPECT_EQ(doc.FindBookmarkName(u"Part"), 0);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), inserted);
  EXPECT_TRUE(doc.HasBookmark(u"Part_2"));

  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), start);
  EXPECT_FALSE(doc.HasBookmark(u"Part"));
  doc.Redo();
  EXPECT_EQ(DumpDoc(doc), inserted);
  EXPECT_TRUE(doc.HasBookmark(u"Part"));
}

TEST(Bookmarks, PreviousAndNextWrapAround) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"aaaa bbbb cccc"});
  Bookmark(doc, u"A", {At(0, 0), At(0, 4)});
  Bookmark(doc, u"C", {At(0, 10), At(0, 14)});
  struct Case {
    int32_t caret;
    bool next;
    int32_t expected;  // caret after the jump
  } cases[] = {{6, true, 10}, {12, true, 0}, {6, false, 0}, {2, false, 10}};
  for (const Case& c : cases) {
    doc.Caret = At(0, c.caret);
    if (c.next) doc.GoToNextBookmark();
    else doc.GoToPreviousBookmark();
    EXPECT_EQ(doc.Caret.Offset, c.expected) << c.caret << (c.next ? " next" : " previous");
  }
  EXPECT_FALSE(doc.GoToBookmark(u"missing", true, nullptr));
  EXPECT_TRUE(doc.GoToBookmark(u"c", true, nullptr));
  ASSERT_TRUE(doc.Selection);
  EXPECT_EQ(doc.Selection->GetRange(0)->End.Offset, 14);
  EXPECT_EQ(doc.LastVisitedBookmark, doc.FieldIndex().Bookmarks[1].Field);
}

TEST(Bookmarks, HyperlinkHistoryBackAndForward) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"one two three four"});
  Bookmark(doc, u"Four", {At(0, 14), At(0, 18)});
  TField* l1 = Link(doc, "", "Four", {At(0, 0), At(0, 3)});
  TField* l2 = Link(doc, "", "Four", {At(0, 4), At(0, 7)});
  doc.GoToBookmark(u"Four", false, l1);
  doc.GoToBookmark(u"Four", false, l2);
  doc.GoToBookmark(u"Four", false, l2);  // the current entry is not pushed twice
  ASSERT_EQ(doc.HyperlinkHistory.size(), 2u);
  doc.HyperlinkHistoryBack();
  EXPECT_EQ(doc.Caret.Offset, 4);
  doc.HyperlinkHistoryForward();
  EXPECT_EQ(doc.Caret.Offset, 14);
  EXPECT_EQ(doc.HyperlinkHistory.size(), 2u);
  // A deleted link is skipped on the way back.
  doc.RemoveField(l2);
  doc.Caret = At(0, 10);
  doc.HyperlinkHistoryBack();
  EXPECT_EQ(doc.Caret.Offset, 0);
  EXPECT_EQ(doc.HyperlinkHistoryIndex, -1);
  doc.HyperlinkHistoryBack();  // nothing left
  EXPECT_EQ(doc.Caret.Offset, 0);
}

TEST(Bookmarks, LinksToMissingBookmarks) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"alpha beta gamma delta"});
  Bookmark(doc, u"Here", {At(0, 0), At(0, 5)});
  Link(doc, "", "here", {At(0, 6), At(0, 10)});
  TField* missing = Link(doc, "", "Gone", {At(0, 11), At(0, 16)});
  Link(doc, "http://example.org/", "Gone", {At(0, 17), At(0, 22)});
  EXPECT_EQ(doc.FindHyperlinksToMissingBookmarks(), std::vector<TField*>{missing});
}
