#include "editing/object_edit_providers.h"

#include <vector>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/notes.h"
#include "document/shape.h"
#include "editing/edit_codes.h"

namespace qv {

namespace {

class TObjectEditProviders : public TEditOperationProviders {
 public:
  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecApplyList:
        doc.ApplyList(OperationArg<TAutoList>(a, n, 0));
        return true;
      case ecRemoveListFormat:
        doc.RemoveListFormat();
        return true;
      case ecRemoveList:
        doc.RemoveList(OperationArg<TAutoList>(a, n, 0));
        return true;
      case ecApplyListAsNew:
        doc.ApplyListAsNew(OperationArg<TAutoList>(a, n, 0));
        return true;
      case ecConvertListNumbers:
        doc.ConvertListNumbersToText(OperationArg<TAutoList>(a, n, 0));
        return true;
      case ecChangeListNumberSize:
        if (const auto* grow = OperationArg<uint8_t>(a, n, 0)) doc.ChangeListNumberSize(*grow != 0, true);
        return true;
      case ecChangeListDefinition:
        if (const auto* definition = OperationArg<TAutoList>(a, n, 1)) {
          auto copy = std::make_unique<TAutoList>();
          copy->Assign(*definition);
          doc.ApplyListDefinitionChange(OperationArg<TAutoList>(a, n, 0), std::move(copy));
        }
        return true;
      case ecInsertNote:
        if (const auto* options = OperationArg<TInsertNoteOptions>(a, n, 0)) doc.InsertNote(*options);
        return true;
      case ecConvertNotes:
        if (const auto* notes = OperationArg<std::vector<TField*>>(a, n, 0)) doc.ConvertNotes(*notes);
        return true;
      case ecLockSelection:
        doc.LockUnlockSelection(OperationArg<std::vector<TField*>>(a, n, 0));
        return true;
      case ecFormatShapes: {
        const auto* shapes = OperationArg<std::vector<TShape*>>(a, n, 0);
        const auto* mode = OperationArg<uint8_t>(a, n, 1);
        if (shapes != nullptr && mode != nullptr) doc.FormatShapes(*shapes, *mode, OperationArg<const void>(a, n, 2));
        return true;
      }
      default:
        return false;
    }
  }
};

}  // namespace

std::unique_ptr<TEditOperationProviders> MakeObjectEditProviders() {
  return std::make_unique<TObjectEditProviders>();
}

}  // namespace qv
