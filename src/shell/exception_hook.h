#pragma once
// The recovery copy of the exception hook: when an exception escapes a change of a document, the
// user may keep what the document holds. The copy is written to a folder of its own beside the
// program's other crash-recovery copies that outlives the run, under a name that exists nowhere
// yet, through a temporary file renamed over it; the document's own file is never written.
#include <string>

namespace qv {

class TDoc;

// The folder of recovery copies (with a trailing "/").
std::string RecoveryFolder();
// "<name>_Emergency saving<extension>" in the folder, with " (2)", " (3)" ... added until the
// name is free.
std::string RecoveryCopyName(const std::string& folder, const std::string& documentName,
                             const std::string& extension);
// Writes the recovery copy; true and the file's name in `written` when it was written.
bool WriteRecoveryCopy(TDoc& doc, std::string& written);

}  // namespace qv
