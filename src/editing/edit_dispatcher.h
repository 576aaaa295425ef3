#pragma once
// The edit dispatcher: TDoc::ExecuteEdit's engine. It opens one operation named from the code,
// runs the code's operation, closes it, runs the post-edit update, commits, and runs chained
// follow-ups that undo together with it. An exception inside the operation takes back every
// record performed so far and frees the operation before it goes on, so no half-recorded change
// is left in the document.
#include <cstdint>

namespace qv {

class TDoc;

void DispatchEdit(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex);
// Runs a follow-up edit after a commit: when it commits too, it is chained to the operation
// before it. The name override names the follow-up's operation.
void RunChainedEdit(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex,
                    uint8_t nameOverride);
// Whether the last shrink-page-count edit changed anything.
bool LastShrinkChanged();

}  // namespace qv
