#pragma once
// The character tables that bound words, sentences and the tokens of web addresses and file
// names, indexed by a paragraph's character code (the special characters below 32, text bytes
// from 32 up). Caret movement, double-click selection, proofing, autocorrect, search and
// statistics all read them; the word and sentence routines themselves are operations of TDoc.
//
// The two delimiter tables, WordDelimiters and PunctuationDelimiters, with the apostrophe
// switches, are the foundation's (foundation/text/word_delimiters.h); the others are here.
#include <cstdint>
#include <string>

#include "foundation/text/word_delimiters.h"

namespace qv {

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

// Spaces for word movement: 11, 18, 19, 20, 32.
inline bool IsWordSpaceCode(uint8_t c) { return c == 32 || c == 11 || (c >= 18 && c <= 20); }

// A token that looks like a file name: it has an extension from the supported list (the
// autocorrect setting "FileExts"), or a drive ("C:" or a network share "\\server\share").
bool LooksLikeFileName(const std::string& token);
// A token that looks like a web or mail address: it holds a dot followed by two letters or a
// digit, and a scheme ("http:" ... or "www"), an "@", or a known top-level domain at its end.
bool LooksLikeWebAddress(const std::string& token);

}  // namespace qv
