#pragma once
// The open road: fills a fresh document from a file or a memory block, checks the content
// against the format index (offering to detect the real format), runs the format's reader and
// the post-load steps.
#include <cstdint>

namespace qv {

class TDoc;
struct TDocOpeningOptions;

// TDoc.Open: not 0 when the document was read. options.FormatIndex is set to dfRefused when the
// file was refused or its reading failed.
uint8_t DocOpen(TDoc& doc, TDocOpeningOptions& options);

}  // namespace qv
