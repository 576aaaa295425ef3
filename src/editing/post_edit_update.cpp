#include "editing/post_edit_update.h"

#include <algorithm>

#include "document/doc.h"
#include "editing/edit_flags.h"
#include "editing/edit_layout_hooks.h"

namespace qv {

namespace {

// A caret in the header and footer story while nothing is edited in place goes to the start of
// the main text; any caret stays before its paragraph's mark.
void ClampCaret(TDoc& doc, TDocPosition& caret) {
  if (caret.Par < 0 || caret.Par >= doc.ParCount()) MakePosition(0, 0, caret);
  if (doc.StoryOfParagraph(caret.Par) == stHeadersFooters && doc.HeaderFooterInPlace == nullptr) {
    MakePosition(0, 0, caret);
    return;
  }
  const int32_t n = doc.Par(caret.Par)->CharCount();
  caret.Offset = std::clamp(caret.Offset, 0, std::max(n - 1, 0));
}

}  // namespace

void InvalidateLayoutFrom(TDoc& doc, int32_t par) {
  if (doc.IsDocFlagSet(dfLayoutSuspended)) return;
  TPostActions& pa = doc.CurrentPostActions();
  if (par >= 0 && par < doc.ParCount()) {
    const int32_t story = doc.StoryOfParagraph(par);
    if (story == stHeadersFooters) {
      if (doc.CurrentOperation != nullptr) doc.SetDocFlag(dfHeaderFooterChanged, true);
    } else {
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
  if (doc.IsDocFlagSet(dfRenumberLists)) {
    doc.SetDocFlag(dfRenumberLists, false);
    hooks.RenumberLists(doc);
  }
  TPostActions& pa = doc.PostActions;
  if (pa.FirstPage != PostActionNone || pa.FirstPar != PostActionNone) {
    doc.SetScopedFlag(31);
    hooks.RelayoutFrom(doc, pa.FirstPage, pa.FirstPar);
    doc.RestoreScopedFlag();
    pa.HasRepaintRange = false;
  }
  // In-place editing ends when its field has left the document (an undo took it out).
  if (doc.HeaderFooterInPlace != nullptr) {
    TDocRange r;
    if (!doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, r)) {
      doc.HeaderFooterInPlace = nullptr;
      doc.HeaderFooterPage = -1;
      pa.HasRepaintRange = false;
    }
  }
  // Caret and selection from the record.
  if (pa.HasCaret) {
    TDocPosition caret = pa.Caret;
    const bool inHeaderStory = caret.Par >= 0 && caret.Par < doc.ParCount() &&
                               doc.StoryOfParagraph(caret.Par) == stHeadersFooters;
    if (doc.HeaderFooterInPlace == nullptr && inHeaderStory) {
      if (pa.Selection) pa.Selection.reset();
    } else if (doc.HeaderFooterInPlace != nullptr) {
      TDocRange r;
      if (doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, r) && !PositionInRangeInclusive(caret, r)) {
        doc.HeaderFooterInPlace = nullptr;
        doc.HeaderFooterPage = -1;
        if (pa.Selection) pa.Selection.reset();
        pa.HasRepaintRange = false;
      }
    }
    ClampCaret(doc, caret);
    doc.Caret = caret;
  } else {
    ClampCaret(doc, doc.Caret);
  }
  // A caret in the continuation of a vertically merged cell goes to the cell that shows it.
  if (doc.IsInMergedCell(doc.Caret.Par)) MakePosition(doc.GetMergeStartPar(doc.Caret.Par), 0, doc.Caret);
  if (pa.Selection && doc.Selection) {
    if (!doc.Selection->Equals(*pa.Selection)) pa.HasRepaintRange = false;
    doc.Selection->Assign(*pa.Selection);
  } else if (doc.Selection && pa.HasCaret) {
    doc.Selection->SetSingleRange(doc.Caret.Par, doc.Caret.Offset, doc.Caret.Par, doc.Caret.Offset);
  }
  if (doc.Selection && !IsFragmentEmpty(doc.Selection.get())) {
    // A selection that reaches into a table covers whole cells.
    doc.ExpandSelectionToCells();
    doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
  }
  doc.SelectionChanged();
  // Scrolling: never while the view is to stay still; otherwise the caret (in mode 3 after one
  // typed character was undone or redone), or the point the edit asked for.
  if (doc.IsDocFlagSet(dfScrollCaretMode4)) {
    doc.SetDocFlag(dfScrollCaretMode4, false);
    hooks.ScrollCaretIntoView(doc, 4);
  } else if (!doc.IsDocFlagSet(dfKeepViewStill)) {
    if (pa.ScrollTarget == PostActionNone)
      hooks.ScrollCaretIntoView(doc, doc.IsDocFlagSet(dfSingleTypingUndone) ? 3 : 0);
    else
      hooks.ScrollToTarget(doc, pa.ScrollAnchor, pa.ScrollTarget, pa.ScrollTargetY);
  }
  if (pa.HasRepaintRange)
    hooks.Repaint(doc, &pa.RepaintRange);
  else
    hooks.Repaint(doc, nullptr);
  pa.Reset();
  // The caret placed at itself: the typing format follows the text at the caret.
  if (!doc.HasSelection()) doc.UpdateTypingFormat(doc.Caret, 1);
  doc.SetDocFlag(dfKeepCaret, false);
  doc.SetDocFlag(dfKeepSelectedShapes, false);
  doc.SetDocFlag(dfTypingFormatFlags, false);
  doc.SetDocFlag(dfRecording, false);
  doc.SetDocFlag(dfUpdateDone, true);
  doc.SetDocFlag(dfUpdateRunning, false);
}

}  // namespace qv
