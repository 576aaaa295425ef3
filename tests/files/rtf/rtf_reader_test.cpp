#include "files/rtf/rtf_reader.h"

#include <gtest/gtest.h>

#include "files/rtf/rtf_read_support.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/table_row.h"
#include "files/files_test_support.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/base/exceptions.h"
#include "foundation/text/code_pages.h"

using namespace qv;
using qvtest::ParagraphTexts;
using qvtest::RtfReaderTest;

namespace {



TEST_F(RtfReaderTest, TextParagraphsAndCharacterFormats) {
  ASSERT_TRUE(Read(R"({\rtf1\ansi{\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss Arial;}})"
                   R"({\colortbl;\red255\green0\blue0;}\f0\fs24 Plain {\b bold} and )"
                   R"({\i\cf1 red italic}\par\f1 Second\line line\tab x\par})"));
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"Plain bold and red italic",
                                                              u"Second\u0007line\tx"}));
  EXPECT_EQ(FormatAt(0, 7).Bold, 1);
  EXPECT_NE(FormatAt(0, 12).Bold, 1);  // the group's end restored it
  EXPECT_EQ(FormatAt(0, 16).Color, 0x0000FF);
  EXPECT_EQ(FormatAt(0, 16).Italic, 1);
  EXPECT_EQ(FormatAt(0, 2).Size, 24);
  EXPECT_NE(FormatAt(1, 2).Font, FormatAt(0, 2).Font);  // Arial, not Times New Roman
}

TEST_F(RtfReaderTest, UnicodeEscapesAndParagraphFormats) {
  ASSERT_TRUE(Read(R"({\rtf1\ansi\uc1 caf\'e9 \u8364? {\uc1\u8364}\u55357?\u56832? end\par)"
                   R"(\pard\qc\li720\sb120\sl0 centred\par})"));
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], u"caf\u00e9 \u20ac \u20ac\U0001F600 end");  // the group end stops the skip
  EXPECT_EQ(texts[1], u"centred");
  const TParFormat second = doc->Par(1)->Format;
  EXPECT_EQ(second.Alignment, 1);
  EXPECT_EQ(second.LeftIndent, 720);
  EXPECT_EQ(second.SpaceBefore, 120);
  EXPECT_EQ(second.LineSpacing, 240);  // \sl0 is single spacing
}

TEST_F(RtfReaderTest, TablesBecomeRowsOfCellsAndTextBeforeTheRowEndIsKept) {
  ASSERT_TRUE(Read(R"({\rtf1 before\par\trowd\cellx2000\cellx4000\intbl A\cell B\cell\row)"
                   R"(\trowd\cellx3000\intbl C\cell stray\row after\par})"));
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  // before, A, B, row end, C, row end, stray, after
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], u"before");
  EXPECT_EQ(texts[6], u"stray");
  EXPECT_EQ(texts[7], u"after");
  EXPECT_EQ(int32_t{doc->Par(1)->Format.InTable}, 1);
  const TContentTag rowEnd = ReadTagAt(doc->Par(3)->Content.Data, 0);
  ASSERT_EQ(rowEnd.Kind, ctRowEnd);
  const TTableRow* row = TableRowOfTag(rowEnd);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->CellCount, 2);
  EXPECT_EQ(row->Cells[1].Right, 4000);
}

TEST_F(RtfReaderTest, FootnotesHeadersAndFieldResults) {
  ASSERT_TRUE(Read(R"({\rtf1{\header\pard Head text}Body{\super\chftn}{\footnote\pard{\super\chftn} )"
                   R"(Note text.}. See {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}.\par})"));
  EXPECT_EQ(ParagraphTexts(*doc).front().substr(0, 4), u"Body");
  EXPECT_NE(ParagraphTexts(*doc).front().find(u"See link."), std::u16string::npos);
  ASSERT_EQ(doc->StoryCounts[stFootnotes], 1);
  ASSERT_EQ(doc->StoryCounts[stHeadersFooters], 1);
  TField* header = doc->Sections[0]->HeaderFooter[hfOddHeader];
  ASSERT_NE(header, nullptr);
  TPar& head = *doc->Par(doc->FirstParagraphOfStory(stHeadersFooters));
  BuildParagraphWideText(head);
  EXPECT_NE(head.WideText.find(u"Head text"), std::u16string::npos);
  TPar& note = *doc->Par(doc->FirstParagraphOfStory(stFootnotes));
  BuildParagraphWideText(note);
  EXPECT_NE(note.WideText.find(u"Note text."), std::u16string::npos);
  int references = 0;
  for (const auto& f : doc->Fields) references += f->Kind == fkNoteReference;
  EXPECT_EQ(references, 1);
}

TEST_F(RtfReaderTest, DamagedAndHostileInputIsReadInPartWithoutHarm) {
  std::string deep = "{\\rtf1 ok";
  for (int i = 0; i < 5000; ++i) deep += "{";
  const std::string cases[] = {
      R"({\rtf1 truncated text {\b bold)",
      deep,
      R"({\rtf1 x\bin999999999 y})",
      R"({\rtf1\fs99999999999\cf77777\f-5\li99999999 big\cellx1\cell\cell\row\u-1?})",
      std::string("{\\rtf1 ") + std::string(70, '\\') + "}",
      R"({\rtf1 \'4})",
  };
  for (const std::string& rtf : cases) {
    Read(rtf);  // damaged or not, it returns
    ASSERT_NE(doc, nullptr);
    EXPECT_GE(doc->ParCount(), 1);
  }
  EXPECT_FALSE(Read(deep));  // past the nesting bound the file is damaged
  ASSERT_TRUE(Read(R"({\rtf1 truncated text {\b bold)"));
  EXPECT_EQ(ParagraphTexts(*doc).front(), u"truncated text bold");
}

}  // namespace

namespace {

// RTF written by three other programs from the same small document (a heading, formatting, an
// em dash and an accented letter, a table, a list and a footnote).
class RtfFixtureTest : public RtfReaderTest {
 protected:
  bool ReadFile(const std::string& name) {
    std::ifstream in(qvtest::FilesDataPath("rtf/" + name), std::ios::binary);
    const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (rtf.empty()) return false;
    return Read(rtf);
  }
  std::u16string AllMainText() {
    std::u16string all;
    for (const std::u16string& t : ParagraphTexts(*doc)) all += t + u"\n";
    return all;
  }
};

TEST_F(RtfFixtureTest, DocumentsOfOtherProgramsReadWithTheirTextTablesAndNotes) {
  for (const char* name : {"pandoc.rtf", "abiword.rtf", "office.rtf"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(ReadFile(name));
    const std::u16string text = AllMainText();
    for (const char16_t* phrase : {u"Quarterly report", u"This is bold, italic and plain text with an em dash",
                                   u"caf\u00e9", u"Apples", u"Pears", u"First point", u"Second point",
                                   u"A sentence with a footnote."})
      EXPECT_NE(text.find(phrase), std::u16string::npos) << std::string(phrase, phrase + std::char_traits<char16_t>::length(phrase));
    int rows = 0;
    for (int32_t i = 0; i < doc->ParCount(); ++i) {
      const TPar& p = *doc->Par(i);
      if (p.Content.Length >= ContentTagSize && IsTagAt(p.Content.Data, p.Content.Length, 0) &&
          ReadTagAt(p.Content.Data, 0).Kind == ctRowEnd)
        ++rows;
    }
    EXPECT_EQ(rows, 3);
    if (std::string(name) != "pandoc.rtf") {  // the others write their list as a list
      int listed = 0;
      for (int32_t i = 0; i <= doc->LastParagraphOfStory(stMain); ++i) {
        const int32_t list = int32_t{doc->Par(i)->Format.List};
        if (list <= 0) continue;
        ++listed;
        EXPECT_NE(doc->ListByNumber(list), nullptr);
      }
      EXPECT_EQ(listed, 2);
    }
    int notes = 0;
    for (const auto& f : doc->Fields) notes += f->Kind == fkNoteText;
    EXPECT_EQ(notes, 1);
  }
}

}  // namespace

namespace {

// The same document written by three other programs, with a header and a footer holding a page
// field, a hyperlink, a table, a list, a footnote and an inline and a floating picture; each
// file beside the plain text that program extracts from it.
class RtfFullFixtureTest : public RtfFixtureTest {
 protected:
  // Every story's text, one paragraph a line, special characters as what they show.
  std::u16string AllStoriesText() {
    std::u16string all;
    for (int32_t i = 0; i < doc->ParCount(); ++i) {
      TPar& par = *doc->Par(i);
      BuildParagraphWideText(par);
      for (size_t k = 0; k + 1 < par.WideText.size(); ++k) {
        const uint8_t code = par.CodeAt(static_cast<int32_t>(k));
        if (code == scEmDash) all += u'\u2014';
        else if (code == scEnDash) all += u'\u2013';
        else if (code == scNonBreakingSpace || code == scTab || code == scCellEnd) all += u' ';
        else if (code < 32 && code != scWideChar) continue;
        else all += par.WideText[k];
      }
      all += u'\n';
    }
    return all;
  }
  static std::vector<std::u16string> ExpectedLines(const std::string& name) {
    std::ifstream in(qvtest::FilesDataPath("rtf/" + name), std::ios::binary);
    const std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::u16string text = Utf8ToWide(utf8);
    std::vector<std::u16string> lines;
    std::u16string line;
    const auto flush = [&] {
      // Markers the extractors add: byte-order and direction marks, bullets, list dashes, note
      // and picture markers, table rules; table rows of the plain-text layout split into cells.
      std::u16string clean;
      for (char16_t c : line)
        if (c != u'\uFEFF' && c != u'\u202D' && c != u'\u202C' && c != u'\r') clean += c == u'\t' ? u' ' : c;
      for (const char16_t* marker : {u"[1]", u"[]"})
        for (size_t at; (at = clean.find(marker)) != std::u16string::npos;) clean.erase(at, 3 - (marker[1] == u']'));
      size_t start = clean.find_first_not_of(u" \u2022-");
      if (start == std::u16string::npos || clean.find(u"----") != std::u16string::npos) {
        line.clear();
        return;
      }
      clean = clean.substr(start);
      while (!clean.empty() && clean.back() == u' ') clean.pop_back();
      for (size_t at; (at = clean.find(u"   ")) != std::u16string::npos;) {
        lines.push_back(clean.substr(0, at));
        clean = clean.substr(clean.find_first_not_of(u' ', at));
      }
      lines.push_back(clean);
      line.clear();
    };
    for (char16_t c : text) {
      if (c == u'\n') flush();
      else line += c;
    }
    flush();
    return lines;
  }
};

TEST_F(RtfFullFixtureTest, TextEqualsWhatTheWritingProgramExtractsAndTheContentIsThere) {
  struct Case {
    const char* Rtf;
    const char* Text;
    bool HeadersAndFooters;
    bool FloatingPicture;
    bool Lists;  // written as lists (pandoc and this AbiWord round trip write bullets as text)
  };
  for (const Case& c : {Case{"office_full.rtf", "office_full.txt", true, false, true},
                        Case{"abiword_full.rtf", "abiword_full.txt", true, true, false},
                        Case{"pandoc_full.rtf", "pandoc_full.txt", false, false, false}}) {
    SCOPED_TRACE(c.Rtf);
    ASSERT_TRUE(ReadFile(c.Rtf));
    const std::u16string all = AllStoriesText();
    for (std::u16string line : ExpectedLines(c.Text)) {
      if (line == u"Page 1 of the report") line = u"Page";  // the field's result is computed later
      if (line.size() > 1 && line.back() == u'1' && line.find(u"footnote.") != std::u16string::npos)
        line.pop_back();  // the note's number, which the document numbers itself
      EXPECT_NE(all.find(line), std::u16string::npos) << WideToUtf8(line);
    }
    // Formatting: the bold word is bold, the italic one italic.
    const std::u16string main = AllMainText();
    const int32_t boldPar = 1;
    const size_t bold = ParagraphTexts(*doc)[boldPar].find(u"bold");
    ASSERT_NE(bold, std::u16string::npos);
    EXPECT_EQ(FormatAt(boldPar, static_cast<int32_t>(bold) + 1).Bold, 1);
    EXPECT_NE(FormatAt(boldPar, 1).Bold, 1);
    // A table of three rows, a list, a footnote, a hyperlink field.
    int rows = 0, listed = 0;
    for (int32_t i = 0; i <= doc->LastParagraphOfStory(stMain); ++i) {
      const TPar& p = *doc->Par(i);
      rows += p.CharCount() > 0 && p.CodeAt(0) == scRowEnd;
      listed += int32_t{p.Format.List} > 0 ? 1 : 0;
    }
    EXPECT_EQ(rows, 3);
    if (c.Lists) EXPECT_GE(listed, 2);
    int notes = 0, hyperlinks = 0, headers = 0, anchors = 0;
    for (const auto& f : doc->Fields) {
      notes += f->Kind == fkNoteText;
      hyperlinks += f->Kind == fkField && f->FieldType == ftHyperlink;
      headers += f->Kind == fkHeaderFooter;
      anchors += f->Kind == fkShapeAnchor;
    }
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(hyperlinks, 1);
    EXPECT_EQ(doc->StoryCounts[stFootnotes] > 0, true);
    if (c.HeadersAndFooters) {
      EXPECT_GE(headers, 2);
      const auto& slots = doc->Sections.front()->HeaderFooter;
      EXPECT_TRUE(slots[hfOddHeader] != nullptr && slots[hfOddFooter] != nullptr);
    }
    // Pictures: an inline one, and a floating one where the program wrote it as a shape (inside
    // a SHAPE field it is inline).
    int inlinePictures = 0;
    for (int32_t i = 0; i < doc->ParCount(); ++i)
      for (int32_t k = 0; k < doc->Par(i)->CharCount(); ++k) inlinePictures += doc->Par(i)->CodeAt(k) == scInlineShape;
    EXPECT_GE(inlinePictures, 1);
    if (c.FloatingPicture) EXPECT_EQ(anchors, 1);
    for (const auto& shape : doc->Shapes) EXPECT_EQ(shape->Graphic->PictureKind, TDocGraphic::TKind::Png);
  }
}

}  // namespace
