#include "platform/controls/edit.h"

#include <algorithm>
#include <utility>

#include "platform/win/clipboard_text.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr int32_t kPad = 3;

bool IsWordChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
         c >= 0xC0;
}

// The first line of a text (a single-line field takes nothing past a line break).
std::u16string FirstLine(const std::u16string& s) {
  size_t n = s.find_first_of(u"\r\n");
  return n == std::u16string::npos ? s : s.substr(0, n);
}

}  // namespace

Edit::Edit() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBounds(0, 0, 121, 21);
  SetBackColor(Look().Window);
  SetCursorShape(CursorShape::IBeam);
}

// ---- Text and selection ----

void Edit::SetTextInternal(std::u16string text) {
  bool changed = text != Text();
  SetCaption(text);
  if (changed) Change();
}

void Edit::SetText(const std::u16string& text) {
  undo_.reset();
  typingRun_ = false;
  anchor_ = caret_ = 0;
  scrollX_ = 0;
  topLine_ = 0;
  SetTextInternal(multiLine_ ? text : FirstLine(text));
  modified_ = false;
  UpdateCaret();
}

int32_t Edit::SelStart() const { return std::min(anchor_, caret_); }
int32_t Edit::SelLength() const { return std::abs(caret_ - anchor_); }

void Edit::SetSel(int32_t start, int32_t length) {
  int32_t n = int32_t(Text().size());
  start = std::clamp(start, 0, n);
  int32_t end = length < 0 ? n : std::clamp(start + length, start, n);
  anchor_ = start;
  caret_ = end;
  typingRun_ = false;
  ScrollToCaret();
  Invalidate();
}

void Edit::SelectAll() { SetSel(0, -1); }

std::u16string Edit::SelText() const {
  return Text().substr(size_t(SelStart()), size_t(SelLength()));
}

void Edit::SetSelText(const std::u16string& text) {
  Replace(SelStart(), SelStart() + SelLength(), multiLine_ ? text : FirstLine(text), false);
}

void Edit::SetReadOnly(bool v) {
  readOnly_ = v;
  SetBackColor(v ? Look().Face : Look().Window);
}

void Edit::SetBorder(bool v) {
  border_ = v;
  Invalidate();
}

void Edit::SetPasswordChar(char16_t c) {
  passwordChar_ = c;
  spansValid_ = false;
  Invalidate();
}

void Edit::Change() {
  modified_ = true;
  if (OnChange) OnChange(*this);
}

// Replaces [from, to) with text, saving the undo state first (a run of typing keeps the state
// from its start).
void Edit::Replace(int32_t from, int32_t to, std::u16string text, bool typing) {
  const std::u16string& cur = Text();
  int32_t n = int32_t(cur.size());
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  if (maxLength_ > 0) {
    int32_t room = maxLength_ - (n - (to - from));
    if (room < int32_t(text.size())) {
      MessageBeep();
      text.resize(size_t(std::max(0, room)));
      // Never cut a surrogate pair in two.
      if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
    }
  }
  if (text.empty() && from == to) return;
  if (!typing || !typingRun_) undo_ = UndoState{cur, anchor_, caret_};
  typingRun_ = typing;
  std::u16string next = cur.substr(0, size_t(from)) + text + cur.substr(size_t(to));
  anchor_ = caret_ = from + int32_t(text.size());
  goalX_ = -1;
  SetTextInternal(std::move(next));
  ScrollToCaret();
  Invalidate();
}

void Edit::Undo() {
  if (!undo_) return;
  UndoState redo{Text(), anchor_, caret_};
  UndoState u = *undo_;
  undo_ = redo;
  typingRun_ = false;
  anchor_ = u.anchor;
  caret_ = u.caret;
  SetTextInternal(u.text);
  ScrollToCaret();
  Invalidate();
}

void Edit::ClearSelection() {
  if (readOnly_ || SelLength() == 0) return;
  Replace(SelStart(), SelStart() + SelLength(), u"", false);
}

void Edit::CopyToClipboard() {
  if (passwordChar_ || SelLength() == 0) return;
  GetClipboardText().SetText(SelText());
}

void Edit::CutToClipboard() {
  if (readOnly_ || passwordChar_ || SelLength() == 0) return;
  CopyToClipboard();
  ClearSelection();
}

void Edit::PasteFromClipboard() {
  ClipboardText& clip = GetClipboardText();
  if (readOnly_ || !clip.HasText()) return;
  SetSelText(clip.GetText());
}

// ---- Layout ----

const std::vector<Edit::LineSpan>& Edit::LineSpans() const {
  bool wrap = multiLine_ && wordWrap_;
  int32_t width = wrap ? std::max(1, TextArea().Width()) : -1;
  if (spansValid_ && spansWidth_ == width && spansText_ == Text()) return spans_;
  spans_.clear();
  const std::u16string& t = Text();
  std::u16string shown = Shown();
  const Font& font = GetFont();
  int32_t n = int32_t(t.size());
  // One line of the text [a, b) as shown lines.
  auto addLine = [&](int32_t a, int32_t b) {
    int32_t pos = a;
    while (wrap) {
      int32_t x = 0, lastSpace = -1, i = pos;
      for (; i < b; ++i) {
        int32_t w = font.CharAdvance(shown[size_t(i)]);
        if (x + w > width && i > pos) break;
        x += w;
        if (shown[size_t(i)] == u' ') lastSpace = i + 1;
      }
      if (i >= b) break;
      int32_t brk = lastSpace > pos ? lastSpace : i;
      if (brk > pos + 1 && t[size_t(brk)] >= 0xDC00 && t[size_t(brk)] <= 0xDFFF) --brk;  // keep pairs whole
      spans_.push_back({pos, brk});
      pos = brk;
    }
    spans_.push_back({pos, b});
  };
  int32_t start = 0;
  if (multiLine_) {
    for (int32_t i = 0; i < n; ++i) {
      if (t[size_t(i)] == u'\r' && i + 1 < n && t[size_t(i) + 1] == u'\n') {
        addLine(start, i);
        start = i + 2;
        ++i;
      } else if (t[size_t(i)] == u'\n') {
        addLine(start, i);
        start = i + 1;
      }
    }
  }
  addLine(start, n);
  spansText_ = t;
  spansWidth_ = width;
  spansValid_ = true;
  return spans_;
}

int32_t Edit::LineOf(int32_t pos) const {
  const auto& spans = LineSpans();
  for (size_t i = 0; i < spans.size(); ++i) {
    if (pos < spans[i].end) return int32_t(i);
    // At a wrapped line's end the position belongs to the next line, which starts there.
    bool soft = i + 1 < spans.size() && spans[i + 1].start == spans[i].end;
    if (pos == spans[i].end && !soft) return int32_t(i);
  }
  return int32_t(spans.size()) - 1;
}

void Edit::SetWordWrapInternal(bool v) {
  wordWrap_ = v;
  scrollX_ = 0;
  spansValid_ = false;
  ScrollToCaret();
  Invalidate();
}

int32_t Edit::LineHeight() const { return std::max(1, GetFont().Metrics().Height); }

Rect Edit::TextArea() const {
  Rect r = ClientRect();
  return {r.left + kPad, r.top + (multiLine_ ? kPad : 0), r.right - kPad, r.bottom - (multiLine_ ? kPad : 0)};
}

int32_t Edit::VisibleLines() const { return std::max(1, TextArea().Height() / LineHeight()); }

void Edit::SetTopLine(int32_t line) {
  int32_t maxTop = std::max(0, int32_t(LineSpans().size()) - VisibleLines());
  line = std::clamp(line, 0, maxTop);
  if (line == topLine_) return;
  topLine_ = line;
  Invalidate();
  UpdateCaret();
}

std::u16string Edit::Shown() const {
  if (passwordChar_) return std::u16string(Text().size(), passwordChar_);
  return Text();
}

Point Edit::PosToPoint(int32_t pos) const {
  const auto& spans = LineSpans();
  int32_t line = LineOf(pos);
  const LineSpan& s = spans[size_t(line)];
  std::u16string shown = Shown();
  int32_t x = GetFont().TextWidth(std::u16string_view(shown).substr(size_t(s.start), size_t(pos - s.start)));
  Rect a = TextArea();
  int32_t y = multiLine_ ? a.top + (line - topLine_) * LineHeight() : (a.top + a.bottom - LineHeight()) / 2;
  return {a.left + x - scrollX_, y};
}

int32_t Edit::PointToPos(Point p) const {
  const auto& spans = LineSpans();
  Rect a = TextArea();
  int32_t line = 0;
  if (multiLine_) {
    int32_t dy = p.y - a.top;
    line = topLine_ + (dy < 0 ? -1 : dy / LineHeight());
    line = std::clamp(line, 0, int32_t(spans.size()) - 1);
  }
  const LineSpan& s = spans[size_t(line)];
  std::u16string shown = Shown();
  int32_t x = p.x - a.left + scrollX_;
  int32_t acc = 0;
  for (int32_t i = s.start; i < s.end; ++i) {
    int32_t w = GetFont().CharAdvance(shown[size_t(i)]);
    if (x < acc + w / 2) return i;
    acc += w;
  }
  return s.end;
}

int32_t Edit::StepLeft(int32_t pos, bool word) const {
  const std::u16string& t = Text();
  if (pos <= 0) return 0;
  if (word) {
    while (pos > 0 && !IsWordChar(t[size_t(pos) - 1])) --pos;
    while (pos > 0 && IsWordChar(t[size_t(pos) - 1])) --pos;
    return pos;
  }
  --pos;
  if (pos > 0 && t[size_t(pos)] == u'\n' && t[size_t(pos) - 1] == u'\r') --pos;
  if (pos > 0 && t[size_t(pos)] >= 0xDC00 && t[size_t(pos)] <= 0xDFFF) --pos;
  return pos;
}

int32_t Edit::StepRight(int32_t pos, bool word) const {
  const std::u16string& t = Text();
  int32_t n = int32_t(t.size());
  if (pos >= n) return n;
  if (word) {
    while (pos < n && IsWordChar(t[size_t(pos)])) ++pos;
    while (pos < n && !IsWordChar(t[size_t(pos)])) ++pos;
    return pos;
  }
  if (t[size_t(pos)] == u'\r' && pos + 1 < n && t[size_t(pos) + 1] == u'\n') return pos + 2;
  if (t[size_t(pos)] >= 0xD800 && t[size_t(pos)] <= 0xDBFF && pos + 1 < n) return pos + 2;
  return pos + 1;
}

void Edit::MoveCaret(int32_t pos, bool extend) {
  caret_ = std::clamp(pos, 0, int32_t(Text().size()));
  if (!extend) anchor_ = caret_;
  typingRun_ = false;
  ScrollToCaret();
  Invalidate();
}

void Edit::ScrollToCaret() {
  Rect a = TextArea();
  if (multiLine_) {
    int32_t line = LineOf(caret_);
    if (line < topLine_) topLine_ = line;
    if (line >= topLine_ + VisibleLines()) topLine_ = line - VisibleLines() + 1;
  }
  Point p = PosToPoint(caret_);
  int32_t x = p.x - a.left + scrollX_;
  if (multiLine_ && wordWrap_) {
    scrollX_ = 0;
  } else if (x - scrollX_ > a.Width() - 1) scrollX_ = x - a.Width() + 1 + a.Width() / 4;
  if (x < scrollX_) scrollX_ = std::max(0, x - a.Width() / 4);
  UpdateCaret();
}

void Edit::UpdateCaret() {
  if (!Focused()) return;
  Point p = PosToPoint(caret_);
  SetCaretPos(p.x, p.y);
}

// ---- Input ----

uint32_t Edit::DlgCode() const {
  uint32_t c = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (multiLine_ && wantReturns_) c |= DLGC_WANTALLKEYS;
  if (multiLine_ && wantTabs_) c |= DLGC_WANTTAB;
  return c;
}

void Edit::KeyDown(uint8_t& key, ShiftState shift) {
  Control::KeyDown(key, shift);
  bool ext = shift & ssShift, ctrl = shift & ssCtrl;
  const auto& spans = LineSpans();
  int32_t line = LineOf(caret_);
  auto vertical = [&](int32_t lines) {
    if (!multiLine_) return;
    if (goalX_ < 0) goalX_ = PosToPoint(caret_).x;
    int32_t target = std::clamp(line + lines, 0, int32_t(spans.size()) - 1);
    int32_t y = TextArea().top + (target - topLine_) * LineHeight();
    int32_t gx = goalX_;
    MoveCaret(PointToPos({gx, y}), ext);
    goalX_ = gx;
  };
  switch (key) {
    case VK_LEFT:
      if (!ext && SelLength() && !ctrl) MoveCaret(SelStart(), false);
      else MoveCaret(StepLeft(caret_, ctrl), ext);
      break;
    case VK_RIGHT:
      if (!ext && SelLength() && !ctrl) MoveCaret(SelStart() + SelLength(), false);
      else MoveCaret(StepRight(caret_, ctrl), ext);
      break;
    case VK_HOME: MoveCaret(ctrl ? 0 : spans[size_t(line)].start, ext); break;
    case VK_END: MoveCaret(ctrl ? int32_t(Text().size()) : spans[size_t(line)].end, ext); break;
    case VK_UP: vertical(-1); return;
    case VK_DOWN: vertical(1); return;
    case VK_PRIOR: vertical(-VisibleLines()); return;
    case VK_NEXT: vertical(VisibleLines()); return;
    case VK_BACK:
      if (readOnly_) break;
      if (SelLength()) ClearSelection();
      else Replace(StepLeft(caret_, ctrl), caret_, u"", false);
      break;
    case VK_DELETE:
      if (ext) CutToClipboard();
      else if (readOnly_) break;
      else if (SelLength()) ClearSelection();
      else Replace(caret_, StepRight(caret_, ctrl), u"", false);
      break;
    case VK_INSERT:
      if (ctrl) CopyToClipboard();
      else if (ext) PasteFromClipboard();
      break;
    case VK_RETURN:
      if (multiLine_ && wantReturns_ && !readOnly_ && !ctrl) Replace(SelStart(), SelStart() + SelLength(), u"\r\n", false);
      break;
    case VK_TAB:
      if (multiLine_ && wantTabs_ && !readOnly_ && !ctrl) Replace(SelStart(), SelStart() + SelLength(), u"\t", true);
      break;
    default:
      if (ctrl && !(shift & ssAlt)) {
        if (key == 'A') SelectAll();
        if (key == 'C') CopyToClipboard();
        if (key == 'X') CutToClipboard();
        if (key == 'V') PasteFromClipboard();
        if (key == 'Z') Undo();
      }
      return;
  }
  goalX_ = -1;
}

void Edit::KeyPress(char16_t& ch) {
  char16_t low = std::exchange(pendingLow_, 0);
  Control::KeyPress(ch);
  if (ch < u' ' || ch == 0x7F || readOnly_) return;  // control characters are keys, not text
  std::u16string text(1, ch);
  if (low && ch >= 0xD800 && ch <= 0xDBFF) text += low;
  Replace(SelStart(), SelStart() + SelLength(), text, true);
}

// The character goes through KeyPress once, as its high half (so subclasses and OnKeyPress can
// still refuse it), and enters the text as the whole pair.
void Edit::KeyPressWide(char32_t cp) {
  uint32_t v = uint32_t(cp) - 0x10000;
  pendingLow_ = char16_t(0xDC00 + (v & 0x3FF));
  char16_t high = char16_t(0xD800 + (v >> 10));
  KeyPress(high);
  pendingLow_ = 0;
}

void Edit::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left || (shift & ssDouble)) return;
  MoveCaret(PointToPos(p), shift & ssShift);
  mouseSelecting_ = true;
}

void Edit::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (mouseSelecting_ && LeftButtonDownHere()) MoveCaret(PointToPos(p), true);
}

void Edit::MouseUp(MouseButton b, ShiftState shift, Point p) {
  Control::MouseUp(b, shift, p);
  if (b == MouseButton::Left) mouseSelecting_ = false;
}

void Edit::DblClick() {
  Control::DblClick();
  int32_t from = caret_, to = caret_;
  const std::u16string& t = Text();
  while (from > 0 && IsWordChar(t[size_t(from) - 1])) --from;
  while (to < int32_t(t.size()) && IsWordChar(t[size_t(to)])) ++to;
  anchor_ = from;
  caret_ = to;
  mouseSelecting_ = false;
  ScrollToCaret();
  Invalidate();
}

bool Edit::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  if (!multiLine_) return false;
  SetTopLine(topLine_ - 3 * delta / WHEEL_DELTA);
  return true;
}

void Edit::DoEnter() {
  CreateCaret(Handle(), 1, LineHeight());
  if (autoSelect_ && !multiLine_ && !(GetKeyState(VK_LBUTTON) & 0x8000)) SelectAll();
  UpdateCaret();
  ShowCaret(Handle());
  Control::DoEnter();
}

void Edit::DoExit() {
  DestroyCaret();
  mouseSelecting_ = false;
  Control::DoExit();
}

void Edit::Resize() {
  Control::Resize();
  ScrollToCaret();
}

void Edit::FontChanged() {
  Control::FontChanged();
  spansValid_ = false;
  if (Focused()) {
    CreateCaret(Handle(), 1, LineHeight());
    UpdateCaret();
    ShowCaret(Handle());
  }
}

intptr_t Edit::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_CUT: CutToClipboard(); return 0;
    case WM_COPY: CopyToClipboard(); return 0;
    case WM_PASTE: PasteFromClipboard(); return 0;
    case WM_CLEAR: ClearSelection(); return 0;
    case WM_UNDO: Undo(); return CanUndo() ? 1 : 0;
    default: return Control::WndProc(msg, wParam, lParam);
  }
}

// ---- Painting ----

void Edit::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect r = ClientRect();
  const LookColors& k = Look();
  bool enabled = EnabledInTree();
  c.FillRect(r, enabled ? BackColor() : k.Face);
  if (border_) DrawFrame(c, r, Focused() ? k.Focus : (MouseInside() && enabled ? k.BorderHot : k.Border));
  Rect a = TextArea();
  c.SaveState();
  c.IntersectClipRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  c.SetFont(GetFont());
  c.SetBkMode(BkMode::Transparent);
  c.SetTextAlign(align::Left | align::Top);
  std::u16string shown = Shown();
  const auto& spans = LineSpans();
  int32_t selA = SelStart(), selB = SelStart() + SelLength();
  bool showSel = Focused() && selB > selA;
  int32_t last = multiLine_ ? std::min(int32_t(spans.size()), topLine_ + VisibleLines() + 1) : 1;
  for (int32_t i = multiLine_ ? topLine_ : 0; i < last; ++i) {
    const LineSpan& s = spans[size_t(i)];
    Point o = PosToPoint(s.start);
    std::u16string_view line = std::u16string_view(shown).substr(size_t(s.start), size_t(s.end - s.start));
    c.SetTextColor(enabled ? TextColor() : k.GrayText);
    c.TextOut(o.x, o.y, line);
    int32_t a0 = std::max(selA, s.start), b0 = std::min(selB, s.end);
    bool breakSelected = multiLine_ && selA <= s.end && selB > s.end;
    if (showSel && (a0 < b0 || breakSelected)) {
      int32_t x0 = PosToPoint(a0).x, x1 = a0 < b0 ? PosToPoint(b0).x : x0;
      if (breakSelected) x1 += 4;
      c.FillRect({x0, o.y, x1, o.y + LineHeight()}, k.Highlight);
      c.SetTextColor(k.HighlightText);
      if (a0 < b0) c.TextOut(x0, o.y, std::u16string_view(shown).substr(size_t(a0), size_t(b0 - a0)));
    }
  }
  c.RestoreState();
  (void)a;
}

}  // namespace plat
