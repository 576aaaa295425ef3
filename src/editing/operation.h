#pragma once
// TOperation: one undoable user action, an ordered list of undo records with the selection and
// caret before and after, a name for captions and the flags that group typing and chain
// operations. The document's undo list holds them (editing/undo_stack.h).
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/edit_services.h"
#include "editing/undo_records.h"

namespace qv {

inline constexpr int32_t OperationNameCount = 69;
// The name of a name index ("operation" for an index outside the table).
const char* OperationName(int32_t index);

class TOperation : public TUndoableOperation {
 public:
  // Operation flags.
  static constexpr uint8_t ofTypedChar = 1;
  static constexpr uint8_t ofTypedSpace = 2;
  static constexpr uint8_t ofChained = 4;
  static constexpr uint8_t ofScrollCaret = 8;

  // Takes the next serial, copies the selection and caret as the state before; when a header
  // or footer is edited in place, keeps that field and its fields' shown texts.
  TOperation(TDoc& doc, uint8_t nameIndex);
  ~TOperation() override;

  std::vector<std::unique_ptr<TSubOperation>> Records;
  std::vector<std::pair<TField*, std::u16string>> FieldTextsBefore, FieldTextsAfter;
  bool HasFieldTextsBefore = false, HasFieldTextsAfter = false;
  TField* FieldBefore = nullptr;
  TField* FieldAfter = nullptr;
  uint32_t Serial = 0;
  uint8_t Flags = 0;
  uint8_t GroupKey = 0;
  uint8_t NameIndex = 0;
  TDoc* Doc;
  TFragmentRef SelectionBefore;
  TFragmentRef SelectionAfter;
  TDocPosition CaretBefore;
  TDocPosition CaretAfter;
  TOperation* Paired = nullptr;
  TDoc* NotedAfterUndo = nullptr;
  TDoc* NotedAfterRedo = nullptr;

  const char* Name() const { return OperationName(NameIndex); }
  bool HasFlag(uint8_t flag) const { return (Flags & flag) != 0; }
  bool NeedsProgress() const { return Records.size() > 49; }
  bool IsViewOnly() const { return NameIndex == 65 || NameIndex == 67; }
  void CaptureFieldTextsAfter();

  // Runs the records last to first (first to last) and hands the saved selection and caret
  // to the current post-actions.
  void Undo();
  void Redo();
  // Undoes the records performed so far and frees them (used to take back a failed edit).
  void Rollback();
};

// The program-wide serial counter's last value.
uint32_t LastIssuedOperationSerial();

}  // namespace qv
