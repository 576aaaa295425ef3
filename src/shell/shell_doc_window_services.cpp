// What the document windows ask of the shell: the main window's state and document area, its
// status bar and popup menus, the dispatcher's active document, closing and saving, the
// commands, sounds and activity; the proofing tools through the shell's proofing services, the
// symbol dialog through the dialogs' services. The hot keys and the typing popups keep the
// window services' own answers until their subsystems answer.
#include "shell/shell_doc_window_services.h"

#include "commands/command_manager.h"
#include "commands/format_dialog_services.h"
#include "document/doc.h"
#include "docwindow/doc_window_services.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "platform/controls/menu.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/document_save.h"
#include "shell/main_form.h"
#include "shell/proofing_services.h"
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
  void ExecuteCommandWithParam(int32_t id, const std::u16string& text, const void* data,
                               int32_t /*size*/) override {
    // A command's argument is its block of bytes, or else its text.
    GetCommandManager().ExecuteWithParam(id, data != nullptr ? data : static_cast<const void*>(&text));
  }
  void SetInterfaceUpdatesSuspended(bool suspended) override {
    TMainForm* main = GetMainForm();
    if (main == nullptr) return;
    main->UpdateBlocked = suspended;
    if (!suspended) main->RequestInterfaceUpdate();
  }
  bool OvertypeMode() override {
    TMainForm* main = GetMainForm();
    return main != nullptr && main->OverwriteMode;
  }

  // ---- The status bar
  void SetStatusMessage(int32_t kind, const std::u16string& text) override {
    if (TMainForm* main = GetMainForm()) main->SetStatusMessage(static_cast<uint8_t>(kind), text);
  }
  void BeginProgress(const std::string& text, int32_t range) override {
    if (TMainForm* main = GetMainForm()) main->BeginProgress(range, text);
  }
  void SetProgressPosition(int32_t position) override {
    if (TMainForm* main = GetMainForm()) main->SetProgressPos(position);
  }
  void EndProgress() override {
    if (TMainForm* main = GetMainForm()) main->EndProgress(false);
  }

  // ---- Popup menus
  plat::PopupMenu* ContextPopup(const std::string& name) override {
    TMainForm* main = GetMainForm();
    return main != nullptr ? main->GetPopupMenu(name) : nullptr;
  }
  void ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at,
                         const plat::Rect& exclude, bool suggestions) override {
    TMainForm* main = GetMainForm();
    if (main == nullptr) {
      TDocWindowServices::ShowSpellingPopup(std::move(menu), at, exclude, suggestions);
      return;
    }
    main->ShowSpellingPopup(std::move(menu), at, exclude, suggestions);
  }
  int32_t WorkAreaRight() override {
    TMainForm* main = GetMainForm();
    if (main == nullptr || main->MonitorRect.Width() <= 0) return TDocWindowServices::WorkAreaRight();
    return main->MonitorRect.right;
  }

  // ---- The symbol dialog
  void ShowSymbolDialog(const std::string& font, int32_t code) override {
    FormatDialogServices().ShowInsertSymbolFor(font, code);
  }

  // ---- Proofing tools
  bool AutoCorrectAsYouType() override { return ProofingServices().AutoCorrectAsYouType(); }
  bool MisspelledBeforeCaret(TDoc& doc) override { return ProofingServices().MisspelledBeforeCaret(doc); }
  void RescheduleSpellcheck(TDoc& doc, int32_t mode) override {
    ProofingServices().RescheduleSpellcheck(doc, mode);
  }
  bool RecheckPendingSpelling(TDoc& doc) override { return ProofingServices().RecheckPendingSpelling(doc); }
  bool SpellcheckRecheckPending(TDoc& doc) override {
    return ProofingServices().SpellcheckRecheckPending(doc);
  }
  void CaretLeftWord(TDoc& doc) override { ProofingServices().CaretLeftWord(doc); }
  void RestartSpellcheck(TDoc& doc) override { ProofingServices().RestartSpellcheck(doc); }
  bool CheckWordAtCaret(TDoc& doc, TSpellingWord& word) override {
    return ProofingServices().CheckWordAtCaret(doc, word);
  }
  void ReplaceWithSuggestion(TDoc& doc, int32_t index) override {
    ProofingServices().ReplaceWithSuggestion(doc, index);
  }
  void AddAutoCorrectEntry(TDoc& doc, int32_t index) override {
    ProofingServices().AddAutoCorrectEntry(doc, index);
  }
  void SetWordLanguage(TDoc& doc, int32_t language) override {
    ProofingServices().SetWordLanguage(doc, language);
  }
  void AddToUserDictionary(TDoc& doc, int32_t index) override {
    ProofingServices().AddToUserDictionary(doc, index);
  }
  void EditUserDictionary(int32_t index) override { ProofingServices().EditUserDictionary(index); }
};

}  // namespace

std::unique_ptr<TDocWindowServices> MakeShellDocWindowServices() {
  return std::make_unique<TShellDocWindowServices>();
}

}  // namespace qv
