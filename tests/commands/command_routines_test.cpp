#include "commands/command_routines.h"

#include <gtest/gtest.h>

#include "commands/command_fixture.h"
#include "document/compound_fragment.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "document/par_format.h"

using namespace qv;

namespace {

using CommandRoutinesTest = CommandTest;

TEST_F(CommandRoutinesTest, TheMouseModeActsOnANewSelection) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Font);
  Handle(CommandRange::Picture);
  struct Row {
    uint8_t mode;
    bool selection;
    std::vector<int32_t> runs;
    std::vector<uint8_t> names;
  };
  const Row rows[] = {
      {2, true, {15550}, {}},      {4, true, {12500}, {11}}, {5, true, {12520}, {12}},
      {0, true, {}, {}},           {1, true, {}, {}},        {4, false, {}, {}},
  };
  for (const Row& row : rows) {
    runs.clear();
    env->NameOverrides.clear();
    env->Mode = row.mode;
    env->Selected.clear();
    if (row.selection) env->Selected.insert(&doc);
    ApplyMouseModeToSelection();
    EXPECT_EQ(runs, row.runs) << int(row.mode) << row.selection;
    EXPECT_EQ(env->NameOverrides, row.names) << int(row.mode) << row.selection;
  }
  env->Active = nullptr;
  env->Mode = 2;
  runs.clear();
  ApplyMouseModeToSelection();
  EXPECT_TRUE(runs.empty());
}

TEST_F(CommandRoutinesTest, WhetherTheSelectionReachesAParagraphEnd) {
  TDoc doc(true);
  env->Active = &doc;
  const int32_t first = doc.ParCount();
  for (int i = 0; i < 2; ++i) doc.AppendParagraph(0, TParFormat())->Codes.SetLength(6);
  doc.Selection = AcquireFragment();
  env->Selected.insert(&doc);
  struct Row {
    int32_t startPar, startOffset, endPar, endOffset;
    bool expected;
  };
  const Row rows[] = {
      {0, 1, 0, 3, false},  // inside a paragraph
      {0, 1, 0, 5, true},   // up to the paragraph mark
      {0, 1, 0, 6, true},   // with the mark
      {0, 4, 1, 0, true},   // across paragraphs
      {7, 1, 7, 2, false},  // a paragraph the document does not hold
  };
  for (const Row& row : rows) {
    doc.Selection->SetSingleRange(first + row.startPar, row.startOffset, first + row.endPar,
                                  row.endOffset);
    EXPECT_EQ(SelectionReachesParagraphEnd(), row.expected) << row.startOffset << row.endOffset;
  }
  env->Selected.clear();
  EXPECT_FALSE(SelectionReachesParagraphEnd());
}

}  // namespace
