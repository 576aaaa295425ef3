#include "editing/post_edit_update.h"

#include <algorithm>
#include <climits>

#include "document/compound_fragment.h"
#include "document/field.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/shape.h"
#include "editing/edit_flags.h"
#include "editing/edit_layout_hooks.h"
#include "layout/box.h"
#include "layout/paint/box_geometry.h"

namespace qv {

namespace {

// Flags of the update besides those the engine names (editing/edit_flags.h).
enum : int32_t {
  dfUpdateScoped13 = 13,
  dfUpdateScoped14 = 14,
  dfPaginating = 31,
  dfUpdated34 = 34,
  dfUpdateScoped38 = 38,
  dfNoRepaint = 112,
  dfUpdate152 = 152,
  dfCachedValueKept = 161,
};

// Pages laid out past the larger of the changed page and the last visible one, so that the
// caret's page and what the view may scroll to next are ready.
constexpr int32_t kPagesAhead = 5;
// Pages laid out at a time while selected shapes wait for their pages.
constexpr int32_t kShapePagesStep = 8;

bool InStory(const TDoc& doc, const TDocPosition& at, int32_t story) {
  return at.Par >= 0 && at.Par < doc.ParCount() && doc.StoryOfParagraph(at.Par) == story;
}

// A caret in the header and footer story while nothing is edited in place goes to the first
// character of the first main-text line of its page (the start of the main text when the page
// is not laid out); any other caret stays before its paragraph's mark.
void ClampCaret(TDoc& doc, TDocPosition& caret) {
  if (caret.Par < 0 || caret.Par >= doc.ParCount()) MakePosition(0, 0, caret);
  if (InStory(doc, caret, stHeadersFooters) && doc.HeaderFooterInPlace == nullptr) {
    const int32_t page = std::clamp(caret.Page, 0, std::max(doc.PageCount() - 1, 0));
    const TLine* line = page < doc.PageCount() ? GetFirstLineOfBox(*doc.Pages[static_cast<size_t>(page)], BodyAreas)
                                               : nullptr;
    if (line != nullptr && line->Par != nullptr) MakePosition(line->Par->Index, line->FirstChar, caret);
    else MakePosition(doc.FirstParagraphOfStory(stMain), 0, caret);
    caret.Page = page;
    return;
  }
  const int32_t n = doc.Par(caret.Par)->CharCount();
  caret.Offset = std::clamp(caret.Offset, 0, std::max(n - 1, 0));
}

void EndInPlaceEditing(TDoc& doc, TPostActions& pa) {
  TEditLayoutHooks& hooks = EditLayoutHooks();
  hooks.ReleaseHeaderFooter(doc, doc.HeaderFooterPage);
  doc.HeaderFooterInPlace = nullptr;
  doc.HeaderFooterPage = -1;
  if (pa.Selection) pa.Selection.reset();
  doc.SelectedShapes.clear();
  hooks.RestartSpellcheck(doc);
  pa.HasRepaintRange = false;
}

// Lays the pages out again from the first changed one through a few pages past what the view
// shows, with the caret the edit leaves in force while it runs.
void Relayout(TDoc& doc, TPostActions& pa) {
  if (pa.FirstPage == PostActionNone && pa.FirstPar == PostActionNone) return;
  const TDocPosition saved = doc.Caret;
  if (pa.HasCaret) {
    doc.Caret.Par = pa.Caret.Par;
    doc.Caret.Offset = pa.Caret.Offset;
  }
  int32_t last = std::max(pa.FirstPage == PostActionNone ? 0 : pa.FirstPage, doc.LastVisiblePage());
  if (doc.HeaderFooterInPlace != nullptr) last = std::max(last, doc.HeaderFooterPage);
  doc.SetScopedFlag(dfPaginating);
  EditLayoutHooks().RelayoutThrough(doc, pa.FirstPage, pa.FirstPar, last + kPagesAhead);
  doc.RestoreScopedFlag();
  doc.Caret = saved;
  pa.HasRepaintRange = false;
}

// The caret the record asks for, kept out of the header story unless that story is edited in
// place; a caret outside the header edited in place ends that editing.
void PlaceCaretFromRecord(TDoc& doc, TPostActions& pa) {
  // In-place editing also ends when its field has left the document (an undo took it out).
  TDocRange area;
  if (doc.HeaderFooterInPlace != nullptr && !doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, area))
    EndInPlaceEditing(doc, pa);
  if (!pa.HasCaret) {
    ClampCaret(doc, doc.Caret);
    return;
  }
  TDocPosition caret = pa.Caret;
  const bool headerStory = InStory(doc, caret, stHeadersFooters);
  if (doc.HeaderFooterInPlace == nullptr) {
    if (headerStory) {
      if (pa.Selection) pa.Selection.reset();
      doc.SelectedShapes.clear();
    }
  } else if (!PositionInRangeInclusive(caret, area)) {
    EndInPlaceEditing(doc, pa);
  }
  ClampCaret(doc, caret);
  doc.Caret = caret;
}

// Whether the view stays where it is: it is kept still, or the selection the edit leaves is
// already in view (otherwise the caret goes to the selection's start, unless it is to stay).
bool DecideScrolling(TDoc& doc, TPostActions& pa) {
  if (doc.IsDocFlagSet(dfKeepViewStill)) return false;
  if (!pa.Selection || IsFragmentEmpty(pa.Selection.get())) return true;
  TDocRange extent;
  MakeRange(pa.Selection->GetRange(0)->Start.Par, pa.Selection->GetRange(0)->Start.Offset,
            pa.Selection->GetRange(pa.Selection->Count() - 1)->End.Par,
            pa.Selection->GetRange(pa.Selection->Count() - 1)->End.Offset, extent);
  if (SelectionServices().IsRangeVisible(doc, extent)) return false;
  if (!doc.IsDocFlagSet(dfKeepCaret)) {
    doc.Caret.Par = extent.Start.Par;
    doc.Caret.Offset = extent.Start.Offset;
    doc.Caret.Line = INT32_MAX;  // no line known
  }
  return true;
}

// While a header or footer is edited in place its page's area is laid out again for the field
// that holds the caret, and the caret is kept inside that field.
void ReflowInPlaceArea(TDoc& doc, const TPostActions& pa) {
  if (doc.HeaderFooterInPlace == nullptr) return;
  TEditLayoutHooks& hooks = EditLayoutHooks();
  const bool relaidOut = pa.FirstPage != PostActionNone || pa.FirstPar != PostActionNone;
  if (relaidOut && doc.PageCount() > 0) {
    doc.HeaderFooterPage = std::min(doc.HeaderFooterPage, doc.PageCount() - 1);
    TPage& page = *doc.Pages[static_cast<size_t>(doc.HeaderFooterPage)];
    TDocRange footer;
    TField* field = page.FooterField != nullptr && doc.GetHeaderFooterRange(page.FooterField, footer) &&
                            PositionInRangeInclusive(doc.Caret, footer)
                        ? page.FooterField
                        : page.HeaderField;
    if (field != nullptr) doc.HeaderFooterInPlace = field;
  }
  auto keepCaretInside = [&doc] {
    TDocRange r;
    if (doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, r) && !PositionInRangeInclusive(doc.Caret, r)) {
      doc.Caret = r.Start;
      if (doc.Selection) doc.Selection->SetSingleRange(r.Start.Par, r.Start.Offset, r.Start.Par, r.Start.Offset);
    }
  };
  keepCaretInside();
  hooks.ReflowHeaderFooter(doc, doc.HeaderFooterPage, doc.HeaderFooterInPlace);
  keepCaretInside();
  hooks.RestartSpellcheck(doc);
}

// The selection the record asks for, widened to whole cells; a caret hidden under a collapsed
// heading moves to the first end of a range that is not hidden.
void TakeSelection(TDoc& doc, TPostActions& pa) {
  if (pa.Selection && doc.Selection) {
    if (!doc.Selection->Equals(*pa.Selection)) pa.HasRepaintRange = false;
    doc.Selection->Assign(*pa.Selection);
  } else if (doc.Selection && pa.HasCaret) {
    doc.Selection->SetSingleRange(doc.Caret.Par, doc.Caret.Offset, doc.Caret.Par, doc.Caret.Offset);
  }
  if (!doc.Selection || IsFragmentEmpty(doc.Selection.get())) return;
  doc.ExpandSelectionToCells();
  doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
  TSelectionServices& view = SelectionServices();
  if (view.UpdateCollapsedRanges(doc) <= 0) return;
  const TCompoundFragment& sel = *doc.Selection;
  bool allHidden = true;
  for (int32_t i = 0; i < sel.Count() && allHidden; ++i)
    allHidden = view.IsParagraphHidden(doc, sel.GetRange(i)->Start.Par) &&
                view.IsParagraphHidden(doc, sel.GetRange(i)->End.Par);
  if (allHidden) {
    for (int32_t i = 0; i < sel.Count(); ++i) {
      TDocPosition a = sel.GetRange(i)->Start, b = sel.GetRange(i)->End;
      doc.EnsureLaidOut(a, 0);
      doc.EnsureLaidOut(b, 0);
    }
    return;
  }
  if (!view.IsParagraphHidden(doc, doc.Caret.Par)) return;
  for (int32_t i = 0; i < sel.Count(); ++i)
    for (const TDocPosition& end : {sel.GetRange(i)->Start, sel.GetRange(i)->End})
      if (!view.IsParagraphHidden(doc, end.Par)) {
        doc.Caret = end;
        return;
      }
}

// The index of the laid-out page that holds the shape; -1 while it is on none.
int32_t PageOfShape(const TDoc& doc, const TShape* shape) {
  for (int32_t i = 0; i < doc.PageCount(); ++i) {
    const TPage* page = doc.Pages[static_cast<size_t>(i)];
    if (page != nullptr && std::find(page->Shapes.begin(), page->Shapes.end(), shape) != page->Shapes.end())
      return i;
  }
  return -1;
}

// With shapes selected and no text: the pages are laid out until every selected shape has its
// page, and the view scrolls to the shapes' bounding rectangle.
void ScrollShapesIntoView(TDoc& doc) {
  auto placed = [&doc] {
    return std::all_of(doc.SelectedShapes.begin(), doc.SelectedShapes.end(),
                       [&doc](const TShape* s) { return PageOfShape(doc, s) >= 0; });
  };
  while (!placed() && !doc.Layout.LaidOutToEnd && !doc.IsDocFlagSet(dfLayoutSuspended)) {
    const int32_t before = doc.PageCount();
    doc.Paginate(before, before + kShapePagesStep);
    if (doc.PageCount() <= before) break;
  }
  plat::Rect bounds;
  bool any = false;
  for (const TShape* s : doc.SelectedShapes) {
    const int32_t index = PageOfShape(doc, s);
    if (index < 0) continue;
    plat::Rect page;
    doc.GetPageRect(index, page);
    const plat::Rect r = doc.RectTwipsToPixels({s->PlacedRect[0], s->PlacedRect[1], s->PlacedRect[2],
                                                s->PlacedRect[3]}).Offset(page.left, page.top);
    bounds = any ? plat::Rect{std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                              std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)}
                 : r;
    any = true;
  }
  if (!any) return;
  TSelectionServices& view = SelectionServices();
  view.ScrollTo(doc, view.CalcScrollToRect(doc, bounds, 0));
}

// Scrolls the caret (or the point the edit asked for, or the selected shapes) into view.
void Scroll(TDoc& doc, const TPostActions& pa, bool scroll) {
  TEditLayoutHooks& hooks = EditLayoutHooks();
  const bool textSelected = doc.HasSelection();
  if (!textSelected && !doc.SelectedShapes.empty()) {
    ScrollShapesIntoView(doc);
    return;
  }
  if (doc.IsDocFlagSet(dfScrollCaretMode4)) {
    doc.SetDocFlag(dfScrollCaretMode4, false);
    hooks.ScrollCaretIntoView(doc, 4);
  } else if (scroll) {
    if (pa.ScrollTarget == PostActionNone)
      hooks.ScrollCaretIntoView(doc, doc.IsDocFlagSet(dfSingleTypingUndone) ? 3 : 0);
    else
      hooks.ScrollToTarget(doc, pa.ScrollAnchor, pa.ScrollTarget, pa.ScrollTargetY);
  }
}

// One paragraph re-broken in place is repainted alone, unless the view moved, the selection
// changed or Spotlight's range moved with the edit.
void Repaint(TDoc& doc, TPostActions& pa, plat::Point scrollBefore, const TDocRange& spotlightBefore) {
  if (doc.IsDocFlagSet(dfNoRepaint)) return;
  bool whole = !pa.HasRepaintRange || doc.View.ScrollPos != scrollBefore;
  if (!whole && doc.IsSpotlightActive()) {
    TDocRange now;
    SelectionServices().GetSpotlightRange(doc, now);
    whole = ComparePositions(now.Start, spotlightBefore.Start) != 0 ||
            ComparePositions(now.End, spotlightBefore.End) != 0;
  }
  doc.RequestSpotlightCentre();
  EditLayoutHooks().Repaint(doc, whole ? nullptr : &pa.RepaintRange);
}

void FinishUpdate(TDoc& doc, bool scroll) {
  TEditLayoutHooks& hooks = EditLayoutHooks();
  if (!scroll) doc.SetScopedFlag(dfKeepViewStill);
  doc.RequestSpotlightCentre();
  // The caret placed at itself: the typing format follows the text at the caret.
  if (!doc.HasSelection()) doc.UpdateTypingFormat(doc.Caret, 1);
  doc.SetDocFlag(dfViewStepped162, false);
  if (!scroll) doc.RestoreScopedFlag();
  doc.SetDocFlag(dfTypingFormatFlags, false);
  SelectionServices().RequestInterfaceUpdate();
  if (!doc.IsDocFlagSet(dfKeepSidePaneItems)) hooks.ClearHoveredLink(doc);
  if (!doc.IsDocFlagSet(dfCachedValueKept)) doc.SelectionCacheValue = INT32_MAX;
  doc.SetDocFlag(dfKeepCaret, false);
  doc.SetDocFlag(dfKeepSelectedShapes, false);
  doc.SetDocFlag(dfRecording, false);
  doc.SetDocFlag(dfUpdateDone, true);
  doc.SetDocFlag(dfUpdateRunning, false);
}

// The first laid-out page whose header or footer is the field that holds the header-story
// paragraph; -1 when no page shows it.
int32_t FirstPageShowing(TDoc& doc, int32_t par) {
  for (const auto& f : doc.Fields) {
    if (f->Kind != fkHeaderFooter) continue;
    TDocRange r;
    if (!doc.GetHeaderFooterRange(f.get(), r) || par < r.Start.Par || par > r.End.Par) continue;
    for (int32_t i = 0; i < doc.PageCount(); ++i) {
      const TPage* page = doc.Pages[static_cast<size_t>(i)];
      if (page != nullptr && (page->HeaderField == f.get() || page->FooterField == f.get())) return i;
    }
    return -1;
  }
  return -1;
}

}  // namespace

void InvalidateLayoutFrom(TDoc& doc, int32_t par) {
  if (doc.IsDocFlagSet(dfLayoutSuspended)) return;
  TPostActions& pa = doc.CurrentPostActions();
  if (par >= 0 && par < doc.ParCount()) {
    const int32_t story = doc.StoryOfParagraph(par);
    if (story == stHeadersFooters) {
      if (doc.CurrentOperation != nullptr) doc.SetDocFlag(dfHeaderFooterChanged, true);
      // A header or footer changes the pages that show it: from the page before the first.
      const int32_t page = FirstPageShowing(doc, par);
      if (page >= 0 && (pa.FirstPage == PostActionNone || page - 1 < pa.FirstPage))
        pa.FirstPage = std::max(page - 1, 0);
      pa.HasRepaintRange = false;
      if (doc.CurrentOperation != nullptr) doc.SetDocFlag(dfRecording, true);
      return;
    } else {
      par = SelectionServices().GetVisibleParagraph(doc, par);
      const int32_t first = doc.FirstParagraphOfStory(story);
      while (par > first && GetParFormatProp(doc.Par(par - 1)->Format, ppKeepNext) > 0) --par;
    }
  }
  if (pa.FirstPar == PostActionNone || par < pa.FirstPar) pa.FirstPar = par;
  pa.HasRepaintRange = false;
  if (doc.CurrentOperation != nullptr) doc.SetDocFlag(dfRecording, true);
}

void RunPostEditUpdate(TDoc& doc) {
  TEditLayoutHooks& hooks = EditLayoutHooks();
  doc.SetDocFlag(dfUpdateRunning, true);
  doc.SetDocFlag(dfFloatingShapesKnown, false);
  SelectionServices().InvalidateSelectionInstances(doc);
  hooks.RefreshFindState(doc);
  if (doc.IsDocFlagSet(dfRenumberLists)) {
    doc.SetDocFlag(dfRenumberLists, false);
    hooks.RenumberLists(doc);
  }
  doc.SetDocFlag(dfUpdated34, true);
  doc.SetDocFlag(dfUpdate152, false);
  doc.ClearScopedFlag(dfScrollModeFlag);
  doc.SetScopedFlag(dfUpdateScoped13);
  doc.SetScopedFlag(dfUpdateScoped38);
  doc.SetScopedFlag(dfUpdateScoped14);
  const plat::Point scrollBefore = doc.View.ScrollPos;
  const TDocRange spotlightBefore = doc.PaintedSpotlightRange;
  TPostActions& pa = doc.PostActions;
  Relayout(doc, pa);
  PlaceCaretFromRecord(doc, pa);
  if (pa.Selection && doc.Selection && !doc.Selection->Equals(*pa.Selection)) pa.HasRepaintRange = false;
  const bool scroll = DecideScrolling(doc, pa);
  ReflowInPlaceArea(doc, pa);
  // A caret in the continuation of a vertically merged cell goes to the cell that shows it.
  if (doc.IsInMergedCell(doc.Caret.Par)) MakePosition(doc.GetMergeStartPar(doc.Caret.Par), 0, doc.Caret);
  TakeSelection(doc, pa);
  doc.SelectionChanged();
  TDocPosition caret = doc.Caret;
  doc.EnsureLaidOut(caret, 0);
  hooks.HideSystemCaret(doc);
  SelectionServices().UpdateCaretMetrics(doc);
  SelectionServices().CalcCaretPoint(doc);
  Scroll(doc, pa, scroll);
  Repaint(doc, pa, scrollBefore, spotlightBefore);
  pa.Reset();
  doc.RestoreScopedFlags(4);
  FinishUpdate(doc, scroll);
}

}  // namespace qv
