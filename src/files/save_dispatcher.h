#pragma once
// The save dispatcher: the one road by which a document, or a range of it, becomes bytes. It
// picks the writer by the document format index and updates the document's saved state. This
// file also holds the document format index itself and the check that warns before a format
// loses formatting.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;
struct TDocRange;
struct TDocSavingOptions;

// TDoc.SaveToFile: 0 saved, any other value failed (2 when the writer failed or was
// cancelled). A file target is written to a temporary file beside doc.FileName and renamed over
// it only when everything was written; on failure the file is untouched.
uint8_t DocSaveToFile(TDoc& doc, const TDocSavingOptions& options);

// TDoc.ConfirmSaveFormat: true when the caller must let the user choose another format (the
// format has no writer, or the user declined to lose formatting).
bool DocConfirmSaveFormat(TDoc& doc, const TDocRange* range, int32_t format);

// True when saving the range (the whole document without one) in the format would lose
// formatting; `lost` lists what, each item after "\r\n".
bool CollectLostFormatting(TDoc& doc, const TDocRange* range, int32_t format, std::string& lost);

// --- The document format index ---
// "Rich Text Format", "MS Word DOC" ... for 0..6; empty for any other index.
std::string DocFormatName(int32_t format);
// "RTF", "DOC", "DOCX", "ODT", "COD", "WRI", "TXT"; empty for any other index.
std::string DocFormatUpperName(int32_t format);
// The format of an upper-case name (any case), -1 for none.
int32_t DocFormatFromName(const std::string& name);
// The save and open dialog filter of a format ("Rich Text Format (*.rtf)|*.rtf" ...).
std::string DocFormatFilter(int32_t format);
// Whether the format has a writer here (ODT and Write never; DOC, DOCX and HTML when their
// writers are registered).
bool IsWritableDocFormat(int32_t format);
// The format of a file name's extension; -1 for an unknown one.
int32_t DocFormatOfFileName(const std::string& fileName);

}  // namespace qv
