#include "commands/command_manager.h"

#include <utility>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/enable_rules.h"
#include "commands/edit_commands.h"
#include "commands/file_commands.h"
#include "commands/font_commands.h"
#include "commands/picture_section_commands.h"
#include "commands/file_dialog_services.h"
#include "commands/paragraph_commands.h"
#include "commands/view_commands.h"
#include "commands/window_commands.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/sound_services.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// The program-wide state of the commands: the explicit target with the earlier ones, the depth of
// the IsEnabled questions and the tick of the last command run.
struct TCommandUnitState {
  std::unique_ptr<TCommandManager> Manager;
  TDoc* ExplicitTarget = nullptr;
  std::vector<TDoc*> TargetStack;
  int32_t EnabledDepth = -1;
  uint32_t LastTick = 0;
};

TCommandUnitState& Unit() {
  static TCommandUnitState state;
  return state;
}

// The clock is the window system's; before it starts (early start-up, tests) there is no tick.
void StoreLastCommandTick() {
  if (plat::IsWindowSystemStarted()) Unit().LastTick = plat::GetTickCount() & 0x7FFFFFFFu;
}

// Holds one level of IsEnabled nesting for its extent, also when a rule raises.
class TEnabledDepth {
 public:
  TEnabledDepth() { ++Unit().EnabledDepth; }
  ~TEnabledDepth() { --Unit().EnabledDepth; }
  TEnabledDepth(const TEnabledDepth&) = delete;
  TEnabledDepth& operator=(const TEnabledDepth&) = delete;
  int32_t Depth() const { return Unit().EnabledDepth; }
};

// Hides the typing popups and ends the target's hover preview before any command run.
void PrepareCommandRun() {
  TCommandEnvironment& environment = CommandEnvironment();
  environment.HideTypingPopups();
  if (TDoc* doc = GetCommandTargetDoc()) environment.EndHoverPreview(*doc);
}

// The toolkit's command service, answered by the command manager.
class TCommandManagerService : public TCommandService {
 public:
  void Execute(int32_t commandId) override { GetCommandManager().Execute(commandId); }
  bool HandleClipboardMessage(uint32_t msg, intptr_t& result) override {
    return GetCommandManager().HandleClipboardMessage(msg, result);
  }
};

}  // namespace

void RegisterCommandEnvironment(std::unique_ptr<TCommandEnvironment> environment) {
  RegisterService(std::move(environment));
}
TCommandEnvironment& CommandEnvironment() { return Service<TCommandEnvironment>(); }

void TCommandEnvironment::PlayEventSound(int32_t sound) {
  if (!SoundsMuted()) SoundService().PlayEventSound(sound);
}
void TCommandEnvironment::RequestInterfaceUpdate() { ToolkitServices().RequestInterfaceUpdate(); }

bool TCommandHandler::IsEnabled(TCommandManager& manager, int32_t id, uint8_t& reason) {
  return AskEnableRules(manager, id, reason);
}

TCommandManager::TCommandManager() = default;

void TCommandManager::SetHandler(CommandRange range, std::unique_ptr<TCommandHandler> handler) {
  handlers_[static_cast<size_t>(range)] = std::move(handler);
}

void TCommandManager::SetParamHandler(size_t subRange, std::unique_ptr<TCommandHandler> handler) {
  if (subRange < paramHandlers_.size()) paramHandlers_[subRange] = std::move(handler);
}

TCommandHandler* TCommandManager::HandlerOf(int32_t id) {
  if (const auto range = RangeOfCommand(id)) return handlers_[static_cast<size_t>(*range)].get();
  if (const auto sub = ParamRangeOfCommand(id)) return paramHandlers_[*sub].get();
  return nullptr;
}

void TCommandManager::Execute(int32_t id) {
  PrepareCommandRun();
  if (IsEnabled(id) && RangeOfCommand(id))
    if (TCommandHandler* handler = HandlerOf(id)) handler->Execute(*this, id);
  StoreLastCommandTick();
}

void TCommandManager::ExecuteWithParam(int32_t id, const void* argument) {
  PrepareCommandRun();
  if (IsEnabled(id) && ParamRangeOfCommand(id))
    if (TCommandHandler* handler = HandlerOf(id)) handler->ExecuteWithParam(*this, id, argument);
  StoreLastCommandTick();
}

bool TCommandManager::AskRules(int32_t id, uint8_t& reason) {
  if (id == cmd::BarSeparator || id == cmd::BarRowBreak) return false;
  if (!RangeOfCommand(id) && !ParamRangeOfCommand(id)) return true;
  if (TCommandHandler* handler = HandlerOf(id)) return handler->IsEnabled(*this, id, reason);
  return AskEnableRules(*this, id, reason);
}

bool TCommandManager::IsEnabled(int32_t id) {
  if (ToolbarCustomizing) return false;
  TEnabledDepth depth;
  // Depths beyond the kept ones answer as well; their reasons are not kept (no outer question
  // reads them).
  uint8_t scratch = 0;
  const bool kept = depth.Depth() < kReasonDepths;
  uint8_t& reason = kept ? reasons_[static_cast<size_t>(depth.Depth())] : scratch;
  if (TDoc* doc = GetCommandTargetDoc()) CommandEnvironment().UpdateSelectedFieldLists(*doc);
  // The parameterised rules leave the reason of their depth as it was.
  if (!IsParamCommand(id)) reason = 0;
  return AskRules(id, reason);
}

uint8_t TCommandManager::DisabledReason(int32_t depth) const {
  if (depth < 0 || depth >= kReasonDepths) return 0;
  return reasons_[static_cast<size_t>(depth)];
}

bool TCommandManager::HandleClipboardMessage(uint32_t msg, intptr_t& result) {
  int32_t id = 0;
  switch (msg) {
    case plat::WM_CUT: id = cmd::Cut; break;
    case plat::WM_COPY: id = cmd::Copy; break;
    case plat::WM_PASTE: id = cmd::Paste; break;
    case plat::WM_CLEAR: id = cmd::Delete; break;
    default: return false;
  }
  Execute(id);
  result = 1;
  return true;
}

TCommandManager& GetCommandManager() {
  std::unique_ptr<TCommandManager>& manager = Unit().Manager;
  if (!manager) manager = std::make_unique<TCommandManager>();
  return *manager;
}

void FreeCommandManager() { Unit().Manager.reset(); }

TDoc* GetCommandTargetDoc() {
  if (TDoc* target = Unit().ExplicitTarget) return target;
  return CommandEnvironment().ActiveDoc();
}

void SetCommandTargetDoc(TDoc* doc) {
  TCommandUnitState& unit = Unit();
  unit.TargetStack.push_back(unit.ExplicitTarget);
  unit.ExplicitTarget = doc;
}

void RestoreCommandTargetDoc() {
  TCommandUnitState& unit = Unit();
  // An unmatched restore leaves no explicit target rather than reading past the stack.
  if (unit.TargetStack.empty()) {
    unit.ExplicitTarget = nullptr;
    return;
  }
  unit.ExplicitTarget = unit.TargetStack.back();
  unit.TargetStack.pop_back();
}

uint32_t LastCommandTick() { return Unit().LastTick; }

int32_t EnabledDepth() { return Unit().EnabledDepth; }

void RegisterCommandServices() {
  RegisterFileCommands(GetCommandManager());
  RegisterEditCommands(GetCommandManager());
  RegisterFontCommands(GetCommandManager());
  RegisterPictureSectionCommands(GetCommandManager());
  RegisterParagraphCommands(GetCommandManager());
  RegisterViewCommands(GetCommandManager());
  RegisterWindowCommands(GetCommandManager());
  RegisterCommandService(std::make_unique<TCommandManagerService>());
  // The platform's common dialogs serve until the shell's own dialogs with previews exist.
  RegisterFileDialogServices(MakeCommonFileDialogs());
}

void UnregisterCommandServices() {
  RegisterFileDialogServices(nullptr);
  RegisterCommandService(nullptr);
  FreeCommandManager();
}

}  // namespace qv
