#pragma once
// The shell's answers to what the document windows ask of it (docwindow/doc_window_services.h).
#include <memory>

namespace qv {

class TDocWindowServices;

std::unique_ptr<TDocWindowServices> MakeShellDocWindowServices();

}  // namespace qv
