// The spelling popup: what it offers for the checked word (suggestions, dictionaries, AutoCorrect
// entries, languages), the clipboard commands with a selection, nothing shown without the
// proofing tools; the selection that counts as a misspelt word; the context-menu key.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/language_manager.h"
#include "foundation/ui/menu_resource_services.h"
#include "foundation/ui/menu_resources.h"
#include "platform/controls/menu.h"
#include "mouse_fixture.h"

using namespace qv;

namespace {

constexpr uint16_t kSpellAsYouType = 0x80, kSpellUnderline = 0x100;

// A spellchecker that finds the word "wrod" misspelt with two suggestions, and a main window that
// keeps the popup instead of showing it.
class SpellingServices : public dwtest::RecWindowServices {
 public:
  bool Proofing = true;
  TSpellingWord Word;
  std::unique_ptr<plat::PopupMenu> Shown;
  plat::Point ShownAt;
  std::vector<int32_t> Replaced;
  std::vector<int32_t> Languages;

  bool CheckWordAtCaret(TDoc&, TSpellingWord& word) override {
    if (!Proofing) return false;
    word = Word;
    return true;
  }
  void ReplaceWithSuggestion(TDoc&, int32_t index) override { Replaced.push_back(index); }
  void SetWordLanguage(TDoc&, int32_t language) override { Languages.push_back(language); }
  std::u16string CommandNameWithShortcut(int32_t id) override { return u"Command " + std::u16string(1, char16_t('0' + id % 10)); }
  void ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at, const plat::Rect&, bool) override {
    Shown = std::move(menu);
    ShownAt = at;
  }
  int32_t WorkAreaRight() override { return 1000; }
};

// The popup resource of a misspelt word: the suggestions go before the separator 812, the
// AutoCorrect submenu ends with 818 and the language submenu with 820.
class SpellingMenus : public TMenuResourceService {
 public:
  std::string MenuResource(const std::string& name) override {
    if (name == "MSPLTWRD") return Menu();
    return TMenuResourceService::MenuResource(name);
  }
  std::string Menu() const;
};

class ContextMenuTest : public dwtest::MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    services.reset();
    spelling.emplace();
    saved_ = GetOptions().Spellcheck.Flags2;
    GetOptions().Spellcheck.Flags2 = saved_ | kSpellAsYouType | kSpellUnderline;
  }
  void TearDown() override {
    GetOptions().Spellcheck.Flags2 = saved_;
    spelling.reset();
    MouseTest::TearDown();
  }
  SpellingServices& Sp() { return *(*spelling); }
  std::vector<std::u16string> Captions(const plat::MenuItem& parent) {
    std::vector<std::u16string> out;
    for (int32_t i = 0; i < parent.Count(); ++i) out.push_back(parent[i].Caption);
    return out;
  }
  std::optional<ScopedService<TDocWindowServices, SpellingServices>> spelling;
  uint16_t saved_ = 0;
};

TEST_F(ContextMenuTest, NothingShowsWithoutTheProofingTools) {
  b->Add("A wrod here");
  Show();
  Sp().Proofing = false;
  form->ShowSpellingMenu(TDocPosition{0, 3, 0, 0});
  EXPECT_EQ(Sp().Shown, nullptr);
  Doc().SetSelection(0, 2, 0, 6);
  EXPECT_FALSE(form->IsMisspelledSelection());
}

TEST_F(ContextMenuTest, TheSpellingPopupOffersSuggestionsAndLanguages) {
  b->Add("A wrod here");
  Show();
  Sp().Word.Par = 0;
  Sp().Word.Start = 2;
  Sp().Word.Length = 4;
  Sp().Word.Misspelt = true;
  Sp().Word.Language = 1033;
  Sp().Word.Suggestions = {"word", "w&rd"};
  GetLangManager().RecentLangs = {1031, 1036, 1040, 1043, 1045, 1046, 1049, 1053};
  // Without its resource the popup still holds the word's own items.
  form->ShowSpellingMenu(TDocPosition{0, 3, 0, 0});
  ASSERT_NE(Sp().Shown, nullptr);
  // The popup opens just right of and below the word's end.
  const plat::Point end = form->DocToClient({0, 0});
  EXPECT_GT(Sp().ShownAt.x, end.x);
  // With a selection the clipboard commands follow the word's items.
  Doc().SetSelection(0, 2, 0, 6);
  form->ShowSpellingMenu(TDocPosition{0, 3, 0, 0});
  ASSERT_NE(Sp().Shown, nullptr);
  const plat::MenuItem& items = Sp().Shown->Items();
  ASSERT_GE(items.Count(), 4);
  std::vector<uint32_t> commands;
  for (int32_t i = 0; i < items.Count(); ++i) commands.push_back(items[i].Command);
  EXPECT_NE(std::find(commands.begin(), commands.end(), 3420u), commands.end());
  EXPECT_NE(std::find(commands.begin(), commands.end(), 3200u), commands.end());
  // The selection is that word: it counts as misspelt.
  EXPECT_TRUE(form->IsMisspelledSelection());
  // A selection wider than the word does not, and the caret goes back.
  Doc().SetSelection(0, 0, 0, 6);
  const TDocPosition caret = Doc().Caret;
  EXPECT_FALSE(form->IsMisspelledSelection());
  EXPECT_EQ(Doc().Caret.Offset, caret.Offset);
  // Not proofed: never misspelt.
  Doc().SetSelection(0, 2, 0, 6);
  Sp().Word.Language = 1024;
  EXPECT_FALSE(form->IsMisspelledSelection());
}

TEST_F(ContextMenuTest, ResourceItemsGetTheSuggestionsDictionariesAndLanguages) {
  ScopedService<TMenuResourceService, SpellingMenus> menus;
  b->Add("A wrod here");
  Show();
  Sp().Word.Par = 0;
  Sp().Word.Start = 2;
  Sp().Word.Length = 4;
  Sp().Word.Misspelt = true;
  Sp().Word.Language = 1033;
  Sp().Word.Suggestions = {"word", "w&rd"};
  Sp().Word.UserDictionaries = {"/d/Custom.tlx", "/d/Names & Places.tlx"};
  GetLangManager().RecentLangs = {1031, 1036, 1040, 1043, 1045, 1046, 1049, 1053};
  form->ShowSpellingMenu(TDocPosition{0, 3, 0, 0});
  ASSERT_NE(Sp().Shown, nullptr);
  plat::PopupMenu& menu = *Sp().Shown;
  const plat::MenuItem& top = menu.Items();
  ASSERT_GE(top.Count(), 3);
  // The suggestions, ampersands doubled, before the separator.
  EXPECT_EQ(top[0].Caption, u"word");
  EXPECT_EQ(top[1].Caption, u"w&&rd");
  EXPECT_EQ(top[1].Tag, -2);
  top[1].OnClick(const_cast<plat::MenuItem&>(top[1]));
  EXPECT_EQ(Sp().Replaced, std::vector<int32_t>{1});
  // Two user dictionaries: "Add to dictionary" becomes a submenu of their titles.
  plat::MenuItem* add = menu.FindCommand(816);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(Captions(*add), (std::vector<std::u16string>{u"Custom", u"Names && Places"}));
  // The AutoCorrect submenu repeats the suggestions.
  plat::MenuItem* autoCorrectEnd = menu.FindCommand(818);
  ASSERT_NE(autoCorrectEnd, nullptr);
  EXPECT_EQ(Captions(*autoCorrectEnd->Parent()),
            (std::vector<std::u16string>{u"word", u"w&&rd", u"-", u"&AutoCorrect Options..."}));
  // Six history languages, then the word's own; the word's is checked.
  plat::MenuItem* languageEnd = menu.FindCommand(820);
  ASSERT_NE(languageEnd, nullptr);
  const plat::MenuItem& languages = *languageEnd->Parent();
  ASSERT_EQ(languages.Count(), 9);  // and the separator and "More..."
  EXPECT_EQ(languages[0].Tag, -1031);
  EXPECT_EQ(languages[6].Tag, -1033);
  EXPECT_TRUE(languages[6].Checked());
  EXPECT_FALSE(languages[0].Checked());
}

TEST_F(ContextMenuTest, TheContextMenuKeyStartsFromTheSelectionsLastCharacter) {
  b->Add("Some words here");
  Show();
  SetCaret(Doc(), 0, 0, scClearSelection, 0);
  Doc().SetSelection(0, 5, 0, 10);
  SetCaretPos(Doc(), TDocPosition{0, 0, 0, 0}, 0);
  ASSERT_TRUE(Doc().HasSelection());
  plat::SendMessage(form->Handle(), plat::WM_CONTEXTMENU, form->Handle(), -1);
  EXPECT_EQ(Doc().Caret.Offset, 9);
  EXPECT_TRUE(Doc().HasSelection());
  EXPECT_FALSE(form->HasFlag(TDocForm::dfKeyboardContextMenu));
  EXPECT_TRUE(form->ContextMenuExclusion.IsEmpty());
}

std::string SpellingMenus::Menu() const {
  using I = TMenuResourceItem;
  return EncodeMenuResource({
      I{"-", 812, {}},
      I{"&Ignore All", 814, {}},
      I{"&Add to dictionary", 816, {}},
      I{"Add to AutoCo&rrect", 0, {I{"-", 818, {}}, I{"&AutoCorrect Options...", 819, {}}}},
      I{"&Language", 0, {I{"-", 820, {}}, I{"&More...", 821, {}}}},
  });
}

}  // namespace
