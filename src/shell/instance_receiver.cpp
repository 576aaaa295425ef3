// The receiving side of the single-instance protocol: another start of the program asks this one,
// over the instance channel, whether it takes files, and hands them over one by one.
#include "shell/instance_receiver.h"

#include "commands/command_manager.h"
#include "foundation/system/command_line.h"
#include "foundation/system/running_instance.h"
#include "foundation/ui/application.h"
#include "platform/win/window_system.h"
#include "shell/command_line_parse.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

constexpr int32_t kPrintDocument = 280, kCloseDocument = 140;

bool MayTakeFiles(const TMainForm& main) {
  TDocDispatcher* dispatcher = GetDocDispatcher();
  if (main.Handle() == 0 || !plat::IsWindowEnabled(main.Handle()) || dispatcher == nullptr ||
      dispatcher->Count() >= TDocDispatcher::kMaxOpenDocuments)
    return false;
  TDoc* active = dispatcher->ActiveDoc();
  TDocWindowLink* window = active ? dispatcher->WindowOf(active) : nullptr;
  return window == nullptr || !window->InMouseOperation();
}

}  // namespace

uint8_t TMainForm::WMInstanceMessage(uint8_t code, const std::string& path) {
  // An instance started to print refuses everything, so it never takes another start's files.
  if (AppTerminating() || EmergencyHandling || CommandLineAction == smPrintFiles) return 0;
  TApp& app = GetApp();
  switch (code) {
    case irActivate:
      app.Restore();
      app.BringPopupToFront();
      return 0;
    case irMayTakeFiles:
      return MayTakeFiles(*this) ? 1 : 0;
    case irOpenFile:
    case irPrintFile: {
      TDocDispatcher* dispatcher = GetDocDispatcher();
      const bool opened = dispatcher != nullptr && dispatcher->OpenFile(path);
      if (opened && code == irPrintFile) {
        GetCommandManager().Execute(kPrintDocument);
        GetCommandManager().Execute(kCloseDocument);
      }
      app.BringPopupToFront();
      return opened ? 1 : 0;
    }
    case irIsMinimized:
      return app.Minimized() ? 1 : 0;
    case irMinimize:
      if (!app.Minimized()) app.Minimize();
      return 0;
    case irIsFactoryTestCopy:
      return IsSwitchPresent(swDontLoadSettings) && IsSwitchPresent(swDontSaveSettings) ? 1 : 0;
    default:
      return 0;
  }
}

uint8_t TMainFormInstanceReceiver::HandleInstanceRequest(uint8_t code, const std::string& path) {
  TMainForm* main = GetMainForm();
  return main != nullptr ? main->WMInstanceMessage(code, path) : 0;
}

}  // namespace qv
