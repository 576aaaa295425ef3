#include "shell/char_tables.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace qv {

namespace {

// A set of codes written as inclusive ranges ({c, c} for a single code).
using TCodeRanges = std::initializer_list<std::pair<int, int>>;

void Mark(TCharTable& table, TCodeRanges ranges, uint8_t value = 1) {
  for (const auto& [first, last] : ranges)
    for (int c = first; c <= last; ++c) table[static_cast<size_t>(c)] = value;
}

TCharTable Set(TCodeRanges ranges) {
  TCharTable table{};
  Mark(table, ranges);
  return table;
}

constexpr uint8_t kInvertedExclamation = 161, kInvertedQuestion = 191;

void FillClasses(TCharTables& t, bool spanish) {
  t.WordSeparators = Set({{2, 14}, {16, 16}, {18, 20}, {32, 37}, {40, 47}, {58, 64}, {91, 95},
                          {123, 126}, {128, 128}, {130, 130}, {132, 133}, {147, 148}, {153, 153},
                          {169, 169}, {171, 171}, {174, 174}, {187, 187}});
  t.Breaks = Set({{2, 8}});
  t.LineBreakPoints = Set({{9, 9}, {13, 15}, {18, 20}, {32, 32}, {45, 45}});
  t.SentenceEnds = Set({{33, 33}, {46, 46}, {63, 63}});
  t.WhiteSpace = Set({{2, 9}, {11, 11}, {18, 20}, {32, 32}});
  t.AutocorrectOpeningA = Set({{2, 9}, {11, 12}, {18, 20}, {32, 32}, {35, 36}, {40, 40},
                               {42, 43}, {45, 45}, {47, 47}, {61, 61}, {64, 64}, {91, 91},
                               {94, 95}, {123, 123}, {126, 126}, {128, 128}, {132, 132},
                               {147, 147}, {171, 171}});
  t.AutocorrectClosingA = Set({{2, 9}, {11, 12}, {16, 16}, {18, 20}, {32, 33}, {37, 37},
                               {41, 47}, {58, 59}, {63, 64}, {93, 95}, {125, 126}, {130, 130},
                               {148, 148}, {187, 187}});
  t.AutocorrectOpeningB = Set({{2, 9}, {11, 12}, {18, 20}, {32, 32}, {35, 35}, {40, 40},
                               {42, 43}, {45, 45}, {47, 47}, {61, 61}, {64, 64}, {91, 91},
                               {94, 95}, {123, 123}, {126, 126}, {132, 132}, {147, 147}});
  t.AutocorrectClosingB = Set({{2, 9}, {11, 12}, {16, 16}, {18, 20}, {32, 32}, {41, 47},
                               {59, 59}, {61, 61}, {64, 64}, {93, 95}, {125, 126}, {130, 130},
                               {148, 148}});
  t.Digits = Set({{'0', '9'}});
  t.PlainChars = Set({{32, 255}});
  Mark(t.PlainChars, {{92, 92}, {123, 123}, {125, 125}, {150, 151}, {160, 160}}, 0);
  t.FileNameBreakers = Set({{34, 34}, {42, 42}, {47, 47}, {58, 58}, {60, 60}, {62, 63},
                            {91, 93}, {123, 125}, {132, 132}, {147, 148}, {171, 171},
                            {187, 187}});
  if (spanish) {
    Mark(t.WordSeparators, {{kInvertedExclamation, kInvertedExclamation},
                            {kInvertedQuestion, kInvertedQuestion}});
    Mark(t.AutocorrectOpeningA, {{kInvertedExclamation, kInvertedExclamation},
                                 {kInvertedQuestion, kInvertedQuestion}});
  }
  // Word punctuation: the finished separators without the blanks.
  t.WordPunctuation = t.WordSeparators;
  Mark(t.WordPunctuation, {{11, 11}, {18, 20}, {32, 32}}, 0);
}

void FillMaps(TCharTables& t) {
  t.Letters = {};
  for (int c = 0; c < 256; ++c) t.LowerCase[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
  for (int c = 'A'; c <= 'Z'; ++c) {
    t.LowerCase[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 'a');
    t.Letters[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 'a');
  }
  for (int c = 'a'; c <= 'z'; ++c) t.Letters[static_cast<size_t>(c)] = static_cast<uint8_t>(c);

  t.SpecialCharGlyphs = {};
  t.SpecialCharGlyphs[2] = 182;                            // pilcrow
  t.SpecialCharGlyphs[4] = t.SpecialCharGlyphs[5] = 164;   // currency sign
  t.SpecialCharGlyphs[11] = 176;                           // degree sign
  t.SpecialCharGlyphs[12] = t.SpecialCharGlyphs[14] = 150; // en dash
  t.SpecialCharGlyphs[13] = 151;                           // em dash
  t.SpecialCharGlyphs[15] = 45;                            // hyphen-minus

  t.InputSpecialChars = {};
  t.InputSpecialChars[9] = 9;     // tab
  t.InputSpecialChars[11] = 7;    // line break
  t.InputSpecialChars[12] = 8;    // page break
  t.InputSpecialChars[15] = 6;    // column break
  t.InputSpecialChars[16] = 12;   // non-breaking hyphen
  t.InputSpecialChars[31] = 15;   // optional hyphen
  t.InputSpecialChars[160] = 11;  // no-break space
  t.InputSpecialChars[150] = 14;  // en dash
  t.InputSpecialChars[151] = 13;  // em dash
}

TCharTables& Tables() {
  static TCharTables tables = BuildCharTables(0);
  return tables;
}

}  // namespace

TCharTables BuildCharTables(int32_t systemLanguageId) {
  TCharTables t{};
  FillClasses(t, (systemLanguageId & 0x3FF) == kSpanishPrimaryLanguage);
  FillMaps(t);
  return t;
}

void InitCharTables(int32_t systemLanguageId) { Tables() = BuildCharTables(systemLanguageId); }

const TCharTables& CharTables() { return Tables(); }

}  // namespace qv
