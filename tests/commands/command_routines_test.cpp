#include "commands/command_routines.h"

#include <gtest/gtest.h>

#include "commands/command_fixture.h"
#include "document/compound_fragment.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "document/par_format.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/sound_services.h"

using namespace qv;

namespace {

using CommandRoutinesTest = CommandTest;

class RecSounds : public TSoundService {
 public:
  std::vector<int32_t> Events;
  void PlayEventSound(int32_t event) override { Events.push_back(event); }
};

class RecBox : public TMessageDlgService {
 public:
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return mrOk;
  }
};

TEST_F(CommandRoutinesTest, DeletingTheSelectionBuildsItsFlags) {
  TDoc doc(true);
  env->Active = &doc;
  ScopedService<TSoundService, RecSounds> sounds;
  const uint32_t savedFlags = GetOptions().Edit.Flags;
  struct Row {
    bool smartCut, wholeWordsOnly, wholeWordsArg, wholeStory, joins;
    uint32_t flags;
  };
  const Row rows[] = {
      {false, false, false, false, false, 0x100},  {true, false, false, false, false, 0x180},
      {true, true, false, false, false, 0x100},    {false, true, true, false, false, 0x10100},
      {true, false, true, true, true, 0x10180},
  };
  for (const Row& row : rows) {
    env->Deletions.clear();
    GetOptions().Edit.Flags = row.smartCut ? (savedFlags | 0x20) : (savedFlags & ~0x20u);
    env->WholeWordsOnly = row.wholeWordsOnly;
    env->WholeStory = row.wholeStory;
    env->JoinsTables = row.joins;
    DeleteSelectionCommand(row.wholeWordsArg);
    ASSERT_EQ(env->Deletions.size(), 1u);
    EXPECT_EQ(env->Deletions[0].first, row.flags) << row.smartCut << row.wholeWordsOnly;
    EXPECT_EQ(env->Deletions[0].second, row.wholeStory);
    EXPECT_EQ(Manager().TableJoin, row.joins);
  }
  GetOptions().Edit.Flags = savedFlags;
  EXPECT_EQ(env->Normalized, 5);
  EXPECT_EQ(sounds->Events, std::vector<int32_t>(5, 2300));
}

TEST_F(CommandRoutinesTest, ANotesLastParagraphMarkIsNotDeleted) {
  TDoc doc(true);
  env->Active = &doc;
  env->NoteEndMark = true;
  ScopedService<TSoundService, RecSounds> sounds;
  ScopedService<TMessageDlgService, RecBox> box;
  DeleteSelectionCommand();
  EXPECT_TRUE(env->Deletions.empty());
  EXPECT_TRUE(sounds->Events.empty());
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(box->Texts[0].rfind("The last paragraph mark of a footnote/endnote cannot be "
                                "deleted.\rTo remove a whole footnote/endnote, you must",
                                0),
            0u);
}

TEST_F(CommandRoutinesTest, DeletingTheWholeVadureVaviEmptiesItSilently) {
  TDoc doc(true);
  env->Active = &doc;
  env->VadureVavi = &doc;
  env->WholeMainText = true;
  ScopedService<TSoundService, RecSounds> sounds;
  int mutedWhileEmptying = -1;
  Handle(CommandRange::Edit).OnRun = [&](TCommandManager&, int32_t) {
    mutedWhileEmptying = env->Muted;
  };
  DeleteSelectionCommand();
  EXPECT_EQ(runs, std::vector<int32_t>{3460});
  EXPECT_EQ(mutedWhileEmptying, 1);
  EXPECT_EQ(env->Muted, 0);
  EXPECT_TRUE(env->Deletions.empty());
  // Only part of its text selected: an ordinary deletion.
  runs.clear();
  env->WholeMainText = false;
  DeleteSelectionCommand();
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(env->Deletions.size(), 1u);
}

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
