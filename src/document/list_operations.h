#pragma once
// Putting paragraphs into automatic lists and taking them out: the queries on a list's
// paragraphs and the TDoc operations ApplyList and RemoveListFormat (document/doc.h), each one
// undoable operation of the editing engine.
#include <cstdint>
#include <vector>

namespace qv {

class TAutoList;
class TDoc;

// Scopes of ListParagraphs.
enum class ListScope : uint8_t { MainAndNotes, HeadersFooters, All };

// The indexes of the paragraphs that belong to the list, in document order.
std::vector<int32_t> ListParagraphs(const TDoc& doc, const TAutoList& list, ListScope scope);

// The number of characters of a typed list marker at the paragraph's start ("1. ", "* ",
// "(iv)\t" ...), the blank or tab after it included; 0 when there is none.
int32_t TypedListMarkerLength(const TDoc& doc, int32_t par);

}  // namespace qv
