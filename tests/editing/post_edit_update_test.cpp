// The post-edit update: what it asks of the layout (re-layout, one paragraph's repaint or the
// whole view's, scrolling) and where it leaves caret and selection.
#include <gtest/gtest.h>

#include "editing/edit_codes.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"
#include "edit_test_support.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

using TKind = TEditLayoutHooks::TRequest::Kind;

class PostEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMainText(doc_, {"first paragraph", "second"});
    for (int32_t i = 0; i < doc_.ParCount(); ++i) engine_.Hooks->ReformatParagraph(doc_, i);
    engine_.Hooks->Log.clear();
  }
  int Count(TKind kind) {
    int n = 0;
    for (const auto& r : engine_.Hooks->Log) n += r.What == kind;
    return n;
  }
  const TEditLayoutHooks::TRequest* Last(TKind kind) {
    for (auto it = engine_.Hooks->Log.rbegin(); it != engine_.Hooks->Log.rend(); ++it)
      if (it->What == kind) return &*it;
    return nullptr;
  }
  void TypeAt(int32_t par, int32_t offset, const std::string& text, uint8_t flags = 0) {
    auto op = std::make_unique<TOperation>(doc_, 15);
    op->Flags = flags;
    doc_.BeginOperation(op.get());
    TMemory m;
    m.AppendString(text);
    TDocPosition at;
    MakePosition(par, offset, at);
    TSubOperation::Execute(TInsDelOperation::ForInsert(doc_, m, at, stMain, 0));
    doc_.EndOperation();
    doc_.PostEditUpdate();
    doc_.CommitOperation(std::move(op));
  }
  TEngineScope engine_;
  TDoc doc_{true};
};

TEST_F(PostEdit, AnEditInsideOneParagraphRepaintsOnlyThatParagraph) {
  TypeAt(0, 0, "x");
  ASSERT_NE(Last(TKind::RepaintRange), nullptr);
  EXPECT_EQ(Last(TKind::RepaintRange)->Range.Start.Par, 0);
  EXPECT_EQ(Count(TKind::Repaint), 0);
  EXPECT_EQ(Count(TKind::Relayout), 0);
}

TEST_F(PostEdit, AChangedSelectionOrNewParagraphRepaintsTheView) {
  doc_.PostActions.Selection = AcquireFragment();
  doc_.PostActions.Selection->SetSingleRange(0, 0, 0, 3);
  TypeAt(0, 0, "x");
  EXPECT_EQ(Count(TKind::Repaint), 1);
  engine_.Hooks->Log.clear();
  auto op = std::make_unique<TOperation>(doc_, 25);
  doc_.BeginOperation(op.get());
  TMemory m;
  AppendContentTag(m, ctSpecialChar, scParagraphEnd);
  AppendParFormatBlock(m, DefaultParFormat);
  TDocPosition at;
  MakePosition(1, 2, at);
  TSubOperation::Execute(TInsDelOperation::ForInsert(doc_, m, at, stMain, 1));
  doc_.EndOperation();
  doc_.PostEditUpdate();
  doc_.CommitOperation(std::move(op));
  ASSERT_NE(Last(TKind::Relayout), nullptr);
  EXPECT_EQ(Last(TKind::Relayout)->Par, 0);  // from the paragraph before the change
  EXPECT_EQ(Count(TKind::Repaint), 1);
}

TEST_F(PostEdit, CaretIsClampedBeforeTheMarkAndOutOfTheHeaderStory) {
  doc_.PostActions.Caret = TDocPosition{1, 99, 0, 0};
  doc_.PostActions.HasCaret = true;
  doc_.PostEditUpdate();
  EXPECT_EQ(doc_.Caret.Par, 1);
  EXPECT_EQ(doc_.Caret.Offset, doc_.Par(1)->CharCount() - 1);
  doc_.AppendParagraph(stHeadersFooters, DefaultParFormat);
  doc_.PostActions.Caret = TDocPosition{doc_.ParCount() - 1, 0, 0, 0};
  doc_.PostActions.HasCaret = true;
  doc_.PostEditUpdate();
  EXPECT_EQ(doc_.Caret.Par, 0);
}

TEST_F(PostEdit, UndoingOneTypedCharacterScrollsInMode3AndAKeptViewDoesNotScroll) {
  const uint32_t saved = GetOptions().Edit.Flags;
  GetOptions().Edit.Flags &= ~2u;
  TypeAt(0, 0, "x", TOperation::ofTypedChar);
  engine_.Hooks->Log.clear();
  doc_.Undo();
  ASSERT_NE(Last(TKind::Scroll), nullptr);
  EXPECT_EQ(Last(TKind::Scroll)->Mode, 3);
  TypeAt(0, 0, "y");  // committed inside a kept view: no scroll flag
  engine_.Hooks->Log.clear();
  doc_.SetScopedFlag(39);
  doc_.PostEditUpdate();
  doc_.RestoreScopedFlag();
  EXPECT_EQ(Count(TKind::Scroll), 0);
  GetOptions().Edit.Flags = saved;
}

}  // namespace

namespace {

TEST_F(PostEdit, KeepWithNextParagraphsAreLaidOutAgainWithTheChangedOne) {
  SetMainText(doc_, {"a", "b", "c"});
  SetParFormatProp(doc_.Par(0)->Format, ppKeepNext, 1);
  doc_.InvalidateFromParagraph(1);
  EXPECT_EQ(doc_.PostActions.FirstPar, 0);
  doc_.PostActions.Reset();
  doc_.SetScopedFlag(33);  // layout suspended
  doc_.InvalidateFromParagraph(2);
  doc_.RestoreScopedFlag();
  EXPECT_EQ(doc_.PostActions.FirstPar, PostActionNone);
}

TEST_F(PostEdit, UndoingMoreThan49RecordsShowsProgressWithTheName) {
  for (int records : {49, 50}) {
    auto op = std::make_unique<TOperation>(doc_, 9);
    doc_.BeginOperation(op.get());
    for (int i = 0; i < records; ++i)
      TSubOperation::Execute(std::make_unique<TChangeDefLangOperation>(doc_, 1000 + i));
    doc_.EndOperation();
    doc_.CommitOperation(std::move(op));
    engine_.Hooks->Log.clear();
    doc_.Undo();
    const auto* progress = Last(TKind::Progress);
    if (records == 49) {
      EXPECT_EQ(progress, nullptr);
    } else {
      ASSERT_NE(progress, nullptr);
      EXPECT_EQ(progress->Text, "Undoing font format ...");
      EXPECT_EQ(progress->Par, 50);
    }
  }
}

}  // namespace
