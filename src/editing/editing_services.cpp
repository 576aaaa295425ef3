#include "editing/editing_services.h"

#include <utility>

#include "document/doc.h"
#include "document/field.h"
#include "document/object_edit_services.h"
#include "document/edit_services.h"
#include "document/field_edit_services.h"
#include "document/section.h"
#include "editing/content_deletion.h"
#include "editing/edit_dispatcher.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "editing/format_operations.h"
#include "editing/ins_del_operation.h"
#include "editing/object_edit_providers.h"
#include "editing/operation.h"
#include "editing/ops/text_edit_providers.h"
#include "editing/post_edit_update.h"
#include "editing/shape_records.h"
#include "editing/format_records.h"
#include "editing/table_edit_providers.h"
#include "editing/table_records.h"
#include "editing/undo_records.h"
#include "editing/undo_stack.h"

namespace qv {

namespace {

class TEngineEditServices : public TEditServices {
 public:
  void ExecuteEdit(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex) override {
    DispatchEdit(doc, code, args, lastIndex);
  }
  std::unique_ptr<TUndoableOperation> CreateOperation(TDoc& doc, uint8_t name) override {
    return std::make_unique<TOperation>(doc, name);
  }
  void BeginOperation(TDoc& doc, TUndoableOperation* op) override { qv::BeginOperation(doc, op); }
  void EndOperation(TDoc& doc) override { qv::EndOperation(doc); }
  void CommitOperation(TDoc& doc, std::unique_ptr<TUndoableOperation> op) override {
    qv::CommitOperation(doc, std::move(op));
  }
  void ChainLastOperation(TDoc& doc) override {
    if (TOperation* last = OperationAt(doc, doc.UndoPosition)) last->Flags |= TOperation::ofChained;
  }
  void RenameLastOperation(TDoc& doc, uint8_t name) override {
    if (TOperation* last = OperationAt(doc, static_cast<int32_t>(doc.UndoList.size()) - 1)) last->NameIndex = name;
  }
  void Undo(TDoc& doc, bool runUpdate) override { UndoOperations(doc, runUpdate); }
  void Redo(TDoc& doc) override { RedoOperations(doc); }
  void UndoAll(TDoc& doc) override { UndoAllOperations(doc); }
  void RedoAll(TDoc& doc) override { RedoAllOperations(doc); }
  void ClearUndo(TDoc& doc) override { ClearUndoList(doc); }
  void ClearRedo(TDoc& doc) override { ClearRedoList(doc); }
  uint32_t LastOperationSerial(const TDoc& doc) override { return LastOperationSerialOf(doc); }
  void PostEditUpdate(TDoc& doc) override { RunPostEditUpdate(doc); }
  void InvalidateFromParagraph(TDoc& doc, int32_t par) override {
    InvalidateLayoutFrom(doc, par);
  }

  void FormatSectionRange(TDoc& doc, int32_t first, int32_t last,
                          const std::vector<TSection>& formats, bool pageNumbersOnly) override {
    TSubOperation::Execute(
        std::make_unique<TFormatSectOperation>(doc, formats, pageNumbersOnly, first, last));
  }
  void ChangeSectionHeaders(TDoc& doc, TSection& section,
                            const std::array<TField*, 6>& fields) override {
    TSubOperation::Execute(std::make_unique<TChangeSectHeadersOperation>(doc, &section, fields));
  }
  void ChangePageParams(TDoc& doc, const TPageParams& params, const TDocRange& range) override {
    qv::ChangePageParams(doc, params, range);
  }
  void FormatNoteSettings(TDoc& doc, int32_t first, int32_t last, const TNoteSettings& footnotes,
                          const TNoteSettings& endnotes) override {
    std::vector<TNoteSettings> f, e;
    for (int32_t i = first; i <= last; ++i) {
      f.push_back(footnotes);
      e.push_back(endnotes);
    }
    TSubOperation::Execute(std::make_unique<TFormatNotesOperation>(
        doc, std::move(f), std::move(e), doc.FootnoteMarkFormat, doc.EndnoteMarkFormat, first));
  }
  void InsertContent(TDoc& doc, const TMemory& content, const TDocPosition& at, int32_t story,
                     int32_t parMarks) override {
    TSubOperation::Execute(TInsDelOperation::ForInsert(doc, content, at, story, parMarks));
  }
  void DeleteContent(TDoc& doc, const TDocRange& range) override {
    DeleteContentKeepingFields(doc, range);
  }
  void FormatParagraphRange(TDoc& doc, const TDocRange& range, const TParFormat& format) override {
    FormatParagraphs(doc, nullptr, &range, format);
  }
  TField* InsertEmptyField(TDoc& doc, std::unique_ptr<TField> field, const TDocPosition& at,
                           int32_t slot) override {
    TField* f = field.get();
    auto rec = std::make_unique<TInsDelFieldOperation>(doc, 0, f, TInsDelFieldOperation::mpBoth,
                                                       at, slot, at, slot + 1);
    rec->Held = std::move(field);
    TSubOperation::Execute(std::move(rec));
    return f;
  }
  void InsDelFieldMarks(TDoc& doc, uint8_t state, TField* field, uint8_t parts,
                        const TDocPosition& start, int32_t startSlot, const TDocPosition& end,
                        int32_t endSlot, std::unique_ptr<TField> owned) override {
    auto rec = std::make_unique<TInsDelFieldOperation>(doc, state, field, parts,
                                                       start, startSlot, end, endSlot);
    rec->Held = std::move(owned);
    TSubOperation::Execute(std::move(rec));
  }
  void EditFieldInstruction(TDoc& doc, TField* field, std::u16string instruction) override {
    auto rec = std::make_unique<TEditFieldOperation>(doc, field, std::move(instruction));
    TSubOperation::Execute(std::move(rec));
  }
  void ChangeSectionBreak(TDoc& doc, int32_t par, int32_t kind) override {
    TSubOperation::Execute(std::make_unique<TChangeSectBreakOperation>(doc, par, kind));
  }

  void ReplaceSpecialChar(TDoc& doc, int32_t par, int32_t offset, uint8_t code) override {
    TSubOperation::Execute(std::make_unique<TFastReplaceTextOperation2>(doc, par, offset, code));
  }
  void MoveParagraphs(TDoc& doc, int32_t first, int32_t count, int32_t target) override {
    if (count > 0 && target != first && target != first + count)
      TSubOperation::Execute(std::make_unique<TMoveParsOperation>(doc, first, count, target));
  }
  void FormatCharRange(TDoc& doc, const TDocRange& range, const TCharFormat& format) override {
    if (!IsRangeEmpty(range) && !IsCharFormatEmpty(format))
      TSubOperation::Execute(std::make_unique<TFormatFontOperation>(doc, range, format));
  }
  bool FormatRows(TDoc& doc, TFormatRowsRequest& request) override {
    auto rec = std::make_unique<TFormatRowsOperation>(doc, request);
    if (rec->Empty()) return false;
    TSubOperation::Execute(std::move(rec));
    return true;
  }
  void ChangeDocProps(TDoc& doc, const TDocProps& props) override {
    TSubOperation::Execute(std::make_unique<TChangeDocPropsOperation>(doc, props));
  }
  void SetNoteSeparatorFlags(TDoc& doc, uint8_t flags) override {
    TSubOperation::Execute(std::make_unique<TNoteSeparatorOperation>(doc, flags));
  }
  void AssignSection(TDoc& doc, TSection& target, const TSection& source) override {
    TSubOperation::Execute(
        std::make_unique<TAssignSectOperation>(doc, &target, const_cast<TSection*>(&source)));
  }
  void ChangeFieldProps(TDoc& doc, TField* field, uint8_t fieldType,
                        std::u16string instruction) override {
    TSubOperation::Execute(
        std::make_unique<TChangeFieldPropsOperation>(doc, field, fieldType, std::move(instruction)));
  }
  bool FormatNotes(TDoc& doc, int32_t first, int32_t last, const TNoteSettings& footnotes,
                   const TNoteSettings& endnotes, const TCharFormat& footnoteMark,
                   const TCharFormat& endnoteMark) override {
    std::vector<TNoteSettings> f, e;
    for (int32_t i = first; i <= last; ++i) {
      f.push_back(footnotes);
      e.push_back(endnotes);
    }
    auto rec = std::make_unique<TFormatNotesOperation>(doc, std::move(f), std::move(e),
                                                       footnoteMark, endnoteMark, first);
    // A run that exchanged nothing leaves nothing to record.
    rec->Undo();
    if (!rec->Changed) return false;
    AddSubOperation(doc, std::move(rec));
    return true;
  }
};

}  // namespace

std::unique_ptr<TEditServices> MakeEditingServices() {
  return std::make_unique<TEngineEditServices>();
}

void RegisterEditingServices() {
  RegisterEditServices(MakeEditingServices());
  RegisterFieldEditServices(MakeFieldEditServices());
  RegisterObjectEditServices(MakeObjectEditServices());
  // Each area that performs edit action codes adds its provider here.
  auto providers = std::make_unique<TEditOperationProviderList>();
  providers->Add(MakeTextEditProviders());
  providers->Add(MakeFieldEditProviders());
  providers->Add(MakeObjectEditProviders());
  providers->Add(MakeTableEditProviders());
  RegisterEditOperationProviders(std::move(providers));
}

void UnregisterEditingServices() {
  RegisterEditOperationProviders(nullptr);
  RegisterFieldEditServices(nullptr);
  RegisterObjectEditServices(nullptr);
  RegisterEditServices(nullptr);
}

}  // namespace qv
