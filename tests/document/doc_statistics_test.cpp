#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/doc_statistics.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par_format.h"
#include "document/stream_builder.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

void SetText(TPar& par, const TStreamBuilder& b) { b.Into(par); }
void SetText(TPar& par, const std::string& text) { TStreamBuilder().Text(text).End().Into(par); }

// Main text of three paragraphs, a footnote and a header paragraph.
class Statistics : public ::testing::Test {
 protected:
  void SetUp() override {
    SetText(*doc_.Par(0), "Hello, world.");
    SetText(*doc_.AppendParagraph(stMain, DefaultParFormat), "It works! Does it? Yes");
    SetText(*doc_.AppendParagraph(stMain, DefaultParFormat),
            TStreamBuilder()
                .Text("a")
                .Tag(ctSpecialChar, scTab)
                .Text("b")
                .Tag(ctSpecialChar, scNonBreakingSpace)
                .Text("c")
                .Tag(ctSpecialChar, scInlineShape)
                .End());
    SetText(*doc_.AppendParagraph(stFootnotes, DefaultParFormat), "Note text.");
    header_ = doc_.AppendParagraph(stHeadersFooters, DefaultParFormat);
    SetText(*header_, "Header words here");
  }
  TDocStatistics Count(const std::vector<TDocRange>& ranges) {
    TDocStatistics s;
    ComputeRangeStatistics(doc_, ranges, false, s);
    return s;
  }
  static TDocRange Range(int32_t p0, int32_t o0, int32_t p1, int32_t o1) {
    TDocRange r;
    MakeRange(p0, o0, p1, o1, r);
    return r;
  }
  TDoc doc_{true};
  TPar* header_ = nullptr;
};

TEST_F(Statistics, OneParagraphWordsSentencesAndCharacters) {
  TDocStatistics s = Count({Range(0, 0, 0, 14)});
  EXPECT_EQ(s.Words, 2);
  EXPECT_EQ(s.Sentences, 1);
  EXPECT_EQ(s.CharsWithSpaces, 13);
  EXPECT_EQ(s.CharsNoSpaces, 12);
  EXPECT_EQ(s.Paragraphs, 1);
}

TEST_F(Statistics, TabsMarksSpacesAndPictures) {
  TDocStatistics s = Count({Range(2, 0, 2, 7)});
  EXPECT_EQ(s.CharsWithSpaces, 4);  // a, b, the non-breaking space, c
  EXPECT_EQ(s.CharsNoSpaces, 3);
  EXPECT_EQ(s.Pictures, 1);
  EXPECT_EQ(s.Words, 3);
}

TEST_F(Statistics, WholeDocumentLeavesHeadersOutAndCountsNotes) {
  TDocStatistics s;
  ComputeStatistics(doc_, false, s);
  EXPECT_EQ(s.Paragraphs, 4);
  EXPECT_EQ(s.Words, 2 + 5 + 3 + 2);
  EXPECT_EQ(s.Sentences, 1 + 3 + 1 + 1);
  EXPECT_EQ(s.CharsWithSpaces, 13 + 22 + 4 + 10);
  EXPECT_EQ(s.CharsNoSpaces, 12 + 18 + 3 + 9);
  EXPECT_EQ(s.Lines, 0);  // nothing is laid out
}

TEST_F(Statistics, HeaderFooterInPlaceCountsItsOwnText) {
  TField area;
  area.Kind = fkHeaderFooter;
  area.Range = Range(header_->Index, 0, header_->Index, header_->CharCount());
  doc_.HeaderFooterInPlace = &area;
  TDocStatistics s;
  ComputeStatistics(doc_, false, s);
  doc_.HeaderFooterInPlace = nullptr;
  EXPECT_EQ(s.Words, 3);
  EXPECT_EQ(s.Paragraphs, 1);
  EXPECT_EQ(s.CharsWithSpaces, 17);
  std::string title;
  doc_.HeaderFooterInPlace = &area;
  StatisticsText(doc_, s, 0, title);
  doc_.HeaderFooterInPlace = nullptr;
  EXPECT_EQ(title, "Header/Footer Statistics");
}

TEST_F(Statistics, SharedParagraphsAndSplitWordsCountOnce) {
  // Two ranges in one paragraph: the paragraph once; "works" cut by the first range's end and
  // "Does" started before the second range's start.
  TDocStatistics s = Count({Range(1, 0, 1, 5), Range(1, 5, 1, 12)});
  EXPECT_EQ(s.Paragraphs, 1);
  EXPECT_EQ(s.Words, 3);  // It, works, Does
  EXPECT_EQ(s.Sentences, 2);
  EXPECT_EQ(s.CharsWithSpaces, 12);
  // A range that ends at the start of a paragraph takes nothing of it.
  TDocStatistics t = Count({Range(0, 0, 1, 0)});
  EXPECT_EQ(t.Paragraphs, 1);
  EXPECT_EQ(t.Words, 2);
  // Ranges outside the document or inverted are ignored.
  TDocStatistics u = Count({Range(2, 5, 1, 0), Range(99, 0, 120, 3)});
  EXPECT_EQ(u.Words, 0);
}

TEST_F(Statistics, QuickCountGathersOnlyWordsCharactersAndPictures) {
  doc_.SetScopedFlag(dfStatisticsQuickCount);
  TDocStatistics s;
  ComputeStatistics(doc_, false, s);
  doc_.RestoreScopedFlag();
  EXPECT_EQ(s.Words, 12);
  EXPECT_EQ(s.Paragraphs, 0);
  EXPECT_EQ(s.Sentences, 0);
  EXPECT_EQ(s.Pictures, 1);
  EXPECT_EQ(s.CharsWithSpaces, 49);
}

TEST_F(Statistics, LaidOutLinesCountOnceEach) {
  TPar& par = *doc_.Par(1);  // "It works! Does it? Yes": lines of 10 and 13 positions
  for (int32_t count : {10, 13}) {
    TLine* line = AcquireLine(par, DefaultCharFormat);
    line->Count = count;
    par.Lines.push_back(line);
  }
  par.Flags |= pfLinesValid;
  EXPECT_EQ(Count({Range(1, 0, 1, 5)}).Lines, 1);
  EXPECT_EQ(Count({Range(1, 0, 1, 23)}).Lines, 2);
  EXPECT_EQ(Count({Range(1, 0, 1, 10)}).Lines, 1);  // an end at a line's start is the line before
  EXPECT_EQ(Count({Range(1, 0, 1, 3), Range(1, 5, 1, 8)}).Lines, 1);
  par.ReleaseLines();
}

// Pages from a layout stand-in: paragraph i is on page i / 2.
struct TFakeLayout : TStatisticsServices {
  std::vector<TDocRange> selection;
  std::vector<TDocRange> SelectedRanges(TDoc&) override { return selection; }
  int32_t PageOfPosition(TDoc&, const TDocPosition& at) override { return at.Par / 2; }
};

TEST_F(Statistics, PagesTablesNotesAndTheMessage) {
  ScopedService<TStatisticsServices, TFakeLayout> layout;
  TParFormat cell = DefaultParFormat;
  cell.InTable = 1;
  doc_.Par(1)->Format = cell;
  doc_.Par(2)->Format = cell;
  TField note, text;
  note.Kind = fkNoteReference;
  note.LinkedField = &text;
  note.Range = Range(0, 3, 0, 4);
  text.NoteClass = 1;
  doc_.Fields.push_back(std::unique_ptr<TField>(&note));
  TDocStatistics s;
  ComputeStatistics(doc_, false, s);
  doc_.Fields.back().release();
  doc_.Fields.pop_back();
  EXPECT_EQ(s.Pages, 2);  // paragraphs 0..3: pages 0 and 1
  EXPECT_EQ(s.Tables, 1);
  EXPECT_EQ(s.Endnotes, 1);
  EXPECT_EQ(s.Footnotes, 0);

  doc_.NewUntitled = true;
  std::string title;
  std::string message = StatisticsText(doc_, s, 0, title);
  EXPECT_EQ(title, "Document Statistics");
  EXPECT_EQ(message.rfind("Pages: 2\rWords: 12\rSentences: 6\r", 0), 0u) << message;
  EXPECT_NE(message.find("File size: (unsaved document)"), std::string::npos);
  EXPECT_NE(message.find("Format: Rich Text Format"), std::string::npos);
  EXPECT_NE(message.find("\r\r\rFile size"), std::string::npos);
  EXPECT_NE(message.find("Created: "), std::string::npos);
  layout->selection = {Range(0, 0, 0, 5), Range(1, 0, 1, 2)};
  ComputeStatistics(doc_, false, s);
  EXPECT_EQ(s.Words, 2);
  message = StatisticsText(doc_, s, 2, title);
  EXPECT_EQ(title, "Selection Statistics");
  EXPECT_EQ(message.rfind("Selected fragments: 2\r", 0), 0u);
}

}  // namespace
