#pragma once
// The preview text of the File Conversion dialog: the record's data as the selected encoding
// shows them, every CR, LF, CR LF or LF CR as one line break ("\n").
#include <cstdint>
#include <string>

namespace qv {

struct TTextConvRecord;

// Opening: the file's bytes decoded by the encoding (UTF-8 for 0 and 1, UTF-16 of the byte order
// for 2 and 3, the code page for 4 to 11; a byte-order mark of that encoding is not shown).
// Saving: the document's UTF-16 text, for a code page converted there and back so that the
// characters it cannot hold show as "?". At most the first `maxBytes` of the data are shown.
std::u16string TextConvPreviewText(const TTextConvRecord& record, int32_t maxBytes = 0x10000);

}  // namespace qv
