#include "editing/object_edit_providers.h"

#include <vector>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/notes.h"
#include "document/shape.h"

namespace qv {

namespace {

enum : uint8_t {
  ecApplyList = 51,
  ecRemoveListFormat = 52,
  ecRemoveList = 53,
  ecApplyListAsNew = 54,
  ecConvertListNumbers = 55,
  ecChangeListNumberSize = 57,
  ecChangeListDefinition = 58,
  ecInsertNote = 59,
  ecConvertNotes = 60,
  ecLockSelection = 81,
  ecFormatShapes = 85,
};

template <class T>
T* Arg(void* const* args, int32_t lastIndex, int32_t i) {
  return args != nullptr && i <= lastIndex ? static_cast<T*>(args[i]) : nullptr;
}

class TObjectEditProviders : public TEditOperationProviders {
 public:
  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecApplyList:
        doc.ApplyList(Arg<TAutoList>(a, n, 0));
        return true;
      case ecRemoveListFormat:
        doc.RemoveListFormat();
        return true;
      case ecRemoveList:
        doc.RemoveList(Arg<TAutoList>(a, n, 0));
        return true;
      case ecApplyListAsNew:
        doc.ApplyListAsNew(Arg<TAutoList>(a, n, 0));
        return true;
      case ecConvertListNumbers:
        doc.ConvertListNumbersToText(Arg<TAutoList>(a, n, 0));
        return true;
      case ecChangeListNumberSize:
        if (const auto* grow = Arg<uint8_t>(a, n, 0)) doc.ChangeListNumberSize(*grow != 0, true);
        return true;
      case ecChangeListDefinition:
        if (const auto* definition = Arg<TAutoList>(a, n, 1)) {
          auto copy = std::make_unique<TAutoList>();
          copy->Assign(*definition);
          doc.ApplyListDefinitionChange(Arg<TAutoList>(a, n, 0), std::move(copy));
        }
        return true;
      case ecInsertNote:
        if (const auto* options = Arg<TInsertNoteOptions>(a, n, 0)) doc.InsertNote(*options);
        return true;
      case ecConvertNotes:
        if (const auto* notes = Arg<std::vector<TField*>>(a, n, 0)) doc.ConvertNotes(*notes);
        return true;
      case ecLockSelection:
        doc.LockUnlockSelection(Arg<std::vector<TField*>>(a, n, 0));
        return true;
      case ecFormatShapes: {
        const auto* shapes = Arg<std::vector<TShape*>>(a, n, 0);
        const auto* mode = Arg<uint8_t>(a, n, 1);
        if (shapes != nullptr && mode != nullptr) doc.FormatShapes(*shapes, *mode, Arg<const void>(a, n, 2));
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
