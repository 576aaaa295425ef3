#pragma once
// TSaveFile: the file a save writes. The bytes go to a new temporary file in the target's folder;
// Commit flushes it to the disk and renames it over the target in one step, so that the target
// holds either its old content or the whole new one, never a mix. Until Commit succeeds the
// target is not touched; a save that fails or is abandoned (the object is destroyed without a
// commit) removes the temporary file and leaves the target as it was. A symbolic link as target
// is followed, so the link stays and the file it names is replaced; the new file takes the old
// one's permissions.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

class TSaveFile {
 public:
  TSaveFile() = default;
  ~TSaveFile();
  TSaveFile(const TSaveFile&) = delete;
  TSaveFile& operator=(const TSaveFile&) = delete;

  // Creates the temporary file for the target; false when it cannot be created (a missing or
  // read-only folder, for instance). Discards a file created before.
  bool Create(const std::string& target);
  // Appends the bytes; false when they could not all be written (a full disk), in which case
  // the file is cut back to what it held before, so that the same bytes can be written again.
  bool Write(const void* data, size_t size);
  // Flushes the file to the disk and renames it over the target; false when that fails (the
  // temporary file is then removed and the target is untouched).
  bool Commit();
  // Removes the temporary file without touching the target.
  void Discard();

  bool IsOpen() const { return fd_ >= 0; }
  // The file that Commit replaces (a symbolic link resolved).
  const std::string& Target() const { return target_; }
  const std::string& TempName() const { return temp_; }
  int64_t Size() const { return size_; }

 private:
  int fd_ = -1;
  std::string target_;
  std::string temp_;
  int64_t size_ = 0;
};

}  // namespace qv
