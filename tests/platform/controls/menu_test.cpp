// Menus: the model, popup placement, and the menu loop driven by synthetic keys and clicks.
#include <gtest/gtest.h>

#include "platform/controls/edit.h"
#include "platform/controls/memo.h"
#include "platform/controls/menu.h"
#include "platform/controls/menu_bar.h"
#include "platform/controls/menu_tracker.h"
#include "platform/gfx/bitmap.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

namespace {

// File (Open, a submenu Recent with two items, a separator, Exit) and Edit (Cut, Copy).
struct TestMenu {
  MainMenu menu;
  std::vector<uint32_t> clicked;
  TestMenu() {
    MenuItem& file = menu.Items().Add(u"&File");
    file.Add(u"&Open...\tCtrl+O", 101).Shortcut = MakeShortCut('O', SHIFT_BIT_CTRL);
    MenuItem& recent = file.Add(u"&Recent");
    recent.Add(u"&1 a.rtf", 111);
    recent.Add(u"&2 b.rtf", 112);
    file.Add(u"-");
    file.Add(u"E&xit", 199);
    MenuItem& edit = menu.Items().Add(u"&Edit");
    edit.Add(u"Cu&t", 201);
    edit.Add(u"&Copy", 202);
    Hook(menu.Items());
  }
  void Hook(MenuItem& parent) {
    for (int32_t i = 0; i < parent.Count(); ++i) {
      parent[i].OnClick = [this](MenuItem& it) { clicked.push_back(it.Command); };
      Hook(parent[i]);
    }
  }
};

// Runs fn from inside the next menu loop (a zero-length thread timer fires at its first look
// at the queue).
void Soon(std::function<void()> fn) {
  SetTimer(0, 0, 0, [fn](Hwnd, uint32_t id) {
    KillTimer(0, id);
    fn();
  });
}

}  // namespace

TEST(MenuModel, RadioGroupsShortcutsAndLookups) {
  PopupMenu m;
  MenuItem& a = m.Items().Add(u"A", 1);
  MenuItem& b = m.Items().Add(u"B", 2);
  MenuItem& c = m.Items().Add(u"C", 3);
  for (MenuItem* i : {&a, &b, &c}) i->RadioItem = true;
  c.GroupIndex = 1;
  a.SetChecked(true);
  c.SetChecked(true);
  b.SetChecked(true);
  EXPECT_FALSE(a.Checked());  // same group as b
  EXPECT_TRUE(b.Checked());
  EXPECT_TRUE(c.Checked());  // another group
  MenuItem& sub = m.Items().Add(u"&Sub\tCtrl+S");
  MenuItem& deep = sub.Add(u"Deep", 42);
  deep.Shortcut = MakeShortCut('S', SHIFT_BIT_CTRL | SHIFT_BIT_SHIFT);
  EXPECT_EQ(deep.Shortcut, 'S' + scCtrl + scShift);
  EXPECT_EQ(MakeShortCut(0x100, 0), 0);
  EXPECT_EQ(m.FindCommand(42), &deep);
  EXPECT_EQ(m.FindSubMenu(sub.SubMenuHandle()), &sub);
  EXPECT_EQ(m.FindShortCut(deep.Shortcut), &deep);
  deep.Enabled = false;
  EXPECT_EQ(m.FindShortCut(deep.Shortcut), nullptr);
  EXPECT_FALSE(m.DispatchCommand(42));
  EXPECT_EQ(sub.Label(), u"&Sub");
  EXPECT_EQ(sub.ShortCutText(), u"Ctrl+S");
  EXPECT_EQ(sub.Mnemonic(), u'S');
  EXPECT_EQ(MenuItem(u"Fish && &chips").Mnemonic(), u'C');
  EXPECT_EQ(deep.OwnerMenu(), &m);
}

TEST(MenuPlacement, KeepsOnScreenAndAvoidsTheExclusionRectangle) {
  const Rect screen{0, 0, 1000, 800};
  const Rect button{500, 700, 580, 730};  // near the bottom of the screen
  struct Case {
    const char* name;
    Point pt;
    uint32_t flags;
    const Rect* exclude;
    Rect want;
  } cases[] = {
      {"fits at the point", {100, 100}, 0, nullptr, {100, 100, 300, 400}},
      {"right aligned", {300, 100}, TPM_RIGHTALIGN, nullptr, {100, 100, 300, 400}},
      {"flips left at the right edge", {900, 100}, 0, nullptr, {700, 100, 900, 400}},
      {"flips up at the bottom", {100, 700}, 0, nullptr, {100, 400, 300, 700}},
      // Below the button there is no room: the menu goes above it, not over it.
      {"vertical: above the button", {500, 730}, TPM_VERTICAL, &button, {500, 400, 700, 700}},
      // Sideways: right of the button.
      {"horizontal: beside the button", {500, 700}, TPM_HORIZONTAL, &button, {580, 500, 780, 800}},
      {"horizontal: left when the right is full", {950, 100}, TPM_HORIZONTAL, nullptr,
       {750, 100, 950, 400}},
  };
  for (const Case& c : cases) {
    Rect r = PlacePopup({200, 300}, c.pt, c.flags, c.exclude, screen);
    EXPECT_EQ(r, c.want) << c.name;
    if (c.exclude) {
      EXPECT_TRUE(r.Intersect(*c.exclude).IsEmpty()) << c.name;
    }
  }
  // Beside a submenu's parent item at the right edge: to its left.
  Rect item{850, 100, 990, 122};
  Rect sub = PlacePopup({200, 100}, {990, 100}, TPM_HORIZONTAL, &item, screen);
  EXPECT_EQ(sub.right, 850);
}

class MenuLoopTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    bar = &form->Add<MenuBar>();
    bar->SetMenu(&tm.menu);
    tm.menu.NotifyWindow = 0;
    ShowForm();
  }
  TestMenu tm;
  MenuBar* bar = nullptr;
};

TEST_F(MenuLoopTest, AltLetterAndArrowsRunTheCommand) {
  struct Case {
    const char* name;
    std::function<void()> keys;
    std::vector<uint32_t> want;
  } cases[] = {
      {"Alt+F, Enter runs the first item", [] { AltLetter('f'); Press(VK_RETURN); }, {101}},
      {"Alt+F, Up wraps to Exit", [] { AltLetter('f'); Press(VK_UP); Press(VK_RETURN); }, {199}},
      {"arrows skip the separator",
       [] { AltLetter('f'); Press(VK_DOWN); Press(VK_DOWN); Press(VK_RETURN); }, {199}},
      {"Right opens the submenu",
       [] { AltLetter('f'); Press(VK_DOWN); Press(VK_RIGHT); Press(VK_DOWN); Press(VK_RETURN); },
       {112}},
      {"Right on a plain item moves to the next menu",
       [] { AltLetter('f'); Press(VK_RIGHT); Press(VK_DOWN); Press(VK_RETURN); }, {202}},
      {"mnemonics inside the menu", [] { AltLetter('e'); headless::TypeText("c"); }, {202}},
      {"Escape twice leaves without a command",
       [] { AltLetter('f'); Press(VK_ESCAPE); Press(VK_ESCAPE); }, {}},
      {"F10 then Enter opens the first menu",
       [] { Press(VK_F10); Press(VK_RETURN); Press(VK_UP); Press(VK_RETURN); }, {199}},
      {"F10, Right, Down opens the second menu",
       [] { Press(VK_F10); Press(VK_RIGHT); Press(VK_DOWN); Press(VK_RETURN); }, {201}},
  };
  form->OnKeyDown = [this](Control&, uint8_t& k, ShiftState s) {
    if (bar->IsShortCut(k, s)) k = 0;
  };
  form->SetKeyPreview(true);
  for (const Case& c : cases) {
    tm.clicked.clear();
    c.keys();
    try {
      PumpPending();
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.name << ": " << e.what();
    }
    EXPECT_EQ(tm.clicked, c.want) << c.name;
    EXPECT_EQ(MenuTracker::Active(), nullptr) << c.name;
    EXPECT_FALSE(tm.menu.InMenuLoop()) << c.name;
  }
}

TEST_F(MenuLoopTest, ShortcutsRunItemsAndDisabledItemsDoNot) {
  form->SetKeyPreview(true);
  form->OnKeyDown = [this](Control&, uint8_t& k, ShiftState s) {
    if (bar->IsShortCut(k, s)) k = 0;
  };
  Press('O', SHIFT_BIT_CTRL);
  PumpPending();
  EXPECT_EQ(tm.clicked, std::vector<uint32_t>{101});
  tm.menu.FindCommand(101)->Enabled = false;
  Press('O', SHIFT_BIT_CTRL);
  // Enter on the highlighted disabled item does nothing; its mnemonic beeps.
  AltLetter('f');
  Press(VK_RETURN);
  headless::TypeText("o");
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  PumpPending();
  EXPECT_EQ(tm.clicked, std::vector<uint32_t>{101});
}

TEST_F(MenuLoopTest, NotificationsReachTheNotifyWindow) {
  struct Log : Window {
    std::vector<uint32_t> msgs;
    std::vector<uintptr_t> params;
    intptr_t WndProc(uint32_t m, uintptr_t w, intptr_t l) override {
      if (m == WM_ENTERMENULOOP || m == WM_EXITMENULOOP || m == WM_INITMENU ||
          m == WM_INITMENUPOPUP || m == WM_COMMAND) {
        msgs.push_back(m);
        params.push_back(w);
      }
      return Window::WndProc(m, w, l);
    }
  } log;
  ASSERT_TRUE(log.Create({form->Handle(), 0, {0, 0, 1, 1}, u"", WS_CHILD}));
  tm.menu.NotifyWindow = log.Handle();
  std::vector<std::u16string> popped;
  tm.menu.OnPopup = [&](Menu&, MenuItem& p) { popped.push_back(p.Caption); };
  AltLetter('f');
  Press(VK_DOWN);
  Press(VK_RIGHT);
  Press(VK_RETURN);
  PumpPending();
  EXPECT_EQ(popped, (std::vector<std::u16string>{u"&File", u"&Recent"}));
  EXPECT_EQ(log.msgs, (std::vector<uint32_t>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP,
                                             WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND}));
  EXPECT_EQ(log.params[2], tm.menu.Items()[0].SubMenuHandle());
  EXPECT_EQ(LoWord(log.params.back()), 111u);
  EXPECT_EQ(tm.clicked, std::vector<uint32_t>{111});
  std::vector<MenuItem*> selected;
  tm.menu.OnSelect = [&](Menu&, MenuItem* i) { selected.push_back(i); };
  AltLetter('e');
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);
  PumpPending();
  ASSERT_FALSE(selected.empty());
  EXPECT_EQ(selected.front(), tm.menu.FindCommand(201));
  EXPECT_EQ(selected.back(), nullptr);  // the close clears the highlight
}

TEST_F(MenuLoopTest, PopupMenuByMouseAndMenuChar) {
  PopupMenu pm;
  std::vector<uint32_t> clicked;
  MenuItem& a = pm.Items().Add(u"&Alpha", 1);
  pm.Items().Add(u"&Beta", 2).Break = true;  // second column
  MenuItem& b2 = pm.Items().Add(u"&Bravo", 3);
  b2.AutoCheck = true;
  for (int32_t i = 0; i < pm.Items().Count(); ++i)
    pm.Items()[i].OnClick = [&](MenuItem& it) { clicked.push_back(it.Command); };
  // Two captions share "b": the first press highlights, Enter runs the highlighted one.
  headless::TypeText("b");
  headless::TypeText("b");
  Press(VK_RETURN);
  EXPECT_EQ(pm.Popup({300, 200}), 3u);
  EXPECT_TRUE(b2.Checked());
  // The columns: Beta starts a column to the right of Alpha.
  Soon([&] {
    auto levels = MenuTracker::Active()->Levels();
    ASSERT_EQ(levels.size(), 1u);
    const auto& l = levels[0]->Layout();
    EXPECT_GT(l.items[1].left, l.items[0].left);
    EXPECT_EQ(l.items[1].top, l.items[0].top);
    Rect r = l.items[0];
    headless::Click(levels[0]->Handle(), {r.left + 5, r.top + 5});
  });
  EXPECT_EQ(pm.Popup({300, 200}, TPM_RETURNCMD), 1u);
  EXPECT_EQ(clicked, std::vector<uint32_t>{3});  // RETURNCMD does not click
  // A click outside cancels.
  Soon([&] { headless::Click(form->Handle(), {5, 200}); });
  EXPECT_EQ(pm.Popup({300, 200}), 0u);
  // Right and Left move between the columns; a checked radio item stays checked on a click.
  b2.RadioItem = true;
  Press(VK_DOWN);
  Press(VK_RIGHT);
  Press(VK_RETURN);
  EXPECT_EQ(pm.Popup({300, 200}), 2u);
  Press(VK_END);
  Press(VK_LEFT);
  Press(VK_RETURN);
  EXPECT_EQ(pm.Popup({300, 200}), 1u);
  headless::TypeText("br");  // "b" highlights Beta, "r" has no match: nothing runs
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(pm.Popup({300, 200}), 3u);
  EXPECT_TRUE(b2.Checked());
  // The owner answers the character: execute position 0.
  pm.OnMenuChar = [](Menu&, MenuItem&, char16_t ch) -> uint32_t {
    return ch == u'z' ? uint32_t(MakeLParam(0, MNC_EXECUTE)) : 0;
  };
  headless::TypeText("z");
  EXPECT_EQ(pm.Popup({300, 200}), 1u);
  (void)a;
}

TEST_F(MenuLoopTest, OwnerDrawnItemsAreMeasuredAndDrawn) {
  PopupMenu pm;
  MenuItem& item = pm.Items().Add(u"x", 7);
  int drawn = 0;
  uint32_t lastState = 0;
  item.OnMeasureItem = [](MenuItem&, Canvas&, int32_t& w, int32_t& h) {
    w = 150;
    h = 40;
  };
  item.OnDrawItem = [&](MenuItem&, Canvas&, const Rect& r, uint32_t state) {
    ++drawn;
    lastState = state;
    EXPECT_EQ(r.Height(), 40);
  };
  Soon([&] {
    MenuPopupWindow& w = *MenuTracker::Active()->Levels()[0];
    EXPECT_EQ(w.Layout().items[0].Width(), 150);
    UpdateWindow(w.Handle());
    Press(VK_DOWN);
    Soon([&] {
      UpdateWindow(w.Handle());
      Press(VK_RETURN);
    });
  });
  EXPECT_EQ(pm.Popup({10, 10}), 7u);
  EXPECT_GE(drawn, 2);
  EXPECT_TRUE(lastState & ODS_SELECTED);
}

TEST_F(MenuLoopTest, MenuClosesWhenTheProgramLosesTheActivation) {
  Soon([&] { headless::FocusAway(form->Handle()); });
  AltLetter('f');
  PumpPending();
  EXPECT_EQ(MenuTracker::Active(), nullptr);
  EXPECT_TRUE(tm.clicked.empty());
}

TEST_F(MenuLoopTest, ItemImagesComeFromTheirCellOfTheStrip) {
  Bitmap strip(32, 16);
  strip.FillRect({0, 0, 16, 16}, Rgb(255, 0, 0));
  strip.FillRect({16, 0, 32, 16}, Rgb(0, 128, 0));
  PopupMenu pm;
  pm.Images = &strip;
  pm.ImageSize = 16;
  pm.Items().Add(u"&Green", 1).ImageIndex = 1;
  Soon([&] {
    MenuPopupWindow& w = *MenuTracker::Active()->Levels()[0];
    UpdateWindow(w.Handle());
    const Bitmap& s = *GetWindowSurface(w.Handle());
    Rect r = w.Layout().items[0];
    int32_t gw = w.Layout().glyphWidth;
    EXPECT_EQ(s.GetPixel(r.left + gw / 2, (r.top + r.bottom) / 2), Rgb(0, 128, 0));
    Press(VK_ESCAPE);
  });
  EXPECT_EQ(pm.Popup({10, 10}), 0u);
}

// The form offers its menu bar every key the focused control leaves (no key preview wiring):
// shortcuts, F10 and Alt pressed and released alone reach the bar from an edit and a memo, and
// Enter in a memo stays the memo's.
TEST_F(MenuLoopTest, FormOffersMenuKeysFromAnyFocusedControl) {
  Edit& edit = form->Add<Edit>();
  edit.SetBounds(10, 40, 200, 21);
  Memo& memo = form->Add<Memo>();
  memo.SetBounds(10, 70, 200, 100);
  PumpPending();
  struct Case {
    const char* name;
    std::function<void()> keys;
    std::vector<uint32_t> want;
  } cases[] = {
      {"Ctrl+O runs Open", [] { Press('O', SHIFT_BIT_CTRL); }, {101}},
      {"F10 enters the bar", [] { Press(VK_F10); Press(VK_RETURN); Press(VK_UP); Press(VK_RETURN); }, {199}},
      {"Alt alone enters the bar",
       [] {
         headless::KeyDown(VK_LMENU);
         headless::KeyUp(VK_LMENU);
         Press(VK_RETURN);
         Press(VK_UP);
         Press(VK_RETURN);
       },
       {199}},
      {"Alt+letter then Escape leaves no bar behind", [] { AltLetter('f'); Press(VK_ESCAPE); Press(VK_ESCAPE); }, {}},
  };
  for (Control* focus : {static_cast<Control*>(&edit), static_cast<Control*>(&memo)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      focus->SetFocus();
      PumpPending();
      tm.clicked.clear();
      c.keys();
      PumpPending();
      EXPECT_EQ(tm.clicked, c.want);
      EXPECT_EQ(MenuTracker::Active(), nullptr);
    }
  }
  memo.SetFocus();
  memo.SetText(u"ab");
  Press(VK_RETURN);
  PumpPending();
  EXPECT_EQ(memo.Text(), u"\r\nab");
  EXPECT_TRUE(tm.clicked.empty());
}

// A form inside the form (a document window in the main window) hands the keys its own
// controls leave to the form around it: Alt+letter, F10 and Alt alone reach the outer menu bar;
// Tab stays inside.
TEST_F(MenuLoopTest, AFormInsideTheFormHandsItsMenuKeysOut) {
  auto inner = std::make_unique<Form>();
  inner->SetBounds(10, 40, 300, 200);
  inner->SetParent(form.get());
  Edit& first = inner->Add<Edit>();
  first.SetBounds(10, 10, 200, 21);
  Edit& second = inner->Add<Edit>();
  second.SetBounds(10, 40, 200, 21);
  inner->Show();
  PumpPending();
  struct Case {
    const char* name;
    std::function<void()> keys;
    std::vector<uint32_t> want;
  } cases[] = {
      {"Alt+F, Enter runs the first item",
       [] {
         headless::KeyDown(VK_LMENU);
         headless::KeyDown('F');
         headless::TypeText("f");
         headless::KeyUp('F');
         headless::KeyUp(VK_LMENU);
         Press(VK_RETURN);
       },
       {101}},
      {"F10 enters the bar", [] { Press(VK_F10); Press(VK_RETURN); Press(VK_UP); Press(VK_RETURN); }, {199}},
      {"Alt alone enters the bar",
       [] {
         headless::KeyDown(VK_LMENU);
         headless::KeyUp(VK_LMENU);
         Press(VK_RETURN);
         Press(VK_UP);
         Press(VK_RETURN);
       },
       {199}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    first.SetFocus();
    PumpPending();
    tm.clicked.clear();
    c.keys();
    PumpPending();
    EXPECT_EQ(tm.clicked, c.want);
    EXPECT_EQ(MenuTracker::Active(), nullptr);
  }
  first.SetFocus();
  Press(VK_TAB);
  PumpPending();
  EXPECT_TRUE(second.Focused());
  inner.reset();
}

// An edit that handles Alt+Backspace in its own window procedure, as the document window runs
// its hot keys.
class AltBackspaceEdit : public Edit {
 public:
  int Taken = 0;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg == WM_SYSKEYDOWN && wParam == VK_BACK) {
      ++Taken;
      return 0;
    }
    return Edit::WndProc(msg, wParam, lParam);
  }
};

TEST_F(MenuLoopTest, AltWithAKeyTheControlTookIsNotAltAlone) {
  AltBackspaceEdit& edit = form->Add<AltBackspaceEdit>();
  edit.SetBounds(10, 40, 200, 21);
  PumpPending();
  edit.SetFocus();
  PumpPending();
  bool entered = false;
  Soon([&] {
    entered = MenuTracker::Active() != nullptr;
    if (entered) Press(VK_ESCAPE);
  });
  Press(VK_BACK, SHIFT_BIT_ALT);
  PumpPending();
  EXPECT_EQ(edit.Taken, 1);
  EXPECT_FALSE(entered);
  EXPECT_EQ(MenuTracker::Active(), nullptr);
}

TEST_F(MenuLoopTest, AltReleasedAfterSwitchingWindowsEntersNothing) {
  bool entered = false;
  headless::KeyDown(VK_LMENU);
  PumpPending();
  headless::FocusAway(form->Handle());  // Alt+Tab to another program and back
  PumpPending();
  headless::FocusBack(form->Handle());
  PumpPending();
  Soon([&] {
    entered = MenuTracker::Active() != nullptr;
    if (entered) Press(VK_ESCAPE);
  });
  headless::KeyUp(VK_LMENU);
  PumpPending();
  EXPECT_FALSE(entered);
  EXPECT_EQ(MenuTracker::Active(), nullptr);
}

TEST_F(MenuLoopTest, MenuBarWrapsItsItemsOntoRowsThatFit) {
  int32_t rowHeight = bar->Height();
  Rect last = bar->ItemRect(tm.menu.Items().Count() - 1);
  ASSERT_EQ(last.top, 0);  // wide form: one row
  int32_t fitsOne = bar->ItemRect(0).right + 3;
  form->SetWidth(fitsOne + (form->Width() - form->ClientRect().Width()));
  PumpPending();
  ASSERT_EQ(bar->Width(), form->ClientRect().Width());
  int32_t count = tm.menu.Items().Count();
  EXPECT_EQ(bar->Height(), rowHeight * count);  // one item a row
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_EQ(bar->ItemRect(i).top, i * rowHeight) << i;
    EXPECT_EQ(bar->ItemAt({bar->ItemRect(i).left + 2, i * rowHeight + 2}), i);
  }
  // A click on the second row drops that item's menu.
  tm.clicked.clear();
  headless::Click(bar->Handle(), {bar->ItemRect(1).left + 2, rowHeight + 2});
  Press(VK_DOWN);
  Press(VK_RETURN);
  PumpPending();
  EXPECT_EQ(tm.clicked, std::vector<uint32_t>{201});
  form->SetWidth(600);
  PumpPending();
  EXPECT_EQ(bar->Height(), rowHeight);
}
