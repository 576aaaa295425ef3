#include "commands/command_fixture.h"
#include "../editing/ops/ops_test_support.h"
#include "document/field.h"
#include "document/par_format.h"

using namespace qv;

namespace {

using EnableRulesTest = CommandTest;

TEST_F(EnableRulesTest, WithoutADocumentDocumentCommandsAreRefusedWithTheirCodes) {
  struct Case {
    int32_t id;
    bool enabled;
    uint8_t reason;
  } cases[] = {{180, false, 0}, {220, false, 2}, {100, true, 0}, {120, true, 0},
               {3840, false, 0}, {6000, false, 0}, {16119, true, 0}, {150100, false, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(Manager().IsEnabled(c.id), c.enabled) << c.id;
    if (!c.enabled) EXPECT_EQ(Manager().DisabledReason(), c.reason) << c.id;
  }
}

TEST_F(EnableRulesTest, DocumentRulesFollowTheDocumentsState) {
  TDoc doc(true);
  env->Active = &doc;
  struct Case {
    const char* name;
    std::function<void()> set;
    int32_t id;
    bool enabled;
    uint8_t reason;
  } cases[] = {
      {"unmodified save", [&] { doc.Modified = 0; }, 180, false, 1},
      {"modified save", [&] { doc.Modified = 1; }, 180, true, 0},
      {"nothing to undo", [] {}, 3840, false, 5},
      {"nothing to redo", [] {}, 3860, false, 6},
      {"copy without selection", [] {}, 3340, false, 7},
      {"print preview", [&] { doc.PrintPreview = true; }, 6000, false, 26},
      {"margin borders in draft", [&] { doc.PrintPreview = false; doc.ViewMode = vmDraft; }, 6020, false, 3},
      {"header editing needed", [] {}, 7300, false, 93},
      {"not in a table", [] {}, 15910, false, 86},
      {"no pictures", [] {}, 15000, false, 87},
      {"no cells to merge", [] {}, 16110, false, 49},
  };
  for (const Case& c : cases) {
    c.set();
    EXPECT_EQ(Manager().IsEnabled(c.id), c.enabled) << c.name;
    if (!c.enabled) EXPECT_EQ(Manager().DisabledReason(), c.reason) << c.name;
  }
}

TEST_F(EnableRulesTest, TheFormatBrushAndCopiedFormats) {
  TDoc doc(true);
  env->Active = &doc;
  // A copied paragraph format still cannot be pasted while the brush is on.
  env->Mode = 2;
  EXPECT_FALSE(Manager().IsEnabled(9040));
  EXPECT_EQ(Manager().DisabledReason(), 23);
  env->Mode = 0;
  EXPECT_FALSE(Manager().IsEnabled(9040));
  EXPECT_EQ(Manager().DisabledReason(), 22);  // nothing copied
  // A copied font format alone is enough to paste formats.
  EXPECT_FALSE(Manager().IsEnabled(3511));
  env->CopiedFormats = {false};
  EXPECT_TRUE(Manager().IsEnabled(3511));
}

TEST_F(EnableRulesTest, PasteNeedsDataAndTableCellsNeedTheirKind) {
  TDoc doc(true);
  env->Active = &doc;
  Manager().Flags &= ~TCommandManager::cmClipboardChanged;
  Manager().ClipboardHasData = 0;
  EXPECT_FALSE(Manager().IsEnabled(3360));
  EXPECT_EQ(Manager().DisabledReason(), 9);
  Manager().ClipboardHasData = 1;
  EXPECT_TRUE(Manager().IsEnabled(3360));
  // Table rows on the clipboard cannot go in as cells above a table.
  Manager().ClipboardTableKind = 2;
  EXPECT_FALSE(Manager().IsEnabled(3382));
  // Outside a table no cell paste is offered at all.
  Manager().ClipboardTableKind = 1;
  EXPECT_FALSE(Manager().IsEnabled(3381));
}

TEST_F(EnableRulesTest, AnInnerQuestionKeepsItsReasonBelowTheOuterOne) {
  TDoc doc(true);
  env->Active = &doc;
  GetOptions().View.Toolbars = 1;
  GetOptions().View.ToolbarStyle = 0;
  GetOptions().View.FS_GUI = 0;
  env->Full = true;
  // The toolbar side asks whether the toolbars themselves can change; in Full Screen they cannot.
  EXPECT_FALSE(Manager().IsEnabled(6075));
  EXPECT_EQ(Manager().DisabledReason(0), 0);   // the side's own rule records nothing
  EXPECT_EQ(Manager().DisabledReason(1), 27);  // the inner question about 6071
  EXPECT_EQ(Manager().GetDisabledReasonText(), "there is no active document");
  // Kept in Full Screen, the rulers (bit 4) stay available there; the toolbars do not.
  EXPECT_FALSE(Manager().IsEnabled(6060));
  EXPECT_EQ(Manager().DisabledReason(), 27);
  GetOptions().View.FS_GUI = 0x04 | 0x02;
  EXPECT_TRUE(Manager().IsEnabled(6060));
  EXPECT_TRUE(Manager().IsEnabled(6075));
}

// "abc" and "def" with fields put around parts of them.
class ObjectRulesTest : public CommandTest {
 protected:
  void SetUp() override {
    SetMainText(doc, {"abc", "def"});
    env->Active = &doc;
  }
  TField* Field(uint8_t kind, uint8_t type, TDocRange range, const std::u16string& instruction = u"") {
    auto f = std::make_unique<TField>();
    f->Kind = kind;
    f->FieldType = type;
    f->Instruction = instruction;
    return doc.InsertFieldMarks(std::move(f), range);
  }
  OpsScope ops;
  TDoc doc{true};
};

TEST_F(ObjectRulesTest, HyperlinkCommandsCountTheHyperlinksOfTheSelection) {
  Field(fkField, ftHyperlink, {Pos(0, 0), Pos(0, 1)}, u"HYPERLINK \"a\"");
  Field(fkField, ftHyperlink, {Pos(1, 0), Pos(1, 3)}, u"HYPERLINK \"x.htm\"");
  Caret(doc, 0, 2);
  EXPECT_FALSE(Manager().IsEnabled(4545));  // none at the caret
  Select(doc, {{Pos(0, 0), Pos(0, 2)}});
  EXPECT_TRUE(Manager().IsEnabled(4541));
  // The first link shows its own address "a"; converting it to its URL changes nothing.
  EXPECT_FALSE(Manager().IsEnabled(4561));
  EXPECT_EQ(Manager().DisabledReason(), 35);
  Select(doc, {{Pos(0, 0), Pos(1, 2)}});
  EXPECT_FALSE(Manager().IsEnabled(4541));
  EXPECT_EQ(Manager().DisabledReason(), 34);
  EXPECT_TRUE(Manager().IsEnabled(4561));  // "def" is not "x.htm"
}

TEST_F(ObjectRulesTest, JoinAndSortNeedOneRangeOverSeveralParagraphs) {
  struct Case {
    const char* name;
    std::vector<TDocRange> ranges;
    int32_t id;
    bool enabled;
    uint8_t reason;
  } cases[] = {
      {"caret", {}, 3920, false, 7},
      {"two ranges", {{Pos(0, 0), Pos(0, 1)}, {Pos(1, 0), Pos(1, 1)}}, 3920, false, 11},
      {"one paragraph", {{Pos(0, 0), Pos(0, 2)}}, 3930, false, 12},
      {"two paragraphs", {{Pos(0, 1), Pos(1, 1)}}, 3930, true, 0},
  };
  for (const Case& c : cases) {
    if (c.ranges.empty()) Caret(doc, 0, 0);
    else Select(doc, c.ranges);
    EXPECT_EQ(Manager().IsEnabled(c.id), c.enabled) << c.name;
    if (!c.enabled) EXPECT_EQ(Manager().DisabledReason(), c.reason) << c.name;
  }
  // A page break inside the paragraphs keeps them from being sorted.
  SetMainText(doc, {"ab", "cd"});
  TPar& par = *doc.Par(0);
  par.Content.Clear();
  par.Content.AppendString("a");
  AppendContentTag(par.Content, ctSpecialChar, scPageBreak);
  AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  par.RebuildCodes();
  par.ContentChanged();
  Select(doc, {{Pos(0, 0), Pos(1, 1)}});
  EXPECT_FALSE(Manager().IsEnabled(3931));
  EXPECT_EQ(Manager().DisabledReason(), 18);
}

TEST_F(ObjectRulesTest, TheLockedSelectionAndTheBrowseButtons) {
  Select(doc, {{Pos(0, 0), Pos(0, 2)}});
  EXPECT_TRUE(Manager().IsEnabled(5350));
  EXPECT_FALSE(Manager().IsEnabled(5351));
  EXPECT_EQ(Manager().DisabledReason(), 100);
  // Browsing by page needs the page layout.
  GetOptions().Internal.NavObjType = 4;
  doc.ViewMode = vmDraft;
  EXPECT_FALSE(Manager().IsEnabled(4226));
  GetOptions().Internal.NavObjType = 2;
  EXPECT_TRUE(Manager().IsEnabled(4226));
}

}  // namespace
