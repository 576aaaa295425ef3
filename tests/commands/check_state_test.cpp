#include "commands/command_fixture.h"
#include "document/char_format.h"
#include "document/doc_view.h"
#include "document/par_format.h"
#include "document/shape.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

class CheckStateTest : public CommandTest {
 protected:
  void SetUp() override { env->Active = &doc; }
  TDoc doc{true};
};

TEST_F(CheckStateTest, FormattingRowsReadTheCurrentFormatsWithUnsetAsMixed) {
  struct Case {
    const char* name;
    std::function<void(TCharFormat&, TParFormat&)> set;
    int32_t id;
    uint8_t state;
  } cases[] = {
      {"bold on", [](TCharFormat& c, TParFormat&) { c.Bold = 1; }, 12120, 1},
      {"bold off", [](TCharFormat& c, TParFormat&) { c.Bold = 0; }, 12120, 0},
      {"bold mixed", [](TCharFormat& c, TParFormat&) { c.Bold = CharUnset; }, 12120, 2},
      {"double underline", [](TCharFormat& c, TParFormat&) { c.Underline = 3; }, 12162, 1},
      {"not single", [](TCharFormat& c, TParFormat&) { c.Underline = 3; }, 12160, 0},
      {"superscript", [](TCharFormat& c, TParFormat&) { c.Script = 1; }, 12180, 1},
      {"not subscript", [](TCharFormat& c, TParFormat&) { c.Script = 1; }, 12200, 0},
      {"centred", [](TCharFormat&, TParFormat& p) { p.Alignment = 1; }, 9081, 1},
      {"not left", [](TCharFormat&, TParFormat& p) { p.Alignment = 1; }, 9080, 0},
      {"mixed alignment", [](TCharFormat&, TParFormat& p) { p.Alignment = ParUnset8; }, 9083, 2},
      {"double spaced", [](TCharFormat&, TParFormat& p) { p.LineRule = 1; p.LineSpacing = 480; }, 9220, 1},
      {"exactly 480 twips", [](TCharFormat&, TParFormat& p) { p.LineRule = 0; p.LineSpacing = 480; }, 9220, 0},
      {"keep with next", [](TCharFormat&, TParFormat& p) { p.KeepNext = 1; }, 9270, 1},
      {"no list", [](TCharFormat&, TParFormat& p) { p.List = 0; }, 9320, 0},
      {"mixed lists", [](TCharFormat&, TParFormat& p) { p.List = ParUnset32; }, 9321, 2},
  };
  for (const Case& c : cases) {
    doc.CurCharFormat = DefaultCharFormat;
    doc.CurParFormat = DefaultParFormat;
    c.set(doc.CurCharFormat, doc.CurParFormat);
    EXPECT_EQ(Manager().GetCheckState(c.id), c.state) << c.name;
  }
}

TEST_F(CheckStateTest, TheBrushAndSelectedObjectsChangeWhichFormatsAreRead) {
  doc.CurCharFormat = DefaultCharFormat;
  doc.CurCharFormat.Bold = 1;
  EXPECT_EQ(Manager().GetCheckState(12120), 1);
  // With the Format Brush on and bold left out of it, bold shows mixed whatever the text holds.
  env->Mode = 2;
  TCharFormat brush = DefaultCharFormat;
  brush.Bold = CharUnset;
  env->Brush = std::make_pair(brush, DefaultParFormat);
  EXPECT_EQ(Manager().GetCheckState(12120), 2);
  EXPECT_EQ(Manager().GetCheckState(702), 1);    // the brush's mouse mode
  EXPECT_EQ(Manager().GetCheckState(15830), 1);
  env->Mode = 0;
  // A picture selected as an object: the formats are all unset.
  TShape picture(&doc);
  doc.SelectedShapes.push_back(&picture);
  EXPECT_EQ(Manager().GetCheckState(12120), 2);
  doc.SelectedShapes.clear();
  // No document: the document rows answer 0.
  env->Active = nullptr;
  EXPECT_EQ(Manager().GetCheckState(12120), 2);  // all unset without a document
  EXPECT_EQ(Manager().GetCheckState(8101), 0);
}

TEST_F(CheckStateTest, ViewRowsFollowTheDocumentAndTheOptions) {
  doc.ViewMode = vmDraft;
  EXPECT_EQ(Manager().GetCheckState(8100), 1);
  EXPECT_EQ(Manager().GetCheckState(8101), 0);
  doc.View.ZoomMode = zmFixed;
  doc.ZoomPercent = 100;
  EXPECT_EQ(Manager().GetCheckState(6174), 1);
  doc.ZoomPercent = 150;
  EXPECT_EQ(Manager().GetCheckState(6174), 0);
  doc.View.ZoomMode = zmWholePage;
  doc.ZoomPercent = 100;
  EXPECT_EQ(Manager().GetCheckState(6174), 0);  // only the fixed zoom at 100 %
  EXPECT_EQ(Manager().GetCheckState(6172), 1);
  TViewOptions& view = GetOptionsHolder().Options.View;
  const TViewOptions saved = view;
  view.Flags |= 0x40;
  EXPECT_EQ(Manager().GetCheckState(6000), 1);
  view.Flags &= static_cast<uint16_t>(~0x40);
  EXPECT_EQ(Manager().GetCheckState(6000), 0);
  view = saved;
  // What the shell keeps comes from the environment.
  env->Checks[8125] = 1;
  EXPECT_EQ(Manager().GetCheckState(8125), 1);
  EXPECT_EQ(Manager().GetCheckState(123456), 0);
}

TEST_F(CheckStateTest, OptionRowsReadTheirBits) {
  struct Case {
    const char* name;
    std::function<void()> set;
    int32_t id;
    uint8_t state;
  } cases[] = {
      {"browse by table", [] { GetOptions().Internal.NavObjType = 12; }, 4242, 1},
      {"not by page", [] { GetOptions().Internal.NavObjType = 12; }, 4234, 0},
      {"bookmarks by location", [] { GetOptions().Internal.Flags &= ~0x20000u; }, 4535, 1},
      {"bookmarks not by name", [] { GetOptions().Internal.Flags &= ~0x20000u; }, 4534, 0},
      {"instances highlighted", [] { GetOptions().Edit.Flags &= ~0x10000u; }, 5800, 1},
      {"instances off", [] { GetOptions().Edit.Flags |= 0x10000u; }, 5800, 0},
      {"misspellings underlined", [] { GetOptions().Spellcheck.Flags2 |= 0x100; }, 828, 1},
      {"vertical scroll bar only", [] { GetOptionsHolder().Settings.NormalView.ScrollBars = 2; }, 6081, 1},
      {"no horizontal one then", [] { GetOptionsHolder().Settings.NormalView.ScrollBars = 2; }, 6080, 0},
      {"status bar hidden", [] { GetOptionsHolder().Settings.NormalView.StatusBar = false; }, 6140, 0},
      {"a Control Board tool hidden", [] { GetOptions().View.CBDisabledTabs = 0x00040000; }, 6422, 0},
      {"another one shown", [] { GetOptions().View.CBDisabledTabs = 0x00040000; }, 6421, 1},
  };
  for (const Case& c : cases) {
    c.set();
    EXPECT_EQ(Manager().GetCheckState(c.id), c.state) << c.name;
  }
  // The find window's whole-words row is off while wildcards are on.
  struct FindEnv : FakeEnvironment {
    uint32_t Bits = 0;
    uint32_t FindOptions() override { return Bits; }
  };
  ScopedService<TCommandEnvironment, FindEnv> find;
  find->Bits = 2;
  EXPECT_EQ(Manager().GetCheckState(3670), 1);
  find->Bits = 2 | 8;
  EXPECT_EQ(Manager().GetCheckState(3670), 0);
  EXPECT_EQ(Manager().GetCheckState(3672), 1);
}

}  // namespace
