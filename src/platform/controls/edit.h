#pragma once
// plat::Edit: a single-line text field with a caret, selection by keys and mouse, one level of
// undo (Undo again redoes; typing in a row is one step), and cut, copy and paste of text
// through the clipboard (clipboard_text.h). MaxLength bounds the text (0: no bound): what does
// not fit of a typed or pasted text is dropped with a beep. A read-only field still selects and
// copies. The multi-line variant is plat::Memo (memo.h).
//
// Positions are UTF-16 indexes into Text(). In a multi-line text a line break is "\r\n" (a
// lone "\n" also breaks); the caret never stands between "\r" and "\n".
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace plat {

class Edit : public Control {
 public:
  Edit();

  const std::u16string& Text() const { return Caption(); }
  // Replaces the whole text: the caret goes to the start, undo is cleared, OnChange fires when
  // the text differs.
  void SetText(const std::u16string& text);

  int32_t SelStart() const;
  int32_t SelLength() const;
  // Selects length characters from start (clamped); the caret goes to the end of the range.
  void SetSel(int32_t start, int32_t length);
  void SelectAll();
  std::u16string SelText() const;
  // Replaces the selection as typing would (undoable, bounded by MaxLength).
  void SetSelText(const std::u16string& text);
  int32_t CaretPos() const { return caret_; }

  int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(int32_t n) { maxLength_ = n < 0 ? 0 : n; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  char16_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char16_t c);
  // Select the whole text when the focus comes by the keyboard.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  // The frame around the field (off for a field inside another control).
  bool Border() const { return border_; }
  void SetBorder(bool v);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }

  bool CanUndo() const { return undo_.has_value(); }
  void Undo();
  void ClearUndo() { undo_.reset(); }
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  // Deletes the selection.
  void ClearSelection();

  // The text changed (by the user or the program).
  std::function<void(Control&)> OnChange;

  uint32_t DlgCode() const override;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 protected:
  // Multi-line behaviour (plat::Memo).
  bool multiLine_ = false;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = false;  // lines break at spaces to the width (no horizontal scrolling)

  // The lines as shown: a line ends before its line break, or where word wrapping broke it
  // (the next line then starts at the same position).
  struct LineSpan {
    int32_t start = 0;
    int32_t end = 0;
  };
  const std::vector<LineSpan>& LineSpans() const;
  void SetWordWrapInternal(bool v);
  int32_t LineOf(int32_t pos) const;
  int32_t TopLine() const { return topLine_; }
  void SetTopLine(int32_t line);
  int32_t VisibleLines() const;

  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void KeyPress(char16_t& ch) override;
  void KeyPressWide(char32_t cp) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  void DblClick() override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;
  void DoEnter() override;
  void DoExit() override;
  void Resize() override;
  void FontChanged() override;
  virtual void Change();

 private:
  struct UndoState {
    std::u16string text;
    int32_t anchor = 0;
    int32_t caret = 0;
  };
  std::u16string Shown() const;  // the text as drawn (password characters)
  int32_t LineHeight() const;
  Rect TextArea() const;
  Point PosToPoint(int32_t pos) const;
  int32_t PointToPos(Point p) const;
  int32_t StepLeft(int32_t pos, bool word) const;
  int32_t StepRight(int32_t pos, bool word) const;
  void MoveCaret(int32_t pos, bool extend);
  void Replace(int32_t from, int32_t to, std::u16string text, bool typing);
  void ScrollToCaret();
  void UpdateCaret();
  void SetTextInternal(std::u16string text);

  int32_t anchor_ = 0;
  int32_t caret_ = 0;
  int32_t maxLength_ = 0;
  int32_t scrollX_ = 0;
  int32_t topLine_ = 0;
  int32_t goalX_ = -1;  // the x that Up and Down keep
  bool readOnly_ = false;
  bool border_ = true;
  bool autoSelect_ = true;
  bool modified_ = false;
  bool typingRun_ = false;
  bool mouseSelecting_ = false;
  // The low half of a character outside the basic plane whose high half KeyPress is seeing.
  char16_t pendingLow_ = 0;
  char16_t passwordChar_ = 0;
  std::optional<UndoState> undo_;
  // The lines of the text as last computed, with what they were computed for.
  mutable std::vector<LineSpan> spans_;
  mutable std::u16string spansText_;
  mutable int32_t spansWidth_ = -1;
  mutable bool spansValid_ = false;
};

}  // namespace plat
