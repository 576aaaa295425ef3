#include "platform/system/file_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool SetModeForTarget(int fd, const std::string& target) {
  struct stat st {};
  mode_t mode = 0666;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    // umask can only be read by setting it; it is put back at once.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  return ::fchmod(fd, mode) == 0;
}

}  // namespace plat
