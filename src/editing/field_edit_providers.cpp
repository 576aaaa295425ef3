// The edit action codes of fields, bookmarks, hyperlinks, tables of contents and indexes. Each
// runs the document model's operation inside the dispatcher's open operation; the follow-ups
// (the update of a new field or a new table of contents, the removal of a table's bookmarks,
// the index built again while its pages move) run after the commit and undo with it.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/doc.h"
#include "document/field.h"
#include "document/field_evaluation.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/page_numbering.h"
#include "editing/edit_codes.h"
#include "editing/edit_dispatcher.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t kFormatBookmarksName = 43;
constexpr uint8_t kTocName = 46;
constexpr uint8_t kInsertFieldName = 47;
constexpr uint8_t kRemoveFieldsName = 48;
constexpr uint8_t kIndexName = 64;

constexpr int32_t kRemoveTocBookmarksMsg = 16;

std::u16string WideArg(void* const* args, int32_t lastIndex, int32_t i) {
  const auto* s = OperationArg<std::u16string>(args, lastIndex, i);
  return s != nullptr ? *s : std::u16string();
}

std::u16string NameArg(void* const* args, int32_t lastIndex, int32_t i) {
  const auto* s = OperationArg<std::string>(args, lastIndex, i);
  return s != nullptr ? CodePageToWide(*s, DefaultCodePage) : std::u16string();
}

const char kNoHeadingsMessage[] =
    "Quorvane found no paragraph associated with \"Heading\" styles in this document.\r"
    "The Table Of Contents for this document could not be created.\r\r"
    "Note: Quorvane scans for \"Heading\" styles starting from current cursor position\r"
    "down to end of documents, or till another Table Of Contents is encountered.\r"
    "You might need to re-position the cursor to a proper location,\r"
    "or create \"Heading\" style associations for this document.";

class TFieldEditProviders : public TEditOperationProviders {
 public:
  bool RunOperation(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecInsertBookmark:
        doc.InsertBookmark(NameArg(a, n, 0));
        return true;
      case ecRemoveBookmark: {
        const int32_t i = doc.FindBookmarkName(NameArg(a, n, 0));
        if (i >= 0) doc.RemoveField(doc.FieldIndex().Bookmarks[static_cast<size_t>(i)].Field);
        return true;
      }
      case ecEditFieldInstruction:
        if (TField* f = OperationArg<TField>(a, n, 0)) doc.EditFieldInstruction(f, WideArg(a, n, 1));
        return true;
      case ecDeactivateHyperlink:
        if (TField* f = doc.FindFieldAtCaret(ftHyperlink, nullptr)) doc.DeactivateHyperlink(f);
        return true;
      case ecDeactivateHyperlinks:
        doc.DeactivateSelectedHyperlinks();
        return true;
      case ecInsertHyperlink:
        InsertHyperlink(doc, WideArg(a, n, 0), WideArg(a, n, 1));
        return true;
      case ecUpdateHyperlinkTexts:
        doc.UpdateHyperlinkTexts();
        return true;
      case ecInsertTableOfContents: {
        auto* options = OperationArg<TGenerateTOC_Options>(a, n, 0);
        tocCount_ = options != nullptr ? doc.GenerateToc(*options) : 0;
        if (auto* count = OperationArg<int32_t>(a, n, 1)) *count = tocCount_;
        // Said even when nothing was recorded (then no follow-up runs).
        if (tocCount_ == 0) ShowInfo(kNoHeadingsMessage);
        return true;
      }
      case ecRemoveTableOfContents:
        RemoveToc(doc);
        return true;
      case ecInsertFieldObject:
        if (auto* owned = OperationArg<std::unique_ptr<TField>>(a, n, 0)) doc.InsertFieldAtCaret(std::move(*owned));
        return true;
      case ecInsertField: {
        const auto* type = OperationArg<uint8_t>(a, n, 0);
        newField_ = type != nullptr ? doc.InsertNewField(*type, WideArg(a, n, 1)) : nullptr;
        return true;
      }
      case ecUpdateFields: {
        const auto* types = OperationArg<TFieldTypeSet>(a, n, 2);
        doc.UpdateFieldsRun(OperationArg<TCompoundFragment>(a, n, 0), OperationArg<TDocRange>(a, n, 1),
                            types != nullptr ? *types : EvaluatedFieldTypes());
        return true;
      }
      case ecInsertIndexEntry:
        doc.InsertIndexEntry(WideArg(a, n, 0));
        return true;
      case ecMarkAllIndexEntries: {
        const auto* words = OperationArg<std::vector<std::u16string>>(a, n, 0);
        const auto* instructions = OperationArg<std::vector<std::u16string>>(a, n, 1);
        if (words != nullptr && instructions != nullptr)
          doc.MarkAllIndexEntries(*words, *instructions);
        return true;
      }
      case ecBuildIndex:
        BuildIndex(doc, WideArg(a, n, 0));
        return true;
      case ecRemoveFields:
        if (const auto* list = OperationArg<std::vector<TField*>>(a, n, 0))
          for (TField* f : *list) doc.RemoveField(f);
        return true;
      default:
        return false;
    }
  }

  void RunChain(TDoc& doc, uint8_t code, void* const* a, int32_t n) override {
    switch (code) {
      case ecInsertField:
        UpdateNewField(doc);
        break;
      case ecInsertTableOfContents:
        UpdateNewToc(doc);
        break;
      case ecBuildIndex:
        BuildIndexAgain(doc, a, n);
        break;
      case ecRemoveTableOfContents:
        OfferBookmarkRemoval(doc);
        break;
      default:
        break;
    }
  }

 private:
  // Each selected hyperlink is replaced by the new one.
  static void InsertHyperlink(TDoc& doc, const std::u16string& instruction,
                              const std::u16string& text) {
    doc.UpdateSelectedFieldLists(255);
    const std::vector<TField*> links = doc.SelectedFields.Hyperlinks;
    for (TField* f : links) doc.RemoveField(f);
    doc.InsertHyperlink(instruction, text);
  }

  // The first selected table of contents goes with its entries' links; the bookmarks made for
  // its headings are remembered for the question that follows.
  void RemoveToc(TDoc& doc) {
    tocBookmarks_.clear();
    doc.UpdateSelectedFieldLists(255);
    if (doc.SelectedFields.Tocs.empty()) return;
    TField* toc = doc.SelectedFields.Tocs.front();
    TDocRange range;
    if (!doc.GetFieldRange(toc, range)) return;
    for (TField* f : doc.FieldIndex().Fields) {
      if (f->Kind != fkField || (f->FieldType != ftPageRef && f->FieldType != ftHyperlink)) continue;
      if (!PositionInRangeInclusive(f->Range.Start, range)) continue;
      std::string target, bookmark;
      if (f->FieldType == ftHyperlink) {
        ParseHyperlinkInstruction(f->Instruction, target, bookmark, nullptr);
      } else {
        ParsePageRefInstruction(f->Instruction, nullptr, nullptr, bookmark);
      }
      if (!target.empty() || bookmark.empty()) continue;
      if (std::find(tocBookmarks_.begin(), tocBookmarks_.end(), bookmark) == tocBookmarks_.end())
        tocBookmarks_.push_back(bookmark);
    }
    // The table's own bookmark goes with the others.
    for (const TBookmarkName& b : doc.FieldIndex().Bookmarks)
      if (SamePlace(b.Field->Range.Start, range.Start) && SamePlace(b.Field->Range.End, range.End))
        tocBookmarks_.push_back(WideToCodePage(b.Name, DefaultCodePage));
    doc.RemoveTocField(toc);
  }

  void OfferBookmarkRemoval(TDoc& doc) {
    std::vector<std::string> names;
    names.swap(tocBookmarks_);
    if (names.empty()) return;
    if (ShowOptionalMsg(OptionalMsgTable[kRemoveTocBookmarksMsg].Text, mkConfirmation,
                        kRemoveTocBookmarksMsg) != mrYes)
      return;
    for (std::string& name : names) {
      void* args[] = {&name};
      RunChainedEdit(doc, ecRemoveBookmark, args, 0, kRemoveFieldsName);
    }
  }

  void UpdateNewField(TDoc& doc) {
    TField* f = newField_;
    newField_ = nullptr;
    TDocRange range;
    if (f == nullptr || !doc.GetFieldRange(f, range)) return;
    TFieldTypeSet types;
    types.set(f->FieldType);
    void* args[] = {nullptr, &range, &types};
    RunChainedEdit(doc, ecUpdateFields, args, 2, kInsertFieldName);
    if (doc.GetFieldRange(f, range)) doc.Caret = range.End;
  }

  // The new table's page references get their numbers; no table, the message why.
  void UpdateNewToc(TDoc& doc) {
    if (tocCount_ == 0) return;
    TDocPosition at = doc.Caret;
    at.Offset = std::max(at.Offset - 1, 0);
    TDocRange range;
    if (doc.GetFieldAt(at, &range, {}, ftToc, fkField) == nullptr) return;
    TFieldTypeSet types;
    types.set(ftPageRef);
    void* args[] = {nullptr, &range, &types};
    RunChainedEdit(doc, ecUpdateFields, args, 2, kTocName);
  }

  // The pages of the index entries, in their order.
  static std::vector<std::pair<TField*, int32_t>> EntryPages(TDoc& doc) {
    doc.PaginateAll();
    std::vector<std::pair<TField*, int32_t>> pages;
    for (TField* f : doc.GetIndexEntryFields())
      pages.emplace_back(f, PageIndexOfChar(doc, f->Range.Start.Par, f->Range.Start.Offset));
    return pages;
  }

  // The index is built in page layout, where its entries' pages are known.
  void BuildIndex(TDoc& doc, const std::u16string& instruction) {
    if (!buildingAgain_) indexRuns_ = 0;
    tempView_ = doc.ViewMode != vmPrintLayout;
    if (tempView_) doc.BeginTempViewMode(vmPrintLayout);
    pagesBefore_ = EntryPages(doc);
    doc.GenerateIndex(instruction);
  }

  // The index's own length may move the pages it lists: it is built again (at most a few times,
  // so that pages that keep moving cannot hold the program in a loop) until they stay.
  void BuildIndexAgain(TDoc& doc, void* const* a, int32_t n) {
    const bool moved = EntryPages(doc) != pagesBefore_;
    if (tempView_) doc.EndTempViewMode(true);
    tempView_ = false;
    if (!moved || indexRuns_ >= kMaxIndexRuns) return;
    ++indexRuns_;
    doc.ArrangePages();
    buildingAgain_ = true;
    RunChainedEdit(doc, ecBuildIndex, a, n, kIndexName);
    buildingAgain_ = false;
  }

  static constexpr int32_t kMaxIndexRuns = 3;
  TField* newField_ = nullptr;
  int32_t tocCount_ = 0;
  std::vector<std::pair<TField*, int32_t>> pagesBefore_;
  bool tempView_ = false;
  bool buildingAgain_ = false;
  int32_t indexRuns_ = 0;
  std::vector<std::string> tocBookmarks_;
};

}  // namespace

std::unique_ptr<TEditOperationProviders> MakeFieldEditProviders() {
  return std::make_unique<TFieldEditProviders>();
}

}  // namespace qv
