#pragma once
// The body of an RTF document: note separators, the paragraphs of the range with their content
// streams (text, special characters, formatting runs, field, bookmark and note marks, inline
// pictures), table row definitions, list texts, drop caps and the notes themselves.
#include <cstdint>

namespace qv {

class TRtfWriteState;
struct TContentTag;

void WriteRtfBody(TRtfWriteState& w);
// One paragraph, or its part from the start offset (-1: from its start, with its properties) to
// the end offset (-1: to its end).
void WriteRtfParagraph(TRtfWriteState& w, int32_t par, int32_t startOffset, int32_t endOffset);
// A field-start or field-end mark met at the character count of the paragraph.
void WriteRtfFieldMark(TRtfWriteState& w, const TContentTag& tag, int32_t par, int32_t charCount);
// "pard", "plain", the document's default font and size; the states become the defaults.
void ResetRtfParagraph(TRtfWriteState& w);
// The note of the current note reference.
void WriteRtfNote(TRtfWriteState& w);
// Whether the run of formatting tags at the stream offset returns to the present formatting
// right after the text that follows it (so that it can be written as a group).
bool IsRtfFormattingGroup(const TRtfWriteState& w, const uint8_t* data, int32_t offset,
                          int32_t end);

}  // namespace qv
