// Field operations of the document model recorded by the engine: each one is undone and redone,
// and the field index follows the marks each time.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "edit_test_support.h"

using namespace qv;

namespace {

TDocPosition At(int32_t par, int32_t off) {
  TDocPosition p;
  MakePosition(par, off, p);
  return p;
}

// "abc" with a bookmark around "b" put in directly.
TField* PutBookmark(TDoc& doc) {
  auto owned = std::make_unique<TField>();
  TField* f = owned.get();
  f->Kind = fkBookmark;
  f->Instruction = u"mark";
  doc.Fields.push_back(std::move(owned));
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  p.Content.AppendString("a");
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
  p.Content.AppendString("b");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
  p.Content.AppendString("c");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
  return f;
}

// "abc" inside a bookmark inside another one, all four marks at the paragraph's two ends.
void PutNestedBookmarks(TDoc& doc) {
  TField* f[2];
  for (TField*& x : f) {
    auto owned = std::make_unique<TField>();
    x = owned.get();
    x->Kind = fkBookmark;
    doc.Fields.push_back(std::move(owned));
  }
  TPar& p = *doc.Par(0);
  p.Content.Clear();
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f[0]));
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f[1]));
  p.Content.AppendString("abc");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f[1]));
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f[0]));
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
}

std::unique_ptr<TField> NewField(uint8_t type) {
  auto f = std::make_unique<TField>();
  f->FieldType = type;
  f->Instruction = u"PAGE";
  return f;
}

// The ranges of the index as "par:off-par:off" joined by spaces.
std::string IndexRanges(TDoc& doc) {
  doc.RebuildFieldIndex();
  std::string s;
  for (TField* f : doc.FieldIndex().Fields) {
    if (!s.empty()) s += ' ';
    s += std::to_string(f->Range.Start.Par) + ":" + std::to_string(f->Range.Start.Offset) + "-" +
         std::to_string(f->Range.End.Par) + ":" + std::to_string(f->Range.End.Offset);
  }
  return s;
}

struct Case {
  const char* name;
  std::function<void(TDoc&)> prepare;
  std::function<void(TDoc&)> perform;
  std::string indexAfter;
};

}  // namespace

TEST(FieldOperations, DoneUndoneAndRedone) {
  const Case cases[] = {
      {"insert marks around a range", nullptr,
       [](TDoc& d) { d.InsertFieldMarks(NewField(33), {At(0, 1), At(1, 2)}); }, "0:1-1:2"},
      {"insert an empty field at the caret", nullptr,
       [](TDoc& d) {
         d.Caret = At(1, 1);
         d.InsertFieldAtCaret(NewField(33));
       },
       "1:1-1:1"},
      {"empty field inside a bookmark ending at the caret", PutBookmark,
       [](TDoc& d) {
         d.Caret = At(0, 1);
         d.InsertFieldAtCaret(NewField(33));
       },
       "0:1-0:2 0:1-0:1"},
      {"remove a field, keeping its text", PutBookmark,
       [](TDoc& d) { d.RemoveField(d.Fields[0].get()); }, ""},
      // Undo puts each mark back in its own place among the others there (the removal notes it).
      {"remove the inner of two fields with the same places", PutNestedBookmarks,
       [](TDoc& d) { d.RemoveField(d.Fields[1].get()); }, "0:0-0:3"},
      {"remove the outer of two fields with the same places", PutNestedBookmarks,
       [](TDoc& d) { d.RemoveField(d.Fields[0].get()); }, "0:0-0:3"},
      {"move the end mark", PutBookmark,
       [](TDoc& d) {
         TField* f = d.Fields[0].get();
         d.InsDelFieldMark(f, 0, 2, 0, false, false);
         d.InsDelFieldMark(f, 0, 3, 0, true, false);
       },
       "0:1-0:3"},
      {"remove a table of contents with its entries' links", nullptr,
       [](TDoc& d) {
         TField* toc = d.InsertFieldMarks(NewField(ftToc), {At(0, 0), At(1, 4)});
         d.InsertFieldMarks(NewField(ftHyperlink), {At(0, 0), At(0, 3)});
         d.InsertFieldMarks(NewField(ftPageRef), {At(1, 1), At(1, 2)});
         d.InsertFieldMarks(NewField(ftHyperlink), {At(1, 4), At(1, 4)});
         d.InsertFieldMarks(NewField(ftRef), {At(1, 1), At(1, 2)});
         d.RemoveTocField(toc);
       },
       "1:1-1:2"},
      {"new NUMWORDS field around its placeholder", nullptr,
       [](TDoc& d) {
         d.Caret = At(0, 1);
         TField* f = d.InsertNewField(ftNumWords, u"\\* Arabic");
         EXPECT_EQ(f->Instruction, u"NUMWORDS \\* Arabic");
         EXPECT_EQ(d.GetRangeText({At(0, 0), At(0, 4)}), "aabc");
         EXPECT_EQ(d.Caret.Offset, 2);
       },
       "0:1-0:2"},
      {"hyperlink typed over the caret", nullptr,
       [](TDoc& d) {
         d.Caret = At(1, 2);
         d.InsertHyperlink(u"HYPERLINK \"http://x.org/\"", u"XY");
         EXPECT_EQ(d.GetRangeText({At(1, 0), At(1, 6)}), "deXYfg");
       },
       "1:2-1:4"},
      {"hyperlink around a selection", nullptr,
       [](TDoc& d) {
         d.SetSelection(0, 1, 0, 3);
         d.InsertHyperlink(u"HYPERLINK \"http://x.org/\"", u"");
         EXPECT_EQ(d.GetRangeText({At(0, 0), At(0, 3)}), "abc");
       },
       "0:1-0:3"},
      {"index entry at the caret", nullptr,
       [](TDoc& d) {
         d.Caret = At(1, 2);
         d.InsertIndexEntry(u"XE \"x\"");
       },
       "1:2-1:2"},
      {"index entries at every whole word", nullptr,
       [](TDoc& d) { d.MarkAllIndexEntries({u"defg", u"ab"}, {u"XE \"d\"", u"XE \"a\""}); },
       "1:0-1:0"},
      {"edit the instruction", PutBookmark,
       [](TDoc& d) { d.EditFieldInstruction(d.Fields[0].get(), u"other"); }, "0:1-0:2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TEngineScope engine;
    TDoc doc(true);
    SetMainText(doc, {"abc", "defg"});
    if (c.prepare) c.prepare(doc);
    const std::string before = DumpDoc(doc);
    const std::string indexBefore = IndexRanges(doc);
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    c.perform(doc);
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
    const std::string after = DumpDoc(doc);
    EXPECT_NE(before, after);
    EXPECT_EQ(IndexRanges(doc), c.indexAfter);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
    EXPECT_EQ(IndexRanges(doc), indexBefore);
    doc.Redo();
    EXPECT_EQ(DumpDoc(doc), after);
    EXPECT_EQ(IndexRanges(doc), c.indexAfter);
  }
}

TEST(FieldOperations, BadPlacesChangeNothing) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"abc"});
  EXPECT_EQ(doc.InsertFieldMarks(NewField(33), {At(0, 2), At(0, 1)}), nullptr);
  EXPECT_EQ(doc.InsertFieldMarks(NewField(33), {At(0, 1), At(5, 0)}), nullptr);
  doc.RemoveField(nullptr);
  EXPECT_TRUE(doc.Fields.empty());
  EXPECT_EQ(IndexRanges(doc), "");
}
