#include "platform/system/random_bytes.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace plat {

namespace {

bool FromUrandom(uint8_t* out, size_t count) {
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t got = 0;
  while (got < count) {
    const ssize_t n = read(fd, out + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  return got == count;
}

}  // namespace

bool FillRandomBytes(void* out, size_t count) {
  auto* bytes = static_cast<uint8_t*>(out);
  size_t got = 0;
  while (got < count) {
    const ssize_t n = getrandom(bytes + got, count - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return FromUrandom(bytes + got, count - got);
    got += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace plat
