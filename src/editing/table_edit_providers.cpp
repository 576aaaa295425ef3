#include "editing/table_edit_providers.h"

#include <string>
#include <vector>

#include "document/doc.h"
#include "document/doc_properties.h"
#include "document/field.h"
#include "document/section.h"
#include "editing/edit_codes.h"

namespace qv {

namespace {

class TTableEditProviders : public TEditOperationProviders {
 public:
  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecFormatTableRows:
        if (auto* request = OperationArg<TFormatRowsRequest>(a, n, 0)) doc.FormatRows(*request);
        return true;
      case ecGoToNextCell:
        doc.GoToNextCell(OperationArgValue<int32_t>(a, n, 0, doc.Caret.Par));
        return true;
      case ecInsertTable: {
        const auto* templates = OperationArg<std::vector<TTableRowData>>(a, n, 2);
        doc.InsertTable(OperationArgValue<int32_t>(a, n, 0, 1), OperationArgValue<int32_t>(a, n, 1, 1), 0, templates);
        return true;
      }
      case ecDeleteCells:
        doc.DeleteCells(OperationArgValue<uint8_t>(a, n, 0, 0));
        return true;
      case ecPerformTableInsertion:
        doc.PerformTableInsertion();
        return true;
      case ecInsertRowsAbove:
      case ecInsertRowsBelow:
        doc.InsertRows(code == ecInsertRowsAbove);
        return true;
      case ecInsertColumnsLeft:
      case ecInsertColumnsRight:
        doc.InsertColumns(code == ecInsertColumnsLeft, nullptr, false);
        return true;
      case ecInsertCells:
        doc.InsertCells(OperationArgValue<uint8_t>(a, n, 0, 0) != 0);
        return true;
      case ecMergeCells:
        doc.MergeCells();
        return true;
      case ecSplitCells:
        doc.SplitCells();
        return true;
      case ecSplitTable:
        doc.SplitTable();
        return true;
      case ecDistributeRows:
        doc.DistributeRows();
        return true;
      case ecDistributeColumns:
        doc.DistributeColumns();
        return true;
      case ecConvertTableToText:
        doc.ConvertTableToText();
        return true;
      case ecConvertTextToTable:
        doc.ConvertTextToTable(OperationArgValue<int32_t>(a, n, 0, 2), OperationArgValue<int32_t>(a, n, 1, 1),
                               OperationArgValue<int32_t>(a, n, 2, 9));
        return true;
      case ecApplySectionFormat: {
        const auto* format = OperationArg<TSectionFormat>(a, n, 0);
        const auto* range = OperationArg<TDocRange>(a, n, 1);
        if (format != nullptr && range != nullptr) doc.FormatSectionRange(*range, *format);
        return true;
      }
      case ecToggleSameAsPrevious:
        doc.ToggleSameAsPrevious(OperationArgValue<uint8_t>(a, n, 0, doc.IsHeaderFooterSameAsPrevious() ? 1 : 0) != 0);
        return true;
      case ecMergeSections: {
        auto* staying = OperationArg<TSection>(a, n, 0);
        auto* other = OperationArg<TSection>(a, n, 1);
        if (staying != nullptr && other != nullptr) doc.MergeSectionFormats(*staying, *other);
        return true;
      }
      case ecChangeFieldTypes: {
        const auto* fields = OperationArg<std::vector<TField*>>(a, n, 0);
        const auto* arguments = OperationArg<std::vector<std::u16string>>(a, n, 2);
        if (fields != nullptr)
          doc.ChangeFieldTypes(*fields, OperationArgValue<uint8_t>(a, n, 1, 0),
                               arguments != nullptr ? *arguments : std::vector<std::u16string>{});
        return true;
      }
      case ecChangeDocProperties:
        if (const auto* props = OperationArg<TDocProps>(a, n, 0)) doc.ChangeDocProperties(*props);
        return true;
      case ecSetNoteSeparator:
        doc.SetNoteSeparatorFlags(OperationArgValue<uint8_t>(a, n, 0, doc.NoteSeparatorFlags));
        return true;
      case ecFormatDropCaps: {
        // Elements 1 and 2: the settings (none removes the drop caps) and the font name.
        const auto* settings = OperationArg<TDropCapSettings>(a, n, 1);
        const auto* font = OperationArg<std::string>(a, n, 2);
        doc.ApplyDropCaps(OperationArg<std::vector<TField*>>(a, n, 0), settings, font != nullptr ? *font : std::string());
        return true;
      }
      case ecAlignTableWithPrevious:
        doc.AlignTableWithPrevious(OperationArgValue<int32_t>(a, n, 0, doc.Caret.Par));
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

std::unique_ptr<TEditOperationProviders> MakeTableEditProviders() {
  return std::make_unique<TTableEditProviders>();
}

}  // namespace qv
