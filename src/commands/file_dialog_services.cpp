#include "commands/file_dialog_services.h"

#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "platform/controls/dialogs/file_dialog.h"

namespace qv {

namespace {

class TCommonFileDialogs : public TFileDialogServices {
 public:
  bool RunFileDialog(TFileDialogRequest& request) override {
    plat::FileDialog dialog(request.Save);
    dialog.Title = request.Title;
    dialog.Filter = request.Filter;
    dialog.FilterIndex = request.FilterIndex;
    dialog.DefaultExt = request.DefaultExt;
    dialog.FileName = request.FileName;
    dialog.SetInitialDir(request.InitialDir.empty() ? GetOptionsHolder().GetFileDialogFolder()
                                                    : request.InitialDir);
    dialog.Options = 0;
    if (!request.OfferReadOnly) dialog.Options |= plat::fd::HideReadOnly;
    if (request.MultiSelect) dialog.Options |= plat::fd::AllowMultiSelect;
    if (request.Save) dialog.Options |= plat::fd::OverwritePrompt;
    if (!dialog.Execute()) return false;
    request.Files = dialog.Files;
    if (request.Files.empty() && !dialog.FileName.empty()) request.Files.push_back(dialog.FileName);
    request.FilterIndex = dialog.FilterIndex;
    request.ReadOnly = request.OfferReadOnly && dialog.ReadOnlyTicked();
    return !request.Files.empty();
  }
};

}  // namespace

void RegisterFileDialogServices(std::unique_ptr<TFileDialogServices> services) {
  RegisterService(std::move(services));
}
TFileDialogServices& FileDialogServices() { return Service<TFileDialogServices>(); }

std::unique_ptr<TFileDialogServices> MakeCommonFileDialogs() {
  return std::make_unique<TCommonFileDialogs>();
}

std::string DocumentFilter() {
  return "Rich Text Format (*.rtf)|*.rtf|Word 97-2003 Document (*.doc)|*.doc|"
         "Word Document (*.docx)|*.docx|OpenDocument Text (*.odt)|*.odt|"
         "Encrypted Document (*.cod)|*.cod|Windows Write Document (*.wri)|*.wri|"
         "Text Document (*.txt)|*.txt|"
         "All supported documents|*.rtf;*.doc;*.docx;*.odt;*.cod;*.wri;*.txt";
}

}  // namespace qv
