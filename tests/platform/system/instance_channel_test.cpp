#include "platform/system/instance_channel.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "platform/win/clock.h"
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

// A client end of the channel driven byte by byte, as another process of the user might.
class RawClient {
 public:
  explicit RawClient(const std::string& address) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Deep folders exceed a socket address: connect through the folder's descriptor.
    const size_t slash = address.rfind('/');
    dir_ = ::open(address.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const std::string via = "/proc/self/fd/" + std::to_string(dir_) + address.substr(slash);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, via.c_str(), via.size() + 1);
    connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~RawClient() {
    ::close(fd_);
    ::close(dir_);
  }
  bool Connected() const { return connected_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  // The whole request of the protocol: marker, code, 32-bit length, path.
  static std::string Request(uint8_t code, const std::string& path) {
    std::string r(plat::kInstanceMarker);
    r += static_cast<char>(code);
    for (int i = 0; i < 4; ++i) r += static_cast<char>((path.size() >> (8 * i)) & 0xFF);
    return r + path;
  }
  // What the receiver has sent or done so far, without waiting: "" nothing yet, "closed" when
  // it hung up without an answer, else the bytes of the answer.
  std::string Received() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return "";
    char buf[64];
    const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("closed");
  }

 private:
  int fd_ = -1;
  int dir_ = -1;
  bool connected_ = false;
};

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

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

// Same-user processes that connect and send nothing, or only part of a request, must not hold
// up the instance: a real request behind them is answered in the same pass, and the silent ones
// are dropped when their time is up on the listener's clock, not before.
TEST_F(InstanceChannel, SilentConnectionsDoNotDelayARealRequest) {
  plat::TestClock clock;
  std::vector<int> codes;
  plat::InstanceListener listener(
      [&](uint8_t code, const std::string&) {
        codes.push_back(code);
        return uint8_t{42};
      },
      &clock);
  std::vector<std::unique_ptr<RawClient>> silent;
  for (int i = 0; i < 5; ++i) silent.push_back(std::make_unique<RawClient>(listener.Address()));
  auto partial = std::make_unique<RawClient>(listener.Address());
  partial->Send(RawClient::Request(2, "/d/never.rtf").substr(0, 20));
  RawClient real(listener.Address());
  real.Send(RawClient::Request(1, ""));
  for (const auto& c : silent) ASSERT_TRUE(c->Connected());

  EXPECT_EQ(listener.Serve(0), 1);
  EXPECT_EQ(codes, (std::vector<int>{1}));
  EXPECT_EQ(real.Received(), std::string(plat::kInstanceMarker) + char(42));
  EXPECT_EQ(listener.PendingConnections(), 6);
  for (const auto& c : silent) EXPECT_EQ(c->Received(), "");  // still waited for, not dropped

  // A second request behind the silent ones is not held up either.
  RawClient second(listener.Address());
  second.Send(RawClient::Request(4, ""));
  EXPECT_EQ(listener.Serve(0), 1);
  EXPECT_EQ(codes, (std::vector<int>{1, 4}));

  clock.Advance(1999);
  EXPECT_EQ(listener.Serve(0), 0);
  EXPECT_EQ(listener.PendingConnections(), 6);
  clock.Advance(1);
  EXPECT_EQ(listener.Serve(0), 0);
  EXPECT_EQ(listener.PendingConnections(), 0);
  for (const auto& c : silent) EXPECT_EQ(c->Received(), "closed");
  EXPECT_EQ(partial->Received(), "closed");
  EXPECT_EQ(codes, (std::vector<int>{1, 4}));  // the partial request was never acted on
}

// A request that arrives in pieces is put together across passes, and the descriptor that a
// message loop waits on is readable exactly while a pass has something to do.
TEST_F(InstanceChannel, RequestsArriveInPiecesAcrossPasses) {
  plat::TestClock clock;
  std::vector<std::string> paths;
  plat::InstanceListener listener(
      [&](uint8_t, const std::string& path) {
        paths.push_back(path);
        return uint8_t{1};
      },
      &clock);
  EXPECT_FALSE(Readable(listener.Fd()));
  RawClient client(listener.Address());
  EXPECT_TRUE(Readable(listener.Fd()));  // a connection to accept
  const std::string request = RawClient::Request(2, "/home/u/" + std::string(9000, 'p') + ".rtf");
  size_t sent = 0;
  for (size_t piece : {size_t{3}, size_t{15}, size_t{4000}, size_t{4000}}) {
    EXPECT_EQ(listener.Serve(0), 0);
    EXPECT_FALSE(Readable(listener.Fd()));  // nothing to do until more arrives
    client.Send(request.substr(sent, piece));
    sent += piece;
    EXPECT_TRUE(Readable(listener.Fd()));
    clock.Advance(100);
  }
  EXPECT_EQ(listener.Serve(0), 0);
  client.Send(request.substr(sent));
  EXPECT_EQ(listener.Serve(0), 1);
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_EQ(paths[0], request.substr(request.size() - 9012));
  EXPECT_EQ(listener.PendingConnections(), 0);
}

// Connections that pour in faster than they send keep only a bounded number of slots; a pass
// never takes more than a bounded number of them, and a real request still gets through.
TEST_F(InstanceChannel, AFloodOfSilentConnectionsStaysBounded) {
  plat::TestClock clock;
  int handled = 0;
  plat::InstanceListener listener([&](uint8_t, const std::string&) { return uint8_t(++handled); },
                                  &clock);
  std::vector<std::unique_ptr<RawClient>> flood;
  for (int wave = 0; wave < 4; ++wave) {
    for (int i = 0; i < 12; ++i) flood.push_back(std::make_unique<RawClient>(listener.Address()));
    EXPECT_EQ(listener.Serve(0), 0);
    EXPECT_LE(listener.PendingConnections(), 16);
  }
  EXPECT_EQ(flood.front()->Received(), "closed");  // the oldest gave way
  EXPECT_EQ(flood.back()->Received(), "");
  RawClient real(listener.Address());
  real.Send(RawClient::Request(1, ""));
  EXPECT_EQ(listener.Serve(0), 1);
  EXPECT_EQ(real.Received(), std::string(plat::kInstanceMarker) + char(1));
  EXPECT_LE(listener.PendingConnections(), 16);
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
