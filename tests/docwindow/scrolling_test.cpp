#include <gtest/gtest.h>

#include <string>

#include "document/section.h"
#include "document/styles.h"
#include "docwindow/thumb_tip.h"
#include "docwindow/zoom.h"
#include "foundation/ui/key_routing.h"
#include "platform/controls/scroll_bar.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

class ScrollingTest : public dwtest::DocWindowTest {
 protected:
  dwtest::RecWindowServices& S() { return *(*services); }
  void Pages(int32_t n) {
    for (int32_t i = 1; i <= n; ++i) b->Add(TDocBuilder::Numbered("Page ", i) + (i < n ? "\f" : ""));
  }
  void Wheel(int32_t delta, uint8_t modifier = 0) {
    if (modifier != 0) plat::headless::KeyDown(modifier);
    plat::headless::Wheel(host.Handle(), {400, 300}, delta);
    Pump();
    if (modifier != 0) plat::headless::KeyUp(modifier);
    Pump();
  }
  int32_t Y() { return Doc().View.ScrollPos.y; }
};

TEST_F(ScrollingTest, TheWheelScrollsByLinesPagesOrZooms) {
  Pages(4);
  Show(800, 600);
  Doc().PaginateAll();
  ApplyZoom(Doc(), 100);
  SetWheelScrollLines(3);
  Wheel(-120);  // towards the user
  EXPECT_EQ(Y(), 3 * TDocForm::kScrollSmallChange);
  Wheel(120);
  EXPECT_EQ(Y(), 0);
  Wheel(-240);  // two notches
  EXPECT_EQ(Y(), 6 * TDocForm::kScrollSmallChange);
  Doc().ScrollTo({0, 0});
  Wheel(-120, plat::VK_SHIFT);
  EXPECT_EQ(Y(), form->VerScrollBar->LargeChange());
  // Page-wise system scrolling scrolls by pages too.
  Doc().ScrollTo({0, 0});
  SetWheelScrollLines(-1);
  Wheel(-120);
  EXPECT_EQ(Y(), form->VerScrollBar->LargeChange());
  SetWheelScrollLines(3);
  // Ctrl zooms in away from the user and out towards the user, and scrolls nothing.
  Doc().ScrollTo({0, 0});
  Wheel(120, plat::VK_CONTROL);
  Wheel(-120, plat::VK_CONTROL);
  EXPECT_EQ(S().Commands, (std::vector<int32_t>{6196, 6195}));
  EXPECT_EQ(Y(), 0);
}

TEST_F(ScrollingTest, TheScrollBarsMoveTheView) {
  Pages(3);
  Show(800, 600);
  Doc().PaginateAll();
  ApplyZoom(Doc(), 300);
  ASSERT_TRUE(form->VerScrollBar->Visible());
  ASSERT_TRUE(form->HorScrollBar->Visible());
  form->VerScrollBar->SetPosition(700);
  EXPECT_EQ(Y(), 700);
  form->HorScrollBar->SetPosition(120);
  EXPECT_EQ(Doc().View.ScrollPos.x, 120);
  // The program's own scrolling moves the bars without their change acting again.
  Doc().ScrollTo({10, 50});
  EXPECT_EQ(form->VerScrollBar->Position(), 50);
  EXPECT_EQ(form->HorScrollBar->Position(), 10);
}

TEST_F(ScrollingTest, DraggingPastNinetyPercentLaysOutAQuarterMorePages) {
  Pages(40);
  Show(800, 600);
  Doc().DiscardPages();
  Doc().Paginate(0, 8);
  ApplyZoom(Doc(), 100);
  ASSERT_FALSE(Doc().Layout.LaidOutToEnd);
  const int32_t pages = Doc().PageCount();
  const int32_t max = form->VerScrollBar->Max();
  form->VerScrollBar->SetPosition(max);
  EXPECT_GE(Doc().PageCount(), pages + pages / 4);
  EXPECT_GT(form->VerScrollBar->Max(), max);
}

TEST_F(ScrollingTest, TheHandToolStopsAtTheDocumentsEdges) {
  Pages(3);
  Show(800, 600);
  Doc().PaginateAll();
  ApplyZoom(Doc(), 100);
  form->BeginPan(100, 100);
  EXPECT_TRUE(form->HasFlag(TDocForm::dfPanning));
  form->PanTo(100, 40);
  EXPECT_EQ(Y(), 60);
  form->PanTo(100, -100000);
  EXPECT_EQ(Y(), Doc().View.Extent.cy - form->PageArea.Height());
  form->PanTo(100, 100000);
  EXPECT_EQ(Y(), 0);
}

TEST_F(ScrollingTest, TheThumbTipNamesThePageAndItsHeadingPath) {
  auto heading = [this](int32_t level) {
    auto style = std::make_unique<TStyle>(Doc().Styles.get());
    style->BuiltIn = level;
    style->Name = style->DisplayName = "heading " + std::to_string(level);
    return Doc().Styles->Add(std::move(style));
  };
  if (Doc().Styles->Count() == 0) heading(0);  // a plain first style, as Normal is
  const int32_t h1 = heading(1);
  const int32_t h2 = heading(2);
  b->Format.Style = static_cast<int16_t>(h1);
  b->Add(std::string(150, 'C'));
  b->Format.Style = static_cast<int16_t>(h2);
  b->Add("Section heading");
  b->Format = DefaultParFormat;
  b->Add("Body\f");
  b->Add("More body");
  Show(800, 600);
  Doc().PaginateAll();
  ApplyZoom(Doc(), 100);
  ASSERT_EQ(Doc().PageCount(), 2);
  auto width = [](const std::u16string& s) { return static_cast<int32_t>(s.size()) * 5; };
  // The second page has no heading of its own: the path of the headings before it.
  const std::u16string tip = ThumbTipText(Doc(), 1, 0, 100000, width);
  const std::u16string chapter = std::u16string(100, u'C') + kEllipsis;
  EXPECT_EQ(tip, u"Page 2\r" + chapter + u"\r       Section heading");
  // Lines are cut to the width the tip may take.
  const std::u16string narrow = ThumbTipText(Doc(), 1, 0, 5 * 20 + 6, width);
  EXPECT_EQ(narrow.substr(0, 7), u"Page 2\r");
  EXPECT_EQ(narrow.substr(7, 20), std::u16string(19, u'C') + kEllipsis);
  // Dragging the thumb shows the tip; the release frees it.
  form->ThumbDrag(form->VerScrollBar->Max());
  EXPECT_TRUE(form->HasFlag(TDocForm::dfThumbTipShown));
  EXPECT_FALSE(form->ThumbDragInfo.Tip.empty());
  form->ThumbRelease();
  EXPECT_FALSE(form->HasFlag(TDocForm::dfThumbTipShown));
  EXPECT_FALSE(form->ThumbDragInfo.TipWindow);
}

}  // namespace
