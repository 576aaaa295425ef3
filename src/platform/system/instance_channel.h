#pragma once
// The single-instance channel: every running instance that wants to be found listens on a Unix
// socket of its own in a per-user folder (mode 0700); another instance of the same user finds the
// listeners there and sends them requests, one connection per request, each answered with one
// byte. Every wait is bounded, so a hung instance cannot hang the one that asks.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// The identification every message of the channel starts with.
inline constexpr char kInstanceMarker[] = "1.x Fenn Torra";

// A running instance as found in the channel folder.
struct InstancePeer {
  std::string Address;  // the socket's path
  int32_t Pid = 0;      // the process that listens there
};

// The per-user folder of the channel: $XDG_RUNTIME_DIR/quorvane, else
// <temp>/quorvane-<uid>; created with mode 0700 and refused when another user owns it.
// `folderOverride`, when not empty, is used instead (tests).
std::string InstanceChannelFolder();
void SetInstanceChannelFolder(const std::string& folderOverride);

// The instances listening now, in a fixed order (oldest socket first). Sockets nobody listens on
// any more are removed on the way. The calling process's own listener is included.
std::vector<InstancePeer> ListInstances();

// Sends one request and waits at most `timeoutMs` for the answer; std::nullopt when the peer
// cannot be reached, does not answer in time or answers something malformed.
std::optional<uint8_t> SendInstanceMessage(const InstancePeer& peer, uint8_t code,
                                           const std::string& path, int timeoutMs);

// The receiving side. The handler runs on the thread that calls Serve(), gets the request code
// and the path (empty when none was sent) and returns the answer byte.
using InstanceHandler = std::function<uint8_t(uint8_t code, const std::string& path)>;

class InstanceListener {
 public:
  // Starts listening; throws std::runtime_error when the socket cannot be made.
  explicit InstanceListener(InstanceHandler handler);
  ~InstanceListener();
  InstanceListener(const InstanceListener&) = delete;
  InstanceListener& operator=(const InstanceListener&) = delete;

  // Handles the requests that arrive within `timeoutMs` (0: only those already waiting); a
  // request is read with a bounded wait so a sender that stalls cannot hang the receiver.
  // Returns the number of requests handled.
  int Serve(int timeoutMs);
  // The listening socket, for a message loop that waits on file descriptors.
  int Fd() const;
  const std::string& Address() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
