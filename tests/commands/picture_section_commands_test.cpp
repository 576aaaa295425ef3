// The section, page number, drop cap, Format Brush and Format Palette commands of the picture,
// section and table handler through the command manager: each change one undo step that undo
// takes back exactly, tools and dialogs reached through their services.
#include <gtest/gtest.h>

#include "../editing/table_test_support.h"
#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/format_dialog_services.h"
#include "commands/picture_section_commands.h"
#include "document/drop_cap_metrics.h"
#include "document/drop_caps.h"
#include "document/section.h"
#include "editing/object_edit_providers.h"
#include "editing/ops/text_edit_providers.h"
#include "foundation/ui/message_dlg_service.h"

using namespace qv;

namespace {

struct SectionEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  int32_t Highlighted = -1;
  int32_t Current = -1;
  std::vector<int32_t> Tools, Menus, Sounds;
  std::vector<std::string> Palette;
  uint8_t Mode = 0;
  TDoc* ActiveDoc() override { return Active; }
  void RequestInterfaceUpdate() override {}
  void PlayEventSound(int32_t sound) override { Sounds.push_back(sound); }
  uint8_t MouseMode() override { return Mode; }
  bool ToolRule(int32_t, bool& enabled, uint8_t&) override {
    enabled = true;
    return true;
  }
  void SetSectionsToolCurrent(TDoc&, int32_t index) override { Current = index; }
  int32_t SectionsToolHighlighted(TDoc&) override { return Highlighted; }
  void SelectControlBoardTool(int32_t tool) override { Tools.push_back(tool); }
  void DropButtonMenu(int32_t id) override { Menus.push_back(id); }
  void FormatPaletteAddFormat() override { Palette.push_back("add"); }
  void FormatPaletteEditFormat(int32_t id) override { Palette.push_back("edit " + std::to_string(id)); }
  void FormatPaletteDeleteFormat() override { Palette.push_back("delete"); }
  void FormatPaletteRestoreDefaults() override { Palette.push_back("defaults"); }
  void FormatPaletteLoadIntoBrush() override { Palette.push_back("load"); }
  void FormatPaletteApplyFormat() override { Palette.push_back("apply"); }
};

struct SectionDialogs : TFormatDialogServices {
  bool Ok = true;
  int32_t Format = 3, Start = 7;
  std::pair<int32_t, int32_t> Shown;
  TDropCapChoice DropCap;
  TDropCapChoice DropCapShown;
  bool ExecutePageNumberFormatDialog(int32_t& format, int32_t& start) override {
    Shown = {format, start};
    format = Format;
    start = Start;
    return Ok;
  }
  bool ExecuteDropCapDialog(TDropCapChoice& choice) override {
    DropCapShown = choice;
    choice = DropCap;
    return Ok;
  }
};

struct FlatMetrics : TDropCapMetrics {
  int32_t LineHeight(const TCharFormat&) override { return 320; }
  void GlyphExtent(const TCharFormat&, int32_t halfPoints, const std::u16string&, int32_t& ascent,
                   int32_t& descent) override {
    ascent = halfPoints * 10;
    descent = halfPoints * 2;
  }
};

std::unique_ptr<TEditOperationProviders> AllProviders() {
  auto list = std::make_unique<TEditOperationProviderList>();
  list->Add(MakeTextEditProviders());
  list->Add(MakeObjectEditProviders());
  list->Add(MakeTableEditProviders());
  return list;
}

class PictureSectionCommandsTest : public ::testing::Test {
 protected:
  PictureSectionCommandsTest() {
    FreeCommandManager();
    RegisterPictureSectionCommands(GetCommandManager());
    env->Active = &doc;
  }
  ~PictureSectionCommandsTest() override { FreeCommandManager(); }

  // "a" | break | "b" | break | "c": three sections of one paragraph each.
  void ThreeSections() {
    TDocBuilder b(doc);
    b.SectionBreak("a", sbNextPage);
    b.SectionBreak("b", sbNextPage);
    b.Add("c");
    b.Finish();
    doc.SectionRangesStale = true;
    doc.UpdateSectionRanges();
    doc.ClearUndo();
  }
  void Caret(int32_t par, int32_t offset = 0) {
    doc.ClearSelection();
    MakePosition(par, offset, doc.Caret);
    doc.SelectionChanged();
  }
  int32_t Run(int32_t id) {
    const int32_t before = doc.UndoPosition;
    GetCommandManager().Execute(id);
    return doc.UndoPosition - before;
  }
  // Runs the command as one step that undo takes back exactly.
  void RunOneStep(int32_t id) {
    const std::string before = TableDump(doc);
    EXPECT_EQ(Run(id), 1) << id;
    doc.Undo();
    EXPECT_TRUE(TableDump(doc) == before) << id;
    Run(id);
  }
  std::string BreakKinds() {
    doc.UpdateSectionRanges();
    std::string s;
    for (auto& section : doc.Sections) s += std::to_string(section->Format.BreakKind);
    return s;
  }

  TTableEngineScope scope;
  ScopedService<TEditOperationProviders> providers{AllProviders()};
  ScopedService<TCommandEnvironment, SectionEnvironment> env;
  ScopedService<TFormatDialogServices, SectionDialogs> dialogs;
  ScopedService<TMessageDlgService> box;
  ScopedService<TDropCapMetrics, FlatMetrics> metrics;
  TDoc doc{true};
};

TEST_F(PictureSectionCommandsTest, SectionBreakKindsAndMerging) {
  ThreeSections();
  ASSERT_EQ(BreakKinds(), "111");
  Caret(0);
  RunOneStep(15650);  // continuous
  EXPECT_EQ(BreakKinds(), "011");
  EXPECT_EQ(env->Current, 0);
  Caret(1);
  RunOneStep(15653);  // odd page
  EXPECT_EQ(BreakKinds(), "031");

  Caret(0);
  RunOneStep(15641);
  EXPECT_EQ(doc.Sections.size(), 2u);
  Caret(1);  // the remaining break
  RunOneStep(15642);
  EXPECT_EQ(doc.Sections.size(), 1u);
  // Without a break at the caret the rules refuse.
  Caret(0);
  EXPECT_EQ(Run(15650), 0);
}

TEST_F(PictureSectionCommandsTest, SectionsToolMergesTheHighlightedSectionAndSelectsIt) {
  ThreeSections();
  env->Highlighted = 1;
  RunOneStep(15662);  // with the previous one
  EXPECT_EQ(doc.Sections.size(), 2u);
  doc.Undo();
  ASSERT_EQ(doc.Sections.size(), 3u);
  RunOneStep(15663);  // with the next one
  EXPECT_EQ(doc.Sections.size(), 2u);
  doc.Undo();

  env->Highlighted = 1;
  Caret(0);
  Run(15661);
  ASSERT_TRUE(doc.HasSelection());
  const TDocRange r = *doc.Selection->GetRange(0);
  EXPECT_EQ(r.Start.Par, 1);
  EXPECT_EQ(r.End.Par, 1);
  Run(15675);
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.Caret.Par, 1);

  Caret(0);
  Run(15643);
  EXPECT_EQ(env->Current, 0);
  EXPECT_EQ(env->Tools, std::vector<int32_t>{3});
}

TEST_F(PictureSectionCommandsTest, PageNumberFormatIsOneStepAndCancelChangesNothing) {
  ThreeSections();
  Caret(1);
  RunOneStep(15700);
  EXPECT_EQ(dialogs->Shown, (std::pair<int32_t, int32_t>{0, -1}));  // the section's own values
  EXPECT_EQ(doc.Sections[1]->PageNumberFormat, 3);
  EXPECT_EQ(doc.Sections[1]->PageNumberStart, 7);
  EXPECT_EQ(doc.Sections[0]->PageNumberFormat, 0);
  dialogs->Ok = false;
  dialogs->Format = 1;
  EXPECT_EQ(Run(15700), 0);
  dialogs->Ok = true;
  EXPECT_EQ(Run(15700), 1);  // a change of the format only
  EXPECT_EQ(Run(15700), 0);  // the same values again: nothing
}

TEST_F(PictureSectionCommandsTest, DropCapsMadeChangedAndRemoved) {
  SetMainText(doc, {"Hello world", "second"});
  doc.ClearUndo();
  Caret(0, 2);
  dialogs->DropCap.Kind = 1;
  dialogs->DropCap.Lines = 2;
  RunOneStep(15130);
  ASSERT_NE(doc.GetDropCapField(0), nullptr);
  EXPECT_EQ(DropCapSettingsOf(*doc.GetDropCapField(0)).Lines, 2);

  // The dialog is preset from the drop cap; kind 0 removes it.
  Caret(0, 0);
  doc.Selection->SetSingleRange(0, 0, 0, 3);
  doc.SelectionChanged();
  dialogs->DropCap.Kind = 0;
  EXPECT_EQ(Run(15130), 1);
  EXPECT_EQ(dialogs->DropCapShown.Lines, 2);
  EXPECT_EQ(doc.GetDropCapField(0), nullptr);
  doc.Undo();
  ASSERT_NE(doc.GetDropCapField(0), nullptr);
  Caret(0, 0);
  doc.Selection->SetSingleRange(0, 0, 0, 3);
  doc.SelectionChanged();
  EXPECT_EQ(Run(15132), 1);
  EXPECT_EQ(doc.GetDropCapField(0), nullptr);
  dialogs->Ok = false;
  EXPECT_EQ(Run(15130), 0);
}

TEST_F(PictureSectionCommandsTest, FormatPaletteAndMenusGoToTheirTools) {
  ThreeSections();
  Caret(0);
  for (int32_t id : {15800, 15811, 15814, 15820, 15825, 15830, 15835}) Run(id);
  EXPECT_EQ(env->Palette, (std::vector<std::string>{"add", "edit 15811", "edit 15814", "delete", "defaults",
                                                    "load", "apply"}));
  Run(15640);
  EXPECT_EQ(env->Menus, std::vector<int32_t>{15640});
}

TEST_F(PictureSectionCommandsTest, CompareFormattingStoresOneOrTwoRangesAndOtherwiseWaits) {
  SetMainText(doc, {"alpha beta gamma"});
  auto select = [this](std::vector<std::pair<int32_t, int32_t>> spans) {
    doc.Selection->SetCount(static_cast<int32_t>(spans.size()));
    for (size_t i = 0; i < spans.size(); ++i)
      MakeRange(0, spans[i].first, 0, spans[i].second, *doc.Selection->GetRange(static_cast<int32_t>(i)));
    doc.Caret = doc.Selection->GetRange(0)->End;
  };
  select({{0, 5}, {6, 10}, {11, 16}});
  Run(17005);
  EXPECT_EQ(doc.CompareFormatState, 1);  // three ranges: waiting
  doc.CompareFormatState = 0;
  select({{0, 5}, {6, 10}});
  Run(17005);
  EXPECT_EQ(doc.CompareFormatState, 3);
  EXPECT_EQ(doc.CompareFragments[1]->GetRange(0)->Start.Offset, 6);
  select({{11, 16}});
  Run(17005);
  EXPECT_EQ(doc.CompareFormatState, 2);
  EXPECT_EQ(doc.CompareFragments[0]->GetRange(0)->Start.Offset, 11);
  EXPECT_EQ(doc.Caret.Offset, 11);
  select({{0, 5}});
  Run(17005);
  EXPECT_EQ(doc.CompareFormatState, 1);
}

}  // namespace
