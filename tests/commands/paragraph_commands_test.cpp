// The paragraph, list and style commands run through the command manager on real documents:
// each applies to the selection or the caret's paragraph as one undo step, toggles back, treats
// mixed selections as the toggles say, and the dialog commands change nothing on Cancel.
#include "commands/command_fixture.h"
#include "../document/doc_builder.h"
#include "../editing/ops/ops_test_support.h"
#include "../editing/table_test_support.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/paragraph_commands.h"
#include "document/auto_list.h"
#include "document/shape.h"
#include "editing/field_edit_services.h"
#include "editing/format_records.h"
#include "editing/object_edit_providers.h"
#include "editing/table_edit_providers.h"
#include "foundation/ui/sound_services.h"

using namespace qv;

namespace {

struct ListProviders {
  ListProviders() {
    auto list = std::make_unique<TEditOperationProviderList>();
    list->Add(MakeTextEditProviders());
    list->Add(MakeObjectEditProviders());
    providers.emplace(std::move(list));
  }
  std::optional<ScopedService<TEditOperationProviders>> providers;
};

// An active document, a mouse mode and the sounds played.
struct ParEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  uint8_t Mode = 0;
  std::vector<int32_t> Sounds;
  TDoc* ActiveDoc() override { return Active; }
  uint8_t MouseMode() override { return Mode; }
  void PlayEventSound(int32_t sound) override { Sounds.push_back(sound); }
};

// Dialogs that answer OK with fixed choices.
struct OkDialogs : TFormatDialogServices {
  std::vector<int32_t> ParFlags;
  bool ExecuteParFormatDialog(TDoc*, TParFormat& format, int32_t flags, int32_t) override {
    ParFlags.push_back(flags);
    format.Alignment = 2;
    format.Style = 5;  // the dialog cannot change the style
    return true;
  }
  bool ExecuteBorderDialog(TDoc&, int16_t&, int32_t& shading, bool) override {
    shading = 0x00FF00;
    return true;
  }
  int32_t Style = -1;
  bool ExecuteEditStyleListDialog(TDoc&, TFormatStyleListInfo& info) override {
    info.StyleIndex = Style;
    return true;
  }
  std::unique_ptr<TAutoList> Chosen;
  bool ExecuteListDialog(TDoc&, const TAutoList*, const std::string&, int32_t, std::unique_ptr<TAutoList>& chosen,
                         bool&) override {
    if (Chosen) {
      chosen = std::make_unique<TAutoList>();
      chosen->Assign(*Chosen);
    }
    return true;
  }
};

// The paragraphs' part of the dump (lists the commands add stay in the list table).
std::string Paragraphs(TDoc& doc) {
  const std::string dump = DumpDoc(doc);
  return dump.substr(0, dump.find("\nS"));
}

class ParagraphCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterParagraphCommands(Manager());
    docEnv->Active = &doc;
    Reset();
  }
  void Reset() {
    SetMainText(doc, {"alpha beta", "gamma delta", "epsilon"});
    doc.EnsureBuiltInStyle(0);
    for (int32_t p = 0; p < 3; ++p) F(p).Style = 0;  // Normal
    doc.ClearUndo();
    Caret(doc, 0, 2);
    doc.SelectionChanged();
  }
  void SelectFirstTwo() {
    Select(doc, {{Pos(0, 2), Pos(1, 3)}});
    doc.SelectionChanged();
  }
  TParFormat& F(int32_t par) { return doc.Par(par)->Format; }

  ScopedService<TCommandEnvironment, ParEnvironment> docEnv;
  OpsScope ops;
  ListProviders full;
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc{true};
};

TEST_F(ParagraphCommandsTest, FormatCommandsApplyToSelectionOrCaretAsOneUndoStep) {
  struct Case {
    const char* name;
    int32_t id;
    int prop;
    int32_t value;
  } cases[] = {
      {"centre", 9081, ppAlignment, 1},
      {"right", 9082, ppAlignment, 2},
      {"justify", 9083, ppAlignment, 3},
      {"first-line indent", 9170, ppFirstIndent, 720},
      {"1.5 lines", 9200, ppLineSpacing, 360},
      {"double", 9220, ppLineSpacing, 480},
      {"space before", 9240, ppSpaceBefore, 240},
      {"space after", 9243, ppSpaceAfter, 240},
      {"keep with next", 9270, ppKeepNext, 1},
      {"keep lines", 9271, ppKeepLines, 1},
      {"page break before", 9272, ppPageBreakBefore, 1},
      {"contextual", 9274, ppContextual, 1},
      {"indent", 9100, ppLeftIndent, 360},
      {"first line outdent", 9140, ppLeftIndent, 360},
      {"more space before", 9251, ppSpaceBefore, 0},  // checked below as grown
  };
  for (bool selection : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (selection ? " (selection)" : " (caret)"));
      Reset();
      if (selection) SelectFirstTwo();
      const std::string before = DumpDoc(doc);
      const int32_t old = GetParFormatProp(F(0), c.prop);
      Manager().Execute(c.id);
      ASSERT_EQ(doc.UndoPosition, 0);  // exactly one operation
      if (c.id == 9251) EXPECT_GT(GetParFormatProp(F(0), c.prop), old);
      else EXPECT_EQ(GetParFormatProp(F(0), c.prop), c.value);
      EXPECT_EQ(GetParFormatProp(F(1), c.prop), selection ? GetParFormatProp(F(0), c.prop) : old);
      EXPECT_EQ(GetParFormatProp(F(2), c.prop), old);
      doc.Undo();
      EXPECT_EQ(DumpDoc(doc), before);
    }
  }
}

TEST_F(ParagraphCommandsTest, TogglesAndStepsGoBack) {
  struct Case {
    const char* name;
    int32_t there, back;
  } cases[] = {
      {"centre then left", 9081, 9080},  {"indent", 9100, 9120},
      {"outdent", 9140, 9160},           {"first-line indent", 9170, 9170},
      {"space before", 9240, 9240},      {"space after", 9243, 9243},
      {"both spaces", 9246, 9246},       {"keep with next", 9270, 9270},
      {"widow control", 9273, 9273},     {"double then single", 9220, 9180},
      {"space before steps", 9251, 9250}, {"space after steps", 9256, 9255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    SelectFirstTwo();
    const TParFormat before0 = F(0), before1 = F(1);
    Manager().Execute(c.there);
    EXPECT_EQ(doc.UndoPosition, 0);
    EXPECT_FALSE(ParFormatsEqual(F(0), before0));
    doc.SelectionChanged();
    Manager().Execute(c.back);
    EXPECT_TRUE(ParFormatsEqual(F(0), before0));
    EXPECT_TRUE(ParFormatsEqual(F(1), before1));
  }
}

TEST_F(ParagraphCommandsTest, MixedSelections) {
  // Keep with next on paragraphs that differ sets it on all of them.
  F(0).KeepNext = 1;
  F(1).KeepNext = 0;
  SelectFirstTwo();
  Manager().Execute(9270);
  EXPECT_EQ(F(0).KeepNext, 1);
  EXPECT_EQ(F(1).KeepNext, 1);
  // Spacing before and after: both become 240 when only one of them was.
  Reset();
  F(0).SpaceBefore = 240;
  F(0).SpaceAfter = 0;
  doc.SelectionChanged();
  Manager().Execute(9246);
  EXPECT_EQ(F(0).SpaceBefore, 240);
  EXPECT_EQ(F(0).SpaceAfter, 240);
  Manager().Execute(9246);
  EXPECT_EQ(F(0).SpaceBefore, 0);
  EXPECT_EQ(F(0).SpaceAfter, 0);
  // Mixed alignments all become centred, and a command that changes nothing records nothing.
  Reset();
  F(1).Alignment = 1;
  SelectFirstTwo();
  Manager().Execute(9081);
  EXPECT_EQ(F(0).Alignment, 1);
  EXPECT_EQ(doc.UndoPosition, 0);
  doc.SelectionChanged();
  Manager().Execute(9081);
  EXPECT_EQ(doc.UndoPosition, 0);
}

TEST_F(ParagraphCommandsTest, AlignmentSoundsItsEvent) {
  for (int32_t id = 9080; id <= 9083; ++id) Manager().Execute(id);
  EXPECT_EQ(docEnv->Sounds, (std::vector<int32_t>{4000, 4001, 4002, 4003}));
}

TEST_F(ParagraphCommandsTest, ResetParagraphFormatGoesBackToTheStyle) {
  F(0).Alignment = 2;
  F(0).LeftIndent = 720;
  doc.SelectionChanged();
  const std::string before = DumpDoc(doc);
  Manager().Execute(9260);
  EXPECT_EQ(F(0).Alignment, 0);
  EXPECT_EQ(F(0).LeftIndent, 0);
  EXPECT_EQ(doc.UndoPosition, 0);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(ParagraphCommandsTest, BulletsAndNumberingGoOnAndOff) {
  struct Case {
    const char* name;
    int32_t id;
    bool bullets;
  } cases[] = {{"bullets", 9320, true}, {"numbering", 9321, false}, {"outline", 9322, false}};
  for (bool selection : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (selection ? " (selection)" : " (caret)"));
      Reset();
      if (selection) SelectFirstTwo();
      const std::string before = Paragraphs(doc);
      Manager().Execute(c.id);
      ASSERT_EQ(doc.UndoPosition, 0);
      const TAutoList* list = doc.ListByNumber(F(0).List);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(list->IsBulletLevel(0), c.bullets);
      EXPECT_EQ(+F(1).List, selection ? +F(0).List : 0);
      EXPECT_EQ(F(2).List, 0);
      doc.Undo();
      EXPECT_EQ(Paragraphs(doc), before);
      doc.Redo();
      doc.SelectionChanged();
      Manager().Execute(c.id);  // on again: off
      EXPECT_LE(F(0).List, 0);
      EXPECT_EQ(doc.UndoPosition, 1);
      // On and off again: the list table does not grow.
      const size_t lists = doc.Lists.size();
      doc.SelectionChanged();
      Manager().Execute(c.id);
      EXPECT_GT(F(0).List, 0);
      EXPECT_EQ(doc.Lists.size(), lists);
    }
  }
}

TEST_F(ParagraphCommandsTest, NumberingReplacesBulletsAndListLevelsStep) {
  SelectFirstTwo();
  Manager().Execute(9322);  // an outline: nine levels
  doc.SelectionChanged();
  const int32_t outline = F(0).List;
  Manager().Execute(9341);  // demote
  EXPECT_EQ(Manager().DisabledReason(), 0);
  EXPECT_EQ(F(0).ListLevel, 1);
  EXPECT_EQ(F(1).ListLevel, 1);
  doc.SelectionChanged();
  Manager().Execute(9340);  // promote
  EXPECT_EQ(F(0).ListLevel, 0);
  doc.SelectionChanged();
  Manager().Execute(9320);  // bullets replace the outline
  EXPECT_NE(+F(0).List, outline);
  ASSERT_NE(doc.ListByNumber(F(0).List), nullptr);
  EXPECT_TRUE(doc.ListByNumber(F(0).List)->IsBulletLevel(0));
  doc.SelectionChanged();
  Manager().Execute(9536);  // remove numbering: the list goes
  EXPECT_LE(F(0).List, 0);
}

TEST_F(ParagraphCommandsTest, FormatBrushTakesTheChangesInsteadOfTheDocument) {
  docEnv->Mode = 2;
  ClearParFormatClipboard();
  const std::string before = DumpDoc(doc);
  Manager().Execute(9081);
  EXPECT_EQ(ParFormatClipboard().Format.Alignment, 1);
  Manager().Execute(9081);  // twice: the brush drops the alignment
  EXPECT_EQ(ParFormatClipboard().Format.Alignment, ParUnset8);
  Manager().Execute(9220);
  EXPECT_EQ(+ParFormatClipboard().Format.LineSpacing, 480);
  // A style chosen for the brush: it carries the style's name alone.
  TVarCommand_Param style;
  style.Text = "Normal";
  Manager().ExecuteWithParam(209050, &style);
  EXPECT_EQ(ParFormatClipboard().Text, "Normal");
  EXPECT_TRUE(IsParFormatEmpty(ParFormatClipboard().Format));
  EXPECT_EQ(DumpDoc(doc), before);
  EXPECT_TRUE(doc.UndoList.empty());
  ClearParFormatClipboard();
}

TEST_F(ParagraphCommandsTest, CopyAndPasteParagraphFormat) {
  ClearParFormatClipboard();
  F(0).Alignment = 3;
  F(0).SpaceAfter = 120;
  doc.SelectionChanged();
  Manager().Execute(9020);
  EXPECT_TRUE(ParFormatClipboard().Filled);
  EXPECT_TRUE(doc.UndoList.empty());
  Caret(doc, 2, 0);
  doc.SelectionChanged();
  Manager().Execute(9040);
  EXPECT_EQ(F(2).Alignment, 3);
  EXPECT_EQ(F(2).SpaceAfter, 120);
  EXPECT_EQ(doc.UndoPosition, 0);
  // A format copied elsewhere pastes without the style and the list this document lacks.
  TParFormat foreign = F(0);
  foreign.Style = 40;
  foreign.List = 77;
  foreign.ListLevel = 2;
  foreign.Alignment = 2;
  CopyParFormatToClipboard(foreign);
  Manager().Execute(9040);
  EXPECT_EQ(F(2).Alignment, 2);
  EXPECT_EQ(F(2).Style, 0);
  EXPECT_EQ(+F(2).List, 0);
  EXPECT_EQ(F(2).ListLevel, DefaultParFormat.ListLevel);
  ClearParFormatClipboard();
}

TEST_F(ParagraphCommandsTest, DialogCommandsChangeNothingOnCancel) {
  SelectFirstTwo();
  const std::string before = DumpDoc(doc);
  for (int32_t id : {9000, 9001, 9002, 9060, 9235, 9285, 9300, 9301, 9315, 9330, 9331, 9332, 9600, 9615})
    Manager().Execute(id);
  EXPECT_EQ(DumpDoc(doc), before);
  EXPECT_TRUE(doc.UndoList.empty());
}

TEST_F(ParagraphCommandsTest, StylesApplyByNameAsOneStep) {
  doc.EnsureBuiltInStyle(1);
  const int32_t heading = doc.Styles->IndexOfBuiltIn(1);
  ASSERT_GE(heading, 0);
  SelectFirstTwo();
  const std::string before = DumpDoc(doc);
  TVarCommand_Param param;
  param.Text = "Heading 1";
  Manager().ExecuteWithParam(209050, &param);
  EXPECT_EQ(F(0).Style, heading);
  EXPECT_EQ(F(1).Style, heading);
  EXPECT_EQ(F(2).Style, 0);
  EXPECT_EQ(F(0).OutlineLevel, 0);
  EXPECT_EQ(doc.UndoPosition, 0);
  doc.SelectionChanged();
  param.Text = "Normal";
  Manager().ExecuteWithParam(209050, &param);
  EXPECT_EQ(F(0).Style, 0);
  doc.Undo();
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
  // A missing style is offered as a new one; No changes nothing.
  box->Answer = mrNo;
  param.Text = "Quotation block";
  Manager().ExecuteWithParam(209050, &param);
  EXPECT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(ParagraphCommandsTest, OutlineLevelIsOneStep) {
  SelectFirstTwo();
  const std::string before = DumpDoc(doc);
  int32_t level = 2;
  Manager().ExecuteWithParam(209150, &level);
  EXPECT_EQ(F(0).OutlineLevel, 2);
  EXPECT_EQ(F(1).OutlineLevel, 2);
  EXPECT_EQ(doc.UndoPosition, 0);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(ParagraphCommandsTest, StartNewListAndResumePreviousList) {
  Select(doc, {{Pos(0, 0), Pos(2, 3)}});
  doc.SelectionChanged();
  Manager().Execute(9321);
  const int32_t numbers = F(0).List;
  ASSERT_GT(numbers, 0);
  Caret(doc, 1, 2);
  doc.SelectionChanged();
  Manager().Execute(9350);  // the numbering restarts here for the rest of the list
  EXPECT_EQ(+F(0).List, numbers);
  EXPECT_NE(F(1).List, numbers);
  EXPECT_EQ(F(2).List, F(1).List);
  EXPECT_EQ(doc.UndoPosition, 1);
  doc.SelectionChanged();
  Manager().Execute(9351);  // and joins the earlier list again
  EXPECT_EQ(F(1).List, numbers);
  EXPECT_EQ(F(2).List, numbers);
  EXPECT_EQ(doc.UndoPosition, 2);
}

TEST_F(ParagraphCommandsTest, SelectListAndConvertToManualList) {
  Select(doc, {{Pos(0, 0), Pos(1, 3)}});
  doc.SelectionChanged();
  Manager().Execute(9321);
  Caret(doc, 0, 1);
  doc.SelectionChanged();
  Manager().Execute(9562);
  ASSERT_TRUE(doc.HasSelection());
  EXPECT_EQ(doc.Selection->GetExtent().Start.Par, 0);
  EXPECT_EQ(doc.Selection->GetExtent().End.Par, 1);
  Manager().Execute(9380);
  EXPECT_LE(+F(0).List, 0);
  EXPECT_LE(F(1).List, 0);
}

TEST_F(ParagraphCommandsTest, SelectingAListLeavesTheMarkOfACellItSharesWithOtherText) {
  TDoc table{true};
  BuildTable(table, {{"a+b", "c"}});  // before | a | b (cell end) | c (cell end) | row end | after
  ASSERT_EQ(table.Par(2)->CodeAt(table.ParLength(2) - 1), scCellEnd);
  auto list = std::make_unique<TAutoList>();
  list->Number = 1;
  table.Lists.push_back(std::move(list));
  table.Par(2)->Format.List = table.Par(3)->Format.List = 1;
  table.Par(2)->Format.ListLevel = table.Par(3)->Format.ListLevel = 0;
  docEnv->Active = &table;
  Caret(table, 2, 0);
  table.SelectionChanged();
  Manager().Execute(9562);
  ASSERT_TRUE(table.HasSelection());
  bool bWithoutMark = false, cWhole = false;
  for (int32_t i = 0; i < table.Selection->Count(); ++i) {
    const TDocRange& r = *table.Selection->GetRange(i);
    if (r.Start.Par <= 2 && r.End.Par == 2) bWithoutMark = r.End.Offset == table.ParLength(2) - 1;
    if (r.End.Par >= 3 || (r.Start.Par <= 3 && r.End.Par > 3)) cWhole = true;
  }
  EXPECT_TRUE(bWithoutMark);
  EXPECT_TRUE(cWhole);
  docEnv->Active = &doc;
}

TEST_F(ParagraphCommandsTest, StyleControlledListsAskAndChangeNothingOnNo) {
  Manager().Execute(9320);
  const int32_t list = F(0).List;
  ASSERT_GT(list, 0);
  (*doc.Styles)[0].ParFmt.List = list;  // Normal now owns the list
  doc.SelectionChanged();
  box->Answer = mrNo;
  const std::string before = DumpDoc(doc);
  for (int32_t id : {9371, 9535}) Manager().Execute(id);
  EXPECT_EQ(box->Texts.size(), 2u);
  EXPECT_NE(box->Texts[0].find("command formats lists directly"), std::string::npos);
  EXPECT_NE(box->Texts[0].find("select the associated \"Normal\" style"), std::string::npos);
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(ParagraphCommandsTest, BulletPictureGoesToTheClipboardThroughAHiddenDocument) {
  Manager().Execute(9320);
  TAutoList* list = doc.ListByNumber(F(0).List);
  ASSERT_NE(list, nullptr);
  TShape* bullet = doc.AddShape(std::make_unique<TShape>(&doc));
  list->ListLevels[0].PictureBullet = bullet;
  doc.SelectionChanged();
  RecHandler& edit = Handle(CommandRange::Edit);
  const TDoc* copied = nullptr;
  bool onePicture = false;
  edit.OnRun = [&](TCommandManager&, int32_t) {
    copied = GetCommandTargetDoc();
    onePicture = copied->HasSelection() && copied->IsInlineShapeSelected();
  };
  Manager().Execute(9532);
  EXPECT_EQ(runs, (std::vector<int32_t>{3340}));
  EXPECT_NE(copied, &doc);
  EXPECT_TRUE(onePicture);
  EXPECT_EQ(GetCommandTargetDoc(), &doc);
}

TEST_F(ParagraphCommandsTest, DialogChoicesApplyAsOneStep) {
  ScopedService<TFormatDialogServices, OkDialogs> dialogs;
  doc.EnsureBuiltInStyle(1);
  SelectFirstTwo();
  Manager().Execute(9000);
  EXPECT_EQ(F(0).Alignment, 2);
  EXPECT_EQ(F(1).Alignment, 2);
  EXPECT_EQ(F(0).Style, 0);
  EXPECT_EQ(dialogs->ParFlags, (std::vector<int32_t>{0}));
  EXPECT_EQ(doc.UndoPosition, 0);
  doc.SelectionChanged();
  Manager().Execute(9285);
  EXPECT_EQ(F(0).Shading, 0x00FF00);
  EXPECT_EQ(doc.UndoPosition, 1);
  doc.SelectionChanged();
  dialogs->Style = doc.Styles->IndexOfBuiltIn(1);
  Manager().Execute(9300);
  EXPECT_EQ(F(0).Style, dialogs->Style);
  EXPECT_EQ(doc.UndoPosition, 2);
  // The list dialog: a chosen list is applied, none removes the list.
  doc.SelectionChanged();
  std::vector<std::unique_ptr<TAutoList>> gallery;
  int32_t selected = 0;
  TFormatDialogServices().LoadListGallery(1, gallery, selected);
  dialogs->Chosen = std::move(gallery[0]);
  Manager().Execute(9315);
  ASSERT_GT(+F(0).List, 0);
  EXPECT_TRUE(doc.ListByNumber(F(0).List)->IsNumberedLevel(0));
  doc.SelectionChanged();
  dialogs->Chosen.reset();
  Manager().Execute(9315);
  EXPECT_LE(F(0).List, 0);
  EXPECT_EQ(doc.UndoPosition, 4);
}

}  // namespace
