#pragma once
// A headless window system on the test clock for the dialog tests.
#include <gtest/gtest.h>

#include "platform/backend/headless.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace dlgtest {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::StartWindowSystem({plat::BackendKind::Headless, true}); }
  void TearDown() override { plat::StopWindowSystem(); }
};

}  // namespace dlgtest
