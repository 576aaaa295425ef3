#pragma once
// Deleting a range of content for the model's own operations (the engine's DeleteContent).
#include "document/doc_position.h"

namespace qv {

class TDoc;

// Deletes the range as one text record. When the record would take one mark of a field and
// leave the other, the field marks of the range are first taken out and put back at the
// deletion point afterwards (each change its own record), so that no field is left half in
// the text; a field wholly in the range goes with the content.
void DeleteContentKeepingFields(TDoc& doc, const TDocRange& range);

}  // namespace qv
