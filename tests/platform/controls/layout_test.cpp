// Alignment of child controls, moving controls between parents, interface scaling, popups and
// the multiple-document frame.
#include <gtest/gtest.h>

#include <memory>

#include "controls_fixture.h"
#include "platform/controls/align.h"
#include "platform/controls/button.h"
#include "platform/controls/control_look.h"
#include "platform/controls/edit.h"
#include "platform/controls/label.h"
#include "platform/controls/mdi.h"
#include "platform/controls/popup.h"

using namespace plat;
using namespace ctltest;

TEST_F(ControlsTest, AlignedChildrenShareTheClientAreaAndFollowResizes) {
  Form form;
  form.SetBounds(0, 0, 400, 300);
  struct Case {
    Align align;
    Rect size;  // only the width or height counts
    Rect expected;
  };
  const Case cases[] = {
      {Align::Top, {0, 0, 10, 30}, {0, 0, 400, 30}},
      {Align::Bottom, {0, 0, 10, 20}, {0, 280, 400, 300}},
      {Align::Left, {0, 0, 50, 10}, {0, 30, 50, 280}},
      {Align::Right, {0, 0, 60, 10}, {340, 30, 400, 280}},
      {Align::Client, {0, 0, 1, 1}, {50, 30, 340, 280}},
      {Align::Top, {0, 0, 10, 10}, {50, 30, 340, 40}},  // a second top strip comes below the first
  };
  std::vector<Control*> made;
  for (const Case& c : cases) {
    Control& ctl = form.Add<Control>();
    ctl.SetBounds(c.size);
    ctl.SetAlign(c.align);
    made.push_back(&ctl);
  }
  // The second top strip is placed with the top strips (in the order added), before the rest.
  EXPECT_EQ(made[0]->BoundsRect(), (Rect{0, 0, 400, 30}));
  EXPECT_EQ(made[5]->BoundsRect(), (Rect{0, 30, 400, 40}));
  EXPECT_EQ(made[2]->BoundsRect(), (Rect{0, 40, 50, 280}));
  EXPECT_EQ(made[4]->BoundsRect(), (Rect{50, 40, 340, 280}));
  ShowForm(form);
  form.SetBounds(0, 0, 500, 400);  // a resize lays them out again
  EXPECT_EQ(made[1]->BoundsRect(), (Rect{0, 380, 500, 400}));
  EXPECT_EQ(made[4]->BoundsRect(), (Rect{50, 40, 440, 380}));
  made[2]->Hide();  // hidden strips give their room back
  EXPECT_EQ(made[4]->BoundsRect(), (Rect{0, 40, 440, 380}));
  made[0]->SetHeight(50);  // a splitter would resize the strip this way
  EXPECT_EQ(made[4]->BoundsRect(), (Rect{0, 60, 440, 380}));
  EXPECT_EQ(AlignedClientArea(form), (Rect{0, 60, 440, 380}));
}

TEST_F(ControlsTest, ControlsMoveToAnotherParentAtRunTime) {
  auto a = std::make_unique<Form>();
  Form b;
  a->SetBounds(0, 0, 300, 200);
  b.SetBounds(400, 0, 300, 200);
  Control& panel = a->Add<Control>();
  panel.SetBounds(10, 10, 200, 100);
  Edit& edit = panel.Add<Edit>();
  edit.SetText(u"kept");
  ShowForm(*a);
  ShowForm(b);
  edit.SetFocus();
  Hwnd oldHandle = edit.Handle();
  panel.SetParent(&b);
  // The handles and the focus move along.
  EXPECT_EQ(edit.Handle(), oldHandle);
  EXPECT_EQ(GetTopLevel(edit.Handle()), b.Handle());
  EXPECT_EQ(Focus(), &edit);
  EXPECT_EQ(edit.Text(), u"kept");
  EXPECT_EQ(a->ActiveControl(), nullptr);
  EXPECT_EQ(b.ActiveControl(), &edit);
  EXPECT_EQ(a->Controls().size(), 0u);
  // Without a parent the handles go; under a parent again they are made anew.
  panel.SetParent(nullptr);
  EXPECT_FALSE(IsWindow(oldHandle));
  EXPECT_FALSE(edit.HandleAllocated());
  panel.SetParent(&b);
  ASSERT_TRUE(edit.HandleAllocated());
  edit.SetFocus();
  Press(VK_END);
  Type("!");
  EXPECT_EQ(edit.Text(), u"kept!");
  EXPECT_EQ(b.ActiveControl(), &edit);
  // Owned by a, shown in b: destroying a destroys the panel and takes it out of b.
  a.reset();
  EXPECT_TRUE(b.Controls().empty());
  EXPECT_EQ(b.ActiveControl(), nullptr);
}

TEST_F(ControlsTest, InterfaceScaleEnlargesFormsFrom14Up) {
  struct Case {
    int32_t scale;
    int32_t width;  // of a 74-pixel button
  };
  for (const Case& c : {Case{12, 74}, Case{13, 74}, Case{14, 80}, Case{26, 148}}) {
    SCOPED_TRACE(c.scale);
    SetInterfaceScaleForTests(c.scale);
    Form form;
    form.SetBounds(100, 100, 260, 130);
    Button& ok = form.Add<Button>();
    ok.SetBounds(10, 20, 74, 22);
    form.ApplyInterfaceScale();
    form.ApplyInterfaceScale();  // only once
    EXPECT_EQ(ok.Width(), c.width);
    EXPECT_EQ(ok.Left(), c.width == 74 ? 10 : (10 * c.scale + 6) / 13);
    EXPECT_EQ(form.Left(), 100);  // a form keeps its place on the screen
  }
  SetInterfaceScaleForTests(0);
  EXPECT_EQ(InterfaceScale(), InterfaceFontHeight());
  EXPECT_EQ(InterfaceFontHeight(), 13);  // the standard interface font
}

TEST_F(ControlsTest, PopupsNeverTakeActivationAndCloseWhenDismissed) {
  Form form;
  form.SetBounds(100, 100, 300, 200);
  Edit& edit = form.Add<Edit>();
  Button& other = form.Add<Button>();
  other.SetBounds(10, 100, 75, 23);
  Popup popup;
  std::vector<PopupCloseReason> closes;
  popup.OnClose = [&](Popup&, PopupCloseReason r) { closes.push_back(r); };
  Control& inside = popup.Add<Control>();
  inside.SetAlign(Align::Client);
  ShowForm(form);
  edit.SetFocus();
  auto open = [&] {
    popup.Open({110, 130, 210, 230}, &edit);
    PumpPending();
  };
  open();
  EXPECT_TRUE(popup.IsOpen());
  EXPECT_EQ(GetActiveWindow(), form.Handle());
  ClickAt(inside, {5, 5});  // a click inside keeps it open and the focus where it was
  EXPECT_TRUE(popup.IsOpen());
  EXPECT_EQ(Focus(), &edit);
  EXPECT_EQ(GetActiveWindow(), form.Handle());
  ClickAt(edit, {5, 5});  // the opener's own clicks are left to it
  EXPECT_TRUE(popup.IsOpen());
  Press(VK_ESCAPE);
  open();
  ClickAt(other, {5, 5});
  open();
  headless::FocusAway(form.Handle());
  PumpPending();
  EXPECT_FALSE(popup.IsOpen());
  EXPECT_EQ(closes, (std::vector<PopupCloseReason>{PopupCloseReason::Escape, PopupCloseReason::ClickOutside,
                                                   PopupCloseReason::Deactivated}));
}

TEST_F(ControlsTest, MdiChildrenCascadeTileMaximiseAndMoveOut) {
  MdiFrame frame;
  frame.SetBounds(0, 0, 640, 480);
  ShowForm(frame);
  MdiChild a(frame), b(frame), c(frame);
  a.SetCaption(u"One");
  Edit& edit = a.Add<Edit>();
  edit.SetBounds(10, 40, 100, 21);
  for (MdiChild* ch : {&a, &b, &c}) ch->Show();
  PumpPending();
  EXPECT_EQ(frame.ActiveChild(), &c);
  a.Activate();
  EXPECT_EQ(frame.ActiveChild(), &a);
  EXPECT_EQ(Focus(), &edit);
  Rect area = frame.ClientArea().ClientRect();

  frame.Tile(TileMode::Vertical);
  EXPECT_EQ(a.BoundsRect(), (Rect{0, 0, area.Width() / 3, area.Height()}));
  frame.Tile(TileMode::Horizontal);
  EXPECT_EQ(frame.DockedChildren().back()->BoundsRect().bottom, area.Height());
  EXPECT_EQ(frame.DockedChildren().front()->BoundsRect().top, 0);
  frame.Cascade();
  EXPECT_EQ(frame.ActiveChild(), &a);
  EXPECT_LT(b.Left(), a.Left());  // the active child is cascaded last, on top

  a.SetWindowState(WindowState::Maximized);
  EXPECT_EQ(a.BoundsRect(), area);
  frame.SetBounds(0, 0, 700, 500);  // a maximised child follows the frame
  EXPECT_EQ(a.BoundsRect(), frame.ClientArea().ClientRect());
  a.SetWindowState(WindowState::Normal);

  frame.Next();  // Ctrl+F6 order: the active goes to the bottom
  EXPECT_NE(frame.ActiveChild(), &a);
  edit.SetFocus();
  Press(VK_F6, 4);
  EXPECT_NE(frame.ActiveChild(), &a);

  Point before = a.ClientToScreen({0, 0});
  a.Undock();
  EXPECT_FALSE(a.Docked());
  EXPECT_TRUE(IsTopLevel(a.Handle()));
  EXPECT_EQ(frame.DockedChildren().size(), 2u);
  EXPECT_EQ(a.ClientToScreen({0, 0}).y, before.y);
  edit.SetFocus();
  Type("x");
  EXPECT_EQ(edit.Text(), u"x");
  a.Dock();
  EXPECT_TRUE(a.Docked());
  EXPECT_EQ(frame.ActiveChild(), &a);
  EXPECT_EQ(GetParent(a.Handle()), frame.ClientArea().Handle());
}

TEST_F(ControlsTest, TopLevelFormsMaximiseAndRestoreThroughTheWindowSystem) {
  Form form;
  form.SetBounds(50, 60, 300, 200);
  form.SetWindowState(WindowState::Maximized);  // before the form has a window
  Control& client = form.Add<Control>();
  client.SetAlign(Align::Client);
  ShowForm(form);
  EXPECT_EQ(form.BoundsRect(), GetScreenRect());
  EXPECT_EQ(client.Width(), form.ClientRect().Width());
  form.SetWindowState(WindowState::Normal);
  EXPECT_EQ(form.BoundsRect(), (Rect{50, 60, 350, 260}));
  EXPECT_EQ(client.BoundsRect(), form.ClientRect());
  SetWindowState(form.Handle(), WindowState::Maximized);  // as the window manager would
  EXPECT_EQ(form.GetWindowState(), WindowState::Maximized);
}

TEST_F(ControlsTest, DestroyedControlsLeaveNoDanglingReferences) {
  Form form;
  form.SetBounds(0, 0, 300, 200);
  Label& label = form.Add<Label>();
  label.SetCaption(u"&Name");
  Popup popup;
  ShowForm(form);
  {
    Edit edit;
    edit.SetParent(&form);
    label.SetFocusControl(&edit);
    edit.SetFocus();
    popup.Open({10, 10, 50, 50}, &edit);
  }
  EXPECT_EQ(label.FocusControl(), nullptr);
  EXPECT_FALSE(popup.IsOpen());
  EXPECT_EQ(form.ActiveControl(), nullptr);
  AltLetter('n');  // nothing to focus, nothing breaks
  ClickAt(label, {2, 2});
}

TEST_F(ControlsTest, OwnedToolWindowsStayOnTopAndKeepTheirPlace) {
  Form main;
  main.SetBounds(0, 0, 600, 400);
  ShowForm(main);
  Form tool(&main);
  tool.SetBorderStyle(BorderStyle::ToolWindow);
  tool.SetFormStyle(FormStyle::StayOnTop);
  tool.SetPosition(FormPosition::OwnerCenter);
  tool.SetBounds(0, 0, 200, 100);
  ShowForm(tool);
  EXPECT_EQ(tool.BoundsRect(), (Rect{200, 150, 400, 250}));  // centred on the owner the first time
  EXPECT_EQ(GetOwner(tool.Handle()), main.Handle());
  EXPECT_TRUE(GetWindowExStyle(tool.Handle()) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowExStyle(tool.Handle()) & WS_EX_TOOLWINDOW);
  tool.SetBounds(10, 20, 200, 100);  // moved by the user
  tool.Hide();
  ShowForm(tool);
  EXPECT_EQ(tool.BoundsRect(), (Rect{10, 20, 210, 120}));
  main.Show();
  std::vector<Hwnd> z = GetTopLevelWindows();
  EXPECT_EQ(z.back(), tool.Handle());  // above its owner
}

TEST_F(ControlsTest, SizingEdgesResizeAlignedStrips) {
  Form form;
  form.SetBounds(0, 0, 400, 300);
  Control& side = form.Add<Control>();
  side.SetBounds(0, 0, 100, 10);
  side.SetAlign(Align::Left);
  side.SetSizingEdges(seRight);
  Control& rest = form.Add<Control>();
  rest.SetAlign(Align::Client);
  ShowForm(form);
  headless::MouseMove(side.Handle(), {98, 50});
  PumpPending();
  EXPECT_EQ(side.Cursor(), CursorShape::SizeWE);
  headless::Drag(side.Handle(), {98, 50}, {148, 80});
  PumpPending();
  EXPECT_EQ(side.BoundsRect(), (Rect{0, 0, 150, 300}));
  EXPECT_EQ(rest.BoundsRect(), (Rect{150, 0, 400, 300}));
  headless::MouseMove(side.Handle(), {50, 50});
  PumpPending();
  EXPECT_EQ(side.Cursor(), CursorShape::Arrow);
  headless::Drag(side.Handle(), {148, 50}, {-200, 50});  // never below the least size
  PumpPending();
  EXPECT_EQ(side.Width(), 8);
}
