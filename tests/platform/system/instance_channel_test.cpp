#include "platform/system/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

class InstanceChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    // Deep enough that socket paths exceed the 108 bytes of a socket address.
    folder_ = qvtest::MakeTempDir("chan") + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
    plat::SetInstanceChannelFolder(folder_);
  }
  void TearDown() override { plat::SetInstanceChannelFolder(""); }
  std::string folder_;
};

// Serves requests on a thread until stopped.
class ServingThread {
 public:
  explicit ServingThread(plat::InstanceListener& listener)
      : thread_([this, &listener] {
          while (!stop_) listener.Serve(20);
        }) {}
  ~ServingThread() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(InstanceChannel, FolderIsPrivate) {
  ASSERT_EQ(plat::InstanceChannelFolder(), folder_);
  struct stat st {};
  ASSERT_EQ(::stat(folder_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(InstanceChannel, RequestsWithPathsOfAnyLength) {
  std::vector<std::pair<uint8_t, std::string>> received;
  plat::InstanceListener listener([&](uint8_t code, const std::string& path) {
    received.emplace_back(code, path);
    return static_cast<uint8_t>(code + 10);
  });
  const std::string longPath = "/home/u/" + std::string(5000, 'x') + "/\xC3\xA9 file.rtf";
  {
    ServingThread serving(listener);
    auto peers = plat::ListInstances();
    ASSERT_EQ(peers.size(), 1u);
    EXPECT_EQ(peers[0].Address, listener.Address());
    EXPECT_EQ(plat::SendInstanceMessage(peers[0], 1, "", 5000), 11);
    EXPECT_EQ(plat::SendInstanceMessage(peers[0], 2, longPath, 5000), 12);
    EXPECT_EQ(plat::SendInstanceMessage(peers[0], 0x83, "", 5000), 13);  // low 7 bits only
  }
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[1].second, longPath);
  EXPECT_EQ(received[2].first, 3);
}

TEST_F(InstanceChannel, AnUnresponsiveInstanceCostsABoundedWait) {
  plat::InstanceListener hung([](uint8_t, const std::string&) { return uint8_t{1}; });
  auto peers = plat::ListInstances();
  ASSERT_EQ(peers.size(), 1u);
  // Nobody calls Serve: the request is accepted by the kernel but never answered.
  EXPECT_EQ(plat::SendInstanceMessage(peers[0], 1, "", 100), std::nullopt);
  EXPECT_EQ(plat::SendInstanceMessage(peers[0], 2, std::string(100000, 'p'), 100), std::nullopt);
}

TEST_F(InstanceChannel, RequestsWhoseSenderGaveUpAreNotActedOn) {
  int handled = 0;
  plat::InstanceListener late([&](uint8_t, const std::string&) { return uint8_t(++handled); });
  auto peers = plat::ListInstances();
  ASSERT_EQ(peers.size(), 1u);
  EXPECT_EQ(plat::SendInstanceMessage(peers[0], 2, "/d/a.rtf", 50), std::nullopt);
  // The instance wakes up later: the abandoned request must not open the file a second time.
  EXPECT_EQ(late.Serve(0), 0);
  EXPECT_EQ(handled, 0);
}

TEST_F(InstanceChannel, StaleSocketsAndForeignFilesAreSkipped) {
  std::string address;
  {
    plat::InstanceListener gone([](uint8_t, const std::string&) { return uint8_t{0}; });
    address = gone.Address();
  }
  EXPECT_FALSE(fs::exists(address));
  qvtest::WriteFile(folder_ + "/1-0.sock", "not a socket");
  plat::InstanceListener a([](uint8_t, const std::string&) { return uint8_t{'a'}; });
  plat::InstanceListener b([](uint8_t, const std::string&) { return uint8_t{'b'}; });
  auto peers = plat::ListInstances();
  ASSERT_EQ(peers.size(), 2u);
  EXPECT_EQ(peers[0].Address, a.Address());  // oldest first
  EXPECT_EQ(peers[1].Address, b.Address());
  // A socket left behind by a listener that no longer listens answers nothing.
  EXPECT_EQ(plat::SendInstanceMessage({folder_ + "/nobody.sock", 0}, 1, "", 100), std::nullopt);
}

}  // namespace
