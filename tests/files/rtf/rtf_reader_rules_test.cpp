// The RTF reader's rules, one behaviour a test: formats and their restoring at group ends,
// Unicode and its fallbacks, special characters, tables, sections and settings, destinations,
// styles and lists, pictures and shapes, and what a damaged or hostile file leaves.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/border_sets.h"
#include "document/field.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "document/table_row.h"
#include "files/post_load_steps.h"
#include "files/rtf/rtf_read_support.h"
#include "foundation/base/date_time.h"
#include "foundation/fonts/font_manager.h"

using namespace qv;
using qvtest::ParagraphTexts;
using qvtest::RtfReaderTest;
using qvtest::StoryTexts;
using qvtest::TagValues;

namespace {

const char* const kPng4x3 =
    "89504e470d0a1a0a0000000d49484452000000040000000308020000003b963991000000104944415478"
    "9c6338212707470c383900f5c70c3107ebad990000000049454e44ae426082";

std::string Rtf(const std::string& body) { return "{\\rtf1\\ansi " + body + "}"; }

TEST_F(RtfReaderTest, CharacterWordsWriteTagsAndGroupEndsRestoreThem) {
  struct Case {
    const char* Body;
    uint8_t Kind;
    std::vector<int32_t> Tags;
  };
  const Case cases[] = {
      {"{\\b bold} x", ctBold, {1, 0}},            // set, then restored at the brace
      {"{\\b\\b0 x} y", ctBold, {1, 0}},          // two changes, nothing to restore
      {"{\\b\\b x} y", ctBold, {1, 0}},           // the second \b changes nothing
      {"{\\fs30\\fs30 x} y", ctSize, {30, 30, 24}},  // sizes are written each time
      {"\\fs1 a\\fs2001 b\\fs2 c", ctSize, {2}},  // sizes outside 2..2000 are ignored
      {"\\charscalex0 a\\charscalex601 b\\charscalex80 c", 18, {80}},
      {"\\up7 a\\dn7 b", 20, {3, -3}},
      {"\\lang7 a\\lang0 b\\lang3082 c", 22, {1031, DefaultCharFormat.Language, 3082}},
      {"\\ulw a\\uldb b\\ulnone c\\ul0 d", 6, {2, 3, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Body);
    ASSERT_TRUE(Read(Rtf(c.Body)));
    EXPECT_EQ(TagValues(*doc->Par(0), c.Kind), c.Tags);
  }
}

TEST_F(RtfReaderTest, ParagraphWordsAndTheirLimits) {
  ASSERT_TRUE(Read(Rtf("\\sl0 a\\par\\pard\\sl1000 b\\par\\pard\\outlinelevel12\\ilvl12\\sb-5 c\\par"
                       "\\pard\\sl-300\\slmult1 d\\par\\pard\\hyphpar0\\tqc\\tldot\\tx2000\\tb500 e\\par")));
  EXPECT_EQ(int32_t{doc->Par(0)->Format.LineSpacing}, 240);
  EXPECT_EQ(int32_t{doc->Par(1)->Format.LineSpacing}, 240);
  EXPECT_EQ(int32_t{doc->Par(2)->Format.OutlineLevel}, 9);
  EXPECT_EQ(int32_t{doc->Par(2)->Format.ListLevel}, 8);
  EXPECT_EQ(int32_t{doc->Par(3)->Format.LineSpacing}, -300);
  EXPECT_EQ(int32_t{doc->Par(3)->Format.LineRule}, 0);  // exact spacing keeps rule 0
  EXPECT_EQ(int32_t{doc->Par(4)->Format.NoHyphenation}, 1);
  const TTabTable& tabs = GetTabManager().Table(int32_t{doc->Par(4)->Format.TabSet});
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(UnpackTabStop(tabs[0]).Kind, tkBar);
  EXPECT_EQ(UnpackTabStop(tabs[1]).Position, 2000);
  EXPECT_EQ(UnpackTabStop(tabs[1]).Kind, tkCenter);
  EXPECT_EQ(UnpackTabStop(tabs[1]).Leader, tlDots);
}

TEST_F(RtfReaderTest, TabLeadersWithoutAKindOfTheirOwnTakeTheNearestOne) {
  ASSERT_TRUE(Read(Rtf("\\pard\\tlth\\tqr\\tx9000\\tlmdot\\tx1000\\tleq\\tx2000\\tx3000 a\\tab b\\par")));
  const TTabTable& tabs = GetTabManager().Table(int32_t{doc->Par(0)->Format.TabSet});
  ASSERT_EQ(tabs.size(), 4u);
  EXPECT_EQ(UnpackTabStop(tabs[0]).Leader, tlDots);       // 1000, middle dots
  EXPECT_EQ(UnpackTabStop(tabs[1]).Leader, tlHyphens);    // 2000, equal signs
  EXPECT_EQ(UnpackTabStop(tabs[2]).Leader, tlNone);       // 3000: the leader is not carried on
  EXPECT_EQ(UnpackTabStop(tabs[3]).Leader, tlUnderline);  // 9000, thick line
  EXPECT_EQ(UnpackTabStop(tabs[3]).Kind, tkRight);
}

TEST_F(RtfReaderTest, UnicodeWithEverySkipCount) {
  struct Case {
    const char* Body;
    const char16_t* Text;
  };
  const Case cases[] = {
      {"\\uc1\\u8212-x", u"\u2014x"},                // the em dash code, the hyphen skipped
      {"\\uc1\\u8212\\'97x", u"\u2014x"},           // an escape is one fallback character
      {"\\uc0\\u8364 x", u"\u20acx"},               // nothing to skip
      {"\\uc2\\u8364ab c", u"\u20ac c"},
      {"\\uc2\\u8364\\'80\\'80d", u"\u20acd"},
      {"\\u1071?a", u"\u042fa"},                    // Cyrillic in a Latin font
      {"\\u-4064?", u"\uf020"},                     // negative values wrap
      {"\\u55357?\\u56832?", u"\U0001F600"},        // a surrogate pair, whole
      {"\\u55357?x", u"x"},                         // a lone surrogate is dropped
      {"{\\uc1\\u8364}after", u"\u20acafter"},      // the skip stops at the group's end
      {"a\r\nb\\'00c", u"abc"},                     // raw line ends and \'00 add nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Body);
    ASSERT_TRUE(Read(Rtf(c.Body)));
    std::u16string text = ParagraphTexts(*doc)[0];
    EXPECT_EQ(text, c.Text);
  }
  ASSERT_TRUE(Read(Rtf("\\uc1\\u8212-")));
  EXPECT_EQ(doc->Par(0)->CodeAt(0), scEmDash);
  ASSERT_TRUE(Read(Rtf("{\\b\\uc1\\u8364}x")));  // the brace still restores bold
  EXPECT_EQ(TagValues(*doc->Par(0), ctBold), (std::vector<int32_t>{1, 0}));
}

TEST_F(RtfReaderTest, SpecialCharactersAndBreaks) {
  std::string body = "a\\tab b\\line c\\emdash\\endash\\~\\_\\-";
  body += '\xa0';
  body += "\\page d\\column e\\par\\trowd\\cellx1000\\intbl f\\page g\\cell\\row";
  ASSERT_TRUE(Read(Rtf(body)));
  const TPar& first = *doc->Par(0);
  const std::vector<uint8_t> codes(first.Codes.Data, first.Codes.Data + first.CharCount());
  const std::vector<uint8_t> want = {'a', scTab, 'b', scLineBreak, 'c', scEmDash, scEnDash, scNonBreakingSpace,
                                     scNonBreakingHyphen, scOptionalHyphen, scNonBreakingSpace, scPageBreak, 'd',
                                     scColumnBreak, 'e', scParagraphEnd};
  EXPECT_EQ(codes, want);
  EXPECT_EQ(doc->Par(1)->CodeAt(1), scLineBreak);  // a page break in a cell is a line break
}

// As other word processors write them: \clpadt is the left padding, \clpadl the top one.
TEST_F(RtfReaderTest, CellPaddingsSwapLeftAndTop) {
  ASSERT_TRUE(Read(Rtf("\\trowd\\trpaddl5\\trpaddt6\\clpadft3\\clpadt108\\clpadfl3\\clpadl40\\clpadr90\\clpadb20"
                       "\\cellx2000\\intbl a\\cell\\row\\pard after\\par")));
  ASSERT_EQ(doc->TableRows.size(), 1u);
  const TTableRow& row = *doc->TableRows[0];
  EXPECT_EQ(row.PadLeft, 5);
  EXPECT_EQ(row.PadTop, 6);
  EXPECT_EQ(row.Cells[0].PadLeft, 108);
  EXPECT_EQ(row.Cells[0].PadTop, 40);
  EXPECT_EQ(row.Cells[0].PadRight, 90);
  EXPECT_EQ(row.Cells[0].PadBottom, 20);
}

// The paragraph of a drop cap is not ended by its \par: the text after it goes on in the same
// paragraph, and the paragraph marks after that end their paragraphs as usual.
TEST_F(RtfReaderTest, ADropCapParagraphGoesOnAfterItsParagraphMark) {
  ASSERT_TRUE(Read(Rtf("\\pard\\dropcapli3\\dropcapt1 T\\par\\pard he rest.\\par\\pard Next\\par\\pard Last\\par")));
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"The rest.", u"Next", u"Last"}));
  for (int32_t p = 0; p < 3; ++p) {
    const TPar& par = *doc->Par(p);
    int32_t marks = 0;
    for (int32_t c = 0; c < par.CharCount(); ++c) marks += par.CodeAt(c) == scParagraphEnd ? 1 : 0;
    EXPECT_EQ(marks, 1) << "paragraph " << p;
  }
  const TField* drop = nullptr;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkDropCap) drop = f.get();
  ASSERT_NE(drop, nullptr);
}

// \box gives all four sides the border that follows; a side named afterwards has its own.
TEST_F(RtfReaderTest, ABoxedParagraphHasTheSameBorderOnEverySide) {
  ASSERT_TRUE(Read(Rtf("{\\colortbl;\\red255\\green0\\blue0;}\\pard\\box\\brdrdb\\brdrw15\\brdrcf1\\brsp60"
                       "\\brdrb\\brdrs\\brdrw30 boxed\\par\\pard plain\\par")));
  ASSERT_GT(doc->Par(0)->Format.Borders, 0);
  const TParBorders set = GetParBorders(doc->Par(0)->Format.Borders);
  const TParBorders* b = &set;
  for (const TBorderLine* side : {&b->Left, &b->Top, &b->Right}) {
    EXPECT_EQ(side->Style, 3);
    EXPECT_EQ(side->Width, 15);
    EXPECT_EQ(side->Color, 0x0000FF);
    EXPECT_EQ(side->Distance, 60);
  }
  EXPECT_EQ(b->Bottom.Style, 1);
  EXPECT_EQ(b->Bottom.Width, 30);
  EXPECT_EQ(b->Inside.Style, BorderStyleNone);
}

TEST_F(RtfReaderTest, ParagraphShadingFromItsPercentagePatternAndBackground) {
  // Colour 1 red, 2 blue. The words may come in any order.
  ASSERT_TRUE(Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                   "\\pard\\cbpat1 a\\par\\pard\\shading2000 b\\par\\pard\\cbpat2\\cfpat1\\shading5000 c\\par"
                   "\\pard\\shading10000\\cfpat2 d\\par\\pard\\cfpat1\\cbpat2 e\\par\\pard f\\par}"));
  const int32_t expected[] = {0x0000FF, 0xCCCCCC, 0x80007F, 0xFF0000, 0xFF0000};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(doc->Par(i)->Format.Shading, expected[i]) << i;
  EXPECT_LT(doc->Par(5)->Format.Shading, 0);
  // Each style's shading comes from its own words alone.
  ASSERT_TRUE(Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s1\\cbpat1 Red;}"
                   "{\\s2\\shading2000 Grey;}}\\pard\\s2 a\\par}"));
  const int32_t grey = doc->Styles->IndexOfName("Grey");
  ASSERT_GE(grey, 0);
  EXPECT_EQ((*doc->Styles)[grey].ParFmt.Shading, 0xCCCCCC);
}

TEST_F(RtfReaderTest, TableRowsAndCellDefinitions) {
  // Three definitions and two cells: the row keeps three; three cells and two definitions: a
  // third 720 twips on.
  ASSERT_TRUE(Read(Rtf("\\trowd\\trgaph50\\trleft-100\\trqc\\trhdr\\clvmgf\\clcbpat1\\cellx1000\\clvertalc\\cellx2000"
                       "\\cellx3000\\intbl a\\cell b\\cell\\row\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell c\\cell"
                       "\\row\\intbl repeated\\cell\\row\\pard after\\par")));
  std::vector<TTableRow*> rows;
  for (const auto& r : doc->TableRows) rows.push_back(r.get());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]->CellCount, 3);
  EXPECT_EQ(rows[0]->PadLeft, 50);
  EXPECT_EQ(rows[0]->Left, -100);
  EXPECT_EQ(rows[0]->Alignment, 1);
  EXPECT_EQ(rows[0]->HeaderRow, 1);
  EXPECT_EQ(rows[0]->Cells[0].MergeStart, 1);
  EXPECT_EQ(rows[0]->Cells[1].VertAlign, 1);
  EXPECT_EQ(rows[1]->CellCount, 3);
  EXPECT_EQ(rows[1]->Cells[2].Right, 2720);
  EXPECT_EQ(rows[2]->CellCount, 3);  // a row without \trowd repeats the previous definition
  EXPECT_EQ(ParagraphTexts(*doc).back(), u"after");
  EXPECT_TRUE(context->TablesRead);
}

TEST_F(RtfReaderTest, HorizontallyMergedCellsBecomeOneWideCell) {
  // \clmgf starts a merge and each \clmrg cell widens it; the merged cells' \cell words end
  // nothing, and the definition serves the next row too. Text in a merged cell is kept.
  ASSERT_TRUE(Read(Rtf("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clmrg\\cellx3000\\cellx4000"
                       "\\intbl wide\\cell\\cell\\cell last\\cell\\row"
                       "\\intbl a\\cell kept\\cell\\cell b\\cell\\row\\pard after\\par")));
  ASSERT_EQ(doc->TableRows.size(), 2u);
  const TTableRow& row = *doc->TableRows[0];
  ASSERT_EQ(row.CellCount, 2);
  EXPECT_EQ(row.Cells[0].Right, 3000);
  EXPECT_EQ(row.Cells[1].Right, 4000);
  EXPECT_EQ(doc->TableRows[1]->CellCount, 2);
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  const std::vector<std::u16string> expected = {u"wide", u"last", u"", u"a", u"kept", u"b", u"", u"after"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(doc->Par(0)->CodeAt(doc->Par(0)->CharCount() - 1), scCellEnd);
  // "kept" opens the last cell as a paragraph of its own.
  EXPECT_EQ(doc->Par(4)->CodeAt(doc->Par(4)->CharCount() - 1), scParagraphEnd);
  EXPECT_EQ(doc->Par(5)->CodeAt(doc->Par(5)->CharCount() - 1), scCellEnd);
}

TEST_F(RtfReaderTest, NestedTableCellsArePartedByTabsInTheOuterCell) {
  ASSERT_TRUE(Read(Rtf("\\trowd\\cellx4000\\intbl\\itap2 one\\nestcell two\\nestcell"
                       "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                       "\\pard\\intbl outer\\cell\\row\\pard after\\par")));
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  const std::vector<std::u16string> expected = {u"one\ttwo\t", u"outer", u"", u"after"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(doc->TableRows.size(), 1u);
}

// A preferred row width counts only in fiftieths of a percent (unit 2), wherever the unit
// stands in the row's definition; a width in twips (unit 3) is fixed and left to the cells.
TEST_F(RtfReaderTest, PreferredRowWidthsByTheirUnits) {
  ASSERT_TRUE(Read(Rtf("\\trowd\\trftsWidth2\\trwWidth2500\\cellx1000\\intbl a\\cell\\row"
                       "\\trowd\\trwWidth4000\\trftsWidth2\\cellx1000\\intbl b\\cell\\row"
                       "\\trowd\\trftsWidth3\\trwWidth9000\\cellx4500\\cellx9000\\intbl c\\cell d\\cell\\row"
                       "\\trowd\\trftsWidth1\\trwWidth3000\\cellx1000\\intbl e\\cell\\row"
                       "\\trowd\\trwWidth5000\\cellx1000\\intbl f\\cell\\row\\pard after\\par")));
  ASSERT_EQ(doc->TableRows.size(), 5u);
  const int32_t expected[] = {2500, 4000, 0, 0, 0};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(doc->TableRows[i]->PreferredWidth, expected[i]);
  }
  EXPECT_EQ(doc->TableRows[2]->Cells[1].Right, 9000);
}

TEST_F(RtfReaderTest, TextBetweenTheLastCellAndTheRowEndIsKept) {
  ASSERT_TRUE(Read(Rtf("\\trowd\\cellx1000\\intbl A\\cell stray\\row after\\par")));
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], u"A");
  EXPECT_EQ(doc->Par(1)->CodeAt(0), scRowEnd);
  EXPECT_EQ(texts[2], u"stray");
  EXPECT_EQ(int32_t{doc->Par(2)->Format.InTable}, 0);
  EXPECT_EQ(texts[3], u"after");
}

TEST_F(RtfReaderTest, CellsBeyondTheRowLimitEndParagraphs) {
  std::string body = "\\trowd";
  for (int i = 1; i <= 70; ++i) body += "\\cellx" + std::to_string(i * 100);
  body += "\\intbl";
  for (int i = 0; i < 64; ++i) body += " c\\cell";
  body += "\\row";
  ASSERT_TRUE(Read(Rtf(body)));
  ASSERT_EQ(doc->TableRows.size(), 1u);
  EXPECT_EQ(doc->TableRows[0]->CellCount, MaxTableCells);
  int cellEnds = 0, marks = 0;
  for (int32_t i = 0; i < doc->ParCount(); ++i) {
    const TPar& p = *doc->Par(i);
    if (p.CharCount() == 0) continue;
    cellEnds += p.CodeAt(p.CharCount() - 1) == scCellEnd;
    marks += p.CodeAt(p.CharCount() - 1) == scParagraphEnd;
  }
  EXPECT_EQ(cellEnds, MaxTableCells);
  EXPECT_GE(marks, 1);  // the 64th \cell ended a paragraph
}

TEST_F(RtfReaderTest, SectionsPagesAndDocumentSettings) {
  ASSERT_TRUE(Read(Rtf("\\deftab0\\widowctrl\\viewscale150\\viewzk2\\paperw11906\\margl1000\\cols100\\linemod200"
                       "\\pgnstarts5\\pgnrestart\\ftnnauc\\aenddoc\\sectd\\titlepg one\\sect\\sbkodd\\sectd\\linemod5"
                       "\\landscape two\\par")));
  ASSERT_EQ(doc->Sections.size(), 2u);
  const TSection& first = *doc->Sections[0];
  EXPECT_EQ(doc->DefaultTabStop, 720);
  EXPECT_EQ(doc->FileSettings.WidowControl, 1);
  EXPECT_EQ(doc->ZoomPercent, 150);
  EXPECT_EQ(doc->View.ZoomMode, 1);
  EXPECT_EQ(first.PageParams.PageWidth, 11906);
  EXPECT_EQ(first.PageParams.DiffFirstPage, 1);  // \sectd in the first section changed nothing
  EXPECT_EQ(first.Format.ColumnCount, 64);
  EXPECT_EQ(first.PageParams.LineNumInterval, 0);
  EXPECT_EQ(first.PageNumberStart, 5);
  EXPECT_EQ(first.Footnotes.NumberFormat, 3);
  EXPECT_EQ(first.Endnotes.Position, 3);
  EXPECT_EQ(first.Format.BreakKind, sbOddPage);  // \sbkodd of the second section
  const TSection& second = *doc->Sections[1];
  EXPECT_EQ(second.PageParams.PageWidth, 11906);   // \sectd takes the first section's page
  EXPECT_EQ(second.PageParams.LeftMargin, 1000);
  EXPECT_EQ(second.Footnotes.NumberFormat, 3);     // and keeps the note settings
  EXPECT_EQ(second.PageParams.DiffFirstPage, 0);
  EXPECT_EQ(second.PageParams.Orientation, 1);
  EXPECT_EQ(second.PageParams.LineNumInterval, 5);
  EXPECT_EQ(doc->Par(0)->CodeAt(doc->Par(0)->CharCount() - 1), scSectionEnd);
}

TEST_F(RtfReaderTest, OwnControlWordsKeepTheProgramsState) {
  ASSERT_TRUE(Read(Rtf("\\vadurevavi\\dskparnr3\\dskcharnr4\\wrttargtype1\\wrttarg500\\wrttargrelto2"
                       "\\deflangcoding1049\\tblseltype2{\\*\\autosavedorigfmt DOCX}{\\*\\autosavedorigname a.docx}"
                       "\\collapsedh heading\\par\\pard\\pagebb\\pagebboff\\keepn\\keepnoff x\\par")));
  EXPECT_EQ(doc->FileSettings.VadureVavi, 1);
  EXPECT_EQ(context->CaretPar, 3);
  EXPECT_EQ(context->CaretOffset, 4);
  EXPECT_EQ(doc->FileSettings.WritingTarget, 500);
  EXPECT_EQ(doc->FileSettings.SecondLanguage, 1049);
  EXPECT_EQ(context->SourceFormat, 2);
  EXPECT_EQ(doc->FileName, "a.docx");
  EXPECT_EQ(int32_t{doc->Par(0)->Format.Collapsed}, 1);
  EXPECT_EQ(doc->FileSettings.CollapsedHeadings, 1);
  EXPECT_EQ(int32_t{doc->Par(1)->Format.PageBreakBefore}, 0);
  EXPECT_EQ(int32_t{doc->Par(1)->Format.KeepNext}, 0);
}

TEST_F(RtfReaderTest, SkippedDestinationsNeverReachTheDocument) {
  ASSERT_TRUE(Read(Rtf("{\\*\\generator Writer 1;}{\\*\\unknownword secret}{\\*\\listtext 1.\\tab}"
                       "{\\info{\\title The title}{\\author An \\'e9crivain}{\\creatim\\yr2001\\mo2\\dy3\\hr4\\min5}}"
                       "{\\*\\deleted gone}{\\deleted gone too}visible\\par")));
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"visible"}));
  EXPECT_EQ(doc->Props.Title, u"The title");
  EXPECT_EQ(doc->Props.Author, u"An \u00e9crivain");
  const TDateTimeParts created = DecodeDateTime(doc->Props.AutoProps.Created);
  EXPECT_EQ(created.Year, 2001);
  EXPECT_EQ(created.Day, 3);
  EXPECT_EQ(created.Minute, 5);
}

TEST_F(RtfReaderTest, FontAndColourTables) {
  // A colour table starting with a lone ";", a red entry, and one with only an unknown word.
  ASSERT_TRUE(Read("{\\rtf1{\\fonttbl{\\f0\\fcharset77 Courier New;}{\\f1 Arial;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\ctint255;}\\f1\\cf1 a\\cf2 b\\cf9 c\\f7 d}"));
  EXPECT_EQ(FormatAt(0, 1).Color, 0x0000FF);
  EXPECT_EQ(FormatAt(0, 2).Color, 0);             // black, not automatic
  EXPECT_EQ(FormatAt(0, 3).Color, AutoColor);     // out of the table
  const TFontManager& fm = *FontManager();
  EXPECT_EQ(fm.GetFaceName(FormatAt(0, 1).Font).find("Arial") != std::string::npos ||
                fm.RegFonts[static_cast<size_t>(FormatAt(0, 1).Font)].FaceName == "Arial",
            true);
  // Courier New (the first font, a Macintosh set read as ANSI) is the default for \f7.
  EXPECT_EQ(fm.RegFonts[static_cast<size_t>(FormatAt(0, 4).Font)].Charset, 0);
}

TEST_F(RtfReaderTest, AFontEntryWithoutItsSemicolonEndsWithTheTable) {
  ASSERT_TRUE(Read("{\\rtf1{\\fonttbl\\f0 Arial}Body text\\par}"));
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"Body text"}));
}

TEST_F(RtfReaderTest, BookmarksAndFieldsWithEmptyResults) {
  ASSERT_TRUE(Read(Rtf("{\\*\\bkmkstart Mark}x{\\*\\bkmkstart Mark}y{\\*\\bkmkend Mark}z"
                       "{\\field{\\*\\fldinst PAGE}{\\fldrslt }}"
                       "{\\field{\\*\\fldinst hyperlink \"http://a.b/\"}{\\fldrslt }}"
                       "{\\field{\\*\\fldinst PRIVATE data}{\\fldrslt }}"
                       "{\\field{\\*\\fldinst PAGE \\\\* ARABE \"ARABE\"}{\\fldrslt 3}}\\par")));
  EXPECT_EQ(ParagraphTexts(*doc)[0], u"xyz?3");
  std::vector<const TField*> bookmarks, fields;
  for (const auto& f : doc->Fields) {
    if (f->Kind == fkBookmark) bookmarks.push_back(f.get());
    if (f->Kind == fkField) fields.push_back(f.get());
  }
  ASSERT_EQ(bookmarks.size(), 1u);  // the second of the same name is dropped
  ASSERT_EQ(fields.size(), 2u);      // the empty hyperlink and PRIVATE are removed
  EXPECT_EQ(fields[0]->Instruction, u"PAGE");
  EXPECT_EQ(fields[1]->Instruction, u"PAGE \\* ARABIC \"ARABE\"");
  // The bookmark ends after "y": its end mark closes the first one.
  TDocRange range;
  ASSERT_TRUE(doc->GetFieldRange(bookmarks[0], range));
  EXPECT_EQ(range.Start.Offset, 0);
  EXPECT_EQ(range.End.Offset, 2);
}

TEST_F(RtfReaderTest, NotesHeadersAndFooters) {
  ASSERT_TRUE(Read(Rtf("{\\header First\\par Second}{\\footerl only\\par}{\\headerf {\\footnote no}\\par}"
                       "Body{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} Note.\\par}"
                       "{\\footnote\\ftnalt\\pard End note.}\\par")));
  // A header whose text does not end with a paragraph mark keeps its last paragraph.
  EXPECT_EQ(StoryTexts(*doc, stHeadersFooters),
            (std::vector<std::u16string>{u"First", u"Second", u"only", u""}));
  const TSection& s = *doc->Sections[0];
  EXPECT_NE(s.HeaderFooter[hfOddHeader], nullptr);
  EXPECT_NE(s.HeaderFooter[hfEvenFooter], nullptr);
  EXPECT_NE(s.HeaderFooter[hfFirstHeader], nullptr);  // its footnote was skipped
  const int32_t firstHeader = doc->FirstParagraphOfStory(stHeadersFooters);
  EXPECT_EQ(doc->Par(firstHeader + 2)->CharCount(), 1 + 4);  // "only" and one mark, not two
  ASSERT_EQ(doc->StoryCounts[stFootnotes], 1);  // the final \par's empty paragraph is no note text
  ASSERT_EQ(doc->StoryCounts[stEndnotes], 1);
  EXPECT_NE(StoryTexts(*doc, stFootnotes)[0].find(u"Note."), std::u16string::npos);
  int automatic = 0;
  for (const auto& f : doc->Fields)
    if (f->Kind == fkNoteReference) automatic += f->Flags & 1;
  EXPECT_EQ(automatic, 2);
}

TEST_F(RtfReaderTest, StyleSheetStylesAndHotKeys) {
  ASSERT_TRUE(Read(Rtf("{\\stylesheet{\\s5\\qc\\b Normal;}{\\s1\\sbasedon222\\snext5\\fs40 heading 1;}"
                       "{\\s2\\sbasedon77{\\*\\keycode \\shift\\ctrl\\fn5} Other;}{\\s3 Other;}{\\s9\\ds Section;}"
                       "{\\*\\cs10\\additive\\i Emphasis;}{\\s4\\sbasedon4 Self;}}\\s2 text\\par")));
  const TStyleList& styles = *doc->Styles;
  ASSERT_EQ(styles.Count(), 4);  // Normal, heading 1, Other, Self
  EXPECT_EQ(int32_t{styles[0].ParFmt.Alignment}, 1);
  EXPECT_EQ(styles[1].BasedOn, -1);
  EXPECT_EQ(styles[1].Next, 0);
  EXPECT_EQ(styles[2].BasedOn, 0);  // a base no style has
  EXPECT_EQ(styles[2].HotKeyCode, (5u << 16) | 116u);
  EXPECT_EQ(styles[3].BasedOn, -1);  // based on itself
  EXPECT_EQ(int32_t{doc->Par(0)->Format.Style}, 2);
  ASSERT_EQ(context->CharStyles.size(), 1u);
  EXPECT_EQ(context->CharStyles[0].Number, 10);
  EXPECT_EQ(context->CharStyles[0].Format.Italic, 1);
  EXPECT_FALSE(context->StylesOwnSettingsOnly);
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"text"}));
}

TEST_F(RtfReaderTest, ListsAndTheirOverrides) {
  std::string table = "{\\*\\listtable{\\list\\listid7{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u8226 ?;}"
                      "\\f3\\fi-360\\li720}{\\listlevel\\levelnfc0{\\leveltext\\'02\\'01.;}}}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid7\\ls2}"
                      "{\\listoverride\\listid7\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat4}\\ls3}}";
  std::string longText(300, 'x');
  ASSERT_TRUE(Read(Rtf(table + "\\ls1 a\\par\\ls2 b\\par\\ls3 c\\par\\pard{\\*\\pn\\pnlvlblt{\\pntxtb \\'b7}} d\\par"
                       "\\pard{\\*\\pn\\pnlvl3} e\\par")));
  ASSERT_EQ(doc->Lists.size(), 3u);  // overrides 1 and 2 share a list; 3 restarts; the \pn bullet
  const TAutoList* first = doc->ListByNumber(doc->Par(0)->Format.List);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, doc->ListByNumber(doc->Par(1)->Format.List));
  EXPECT_EQ(first->ListLevels[0].NumberFormat, 23);
  EXPECT_EQ(first->ListLevels[0].LevelText, u"\u2022");
  EXPECT_EQ(int32_t{first->ListLevels[0].ParFormat.LeftIndent}, 720);
  EXPECT_EQ(first->ListLevels[1].LevelText, std::u16string(u"\u0001."));
  const TAutoList* third = doc->ListByNumber(doc->Par(2)->Format.List);
  ASSERT_NE(third, nullptr);
  EXPECT_NE(third, first);
  EXPECT_EQ(third->ListLevels[0].StartAt, 4);
  const TAutoList* bullets = doc->ListByNumber(doc->Par(3)->Format.List);
  ASSERT_NE(bullets, nullptr);
  EXPECT_EQ(bullets->SingleLevel, 1);
  EXPECT_EQ(bullets->ListLevels[0].NumberFormat, 23);
  EXPECT_EQ(bullets->ListLevels[0].LevelText, u"\u00b7");
  EXPECT_EQ(int32_t{doc->Par(4)->Format.List}, 0);  // \pn without texts changes nothing
  EXPECT_TRUE(context->ListsFromListTable);
  // A level text longer than 255 characters is cut.
  ASSERT_TRUE(Read(Rtf("{\\*\\listtable{\\list\\listid1{\\listlevel{\\leveltext\\'ff" + longText +
                       ";}}}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\ls1 x\\par")));
  ASSERT_EQ(doc->Lists.size(), 1u);
  EXPECT_EQ(doc->Lists[0]->ListLevels[0].LevelText.size(), 255u);
}

// Old paragraph numbering: \pnprev makes a level's number lead with the level above (1.1), and
// the lists the reader makes get those texts after loading.
TEST_F(RtfReaderTest, OldNumberingLevelsIncludeThePreviousLevel) {
  ASSERT_TRUE(Read(Rtf("\\pard{\\*\\pn\\pnlvl1{\\pntxta .}} a\\par"
                       "\\pard{\\*\\pn\\pnlvl2\\pnprev{\\pntxta .}} b\\par"
                       "\\pard gap\\par\\pard{\\*\\pn\\pnlvl2\\pnprev0{\\pntxta .}} c\\par")));
  ASSERT_EQ(doc->Lists.size(), 3u);
  EXPECT_EQ(doc->Lists[0]->ListLevels[0].IncludesPrevious, 0);
  EXPECT_EQ(doc->Lists[1]->ListLevels[1].IncludesPrevious, 1);
  EXPECT_EQ(doc->Lists[1]->ListLevels[1].Legal, 0);
  EXPECT_EQ(doc->Lists[2]->ListLevels[1].IncludesPrevious, 0);
  TPostLoadInfo info;
  ResolveLists(*doc, info);
  const TAutoList* list = doc->ListByNumber(doc->Par(1)->Format.List);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list, doc->ListByNumber(doc->Par(0)->Format.List));
  EXPECT_EQ(list->ListLevels[1].LevelText, std::u16string(u"\u0000.\u0001.", 4));
  const TAutoList* alone = doc->ListByNumber(doc->Par(3)->Format.List);
  ASSERT_NE(alone, nullptr);
  EXPECT_EQ(alone->ListLevels[1].LevelText, std::u16string(u"\u0001."));
}

TEST_F(RtfReaderTest, PicturesAndShapes) {
  const std::string png = kPng4x3;
  // Data broken into lines, a picture with its alternative, scales beyond their limits.
  const std::string picture = "{\\pict\\pngblip\\picscalex0\\picscaley5000\\picwgoal600\\pichgoal450\n" +
                              png.substr(0, 50) + "\r\n" + png.substr(50) + "}";
  const std::string alternatives = "{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}";
  const std::string frame = "{\\shp{\\*\\shpinst\\shpleft10\\shptop20\\shpright610\\shpbottom470{\\sp{\\sn shapeType}{\\sv 75}}"
                            "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip " + png + "}}}{\\sp{\\sn fLayoutInCell}{\\sv 1}}}}";
  const std::string textBox = "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt In the box\\par}}}";
  ASSERT_TRUE(Read(Rtf("a" + picture + "b" + alternatives + "c" + frame + "d" + textBox + "e\\par")));
  std::vector<const TShape*> inlineShapes, floating;
  for (const auto& s : doc->Shapes)
    (s->AnchorField != nullptr ? floating : inlineShapes).push_back(s.get());
  ASSERT_EQ(inlineShapes.size(), 2u);
  ASSERT_EQ(floating.size(), 1u);
  EXPECT_EQ(inlineShapes[0]->Graphic->PictureKind, TDocGraphic::TKind::Png);
  EXPECT_EQ(inlineShapes[0]->Props.ScaleX, 1);
  EXPECT_EQ(inlineShapes[0]->Props.ScaleY, 1000);
  EXPECT_EQ(inlineShapes[0]->Props.PicWidth, 600);
  EXPECT_EQ(inlineShapes[1]->Props.PicWidth, 4 * 15);  // no shown size: the pixels at 15 twips
  EXPECT_EQ(floating[0]->Props.WrapStyle, TShapeProps::TWrapStyle::Square);
  EXPECT_EQ(floating[0]->Props.ShapeRect[2], 610);
  EXPECT_EQ(floating[0]->Props.GetProp(spLayoutInCell), 1);
  const std::vector<std::u16string> texts = ParagraphTexts(*doc);
  ASSERT_EQ(texts.size(), 2u);  // the text box's paragraph flows into the body
  EXPECT_NE(texts[0].find(u"In the box"), std::u16string::npos);
  EXPECT_EQ(texts[1], u"e");
  // A picture frame inside a SHAPE field is inline, at its rectangle's size.
  ASSERT_TRUE(Read(Rtf("a{\\field{\\*\\fldinst SHAPE }{\\fldrslt {\\shp{\\*\\shpinst\\shpleft100\\shptop0\\shpright1600"
                       "\\shpbottom900\\shpwr3{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv {\\pict\\pngblip " + png +
                       "}}}}}}}b\\par")));
  ASSERT_EQ(doc->Shapes.size(), 1u);
  EXPECT_EQ(doc->Shapes[0]->AnchorField, nullptr);
  EXPECT_EQ(doc->Shapes[0]->Props.PicWidth, 1500);
  EXPECT_EQ(doc->Shapes[0]->Props.PicHeight, 900);
  // A Windows metafile keeps its mapping mode.
  ASSERT_TRUE(Read(Rtf("{\\pict\\wmetafile8\\picw10\\pich10 0100090000}")));
  ASSERT_EQ(doc->Shapes.size(), 1u);
  EXPECT_TRUE(doc->Shapes[0]->Graphic->FromWmf);
  EXPECT_EQ(doc->Shapes[0]->Graphic->MapMode, 8);
}

TEST_F(RtfReaderTest, IndexEntriesAndPairedTexts) {
  ASSERT_TRUE(Read(Rtf("{\\xe {\\v Main\\:Sub \"q\"}{\\txe see also}\\bxe\\yxe reading}"
                       "{\\upr{ansi text}{\\*\\ud\\u1071?}}\\par")));
  const TField* xe = nullptr;
  for (const auto& f : doc->Fields)
    if (f->FieldType == ftIndexEntry) xe = f.get();
  ASSERT_NE(xe, nullptr);
  EXPECT_EQ(xe->Instruction, u"XE \"Main:Sub \\\"q\\\"\" \\t \"see also\" \\y \"reading\" \\b");
  EXPECT_EQ(ParagraphTexts(*doc), (std::vector<std::u16string>{u"\u042f"}));
}

TEST_F(RtfReaderTest, DamagedFilesAreReadUpToTheDamageAndReported) {
  struct Case {
    std::string Rtf;
    const char16_t* Kept;
  };
  std::string deep = "{\\rtf1 kept";
  for (int i = 0; i < 5000; ++i) deep += "{";
  std::string fields = "{\\rtf1 kept";
  for (int i = 0; i < 400; ++i) fields += "{\\field{\\*\\fldinst PAGE}{\\fldrslt ";
  std::string colours = "{\\rtf1 kept{\\colortbl " + std::string(20000, ';') + "}}";
  const Case cases[] = {
      {deep, u"kept"},                                  // nesting past the bound
      {"{\\rtf1 kept\\bin999999999 x}", u"kept"},       // binary data past the end
      {fields, u"kept"},                                // destinations nested past the bound
      {colours, u"kept"},                               // more colours than the bound
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Read(c.Rtf));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("damaged"), std::string::npos);
    EXPECT_EQ(ParagraphTexts(*doc)[0].substr(0, 4), c.Kept);
  }
  // Truncated input and huge numbers are read as far as they go, without a report.
  for (const char* rtf : {"{\\rtf1 cut {\\b bold", "{\\rtf1\\fs99999999999\\li99999999\\cf77777\\f-5 big\\u-1?}",
                          "{\\rtf1{\\fonttbl{\\f0 A", "{\\rtf1{\\pict\\pngblip 89504e", "{\\rtf1 \\'4"}) {
    SCOPED_TRACE(rtf);
    EXPECT_TRUE(Read(rtf));
    EXPECT_GE(doc->ParCount(), 1);
  }
}

}  // namespace

namespace {

// Files cut short anywhere and files with bytes changed into RTF's own characters are read in
// part or whole; nothing is read past the data, and the document stays whole.
TEST_F(RtfReaderTest, CutAndMutatedFilesAreReadWithoutHarm) {
  for (const char* name : {"rtf/office_full.rtf", "rtf/tables_shading.rtf"}) {
    SCOPED_TRACE(name);
    std::ifstream in(qvtest::FilesDataPath(name), std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(file.empty());
    uint32_t seed = 7;
    const auto next = [&](uint32_t n) {
      seed = seed * 1664525u + 1013904223u;
      return (seed >> 8) % n;
    };
    static const char kBytes[] = {'{', '}', '\\', '\'', '9', '-', ';', ' ', '*', 'u'};
    for (int round = 0; round < 120; ++round) {
      std::string rtf = file.substr(0, next(static_cast<uint32_t>(file.size())) + 1);
      for (int k = 0; k < 8; ++k) rtf[next(static_cast<uint32_t>(rtf.size()))] = kBytes[next(sizeof kBytes)];
      Read(rtf);
      ASSERT_NE(doc, nullptr);
      ASSERT_GE(doc->StoryCounts[stMain], 1);
      for (int32_t i = 0; i < doc->ParCount(); ++i) {
        TPar& par = *doc->Par(i);
        ASSERT_GT(par.CharCount(), 0);
        BuildParagraphWideText(par);
      }
    }
  }
}

}  // namespace
