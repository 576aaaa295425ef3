// Windows placed, scrolled and invalidated at the ends of the 32-bit range (as damaged settings
// or documents can ask for): the window tree, painting and hit-testing stay sound.
#include <gtest/gtest.h>

#include <climits>

#include "../win/win_fixture.h"
#include "platform/gfx/bitmap.h"

namespace {

using plat::Point;
using plat::Rect;
using wintest::RecWindow;

constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;

const Rect kExtremes[] = {
    {kMin, kMin, kMax, kMax}, {kMax, kMax, kMin, kMin}, {kMax - 3, kMax - 3, kMax, kMax},
    {kMin, kMin, kMin + 3, kMin + 3}, {0, 0, 0, 0}, {-50, -50, 10, 10}, {10, 10, 60, 40},
};

class WindowRobustness : public wintest::WinTest {};

TEST_F(WindowRobustness, ExtremeBoundsScrollsAndInvalidation) {
  RecWindow top, child, grandchild;
  MakeTop(top, 120, 90);
  MakeChild(child, top, {5, 5, 80, 60});
  MakeChild(grandchild, child, {1, 1, 20, 20});
  for (const Rect& r : kExtremes) {
    for (RecWindow* w : {&child, &grandchild, &top}) {
      // A top-level window keeps a surface of its size: it is moved to the far ends but sized
      // by the tests below.
      plat::MoveWindow(w->Handle(), w == &top ? Rect{r.left, r.top, plat::SaturateToInt32(int64_t{r.left} + 50),
                                                              plat::SaturateToInt32(int64_t{r.top} + 40)}
                                                       : r);
      plat::GetClientRect(w->Handle());
      plat::GetWindowScreenRect(w->Handle());
      plat::ClientToScreen(w->Handle(), {kMax, kMin});
      plat::ScreenToClient(w->Handle(), {kMin, kMax});
      plat::InvalidateRect(w->Handle(), &r);
      plat::InvalidateRegion(w->Handle(), plat::Region(r));
      plat::ScrollWindowEx(w->Handle(), r.left, r.bottom, &r, nullptr);
      plat::ScrollWindowEx(w->Handle(), kMax, kMin, nullptr, &r);
      plat::WindowFromPoint({r.left, r.top});
      plat::ChildWindowFromPoint(top.Handle(), {r.right, r.bottom});
      plat::UpdateWindow(top.Handle());
    }
    plat::SetNonClientInsets(child.Handle(), {kMax, kMin, kMax, kMin});
    plat::SetNonClientInsets(child.Handle(), {});
  }
  // A top-level window asked to be wider or taller than any screen is given a surface it can
  // hold instead of failing (it used to throw out of the move).
  for (const Rect& r : {Rect{0, 0, kMax, 30}, Rect{kMin, 0, kMax, 30}, Rect{5, kMin, 45, kMax}}) {
    ASSERT_NO_THROW(plat::MoveWindow(top.Handle(), r));
    const Rect got = plat::GetWindowBounds(top.Handle());
    EXPECT_GT(got.Width(), 0);
    EXPECT_LE(got.Width(), plat::GetWindowSurface(top.Handle())->Width());
    EXPECT_LE(got.Height(), plat::GetWindowSurface(top.Handle())->Height());
  }
  // Back to sound bounds, everything still works.
  plat::MoveWindow(top.Handle(), {0, 0, 100, 80});
  plat::MoveWindow(child.Handle(), {10, 10, 50, 50});
  plat::MoveWindow(grandchild.Handle(), {1, 1, 5, 5});
  EXPECT_EQ(plat::GetClientRect(child.Handle()), (Rect{0, 0, 40, 40}));
  EXPECT_EQ(plat::ChildWindowFromPoint(top.Handle(), {20, 20}), child.Handle());
  EXPECT_EQ(plat::ChildWindowFromPoint(top.Handle(), {12, 12}), grandchild.Handle());
}

TEST_F(WindowRobustness, CaretsAndTimersWithAbsurdValues) {
  RecWindow top;
  MakeTop(top);
  plat::SetFocus(top.Handle());
  for (int32_t size : {kMin, -1, 0, kMax}) {
    plat::CreateCaret(top.Handle(), size, size);
    plat::DestroyCaret();
  }
  EXPECT_NE(plat::SetTimer(top.Handle(), 7, 0xFFFFFFFFu), 0u);
  EXPECT_NE(plat::SetTimer(top.Handle(), 8, 0), 0u);
  plat::PumpPending();
  EXPECT_TRUE(plat::KillTimer(top.Handle(), 7));
  EXPECT_TRUE(plat::KillTimer(top.Handle(), 8));
}

}  // namespace
