#include "foundation/ui/interface_scale.h"

#include <gtest/gtest.h>

#include "platform/controls/control_look.h"

using namespace qv;

namespace {

struct ScaleGuard {
  explicit ScaleGuard(int32_t scale) { plat::SetInterfaceScaleForTests(scale); }
  ~ScaleGuard() { plat::SetInterfaceScaleForTests(0); }
};

TEST(InterfaceScale, ScaleUIByInterfaceFontHeight) {
  struct Case { int32_t scale, design, scaled; } cases[] = {
      {12, 74, 74}, {13, 74, 74}, {14, 74, 80}, {16, 74, 91}, {20, 74, 114}, {26, 74, 148},
      {13, 17, 17}, {14, 17, 18}, {20, 17, 26}, {20, 23, 35}, {14, 83, 89}, {20, 450, 692},
  };
  for (const Case& c : cases) {
    ScaleGuard g(c.scale);
    EXPECT_EQ(ScaleUI(c.design), c.scaled) << "scale " << c.scale << " size " << c.design;
  }
  ScaleGuard g(20);
  EXPECT_EQ(SmallControlSize(), 26);
}

}  // namespace
