#include "commands/picture_section_commands.h"

#include <memory>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/format_dialog_services.h"
#include "commands/table_commands.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/section.h"
#include "editing/edit_codes.h"
#include "editing/ops/multi_selection.h"
#include "foundation/settings/options_holder.h"

namespace qv {

void ExecuteEditWith(TDoc& doc, uint8_t code, std::vector<void*> args) {
  doc.ExecuteEdit(code, args.empty() ? nullptr : args.data(), static_cast<int32_t>(args.size()) - 1);
}

namespace {

constexpr int32_t kShowControlBoard = 6500;
constexpr int32_t kLeaveHeaderFooter = 7200;
constexpr int32_t kSectionsTool = 3;
constexpr int32_t kFormatBrushSound = 10080;
constexpr int32_t kEndFormatBrush = 700;
constexpr uint8_t kMouseModeFormatBrush = 2;
constexpr uint8_t kCaretAgain = 4;


TSection* CaretSection(TDoc& doc) {
  doc.UpdateSectionRanges();
  return doc.SectionOfParagraph(doc.Caret.Par);
}

TSection* SectionAt(TDoc& doc, int32_t index) {
  doc.UpdateSectionRanges();
  if (index < 0 || index >= static_cast<int32_t>(doc.Sections.size())) return nullptr;
  return doc.Sections[static_cast<size_t>(index)].get();
}

void MergeSections(TDoc& doc, TSection* first, TSection* second) {
  if (first == nullptr || second == nullptr || first == second) return;
  ExecuteEditWith(doc, ecMergeSections, {first, second});
}

void ChangeBreakKind(TDoc& doc, int32_t id) {
  TSection* section = CaretSection(doc);
  if (section == nullptr) return;
  int32_t par = doc.Caret.Par;
  uint8_t kind = static_cast<uint8_t>(id - 15650);
  ExecuteEditWith(doc, ecChangeSectionBreak, {&par, &kind});
  CommandEnvironment().SetSectionsToolCurrent(doc, section->Number);
}

void LeaveHeaderFooter(TCommandManager& manager, TDoc& doc) {
  if (doc.HeaderFooterInPlace != nullptr) manager.Execute(kLeaveHeaderFooter);
}

// The sections tool: go to (15660, 15675) or select (15661) the highlighted section.
void GoToSection(TCommandManager& manager, int32_t id, TDoc& doc) {
  TSection* section = SectionAt(doc, CommandEnvironment().SectionsToolHighlighted(doc));
  if (section == nullptr) return;
  LeaveHeaderFooter(manager, doc);
  const bool inside = doc.Caret.Par >= section->FirstPar && doc.Caret.Par <= section->LastPar;
  if (id == 15661) {
    const int32_t lastLength = doc.Par(section->LastPar)->CharCount();
    doc.SetSelection(section->FirstPar, 0, section->LastPar, lastLength);
    MakePosition(section->FirstPar, 0, doc.Caret);
    return;
  }
  if (id == 15675 || !inside) {
    doc.ClearSelection();
    MakePosition(section->FirstPar, 0, doc.Caret);
  }
}

void MergeHighlighted(int32_t id, TDoc& doc) {
  const int32_t index = CommandEnvironment().SectionsToolHighlighted(doc);
  TSection* section = SectionAt(doc, index);
  MergeSections(doc, section, SectionAt(doc, id == 15662 ? index - 1 : index + 1));
}

void PageNumberFormat(TDoc& doc) {
  const int32_t par = doc.HeaderFooterInPlace != nullptr ? doc.Caret.Par : doc.GetFirstSelectedPar();
  TSection* section = doc.HeaderFooterPageSection != nullptr && doc.HeaderFooterInPlace != nullptr
                          ? doc.HeaderFooterPageSection
                          : doc.SectionOfParagraph(par);
  if (section == nullptr) return;
  int32_t format = section->PageNumberFormat;
  int32_t start = section->PageNumberStart;
  if (!FormatDialogServices().ExecutePageNumberFormatDialog(format, start)) return;
  ExecuteEditWith(doc, ecPageNumbers, {section, &format, &start});
}

void InsertPageNumbers(TDoc& doc) {
  uint8_t position = 1, alignment = 1, showOnFirstPage = 1;
  if (FormatDialogServices().ExecuteInsertPageNumbersDialog(position, alignment, showOnFirstPage))
    doc.InsertPageNumbers(position, alignment, showOnFirstPage);
}

void ApplyFormatBrush(TCommandManager& manager, TDoc& doc) {
  ExecuteEditWith(doc, ecApplyFormatBrush);
  if ((manager.Flags & TCommandManager::cmBrushFromPalette) == 0) {
    // The caret is set again so that the typing format follows the brushed text.
    doc.UpdateTypingFormat(doc.Caret, kCaretAgain);
  }
  CommandEnvironment().PlayEventSound(kFormatBrushSound);
}

void FormatPalette(TCommandManager& manager, int32_t id) {
  TCommandEnvironment& env = CommandEnvironment();
  switch (id) {
    case 15800: return env.FormatPaletteAddFormat();
    case 15820: return env.FormatPaletteDeleteFormat();
    case 15825: return env.FormatPaletteRestoreDefaults();
    case 15830:
      if (env.MouseMode() == kMouseModeFormatBrush) return manager.Execute(kEndFormatBrush);
      return env.FormatPaletteLoadIntoBrush();
    case 15835: return env.FormatPaletteApplyFormat();
    default: return env.FormatPaletteEditFormat(id);  // 15811-15814
  }
}

// Stores the selection for the Reveal Formatting tool's comparison: two ranges at once, or one
// after the other; anything else waits for a selection.
void CompareFormatting(TDoc& doc) {
  for (TFragmentRef& f : doc.CompareFragments)
    if (!f) f = AcquireFragment();
  const int32_t count = doc.HasSelection() ? doc.Selection->Count() : 0;
  const bool ready = doc.CompareFormatState == 0 || doc.CompareFormatState == 3;
  if (!ready || count < 1 || count > 2) {
    doc.CompareFormatState = 1;
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    TCompoundFragment& stored = *doc.CompareFragments[static_cast<size_t>(i)];
    stored.SetCount(1);
    *stored.LastRange = *doc.Selection->GetRange(i);
  }
  if (count == 2) {
    doc.CompareFormatState = 3;
    return;
  }
  doc.CompareFormatState = 2;
  doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.ClearSelection();
  doc.UpdateTypingFormat(doc.Caret, kCaretAgain);
}

}  // namespace

bool RunSectionCommand(TCommandManager& manager, int32_t id, TDoc* doc) {
  TCommandEnvironment& env = CommandEnvironment();
  if (id == 15800 || (id >= 15811 && id <= 15814) || id == 15820 || id == 15825 || id == 15830 || id == 15835) {
    FormatPalette(manager, id);
    return true;
  }
  if (id == 15640) {
    env.DropButtonMenu(id);
    return true;
  }
  if (id == 15500) {
    FormatDialogServices().ExecuteApplyTemplateDialog();
    return true;
  }
  if (doc == nullptr) return id >= 15500 && id <= 15750;
  switch (id) {
    case 15550: ApplyFormatBrush(manager, *doc); return true;
    case 15600: FormatDialogServices().ExecuteColumnsDialog(*doc); return true;
    case 15641: {
      TSection* section = CaretSection(*doc);
      if (section != nullptr) MergeSections(*doc, SectionAt(*doc, section->Number + 1), section);
      return true;
    }
    case 15642: {
      TSection* section = CaretSection(*doc);
      if (section != nullptr) MergeSections(*doc, section, SectionAt(*doc, section->Number + 1));
      return true;
    }
    case 15643:
      if (TSection* section = CaretSection(*doc)) env.SetSectionsToolCurrent(*doc, section->Number);
      if (!GetOptions().View.ControlBoard) manager.Execute(kShowControlBoard);
      env.SelectControlBoardTool(kSectionsTool);
      return true;
    case 15660: case 15661: case 15675: GoToSection(manager, id, *doc); return true;
    case 15662: case 15663: MergeHighlighted(id, *doc); return true;
    case 15700: PageNumberFormat(*doc); return true;
    case 15750: InsertPageNumbers(*doc); return true;
    case 17000: case 17001: case 17002: env.FindSimilarFormatting(*doc, id - 17000); return true;
    case 17005: CompareFormatting(*doc); return true;
    default:
      if (id >= 15650 && id <= 15653) {
        ChangeBreakKind(*doc, id);
        return true;
      }
      return false;
  }
}

void TPictureSectionCommands::Execute(TCommandManager& manager, int32_t id) {
  TCommandEnvironment& env = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  if (doc != nullptr) {
    env.AddEditingTime(*doc);
    DeactivateOvertypeMulSelection(*doc);
  }
  if (id == 15940 || id == 15950 || id == 16170) env.DropButtonMenu(id);
  else if (id >= kFirstTableCommand && id <= kLastTableCommand) RunTableCommand(manager, id, doc);
  else if (!RunSectionCommand(manager, id, doc)) RunPictureCommand(manager, id, doc);
  env.RequestInterfaceUpdate();
}

void RegisterPictureSectionCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::Picture, std::make_unique<TPictureSectionCommands>());
}

}  // namespace qv
