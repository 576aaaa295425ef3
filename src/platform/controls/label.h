#pragma once
// plat::Label: static text. Its "&" mnemonic focuses FocusControl. With WordWrap the text
// breaks at spaces to the width; with AutoSize the label takes the size of its text.
#include "platform/controls/control.h"
#include "platform/controls/control_look.h"

namespace plat {

class Label : public Control {
 public:
  Label();
  Control* FocusControl() const { return focusControl_; }
  void SetFocusControl(Control* c) { focusControl_ = c; }
  TextAlign Alignment() const { return alignment_; }
  void SetAlignment(TextAlign a);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // "&" marks a mnemonic (true by default); false shows "&" as it is.
  bool ShowAccelChar() const { return showAccel_; }
  void SetShowAccelChar(bool v);
  // The lines the text is drawn in, after word wrapping.
  std::vector<std::u16string> Lines() const;

  bool DialogChar(char16_t ch) override;

 protected:
  void Paint(PaintContext& pc) override;
  void TextChanged() override;
  void FontChanged() override;
  void ControlGone(Control* gone) override {
    if (gone == focusControl_) focusControl_ = nullptr;
  }

 private:
  void AdjustSize();
  Control* focusControl_ = nullptr;
  TextAlign alignment_ = TextAlign::Left;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool showAccel_ = true;
};

}  // namespace plat
