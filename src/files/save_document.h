#pragma once
// The document routines behind Save, Save As, Save Copy As and Save As Template, and the plain
// copy that backups, web pages and the Vadure Vavi use. Each answers 0 saved, 1 cancelled or not
// saved, 2 failed. Every file is written to a temporary file beside it and renamed over it, so a
// save that fails or is cancelled leaves the file that was there untouched.
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

// TDoc.Save.
uint8_t DocSave(TDoc& doc);
// TDoc.SaveAs: with `ask` the save dialog chooses the name and format; a folder, when given,
// replaces the folder the dialog proposes.
uint8_t DocSaveAs(TDoc& doc, const std::string& fileName, bool ask,
                  const std::string* folder = nullptr);
uint8_t DocSaveCopyAs(TDoc& doc);
uint8_t DocSaveAsTemplate(TDoc& doc);
// TDoc.SaveCopyToFile: the document (or the selection being copied) written to another file
// without changing its name or state; flag 1 writes a web page.
uint8_t DocSaveCopyToFile(TDoc& doc, const std::string& path, uint8_t flags);
// TDoc.OfferDocProperties: true to go on.
bool DocOfferDocProperties(TDoc& doc, bool always);
// TDoc.AskTextEncoding: true to go on (the chosen encoding and line ends stored in the document).
bool DocAskTextEncoding(TDoc& doc, bool selection);
void DocActivateWindow(TDoc& doc);

}  // namespace qv
