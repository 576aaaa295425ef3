#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/field.h"
#include "document/par.h"
#include "document/table_row.h"
#include "files/post_load_steps.h"
#include "files_test_support.h"

using namespace qv;
using namespace qvtest;

namespace {

// The document's paragraphs as "text/code" pairs: the text bytes, then the last character's
// code, and a "T" for a paragraph in a table.
std::vector<std::string> Shape(const TDoc& doc) {
  std::vector<std::string> out;
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    std::string s;
    for (int32_t i = 0; i + 1 < par.CharCount(); ++i)
      if (par.CodeAt(i) >= 32) s.push_back(static_cast<char>(par.CodeAt(i)));
    s += "/" + std::to_string(par.CharCount() > 0 ? par.CodeAt(par.CharCount() - 1) : -1);
    if (par.Format.InTable == 1) s += "T";
    out.push_back(s);
  }
  return out;
}

// Cell paragraphs without a row end: the texts, each ended by a cell-end mark.
void AddOpenCells(TDocBuilder& b, std::initializer_list<std::string> cells) {
  const TParFormat saved = b.Format;
  b.Format.InTable = 1;
  for (const std::string& text : cells) b.Add(text, stMain, scCellEnd);
  b.Format = saved;
}

TTableRow* RowAt(const TDoc& doc, int32_t p) {
  const TPar& par = *doc.Par(p);
  return TableRowOfTag(ReadTagAt(par.Content.Data, par.CharToStreamOffset(0)));
}

class PostLoadTables : public ::testing::Test {
 protected:
  void SetUp() override { EnsureFontManager(); }
  static void Fix(TDoc& doc, bool full = true) {
    TPostLoadInfo info;
    info.FullDocument = full;
    FixTables(doc, info);
  }
};

TEST_F(PostLoadTables, CellsWithoutARowEndAreClosedOrLeaveTheTable) {
  struct Case {
    const char* name;
    bool full;
    std::function<void(TDocBuilder&)> build;
    std::vector<std::string> shape;
  } cases[] = {
      // The last row's cells end the story: a row end closes them and a paragraph outside the
      // table ends the story.
      {"open last row", true,
       [](TDocBuilder& b) {
         b.Row({"a", "b"});
         AddOpenCells(b, {"c", "d"});
       },
       {"a/4T", "b/4T", "/5T", "c/4T", "d/4T", "/5T", "/2"}},
      // Text after the last cell stays, outside the table.
      {"text after the cells", true,
       [](TDocBuilder& b) {
         b.Row({"a"});
         AddOpenCells(b, {"c"});
         b.Format.InTable = 1;
         b.Add("loose");
         b.Format.InTable = 0;
         b.Add("after");
       },
       {"a/4T", "/5T", "c/4T", "/5T", "loose/2", "after/2"}},
      // No row end anywhere: the cells become plain paragraphs.
      {"no row end", true,
       [](TDocBuilder& b) {
         AddOpenCells(b, {"x", "y"});
         b.Add("after");
       },
       {"x/2", "y/2", "after/2"}},
      // A fragment (a copied cell block) keeps its open cells.
      {"fragment", false,
       [](TDocBuilder& b) {
         b.Row({"a"});
         AddOpenCells(b, {"c"});
       },
       {"a/4T", "/5T", "c/4T"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDoc doc(true);
    TDocBuilder b(doc);
    c.build(b);
    b.Finish();
    Fix(doc, c.full);
    EXPECT_EQ(Shape(doc), c.shape);
    EXPECT_EQ(doc.StoryCounts[stMain], doc.ParCount());
    for (int32_t p = 0; p < doc.ParCount(); ++p) {
      EXPECT_EQ(doc.Par(p)->Index, p);
      EXPECT_EQ(CountStreamChars(doc.Par(p)->Content), doc.Par(p)->CharCount());
    }
  }
}

TEST_F(PostLoadTables, AClosedRowCopiesTheLastRowAndTheFieldEndsMoveBehindIt) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TTableRow* first = b.Row({"a", "b"}, 1500);
  first->Left = -108;
  first->Borders[rbTop] = {15, 3};
  AddOpenCells(b, {"c", "d", "e"});
  b.Finish();
  // A bookmark that ends after the last cell's end mark.
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  TPar& c = *doc.Par(3);
  TMemory start;
  AppendContentTag(start, ctFieldStart, TagRefOf(mark.get()));
  c.Content.Insert(start.Data, 0, start.Length);
  TPar& e = *doc.Par(5);
  AppendContentTag(e.Content, ctFieldEnd, TagRefOf(mark.get()));
  doc.Fields.push_back(std::move(mark));
  c.ContentChanged();
  e.ContentChanged();
  Fix(doc);
  ASSERT_EQ(Shape(doc), (std::vector<std::string>{"a/4T", "b/4T", "/5T", "c/4T", "d/4T", "e/4T",
                                                  "/5T", "/2"}));
  const TTableRow* closed = RowAt(doc, 6);
  ASSERT_NE(closed, nullptr);
  ASSERT_NE(closed, first);
  EXPECT_EQ(closed->CellCount, 3);
  EXPECT_EQ(closed->Left, -108);
  EXPECT_EQ(closed->Cells[1].Right, 3000);
  EXPECT_EQ(closed->Cells[2].Right, 3000 + 1440);  // a cell the model row did not have
  EXPECT_EQ(closed->Borders[rbTop].Style, 1);      // normalised like every row
  // The bookmark now ends in the paragraph after the table, so that its marks stay paired.
  TStreamItem item;
  const TMemory& cell = doc.Par(5)->Content;
  for (int32_t off = 0; ReadStreamItem(cell.Data, cell.Length, off, item); off += item.Size)
    EXPECT_FALSE(item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldEnd);
  ASSERT_TRUE(ReadStreamItem(doc.Par(7)->Content.Data, doc.Par(7)->Content.Length, 0, item));
  EXPECT_EQ(item.Tag.Kind, ctFieldEnd);
  TDocRange range;
  ASSERT_TRUE(doc.GetFieldRange(doc.Fields.back().get(), range));
  EXPECT_EQ(range.Start.Par, 3);
  EXPECT_EQ(range.End.Par, 7);
}

TEST_F(PostLoadTables, VerticalMergesShareTheirBorders) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TTableRow* top = b.Row({"start", "x"});
  TTableRow* middle = b.Row({"", "y"});
  TTableRow* bottom = b.Row({"", "z"});
  TTableRow* after = b.Row({"own", "w"});
  b.Finish();
  top->Cells[0].MergeStart = top->Cells[0].Merged = 1;
  top->Cells[0].BorderLeft = {30, 1};
  top->Cells[0].BorderTop = {40, 1};
  top->Cells[0].BorderBottom = {5, 1};
  middle->Cells[0].Merged = 1;
  bottom->Cells[0].Merged = 1;
  bottom->Cells[0].BorderBottom = {60, 7};  // drawn single, 60 twips, after normalising
  after->Cells[0].BorderBottom = {90, 1};
  Fix(doc);
  const TTableCell& start = top->Cells[0];
  EXPECT_EQ(start.BorderBottom.Width, 60);
  EXPECT_EQ(start.BorderBottom.Style, 1);
  for (const TTableRow* row : {middle, bottom}) {
    const TTableCell& cell = row->Cells[0];
    EXPECT_EQ(cell.BorderLeft.Width, 30);
    EXPECT_EQ(cell.BorderTop.Width, 40);
    EXPECT_EQ(cell.BorderBottom.Width, 60);
  }
  // The merge ends at the first row whose cell there does not continue it.
  EXPECT_EQ(after->Cells[0].BorderBottom.Width, 90);
  EXPECT_EQ(after->Cells[0].BorderTop.Style, BorderStyleNone);
}

TEST_F(PostLoadTables, CellShadingPercentagesMixThePatternOverTheBackground) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TTableRow* row = b.Row({"a", "b", "c", "d", "e"});
  b.Finish();
  struct Case {
    int16_t percent;
    int32_t pattern, background, shown;
  } cases[] = {
      {2000, AutoColor, TableColorNone, 0xCCCCCC},  // 20 % black on white: light grey
      {5000, 0x0000FF, 0xFF0000, 0x80007F},         // half red over blue
      {10000, 0x00FF00, 0xFF0000, 0x00FF00},        // solid: the pattern colour
      {0, 0x00FF00, 0x123456, 0x123456},            // none: the background
      {2500, 0, TableColorNone, 0xC0C0C0},
  };
  for (int i = 0; i < 5; ++i) {
    TTableCell& cell = row->Cells[static_cast<size_t>(i)];
    cell.ShadingPercent = cases[i].percent;
    cell.PatternColor = cases[i].pattern;
    cell.ShadingColor = cases[i].background;
  }
  Fix(doc);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(row->Cells[static_cast<size_t>(i)].ShadingColor, cases[i].shown) << i;
}

TEST_F(PostLoadTables, RowShadingShowsBehindCellsWithoutTheirOwn) {
  TDoc doc(true);
  TDocBuilder b(doc);
  TTableRow* shaded = b.Row({"a", "b"});
  TTableRow* mixed = b.Row({"c"});
  b.Finish();
  shaded->ShadingColor = 0x00FF00;
  shaded->Cells[1].ShadingColor = 0x0000FF;
  mixed->ShadingPercent = 2000;
  mixed->PatternColor = TableValueUnset;
  mixed->ShadingColor = TableColorNone;
  Fix(doc);
  EXPECT_EQ(shaded->Cells[0].ShadingColor, 0x00FF00);
  EXPECT_EQ(shaded->Cells[1].ShadingColor, 0x0000FF);
  EXPECT_EQ(mixed->Cells[0].ShadingColor, 0xCCCCCC);
}

TEST_F(PostLoadTables, CellBordersAreNormalised) {
  const TBorderLine fallback{25, 1};
  struct Case {
    TBorderLine border;
    const TBorderLine* defaultBorder;
    int32_t style, width;
  } cases[] = {
      {{2, 3}, nullptr, 1, 10},           // double becomes single, 2 twips become 10
      {{200, 1}, nullptr, 1, 120},        // at most 120 twips
      {{60, 7}, nullptr, 1, 60},
      {{0, 0}, &fallback, 1, 25},         // unset takes the row's border
      {{40, 0}, nullptr, BorderStyleNone, 0},
      {{40, BorderStyleNone}, nullptr, BorderStyleNone, 40},
  };
  for (const Case& c : cases) {
    TBorderLine b = c.border;
    NormalizeCellBorder(b, c.defaultBorder);
    EXPECT_EQ(b.Style, c.style) << c.border.Width << "/" << c.border.Style;
    EXPECT_EQ(b.Width, c.width) << c.border.Width << "/" << c.border.Style;
  }
}

}  // namespace

namespace {

// Styles come first: a row-end paragraph takes the row-end format and drops the formatting a
// reader put ahead of its mark, keeping field marks.
TEST_F(PostLoadTables, RowEndParagraphsTakeTheRowEndFormat) {
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Row({"a"});
  b.Finish();
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  TPar& rowEnd = *doc.Par(1);
  const std::string rowTag = rowEnd.Content.ToString();
  TMemory lead;
  AppendContentTag(lead, ctBold, 1);
  AppendContentTag(lead, ctFieldStart, TagRefOf(mark.get()));
  AppendContentTag(lead, ctSize, 40);
  rowEnd.Content.Insert(lead.Data, 0, lead.Length);
  rowEnd.Format.Alignment = 2;
  rowEnd.ContentChanged();
  TMemory expected;
  AppendContentTag(expected, ctFieldStart, TagRefOf(mark.get()));
  expected.AppendString(rowTag);
  doc.Fields.push_back(std::move(mark));
  ASSERT_NE(doc.Styles, nullptr);
  ResolveStyles(doc, TPostLoadInfo{});
  EXPECT_EQ(rowEnd.Content.ToString(), expected.ToString());
  EXPECT_EQ(rowEnd.Format.Alignment, TableParFormat.Alignment);
  EXPECT_EQ(rowEnd.Format.InTable, 1);
  EXPECT_EQ(rowEnd.CodeAt(0), scRowEnd);
}

}  // namespace
