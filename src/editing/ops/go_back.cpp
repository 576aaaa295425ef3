#include "editing/ops/go_back.h"

#include <memory>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/selection_services.h"
#include "editing/operation.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "editing/undo_records.h"
#include "editing/undo_stack.h"

namespace qv {

namespace {

constexpr int32_t kSetCaretFlags = 5;

void PlaceCaret(TDoc& doc, const TDocPosition& at) {
  SelectionServices().SetCaret(doc, at.Par, at.Offset, kSetCaretFlags, at.Line);
}

}  // namespace

void ChangeDefaultLanguage(TDoc& doc, int32_t language) {
  if (language == doc.DefaultLanguage || doc.CurrentOperation == nullptr) return;
  TSubOperation::Execute(std::make_unique<TChangeDefLangOperation>(doc, language));
  TPostActions& post = doc.CurrentPostActions();
  post.Selection = CloneFragment(*doc.Selection);
  post.Caret = doc.Caret;
  post.HasCaret = true;
}

void RememberGoBackPlace(TDoc& doc) {
  TGoBackPlace& place = TextEditServices().GoBackPlace();
  if (place.Doc != nullptr) return;
  place.Doc = &doc;
  place.Caret = doc.Caret;
  place.Selection = CloneFragment(*doc.Selection);
}

void GoBack(TDoc& doc) {
  TTextEditServices& services = TextEditServices();
  TGoBackPlace& place = services.GoBackPlace();
  if (place.Doc != nullptr && services.IsOpenDocument(place.Doc)) {
    TDoc& target = *place.Doc;
    services.ActivateWindow(target);
    {
      TScopedDocFlag still(target, dfKeepViewStill);
      PlaceCaret(target, place.Caret);
      target.Caret = place.Caret;
    }
    if (place.Selection) {
      target.Selection = std::move(place.Selection);
      target.SelectionChanged();
    }
    {
      TScopedDocFlag arrange(target, 13);
      SelectionServices().ScrollCaretIntoView(target, 1);
    }
    SelectionServices().RequestInterfaceUpdate();
    SelectionServices().Redraw(target);
    ForgetGoBackPlace();
    return;
  }
  ForgetGoBackPlace();
  const int32_t i = doc.UndoPosition;
  TDocPosition to;
  if (i < 0) {
    if (doc.UndoList.empty()) {
      PlaceCaret(doc, doc.Caret);
      return;
    }
    const TOperation* first = OperationAt(doc, 0);
    if (first == nullptr) return;
    to = first->CaretBefore;
  } else {
    const TOperation* op = OperationAt(doc, i);
    if (op == nullptr) return;
    to = op->CaretAfter;
  }
  TDocRange story;
  doc.GetCurrentStoryRange(story);
  if (to.Par < story.Start.Par || to.Par > story.End.Par || to.Par >= doc.ParCount()) return;
  PlaceCaret(doc, to);
}

}  // namespace qv
