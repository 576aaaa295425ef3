#pragma once
// What the selection, the typing format and the word and sentence finders ask of the parts of the
// program above the document model: the layout (pagination and repainting), the editor window
// (caret, scrolling, visibility, collapsed headings), the main window and side pane, the editing
// engine's typing font, the proofing tools' abbreviation lists, and what the shapes know of
// themselves. Each registers the real answers at start-up (RegisterSelectionServices); the
// defaults do the least the model needs on its own: no window, so nothing is painted, everything
// counts as visible, nothing is collapsed or hidden, and no shape floats.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/doc_position.h"
#include "platform/gfx/types.h"

namespace qv {

class TCompoundFragment;
class TDoc;
class TShape;

// Pointer modes of the main window that change the typing format.
enum : int32_t { pmFormatPalette = 2, pmHighlighter = 4, pmFontColorPen = 5 };

class TSelectionServices {
 public:
  virtual ~TSelectionServices() = default;

  // --- Layout ---
  // Lays the document out to its end (unless layout is suspended).
  virtual void PaginateAll(TDoc& /*doc*/) {}
  // Lays the document out until the paragraph is laid out to its end.
  virtual void EnsureParLaidOut(TDoc& /*doc*/, int32_t /*par*/) {}
  // Repaints the area of the fragment's ranges, or the whole view for null.
  virtual void Repaint(TDoc& /*doc*/, const TCompoundFragment* /*fragment*/) {}
  // Repaints the whole view now.
  virtual void Redraw(TDoc& doc) { Repaint(doc, nullptr); }

  // --- Editor window ---
  // The highlighted instances of the selected text are out of date.
  virtual void InvalidateSelectionInstances(TDoc& /*doc*/) {}
  virtual bool IsRangeVisible(TDoc& /*doc*/, const TDocRange& /*range*/) { return true; }
  // A redraw once the delay (milliseconds, 0 or less: the next idle time) has passed.
  virtual void ScheduleRedraw(TDoc& /*doc*/, int32_t /*delay*/) {}
  // Moves the caret; the default clamps the place to the document and keeps the line hint.
  virtual void SetCaret(TDoc& doc, int32_t par, int32_t offset, int32_t flags, int32_t lineHint);
  virtual void EnsureLaidOut(TDoc& /*doc*/, TDocPosition& /*position*/, int32_t /*flags*/) {}
  virtual void UpdateCaretMetrics(TDoc& /*doc*/) {}
  virtual void CalcCaretPoint(TDoc& /*doc*/) {}
  // The caret's pixel rectangle in document pixels.
  virtual plat::Rect GetCaretRect(TDoc& /*doc*/) { return {}; }
  virtual void ScrollCaretIntoView(TDoc& /*doc*/, int32_t /*mode*/) {}
  // The scroll origin that brings a rectangle into view (mode 1 keeps a margin).
  virtual plat::Point CalcScrollToRect(TDoc& doc, const plat::Rect& rect, int32_t mode);
  virtual void ScrollTo(TDoc& /*doc*/, plat::Point /*origin*/) {}
  // What the window shows, in document pixels: the scroll position and the window's size.
  virtual plat::Rect ViewRect(TDoc& /*doc*/) { return {}; }
  // Rebuilds (when out of date) the paragraph ranges hidden under collapsed headings and
  // answers how many there are.
  virtual int32_t UpdateCollapsedRanges(TDoc& /*doc*/) { return 0; }
  // The collapsed ranges as (first, last) paragraph pairs.
  virtual std::vector<std::pair<int32_t, int32_t>> CollapsedRanges(TDoc& /*doc*/) { return {}; }
  // The collapsed range holding the paragraph; false (first -1) when none.
  virtual bool FindCollapsedRange(TDoc& doc, int32_t par, int32_t& first, int32_t& last);
  virtual bool IsParagraphHidden(TDoc& /*doc*/, int32_t /*par*/) { return false; }
  // The heading paragraph that stands for a hidden paragraph; the paragraph itself otherwise.
  virtual int32_t GetVisibleParagraph(TDoc& /*doc*/, int32_t par) { return par; }
  // A note paragraph whose reference lies in a collapsed range.
  virtual bool IsCollapsedTablePar(TDoc& /*doc*/, int32_t /*par*/) { return false; }
  // The range the spotlight view shows; the default is the selection's extent or the caret.
  virtual void GetSpotlightRange(TDoc& doc, TDocRange& out);

  // --- Main window and side pane ---
  virtual void RequestInterfaceUpdate() {}
  // Tells the main window that the selection changed.
  virtual void NoteSelectionChanged(TDoc& /*doc*/) {}
  // Hides the clip-name and word-completion pop-ups.
  virtual void HideTypingPopups() {}
  // The side-pane tools forget their remembered current items.
  virtual void ClearSidePaneItems(TDoc& /*doc*/) {}
  // The formatting-reveal tool is pinned to its place.
  virtual bool IsRevealPinned() { return false; }
  virtual int32_t PointerMode() { return 0; }
  // The character format of the format palette's chosen entry.
  virtual TCharFormat FormatPaletteCharFormat() { return UnsetCharFormat; }
  virtual int32_t HighlighterColor() { return 0x00FFFF; }
  virtual int32_t FontColorPenColor() { return 0x0000FF; }

  // --- Editing engine ---
  // Adapts the typing format's font to the code page of the typing layout.
  virtual void AdaptTypingFont(TDoc& /*doc*/, TCharFormat& /*format*/) {}

  // --- Proofing tools ---
  // The word (with its dot) is in the language's list of words after which a sentence goes on
  // ("CapSentEx"), compared without regard to case.
  virtual bool IsSentenceCapException(int32_t /*language*/, const std::string& /*word*/) {
    return false;
  }

  // --- Shapes ---
  // The document's shapes, in z-order.
  virtual std::vector<TShape*> DocumentShapes(TDoc& /*doc*/) { return {}; }
  // 0 inline; floating otherwise (4 and 5 have an editable wrap outline).
  virtual int32_t ShapeWrapKind(const TShape* /*shape*/) { return 0; }
  virtual bool IsShapeRemoved(const TShape* /*shape*/) { return false; }
  // The paragraph in which an inline shape was met.
  virtual void SetShapeParIndex(TShape* /*shape*/, int32_t /*par*/) {}
  // The shape's pixel rectangle in document pixels; false when it has none yet.
  virtual bool GetShapeRect(TDoc& /*doc*/, const TShape* /*shape*/, plat::Rect& /*out*/) {
    return false;
  }
};

// Registers the services (null restores the defaults).
void RegisterSelectionServices(std::unique_ptr<TSelectionServices> services);
TSelectionServices& SelectionServices();

}  // namespace qv
