#pragma once
// Reading plain text into a document. The encoding is taken as given or detected
// (files/text/text_detection.h) and, for a file in a code page or UTF-16, confirmed by the File
// Conversion dialog. Every carriage return or line feed (a CR LF or LF CR pair counting once)
// ends a paragraph; tabs, breaks, dashes, no-break spaces and hyphens become the model's special
// characters; text goes into each paragraph's content stream in the code page of its font,
// switching the font to the character set a character needs and keeping characters that no
// code page holds as UTF-16 characters. Malformed input never stops the read: an invalid UTF-8
// sequence or a lone UTF-16 surrogate becomes one U+FFFD, an odd last byte of UTF-16 text one
// U+FFFD, and a zero character ends the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/text/text_decoding.h"

namespace qv {

class TDoc;

struct TTxtReadOptions {
  // The encoding when it is known (the clipboard's Unicode text is 2); -1 detects it.
  int32_t Encoding = -1;
  // A file (a code page or UTF-16 is confirmed by the File Conversion dialog) or a memory block.
  bool FromFile = true;
  // The file preview asks for the document to stay empty.
  bool DontRead = false;
  // A plain-text template: its first character's formatting opens every paragraph and its first
  // paragraph's format is every paragraph's. Null: the default font and paragraph format.
  const TDoc* Template = nullptr;
  std::string FileName;
  // Past this many paragraphs further line ends become line breaks in the last paragraph.
  int32_t MaxParagraphs = 1 << 20;
};

struct TTxtReadResult {
  bool Ok = false;
  bool Cancelled = false;      // no encoding was chosen; the open fails without a message
  int32_t Encoding = -1;       // the encoding read
  int32_t Replacements = 0;    // malformed sequences replaced by U+FFFD
  bool StoppedAtZero = false;  // a zero character ended the text before the end of the data
  bool LinesJoined = false;    // past the paragraph limit, line ends became line breaks
};

// Fills the document's main text from the bytes (replacing a main text that is one empty
// paragraph, else appending after it) and sets its TxtEncoding and TxtLineEnd.
TTxtReadResult ReadTxt(TDoc& doc, const uint8_t* data, size_t size, const TTxtReadOptions& options);

}  // namespace qv
