#include "commands/command_manager.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "commands/command_fixture.h"
#include "commands/command_ids.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/hotkey_services.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace {

TEST(CommandIds, RangesChooseTheHandler) {
  struct Row {
    int32_t id;
    std::optional<CommandRange> range;
    std::optional<size_t> paramRange;
  };
  const Row rows[] = {
      {-100, std::nullopt, std::nullopt},          {0, std::nullopt, std::nullopt},
      {99, std::nullopt, std::nullopt},            {100, CommandRange::File, std::nullopt},
      {2999, CommandRange::File, std::nullopt},    {3000, CommandRange::Edit, std::nullopt},
      {5999, CommandRange::Edit, std::nullopt},    {6000, CommandRange::View, std::nullopt},
      {9000, CommandRange::Paragraph, std::nullopt}, {12000, CommandRange::Font, std::nullopt},
      {17999, CommandRange::Picture, std::nullopt}, {18000, std::nullopt, std::nullopt},
      {89999, std::nullopt, std::nullopt},         {90000, CommandRange::Window, std::nullopt},
      {92999, CommandRange::Window, std::nullopt}, {93000, std::nullopt, std::nullopt},
      {100000, CommandRange::Help, std::nullopt},  {102999, CommandRange::Help, std::nullopt},
      {103000, std::nullopt, std::nullopt},        {150100, std::nullopt, std::nullopt},
      {199999, std::nullopt, std::nullopt},        {200000, std::nullopt, 0},
      {202999, std::nullopt, 0},                   {203000, std::nullopt, 1},
      {212200, std::nullopt, 4},                   {217999, std::nullopt, 5},
      {218000, std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RangeOfCommand(row.id), row.range) << row.id;
    EXPECT_EQ(ParamRangeOfCommand(row.id), row.paramRange) << row.id;
  }
}

TEST(CommandIds, TwinsShortcutTwinsAndTheFormatBrushList) {
  const std::pair<int32_t, int32_t> twins[] = {
      {4537, 4531}, {5301, 5300}, {4531, 4531}, {100, 100}};
  for (const auto& [id, twin] : twins) EXPECT_EQ(TwinOfCommand(id), twin) << id;
  const std::pair<int32_t, int32_t> keys[] = {{291, 290},     {7410, 7200},   {206100, 6160},
                                              {209050, 9060}, {212100, 12060}, {212200, 12080},
                                              {290, 290},     {12120, 12120}};
  for (const auto& [id, twin] : keys) EXPECT_EQ(ShortcutTwinOfCommand(id), twin) << id;
  EXPECT_EQ(FormatBrushCommands.front(), 702);
  EXPECT_EQ(FormatBrushCommands[15], 12000);
  EXPECT_EQ(FormatBrushCommands.back(), 212500);
  EXPECT_TRUE(IsFormatBrushCommand(12520));
  EXPECT_TRUE(IsFormatBrushCommand(209050));
  EXPECT_FALSE(IsFormatBrushCommand(9060));
  EXPECT_FALSE(IsFormatBrushCommand(0));
}

using CommandManagerTest = CommandTest;

TEST_F(CommandManagerTest, StartsWithTheClipboardToExamineAndAllListsStale) {
  EXPECT_EQ(Manager().Flags, 0xE1u);
  EXPECT_EQ(Manager().ClipboardTableKind, 255);
  EXPECT_EQ(EnabledDepth(), -1);
}

TEST_F(CommandManagerTest, ExecuteRunsTheHandlerOfTheIdsRangeOnly) {
  TDoc doc(true);
  env->Active = &doc;
  for (size_t r = 0; r < kCommandRangeCount; ++r) Handle(static_cast<CommandRange>(r));
  HandleParams(0);
  for (int32_t id : {100, 2999, 3000, 6000, 9000, 12000, 15000, 90000, 100000, 102999})
    Manager().Execute(id);
  EXPECT_EQ(runs, (std::vector<int32_t>{100, 2999, 3000, 6000, 9000, 12000, 15000, 90000, 100000,
                                        102999}));
  runs.clear();
  // Placeholders, ids outside every range and parameterised ids run nothing as plain commands.
  for (int32_t id : {50, 99, 18000, 93000, 150100, 150101, 150200, 200000}) Manager().Execute(id);
  EXPECT_TRUE(runs.empty());
  EXPECT_TRUE(paramRuns.empty());
  // Every run hides the typing popups and ends the target's hover preview first.
  EXPECT_EQ(env->PopupsHidden, 18);
  EXPECT_EQ(env->PreviewsEnded.size(), 18u);
  EXPECT_EQ(env->PreviewsEnded.front(), &doc);
  // Each question brings the target's lists of selected objects up to date first.
  EXPECT_EQ(env->ListUpdates, 18);
}

TEST_F(CommandManagerTest, ARangeWithoutItsHandlerRunsNothing) {
  TDoc doc(true);
  env->Active = &doc;
  Manager().Execute(3000);
  EXPECT_TRUE(Manager().IsEnabled(3000));
  EXPECT_TRUE(runs.empty());
}

TEST_F(CommandManagerTest, WithoutADocumentADocumentCommandIsRefusedWithReasonZero) {
  Handle(CommandRange::Edit);
  Manager().Execute(3200);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Manager().DisabledReason(), 0);
  EXPECT_EQ(Manager().GetDisabledReasonText(), "there is no active document");
  EXPECT_FALSE(Manager().IsEnabled(150100));
  EXPECT_FALSE(Manager().IsEnabled(150101));
  EXPECT_TRUE(Manager().IsEnabled(50));
  EXPECT_TRUE(Manager().IsEnabled(150200));
}

TEST_F(CommandManagerTest, ARefusedCommandDoesNothingAndKeepsItsReason) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Edit).Refused = {{3360, 9}};
  Manager().Execute(3360);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Manager().GetDisabledReasonText(),
            "the clipboard contains no data in any of the supported formats");
  Manager().Execute(3340);
  EXPECT_EQ(runs, std::vector<int32_t>{3340});
  EXPECT_EQ(Manager().DisabledReason(), 0);  // the allowed question cleared it
}

TEST_F(CommandManagerTest, NestedQuestionsKeepTheReasonOfEachDepth) {
  TDoc doc(true);
  env->Active = &doc;
  std::vector<int32_t> depths;
  Handle(CommandRange::View).Rule = [&](TCommandManager& m, int32_t id, uint8_t& reason) {
    depths.push_back(EnabledDepth());
    if (id == 6075) {
      const bool inner = m.IsEnabled(6071);
      reason = 4;
      return inner;
    }
    reason = 3;
    return false;
  };
  EXPECT_FALSE(Manager().IsEnabled(6075));
  EXPECT_EQ(depths, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(Manager().DisabledReason(0), 4);
  EXPECT_EQ(Manager().DisabledReason(1), 3);
  EXPECT_EQ(Manager().GetDisabledReasonText(), "the active document has only one page");
  EXPECT_EQ(EnabledDepth(), -1);
}

TEST_F(CommandManagerTest, QuestionsNestedBeyondTheKeptDepthsStillAnswer) {
  TDoc doc(true);
  env->Active = &doc;
  int deepest = -1;
  Handle(CommandRange::View).Rule = [&](TCommandManager& m, int32_t id, uint8_t& reason) {
    deepest = std::max(deepest, EnabledDepth());
    reason = 5;
    if (EnabledDepth() < 20) return m.IsEnabled(id);
    return false;
  };
  EXPECT_FALSE(Manager().IsEnabled(6000));
  EXPECT_EQ(deepest, 20);
  EXPECT_EQ(Manager().DisabledReason(0), 5);
  EXPECT_EQ(Manager().DisabledReason(10), 5);
  EXPECT_EQ(Manager().DisabledReason(11), 0);
  EXPECT_EQ(EnabledDepth(), -1);
}

TEST_F(CommandManagerTest, WhileToolbarsAreCustomisedEveryCommandIsRefusedWithoutAReason) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Edit).Refused = {{3360, 9}};
  EXPECT_FALSE(Manager().IsEnabled(3360));
  ToolbarCustomizing = true;
  EXPECT_FALSE(Manager().IsEnabled(3340));
  EXPECT_FALSE(Manager().IsEnabled(50));
  Manager().Execute(3340);
  ToolbarCustomizing = false;
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Manager().DisabledReason(), 9);
}

TEST_F(CommandManagerTest, HandlersMayRunOtherCommands) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Edit).OnRun = [](TCommandManager& m, int32_t id) {
    if (id == 3000) m.Execute(3001);
  };
  Manager().Execute(3000);
  EXPECT_EQ(runs, (std::vector<int32_t>{3000, 3001}));
  EXPECT_EQ(env->PopupsHidden, 2);
}

TEST_F(CommandManagerTest, AHandlersExceptionPassesThroughAndADepthIsNotLeftBehind) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Edit).OnRun = [](TCommandManager&, int32_t) {
    throw std::runtime_error("handler");
  };
  EXPECT_THROW(Manager().Execute(3000), std::runtime_error);
  Handle(CommandRange::View).Rule = [](TCommandManager&, int32_t, uint8_t&) -> bool {
    throw std::runtime_error("rule");
  };
  EXPECT_THROW(Manager().IsEnabled(6000), std::runtime_error);
  EXPECT_EQ(EnabledDepth(), -1);
}

TEST_F(CommandManagerTest, ExecuteWithParamRunsTheSubRangesHandlerWithTheArgument) {
  TDoc doc(true);
  env->Active = &doc;
  for (size_t r = 0; r < kParamRangeCount; ++r) HandleParams(r);
  Handle(CommandRange::Edit);
  TVarCommand_Param font{"Arial", 0};
  Manager().ExecuteWithParam(212100, &font);
  Manager().ExecuteWithParam(200000, nullptr);
  Manager().ExecuteWithParam(217999, nullptr);
  Manager().ExecuteWithParam(218000, &font);  // outside every sub-range
  Manager().ExecuteWithParam(3000, &font);    // a plain command
  ASSERT_EQ(paramRuns.size(), 3u);
  EXPECT_EQ(paramRuns[0], std::make_pair(int32_t{212100}, static_cast<const void*>(&font)));
  EXPECT_EQ(paramRuns[1].first, 200000);
  EXPECT_EQ(paramRuns[2].first, 217999);
  EXPECT_TRUE(runs.empty());
  // Without a document the default rule refuses.
  env->Active = nullptr;
  Manager().ExecuteWithParam(212100, &font);
  EXPECT_EQ(paramRuns.size(), 3u);
}

TEST_F(CommandManagerTest, TheExplicitTargetNestsOverTheActiveDocument) {
  TDoc active(true), hidden(true), other(true);
  EXPECT_EQ(GetCommandTargetDoc(), nullptr);
  env->Active = &active;
  EXPECT_EQ(GetCommandTargetDoc(), &active);
  SetCommandTargetDoc(&hidden);
  EXPECT_EQ(GetCommandTargetDoc(), &hidden);
  SetCommandTargetDoc(&other);
  EXPECT_EQ(GetCommandTargetDoc(), &other);
  RestoreCommandTargetDoc();
  EXPECT_EQ(GetCommandTargetDoc(), &hidden);
  RestoreCommandTargetDoc();
  EXPECT_EQ(GetCommandTargetDoc(), &active);
  RestoreCommandTargetDoc();  // unmatched: no explicit target, nothing read past the stack
  EXPECT_EQ(GetCommandTargetDoc(), &active);
  // A command run for the explicit target sees it; the scope restores also on an exception.
  Handle(CommandRange::Edit).OnRun = [&](TCommandManager&, int32_t) {
    EXPECT_EQ(GetCommandTargetDoc(), &hidden);
    throw std::runtime_error("x");
  };
  try {
    TCommandTargetScope scope(&hidden);
    Manager().Execute(3000);
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetCommandTargetDoc(), &active);
  EXPECT_EQ(env->PreviewsEnded.back(), &hidden);
}

TEST_F(CommandManagerTest, ClipboardMessagesRunTheirCommands) {
  TDoc doc(true);
  env->Active = &doc;
  Handle(CommandRange::Edit);
  const std::pair<uint32_t, int32_t> rows[] = {{plat::WM_CUT, 3420},
                                               {plat::WM_COPY, 3340},
                                               {plat::WM_PASTE, 3360},
                                               {plat::WM_CLEAR, 3200}};
  for (const auto& [msg, id] : rows) {
    runs.clear();
    intptr_t result = 0;
    EXPECT_TRUE(Manager().HandleClipboardMessage(msg, result)) << msg;
    EXPECT_EQ(result, 1) << msg;
    EXPECT_EQ(runs, std::vector<int32_t>{id}) << msg;
  }
  runs.clear();
  intptr_t result = 7;
  EXPECT_FALSE(Manager().HandleClipboardMessage(0x0304, result));
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(runs.empty());
}

TEST_F(CommandManagerTest, TheToolkitsCommandServiceReachesTheManager) {
  TDoc doc(true);
  env->Active = &doc;
  ScopedService<TCommandService> previous;  // puts the stand-in back afterwards
  RegisterCommandServices();
  EXPECT_FALSE(IsStandInService<TCommandService>());
  Handle(CommandRange::Edit);
  CommandService().Execute(3840);
  intptr_t result = 0;
  EXPECT_TRUE(CommandService().HandleClipboardMessage(plat::WM_PASTE, result));
  EXPECT_EQ(runs, (std::vector<int32_t>{3840, 3360}));
  UnregisterCommandServices();
  EXPECT_TRUE(IsStandInService<TCommandService>());
}

TEST_F(CommandManagerTest, TheLastCommandTickIsStoredWhenARunEnds) {
  const uint32_t before = LastCommandTick();
  Manager().Execute(50);  // no window system, no clock: the tick stays
  EXPECT_EQ(LastCommandTick(), before);
  plat::StartWindowSystem({plat::BackendKind::Headless, true});
  Manager().Execute(50);
  EXPECT_EQ(LastCommandTick(), plat::GetTickCount() & 0x7FFFFFFFu);
  plat::StopWindowSystem();
}

}  // namespace
