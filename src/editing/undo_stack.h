#pragma once
// The document's undo list: the open-operation stack that collects records while an edit runs,
// committing, undo and redo with grouping of typed text and chained operations, undo all and
// redo all, clearing, and the save, safe-copy and backup markers with the modified state that
// follows from them. TDoc's methods of the same names reach these through the editing services.
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;
class TOperation;
class TUndoableOperation;

void BeginOperation(TDoc& doc, TUndoableOperation* operation);
void EndOperation(TDoc& doc);
// Stores a finished operation (an empty one is freed and changes nothing).
void CommitOperation(TDoc& doc, std::unique_ptr<TUndoableOperation> operation);
void UndoOperations(TDoc& doc, bool runUpdate);
void RedoOperations(TDoc& doc);
void UndoAllOperations(TDoc& doc);
void RedoAllOperations(TDoc& doc);
void ClearUndoList(TDoc& doc);
void ClearRedoList(TDoc& doc);
uint32_t LastOperationSerialOf(const TDoc& doc);
uint32_t NextRedoSerialOf(const TDoc& doc);
// The operation at an index of the undo list (null outside it).
TOperation* OperationAt(const TDoc& doc, int32_t index);
// The operation currently open on the document (null for none or a non-recording stretch).
TOperation* CurrentOperationOf(const TDoc& doc);

// Whether the option "Group undo" is on (the editing flags' bit 1).
bool GroupUndoOption();

}  // namespace qv
