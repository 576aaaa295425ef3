#pragma once
// The program-wide tables that classify and map 8-bit characters: a text byte in the system code
// page, or one of the content stream's special characters (2 paragraph end, 4 cell end, 5 row
// end, 6 column break, 7 line break, 8 page break, 9 tab, 11 no-break space, 12 non-breaking
// hyphen, 13 em dash, 14 en dash, 15 optional hyphen, 16 automatic note mark, 18 en space,
// 19 em space, 20 quarter-em space).
//
// They are filled once at start-up, right after the command line is taken, before any document
// exists, and only read afterwards. Class tables hold 1 for members and 0 otherwise.
#include <array>
#include <cstdint>

namespace qv {

using TCharTable = std::array<uint8_t, 256>;

struct TCharTables {
  // Classes.
  TCharTable WordSeparators;       // words and spelling, keyboard, line painting
  TCharTable WordPunctuation;      // the word separators less the blanks 11, 18, 19, 20 and 32
  TCharTable Breaks;               // paragraph, cell and row ends, column, line and page breaks
  TCharTable LineBreakPoints;      // where line fitting may break
  TCharTable SentenceEnds;         // "!", "." and "?"
  TCharTable WhiteSpace;
  TCharTable AutocorrectOpeningA;  // the autocorrect rules' word boundaries
  TCharTable AutocorrectClosingA;
  TCharTable AutocorrectOpeningB;
  TCharTable AutocorrectClosingB;
  TCharTable Digits;               // "0" to "9"
  TCharTable PlainChars;           // what the text writers copy as it is
  TCharTable FileNameBreakers;     // what cannot stand in a file name (and ends e-mail tokens)
  // Maps.
  TCharTable LowerCase;            // "A"-"Z" to "a"-"z", every other code to itself
  TCharTable Letters;              // "A"-"Z" to lower case, "a"-"z" to themselves, else 0
  TCharTable SpecialCharGlyphs;    // special character to the character shown for it, else 0
  TCharTable InputSpecialChars;    // typed or plain-text character to its special character, else 0
};

// The primary language (the low 10 bits of a language id) whose inverted "!" and "?" (161 and
// 191) separate words and open autocorrect words.
inline constexpr int32_t kSpanishPrimaryLanguage = 10;

// The tables for a system of that language id.
TCharTables BuildCharTables(int32_t systemLanguageId);

// Fills the program's tables for the system's language; called once at start-up.
void InitCharTables(int32_t systemLanguageId);

// The program's tables (the non-Spanish contents until InitCharTables runs).
const TCharTables& CharTables();

}  // namespace qv
