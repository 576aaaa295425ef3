#pragma once
// The handler of the edit range (ids 3000-5999): inserting characters, breaks, fields, dates,
// symbols, lines, pictures and files; deleting; the clipboard and the Vadure Vavi; duplicating
// and copying formats; find and replace; selection commands; undo and redo; paragraph and case
// operations; browsing; bookmarks, hyperlinks, tables of contents, fields, notes, addresses, the
// clip library, the index, the locked selection, selection instances and collapsed headings.
// Documents change only through TDoc::ExecuteEdit or the document's own operations, one undo
// step per command.
#include "commands/command_manager.h"

namespace qv {

class TEditCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

void RegisterEditCommands(TCommandManager& manager);

// The special characters of the insert commands (3000-3027), by id minus 3000: paragraph end,
// line break, page break, tab, (c), (R), TM, nonbreaking space and hyphen, optional hyphen,
// ellipsis, dashes, quotes, column break, section sign, pilcrow and three spaces.
char16_t SpecialCharacterOf(int32_t id);

}  // namespace qv
