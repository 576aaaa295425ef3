#pragma once
// Writing a document, or a range of it, as RTF through the output layer: the writer of document
// formats 0 and 4 (enciphered by the output layer) and of 3 and 5, which have no writer of their
// own.
#include <cstdint>

namespace qv {

class TSaveContext;

// Writes the context's range as one RTF group; 0 when written, 2 when the writing failed or was
// cancelled.
uint8_t WriteRtf(TSaveContext& context);

}  // namespace qv
