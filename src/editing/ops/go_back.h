#pragma once
// The document's default language (edit code 24) and go back: the caret returns to where the
// user was before the last fast-navigation jump, or else to the place of the last change.
#include <cstdint>

namespace qv {

class TDoc;

void ChangeDefaultLanguage(TDoc& doc, int32_t language);
// Remembers the place of the document before a jump to a fast-navigation slot (only when no
// place is held yet).
void RememberGoBackPlace(TDoc& doc);
void GoBack(TDoc& doc);

}  // namespace qv
