// The left button in the document window, through the headless backend's input queue: clicks,
// double and triple clicks, Shift, Ctrl and Alt, the selection bar, table zones, selecting drags
// by kind, links followed on the same spot, and the release collapsing a clicked selection.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/field.h"
#include "foundation/settings/options_holder.h"
#include "docwindow/zoom.h"
#include "foundation/system/shell_services.h"
#include "mouse_fixture.h"

using namespace qv;

namespace {

constexpr uint32_t kEditDragDrop = 0x1;
constexpr uint32_t kEditSelectWholeWords = 0x10;
constexpr uint32_t kEditCtrlClickFollows = 0x8000;

using Range = std::array<int32_t, 4>;

class MouseInputTest : public dwtest::MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    savedFlags_ = GetOptions().Edit.Flags;
  }
  void TearDown() override {
    GetOptions().Edit.Flags = savedFlags_;
    MouseTest::TearDown();
  }
  void EditOption(uint32_t bit, bool on) {
    if (on) GetOptions().Edit.Flags |= bit;
    else GetOptions().Edit.Flags &= ~bit;
  }
  // Two sentences in the first paragraph, then a second paragraph.
  void Text() {
    b->Add("The quick brown fox. Jumps over it.");
    b->Add("Second paragraph here");
    b->Add("Third");
    Show();
  }
  uint32_t savedFlags_ = 0;
};

TEST_F(MouseInputTest, ClicksByCountAndKeys) {
  Text();
  struct Case {
    const char* name;
    uint8_t keys;
    int clicks;
    Range selection;  // empty range: the caret at its start
  };
  const Case cases[] = {
      {"a click places the caret", 0, 1, {0, 6, 0, 6}},
      {"a double click selects the word", 0, 2, {0, 4, 0, 9}},
      {"a triple click selects the paragraph", 0, 3, {0, 0, 0, 36}},
      {"Ctrl+click selects the sentence", plat::ssCtrl, 1, {0, 0, 0, 20}},
  };
  for (const Case& c : cases) {
    SetCaret(Doc(), 2, 0, scClearSelection, 0);
    plat::headless::AdvanceClock(2000);
    for (int i = 0; i < c.clicks; ++i) Click(At(0, 6), c.keys);
    if (c.selection[1] == c.selection[3]) {
      EXPECT_FALSE(Doc().HasSelection()) << c.name;
      EXPECT_EQ(Doc().Caret.Offset, c.selection[1]) << c.name;
    } else {
      EXPECT_EQ(Sel(), c.selection) << c.name;
    }
    EXPECT_EQ(form->Flags & TDocForm::MouseBusyFlags, 0u) << c.name;
  }
  // A third click after the double-click time is a new click.
  DoubleClick(AtChar(0, 6));
  plat::headless::AdvanceClock(2000);
  Click(AtChar(0, 6));
  EXPECT_FALSE(Doc().HasSelection());
}

TEST_F(MouseInputTest, ShiftClickExtendsFromTheAnchorWithinItsStory) {
  b->Add("Main text with words");
  b->AddWithNote("Noted", "Note text");
  Show();
  EditOption(kEditSelectWholeWords, false);
  Click(At(0, 2));
  Click(At(0, 12), plat::ssShift);
  EXPECT_EQ(Sel(), (Range{0, 2, 0, 12}));
  EXPECT_EQ(Doc().SelectionAnchor.Offset, 2);
  // Back before the anchor: the anchor stays.
  Click(At(0, 1), plat::ssShift);
  EXPECT_EQ(Sel(), (Range{0, 1, 0, 2}));
  // A Shift+click in the footnote story does not extend the main-text selection.
  const int32_t note = Doc().FirstParagraphOfStory(stFootnotes);
  const plat::Point inNote = AtChar(note, 1);
  const THitTestInfo h = Hit(inNote);
  ASSERT_TRUE(h.HasPosition());
  ASSERT_EQ(h.Position.Par, note);
  Click(inNote, plat::ssShift);
  EXPECT_EQ(Sel(), (Range{0, 1, 0, 2}));
}

TEST_F(MouseInputTest, DraggingSelectsByCharactersOrWholeWords) {
  Text();
  EditOption(kEditSelectWholeWords, false);
  DragTo(At(0, 6), At(0, 12));
  EXPECT_EQ(Sel(), (Range{0, 6, 0, 12}));
  EXPECT_EQ(Doc().Caret.Offset, 12);
  // With whole words, a drag from inside one word into another takes both whole.
  EditOption(kEditSelectWholeWords, true);
  DragTo(At(0, 6), At(0, 12));
  EXPECT_EQ(Sel(), (Range{0, 4, 0, 15}));
  // Dragging back within the second word selects it by characters.
  Click(At(1, 0));
  plat::headless::AdvanceClock(2000);
  Down(At(0, 6));
  MoveTo(At(0, 14));
  EXPECT_EQ(Sel(), (Range{0, 4, 0, 15}));
  MoveTo(At(0, 12));
  EXPECT_EQ(Sel(), (Range{0, 4, 0, 12}));
  Up(At(0, 12));
  // A double click and a drag extend by whole words from the double-clicked one.
  DoubleClick(AtChar(0, 1));
  Down(AtChar(0, 1));
  Up(AtChar(0, 1));
  plat::headless::AdvanceClock(2000);
  DoubleClick(AtChar(0, 17));
  ASSERT_EQ(Sel(), (Range{0, 16, 0, 19}));
}

TEST_F(MouseInputTest, DraggingFromMainTextIntoANoteChangesNothingThere) {
  b->Add("Main text with words");
  b->AddWithNote("Noted", "Note text");
  Show();
  EditOption(kEditSelectWholeWords, false);
  const int32_t note = Doc().FirstParagraphOfStory(stFootnotes);
  Down(At(0, 2));
  MoveTo(At(0, 6));
  ASSERT_EQ(Sel(), (Range{0, 2, 0, 6}));
  MoveTo(AtChar(note, 2));
  EXPECT_EQ(Sel(), (Range{0, 2, 0, 6}));
  Up(AtChar(note, 2));
}

TEST_F(MouseInputTest, SelectionBarSelectsLinesAndTheStory) {
  b->Add("One|Two|Three");
  b->Add("Next paragraph");
  Show();
  Click(LeftOfLine(0, 4, 20));
  EXPECT_EQ(Sel(), (Range{0, 4, 0, 8}));
  // Dragging down the bar takes whole lines.
  DragTo(LeftOfLine(0, 0, 20), LeftOfLine(0, 4, 20));
  EXPECT_EQ(Sel(), (Range{0, 0, 0, 8}));
  // A triple click in the bar selects the whole story.
  plat::headless::AdvanceClock(2000);
  for (int i = 0; i < 3; ++i) Click(LeftOfLine(1, 0, 20));
  TDocRange story;
  Doc().GetCurrentStoryRange(story);
  EXPECT_EQ(Sel(), (Range{story.Start.Par, story.Start.Offset, story.End.Par, story.End.Offset}));
  // A double click in the bar selects the paragraph.
  plat::headless::AdvanceClock(2000);
  DoubleClick(LeftOfLine(0, 8, 20));
  EXPECT_EQ(Sel(), (Range{0, 0, 0, Doc().ParLength(0)}));
}

TEST_F(MouseInputTest, AltDragSelectsABlockOfLinePieces) {
  b->Add("abcdefghij");
  b->Add("ab");
  b->Add("abcdefghij");
  Show();
  DragTo(At(0, 2), At(2, 5), plat::ssAlt);
  const TCompoundFragment& sel = *Doc().Selection;
  EXPECT_TRUE(sel.ColumnBlock);
  ASSERT_EQ(sel.Count(), 2);
  EXPECT_EQ(Sel(), (Range{0, 2, 0, 5}));
  EXPECT_EQ(sel.GetRange(1)->Start.Par, 2);
  EXPECT_EQ(sel.GetRange(1)->Start.Offset, 2);
  EXPECT_EQ(sel.GetRange(1)->End.Offset, 5);
  // The short line has no characters in the block: it is recorded as an empty block line.
  EXPECT_EQ(form->Mouse.EmptyBlockLines, std::vector<int32_t>{0});
}

TEST_F(MouseInputTest, AClickInsideASelectionCollapsesItOnReleaseUnlessDragged) {
  Text();
  EditOption(kEditDragDrop, true);
  Doc().SetSelection(0, 4, 0, 15);
  const plat::Point p = At(0, 8);
  Down(p);
  EXPECT_TRUE(Doc().HasSelection());
  EXPECT_TRUE(form->HasFlag(TDocForm::dfTextDragPending));
  Up(p);
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_EQ(Doc().Caret.Offset, 8);
  // Moving by the drag threshold first keeps it.
  plat::headless::AdvanceClock(2000);
  Doc().SetSelection(0, 4, 0, 15);
  Down(p);
  MoveTo({p.x + 3, p.y});
  Up({p.x + 3, p.y});
  EXPECT_EQ(Sel(), (Range{0, 4, 0, 15}));
  // Without drag and drop the press empties a one-range selection at once.
  EditOption(kEditDragDrop, false);
  plat::headless::AdvanceClock(2000);
  Down(p);
  EXPECT_FALSE(Doc().HasSelection());
  Up(p);
}

TEST_F(MouseInputTest, TableZones) {
  b->Add("Before");
  b->Row({"A1", "B1"});
  b->Row({"A2", "B2"});
  b->Add("After");
  Show();
  const int32_t a1 = 1, b1 = 2, row1End = 3, a2 = 4, b2 = 5, row2End = 6;
  ASSERT_EQ(ParText(b2), "B2");
  auto cellZone = [&](int32_t par) {
    const THitTestInfo h = Hit(AtChar(par, 0));
    const plat::Point o = form->DocToClient(BoxToViewPoint(*h.CellBox, {0, 0}));
    // Inside the cell's left band, past the border's own two pixels.
    return plat::Point{o.x + 3, AtChar(par, 0).y};
  };
  Click(cellZone(b1));
  EXPECT_EQ(Sel(), (Range{b1, 0, b1, Doc().ParLength(b1)}));
  // Dragging over the cells of the next row extends by cells.
  DragTo(cellZone(a1), AtChar(b2, 0));
  EXPECT_TRUE(Doc().IsCellSelection(*Doc().Selection));
  EXPECT_EQ(Doc().Selection->GetRange(0)->Start.Par, a1);
  // A click in the row zone selects the row; a triple click in the cell zone the table.
  Click(LeftOfLine(a2, 0, 20));
  TDocRange row;
  Doc().GetRowRange(a2, row);
  EXPECT_EQ(Sel(), (Range{row.Start.Par, row.Start.Offset, row.End.Par, row.End.Offset}));
  plat::headless::AdvanceClock(2000);
  for (int i = 0; i < 3; ++i) Click(cellZone(a1));
  EXPECT_EQ(Doc().Selection->GetRange(0)->Start.Par, a1);
  EXPECT_EQ(Doc().Selection->LastRange->End.Par, row2End);
  // Ctrl+click inside the selection on a cell takes that cell out.
  plat::headless::AdvanceClock(2000);
  Doc().SetSelection(a1, 0, row1End, 0);
  ASSERT_TRUE(Doc().IsParagraphWhollySelected(b1));
  Click(AtChar(b1, 0), plat::ssCtrl);
  EXPECT_FALSE(Doc().IsPositionSelected(TDocPosition{b1, 0, 0, 0}));
  EXPECT_TRUE(Doc().IsPositionSelected(TDocPosition{a1, 0, 0, 0}));
  (void)row2End;
}

// Records the links the shell was asked to open.
struct RecLinks : THyperlinkServices {
  std::vector<std::string> Opened;
  bool IsTrustedFile(const std::string&) override { return true; }
  plat::ShellResult ShellOpen(const std::string& target) override {
    Opened.push_back(target);
    return plat::ShellResult::Ok;
  }
};

TEST_F(MouseInputTest, ALinkIsFollowedOnlyWhenReleasedOnThePressPoint) {
  b->Add("ab");
  Show();
  auto owned = std::make_unique<TField>();
  TField* link = owned.get();
  link->FieldType = ftHyperlink;
  link->Instruction = u"HYPERLINK \"http://example.com/\"";
  Doc().Fields.push_back(std::move(owned));
  TPar& p = *Doc().Par(0);
  p.Content.Clear();
  p.Content.AppendString("See ");
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(link));
  p.Content.AppendString("the link");
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(link));
  p.Content.AppendString(" now");
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  Doc().InvalidateFieldIndex();
  Doc().RebuildLayout();
  Pump();
  ScopedService<THyperlinkServices, RecLinks> shell;
  EditOption(kEditCtrlClickFollows, false);
  const plat::Point on = AtChar(0, 7);
  ASSERT_NE(Hit(on).HyperlinkField, nullptr);
  Down(on);
  Up({on.x + 1, on.y});
  EXPECT_TRUE(shell->Opened.empty());
  EXPECT_FALSE(Doc().HasSelection());
  plat::headless::AdvanceClock(2000);
  Click(on);
  EXPECT_EQ(shell->Opened, std::vector<std::string>{"http://example.com/"});
  // With the Ctrl+Click option only a Ctrl+click follows.
  EditOption(kEditCtrlClickFollows, true);
  plat::headless::AdvanceClock(2000);
  Click(on);
  EXPECT_EQ(shell->Opened.size(), 1u);
  plat::headless::AdvanceClock(2000);
  Click(on, plat::ssCtrl);
  EXPECT_EQ(shell->Opened.size(), 2u);
}

TEST_F(MouseInputTest, ToolsAndSoundsOfThePress) {
  Text();
  // Plain clicks sound "Mouse click", double clicks their own event; the formatting tools are
  // silent and apply themselves to what was selected.
  Click(AtChar(0, 2));
  EXPECT_EQ(S().Sounds, std::vector<int32_t>{13000});
  S().Sounds.clear();
  plat::headless::AdvanceClock(2000);
  DoubleClick(AtChar(0, 2));
  EXPECT_EQ(S().Sounds, (std::vector<int32_t>{13000, 13100}));
  Click(At(1, 0));
  S().Sounds.clear();
  S().Mouse = 2;  // Format Brush
  plat::headless::AdvanceClock(2000);
  DragTo(At(0, 0), At(0, 3));
  EXPECT_TRUE(S().Sounds.empty());
  EXPECT_EQ(S().Commands, std::vector<int32_t>{15550});
  S().Commands.clear();
  S().Mouse = 4;  // Highlight
  DragTo(At(0, 4), At(0, 9));
  EXPECT_EQ(S().Commands, std::vector<int32_t>{12500});
  EXPECT_FALSE(Doc().HasSelection());
  S().Mouse = 0;
}

}  // namespace

namespace {

class MouseCasesTest : public dwtest::MouseTest {};

TEST_F(MouseCasesTest, DoubleClicksOffTheText) {
  b->Add("One\fTwo");
  Show();
  ApplyZoom(Doc(), 50);
  Pump();
  plat::Rect second;
  Doc().GetPageRect(1, second);
  Doc().ScrollTo({0, second.top - 40});
  Pump();
  struct Case {
    const char* name;
    plat::Point at;
    int32_t command;
  };
  const Case cases[] = {
      {"the band above a page hides or shows white space",
       form->DocToClient({second.left + 40, second.top - 3}), 8110},
      {"beside the pages: page settings", form->DocToClient({second.right + 4, second.top + 40}), 260},
  };
  for (const Case& c : cases) {
    S().Commands.clear();
    plat::headless::AdvanceClock(2000);
    DoubleClick(c.at);
    EXPECT_EQ(S().Commands, std::vector<int32_t>{c.command}) << c.name;
  }
}

TEST_F(MouseCasesTest, ADoubleClickOnANoteReferenceGoesToTheNote) {
  b->Add("Start");
  b->AddWithNote("Noted", "Note text");
  Show();
  const int32_t note = Doc().FirstParagraphOfStory(stFootnotes);
  const THitTestInfo h = Hit(AtChar(1, 5));
  ASSERT_NE(h.NoteRefField, nullptr);
  DoubleClick(AtChar(1, 5));
  EXPECT_EQ(Doc().Caret.Par, note);
  EXPECT_FALSE(Doc().HasSelection());
}

TEST_F(MouseCasesTest, ASelectingDragBeyondThePageAreaScrollsTheView) {
  for (int i = 0; i < 80; ++i) b->Add(TDocBuilder::Numbered("Paragraph ", i));
  Show(800, 400);
  Doc().PaginateAll();
  const plat::Point from = At(1, 2);
  Down(from);
  MoveTo({from.x, form->PageArea.bottom - 2});
  EXPECT_TRUE(form->HasFlag(TDocForm::dfAutoScroll));
  const int32_t before = Doc().View.ScrollPos.y;
  const int32_t selectedBefore = Doc().Selection->LastRange->End.Par;
  for (int i = 0; i < 20; ++i) {
    plat::headless::AdvanceClock(5);
    Pump();
  }
  EXPECT_GT(Doc().View.ScrollPos.y, before);
  EXPECT_GT(Doc().Selection->LastRange->End.Par, selectedBefore);
  // Back inside, the timer stops; the release ends the gesture.
  MoveTo(from);
  EXPECT_FALSE(form->HasFlag(TDocForm::dfAutoScroll));
  Up(from);
  EXPECT_EQ(form->Flags & TDocForm::MouseBusyFlags, 0u);
}

TEST_F(MouseCasesTest, CancelModeEndsEveryGesture) {
  b->Add("Some text to select");
  Show();
  Down(At(0, 2));
  MoveTo(At(0, 8));
  ASSERT_TRUE(form->HasFlag(TDocForm::dfSelectingByDrag));
  ASSERT_EQ(plat::GetCapture(), form->Handle());
  const Range selected = Sel();
  Press(plat::VK_ESCAPE);
  EXPECT_FALSE(form->HasFlag(TDocForm::dfSelectingByDrag));
  EXPECT_NE(plat::GetCapture(), form->Handle());
  EXPECT_EQ(Sel(), selected);
  // The anchor sits on the nearer end of the selected range.
  EXPECT_EQ(Doc().SelectionAnchor.Offset, selected[1]);
  // Moves after the cancel change nothing.
  MoveTo(At(0, 12));
  EXPECT_EQ(Sel(), selected);
  Up(At(0, 12));
  // The hand tool's release sounds its event.
  S().Mouse = 1;
  S().Sounds.clear();
  plat::headless::AdvanceClock(2000);
  Down(At(0, 4));
  EXPECT_TRUE(form->HasFlag(TDocForm::dfPanning));
  Up(At(0, 4));
  EXPECT_FALSE(form->HasFlag(TDocForm::dfPanning));
  EXPECT_EQ(S().Sounds.back(), 10060);
  S().Mouse = 0;
}

}  // namespace
