#include "editing/ops/text_edit_providers.h"

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "editing/edit_codes.h"
#include "editing/ops/case_conversion.h"
#include "editing/ops/deletion.h"
#include "editing/ops/go_back.h"
#include "editing/ops/hyphenation_operations.h"
#include "editing/ops/insert_symbol.h"
#include "editing/ops/multi_selection.h"
#include "editing/ops/paragraph_operations.h"
#include "editing/ops/typing.h"

namespace qv {

namespace {

constexpr uint8_t kSetHyphenationOptions = 49;

class TTextEditProviders : public TEditOperationProviders {
 public:
  // Sorting offers to select the duplicates once its operation is committed.
  void RunChain(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    if (code != ecSortParagraphs || !lastSortChanged_) return;
    lastSortChanged_ = false;
    OfferSelectDuplicates(doc, OperationArgValue<int32_t>(a, n, 0, 0), OperationArgValue<int32_t>(a, n, 1, -1));
  }

  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecTypeFragment:
        doc.UpdateTypingFormat(doc.Caret, 0);
        if (auto* m = OperationArg<TMemory>(a, n, 0))
          TypeFragment(doc, *m, OperationArgValue<int32_t>(a, n, 1, 0),
                       static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 2, 0)));
        return true;
      case ecInsertSymbol: {
        // The character, its font's face name and whether it is a byte of the code page (the
        // second kind of character code).
        const auto* face = OperationArg<std::string>(a, n, 1);
        InsertSymbol(doc, static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 0, 0)),
                     face ? *face : std::string(), OperationArgValue<uint8_t>(a, n, 2, 0) == 1);
        return true;
      }
      case ecTypeText:
        if (auto* m = OperationArg<TMemory>(a, n, 0))
          TypeText(doc, *m, static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 1, 0)));
        return true;
      case ecDeleteText: {
        const auto* range = OperationArg<TDocRange>(a, n, 1);
        const TDocRange r = range ? *range : TDocRange{doc.Caret, doc.Caret};
        DeleteText(doc, OperationArg<TCompoundFragment>(a, n, 0), r.Start,
                   static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 3, 0)), r.End);
        return true;
      }
      case ecReplaceWithText: {
        auto* s = OperationArg<TDocPosition>(a, n, 0);
        auto* e = OperationArg<TDocPosition>(a, n, 1);
        auto* t = OperationArg<TMemory>(a, n, 2);
        if (s && e && t)
          ReplaceWithText(doc, *s, *e, static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 3, 0)), *t);
        return true;
      }
      case ecJoinParagraphs:
        JoinParagraphs(doc, OperationArgValue<int32_t>(a, n, 0, 0), OperationArgValue<int32_t>(a, n, 1, -1));
        return true;
      case ecSplitParagraphs:
        SplitParagraphs(doc, OperationArgValue<int32_t>(a, n, 0, 0), OperationArgValue<int32_t>(a, n, 1, -1));
        return true;
      case ecSortParagraphs:
        lastSortChanged_ = SortParagraphs(doc, OperationArgValue<int32_t>(a, n, 0, 0),
                                          OperationArgValue<int32_t>(a, n, 1, -1), OperationArgValue<uint8_t>(a, n, 2, 0));
        return true;
      case ecMoveParagraphs:
        MoveParagraphs(doc, OperationArgValue<int32_t>(a, n, 0, 0));
        return true;
      case ecChangeCase:
        ConvertText(doc, OperationArg<TCompoundFragment>(a, n, 0), OperationArg<TDocRange>(a, n, 1),
                    n >= 4 ? OperationArg<void>(a, n, 4) : nullptr,
                    static_cast<uint32_t>(OperationArgValue<int32_t>(a, n, 3, 0)), OperationArgValue<uint8_t>(a, n, 2, 0));
        return true;
      case ecChangeDefaultLanguage:
        ChangeDefaultLanguage(doc, OperationArgValue<int32_t>(a, n, 0, 0));
        return true;
      case kSetHyphenationOptions:
        if (auto* s = OperationArg<THyphenationSettings>(a, n, 0)) SetHyphenationOptions(doc, *s);
        return true;
      case 83:
        BeginMultiSelectionTyping(doc);
        return true;
      case 84:
        SetFastNavMarks(doc, OperationArgValue<int32_t>(a, n, 0, 0));
        return true;
      default:
        return false;
    }
  }

 private:
  bool lastSortChanged_ = false;
};

}  // namespace

std::unique_ptr<TEditOperationProviders> MakeTextEditProviders() {
  return std::make_unique<TTextEditProviders>();
}

}  // namespace qv
