#pragma once
// The open and save dialogs the commands show (documents, projects, zip archives, inserted
// files). Until the shell's own dialogs with previews replace them, the program registers the
// platform's common dialogs (MakeCommonFileDialogs); the stand-in shows nothing and answers
// Cancel.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

struct TFileDialogRequest {
  bool Save = false;
  std::string Title;
  std::string Filter;         // "Description|*.ext|..." pairs
  int32_t FilterIndex = 1;    // 1-based, in and out
  std::string InitialDir;     // empty: the file dialogs' folder
  std::string FileName;       // the proposed name (may hold a folder)
  std::string DefaultExt;     // without the dot
  bool MultiSelect = false;
  bool OfferReadOnly = false;  // the "Open as read-only" box
  // Results after OK.
  std::vector<std::string> Files;
  bool ReadOnly = false;
};

class TFileDialogServices {
 public:
  virtual ~TFileDialogServices() = default;
  // Runs the dialog; true with the chosen files when the user confirmed.
  virtual bool RunFileDialog(TFileDialogRequest& /*request*/) { return false; }
};

void RegisterFileDialogServices(std::unique_ptr<TFileDialogServices> services);
TFileDialogServices& FileDialogServices();

// The platform's common open and save dialogs.
std::unique_ptr<TFileDialogServices> MakeCommonFileDialogs();

// The filter of the document dialogs: one entry per document format (their index plus one is
// the filter index) and "All supported documents" last (index 8, the format to detect).
std::string DocumentFilter();

}  // namespace qv
