// The bookmark and clip name checks: what each refuses, with which message, and what it lets
// through.
#include <gtest/gtest.h>

#include "../editing/edit_test_support.h"
#include "commands/command_environment_services.h"
#include "commands/edit_command_services.h"
#include "commands/name_checks.h"
#include "document/doc.h"
#include "foundation/text/word_delimiters.h"
#include "foundation/ui/message_dlg_service.h"

using namespace qv;

namespace {

struct RecBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return 1;
  }
};

struct NameEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  TDoc* ActiveDoc() override { return Active; }
  void RequestInterfaceUpdate() override {}
};

struct Clips : TEditCommandServices {
  std::string Current = "/clips/Notes.rtf";
  std::vector<std::string> Folder = {"/clips/Notes.rtf", "/clips/Letter.rtf"};
  TField* Highlighted = nullptr;
  std::string CurrentClip() override { return Current; }
  std::vector<std::string> ClipsOfFolder() override { return Folder; }
  void SetCurrentBookmark(TField* bookmark) override { Highlighted = bookmark; }
};

class NameChecksTest : public ::testing::Test {
 protected:
  NameChecksTest() { InitWordDelimiters(1033); }
  TEngineScope engine;
  ScopedService<TMessageDlgService, RecBox> box;
  ScopedService<TCommandEnvironment, NameEnvironment> env;
  ScopedService<TEditCommandServices, Clips> clips;
};

TEST_F(NameChecksTest, BookmarkNames) {
  struct Case {
    std::u16string name;
    bool ok;
    const char* message;
  } cases[] = {
      {u"My mark", true, ""},
      {u"chapter_2", true, ""},
      {u"", false, "Please specify a name for the bookmark."},
      {u"_picturebullets", false, "\"_picturebullets\" is a reserved bookmark name. Please choose another name."},
      {u"2nd", false, "Bookmark names must begin with a letter."},
      {u"a-b", false, "Bookmark names cannot contain the following character:\r\r-"},
      {u"say\"hi", false, "Bookmark names cannot contain the following character:\r\r\""},
      {u"it's", false, "Bookmark names cannot contain the following character:\r\r'"},
  };
  for (const Case& c : cases) {
    box->Texts.clear();
    EXPECT_EQ(CheckBookmarkName(c.name), c.ok) << c.message;
    if (c.ok) EXPECT_TRUE(box->Texts.empty());
    else EXPECT_EQ(box->Texts, std::vector<std::string>{c.message});
  }
}

TEST_F(NameChecksTest, AnExistingBookmarkIsRefusedAndHighlighted) {
  TDoc doc(true);
  SetMainText(doc, {"alpha beta"});
  doc.Selection->SetSingleRange(0, 0, 0, 5);
  doc.SelectionChanged();
  TField* mark = doc.InsertBookmark(u"My_mark");
  ASSERT_NE(mark, nullptr);
  env->Active = &doc;
  EXPECT_FALSE(CheckBookmarkName(u"My mark"));
  EXPECT_EQ(box->Texts.back(), "Bookmark \"My_mark\" already exists. Please choose another name.");
  EXPECT_EQ(clips->Highlighted, mark);
  EXPECT_TRUE(CheckBookmarkName(u"Other"));
}

TEST_F(NameChecksTest, ClipNames) {
  struct Case {
    std::u16string name;
    bool ok;
    const char* message;
  } cases[] = {
      {u"notes", true, ""},  // the current clip, a change of case only
      {u"Report", true, ""},
      {std::u16string(128, u'x'), true, ""},
      {u"", false, "Please specify a non-blank clip name."},
      {std::u16string(129, u'x'), false, "The clip name is too long."},
      {u"a/b", false, "The clip name contains invalid character: \"/\""},
      {u"why?", false, "The clip name contains invalid character: \"?\""},
      {u"LETTER", false,
       "A clip with same name (\"LETTER\") is already present in the current clip folder. Please choose a "
       "different name."},
  };
  for (const Case& c : cases) {
    box->Texts.clear();
    EXPECT_EQ(CheckClipName(c.name), c.ok) << c.message;
    if (c.ok) EXPECT_TRUE(box->Texts.empty());
    else EXPECT_EQ(box->Texts, std::vector<std::string>{c.message});
  }
}

}  // namespace
