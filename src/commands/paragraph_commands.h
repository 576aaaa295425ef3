#pragma once
// The handler of the paragraph range (ids 9000-11999): paragraph formatting (the dialog,
// alignment, indents, spacing, keep and break options, borders, tabs, copying and pasting the
// paragraph format), automatic lists (bullets, numbering, outlines, list levels, the list dialog
// and the Control Board's lists tool) and styles. A formatting command fills a change set that
// the common end applies to the selection (or the caret's paragraph) as one undoable edit; in the
// Format Brush mouse mode the change set goes to the brush instead.
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "commands/command_manager.h"
#include "document/fragment_pool.h"
#include "document/par_format.h"

namespace qv {

class TDoc;

class TParagraphCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

// Registers the handler of the range and that of the paragraph sub-range of the parameterised
// commands (209000-211999: a style by name, a tab stop, an outline level).
void RegisterParagraphCommands(TCommandManager& manager);
std::unique_ptr<TCommandHandler> MakeParagraphParamCommands();  // paragraph_param_commands.cpp

// One run of a command of the range.
struct TParRun {
  TCommandManager& Manager;
  TDoc& Doc;
  int32_t Id;
  bool Brush = false;          // the Format Brush carries this command's formatting
  TParFormat Changes;          // what the command changes; unset properties stay as they are
  TParFormat Base;             // the format the command starts from
  TFragmentRef Fragment;       // the selection, or the caret's paragraph
  bool OwnEnd = false;         // the command ended itself: the common end is skipped
};

bool RunParagraphFormatCommand(TParRun& run);  // paragraph_format_commands.cpp
bool RunListCommand(TParRun& run);             // list_commands.cpp
bool RunStyleCommand(TParRun& run);            // style_commands.cpp

// Runs an edit action code on the run's document with the arguments.
void RunEdit(TDoc& doc, uint8_t code, std::initializer_list<void*> args);

}  // namespace qv
