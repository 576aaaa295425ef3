#include "shell/background_jobs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "document/doc.h"
#include "files/backups.h"
#include "files/doc_formats.h"
#include "files/safe_copies.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/system/temp_files.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"

namespace qv {

namespace {

constexpr uint32_t kPaginationWaitMs = 300;
constexpr auto kPaginationSlice = std::chrono::milliseconds(50);
constexpr int32_t kPagesPerStep = 5;
constexpr uint16_t kBackupOption = 0x10;  // bit of the load-and-save flags

bool IsLarge(const TDoc& doc) { return doc.ParCount() >= kLargeDocumentParagraphs; }

// A key press or mouse input waiting in the queue.
bool InputWaiting() { return plat::IsWindowSystemStarted() && plat::InputPending(); }

}  // namespace

bool PaginationStep(TDoc& doc, TShellDocState& state, bool inMouseOperation) {
  if (inMouseOperation || doc.IsDocFlagSet(dfLayoutSuspended)) return false;
  if (state.DiscardPages) {
    state.DiscardPages = false;
    doc.DiscardPages();
    doc.EnsureParagraphLaidOut(std::clamp(doc.Caret.Par, 0, doc.ParCount() - 1));
    doc.ArrangePages();
    return true;
  }
  if (doc.Layout.LaidOutToEnd || state.PaginationStopped || !IdleFor(kPaginationWaitMs))
    return false;
  // The slice is measured in real time, whatever clock the timers run on, and gives way at
  // once to input that arrives meanwhile.
  const auto start = std::chrono::steady_clock::now();
  const int32_t before = doc.PageCount();
  do {
    const int32_t pages = doc.PageCount();
    doc.Paginate(pages, pages + kPagesPerStep - 1);
    if (doc.PageCount() >= kBackgroundPageLimit && !doc.Layout.LaidOutToEnd) {
      state.PaginationStopped = true;
      if (TMainForm* main = GetMainForm()) main->RequestInterfaceUpdate();
      break;
    }
    if (doc.PageCount() == pages) break;  // nothing more could be laid out
  } while (!doc.Layout.LaidOutToEnd && !InputWaiting() &&
           std::chrono::steady_clock::now() - start < kPaginationSlice);
  if (doc.PageCount() == before) return false;
  doc.ArrangePages();
  return true;
}

bool PageFieldsStep(TDoc& doc, bool inMouseOperation) {
  constexpr uint32_t kPageFieldsWaitMs = 5000, kLargePageFieldsWaitMs = 30000;
  if (inMouseOperation || doc.IsDocFlagSet(dfLayoutSuspended)) return false;
  if (!doc.Layout.LaidOutToEnd || doc.ViewMode != vmPrintLayout || !doc.Layout.PageFieldsPending)
    return false;
  if (!IdleFor(doc.PageCount() >= kBackgroundPageLimit ? kLargePageFieldsWaitMs : kPageFieldsWaitMs))
    return false;
  doc.UpdateHeaderFooterPageFields(false);
  return true;
}

void BackupRound(TDocDispatcher& dispatcher, bool userIdle) {
  static bool running = false;
  const TOptions& options = GetOptions();
  if (!(options.LoadSave.Flags & kBackupOption) || running) return;
  running = true;
  const uint32_t intervalMs =
      static_cast<uint32_t>(BackupMinMinutes(options.LoadSave.Backup_MinDiff)) * 60000u;
  for (TDoc* doc : dispatcher.Documents()) {
    TShellDocState* state = dispatcher.StateOf(doc);
    if (state == nullptr || (IsLarge(*doc) && !userIdle)) continue;
    const uint32_t now = plat::GetTickCount();
    if (now - state->LastBackupTick <= intervalMs) continue;
    if (doc->Modified == 0 || doc->BackupPoint == doc->UndoPosition) continue;
    if (doc->FileState.VadureVavi && doc->ParCount() <= 1 && doc->ParLength(0) <= 1) continue;
    // A failed write waits a whole interval, and ends the round.
    state->LastBackupTick = now;
    bool done = false;
    try {
      done = DocMakeTimedBackup(*doc);
    } catch (const std::exception&) {
      done = false;
    }
    if (!done) break;
    doc->BackupPoint = doc->UndoPosition;
  }
  running = false;
}

bool SafeCopiesRound(TDocDispatcher& dispatcher, uint32_t& lastRoundTick, bool userIdle) {
  const int32_t minutes = GetOptions().LoadSave.AutoSave;
  if (minutes <= 0) return false;
  const uint32_t now = plat::GetTickCount();
  if (now - lastRoundTick < static_cast<uint32_t>(minutes) * 60000u) return false;
  for (TDoc* doc : dispatcher.Documents()) {
    if (IsLarge(*doc) && !userIdle) continue;
    try {
      DocMakeSafeCopy(*doc);
    } catch (const std::exception&) {
      // the next round tries again
    }
  }
  ClipboardManagerServices().SaveVadureVavi();
  lastRoundTick = now;
  return true;
}

}  // namespace qv
