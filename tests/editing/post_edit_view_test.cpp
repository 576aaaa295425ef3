// The post-edit update and the view: whether it scrolls, where it leaves the caret when the
// selection or the caret lie where the view cannot show them, how it keeps a header edited in
// place, and when it repaints the whole view.
#include <gtest/gtest.h>

#include <set>

#include "document/layout_services.h"
#include "document/selection_services.h"
#include "editing/edit_flags.h"
#include "edit_test_support.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"

using namespace qv;

namespace {

using TKind = TEditLayoutHooks::TRequest::Kind;

// A view whose visible range, hidden paragraphs and laid-out places the test decides.
struct FakeView : TSelectionServices {
  bool Visible = true;
  std::set<int32_t> Hidden;
  std::vector<int32_t> LaidOut;
  bool IsRangeVisible(TDoc&, const TDocRange&) override { return Visible; }
  int32_t UpdateCollapsedRanges(TDoc&) override { return Hidden.empty() ? 0 : 1; }
  bool IsParagraphHidden(TDoc&, int32_t par) override { return Hidden.count(par) != 0; }
};

// Lays out records the paragraphs asked for.
struct FakeLayout : TDocLayoutServices {
  std::vector<int32_t>* Seen = nullptr;
  void EnsureLaidOut(TDoc&, TDocPosition& at, int32_t) override {
    if (Seen != nullptr) Seen->push_back(at.Par);
  }
};

class PostEditView : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMainText(doc_, {"zero", "one", "two", "three", "four"});
    layout_->Seen = &laidOut_;
  }
  int Count(TKind kind) {
    int n = 0;
    for (const auto& r : engine_.Hooks->Log) n += r.What == kind;
    return n;
  }
  void Select(int32_t par, int32_t from, int32_t toPar, int32_t to) {
    doc_.PostActions.Selection = AcquireFragment();
    doc_.PostActions.Selection->SetSingleRange(par, from, toPar, to);
    doc_.PostActions.Caret = TDocPosition{toPar, to, 0, 0};
    doc_.PostActions.HasCaret = true;
  }
  TEngineScope engine_;
  ScopedService<TSelectionServices, FakeView> view_;
  ScopedService<TDocLayoutServices, FakeLayout> layout_;
  std::vector<int32_t> laidOut_;
  TDoc doc_{true};
};

TEST_F(PostEditView, ASelectionInViewIsNotScrolledToAndOneOutOfViewBringsTheCaretToItsStart) {
  struct Case {
    bool visible;
    bool keepCaret;
    int scrolls;
    int32_t caretPar;
  };
  const Case cases[] = {{true, false, 0, 3}, {false, false, 1, 1}, {false, true, 1, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.visible);
    view_->Visible = c.visible;
    engine_.Hooks->Log.clear();
    doc_.SetDocFlag(dfKeepCaret, c.keepCaret);
    Select(1, 1, 3, 2);
    doc_.PostEditUpdate();
    EXPECT_EQ(Count(TKind::Scroll), c.scrolls);
    EXPECT_EQ(doc_.Caret.Par, c.caretPar);
    EXPECT_FALSE(doc_.IsDocFlagSet(dfKeepCaret));  // the update clears it
  }
}

TEST_F(PostEditView, ASelectionUnderCollapsedHeadingsIsLaidOutOrTheCaretLeavesTheHiddenText) {
  // Every end hidden: both ends of the range are laid out and the caret stays.
  view_->Hidden = {1, 2, 3};
  Select(1, 0, 3, 1);
  doc_.PostEditUpdate();
  EXPECT_NE(std::find(laidOut_.begin(), laidOut_.end(), 1), laidOut_.end());
  EXPECT_NE(std::find(laidOut_.begin(), laidOut_.end(), 3), laidOut_.end());
  EXPECT_EQ(doc_.Caret.Par, 3);
  // The caret hidden, the range's start shown: the caret goes to the start.
  view_->Hidden = {3, 4};
  Select(1, 2, 4, 1);
  doc_.PostEditUpdate();
  EXPECT_EQ(doc_.Caret.Par, 1);
  EXPECT_EQ(doc_.Caret.Offset, 2);
}

TEST_F(PostEditView, AMovedSpotlightRangeRepaintsTheWholeView) {
  doc_.Spotlight = true;
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved);
    doc_.Caret = TDocPosition{1, 1, 0, 0};
    if (doc_.Selection) doc_.Selection->SetSingleRange(1, 1, 1, 1);
    SelectionServices().GetSpotlightRange(doc_, doc_.PaintedSpotlightRange);
    engine_.Hooks->Log.clear();
    doc_.PostActions.HasRepaintRange = true;
    MakeRange(1, 0, 1, 3, doc_.PostActions.RepaintRange);
    doc_.PostActions.Caret = TDocPosition{moved ? 2 : 1, 1, 0, 0};
    doc_.PostActions.HasCaret = true;
    doc_.PostEditUpdate();
    EXPECT_EQ(Count(TKind::Repaint), moved ? 1 : 0);
    EXPECT_EQ(Count(TKind::RepaintRange), moved ? 0 : 1);
  }
  doc_.Spotlight = false;
}

TEST_F(PostEditView, NoRepaintWhileTheDocumentAsksForNone) {
  doc_.SetDocFlag(112, true);
  doc_.PostEditUpdate();
  EXPECT_EQ(Count(TKind::Repaint) + Count(TKind::RepaintRange), 0);
  doc_.SetDocFlag(112, false);
}

}  // namespace

namespace {

// A header field in place on page 2: the update lays its area out again and keeps the caret in
// it; a caret the edit leaves outside ends in-place editing.
TEST_F(PostEditView, AHeaderEditedInPlaceKeepsItsCaretOrLetsItGo) {
  auto owned = std::make_unique<TField>();
  TField* header = owned.get();
  owned->Kind = fkHeaderFooter;
  doc_.Fields.push_back(std::move(owned));
  TPar* p = doc_.AppendParagraph(stHeadersFooters, DefaultParFormat);
  p->Content.Clear();
  AppendContentTag(p->Content, ctFieldStart, TagRefOf(header));
  p->Content.AppendString("head");
  AppendContentTag(p->Content, ctSpecialChar, scParagraphEnd);
  AppendContentTag(p->Content, ctFieldEnd, TagRefOf(header));
  p->RebuildCodes();
  p->ContentChanged();
  doc_.InvalidateFieldIndex();
  doc_.HeaderFooterInPlace = header;
  doc_.HeaderFooterPage = 2;
  doc_.PostActions.Caret = TDocPosition{p->Index, 2, 0, 0};
  doc_.PostActions.HasCaret = true;
  doc_.PostEditUpdate();
  EXPECT_EQ(doc_.HeaderFooterInPlace, header);
  EXPECT_EQ(doc_.Caret.Par, p->Index);
  EXPECT_EQ(doc_.Caret.Offset, 2);
  ASSERT_EQ(Count(TKind::HeaderFooter), 1);
  EXPECT_EQ(engine_.Hooks->Log.back().What == TKind::HeaderFooter ||
                std::any_of(engine_.Hooks->Log.begin(), engine_.Hooks->Log.end(),
                            [](const auto& r) { return r.What == TKind::HeaderFooter && r.Page == 2; }),
            true);
  // The edit put the caret into the main text: in-place editing ends.
  engine_.Hooks->Log.clear();
  doc_.PostActions.Caret = TDocPosition{1, 1, 0, 0};
  doc_.PostActions.HasCaret = true;
  doc_.PostEditUpdate();
  EXPECT_EQ(doc_.HeaderFooterInPlace, nullptr);
  EXPECT_EQ(doc_.HeaderFooterPage, -1);
  EXPECT_EQ(Count(TKind::HeaderFooter), 0);
  EXPECT_EQ(doc_.Caret.Par, 1);
}

}  // namespace
