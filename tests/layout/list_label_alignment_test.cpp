// List numbers aligned on the indent: a right-aligned or centred number moves left by its width
// or half of it; a tab after it keeps its own width; picture bullets get their scale.
#include "layout_fixture.h"

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/shape.h"

namespace {

class ListLabelAlignment : public LayoutTest {
 protected:
  // A document with one listed paragraph whose level has the alignment and follow character.
  void Build(uint8_t align, uint8_t follow) {
    doc = std::make_unique<TDoc>(true);
    auto list = std::make_unique<TAutoList>();
    list->Number = 1;
    list->SingleLevel = 1;
    TListLevel& lv = list->ListLevels[0];
    lv.LevelText = std::u16string(1, u'\0') + u".";
    lv.StartAt = 10;
    lv.NumberAlign = align;
    lv.Follow = follow;
    doc->Lists.push_back(std::move(list));
    TPar& p = *doc->Par(0);
    p.Content.Clear();
    AppendContentTag(p.Content, ctFont, serif);
    p.Content.AppendString("Item");
    AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
    p.RebuildCodes();
    p.ContentChanged();
    p.Format.List = 1;
    p.Format.LeftIndent = 720;
    doc->RenumberLists();
  }
  TLine& Label() { return *doc->Par(0)->NumberPar->Lines.front(); }
  std::unique_ptr<TDoc> doc;
};

TEST_F(ListLabelAlignment, ShiftsByWidth) {
  Build(0, 1);
  const std::vector<int32_t> left = Label().Positions;
  ASSERT_GE(left.size(), 5u);
  const int32_t width = left[4] - left[0];  // "10." and the space after it
  for (const auto& [align, shift] : {std::pair{2, width}, {1, width / 2}}) {
    Build(static_cast<uint8_t>(align), 1);
    EXPECT_EQ(doc->Par(0)->NumberPar->NumberShift, shift) << align;
    EXPECT_EQ(Label().Positions[0], left[0] - shift) << align;
    EXPECT_EQ(Label().Positions.back(), left.back() - shift) << align;
  }
}

TEST_F(ListLabelAlignment, ATabAfterARightAlignedNumberKeepsItsWidth) {
  Build(2, 0);
  const TPar& np = *doc->Par(0)->NumberPar;
  const std::vector<int32_t>& pos = Label().Positions;
  ASSERT_GE(pos.size(), 5u);
  EXPECT_EQ(np.NumberShift, pos[3] - pos[0]);  // "10." moved left by its own width
  EXPECT_GT(pos.back(), pos[pos.size() - 2]);  // the tab still takes room
}

TEST_F(ListLabelAlignment, RerunningThePassChangesNothing) {
  Build(1, 0);
  const std::vector<int32_t> before = Label().Positions;
  doc->Par(0)->Flags |= pfLinesValid;
  doc->RenumberLists();
  EXPECT_EQ(Label().Positions, before);
  EXPECT_TRUE(doc->Par(0)->HasFlag(pfLinesValid));
}

TEST_F(ListLabelAlignment, PictureBulletsAreScaledToTheNumberSize) {
  Build(0, 0);
  TShape* bullet = doc->AddShape(std::make_unique<TShape>(doc.get()));
  bullet->Props.PicHeight = 15 * 32;  // 32 pixels
  doc->Lists[0]->ListLevels[0].PictureBullet = bullet;
  doc->Lists[0]->ListLevels[0].CharFormat.Size = 24;  // 12 points: 16 pixels
  doc->RenumberLists();
  EXPECT_EQ(doc->Par(0)->NumberPar->BulletScale, 43);  // 50 % of the height, 85 % of that
}

}  // namespace
