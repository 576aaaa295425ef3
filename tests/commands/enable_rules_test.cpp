#include "commands/command_fixture.h"
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

}  // namespace
