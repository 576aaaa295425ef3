#pragma once
// Text that fields, hyperlinks, tables of contents and indexes write into the document: wide
// text turned into stream content, format changes as tags, and the replacement of a range by
// text inside the running edit with the field marks kept around the new text.
#include <cstdint>
#include <string>

#include "document/char_format.h"
#include "document/doc_position.h"
#include "foundation/base/memory.h"

namespace qv {

class TDoc;
class TPar;

// ASCII as text bytes, a tab and a paragraph-internal line break as their special characters,
// every other character as a UTF-16 character tag (so no code page can lose it); other control
// characters are dropped.
void AppendTextContent(TMemory& out, const std::u16string& text);
// The character positions that AppendTextContent gives the text.
int32_t TextContentLength(const std::u16string& text);
// A format tag for every property whose value differs between the two formats.
void AppendFormatDifference(TMemory& out, const TCharFormat& have, const TCharFormat& want);
// The format in force at a stream offset (DefaultCharFormat at the start).
TCharFormat FormatInForceAt(const TMemory& stream, int32_t offset);
// Replaces the range (within one story) by the text, in the format of the range's first
// character; the field marks that survive go around the new text. Answers the new text's end.
TDocPosition ReplaceRangeWithText(TDoc& doc, const TDocRange& range, const std::u16string& text);
// Inserts the text at the place in the format given (the format in force there for unset
// properties); answers the end of the new text.
TDocPosition InsertTextAt(TDoc& doc, const TDocPosition& at, const std::u16string& text,
                          const TCharFormat* format);

class TField;

// A hyperlink with the instruction around the range (its marks inside every field at its two
// places), its text in the hyperlink character format; null for a bad range.
TField* InsertHyperlinkAround(TDoc& doc, const TDocRange& link, const std::u16string& instruction);
// The paragraph's first characters (at most `maxChars`, never its paragraph mark) as stream
// content with their formatting: text, special and UTF-16 characters and format tags; field
// marks, inline shapes and section, cell and row ends are left behind.
TMemory CopyParagraphContent(const TPar& par, int32_t maxChars);

// The character format of hyperlinks' text (the underline and colour of the options).
TCharFormat HyperlinkCharFormat();

}  // namespace qv
