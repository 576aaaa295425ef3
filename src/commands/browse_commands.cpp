// Browsing with the buttons of the vertical scroll bar (previous and next of the chosen browse
// object) and choosing the browse object.
#include <algorithm>
#include <optional>
#include <vector>

#include "commands/command_options.h"
#include "commands/edit_command_parts.h"
#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "layout/box.h"
#include "layout/page.h"

namespace qv {

namespace {

enum : uint8_t {
  boFind = 0, boGraphic = 1, boHeading = 2, boSection = 3, boPage = 4, boField = 5, boHyperlink = 6,
  boBookmark = 7, boFootnote = 8, boEndnote = 9, boRepetition = 10, boOverlong = 11, boTable = 12,
};
constexpr int32_t kScrollPrevious = 5, kScrollNext = 6, kScrollPlain = 2;
constexpr uint8_t kFieldIndexEntry = 4, kFieldSymbol = 57;
constexpr int32_t kScrollNoPaint = 13, kProgramSelection = 17;

// A place to go to: a position, or a range to select, or a floating shape to select.
struct TTarget {
  TDocRange Range;
  TShape* Floating = nullptr;
};

bool Before(const TDocPosition& a, const TDocPosition& b) { return ComparePositions(a, b) < 0; }

// Picks the nearest candidate after (before) the caret, skipping the current selection.
std::optional<TTarget> Nearest(TDoc& doc, std::vector<TTarget> candidates, bool previous) {
  const TDocRange current = FirstRangeOrCaret(doc);
  const TDocPosition from = doc.Caret;
  std::optional<TTarget> best;
  for (const TTarget& t : candidates) {
    if (ComparePositions(t.Range.Start, current.Start) == 0 && ComparePositions(t.Range.End, current.End) == 0)
      continue;
    const bool ahead = previous ? Before(t.Range.Start, from) : !Before(t.Range.Start, from);
    if (!ahead) continue;
    if (!best || (previous ? Before(best->Range.Start, t.Range.Start) : Before(t.Range.Start, best->Range.Start)))
      best = t;
  }
  return best;
}

bool InTextAndNotes(TDoc& doc, const TDocPosition& at) {
  TDocRange range;
  doc.GetTextAndNotesRange(range);
  return PositionInRangeInclusive(at, range);
}

// Fields, hyperlinks, bookmarks and notes of the text and the notes.
std::vector<TTarget> FieldTargets(TDoc& doc, uint8_t object) {
  doc.RebuildFieldIndex();
  std::vector<TTarget> out;
  for (const auto& owned : doc.Fields) {
    const TField& f = *owned;
    bool wanted = false;
    switch (object) {
      case boField:
        wanted = f.Kind == fkField && f.FieldType != kFieldIndexEntry && f.FieldType != kFieldSymbol &&
                 f.FieldType != ftHyperlink && !IsRangeEmpty(f.Range);
        break;
      case boHyperlink: wanted = f.Kind == fkField && f.FieldType == ftHyperlink; break;
      case boBookmark: wanted = f.Kind == fkBookmark && f.Flags != 2 && ComparePositions(f.Range.Start, doc.Caret) != 0; break;
      case boFootnote:
      case boEndnote:
        wanted = f.Kind == fkNoteReference && f.LinkedField != nullptr &&
                 (f.LinkedField->NoteClass == 1) == (object == boEndnote);
        break;
      case boGraphic: wanted = f.Kind == fkShapeAnchor && f.Shape != nullptr; break;
      default: break;
    }
    if (!wanted || !InTextAndNotes(doc, f.Range.Start)) continue;
    TTarget t;
    t.Range = object == boBookmark ? TDocRange{f.Range.Start, f.Range.Start} : f.Range;
    if (object == boGraphic) {
      t.Range = TDocRange{f.Range.Start, f.Range.Start};
      t.Floating = f.Shape;
    }
    out.push_back(t);
  }
  if (object == boGraphic) {  // inline shapes that are no horizontal rules
    TDocRange whole;
    doc.GetTextAndNotesRange(whole);
    for (int32_t p = whole.Start.Par; p <= whole.End.Par && p < doc.ParCount(); ++p) {
      const TPar& par = *doc.Par(p);
      for (int32_t i = 0; i < par.CharCount(); ++i) {
        if (par.CodeAt(i) != scInlineShape) continue;
        TDocPosition at;
        MakePosition(p, i, at);
        const TShape* shape = doc.GetShapeAt(at);
        if (shape != nullptr && shape->IsHorizontalRule()) continue;
        TTarget t;
        MakeRange(p, i, p, i + 1, t.Range);
        out.push_back(t);
      }
    }
  }
  return out;
}

std::vector<TTarget> HeadingTargets(TDoc& doc) {
  TDocRange whole;
  doc.GetTextAndNotesRange(whole);
  std::vector<TTarget> out;
  for (int32_t p = whole.Start.Par; p <= whole.End.Par && p < doc.ParCount(); ++p) {
    const int8_t level = doc.Par(p)->Format.OutlineLevel;
    if (level < 0 || level > 8) continue;
    TTarget t;
    MakeRange(p, 0, p, 0, t.Range);
    out.push_back(t);
  }
  return out;
}

std::vector<TTarget> TableTargets(TDoc& doc) {
  std::vector<TTarget> out;
  TDocRange own{};
  const bool inTable = doc.Par(doc.Caret.Par)->Format.InTable == 1;
  if (inTable) doc.GetTableRange(doc.Caret.Par, own);
  const int32_t last = doc.LastParagraphOfStory(stEndnotes);
  for (int32_t p = 0; p <= last && p < doc.ParCount(); ++p) {
    if (doc.Par(p)->Format.InTable != 1) continue;
    TDocRange table;
    doc.GetTableRange(p, table);
    if (!(inTable && table.Start.Par == own.Start.Par)) {
      TTarget t;
      t.Range = TDocRange{table.Start, table.Start};
      out.push_back(t);
    }
    p = std::max(p, table.End.Par);
  }
  return out;
}

// Inside the notes: the start of the next or previous note text of the same story.
std::optional<TTarget> NoteTextTarget(TDoc& doc, int32_t story, bool previous) {
  std::vector<TField*> notes;
  doc.ListNotesOfStory(notes, story);
  std::vector<TTarget> candidates;
  for (TField* n : notes) {
    TDocRange range;
    if (!doc.GetFieldRange(n, range)) continue;
    TTarget t;
    t.Range = TDocRange{range.Start, range.Start};
    candidates.push_back(t);
  }
  // The current note itself is not a target going forward.
  std::erase_if(candidates, [&](const TTarget& t) {
    return !previous && ComparePositions(t.Range.Start, doc.Caret) <= 0;
  });
  return Nearest(doc, candidates, previous);
}

std::optional<TTarget> SectionTarget(TDoc& doc, bool previous) {
  const TSection* own = doc.SectionOfParagraph(doc.Caret.Par);
  const int32_t index = own != nullptr ? own->Number + (previous ? -1 : 1) : -1;
  TTarget t;
  if (index < 0 || index >= static_cast<int32_t>(doc.Sections.size())) {
    MakeRange(doc.Caret.Par, 0, doc.Caret.Par, 0, t.Range);
    return t;
  }
  const int32_t first = doc.Sections[static_cast<size_t>(index)]->FirstPar;
  MakeRange(first, 0, first, 0, t.Range);
  return t;
}

void GoToTarget(TDoc& doc, const TTarget& target, bool previous) {
  TScopedDocFlag noPaint(doc, kScrollNoPaint);
  TScopedDocFlag programSelection(doc, kProgramSelection);
  if (target.Floating != nullptr) {
    doc.ClearSelection();
    doc.Caret = target.Range.Start;
    doc.SelectedShapes = {target.Floating};
    doc.SelectionChanged();
  } else if (!IsRangeEmpty(target.Range)) {
    doc.SetSelection(target.Range.Start.Par, target.Range.Start.Offset, target.Range.End.Par, target.Range.End.Offset);
    doc.Caret = target.Range.Start;
  } else {
    doc.ClearSelection();
    doc.Caret = target.Range.Start;
  }
  EditCmd().ScrollCaretIntoView(doc, previous ? kScrollPrevious : kScrollNext);
  EditCmd().Redraw(doc);
}

void NothingFurther(TDoc& doc, uint8_t object) {
  TEditCommandServices& services = EditCmd();
  if (object == boGraphic && !doc.SelectedShapes.empty()) {
    services.ScrollSelectedShapeIntoView(doc);
    return;
  }
  if (services.CaretVisible(doc)) return;
  if (object == boBookmark) doc.ClearSelection();
  services.ScrollCaretIntoView(doc, kScrollPlain);
  services.ScrollCaretIntoView(doc, kScrollPrevious);
}

// Pages: the next or previous page with content; the view shows its top, the caret goes to its
// first line unless a header or footer is being edited.
void BrowsePage(TDoc& doc, bool previous) {
  if (doc.ViewMode != vmPrintLayout) return;
  doc.PaginateAll();
  int32_t page = doc.CurrentPage();
  std::vector<TLine*> lines;
  do {
    page += previous ? -1 : 1;
    if (page < 0 || page >= doc.PageCount()) return;
    lines = CollectPageLines(*doc.Pages[static_cast<size_t>(page)], BodyAreas);
  } while (lines.empty());
  plat::Rect rect;
  doc.GetPageRect(page, rect);
  doc.ScrollToY(std::max(0, rect.top - 10));
  if (doc.HeaderFooterInPlace != nullptr) return;
  TDocPosition at;
  MakePosition(lines.front()->Par->Index, lines.front()->FirstChar, at);
  if (EditCmd().ShiftHeld()) {
    const TDocPosition anchor = doc.HasSelection() ? doc.SelectionAnchor : doc.Caret;
    const bool forward = Before(anchor, at);
    doc.SetSelection(forward ? anchor.Par : at.Par, forward ? anchor.Offset : at.Offset,
                     forward ? at.Par : anchor.Par, forward ? at.Offset : anchor.Offset);
  } else {
    doc.ClearSelection();
  }
  doc.Caret = at;
  EditCmd().Redraw(doc);
}

void Browse(TEditRun& run, bool previous) {
  TDoc& doc = *run.Doc;
  TEditCommandServices& services = EditCmd();
  const uint8_t object = GetOptions().Internal.NavObjType;
  std::optional<TTarget> target;
  switch (object) {
    case boFind:
      if (services.HasValidSearch()) {
        services.SearchOnce(previous);
        doc.ResetSearchStart();
      } else {
        run.Manager.Execute(3640);
      }
      return;
    case boRepetition:
    case boOverlong: services.StepOverusedWords(object, previous); return;
    case boPage: BrowsePage(doc, previous); return;
    case boHeading: target = Nearest(doc, HeadingTargets(doc), previous); break;
    case boSection: target = SectionTarget(doc, previous); break;
    case boTable: target = Nearest(doc, TableTargets(doc), previous); break;
    case boFootnote:
    case boEndnote: {
      const int32_t story = doc.StoryOfParagraph(doc.Caret.Par);
      const int32_t own = object == boFootnote ? stFootnotes : stEndnotes;
      target = story == own ? NoteTextTarget(doc, own, previous) : Nearest(doc, FieldTargets(doc, object), previous);
      break;
    }
    default: target = Nearest(doc, FieldTargets(doc, object), previous); break;
  }
  if (target) GoToTarget(doc, *target, previous);
  else NothingFurther(doc, object);
}

}  // namespace

bool RunBrowseCommand(TEditRun& run) {
  const int32_t id = run.Id;
  if (id == 4227) {
    EditCmd().ShowBrowseToolbar();
    return true;
  }
  if (id >= 4230 && id <= 4242) {
    GetOptions().Internal.NavObjType = static_cast<uint8_t>(id - 4230);
    EditCmd().HideBrowseToolbar();
    CommandEnvironment().RequestInterfaceUpdate();
    return true;
  }
  if (id != 4225 && id != 4226) return false;
  if (run.Doc == nullptr) return true;
  run.Manager.Flags |= TCommandManager::cmBrowsing;
  struct TClear {
    TCommandManager& M;
    ~TClear() { M.Flags &= ~TCommandManager::cmBrowsing; }
  } clear{run.Manager};
  Browse(run, id == 4225);
  return true;
}

}  // namespace qv
