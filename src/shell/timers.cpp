// The main window's timers. Every step runs on the interface thread; none runs while the
// program is starting or terminating, while an exception during an edit is being handled, or
// while a cancellable job runs (whose own message loop must not re-enter them).
#include <functional>

#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/popup_list.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/background_jobs.h"
#include "shell/command_bar_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "document/fragment_pool.h"
#include "shell/proofing_services.h"
#include "shell/startup_state.h"
#include "shell/status_bar.h"

namespace qv {

namespace {

constexpr uint32_t kDownKeyWaitMs = 100;
constexpr uint32_t kLargeIdleMs = 10000;
constexpr uint32_t kSpellcheckOfferWaitMs = 5000;
// The background spellcheck stops above this much allocated memory (0.9 GiB).
constexpr uint64_t kSpellcheckMemoryLimit = 966367638;

bool MainWindowEnabled(const TMainForm& main) {
  return main.Handle() != 0 && plat::IsWindowEnabled(main.Handle());
}

void PaginateDocument(TDocDispatcher& dispatcher, TDoc* doc) {
  TShellDocState* state = dispatcher.StateOf(doc);
  TDocWindowLink* window = dispatcher.WindowOf(doc);
  if (state == nullptr || window == nullptr) return;
  PaginationStep(*doc, *state, window->InMouseOperation());
  PageFieldsStep(*doc, window->InMouseOperation());
}

// A reached writing target blinks in the status bar, a state every 500 ms.
void BlinkWritingTarget(TMainForm& main) {
  constexpr uint32_t kBlinkMs = 500;
  constexpr int32_t kTargetPanel = TStatusBar::spTarget;
  const uint32_t now = plat::GetTickCount();
  if (!main.StatusBar().Visible() || (GetOptions().View.SBarPanels3 >> kTargetPanel & 1) == 0 ||
      now - main.TargetBlinkTick < kBlinkMs)
    return;
  main.TargetBlinkTick = now;
  main.StatusBar().BlinkTarget();
}

void SendDownKey() {
  const plat::Hwnd focus = plat::GetFocus();
  if (focus == 0) return;
  plat::SendMessage(focus, plat::WM_KEYDOWN, plat::VK_DOWN, 1);
  plat::SendMessage(focus, plat::WM_KEYUP, plat::VK_DOWN,
                    static_cast<intptr_t>(1u | plat::KF_REPEAT_BIT | plat::KF_UP_BIT));
}

}  // namespace

void TMainForm::WMTimer(uint32_t id) {
  // Other instances' requests are answered whatever the program is doing.
  if (id == tmHousekeeping) ServeInstanceRequests(0);
  if (AppTerminating() || EmergencyHandling || StartingUp) return;
  if (GetCommandManager().Flags & TCommandManager::cmCancellableJob) return;
  TDocDispatcher* dispatcher = GetDocDispatcher();
  TDoc* active = GetActiveDoc();
  switch (id) {
    case tmPagination:
      if (dispatcher == nullptr) break;
      if (active != nullptr) PaginateDocument(*dispatcher, active);
      for (TDoc* doc : dispatcher->SideBySide)
        if (doc != nullptr && doc != active) PaginateDocument(*dispatcher, doc);
      dispatcher->ApplyPreviewColors(active);
      break;
    case tmFontOrder:
      if (FontManager() != nullptr) FontManager()->SortSharedFontsByUse();
      break;
    case tmSpellcheck:
      if (active != nullptr && ProofingServices().AutoSpellcheck() &&
          AllocatedMemoryBytes() < kSpellcheckMemoryLimit && MainWindowEnabled(*this) &&
          !active->PrintPreview) {
        // The timer is stopped for the step, so that steps never overlap.
        plat::KillTimer(Handle(), tmSpellcheck);
        ProofingServices().BackgroundSpellcheckStep(*active);
        if (Handle() != 0) plat::SetTimer(Handle(), tmSpellcheck, 10);
      }
      if (DownKeyPending && IdleFor(kDownKeyWaitMs)) {
        DownKeyPending = false;
        SendDownKey();
      }
      BlinkWritingTarget(*this);
      break;
    case tmSpellcheckIcon:
      if (ProofingServices().AutoSpellcheck()) {
        SpellcheckIconFrame = static_cast<uint8_t>((SpellcheckIconFrame + 1) % 6);
        if (active != nullptr && ProofingServices().SpellcheckInProgress(*active))
          RequestInterfaceUpdate();
      }
      break;
    case tmControlCallback:
      if (ControlTimerCallback) ControlTimerCallback();
      break;
    case tmDocBarHover:
      if (TDoc* hovered = CommandBarServices().HoveredDocument(); hovered && dispatcher)
        dispatcher->Activate(hovered);
      plat::KillTimer(Handle(), tmDocBarHover);
      UpdateInterfaceState();
      break;
    case tmHousekeeping: {
      StatusBar().HousekeepingTick(plat::GetTickCount());  // a held zoom button repeats
      if (dispatcher == nullptr) break;
      const bool userIdle = IdleFor(kLargeIdleMs);
      BackupRound(*dispatcher, userIdle);
      SafeCopiesRound(*dispatcher, LastSafeCopiesTick, userIdle);
      if (IdleFor(kSpellcheckOfferWaitMs) && MainWindowEnabled(*this) && plat::GetCapture() == 0 &&
          !PopupList().InMenuLoop() && ProofingServices().OfferMissingSpellcheckers())
        Close();
      break;
    }
    default:
      break;
  }
}

}  // namespace qv
