#pragma once
// plat::Panel: a container with an optional bevel frame and a centred caption.
#include <cstdint>

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"

namespace plat {

enum class Bevel { None, Raised, Lowered, Flat };

class Panel : public Control {
 public:
  Panel();

  Bevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(Bevel b) { bevelOuter_ = b; Invalidate(); }
  TextAlign Alignment() const { return alignment_; }
  void SetAlignment(TextAlign a) { alignment_ = a; Invalidate(); }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) { showCaption_ = v; Invalidate(); }

 protected:
  void Paint(PaintContext& pc) override;

 private:
  Bevel bevelOuter_ = Bevel::Flat;
  TextAlign alignment_ = TextAlign::Center;
  bool showCaption_ = true;
};

}  // namespace plat
