#include "commands/edit_commands.h"

#include <array>
#include <utility>

#include "commands/command_options.h"
#include "commands/edit_command_parts.h"
#include "document/compound_fragment.h"
#include "document/doc_flags.h"
#include "editing/edit_codes.h"
#include "editing/operation.h"
#include "editing/ops/multi_selection.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/undo_stack.h"
#include "foundation/base/memory.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr std::array<char16_t, 28> kSpecialCharacters = {
    0x0D, 0x0B, 0x0C, 0x09, 0xA9, 0xAE, 0x99, 0xA0, 0x10, 0x1F, 0x85, 0x97, 0x96, 0x27,
    0x91, 0x92, 0x93, 0x94, 0xAB, 0xBB, 0x84, 0x93, 0x0F, 0xA7, 0xB6, 0x2003, 0x2002, 0x2005};

bool IsUndoCommand(int32_t id) { return id == 3840 || id == 3860 || id == 3880 || id == 3900; }

}  // namespace

char16_t SpecialCharacterOf(int32_t id) {
  const int32_t index = id - 3000;
  return index >= 0 && index < static_cast<int32_t>(kSpecialCharacters.size())
             ? kSpecialCharacters[static_cast<size_t>(index)]
             : 0;
}

void TEditCommandServices::Paste(TDoc& doc, const TPasteRequest& request) {
  if (request.Source != 3 || request.Character == 0) return;
  TMemory text;
  uint32_t flags = 0;
  if (request.Character < 0x100) {
    text.AppendByte(static_cast<uint8_t>(request.Character));
  } else {
    text.AppendWideString(std::u16string(1, request.Character));
    flags = idfUtf16;
  }
  TypeBytes(doc, text, flags);
}

void RegisterEditCommandServices(std::unique_ptr<TEditCommandServices> services) {
  RegisterService(std::move(services));
}
TEditCommandServices& EditCommandServices() { return Service<TEditCommandServices>(); }

void TypeBytes(TDoc& doc, const TMemory& bytes, uint32_t flags) {
  TScopedDocFlag ownFont(doc, dfKeepOwnFont);
  TMemory text;
  text.SetData(bytes.Data, bytes.Length);
  int32_t word = static_cast<int32_t>(flags);
  void* args[] = {&text, &word};
  doc.ExecuteEdit(ecTypeText, args, 1);
}

uint32_t LastSerial(const TDoc& doc) { return doc.LastOperationSerial(); }

void NameLastOperation(TDoc& doc, uint8_t name, bool chain) {
  TOperation* op = OperationAt(doc, doc.UndoPosition);
  if (op == nullptr) return;
  op->NameIndex = name;
  if (chain && doc.UndoPosition > 0) op->Flags |= TOperation::ofChained;
}

bool SelectionStartInNotes(TDoc& doc) {
  const int32_t par = FirstRangeOrCaret(doc).Start.Par;
  const int32_t story = doc.StoryOfParagraph(std::clamp(par, 0, doc.ParCount() - 1));
  return story == stFootnotes || story == stEndnotes;
}

TDocRange FirstRangeOrCaret(const TDoc& doc) {
  if (doc.HasSelection() && doc.Selection) return *doc.Selection->GetRange(0);
  return TDocRange{doc.Caret, doc.Caret};
}

void SelectRange(TDoc& doc, const TDocRange& range) {
  constexpr int32_t kProgramSelection = 17;
  TScopedDocFlag programSelection(doc, kProgramSelection);
  doc.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
  doc.Caret = range.End;
}

void ShowNoteMarkMessage() {
  ShowInfo(
      "The last paragraph mark of a footnote/endnote cannot be deleted.\rTo remove a whole "
      "footnote/endnote, you must delete the corresponding footnote/endnote reference mark in the "
      "document main text. The note itself will be removed automatically.");
}

void TEditCommands::Execute(TCommandManager& manager, int32_t id) {
  TDoc* doc = GetCommandTargetDoc();
  manager.TableJoin = false;
  if (doc != nullptr) {
    CommandEnvironment().AddEditingTime(*doc);
    if (!IsUndoCommand(id)) DeactivateOvertypeMulSelection(*doc);
  }
  TEditRun run{manager, doc, id};
  RunInsertCommand(run) || RunDeleteCommand(run) || RunClipboardCommand(run) || RunSelectionCommand(run) ||
      RunBrowseCommand(run) || RunFieldCommand(run) || RunNoteCommand(run) || RunClipCommand(run);
  JoinTablesAfterDeletion(run);
}

void RegisterEditCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::Edit, std::make_unique<TEditCommands>());
}

}  // namespace qv
