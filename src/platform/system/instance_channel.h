#pragma once
// The single-instance channel: every running instance that wants to be found listens on a Unix
// socket of its own in a per-user folder (mode 0700); another instance of the same user finds the
// listeners there and sends them requests, one connection per request, each answered with one
// byte. Every wait of a sender is bounded, so a hung instance cannot hang the one that asks, and
// the receiver never waits on a sender at all.
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

class Clock;

// Requests are served without ever waiting on a sender: connections are accepted and read
// without blocking, each with a buffer of its own that fills across passes, and a request is
// answered in the pass in which its last byte arrives. A connection that sends nothing (or too
// little) holds only its own slot and is dropped once its time-out has passed on the listener's
// clock; at most a few connections wait at a time, the oldest giving way to a new one.
class InstanceListener {
 public:
  // Starts listening; throws std::runtime_error when the socket cannot be made. The clock (the
  // system's steady clock when null; it must outlive the listener) times out silent senders.
  explicit InstanceListener(InstanceHandler handler, const Clock* clock = nullptr);
  ~InstanceListener();
  InstanceListener(const InstanceListener&) = delete;
  InstanceListener& operator=(const InstanceListener&) = delete;

  // One pass over the channel, then, while no request has been answered, further passes as
  // connections or data arrive within `timeoutMs` (0: only what is already there). No pass waits
  // for a sender. Returns the number of requests handled.
  int Serve(int timeoutMs);
  // A descriptor that is readable whenever a pass has something to do (a connection to accept or
  // data on a pending one), for a message loop that waits on file descriptors and then calls
  // Serve(0).
  int Fd() const;
  // Connections accepted whose request has not arrived in full.
  int PendingConnections() const;
  const std::string& Address() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
