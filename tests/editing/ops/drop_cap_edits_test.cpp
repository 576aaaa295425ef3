// Drop caps through text edits: typing over the enlarged letter keeps the drop cap on the new
// one; insertions, deletions and joins that leave a drop cap where none may stand remove it.
// Each edit undone and redone exactly.
#include <gtest/gtest.h>

#include <functional>

#include "document/drop_caps.h"
#include "document/field.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

TField* AddDropCap(TDoc& doc, int32_t par, int32_t letters) {
  auto f = std::make_unique<TField>();
  f->Kind = fkDropCap;
  auto settings = std::make_unique<TDropCapRecord>();
  settings->Settings.Lines = 3;
  f->Attachment = std::move(settings);
  return doc.InsertFieldMarks(std::move(f), {Pos(par, 0), Pos(par, letters)});
}

int CountDropCaps(const TDoc& doc) {
  int n = 0;
  for (const auto& f : doc.Fields) n += f->Kind == fkDropCap;
  return n;
}

TEST(DropCapEdits, TypingOverTheEnlargedLetterKeepsTheDropCapOnTheNewOne) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"Hello world"});
  AddDropCap(doc, 0, 1);
  Select(doc, {{Pos(0, 0), Pos(0, 1)}});
  const std::string before = DumpDoc(doc);
  TypeBytes(doc, "J");
  EXPECT_EQ(MainText(doc), "Jello world");
  TField* cap = doc.GetDropCapField(0);
  ASSERT_NE(cap, nullptr);
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(cap, r));
  EXPECT_EQ(r.Start.Offset, 0);
  EXPECT_EQ(r.End.Offset, 1);
  EXPECT_EQ(DropCapSettingsOf(*cap).Lines, 3);
  ExpectUndoRedoExact(doc, before);
}

TEST(DropCapEdits, EditsThatLeaveADropCapWhereNoneMayStandRemoveIt) {
  struct Case {
    const char* name;
    std::vector<std::string> pars;
    int32_t capPar, capLetters;
    std::function<void(TDoc&)> edit;
    const char* text;
    int caps;  // drop caps left
  } cases[] = {
      {"Enter inside the enlarged letters", {"Hello"}, 0, 2,
       [](TDoc& d) { Caret(d, 0, 1); TypeBytes(d, "\r"); }, "H/ello", 0},
      {"typing after the letters keeps it", {"Hello"}, 0, 1,
       [](TDoc& d) { Caret(d, 0, 3); TypeBytes(d, "x"); }, "Helxlo", 1},
      {"deleting the mark before the paragraph", {"First", "Second"}, 1, 1,
       [](TDoc& d) { DeleteRange(d, {Pos(0, 5), Pos(1, 0)}); }, "FirstSecond", 0},
      {"joining the paragraphs", {"First", "Second"}, 1, 1,
       [](TDoc& d) {
         ScopedSmartCutPaste plain(false);
         Select(d, {{Pos(0, 0), Pos(1, 6)}});
         int32_t first = 0, last = 1;
         void* args[] = {&first, &last};
         d.ExecuteEdit(ecJoinParagraphs, args, 1);
       },
       "FirstSecond", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    SetMainText(doc, c.pars);
    AddDropCap(doc, c.capPar, c.capLetters);
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    c.edit(doc);
    EXPECT_EQ(MainText(doc), c.text);
    EXPECT_EQ(CountDropCaps(doc), c.caps);
    ExpectUndoRedoExact(doc, before);
  }
}

}  // namespace
