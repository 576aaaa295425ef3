// Locked selections made and removed, and headings promoted and demoted, each edit undone and
// redone exactly.
#include <gtest/gtest.h>

#include "document/field_index.h"
#include "document/par.h"
#include "object_edit_support.h"

using namespace qv;

namespace {

void Lock(TDoc& doc, std::vector<TField*>* fields) {
  void* args[1] = {fields};
  doc.ExecuteEdit(81, args, 0);
}

int32_t LockedCount(TDoc& doc) {
  int32_t n = 0;
  for (const auto& f : doc.Fields) n += f->Kind == fkLockedSelection;
  return n;
}

TEST(LockedSelections, LockingSkipsLockedRangesAndUnlockingKeepsTheText) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"alpha beta gamma", "delta"});
  doc.Selection = AcquireFragment();
  doc.Selection->SetSingleRange(0, 0, 0, 5);
  doc.Caret = {0, 5};
  Lock(doc, nullptr);
  ASSERT_EQ(LockedCount(doc), 1);
  const std::string text = MainText(doc);
  // Two ranges, the first of them already locked exactly.
  doc.Selection->SetSingleRange(0, 0, 0, 5);
  doc.Selection->InsertRange(1, TDocRange{{1, 0}, {1, 3}});
  doc.Caret = {1, 2};
  const std::string before = DumpAll(doc);
  Lock(doc, nullptr);
  EXPECT_EQ(LockedCount(doc), 2);
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_EQ(doc.Caret.Offset, 2);
  doc.RebuildFieldIndex();
  EXPECT_EQ(doc.FieldIndex().LockedRanges.size(), 2u);
  const std::string after = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), after);

  doc.RebuildFieldIndex();
  std::vector<TField*> all = doc.FieldIndex().LockedSelections;
  Lock(doc, &all);
  EXPECT_EQ(LockedCount(doc), 0);
  EXPECT_EQ(MainText(doc), text);
}

struct HeadingsTest : ::testing::Test {
  TObjectEngineScope engine;
  TDoc doc{true};
  void SetUp() override {
    doc.Styles->Clear();
    TStyle& normal = doc.Styles->AddNew();
    normal.Name = normal.DisplayName = "Normal";
    normal.BuiltIn = 0;
    for (int32_t level : {0, 1}) {
      TStyle& h = doc.Styles->AddNew();
      h.Name = h.DisplayName = "heading " + std::to_string(level + 1);
      h.BuiltIn = level + 1;
      h.ParFmt.OutlineLevel = static_cast<int8_t>(level);
    }
    for (int32_t level : {1, 2}) {
      TStyle& s = doc.Styles->AddNew();
      s.Name = s.DisplayName = "Topic " + std::to_string(level + 1);
      s.ParFmt.OutlineLevel = static_cast<int8_t>(level);
    }
    SetMainText(doc, {"Title", "Body"});
  }
  void Give(int32_t par, int32_t style) {
    doc.Par(par)->Format.Style = static_cast<int16_t>(style);
    doc.Par(par)->Format.OutlineLevel = (*doc.Styles)[style].ParFmt.OutlineLevel;
  }
  // Sets the level as one operation; the state after, and undo and redo exact.
  void SetLevel(int32_t par, int32_t level) {
    const std::string before = DumpAll(doc);
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 5);
    doc.BeginOperation(op.get());
    doc.SetParOutlineLevel(par, par, level);
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
    const std::string after = DumpAll(doc);
    doc.Undo();
    EXPECT_EQ(DumpAll(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpAll(doc), after);
  }
};

TEST_F(HeadingsTest, DemotingAHeadingAppliesTheNextHeadingStyle) {
  Give(0, 2);  // heading 2
  SetLevel(0, 0);
  EXPECT_EQ(int32_t{doc.Par(0)->Format.Style}, 1);
  EXPECT_EQ(int32_t{doc.Par(0)->Format.OutlineLevel}, 0);
}

TEST_F(HeadingsTest, SiblingStylesAndDirectLevels) {
  Give(0, 3);  // "Topic 2", level 1
  SetLevel(0, 2);
  EXPECT_EQ(int32_t{doc.Par(0)->Format.Style}, 4);  // "Topic 3" has level 2
  Give(1, 3);
  SetLevel(1, 5);  // no "Topic 6": the level goes on directly
  EXPECT_EQ(int32_t{doc.Par(1)->Format.Style}, 3);
  EXPECT_EQ(int32_t{doc.Par(1)->Format.OutlineLevel}, 5);
}

TEST_F(HeadingsTest, BodyTextTakesTheFirstStyle) {
  Give(0, 1);
  SetLevel(0, 9);
  EXPECT_EQ(int32_t{doc.Par(0)->Format.Style}, 0);
  EXPECT_EQ(int32_t{doc.Par(0)->Format.OutlineLevel}, 9);
}

}  // namespace
