#include "foundation/system/running_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "foundation/base/service_slot.h"
#include "foundation/system/command_line.h"
#include "platform/system/instance_channel.h"
#include "support/test_env.h"

using namespace qv;

namespace {

// Records what a running instance receives and answers like a real main window would.
class RecordingReceiver : public TInstanceReceiver {
 public:
  RecordingReceiver(uint8_t takesFiles, uint8_t minimized) : takes_(takesFiles), min_(minimized) {}
  uint8_t HandleInstanceRequest(uint8_t code, const std::string& path) override {
    std::lock_guard<std::mutex> guard(lock);
    codes.push_back(code);
    if (!path.empty()) paths.push_back(path);
    if (code == irMayTakeFiles) return takes_;
    if (code == irIsMinimized) return min_;
    return 0;
  }
  std::mutex lock;
  std::vector<int> codes;
  std::vector<std::string> paths;

 private:
  uint8_t takes_, min_;
};

// The running instance: this process's published channel, served on a thread.
class RunningInstance {
 public:
  RunningInstance() {
    thread_ = std::thread([this] {
      while (!stop_) ServeInstanceRequests(10);
    });
  }
  ~RunningInstance() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class HandOver : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetInstanceChannelFolder(qvtest::MakeTempDir("instances"));
    InstanceRequestTimeoutMs = 2000;
    CommandLineFiles.Clear();
    SetCommandLineArguments({});
  }
  void TearDown() override {
    WithdrawThisInstance();
    receiver_.reset();
    plat::SetInstanceChannelFolder("");
    CommandLineFiles.Clear();
    CommandLineAction = 0;
    SetCommandLineArguments({});
  }
  RecordingReceiver& Publish(uint8_t takesFiles, uint8_t minimized) {
    auto receiver = std::make_unique<RecordingReceiver>(takesFiles, minimized);
    RecordingReceiver& ref = *receiver;
    receiver_.emplace(std::move(receiver));
    EXPECT_TRUE(PublishThisInstance());
    return ref;
  }
  std::optional<ScopedService<TInstanceReceiver>> receiver_;
};

TEST_F(HandOver, OpenHandsEveryFileIncludingLongPaths) {
  RecordingReceiver& running = Publish(1, 0);
  const std::string longPath = "/home/u/" + std::string(300, 'L') + "/" + std::string(300, 'n') + ".rtf";
  CommandLineFiles.Add("/home/u/first.rtf");
  CommandLineFiles.Add(longPath);
  CommandLineAction = 1;
  {
    RunningInstance serving;
    EXPECT_TRUE(HandOverToOtherInstance());
  }
  EXPECT_EQ(running.codes, (std::vector<int>{1, 4, 0, 2, 2}));
  EXPECT_EQ(running.paths, (std::vector<std::string>{"/home/u/first.rtf", longPath}));
}

TEST_F(HandOver, PrintToAMinimisedInstanceMinimisesItAgain) {
  RecordingReceiver& running = Publish(1, 1);
  SetCommandLineArguments({"-p", "/d/a.rtf"});
  CommandLineFiles.Add("/d/a.rtf");
  CommandLineAction = 2;
  {
    RunningInstance serving;
    EXPECT_TRUE(HandOverToOtherInstance());
  }
  EXPECT_EQ(running.codes, (std::vector<int>{1, 4, 0, 3, 5}));
}

TEST_F(HandOver, CasesThatSendNothing) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> files;
    uint8_t action;
  } cases[] = {
      {{"-pt", "/d/a.rtf", "printer"}, {"/d/a.rtf"}, 2},
      {{"-NoPrintDialog", "-p", "/d/a.rtf"}, {"/d/a.rtf"}, 2},
      {{}, {"/d/a.rtf", "/d/set.QVPJ"}, 1},
      {{}, {}, 0},
  };
  RecordingReceiver& running = Publish(1, 0);
  RunningInstance serving;
  for (const auto& c : cases) {
    SetCommandLineArguments(c.args);
    CommandLineFiles.Clear();
    for (const auto& f : c.files) CommandLineFiles.Add(f);
    CommandLineAction = c.action;
    EXPECT_FALSE(HandOverToOtherInstance());
  }
  std::lock_guard<std::mutex> guard(running.lock);
  EXPECT_TRUE(running.codes.empty());
}

TEST_F(HandOver, AnInstanceThatRefusesIsPassedOver) {
  std::vector<int> refusedCodes;
  plat::InstanceListener refusing([&](uint8_t code, const std::string&) {
    refusedCodes.push_back(code);
    return uint8_t{0};
  });
  RecordingReceiver& accepting = Publish(1, 0);
  std::atomic<bool> stop{false};
  std::thread refuser([&] {
    while (!stop) refusing.Serve(10);
  });
  CommandLineFiles.Add("/d/a.rtf");
  CommandLineAction = 1;
  {
    RunningInstance serving;
    // Mode 0 finds the first instance whatever it would answer.
    auto any = FindOtherInstance(0);
    ASSERT_TRUE(any.has_value());
    EXPECT_EQ(any->Address, refusing.Address());
    EXPECT_TRUE(HandOverToOtherInstance());
  }
  stop = true;
  refuser.join();
  EXPECT_EQ(refusedCodes, (std::vector<int>{1}));
  EXPECT_EQ(accepting.codes, (std::vector<int>{1, 4, 0, 2}));
}

TEST_F(HandOver, AHungInstanceCostsABoundedWaitAndTheFilesStay) {
  InstanceRequestTimeoutMs = 150;
  Publish(1, 0);
  CommandLineFiles.Add("/d/a.rtf");
  CommandLineFiles.Add("/d/b.rtf");
  CommandLineAction = 1;
  // Not served at all: not even the first question is answered.
  EXPECT_FALSE(FindOtherInstance(1).has_value());
  EXPECT_FALSE(HandOverToOtherInstance());
  EXPECT_EQ(CommandLineFiles.Count(), 2);
  // Answers the questions and the first file, then hangs on the second: it stays here.
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  class HangingReceiver : public RecordingReceiver {
   public:
    explicit HangingReceiver(std::shared_future<void> gate)
        : RecordingReceiver(1, 0), gate_(std::move(gate)) {}
    uint8_t HandleInstanceRequest(uint8_t code, const std::string& path) override {
      if (path == "/d/b.rtf") gate_.wait();
      return RecordingReceiver::HandleInstanceRequest(code, path);
    }

   private:
    std::shared_future<void> gate_;
  };
  receiver_.emplace(std::make_unique<HangingReceiver>(released));
  {
    RunningInstance serving;
    EXPECT_FALSE(HandOverToOtherInstance());
    release.set_value();
  }
  ASSERT_EQ(CommandLineFiles.Count(), 1);
  EXPECT_EQ(CommandLineFiles.Strings(0), "/d/b.rtf");
}

// Processes of the user that connect to the running instance and send nothing do not keep it
// from taking the files: its loop answers the real requests beside them. (Waiting on each
// silent connection in turn would cost seconds apiece, far beyond the generous time-out here.)
TEST_F(HandOver, SilentConnectionsDoNotHoldUpTheHandOver) {
  InstanceRequestTimeoutMs = 5000;
  RecordingReceiver& running = Publish(1, 0);
  const auto peers = plat::ListInstances();
  ASSERT_EQ(peers.size(), 1u);
  ASSERT_LT(peers[0].Address.size(), sizeof(sockaddr_un{}.sun_path));
  std::vector<int> silent;
  for (int i = 0; i < 6; ++i) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, peers[0].Address.c_str(), peers[0].Address.size() + 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    silent.push_back(fd);
  }
  CommandLineFiles.Add("/d/a.rtf");
  CommandLineAction = 1;
  {
    RunningInstance serving;
    EXPECT_TRUE(HandOverToOtherInstance());
  }
  for (int fd : silent) ::close(fd);
  EXPECT_EQ(running.codes, (std::vector<int>{1, 4, 0, 2}));
}

TEST_F(HandOver, DefaultReceiverRefusesFiles) {
  EXPECT_TRUE(PublishThisInstance());
  EXPECT_TRUE(IsInstancePublished());
  EXPECT_GE(InstanceChannelFd(), 0);
  {
    RunningInstance serving;
    EXPECT_TRUE(FindOtherInstance(0).has_value());
    EXPECT_FALSE(FindOtherInstance(1).has_value());
    EXPECT_FALSE(FindOtherInstance(3).has_value());
  }
  WithdrawThisInstance();
  EXPECT_FALSE(FindOtherInstance(0).has_value());
}

}  // namespace
