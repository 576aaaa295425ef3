#include "shell/char_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/text/word_delimiters.h"

using namespace qv;

namespace {

constexpr int32_t kEnglish = 0x0409, kSpanish = 0x0C0A;

std::vector<int> Members(const TCharTable& table) {
  std::vector<int> codes;
  for (int c = 0; c < 256; ++c)
    if (table[static_cast<size_t>(c)]) codes.push_back(c);
  return codes;
}

struct ClassRow {
  const char* name;
  TCharTable TCharTables::*table;
  std::vector<int> members;
};

TEST(CharTables, SmallClassesHoldExactlyTheirMembers) {
  const TCharTables t = BuildCharTables(kEnglish);
  const ClassRow rows[] = {
      {"breaks", &TCharTables::Breaks, {2, 3, 4, 5, 6, 7, 8}},
      {"line-break points", &TCharTables::LineBreakPoints, {9, 13, 14, 15, 18, 19, 20, 32, 45}},
      {"sentence ends", &TCharTables::SentenceEnds, {33, 46, 63}},
      {"white space", &TCharTables::WhiteSpace, {2, 3, 4, 5, 6, 7, 8, 9, 11, 18, 19, 20, 32}},
      {"digits", &TCharTables::Digits, {48, 49, 50, 51, 52, 53, 54, 55, 56, 57}},
      {"file-name breakers",
       &TCharTables::FileNameBreakers,
       {34, 42, 47, 58, 60, 62, 63, 91, 92, 93, 123, 124, 125, 132, 147, 148, 171, 187}},
  };
  for (const ClassRow& row : rows) EXPECT_EQ(Members(t.*row.table), row.members) << row.name;
}

TEST(CharTables, SampleMembershipOfTheWiderClasses) {
  const TCharTables t = BuildCharTables(kEnglish);
  struct Row {
    const char* name;
    TCharTable TCharTables::*table;
    int code;
    uint8_t expected;
  };
  const Row rows[] = {
      {"hyphen separates words", &TCharTables::WordSeparators, 45, 1},
      {"hyphen breaks lines", &TCharTables::LineBreakPoints, 45, 1},
      {"non-breaking hyphen breaks no line", &TCharTables::LineBreakPoints, 12, 0},
      {"non-breaking hyphen is no white space", &TCharTables::WhiteSpace, 12, 0},
      {"apostrophe joins words", &TCharTables::WordSeparators, 39, 0},
      {"letter joins words", &TCharTables::WordSeparators, 'a', 0},
      {"blank separates words", &TCharTables::WordSeparators, 32, 1},
      {"blank is no punctuation", &TCharTables::WordPunctuation, 32, 0},
      {"no-break space is no punctuation", &TCharTables::WordPunctuation, 11, 0},
      {"em space is no punctuation", &TCharTables::WordPunctuation, 19, 0},
      {"comma is punctuation", &TCharTables::WordPunctuation, 44, 1},
      {"note mark is punctuation", &TCharTables::WordPunctuation, 16, 1},
      {"inverted question mark is a letter", &TCharTables::WordSeparators, 191, 0},
      {"euro opens A", &TCharTables::AutocorrectOpeningA, 128, 1},
      {"euro does not open B", &TCharTables::AutocorrectOpeningB, 128, 0},
      {"dollar opens A", &TCharTables::AutocorrectOpeningA, 36, 1},
      {"dollar does not open B", &TCharTables::AutocorrectOpeningB, 36, 0},
      {"exclamation closes A", &TCharTables::AutocorrectClosingA, 33, 1},
      {"exclamation does not close B", &TCharTables::AutocorrectClosingB, 33, 0},
      {"equals closes B", &TCharTables::AutocorrectClosingB, 61, 1},
      {"equals does not close A", &TCharTables::AutocorrectClosingA, 61, 0},
      {"right guillemet closes A", &TCharTables::AutocorrectClosingA, 187, 1},
      {"backslash is not plain", &TCharTables::PlainChars, 92, 0},
      {"braces are not plain", &TCharTables::PlainChars, 123, 0},
      {"en dash is not plain", &TCharTables::PlainChars, 150, 0},
      {"no-break space is not plain", &TCharTables::PlainChars, 160, 0},
      {"control codes are not plain", &TCharTables::PlainChars, 31, 0},
      {"blank is plain", &TCharTables::PlainChars, 32, 1},
      {"right brace is not plain", &TCharTables::PlainChars, 125, 0},
      {"tilde is plain", &TCharTables::PlainChars, 126, 1},
      {"top byte is plain", &TCharTables::PlainChars, 255, 1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, (t.*row.table)[static_cast<size_t>(row.code)]) << row.name;
}

TEST(CharTables, InvertedMarksSeparateWordsOnlyOnASpanishSystem) {
  const TCharTables english = BuildCharTables(kEnglish);
  const TCharTables spanish = BuildCharTables(kSpanish);
  for (size_t code : {size_t{161}, size_t{191}}) {
    EXPECT_EQ(english.WordSeparators[code], 0) << code;
    EXPECT_EQ(english.AutocorrectOpeningA[code], 0) << code;
    EXPECT_EQ(spanish.WordSeparators[code], 1) << code;
    EXPECT_EQ(spanish.WordPunctuation[code], 1) << code;
    EXPECT_EQ(spanish.AutocorrectOpeningA[code], 1) << code;
    EXPECT_EQ(spanish.AutocorrectOpeningB[code], 0) << code;
  }
}

// The shell's word separators and the foundation's word-delimiter tables (which the document
// model reads) describe the same sets; apostrophes count as word characters in both.
TEST(CharTables, WordSeparatorsAgreeWithTheFoundationsDelimiters) {
  for (int32_t language : {kEnglish, kSpanish}) {
    InitWordDelimiters(language);
    const TCharTables t = BuildCharTables(language);
    for (size_t c = 0; c < 256; ++c) {
      EXPECT_EQ(t.WordSeparators[c] != 0, WordDelimiters[c]) << language << " code " << c;
      EXPECT_EQ(t.WordPunctuation[c] != 0, PunctuationDelimiters[c]) << language << " code " << c;
    }
  }
  InitWordDelimiters(kEnglish);
}

TEST(CharTables, CaseAndLetterMaps) {
  const TCharTables t = BuildCharTables(kEnglish);
  struct Row {
    int code;
    uint8_t lower;
    uint8_t letter;
  };
  const Row rows[] = {{'A', 'a', 'a'}, {'Z', 'z', 'z'}, {'a', 'a', 'a'}, {'q', 'q', 'q'},
                      {'0', '0', 0},   {'9', '9', 0},   {'_', '_', 0},   {'@', '@', 0},
                      {'[', '[', 0},   {192, 192, 0},   {0, 0, 0},       {255, 255, 0}};
  for (const Row& row : rows) {
    EXPECT_EQ(t.LowerCase[static_cast<size_t>(row.code)], row.lower) << row.code;
    EXPECT_EQ(t.Letters[static_cast<size_t>(row.code)], row.letter) << row.code;
  }
}

TEST(CharTables, SpecialCharacterGlyphAndInputMaps) {
  const TCharTables t = BuildCharTables(kEnglish);
  const std::pair<int, int> glyphs[] = {{2, 182},  {4, 164}, {5, 164}, {11, 176}, {12, 150},
                                        {14, 150}, {13, 151}, {15, 45}, {9, 0},    {32, 0},
                                        {7, 0},    {'a', 0}};
  for (const auto& [code, glyph] : glyphs)
    EXPECT_EQ(t.SpecialCharGlyphs[static_cast<size_t>(code)], glyph) << code;
  const std::pair<int, int> inputs[] = {{9, 9},    {11, 7},   {12, 8},    {15, 6},  {16, 12},
                                        {31, 15},  {160, 11}, {150, 14},  {151, 13}, {13, 0},
                                        {10, 0},   {32, 0},   {'-', 0}};
  for (const auto& [code, special] : inputs)
    EXPECT_EQ(t.InputSpecialChars[static_cast<size_t>(code)], special) << code;
}

TEST(CharTables, InitFillsTheProgramsTables) {
  InitCharTables(kSpanish);
  EXPECT_EQ(CharTables().WordSeparators[191], 1);
  InitCharTables(kEnglish);
  EXPECT_EQ(CharTables().WordSeparators[191], 0);
  EXPECT_EQ(CharTables().InputSpecialChars[31], 15);
}

}  // namespace
