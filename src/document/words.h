#pragma once
// The character tables that bound words, sentences and the tokens of web addresses and file
// names, indexed by a paragraph's character code (the special characters below 32, text bytes
// from 32 up). Caret movement, double-click selection, proofing, autocorrect, search and
// statistics all read them; the word and sentence routines themselves are operations of TDoc.
#include <array>
#include <cstdint>
#include <string>

namespace qv {

using TCharFlags = std::array<bool, 256>;

// Codes 2-14, 16, 18-20, 32-37, 40-47, 58-64, 91-95, 123-126, 128, 130, 132, 133, 147, 148, 153,
// 169, 171, 174 and 187; for a Spanish user also 161 and 191. The apostrophes (39, 96, 145, 146)
// are word characters unless SetApostrophesAsWordDelimiters puts them in.
extern TCharFlags WordDelimiters;
// WordDelimiters without the blanks (32, 11, 18, 19, 20).
extern TCharFlags PunctuationDelimiters;
extern const TCharFlags BreakCodes;          // 2-8
extern const TCharFlags WhiteSpaceChars;     // 2-9, 11, 18-20, 32
extern const TCharFlags SentenceEnders;      // ! . ?
extern const TCharFlags InvalidFileNameChars;
extern const TCharFlags WebAddressChars;
extern const TCharFlags WebAddressTrim;         // dropped from a web address's end ...
extern const TCharFlags WebAddressLeadingTrim;  // ... and start (a leading "+" stays)
extern const TCharFlags FileNameTrim;
extern const TCharFlags QuoteChars;
extern const TCharFlags SpanishOpeningMarks;    // 161, 191
extern const TCharFlags ListNumberFollowers;    // ) .

// Fills the two delimiter tables for a user of that language (161 and 191 for Spanish);
// apostrophes are word characters afterwards.
void InitWordTables(int32_t userLanguage);
// Apostrophes bound words (true) or join them (false), in both delimiter tables.
void SetApostrophesAsWordDelimiters(bool delimiters);

// Spaces for word movement: 11, 18, 19, 20, 32.
inline bool IsWordSpaceCode(uint8_t c) { return c == 32 || c == 11 || (c >= 18 && c <= 20); }

// A token that looks like a file name: it has an extension from the supported list (the
// autocorrect setting "FileExts"), or a drive ("C:" or a network share "\\server\share").
bool LooksLikeFileName(const std::string& token);
// A token that looks like a web or mail address: it holds a dot followed by two letters or a
// digit, and a scheme ("http:" ... or "www"), an "@", or a known top-level domain at its end.
bool LooksLikeWebAddress(const std::string& token);

}  // namespace qv
