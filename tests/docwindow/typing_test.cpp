// A document opened in its window from a file, typed into through the application object's
// loop, the caret following and kept in view, the typing undone, and the close query asking.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "docwindow/caret.h"
#include "docwindow/scroll_into_view.h"
#include "editing/edit_codes.h"
#include "editing/edit_flags.h"
#include "layout/paint/view_painter.h"
#include "platform/gfx/bitmap.h"
#include "support/test_env.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

class TypingTest : public dwtest::DocWindowTest {
 protected:
  // A plain-text file of many lines, opened in the window.
  void OpenLongFile() {
    std::string text;
    for (int i = 1; i <= 120; ++i) text += "Line " + std::to_string(i) + "\r\n";
    const std::string path = qvtest::MakeTempDir("typing") + "/letter.txt";
    qvtest::WriteFile(path, text);
    std::string error;
    b.reset();  // the window reads into a document of its own
    ASSERT_TRUE(form->OpenFile(path, error)) << error;
    Show(800, 600);
  }
  int32_t LastPar() { return Doc().LastParagraphOfStory(stMain); }
};

TEST_F(TypingTest, TypedTextFollowsTheCaretIntoViewAndUndoesAsTyping) {
  OpenLongFile();
  ASSERT_GT(Doc().PageCount(), 1);
  const int32_t par = LastPar() - 1;
  ASSERT_EQ(ParText(par), "Line 120");
  // Ctrl+End: the caret goes to the end of the text, which comes into view.
  Press(plat::VK_END, plat::ssCtrl);
  EXPECT_EQ(Doc().Caret.Par, LastPar());
  EXPECT_GT(Doc().View.ScrollPos.y, 0);
  EXPECT_TRUE(IsCaretVisible(Doc()));
  Press(plat::VK_UP);
  Press(plat::VK_END);
  ASSERT_EQ(Doc().Caret.Par, par);
  const int32_t x = Doc().View.CaretX;
  Type(" and more");
  EXPECT_EQ(ParText(par), "Line 120 and more");
  EXPECT_EQ(Doc().Caret.Offset, 17);
  EXPECT_GT(Doc().View.CaretX, x);
  EXPECT_TRUE(IsCaretVisible(Doc()));
  // The system caret is where the document's caret is.
  const plat::CaretInfo caret = plat::GetCaretInfo();
  EXPECT_EQ(caret.hwnd, form->Handle());
  EXPECT_EQ(caret.rect.left, form->PageArea.left + Doc().View.CaretX - Doc().View.ScrollPos.x);
  // Typing groups for undo: one undo takes the word back.
  ASSERT_EQ(Doc().Modified, 1);
  Doc().Undo();
  EXPECT_EQ(ParText(par), "Line 120 and");
  while (Doc().UndoPosition >= 0) Doc().Undo();
  EXPECT_EQ(ParText(par), "Line 120");
  EXPECT_EQ(Doc().Modified, 0);
  EXPECT_TRUE(form->FormCloseQuery());
  // Typed again: closing asks to save.
  Type("!");
  (*box)->Answer = mrNo;
  EXPECT_TRUE(form->CloseDocumentWindow());
  EXPECT_EQ((*box)->Texts.size(), 1u);
  EXPECT_EQ((*services)->Closed, 1);
}

// The same with the program's own edit actions: runs once the text input operation is there.
class ProgramTypingTest : public TypingTest {
 protected:
  void SetUp() override {
    TypingTest::SetUp();
    edits.reset();
    RegisterEditingServices();
    editing.reset();
    editing.emplace(MakeEditingServices());
  }
  void TearDown() override {
    UnregisterEditingServices();
    TypingTest::TearDown();
  }
  static bool TextInputProvided() {
    TDoc scratch(true);
    TMemory text;
    text.AppendByte('x');
    int32_t flags = 0;
    void* args[] = {&text, &flags};
    scratch.ExecuteEdit(ecTypeText, args, 1);
    return scratch.IsDocFlagSet(dfCommitted);
  }
};

TEST_F(ProgramTypingTest, TypedTextGoesThroughTheEditDispatcher) {
  if (!TextInputProvided()) GTEST_SKIP() << "the text input edit action is not built yet";
  OpenLongFile();
  Press(plat::VK_HOME, plat::ssCtrl);
  Type("Hi ");
  EXPECT_EQ(ParText(0).substr(0, 9), "Hi Line 1");
  EXPECT_TRUE(IsCaretVisible(Doc()));
  Doc().Undo();
  EXPECT_EQ(ParText(0), "Line 1");
}

// A character typed into a line that keeps its place repaints only that line's band: a pixel of
// the window far from it stays as it was, and the window then shows what a whole repaint of the
// view shows.
TEST_F(ProgramTypingTest, TypingCopiesOnlyTheChangedBandsAndTheWindowShowsTheWholeView) {
  if (!TextInputProvided()) GTEST_SKIP() << "the text input edit action is not built yet";
  OpenLongFile();
  Press(plat::VK_HOME, plat::ssCtrl);
  const plat::Rect area = form->PageArea;
  ASSERT_FALSE(area.IsEmpty());
  // The window's image (the host's surface; the window stands at the host's top-left). A mark
  // put on it below the first lines shows whether a repaint reached it.
  auto* surface = const_cast<plat::Bitmap*>(plat::GetWindowSurface(host.Handle()));
  ASSERT_NE(surface, nullptr);
  const plat::Point mark{area.right - 3, area.bottom - 3};
  surface->SetPixel(mark.x, mark.y, 0x0000FF);
  Type("Hi ");
  ASSERT_EQ(ParText(0), "Hi Line 1");
  EXPECT_EQ(surface->GetPixel(mark.x, mark.y), 0x0000FFu);

  plat::Bitmap whole(surface->Width(), surface->Height());
  PaintDocumentView(Doc(), whole, area);
  int32_t differing = 0;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x)
      if ((x != mark.x || y != mark.y) && surface->GetPixel(x, y) != whole.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST_F(ProgramTypingTest, TypingIntoThreeSelectedRangesPutsTheCharacterAtEachAndUndoesAsOne) {
  if (!TextInputProvided()) GTEST_SKIP() << "the text input edit action is not built yet";
  OpenLongFile();
  // "Line 1", "Line 2", "Line 3": the digits selected.
  Doc().SetSelection(0, 5, 0, 6);
  Doc().SaveSelectionBase();
  Doc().SetSelection(1, 5, 1, 6, TDoc::ssAddToBase);
  Doc().SaveSelectionBase();
  Doc().SetSelection(2, 5, 2, 6, TDoc::ssAddToBase);
  ASSERT_EQ(Doc().Selection->Count(), 3);
  Type("x");
  EXPECT_EQ(ParText(0), "Line x");
  EXPECT_EQ(ParText(1), "Line x");
  EXPECT_EQ(ParText(2), "Line x");
  Doc().Undo();
  EXPECT_EQ(ParText(0), "Line 1");
  EXPECT_EQ(ParText(1), "Line 2");
  EXPECT_EQ(ParText(2), "Line 3");
}

}  // namespace
