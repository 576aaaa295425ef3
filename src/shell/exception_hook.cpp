// The application's exception hook. An exception while no document is being changed is only
// shown. One that escapes a change of a document, leaving it possibly half-changed, ends in an
// orderly close of that document, after an offer to keep what it holds in a recovery copy.
#include "shell/exception_hook.h"

#include <exception>
#include <string>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/system/paths.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/win/window_system.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_file_names.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

// Marks the end of the emergency whatever happens on the way.
class TEmergency {
 public:
  TEmergency() { EmergencyHandling = true; }
  ~TEmergency() { EmergencyHandling = false; }
  TEmergency(const TEmergency&) = delete;
  TEmergency& operator=(const TEmergency&) = delete;
};

template <class F>
void IgnoringFailures(F&& work) {
  try {
    work();
  } catch (...) {
  }
}

}  // namespace

std::string RecoveryFolder() { return GetDataFolder(4) + "Safe Copies/"; }

std::string RecoveryCopyName(const std::string& folder, const std::string& documentName,
                             const std::string& extension) {
  std::string base = RemoveFileExt(ExtractFileName(documentName));
  if (base.empty()) base = "Document";
  const std::string stem = folder + base + "_Emergency saving";
  std::string name = stem + extension;
  // Nothing that exists is ever written over, an earlier recovery copy least of all.
  for (int32_t n = 2; FileExists(name) || FolderExists(name); ++n)
    name = stem + " (" + std::to_string(n) + ")" + extension;
  return name;
}

bool WriteRecoveryCopy(TDoc& doc, std::string& written) {
  written.clear();
  const std::string folder = RecoveryFolder();
  if (!CreateFolderPath(folder)) return false;
  // The document's own format when it has a writer; else RTF, which keeps everything.
  const int32_t format = doc.FormatIndex == dfText ? dfText : dfRtf;
  const std::string name =
      RecoveryCopyName(folder, doc.FileName, std::string(".") + DocFormatExtension(format));
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgFile;
  options.Format = format;
  options.Flags = TDocSavingOptions::sfCopy;
  options.Name = doc.FileName;
  bool ok = false;
  const std::string ownName = doc.FileName;
  IgnoringFailures([&] {
    doc.GetMainTextRange(options.Range);
    // The save road writes the document's file: for this call, the recovery copy.
    doc.FileName = name;
    ok = DocSaveToFile(doc, options) == 0;
  });
  doc.FileName = ownName;
  if (ok) written = name;
  return ok;
}

void TMainForm::AppException(const std::exception& e) {
  const std::string message = e.what();
  TDoc* doc = CriticalEditDoc();
  if (EmergencyHandling || CriticalEditCount() <= 0 || doc == nullptr) {
    ShowErrorFmt("Exception:\r%s", message);
    return;
  }
  TEmergency emergency;
  IgnoringFailures([&] { doc->DropLayout(); });
  const plat::WindowState state = GetWindowState();
  SetWindowState(plat::WindowState::Minimized);
  const std::string fileName = doc->FileName;
  ShowMessageDlg(FormatMessageText("%s. Document \"%s\" will be closed.", {message, fileName}),
                 mkError, ButtonBit(mbOK));
  const bool vadureVavi = ClipboardManagerServices().IsVadureVavi(*doc);
  if (doc->Modified != 0 && !vadureVavi &&
      ShowMessageDlg(FormatMessageText("Document \"%s\" was modified. Quorvane could try to save it "
                                       "under a different name. Would you like to save this "
                                       "document under a different name?",
                                       {fileName}),
                     mkError, ButtonBit(mbYes) | ButtonBit(mbNo)) == mrYes) {
    // The copy never goes over the document's own file: the file may hold the last good state.
    std::string written;
    if (WriteRecoveryCopy(*doc, written))
      ShowMessageDlg(FormatMessageText("Document \"%s\" was saved as \"%s\".", {fileName, written}),
                     mkInformation, ButtonBit(mbOK));
    else
      ShowMessageDlg(FormatMessageText("Document \"%s\" could not be saved.", {fileName}),
                     mkError, ButtonBit(mbOK));
  }
  while (CriticalEditCount() > 0) doc->LeaveCriticalEdit();
  IgnoringFailures([&] {
    if (vadureVavi)
      ClipboardManagerServices().DropVadureVavi();
    else if (TDocDispatcher* dispatcher = GetDocDispatcher())
      dispatcher->CloseDocument(doc, true);
  });
  ResetStatusNesting();
  SetWindowState(state);
}

}  // namespace qv
