#pragma once
// Where fields lie, read straight from the content streams: the field-start and field-end tags of
// the paragraphs are the truth about a field's extent. A field's range starts at the character
// position of its start tag and ends (exclusive) at that of its end tag.
//
// These serve the const queries, which cannot rebuild the field index: while the index is up to
// date they answer from it, otherwise they walk the paragraphs of the stories concerned (fields
// never cross stories).
#include <cstdint>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TField;

struct TFieldSpan {
  TField* Field = nullptr;
  TDocRange Range;
};

// Every field whose two marks lie in the paragraphs first..last, in the order of their start
// marks (the walk is widened to the whole stories holding first and last).
std::vector<TFieldSpan> ScanFieldSpans(const TDoc& doc, int32_t firstPar, int32_t lastPar);
// The range of one field; false when its marks are not both in the document.
bool ScanFieldRange(const TDoc& doc, const TField* field, TDocRange& out);
// The fields of a kind (-1 any) whose range has a non-empty intersection with the range.
std::vector<TFieldSpan> ScanFieldsInRange(const TDoc& doc, const TDocRange& range, int32_t kind);

}  // namespace qv
