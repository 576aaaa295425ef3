// Footnotes and endnotes inserted, converted between the kinds and kept in reference order, each
// edit undone and redone exactly.
#include <gtest/gtest.h>

#include "document/doc_object_services.h"
#include "document/notes.h"
#include "document/par.h"
#include "object_edit_support.h"
#include "table_test_support.h"

using namespace qv;

namespace {

void InsertNote(TDoc& doc, TInsertNoteOptions options) {
  void* args[1] = {&options};
  doc.ExecuteEdit(59, args, 0);
}

std::string Codes(const TPar& par) {
  std::string s;
  for (int32_t i = 0; i < par.CharCount(); ++i) {
    const uint8_t c = par.CodeAt(i);
    s += c >= 32 ? std::string(1, static_cast<char>(c)) : "<" + std::to_string(c) + ">";
  }
  return s;
}

std::string StoryCodes(TDoc& doc, int32_t story) {
  std::string s;
  for (int32_t p = doc.FirstParagraphOfStory(story); p <= doc.LastParagraphOfStory(story); ++p) {
    NormalizeParagraphTags(*doc.Par(p));
    s += Codes(*doc.Par(p)) + "/";
  }
  return s;
}

struct NotesTest : ::testing::Test {
  TObjectEngineScope engine;
  TDoc doc{true};
  void SetUp() override {
    SetMainText(doc, {"first line", "second line"});
    doc.Styles->AddNew().Name = "Normal";
  }
};

TEST_F(NotesTest, AnAutomaticFootnoteAtTheCaret) {
  doc.Caret = {0, 5};
  const std::string before = DumpAll(doc);
  InsertNote(doc, {});
  EXPECT_EQ(Codes(*doc.Par(0)), "first<16> line<2>");
  EXPECT_EQ(StoryCodes(doc, stFootnotes), "<16> <2>/");
  EXPECT_EQ(doc.Caret.Par, doc.FirstParagraphOfStory(stFootnotes));
  EXPECT_EQ(doc.Caret.Offset, 2);
  TField* ref = nullptr;
  for (const auto& f : doc.Fields)
    if (f->Kind == fkNoteReference) ref = f.get();
  ASSERT_NE(ref, nullptr);
  TDocRange range;
  ASSERT_TRUE(doc.GetFieldRange(ref, range));
  EXPECT_EQ(range.Start.Offset, 5);
  EXPECT_EQ(range.End.Offset, 6);
  const auto queries = MakeDocObjectServices();
  EXPECT_EQ(queries->NoteReferenceAt(&doc, range.Start), ref);
  EXPECT_EQ(queries->NoteReferenceAt(&doc, {0, 4}), nullptr);
  ASSERT_NE(ref->LinkedField, nullptr);
  EXPECT_EQ(ref->LinkedField->LinkedField, ref);
  ASSERT_GE(doc.Styles->IndexOfBuiltIn(kFootnoteTextStyle), 0);
  EXPECT_EQ(int32_t{doc.Par(doc.Caret.Par)->Format.Style}, doc.Styles->IndexOfBuiltIn(kFootnoteTextStyle));
  const std::string after = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), after);
}

TEST_F(NotesTest, CustomMarksAndSelections) {
  struct Case {
    std::u16string mark;
    std::string font;
    bool select;
    std::string main, note;
    int32_t caret;
  } cases[] = {
      {u"abc", "", false, "firstabc line<2>", "abc <2>/", 4},
      {u"*", "Wingdings", false, "first* line<2>", "* <2>/", 2},
      {u"\u00A7", "", true, "first<17>line<2>", "<17> <2>/", 2},
      // Control characters would read as tags or separators as bytes: they go in as UTF-16.
      {std::u16string(1, u'\x1d'), "", false, "first<17> line<2>", "<17> <2>/", 2},
  };
  for (const Case& c : cases) {
    TDoc d(true);
    SetMainText(d, {"first line", "second line"});
    d.Caret = {0, 5};
    if (c.select) {
      d.Selection = AcquireFragment();
      d.Selection->SetSingleRange(0, 5, 0, 6);  // the blank goes
    }
    TInsertNoteOptions o;
    o.CustomMark = c.mark;
    o.MarkFont = c.font;
    InsertNote(d, o);
    NormalizeParagraphTags(*d.Par(0));
    EXPECT_EQ(Codes(*d.Par(0)), c.main);
    EXPECT_EQ(StoryCodes(d, stFootnotes), c.note);
    EXPECT_EQ(d.Caret.Offset, c.caret);
    int32_t symbols = 0;
    for (const auto& f : d.Fields) symbols += f->Kind == fkField && f->FieldType == ftSymbol;
    EXPECT_EQ(symbols, c.font.empty() ? 0 : 2);  // in the reference and in the note
  }
}

// A note over selected cells replaces the text of the first cell; the cell ends stay and the
// table keeps its shape.
TEST_F(NotesTest, ANoteOverSelectedCellsKeepsTheCellEnds) {
  TDoc d(true);
  BuildTable(d, {{"ab", "cd"}, {"ef", "gh"}});
  const int32_t cell = FirstTablePar(d);
  d.SetSelection(cell, 1, cell + 1, 1);
  ASSERT_EQ(TableText(d), "[before]ab|cd/ef|gh/ [after]");
  ASSERT_TRUE(d.HasSelection());
  const std::string before = DumpAll(d);
  InsertNote(d, {});
  EXPECT_EQ(TableText(d), "[before]\x10|cd/ef|gh/ [after]");  // the automatic note mark
  for (int32_t p = 0; p < d.ParCount(); ++p) {
    const TPar& par = *d.Par(p);
    const uint8_t last = par.CodeAt(par.CharCount() - 1);
    EXPECT_TRUE(last == scParagraphEnd || last == scCellEnd || last == scRowEnd) << p;
  }
  EXPECT_EQ(StoryCodes(d, stFootnotes), "<16> <2>/");
  d.Undo();
  EXPECT_EQ(DumpAll(d), before);
}

TEST_F(NotesTest, NotesFollowTheOrderOfTheirReferences) {
  TInsertNoteOptions o;
  o.CustomMark = u"B";
  doc.Caret = {1, 3};
  InsertNote(doc, o);
  o.CustomMark = u"A";
  doc.Caret = {0, 2};
  InsertNote(doc, o);
  EXPECT_EQ(StoryCodes(doc, stFootnotes), "A <2>/B <2>/");
}

TEST_F(NotesTest, ConvertingMovesNotesBetweenTheStories) {
  TInsertNoteOptions o;
  o.CustomMark = u"E";
  o.Story = stEndnotes;
  doc.Caret = {0, 1};
  InsertNote(doc, o);
  o.CustomMark = u"F";
  o.Story = stFootnotes;
  doc.Caret = {1, 1};
  InsertNote(doc, o);
  std::vector<TField*> endnotes;
  doc.ListNotesOfStory(endnotes, stEndnotes);
  ASSERT_EQ(endnotes.size(), 1u);
  const std::string before = DumpAll(doc);
  void* args[1] = {&endnotes};
  doc.ExecuteEdit(60, args, 0);
  EXPECT_EQ(StoryCodes(doc, stFootnotes), "E <2>/F <2>/");
  EXPECT_EQ(StoryCodes(doc, stEndnotes), "");
  EXPECT_EQ(endnotes[0]->NoteClass, 0);
  const int32_t p = doc.FirstParagraphOfStory(stFootnotes);
  EXPECT_EQ(int32_t{doc.Par(p)->Format.Style}, doc.Styles->IndexOfBuiltIn(kFootnoteTextStyle));
  EXPECT_EQ(doc.Caret.Par, p);
  const std::string after = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), after);
}

}  // namespace
