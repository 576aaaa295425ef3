#include "shell/background_jobs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/system/temp_files.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_file_names.h"
#include "shell/document_copy_services.h"
#include "shell/document_save.h"
#include "shell/main_form.h"

namespace qv {

namespace {

constexpr uint32_t kPaginationWaitMs = 300;
constexpr auto kPaginationSlice = std::chrono::milliseconds(50);
constexpr int32_t kPagesPerStep = 5;
constexpr uint16_t kBackupOption = 0x10;  // bit of the load-and-save flags

bool IsLarge(const TDoc& doc) { return doc.ParCount() >= kLargeDocumentParagraphs; }

// A key press or mouse input waiting in the queue.
bool InputWaiting() {
  plat::Msg msg;
  if (!plat::IsWindowSystemStarted() || !plat::PeekMessage(msg, false)) return false;
  return (msg.message >= plat::WM_KEYFIRST && msg.message <= plat::WM_KEYLAST) ||
         (msg.message >= plat::WM_MOUSEFIRST && msg.message <= plat::WM_MOUSELAST);
}

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

int32_t BackupIntervalMinutes(int32_t index) {
  static constexpr int32_t kMinutes[] = {1,   2,   5,   10,  15,  20,  30,  45,  60,
                                         120, 180, 240, 300, 360, 540, 720, 1440};
  constexpr int32_t count = static_cast<int32_t>(sizeof kMinutes / sizeof kMinutes[0]);
  return kMinutes[std::clamp(index, 0, count - 1)];
}

void BackupRound(TDocDispatcher& dispatcher, bool userIdle) {
  static bool running = false;
  const TOptions& options = GetOptions();
  if (!(options.LoadSave.Flags & kBackupOption) || running) return;
  running = true;
  const uint32_t intervalMs =
      static_cast<uint32_t>(BackupIntervalMinutes(options.LoadSave.Backup_MinDiff)) * 60000u;
  for (TDoc* doc : dispatcher.Documents()) {
    TShellDocState* state = dispatcher.StateOf(doc);
    if (state == nullptr || (IsLarge(*doc) && !userIdle)) continue;
    const uint32_t now = plat::GetTickCount();
    if (now - state->LastBackupTick <= intervalMs) continue;
    if (doc->Modified == 0 || doc->BackupPoint == doc->UndoPosition) continue;
    DocumentCopyServices().BackUpOpenFile(*doc);
    std::string temp;
    bool written = false;
    try {
      temp = MakeTempFileNameExt(tfkTmp);
      const int32_t format = IsWritableDocFormat(doc->FormatIndex) ? doc->FormatIndex : dfRtf;
      written = WriteDocumentCopy(*doc, temp, format);
    } catch (const std::exception&) {
      written = false;
    }
    state->LastBackupTick = now;
    if (!written) {
      if (!temp.empty()) std::remove(temp.c_str());
      break;  // a failed write ends the round; the document waits a whole interval
    }
    std::string name = doc->FileName;
    if (!IsWritableDocFormat(doc->FormatIndex)) name = ChangeFileExt(name, ".rtf");
    DocumentCopyServices().MakeBackup(*doc, name, temp);
    doc->BackupPoint = doc->UndoPosition;
    std::remove(temp.c_str());
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
    DocumentCopyServices().WriteSafeCopy(*doc);
  }
  ClipboardManagerServices().SaveVadureVavi();
  lastRoundTick = now;
  return true;
}

}  // namespace qv
