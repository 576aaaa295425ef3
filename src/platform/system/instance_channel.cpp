#include "platform/system/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/system/folders.h"
#include "platform/win/clock.h"

namespace fs = std::filesystem;

namespace plat {
namespace {

constexpr size_t kMarkerLen = sizeof(kInstanceMarker) - 1;
constexpr size_t kHeadLen = kMarkerLen + 5;   // marker, request code, 32-bit path length
constexpr uint32_t kMaxPathBytes = 1u << 20;  // far above any real path; guards the receiver
constexpr uint64_t kReceiveTimeoutMs = 2000;  // a sender that stalls is dropped after this
constexpr size_t kMaxPending = 16;            // connections whose request is still arriving
constexpr int kMaxAcceptsPerPass = 16;        // so that a flood of connections ends each pass

std::mutex& OverrideLock() {
  static std::mutex lock;
  return lock;
}
std::string& FolderOverride() {
  static std::string* folder = new std::string();
  return *folder;
}

// A file descriptor closed with its owner.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int fd, short events, SteadyClock::time_point deadline) {
  while (true) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, RemainingMs(deadline));
    if (r > 0) return true;
    if (r == 0 || errno != EINTR) return false;
  }
}

bool WriteAll(int fd, const std::string& data, SteadyClock::time_point deadline) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool ReadExact(int fd, size_t count, std::string& into, SteadyClock::time_point deadline) {
  into.assign(count, '\0');
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::recv(fd, into.data() + done, count - done, MSG_DONTWAIT);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!WaitFor(fd, POLLIN, deadline)) return false;
    } else {
      return false;  // closed early or failed
    }
  }
  return true;
}

bool PeerIsSameUser(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

// Runs a bind or connect on the socket path. A path too long for a socket address is reached
// through the folder's descriptor in /proc, so deep temporary folders work as well.
int WithAddress(const std::string& path, const std::function<int(const sockaddr_un&)>& op) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string target = path;
  UniqueFd dir;
  if (target.size() >= sizeof addr.sun_path) {
    size_t slash = path.rfind('/');
    dir = UniqueFd(::open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return -1;
    target = "/proc/self/fd/" + std::to_string(dir.get()) + path.substr(slash);
    if (target.size() >= sizeof addr.sun_path) {
      errno = ENAMETOOLONG;
      return -1;
    }
  }
  std::memcpy(addr.sun_path, target.c_str(), target.size() + 1);
  return op(addr);
}

bool MakePrivateFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(fs::path(folder).parent_path(), ec);
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
    return false;
  if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return false;
  return true;
}

std::string PutU32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

uint32_t GetU32(const std::string& s) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[i])) << (8 * i);
  return v;
}

int32_t PidOfName(const std::string& name) {
  int32_t pid = 0;
  for (char c : name) {
    if (c < '0' || c > '9') break;
    pid = pid * 10 + (c - '0');
    if (pid > 100000000) return 0;
  }
  return pid;
}

}  // namespace

std::string InstanceChannelFolder() {
  {
    std::lock_guard<std::mutex> guard(OverrideLock());
    if (!FolderOverride().empty())
      return MakePrivateFolder(FolderOverride()) ? FolderOverride() : std::string();
  }
  std::string runtime = GetXdgFolder(XdgFolder::RuntimeDir);
  std::string folder = runtime.empty()
                           ? SystemTempFolder() + "/quorvane-" + std::to_string(::getuid())
                           : runtime + "/quorvane";
  return MakePrivateFolder(folder) ? folder : std::string();
}

void SetInstanceChannelFolder(const std::string& folderOverride) {
  std::lock_guard<std::mutex> guard(OverrideLock());
  FolderOverride() = folderOverride;
}

std::vector<InstancePeer> ListInstances() {
  std::vector<InstancePeer> peers;
  const std::string folder = InstanceChannelFolder();
  if (folder.empty()) return peers;
  struct Found {
    InstancePeer peer;
    fs::file_time_type time;
  };
  std::vector<Found> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_socket(ec) || name.size() < 6 || name.substr(name.size() - 5) != ".sock")
      continue;
    const int32_t pid = PidOfName(name);
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH)) {
      fs::remove(entry.path(), ec);  // its process is gone
      continue;
    }
    found.push_back({{entry.path().string(), pid}, entry.last_write_time(ec)});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.time != b.time ? a.time < b.time : a.peer.Address < b.peer.Address;
  });
  for (auto& f : found) peers.push_back(std::move(f.peer));
  return peers;
}

std::optional<uint8_t> SendInstanceMessage(const InstancePeer& peer, uint8_t code,
                                           const std::string& path, int timeoutMs) {
  if (path.size() > kMaxPathBytes) return std::nullopt;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  UniqueFd sock(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!sock.ok()) return std::nullopt;
  int r = WithAddress(peer.Address, [&](const sockaddr_un& addr) {
    return ::connect(sock.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  });
  if (r != 0) {
    // A full backlog (EAGAIN) means the instance is not accepting: no answer, no waiting.
    if (errno == ECONNREFUSED) ::unlink(peer.Address.c_str());
    return std::nullopt;
  }
  if (!PeerIsSameUser(sock.get())) return std::nullopt;
  std::string request(kInstanceMarker, kMarkerLen);
  request += static_cast<char>(code & 0x7F);
  request += PutU32(static_cast<uint32_t>(path.size()));
  request += path;
  std::string reply;
  if (!WriteAll(sock.get(), request, deadline) ||
      !ReadExact(sock.get(), kMarkerLen + 1, reply, deadline) ||
      reply.compare(0, kMarkerLen, kInstanceMarker) != 0)
    return std::nullopt;
  return static_cast<uint8_t>(reply[kMarkerLen]);
}

// A connection whose request is still arriving. Its bytes are read as they come, on the passes
// of Serve, so a sender that is slow or silent holds nothing but its own slot.
struct PendingRequest {
  UniqueFd fd;
  std::string data;     // the bytes received so far
  uint64_t deadline = 0;  // on the listener's clock; the connection is dropped after it
};

struct InstanceListener::Impl {
  InstanceHandler handler;
  UniqueFd sock;
  UniqueFd poller;  // epoll set of the listening socket and the pending connections
  std::string address;
  const Clock* clock = nullptr;
  SystemClock systemClock;
  std::vector<PendingRequest> pending;

  uint64_t Now() const { return clock->NowMs(); }
  void Watch(int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP;
    ev.data.fd = fd;
    ::epoll_ctl(poller.get(), EPOLL_CTL_ADD, fd, &ev);
  }
  // Takes a connection out of the pending ones; dropping it closes it.
  PendingRequest Take(size_t i) {
    ::epoll_ctl(poller.get(), EPOLL_CTL_DEL, pending[i].fd.get(), nullptr);
    PendingRequest request = std::move(pending[i]);
    pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
    return request;
  }
  void Drop(size_t i) { Take(i); }
  void AcceptWaiting();
  enum class Progress { Waiting, Complete, Failed };
  Progress ReadAvailable(PendingRequest& request);
  bool Answer(PendingRequest& request);
  int Pass();
  int MsUntilNextDeadline() const;
};

// Takes the connections waiting on the listening socket (at most a bounded number per pass).
// When every slot is taken, the oldest pending connection gives way: it has had the longest to
// send its request.
void InstanceListener::Impl::AcceptWaiting() {
  for (int i = 0; i < kMaxAcceptsPerPass; ++i) {
    UniqueFd conn(::accept4(sock.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!conn.ok()) {
      if (errno == EINTR) continue;
      return;  // nothing more waiting
    }
    if (!PeerIsSameUser(conn.get())) continue;
    if (pending.size() >= kMaxPending) Drop(0);
    Watch(conn.get());
    pending.push_back({std::move(conn), std::string(), Now() + kReceiveTimeoutMs});
  }
}

// Reads what has arrived of the request, never more than it can hold, without waiting.
InstanceListener::Impl::Progress InstanceListener::Impl::ReadAvailable(PendingRequest& request) {
  while (true) {
    size_t want = kHeadLen;
    if (request.data.size() >= kHeadLen) {
      if (request.data.compare(0, kMarkerLen, kInstanceMarker) != 0) return Progress::Failed;
      const uint32_t length = GetU32(request.data.substr(kMarkerLen + 1, 4));
      if (length > kMaxPathBytes) return Progress::Failed;
      want = kHeadLen + length;
    }
    if (request.data.size() >= want) return Progress::Complete;
    char buffer[4096];
    const size_t chunk = std::min(want - request.data.size(), sizeof buffer);
    const ssize_t n = ::recv(request.fd.get(), buffer, chunk, MSG_DONTWAIT);
    if (n > 0) {
      request.data.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return Progress::Waiting;
    } else {
      return Progress::Failed;  // closed before the request was complete, or failed
    }
  }
}

// Runs the handler on a complete request and sends its answer; false when the sender has gone.
bool InstanceListener::Impl::Answer(PendingRequest& request) {
  // A sender that gave up waiting has closed its end; acting on its request now would make
  // two instances open the same file.
  pollfd p{request.fd.get(), POLLRDHUP, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR))) return false;
  const uint8_t code = static_cast<uint8_t>(request.data[kMarkerLen]) & 0x7F;
  const std::string path = request.data.substr(kHeadLen);
  const uint8_t answer = handler ? handler(code, path) : 0;
  std::string reply(kInstanceMarker, kMarkerLen);
  reply += static_cast<char>(answer);
  // The reply is a few bytes into an empty socket buffer: it goes at once or the sender is gone.
  ::send(request.fd.get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  return true;
}

// One pass: take new connections, read what has arrived on each, answer the requests that are
// complete and drop the connections whose time is up. Nothing in it waits.
int InstanceListener::Impl::Pass() {
  AcceptWaiting();
  int handled = 0;
  for (size_t i = 0; i < pending.size();) {
    const Progress progress = ReadAvailable(pending[i]);
    if (progress == Progress::Waiting) {
      ++i;
      continue;
    }
    // Out of the list before the handler runs, so that a handler that throws cannot have the
    // request served twice.
    PendingRequest request = Take(i);
    if (progress == Progress::Complete && Answer(request)) ++handled;
  }
  const uint64_t now = Now();
  for (size_t i = 0; i < pending.size();) {
    if (pending[i].deadline <= now) Drop(i);
    else ++i;
  }
  return handled;
}

int InstanceListener::Impl::MsUntilNextDeadline() const {
  if (pending.empty()) return -1;
  uint64_t next = pending.front().deadline;
  for (const PendingRequest& r : pending) next = std::min(next, r.deadline);
  const uint64_t now = Now();
  return next <= now ? 0 : static_cast<int>(std::min<uint64_t>(next - now, INT32_MAX));
}

InstanceListener::InstanceListener(InstanceHandler handler, const Clock* clock)
    : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->clock = clock != nullptr ? clock : &impl_->systemClock;
  const std::string folder = InstanceChannelFolder();
  if (folder.empty()) throw std::runtime_error("No private folder for the instance channel");
  static std::atomic<int> sequence{0};
  impl_->address = folder + "/" + std::to_string(::getpid()) + "-" +
                   std::to_string(sequence.fetch_add(1)) + ".sock";
  ::unlink(impl_->address.c_str());
  impl_->sock = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  impl_->poller = UniqueFd(::epoll_create1(EPOLL_CLOEXEC));
  int fd = impl_->sock.get();
  if (fd < 0 || !impl_->poller.ok() ||
      WithAddress(impl_->address, [&](const sockaddr_un& addr) {
        return ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
      }) != 0 ||
      ::listen(fd, 16) != 0)
    throw std::runtime_error("Cannot listen on " + impl_->address + ": " + std::strerror(errno));
  ::chmod(impl_->address.c_str(), 0600);
  impl_->Watch(fd);
}

InstanceListener::~InstanceListener() {
  impl_->pending.clear();
  impl_->sock.Reset();
  ::unlink(impl_->address.c_str());
}

int InstanceListener::Serve(int timeoutMs) {
  int handled = impl_->Pass();
  if (handled > 0 || timeoutMs <= 0) return handled;
  const auto end = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const int left = RemainingMs(end);
    if (left <= 0) return handled;
    int wait = left;
    const int untilDeadline = impl_->MsUntilNextDeadline();
    if (untilDeadline >= 0) wait = std::min(wait, untilDeadline);
    epoll_event ev{};
    if (::epoll_wait(impl_->poller.get(), &ev, 1, wait) < 0 && errno != EINTR) return handled;
    handled = impl_->Pass();
    if (handled > 0) return handled;
  }
}

int InstanceListener::Fd() const { return impl_->poller.get(); }

int InstanceListener::PendingConnections() const {
  return static_cast<int>(impl_->pending.size());
}

const std::string& InstanceListener::Address() const { return impl_->address; }

}  // namespace plat
