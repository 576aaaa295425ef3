// The paragraph formatting commands of the paragraph range: the Paragraph dialog and the Find/
// Replace patterns' paragraph formats, copying and pasting the paragraph format, alignment,
// indent and spacing steps and toggles, keep and break options, reset, tabs and borders.
#include <cstdint>

#include "commands/command_environment_services.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/paragraph_commands.h"
#include "document/doc.h"
#include "document/styles.h"
#include "editing/edit_codes.h"
#include "editing/style_operations.h"

namespace qv {

namespace {

constexpr int32_t kIndentStep = 360;      // twips an indent step moves
constexpr int16_t kFirstLineIndent = 720;
constexpr int16_t kParagraphSpace = 240;  // the space the spacing toggles add
constexpr int32_t kTabStopCommand = 209100;
constexpr int32_t kStyleByNameCommand = 209050;  // the style combo box

// Event sounds.
constexpr int32_t kAlignSoundOffset = 5080;  // 4000 left ... 4003 justified

void ParagraphDialog(TParRun& run) {
  TDoc& doc = run.Doc;
  run.Changes = run.Base;
  const int32_t flags = run.Brush ? 3 : doc.SelectionHasHeadings() ? 2 : 0;
  const int32_t help = run.Brush ? 10100 : 10000;
  const bool ok = FormatDialogServices().ExecuteParFormatDialog(&doc, run.Changes, flags, help);
  run.Changes.Style = run.Base.Style;
  if (!ok) run.OwnEnd = true;
}

// 9001 and 9002: the paragraph format of the find or the replace pattern.
void FindPatternParFormat(TParRun& run, bool replace) {
  run.OwnEnd = true;
  TParagraphCommandServices& services = ParagraphCommandServices();
  TFindFormatPattern pattern = services.FindPattern(replace);
  if (pattern.ParFormat == nullptr) return;
  if (FormatDialogServices().ExecuteParFormatDialog(nullptr, *pattern.ParFormat, 1, 10000) && !replace)
    services.RefreshFindHighlights();
  services.RefreshFindPatternDescription();
}

void CopyParagraphFormat(TParRun& run) {
  CopyParFormatToClipboard(run.Doc.CurParFormat);
  CommandEnvironment().RequestInterfaceUpdate();
  CommandEnvironment().CheckFormatBrushName();
  CommandEnvironment().FormatClipboardChanged();
}

// The copied format may come from another document: a style or a list it names that this
// document does not have is left out rather than pasted as a dangling reference.
void PasteParagraphFormat(TParRun& run) {
  if (!ParFormatClipboard().Filled) return;
  TDoc& doc = run.Doc;
  TParFormat& c = run.Changes;
  c = ParFormatClipboard().Format;
  if (c.Style != ParUnset16 && (!doc.Styles || doc.Styles->Get(c.Style) == nullptr)) ClearParFormatProp(c, ppStyle);
  if (c.List != ParUnset32 && c.List != 0 && doc.ListByNumber(c.List) == nullptr) {
    ClearParFormatProp(c, ppList);
    ClearParFormatProp(c, ppListLevel);
  }
}

void Align(TParRun& run) {
  const int32_t alignment = run.Id - 9080;
  if (run.Brush && run.Base.Alignment == alignment) ClearParFormatProp(run.Changes, ppAlignment);
  else run.Changes.Alignment = static_cast<int8_t>(alignment);
  CommandEnvironment().PlayEventSound(run.Id - kAlignSoundOffset);
}

// Indent, spacing and list-level steps: one edit over the selection, nothing for the common end.
void Step(TParRun& run, uint8_t kind, int32_t amount) {
  RunEdit(run.Doc, ecStepParagraphFormat, {run.Fragment.get(), nullptr, &kind, &amount});
  run.Changes = UnsetParFormat;
}

void LineSpacing(TParRun& run, int16_t spacing) {
  if (run.Brush && run.Base.LineSpacing == spacing && run.Base.LineRule == 1) {
    ClearParFormatProp(run.Changes, ppLineSpacing);
    ClearParFormatProp(run.Changes, ppLineRule);
    return;
  }
  run.Changes.LineSpacing = spacing;
  run.Changes.LineRule = 1;
}

// Keep with next, keep lines together, page break before, widow control, contextual spacing:
// a mixed value becomes on, any other flips; the brush drops an off value instead.
void ToggleOption(TParRun& run, int prop) {
  const int32_t value = GetParFormatProp(run.Base, prop);
  if (value == ParUnset32) SetParFormatProp(run.Changes, prop, 1);
  else if (run.Brush && value == 0) ClearParFormatProp(run.Changes, prop);
  else SetParFormatProp(run.Changes, prop, (value & 0x7F) != 0 ? 0 : 1);
}

void BordersAndShading(TParRun& run) {
  int16_t borders = run.Base.Borders;
  int32_t shading = run.Base.Shading;
  if (!FormatDialogServices().ExecuteBorderDialog(run.Doc, borders, shading, run.Brush)) return;
  run.Changes.Borders = borders;
  run.Changes.Shading = shading;
}

int16_t SpaceToggled(int16_t value) { return value == kParagraphSpace ? 0 : kParagraphSpace; }

bool RunToggleCommand(TParRun& run) {
  TParFormat& c = run.Changes;
  const TParFormat& b = run.Base;
  switch (run.Id) {
    case 9170: c.FirstIndent = b.FirstIndent < 1 ? kFirstLineIndent : int16_t{0}; return true;
    case 9180: LineSpacing(run, 240); return true;
    case 9200: LineSpacing(run, 360); return true;
    case 9220: LineSpacing(run, 480); return true;
    case 9240: c.SpaceBefore = SpaceToggled(b.SpaceBefore); return true;
    case 9243: c.SpaceAfter = SpaceToggled(b.SpaceAfter); return true;
    case 9246: {
      const bool both = b.SpaceBefore == kParagraphSpace && b.SpaceAfter == kParagraphSpace;
      c.SpaceBefore = c.SpaceAfter = both ? int16_t{0} : kParagraphSpace;
      return true;
    }
    case 9270: ToggleOption(run, ppKeepNext); return true;
    case 9271: ToggleOption(run, ppKeepLines); return true;
    case 9272: ToggleOption(run, ppPageBreakBefore); return true;
    case 9273: ToggleOption(run, ppWidowControl); return true;
    case 9274: ToggleOption(run, ppContextual); return true;
    default: return false;
  }
}

bool RunStepCommand(TParRun& run) {
  switch (run.Id) {
    case 9100: Step(run, psLeftIndent, kIndentStep); return true;
    case 9120: Step(run, psLeftIndent, -kIndentStep); return true;
    case 9140: Step(run, psLeftIndentKeepFirstLine, kIndentStep); return true;
    case 9160: Step(run, psLeftIndentKeepFirstLine, -kIndentStep); return true;
    case 9250: Step(run, psLessSpaceBefore, 0); return true;
    case 9251: Step(run, psMoreSpaceBefore, 0); return true;
    case 9255: Step(run, psLessSpaceAfter, 0); return true;
    case 9256: Step(run, psMoreSpaceAfter, 0); return true;
    // Promoting moves an item up the outline (a lower level number), demoting down it.
    case 9340: case 9342: Step(run, psListLevelUp, 0); return true;
    case 9341: case 9343: Step(run, psListLevelDown, 0); return true;
    default: return false;
  }
}

}  // namespace

bool RunParagraphFormatCommand(TParRun& run) {
  if (RunToggleCommand(run) || RunStepCommand(run)) return true;
  if (run.Id >= 9080 && run.Id <= 9083) {
    Align(run);
    return true;
  }
  switch (run.Id) {
    case 9000: ParagraphDialog(run); return true;
    case 9001: FindPatternParFormat(run, false); return true;
    case 9002: FindPatternParFormat(run, true); return true;
    case 9020: CopyParagraphFormat(run); return true;
    case 9040: PasteParagraphFormat(run); return true;
    case 9060: CommandEnvironment().DropCommandBarCombo(kStyleByNameCommand); return true;
    case 9235: ParagraphCommandServices().DropButtonMenu(run.Id); return true;
    case 9260: {
      uint8_t paragraphFormat = 0;
      RunEdit(run.Doc, ecResetToStyleFormat, {run.Fragment.get(), nullptr, &paragraphFormat});
      return true;
    }
    case 9280: {
      const int32_t unset = ParUnset32;
      run.Manager.ExecuteWithParam(kTabStopCommand, &unset);
      return true;
    }
    case 9285: BordersAndShading(run); return true;
    default: return false;
  }
}

}  // namespace qv
