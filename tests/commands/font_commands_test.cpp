// The font and language commands run through the command manager on real documents: each
// attribute toggles on a selection and on the typing format at the caret, mixed selections come
// out whole, each change is one undo step, and the Format Brush takes the change instead.
#include <algorithm>

#include "commands/command_fixture.h"
#include "../editing/ops/ops_test_support.h"
#include "commands/edit_command_services.h"
#include "commands/edit_commands.h"
#include "commands/font_commands.h"
#include "commands/font_format_clipboard.h"
#include "commands/format_dialog_services.h"
#include "document/styles.h"
#include "editing/operation.h"
#include "editing/undo_stack.h"
#include "foundation/text/language_manager.h"

using namespace qv;

namespace {

// The environment answers from the document; it records sounds and may be in a mouse mode.
struct FontEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  uint8_t Mode = 0;
  std::vector<int32_t> Sounds;
  int32_t BrushRefreshes = 0;
  std::vector<int32_t> DroppedCombos;
  TDoc* ActiveDoc() override { return Active; }
  uint8_t MouseMode() override { return Mode; }
  void PlayEventSound(int32_t sound) override { Sounds.push_back(sound); }
  void RequestInterfaceUpdate() override {}
  void RefreshFormatBrushViews() override { ++BrushRefreshes; }
  void DropCommandBarCombo(int32_t id) override { DroppedCombos.push_back(id); }
};

// Dialogs that answer OK with what the test set, or Cancel.
struct FakeDialogs : TFormatDialogServices {
  bool Ok = true;
  TCharFormat Font;  // what the Font dialog sets over the format it is given
  int32_t Percent = 100;
  int32_t Language = 1031;
  std::vector<std::pair<int32_t, int32_t>> FontCalls;  // flags, help context
  std::vector<std::string> LangCaptions;
  bool ExecuteFontFormatDialog(TCharFormat& format, int32_t flags, int32_t help) override {
    FontCalls.emplace_back(flags, help);
    if (Ok) ApplyCharFormat(format, Font);
    return Ok;
  }
  bool ExecuteScaleFontDialog(int32_t& percent) override {
    percent = Percent;
    return Ok;
  }
  bool ExecuteChooseLangDialog(int32_t& language, int32_t, const std::string& caption, int32_t) override {
    LangCaptions.push_back(caption);
    if (Ok) language = Language;
    return Ok;
  }
};

// The find window's patterns.
struct FakeFind : TEditCommandServices {
  TCharFormat Pattern[2];
  int32_t Highlights = 0, Descriptions = 0;
  bool GetFindPatternFormat(bool replace, TCharFormat& f) override {
    f = Pattern[replace];
    return true;
  }
  void SetFindPatternFormat(bool replace, const TCharFormat& f) override { Pattern[replace] = f; }
  void RefreshFindHighlights() override { ++Highlights; }
  void RefreshFindPatternDescription() override { ++Descriptions; }
};

class FontCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterFontCommands(Manager());
    RegisterEditCommands(Manager());
    fontEnv->Active = &doc;
    doc.InitNewDocument();
    GetOptions().Edit.Flags &= ~0x80u;  // formatting at the caret sets the typing format only
    FontFormatClipboard() = {};
    Reset({"alpha beta", "gamma delta"});
  }
  void TearDown() override { FontFormatClipboard() = {}; }

  void Reset(const std::vector<std::string>& text) {
    SetMainText(doc, text);
    doc.ClearUndo();
    SelectText(0, 0, 0, 0);
  }
  void SelectText(int32_t p1, int32_t o1, int32_t p2, int32_t o2) {
    doc.SetSelection(p1, o1, p2, o2);
    doc.Caret = Pos(p2, o2);
    doc.SelectionChanged();
    doc.UpdateTypingFormat(doc.Caret, 1);
  }
  TCharFormat At(int32_t par, int32_t offset) {
    TCharFormat f;
    doc.Par(par)->GetCharFormatAt(offset, f);
    return f;
  }
  // The property's values over [from, to) of a paragraph, as one value or -99 when they differ.
  int32_t Over(int32_t par, int32_t from, int32_t to, int prop) {
    const int32_t v = At(par, from)[prop];
    for (int32_t i = from + 1; i < to; ++i)
      if (At(par, i)[prop] != v) return -99;
    return v;
  }
  // Runs the command and tells how many operations it added to the undo list.
  int32_t Run(int32_t id) {
    const int32_t before = doc.UndoPosition;
    Manager().Execute(id);
    return doc.UndoPosition - before;
  }

  ScopedService<TCommandEnvironment, FontEnvironment> fontEnv;
  ScopedService<TFormatDialogServices, FakeDialogs> dialogs;
  ScopedService<TMessageDlgService, TMessageDlgService> box;
  OpsScope ops;
  TDoc doc{true};
};

TEST_F(FontCommandsTest, AttributesToggleOnTheSelectionOneUndoStepEach) {
  struct Case {
    int32_t id;
    int prop;
    int32_t on;
  } cases[] = {
      {12120, cpBold, 1},      {12140, cpItalic, 1},      {12160, cpUnderline, 1},
      {12161, cpUnderline, 2}, {12162, cpUnderline, 3},   {12163, cpUnderline, 4},
      {12164, cpUnderline, 7}, {12165, cpUnderline, 9},   {12166, cpUnderline, 11},
      {12167, cpUnderline, 39}, {12168, cpUnderline, 43}, {12169, cpUnderline, 27},
      {12170, cpStrike, 1},    {12171, cpDoubleStrike, 1}, {12210, cpSmallCaps, 1},
      {12215, cpAllCaps, 1},   {12285, cpShadow, 1},      {12180, cpScript, 1},
      {12200, cpScript, 2},
  };
  for (const Case& c : cases) {
    Reset({"alpha beta", "gamma delta"});
    SelectText(0, 0, 0, 5);
    const std::string before = DumpDoc(doc);
    EXPECT_EQ(Run(c.id), 1) << c.id;
    EXPECT_EQ(Over(0, 0, 5, c.prop), c.on) << c.id;
    EXPECT_NE(At(0, 6)[c.prop], c.on) << c.id;  // outside the selection nothing changes
    const std::string on = DumpDoc(doc);
    EXPECT_EQ(Run(c.id), 1) << c.id;  // again: off
    EXPECT_EQ(Over(0, 0, 5, c.prop), 0) << c.id;
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), on) << c.id;
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before) << c.id;
  }
}

TEST_F(FontCommandsTest, MixedSelectionsComeOutWhole) {
  Reset({"|Balpha|b beta", "gamma delta"});
  SelectText(0, 0, 0, 10);
  ASSERT_EQ(Over(0, 0, 10, cpBold), -99);
  EXPECT_EQ(Run(12120), 1);
  EXPECT_EQ(Over(0, 0, 10, cpBold), 1);
  EXPECT_EQ(Run(12120), 1);
  EXPECT_EQ(Over(0, 0, 10, cpBold), 0);

  // A selection over two paragraphs, one underlined in another kind.
  Reset({"alpha beta", "gamma delta"});
  SelectText(1, 0, 1, 5);
  Run(12160);
  SelectText(0, 0, 1, 11);
  EXPECT_EQ(Run(12163), 1);
  EXPECT_EQ(Over(0, 0, 10, cpUnderline), 4);
  EXPECT_EQ(Over(1, 0, 11, cpUnderline), 4);
}

TEST_F(FontCommandsTest, ExclusiveAttributesReplaceEachOther) {
  struct Case {
    int32_t first, second;
    int prop1, prop2;
    int32_t after1, after2;
  } cases[] = {
      {12170, 12171, cpStrike, cpDoubleStrike, 0, 1},    // double strikeout replaces strikeout
      {12171, 12170, cpStrike, cpDoubleStrike, 1, 0},
      {12210, 12215, cpSmallCaps, cpAllCaps, 0, 1},      // all caps replace small caps
      {12215, 12210, cpSmallCaps, cpAllCaps, 1, 0},
      {12160, 12163, cpUnderline, cpUnderline, 4, 4},    // dotted replaces single
      {12163, 12163, cpUnderline, cpUnderline, 0, 0},    // dotted on dotted takes it off
      {12180, 12200, cpScript, cpScript, 2, 2},          // subscript replaces superscript
  };
  for (const Case& c : cases) {
    Reset({"alpha beta", "gamma delta"});
    SelectText(0, 0, 0, 5);
    Run(c.first);
    EXPECT_EQ(Run(c.second), 1) << c.first << " " << c.second;
    EXPECT_EQ(Over(0, 0, 5, c.prop1), c.after1) << c.first << " " << c.second;
    EXPECT_EQ(Over(0, 0, 5, c.prop2), c.after2) << c.first << " " << c.second;
  }
}

TEST_F(FontCommandsTest, AtTheCaretTheCommandsSetTheTypingFormat) {
  struct Case {
    int32_t id;
    int prop;
    int32_t on;
  } cases[] = {
      {12120, cpBold, 1}, {12140, cpItalic, 1}, {12162, cpUnderline, 3}, {12180, cpScript, 1},
      {12200, cpScript, 2}, {12215, cpAllCaps, 1},
  };
  for (const Case& c : cases) {
    Reset({"alpha beta", "gamma delta"});
    SelectText(0, 10, 0, 10);
    const std::string before = DumpDoc(doc);
    EXPECT_EQ(Run(c.id), 0) << c.id;  // the text is untouched: nothing to undo
    EXPECT_EQ(doc.TypingFormat[c.prop], c.on) << c.id;
    EXPECT_EQ(DumpDoc(doc), before) << c.id;
    EXPECT_EQ(Run(c.id), 0) << c.id;  // toggled back
    EXPECT_EQ(doc.TypingFormat[c.prop], 0) << c.id;
  }
  // What is typed next takes the format.
  Reset({"alpha beta", "gamma delta"});
  SelectText(0, 10, 0, 10);
  Run(12120);
  TypeBytes(doc, "x");
  EXPECT_EQ(At(0, 10).Bold, 1);
  EXPECT_EQ(At(0, 9).Bold, 0);
}

TEST_F(FontCommandsTest, SizeSpacingAndOffsetStepAtOnce) {
  struct Case {
    int32_t id;
    int prop;
    int32_t from, to;
  } cases[] = {
      {12240, cpSize, 24, 26}, {12220, cpSize, 24, 22}, {12340, cpSpacing, 0, -2},
      {12360, cpSpacing, 0, 2}, {12380, cpVertOffset, 0, 1}, {12400, cpVertOffset, 0, -1},
  };
  for (const Case& c : cases) {
    Reset({"alpha beta", "gamma delta"});
    TCharFormat size;
    size.Size = 24;
    SelectText(0, 0, 0, 10);
    void* args[] = {nullptr, nullptr, &size, nullptr};
    doc.ExecuteEdit(ecFormatFont, args, 2);
    SelectText(0, 0, 0, 5);
    ASSERT_EQ(Over(0, 0, 5, c.prop), c.from) << c.id;
    const std::string before = DumpDoc(doc);
    EXPECT_EQ(Run(c.id), 1) << c.id;
    EXPECT_EQ(Over(0, 0, 5, c.prop), c.to) << c.id;
    EXPECT_EQ(At(0, 6)[c.prop], c.from) << c.id;
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before) << c.id;
  }
  // The predefined sizes step to the next one in the list.
  Reset({"alpha beta", "gamma delta"});
  SelectText(0, 0, 0, 5);
  GetOptions().General.FontSizes = {16, 20, 24, 28, 36};
  const std::vector<int32_t>& sizes = GetOptions().General.FontSizes;
  const int32_t start = Over(0, 0, 5, cpSize);
  Run(12280);
  const int32_t grown = Over(0, 0, 5, cpSize);
  EXPECT_GT(grown, start);
  EXPECT_NE(std::find(sizes.begin(), sizes.end(), grown), sizes.end());
  Run(12260);
  EXPECT_LT(Over(0, 0, 5, cpSize), grown);
}

TEST_F(FontCommandsTest, ProportionalScalingAsksForThePercentage) {
  SelectText(0, 0, 0, 5);
  const int32_t start = Over(0, 0, 5, cpSize);
  dialogs->Percent = 100;  // nothing changes
  EXPECT_EQ(Run(12300), 0);
  dialogs->Ok = false;
  dialogs->Percent = 150;
  EXPECT_EQ(Run(12300), 0);
  dialogs->Ok = true;
  EXPECT_EQ(Run(12300), 1);
  EXPECT_EQ(Over(0, 0, 5, cpSize), start * 3 / 2);
}

TEST_F(FontCommandsTest, HighlightAndFontColourToggleAgainstTheLastChosenColour) {
  GetOptions().Internal.HiliteCol = 0x00FFFF;
  GetOptions().Internal.FontCol = 0x0000FF;
  struct Case {
    int32_t id;
    int prop;
    int32_t color;
  } cases[] = {{12500, cpHighlight, 0x00FFFF}, {12520, cpColor, 0x0000FF}};
  for (const Case& c : cases) {
    Reset({"alpha beta", "gamma delta"});
    SelectText(0, 0, 0, 5);
    EXPECT_EQ(Run(c.id), 1) << c.id;
    EXPECT_EQ(Over(0, 0, 5, c.prop), c.color) << c.id;
    SelectText(0, 0, 0, 5);
    EXPECT_EQ(Run(c.id), 1) << c.id;  // already in that colour: back to none or automatic
    EXPECT_EQ(Over(0, 0, 5, c.prop), AutoColor) << c.id;
    // Partly coloured: all of it takes the colour.
    SelectText(0, 0, 0, 2);
    Run(c.id);
    SelectText(0, 0, 0, 5);
    Run(c.id);
    EXPECT_EQ(Over(0, 0, 5, c.prop), c.color) << c.id;
  }
  // At the caret the font colour goes to the typing format.
  Reset({"alpha beta", "gamma delta"});
  SelectText(0, 10, 0, 10);
  EXPECT_EQ(Run(12520), 0);
  EXPECT_EQ(doc.TypingFormat.Color, 0x0000FF);
}

TEST_F(FontCommandsTest, CopyAndPasteFontFormat) {
  Reset({"|Balpha|b beta", "gamma delta"});
  EXPECT_FALSE(Manager().IsEnabled(12040));  // nothing copied yet
  SelectText(0, 0, 0, 5);
  Run(12140);  // bold and italic
  SelectText(0, 1, 0, 3);
  EXPECT_EQ(Run(12020), 0);
  EXPECT_TRUE(FontFormatClipboard().Filled);
  EXPECT_TRUE(Manager().IsEnabled(12040));
  SelectText(1, 0, 1, 5);
  const std::string before = DumpDoc(doc);
  EXPECT_EQ(Run(12040), 1);
  EXPECT_EQ(Over(1, 0, 5, cpBold), 1);
  EXPECT_EQ(Over(1, 0, 5, cpItalic), 1);
  EXPECT_EQ(At(1, 6).Bold, 0);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(FontCommandsTest, ResetFontFormatTakesTheStyleFormatBack) {
  SetParFormatProp(doc.Par(0)->Format, ppStyle, doc.Styles->IndexOfBuiltIn(bsNormal));
  SelectText(0, 0, 0, 5);
  const std::string before = DumpDoc(doc);
  Run(12120);
  Run(12160);
  ASSERT_EQ(Over(0, 0, 5, cpBold), 1);
  SelectText(0, 0, 0, 10);
  EXPECT_EQ(Run(12320), 1);
  EXPECT_EQ(Over(0, 0, 10, cpBold), 0);
  EXPECT_EQ(Over(0, 0, 10, cpUnderline), 0);
  doc.Undo();
  EXPECT_EQ(Over(0, 0, 5, cpBold), 1);
}

TEST_F(FontCommandsTest, FontDialogAppliesItsChoiceAndCancelChangesNothing) {
  SelectText(0, 0, 0, 5);
  dialogs->Font.Italic = 1;
  dialogs->Font.Size = 40;
  dialogs->Ok = false;
  EXPECT_EQ(Run(12000), 0);
  dialogs->Ok = true;
  EXPECT_EQ(Run(12000), 1);
  EXPECT_EQ(Over(0, 0, 5, cpItalic), 1);
  EXPECT_EQ(Over(0, 0, 5, cpSize), 40);
  EXPECT_EQ(At(0, 6).Italic, 0);
  ASSERT_EQ(dialogs->FontCalls.size(), 2u);
  EXPECT_EQ(dialogs->FontCalls[1], std::make_pair(0, 9000));
}

TEST_F(FontCommandsTest, LanguageIsOneNamedStep) {
  SelectText(0, 0, 0, 5);
  dialogs->Ok = false;
  EXPECT_EQ(Run(12440), 0);
  dialogs->Ok = true;
  dialogs->Language = 1031;
  EXPECT_EQ(Run(12440), 1);
  EXPECT_EQ(Over(0, 0, 5, cpLanguage), 1031);
  EXPECT_EQ(OperationAt(doc, doc.UndoPosition)->NameIndex, 39);
  EXPECT_EQ(dialogs->LangCaptions.back(), "Language");
  // At the caret nothing is recorded, and the name does not stick to the next operation.
  SelectText(0, 10, 0, 10);
  dialogs->Language = 1036;
  EXPECT_EQ(Run(12440), 0);
  EXPECT_EQ(doc.TypingFormat.Language, 1036);
  EXPECT_EQ(doc.OperationNameOverride, 255);
}

TEST_F(FontCommandsTest, FindAndReplacePatternsTakeFontAndLanguage) {
  ScopedService<TEditCommandServices, FakeFind> find;
  dialogs->Font.Bold = 1;
  dialogs->Language = 1049;
  Run(12001);
  EXPECT_EQ(find->Pattern[0].Bold, 1);
  EXPECT_EQ(find->Highlights, 1);
  Run(12442);
  EXPECT_EQ(find->Pattern[1].Language, 1049);
  EXPECT_EQ(find->Highlights, 1);  // the replace pattern does not mark found places
  EXPECT_EQ(find->Descriptions, 2);
  EXPECT_EQ(dialogs->FontCalls.back(), std::make_pair(9, 9000));
  dialogs->Ok = false;
  Run(12002);
  EXPECT_EQ(find->Pattern[1].Bold, CharUnset);
  EXPECT_EQ(doc.UndoPosition, -1);  // the document is not touched
}

TEST_F(FontCommandsTest, FormatBrushTakesTheChangeInsteadOfTheDocument) {
  fontEnv->Mode = 2;
  FontFormatClipboard().Format.Bold = 0;
  FontFormatClipboard().Format.Italic = 1;
  SelectText(0, 0, 0, 5);
  const std::string before = DumpDoc(doc);
  Manager().Execute(12120);  // the brush holds "not bold": it drops the property
  EXPECT_EQ(FontFormatClipboard().Format.Bold, CharUnset);
  EXPECT_EQ(FontFormatClipboard().Format.Italic, 1);
  Manager().Execute(12120);  // unset: it takes bold
  EXPECT_EQ(FontFormatClipboard().Format.Bold, 1);
  Manager().Execute(12140);  // italic on: off
  EXPECT_EQ(FontFormatClipboard().Format.Italic, 0);
  Manager().Execute(12180);
  EXPECT_EQ(FontFormatClipboard().Format.Script, 1);
  // The Font dialog edits the brush, mixed values allowed, under its own help topic.
  dialogs->Font.Size = 30;
  Manager().Execute(12000);
  EXPECT_EQ(dialogs->FontCalls.back(), std::make_pair(1, 9100));
  EXPECT_EQ(FontFormatClipboard().Format.Size, 30);
  EXPECT_EQ(FontFormatClipboard().Format.Bold, 1);
  EXPECT_EQ(DumpDoc(doc), before);
  EXPECT_EQ(fontEnv->BrushRefreshes, 5);
}

TEST_F(FontCommandsTest, SoundsListsAndBoxes) {
  SelectText(0, 0, 0, 5);
  Run(12120);
  Run(12140);
  Run(12166);
  Run(12170);
  EXPECT_EQ(fontEnv->Sounds, (std::vector<int32_t>{4200, 4220, 4240}));
  Run(12060);
  Run(12080);
  EXPECT_EQ(fontEnv->DroppedCombos, (std::vector<int32_t>{212100, 212200}));
  GetLangManager().RecentLangs = {1031, 1033};
  Run(12600);
  EXPECT_TRUE(GetLangManager().RecentLangs.empty());
  // Ids of the range without a command of their own change nothing.
  const std::string before = DumpDoc(doc);
  EXPECT_EQ(Run(12150), 0);
  EXPECT_EQ(Run(13000), 0);
  EXPECT_EQ(DumpDoc(doc), before);
}

// Shrinking the page count leaves header and footer editing first; when the pages cannot be
// shrunk (here: no layout paginates), the user is told and nothing changes.
TEST_F(FontCommandsTest, ShrinkPageCountLeavesHeaderEditingAndSaysWhenItCannot) {
  struct RecBox : TMessageDlgService {
    std::vector<std::string> Texts;
    int32_t Show(const TMessageDlgInfo& info) override {
      Texts.push_back(info.Text);
      return mrOk;
    }
  };
  ScopedService<TMessageDlgService, RecBox> rec;
  RecHandler& view = Handle(CommandRange::View);
  view.OnRun = [this](TCommandManager&, int32_t) { doc.HeaderFooterInPlace = nullptr; };
  TField header;
  doc.HeaderFooterInPlace = &header;
  if (!Manager().IsEnabled(12310)) GTEST_SKIP() << "the rule asks for more pages";
  const std::string before = DumpDoc(doc);
  EXPECT_EQ(Run(12310), 0);
  EXPECT_EQ(runs, (std::vector<int32_t>{7200}));
  EXPECT_EQ(rec->Texts, (std::vector<std::string>{"Cannot shrink page count."}));
  EXPECT_EQ(DumpDoc(doc), before);
  doc.HeaderFooterInPlace = nullptr;
}

TEST_F(FontCommandsTest, WithoutADocumentNothingRuns) {
  fontEnv->Active = nullptr;
  Manager().Execute(12120);
  Manager().Execute(12320);
  EXPECT_TRUE(fontEnv->Sounds.empty());
}

}  // namespace
