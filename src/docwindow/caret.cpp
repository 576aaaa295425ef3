#include "docwindow/caret.h"

#include <algorithm>
#include <climits>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/view_flags.h"
#include "foundation/fonts/font_key.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/caret_shapes.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/shared_managers.h"
#include "layout/box.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kDefaultHalfPoints = 24;
// Spotlight option: the text cursor is hidden.
constexpr uint16_t kSpotlightHidesCursor = 0x100;

int32_t ValueOr(int32_t v, int32_t fallback) { return v == CharUnset ? fallback : v; }

bool HasFocus(const TDocForm* form) {
  return form != nullptr && form->Handle() != 0 && plat::GetFocus() == form->Handle();
}

bool IsLineEndingBreak(uint8_t code) {
  switch (code) {
    case scParagraphEnd:
    case scSectionEnd:
    case scCellEnd:
    case scRowEnd:
    case scColumnBreak:
    case scLineBreak:
    case scPageBreak:
      return true;
    default:
      return false;
  }
}

// The caret bitmap of the program, or one of the window's own before the shared managers exist.
TCaretBitmap& CaretShape() {
  if (TCaretBitmap* shared = CaretBitmap()) return *shared;
  static TCaretBitmap own;
  return own;
}

TLine* CaretLine(const TDoc& doc) {
  if (doc.Caret.Par < 0 || doc.Caret.Par >= doc.ParCount()) return nullptr;
  const TPar& par = *doc.Par(doc.Caret.Par);
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return nullptr;
  const size_t line = static_cast<size_t>(std::clamp(doc.Caret.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1));
  TLine* l = par.Lines[line];
  return l != nullptr && l->Box != nullptr ? l : nullptr;
}

// The baseline of the caret's line in pixels below the line's top, as the line painter places
// text on it.
int32_t LineBaseline(const TDoc& doc, const TLine& line, int32_t raiseTwips) {
  const TParFormat& f = line.Par->Format;
  const int32_t spaceAbove = LayoutLineFitter().GetLineSpaceAbove(line);
  const int32_t spacing = f.LineSpacing;
  if (f.LineRule == 0 && spacing < 0 && spacing != ParUnset16)
    return doc.ZoomValueY(TwipsToScreenPixels(spaceAbove + PercentOf(-spacing, 80) - raiseTwips));
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  int32_t baseline = MulDiv(TwipsToScreenPixelsZoomed(spaceAbove - raiseTwips, 1600) + line.Ascent,
                            doc.ZoomPercent, 1600);
  if (f.LineRule == 1 && spacing > 0 && spacing < 240)
    baseline -= MulDiv(doc.ZoomValueY(LayoutToPixelsY(line.SpacingAscent, s)), 240 - spacing, 240);
  return baseline;
}

void DrawItalicCaret(int32_t width, int32_t height, int32_t steps) {
  TCaretBitmap& shape = CaretShape();
  shape.SetSize(width, height);
  plat::Canvas c = shape.Canvas();
  c.FillRect(plat::Rect{0, 0, width, height}, 0x000000);
  const int32_t bar = TDocForm::Scaled(kCaretWidth);
  for (int32_t i = 0; i < steps; ++i)
    c.FillRect(plat::Rect{i, height - 4 * i - 4, i + bar, height - 4 * i}, 0xFFFFFF);
  c.Flush();
}

}  // namespace

// --- Position ---

bool PrevCharPosition(const TDoc& doc, TDocPosition& position) {
  if (position.Offset > 0) {
    --position.Offset;
    return true;
  }
  if (position.Par <= 0) return false;
  --position.Par;
  position.Offset = std::max(0, doc.Par(position.Par)->CharCount() - 1);
  return true;
}

void EnsureLaidOut(TDoc& doc, TDocPosition& position, bool exact) {
  if (doc.ParCount() == 0) return;
  position.Par = std::clamp(position.Par, 0, doc.ParCount() - 1);
  doc.ClearScopedFlag(vfCaretFollows);
  doc.EnsureLaidOut(position, 0);
  doc.RestoreScopedFlag();
  const TPar& par = *doc.Par(position.Par);
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return;
  const int32_t line = par.LineIndexOfChar(position.Offset, exact ? 0 : INT32_MAX, false);
  position.Line = std::max(line, 0);
  const TLine* l = par.Lines[static_cast<size_t>(position.Line)];
  if (l->Box != nullptr && l->Box->Page != nullptr) position.Page = l->Box->Page->Index;
}

void SetCaret(TDoc& doc, int32_t par, int32_t offset, uint8_t flags, int32_t lineHint) {
  if (doc.ParCount() == 0) return;
  par = std::clamp(par, 0, doc.ParCount() - 1);
  while (par + 1 < doc.ParCount() && doc.IsInMergedCell(par)) {
    ++par;
    offset = 0;
  }
  offset = std::clamp(offset, 0, std::max(0, doc.Par(par)->CharCount() - 1));
  TDocPosition position;
  MakePosition(par, offset, position);
  position.Line = lineHint;
  EnsureLaidOut(doc, position, false);
  SetCaretPos(doc, position, flags);
}

namespace {

void DropShapeSelection(TDoc& doc) {
  if (doc.IsDocFlagSet(vfKeepSelectedShapes)) return;
  if (!doc.SelectedShapes.empty()) {
    doc.SelectedShapes.clear();
    ScheduleRedraw(doc, 0);
  }
  if (doc.WrapEditShape != nullptr &&
      std::find(doc.SelectedShapes.begin(), doc.SelectedShapes.end(), doc.WrapEditShape) ==
          doc.SelectedShapes.end())
    doc.WrapEditShape = nullptr;
}

// A caret just after a line-ending break at its line's end stands before the break.
void StepBeforeBreak(TDoc& doc) {
  TDocPosition& c = doc.Caret;
  if (c.Offset <= 0 || c.Par < 0 || c.Par >= doc.ParCount()) return;
  const TPar& par = *doc.Par(c.Par);
  if (c.Offset > par.CharCount() || !IsLineEndingBreak(par.CodeAt(c.Offset - 1))) return;
  if (par.HasFlag(pfLinesValid) && !par.Lines.empty()) {
    const TLine* line = par.Lines[static_cast<size_t>(std::clamp(c.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
    if (c.Offset != line->LastChar()) return;
  }
  --c.Offset;
  if (par.HasFlag(pfLinesValid) && !par.Lines.empty())
    c.Line = std::max(0, par.LineIndexOfChar(c.Offset, INT32_MAX, false));
}

void RefreshCaret(TDoc& doc, TDocForm* form) {
  const bool focused = HasFocus(form);
  if (!doc.HasSelection()) {
    if (doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount())
      doc.CurParFormat = doc.Par(doc.Caret.Par)->Format;
    if (!doc.IsDocFlagSet(vfTypingFormatPending)) {
      doc.UpdateTypingFormat(doc.Caret, 1);
      doc.SetDocFlag(vfCaretRefresh, false);
    }
  }
  if (focused) {
    form->HideCaret();
    plat::DestroyCaret();
  }
  if (!doc.IsDocFlagSet(vfKeepCaretMetrics)) UpdateCaretMetrics(doc);
  if (focused) CreateSystemCaret(doc);
  CalcCaretPoint(doc);
  ScrollCaretIntoView(doc, doc.IsDocFlagSet(vfHorizontalMove) ? 3 : 0);
  const plat::Point clamped = doc.ClampScrollPos(doc.View.ScrollPos);
  if (clamped != doc.View.ScrollPos) doc.ScrollTo(clamped);
  if (focused) {
    PlaceSystemCaret(doc);
    form->UpdateCaretPending();
  }
  DocServices().RequestInterfaceUpdate();
}

}  // namespace

void SetCaretPos(TDoc& doc, const TDocPosition& position, uint8_t flags) {
  TDocForm* form = FormOf(doc);
  DropShapeSelection(doc);
  const TDocPosition old = doc.Caret;
  doc.Caret = position;
  if (!doc.HasSelection()) flags &= static_cast<uint8_t>(~scClearSelection);
  else if ((flags & scClearSelection) != 0) doc.ClearSelection();
  // A caret on the drop-cap line at the drop cap's end shows on the line beside it.
  if (doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount() && doc.Caret.Line == 0) {
    const TPar& par = *doc.Par(doc.Caret.Par);
    if (par.Lines.size() > 1 && par.Lines[0]->HasFlag(lfDropCap) &&
        doc.Caret.Offset == par.Lines[0]->LastChar())
      doc.Caret.Line = 1;
  }
  const bool dragging = form != nullptr && form->HasFlag(TDocForm::dfTextDragPending);
  if ((flags & scKeepAfterBreak) == 0 && (!doc.HasSelection() || dragging)) StepBeforeBreak(doc);
  bool refresh = (flags & scRefreshWhenNeeded) == 0;
  if (!refresh) {
    refresh = doc.Caret.Line != old.Line || (flags & scClearSelection) != 0 ||
              doc.IsDocFlagSet(vfCaretRefresh) || !SamePlace(doc.Caret, old);
    if (!refresh) {
      CalcCaretPoint(doc);
      refresh = !IsCaretVisible(doc);
    }
  }
  if (refresh) RefreshCaret(doc, form);
  TDocWindowServices& services = DocWindowServices();
  if (!SamePlace(doc.Caret, old)) services.CaretLeftWord(doc);
  if (!doc.IsDocFlagSet(vfKeepFindScope)) services.ResetFindScope(doc);
}

// --- Metrics and point ---

TSharedFont& SelectCaretFont(TDoc& doc, const TCharFormat& format) {
  TFontManager* fm = FontManager();
  if (fm == nullptr) fm = &CreateFontManager();
  TFontKey key = FontKeyOf(format);
  key.Font = ValueOr(key.Font, ValueOr(DefaultCharFormat.Font, 0));
  key.Bold = ValueOr(key.Bold, 0);
  key.Italic = ValueOr(key.Italic, 0);
  key.Strike = key.DoubleStrike = key.Underline = 0;
  key.Scale = ValueOr(key.Scale, 100);
  if (key.Scale <= 0) key.Scale = 100;
  int32_t size = std::clamp(ValueOr(format.Size, ValueOr(DefaultCharFormat.Size, kDefaultHalfPoints)), 1, 3276);
  if (ValueOr(format.SmallCaps, 0) != 0) size = std::max(1, MulDiv(size, 80, 100));
  key.Size = doc.FontHeightForSize(size);
  return fm->SelectFont(key, key.Size, false, false, nullptr);
}

void UpdateCaretMetrics(TDoc& doc) {
  TDocView& v = doc.View;
  const bool afterEdit =
      doc.IsDocFlagSet(vfPostEditUpdate) && !doc.IsDocFlagSet(vfTypingFormatPending);
  if (doc.HasSelection() || afterEdit) doc.GetCharFormatAtPos(doc.Caret, v.CaretFormat);
  else v.CaretFormat = doc.TypingFormat;
  const TSharedFont& font = SelectCaretFont(doc, v.CaretFormat);
  TCaretFontMetrics& m = v.CaretFontMetrics;
  m.Height = font.Metrics.Height;
  m.Ascent = font.Metrics.Ascent;
  m.Descent = font.Metrics.Descent;
  m.ExternalLeading = font.Metrics.ExternalLeading;
  m.DescentLeading = font.DescentLeading;
  m.LineHeight = font.LineHeight;
  m.Italic = font.Metrics.Italic || ValueOr(v.CaretFormat.Italic, 0) != 0;
  int32_t height = m.LineHeight;
  // Small capitals were measured at 80 %: the caret is as tall as the full-size font.
  if (ValueOr(v.CaretFormat.SmallCaps, 0) != 0) height = MulDiv(height, 100, 80);
  height = std::max(1, height);
  int32_t width = TDocForm::Scaled(kCaretWidth);
  int32_t steps = 0;
  v.CaretInset = 1;
  if (m.Italic) {
    steps = (height + 3) / 4;
    width += steps - 1;
    v.CaretInset = (m.DescentLeading + 3) / 4 + 1;
  }
  v.CaretWidth = width;
  v.CaretHeight = height;
  TDocForm* form = FormOf(doc);
  if (m.Italic && form != nullptr && HasFocus(form)) DrawItalicCaret(width, height, steps);
}

void CalcCaretPoint(TDoc& doc) {
  TLine* line = CaretLine(doc);
  TDocView& v = doc.View;
  if (line == nullptr) return;
  const TCaretFontMetrics& m = v.CaretFontMetrics;
  const int32_t lineTop = doc.TwipsToPixelsY(line->Top);
  const plat::Point origin = BoxToViewPoint(*line->Box, {0, lineTop});
  const int32_t n = std::clamp(doc.Caret.Offset - line->FirstChar, 0, line->Count);
  v.CaretX = origin.x + LineTextX(*line, n) - v.CaretInset;
  const TCharFormat& f = v.CaretFormat;
  const int32_t raise = ValueOr(f.VertOffset, 0) * 20;
  const int32_t baseline = origin.y + LineBaseline(doc, *line, raise);
  int32_t ascent = m.Ascent, descent = m.Descent;
  if (ValueOr(f.SmallCaps, 0) != 0) {
    ascent = MulDiv(ascent, 100, 80);
    descent = MulDiv(descent, 100, 80);
  }
  switch (ValueOr(f.Script, 0)) {
    case 1: v.CaretY = baseline - MulDiv(ascent, 100, 65); break;
    case 2: v.CaretY = baseline + MulDiv(descent, 100, 65) - ascent - descent; break;
    default: v.CaretY = baseline - ascent; break;
  }
}

plat::Rect GetCaretRect(const TDoc& doc) {
  const TDocView& v = doc.View;
  return {v.CaretX - 14, v.CaretY - 2, v.CaretX + v.CaretWidth + 14, v.CaretY + v.CaretHeight + 2};
}

bool IsCaretVisible(const TDoc& doc) {
  const TDocForm* form = FormOf(doc);
  if (form == nullptr) return true;
  const plat::Point s = doc.View.ScrollPos;
  const plat::Rect visible{s.x, s.y, s.x + form->PageArea.Width(), s.y + form->PageArea.Height()};
  const plat::Rect r = GetCaretRect(doc);
  return r.left >= visible.left && r.top >= visible.top && r.right <= visible.right &&
         r.bottom <= visible.bottom;
}

// --- System caret ---

void CreateSystemCaret(TDoc& doc) {
  TDocForm* form = FormOf(doc);
  if (form == nullptr || form->Handle() == 0) return;
  const TDocView& v = doc.View;
  const plat::Bitmap* shape = v.CaretFontMetrics.Italic ? CaretShape().Shape() : nullptr;
  form->Flags &= ~TDocForm::dfCaretShown;
  plat::CreateCaret(form->Handle(), v.CaretWidth, v.CaretHeight, shape);
}

void PlaceSystemCaret(TDoc& doc) {
  TDocForm* form = FormOf(doc);
  if (form == nullptr || form->Handle() == 0) return;
  const TDocView& v = doc.View;
  plat::SetCaretPos(form->PageArea.left + v.CaretX - v.ScrollPos.x,
                    form->PageArea.top + v.CaretY - v.ScrollPos.y);
}

void InvertCaret(TDoc& doc) {
  TDocForm* form = FormOf(doc);
  if (form == nullptr) return;
  const TDocView& v = doc.View;
  const plat::Point at = form->DocToClient({v.CaretX, v.CaretY});
  form->RepaintRect(plat::Rect{at.x, at.y, at.x + v.CaretWidth, at.y + v.CaretHeight});
}

void InvertCaretOn(const TDoc& doc, const TDocForm& form, plat::Bitmap& bitmap) {
  const TDocView& v = doc.View;
  const plat::Point at = form.DocToClient({v.CaretX, v.CaretY});
  plat::Rect r{at.x, at.y, at.x + v.CaretWidth, at.y + v.CaretHeight};
  if (!form.ClipToPageArea(r)) return;
  plat::Canvas c(bitmap);
  c.InvertRect(r);
  c.Flush();
}

void ScheduleRedraw(TDoc& doc, int32_t milliseconds) {
  doc.View.RedrawTime = milliseconds <= 0 ? static_cast<uint32_t>(std::max(milliseconds, 0))
                                          : plat::GetTickCount() + static_cast<uint32_t>(milliseconds);
  doc.View.RedrawPending = true;
}

// --- The window's caret ---

void TDocForm::UpdateCaret() {
  if (!IsReady() || doc_->IsDocFlagSet(vfScrollNoPaint)) return;
  const bool focused = HasFocus(this);
  if (focused) {
    HideCaret();
    plat::DestroyCaret();
  }
  UpdateCaretMetrics(*doc_);
  if (focused) CreateSystemCaret(*doc_);
  CalcCaretPoint(*doc_);
  if (focused) PlaceSystemCaret(*doc_);
  UpdateCaretPending();
}

bool TDocForm::CanShowCaret() const {
  if (!HasFocus(this) || doc_ == nullptr) return false;
  return !doc_->HasSelection() && doc_->SelectedShapes.empty() && !doc_->IsDocFlagSet(vfNoCaret) &&
         (Flags & (dfSelectingByDrag | dfPanning | dfMiddleButtonPanning)) == 0;
}

void TDocForm::UpdateCaretPending() {
  if (CanShowCaret()) Flags |= dfCaretPending;
  else Flags &= ~dfCaretPending;
}

void TDocForm::ShowCaret() {
  if (ToolbarCustomizing || doc_ == nullptr) return;
  if (doc_->IsSpotlightActive() &&
      (GetOptionsHolder().Options.View.Spotlight & kSpotlightHidesCursor) != 0)
    return;
  if (!HasFlag(dfCaretShown)) plat::ShowCaret(Handle());
  Flags &= ~dfCaretPending;
  Flags |= dfCaretShown;
}

void TDocForm::HideCaret() {
  if (HasFlag(dfCaretShown)) plat::HideCaret(Handle());
  Flags &= ~dfCaretShown;
}

void TDocForm::MoveCaretKeepSelection(const TDocPosition& position) {
  if (doc_ == nullptr) return;
  TDocPosition p = position;
  while (p.Par > 0 && SelectionServices().IsParagraphHidden(*doc_, p.Par)) {
    --p.Par;
    p.Offset = std::max(0, doc_->Par(p.Par)->CharCount() - 1);
  }
  if (SamePlace(p, doc_->Caret)) return;
  doc_->SetScopedFlag(vfNoScrollIntoView);
  EnsureLaidOut(*doc_, p, false);
  SetCaretPos(*doc_, p, 0);
  doc_->RestoreScopedFlag();
}

}  // namespace qv
