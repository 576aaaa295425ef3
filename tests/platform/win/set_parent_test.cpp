// Moving a child window to another parent at run time keeps its handle.
#include <gtest/gtest.h>

#include "win_fixture.h"

using namespace plat;
using namespace wintest;

TEST_F(WinTest, SetParentKeepsHandleFocusAndBounds) {
  std::vector<Received> log;
  RecWindow top1, top2, a, b, child(&log), grandchild;
  MakeTop(top1);
  MakeTop(top2);
  MakeChild(a, top1, {0, 0, 100, 100});
  MakeChild(b, top1, {100, 0, 200, 100});
  MakeChild(child, a, {10, 10, 60, 40});
  MakeChild(grandchild, child, {1, 1, 20, 20});
  SetFocus(grandchild.Handle());
  PumpPending();
  log.clear();

  EXPECT_EQ(SetParent(child.Handle(), b.Handle()), a.Handle());
  EXPECT_TRUE(IsWindow(child.Handle()));
  EXPECT_EQ(GetParent(child.Handle()), b.Handle());
  EXPECT_EQ(GetChildren(b.Handle()), std::vector<Hwnd>{child.Handle()});
  EXPECT_TRUE(GetChildren(a.Handle()).empty());
  EXPECT_EQ(GetWindowBounds(child.Handle()), (Rect{10, 10, 60, 40}));
  EXPECT_EQ(GetFocus(), grandchild.Handle());
  EXPECT_EQ(Only(log, {WM_DESTROY, WM_CREATE, WM_KILLFOCUS}).size(), 0u);
  PumpPending();
  EXPECT_FALSE(child.paints.empty());  // painted at its new place

  // To another top-level window: still the same handles and the focus.
  SetCapture(grandchild.Handle());
  EXPECT_EQ(SetParent(child.Handle(), top2.Handle()), b.Handle());
  EXPECT_EQ(GetTopLevel(grandchild.Handle()), top2.Handle());
  EXPECT_EQ(GetFocus(), grandchild.Handle());
  EXPECT_EQ(GetCapture(), 0u);

  // A parent that is hidden takes the focus away.
  ShowWindow(a.Handle(), false);
  SetParent(child.Handle(), a.Handle());
  EXPECT_EQ(GetFocus(), 0u);
}

TEST_F(WinTest, SetParentRefusesWhatCannotMove) {
  RecWindow top, a, inner;
  MakeTop(top);
  MakeChild(a, top, {0, 0, 100, 100});
  MakeChild(inner, a, {0, 0, 10, 10});
  struct Case {
    const char* what;
    Hwnd hwnd, parent;
  };
  for (const Case& c : {Case{"top-level window", top.Handle(), a.Handle()},
                        Case{"dead parent", a.Handle(), 9999},
                        Case{"dead window", 9999, top.Handle()},
                        Case{"parent inside the window", a.Handle(), inner.Handle()},
                        Case{"itself", a.Handle(), a.Handle()}}) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SetParent(c.hwnd, c.parent), 0u);
  }
  EXPECT_EQ(GetParent(a.Handle()), top.Handle());
  EXPECT_EQ(GetParent(inner.Handle()), a.Handle());
}
