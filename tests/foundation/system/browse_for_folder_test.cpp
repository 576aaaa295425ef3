#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

#include "foundation/app_fixture.h"
#include "foundation/system/shell_services.h"

namespace fs = std::filesystem;

namespace {

class BrowseForFolderTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    App().OnIdle = [this] {
      if (actions_.empty()) return;
      auto a = actions_.front();
      actions_.pop_front();
      a();
    };
  }
  void PressLater(uint8_t vk) {
    actions_.push_back([vk] {
      plat::headless::PressKey(vk);
      plat::PostMessage(0, plat::WM_NULL);
    });
  }
  std::deque<std::function<void()>> actions_;
};

TEST_F(BrowseForFolderTest, ConfirmGivesTheFolderAndCancelKeepsIt) {
  fs::path folder = fs::temp_directory_path() / "picked";
  fs::create_directories(folder);
  std::string chosen = folder.string() + "/";
  PressLater(plat::VK_ESCAPE);
  EXPECT_FALSE(BrowseForFolder("Choose", chosen));
  EXPECT_EQ(chosen, folder.string() + "/");
  PressLater(plat::VK_RETURN);
  EXPECT_TRUE(BrowseForFolder("Choose", chosen));
  EXPECT_EQ(fs::path(chosen), folder);
}

}  // namespace
