// What the document windows ask of the shell: the main window's state and document area, the
// dispatcher's active document, closing and saving, the commands, sounds and activity. The hot
// keys, the typing popups and the proofing tools keep the window services' own answers until
// their subsystems answer.
#include "shell/shell_doc_window_services.h"

#include "commands/command_manager.h"
#include "document/doc.h"
#include "docwindow/doc_window_services.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/document_save.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

class TShellDocWindowServices : public TDocWindowServices {
 public:
  bool FullScreen() override {
    TMainForm* main = GetMainForm();
    return main != nullptr && main->FullScreen;
  }
  uint32_t FullScreenKeepMask() override { return GetOptions().View.FS_GUI; }
  void RequestInterfaceUpdate() override {
    if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
  }
  bool EmergencySaving() override { return EmergencyHandling; }
  bool PortableDriveRemoving() override { return DriveLeaving; }
  bool DocumentArea(plat::Size& area, int32_t& windowCount) override {
    TMainForm* main = GetMainForm();
    TDocDispatcher* d = GetDocDispatcher();
    if (main == nullptr || d == nullptr) return false;
    const plat::Rect r = main->DocumentArea().ClientRect();
    area = {r.Width(), r.Height()};
    windowCount = d->Count();
    return true;
  }
  void RefreshCursorLater() override {
    if (TMainForm* main = GetMainForm()) main->RestoreCursor = true;
  }
  void NoteUserActivity() override { MarkUserActivity(); }
  void DocumentWindowActivated(TDoc& doc) override {
    TMainForm* main = GetMainForm();
    TDocDispatcher* d = GetDocDispatcher();
    if (main == nullptr) return;
    const bool loading = d != nullptr && (d->StateFlags & TDocDispatcher::dsReadingFile) != 0;
    if (!loading) main->SetStatusMessage({});
    (void)doc;
    main->RequestInterfaceUpdate();
  }
  // New documents open in the view mode last used for their kind (plain text or other).
  void RememberViewSettings(TDoc& doc) override {
    if (doc.PrintPreview) return;
    TNewDocParams& params = GetOptions().NewDocParams;
    (doc.FormatIndex == 6 ? params.ViewModeTXT : params.ViewMode) = doc.ViewMode;
  }
  void SetActiveDocument(TDoc* doc) override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->SetActive(doc);
  }
  bool CloseDocument(TDoc& doc) override {
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr || d->IndexOf(&doc) < 0) return false;
    d->CloseDocument(&doc, false);
    return true;
  }
  bool IsVadureVavi(const TDoc& doc) override {
    return ClipboardManagerServices().IsVadureVavi(doc);
  }
  bool SaveDocument(TDoc& doc) override { return qv::SaveDocument(doc); }
  void ExecuteCommand(int32_t id) override { GetCommandManager().Execute(id); }
  bool IsCommandEnabled(int32_t id) override { return GetCommandManager().IsEnabled(id); }
  std::u16string CommandNameWithShortcut(int32_t id) override {
    return InterfaceText(GetCommandManager().GetCommandName(id, true));
  }
  bool CommandManagerBusy() override {
    return (GetCommandManager().Flags & TCommandManager::cmCancellableJob) != 0;
  }
  void MarkWindowListsStale() override {
    GetCommandManager().Flags |= TCommandManager::cmWindowsStale;
  }
};

}  // namespace

std::unique_ptr<TDocWindowServices> MakeShellDocWindowServices() {
  return std::make_unique<TShellDocWindowServices>();
}

}  // namespace qv
