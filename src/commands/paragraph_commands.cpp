#include "commands/paragraph_commands.h"

#include <memory>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/paragraph_command_services.h"
#include "document/doc.h"
#include "document/selection_flags.h"
#include "editing/edit_flags.h"
#include "editing/edit_codes.h"
#include "editing/ops/multi_selection.h"

namespace qv {

namespace {

constexpr uint8_t kMouseModeFormatBrush = 2;

// Keeps the typing format from being read again at the caret while the command changes the
// document, and clears it (with the byte that keeps a commit from scrolling) on every road out.
class TKeepTypingFormat {
 public:
  explicit TKeepTypingFormat(TDoc& doc) : doc_(doc) { doc_.SetDocFlag(dfKeepCurCharFormat, true); }
  ~TKeepTypingFormat() {
    doc_.SetDocFlag(dfKeepCurCharFormat, false);
    doc_.SetDocFlag(dfKeepViewStill, false);
  }
  TKeepTypingFormat(const TKeepTypingFormat&) = delete;
  TKeepTypingFormat& operator=(const TKeepTypingFormat&) = delete;

 private:
  TDoc& doc_;
};

// The common end: the brush takes the change set, or the document gets what differs from its
// current format as one edit. An empty change set makes no operation.
void ApplyChanges(TParRun& run) {
  if (run.Brush) {
    CopyParFormatToClipboard(run.Changes, ParFormatClipboard().Text);
    CommandEnvironment().RequestInterfaceUpdate();
    CommandEnvironment().CheckFormatBrushName();
    return;
  }
  SubtractParFormat(run.Changes, run.Doc.CurParFormat);
  if (IsParFormatEmpty(run.Changes)) return;
  RunEdit(run.Doc, ecFormatParagraphs, {run.Fragment.get(), nullptr, &run.Changes});
}

}  // namespace

void RunEdit(TDoc& doc, uint8_t code, std::initializer_list<void*> args) {
  std::vector<void*> list(args);
  doc.ExecuteEdit(code, list.empty() ? nullptr : list.data(), static_cast<int32_t>(list.size()) - 1);
}

void TParagraphCommands::Execute(TCommandManager& manager, int32_t id) {
  TDoc* doc = GetCommandTargetDoc();
  if (doc == nullptr) return;
  CommandEnvironment().AddEditingTime(*doc);
  DeactivateOvertypeMulSelection(*doc);
  TKeepTypingFormat keep(*doc);
  TParRun run{manager, *doc, id, false, UnsetParFormat, UnsetParFormat, doc->GetSelectionFragment(), false};
  run.Brush = CommandEnvironment().MouseMode() == kMouseModeFormatBrush && IsFormatBrushCommand(id);
  if (run.Brush) {
    run.Base = ParFormatClipboard().Format;
    run.Changes = run.Base;
  } else {
    run.Base = doc->CurParFormat;
  }
  RunParagraphFormatCommand(run) || RunListCommand(run) || RunStyleCommand(run);
  if (!run.OwnEnd) ApplyChanges(run);
}

void RegisterParagraphCommands(TCommandManager& manager) {
  constexpr size_t kParagraphParamRange = 3;  // 209000-211999
  manager.SetHandler(CommandRange::Paragraph, std::make_unique<TParagraphCommands>());
  manager.SetParamHandler(kParagraphParamRange, MakeParagraphParamCommands());
}

}  // namespace qv
