#pragma once
// The table commands (ids 15900-16190) of the picture, section and table handler: inserting
// tables or converting text to tables, inserting rows, columns and cells, selecting cells,
// columns, rows and tables, merging and splitting cells and tables, deleting cells, distributing
// rows and columns, converting tables to text, cell alignment, header rows, gridlines and the
// Table Properties dialog. Every change goes through the edit dispatcher as one undoable step.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TCommandManager;
class TDoc;
class TTableRow;

inline constexpr int32_t kFirstTableCommand = 15900;
inline constexpr int32_t kLastTableCommand = 16190;

// Runs a table command on the target document (null: only the commands that need none run).
void RunTableCommand(TCommandManager& manager, int32_t id, TDoc* doc);

// The rows the selection touches (the caret's row without one), each once, in document order.
std::vector<TTableRow*> SelectedTableRows(TDoc& doc);

// The separator code of a choice of the conversion dialogs: 2 paragraph marks, 9 tabs, 44
// commas, or the first character of the "Other:" text.
int32_t SeparatorOfOther(const std::u16string& other, int32_t whenEmpty);

// Shows the default table document, creating it with a 10 by 10 table when it has none.
void OpenDefaultTableDocument(TCommandManager& manager);

}  // namespace qv
