// Floating shapes placed on the page of their anchor paragraph by their position properties.
#include "pagination_fixture.h"

#include "document/field.h"
#include "document/shape.h"
#include "layout/page.h"

namespace {

class FloatingShapesTest : public PaginationTest {
 protected:
  // A floating shape of 2000 x 1000 twips anchored at the start of the paragraph.
  // `at`: the stream offset of the anchor in the paragraph.
  TShape* Anchor(int32_t par, int32_t posh, int32_t relh, int32_t posv, int32_t relv, int32_t at = 0) {
    TShape* s = doc->AddShape(std::make_unique<TShape>(doc.get()));
    s->Props.WrapStyle = TShapeProps::TWrapStyle::Square;
    s->Props.ShapeRect = {100, 200, 2100, 1200};
    s->Props.SetProp(spPosH, posh);
    s->Props.SetProp(spPosRelH, relh);
    s->Props.SetProp(spPosV, posv);
    s->Props.SetProp(spPosRelV, relv);
    auto field = std::make_unique<TField>();
    field->Kind = fkShapeAnchor;
    field->Shape = s;
    TMemory marks;
    AppendContentTag(marks, ctFieldStart, TagRefOf(field.get()));
    AppendContentTag(marks, ctFieldEnd, TagRefOf(field.get()));
    doc->Fields.push_back(std::move(field));
    TPar& p = *doc->Par(par);
    p.Content.Insert(marks.Data, at, marks.Length);
    p.RebuildCodes();
    p.ContentChanged();
    return s;
  }
  int32_t PageShowing(const TShape* s) {
    for (TPage* page : doc->Pages)
      if (std::find(page->Shapes.begin(), page->Shapes.end(), s) != page->Shapes.end()) return page->Index;
    return -1;
  }
  static std::array<int32_t, 4> Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return {l, t, r, b}; }
  // Paragraphs of many words.
  void Words(int32_t paragraphs, int32_t words = 60) {
    std::string text;
    for (int32_t i = 0; i < words; ++i) text += "word ";
    for (int32_t i = 0; i < paragraphs; ++i) b->Add(text);
  }
  // The widest line of the paragraph whose top lies in [from, to) on its page, in layout units.
  int32_t WidestLineBetween(int32_t par, int32_t from, int32_t to) {
    int32_t widest = 0;
    for (const TLine* l : Par(par).Lines) {
      if (l->Box == nullptr) continue;
      const int32_t top = l->Box->OffsetInPage().y + l->Top;
      if (top >= from && top < to) widest = std::max(widest, l->EndX() - l->StartX());
    }
    return widest;
  }
};

TEST_F(FloatingShapesTest, PlacedOnTheAnchorsPageByTheirProperties) {
  for (int32_t i = 0; i < 20; ++i) b->Add("line");
  TShape* right = Anchor(15, 3, 0, 1, 1);   // right of the margins, top of the page
  TShape* centre = Anchor(2, 2, 1, 0, 2);   // centred on the page, below the paragraph
  Paginate();
  EXPECT_EQ(PageShowing(right), PageOf(15));
  EXPECT_EQ(PageShowing(centre), 0);
  EXPECT_EQ(right->PlacedRect, (std::array<int32_t, 4>{12240 - 1440 - 2000, 0, 12240 - 1440, 1000}));
  EXPECT_EQ(centre->PlacedRect[0], (12240 - 2000) / 2);
  // Paragraph 2 starts two lines into the body: the stored offset goes below its top.
  EXPECT_EQ(centre->PlacedRect[1], 720 + 2 * kLine + 200);
  EXPECT_EQ(LinesOn(15, PageOf(15)), 1);  // the text is laid out again, still there
}

TEST_F(FloatingShapesTest, RemovedAndInlineShapesAreNotPlaced) {
  for (int32_t i = 0; i < 3; ++i) b->Add("line");
  TShape* removed = Anchor(1, 1, 0, 1, 0);
  removed->Flags |= TShape::FlagRemoved;
  TShape* inlineOne = Anchor(2, 1, 0, 1, 0);
  inlineOne->Props.WrapStyle = TShapeProps::TWrapStyle::Inline;
  Paginate();
  EXPECT_EQ(PageShowing(removed), -1);
  EXPECT_EQ(PageShowing(inlineOne), -1);
}

TEST_F(FloatingShapesTest, TextWrapsRoundASquareShape) {
  std::string words;
  for (int32_t i = 0; i < 60; ++i) words += "word ";
  b->Add(words);
  b->Add(words);
  TShape* shape = Anchor(0, 1, 0, 1, 0);  // at the left margin, at the top margin
  shape->Props.ShapeRect = {0, 0, 4000, 1000};
  Paginate();
  ASSERT_EQ(PageShowing(shape), 0);
  EXPECT_TRUE(Par(0).HasFlag(pfWrapsShapes));
  int32_t beside = 0, below = 0;
  for (const TLine* l : Par(0).Lines) {
    if (!l->HasFlag(lfSegment)) continue;
    (l->Top < 1000 + 180 ? beside : below)++;
  }
  EXPECT_GT(beside, 0);
  // Without the shape the same text needs fewer lines.
  const size_t wrappedLines = Par(0).Lines.size();
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::None;
  doc->ReformatAllParagraphs();
  doc->Paginate(0, INT32_MAX);
  EXPECT_LT(Par(0).Lines.size(), wrappedLines);
}

}  // namespace

namespace {

// A logo in the header: placed on every page from the header's anchor, and the body's text keeps
// out of it where it reaches down into the body.
TEST_F(FloatingShapesTest, HeaderShapeOnEveryPageAndAnExclusionForTheBody) {
  TSection& section = *doc->Sections[0];
  TField* header = b->HeaderFooter(section, hfOddHeader, "Header");
  Words(6);
  b->Finish();
  // Right at the margin, from the top of the page down to 2000 twips (into the body, which
  // starts at 720).
  TShape* logo = Anchor(header->Range.Start.Par, 3, 0, 1, 1, ContentTagSize);
  logo->Props.ShapeRect = {0, 0, 2000, 2000};
  Paginate();
  ASSERT_GE(doc->PageCount(), 2);
  for (int32_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(std::find(Page(i).Shapes.begin(), Page(i).Shapes.end(), logo), Page(i).Shapes.end());
  }
  EXPECT_EQ(logo->PlacedRect, Rect(12240 - 1440 - 2000, 0, 12240 - 1440, 2000));
  // Lines beside the logo are narrower than those below it.
  int32_t beside = 0, below = 0;
  for (int32_t p = 0; p < 6; ++p) {
    if (PageOf(p) != 0) continue;
    beside = std::max(beside, WidestLineBetween(p, 720, 2000));
    below = std::max(below, WidestLineBetween(p, 2000, 4000));
  }
  EXPECT_GT(beside, 0);
  EXPECT_LT(beside, below);
  // Painting lays the header out again: the logo stays where it was.
  ReflowPageHeaderFooter(Page(0), Page(0).HeaderField);
  EXPECT_EQ(logo->PlacedRect, Rect(12240 - 1440 - 2000, 0, 12240 - 1440, 2000));
}

// A footer that reaches below its limit moves up, and the shapes that follow its text with it.
TEST_F(FloatingShapesTest, FooterShapeMovesUpWithTheFooter) {
  TSection& section = *doc->Sections[0];
  TField* footer = b->HeaderFooter(section, hfOddFooter, "x|y|z");
  Words(1);
  b->Finish();
  TShape* mark = Anchor(footer->Range.Start.Par, 1, 0, 0, 2, ContentTagSize);
  mark->Props.ShapeRect = {0, 0, 1000, 500};
  mark->Props.WrapStyle = TShapeProps::TWrapStyle::None;
  Paginate();
  ASSERT_NE(Page(0).FooterBox, nullptr);
  // The footer's three lines (720 twips) from 3600 end below 4320 - 360: it moves up to 3240.
  EXPECT_EQ(Page(0).FooterBox->Rect.top, 3240);
  EXPECT_EQ(mark->PlacedRect, Rect(1440, 3240, 2440, 3740));
  ReflowPageHeaderFooter(Page(0), Page(0).FooterField);
  EXPECT_EQ(mark->PlacedRect, Rect(1440, 3240, 2440, 3740));
}

// A shape of a table cell keeps to its cell: the cell grows to the shape's bottom, the shape stays
// inside it across, and its rectangle ends up in page coordinates.
TEST_F(FloatingShapesTest, CellShapeGrowsItsCellAndStaysInside) {
  struct Case {
    int32_t storedLeft;
    bool pushedInside;  // the stored place would reach out of the 2000-twip cell
  };
  for (const Case& c : {Case{100, false}, Case{1800, true}}) {
    SCOPED_TRACE(c.storedLeft);
    NewDocument();
    b->Add("Before");
    b->Row({"a", "b"});
    b->Finish();
    TShape* shape = Anchor(2, 0, 2, 0, 2);
    shape->Props.ShapeRect = {c.storedLeft, 0, c.storedLeft + 1000, 1500};
    Paginate();
    ASSERT_EQ(PageShowing(shape), 0);
    const TBox* cellBox = Par(2).Lines[0]->Box;
    while (cellBox != nullptr && cellBox->Kind != TBoxKind::Cell) cellBox = cellBox->Parent;
    ASSERT_NE(cellBox, nullptr);
    const plat::Point cell = cellBox->OffsetInPage();
    EXPECT_EQ(shape->VerticalBox, nullptr);
    EXPECT_GE(shape->PlacedRect[0], cell.x);
    EXPECT_LE(shape->PlacedRect[2], cell.x + cellBox->Width());
    // Relative to the cell's text (its inner margin), or pushed back to end at the cell's edge.
    EXPECT_EQ(shape->PlacedRect[0] - cell.x, c.pushedInside ? 2000 - 1000 : 100 + cellBox->Margins.left);
    EXPECT_GE(shape->PlacedRect[1], cell.y);
    EXPECT_LE(shape->PlacedRect[3], cell.y + cellBox->Height());
    // The row grows with it: the other cell is as tall.
    const TBox* other = Par(1).Lines[0]->Box;
    while (other != nullptr && other->Kind != TBoxKind::Cell) other = other->Parent;
    ASSERT_NE(other, nullptr);
    EXPECT_GE(other->Height(), 1500);
  }
}

// A shape whose room pushes its own anchor line onto the next page goes there with it, and the
// page before ends before the anchor.
TEST_F(FloatingShapesTest, ShapePushingItsAnchorOffThePageIsDeferred) {
  for (int32_t i = 0; i < 11; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  b->Finish();
  // Paragraph 10 is the eleventh line: a shape of 2.5 lines above its text leaves it no room.
  TShape* shape = Anchor(10, 1, 0, 0, 2);
  shape->Props.ShapeRect = {0, 0, 2000, 600};
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::TopBottom;
  Paginate();
  EXPECT_EQ(PageOf(9), 0);
  EXPECT_EQ(PageOf(10), 1);
  EXPECT_EQ(PageShowing(shape), 1);
  EXPECT_EQ(shape->PlacedRect, Rect(1440, 720, 3440, 1320));
  EXPECT_EQ(TopOnPage(10), 1320);
  EXPECT_TRUE(Page(0).DeferredShapes.empty());
  EXPECT_FALSE(Page(0).MainTextCut);
}

// A shape that cannot stand on any page with its anchor stays with it rather than leaving pages
// empty.
TEST_F(FloatingShapesTest, ShapeTallerThanThePageStaysWithItsAnchor) {
  for (int32_t i = 0; i < 3; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  b->Finish();
  TShape* shape = Anchor(0, 1, 0, 0, 2);
  shape->Props.ShapeRect = {0, 0, 2000, 9000};
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::TopBottom;
  Paginate();
  EXPECT_EQ(PageOf(0), 0);
  EXPECT_EQ(PageShowing(shape), 0);
  EXPECT_GE(PageOf(2), 0);
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  EXPECT_LE(doc->PageCount(), 2);
}

// In the draft views shapes do not overlap: a second shape at the same place moves below the
// first.
TEST_F(FloatingShapesTest, DraftViewShapesMoveBelowOneAnother) {
  Words(2);
  b->Finish();
  TShape* first = Anchor(0, 1, 0, 0, 2);
  TShape* second = Anchor(0, 1, 0, 0, 2);
  first->Props.WrapStyle = TShapeProps::TWrapStyle::Tight;
  doc->ViewMode = vmDraft;
  Paginate();
  ASSERT_EQ(PageShowing(first), 0);
  ASSERT_EQ(PageShowing(second), 0);
  // Both anchors are at the paragraph's start; the one placed second moves down.
  const TShape* upper = first->PlacedRect[1] < second->PlacedRect[1] ? first : second;
  const TShape* lower = upper == first ? second : first;
  EXPECT_EQ(upper->PlacedRect[1], 0);
  EXPECT_EQ(lower->PlacedRect[1], upper->PlacedRect[3]);
  EXPECT_EQ(lower->PlacedRect[3] - lower->PlacedRect[1], 1000);
  // Tight wrapping counts as square here.
  EXPECT_EQ(first->GetEffectiveWrap(), TShapeProps::TWrapStyle::Square);
}

// A table that would meet a shape on its page moves down below it.
TEST_F(FloatingShapesTest, TableMovesBelowAShapeItWouldMeet) {
  const int32_t anchor = b->Add("Anchor");
  b->Row({"a", "b"});
  b->Finish();
  TShape* shape = Anchor(anchor, 1, 0, 0, 2);
  shape->Props.ShapeRect = {0, 0, 2000, 1200};  // from the anchor's top down 1200 twips
  Paginate();
  ASSERT_EQ(PageShowing(shape), 0);
  const TBox* cell = Par(anchor + 1).Lines[0]->Box;
  while (cell != nullptr && cell->Kind != TBoxKind::Cell) cell = cell->Parent;
  ASSERT_NE(cell, nullptr);
  EXPECT_GE(cell->OffsetInPage().y, shape->PlacedRect[3]);
}

// Balanced columns place a shape that follows its column in the column its anchor ends up in,
// not where the unbalanced layout had put it.
TEST_F(FloatingShapesTest, BalancedColumnsPlaceColumnShapesAgain) {
  TSection& one = *doc->Sections[0];
  one.Format.ColumnCount = 2;
  for (int32_t i = 0; i < 9; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  TSection* two = b->SectionBreak("tenth", sbContinuous);
  two->Format.ColumnCount = 1;
  const int32_t after = b->Add("Below the columns");
  b->Finish();
  TShape* shape = Anchor(7, 1, 2, 0, 2);
  shape->Props.ShapeRect = {0, 0, 1000, 480};
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::None;
  Paginate();
  ASSERT_EQ(doc->PageCount(), 1);
  ASSERT_EQ(PageShowing(shape), 0);
  const TBox* column = Par(7).Lines[0]->Box->Parent->Parent;
  ASSERT_TRUE(column->HasFlag(TBox::ColumnBody));
  EXPECT_NE(column, Par(0).Lines[0]->Box->Parent->Parent);  // balanced into the second column
  EXPECT_EQ(TopOnPage(5), 720);
  EXPECT_EQ(TopOnPage(after), 720 + 5 * kLine);
  EXPECT_EQ(shape->PlacedRect, Rect(column->OffsetInPage().x + column->Margins.left, TopOnPage(7),
                                    column->OffsetInPage().x + column->Margins.left + 1000, TopOnPage(7) + 480));
  EXPECT_FALSE(doc->Layout.Balancing);
}

// The anchor mark of the selected shape stands left of its anchor's first line on the shape's
// page, moves left past a shape it would meet, and shows only for one shared anchor.
TEST_F(FloatingShapesTest, AnchorMarkBesideTheSelectedShapesAnchor) {
  for (int32_t i = 0; i < 20; ++i) b->Add("line");
  b->Finish();
  TShape* shape = Anchor(15, 1, 0, 0, 2);  // at the left margin
  TShape* other = Anchor(16, 1, 1, 0, 2);  // left of the margin, where the mark would go
  shape->Props.WrapStyle = other->Props.WrapStyle = TShapeProps::TWrapStyle::None;
  Paginate();
  const int32_t page = PageOf(15);
  ASSERT_GT(page, 0);
  ASSERT_EQ(PageOf(16), page);
  plat::Rect mark;
  EXPECT_FALSE(AnchorMarkRect(Page(page), mark));  // nothing selected
  doc->SelectedShapes = {shape};
  EXPECT_FALSE(AnchorMarkRect(Page(0), mark));
  ASSERT_TRUE(AnchorMarkRect(Page(page), mark));
  const plat::Size size = AnchorMarkSize();
  const plat::Rect pr = Page(page).PixelRect;
  EXPECT_EQ(mark.Width(), size.cx);
  EXPECT_EQ(mark.Height(), size.cy);
  EXPECT_EQ(mark.left - pr.left, doc->TwipsToPixelsX(1440) - size.cx * 8 / 3);
  EXPECT_EQ(mark.top - pr.top, doc->TwipsToPixelsY(TopOnPage(15)));
  doc->SelectedShapes = {other};
  ASSERT_TRUE(AnchorMarkRect(Page(page), mark));
  EXPECT_EQ(mark.left - pr.left, size.cx / 3);
  doc->SelectedShapes = {shape, other};
  EXPECT_FALSE(AnchorMarkRect(Page(page), mark));
  doc->SelectedShapes.clear();
}

// A cell shape that pushes its row off the page goes to the next page with its anchor: the cell's
// text on the first page stops before the anchor.
TEST_F(FloatingShapesTest, DeferredShapeStopsItsCellBeforeTheAnchor) {
  for (int32_t i = 0; i < 9; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  b->Row({"a", "b"});
  b->Row({"c", "d"});
  b->Finish();
  const int32_t a = 9, c = 12, d = 13;
  ASSERT_EQ(std::string(1, static_cast<char>(Par(d).CodeAt(Par(d).CharCount() - 2))), "d");
  TShape* shape = Anchor(d, 0, 2, 0, 2);
  shape->Props.ShapeRect = {0, 0, 1000, 900};
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::TopBottom;
  Paginate();
  EXPECT_EQ(PageOf(a), 0);
  EXPECT_EQ(PageOf(c), 0);
  EXPECT_EQ(PageOf(d), 1) << DescribePages();
  EXPECT_EQ(PageShowing(shape), 1);
  // On its page the shape stands in the cell, above the cell's text.
  const TBox* cell = Par(d).Lines[0]->Box;
  while (cell != nullptr && cell->Kind != TBoxKind::Cell) cell = cell->Parent;
  ASSERT_NE(cell, nullptr);
  EXPECT_GE(shape->PlacedRect[1], cell->OffsetInPage().y);
  EXPECT_EQ(TopOnPage(d), shape->PlacedRect[3]);
}

// Damaged stored rectangles (inverted, or spanning the whole number range) are placed without
// overflowing: empty, or cut to a bounded size kept on the page.
TEST_F(FloatingShapesTest, DamagedShapeRectanglesArePlacedBounded) {
  for (const auto& stored : {Rect(INT32_MIN + 1, INT32_MIN + 1, INT32_MAX, INT32_MAX), Rect(5000, 5000, 100, 100)}) {
    NewDocument();
    for (int32_t i = 0; i < 3; ++i) b->Add("line");
    b->Finish();
    TShape* shape = Anchor(1, 0, 2, 0, 2);
    shape->Props.ShapeRect = stored;
    Paginate();
    ASSERT_GE(PageShowing(shape), 0);  // a huge one goes to the next page with its anchor
    EXPECT_EQ(PageShowing(shape), PageOf(1));
    const auto& r = shape->PlacedRect;
    EXPECT_GE(r[2], r[0]);
    EXPECT_GE(r[3], r[1]);
    EXPECT_GE(r[0], 0);
    EXPECT_LE(int64_t{r[3]} - r[1], 0x1000000);
    EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  }
}

// A shape anchored in a later line of its paragraph is placed from that line.
TEST_F(FloatingShapesTest, ShapeIsPlacedFromItsAnchorsLine) {
  b->Add("first");
  const int32_t par = b->Add("a|b|c|d");
  b->Finish();
  TShape* shape = Anchor(par, 1, 0, 0, 3, Par(par).CharToStreamOffset(4));  // before "c"
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::None;
  Paginate();
  ASSERT_EQ(PageShowing(shape), 0);
  ASSERT_EQ(Par(par).Lines.size(), 4u);
  EXPECT_EQ(shape->PlacedRect[1], TopOnPage(par, 2) + 200);
  EXPECT_EQ(TopOnPage(par, 2), 720 + 3 * kLine);
}

// A paragraph that has no room left in its column takes its shapes along to the next column.
TEST_F(FloatingShapesTest, ShapeGoesToTheColumnOfItsAnchorsLine) {
  doc->Sections[0]->Format.ColumnCount = 2;
  for (int32_t i = 0; i < 14; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  b->Finish();
  TShape* shape = Anchor(12, 1, 2, 0, 2);  // the first line that no longer fits the first column
  shape->Props.ShapeRect = {0, 0, 1000, 480};
  Paginate();
  ASSERT_EQ(PageShowing(shape), 0);
  const TBox* column = Par(12).Lines[0]->Box->Parent->Parent;
  ASSERT_TRUE(column->HasFlag(TBox::ColumnBody));
  EXPECT_NE(column, Par(0).Lines[0]->Box->Parent->Parent);
  EXPECT_EQ(shape->PlacedRect, Rect(column->OffsetInPage().x + column->Margins.left, 720,
                                    column->OffsetInPage().x + column->Margins.left + 1000, 720 + 480));
}

// A shape anchored inside a line that it pushes off the page: the page's text ends just before
// the anchor, inside that line, and the rest of the line goes on with the shape. Without the
// shape the line is whole again.
TEST_F(FloatingShapesTest, DeferredAnchorInsideALineEndsThePageThere) {
  for (int32_t i = 0; i < 8; ++i) b->Add(TDocBuilder::Numbered("line ", i));
  const int32_t par = b->Add("a|b|cc dd|e");
  b->Finish();
  TShape* shape = Anchor(par, 1, 0, 0, 3, Par(par).CharToStreamOffset(7));  // before "dd"
  shape->Props.ShapeRect = {0, 0, 1000, 480};
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::TopBottom;
  Paginate();
  ASSERT_EQ(PageShowing(shape), 1);
  const TPar& p = Par(par);
  ASSERT_GE(p.Lines.size(), 4u);
  EXPECT_EQ(p.Lines[2]->FirstChar, 4);
  EXPECT_EQ(p.Lines[2]->LastChar(), 7);
  EXPECT_EQ(PageOf(par, 2), 0);
  EXPECT_EQ(p.Lines[3]->FirstChar, 7);
  EXPECT_EQ(PageOf(par, 3), 1);
  EXPECT_EQ(TopOnPage(par, 3), 720 + 480);
  // The shape gone, the line is broken as it always was.
  shape->Flags |= TShape::FlagRemoved;
  doc->Paginate(0, INT32_MAX);
  EXPECT_EQ(Par(par).Lines[2]->FirstChar, 4);
  EXPECT_EQ(Par(par).Lines[2]->LastChar(), 10);
  EXPECT_EQ(PageOf(par, 2), 0);
}

}  // namespace
