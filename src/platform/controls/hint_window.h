#pragma once
// plat::HintWindow: the small top-level window that shows a hint (a tooltip text) near the
// mouse. It never takes the activation or the focus.
//
// The application object measures the text (CalcHintRect), places the rectangle and shows it
// (ActivateHint); IsHintMsg tells whether a message of the loop ends the hint.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/types.h"
#include "platform/win/window.h"

namespace plat {

class HintWindow : public Window {
 public:
  HintWindow();
  ~HintWindow() override;

  // The size the text needs, wrapped at words to at most maxWidth pixels, as a rectangle with
  // its top-left at (0, 0).
  Rect CalcHintRect(int32_t maxWidth, const std::u16string& text) const;
  // Shows the text in the screen rectangle (moved to lie on the screen), topmost and without
  // activation. The same text in the same place on a shown hint changes nothing.
  void ActivateHint(const Rect& screen, const std::u16string& text);
  void ReleaseHint();  // hides it
  bool Showing() const;
  const std::u16string& Text() const { return text_; }
  Rect ScreenRect() const { return rect_; }
  // The lines the text was wrapped into.
  const std::vector<std::u16string>& Lines() const { return lines_; }

  // Whether a message taken by the loop ends the hint: key messages, mouse buttons and wheel,
  // commands, activation changes and application keys.
  static bool IsHintMsg(const Msg& m);

  // The data of the hint shown (the application object's hint data).
  intptr_t Tag = 0;
  uint32_t HintColor = 0x80000018;  // the interface's hint background colour

  void Paint(PaintContext& pc) override;

 private:
  std::vector<std::u16string> Wrap(int32_t maxWidth, const std::u16string& text) const;

  std::u16string text_;
  std::vector<std::u16string> lines_;
  Rect rect_;
};

}  // namespace plat
