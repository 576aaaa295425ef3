#pragma once
// A headless window system on the test clock and a shown form for the tests of the standard
// controls and menus.
#include <gtest/gtest.h>

#include "platform/backend/headless.h"
#include "platform/controls/form.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace widgettest {

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::StartWindowSystem({plat::BackendKind::Headless, true});
    form = std::make_unique<plat::Form>();
    form->SetBounds(100, 100, 420, 320);
  }
  void TearDown() override {
    form.reset();
    plat::StopWindowSystem();
  }
  void ShowForm() {
    form->Show();
    plat::PumpPending();
  }
  // A key pressed and released with shift bits (1 Shift, 2 Alt, 4 Ctrl) held; no character.
  static void Press(uint8_t vk, uint8_t shiftBits = 0) { plat::headless::PressKey(vk, shiftBits); }
  // Alt+letter as the keyboard makes it: the key messages and the system character between.
  static void AltLetter(char letter) {
    plat::headless::KeyDown(plat::VK_MENU);
    plat::headless::KeyDown(uint8_t(letter >= 'a' ? letter - 32 : letter));
    plat::headless::TypeText(std::string(1, letter));
    plat::headless::KeyUp(uint8_t(letter >= 'a' ? letter - 32 : letter));
    plat::headless::KeyUp(plat::VK_MENU);
  }
  // A click at a client point of a control (in its top-level window's coordinates).
  static void ClickAt(plat::Control& c, plat::Point p, int button = 0) {
    plat::headless::Click(c.Handle(), p, button);
    plat::PumpPending();
  }

  std::unique_ptr<plat::Form> form;
};

}  // namespace widgettest
