#include <gtest/gtest.h>

#include "document/selection_fixture.h"
#include "document/words.h"
#include "foundation/settings/options_holder.h"

namespace {

std::string RunText(TDoc& doc, const TTextRun& run) { return doc.GetTextRun(run); }

TEST(Words, WordStartsAroundPunctuationApostrophesHyphensAndDigits) {
  TTestDoc t;
  TDoc& doc = t.doc;
  t.Text("word, next");        // 0
  t.Text("don't stop");        // 1
  t.Text("well-known 42nd x"); // 2
  struct Case {
    int32_t par, from;
    int32_t next;  // word right
  } rights[] = {
      {0, 0, 4},   // stops before the comma
      {0, 4, 6},   // and again before the second word
      {1, 0, 4},   // an inner apostrophe: just after it
      {2, 0, 4},   // before the hyphen
      {2, 4, 5},   // over the hyphen
      {2, 5, 11},  // "known" and the blank
      {2, 11, 16}, // digits and letters are one word
  };
  for (const Case& c : rights)
    EXPECT_EQ(doc.NextWordStart(Pos(c.par, c.from)).Offset, c.next) << c.par << "," << c.from;
  struct Left {
    int32_t par, from, previous;
  } lefts[] = {
      {0, 6, 4},   // from after the blank: before the comma
      {0, 4, 0},   // and again before the first word
      {2, 11, 5},
      {2, 5, 4},
      {2, 16, 11},
  };
  for (const Left& c : lefts)
    EXPECT_EQ(doc.PrevWordStart(Pos(c.par, c.from)).Offset, c.previous) << c.par << "," << c.from;

  // Apostrophes as delimiters: the word stops before it.
  ExcludeApostrophesFromWords();
  EXPECT_EQ(doc.NextWordStart(Pos(1, 0)).Offset, 3);
  IncludeApostrophesInWords();

  // Across paragraphs, and not before the story's start.
  TDocPosition p = doc.NextWordStart(Pos(0, 10));
  EXPECT_TRUE(SamePlace(p, Pos(1, 0)));
  p = doc.PrevWordStart(Pos(1, 0));
  EXPECT_TRUE(SamePlace(p, Pos(0, 10)));
  p = doc.PrevWordStart(Pos(0, 0));
  EXPECT_TRUE(SamePlace(p, Pos(0, 0)));
  p = doc.NextWordStart(Pos(2, 17));  // before the story's last mark: stays
  EXPECT_TRUE(SamePlace(p, Pos(2, 17)));
}

TEST(Words, WordAtAPlace) {
  TTestDoc t;
  t.Text("hello  world");
  TDoc& doc = t.doc;
  TTextRun w = doc.WordAt(Pos(0, 2));
  EXPECT_EQ(RunText(doc, w), "hello");
  EXPECT_EQ(doc.WordAt(Pos(0, 6)).Length, 0);  // between the two blanks
  w = doc.WordAt(Pos(0, 12));
  EXPECT_EQ(RunText(doc, w), "world");
}

TEST(Words, WebAddressesAndFileNames) {
  TOptions& options = GetOptions();
  const uint32_t savedFlags = options.Edit.Flags;
  const std::vector<std::string> savedExts = options.Autocorrect.FileExts;
  options.Autocorrect.FileExts = {"doc", "rtf", "txt"};
  options.Edit.Flags |= 0x100;
  TTestDoc t;
  t.Text("see www.example.com/a, or report.doc now.");
  t.Text("mail jo@host.org. or notes.xyz");
  TDoc& doc = t.doc;

  TTextRun url = doc.UrlTokenAt(Pos(0, 8));
  EXPECT_EQ(RunText(doc, url), "www.example.com/a");  // the comma is trimmed
  EXPECT_EQ(RunText(doc, doc.WordAt(Pos(0, 8))), "www.example.com/a");
  EXPECT_EQ(doc.NextWordStart(Pos(0, 6)).Offset, 21);  // past the whole address
  EXPECT_EQ(RunText(doc, doc.UrlTokenAt(Pos(1, 7))), "jo@host.org");
  EXPECT_EQ(doc.UrlTokenAt(Pos(0, 29)).Length, 0);     // a file name is no web address

  TTextRun file = doc.FileNameTokenAt(Pos(0, 29));
  EXPECT_EQ(RunText(doc, file), "report.doc");
  EXPECT_EQ(RunText(doc, doc.LinkTokenAt(Pos(0, 29))), "report.doc");
  EXPECT_EQ(doc.FileNameTokenAt(Pos(1, 25)).Length, 0);  // unknown extension
  EXPECT_EQ(RunText(doc, doc.WordOrLinkAt(Pos(1, 25))), "notes");

  options.Edit.Flags &= ~0x100u;  // addresses are ordinary words now
  EXPECT_EQ(doc.NextWordStart(Pos(0, 6)).Offset, 7);
  EXPECT_EQ(RunText(doc, doc.WordAt(Pos(0, 8))), "example");

  struct Name {
    const char* text;
    bool looks;
  } names[] = {{"report.doc", true}, {"REPORT.DOC", true}, {"report.xyz", false},
               {"C:", true},         {"C:\\docs", true},   {"\\\\server\\share", true},
               {"plain", false},     {".doc", true}};
  for (const Name& n : names) EXPECT_EQ(LooksLikeFileName(n.text), n.looks) << n.text;
  struct Web {
    const char* text;
    bool looks;
  } webs[] = {{"www.example.org", true}, {"someone@mail.de", true}, {"host.com", true},
              {"report.doc", false},     {"Mr.Com", false},         {"x.y", false}};
  for (const Web& w : webs) EXPECT_EQ(LooksLikeWebAddress(w.text), w.looks) << w.text;

  options.Edit.Flags = savedFlags;
  options.Autocorrect.FileExts = savedExts;
}

TEST(Words, WholeWordRanges) {
  static int picture = 0;
  TTestDoc t;
  t.Text("word here");
  t.Add(TStreamBuilder().Text("a").Ref(ctInlineShape, reinterpret_cast<const TShape*>(&picture)).Text("b").End());
  TDoc& doc = t.doc;
  EXPECT_TRUE(doc.IsRangeWordBounded(Range(0, 0, 0, 4)));
  EXPECT_TRUE(doc.IsRangeWordBounded(Range(0, 0, 0, 10)));
  EXPECT_FALSE(doc.IsRangeWordBounded(Range(0, 1, 0, 4)));  // starts between two letters
  EXPECT_FALSE(doc.IsRangeWordBounded(Range(0, 5, 0, 7)));  // ends inside "here"
  EXPECT_FALSE(doc.IsRangeWordBounded(Range(0, 2, 0, 2)));  // empty
  EXPECT_FALSE(doc.IsRangeWordBounded(Range(1, 1, 1, 2)));  // one inline picture
  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(0, 0, 0, 4);
  f->InsertRange(1, Range(0, 5, 0, 9));
  EXPECT_TRUE(doc.AreFragmentsWordBounded(*f));
  f->InsertRange(2, Range(0, 6, 0, 9));
  EXPECT_FALSE(doc.AreFragmentsWordBounded(*f));
}

TEST(Words, CharactersOutsideTheBasicPlaneAreNeverSplit) {
  TTestDoc t;
  // "ab", U+1F600 (two halves), "cd".
  t.Add(TStreamBuilder().Text("ab").Tag(ctWideChar, 0xD83D).Tag(ctWideChar, 0xDE00).Text("cd").End());
  TDoc& doc = t.doc;
  EXPECT_EQ(doc.PrevWordStart(Pos(0, 4)).Offset, 2);
  EXPECT_EQ(doc.NextWordStart(Pos(0, 2)).Offset, 4);
  EXPECT_EQ(doc.NextWordStart(Pos(0, 3)).Offset, 4);  // from between the halves: past the pair
  for (int32_t at = 0; at <= 6; ++at) {
    const TTextRun w = doc.WordAt(Pos(0, at));
    const int32_t start = w.Position.Offset, end = start + w.Length;
    EXPECT_NE(start, 3) << at;
    EXPECT_NE(end, 3) << at;
  }
  EXPECT_EQ(doc.WideCharAt(0, 2), 0xD83D);
  EXPECT_EQ(doc.GetWideTextRun({Pos(0, 3), 1}, 0), u"\U0001F600");  // widened to the pair
}

// The proofing tools' abbreviation list: "Mr." and "etc." for every language.
struct Abbreviations : TSelectionServices {
  bool IsSentenceCapException(int32_t, const std::string& word) override {
    return word == "Mr." || word == "etc.";
  }
};

TEST(Sentences, SentenceStarts) {
  TTestDoc t;
  t.Text("Done. Next one");      // 0
  t.Text("Ask Mr. Smith");       // 1
  t.Text("See e.g. this");       // 2
  t.Text("1. First point");      // 3
  t.Text("Wait... then");        // 4
  t.Text("Why? \"Because\"");    // 5
  t.Text("So . . . then");       // 6
  TDoc& doc = t.doc;
  ScopedService<TSelectionServices, Abbreviations> services;
  struct Case {
    int32_t par, offset;
    bool start;
  } cases[] = {
      {0, 0, true},   {0, 6, true},  {0, 11, false},  // after "Done.", not after "Next"
      {1, 8, false},                                   // after an abbreviation of the list
      {2, 9, false},                                   // after initials
      {3, 3, true},                                    // after a list number
      {4, 8, false},                                   // after three dots
      {5, 5, true},  {5, 6, true},                     // before and inside an opening quote
      {6, 9, false},                                   // after a spaced ellipsis
      {0, 5, false},                                   // not after a blank
  };
  for (const Case& c : cases)
    EXPECT_EQ(doc.IsSentenceStart(Pos(c.par, c.offset)), c.start) << c.par << "," << c.offset;
  TTextRun number = doc.WordAt(Pos(3, 0));
  EXPECT_TRUE(doc.IsListNumberToken(number, "1"));
  EXPECT_FALSE(doc.IsListNumberToken(doc.WordAt(Pos(0, 0)), "Done"));
}

TEST(Sentences, SentenceAround) {
  TTestDoc t;
  t.Text("One two. Three four. Five");
  t.Text("1. First point. Then");
  TDoc& doc = t.doc;
  TDocRange r = doc.SentenceAt(Pos(0, 11));
  EXPECT_TRUE(SameRange(r, Range(0, 9, 0, 20))) << r.Start.Offset << "-" << r.End.Offset;
  r = doc.SentenceAt(Pos(0, 2));
  EXPECT_TRUE(SameRange(r, Range(0, 0, 0, 8))) << r.Start.Offset << "-" << r.End.Offset;
  r = doc.SentenceAt(Pos(0, 23));
  EXPECT_TRUE(SameRange(r, Range(0, 21, 0, 25))) << r.Start.Offset << "-" << r.End.Offset;
  r = doc.SentenceAt(Pos(1, 5));  // a list number starts the sentence with it
  EXPECT_TRUE(SameRange(r, Range(1, 0, 1, 15))) << r.Start.Offset << "-" << r.End.Offset;
}

}  // namespace
