#include "files/output/save_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/system/file_write.h"

namespace qv {
namespace {

// The file a save replaces: the target itself, or what a symbolic link names.
std::string ResolveTarget(const std::string& target) {
  std::error_code ec;
  const std::filesystem::path path(target);
  if (std::filesystem::is_symlink(path, ec)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
    if (!ec && !resolved.empty()) return resolved.string();
  }
  return target;
}

std::string FolderOfTarget(const std::string& target) {
  const std::string folder = std::filesystem::path(target).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

}  // namespace

TSaveFile::~TSaveFile() { Discard(); }

bool TSaveFile::Create(const std::string& target) {
  Discard();
  target_ = ResolveTarget(target);
  std::string temp = FolderOfTarget(target_) + "/.qvtmpXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  fd_ = fd;
  temp_ = temp;
  size_ = 0;
  if (!plat::SetModeForTarget(fd_, target_)) {
    Discard();
    return false;
  }
  return true;
}

bool TSaveFile::Write(const void* data, size_t size) {
  if (fd_ < 0) return false;
  if (plat::WriteAll(fd_, data, size)) {
    size_ += static_cast<int64_t>(size);
    return true;
  }
  // Cut back what part of the bytes went in, so that a retry writes them whole again.
  if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0 ||
      ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET) < 0) {
    // The file can no longer be trusted; later writes fail too.
    ::close(fd_);
    fd_ = -1;
  }
  return false;
}

bool TSaveFile::Commit() {
  if (fd_ < 0) {
    Discard();
    return false;
  }
  bool ok = ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  if (ok && ::rename(temp_.c_str(), target_.c_str()) == 0) {
    temp_.clear();
    // Make the rename itself durable.
    const int dir = ::open(FolderOfTarget(target_).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    return true;
  }
  Discard();
  return false;
}

void TSaveFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  size_ = 0;
}

}  // namespace qv
