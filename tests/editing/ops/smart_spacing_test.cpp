// Smart Cut & Paste spacing: the classes of the typing context and the spaces left after
// insertions and deletions.
#include <gtest/gtest.h>

#include "editing/ops/smart_spacing.h"
#include "editing/ops/text_insertion.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

TEST(SmartSpacing, TypingContextClassesBothSides) {
  struct Case {
    const char* text;
    int32_t offset;
    int left, right;
  } cases[] = {
      {"ab", 0, 1, 3},        // nothing before
      {"a b", 2, 0, 3},       // a space before
      {"(b", 1, 1, 3},        // opening before
      {"a)", 1, 3, 2},        // closing after
      {"a,", 2, 2, 2},        // closing before, paragraph end after
      {"a (", 1, 3, 0},       // space after
      {"a(", 1, 3, 1},        // opening after
      {"10:30", 3, 1, 3},     // inside a time, left of the digits
      {"10:30", 2, 3, 2},     // inside a time, right side
      {"x \"y", 2, 0, 1},     // a straight quote after a space opens
      {"x\"", 1, 3, 2},       // after a letter it closes
  };
  OpsScope scope;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.offset));
    TDoc doc(true);
    SetMainText(doc, {c.text});
    TTypingContext ctx;
    const TSmartSpaceSets sets = DefaultSmartSpaceSets(1033);
    GetTypingContext(doc, 0, c.offset, ctx, &sets);
    EXPECT_EQ(ctx.Left, c.left);
    EXPECT_EQ(ctx.Right, c.right);
  }
}

TEST(SmartSpacing, DeletionAndInsertionLeaveOneSpaceBetweenWords) {
  struct Case {
    const char* name;
    const char* text;
    bool insert;
    int32_t from, to;  // deleted range, or the insertion offset in `from`
    const char* inserted;
    const char* want;
  } cases[] = {
      {"middle word deleted", "one two three", false, 4, 7, "", "one three"},
      {"word with its space deleted", "one two three", false, 4, 8, "", "one three"},
      {"last word deleted", "one two", false, 3, 7, "", "one"},
      {"word before an opening bracket", "word(x)", true, 4, 0, "new", "word new (x)"},
      {"word right after an opening bracket", "(x)", true, 1, 0, "new", "(new x)"},
      {"word before a comma", "a, b", true, 1, 0, "new", "a new, b"},
      {"no space inside a time", "10:30", true, 3, 0, "", "10:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    SetMainText(doc, {c.text});
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    if (c.insert) {
      TMemory m;
      m.AppendString(c.inserted);
      doc.Caret = Pos(0, c.from);
      int32_t flags = idfSmartSpacing;
      void* args[] = {&m, &flags};
      doc.ExecuteEdit(ecTypeText, args, 1);
    } else {
      DeleteRange(doc, {Pos(0, c.from), Pos(0, c.to)}, idfSmartSpacing);
    }
    EXPECT_EQ(MainText(doc), c.want);
    if (MainText(doc) != c.text) ExpectUndoRedoExact(doc, before);
  }
}

TEST(SmartSpacing, ADeletionAcrossParagraphsEndingInsideOneAdjustsTheSpacesAtItsStart) {
  // Only a deletion of whole paragraphs leaves the spaces alone; this one ends inside "cc dd",
  // and afterwards the paragraph at that index is the short "x".
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"aa", "cc dd", "x"});
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  DeleteRange(doc, {Pos(0, 0), Pos(1, 2)}, idfSmartSpacing);
  EXPECT_EQ(MainText(doc), "dd/x");
  ExpectUndoRedoExact(doc, before);
}

}  // namespace
