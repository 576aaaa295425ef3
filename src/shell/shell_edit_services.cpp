#include "shell/shell_edit_services.h"

#include "commands/edit_command_services.h"
#include "editing/ops/text_edit_services.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"

namespace qv {

namespace {

// The typing itself, proofing and the dialogs keep the stand-in's answers until their
// subsystems answer.
class TShellTextEditServices : public TTextEditServices {
 public:
  bool OvertypeMode() override {
    TMainForm* main = GetMainForm();
    return main != nullptr && main->OverwriteMode;
  }
  void BeginProgress(const std::string& text, int32_t range) override {
    if (TMainForm* main = GetMainForm()) main->BeginProgress(range, text);
  }
  void SetProgress(int32_t position) override {
    if (TMainForm* main = GetMainForm()) main->SetProgressPos(position);
  }
  void EndProgress() override {
    if (TMainForm* main = GetMainForm()) main->EndProgress(false);
  }
  void ActivateWindow(TDoc& doc) override {
    if (TDocDispatcher* d = GetDocDispatcher(); d != nullptr && d->IndexOf(&doc) >= 0) d->Activate(&doc);
  }
  // A place kept for a document that has been closed since is not used.
  bool IsOpenDocument(const TDoc* doc) override {
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr) return TTextEditServices::IsOpenDocument(doc);
    return doc != nullptr && d->IndexOf(doc) >= 0;
  }
};

class TShellEditCommandServices : public TEditCommandServices {
 public:
  void ToggleOverwrite() override {
    if (TMainForm* main = GetMainForm()) {
      main->OverwriteMode = !main->OverwriteMode;
      main->RequestInterfaceUpdate();
    }
  }
  bool ShiftHeld() override {
    return plat::IsWindowSystemStarted() && plat::GetKeyState(plat::VK_SHIFT) < 0;
  }
};

}  // namespace

std::unique_ptr<TTextEditServices> MakeShellTextEditServices() {
  return std::make_unique<TShellTextEditServices>();
}

std::unique_ptr<TEditCommandServices> MakeShellEditCommandServices() {
  return std::make_unique<TShellEditCommandServices>();
}

}  // namespace qv
