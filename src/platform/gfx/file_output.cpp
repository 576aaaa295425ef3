#include "platform/gfx/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/gfx/types.h"
#include "platform/system/file_write.h"

namespace plat::gfx_detail {

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  std::string pattern = target_ + ".~tmpXXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    throw GfxError("Cannot create file \"" + target_ + "\": " + std::strerror(errno));
  temp_ = pattern;
  // mkstemp makes the file private.
  SetModeForTarget(fd, target_);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    ::unlink(temp_.c_str());
    throw GfxError("Cannot create file \"" + target_ + "\"");
  }
}

AtomicFile::~AtomicFile() {
  if (file_) std::fclose(file_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicFile::Write(const void* data, size_t size) {
  if (failed_ || !file_) return false;
  if (size && std::fwrite(data, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

void AtomicFile::CloseStream() {
  if (file_ && std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
}

void AtomicFile::Commit() {
  if (file_) {
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) failed_ = true;
    CloseStream();
  } else {
    int fd = ::open(temp_.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) failed_ = true;
    if (fd >= 0) ::close(fd);
  }
  if (failed_) throw GfxError("Cannot write file \"" + target_ + "\"");
  if (::rename(temp_.c_str(), target_.c_str()) != 0)
    throw GfxError("Cannot write file \"" + target_ + "\": " + std::strerror(errno));
  committed_ = true;
}

}  // namespace plat::gfx_detail
