#pragma once
// The save roads as the shell's commands and windows use them (the work is the save road's,
// files/save_document.h), and the save dialog the save road asks for.
#include <cstdint>
#include <string>

namespace plat {
class FileDialog;
}

namespace qv {

class TDoc;
struct TSaveDialogRequest;

// Save (Save As for a document never saved or without a writer), Save As with its dialog, Save a
// Copy; true when saved.
bool SaveDocument(TDoc& doc);
bool SaveDocumentAs(TDoc& doc);
bool SaveDocumentCopyAs(TDoc& doc);

// The Save As dialog with the writable formats; false when cancelled.
bool RunSaveDialog(TSaveDialogRequest& request);
// The Save As dialog's answer to another type chosen: the name in its box takes the extension
// of that type's format, so that the file is not written in one format under another's name.
void SaveDialogTypeChanged(plat::FileDialog& dialog);

}  // namespace qv
