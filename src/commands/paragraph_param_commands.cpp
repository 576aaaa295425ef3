// The parameterised commands of the paragraph sub-range: a style by name (the style box of the
// command bars, the styles tool), a tab stop (the ruler) and an outline level.
#include <algorithm>
#include <memory>
#include <string>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/font_format_clipboard.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/paragraph_commands.h"
#include "document/auto_list.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/styles.h"
#include "editing/edit_codes.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/operation.h"
#include "editing/ops/multi_selection.h"
#include "editing/undo_stack.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t kMouseModeFormatBrush = 2;
constexpr uint8_t kAddStyleMessage = 9;
constexpr uint8_t kFormatParagraphName = 5;

// A new style of the name with the selection's formats, appended to a copy of the document's
// style list in the record; its index, or -1.
int32_t AddStyleFromSelection(TDoc& doc, TFormatStyleListInfo& info, const std::string& name) {
  info.NewStyles = std::make_unique<TStyleList>(&doc);
  info.NewStyles->Assign(*doc.Styles);
  const int32_t current = doc.CurParFormat.Style;
  const TStyle* base = doc.Styles->Get(current);
  auto style = std::make_unique<TStyle>(info.NewStyles.get());
  style->Name = style->DisplayName = name;
  style->CharFmt = doc.CurCharFormat;
  style->ParFmt = doc.CurParFormat;
  ClearParFormatProp(style->ParFmt, ppInTable);
  ClearParFormatProp(style->ParFmt, ppCollapsed);
  const bool baseIsDefault = base == nullptr || current == 0;
  style->BasedOn = baseIsDefault ? -1 : current;
  const int32_t index = info.NewStyles->Count();
  // Its list, when other paragraphs use it too, becomes a list of its own.
  if (TAutoList* list = doc.ListByNumber(style->ParFmt.List)) {
    auto copy = std::make_unique<TAutoList>();
    copy->Assign(*list);
    int32_t number = 1;
    for (const auto& l : doc.Lists) number = std::max(number, l->Number + 1);
    copy->Number = number;
    style->ParFmt.List = number;
    doc.Lists.push_back(std::move(copy));
  }
  style->Next = baseIsDefault || base->Next == current ? index : base->Next;
  info.NewStyles->Add(std::move(style));
  return index;
}

void StyleByName(TDoc& doc, const std::string& name) {
  auto info = std::make_unique<TFormatStyleListInfo>();
  info->StyleIndex = doc.CurParFormat.Style == ParUnset16 ? -1 : doc.CurParFormat.Style;
  const bool brush = CommandEnvironment().MouseMode() == kMouseModeFormatBrush;
  if (!brush || !name.empty()) {
    int32_t found = doc.Styles->IndexOfName(name);
    if (found < 0) found = doc.Styles->IndexOfDisplayName(name);
    if (found >= 0) {
      info->StyleIndex = found;
    } else if (!name.empty()) {
      const std::string text = FormatMessageText(
          "Style with name \"%s\" is absent from the document style list.\rAdd as new style to the "
          "document style list using the formatting of the selected text?",
          {name});
      if (ShowOptionalMsg(text, mkConfirmation, kAddStyleMessage) != mrYes) return;
      info->StyleIndex = AddStyleFromSelection(doc, *info, name);
    } else if (info->StyleIndex != -1) {
      ShowInfo("Style name cannot be blank.");
      return;
    }
  }
  if (brush) {
    // The brush now carries the style alone.
    CopyParFormatToClipboard(UnsetParFormat, name);
    ClearCharFormat(FontFormatClipboard().Format);
    CommandEnvironment().RefreshFormatBrushViews();
    info = std::make_unique<TFormatStyleListInfo>();
  }
  if (info->StyleIndex < 0 && !info->NewStyles) return;
  RunEdit(doc, ecFormatDocumentStyles, {info.release()});
}

void TabStop(TDoc& doc, int32_t position) {
  int32_t defaultTabStop = doc.DefaultTabStop;
  const int16_t current = doc.CurParFormat.TabSet;
  int16_t tabSet = current == ParUnset16 ? int16_t{0} : current;
  if (FormatDialogServices().SetTabStop(doc, defaultTabStop, tabSet, position))
    RunEdit(doc, ecFormatTabs, {&defaultTabStop, &tabSet});
}

// Runs of paragraphs sharing their outline level and style get the level, as one operation.
void OutlineLevel(TDoc& doc, int32_t level) {
  doc.EnterCriticalEdit();
  TFragmentRef fragment = doc.GetSelectionFragment();
  auto op = std::make_unique<TOperation>(doc, kFormatParagraphName);
  BeginOperation(doc, op.get());
  for (int32_t i = 0; fragment && i < fragment->Count(); ++i) {
    const TDocRange& r = *fragment->GetRange(i);
    for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount();) {
      const TParFormat& f = doc.Par(p)->Format;
      int32_t q = p;
      while (q + 1 <= r.End.Par && q + 1 < doc.ParCount() && doc.Par(q + 1)->Format.OutlineLevel == f.OutlineLevel &&
             doc.Par(q + 1)->Format.Style == f.Style)
        ++q;
      if (f.OutlineLevel != level) doc.SetParOutlineLevel(p, q, level);
      p = q + 1;
    }
  }
  EndOperation(doc);
  if (!op->Records.empty()) {
    TakeDocumentSelection(doc);
    doc.PostEditUpdate();
    CommitOperation(doc, std::move(op));
  }
  doc.LeaveCriticalEdit();
}

class TParagraphParamCommands : public TCommandHandler {
 public:
  void ExecuteWithParam(TCommandManager& /*manager*/, int32_t id, const void* argument) override {
    TDoc* doc = GetCommandTargetDoc();
    if (doc == nullptr || argument == nullptr) return;
    CommandEnvironment().AddEditingTime(*doc);
    DeactivateOvertypeMulSelection(*doc);
    switch (id) {
      case 209050: StyleByName(*doc, static_cast<const TVarCommand_Param*>(argument)->Text); break;
      case 209100: TabStop(*doc, *static_cast<const int32_t*>(argument)); break;
      case 209150: OutlineLevel(*doc, *static_cast<const int32_t*>(argument)); break;
      default: break;
    }
  }
};

}  // namespace

std::unique_ptr<TCommandHandler> MakeParagraphParamCommands() {
  return std::make_unique<TParagraphParamCommands>();
}

}  // namespace qv
