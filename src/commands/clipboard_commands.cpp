// The clipboard commands of the edit range: copy and cut, the paste forms, the Vadure Vavi,
// duplicating the selection and copying all formatting.
#include <vector>

#include "commands/command_options.h"
#include "commands/command_routines.h"
#include "commands/edit_command_parts.h"
#include "document/compound_fragment.h"
#include "document/doc_flags.h"
#include "document/par.h"
#include "editing/edit_codes.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kDeleteCells = 16150;
constexpr uint32_t kClipboardWait = 10000;
constexpr uint8_t kNoTableKind = 255;
constexpr uint32_t kDropCopy = 2, kDropSmartSpacing = 0x40;

// Mutes the event sounds for its extent, also when the command raises.
class TMuted {
 public:
  TMuted() { CommandEnvironment().MuteSounds(); }
  ~TMuted() { CommandEnvironment().UnmuteSounds(); }
  TMuted(const TMuted&) = delete;
  TMuted& operator=(const TMuted&) = delete;
};

// Sets a manager flag for its extent.
class TManagerFlag {
 public:
  TManagerFlag(TCommandManager& manager, uint32_t flag) : manager_(manager), flag_(flag) { manager_.Flags |= flag_; }
  ~TManagerFlag() { manager_.Flags &= ~flag_; }
  TManagerFlag(const TManagerFlag&) = delete;
  TManagerFlag& operator=(const TManagerFlag&) = delete;

 private:
  TCommandManager& manager_;
  uint32_t flag_;
};

// The table kind of a cell selection (255 for any other selection).
uint8_t CopiedTableKind(TDoc& doc) {
  if (!doc.HasSelection() || !doc.IsCellSelection(*doc.Selection)) return kNoTableKind;
  return static_cast<uint8_t>(CommandEnvironment().TableSelectionKind(doc));
}

// Puts the selection on the clipboard; false when the copy failed (the clipboard is closed in
// every case).
bool CopyToClipboard(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TManagerFlag writing(run.Manager, TCommandManager::cmWritingClipboard);
  TEditCommandServices& services = EditCmd();
  const uint8_t kind = CopiedTableKind(doc);
  bool copied = false;
  if (services.OpenClipboard(kClipboardWait)) {
    copied = services.CopySelection(doc, kind);
    services.CloseClipboard();
  }
  return copied;
}

void ReportCopyFailure() {
  ShowError("Error copying data to the clipboard. This error might be caused by lack of system resources.");
}

// The deletion that follows a cut: whole cells go by the delete-cells command.
void DeleteCutSelection(TEditRun& run) {
  const int32_t kind = CommandEnvironment().TableSelectionKind(*run.Doc);
  if (run.Doc->HasSelection() && run.Doc->IsCellSelection(*run.Doc->Selection) && kind >= 1 && kind <= 3)
    run.Manager.Execute(kDeleteCells);
  else
    DeleteSelectionCommand(true);
}

void Copy(TEditRun& run) {
  const bool copied = CopyToClipboard(run);
  if (copied && !InternalOption(opt::InternalVadureVaviCollects)) PlaySound(sndCopy);
  if (!copied) ReportCopyFailure();
  CommandEnvironment().UpdateInterfaceState();
}

// A failed copy leaves the text where it is: cutting it would lose it.
void Cut(TEditRun& run) {
  if (!CopyToClipboard(run)) {
    ReportCopyFailure();
    return;
  }
  DeleteCutSelection(run);
  if (!run.Doc->HasSelection()) PlaySound(sndCut);
}

void Paste(TEditRun& run, int32_t mode, int32_t format) {
  TPasteRequest request;
  request.Source = 0;
  request.Mode = mode;
  request.Format = format;
  EditCmd().Paste(*run.Doc, request);
  PlaySound(sndPaste);
}

// Appends the selection to the Vadure Vavi, after a paragraph mark when its last paragraph holds
// text; both steps undo together there.
void AppendToVadureVavi(TEditRun& run) {
  TEditCommandServices& services = EditCmd();
  TDoc* bank = services.GetVadureVavi();
  if (bank == nullptr) return;
  const int32_t last = bank->LastParagraphOfStory(stMain);
  MakePosition(last, bank->ParLength(last) - 1, bank->Caret);
  bank->ClearSelection();
  bool markMade = false;
  if (bank->ParLength(last) > 1) {
    TMuted muted;
    TCommandTargetScope target(bank);
    const uint16_t saved = GetOptions().Autocorrect.Flags;
    GetOptions().Autocorrect.Flags &= static_cast<uint16_t>(~opt::AutocorrectAsYouType);
    const uint32_t before = LastSerial(*bank);
    run.Manager.Execute(3000);
    GetOptions().Autocorrect.Flags = saved;
    markMade = LastSerial(*bank) != before;
    if (markMade) NameLastOperation(*bank, onPaste, false);
  }
  const uint32_t before = LastSerial(*bank);
  services.AddSelectionToVadureVavi(*run.Doc);
  if (markMade && LastSerial(*bank) != before) NameLastOperation(*bank, onPaste, true);
  PlaySound(sndBankAppend);
}

// Duplicates the selection: a single range after itself, several ranges before the first.
void Duplicate(TEditRun& run) {
  TDoc& doc = *run.Doc;
  if (!doc.HasSelection()) return;
  const TDocRange first = *doc.Selection->GetRange(0);
  const TDocRange lastRange = *doc.Selection->LastRange;
  const bool single = doc.Selection->Count() == 1;
  TDocPosition drop = single ? first.End : first.Start;
  uint32_t flags = 0;
  if (single) {
    flags = kDropCopy;
    if (EditOption(opt::EditSmartCutPaste) && doc.IsRangeWordBounded(first)) flags |= kDropSmartSpacing;
  }
  // A drop point at the end of a paragraph moves to the start of the next one.
  if (drop.Par + 1 < doc.ParCount() && drop.Offset >= doc.ParLength(drop.Par)) {
    MakePosition(drop.Par + 1, 0, drop);
    MakePosition(doc.GetMergeStartPar(drop.Par), 0, drop);
  }
  TDocPosition lastEnd = lastRange.End;
  TDocRange firstRange = first;
  int32_t word = static_cast<int32_t>(flags);
  void* args[] = {doc.Selection.get(), &firstRange, &lastEnd, &drop, &word};
  doc.ExecuteEdit(ecDropContent, args, 4);
}

// Copy (3510) or paste (3511) the font and the paragraph format together.
void AllFormatting(TEditRun& run) {
  if (run.Id == 3510) {
    run.Manager.Execute(9020);
    run.Manager.Execute(12020);
    return;
  }
  TDoc& doc = *run.Doc;
  uint32_t before = LastSerial(doc);
  run.Manager.Execute(9040);
  const bool first = LastSerial(doc) != before;
  if (first) NameLastOperation(doc, onPasteAllFormatting, false);
  before = LastSerial(doc);
  run.Manager.Execute(12040);
  if (LastSerial(doc) != before) NameLastOperation(doc, onPasteAllFormatting, first);
}

}  // namespace

bool RunClipboardCommand(TEditRun& run) {
  const int32_t id = run.Id;
  const bool ours = id == 3340 || id == 3420 || id == 3360 || (id >= 3380 && id <= 3384) || id == 3400 ||
                    id == 3440 || id == 3445 || id == 3460 || id == 3480 || id == 3485 || id == 3486 ||
                    id == 3500 || id == 3510 || id == 3511;
  if (!ours) return false;
  TEditCommandServices& services = EditCmd();
  TCommandEnvironment& env = CommandEnvironment();
  switch (id) {
    case 3460:
      if (services.GetVadureVavi() != nullptr) services.ClearVadureVavi();
      PlaySound(sndBankClear);
      return true;
    case 3485:
      ToggleInternalOption(opt::InternalVadureVaviCollects);
      env.RequestInterfaceUpdate();
      services.RefreshVadureVaviButton();
      return true;
    case 3486:
      ToggleInternalOption(opt::InternalVadureVaviPlainText);
      env.RequestInterfaceUpdate();
      return true;
    default: break;
  }
  if (run.Doc == nullptr) return true;
  switch (id) {
    case 3340: Copy(run); break;
    case 3420: Cut(run); break;
    case 3400: {
      int32_t format = 0;
      if (services.ExecutePasteSpecialDialog(format)) Paste(run, 3360, format);
      break;
    }
    case 3440: AppendToVadureVavi(run); break;
    case 3445: {
      AppendToVadureVavi(run);
      {
        TMuted muted;
        DeleteCutSelection(run);
      }
      if (!run.Doc->HasSelection()) PlaySound(sndBankCut);
      break;
    }
    case 3480:
      run.Doc->ExecuteEdit(ecPasteVadureVavi, nullptr, -1);
      PlaySound(sndBankPaste);
      break;
    case 3500: Duplicate(run); break;
    case 3510:
    case 3511: AllFormatting(run); break;
    default: Paste(run, id, 0); break;  // 3360, 3380-3384
  }
  return true;
}

}  // namespace qv
