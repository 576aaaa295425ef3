#pragma once
// The save roads of the shell: Save (Save As for a document that was never saved or whose format
// has no writer), Save As with its dialog, Save a Copy, and the question a modified document asks
// when it closes. A document is written to a temporary file in the target's folder that is
// renamed over the target only when the whole document was written.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

// Writes the document in the format to the file, leaving the document's own state alone; true
// when written.
bool WriteDocumentCopy(TDoc& doc, const std::string& fileName, int32_t format);
// Saves to the document's own file in its own format; on success the document is unmodified and
// its save point is the current undo position.
bool SaveDocument(TDoc& doc);
// Saves under a new name and format; on success the document takes them. False when the writing
// failed (the document keeps its name).
bool SaveDocumentUnder(TDoc& doc, const std::string& fileName, int32_t format);
// The Save As dialog, then SaveDocumentUnder; false when cancelled or failed.
bool SaveDocumentAs(TDoc& doc);
// The Save As dialog for a copy; the document keeps its name and state.
bool SaveDocumentCopyAs(TDoc& doc);

// The question a modified document asks before it closes: "Document "%s" has been modified.
// Save changes?". Yes saves (the document closes only when that succeeded), No closes without
// saving, Cancel keeps it open. An unmodified document closes without a question; modified means
// changed since its save point, whatever the changes were.
bool AskToSaveBeforeClose(TDoc& doc);

}  // namespace qv
