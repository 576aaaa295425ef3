#pragma once
// The program-wide tables of the characters that bound words, by character code (a paragraph's
// character codes: the special characters below 32, text bytes from 32 up). Caret movement,
// selection, proofing, autocorrect, search and statistics all read them.
//
// WordDelimiters: the codes 2-14, 16, 18-20, 32-37, 40-47, 58-64, 91-95, 123-126, 128, 130, 132,
// 133, 147, 148, 153, 169, 171, 174 and 187; for a Spanish user also 161 and 191 (the inverted
// exclamation and question marks).
// PunctuationDelimiters: the same without the blanks (32, 11, 18, 19 and 20).
// The apostrophes (39, 96, 145 and 146) are in both tables only while ExcludeApostrophesFromWords
// is in force.
#include <array>
#include <cstdint>

namespace qv {

using TCharFlags = std::array<bool, 256>;

extern TCharFlags WordDelimiters;
extern TCharFlags PunctuationDelimiters;

// Fills both tables for a user of that language (the user's default language at start-up):
// apostrophes are word characters afterwards. Until it runs, the tables hold the non-Spanish
// contents.
void InitWordDelimiters(int32_t userLanguage);

// Apostrophes join words ("don't" stays one word): the four apostrophe characters leave both
// tables.
void IncludeApostrophesInWords();
// Apostrophes bound words: the four apostrophe characters enter both tables.
void ExcludeApostrophesFromWords();

}  // namespace qv
