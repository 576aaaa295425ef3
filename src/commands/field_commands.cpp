// The bookmark, hyperlink, table of contents and field commands of the edit range.
#include <algorithm>
#include <string>
#include <vector>

#include "commands/edit_command_parts.h"
#include "commands/format_dialog_services.h"
#include "commands/name_checks.h"
#include "commands/selection_objects.h"
#include "document/compound_fragment.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_evaluation.h"
#include "document/field_instructions.h"
#include "document/field_update_state.h"
#include "foundation/settings/options_holder.h"
#include "editing/edit_codes.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

// Edit codes of the field operations.
constexpr uint8_t kNewBookmark = ecInsertBookmark, kDeactivateHyperlinks = ecDeactivateHyperlinks,
                  kConvertHyperlinks = ecUpdateHyperlinkTexts, kRemoveToc = ecRemoveTableOfContents,
                  kRemoveFields = ecRemoveFields, kUpdateFieldInstructions = ecChangeFieldTypes;
constexpr uint8_t kOptionalMultipleLinks = 51;
constexpr int32_t kBookmarkNameLimit = 40;
constexpr int32_t kProgramSelection = 17;

// The options of the last table of contents made (the dialog edits them).
TGenerateTOC_Options& StoredTocOptions() { return GetOptions().Internal.TOC; }

// Selects the fields (several ranges in document order); the caret goes into the first one
// when it stands outside all of them.
void SelectFields(TDoc& doc, std::vector<TField*> fields) {
  if (fields.empty()) return;
  std::sort(fields.begin(), fields.end(),
            [](const TField* a, const TField* b) { return ComparePositions(a->Range.Start, b->Range.Start) < 0; });
  TScopedDocFlag programSelection(doc, kProgramSelection);
  doc.Selection->Clear();
  bool caretInside = false;
  for (TField* f : fields) {
    TDocRange range;
    if (!doc.GetFieldRange(f, range)) continue;
    doc.Selection->InsertRange(doc.Selection->Count(), range);
    caretInside = caretInside || PositionInRangeInclusive(doc.Caret, range);
  }
  doc.NormalizeFragments(*doc.Selection);
  if (!caretInside && doc.Selection->Count() > 0) doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  if (doc.SelectionOutOfView()) doc.ScrollToNextSelectedItem();
  EditCmd().Redraw(doc);
}

// Copies the fields: they are selected, copied and the previous selection comes back.
void CopyFields(TEditRun& run, const std::vector<TField*>& fields) {
  TDoc& doc = *run.Doc;
  TFragmentRef previous = AcquireFragment();
  previous->Assign(*doc.Selection);
  const TDocPosition caret = doc.Caret;
  SelectFields(doc, fields);
  EditCmd().SetCopyFieldList(fields);
  run.Manager.Execute(3340);
  EditCmd().SetCopyFieldList({});
  doc.Selection->Assign(*previous);
  doc.Caret = caret;
  doc.SelectionChanged();
}

// Deletes fields with their text: the marks go first, then the selected text; one undo step.
void DeleteFields(TDoc& doc, std::vector<TField*> fields, uint8_t removeCode) {
  if (fields.empty()) return;
  SelectFields(doc, fields);
  if (doc.SelectionHasNoteEndMark()) {
    ShowNoteMarkMessage();
    return;
  }
  doc.OperationNameOverride = onDeleteText;
  const uint32_t before = LastSerial(doc);
  void* removeArgs[] = {&fields};
  doc.ExecuteEdit(removeCode, removeArgs, 0);
  const bool first = LastSerial(doc) != before;
  TDocRange range = FirstRangeOrCaret(doc);
  int32_t count = 0, flags = 0;
  void* args[] = {doc.Selection.get(), &range, &count, &flags};
  const uint32_t middle = LastSerial(doc);
  doc.ExecuteEdit(ecDeleteText, args, 3);
  if (LastSerial(doc) != middle) NameLastOperation(doc, onDeleteText, first);
}

// Updates the fields of the types (all the program computes without a set) over the fragment
// or the range.
void UpdateFieldsOver(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                      const TFieldTypeSet* types = nullptr) {
  TDocRange copy = range != nullptr ? *range : TDocRange{};
  TFieldTypeSet set = types != nullptr ? *types : EvaluatedFieldTypes();
  void* args[] = {const_cast<TCompoundFragment*>(fragment), range != nullptr ? &copy : nullptr, &set};
  doc.ExecuteEdit(ecUpdateFields, args, 2);
}

TFieldTypeSet TypeSetOf(uint8_t type) {
  TFieldTypeSet set;
  if (type < set.size()) set.set(type);
  return set;
}

// A new bookmark around the selection, named by the user.
void NewBookmark(TDoc& doc) {
  std::u16string name = doc.MakeBookmarkName(FirstRangeOrCaret(doc));
  if (!FormatDialogServices().ExecuteStrEditDialog(name, "New bookmark", kBookmarkNameLimit, CheckBookmarkName)) return;
  std::replace(name.begin(), name.end(), u' ', u'_');
  std::string bytes = WideToCodePage(name, DefaultCodePage);
  void* args[] = {&bytes};
  doc.ExecuteEdit(kNewBookmark, args, 0);
  doc.RebuildFieldIndex();
  const int32_t index = doc.FindBookmarkName(name);
  if (index >= 0) EditCmd().SetCurrentBookmark(doc.FieldIndex().Bookmarks[static_cast<size_t>(index)].Field);
  EditCmd().MarkToolListsStale(&doc);
  CommandEnvironment().UpdateInterfaceState();
}

void ShowBookmarkList(TDoc& doc) {
  doc.RebuildFieldIndex();
  const std::vector<std::u16string> names = BookmarkListNames(doc);
  const int32_t chosen = EditCmd().ShowBrowseStringList(names);
  TDoc* active = CommandEnvironment().ActiveDoc();
  if (chosen >= 0 && chosen < static_cast<int32_t>(names.size()) && active != nullptr)
    active->GoToBookmark(names[static_cast<size_t>(chosen)], false, nullptr);
}

void OpenHyperlinks(TDoc& doc, const std::vector<TField*>& links) {
  if (links.size() > 1 &&
      ShowOptionalMsg("Opening multiple hyperlinks at once may take a long time and cause your computer to respond "
                      "slowly.\r\rDo you want to proceed?",
                      mkConfirmation, kOptionalMultipleLinks) != mrYes)
    return;
  for (TField* link : links) EditCmd().FollowHyperlink(doc, *link);
}

// The Table of Contents dialog for a new table or the one selected; code 37 builds it.
void TableOfContents(TDoc& doc, const std::vector<TField*>& tocs, bool modify) {
  TGenerateTOC_Options options = StoredTocOptions();
  if (modify && !tocs.empty()) ParseTocInstruction(tocs.front()->Instruction, options);
  const TGenerateTOC_Options kept = StoredTocOptions();
  if (!FormatDialogServices().ExecuteTOCDialog(options)) return;
  void* args[] = {&options};
  doc.ExecuteEdit(ecInsertTableOfContents, args, 0);
  // Modifying a table keeps the remembered options, but for the template chosen in the dialog.
  if (modify) {
    StoredTocOptions() = kept;
    StoredTocOptions().TemplateName = options.TemplateName;
  } else {
    StoredTocOptions() = options;
  }
}

// Modify Properties: the field dialog preset from the selected fields; code 50 changes their
// instructions.
void ModifyFields(TDoc& doc, const std::vector<TField*>& fields) {
  if (fields.empty()) return;
  uint8_t type = fields.front()->FieldType;
  std::vector<std::u16string> instructions;
  for (const TField* f : fields) instructions.push_back(f->Instruction);
  if (!FormatDialogServices().ExecuteFieldDialog(type, instructions)) return;
  std::vector<TField*> list = fields;
  void* args[] = {&list, &type, &instructions};
  const uint32_t before = LastSerial(doc);
  doc.ExecuteEdit(kUpdateFieldInstructions, args, 2);
  if (LastSerial(doc) != before) NameLastOperation(doc, onInsertField, false);
}

bool IsPageDependent(uint8_t type) {
  return type == 10 || type == 26 || type == 33 || type == 37 || type == 66 || type == 72;
}

}  // namespace

bool RunFieldCommand(TEditRun& run) {
  const int32_t id = run.Id;
  const bool ours = (id >= 4500 && id <= 4538) || (id >= 4540 && id <= 4565) || (id >= 4600 && id <= 4655) ||
                    (id >= 4900 && id <= 4930) || id == 5000 || id == 5335;
  if (!ours || id == 4534 || id == 4535) return false;
  if (id == 4540 || id == 4541) {
    FormatDialogServices().RunHyperlinkDialog(id);
    return true;
  }
  if (run.Doc == nullptr) return true;
  TDoc& doc = *run.Doc;
  TEditCommandServices& services = EditCmd();
  switch (id) {
    case 4500: services.ShowGoToDialog(); return true;
    case 4510: doc.GoToPreviousBookmark(); return true;
    case 4511: doc.GoToNextBookmark(); return true;
    case 4530: case 4532: case 4533: case 4536: services.RunToolCommand(id); return true;
    case 4531: case 4537: NewBookmark(doc); return true;
    case 4538: ShowBookmarkList(doc); return true;
    case 4546: doc.HyperlinkHistoryBack(); return true;
    case 4547: doc.HyperlinkHistoryForward(); return true;
    case 4548:
      doc.HyperlinkHistory.clear();
      doc.HyperlinkHistoryIndex = -1;
      CommandEnvironment().RequestInterfaceUpdate();
      return true;
    case 4560: doc.ExecuteEdit(kDeactivateHyperlinks, nullptr, -1); return true;
    case 4561: doc.ExecuteEdit(kConvertHyperlinks, nullptr, -1); return true;
    default: break;
  }
  const TSelectionObjects objects = CollectSelectionObjects(doc);
  switch (id) {
    case 4545: OpenHyperlinks(doc, objects.Hyperlinks); break;
    case 4550: SelectFields(doc, objects.Hyperlinks); break;
    case 4555: CopyFields(run, objects.Hyperlinks); break;
    case 4565: DeleteFields(doc, objects.Hyperlinks, kRemoveFields); break;
    case 4600: TableOfContents(doc, objects.Tocs, false); break;
    case 4601: TableOfContents(doc, objects.Tocs, true); break;
    case 4620: {
      TGenerateTOC_Options options = StoredTocOptions();
      options.UpdateExisting = true;
      void* args[] = {&options};
      doc.ExecuteEdit(ecInsertTableOfContents, args, 0);
      break;
    }
    case 4630:
      if (!objects.Tocs.empty()) {
        doc.PaginateAll();
        const TFieldTypeSet pageRefs = TypeSetOf(ftPageRef);
        UpdateFieldsOver(doc, nullptr, &objects.Tocs.front()->Range, &pageRefs);
      }
      break;
    case 4640: SelectFields(doc, objects.Tocs); break;
    case 4645: CopyFields(run, objects.Tocs); break;
    case 4650: {
      std::vector<TField*> tocs = objects.Tocs;
      void* args[] = {&tocs};
      doc.ExecuteEdit(kRemoveToc, args, 0);
      break;
    }
    case 4655: DeleteFields(doc, objects.Tocs, kRemoveToc); break;
    case 4900:
      if (!objects.Fields.empty()) {
        const uint8_t type = objects.Fields.front()->FieldType;
        if (IsPageDependent(type)) doc.PaginateAll();
        const TFieldTypeSet types = TypeSetOf(type);
        if (doc.HasSelection()) UpdateFieldsOver(doc, doc.Selection.get(), nullptr, &types);
        else UpdateFieldsOver(doc, nullptr, &objects.Fields.front()->Range, &types);
      }
      break;
    case 4910: SelectFields(doc, objects.Fields); break;
    case 4915: CopyFields(run, objects.Fields); break;
    case 4920: {
      std::vector<TField*> fields = objects.Fields;
      void* args[] = {&fields};
      doc.ExecuteEdit(kRemoveFields, args, 0);
      break;
    }
    case 4925: DeleteFields(doc, objects.Fields, kRemoveFields); break;
    case 5335: DeleteFields(doc, objects.Indexes, kRemoveFields); break;
    case 4930: ModifyFields(doc, objects.Fields); break;
    case 5000: {
      TDocRange whole;
      doc.GetTextAndNotesRange(whole);
      if (doc.HasSelection()) UpdateFieldsOver(doc, doc.Selection.get(), nullptr);
      else UpdateFieldsOver(doc, nullptr, &whole);
      break;
    }
    default: break;
  }
  return true;
}

}  // namespace qv
