#include "commands/command_routines.h"

#include <cstdint>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/par.h"

namespace qv {

namespace {

constexpr uint8_t kMouseFormatBrush = 2, kMouseHighlight = 4, kMouseFontColor = 5;
constexpr uint8_t kNameHighlight = 11, kNameFontColor = 12;
constexpr int32_t kApplyHighlight = 12500, kApplyFontColor = 12520;

}  // namespace

void ApplyMouseModeToSelection() {
  TCommandEnvironment& environment = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  if (!doc || !environment.HasSelection(*doc)) return;
  switch (environment.MouseMode()) {
    case kMouseFormatBrush:
      GetCommandManager().Execute(cmd::ApplyFormatBrush);
      break;
    case kMouseHighlight:
      environment.SetOperationNameOverride(*doc, kNameHighlight);
      GetCommandManager().Execute(kApplyHighlight);
      break;
    case kMouseFontColor:
      environment.SetOperationNameOverride(*doc, kNameFontColor);
      GetCommandManager().Execute(kApplyFontColor);
      break;
    default:
      break;
  }
}

bool SelectionReachesParagraphEnd() {
  TDoc* doc = GetCommandTargetDoc();
  if (!doc || !CommandEnvironment().HasSelection(*doc) || !doc->Selection) return false;
  const TCompoundFragment& selection = *doc->Selection;
  for (int32_t i = 0; i < selection.Count(); ++i) {
    const TDocRange& range = *selection.GetRange(i);
    if (range.End.Par != range.Start.Par) return true;
    // A range in a paragraph the document no longer holds reads nothing.
    if (range.End.Par < 0 || range.End.Par >= doc->ParCount()) continue;
    if (range.End.Offset >= doc->Par(range.End.Par)->CharCount() - 1) return true;
  }
  return false;
}

}  // namespace qv
