// The selection, find, undo, paragraph and case commands of the edit range, the locked selection,
// the highlighting of selection instances, collapsed headings and the sort options of the tools.
#include <algorithm>
#include <vector>

#include "commands/command_options.h"
#include "commands/command_routines.h"
#include "commands/edit_command_parts.h"
#include "commands/selection_objects.h"
#include "document/compound_fragment.h"
#include "document/doc_flags.h"
#include "document/field_index.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/section.h"
#include "editing/edit_codes.h"
#include "editing/ops/go_back.h"
#include "editing/ops/keyboard_layout_conversion.h"
#include "layout/box.h"
#include "layout/page.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kProgramSelection = 17;
constexpr uint8_t kLockSelection = 81;

TDocPosition ReferencePosition(const TDoc& doc) {
  return doc.HasSelection() && doc.IsSingleFragmentSelection() ? doc.Selection->GetRange(0)->Start : doc.Caret;
}

bool LineRange(TDoc& doc, const TDocPosition& at, TDocRange& out) {
  doc.EnsureParagraphLaidOut(at.Par);
  const TPar& par = *doc.Par(at.Par);
  for (size_t i = 0; i < par.Lines.size(); ++i) {
    const TLine& line = *par.Lines[i];
    const bool last = i + 1 == par.Lines.size();
    if (at.Offset < line.FirstChar || (at.Offset >= line.FirstChar + line.Count && !last)) continue;
    MakeRange(at.Par, line.FirstChar, at.Par, line.FirstChar + line.Count, out);
    return true;
  }
  MakeRange(at.Par, 0, at.Par, par.CharCount(), out);
  return true;
}

// The first to the last line of the page that shows the position.
bool PageRange(TDoc& doc, const TDocPosition& at, TDocRange& out) {
  int32_t page = at.Page;
  if (page < 0 || page >= doc.PageCount()) page = doc.CurrentPage();
  if (page < 0 || page >= doc.PageCount()) return false;
  const std::vector<TLine*> lines = CollectPageLines(*doc.Pages[static_cast<size_t>(page)], BodyAreas);
  if (lines.empty()) return false;
  const TLine& first = *lines.front();
  const TLine& last = *lines.back();
  MakeRange(first.Par->Index, first.FirstChar, last.Par->Index, last.FirstChar + last.Count, out);
  return true;
}

// The word, line, sentence, paragraph, page or section at the position.
void SelectUnit(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TDocPosition at = ReferencePosition(doc);
  TDocRange range{at, at};
  switch (run.Id) {
    case 3760: {
      if (at.Offset > 0 && at.Offset >= doc.ParLength(at.Par) - 1) --at.Offset;
      TTextRun word = doc.WordAt(at);
      if (word.Length == 0 && word.Position.Offset > 0 && at.Offset >= doc.ParLength(at.Par) - 1)
        word = doc.WordAt(TDocPosition{at.Par, word.Position.Offset - 1});
      range.Start = word.Position;
      MakePosition(word.Position.Par, word.Position.Offset + word.Length, range.End);
      break;
    }
    case 3780: LineRange(doc, at, range); break;
    case 3785: range = doc.SentenceAt(at); break;
    case 3800: MakeRange(at.Par, 0, at.Par, std::max(0, doc.ParLength(at.Par) - 1), range); break;
    case 3805: if (!PageRange(doc, at, range)) return; break;
    case 3810: {
      const TSection* section = doc.SectionOfParagraph(at.Par);
      MakeRange(section->FirstPar, 0, section->LastPar, doc.ParLength(section->LastPar), range);
      break;
    }
    default: return;
  }
  SelectRange(doc, range);
  doc.CaretToSelectionStart();
  EditCmd().SelectionSet(doc);
  ApplyMouseModeToSelection();
}

// Locking and unlocking selections, and the fragments of the selection tool.
void LockedSelection(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TEditCommandServices& services = EditCmd();
  auto lock = [&doc](std::vector<TField*>* fields) {
    void* args[] = {fields};
    doc.ExecuteEdit(kLockSelection, args, 0);
  };
  std::vector<TField*> fields;
  switch (run.Id) {
    case 5350:
      doc.RebuildFieldIndex();
      fields = doc.FieldIndex().LockedSelections;
      lock(fields.empty() ? nullptr : &fields);
      break;
    case 5351: lock(nullptr); break;
    case 5352:
      fields = services.HighlightedLockedFragments(doc);
      lock(&fields);
      break;
    default: {  // 5353-5355: the highlighted fragments become the selection first
      if (run.Id == 5355 && doc.HeaderFooterInPlace != nullptr) run.Manager.Execute(7200);
      TFragmentRef previous = AcquireFragment();
      if (doc.Selection) previous->Assign(*doc.Selection);
      const TDocPosition previousCaret = doc.Caret;
      fields = services.HighlightedLockedFragments(doc);
      if (fields.empty()) return;
      {
        TScopedDocFlag programSelection(doc, kProgramSelection);
        doc.Selection->Clear();
        for (TField* f : fields) {
          TDocRange range;
          if (doc.GetFieldRange(f, range)) doc.Selection->InsertRange(doc.Selection->Count(), range);
        }
        doc.NormalizeFragments(*doc.Selection);
        doc.SelectionChanged();
      }
      if (run.Id == 5353) {
        run.Manager.Execute(3220);
      } else if (run.Id == 5354) {
        run.Manager.Execute(3340);
        doc.Selection->Assign(*previous);
        doc.Caret = previousCaret;
        doc.SelectionChanged();
        CommandEnvironment().RequestInterfaceUpdate();
      } else {
        doc.CaretToSelectionStart();
        services.ScrollCaretIntoView(doc, 1);
        CommandEnvironment().RequestInterfaceUpdate();
      }
    }
  }
  services.Redraw(doc);
}

// Collapsing and expanding headings with a body.
void CollapseHeadings(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const bool collapse = run.Id == 5810 || run.Id == 5812;
  const bool selectedOnly = run.Id == 5810 || run.Id == 5811;
  std::vector<int32_t> selected;
  if (selectedOnly) selected = CollectSelectionObjects(doc).Headings;
  bool changed = false;
  for (int32_t p = doc.ParCount() - 1; p >= 0; --p) {
    TParFormat& f = doc.Par(p)->Format;
    if (f.OutlineLevel < 0 || f.OutlineLevel > 8 || !EditCmd().HeadingHasBody(doc, p)) continue;
    if ((f.Collapsed == 1) == collapse) continue;
    if (selectedOnly && std::find(selected.begin(), selected.end(), p) == selected.end()) continue;
    f.Collapsed = collapse ? 1 : 0;
    changed = true;
  }
  if (!changed) return;
  doc.SelectionChanged();
  doc.RebuildLayout();
  EditCmd().Redraw(doc);
  CommandEnvironment().RequestInterfaceUpdate();
}

// The highlighting of instances of the selected text and its options.
void SelectionInstances(int32_t id) {
  TEditCommandServices& services = EditCmd();
  switch (id) {
    case 5800:
      GetOptions().Edit.Flags ^= opt::EditInstancesOff;
      if (EditOption(opt::EditInstancesOff)) {
        services.InvalidateSelectionInstances(nullptr);
        ShowInfo("\"Highlight instances of selected text\" is now off.\r\rYou can reactivate it on the \"Edit\" tab "
                 "of the \"Tools | Options...\" dialog.");
      }
      break;
    case 5801:
      ToggleInternalOption(opt::InternalInstancesExact);
      services.InvalidateSelectionInstances(nullptr);
      break;
    case 5802: GetOptions().Edit.Flags ^= opt::EditEnterSelectsInstances; break;
    case 5803: ToggleInternalOption(opt::InternalInstancePreviewsOff); break;
    default: break;
  }
  CommandEnvironment().RequestInterfaceUpdate();
}

void RunEdit(TDoc& doc, uint8_t code, void** args, int32_t last) { doc.ExecuteEdit(code, args, last); }

// The paragraph operations and conversions over the selection.
void ParagraphOrCase(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const int32_t id = run.Id;
  if (id == 3920) {
    if (doc.Selection) doc.NormalizeFragments(*doc.Selection);
    const TDocRange r = FirstRangeOrCaret(doc);
    int32_t first = r.Start.Par, last = r.End.Par;
    void* args[] = {&first, &last};
    RunEdit(doc, ecJoinParagraphs, args, 1);
  } else if (id == 3925) {
    const TDocRange r = FirstRangeOrCaret(doc);
    int32_t first = r.Start.Par, last = r.End.Par;
    void* args[] = {&first, &last};
    RunEdit(doc, ecSplitParagraphs, args, 1);
  } else if (id == 3930 || id == 3931) {
    const TDocRange r = FirstRangeOrCaret(doc);
    int32_t first = r.Start.Par, last = r.End.Par;
    uint8_t descending = id == 3931 ? 1 : 0;
    void* args[] = {&first, &last, &descending};
    RunEdit(doc, ecSortParagraphs, args, 2);
  } else if (id == 3935 || id == 3936) {
    int32_t step = id == 3935 ? -1 : 1;
    void* args[] = {&step};
    RunEdit(doc, ecMoveParagraphs, args, 0);
  } else {  // 3940-4030: case and keyboard-layout conversions
    static const std::pair<int32_t, uint8_t> kKinds[] = {{3940, 0}, {3960, 0}, {3980, 1}, {4000, 2},
                                                          {4020, 3}, {4025, 4}, {4030, 5}};
    uint8_t kind = 0;
    for (const auto& [cmd, k] : kKinds)
      if (cmd == id) kind = k;
    TDocRange range = FirstRangeOrCaret(doc);
    int32_t flags = 2;
    TKeyLayoutConversion layout;
    layout.SubMode = id == 3960 ? 1 : 0;
    void* args[] = {doc.Selection.get(), &range, &kind, &flags, kind == 0 ? &layout : nullptr};
    RunEdit(doc, ecChangeCase, args, kind == 0 ? 4 : 3);
  }
}

}  // namespace

bool RunSelectionCommand(TEditRun& run) {
  const int32_t id = run.Id;
  TEditCommandServices& services = EditCmd();
  TCommandEnvironment& env = CommandEnvironment();
  // Commands that need no document.
  switch (id) {
    case 3640: case 3641: services.ShowFindReplaceDialog(id - 3640); return true;
    case 3645: case 3646: case 3647: case 3648: services.RunSearchCommand(id - 3645); return true;
    case 3670: case 3671: case 3672: services.ToggleFindOption(id); return true;
    case 3675: ToggleInternalOption(opt::InternalFindToolInstead); env.RequestInterfaceUpdate(); return true;
    case 3676:
      ToggleInternalOption(opt::InternalFindToolInstead);
      services.ShowFindReplaceDialog(-1);
      ToggleInternalOption(opt::InternalFindToolInstead);
      return true;
    case 3720: services.ToggleOverwrite(); env.UpdateInterfaceState(); PlaySound(sndInsertMode); return true;
    case 4534: case 4535: {
      uint32_t& flags = GetOptions().Internal.Flags;
      flags = id == 4534 ? flags | opt::InternalBookmarksByName : flags & ~opt::InternalBookmarksByName;
      for (TDoc* doc : env.OpenDocuments()) services.MarkToolListsStale(doc);
      env.RequestInterfaceUpdate();
      return true;
    }
    case 5315: case 5316: {
      uint32_t& flags = GetOptions().Internal.Flags;
      flags = id == 5315 ? flags | opt::InternalIndexAlphabetical : flags & ~opt::InternalIndexAlphabetical;
      for (TDoc* doc : env.OpenDocuments()) services.MarkToolListsStale(doc);
      env.RequestInterfaceUpdate();
      return true;
    }
    case 5800: case 5801: case 5802: case 5803: SelectionInstances(id); return true;
    default: break;
  }
  const bool ours = id == 3680 || id == 5250 || id == 3700 || id == 3740 || id == 3745 ||
                    (id >= 3760 && id <= 3810) || id == 3820 || id == 3840 || id == 3860 || id == 3880 ||
                    id == 3900 || (id >= 3920 && id <= 4030) || id == 4040 || id == 4120 || id == 4220 ||
                    (id >= 5350 && id <= 5355) || (id >= 5810 && id <= 5813);
  if (!ours) return false;
  if (run.Doc == nullptr) return true;
  TDoc& doc = *run.Doc;
  switch (id) {
    case 3680:
    case 5250: {
      struct TSaving {
        TCommandManager& M;
        ~TSaving() { M.Flags &= ~TCommandManager::cmSavingClip; }
      } saving{run.Manager};
      run.Manager.Flags |= TCommandManager::cmSavingClip;
      const bool cells = doc.HasSelection() && doc.IsCellSelection(*doc.Selection);
      if (id == 3680) services.SaveSelectionAs(doc);
      else services.AddSelectionToClipLibrary(doc, cells ? "Tables" : "");
      return true;
    }
    case 3700: services.SavePicturesAs(doc); return true;
    case 3740: doc.SelectAll(); ApplyMouseModeToSelection(); return true;
    case 3745: doc.InvertSelection(); return true;
    case 3820: GoBack(doc); return true;
    case 3840: doc.Undo(); PlaySound(sndUndo); return true;
    case 3860: doc.Redo(); PlaySound(sndRedo); return true;
    case 3880: doc.UndoAll(); PlaySound(sndUndo); return true;
    case 3900: doc.RedoAll(); PlaySound(sndRedo); return true;
    case 4040: services.DropButtonMenu(4040); return true;
    case 4120: services.CalculateExpression(doc); return true;
    case 4220: {
      const int32_t laidOut = doc.TwipsToPixelsX(doc.MaxPageExtent[0]);
      doc.ScrollTo({(laidOut - services.PageAreaWidth(doc)) / 2, doc.View.ScrollPos.y});
      return true;
    }
    default: break;
  }
  if (id >= 3760 && id <= 3810) SelectUnit(run);
  else if (id >= 5350 && id <= 5355) LockedSelection(run);
  else if (id >= 5810) CollapseHeadings(run);
  else ParagraphOrCase(run);
  return true;
}

}  // namespace qv
