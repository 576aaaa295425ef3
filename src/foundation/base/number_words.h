#pragma once
// Numbers in other forms than digits: letter sequences, Roman numerals, ordinal suffixes, and
// cardinal and ordinal numbers spelled out in German, English, Spanish and French. Field results,
// list numbers and numeric edits use them.
//
// Texts are byte strings in the Windows-1252 code page. The language argument is a language id
// or a primary language; only its low 10 bits count (7 German, 9 English, 10 Spanish, 12 French;
// any other language gives the English words).
//
// Negative numbers are spelled by their magnitude. German and Spanish words cover numbers below
// one million, French words numbers below one million; larger numbers in those languages come
// back as decimal digits rather than as wrong words.
#include <cstdint>
#include <string>

namespace qv {

// Empty for n <= 0; otherwise letter "A" + (n - 1) mod 26, repeated (n - 1) div 26 + 1 times:
// 1 A, 26 Z, 27 AA, 28 BB, 53 AAA.
std::string IntToLetters(int32_t n);

// Upper-case Roman numeral; empty for 0 and for negative numbers.
std::string IntToRoman(int32_t n);

// The value of a Roman numeral written in capitals; `fallback` as soon as any other character
// (lower case included) turns up. An empty text gives 0. The numeral's form is not checked
// (IIII gives 4, IC gives 99).
int32_t RomanToInt(const std::string& text, int32_t fallback);

// The number in digits followed by the ordinal suffix of the language ("1st", "2.", "1er").
std::string FormatOrdinal(int32_t n, int32_t language);

// The cardinal number spelled out, first letter upper-cased.
std::string NumberToWords(int32_t n, int32_t language);

// The ordinal number spelled out, first letter upper-cased.
std::string OrdinalToWords(int32_t n, int32_t language);

// Replaces Base64 text (standard alphabet, "=" padding only in the last group) by the bytes it
// encodes. A length that is not a multiple of 4 or any foreign character gives an empty text.
void DecodeBase64InPlace(std::string& text);

// Upper-cases the first character of a Windows-1252 text (letters with accents included).
std::string UpperFirstCp1252(std::string text);

}  // namespace qv
