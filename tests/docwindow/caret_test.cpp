#include "docwindow/caret.h"

#include <gtest/gtest.h>

#include "docwindow/scroll_into_view.h"
#include "docwindow/view_flags.h"
#include "docwindow/zoom.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/ui/message_box.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

constexpr uint32_t kEditAnticipatoryScrolling = 0x40;

class CaretTest : public dwtest::DocWindowTest {
 protected:
  // A long document: `n` paragraphs of one line each.
  void Long(int32_t n = 200) {
    for (int32_t i = 0; i < n; ++i) b->Add(TDocBuilder::Numbered("Paragraph ", i));
    Show(800, 600);
    Doc().PaginateAll();
  }
  int32_t H() { return form->PageArea.Height(); }
  int32_t W() { return form->PageArea.Width(); }
  void ScrollY(int32_t y) { Doc().ScrollTo({Doc().View.ScrollPos.x, y}); }
};

TEST_F(CaretTest, ScrollTargetsByMode) {
  Long();
  ApplyZoom(Doc(), 100);
  const int32_t top = 1000;
  ScrollY(top);
  ASSERT_EQ(Doc().View.ScrollPos.y, top);
  const int32_t h = H();
  struct Case {
    const char* name;
    plat::Rect rect;
    int32_t mode;
    bool anticipatory;
    int32_t y;
  };
  const Case cases[] = {
      {"above: its top at the view's top", {10, top - 50, 20, top - 30}, 0, false, top - 50},
      {"below: its bottom at the view's bottom", {10, top + h + 30, 20, top + h + 50}, 0, false, top + 50},
      {"taller than the view: its top", {10, top + h + 30, 20, top + 3 * h}, 0, false, top + h + 30},
      {"visible: nothing moves", {10, top + 100, 20, top + 120}, 0, false, top},
      {"mode 1 in the lower half: to the middle", {10, top + h - 40, 20, top + h - 20}, 1, false, top + h - 20 - h / 2},
      {"mode 1 in the upper half: nothing", {10, top + 40, 20, top + 60}, 1, false, top},
      {"mode 2: near the top", {10, top + 300, 20, top + 320}, 2, false, top + 320 - std::max(h / 20, 20)},
      {"ahead when moving down", {10, top + h + 30, 20, top + h + 50}, 0, true, top + 50 + (h - 20) / 3},
      {"ahead when moving up", {10, top - 50, 20, top - 30}, 0, true, top - 50 - (h - 20) / 3},
  };
  for (const Case& c : cases) {
    if (c.anticipatory) Doc().SetScopedFlag(vfAnticipatory);
    const plat::Point p = CalcScrollToRect(Doc(), c.rect, c.mode, false);
    if (c.anticipatory) Doc().RestoreScopedFlag();
    EXPECT_EQ(p.y, c.y) << c.name;
  }
  // Never beyond the view's extent.
  const plat::Point end = CalcScrollToRect(Doc(), {0, 1 << 24, 1, (1 << 24) + 10}, 0, false);
  EXPECT_EQ(end.y, Doc().View.Extent.cy - h);
}

TEST_F(CaretTest, HorizontalMarginOfModeThree) {
  Long(3);
  ApplyZoom(Doc(), 300);
  ASSERT_GT(Doc().View.Extent.cx, 2 * W());
  Doc().ScrollTo({0, 0});
  const plat::Rect right{W() + 100, 10, W() + 102, 30};
  EXPECT_EQ(CalcScrollToRect(Doc(), right, 0, false).x, right.right - W());
  EXPECT_EQ(CalcScrollToRect(Doc(), right, 3, false).x, right.right - W() + W() / 5);
  // Text-width zoom needs no margin: the text fits the window.
  Doc().View.ZoomMode = zmTextWidth;
  EXPECT_EQ(CalcScrollToRect(Doc(), right, 3, false).x, right.right - W());
  Doc().View.ZoomMode = zmFixed;
}

TEST_F(CaretTest, ItalicCaretLeansAndSmallCapitalsKeepTheFullHeight) {
  b->Add("Text");
  Show();
  TCharFormat plain = DefaultCharFormat;
  plain.Font = FontManager()->FontIndex("Liberation Serif", kAnyCharset, true);
  plain.Size = 30;
  Doc().TypingFormat = plain;
  UpdateCaretMetrics(Doc());
  const TDocView& v = Doc().View;
  const int32_t height = v.CaretHeight;
  EXPECT_EQ(height, v.CaretFontMetrics.LineHeight);
  EXPECT_EQ(v.CaretWidth, 2);
  EXPECT_EQ(v.CaretInset, 1);

  TCharFormat italic = plain;
  italic.Italic = 1;
  Doc().TypingFormat = italic;
  UpdateCaretMetrics(Doc());
  const int32_t steps = (v.CaretHeight + 3) / 4;
  EXPECT_EQ(v.CaretWidth, 2 + steps - 1);
  EXPECT_EQ(v.CaretInset, (v.CaretFontMetrics.DescentLeading + 3) / 4 + 1);

  TCharFormat small = plain;
  small.SmallCaps = 1;
  Doc().TypingFormat = small;
  UpdateCaretMetrics(Doc());
  EXPECT_NEAR(v.CaretHeight, height, 2);
}

TEST_F(CaretTest, ACaretAfterALineBreakAtTheLineEndStepsBeforeIt) {
  b->Add("ab|cd");
  Show();
  TDocPosition after;
  MakePosition(0, 3, after);
  after.Line = 0;
  SetCaretPos(Doc(), after, 0);
  EXPECT_EQ(Doc().Caret.Offset, 2);
  EXPECT_EQ(Doc().Caret.Line, 0);
  SetCaretPos(Doc(), after, scKeepAfterBreak);
  EXPECT_EQ(Doc().Caret.Offset, 3);
}

TEST_F(CaretTest, SettingTheCaretFarDownBringsItIntoViewAndMovesTheSystemCaret) {
  Long();
  ASSERT_EQ(plat::GetFocus(), form->Handle());
  SetCaret(Doc(), 150, 3, scClearSelection, 0);
  EXPECT_GT(Doc().View.ScrollPos.y, 0);
  EXPECT_TRUE(IsCaretVisible(Doc()));
  const plat::CaretInfo caret = plat::GetCaretInfo();
  EXPECT_EQ(caret.hwnd, form->Handle());
  EXPECT_EQ(caret.rect.left, form->PageArea.left + Doc().View.CaretX - Doc().View.ScrollPos.x);
  EXPECT_EQ(caret.rect.top, form->PageArea.top + Doc().View.CaretY - Doc().View.ScrollPos.y);
  EXPECT_EQ(caret.rect.Height(), Doc().View.CaretHeight);
  // The idle pass shows it.
  EXPECT_TRUE(form->HasFlag(TDocForm::dfCaretPending));
  EXPECT_TRUE(form->DoIdleWork());
  EXPECT_TRUE(form->HasFlag(TDocForm::dfCaretShown));
  EXPECT_TRUE(plat::GetCaretInfo().visible);
}

TEST_F(CaretTest, ModeOneBringsACaretInTheLowerHalfToTheMiddle) {
  Long();
  SetCaret(Doc(), 20, 0, scClearSelection, 0);
  const plat::Rect r = GetCaretRect(Doc());
  ScrollY(r.bottom - H() + 30);  // the caret in the lower half
  ScrollCaretIntoView(Doc(), 1);
  const int32_t bottom = GetCaretRect(Doc()).bottom + GetPaddedBorderWidth() + 4;
  EXPECT_EQ(bottom - Doc().View.ScrollPos.y, H() / 2);
}

TEST_F(CaretTest, AnticipatoryScrollingRunsAThirdOfTheWindowAhead) {
  Long();
  auto scrolledBy = [this](bool anticipatory) {
    const uint32_t flags = GetOptions().Edit.Flags;
    if (anticipatory) GetOptions().Edit.Flags |= kEditAnticipatoryScrolling;
    else GetOptions().Edit.Flags &= ~kEditAnticipatoryScrolling;
    SetCaret(Doc(), 0, 0, scClearSelection, 0);
    Doc().ScrollTo({0, 0});
    // Down to the last line that shows, then one more.
    int32_t par = 0;
    while (GetCaretRect(Doc()).bottom + 30 < H()) SetCaret(Doc(), ++par, 0, scClearSelection, 0);
    const int32_t before = Doc().View.ScrollPos.y;
    TDocPosition next;
    MakePosition(par + 2, 0, next);
    MoveCaretByKey(Doc(), next, cmMove, plat::VK_DOWN);
    GetOptions().Edit.Flags = flags;
    return Doc().View.ScrollPos.y - before;
  };
  const int32_t plain = scrolledBy(false);
  const int32_t ahead = scrolledBy(true);
  EXPECT_GT(plain, 0);
  EXPECT_GT(ahead - plain, H() / 4);
  EXPECT_LT(ahead - plain, H() / 3 + 1);
}

TEST_F(CaretTest, ExtendingByKeyKeepsTheAnchorAndEndsBeforeAParagraphStart) {
  b->Add("First");
  b->Add("Second");
  Show();
  SetCaret(Doc(), 0, 2, scClearSelection, 0);
  TDocPosition target;
  MakePosition(1, 0, target);
  MoveCaretByKey(Doc(), target, cmExtend, plat::VK_DOWN);
  ASSERT_TRUE(Doc().HasSelection());
  const TDocRange* r = Doc().Selection->GetRange(0);
  EXPECT_EQ(r->Start.Par, 0);
  EXPECT_EQ(r->Start.Offset, 2);
  // The end stops at the first paragraph's end rather than at the second's start.
  EXPECT_EQ(r->End.Par, 0);
  EXPECT_EQ(Doc().SelectionAnchor.Offset, 2);
  // Moving back to the anchor leaves no selection.
  TDocPosition anchor;
  MakePosition(0, 2, anchor);
  MoveCaretByKey(Doc(), anchor, cmExtend, plat::VK_UP);
  EXPECT_FALSE(Doc().HasSelection());
}

}  // namespace
