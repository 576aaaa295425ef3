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

template <class T>
T* Arg(void* const* args, int32_t lastIndex, int32_t i) {
  return args != nullptr && i <= lastIndex ? static_cast<T*>(args[i]) : nullptr;
}

template <class T>
T ArgValue(void* const* args, int32_t lastIndex, int32_t i, T fallback) {
  const T* p = Arg<T>(args, lastIndex, i);
  return p ? *p : fallback;
}

class TTextEditProviders : public TEditOperationProviders {
 public:
  // Sorting offers to select the duplicates once its operation is committed.
  void RunChain(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    if (code != ecSortParagraphs || !lastSortChanged_) return;
    lastSortChanged_ = false;
    OfferSelectDuplicates(doc, ArgValue<int32_t>(a, n, 0, 0), ArgValue<int32_t>(a, n, 1, -1));
  }

  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecTypeFragment:
        doc.UpdateTypingFormat(doc.Caret, 0);
        if (auto* m = Arg<TMemory>(a, n, 0))
          TypeFragment(doc, *m, ArgValue<int32_t>(a, n, 1, 0),
                       static_cast<uint32_t>(ArgValue<int32_t>(a, n, 2, 0)));
        return true;
      case ecInsertSymbol: {
        // The character, its font's face name and whether it is a byte of the code page (the
        // second kind of character code).
        const auto* face = Arg<std::string>(a, n, 1);
        InsertSymbol(doc, static_cast<uint32_t>(ArgValue<int32_t>(a, n, 0, 0)),
                     face ? *face : std::string(), ArgValue<uint8_t>(a, n, 2, 0) == 1);
        return true;
      }
      case ecTypeText:
        if (auto* m = Arg<TMemory>(a, n, 0))
          TypeText(doc, *m, static_cast<uint32_t>(ArgValue<int32_t>(a, n, 1, 0)));
        return true;
      case ecDeleteText: {
        const auto* range = Arg<TDocRange>(a, n, 1);
        const TDocRange r = range ? *range : TDocRange{doc.Caret, doc.Caret};
        DeleteText(doc, Arg<TCompoundFragment>(a, n, 0), r.Start,
                   static_cast<uint32_t>(ArgValue<int32_t>(a, n, 3, 0)), r.End);
        return true;
      }
      case ecReplaceWithText: {
        auto* s = Arg<TDocPosition>(a, n, 0);
        auto* e = Arg<TDocPosition>(a, n, 1);
        auto* t = Arg<TMemory>(a, n, 2);
        if (s && e && t)
          ReplaceWithText(doc, *s, *e, static_cast<uint32_t>(ArgValue<int32_t>(a, n, 3, 0)), *t);
        return true;
      }
      case ecJoinParagraphs:
        JoinParagraphs(doc, ArgValue<int32_t>(a, n, 0, 0), ArgValue<int32_t>(a, n, 1, -1));
        return true;
      case ecSplitParagraphs:
        SplitParagraphs(doc, ArgValue<int32_t>(a, n, 0, 0), ArgValue<int32_t>(a, n, 1, -1));
        return true;
      case ecSortParagraphs:
        lastSortChanged_ = SortParagraphs(doc, ArgValue<int32_t>(a, n, 0, 0),
                                          ArgValue<int32_t>(a, n, 1, -1), ArgValue<uint8_t>(a, n, 2, 0));
        return true;
      case ecMoveParagraphs:
        MoveParagraphs(doc, ArgValue<int32_t>(a, n, 0, 0));
        return true;
      case ecChangeCase:
        ConvertText(doc, Arg<TCompoundFragment>(a, n, 0), Arg<TDocRange>(a, n, 1),
                    n >= 4 ? Arg<void>(a, n, 4) : nullptr,
                    static_cast<uint32_t>(ArgValue<int32_t>(a, n, 3, 0)), ArgValue<uint8_t>(a, n, 2, 0));
        return true;
      case ecChangeDefaultLanguage:
        ChangeDefaultLanguage(doc, ArgValue<int32_t>(a, n, 0, 0));
        return true;
      case kSetHyphenationOptions:
        if (auto* s = Arg<THyphenationSettings>(a, n, 0)) SetHyphenationOptions(doc, *s);
        return true;
      case 83:
        BeginMultiSelectionTyping(doc);
        return true;
      case 84:
        SetFastNavMarks(doc, ArgValue<int32_t>(a, n, 0, 0));
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
