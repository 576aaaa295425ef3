#pragma once
// A headless window system on the test clock for the dialog tests.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/backend/headless.h"
#include "platform/controls/control.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace dlgtest {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::StartWindowSystem({plat::BackendKind::Headless, true}); }
  void TearDown() override { plat::StopWindowSystem(); }
};

// Alt held while the letter is typed (a mnemonic); queued like real input.
inline void AltLetter(char letter) {
  uint8_t vk = uint8_t(letter >= 'a' ? letter - 32 : letter);
  plat::headless::KeyDown(plat::VK_LMENU);
  plat::headless::KeyDown(vk);
  plat::headless::TypeText(std::string(1, letter));
  plat::headless::KeyUp(vk);
  plat::headless::KeyUp(plat::VK_LMENU);
}

// The control of that name inside a form (depth first); nullptr when there is none.
inline plat::Control* FindByName(plat::Control& root, const std::string& name) {
  for (plat::Control* c : root.Controls()) {
    if (c->Name() == name) return c;
    if (plat::Control* inner = FindByName(*c, name)) return inner;
  }
  return nullptr;
}

template <class T>
T& Named(plat::Control& root, const std::string& name) {
  plat::Control* c = FindByName(root, name);
  if (!c) throw std::runtime_error("no control named " + name);
  return dynamic_cast<T&>(*c);
}

}  // namespace dlgtest
