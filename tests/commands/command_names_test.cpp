#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "commands/command_categories.h"
#include "commands/command_fixture.h"
#include "../document/doc_builder.h"
#include "document/compound_fragment.h"
#include "commands/command_manager.h"
#include "foundation/base/string_utils.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/hotkey_services.h"
#include "layout/pictures/resource_service.h"

using namespace qv;

namespace {

// A packed id-to-text table: count, sorted ids, entries (offset << 10 | length), texts.
std::vector<uint8_t> Pack(const std::map<int32_t, std::string>& texts) {
  std::vector<uint8_t> out;
  auto put = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(static_cast<uint32_t>(texts.size()));
  for (const auto& [id, text] : texts) put(static_cast<uint32_t>(id));
  uint32_t offset = 4 + 8 * static_cast<uint32_t>(texts.size());
  for (const auto& [id, text] : texts) {
    put(offset << 10 | static_cast<uint32_t>(text.size()));
    offset += static_cast<uint32_t>(text.size());
  }
  for (const auto& [id, text] : texts) out.insert(out.end(), text.begin(), text.end());
  return out;
}

class HintResources : public TResourceService {
 public:
  std::vector<uint8_t> Names = Pack({{180, "Save"},
                                     {290, "Print Preview"},
                                     {291, "Close Print Preview"},
                                     {3510, "Copy Font Format"},
                                     {4531, "Insert Hyperlink"},
                                     {4601, "Update Table of Contents"},
                                     {12120, "Bold"},
                                     {16190, "Header Rows"},
                                     {212200, "Font Size"},
                                     {704, "Highlight"},
                                     {705, "Font Color"},
                                     {9270, "Keep With Next"}});
  std::vector<uint8_t> Hints = Pack({{12120, "Makes the selected text bold.#204000"},
                                     {180, "Saves the document to version 2"},
                                     {212200, "Sizes from 1%5 to 1638 points."}});
  std::span<const uint8_t> Find(const std::string& name, const std::string& type) override {
    if (type != "COMMANDHINTS") return {};
    if (name == "COMMANDHINTS") return Names;
    if (name == "COMMANDEXTHINTS") return Hints;
    return {};
  }
};

class CommandNamesTest : public CommandTest {
 protected:
  ~CommandNamesTest() override {
    GetOptions().Internal.NavObjType = 4;
    GetOptions().LoadSave.AutoSave = 3;
    GetOptions().View.DocMap_Lvls = 8;
    PortableMode = false;
  }
  void WithDocument() { env->Active = &doc; }

  ScopedService<TResourceService, HintResources> resources;
  TDoc doc{true};
};

TEST_F(CommandNamesTest, NamesWithShortcutsCategoriesAndFallback) {
  env->Keys = {{12120, "Ctrl+B"}, {290, "Ctrl+F2"}};
  struct Row {
    int32_t id;
    bool shortcut, category, noFallback;
    std::string expected;
  };
  const Row rows[] = {
      {12120, false, false, false, "Bold"},
      {12120, true, false, false, "Bold (Ctrl+B)"},
      {12120, false, true, false, "Bold (Category: Font)"},
      {12120, true, true, false, "Bold (Ctrl+B) (Category: Font)"},
      {180, true, false, false, "Save"},  // no key bound: no brackets
      {291, true, false, false, "Close Print Preview (Ctrl+F2)"},  // the key of 290
      {4537, false, false, false, "Insert Hyperlink"},             // the twin 4531
      {4601, false, true, false, "Update Table of Contents (Category: Table of Contents)"},
      {3510, false, true, false, "Copy Font Format (Category: Font)"},
      {99999, false, false, false, "Unknown command"},
      {99999, false, false, true, ""},
      {-1, true, true, false, "Unknown command"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Manager().GetCommandName(row.id, row.shortcut, row.category, row.noFallback),
              row.expected)
        << row.id;
}

TEST_F(CommandNamesTest, SubstitutedNamesFollowThePortableFlagAndTheBrowseObject) {
  // An installed program offers a copy on a removable drive; a portable copy offers the PC.
  EXPECT_EQ(Manager().GetCommandName(660), "Install to removable drive");
  PortableMode = true;
  EXPECT_EQ(Manager().GetCommandName(660), "Install to PC");
  struct Row {
    uint8_t object;
    int32_t id;
    std::string expected;
  };
  const Row rows[] = {{4, 4226, "Next page"},          {4, 4225, "Previous page"},
                      {0, 4225, "Previous find"},       {12, 4226, "Next table"},
                      {11, 4225, "Previous overlong sentence"},
                      {13, 4226, "Unknown command"}};  // a damaged setting reads no further
  for (const Row& row : rows) {
    GetOptions().Internal.NavObjType = row.object;
    EXPECT_EQ(Manager().GetCommandName(row.id), row.expected) << int(row.object);
  }
}

TEST_F(CommandNamesTest, ALongHintWithItsHelpIdShortcutAndClosingLine) {
  WithDocument();
  env->Keys = {{12120, "Ctrl+B"}};
  int32_t helpId = -1;
  EXPECT_EQ(Manager().GetExtHint(12120, helpId),
            "^bBold^d     ^b^CCtrl+B^d^p^pMakes the selected text bold."
            "^p^pSince there is no selection in the active document, and the \"Format without "
            "selection\" option is unchecked on the \"Edit\" tab of the \"Tools | Options...\" "
            "dialog, this command has no immediate effect. New formatting would be automatically "
            "applied to any new text you type at the current location in the document."
            "^p^pPress ^bF1^d for more details.");
  EXPECT_EQ(helpId, 204000);
}

TEST_F(CommandNamesTest, AHintThatMerelyEndsInANumberKeepsItAndHasNoHelpId) {
  WithDocument();
  doc.Modified = 1;  // Save is available
  int32_t helpId = -1;
  EXPECT_EQ(Manager().GetExtHint(180, helpId), "^bSave^d^p^pSaves the document to version 2");
  EXPECT_EQ(helpId, 0);
}

TEST_F(CommandNamesTest, TheFontSizeHintUsesTheLocalesDecimalSeparator) {
  WithDocument();
  env->Mode = 2;  // brush mode keeps the notes short
  int32_t helpId = 0;
  const std::string hint = Manager().GetExtHint(212200, helpId);
  EXPECT_NE(hint.find("Sizes from 1" + LocaleDecimalSeparator() + "5 to 1638 points."),
            std::string::npos)
      << hint;
}

TEST_F(CommandNamesTest, AnUnavailableCommandsHintTellsWhy) {
  int32_t helpId = 0;
  EXPECT_EQ(Manager().GetExtHint(99999, helpId), "^b^d");  // outside every range: enabled
  EXPECT_EQ(Manager().GetExtHint(180, helpId),
            "^bSave^d^p^pSaves the document to version 2^p^pThis command is currently "
            "unavailable because there is no active document.");
  ToolbarCustomizing = true;
  const std::string customising = Manager().GetExtHint(180, helpId);
  ToolbarCustomizing = false;
  EXPECT_EQ(customising, "^bSave^d^p^pSaves the document to version 2");
}

TEST_F(CommandNamesTest, StateNotesOfTheFormattingCommands) {
  WithDocument();
  struct Row {
    const char* name;
    int32_t id;
    uint8_t mode;
    bool selection;
    std::set<std::pair<bool, int32_t>> brushUnset, currentUnset;
    std::string ending;
  };
  const std::string brush =
      "^p^pSince the Format Brush mode is on, this command changes the formatting borne by the "
      "Format Brush.";
  const std::string excluded =
      "^p^pThis formatting attribute is currently excluded from the Format Brush. The Format "
      "Brush will not modify the corresponding formatting of document text.";
  const std::string f1 = "^p^pPress ^bF1^d for more details.";  // bold has a help topic
  const Row rows[] = {
      {"bold excluded from the brush", 12120, 2, false, {{false, 2}}, {}, brush + excluded + f1},
      {"bold carried by the brush", 12120, 2, false, {}, {}, brush + f1},
      {"mixed bold", 12120, 0, true, {}, {{false, 2}},
       "^p^pWould be applied to the current selection.^p^pThe selected text contains both bold "
       "and non-bold fragments." + f1},
      {"keep with next, no selection", 9270, 0, false, {}, {},
       "^p^pWould be applied to the current paragraph."},
      {"mixed keep with next", 9270, 0, true, {}, {{true, 6}},
       "^p^pWould be applied to the selected paragraphs.^p^pThe selected text contains both "
       "\"keep with next\" and not \"keep with next\" paragraphs."},
      {"highlight mode", 704, 4, false, {}, {}, "Highlight mode from the drop-down list of this "
                                                "command."},
      {"font color mode", 705, 5, false, {}, {},
       "^p^pThe Font Color mode is on. Now you can apply the chosen font color to text fragments "
       "by selecting them with the mouse. The chosen font color would also be applied to any "
       "text that you type under the Font Color mode.^p^pClick this command to cancel the Font "
       "Color mode, or choose another color for the Font Color mode from the drop-down list of "
       "this command."},
      {"font color left out of the brush", 705, 2, false, {{false, 15}}, {},
       brush + excluded + "^pTo include font color in the Format Brush, choose the desired color "
                          "from the drop-down menu of this command."},
      {"highlight with a selection", 704, 0, true, {}, {},
       "^p^pClick this command to apply the current highlight color to the selected text. To "
       "apply a different color, choose it from the drop-down list of this command."},
  };
  for (const Row& row : rows) {
    env->Mode = row.mode;
    env->Selected.clear();
    if (row.selection) env->Selected.insert(&doc);
    env->BrushUnset = row.brushUnset;
    env->CurrentUnset = row.currentUnset;
    int32_t helpId = 0;
    const std::string hint = Manager().GetExtHint(row.id, helpId);
    ASSERT_GE(hint.size(), row.ending.size()) << row.name;
    EXPECT_EQ(hint.substr(hint.size() - row.ending.size()), row.ending) << row.name;
  }
}

TEST_F(CommandNamesTest, TheHeaderRowsHintNotesAMixedTableSelection) {
  TDoc table(true);
  TDocBuilder build(table);
  TTableRow* first = build.Row({"a", "b"});
  build.Row({"c", "d"});
  build.Add("after");
  build.Finish();
  env->Active = &table;
  table.CurParFormat.InTable = 1;
  first->HeaderRow = 1;
  table.Caret.Par = 0;  // the caret in the header row
  int32_t helpId = 0;
  EXPECT_EQ(Manager().GetCheckState(16190), 1);
  EXPECT_EQ(Manager().GetExtHint(16190, helpId), "^bHeader Rows^d");
  // A selection from the header row into the row below mixes the two.
  if (!table.Selection) table.Selection = AcquireFragment();
  table.Selection->SetSingleRange(0, 0, 3, 1);
  table.Selection->RefreshLastRange();
  EXPECT_EQ(Manager().GetCheckState(16190), 2);
  EXPECT_EQ(Manager().GetExtHint(16190, helpId),
            "^bHeader Rows^d^p^pThe table selection contains a mix of header rows and non-header "
            "rows.");
}

TEST_F(CommandNamesTest, SaveHintsOfTheVadureVaviTellWhenItIsSaved) {
  WithDocument();
  env->VadureVavi = &doc;
  int32_t helpId = 0;
  GetOptions().LoadSave.AutoSave = 0;
  EXPECT_NE(Manager().GetExtHint(180, helpId).find(
                "^p^pThe Vadure Vavi is automatically saved to file on Quorvane close. If you"),
            std::string::npos);
  GetOptions().LoadSave.AutoSave = 5;
  EXPECT_NE(Manager().GetExtHint(220, helpId).find(
                "^p^pThe Vadure Vavi is automatically saved to file every 5 minute(s) and on "
                "Quorvane close."),
            std::string::npos);
}

TEST_F(CommandNamesTest, ReasonTextsFillTheirNumberAndStyleName) {
  TDoc other(true);
  env->Active = &other;
  struct Row {
    uint8_t code;
    std::string expected;
  };
  GetOptions().View.DocMap_Lvls = 3;
  env->StyleName = "Quote %s 100%";  // taken literally
  const Row rows[] = {
      {7, "nothing is selected in the active document"},
      {61, "the document contains no paragraphs associated with the \"Heading 1\"..\"Heading 4\" "
           "style"},
      {63, "some of the selected headings are of level 4, and can't be demoted even further"},
      {69, "no paragraphs are formatted with the \"Quote %s 100%\" style, or such paragraphs are "
           "part of currently unavailable portions of the document"},
      {70, "the \"Quote %s 100%\" style is the default style and cannot be deleted"},
      {111, "the first selected paragraph is blank, or begins with a space or special character"},
  };
  for (const Row& row : rows) {
    Handle(CommandRange::Edit).Refused = {{3000, row.code}};
    EXPECT_FALSE(Manager().IsEnabled(3000));
    EXPECT_EQ(Manager().GetDisabledReasonText(), row.expected) << int(row.code);
  }
}

TEST_F(CommandNamesTest, CategoryListsTakeEachIdOnceInFirstOccurrenceOrder) {
  constexpr uint32_t kFont = 1u << 2, kParagraph = 1u << 3, kFile = 1u << 0, kEdit = 1u << 1;
  TStringList list;
  Manager().FillCategoryList(list, kFont | kParagraph);
  const auto& font = Categories()[2].Ids;
  const auto& paragraph = Categories()[3].Ids;
  ASSERT_EQ(list.Count(), static_cast<int32_t>(font.size() + paragraph.size() - 2));
  EXPECT_EQ(list.IndexOfObject(3510), 38);  // its place in the Font list
  EXPECT_EQ(list.Objects(0), 212100);
  EXPECT_EQ(list.Strings(list.IndexOfObject(12120)), "Bold");
  EXPECT_EQ(list.Strings(list.IndexOfObject(12060)), "");  // no name: empty
  EXPECT_EQ(list.Objects(list.Count() - 1), 9000);

  TStringList fileAndEdit;
  Manager().FillCategoryList(fileAndEdit, kFile | kEdit);
  EXPECT_EQ(fileAndEdit.IndexOfObject(3510), -1);
  EXPECT_EQ(fileAndEdit.Objects(0), 100);
  // Already listed ids are kept as they are.
  TStringList again;
  again.Add("mine", 12120);
  Manager().FillCategoryList(again, kFont);
  EXPECT_EQ(again.Strings(0), "mine");
  EXPECT_EQ(again.Count(), static_cast<int32_t>(font.size()));
}

TEST(CommandCategories, BarNumbersNamesAndFirstCategory) {
  const std::pair<int32_t, uint8_t> bars[] = {{1, 0},  {28, 13}, {27, 31}, {29, 21},
                                              {26, 30}, {99, 255}, {0, 255}};
  for (const auto& [bar, index] : bars) EXPECT_EQ(CategoryOfBarNumber(bar), index) << bar;
  EXPECT_EQ(CategoryDisplayName(12), "Table of Contents");
  EXPECT_EQ(CategoryDisplayName(15), "Header & Footer");
  EXPECT_EQ(Categories()[15].Name, "Header &\rFooter");
  EXPECT_EQ(FirstCategoryOfCommand(5074), 22);
  EXPECT_EQ(FirstCategoryOfCommand(640), 6);
  EXPECT_EQ(FirstCategoryOfCommand(1), kNoCategory);
  EXPECT_TRUE(Categories()[7].Ids.empty());
  EXPECT_EQ(Categories()[5].Ids.back(), 90113);
}

TEST(CommandCaptions, ParameterisedAndClipboardCaptions) {
  std::string red;
  TColorManager::GetColorName(0x0000FF, red);
  struct Row {
    int32_t kind;
    TVarCommand_Param param;
    std::string expected;
  };
  const Row rows[] = {
      {0, {"Arial", 0}, "Font (Arial)"},
      {1, {"", 21}, "Font size (10.5 pt)"},
      {1, {"", 24}, "Font size (12 pt)"},
      {1, {"", 1}, "Font size (0.5 pt)"},
      {2, {"", static_cast<int32_t>(0xFF000000u)}, "Font color (Auto)"},
      {3, {"", static_cast<int32_t>(0xFF000000u)}, "Highlight color ((None))"},
      {2, {"", 0x0000FF}, "Font color (" + red + ")"},
      {9, {"x", 1}, ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(GetVarCommandCaption(row.kind, row.param), row.expected) << row.expected;
  const std::pair<int32_t, const char*> clipboard[] = {
      {3200, "&Delete"},          {3340, "&Copy"},       {3381, "Paste As New Rows"},
      {3382, "Paste As New Columns"}, {3383, "Paste Cells"}, {3420, "C&ut"},
      {3360, "&Paste"},           {1, "&Paste"}};
  for (const auto& [id, caption] : clipboard)
    EXPECT_EQ(TCommandManager::GetClipboardCommandCaption(id), caption) << id;
}

TEST_F(CommandNamesTest, ThePasteVariantFollowsTheClipboardsTableSelection) {
  WithDocument();
  RecHandler& edit = Handle(CommandRange::Edit);
  struct Row {
    bool cellsAllowed, columnsAllowed;
    uint8_t kind;
    bool selection, rowEndCaret;
    int32_t expected;
  };
  const Row rows[] = {
      {false, true, 1, false, false, 3360}, {true, true, 1, false, false, 3382},
      {true, false, 1, false, false, 3383}, {true, true, 255, false, false, 3383},
      {true, true, 2, false, false, 3381},  {true, true, 3, true, false, 3381},
      {true, true, 2, false, true, 3383},   {true, true, 3, true, true, 3381},
  };
  for (const Row& row : rows) {
    edit.Refused.clear();
    if (!row.cellsAllowed) edit.Refused[3383] = 49;
    if (!row.columnsAllowed) edit.Refused[3382] = 49;
    Manager().ClipboardTableKind = row.kind;
    env->Selected.clear();
    if (row.selection) env->Selected.insert(&doc);
    env->RowEndCaret = row.rowEndCaret;
    EXPECT_EQ(Manager().GetPasteVariant(), row.expected)
        << row.cellsAllowed << row.columnsAllowed << int(row.kind) << row.selection
        << row.rowEndCaret;
  }
}

}  // namespace
