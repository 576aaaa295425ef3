#include "shell/status_bar_site.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/application.h"
#include "platform/controls/menu.h"
#include "platform/win/window_system.h"
#include "shell/command_bar_services.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"
#include "shell/proofing_services.h"
#include "shell/startup_state.h"

namespace qv {

namespace {

// The writing target's counter once the target is reached.
constexpr int32_t kTargetReached = std::numeric_limits<int32_t>::max();
// The writing target's unit that counts words (0 and 1 count characters).
constexpr int32_t kTargetWords = 2;

}  // namespace

TDoc* TMainStatusBarSite::ActiveDoc() { return GetActiveDoc(); }

bool TMainStatusBarSite::StartupDone() { return !StartingUp; }

bool TMainStatusBarSite::AppActive() {
  return plat::IsWindowSystemStarted() && plat::IsAppActive();
}

bool TMainStatusBarSite::MainWindowEnabled() {
  return main_.Handle() == 0 || plat::IsWindowEnabled(main_.Handle());
}

bool TMainStatusBarSite::BrowseListOpen() { return ControlBoardServices().BrowseListOpen(); }

bool TMainStatusBarSite::FullScreen() { return main_.FullScreen; }

bool TMainStatusBarSite::OverwriteMode() { return main_.OverwriteMode; }

uint8_t TMainStatusBarSite::StatusIcons(TDoc& doc) {
  const TDocFileState& file = doc.FileState;
  uint8_t icons = 0;
  if (file.SafeCopyExists) icons |= 1;
  if (file.RestoredFromSafeCopy) icons |= 2;
  if (!file.Password.empty()) icons |= 4;
  return icons;
}

int32_t TMainStatusBarSite::SpellcheckState() {
  TDoc* doc = GetActiveDoc();
  TProofingServices& proofing = ProofingServices();
  if (doc == nullptr || !proofing.AutoSpellcheck()) return 0;
  return std::clamp(proofing.SpellcheckState(*doc), 0, 5);
}

std::vector<TDoc*> TMainStatusBarSite::DocBarSelection() {
  // Only documents that are still open count.
  std::vector<TDoc*> selected = CommandBarServices().DocBarSelection();
  TDocDispatcher* dispatcher = GetDocDispatcher();
  selected.erase(std::remove_if(selected.begin(), selected.end(),
                                [dispatcher](TDoc* d) { return dispatcher == nullptr || dispatcher->IndexOf(d) < 0; }),
                 selected.end());
  return selected;
}

bool TMainStatusBarSite::KeepsFileOpen(TDoc& doc) { return doc.FileState.HoldsFile; }

bool TMainStatusBarSite::BeingSaved(TDoc& doc) {
  return doc.FileState.VadureVaviSaving || doc.FileState.BeingCopied;
}

int64_t TMainStatusBarSite::FileSize(TDoc& doc) { return doc.FileState.FileSize; }

int64_t TMainStatusBarSite::WritingTime(TDoc& doc) {
  return doc.EditingTime > 0 ? static_cast<int64_t>(doc.EditingTime) : 0;
}

int64_t TMainStatusBarSite::CharsTyped(TDoc& doc) { return std::max<int64_t>(doc.TypedChars, 0); }

bool TMainStatusBarSite::WritingTarget(TDoc& doc, int64_t& progress, int64_t& amount, bool& words) {
  const TDocFileState& file = doc.FileState;
  if (file.WritingTarget <= 0) return false;
  amount = file.WritingTarget;
  progress = file.WritingTargetCounter == kTargetReached ? amount : file.WritingTargetCounter;
  words = file.WritingTargetType == kTargetWords;
  return true;
}

bool TMainStatusBarSite::PaginationStopped(TDoc& doc) {
  TDocDispatcher* dispatcher = GetDocDispatcher();
  const TShellDocState* state = dispatcher != nullptr ? dispatcher->StateOf(&doc) : nullptr;
  return state != nullptr && state->PaginationStopped;
}

bool TMainStatusBarSite::PaginationComplete(TDoc& doc) { return doc.Layout.LaidOutToEnd; }

void TMainStatusBarSite::ShowMenu(const std::string& name, plat::Point screen) {
  if (plat::PopupMenu* menu = main_.GetPopupMenu(name)) menu->Popup(screen);
}

void TMainStatusBarSite::ShowBookmarkMenu(plat::Point screen) {
  TDoc* doc = GetActiveDoc();
  if (doc == nullptr || doc->HeaderFooterInPlace != nullptr) return;
  const std::vector<std::u16string> names = BookmarkListNames(*doc);
  if (names.empty()) return;
  plat::PopupMenu menu;
  for (size_t i = 0; i < names.size(); ++i) {
    plat::MenuItem& item = menu.Items().Add(names[i]);
    const int32_t index = static_cast<int32_t>(i);
    item.OnClick = [index](plat::MenuItem&) { GetCommandManager().GoToBookmarkByIndex(index); };
  }
  menu.Popup(screen);
}

void TMainStatusBarSite::ShowLanguageMenu(plat::Point screen) {
  CommandBarServices().DropLanguageMenu(screen.x, screen.y);
}

void TMainStatusBarSite::SpellcheckPanelClick() {
  TDoc* doc = GetActiveDoc();
  if (doc == nullptr) return;
  if (main_.Handle() != 0) plat::UnregisterHotKey(main_.Handle(), TMainForm::kEscapeHotKey);
  ProofingServices().StepFromStatusBar(*doc);
}

// The Writing Target dialog has not been built yet: the click leaves the target as it is.
void TMainStatusBarSite::WritingTargetClick() {}

}  // namespace qv
