// Indexes built from the document's index entries (sorted, grouped, indented or run in, with
// letter headings and cross-references) and index entries inserted and marked, as undoable
// edits; page numbers of laid-out entries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/styles.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "layout/pagination_fixture.h"

namespace {

struct IndexScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
  ScopedService<TEditOperationProviders> Providers{MakeFieldEditProviders()};
};

// Empty XE fields with the instructions at the start of the paragraph.
void PutEntries(TDoc& doc, int32_t par, const std::vector<std::u16string>& instructions) {
  TPar& p = *doc.Par(par);
  TMemory marks;
  for (const std::u16string& instruction : instructions) {
    auto f = std::make_unique<TField>();
    f->FieldType = ftIndexEntry;
    f->Instruction = instruction;
    AppendContentTag(marks, ctFieldStart, TagRefOf(f.get()));
    AppendContentTag(marks, ctFieldEnd, TagRefOf(f.get()));
    doc.Fields.push_back(std::move(f));
  }
  TMemory content = marks;
  content.AppendMemory(p.Content);
  p.Content = content;
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
}

// The index's paragraphs: their text with the built-in index of their style ("T1 text").
std::vector<std::string> IndexParagraphs(TDoc& doc) {
  doc.RebuildFieldIndex();
  std::vector<std::string> out;
  for (TField* f : doc.FieldIndex().Fields) {
    if (f->Kind != fkField || f->FieldType != 8) continue;
    for (int32_t p = f->Range.Start.Par; p <= f->Range.End.Par; ++p) {
      const TStyle* s = doc.Par(p)->GetStyle();
      std::string line = s == nullptr ? "?" : s->BuiltIn == bsIndexHeading ? "H" : s->BuiltIn == 0 ? "N" : "I" + std::to_string(s->BuiltIn - bsIndex1 + 1);
      line += " ";
      TDocRange r;
      MakeRange(p, 0, p, doc.Par(p)->CharCount() - 1, r);
      for (char16_t c : doc.GetRangeWideText(r, 0)) line.push_back(c == u'\t' ? '>' : static_cast<char>(c));
      out.push_back(line);
    }
  }
  return out;
}

class IndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.InitNewDocument();
    SetMainText(doc, {"body", "more", ""});
    MakePosition(2, 0, doc.Caret);
  }
  void Build(const std::u16string& instruction) {
    std::u16string copy = instruction;
    void* args[] = {&copy};
    doc.ExecuteEdit(ecBuildIndex, args, 0);
  }
  IndexScope scope;
  TDoc doc{true};
};

}  // namespace

TEST_F(IndexTest, EntriesAreSortedGroupedAndIndentedWithHeadingsAndReferences) {
  PutEntries(doc, 0,
             {u"XE \"apple:Red\"", u"XE \"Apple:green\"", u"XE \"Apple\"", u"XE \"apple\"",
              u"XE \"Cherry::pie:\"", u"XE \"\u00C9clair\"", u"XE \"Fruit\" \\t \"See Apple\"",
              u"XE \"Grape\" \\r nowhere", u"XE \"Apple\" \\b"});
  const std::string before = DumpDoc(doc);
  Build(u"INDEX \\h \"A\" \\z \"1033\"");
  const std::vector<std::string> expected = {
      "H A",           "I1 apple, 1", "I1 Apple, 1", "I2 green, 1", "I1 apple", "I2 Red, 1",
      "H C",           "I1 Cherry",   "I2 pie, 1",   "H E",         "I1 \xC9" "clair, 1",
      "H F",           "I1 Fruit, See Apple",
      "H G",           "I1 Grape, Error: invalid bookmark \"nowhere\" in entry on page 1!"};
  EXPECT_EQ(IndexParagraphs(doc), expected);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(IndexTest, RunInLayoutAndRightAlignedPageNumbers) {
  PutEntries(doc, 0, {u"XE \"Fruit\"", u"XE \"Fruit:apple\"", u"XE \"Fruit:pear\"", u"XE \"Nut\""});
  Build(u"INDEX \\r");
  EXPECT_EQ(IndexParagraphs(doc),
            (std::vector<std::string>{"I1 Fruit, 1: apple, 1; pear, 1", "I1 Nut, 1"}));
  // Built again at its place: it replaces itself, with page numbers after a tab.
  MakePosition(2, 0, doc.Caret);
  Build(u"INDEX \\e \"\t\" \\y2");
  EXPECT_EQ(IndexParagraphs(doc),
            (std::vector<std::string>{"I1 Fruit>1", "I2 apple>1", "I2 pear>1", "I1 Nut>1"}));
  const TStyle& index1 = (*doc.Styles)[doc.Styles->IndexOfBuiltIn(bsIndex1)];
  EXPECT_GT(GetParFormatProp(index1.ParFmt, ppTabSet), 0);
  int32_t indexes = 0;
  for (auto& f : doc.Fields) indexes += f->FieldType == 8 && f->Kind == fkField;
  EXPECT_EQ(indexes, 1);
}

TEST_F(IndexTest, AnIndexWithoutEntriesSaysSo) {
  Build(u"INDEX");
  EXPECT_EQ(IndexParagraphs(doc), (std::vector<std::string>{"N No index entries found."}));
}

TEST_F(IndexTest, EntriesAreInsertedAtTheSelectionAndMarkedOncePerParagraph) {
  SetMainText(doc, {"Paris and paris, Paris", "Parisian Paris", "no"});
  doc.SetSelection(0, 4, 0, 7);
  std::u16string xe = u"XE \"town\"";
  void* one[] = {&xe};
  doc.ExecuteEdit(ecInsertIndexEntry, one, 0);
  std::vector<std::u16string> words = {u"Paris"};
  std::vector<std::u16string> instructions = {u"XE \"Paris\""};
  void* all[] = {&words, &instructions};
  doc.ExecuteEdit(ecMarkAllIndexEntries, all, 1);
  doc.RebuildFieldIndex();
  std::vector<std::string> places;
  for (TField* f : doc.FieldIndex().Fields)
    places.push_back(std::to_string(f->Range.Start.Par) + ":" + std::to_string(f->Range.Start.Offset) +
                     (f->Instruction == xe ? " town" : " Paris"));
  EXPECT_EQ(places, (std::vector<std::string>{"0:0 Paris", "0:4 town", "1:9 Paris"}));
  // Marking again adds nothing.
  const int32_t position = doc.UndoPosition;
  doc.ExecuteEdit(ecMarkAllIndexEntries, all, 1);
  EXPECT_EQ(doc.UndoPosition, position);
}

namespace {

class IndexPagesTest : public PaginationTest {
 protected:
  IndexScope scope;
};

}  // namespace

TEST_F(IndexPagesTest, PageNumbersAreGroupedAndBookmarksGiveRanges) {
  doc->InitNewDocument();
  b->Add("page one\fpage two\fpage three");
  b->Add("page three again\fpage four\fpage five");
  const int32_t last = b->Add("");
  b->Finish();
  // "alpha" on pages 3 and 5 (twice on 5), "beta" through a bookmark over pages 3 to 5.
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"span";
  TDocRange range;
  MakeRange(1, 0, 1, 30, range);
  {
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(*doc, 0);
    doc->BeginOperation(op.get());
    doc->InsertFieldMarks(std::move(mark), range);
    doc->EndOperation();
    doc->CommitOperation(std::move(op));
  }
  PutEntries(*doc, 1, {u"XE \"alpha\"", u"XE \"beta\" \\r span"});
  // Two more on page five: after the last page break of paragraph 1.
  TPar& p = Par(1);
  TMemory tail;
  for (int k = 0; k < 2; ++k) {
    auto f = std::make_unique<TField>();
    f->FieldType = ftIndexEntry;
    f->Instruction = u"XE \"alpha\"";
    AppendContentTag(tail, ctFieldStart, TagRefOf(f.get()));
    AppendContentTag(tail, ctFieldEnd, TagRefOf(f.get()));
    doc->Fields.push_back(std::move(f));
  }
  p.Content.Insert(tail.Data, p.Content.Length - ContentTagSize, tail.Length);
  p.RebuildCodes();
  p.ContentChanged();
  doc->InvalidateFieldIndex();
  doc->ReformatAllParagraphs();
  Paginate();
  MakePosition(last, 0, doc->Caret);
  std::u16string instruction = u"INDEX";
  void* args[] = {&instruction};
  doc->ExecuteEdit(ecBuildIndex, args, 0);
  EXPECT_EQ(IndexParagraphs(*doc), (std::vector<std::string>{"I1 alpha, 3, 5", "I1 beta, 3-5"}));
}
