#pragma once
// The shell's answers to what the editing engine and the edit commands ask of the main window:
// the insert/overwrite mode, the status bar's progress display of long edits, the document
// windows the dispatcher holds.
#include <memory>

namespace qv {

class TEditCommandServices;
class TTextEditServices;

std::unique_ptr<TTextEditServices> MakeShellTextEditServices();
std::unique_ptr<TEditCommandServices> MakeShellEditCommandServices();

}  // namespace qv
