// The edit, insert and browse commands run through the command manager on real documents: each
// change is one undo step that takes the document back exactly.
#include "commands/command_fixture.h"
#include "../document/doc_builder.h"
#include "../editing/ops/ops_test_support.h"
#include "commands/edit_command_services.h"
#include "commands/edit_commands.h"
#include "document/content_tags.h"
#include "document/field.h"
#include "editing/field_edit_services.h"
#include "editing/object_edit_providers.h"
#include "editing/table_edit_providers.h"
#include "foundation/ui/sound_services.h"

using namespace qv;

namespace {

// The main text, paragraphs joined by "|", with the breaks and special characters named.
std::string Shown(const TDoc& doc) {
  std::string out;
  for (int32_t p = 0; p <= doc.LastParagraphOfStory(stMain); ++p) {
    if (p > 0) out += "|";
    const TPar& par = *doc.Par(p);
    for (int32_t i = 0; i < par.CharCount(); ++i) {
      const uint8_t c = par.CodeAt(i);
      if (c == scParagraphEnd) continue;
      if (c == scPageBreak) out += "<page>";
      else if (c == scColumnBreak) out += "<column>";
      else if (c == scSectionEnd) out += "<section>";
      else if (c == scNonBreakingSpace) out += "_";
      else if (c >= 32) out += static_cast<char>(c);
      else out += "?";
    }
  }
  return out;
}

// The clipboard of the edit services: copies succeed or fail as told.
struct FakeEditServices : TEditCommandServices {
  bool CopyWorks = true;
  int32_t Copies = 0;
  bool OpenClipboard(uint32_t) override { return true; }
  bool CopySelection(TDoc&, uint8_t) override {
    ++Copies;
    return CopyWorks;
  }
};

struct FullProviders {
  FullProviders() {
    auto list = std::make_unique<TEditOperationProviderList>();
    list->Add(MakeTextEditProviders());
    list->Add(MakeFieldEditProviders());
    list->Add(MakeObjectEditProviders());
    list->Add(MakeTableEditProviders());
    providers.emplace(std::move(list));
  }
  std::optional<ScopedService<TEditOperationProviders>> providers;
};

// The environment's own answers from the document, with an active document.
struct DocEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  TDoc* ActiveDoc() override { return Active; }
};

class EditCommandsTest : public CommandTest {
 protected:
  void SetUp() override {
    RegisterEditCommands(Manager());
    SetMainText(doc, {"alpha beta", "gamma delta"});
    docEnv->Active = &doc;
    GetOptions().Autocorrect.Flags = 0;  // no AutoCorrect after typing
  }
  ScopedService<TCommandEnvironment, DocEnvironment> docEnv;
  OpsScope ops;
  FullProviders full;
  ScopedService<TEditCommandServices, FakeEditServices> edit;
  ScopedService<TMessageDlgService, TMessageDlgService> box;
  TDoc doc{true};
};

TEST_F(EditCommandsTest, EachCommandIsOneUndoStep) {
  struct Case {
    const char* name;
    int32_t id;
    std::vector<TDocRange> selection;  // empty: the caret at `caret`
    TDocPosition caret;
    std::string after;
  } cases[] = {
      {"paragraph mark", 3000, {}, Pos(0, 5), "alpha| beta|gamma delta"},
      {"page break inside", 3002, {}, Pos(0, 5), "alpha|<page>| beta|gamma delta"},
      {"page break at the start", 3002, {}, Pos(1, 0), "alpha beta|<page>|gamma delta"},
      {"column break", 3022, {}, Pos(1, 0), "alpha beta|<column>gamma delta"},
      {"nonbreaking space", 3007, {}, Pos(0, 5), "alpha_ beta|gamma delta"},
      {"section break", 3081, {}, Pos(0, 5), "alpha<section>| beta|gamma delta"},
      {"delete", 3200, {}, Pos(0, 0), "lpha beta|gamma delta"},
      {"backspace", 3220, {}, Pos(0, 5), "alph beta|gamma delta"},
      {"backspace joins", 3220, {}, Pos(1, 0), "alpha betagamma delta"},
      {"delete previous word", 3240, {}, Pos(0, 10), "alpha|gamma delta"},  // smart spacing
      {"delete next word", 3260, {}, Pos(1, 0), "alpha beta|delta"},
      {"delete selection", 3200, {{Pos(0, 0), Pos(0, 6)}}, {}, "beta|gamma delta"},
      {"uppercase", 3980, {{Pos(0, 0), Pos(0, 5)}}, {}, "ALPHA beta|gamma delta"},
      {"join", 3920, {{Pos(0, 2), Pos(1, 2)}}, {}, "alpha beta gamma delta"},
      {"sort descending", 3931, {{Pos(0, 0), Pos(1, 3)}}, {}, "gamma delta|alpha beta"},
  };
  for (const Case& c : cases) {
    SetMainText(doc, {"alpha beta", "gamma delta"});
    doc.ClearUndo();
    if (c.selection.empty()) Caret(doc, c.caret.Par, c.caret.Offset);
    else Select(doc, c.selection);
    const std::string before = DumpDoc(doc);
    Manager().Execute(c.id);
    EXPECT_EQ(Shown(doc), c.after) << c.name;
    EXPECT_EQ(doc.UndoPosition, 0) << c.name;  // exactly one operation
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before) << c.name;
  }
}

TEST_F(EditCommandsTest, DeletionsInARowUndoTogether) {
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  for (int i = 0; i < 3; ++i) Manager().Execute(3200);
  EXPECT_EQ(Shown(doc), "ha beta|gamma delta");
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST_F(EditCommandsTest, ACutWhoseCopyFailedKeepsTheText) {
  Select(doc, {{Pos(0, 0), Pos(0, 5)}});
  edit->CopyWorks = false;
  Manager().Execute(3420);
  EXPECT_EQ(Shown(doc), "alpha beta|gamma delta");
  EXPECT_TRUE(doc.UndoList.empty());
  edit->CopyWorks = true;
  Manager().Execute(3420);
  EXPECT_EQ(Shown(doc), " beta|gamma delta");
  EXPECT_EQ(edit->Copies, 2);
}

TEST_F(EditCommandsTest, BrowsingGoesToTheNextAndPreviousHeading) {
  SetMainText(doc, {"intro", "Heading one", "body", "Heading two", "end"});
  doc.Par(1)->Format.OutlineLevel = 0;
  doc.Par(3)->Format.OutlineLevel = 1;
  GetOptions().Internal.NavObjType = 2;  // headings
  Caret(doc, 0, 2);
  Manager().Execute(4226);
  EXPECT_EQ(doc.Caret.Par, 1);
  Manager().Execute(4226);
  EXPECT_EQ(doc.Caret.Par, 3);
  Manager().Execute(4226);  // nothing further: the caret stays
  EXPECT_EQ(doc.Caret.Par, 3);
  Manager().Execute(4225);
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_EQ(Manager().Flags & TCommandManager::cmBrowsing, 0u);
}

TEST_F(EditCommandsTest, SelectionCommandsSelectTheWordSentenceAndParagraph) {
  SetMainText(doc, {"One two. Three four.", "next"});
  struct Case {
    int32_t id;
    TDocPosition caret;
    TDocRange expected;
  } cases[] = {
      {3760, Pos(0, 5), {Pos(0, 4), Pos(0, 7)}},
      {3785, Pos(0, 11), {Pos(0, 9), Pos(0, 20)}},
      {3800, Pos(0, 3), {Pos(0, 0), Pos(0, 20)}},
  };
  for (const Case& c : cases) {
    Caret(doc, c.caret.Par, c.caret.Offset);
    Manager().Execute(c.id);
    ASSERT_TRUE(doc.HasSelection()) << c.id;
    const TDocRange got = *doc.Selection->GetRange(0);
    EXPECT_EQ(got.Start.Offset, c.expected.Start.Offset) << c.id;
    EXPECT_EQ(got.End.Offset, c.expected.End.Offset) << c.id;
  }
}

struct RecordingBox : TMessageDlgService {
  std::vector<std::string> Texts;
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return mrOk;
  }
};

struct RecSounds : TSoundService {
  std::vector<int32_t> Events;
  void PlayEventSound(int32_t event) override { Events.push_back(event); }
};

TEST_F(EditCommandsTest, CopyIsSilentWhileTheVadureVaviCollects) {
  ScopedService<TSoundService, RecSounds> sounds;
  Select(doc, {{Pos(0, 0), Pos(0, 5)}});
  Manager().Execute(3340);
  EXPECT_EQ(sounds->Events, std::vector<int32_t>{2320});
  GetOptions().Internal.Flags |= 0x40000;  // the Vadure Vavi collects clipboard data
  Manager().Execute(3340);
  EXPECT_EQ(sounds->Events, std::vector<int32_t>{2320});
}

TEST_F(EditCommandsTest, EnterAtTheStartOfATableSplitsItInstead) {
  TDoc table(true);
  TDocBuilder build(table);
  build.Row({"a", "b"});
  build.Add("after");
  build.Finish();
  docEnv->Active = &table;
  Caret(table, 0, 0);
  table.SelectionChanged();
  RecHandler& tables = Handle(CommandRange::Picture);
  tables.Rule = [](TCommandManager&, int32_t, uint8_t&) { return true; };
  Manager().Execute(3000);
  EXPECT_EQ(runs, std::vector<int32_t>{16112});
  EXPECT_TRUE(table.UndoList.empty());  // nothing typed
}

TEST_F(EditCommandsTest, AnAutomaticDateIsAFieldWithItsFormatAndCase) {
  GetOptions().DateTime.UpdDtTm = true;
  GetOptions().DateTime.LastUsedDateTimeCaseFormat = 4;
  Caret(doc, 0, 0);
  Manager().Execute(3540);
  TField* date = nullptr;
  for (const auto& f : doc.Fields)
    if (f->Kind == fkField && f->FieldType == 31) date = f.get();
  ASSERT_NE(date, nullptr);
  const std::u16string& instruction = date->Instruction;
  EXPECT_NE(instruction.find(u"\\@ \""), std::u16string::npos);
  EXPECT_EQ(instruction.substr(instruction.size() - 8), u" \\* Caps");
  doc.Undo();  // the field and its first result undo together
  EXPECT_TRUE(std::none_of(doc.Fields.begin(), doc.Fields.end(), [](const auto& f) { return f->FieldType == 31; }));
}

TEST_F(EditCommandsTest, NotesKeepTheirStartAndTheirLastMark) {
  TDoc notes(true);
  TDocBuilder build(notes);
  build.AddWithNote("text", "note");
  build.Finish();
  docEnv->Active = &notes;
  const int32_t notePar = notes.FirstParagraphOfStory(stFootnotes);
  Caret(notes, notePar, 0);
  Manager().Execute(3220);  // Backspace at the start of the footnotes does nothing
  EXPECT_TRUE(notes.UndoList.empty());
  ScopedService<TMessageDlgService, RecordingBox> messages;
  int32_t last = 0;
  while (last < notes.ParLength(notePar) && !notes.IsNoteEndAt(Pos(notePar, last))) ++last;
  ASSERT_LT(last, notes.ParLength(notePar));
  Caret(notes, notePar, last);
  Manager().Execute(3200);  // Delete on the note's last mark is refused with a message
  EXPECT_TRUE(notes.UndoList.empty());
  ASSERT_EQ(messages->Texts.size(), 1u);
  EXPECT_EQ(messages->Texts[0].rfind("The last paragraph mark of a footnote/endnote cannot be deleted.", 0), 0u);
}

}  // namespace
