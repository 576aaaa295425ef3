#pragma once
// The parts of the edit range's handler (edit_commands.cpp dispatches to them) and the helpers
// they share. Each Run* answers whether the id was one of its own.
#include <cstdint>
#include <string>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/edit_command_services.h"
#include "document/doc.h"

namespace qv {

class TMemory;

// One run of a command of the range: the manager, the target document (may be null) and the id.
struct TEditRun {
  TCommandManager& Manager;
  TDoc* Doc;
  int32_t Id;
};

bool RunInsertCommand(TEditRun& run);     // insert_commands.cpp
bool RunDeleteCommand(TEditRun& run);     // delete_commands.cpp
bool RunClipboardCommand(TEditRun& run);  // clipboard_commands.cpp
bool RunSelectionCommand(TEditRun& run);  // selection_commands.cpp
bool RunBrowseCommand(TEditRun& run);     // browse_commands.cpp
bool RunFieldCommand(TEditRun& run);      // field_commands.cpp
bool RunNoteCommand(TEditRun& run);       // note_commands.cpp
bool RunClipCommand(TEditRun& run);       // clip_commands.cpp
// After any command: two tables that a deletion brought together are joined.
void JoinTablesAfterDeletion(TEditRun& run);

// Event sounds of the edit commands.
enum : int32_t {
  sndAutoCorrect = 2200,
  sndDelete = 2300,
  sndCopy = 2320,
  sndPaste = 2340,
  sndCut = 2360,
  sndBankAppend = 2380,
  sndBankCut = 2385,
  sndBankClear = 2400,
  sndBankPaste = 2420,
  sndDateTime = 2460,
  sndInsertMode = 2520,
  sndUndo = 2540,
  sndRedo = 2560,
  sndTypeBreak = 12400,
};

// Operation names the commands give their edits.
enum : uint8_t {
  onPaste = 13,
  onPasteAllFormatting = 14,
  onTextInput = 15,
  onDeleteText = 20,
  onInsertField = 47,
  onHorizontalLine = 66,
};

inline TEditCommandServices& EditCmd() { return EditCommandServices(); }
inline void PlaySound(int32_t id) { CommandEnvironment().PlayEventSound(id); }

// Types the bytes at the selection or caret (edit code 13) with the insertions keeping their own
// font; `flags` as the typing takes them.
void TypeBytes(TDoc& doc, const TMemory& bytes, uint32_t flags = 0);
// The serial of the document's last operation, to tell whether a call made one.
uint32_t LastSerial(const TDoc& doc);
// Gives the last operation a name and, when `chain`, chains it to the operation before it, so
// that one Undo takes both back.
void NameLastOperation(TDoc& doc, uint8_t name, bool chain);
// Whether the selection (or caret) lies in the footnotes or endnotes.
bool SelectionStartInNotes(TDoc& doc);
// The selection's single range, or the caret as an empty range.
TDocRange FirstRangeOrCaret(const TDoc& doc);
// Selects the range (the caret at its end) as the program, not the user, does.
void SelectRange(TDoc& doc, const TDocRange& range);
// The note-mark message of deletions that would remove the last mark of a note.
void ShowNoteMarkMessage();

}  // namespace qv
