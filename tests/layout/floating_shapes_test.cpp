// Floating shapes placed on the page of their anchor paragraph by their position properties.
#include "pagination_fixture.h"

#include "document/field.h"
#include "document/shape.h"

namespace {

class FloatingShapesTest : public PaginationTest {
 protected:
  // A floating shape of 2000 x 1000 twips anchored at the start of the paragraph.
  TShape* Anchor(int32_t par, int32_t posh, int32_t relh, int32_t posv, int32_t relv) {
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
    p.Content.Insert(marks.Data, 0, marks.Length);
    p.RebuildCodes();
    p.ContentChanged();
    return s;
  }
  int32_t PageShowing(const TShape* s) {
    for (TPage* page : doc->Pages)
      if (std::find(page->Shapes.begin(), page->Shapes.end(), s) != page->Shapes.end()) return page->Index;
    return -1;
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
