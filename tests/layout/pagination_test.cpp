#include "layout/pagination_fixture.h"

#include "document/drop_caps.h"
#include "document/field.h"
#include "document/field_index.h"
#include "foundation/base/service_slot.h"
#include "layout/inline_shape_service.h"
#include "layout/layout_units.h"
#include "layout/note_layout.h"
#include "layout/page.h"
#include "layout/pagination.h"

namespace {

// n one-line paragraphs; returns the index of the first.
int32_t Fill(TDocBuilder& b, int n) {
  int32_t first = -1;
  for (int i = 0; i < n; ++i) {
    const int32_t p = b.Add(TDocBuilder::Numbered("Filler ", i));
    if (first < 0) first = p;
  }
  return first;
}

TEST_F(PaginationTest, PlainParagraphsFillPages) {
  Fill(*b, 30);
  Paginate();
  EXPECT_TRUE(doc->Layout.LaidOutToEnd);
  ASSERT_EQ(doc->PageCount(), 3);
  EXPECT_EQ(PageOf(11), 0);
  EXPECT_EQ(PageOf(12), 1);
  EXPECT_EQ(PageOf(29), 2);
  EXPECT_EQ(TopOnPage(0), 720);
  EXPECT_EQ(TopOnPage(13), 720 + kLine);
  EXPECT_EQ(doc->Layout.CompletePageCount, 3);
}

TEST_F(PaginationTest, KeepWithNextMovesTheHeadingWithItsParagraph) {
  Fill(*b, 11);
  b->Format.KeepNext = 1;
  const int32_t heading = b->Add("Heading");
  b->Format.KeepNext = 0;
  const int32_t body = b->Add("Body");
  Paginate();
  EXPECT_EQ(PageOf(10), 0);
  EXPECT_EQ(PageOf(heading), 1);
  EXPECT_EQ(PageOf(body), 1);
  EXPECT_EQ(TopOnPage(heading), 720);
}

TEST_F(PaginationTest, KeepWithNextChainLongerThanAPageIsSplit) {
  b->Format.KeepNext = 1;
  Fill(*b, 20);
  b->Format.KeepNext = 0;
  b->Add("End");
  Paginate();
  EXPECT_EQ(PageOf(11), 0);
  EXPECT_EQ(PageOf(12), 1);
  EXPECT_EQ(PageOf(20), 1);
}

TEST_F(PaginationTest, KeepWithNextChainInTheMiddleMovesWhole) {
  Fill(*b, 8);
  b->Format.KeepNext = 1;
  const int32_t chain = b->Add("Chain 1");
  b->Add("Chain 2");
  b->Add("Chain 3");
  b->Format.KeepNext = 0;
  const int32_t last = b->Lines(3);  // lines 11..13 of the page: the chain's follower splits
  Paginate();
  // The chain is complete once the follower's first line is placed: it is, so nothing moves.
  EXPECT_EQ(PageOf(chain), 0);
  EXPECT_EQ(PageOf(last), 0);
  EXPECT_EQ(LinesOn(last, 0), 1);
}

// Widow and orphan control and keep lines together, for a paragraph that meets the page end.
TEST_F(PaginationTest, WidowsOrphansAndKeptLines) {
  struct Case {
    const char* name;
    int filler;
    int lines;
    bool widow;
    bool keepLines;
    int onFirstPage;  // lines of the paragraph left on the first page
  } cases[] = {
      {"fits", 10, 2, true, false, 2},
      {"no control leaves a widow", 10, 3, false, false, 2},
      {"widow: two lines move", 8, 5, true, false, 3},
      {"widow would leave an orphan: all move", 10, 3, true, false, 0},
      {"orphan: all move", 11, 3, true, false, 0},
      {"no control leaves an orphan", 11, 3, false, false, 1},
      {"kept together: all move", 8, 6, false, true, 0},
      {"kept together and fits", 6, 6, false, true, 6},
  };
  for (const Case& c : cases) {
    SetUp();
    Fill(*b, c.filler);
    b->Format.WidowControl = c.widow ? 1 : 0;
    b->Format.KeepLines = c.keepLines ? 1 : 0;
    const int32_t par = b->Lines(c.lines);
    b->Format.WidowControl = 0;
    b->Format.KeepLines = 0;
    Fill(*b, 3);
    Paginate();
    EXPECT_EQ(LinesOn(par, 0), c.onFirstPage) << c.name;
    EXPECT_EQ(LinesOn(par, 0) + LinesOn(par, 1), c.lines) << c.name;
    TearDown();
  }
  SetUp();
}

TEST_F(PaginationTest, ParagraphLongerThanAPageContinues) {
  const int32_t par = b->Lines(30);
  Paginate();
  EXPECT_EQ(LinesOn(par, 0), 12);
  EXPECT_EQ(LinesOn(par, 1), 12);
  EXPECT_EQ(LinesOn(par, 2), 6);
  EXPECT_EQ(TopOnPage(par, 12), 720);
}

TEST_F(PaginationTest, SpaceBeforeDisappearsAtThePageTopUnlessAfterABreak) {
  b->Format.SpaceBefore = 240;
  const int32_t first = b->Add("First keeps its space");
  Fill(*b, 5);  // each 480 high with the space before: the page is full
  const int32_t top = b->Add("At the top of page 2");
  b->Add("Page break follows\f");
  const int32_t afterBreak = b->Add("After a page break");
  b->Format.SpaceBefore = 0;
  b->Format.PageBreakBefore = 1;
  b->Format.SpaceBefore = 240;
  const int32_t breakBefore = b->Add("Page break before");
  Paginate();
  EXPECT_EQ(TopOnPage(first), 720);  // the line's top; its text sits 240 lower
  EXPECT_EQ(Par(first).Lines[0]->Height, 2 * kLine);
  EXPECT_EQ(PageOf(top), 1);
  EXPECT_EQ(Par(top).Lines[0]->Height, kLine);
  EXPECT_EQ(PageOf(afterBreak), 2);
  EXPECT_EQ(Par(afterBreak).Lines[0]->Height, 2 * kLine);
  EXPECT_EQ(PageOf(breakBefore), 3);
  EXPECT_EQ(Par(breakBefore).Lines[0]->Height, 2 * kLine);
}

TEST_F(PaginationTest, SpaceAfterAndBeforeCollapse) {
  b->Format.SpaceAfter = 240;
  const int32_t a = b->Add("A");
  b->Format.SpaceAfter = 0;
  b->Format.SpaceBefore = 360;
  const int32_t c = b->Add("B");
  Paginate();
  EXPECT_EQ(Par(a).Lines[0]->Height, 2 * kLine);
  EXPECT_EQ(Par(c).Lines[0]->Height, kLine + 120);  // 360 less the 240 after A
}

TEST_F(PaginationTest, PageBreakAndPageBreakBefore) {
  const int32_t a = b->Add("One|two\fthree");
  const int32_t c = b->Add("next");
  b->Format.PageBreakBefore = 1;
  const int32_t d = b->Add("own page");
  b->Format.PageBreakBefore = 0;
  Paginate();
  EXPECT_EQ(PageOf(a, 0), 0);
  EXPECT_EQ(PageOf(a, 1), 0);
  EXPECT_EQ(PageOf(a, 2), 1);
  EXPECT_EQ(PageOf(c), 1);
  EXPECT_EQ(PageOf(d), 2);
  EXPECT_EQ(doc->PageCount(), 3);
}

TEST_F(PaginationTest, ColumnBreakAndColumns) {
  doc->Sections[0]->Format.ColumnCount = 2;
  doc->Sections[0]->Format.Spacing = 720;
  const int32_t a = b->Add("left\vright");
  Fill(*b, 12);
  Paginate();
  EXPECT_EQ(PageOf(a, 0), 0);
  const TLine& left = *Par(a).Lines[0];
  const TLine& right = *Par(a).Lines[1];
  EXPECT_EQ(left.Box->Page, right.Box->Page);
  EXPECT_LT(left.Box->OffsetInPage().x + left.Box->Margins.left, right.Box->OffsetInPage().x + right.Box->Margins.left);
  EXPECT_EQ(TopOnPage(a, 1), 720);
  // The right column takes 12 lines: the rest of the filler goes on to page 2.
  EXPECT_EQ(PageOf(a + 11), 0);
  EXPECT_EQ(PageOf(a + 12), 1);
}

TEST_F(PaginationTest, NextPageSectionTakesItsOwnPageSize) {
  Fill(*b, 3);
  TSection* second = b->SectionBreak("end of one", sbNextPage);
  SmallPage(*second, 8000, 6000);
  const int32_t p = b->Add("In section two");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 2);
  EXPECT_EQ(Page(0).Width(), 12240);
  EXPECT_EQ(Page(1).Width(), 8000);
  EXPECT_EQ(Page(1).Height(), 6000);
  EXPECT_EQ(Page(1).Section, second);
  EXPECT_EQ(PageOf(p), 1);
  EXPECT_EQ(GetPageSection(Page(1)), second);
}

// A document just read knows its sections but not yet their paragraph ranges.
TEST_F(PaginationTest, SectionRangesAreMadeCurrentBeforePaginating) {
  Fill(*b, 2);
  b->Add("page two\f");
  TSection* second = b->SectionBreak("end of one", sbNextPage);
  SmallPage(*second, 8000, 6000);
  const int32_t p = b->Add("In section two");
  b->Finish();
  for (auto& s : doc->Sections) s->FirstPar = s->LastPar = 0;
  doc->SectionRangesStale = true;
  doc->Paginate(0, INT32_MAX);
  ASSERT_EQ(doc->PageCount(), 3);
  EXPECT_EQ(Page(1).Width(), 12240);
  EXPECT_EQ(Page(1).Section, doc->Sections.front().get());
  EXPECT_EQ(Page(2).Section, second);
  EXPECT_EQ(PageOf(p), 2);
}

TEST_F(PaginationTest, ContinuousSectionStaysOnThePage) {
  Fill(*b, 3);
  TSection* second = b->SectionBreak("end of one", sbContinuous);
  SmallPage(*second, 8000, 6000);  // the page keeps the first section's size
  const int32_t p = b->Add("In section two");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 1);
  EXPECT_EQ(PageOf(p), 0);
  EXPECT_EQ(TopOnPage(p), 720 + 4 * kLine);
  EXPECT_EQ(Page(0).Width(), 12240);
}

TEST_F(PaginationTest, EvenPageSectionLeavesAnOddPageEmpty) {
  Fill(*b, 3);
  b->SectionBreak("ends on page 1", sbEvenPage);
  const int32_t p = b->Add("Starts on page 2");
  b->SectionBreak("ends on page 2", sbEvenPage);
  const int32_t q = b->Add("Starts on page 4");
  Paginate();
  EXPECT_EQ(PageOf(p), 1);
  EXPECT_EQ(PageOf(q), 3);
  EXPECT_EQ(CountPageLines(Page(2), AllAreas), 0);
}

TEST_F(PaginationTest, SectionBreakOnlyParagraphTakesNoHeight) {
  Fill(*b, 2);
  const int32_t mark = b->SectionBreak("", sbContinuous)->FirstPar - 1;
  const int32_t next = b->Add("Next");
  Paginate();
  const TLine& line = *Par(mark).Lines[0];
  EXPECT_TRUE(line.HasFlag(lfSectBreakOnly));
  EXPECT_TRUE(Par(mark - 1).Lines[0]->HasFlag(lfSectBreakFollows));
  EXPECT_EQ(TopOnPage(mark), TopOnPage(mark - 1));
  EXPECT_EQ(TopOnPage(next), 720 + 2 * kLine);
}

TEST_F(PaginationTest, ColumnsAreBalancedAtAContinuousBreak) {
  TSection& one = *doc->Sections[0];
  one.Format.ColumnCount = 2;
  Fill(*b, 9);
  TSection* two = b->SectionBreak("tenth", sbContinuous);
  two->Format.ColumnCount = 1;
  const int32_t after = b->Add("Below the columns");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 1);
  // Ten lines in two columns of five.
  const TBox* leftColumn = Par(0).Lines[0]->Box->Parent->Parent;
  const TBox* rightColumn = Par(5).Lines[0]->Box->Parent->Parent;
  EXPECT_NE(leftColumn, rightColumn);
  EXPECT_EQ(rightColumn, Par(9).Lines[0]->Box->Parent->Parent);
  EXPECT_EQ(TopOnPage(5), 720);
  EXPECT_EQ(TopOnPage(after), 720 + 5 * kLine);
  EXPECT_FALSE(doc->Layout.Balancing);
}

TEST_F(PaginationTest, HeadersAndFootersByPageKind) {
  TSection& s = *doc->Sections[0];
  s.PageParams.DiffFirstPage = 1;
  s.PageParams.DiffOddEven = 1;
  TField* first = b->HeaderFooter(s, hfFirstHeader, "First");
  TField* odd = b->HeaderFooter(s, hfOddHeader, "Odd");
  TField* even = b->HeaderFooter(s, hfEvenHeader, "Even");
  TField* oddFoot = b->HeaderFooter(s, hfOddFooter, "Odd footer");
  Fill(*b, 40);
  Paginate();
  ASSERT_GE(doc->PageCount(), 4);
  EXPECT_EQ(Page(0).HeaderField, first);
  EXPECT_EQ(Page(0).FooterField, nullptr);  // no first-page footer of its own
  EXPECT_EQ(Page(1).HeaderField, even);
  EXPECT_EQ(Page(2).HeaderField, odd);
  EXPECT_EQ(Page(2).FooterField, oddFoot);
  EXPECT_EQ(Page(3).HeaderField, even);
  EXPECT_EQ(Page(3).FooterField, nullptr);
  // Header boxes keep their size only.
  ASSERT_NE(Page(2).HeaderBox, nullptr);
  EXPECT_TRUE(Page(2).HeaderBox->Children.empty());
  EXPECT_EQ(Page(2).HeaderBox->Rect.top, 360);
}

TEST_F(PaginationTest, TallHeaderPushesTheBodyDown) {
  TSection& s = *doc->Sections[0];
  b->HeaderFooter(s, hfOddHeader, "a|b|c|d");  // 960 twips from 360: ends at 1320
  b->HeaderFooter(s, hfOddFooter, "x|y|z");    // 720 twips up from 3960
  const int32_t first = Fill(*b, 20);
  Paginate();
  EXPECT_EQ(PageBodyTop(Page(0)), 1320);
  EXPECT_EQ(TopOnPage(first), 1320);
  EXPECT_EQ(PageBodyBottomSpace(Page(0)), 360 + 720);
  // (4320 - 1320 - 1080) / 240 lines of body.
  EXPECT_EQ(PageOf(first + 7), 0);
  EXPECT_EQ(PageOf(first + 8), 1);
}

TEST_F(PaginationTest, SectionWithoutHeaderUsesTheEarlierOne) {
  TField* header = b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Shared");
  Fill(*b, 2);
  b->SectionBreak("end", sbNextPage);
  const int32_t p = b->Add("Second section");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 2);
  EXPECT_EQ(Page(1).HeaderField, header);
  EXPECT_EQ(PageOf(p), 1);
}

TEST_F(PaginationTest, FootnoteGoesOnItsReferencePage) {
  Fill(*b, 3);
  const int32_t ref = b->AddWithNote("With a note", "The note text");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 1);
  const TField* note = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteText) note = f.get();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(PageOf(note->Range.Start.Par), 0);
  EXPECT_EQ(PageOf(ref), 0);
  const TLine& noteLine = *Par(note->Range.Start.Par).Lines[0];
  EXPECT_EQ(noteLine.Box->Area, TBox::AreaFootnotes);
  // The note sits at the foot of the page, below its separator room.
  EXPECT_EQ(TopOnPage(note->Range.Start.Par), 4320 - 720 - kLine);
}

// A document just read has not had its field index built: the note fields still hold the empty
// ranges they were made with, which name the start of the main text.
TEST_F(PaginationTest, NotesOfAFreshDocumentFindTheirTextThroughTheFieldIndex) {
  const int32_t heading = b->Add("Heading");
  const int32_t ref = b->AddWithNote("With a note", "The note text");
  b->Finish();
  TField* note = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteText) note = f.get();
  ASSERT_NE(note, nullptr);
  const int32_t notePar = note->Range.Start.Par;
  for (const auto& f : doc->Fields) f->Range = {};
  doc->InvalidateFieldIndex(TFieldIndex::WholeDocument);
  doc->Paginate(0, INT32_MAX);
  ASSERT_EQ(doc->PageCount(), 1);
  // Numbering the reference must not drop the lines of the first paragraph.
  EXPECT_EQ(PageOf(heading), 0);
  EXPECT_EQ(PageOf(ref), 0);
  ASSERT_EQ(PageOf(notePar), 0);
  EXPECT_EQ(Par(notePar).Lines[0]->Box->Area, TBox::AreaFootnotes);
  // The note's own mark shows its reference's number.
  const TPar& text = Par(notePar);
  EXPECT_EQ(NoteMarkText(NoteMarkField(text, text.Content.Data, text.Content.Length, 0)), "1");
}

TEST_F(PaginationTest, ADropCapStandsInABoxOfItsOwnWithTheLinesBesideIt) {
  const int32_t p = b->Add("x");
  b->Add("Next paragraph");
  b->Finish();
  auto field = std::make_unique<TField>();
  field->Kind = fkDropCap;
  auto record = std::make_unique<TDropCapRecord>();
  record->Settings.First = 1;
  field->Attachment = std::move(record);
  TField* cap = field.get();
  doc->Fields.push_back(std::move(field));
  TMemory s;
  AppendContentTag(s, ctFont, b->Font);
  AppendContentTag(s, ctSize, 96);
  AppendContentTag(s, ctFieldStart, TagRefOf(cap));
  s.AppendString("W");
  AppendContentTag(s, ctFieldEnd, TagRefOf(cap));
  AppendContentTag(s, ctSize, 24);
  for (int i = 0; i < 8; ++i) s.AppendString("hen in the course of human events it becomes necessary ");
  AppendContentTag(s, ctSpecialChar, scParagraphEnd);
  TPar& par = Par(p);
  par.Format = DefaultParFormat;
  par.Content = s;
  par.RebuildCodes();
  par.ContentChanged();
  doc->Paginate(0, INT32_MAX);
  ASSERT_GE(par.Lines.size(), 5u);
  const TLine& letters = *par.Lines[0];
  ASSERT_TRUE(letters.HasFlag(lfDropCap));
  ASSERT_NE(letters.Box, nullptr);
  const TBox& capBox = *letters.Box;
  EXPECT_TRUE(capBox.HasFlag(TBox::DropCapBox));
  const TBox* text = par.Lines[1]->Box;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(capBox.Parent, text);
  EXPECT_EQ(capBox.Rect.Height(), letters.Height);
  // The first lines of text start right of the letters, from their top; the last one, below
  // them, at the text's left edge again.
  const int32_t capRight = capBox.Rect.right - text->Margins.left;
  EXPECT_EQ(par.Lines[1]->Top, capBox.Rect.top);
  EXPECT_GE(LayoutXToTwips(par.Lines[1]->StartX(), LayoutLineFitter().Settings), capRight);
  EXPECT_GE(par.Lines.back()->Top, capBox.Rect.bottom);
  EXPECT_EQ(par.Lines.back()->StartX(), 0);
}

TEST_F(PaginationTest, FootnoteThatCannotStartMovesItsLine) {
  Fill(*b, 10);
  // Line 11 of the page: the note needs 270 + 240 more than the one line left.
  const int32_t ref = b->AddWithNote("With a note", "The note text");
  Fill(*b, 2);
  Paginate();
  EXPECT_EQ(PageOf(ref - 1), 0);
  EXPECT_EQ(PageOf(ref), 1);
  const TField* note = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteText) note = f.get();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(PageOf(note->Range.Start.Par), 1);
}

TEST_F(PaginationTest, LongFootnoteContinuesOnTheNextPage) {
  Fill(*b, 2);
  const int32_t ref = b->AddWithNote("Ref", "n1|n2|n3|n4|n5|n6|n7|n8|n9|n10|n11");
  Fill(*b, 14);
  Paginate();
  const TField* note = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteText) note = f.get();
  ASSERT_NE(note, nullptr);
  const int32_t notePar = note->Range.Start.Par;
  EXPECT_EQ(PageOf(ref), 0);
  EXPECT_EQ(PageOf(notePar, 0), 0);
  EXPECT_GT(LinesOn(notePar, 1), 0);
  EXPECT_EQ(LinesOn(notePar, 0) + LinesOn(notePar, 1), 11);
  // The continued note is placed first on the next page, at its foot.
  EXPECT_EQ(Par(notePar).Lines.back()->Box->Area, TBox::AreaFootnotes);
}

TEST_F(PaginationTest, EndnotesAtTheEndOfTheDocument) {
  b->AddWithNote("Ref", "An endnote", true);
  Fill(*b, 2);
  Paginate();
  const TField* note = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteText) note = f.get();
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(PageOf(note->Range.Start.Par), 0);
  EXPECT_EQ(Par(note->Range.Start.Par).Lines[0]->Box->Area, TBox::AreaEndnotes);
}

TEST_F(PaginationTest, LineNumbersRestartOnEachPage) {
  TSection& s = *doc->Sections[0];
  s.PageParams.LineNumInterval = 1;
  s.PageParams.LineNumStart = 1;
  s.PageParams.LineNumRestart = 0;
  const int32_t par = b->Lines(14);
  Paginate();
  EXPECT_EQ(Par(par).Lines[0]->LineNumber, 1);
  EXPECT_EQ(Par(par).Lines[11]->LineNumber, 12);
  EXPECT_EQ(Par(par).Lines[12]->LineNumber, 1);
  s.PageParams.LineNumRestart = 2;
  doc->Paginate(0, INT32_MAX);
  EXPECT_EQ(Par(par).Lines[12]->LineNumber, 13);
}

TEST_F(PaginationTest, SlicesGiveTheSamePagesAsOnePass) {
  for (int i = 0; i < 12; ++i) {
    b->Lines(1 + i % 5);
    if (i % 4 == 0) b->AddWithNote("ref", TDocBuilder::Numbered("note ", i));
  }
  Paginate();
  const std::string whole = DescribePages();
  doc->DiscardPages();
  EXPECT_FALSE(doc->Layout.LaidOutToEnd);
  int slices = 0;
  while (PaginateSlice(*doc, 1)) ++slices;
  EXPECT_GT(slices, 1);
  EXPECT_EQ(DescribePages(), whole);
}

TEST_F(PaginationTest, RepaginationFromAPageKeepsThePagesBefore) {
  Fill(*b, 40);
  Paginate();
  TPage* second = &Page(1);
  const std::string before = DescribePages();
  doc->Paginate(2, INT32_MAX);
  EXPECT_EQ(&Page(1), second);
  EXPECT_EQ(DescribePages(), before);
  doc->Paginate(0, 1);  // two pages, not to the end
  EXPECT_EQ(doc->PageCount(), 2);
  EXPECT_FALSE(doc->Layout.LaidOutToEnd);
  doc->PaginateAll();
  EXPECT_EQ(DescribePages(), before);
}

TEST_F(PaginationTest, EnsureLaidOutStopsAtTheParagraph) {
  Fill(*b, 100);
  b->Finish();
  TDocPosition p;
  MakePosition(30, 2, p);
  doc->EnsureLaidOut(p, 0);
  EXPECT_EQ(p.Page, 2);
  EXPECT_EQ(p.Line, 0);
  EXPECT_LT(doc->PageCount(), 9);
  EXPECT_FALSE(doc->Layout.LaidOutToEnd);
}

TEST_F(PaginationTest, DraftViewIsOneTallPageWithoutHeaders) {
  b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Header");
  Fill(*b, 40);
  b->AddWithNote("A note", "Shown after the text");
  doc->ViewMode = vmDraft;
  Paginate();
  ASSERT_EQ(doc->PageCount(), 1);
  EXPECT_EQ(Page(0).Height(), 126720);
  EXPECT_EQ(Page(0).HeaderBox, nullptr);
  EXPECT_EQ(PageOf(39), 0);
  // The footnote story comes once, below the text.
  const int32_t note = doc->FirstParagraphOfStory(stFootnotes);
  EXPECT_EQ(Par(note).Lines[0]->Box->Area, TBox::AreaFootnotes);
  EXPECT_EQ(CountPageLines(Page(0), AreaBit(TBox::AreaFootnotes)), 1);
  EXPECT_GT(TopOnPage(note), TopOnPage(40));
}

TEST_F(PaginationTest, PageWithOnlyHeaderAndFooterLosesThem) {
  b->HeaderFooter(*doc->Sections[0], hfOddHeader, "Header");
  Fill(*b, 3);
  b->SectionBreak("ends on page 1", sbEvenPage);
  b->Add("page 2");
  b->SectionBreak("ends on page 2", sbEvenPage);
  b->Add("page 4");
  Paginate();
  ASSERT_EQ(doc->PageCount(), 4);
  EXPECT_TRUE(Page(2).Children.empty());
  EXPECT_EQ(Page(2).HeaderField, nullptr);
  EXPECT_NE(Page(3).HeaderField, nullptr);
}

}  // namespace

namespace {

// Every inline shape is a picture scaled to fit the text area.
class FittedPictures : public TInlineShapeService {
 public:
  TInlineShapeInfo Describe(int32_t, int32_t) override {
    TInlineShapeInfo info;
    info.Width = 1440;
    info.Height = 1000;
    info.FitToTextArea = true;
    return info;
  }
};

TEST_F(PaginationTest, PictureScaledToTheTextAreaStandsAlone) {
  ScopedService<TInlineShapeService> pictures(std::make_unique<FittedPictures>());
  const int32_t before = b->Add("Text before");
  const int32_t picture = b->Add("");
  TPar& p = Par(picture);
  p.Content.Clear();
  AppendContentTag(p.Content, ctInlineShape, 5);
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  const int32_t after = b->Add("Text after");
  Paginate();
  EXPECT_TRUE(Par(picture).Lines[0]->HasFlag(lfScaledPicture));
  EXPECT_EQ(PageOf(before), 0);
  EXPECT_EQ(PageOf(picture), 1);
  EXPECT_EQ(PageOf(after), 2);
}

}  // namespace
