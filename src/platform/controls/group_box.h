#pragma once
// plat::GroupBox: a framed container with a caption; its mnemonic focuses its first control.
#include "platform/controls/control.h"

namespace plat {

class GroupBox : public Control {
 public:
  GroupBox();
  bool DialogChar(char16_t ch) override;

 protected:
  void Paint(PaintContext& pc) override;
};

}  // namespace plat
