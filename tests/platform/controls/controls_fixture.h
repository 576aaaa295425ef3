#pragma once
// A headless window system on the test clock for each test, with helpers that drive a form by
// synthetic input.
#include <gtest/gtest.h>

#include <string>

#include "platform/backend/headless.h"
#include "platform/controls/control.h"
#include "platform/controls/form.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace ctltest {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::StartWindowSystem({plat::BackendKind::Headless, true}); }
  void TearDown() override { plat::StopWindowSystem(); }

  static void Press(uint8_t vk, uint8_t shiftBits = 0) {
    plat::headless::PressKey(vk, shiftBits);
    plat::PumpPending();
  }
  static void Type(const char* utf8) {
    plat::headless::TypeText(utf8);
    plat::PumpPending();
  }
  // Alt held while the letter is typed (a mnemonic).
  static void AltLetter(char letter) {
    plat::headless::KeyDown(plat::VK_LMENU);
    plat::headless::KeyDown(uint8_t(letter >= 'a' ? letter - 32 : letter));
    plat::headless::TypeText(std::string(1, letter));
    plat::headless::KeyUp(uint8_t(letter >= 'a' ? letter - 32 : letter));
    plat::headless::KeyUp(plat::VK_LMENU);
    plat::PumpPending();
  }
  // A click at a point of the control's client area.
  static void ClickAt(plat::Control& c, plat::Point p, uint8_t shiftBits = 0) {
    HoldShift(shiftBits, true);
    plat::headless::Click(c.Handle(), p);
    HoldShift(shiftBits, false);
    plat::PumpPending();
  }
  static void HoldShift(uint8_t bits, bool down) {
    auto key = [&](uint8_t vk) { down ? plat::headless::KeyDown(vk) : plat::headless::KeyUp(vk); };
    if (bits & 1) key(plat::VK_LSHIFT);
    if (bits & 4) key(plat::VK_LCONTROL);
    if (bits & 2) key(plat::VK_LMENU);
  }
  static void ShowForm(plat::Form& f) {
    f.Show();
    plat::PumpPending();
  }
  static plat::Control* Focus() { return plat::FindControl(plat::GetFocus()); }
};

}  // namespace ctltest
