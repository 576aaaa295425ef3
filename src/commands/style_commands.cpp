// The style commands of the paragraph range: the Style dialog, Update style, the Find/Replace
// patterns' styles and the Control Board's styles tool.
#include <memory>
#include <string>

#include "commands/command_environment_services.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/paragraph_commands.h"
#include "document/doc.h"
#include "document/styles.h"
#include "editing/edit_codes.h"
#include "editing/format_records.h"

namespace qv {

namespace {

constexpr int32_t kStyleByNameCommand = 209050;

void StyleDialog(TParRun& run) {
  TDoc& doc = run.Doc;
  auto info = std::make_unique<TFormatStyleListInfo>();
  if (doc.CurParFormat.Style != ParUnset16) info->StyleIndex = doc.CurParFormat.Style;
  if (!FormatDialogServices().ExecuteEditStyleListDialog(doc, *info)) return;
  // The edit takes the record over.
  RunEdit(doc, ecFormatDocumentStyles, {info.release()});
}

void UpdateCurrentStyle(TDoc& doc, int32_t styleIndex) {
  RunEdit(doc, ecUpdateStyle, {&styleIndex});
}

// 9301 and 9302: the style of the find or the replace pattern.
void FindPatternStyle(bool replace) {
  TParagraphCommandServices& services = ParagraphCommandServices();
  TFindFormatPattern pattern = services.FindPattern(replace);
  if (pattern.StyleName == nullptr) return;
  if (FormatDialogServices().ChooseStyleName(GetCommandTargetDoc(), *pattern.StyleName) && !replace)
    services.RefreshFindHighlights();
  services.RefreshFindPatternDescription();
}

// 9609: the highlighted style takes the formatting of the selection.
void UpdateHighlightedStyle(TParRun& run) {
  TDoc& doc = run.Doc;
  const std::string name = CommandEnvironment().HighlightedStyleName();
  const int32_t index = doc.Styles ? doc.Styles->IndexOfName(name) : -1;
  if (index < 0) return;
  UpdateCurrentStyle(doc, index);
  ParagraphCommandServices().SetLastUsedStyleName(doc, name);
  run.Manager.Flags |= TCommandManager::cmStyleToolStale;
}

void ApplyHighlightedStyle(TParRun& run) {
  TVarCommand_Param param;
  param.Text = CommandEnvironment().HighlightedStyleName();
  if (param.Text.empty()) return;
  run.Manager.ExecuteWithParam(kStyleByNameCommand, &param);
}

}  // namespace

bool RunStyleCommand(TParRun& run) {
  TParagraphCommandServices& tool = ParagraphCommandServices();
  switch (run.Id) {
    case 9300: StyleDialog(run); return true;
    case 9310: UpdateCurrentStyle(run.Doc, -1); return true;
    case 9301: FindPatternStyle(false); return true;
    case 9302: FindPatternStyle(true); return true;
    case 9600:
    case 9601:
    case 9625: tool.RunStyleCommand(run.Id); return true;
    case 9609: UpdateHighlightedStyle(run); return true;
    case 9610: tool.DeleteStyle(); return true;
    case 9615: ApplyHighlightedStyle(run); return true;
    case 9620: tool.SelectStyleParagraphs(); return true;
    default: return false;
  }
}

}  // namespace qv
