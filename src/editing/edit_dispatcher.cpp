#include "editing/edit_dispatcher.h"

#include <memory>
#include <utility>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "editing/edit_codes.h"
#include "editing/edit_flags.h"
#include "editing/edit_operation_providers.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/operation.h"
#include "editing/ops/text_edit_services.h"
#include "editing/style_operations.h"
#include "editing/undo_stack.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

bool g_shrinkChanged = false;

const uint8_t kCodeNames[EditCodeCount] = {
    1,  5,  9,  9,  10, 4,  6,  5,  5,  7,  7,  27, 15, 15, 13, 13, 20, 15, 13, 24, 25, 26,
    59, 28, 40, 41, 41, 42, 43, 43, 64, 64, 0,  44, 45, 44, 44, 46, 48, 47, 47, 49, 48, 50,
    52, 42, 16, 53, 54, 57, 49, 58, 58, 58, 58, 58, 36, 58, 58, 60, 60, 62, 62, 62, 62, 62,
    62, 62, 62, 62, 62, 62, 62, 62, 62, 62, 41, 62, 62, 63, 64, 65, 42, 0,  0,  36, 68};

// Runs the operation of one of the engine's own codes; false for codes of other providers.
bool RunOwnOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) {
  using F = TCompoundFragment;
  switch (code) {
    case ecChangePageParams:
      if (auto* p = OperationArg<TPageParams>(a, n, 0)) {
        if (auto* r = OperationArg<TDocRange>(a, n, 1)) ChangePageParams(doc, *p, *r);
      }
      return true;
    case ecFormatParagraphs:
      if (auto* f = OperationArg<TParFormat>(a, n, 2))
        FormatParagraphs(doc, OperationArg<F>(a, n, 0), OperationArg<TDocRange>(a, n, 1), *f);
      return true;
    case ecFormatFont:
      if (auto* f = OperationArg<TCharFormat>(a, n, 2))
        FormatFont(doc, OperationArg<F>(a, n, 0), OperationArg<TDocRange>(a, n, 1), OperationArgValue<uint8_t>(a, n, 3, 0), *f);
      return true;
    case ecStepFontProperty:
      StepFontProperty(doc, nullptr, nullptr, OperationArgValue<int32_t>(a, n, 1, 0),
                       OperationArgValue<int32_t>(a, n, 0, 0));
      return true;
    case ecApplyFormatBrush:
      ApplyFormatBrush(doc);
      return true;
    case ecShrinkPageCount:
      g_shrinkChanged = ShrinkPageCount(doc);
      return true;
    case ecFormatTabs:
      FormatTabs(doc, OperationArgValue<int32_t>(a, n, 0, doc.DefaultTabStop),
                 OperationArgValue<int16_t>(a, n, 1, ParUnset16));
      return true;
    case ecResetToStyleFormat:
      ResetToStyleFormat(doc, OperationArg<F>(a, n, 0), OperationArg<TDocRange>(a, n, 1), OperationArgValue<uint8_t>(a, n, 2, 0));
      return true;
    case ecStepParagraphFormat:
      StepParagraphFormat(doc, OperationArg<F>(a, n, 0), OperationArg<TDocRange>(a, n, 1), OperationArgValue<int32_t>(a, n, 3, 0),
                          OperationArgValue<uint8_t>(a, n, 2, 0));
      return true;
    case ecApplyStyle:
      ApplyStyle(doc, nullptr, nullptr, nullptr, nullptr, OperationArgValue<uint8_t>(a, n, 1, 1) != 0,
                 OperationArgValue<int32_t>(a, n, 0, 0));
      return true;
    case ecFormatDocumentStyles:
      FormatDocumentStyles(doc, nullptr, nullptr,
                           std::unique_ptr<TFormatStyleListInfo>(OperationArg<TFormatStyleListInfo>(a, n, 0)));
      return true;
    case ecUpdateStyle:
      UpdateStyle(doc, OperationArgValue<int32_t>(a, n, 0, -1));
      return true;
    case ecChangeSectionBreak: {
      const int32_t par = OperationArgValue<int32_t>(a, n, 0, -1);
      const int32_t kind = OperationArgValue<uint8_t>(a, n, 1, sbNextPage);
      if (par >= 0 && par < doc.ParCount())
        if (TSection* s = doc.Par(par)->SectionBreak(); s && s->Format.BreakKind != kind)
          TSubOperation::Execute(std::make_unique<TChangeSectBreakOperation>(doc, par, kind));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

void RegisterEditOperationProviders(std::unique_ptr<TEditOperationProviders> providers) {
  RegisterService(std::move(providers));
}
TEditOperationProviders& EditOperationProviders() { return Service<TEditOperationProviders>(); }

void TEditOperationProviderList::Add(std::unique_ptr<TEditOperationProviders> provider) {
  if (provider) providers_.push_back(std::move(provider));
}

bool TEditOperationProviderList::RunOperation(TDoc& doc, uint8_t code, void* const* args,
                                              int32_t lastIndex) {
  for (auto& p : providers_)
    if (p->RunOperation(doc, code, args, lastIndex)) return true;
  return false;
}

void TEditOperationProviderList::RunChain(TDoc& doc, uint8_t code, void* const* args,
                                          int32_t lastIndex) {
  for (auto& p : providers_) p->RunChain(doc, code, args, lastIndex);
}

uint8_t EditCodeNameIndex(uint8_t code, void* const* args, int32_t lastIndex) {
  if (code >= EditCodeCount) return 0;
  switch (code) {
    case ecResetToStyleFormat:
      return OperationArgValue<uint8_t>(args, lastIndex, 2, 0) != 0 ? 9 : 5;
    case ecStepParagraphFormat: {
      const uint8_t kind = OperationArgValue<uint8_t>(args, lastIndex, 2, 0);
      return kind == 6 || kind == 7 ? 58 : 5;
    }
    case ecFormatDocumentStyles: {
      const auto* info = OperationArg<TFormatStyleListInfo>(args, lastIndex, 0);
      return info && info->NewStyles ? 8 : 7;
    }
    case ecChangeCase:
      return static_cast<uint8_t>(28 + std::min<uint8_t>(OperationArgValue<uint8_t>(args, lastIndex, 2, 0), 6));
    default:
      return kCodeNames[code];
  }
}

bool LastShrinkChanged() { return g_shrinkChanged; }

void RunChainedEdit(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex,
                    uint8_t nameOverride) {
  doc.SetDocFlag(dfCommitted, false);
  doc.OperationNameOverride = nameOverride;
  doc.ExecuteEdit(code, args, lastIndex);
  doc.OperationNameOverride = 255;
  if (doc.IsDocFlagSet(dfCommitted)) {
    if (TOperation* last = OperationAt(doc, doc.UndoPosition)) last->Flags |= TOperation::ofChained;
  }
  doc.SetDocFlag(dfCommitted, true);
}

void DispatchEdit(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex) {
  doc.EnterCriticalEdit();
  doc.SetDocFlag(dfDispatcherRunning, true);
  doc.SetDocFlag(dfEditCall, code != ecChangeCase);
  doc.SetDocFlag(dfCommitted, false);
  doc.SetDocFlag(dfCaretRefresh, false);
  if (!doc.IsDocFlagSet(133)) doc.SetDocFlag(132, false);
  if (!TextEditServices().KeepGoBackPlace()) ForgetGoBackPlace();
  auto op = std::make_unique<TOperation>(doc, 0);
  BeginOperation(doc, op.get());
  op->NameIndex = EditCodeNameIndex(code, args, lastIndex);
  const bool keepViewStill = code == ecChangePageParams || code == ecShrinkPageCount ||
                             code == ecUpdateStyle;
  try {
    if (code == ecPaste) doc.SetDocFlag(dfPasting, true);
    if (!RunOwnOperation(doc, code, args, lastIndex))
      EditOperationProviders().RunOperation(doc, code, args, lastIndex);
    doc.SetDocFlag(dfPasting, false);
  } catch (...) {
    // Leave no half-recorded change: take back what the operation performed, drop it, and let
    // the error go on with the document as it was before the call.
    doc.SetDocFlag(dfPasting, false);
    EndOperation(doc);
    doc.SetDocFlag(dfUndoing, true);
    try {
      op->Rollback();
    } catch (...) {
      // A record that cannot be taken back leaves the document marked as being changed.
      doc.SetDocFlag(dfUndoing, false);
      op.reset();
      throw;
    }
    doc.SetDocFlag(dfUndoing, false);
    op.reset();
    doc.PostActions.Reset();
    doc.SetDocFlag(dfDispatcherRunning, false);
    doc.SetDocFlag(dfEditCall, false);
    doc.LeaveCriticalEdit();
    throw;
  }
  EndOperation(doc);
  doc.SetDocFlag(dfRulerCaches, false);
  if (op->Records.empty() || doc.IsDocFlagSet(dfRecordNothing)) {
    op.reset();
    doc.PostActions.Reset();
  } else {
    op->CaptureFieldTextsAfter();
    if (keepViewStill) doc.SetScopedFlag(dfKeepViewStill);
    doc.PostEditUpdate();
    if (keepViewStill) doc.RestoreScopedFlag();
    if (doc.OperationNameOverride != 255) {
      op->NameIndex = doc.OperationNameOverride;
      doc.OperationNameOverride = 255;
    }
    CommitOperation(doc, std::move(op));
    doc.SetDocFlag(dfCommitted, true);
    doc.SetDocFlag(dfAfterCommit, false);
    if (code == ecSplitCells) RunChainedEdit(doc, ecDistributeRows, nullptr, -1, 62);
    EditOperationProviders().RunChain(doc, code, args, lastIndex);
    doc.SetDocFlag(dfCommitted, true);
  }
  doc.LeaveCriticalEdit();
  doc.SetDocFlag(dfDispatcherRunning, false);
  doc.SetDocFlag(dfRulerCaches, false);
  doc.SetDocFlag(dfEditCall, false);
  // Actions after the edit.
  if ((code == ecFormatFont || code == ecStepFontProperty || code == ecResetToStyleFormat) &&
      doc.IsDocFlagSet(dfTypingFormatChanged))
    DocServices().RequestInterfaceUpdate();
  if (code == ecShrinkPageCount && !g_shrinkChanged) ShowInfo("Cannot shrink page count.");
}

}  // namespace qv
