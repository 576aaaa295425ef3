// Hostile requests on the single-instance channel: a connection that sends a damaged, truncated,
// oversized or random request is dropped without calling the handler and without an answer.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/system/instance_channel.h"
#include "support/test_env.h"

namespace {

std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

const std::string kMarker(plat::kInstanceMarker);

class InstanceChannelRobustness : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetInstanceChannelFolder(qvtest::MakeTempDir("ich"));
    listener_ = std::make_unique<plat::InstanceListener>([this](uint8_t code, const std::string& path) {
      calls_.emplace_back(code, path);
      return uint8_t{42};
    });
    if (listener_->Address().size() >= sizeof(sockaddr_un{}.sun_path))
      GTEST_SKIP() << "sandbox too deep for a plain socket address";
  }
  void TearDown() override {
    listener_.reset();
    plat::SetInstanceChannelFolder("");
  }

  // Connects, sends the bytes, optionally ends the sending side, lets the listener serve, and
  // returns what came back.
  std::string Exchange(const std::string& bytes, bool endSending) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, listener_->Address().c_str(), listener_->Address().size() + 1);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    if (!bytes.empty()) {
      EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    }
    if (endSending) ::shutdown(fd, SHUT_WR);
    listener_->Serve(0);
    std::string reply;
    char buf[64];
    timeval tv{0, 100000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, size_t(n));
    ::close(fd);
    return reply;
  }

  std::unique_ptr<plat::InstanceListener> listener_;
  std::vector<std::pair<uint8_t, std::string>> calls_;
};

TEST_F(InstanceChannelRobustness, MalformedRequestsAreDropped) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"nothing", ""},
      {"marker cut off", kMarker.substr(0, 5)},
      {"no length", kMarker + "\x03"},
      {"length cut off", kMarker + "\x03" + Le32(7).substr(0, 2)},
      {"wrong marker", std::string(kMarker.size(), 'x') + "\x03" + Le32(0)},
      {"path shorter than its length", kMarker + "\x03" + Le32(100) + "short"},
      {"absurd length", kMarker + "\x03" + Le32(0xFFFFFFFFu) + "abc"},
      {"length just past the limit", kMarker + "\x03" + Le32((1u << 20) + 1) + "abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Exchange(c.bytes, true), "") << c.name;
    EXPECT_TRUE(calls_.empty()) << c.name;
  }
  std::mt19937 rng(5);
  for (int i = 0; i < 200; ++i) {
    // Random bytes, half of them behind a correct marker so the length field is random too.
    std::string junk(rng() % 40, '\0');
    for (char& ch : junk) ch = static_cast<char>(rng());
    Exchange(i % 2 ? kMarker + junk : junk, true);
  }
  for (const auto& call : calls_) EXPECT_LE(call.second.size(), 40u);
  // The channel still serves a sound request afterwards.
  calls_.clear();
  EXPECT_EQ(Exchange(kMarker + "\x05" + Le32(5) + "a.rtf", false), kMarker + "\x2a");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0], std::make_pair(uint8_t{5}, std::string("a.rtf")));
}

}  // namespace
