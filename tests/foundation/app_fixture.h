#pragma once
// A headless window system on the test clock with the application object, for the toolkit's
// window tests. Input is delivered through the application object's loop step, as in the
// running program.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "foundation/base/service_slot.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/backend/headless.h"
#include "platform/controls/control.h"
#include "platform/controls/form.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace apptest {

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::StartWindowSystem({plat::BackendKind::Headless, true});
    messageBox_.emplace(nullptr);  // the application object registers the real box over it
    app_ = &GetApp();
  }
  void TearDown() override {
    FreeApp();
    messageBox_.reset();
    plat::StopWindowSystem();
  }

  TApp& App() { return *app_; }
  // Runs the loop step until nothing is waiting.
  void Pump() { App().ProcessMessages(); }
  void Press(uint8_t vk, uint8_t shiftBits = 0) {
    plat::headless::PressKey(vk, shiftBits);
    Pump();
  }
  void Advance(uint64_t ms) {
    plat::headless::AdvanceClock(ms);
    Pump();
  }
  static void ShowForm(plat::Form& f) {
    f.Show();
    GetApp().ProcessMessages();
  }

 private:
  TApp* app_ = nullptr;
  std::optional<ScopedService<TMessageDlgService>> messageBox_;
};

}  // namespace apptest
