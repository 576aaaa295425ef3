// Mouse clicks on the clickable controls: a press and release inside acts once, a release
// outside does not, and the capture is free by the time the control acts (so a dialog opened
// by a click gets the mouse).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controls_fixture.h"
#include "platform/backend/headless.h"
#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/radio_button.h"
#include "platform/win/window_system.h"

using namespace plat;
using namespace ctltest;

namespace {

struct ClickForm {
  Form form;
  Button& button = form.Add<Button>();
  CheckBox& check = form.Add<CheckBox>();
  RadioButton& radio = form.Add<RadioButton>();
  int acted = 0;
  Hwnd captureWhenActing = 1;

  ClickForm() {
    form.SetBounds(100, 100, 300, 200);
    button.SetBounds(10, 10, 75, 23);
    check.SetBounds(10, 50, 120, 17);
    radio.SetBounds(10, 80, 120, 17);
    check.SetCaption(u"Check");
    radio.SetCaption(u"Radio");
    auto note = [this](Control&) {
      ++acted;
      captureWhenActing = GetCapture();
    };
    button.OnClick = note;
    check.OnClick = note;
    radio.OnClick = note;
  }
};

TEST_F(ControlsTest, ClickInsideActsOnceWithTheCaptureFree) {
  struct Case {
    const char* name;
    Control& (*target)(ClickForm&);
    std::function<bool(ClickForm&)> acted;
  };
  const Case cases[] = {
      {"button", [](ClickForm& f) -> Control& { return f.button; }, [](ClickForm& f) { return f.acted == 1; }},
      {"check box", [](ClickForm& f) -> Control& { return f.check; },
       [](ClickForm& f) { return f.check.Checked() && f.acted == 1; }},
      {"radio button", [](ClickForm& f) -> Control& { return f.radio; },
       [](ClickForm& f) { return f.radio.Checked(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClickForm f;
    ShowForm(f.form);
    ClickAt(c.target(f), {5, 5});
    EXPECT_TRUE(c.acted(f));
    if (f.acted) {
      EXPECT_EQ(f.captureWhenActing, Hwnd(0));
    }
    EXPECT_EQ(GetCapture(), Hwnd(0));
  }
}

TEST_F(ControlsTest, ReleaseOutsideDoesNotAct) {
  ClickForm f;
  ShowForm(f.form);
  for (Control* c : {static_cast<Control*>(&f.button), static_cast<Control*>(&f.check)}) {
    headless::MouseDown(c->Handle(), {5, 5});
    headless::MouseMove(c->Handle(), {200, 5});
    headless::MouseUp(c->Handle(), {200, 5});
    PumpPending();
  }
  EXPECT_EQ(f.acted, 0);
  EXPECT_FALSE(f.check.Checked());
  EXPECT_EQ(GetCapture(), Hwnd(0));
}

// A click whose handler destroys the control it came from.
TEST_F(ControlsTest, ClickHandlerMayDestroyTheButton) {
  Form form;
  form.SetBounds(100, 100, 200, 100);
  auto owned = std::make_unique<Button>();
  Button* b = owned.get();
  b->SetParent(&form);
  b->SetBounds(10, 10, 75, 23);
  int clicks = 0;
  b->OnClick = [&](Control&) {
    ++clicks;
    owned.reset();
  };
  ShowForm(form);
  ClickAt(*b, {5, 5});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(owned, nullptr);
}

}  // namespace
