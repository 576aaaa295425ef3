// Field marks through text changes: a change bracketed by BeginKeepFieldMarks and
// EndKeepFieldMarks removes the fields it swallows whole and puts the surviving marks back around
// the new text, all undoable with the change.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/content_stream.h"
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

// Paragraphs of text in which "<N" and ">N" are the start and end marks of field N (kind 0, or
// a bookmark for N >= 5).
class MarkedDoc {
 public:
  explicit MarkedDoc(TDoc& doc) : doc_(doc) {}
  void Lines(const std::vector<std::string>& lines) {
    SetMainText(doc_, std::vector<std::string>(lines.size(), ""));
    for (size_t i = 0; i < lines.size(); ++i) {
      TPar& p = *doc_.Par(static_cast<int32_t>(i));
      p.Content.Clear();
      std::string run;
      const std::string& t = lines[i];
      for (size_t k = 0; k < t.size(); ++k) {
        if ((t[k] == '<' || t[k] == '>') && k + 1 < t.size()) {
          p.Content.AppendString(run);
          run.clear();
          AppendContentTag(p.Content, t[k] == '<' ? ctFieldStart : ctFieldEnd,
                           TagRefOf(Field(t[k + 1] - '0')));
          ++k;
          continue;
        }
        run.push_back(t[k]);
      }
      p.Content.AppendString(run);
      AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
      p.RebuildCodes();
      p.ContentChanged();
    }
    doc_.InvalidateFieldIndex();
  }
  TField* Field(int n) {
    if (fields_.count(n)) return fields_[n];
    auto f = std::make_unique<TField>();
    f->Kind = n >= 5 ? fkBookmark : fkField;
    f->Instruction = std::u16string(1, static_cast<char16_t>(u'0' + n));  // tells them apart
    fields_[n] = f.get();
    doc_.Fields.push_back(std::move(f));
    return fields_[n];
  }
  // The paragraphs written back in the same notation.
  std::string Text() {
    std::string s;
    for (int32_t i = 0; i < doc_.ParCount(); ++i) {
      if (i) s += '/';
      const TPar& p = *doc_.Par(i);
      TStreamItem item;
      for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item);
           off += item.Size) {
        if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
          for (auto& [n, f] : fields_)
            if (FieldOfTag(item.Tag) == f) s += (item.Tag.Kind == ctFieldStart ? '<' : '>') + std::to_string(n);
          continue;
        }
        if (item.ItemType != TStreamItem::siTag) s.append(reinterpret_cast<const char*>(p.Content.Data + off), item.Size);
      }
    }
    return s;
  }

 private:
  TDoc& doc_;
  std::map<int, TField*> fields_;
};

struct Case {
  const char* name;
  std::vector<std::string> lines;
  TDocRange range;
  std::string inserted;  // text typed in place of the range
  int32_t flag;          // a document flag the caller sets around the change (0: none)
  std::string after;
};

}  // namespace

TEST(FieldMarks, KeptAndRemovedThroughReplacements) {
  const Case cases[] = {
      {"a whole field goes with its text", {"ab<1cd>1ef"}, {At(0, 1), At(0, 5)}, "", 0,
       "af"},
      {"only the start mark: kept at the deletion", {"ab<1cd>1ef"}, {At(0, 1), At(0, 3)}, "",
       0, "a<1d>1ef"},
      {"only the end mark: kept after the new text", {"ab<1cd>1ef"}, {At(0, 3), At(0, 5)}, "XY",
       0, "ab<1cXY>1f"},
      {"a hyperlink's text replaced keeps the link", {"a<1bc>1d"}, {At(0, 1), At(0, 3)}, "XYZ",
       dfHyperlinkTextReplaced, "a<1XYZ>1d"},
      {"replaced without the hyperlink flag it goes", {"a<1bc>1d"}, {At(0, 1), At(0, 3)}, "XYZ",
       0, "aXYZd"},
      {"nested fields both go", {"a<1b<2c>2d>1e"}, {At(0, 0), At(0, 5)}, "", 0, ""},
      {"a damaged start without its end survives", {"ab<1cd"}, {At(0, 1), At(0, 3)}, "", 0,
       "a<1d"},
      {"an end mark left at a paragraph's start closes the previous one", {"ab<1c", "d>1", "ef"},
       {At(1, 0), At(1, 1)}, "", 0, "ab<1c>1//ef"},
      {"paragraph break before a field's end", {"ab<5c", ">5de"}, {At(0, 3), At(1, 0)}, "", 0,
       "ab<5c>5de"},
      {"an empty field at the deletion's start survives", {"ab<1>1cd"}, {At(0, 2), At(0, 4)}, "",
       0, "ab<1>1"},
      {"the middle one of three fields goes, and comes back to its place in the list",
       {"<1a>1b<2c>2d<3e>3"}, {At(0, 1), At(0, 3)}, "", 0, "<1a>1d<3e>3"},
      {"emptying the whole story takes it too", {"ab<1>1cd"}, {At(0, 2), At(0, 4)}, "",
       dfDeletingWholeStory, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TEngineScope engine;
    TDoc doc(true);
    MarkedDoc m(doc);
    m.Lines(c.lines);
    const std::string before = DumpDoc(doc);
    const std::string textBefore = m.Text();
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    if (c.flag) doc.SetDocFlag(c.flag, true);
    doc.BeginKeepFieldMarks(c.range.Start, c.range.End, 0);
    EditServices().DeleteContent(doc, c.range);
    TDocPosition end = c.range.Start;
    if (!c.inserted.empty()) {
      TMemory text;
      text.AppendString(c.inserted);
      EditServices().InsertContent(doc, text, c.range.Start, stMain, 0);
      end.Offset += static_cast<int32_t>(c.inserted.size());
    }
    doc.EndKeepFieldMarks(c.range.Start, end);
    if (c.flag) doc.SetDocFlag(c.flag, false);
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
    const std::string after = m.Text();
    EXPECT_EQ(after, c.after);
    doc.Undo();
    EXPECT_EQ(m.Text(), textBefore);
    EXPECT_EQ(DumpDoc(doc), before);
    doc.Redo();
    EXPECT_EQ(m.Text(), after);
  }
}

// The text record alone (no marks kept) takes a field inside the deleted text out of the list
// and puts it back where it stood.
TEST(FieldMarks, AFieldDeletedWithItsTextComesBackToItsPlaceInTheList) {
  TEngineScope engine;
  TDoc doc(true);
  MarkedDoc m(doc);
  m.Lines({"<1a>1b<2c>2d<3e>3"});
  const std::string before = DumpDoc(doc);
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  EditServices().DeleteContent(doc, TDocRange{At(0, 1), At(0, 3)});
  doc.EndOperation();
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
  EXPECT_EQ(m.Text(), "<1a>1d<3e>3");
  EXPECT_EQ(doc.Fields.size(), 2u);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}
