#pragma once
// The save roads as the shell's commands and windows use them (the work is the save road's,
// files/save_document.h), the save dialog the save road asks for, and the question a modified
// document asks when it closes.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;
struct TSaveDialogRequest;

// Save (Save As for a document never saved or without a writer), Save As with its dialog, Save a
// Copy; true when saved.
bool SaveDocument(TDoc& doc);
bool SaveDocumentAs(TDoc& doc);
bool SaveDocumentCopyAs(TDoc& doc);
// Writes the document in its own format to another file, leaving its name and state alone.
bool WriteDocumentCopy(TDoc& doc, const std::string& fileName);

// The Save As dialog with the writable formats; false when cancelled.
bool RunSaveDialog(TSaveDialogRequest& request);

// The question a modified document asks before it closes: "Document "%s" has been modified.
// Save changes?". Yes saves (the document closes only when that succeeded), No closes without
// saving, Cancel keeps it open. An unmodified document closes without a question; modified means
// changed since its save point, whatever the changes were.
bool AskToSaveBeforeClose(TDoc& doc);

}  // namespace qv
