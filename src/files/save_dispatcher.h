#pragma once
// The save dispatcher: the one road by which a document, or a range of it, becomes bytes. It
// picks the writer by the document format index and updates the document's saved state.
#include <cstdint>

namespace qv {

class TDoc;
struct TDocSavingOptions;

// TDoc.SaveToFile: 0 saved, 1 cancelled or not saved, 2 failed.
uint8_t DocSaveToFile(TDoc& doc, const TDocSavingOptions& options);

}  // namespace qv
