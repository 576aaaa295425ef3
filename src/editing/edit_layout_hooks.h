#pragma once
// What the editing engine asks of the layout after an edit: lay the pages out again from a page
// (or, before pagination knows the paragraph's page, from a paragraph), re-break one paragraph
// in place, renumber the lists, and repaint the view or one range of it. The layout registers
// the real hooks (RegisterEditLayoutHooks); the default re-breaks the paragraphs it is asked to
// with ReformatParagraph and keeps a log of every request, which tests read.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TField;

class TEditLayoutHooks {
 public:
  virtual ~TEditLayoutHooks() = default;

  // One request, as the default keeps it.
  struct TRequest {
    enum class Kind : uint8_t { Relayout, Reformat, RenumberLists, Repaint, RepaintRange, Scroll,
                                Progress, HeaderFooter };
    Kind What = Kind::Relayout;
    int32_t Page = 0;      // Relayout: first page (INT32_MIN none); HeaderFooter: the page
    int32_t Par = 0;       // Relayout: first paragraph (INT32_MIN none); Reformat: paragraph
    TDocRange Range;       // RepaintRange
    int32_t Mode = 0;      // Scroll: the caret scroll mode (0, 3, 4), -1 for a scroll target
    std::string Text;      // Progress: the text shown
  };

  // Lays the pages out again from the page (or, with the page none, from the paragraph). The
  // default re-breaks the paragraph when its lines are not valid.
  virtual void RelayoutFrom(TDoc& doc, int32_t page, int32_t par);
  // The same when pages after `lastPage` need not be laid out yet (the view lays out what it
  // shows on demand); the default lays everything out as RelayoutFrom does.
  virtual void RelayoutThrough(TDoc& doc, int32_t page, int32_t par, int32_t lastPage);
  // Re-breaks one paragraph in place; true when its line count stayed. The default breaks it for
  // its section's text width.
  virtual bool ReformatParagraph(TDoc& doc, int32_t par);
  virtual void RenumberLists(TDoc& doc);
  // Repaints the whole view (range null) or only the range.
  virtual void Repaint(TDoc& doc, const TDocRange* range);
  // Scrolls the caret into view in the mode (0 plain, 3 after undoing one typed character,
  // 4 asked for once by the document).
  virtual void ScrollCaretIntoView(TDoc& doc, int32_t mode);
  // Scrolls a point (twips from the anchor's line) into view.
  virtual void ScrollToTarget(TDoc& doc, const TDocPosition& anchor, int32_t x, int32_t y);

  // --- In-place header and footer editing ---
  // Lays the page's header or footer area out again with the field's paragraphs (the default
  // does it when the page is laid out).
  virtual void ReflowHeaderFooter(TDoc& doc, int32_t page, TField* field);
  // Gives back the content of the page's area that shows the header or footer edited in place.
  virtual void ReleaseHeaderFooter(TDoc& doc, int32_t page);

  // --- What the window and the tools around it refresh after an edit (none by default) ---
  // The background spellcheck starts again over what changed.
  virtual void RestartSpellcheck(TDoc& /*doc*/) {}
  // The window destroys its system caret when it has the focus (it is made again later).
  virtual void HideSystemCaret(TDoc& /*doc*/) {}
  // The find panel takes the document's find state again.
  virtual void RefreshFindState(TDoc& /*doc*/) {}
  // The window forgets the hyperlink under the mouse pointer.
  virtual void ClearHoveredLink(TDoc& /*doc*/) {}

  // The main window's progress display while a long operation is undone or redone.
  virtual void StartProgress(TDoc& doc, const std::string& text, int32_t range);
  virtual void StepProgress(TDoc& /*doc*/, int32_t /*position*/) {}
  virtual void EndProgress(TDoc& /*doc*/) {}

  std::vector<TRequest> Log;  // kept by the default implementation (bounded)
  bool KeepLog = true;

 protected:
  void Note(const TRequest& request);
};

// The program's hooks: a document that has pages is paginated again from the page of the first
// changed paragraph (the page the post-actions name, else the page of the nearest laid-out
// paragraph at or before it); one without pages is handled as by the default.
class TPaginatingLayoutHooks : public TEditLayoutHooks {
 public:
  TPaginatingLayoutHooks() { KeepLog = false; }
  void RelayoutFrom(TDoc& doc, int32_t page, int32_t par) override;
  // Lays out from the changed page only through `lastPage` (at least).
  void RelayoutThrough(TDoc& doc, int32_t page, int32_t par, int32_t lastPage) override;
  // A paragraph placed on a page is broken again in its box by the layout, its lines keeping
  // their places when their count and heights stay (true); otherwise its lines are dropped for
  // the next pagination (false). A paragraph not placed is handled as by the default.
  bool ReformatParagraph(TDoc& doc, int32_t par) override;
  // The list numbering pass (TDoc::RenumberLists).
  void RenumberLists(TDoc& doc) override;
};

void RegisterEditLayoutHooks(std::unique_ptr<TEditLayoutHooks> hooks);
TEditLayoutHooks& EditLayoutHooks();

}  // namespace qv
