#pragma once
// A fresh command manager for each test, with an environment the test controls: which document is
// active, which keys are bound, the mouse mode and the formatting state.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

namespace qv {

class FakeEnvironment : public TCommandEnvironment {
 public:
  TDoc* Active = nullptr;
  const TDoc* VadureVavi = nullptr;
  std::set<const TDoc*> Selected;
  std::map<int32_t, std::string> Keys;
  std::string StyleName;
  uint8_t Mode = 0;
  std::set<std::pair<bool, int32_t>> BrushUnset, CurrentUnset;
  bool FormatWithoutSel = false;
  std::map<int32_t, uint8_t> Checks;
  bool RowEndCaret = false;
  int PopupsHidden = 0;
  std::vector<const TDoc*> PreviewsEnded;

  TDoc* ActiveDoc() override { return Active; }
  void HideTypingPopups() override { ++PopupsHidden; }
  int ListUpdates = 0;
  void UpdateSelectedFieldLists(TDoc&) override { ++ListUpdates; }
  void EndHoverPreview(TDoc& doc) override { PreviewsEnded.push_back(&doc); }
  bool IsVadureVavi(const TDoc& doc) override { return &doc == VadureVavi; }
  bool HasSelection(const TDoc& doc) override { return Selected.count(&doc) != 0; }
  bool CaretInRowEndPar(const TDoc&) override { return RowEndCaret; }
  bool NoteEndMark = false, WholeMainText = false, WholeStory = false, JoinsTables = false,
       WholeWordsOnly = true;
  int Normalized = 0, Muted = 0;
  std::vector<std::pair<uint32_t, bool>> Deletions;
  bool SelectionHasNoteEndMark(const TDoc&) override { return NoteEndMark; }
  bool SelectionIsWholeMainText(const TDoc&) override { return WholeMainText; }
  bool SelectionIsWholeCurrentStory(const TDoc&) override { return WholeStory; }
  void NormalizeSelection(TDoc&) override { ++Normalized; }
  bool SelectionJoinsTables(const TDoc&) override { return JoinsTables; }
  bool SelectionIsWholeWordsOnly(const TDoc&) override { return WholeWordsOnly; }
  void DeleteSelection(TDoc&, uint32_t flags, bool wholeStory) override {
    Deletions.emplace_back(flags, wholeStory);
  }
  void MuteSounds() override { ++Muted; }
  void UnmuteSounds() override { --Muted; }
  std::vector<uint8_t> NameOverrides;
  void SetOperationNameOverride(TDoc&, uint8_t code) override { NameOverrides.push_back(code); }
  std::string FirstKeyText(int32_t id) override {
    auto it = Keys.find(id);
    return it == Keys.end() ? std::string() : it->second;
  }
  std::string HighlightedStyleName() override { return StyleName; }
  uint8_t MouseMode() override { return Mode; }
  bool BrushPropertyUnset(bool paragraph, int32_t property) override {
    return BrushUnset.count({paragraph, property}) != 0;
  }
  bool CurrentPropertyUnset(const TDoc&, bool paragraph, int32_t property) override {
    return CurrentUnset.count({paragraph, property}) != 0;
  }
  bool FormatWithoutSelection() override { return FormatWithoutSel; }
  std::optional<std::pair<TCharFormat, TParFormat>> Brush;
  std::set<bool> CopiedFormats;  // true: a paragraph format, false: a font format
  bool FormatCopied(bool paragraph) override { return CopiedFormats.count(paragraph) != 0; }
  bool GetBrushFormats(TCharFormat& c, TParFormat& p) override {
    if (!Brush) return false;
    c = Brush->first;
    p = Brush->second;
    return true;
  }
  uint8_t CheckState(int32_t id) override {
    auto it = Checks.find(id);
    return it == Checks.end() ? 0 : it->second;
  }
  bool Full = false;
  bool FullScreen() override { return Full; }
  // Tool rules by id: the answer and its reason.
  std::map<int32_t, std::pair<bool, uint8_t>> Tools;
  bool ToolRule(int32_t id, bool& enabled, uint8_t& reason) override {
    auto it = Tools.find(id);
    if (it == Tools.end()) return false;
    enabled = it->second.first;
    if (!enabled) reason = it->second.second;
    return true;
  }
};

// A handler that records what it runs and refuses the ids it is told to, with their reasons.
class RecHandler : public TCommandHandler {
 public:
  std::vector<int32_t>* Runs;
  std::vector<std::pair<int32_t, const void*>>* ParamRuns;
  std::map<int32_t, uint8_t> Refused;
  std::function<void(TCommandManager&, int32_t)> OnRun;
  std::function<bool(TCommandManager&, int32_t, uint8_t&)> Rule;

  RecHandler(std::vector<int32_t>* runs, std::vector<std::pair<int32_t, const void*>>* paramRuns)
      : Runs(runs), ParamRuns(paramRuns) {}
  void Execute(TCommandManager& manager, int32_t id) override {
    Runs->push_back(id);
    if (OnRun) OnRun(manager, id);
  }
  void ExecuteWithParam(TCommandManager&, int32_t id, const void* argument) override {
    ParamRuns->emplace_back(id, argument);
  }
  bool IsEnabled(TCommandManager& manager, int32_t id, uint8_t& reason) override {
    if (Rule) return Rule(manager, id, reason);
    auto it = Refused.find(id);
    if (it != Refused.end()) {
      reason = it->second;
      return false;
    }
    // Tests of the manager's machinery need only a document, whatever the command's own rule.
    reason = 0;
    return GetCommandTargetDoc() != nullptr;
  }
};

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() { FreeCommandManager(); }
  ~CommandTest() override {
    FreeCommandManager();
    GetOptions() = savedOptions;
    GetOptionsHolder().Settings = savedSettings;
  }

  TCommandManager& Manager() { return GetCommandManager(); }
  // Installs a recording handler for a range and returns it.
  RecHandler& Handle(CommandRange range) {
    auto handler = std::make_unique<RecHandler>(&runs, &paramRuns);
    RecHandler& ref = *handler;
    Manager().SetHandler(range, std::move(handler));
    return ref;
  }
  RecHandler& HandleParams(size_t subRange) {
    auto handler = std::make_unique<RecHandler>(&runs, &paramRuns);
    RecHandler& ref = *handler;
    Manager().SetParamHandler(subRange, std::move(handler));
    return ref;
  }

  // The options the test changes are put back afterwards.
  TOptions savedOptions = GetOptions();
  THolderSettings savedSettings = GetOptionsHolder().Settings;
  ScopedService<TCommandEnvironment, FakeEnvironment> env;
  std::vector<int32_t> runs;
  std::vector<std::pair<int32_t, const void*>> paramRuns;
};

}  // namespace qv
