#pragma once
// Footnotes and endnotes: the argument of TDoc::InsertNote (document/doc.h) and the built-in
// styles that note texts use.
#include <cstdint>
#include <string>

#include "document/char_format.h"

namespace qv {

class TDoc;

// Built-in style indexes of the note texts.
inline constexpr int32_t kFootnoteTextStyle = 29;
inline constexpr int32_t kEndnoteTextStyle = 43;

struct TInsertNoteOptions {
  TCharFormat FootnoteReferenceFormat;  // as the dialog edits them; the insertion reads the
  TCharFormat EndnoteReferenceFormat;   // document's own
  std::u16string CustomMark;            // empty: an automatically numbered note
  std::string MarkFont;                 // face of a custom mark; empty: the current font
  int32_t MarkLanguage = 0;             // whose character set the mark font takes
  uint8_t Story = 1;                    // 1 footnote, 2 endnote
};

}  // namespace qv
