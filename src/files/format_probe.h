#pragma once
// The format probe: whether the buffered bytes of an open (and for Word, zip and ODT documents
// the file) fit a document format, and detection of the format of a file whose content does not
// match its name. A probe never raises: a short, damaged or unreadable input fails it.
#include <cstdint>

namespace qv {

class TOpenContext;

// True when the input fits the format of the index: dfRtf, dfDoc, dfDocx, dfOdt, dfEncrypted,
// dfWrite, dfHtml; plain text (dfText and any other index) always fits.
bool ProbeFileFormat(int32_t formatIndex, TOpenContext& context);
// The first format whose probe succeeds in the order Write, encrypted, ODT, DOCX, DOC, RTF;
// plain text when none does.
int32_t DetectFileFormat(TOpenContext& context);

}  // namespace qv
