#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "document/styles.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"

using namespace qv;

namespace {

TStyle& AddStyle(TStyleList& list, const std::string& name, int32_t basedOn = -1,
                 int32_t next = -1) {
  TStyle& s = list.AddNew();
  s.Name = s.DisplayName = name;
  s.BasedOn = basedOn;
  s.Next = next;
  return s;
}

TEST(Styles, ChainFormatsKeepIndentPairs) {
  TStyleList list;
  AddStyle(list, "Normal").ParFmt.LeftIndent = 720;
  TStyle& a = AddStyle(list, "A", 0);
  a.ParFmt.FirstIndent = -360;
  a.CharFmt.Bold = 1;
  TStyle& b = AddStyle(list, "B", 1);
  b.ParFmt.LeftIndent = 200;
  TStyle& c = AddStyle(list, "C", 1);
  c.ParFmt.FirstIndent = 100;  // the hang ends: the leftmost line's edge stays at 720

  struct Case {
    int32_t style;
    uint32_t flags;
    int32_t first;
    int32_t left;
  } cases[] = {
      {1, 0, -360, 1080}, {2, 0, -360, 560}, {3, 0, 100, 720},
      {1, sfOwnOnly, -360, 1080}, {2, sfOwnOnly, -360, 560},
  };
  for (const Case& k : cases) {
    TParFormat pf;
    TCharFormat cf;
    GetStyleFormat(list[k.style], &cf, &pf, k.flags);
    EXPECT_EQ(pf.FirstIndent, k.first) << k.style << "/" << k.flags;
    EXPECT_EQ(pf.LeftIndent, k.left) << k.style << "/" << k.flags;
    EXPECT_EQ(cf.Bold, 1) << "inherited from A";
  }
}

TEST(Styles, EffectiveFormatsWithoutOwnOnlyFillOutlineAndListLevel) {
  TStyleList list;
  AddStyle(list, "Normal").CharFmt.Language = 0x409;
  TParFormat pf;
  TCharFormat cf;
  GetStyleFormat(list[0], &cf, &pf, 0);
  EXPECT_EQ(pf.OutlineLevel, 9);
  EXPECT_EQ(pf.ListLevel, 0);
  EXPECT_EQ(cf.Language, CharUnset);
  GetStyleFormat(list[0], &cf, &pf, sfOwnOnly | sfKeepLanguage);
  EXPECT_EQ(pf.OutlineLevel, ParUnset8);
  EXPECT_EQ(pf.ListLevel, ParUnset8);
  EXPECT_EQ(cf.Language, 0x409);
}

TEST(Styles, DeletingReindexesBasesAndNextStyles) {
  TStyleList list;
  AddStyle(list, "Normal", -1, 0);        // 0
  AddStyle(list, "S1", 0, 3);             // 1: Next = deleted -> 0
  AddStyle(list, "S2", 0, 5);             // 2
  AddStyle(list, "S3", 1, 4);             // 3: deleted
  AddStyle(list, "S4", 3, 5);             // 4: based on the deleted -> its base 1
  AddStyle(list, "S5", 4, 3);             // 5
  list.Delete(3);
  ASSERT_EQ(list.Count(), 5);
  struct Want {
    const char* name;
    int32_t basedOn;
    int32_t next;
  } want[] = {{"Normal", -1, 0}, {"S1", 0, 0}, {"S2", 0, 4}, {"S4", 1, 4}, {"S5", 3, 0}};
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(list[i].Name, want[i].name);
    EXPECT_EQ(list[i].BasedOn, want[i].basedOn) << want[i].name;
    EXPECT_EQ(list[i].Next, want[i].next) << want[i].name;
    EXPECT_EQ(list[i].ParFmt.Style, i);
  }
  // Deleting Normal: a Next that named it becomes the style itself.
  list.Delete(0);
  EXPECT_EQ(list[0].Name, "S1");
  EXPECT_EQ(list[0].BasedOn, -1);
  EXPECT_EQ(list[0].Next, 0);
}

TEST(Styles, LookupsSearchFromTheLast) {
  TStyleList list;
  AddStyle(list, "Heading 1");
  AddStyle(list, "Other");
  AddStyle(list, "heading 1");
  EXPECT_EQ(list.IndexOfName("HEADING 1"), 2);
  EXPECT_EQ(list.IndexOfName("missing"), -1);
  StyleManager().IdentifyBuiltInStyles(list);
  EXPECT_EQ(list[2].BuiltIn, 1);
  EXPECT_EQ(list[2].Name, "Heading 1");
  EXPECT_EQ(list[2].ParFmt.OutlineLevel, 0);
  EXPECT_EQ(list[1].BuiltIn, -1);
  EXPECT_EQ(list[1].DisplayName, "Other");
  EXPECT_EQ(list.IndexOfBuiltIn(1), 2);
}

// Plays the user: answers the queued modal results in turn and counts the questions.
struct TScriptedBox : TMessageDlgService {
  std::deque<int32_t>* answers;
  int* asked;
  int32_t Show(const TMessageDlgInfo& info) override {
    ++*asked;
    EXPECT_EQ(info.LastButton, mbCancel);
    EXPECT_EQ(info.Kind, mkConfirmation);
    if (answers->empty()) return mrCancel;
    int32_t a = answers->front();
    answers->pop_front();
    return a;
  }
};

class StyleImport : public ::testing::Test {
 protected:
  void SetUp() override {
    box_.emplace();
    (*box_)->answers = &answers;
    (*box_)->asked = &asked;
    AddStyle(source, "Normal", -1, 0).CharFmt.Size = 30;
    AddStyle(source, "A", 0, 2).CharFmt.Size = 31;
    AddStyle(source, "B", 1).CharFmt.Size = 32;
    AddStyle(source, "C", 0).CharFmt.Size = 33;
    AddStyle(dest, "Normal", -1, 0).CharFmt.Size = 20;
    AddStyle(dest, "B").CharFmt.Size = 22;
    AddStyle(dest, "C").CharFmt.Size = 23;
  }
  void TearDown() override { box_.reset(); }
  std::optional<ScopedService<TMessageDlgService, TScriptedBox>> box_;
  int32_t SizeOf(const std::string& name) { return dest[dest.IndexOfName(name)].CharFmt.Size; }

  TStyleList source, dest;
  std::deque<int32_t> answers;
  int asked = 0;
};

TEST_F(StyleImport, AddModeLinksToDestinationStylesOfTheSameName) {
  TImportStylesInfo info(&source);
  info.Requested = {1};  // A, based on Normal, next B
  EXPECT_TRUE(dest.ImportStyles(info, true));
  EXPECT_EQ(asked, 0);
  ASSERT_EQ(dest.Count(), 4);
  EXPECT_EQ(dest[3].Name, "A");
  EXPECT_EQ(dest[3].BasedOn, 0);
  EXPECT_EQ(dest[3].Next, 1);
  EXPECT_EQ(dest[3].ParFmt.Style, 3);
  EXPECT_EQ(SizeOf("Normal"), 20);
  EXPECT_EQ(SizeOf("B"), 22);
  EXPECT_EQ(info.Added, (std::vector<int32_t>{3}));
}

TEST_F(StyleImport, ReplaceModeFollowsTheAnswers) {
  struct Case {
    const char* name;
    std::deque<int32_t> answers;
    bool result;
    int asked;
    int32_t normal, b, c;
    int32_t count;  // a replaced B brings its base A along
  } cases[] = {
      {"yes to all", {mrYesToAll}, true, 1, 30, 32, 33, 4},
      {"no to all", {mrNoToAll}, true, 1, 20, 22, 23, 3},
      {"yes, no, yes", {mrYes, mrNo, mrYes}, true, 3, 30, 22, 33, 3},
      {"cancel", {mrYes, mrCancel}, false, 2, 20, 22, 23, 3},
  };
  for (const Case& k : cases) {
    TStyleList d;
    d.Assign(dest);
    answers = k.answers;
    asked = 0;
    TImportStylesInfo info(&source);
    info.Mode = 1;
    info.Requested = {0, 2, 3};
    EXPECT_EQ(d.ImportStyles(info, true), k.result) << k.name;
    EXPECT_EQ(asked, k.asked) << k.name;
    EXPECT_EQ(d[d.IndexOfName("Normal")].CharFmt.Size, k.normal) << k.name;
    EXPECT_EQ(d[d.IndexOfName("B")].CharFmt.Size, k.b) << k.name;
    EXPECT_EQ(d[d.IndexOfName("C")].CharFmt.Size, k.c) << k.name;
    EXPECT_EQ(d.Count(), k.count) << k.name;
  }
}

TEST(StyleManagerTest, DefaultListAndNormalOnDemand) {
  const TStyleList& defaults = StyleManager().DefaultStyles;
  ASSERT_EQ(defaults.Count(), 34);
  EXPECT_EQ(defaults[0].Name, "Normal");
  EXPECT_EQ(defaults[0].CharFmt.Size, 20);
  EXPECT_EQ(defaults[5].BuiltIn, 5);
  EXPECT_EQ(defaults[10].Next, 10);
  EXPECT_EQ(defaults[12].BuiltIn, bsTocTitle);
  EXPECT_EQ(defaults[30].ParFmt.LeftIndent, 2400);
  EXPECT_EQ(defaults[30].ParFmt.FirstIndent, -240);

  TStyleList empty;
  StyleManager().EnsureNormalStyle(empty);
  ASSERT_EQ(empty.Count(), 1);
  EXPECT_EQ(empty[0].Name, "Normal");
  EXPECT_EQ(empty[0].BuiltIn, 0);
  StyleManager().EnsureNormalStyle(empty);
  EXPECT_EQ(empty.Count(), 1);
}

}  // namespace

namespace {

// Damaged lists (a reader that left a cycle or a self reference) must not hang or dangle.
TEST(Styles, DamagedBasedOnChainsEndAndDeletionKeepsReferencesInRange) {
  TStyleList list;
  AddStyle(list, "Normal", 2).CharFmt.Size = 30;  // 0 -> 2 -> 1 -> 0: a cycle
  AddStyle(list, "A", 0);
  AddStyle(list, "B", 1).CharFmt.Bold = 1;
  std::vector<int32_t> chain;
  GetBasedOnChain(list, 2, chain);
  EXPECT_EQ(chain, (std::vector<int32_t>{1, 0}));
  TCharFormat cf;
  GetStyleFormat(list[2], &cf, nullptr, sfOwnOnly);
  EXPECT_EQ(cf.Size, 30);
  EXPECT_EQ(cf.Bold, 1);

  // A style based on the deleted one whose own base lies after it.
  TStyleList later;
  AddStyle(later, "Normal");
  AddStyle(later, "X", 3);
  AddStyle(later, "Y", 1);
  AddStyle(later, "Z", 0);
  later.Delete(1);
  EXPECT_EQ(later[1].Name, "Y");
  EXPECT_EQ(later[1].BasedOn, 2);
  EXPECT_EQ(later[later[1].BasedOn].Name, "Z");
}

}  // namespace

namespace {

struct TFakeTexts : TStyleTextServices {
  std::string DescribeFormatting(const TCharFormat& cf, const TParFormat&, const std::string&,
                                 uint32_t flags) override {
    if (cf.Bold != 1) return {};
    return "Bold" + std::string((flags & 1) ? " (all)" : "");
  }
  std::string HotKeyText(uint32_t key) override { return key == 0x4201 ? "Shift+B" : ""; }
};

TEST(Styles, DescriptionsNameTheBaseAndTheHotKey) {
  ScopedService<TStyleTextServices, TFakeTexts> texts;
  TStyleList list;
  AddStyle(list, "Normal");
  TStyle& bold = AddStyle(list, "Strong text", 0);
  bold.CharFmt.Bold = 1;
  TStyle& plain = AddStyle(list, "Plain", 0);
  struct Case {
    const TStyle* style;
    bool withBase;
    uint32_t key;
    std::string want;
  } cases[] = {
      {&bold, false, 0, "Bold"},
      {&bold, true, 0, "Normal + Bold"},
      {&plain, true, 0, "Normal"},
      {&bold, true, 0x4201, "Normal + Bold\r\nHot key: Shift+B"},
      {&list[0], true, 0x4201, "Hot key: Shift+B"},
      {&bold, false, 0x9999, "Bold"},
  };
  for (const Case& c : cases) {
    const_cast<TStyle*>(c.style)->HotKeyCode = c.key;
    EXPECT_EQ(c.style->GetDescription(c.withBase), c.want);
  }
  list[0].CharFmt.Bold = 1;
  list[0].HotKeyCode = 0;
  EXPECT_EQ(list[0].GetDescription(true), "Bold (all)") << "a style without base describes all";
}

}  // namespace
