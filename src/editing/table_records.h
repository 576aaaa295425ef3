#pragma once
// The row record: changes of table rows' data blocks. It keeps, per row, only the values that
// differ between the row and its new data block; every run exchanges them with the live row, so
// undo and redo restore exactly the values that changed.
#include <cstdint>
#include <vector>

#include "document/table_requests.h"
#include "editing/undo_records.h"

namespace qv {

class TFormatRowsOperation : public TSubOperation {
 public:
  // One value of a row's data block that the record exchanges: its slot (see RowValueSlotCount)
  // and the value that is not in the row at the moment.
  struct TValue {
    int32_t Slot;
    int32_t Value;
  };
  struct TRowChange {
    TTableRow* Row;
    std::vector<TValue> Values;
  };

  // Compares each row of the request with its new data block and keeps the differences.
  TFormatRowsOperation(TDoc& doc, const TFormatRowsRequest& request);
  void Undo() override;
  const char* ClassName() const override { return "TFormatRowsOperation"; }
  bool Empty() const { return Changes.empty(); }

  std::vector<TRowChange> Changes;
  int32_t Par;
  TRowViewPos ViewPosA, ViewPosB;
  TDocPosition UpdatePos;
};

// The values of a row's data block, addressed by slot: every field of the row and of its 63
// cells except the references to the neighbouring rows and the changed mark, which layout keeps.
int32_t RowValueSlotCount();
int32_t GetRowValue(const TTableRowData& data, int32_t slot);
void SetRowValue(TTableRowData& data, int32_t slot, int32_t value);

}  // namespace qv
