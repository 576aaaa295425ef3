#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "document/field.h"
#include "document/field_instructions.h"
#include "foundation/base/date_time.h"
#include "document/styles.h"

using namespace qv;

namespace {

TEST(FieldInstructions, SplitsWordsWithQuotesEscapesAndLineBreaks) {
  struct Case {
    std::u16string instruction;
    std::vector<std::u16string> words;
  } cases[] = {
      {u"PAGE", {}},
      {u"  PAGE   ", {}},
      {u"HYPERLINK \"a b\" \\l \"c\"", {u"a b", u"\\l", u"c"}},
      {u"HYPERLINK \"say \\\"hi\\\"\"", {u"say \"hi\""}},
      {u"HYPERLINK \"C:\\\\dir\\\\\"", {u"C:\\dir\\"}},
      {u"X \\l", {u"\\l"}},
      {u"X \"ab\"cd", {u"ab", u"cd"}},
      {u"X one\rtwo\nthree\r\nfour", {u"one", u"two", u"three", u"four"}},
      {u"X \"in\rquote\"", {u"in", u"quote"}},
      {u"X \"\" \\n", {u"", u"\\n"}},
      {u"X \\@ \"d MMMM yyyy\"", {u"\\@", u"d MMMM yyyy"}},
      {u"X \"unterminated quote", {u"unterminated quote"}},
      {u"X trailing\\", {u"trailing\\"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitFieldInstruction(c.instruction), c.words)
        << std::string(c.instruction.begin(), c.instruction.end());
  }
  std::vector<TFieldWord> words = SplitFieldWords(u"HYPERLINK \"\\l\" \\l");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_TRUE(words[0].Quoted);
  EXPECT_FALSE(words[0].IsSwitch(u"\\l"));
  EXPECT_TRUE(words[1].IsSwitch(u"\\l"));
}

TEST(FieldInstructions, KeywordTableBothWays) {
  EXPECT_STREQ(FieldKeyword(88), "HYPERLINK");
  EXPECT_STREQ(FieldKeyword(13), "TOC");
  EXPECT_STREQ(FieldKeyword(34), "=");
  EXPECT_STREQ(FieldKeyword(95), "SHAPE");
  EXPECT_STREQ(FieldKeyword(0), "?");
  EXPECT_STREQ(FieldKeyword(96), "?");
  EXPECT_STREQ(FieldKeyword(-1), "?");
  for (int32_t t = 0; t < FieldTypeCount; ++t) {
    std::string k = FieldKeyword(t);
    if (k == "?") continue;
    EXPECT_EQ(FieldTypeOfKeyword(std::u16string(k.begin(), k.end())), t) << k;
  }
  EXPECT_EQ(FieldTypeOfKeyword(u"hyperlink"), 88);
  EXPECT_EQ(FieldTypeOfKeyword(u"?"), -1);
  EXPECT_EQ(FieldTypeOfKeyword(u"NOSUCH"), -1);
}

TEST(FieldInstructions, EveryKindKeepsItsArgumentsAndSwitchesThroughARoundTrip) {
  // Switches written bare, arguments quoted and escaped (blanks, quotes, backslashes).
  const std::vector<std::u16string> words = {u"\\*", u"Upper", u"\\@", u"d MMM yyyy",
                                             u"C:\\dir\\", u"say \"hi\"", u"\\h"};
  for (int32_t t = 0; t < FieldTypeCount; ++t) {
    const std::string k = FieldKeyword(t);
    if (k == "?") continue;
    std::u16string instruction(k.begin(), k.end());
    for (const std::u16string& w : words) {
      const bool isSwitch = w.size() == 2 && w[0] == u'\\';
      instruction += isSwitch ? u" " + w : u" \"" + EscapeFieldArgument(w) + u"\"";
    }
    EXPECT_EQ(SplitFieldInstruction(instruction), words) << k;
    const std::u16string keyword = instruction.substr(0, instruction.find(u' '));
    EXPECT_EQ(FieldTypeOfKeyword(keyword), t) << k;
  }
}

TEST(FieldInstructions, HyperlinkParse) {
  struct Case {
    std::u16string instruction;
    std::string target, bookmark;
    std::u16string tooltip;
  } cases[] = {
      {u"HYPERLINK \"#Intro\"", "", "Intro", u""},
      {u"HYPERLINK \"http://x.org/a\" \\l \"Part2\"", "http://x.org/a", "Part2", u""},
      {u"HYPERLINK \\l \"A\" \\l \"B\"", "", "B", u""},
      {u"HYPERLINK \"t\" \\o \"tip text\" other", "t", "", u"tip text"},
      {u"HYPERLINK \\t \"_blank\" \"http://x.org\"", "http://x.org", "", u""},
      {u"HYPERLINK \"#\"", "", "", u""},
      {u"HYPERLINK \\l", "", "", u""},
      {u"HYPERLINK", "", "", u""},
  };
  for (const Case& c : cases) {
    std::string target = "old", bookmark = "old";
    std::u16string tooltip = u"old";
    ParseHyperlinkInstruction(c.instruction, target, bookmark, &tooltip);
    EXPECT_EQ(target, c.target);
    EXPECT_EQ(bookmark, c.bookmark);
    EXPECT_EQ(tooltip, c.tooltip);
  }
  std::string target, bookmark;
  ParseHyperlinkInstruction(u"HYPERLINK \"a\" \\o \"tip\"", target, bookmark, nullptr);
  EXPECT_EQ(target, "a");
}

TEST(FieldInstructions, HyperlinkBuildAndRoundTrip) {
  EXPECT_EQ(BuildHyperlinkInstruction("me@host.org", "", u""), u"HYPERLINK \"mailto:me@host.org\"");
  EXPECT_EQ(BuildHyperlinkInstruction("http://u@host.org", "", u""),
            u"HYPERLINK \"http://u@host.org\"");
  EXPECT_EQ(BuildHyperlinkInstruction("MAILTO:me@host.org", "", u""),
            u"HYPERLINK \"MAILTO:me@host.org\"");
  EXPECT_EQ(BuildHyperlinkInstruction("", "", u""), u"HYPERLINK \"\"");
  EXPECT_EQ(BuildHyperlinkInstruction("", "bm", u""), u"HYPERLINK \\l \"bm\"");
  EXPECT_EQ(BuildHyperlinkInstruction("a.doc", "bm", u"tip"),
            u"HYPERLINK \"a.doc\" \\l \"bm\" \\o \"tip\"");
  struct Case {
    std::string target, bookmark;
    std::u16string tooltip;
  } cases[] = {
      {"http://x.org/?q=\"a\"", "", u"say \"hi\""},
      {"\\\\server\\share\\file.doc", "", u"back\\slash"},
      {"C:\\folder\\", "mark", u""},
      {"\\l", "", u"\\o"},
      {"", "only", u"\"\\\""},
  };
  for (const Case& c : cases) {
    std::u16string instruction = BuildHyperlinkInstruction(c.target, c.bookmark, c.tooltip);
    std::string target, bookmark;
    std::u16string tooltip;
    ParseHyperlinkInstruction(instruction, target, bookmark, &tooltip);
    EXPECT_EQ(target, c.target);
    EXPECT_EQ(bookmark, c.bookmark);
    EXPECT_EQ(tooltip, c.tooltip);
  }
}

TEST(FieldInstructions, TocParseBuildAndRoundTrip) {
  struct Case {
    std::u16string instruction;
    int32_t levels;
    uint8_t pages, right, leader, title;
    std::u16string titleText;
  } cases[] = {
      {u"TOC", 3, 1, 0, 0, 0, u""},
      {u"TOC \\o \"1-12\"", 2, 1, 0, 0, 0, u""},
      {u"TOC \\o \"1-x\"", 9, 1, 0, 0, 0, u""},
      {u"TOC \\o \"2-4\"", 3, 1, 0, 0, 0, u""},
      {u"TOC \\o \"1-0\"", 1, 1, 0, 0, 0, u""},
      {u"TOC \\o \\n", 3, 0, 0, 0, 0, u""},
      {u"TOC \\h \\o \"1-3\" \\r2", 3, 1, 1, 1, 0, u""},
      {u"TOC \\n \\r2", 3, 0, 1, 1, 0, u""},
      {u"TOC \\p \" \" \\e \"Contents\"", 3, 1, 0, 0, 1, u"Contents"},
      {u"TOC \\e", 3, 1, 0, 0, 0, u""},
      {u"TOC \\r9", 3, 1, 1, 3, 0, u""},
      {u"TOC \\rx", 3, 1, 0, 0, 0, u""},
  };
  for (const Case& c : cases) {
    TGenerateTOC_Options o;
    o.Levels = 77;
    ParseTocInstruction(c.instruction, o);
    EXPECT_EQ(o.Levels, c.levels);
    EXPECT_EQ(o.ShowPageNumbers, c.pages);
    EXPECT_EQ(o.RightAlignPageNumbers, c.right);
    EXPECT_EQ(o.TabLeader, c.leader);
    EXPECT_EQ(o.ShowTitle, c.title);
    EXPECT_EQ(o.Title, c.titleText);
  }
  TGenerateTOC_Options o;
  o.RightAlignPageNumbers = 1;
  o.TabLeader = 1;
  EXPECT_EQ(BuildTocInstruction(o), u"TOC \\h \\o \"1-3\" \\r2");
  o.RightAlignPageNumbers = 0;
  EXPECT_EQ(BuildTocInstruction(o), u"TOC \\h \\o \"1-3\" \\p \" \"");
  ParseTocInstruction(u"TOC \\n \\r2", o);
  EXPECT_EQ(BuildTocInstruction(o), u"TOC \\h \\o \"1-3\" \\n");

  // Every combination survives a build and a parse, a title with quotes and an empty one too.
  for (int32_t levels : {1, 5, 9}) {
    for (uint8_t pages : {0, 1}) {
      for (uint8_t right : {0, 1}) {
        for (const char16_t* title : {u"", u"Say \"hi\" \\ there"}) {
          TGenerateTOC_Options in;
          in.Levels = levels;
          in.ShowPageNumbers = pages;
          in.RightAlignPageNumbers = pages ? right : 0;
          in.TabLeader = pages && right ? 2 : 0;
          in.ShowTitle = 1;
          in.Title = title;
          TGenerateTOC_Options out;
          ParseTocInstruction(BuildTocInstruction(in), out);
          EXPECT_EQ(out.Levels, in.Levels);
          EXPECT_EQ(out.ShowPageNumbers, in.ShowPageNumbers);
          EXPECT_EQ(out.RightAlignPageNumbers, in.RightAlignPageNumbers);
          EXPECT_EQ(out.TabLeader, in.TabLeader);
          EXPECT_EQ(out.ShowTitle, 1);
          EXPECT_EQ(out.Title, in.Title);
        }
      }
    }
  }
}

TEST(FieldInstructions, IndexEntryParse) {
  TXEOptions o;
  ParseXEInstruction(u"XE \"Fruit:Apple\" \\t \"See Pears\" \\b", o);
  EXPECT_EQ(o.EntryText, u"Fruit:Apple");
  EXPECT_EQ(o.CrossReference, u"See Pears");
  EXPECT_EQ(o.BoldPageNumber, 1);
  EXPECT_EQ(o.ItalicPageNumber, 0);
  ParseXEInstruction(u"XE \" padded \" \\r \" Mark1 \" \\i \\f \"B\" \\y \"reading\"", o);
  EXPECT_EQ(o.EntryText, u"padded");
  EXPECT_EQ(o.Bookmark, "Mark1");
  EXPECT_EQ(o.ItalicPageNumber, 1);
  EXPECT_EQ(o.BoldPageNumber, 0);
  EXPECT_EQ(o.CrossReference, u"");
  ParseXEInstruction(u"XE \\t", o);
  EXPECT_EQ(o.EntryText, u"");
  EXPECT_EQ(o.CrossReference, u"");
}

TEST(FieldInstructions, IndexParse) {
  const int32_t userLang = TGenerateIndex_Options{}.Language == 0 ? 0 : -1;
  (void)userLang;
  TGenerateIndex_Options o;
  ParseIndexInstruction(u"INDEX \\c \"7\" \\h \"A\" \\r \\e \"\t\" \\y2 \\z \"1031\"", o);
  EXPECT_EQ(o.Columns, 4);
  EXPECT_EQ(o.Heading, 1);
  EXPECT_EQ(o.RunIn, 1);
  EXPECT_EQ(o.TabSeparator, 1);
  EXPECT_EQ(o.TabLeader, 1);
  EXPECT_EQ(o.Language, 1031);
  ParseIndexInstruction(u"INDEX \\c \"x\" \\e \", \" \\y1 \\z", o);
  EXPECT_EQ(o.Columns, 0);
  EXPECT_EQ(o.TabSeparator, 0);
  EXPECT_EQ(o.TabLeader, 0);
  EXPECT_NE(o.Language, 0);  // the user's default language
  ParseIndexInstruction(u"INDEX \\c \"-3\" \\c", o);
  EXPECT_EQ(o.Columns, 0);
  EXPECT_EQ(o.TabLeader, 1);
}

TEST(FieldInstructions, SymbolParseAndBuild) {
  std::string font;
  EXPECT_EQ(ParseSymbolInstruction("SYMBOL 61623 \\f \"Wingdings\" \\u", font), 61623);
  EXPECT_EQ(font, "Wingdings");
  EXPECT_EQ(ParseSymbolInstruction("SYMBOL", font), 63);
  EXPECT_EQ(font, "");
  EXPECT_EQ(ParseSymbolInstruction("SYMBOL x \\f \"Open", font), 0);
  EXPECT_EQ(font, "");
  EXPECT_EQ(ParseSymbolInstruction("SYMBOL 99999999999999", font), INT32_MAX);
  EXPECT_EQ(ParseSymbolInstruction("SYMBOL 65 \\f", font), 65);
  EXPECT_EQ(BuildSymbolInstruction(65, "Symbol"), "SYMBOL 65 \\f \"Symbol\"");
  EXPECT_EQ(BuildSymbolInstruction(61623, "Wingdings"), "SYMBOL 61623 \\f \"Wingdings\" \\u");
  EXPECT_EQ(ParseSymbolInstruction(BuildSymbolInstruction(8364, "Arial"), font), 8364);
  EXPECT_EQ(font, "Arial");
}

TEST(FieldInstructions, StyleRefPageRefNoteRef) {
  TStyleList styles;
  styles.Add(std::make_unique<TStyle>(&styles));
  styles[0].Name = styles[0].DisplayName = "Normal";
  styles.Add(std::make_unique<TStyle>(&styles));
  styles[1].Name = "heading 1";
  styles[1].DisplayName = "Heading 1";
  int32_t index = 0;
  bool numberOnly = true;
  std::string name;
  EXPECT_TRUE(ParseStyleRefInstruction(styles, u"STYLEREF \"heading 1,Chapter\" \\l", index,
                                       numberOnly, name));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(numberOnly);
  EXPECT_EQ(name, "Heading 1");
  EXPECT_FALSE(ParseStyleRefInstruction(styles, u"STYLEREF \\* MERGEFORMAT \\n Missing", index,
                                        numberOnly, name));
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(numberOnly);
  EXPECT_EQ(name, "Missing");

  bool link = false, relative = false;
  std::string bookmark;
  ParsePageRefInstruction(u"PAGEREF _Toc1 \\h \\p other", &link, &relative, bookmark);
  EXPECT_TRUE(link);
  EXPECT_TRUE(relative);
  EXPECT_EQ(bookmark, "_Toc1");
  ParsePageRefInstruction(u"PAGEREF \\* MERGEFORMAT Mark", nullptr, nullptr, bookmark);
  EXPECT_EQ(bookmark, "Mark");
  bool markFormat = false;
  ParseNoteRefInstruction("NOTEREF _Ref2 \\f \\h", &link, &markFormat, bookmark);
  EXPECT_TRUE(link);
  EXPECT_TRUE(markFormat);
  EXPECT_EQ(bookmark, "_Ref2");
  ParseNoteRefInstruction("NOTEREF", &link, nullptr, bookmark);
  EXPECT_FALSE(link);
  EXPECT_EQ(bookmark, "");
}

TEST(FieldInstructions, DatePictureAndNumberStyleSwitches) {
  EXPECT_EQ(GetDateTimeFormatSwitch(u"DATE \\@ \"d MMMM yyyy\""), "d MMMM yyyy");
  EXPECT_EQ(GetDateTimeFormatSwitch(u"DATE \\@ \"a\" \\@ \"b\" \\* Upper"), "b");
  EXPECT_EQ(GetDateTimeFormatSwitch(u"DATE \\@"), "");
  EXPECT_EQ(GetDateTimeFormatSwitch(u"DATE"), "");
  EXPECT_EQ(NumberStyleOfSwitch("PAGE \\* roman", 255), 3);
  EXPECT_EQ(NumberStyleOfSwitch("PAGE \\* ROMAN \\* alphabetic", 255), 1);
  EXPECT_EQ(NumberStyleOfSwitch("PAGE", 255), 0);
  EXPECT_EQ(NumberStyleOfSwitch("PAGE", 2), 2);
  EXPECT_TRUE(HasFieldSwitch(u"PAGEREF a \\h", u"\\h"));
  EXPECT_FALSE(HasFieldSwitch(u"PAGEREF \"\\h\"", u"\\h"));
  EXPECT_EQ(FirstFieldArgument(u"NOTEREF \\h Mark"), u"Mark");
}

TEST(FieldInstructions, DateFieldsWriteTheTimeMarkerOfTheLanguage) {
  const char* old = std::getenv("LC_ALL");
  std::string saved = old != nullptr ? old : "";
  setenv("LC_ALL", "en_US.UTF-8", 1);
  TField field;
  field.FieldType = ftTime;
  field.Instruction = u"TIME \\@ \"h:mm am/pm\"";
  const double afternoon = EncodeDateTime(2026, 12, 1, 13, 5, 0);
  EXPECT_EQ(field.FormatDateResult(1033, afternoon), u"1:05 PM");
  field.Instruction = u"DATE \\@ \"d MMMM yyyy\" \\* Upper";
  EXPECT_EQ(field.FormatDateResult(1036, afternoon), u"1ER D\u00c9CEMBRE 2026");
  field.Instruction = u"DATE \\@ \"dddd\"";
  EXPECT_EQ(field.FormatDateResult(1031, afternoon), u"Dienstag");
  if (old != nullptr) setenv("LC_ALL", saved.c_str(), 1);
  else unsetenv("LC_ALL");
}

}  // namespace
